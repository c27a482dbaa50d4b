#pragma once

#include <QFrame>
#include <functional>

class QSlider;
class TSpinEdit;

// The value selector: a slider tbTrackBar and a number box seSpinEdit that
// always show the same value. Range 0..10 until SetMaxValue.
class TfrSelectValue : public QFrame {
  Q_OBJECT

 public:
  explicit TfrSelectValue(QWidget* parent = nullptr);

  // Sets the maximum of slider and number box when it differs from the
  // slider's. A slider position beyond the new maximum is pulled in, which is
  // a slider change like any other (TrackBarChange).
  void SetMaxValue(int max);
  int GetValue() const;
  // Moves the slider to value (clamped to 0..max) when it differs from the
  // position, which raises TrackBarChange exactly as an operator's move.
  void SetValue(int value);
  // Slider and number box take value (clamped) without TrackBarChange:
  // nothing is sent. Used only when a preset is applied.
  void SetValueQuietly(int value);

  // The number box's own behaviour: reads the box (not a number: 0) and
  // moves the slider to its value, clamped, then shows the clamped value.
  void seSpinEditChange();
  // The number box's change event runs handler instead of seSpinEditChange;
  // a window that takes the event over calls seSpinEditChange from it.
  void SetSpinEditHandler(std::function<void()> handler);

 signals:
  // The slider position changed (operator, wheel with focus, keys or code);
  // emitted after the number box took the new position.
  void TrackBarChange();
  // The number box was edited (operator or code, not the slider following
  // its own move); emitted after the selector's own behaviour (moving the
  // slider to the box's value) has run.
  void SpinEditChange();

 protected:
  void changeEvent(QEvent* event) override;

 private:
  QSlider* tbTrackBar;
  TSpinEdit* seSpinEdit;

  // Slider on the left, number box on the right, within the selector's size.
  void ArrangeParts();
  void tbTrackBarChange(int position);
  void SpinEditChanged();
  int Clamped(int value) const;
  bool Quiet_ = false;
  bool FollowingSlider_ = false;  // the box is being set to the slider position
  std::function<void()> SpinEditHandler_;
};
