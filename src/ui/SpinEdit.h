#pragma once

#include <QSpinBox>
#include <QString>

// The number box of the panel (cse... boxes, seSpinEdit of the selectors),
// with the behaviour operators expect of the panel's number boxes:
//  - every edit of the text (each keystroke, each arrow click) emits Changed;
//    setting the value from code does too; exactly once per change;
//  - text that is not a number reads as the minimum, and the box shows it;
//  - a value outside the range is brought to the nearest bound: at once
//    (ClampMode::Immediately, the value selectors) or when the box is left
//    (ClampMode::OnLeave, the inhibit boxes). Qt's own spin box refuses such
//    typing instead, which would turn "300" into "30".
//  - the wheel steps the value only when the box has the focus.
class TSpinEdit : public QSpinBox {
  Q_OBJECT

 public:
  enum class ClampMode { Immediately, OnLeave };

  explicit TSpinEdit(QWidget* parent = nullptr, ClampMode mode = ClampMode::OnLeave);

  // The text read as an integer (not a number: the minimum), as it stands:
  // with ClampMode::OnLeave it may lie outside the range until the box is left.
  int Value() const;
  void SetValue(int value);  // clamped to the range
  ClampMode Mode() const { return Mode_; }
  // The width the box needs to show every digit of value beside its arrows
  // with the current font and style.
  int WidthToShow(int value) const;
  // The editor of the box, for selecting its text (tests, screenshots).
  using QSpinBox::lineEdit;

  // Arrows, PageUp/PageDown and the wheel step from the value as it stands
  // and stay within the range.
  void stepBy(int steps) override;

 signals:
  void Changed();

 protected:
  // Typing accepts an optional leading '-' and decimal digits. An integer
  // outside the range is Intermediate, not Invalid, so "300" can be typed.
  QValidator::State validate(QString& text, int& pos) const override;
  // Brings an out-of-range integer to the nearest bound; not a number: the minimum.
  void fixup(QString& text) const override;
  int valueFromText(const QString& text) const override;
  QString textFromValue(int value) const override;
  StepEnabled stepEnabled() const override;
  void focusOutEvent(QFocusEvent* event) override;
  bool event(QEvent* event) override;

 private:
  // Called after anything that may have changed the text (Qt updates the
  // text of a spin box with the editor's signals blocked): normalises the
  // text and emits Changed once when it differs from the last text seen.
  void CheckText();
  QString Normalized(const QString& text, bool clampToRange) const;

  ClampMode Mode_;
  QString LastText_;
  bool Normalizing_ = false;
};
