#pragma once

#include <QFrame>

class QSlider;
class TSpinEdit;

// The value selector: a slider tbTrackBar and a number box seSpinEdit that
// always show the same value. Range 0..10 until SetMaxValue.
class TfrSelectValue : public QFrame {
  Q_OBJECT

 public:
  explicit TfrSelectValue(QWidget* parent = nullptr);

  void SetMaxValue(int max);
  int GetValue() const;
  // Moves the slider to value (clamped to 0..max) when it differs from the
  // position, which raises TrackBarChange exactly as an operator's move.
  void SetValue(int value);
  // Slider and number box take value (clamped) without TrackBarChange:
  // nothing is sent. Used only when a preset is applied.
  void SetValueQuietly(int value);

  QSlider* tbTrackBar;
  TSpinEdit* seSpinEdit;

 signals:
  // The slider position changed (operator, wheel with focus, keys or code);
  // emitted after the number box took the new position.
  void TrackBarChange();
  // The number box changed; emitted after the selector's own behaviour
  // (moving the slider to the box's value) has run.
  void SpinEditChange();

 private:
  void tbTrackBarChange(int position);
  void seSpinEditChange();
  bool Quiet_ = false;
};
