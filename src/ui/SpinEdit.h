#pragma once

#include <QSpinBox>

// The number box of the panel (cse... boxes, seSpinEdit of the selectors),
// with the behaviour operators know from the original spin edits:
//  - every edit of the text (each keystroke, each arrow click) emits Changed;
//    setting the value from code does too;
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

 signals:
  void Changed();

 protected:
  QValidator::State validate(QString& text, int& pos) const override;
  void fixup(QString& text) const override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void OnTextEdited();
  ClampMode Mode_;
};
