#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <string>

#include "UiTestSupport.h"
#include "ui/ErrorBox.h"

namespace {

struct FullStopCase {
  std::string Message;
  QString Shown;
};

void PrintTo(const FullStopCase& c, std::ostream* os) { *os << '"' << c.Message << '"'; }

class ErrorBoxTextTest : public ::testing::TestWithParam<FullStopCase> {};

TEST_P(ErrorBoxTextTest, AppendsFullStopOnlyAfterCharactersAboveIt) {
  EXPECT_EQ(ErrorBoxText(GetParam().Message), GetParam().Shown);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ErrorBoxTextTest,
    ::testing::Values(
        FullStopCase{"abc", "abc."}, FullStopCase{"x.", "x."},
        FullStopCase{"List index out of bounds (-1)", "List index out of bounds (-1)"},
        FullStopCase{"a ", "a "}, FullStopCase{"", ""}, FullStopCase{"9", "9."},
        FullStopCase{"'12a' is not a valid integer value", "'12a' is not a valid integer value."},
        FullStopCase{"ends in slash/", "ends in slash/."},  // '/' is just above '.'
        FullStopCase{"ends in dash-", "ends in dash-"},     // '-' is just below
        FullStopCase{"Unable to write to ../quorvane.ini", "Unable to write to ../quorvane.ini."},
        // A non-ASCII last byte counts as above '.' (compared unsigned).
        FullStopCase{"Fehler \xC3\xA4", QString::fromUtf8("Fehler \xC3\xA4.")}));

// What the operator saw in a message box.
struct SeenBox {
  QString ObjectName;
  QString Title;
  QString Text;
  QMessageBox::Icon Icon = QMessageBox::NoIcon;
  int Buttons = 0;
  bool OkIsOnlyButton = false;
  Qt::TextFormat Format = Qt::AutoText;
  bool Modal = false;
};

SeenBox Inspect(QWidget* modal) {
  SeenBox seen;
  auto* box = qobject_cast<QMessageBox*>(modal);
  if (box == nullptr) return seen;
  seen.ObjectName = box->objectName();
  seen.Title = box->windowTitle();
  seen.Text = box->text();
  seen.Icon = box->icon();
  seen.Buttons = static_cast<int>(box->buttons().size());
  seen.OkIsOnlyButton = seen.Buttons == 1 && box->button(QMessageBox::Ok) != nullptr &&
                        box->button(QMessageBox::Ok)->text().remove(QLatin1Char('&')) == "OK";
  seen.Format = box->textFormat();
  seen.Modal = box->isModal();
  return seen;
}

TEST(ErrorBox, IsModalTitledQuorvaneWithErrorIconAndOneOk) {
  SeenBox seen;
  ModalAnswer answer([&](QWidget* modal) {
    seen = Inspect(modal);
    PressOk(modal);
  });
  ShowErrorBox("VME Error: write error device bt0: bus error");
  ASSERT_TRUE(answer.Answered());
  EXPECT_EQ(seen.ObjectName, "ErrorBox");
  EXPECT_EQ(seen.Title, "Quorvane");
  EXPECT_EQ(seen.Text, "VME Error: write error device bt0: bus error.");
  EXPECT_EQ(seen.Icon, QMessageBox::Critical);
  EXPECT_TRUE(seen.OkIsOnlyButton);
  EXPECT_TRUE(seen.Modal);
}

TEST(ErrorBox, ShowsListErrorWithoutFullStop) {
  ModalAnswer answer(PressOk);
  ShowErrorBox("List index out of bounds (-1)");
  ASSERT_TRUE(answer.Answered());
  EXPECT_EQ(answer.Text(), "List index out of bounds (-1)");
}

TEST(ErrorBox, ShowsMarkupInAMessageAsPlainText) {
  // A file name or typed text may contain "<": it must be shown, not rendered.
  SeenBox seen;
  ModalAnswer answer([&](QWidget* modal) {
    seen = Inspect(modal);
    PressOk(modal);
  });
  ShowErrorBox("'<b>1</b>' is not a valid integer value");
  ASSERT_TRUE(answer.Answered());
  EXPECT_EQ(seen.Format, Qt::PlainText);
  EXPECT_EQ(seen.Text, "'<b>1</b>' is not a valid integer value.");
}

TEST(ErrorBox, EscapeClosesIt) {
  ModalAnswer answer([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
  ShowErrorBox("abc");
  EXPECT_TRUE(answer.Answered());  // returned, so the box was closed
}

TEST(InformationBox, IsTheStandardInformationBoxWithOneOk) {
  SeenBox seen;
  ModalAnswer answer([&](QWidget* modal) {
    seen = Inspect(modal);
    PressOk(modal);
  });
  ShowInformationBox("FIFO 2 is empty");
  ASSERT_TRUE(answer.Answered());
  EXPECT_EQ(seen.ObjectName, "InformationBox");
  EXPECT_EQ(seen.Title, QApplication::applicationName());
  EXPECT_EQ(seen.Text, "FIFO 2 is empty");  // no full stop rule here
  EXPECT_EQ(seen.Icon, QMessageBox::Information);
  EXPECT_TRUE(seen.OkIsOnlyButton);
}

}  // namespace
