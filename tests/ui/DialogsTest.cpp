#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSize>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <functional>
#include <memory>
#include <optional>

#include "UiTestSupport.h"
#include "ttcvi/BChannelWord.h"
#include "ui/DlgB_GoData.h"
#include "ui/DlgDataForSave.h"
#include "ui/DlgRxControlReg.h"
#include "ui/FDataForSave.h"
#include "ui/HelpViewer.h"

void PrintTo(const QSize& size, std::ostream* os) { *os << size.width() << "x" << size.height(); }

namespace {

// Shows dialog modally and answers it with answer; returns exec's result.
int RunModal(QDialog* dialog, ModalAnswer::Answer answer) {
  ModalAnswer modal(std::move(answer));
  const int result = dialog->exec();
  EXPECT_TRUE(modal.Answered());
  return result;
}

// The key goes where the operator's keyboard would send it.
void PressKey(QWidget* modal, Qt::Key key) {
  EXPECT_TRUE(QTest::qWaitForWindowActive(modal));  // as an operator would
  QWidget* target = QApplication::focusWidget();
  if (target == nullptr || target->window() != modal) target = modal;
  QTest::keyClick(target, key);
}

QStringList LabelTexts(QWidget* root) {
  QStringList texts;
  for (QLabel* label : root->findChildren<QLabel*>()) texts << label->text();
  return texts;
}

// ------------------------------------------------- common to the four dialogs

struct DialogCase {
  const char* ObjectName;
  const char* Caption;
  QSize ClientSize;
  std::function<QDialog*()> Make;
};

void PrintTo(const DialogCase& c, std::ostream* os) { *os << c.ObjectName; }

class AnyDialog : public ::testing::TestWithParam<DialogCase> {
 protected:
  void SetUp() override { Dialog.reset(GetParam().Make()); }
  std::unique_ptr<QDialog> Dialog;
};

TEST_P(AnyDialog, HasNameCaptionAndFixedSize) {
  EXPECT_EQ(Dialog->objectName(), GetParam().ObjectName);
  EXPECT_EQ(Dialog->windowTitle(), GetParam().Caption);
  // The given client size, grown only a little where Qt's fonts need more room.
  ASSERT_NE(Dialog->layout(), nullptr);
  const QSize given = GetParam().ClientSize;
  EXPECT_GE(Dialog->width(), given.width());
  EXPECT_GE(Dialog->height(), given.height());
  EXPECT_LE(Dialog->width(), given.width() + 12);
  EXPECT_LE(Dialog->height(), given.height() + 12);
  EXPECT_TRUE(Dialog->size().expandedTo(Dialog->layout()->totalMinimumSize()) == Dialog->size())
      << "the content must fit";
  EXPECT_EQ(Dialog->minimumSize(), Dialog->maximumSize()) << "fixed-size dialog frame";
}

TEST_P(AnyDialog, HasBevelAndCentredOkCancelAlongTheBottom) {
  QPushButton* ok = Control<QPushButton>(Dialog.get(), "OKBtn");
  QPushButton* cancel = Control<QPushButton>(Dialog.get(), "CancelBtn");
  QFrame* bevel = Control<QFrame>(Dialog.get(), "Bevel1");
  ASSERT_TRUE(ok && cancel && bevel);
  Dialog->show();
  EXPECT_EQ(ok->text(), "OK");
  EXPECT_EQ(cancel->text(), "Cancel");
  EXPECT_TRUE(ok->isDefault());
  EXPECT_FALSE(cancel->isDefault());
  EXPECT_EQ(bevel->frameShape(), QFrame::Box);
  EXPECT_EQ(bevel->frameShadow(), QFrame::Sunken);
  EXPECT_LT(ok->geometry().right(), cancel->geometry().left());  // OK left of Cancel
  EXPECT_EQ(ok->y(), cancel->y());
  EXPECT_GT(ok->y(), bevel->geometry().bottom());
  const int centre = (ok->geometry().left() + cancel->geometry().right()) / 2;
  EXPECT_NEAR(centre, Dialog->width() / 2, 2);
  Dialog->hide();
}

TEST_P(AnyDialog, EveryCaptionFitsItsPlace) {
  Dialog->show();
  for (QWidget* child : Dialog->findChildren<QWidget*>()) {
    const std::string name = child->objectName().toStdString();
    QSize need;
    if (auto* button = qobject_cast<QPushButton*>(child)) {
      // Compact buttons: their caption plus a little room on each side.
      need = QSize(button->fontMetrics().horizontalAdvance(button->text()) + 8,
                   button->fontMetrics().height() + 4);
    } else if (qobject_cast<QLabel*>(child) || qobject_cast<QCheckBox*>(child)) {
      need = child->minimumSizeHint();  // the whole caption on one line
    } else if (auto* edit = qobject_cast<QLineEdit*>(child)) {
      const int chars = edit->maxLength() < 100 ? edit->maxLength() : 3;
      need = QSize(edit->fontMetrics().horizontalAdvance(QString(chars, QLatin1Char('0'))),
                   edit->minimumSizeHint().height());
    } else {
      continue;
    }
    EXPECT_GE(child->width(), need.width()) << name;
    EXPECT_GE(child->height(), need.height()) << name;
    EXPECT_TRUE(child->parentWidget()->rect().contains(child->geometry())) << name;
  }
  Dialog->hide();
}

TEST_P(AnyDialog, OkAndEnterAccept) {
  EXPECT_EQ(RunModal(Dialog.get(), [](QWidget* m) { Control<QPushButton>(m, "OKBtn")->click(); }),
            QDialog::Accepted);
  EXPECT_EQ(RunModal(Dialog.get(), [](QWidget* m) { PressKey(m, Qt::Key_Return); }),
            QDialog::Accepted);
  EXPECT_EQ(RunModal(Dialog.get(), [](QWidget* m) { PressKey(m, Qt::Key_Enter); }),
            QDialog::Accepted);
}

TEST_P(AnyDialog, CancelEscapeAndCloseReject) {
  EXPECT_EQ(
      RunModal(Dialog.get(), [](QWidget* m) { Control<QPushButton>(m, "CancelBtn")->click(); }),
      QDialog::Rejected);
  EXPECT_EQ(RunModal(Dialog.get(), [](QWidget* m) { PressKey(m, Qt::Key_Escape); }),
            QDialog::Rejected);
  EXPECT_EQ(RunModal(Dialog.get(), [](QWidget* m) { m->close(); }), QDialog::Rejected);
  EXPECT_FALSE(Dialog->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Dialogs, AnyDialog,
                         ::testing::Values(DialogCase{"dlgRxControlRegister", "Rx Control Register",
                                                      QSize(313, 214),
                                                      [] { return new TdlgRxControlRegister; }},
                                           DialogCase{"B_GoDataDlg", "B_Go Data", QSize(440, 304),
                                                      [] { return new TB_GoDataDlg; }},
                                           DialogCase{"OKBottomDlg", "Dialog", QSize(313, 214),
                                                      [] { return new TOKBottomDlg; }},
                                           DialogCase{"frmDataForSave", "Dialog", QSize(313, 214),
                                                      [] { return new TfrmDataForSave; }}),
                         [](const auto& info) { return std::string(info.param.ObjectName); });

// ------------------------------------------------------ TdlgRxControlRegister

struct BitBox {
  const char* Name;
  const char* Caption;
  bool Ticked;
};

TEST(RxControlRegisterDialog, BoxesStackedInBitOrderWithPowerUpTicks) {
  const BitBox bits[] = {
      {"chb0", "Enable Bunch Counter operation", true},
      {"chb1", "Enable Event Counter operation", true},
      {"chb2", "SelClock40Des2", false},
      {"chb3", "Enable Clock40Des2 output", false},
      {"chb4", "Enable ClockL1Accept output", true},
      {"chb5", "Enable Paralellel output bus", false},
      {"chb6", "Enable Serial B output", false},
      {"chb7", "Enable (non-deskewed) Clock40 output", true},
  };
  TdlgRxControlRegister dialog;
  dialog.show();
  int above = -1;
  for (std::size_t i = 0; i < 8; ++i) {
    QCheckBox* box = Control<QCheckBox>(&dialog, bits[i].Name);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), bits[i].Caption);
    EXPECT_EQ(box->isChecked(), bits[i].Ticked) << bits[i].Name;
    const int y = box->mapTo(&dialog, QPoint(0, 0)).y();
    EXPECT_GT(y, above) << bits[i].Name << " below the previous bit";
    above = y;
  }
  dialog.hide();
}

