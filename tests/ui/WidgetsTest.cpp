#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QWidget>
#include <memory>
#include <vector>

#include "UiTestSupport.h"
#include "ui/FSelectValue.h"
#include "ui/SpinEdit.h"
#include "ui/WheelGuard.h"

namespace {

// A shown, active window so that focus and leaving a box behave as on screen.
class Window {
 public:
  Window() : Root_(std::make_unique<QWidget>()) {
    new QVBoxLayout(Root_.get());
    Other_ = Add(new QPushButton(QStringLiteral("elsewhere")));
  }
  ~Window() { Root_->hide(); }
  template <class T>
  T* Add(T* widget) {
    Root_->layout()->addWidget(widget);
    return widget;
  }
  bool Show() {
    Root_->show();
    QApplication::setActiveWindow(Root_.get());
    return QTest::qWaitForWindowActive(Root_.get());
  }
  void FocusElsewhere() { Other_->setFocus(Qt::TabFocusReason); }
  QWidget* Root() { return Root_.get(); }

 private:
  std::unique_ptr<QWidget> Root_;
  QPushButton* Other_;
};

// Records the box's text at every Changed.
class ChangeLog {
 public:
  explicit ChangeLog(TSpinEdit* box) {
    QObject::connect(box, &TSpinEdit::Changed, box, [this, box] { Texts.push_back(box->text()); });
  }
  std::vector<QString> Texts;
};

// Operator typing: focus the box, select its text, type.
void TypeOver(TSpinEdit* box, const QString& keys) {
  box->setFocus(Qt::MouseFocusReason);
  box->lineEdit()->selectAll();
  QTest::keyClicks(box, keys);
}

// Sends one wheel notch (up) to control; returns whether it was accepted
// (an ignored wheel event travels on to the parent, which may scroll).
bool WheelUp(QWidget* control) {
  const QPointF at(control->width() / 2.0, control->height() / 2.0);
  QWheelEvent wheel(at, control->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(control, &wheel);
  return wheel.isAccepted();
}

std::vector<QString> Texts(std::initializer_list<const char*> texts) {
  std::vector<QString> result;
  for (const char* text : texts) result.push_back(QString::fromLatin1(text));
  return result;
}

// ---------------------------------------------------------------- TSpinEdit

class SpinEditTest : public ::testing::Test {
 protected:
  TSpinEdit* Make(TSpinEdit::ClampMode mode, int min, int max) {
    auto* box = Window_.Add(new TSpinEdit(nullptr, mode));
    box->setRange(min, max);
    box->SetValue(min);
    return box;
  }
  Window Window_;
};

TEST_F(SpinEditTest, EachKeystrokeIsOneChange) {
  TSpinEdit* box = Make(TSpinEdit::ClampMode::Immediately, 0, 239);
  ASSERT_TRUE(Window_.Show());
  ChangeLog log(box);
  TypeOver(box, "12");
  EXPECT_EQ(log.Texts, Texts({"1", "12"}));
  EXPECT_EQ(box->Value(), 12);
}

TEST_F(SpinEditTest, ImmediatelyBringsTypedValueToTheBoundAtOnce) {
  TSpinEdit* box = Make(TSpinEdit::ClampMode::Immediately, 0, 239);
  ASSERT_TRUE(Window_.Show());
  ChangeLog log(box);
  TypeOver(box, "300");
  EXPECT_EQ(log.Texts, Texts({"3", "30", "239"}));
  EXPECT_EQ(box->text(), "239");
  EXPECT_EQ(box->Value(), 239);
  EXPECT_EQ(box->value(), 239);
}

TEST_F(SpinEditTest, OnLeaveKeepsTheTypedValueUntilTheBoxIsLeft) {
  TSpinEdit* box = Make(TSpinEdit::ClampMode::OnLeave, 0, 4095);
  ASSERT_TRUE(Window_.Show());
  ChangeLog log(box);
  TypeOver(box, "5000");
  EXPECT_EQ(log.Texts, Texts({"5", "50", "500", "5000"}));
  EXPECT_EQ(box->text(), "5000");
  EXPECT_EQ(box->Value(), 5000);  // as it stands

  Window_.FocusElsewhere();
  EXPECT_FALSE(box->hasFocus());
  EXPECT_EQ(box->text(), "4095");
  EXPECT_EQ(box->Value(), 4095);
  EXPECT_EQ(log.Texts, Texts({"5", "50", "500", "5000", "4095"}));
}

TEST_F(SpinEditTest, OnLeaveBringsANegativeValueToTheMinimum) {
  TSpinEdit* box = Make(TSpinEdit::ClampMode::OnLeave, 0, 255);
  ASSERT_TRUE(Window_.Show());
  box->setFocus(Qt::MouseFocusReason);
  box->lineEdit()->setText("-7");
  EXPECT_EQ(box->Value(), -7);
  Window_.FocusElsewhere();
  EXPECT_EQ(box->text(), "0");
}

TEST_F(SpinEditTest, ClearedTextShowsTheMinimum) {
  for (auto mode : {TSpinEdit::ClampMode::Immediately, TSpinEdit::ClampMode::OnLeave}) {
    TSpinEdit* box = Make(mode, 5, 20);
    ASSERT_TRUE(Window_.Show());
    box->SetValue(12);
    ChangeLog log(box);
    box->setFocus(Qt::MouseFocusReason);
    box->lineEdit()->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(box->text(), "5");
    EXPECT_EQ(box->Value(), 5);
    EXPECT_EQ(log.Texts, Texts({"5"}));
  }
}

TEST_F(SpinEditTest, LoneMinusReadsAsTheMinimum) {
  TSpinEdit* box = Make(TSpinEdit::ClampMode::OnLeave, 0, 255);
  ASSERT_TRUE(Window_.Show());
  box->SetValue(40);
  TypeOver(box, "-");
  EXPECT_EQ(box->text(), "0");
  EXPECT_EQ(box->Value(), 0);
}

TEST_F(SpinEditTest, NumberBeyondThirtyTwoBitsReadsAsTheMinimum) {
  // The box reads its text by the program's one number rule: ten digits
  // beyond 2147483647 are no integer, so the box falls back to its minimum.
  TSpinEdit* box = Make(TSpinEdit::ClampMode::OnLeave, 0, 4095);
  ASSERT_TRUE(Window_.Show());
  ChangeLog log(box);
  TypeOver(box, "2147483647");
  EXPECT_EQ(box->Value(), 2147483647);
  QTest::keyClicks(box, "0");
  EXPECT_EQ(box->text(), "0");
  EXPECT_EQ(box->Value(), 0);
}

TEST_F(SpinEditTest, RefusesLettersAndOtherCharacters) {
  TSpinEdit* box = Make(TSpinEdit::ClampMode::Immediately, 0, 239);
  ASSERT_TRUE(Window_.Show());
  box->SetValue(17);
  ChangeLog log(box);
  box->setFocus(Qt::MouseFocusReason);
  box->lineEdit()->end(false);
  QTest::keyClicks(box, "a x+.");
  EXPECT_EQ(box->text(), "17");
  EXPECT_TRUE(log.Texts.empty());
}

TEST_F(SpinEditTest, NonNumberSetByCodeShowsTheMinimum) {
  TSpinEdit* box = Make(TSpinEdit::ClampMode::OnLeave, 3, 255);
  box->SetValue(100);
  ChangeLog log(box);
  box->lineEdit()->setText("abc");
  EXPECT_EQ(box->text(), "3");
  EXPECT_EQ(box->Value(), 3);
  EXPECT_EQ(log.Texts, Texts({"3"}));
}

TEST_F(SpinEditTest, SettingFromCodeIsOneChangeAndClamps) {
  TSpinEdit* box = Make(TSpinEdit::ClampMode::OnLeave, 0, 255);
  ChangeLog log(box);
  box->SetValue(7);
  box->SetValue(7);  // no change, no event
  box->SetValue(300);
  box->SetValue(-1);
  EXPECT_EQ(log.Texts, Texts({"7", "255", "0"}));
}

TEST_F(SpinEditTest, ArrowStepsStayWithinTheRange) {
  TSpinEdit* box = Make(TSpinEdit::ClampMode::OnLeave, 0, 255);
  ASSERT_TRUE(Window_.Show());
  box->setFocus(Qt::MouseFocusReason);
  ChangeLog log(box);
  box->SetValue(254);
  QTest::keyClick(box, Qt::Key_Up);
  QTest::keyClick(box, Qt::Key_Up);  // at the top: nothing
  EXPECT_EQ(box->text(), "255");
  box->SetValue(1);
  QTest::keyClick(box, Qt::Key_Down);
  QTest::keyClick(box, Qt::Key_Down);
  QTest::keyClick(box, Qt::Key_PageDown);
  EXPECT_EQ(box->text(), "0");
  QTest::keyClick(box, Qt::Key_PageUp);
  EXPECT_EQ(box->text(), "10");
  box->SetValue(250);
  QTest::keyClick(box, Qt::Key_PageUp);
  EXPECT_EQ(box->text(), "255");
  EXPECT_EQ(log.Texts, Texts({"254", "255", "1", "0", "10", "250", "255"}));
}

TEST_F(SpinEditTest, ArrowStepsFromTheTypedValueAndClamps) {
  TSpinEdit* box = Make(TSpinEdit::ClampMode::OnLeave, 0, 4095);
  ASSERT_TRUE(Window_.Show());
  TypeOver(box, "5000");
  QTest::keyClick(box, Qt::Key_Down);
  EXPECT_EQ(box->text(), "4095");
  TypeOver(box, "17");
  QTest::keyClick(box, Qt::Key_Up);
  EXPECT_EQ(box->text(), "18");
}

TEST_F(SpinEditTest, WheelStepsOnlyWithFocus) {
  TSpinEdit* box = Make(TSpinEdit::ClampMode::OnLeave, 0, 255);
  ASSERT_TRUE(Window_.Show());
  box->SetValue(10);
  Window_.FocusElsewhere();
  ChangeLog log(box);
  EXPECT_FALSE(WheelUp(box)) << "without focus the wheel goes on to the parent";
  EXPECT_FALSE(WheelUp(box->lineEdit()));
  EXPECT_EQ(box->text(), "10");
  EXPECT_TRUE(log.Texts.empty());
  EXPECT_FALSE(box->hasFocus()) << "the wheel must not hand the box the focus";

  box->setFocus(Qt::MouseFocusReason);
  EXPECT_TRUE(WheelUp(box));
  EXPECT_EQ(box->text(), "11");
  EXPECT_EQ(log.Texts, Texts({"11"}));
}

TEST(WheelGuard, TakesFocusByClickAndTabButNotByWheel) {
  QSlider slider;
  RequireFocusForWheel(&slider);
  RequireFocusForWheel(&slider);  // a second call adds no second filter
  EXPECT_EQ(slider.focusPolicy(), Qt::StrongFocus);
  EXPECT_EQ(slider.findChildren<QObject*>(QStringLiteral("WheelGuard")).size(), 1);
  TSpinEdit box;
  EXPECT_EQ(box.focusPolicy(), Qt::StrongFocus);
}

// ----------------------------------------------------------- TfrSelectValue

class SelectValueTest : public ::testing::Test {
 protected:
  SelectValueTest() : Selector(Window_.Add(new TfrSelectValue)) {
    Selector->setObjectName("frSelectReg0");
    QObject::connect(Selector, &TfrSelectValue::TrackBarChange, Selector, [this] {
      Positions.push_back(Selector->GetValue());
      BoxAtTrackBarChange.push_back(Control<TSpinEdit>(Selector, "seSpinEdit")->text());
    });
    QObject::connect(Selector, &TfrSelectValue::SpinEditChange, Selector,
                     [this] { ++SpinEditChanges; });
  }
  void Forget() {
    Positions.clear();
    BoxAtTrackBarChange.clear();
    SpinEditChanges = 0;
  }
  QSlider* Slider() { return Control<QSlider>(Selector, "tbTrackBar"); }
  TSpinEdit* Box() { return Control<TSpinEdit>(Selector, "seSpinEdit"); }
  void ExpectShowing(int value) {
    EXPECT_EQ(Selector->GetValue(), value);
    EXPECT_EQ(Control<QSlider>(Selector, "tbTrackBar")->value(), value);
    EXPECT_EQ(Control<TSpinEdit>(Selector, "seSpinEdit")->text(), QString::number(value));
  }

  Window Window_;
  TfrSelectValue* Selector;
  std::vector<int> Positions;  // slider position at each TrackBarChange
  std::vector<QString> BoxAtTrackBarChange;
  int SpinEditChanges = 0;
};

TEST_F(SelectValueTest, IsBuiltAsSliderBesideNumberBox) {
  EXPECT_EQ(Selector->size(), QSize(104, 22));
  QSlider* slider = Control<QSlider>(Selector, "tbTrackBar");
  TSpinEdit* box = Control<TSpinEdit>(Selector, "seSpinEdit");
  ASSERT_TRUE(slider && box);
  EXPECT_EQ(slider, Slider());
  EXPECT_EQ(box, Box());
  EXPECT_EQ(slider->orientation(), Qt::Horizontal);
  EXPECT_EQ(slider->x(), 0);  // on the left
  EXPECT_EQ(slider->minimum(), 0);
  EXPECT_EQ(slider->maximum(), 10);
  EXPECT_EQ(slider->value(), 0);
  EXPECT_EQ(slider->tickInterval(), 1);
  EXPECT_EQ(slider->tickPosition(), QSlider::TicksAbove);
  EXPECT_EQ(slider->singleStep(), 1);
  EXPECT_EQ(box->geometry().right(), 103);  // on the right
  EXPECT_LT(slider->geometry().right(), box->x());
  EXPECT_EQ(box->minimum(), 0);
  EXPECT_EQ(box->maximum(), 10);
  EXPECT_EQ(box->text(), "0");
  EXPECT_EQ(box->Mode(), TSpinEdit::ClampMode::Immediately);
  EXPECT_EQ(slider->focusPolicy(), Qt::StrongFocus);
  EXPECT_EQ(box->focusPolicy(), Qt::StrongFocus);
}

TEST_F(SelectValueTest, BoxShowsEveryDigitOfItsValue) {
  Selector->SetMaxValue(239);
  Selector->SetValue(239);
  ASSERT_TRUE(Window_.Show());
  QLineEdit* editor = Box()->lineEdit();
  EXPECT_GE(editor->width(), editor->fontMetrics().horizontalAdvance("239") + 4);
  EXPECT_GE(Slider()->width(), 40);
  EXPECT_LE(Slider()->width(), 57);
  EXPECT_GE(Box()->width(), 38);
}

TEST_F(SelectValueTest, KeepsTheGivenProportionsWhereTheFontAllows) {
  QFont small = Selector->font();
  small.setPixelSize(6);
  Selector->setFont(small);
  Selector->SetMaxValue(15);
  EXPECT_EQ(Slider()->width(), 57);
  EXPECT_EQ(Box()->width(), 38);
}

TEST_F(SelectValueTest, SetMaxValueSetsBothMaxima) {
  Selector->SetMaxValue(239);
  EXPECT_EQ(Slider()->maximum(), 239);
  EXPECT_EQ(Box()->maximum(), 239);
  EXPECT_TRUE(Positions.empty());
  ExpectShowing(0);
}

TEST_F(SelectValueTest, SetMaxValueBelowThePositionIsASliderChange) {
  Selector->SetMaxValue(239);
  Selector->SetValue(200);
  Forget();
  Selector->SetMaxValue(15);
  EXPECT_EQ(Positions, std::vector<int>{15});
  ExpectShowing(15);
  Selector->SetMaxValue(15);  // unchanged: nothing
  EXPECT_EQ(Positions.size(), 1u);
}

TEST_F(SelectValueTest, SetValueMovesTheSliderLikeTheOperator) {
  Selector->SetMaxValue(239);
  Selector->SetValue(100);
  EXPECT_EQ(Positions, std::vector<int>{100});
  EXPECT_EQ(BoxAtTrackBarChange, Texts({"100"})) << "the box takes the position first";
  ExpectShowing(100);
  Selector->SetValue(100);  // same position: nothing
  Selector->SetValue(300);  // clamped
  Selector->SetValue(-4);
  EXPECT_EQ(Positions, (std::vector<int>{100, 239, 0}));
  ExpectShowing(0);
  EXPECT_EQ(SpinEditChanges, 0);
}

TEST_F(SelectValueTest, SetValueQuietlySendsNothing) {
  Selector->SetMaxValue(239);
  Selector->SetValueQuietly(50);
  ExpectShowing(50);
  Selector->SetValueQuietly(1000);
  ExpectShowing(239);
  EXPECT_TRUE(Positions.empty());
  EXPECT_EQ(SpinEditChanges, 0);
  Selector->SetValue(238);  // later changes are reported again
  EXPECT_EQ(Positions, std::vector<int>{238});
}

TEST_F(SelectValueTest, SliderMoveUpdatesTheBoxBeforeTrackBarChange) {
  Selector->SetMaxValue(15);
  ASSERT_TRUE(Window_.Show());
  Slider()->setFocus(Qt::MouseFocusReason);
  QTest::keyClick(Slider(), Qt::Key_Right);
  QTest::keyClick(Slider(), Qt::Key_End);
  EXPECT_EQ(Positions, (std::vector<int>{1, 15}));
  EXPECT_EQ(BoxAtTrackBarChange, Texts({"1", "15"}));
  EXPECT_EQ(SpinEditChanges, 0) << "the box following the slider is no box edit";
  ExpectShowing(15);
}

TEST_F(SelectValueTest, TypingTwelveSendsOneThenTwelve) {
  Selector->SetMaxValue(239);
  ASSERT_TRUE(Window_.Show());
  TypeOver(Box(), "12");
  EXPECT_EQ(Positions, (std::vector<int>{1, 12}));
  EXPECT_EQ(SpinEditChanges, 2);
  ExpectShowing(12);
}

TEST_F(SelectValueTest, TypingBeyondTheMaximumStopsAtItOnce) {
  Selector->SetMaxValue(239);
  ASSERT_TRUE(Window_.Show());
  TypeOver(Box(), "300");
  EXPECT_EQ(Positions, (std::vector<int>{3, 30, 239}));
  ExpectShowing(239);

  // The whole text entered at once (paste): exactly one change, to 239.
  Selector->SetValueQuietly(0);
  Forget();
  Box()->lineEdit()->selectAll();
  Box()->lineEdit()->insert("300");
  EXPECT_EQ(Positions, std::vector<int>{239});
  ExpectShowing(239);
}

TEST_F(SelectValueTest, TypingTheSamePositionSendsNothing) {
  Selector->SetMaxValue(239);
  ASSERT_TRUE(Window_.Show());
  Selector->SetValue(239);
  Forget();
  Box()->setFocus(Qt::MouseFocusReason);
  Box()->lineEdit()->end(false);
  QTest::keyClicks(Box(), "9");  // 2399 clamps back to 239
  EXPECT_TRUE(Positions.empty());
  ExpectShowing(239);
  TypeOver(Box(), "239");
  EXPECT_EQ(Positions, (std::vector<int>{2, 23, 239}));
}

TEST_F(SelectValueTest, ClearingTheBoxSetsZero) {
  Selector->SetMaxValue(15);
  ASSERT_TRUE(Window_.Show());
  Selector->SetValue(7);
  Forget();
  Box()->setFocus(Qt::MouseFocusReason);
  Box()->lineEdit()->selectAll();
  QTest::keyClick(Box(), Qt::Key_Delete);
  EXPECT_EQ(Positions, std::vector<int>{0});
  ExpectShowing(0);
  Box()->lineEdit()->selectAll();
  QTest::keyClick(Box(), Qt::Key_Delete);  // already 0: nothing sent
  EXPECT_EQ(Positions, std::vector<int>{0});
}

TEST_F(SelectValueTest, BoxArrowsMoveTheSlider) {
  Selector->SetMaxValue(15);
  ASSERT_TRUE(Window_.Show());
  Selector->SetValue(14);
  Forget();
  Box()->setFocus(Qt::MouseFocusReason);
  QTest::keyClick(Box(), Qt::Key_Up);
  QTest::keyClick(Box(), Qt::Key_Up);
  EXPECT_EQ(Positions, std::vector<int>{15});
  ExpectShowing(15);
}

TEST_F(SelectValueTest, WheelMovesNothingWithoutFocus) {
  Selector->SetMaxValue(239);
  ASSERT_TRUE(Window_.Show());
  Selector->SetValue(100);
  Window_.FocusElsewhere();
  Forget();
  EXPECT_FALSE(WheelUp(Slider()));
  EXPECT_FALSE(WheelUp(Box()));
  EXPECT_TRUE(Positions.empty());
  ExpectShowing(100);

  Slider()->setFocus(Qt::MouseFocusReason);
  EXPECT_TRUE(WheelUp(Slider()));
  EXPECT_EQ(Positions.size(), 1u);
  EXPECT_NE(Selector->GetValue(), 100);
  ExpectShowing(Selector->GetValue());
}

}  // namespace