// The ticks of the dialog's eight boxes, bit i for chb<i>.
unsigned Ticks(QWidget* dialog) {
  unsigned value = 0;
  for (unsigned bit = 0; bit < 8; ++bit)
    if (Control<QCheckBox>(dialog, QStringLiteral("chb%1").arg(bit).toLatin1().constData())
            ->isChecked())
      value |= 1u << bit;
  return value;
}

TEST(RxControlRegisterDialog, ShowsTheValueItIsGivenAndOkReturnsTheBoxes) {
  TdlgRxControlRegister dialog;
  for (unsigned value : {0x00u, 0xFFu, 0x5Au, 0xA5u, 0x01u, 0x80u}) {
    std::bitset<8> boxes(value);
    unsigned shown = 0x100;
    ModalAnswer answer([&](QWidget* m) {
      shown = Ticks(m);
      Control<QCheckBox>(m, "chb3")->click();
      PressOk(m);
    });
    EXPECT_TRUE(dialog.Execute(boxes));
    EXPECT_EQ(shown, value);
    EXPECT_EQ(boxes.to_ulong(), value ^ 0x08u);
  }
}

TEST(RxControlRegisterDialog, CancelKeepsWhatTheOperatorChanged) {
  TdlgRxControlRegister dialog;
  std::bitset<8> boxes(0x93);
  ModalAnswer answer([](QWidget* m) {
    Control<QCheckBox>(m, "chb5")->click();
    Control<QCheckBox>(m, "chb0")->click();
    PressCancel(m);
  });
  EXPECT_FALSE(dialog.Execute(boxes));
  EXPECT_EQ(boxes.to_ulong(), 0xB2u);
}

// --------------------------------------------------------------- TB_GoDataDlg

struct EditCase {
  const char* Name;
  const char* Text;
  int MaxLength;  // 0: not limited
  const char* Hint;
};

TEST(B_GoDataDialog, EditsHaveTheirTextsLengthsAndHints) {
  const char* hint = "Decyamal or Hexadecimal (with x on begin)";
  const EditCase edits[] = {
      {"eName", "eName", 0, ""}, {"eRxAddres", "00000", 5, hint}, {"eSubaddr", "000", 3, hint},
      {"eData", "000", 3, hint}, {"eCommand", "000", 3, hint},
  };
  TB_GoDataDlg dialog;
  for (const EditCase& e : edits) {
    QLineEdit* edit = Control<QLineEdit>(&dialog, e.Name);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), e.Text) << e.Name;
    if (e.MaxLength > 0) {
      EXPECT_EQ(edit->maxLength(), e.MaxLength) << e.Name;
    }
    EXPECT_EQ(edit->toolTip(), e.Hint) << e.Name;
  }
}

TEST(B_GoDataDialog, ButtonsCheckBoxListAndPanels) {
  TB_GoDataDlg dialog;
  const std::pair<const char*, const char*> buttons[] = {
      {"bCurRx", "< Curr Rx"}, {"bAddLong", "<< Add"}, {"AddShort", "<< Add"},
      {"bDelete", "Delete"},   {"OKBtn", "OK"},        {"CancelBtn", "Cancel"}};
  for (const auto& [name, text] : buttons) {
    QPushButton* button = Control<QPushButton>(&dialog, name);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), text) << name;
  }

  QCheckBox* external = Control<QCheckBox>(&dialog, "chbExternal");
  ASSERT_NE(external, nullptr);
  EXPECT_EQ(external->text(), "Extern");
  EXPECT_TRUE(external->isChecked());

  QListWidget* words = Control<QListWidget>(&dialog, "lbB_BoData");
  ASSERT_NE(words, nullptr);
  EXPECT_EQ(words->count(), 0);

  for (const char* name : {"Panel1", "Panel2"}) {
    QFrame* panel = Control<QFrame>(&dialog, name);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->frameShape(), QFrame::Panel) << name;
    EXPECT_EQ(panel->frameShadow(), QFrame::Sunken) << name << ": outer edge sunken at start";
  }
}

TEST(B_GoDataDialog, LabelsAndArrangement) {
  TB_GoDataDlg dialog;
  const QStringList labels = LabelTexts(&dialog);
  for (const char* text : {"Name", "RxADDR, E, SUBADDR, DATA", "Long-format cycle", "Rx ADDR",
                           "SUBADDR", "DATA", "Short-format cycle"})
    EXPECT_EQ(labels.count(text), 1) << text;
  EXPECT_EQ(labels.count("COMMAND"), 2);  // list heading and short-format label

  dialog.show();
  auto box = [&](const char* name) {
    const QWidget* w = Control<QWidget>(&dialog, name);
    return QRect(w->mapTo(&dialog, QPoint(0, 0)), w->size());
  };
  const QRect name = box("eName"), list = box("lbB_BoData"), del = box("bDelete");
  const QRect addLong = box("bAddLong"), addShort = box("AddShort");
  const QRect longPanel = box("Panel1"), shortPanel = box("Panel2");
  // Left column: name on top, the list, Delete under it.
  EXPECT_LT(name.bottom(), list.top());
  EXPECT_LT(list.bottom(), del.top());
  // Centre: each "<< Add" between the list and its panel, level with it.
  EXPECT_LT(list.right(), addLong.left());
  EXPECT_LT(addLong.right(), longPanel.left());
  EXPECT_LT(addShort.right(), shortPanel.left());
  EXPECT_TRUE(longPanel.top() <= addLong.center().y() &&
              addLong.center().y() <= longPanel.bottom());
  EXPECT_TRUE(shortPanel.top() <= addShort.center().y() &&
              addShort.center().y() <= shortPanel.bottom());
  // Right: long-format panel above the short-format panel; edits inside.
  EXPECT_LT(longPanel.bottom(), shortPanel.top());
  for (const char* edit : {"eRxAddres", "eSubaddr", "eData", "bCurRx", "chbExternal"})
    EXPECT_EQ(Control<QWidget>(&dialog, edit)->parentWidget(), Control<QFrame>(&dialog, "Panel1"))
        << edit;
  EXPECT_EQ(Control<QWidget>(&dialog, "eCommand")->parentWidget(),
            Control<QFrame>(&dialog, "Panel2"));
  dialog.hide();
}

TEST(B_GoDataDialog, EditsKeepTheirTextsBetweenShowings) {
  TB_GoDataDlg dialog;
  RunModal(&dialog, [](QWidget* m) {
    Control<QLineEdit>(m, "eName")->setText("Seq A");
    Control<QLineEdit>(m, "eCommand")->setText("x1F");
    Control<QCheckBox>(m, "chbExternal")->click();
    PressCancel(m);
  });
  QString seen;
  RunModal(&dialog, [&](QWidget* m) {
    seen = Control<QLineEdit>(m, "eName")->text() + "|" + Control<QLineEdit>(m, "eCommand")->text();
    PressOk(m);
  });
  EXPECT_EQ(seen, "Seq A|x1F");
  EXPECT_FALSE(Control<QCheckBox>(&dialog, "chbExternal")->isChecked());
}

// What Execute gives back: the words composed, and the name as stored unless
// the operator typed another one.
TEST(B_GoDataDialog, ExecuteGivesTheSequenceAndKeepsAnUntouchedNamesBytes) {
  const BGoDataSequence stored{"D\xe9j\xe0", {MakeShortWord(5)}};  // Windows-1252
  struct Case {
    const char* what;
    const char* typed;  // nullptr: the name is left as shown
    bool ok;
    std::optional<std::string> name;
  };
  const Case cases[] = {
      {"name left as shown", nullptr, true, "D\xe9j\xe0"},
      {"name typed", "Caf\xc3\xa9", true, "Caf\xc3\xa9"},
      {"cancelled", nullptr, false, std::nullopt},
  };
  TB_GoDataDlg dialog;
  for (const Case& c : cases) {
    ModalAnswer answer([&](QWidget* m) {
      EXPECT_EQ(Control<QLineEdit>(m, "eName")->text(), QStringLiteral("D\u00e9j\u00e0"));
      if (c.typed != nullptr) Control<QLineEdit>(m, "eName")->setText(QString::fromUtf8(c.typed));
      Control<QLineEdit>(m, "eCommand")->setText("7");
      Control<QPushButton>(m, "AddShort")->click();
      c.ok ? PressOk(m) : PressCancel(m);
    });
    const std::optional<BGoDataSequence> result = dialog.Execute(stored, 0);
    ASSERT_TRUE(answer.Answered()) << c.what;
    ASSERT_EQ(result.has_value(), c.name.has_value()) << c.what;
    if (!result) continue;
    EXPECT_EQ(result->Name, *c.name) << c.what;
    EXPECT_EQ(result->Words, (BGoWords{MakeShortWord(5), MakeShortWord(7)})) << c.what;
  }
  // A new sequence starts empty; "< Curr Rx" puts in the TTCrx given.
  ModalAnswer answer([](QWidget* m) {
    EXPECT_EQ(Control<QListWidget>(m, "lbB_BoData")->count(), 0);
    Control<QPushButton>(m, "bCurRx")->click();
    EXPECT_EQ(Control<QLineEdit>(m, "eRxAddres")->text(), QStringLiteral("4660"));
    PressOk(m);
  });
  const std::optional<BGoDataSequence> added = dialog.Execute(std::nullopt, 0x1234);
  ASSERT_TRUE(added.has_value());
  EXPECT_TRUE(added->Words.empty());
}

// ------------------------------------------------------------ TfrmDataForSave

TEST(DataForSaveDialog, LabelsFifoNumberAndList) {
  TfrmDataForSave dialog;
  const QStringList labels = LabelTexts(&dialog);
  for (const char* text : {"Choose data for save for", "B-Go FIFO", "Data"})
    EXPECT_EQ(labels.count(text), 1) << text;
  QLabel* number = Control<QLabel>(&dialog, "lFIFONumber");
  ASSERT_NE(number, nullptr);
  EXPECT_EQ(number->text(), "[0]");
  QListWidget* list = Control<QListWidget>(&dialog, "lbB_GoDataSeq");
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->count(), 0);

  dialog.show();
  QLabel* data = nullptr;
  QLabel* choose = nullptr;
  for (QLabel* label : dialog.findChildren<QLabel*>()) {
    if (label->text() == "Data") data = label;
    if (label->text() == "Choose data for save for") choose = label;
  }
  ASSERT_TRUE(data && choose);
  const auto at = [&](QWidget* w) { return QRect(w->mapTo(&dialog, QPoint(0, 0)), w->size()); };
  EXPECT_LT(at(data).bottom(), at(list).top()) << "\"Data\" over the list";
  EXPECT_LT(at(choose).right(), at(list).left()) << "the question left of the list";
  EXPECT_LT(at(choose).bottom(), at(number).top());
  dialog.hide();
}

// ------------------------------------------------------------------ Help

QList<QWidget*> HelpWindows() {
  QList<QWidget*> windows;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == "HelpWindow") windows << w;
  return windows;
}

TEST(HelpViewer, ShowRecordsTheRequestAndReturnsAtOnce) {
  const int before = HelpViewer::RequestCount();
  HelpViewer::Show("Vorura.hlp", HelpViewer::kHelpContents, 0);
  EXPECT_EQ(HelpViewer::RequestCount(), before + 1);
  EXPECT_EQ(HelpViewer::LastHelpFile(), "Vorura.hlp");
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the help window is not modal";

  const QList<QWidget*> windows = HelpWindows();
  if (!QFile::exists(":/help/index.html")) {
    EXPECT_TRUE(windows.isEmpty()) << "no guide shipped: nothing is shown";
    return;
  }
  ASSERT_EQ(windows.size(), 1);
  QWidget* window = windows.front();
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), "Quorvane Help");
  EXPECT_EQ(window->windowModality(), Qt::NonModal);
  EXPECT_FALSE(window->testAttribute(Qt::WA_QuitOnClose)) << "must not keep the program running";
  QTextBrowser* browser = Control<QTextBrowser>(window, "HelpBrowser");
  ASSERT_NE(browser, nullptr);
  EXPECT_EQ(browser->source(), QUrl("qrc:/help/index.html"));
  EXPECT_FALSE(browser->document()->isEmpty());

  HelpViewer::Show("Vorura.hlp", HelpViewer::kHelpContents, 0);  // same window again
  EXPECT_EQ(HelpWindows().size(), 1);
  EXPECT_EQ(HelpViewer::RequestCount(), before + 2);
  window->hide();
}

TEST(HelpViewer, InternalLinksOfTheContentsPageLeadToPages) {
  HelpViewer::Show("Vorura.hlp", HelpViewer::kHelpContents, 0);
  if (!QFile::exists(":/help/index.html")) GTEST_SKIP() << "no operator's guide shipped yet";
  ASSERT_EQ(HelpWindows().size(), 1);
  QWidget* window = HelpWindows().front();
  QTextBrowser* browser = Control<QTextBrowser>(window, "HelpBrowser");
  ASSERT_NE(browser, nullptr);
  EXPECT_TRUE(browser->openLinks());
  QStringList links;
  for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next())
    for (auto it = block.begin(); !it.atEnd(); ++it)
      if (it.fragment().charFormat().isAnchor()) links << it.fragment().charFormat().anchorHref();
  links.removeDuplicates();
  EXPECT_FALSE(links.isEmpty());
  const QUrl contents = browser->source();
  for (const QString& link : links) {
    const QUrl target = contents.resolved(QUrl(link));
    if (target.scheme() != "qrc") continue;  // only the guide's own pages
    EXPECT_TRUE(QFile::exists(":" + target.path())) << link.toStdString();
    browser->setSource(target);
    EXPECT_FALSE(browser->document()->toPlainText().trimmed().isEmpty()) << link.toStdString();
  }
  window->hide();
}

TEST(HelpViewer, OtherCommandsAreRecordedButShowNothing) {
  for (QWidget* w : HelpWindows()) w->hide();
  const int before = HelpViewer::RequestCount();
  HelpViewer::Show("Other.hlp", 1, 0);
  EXPECT_EQ(HelpViewer::RequestCount(), before + 1);
  EXPECT_EQ(HelpViewer::LastHelpFile(), "Other.hlp");
  for (QWidget* w : HelpWindows()) EXPECT_FALSE(w->isVisible());
}

}  // namespace
