#include "ui/FSelectValue.h"

#include <QEvent>
#include <QScopedValueRollback>
#include <QSlider>
#include <algorithm>

#include "ui/SpinEdit.h"
#include "ui/WheelGuard.h"

namespace {

constexpr int kWidth = 104;
constexpr int kHeight = 22;
constexpr int kSliderWidth = 57;
constexpr int kBoxWidth = 38;
constexpr int kMinSliderWidth = 40;
constexpr int kGap = 2;
constexpr int kStartMax = 10;

}  // namespace

TfrSelectValue::TfrSelectValue(QWidget* parent) : QFrame(parent) {
  setFrameShape(QFrame::NoFrame);
  setFixedSize(kWidth, kHeight);

  tbTrackBar = new QSlider(Qt::Horizontal, this);
  tbTrackBar->setObjectName(QStringLiteral("tbTrackBar"));
  tbTrackBar->setRange(0, kStartMax);
  tbTrackBar->setValue(0);
  tbTrackBar->setSingleStep(1);
  tbTrackBar->setPageStep(1);  // a click on the track moves one step: each step is sent
  tbTrackBar->setTickInterval(1);
  tbTrackBar->setTickPosition(QSlider::TicksAbove);

  seSpinEdit = new TSpinEdit(this, TSpinEdit::ClampMode::Immediately);
  seSpinEdit->setObjectName(QStringLiteral("seSpinEdit"));
  seSpinEdit->setRange(0, kStartMax);
  seSpinEdit->SetValue(0);
  ArrangeParts();

  // A scroll over the panel must not move a deskew or delay setting.
  RequireFocusForWheel(tbTrackBar);
  RequireFocusForWheel(seSpinEdit);

  connect(tbTrackBar, &QSlider::valueChanged, this, &TfrSelectValue::tbTrackBarChange);
  connect(seSpinEdit, &TSpinEdit::Changed, this, &TfrSelectValue::SpinEditChanged);
}

void TfrSelectValue::SetMaxValue(int max) {
  if (max == tbTrackBar->maximum()) return;
  tbTrackBar->setMaximum(max);  // may pull the position in: TrackBarChange
  seSpinEdit->setMaximum(max);
  ArrangeParts();
}

void TfrSelectValue::changeEvent(QEvent* event) {
  QFrame::changeEvent(event);
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) ArrangeParts();
}

void TfrSelectValue::ArrangeParts() {
  // The box is 38 pixels wide where the font allows; it grows when three
  // digits would not show beside its arrows (a clipped "239" reads "23"), and
  // the slider gives way.
  const int widest = std::max(seSpinEdit->WidthToShow(seSpinEdit->maximum()),
                              seSpinEdit->WidthToShow(seSpinEdit->minimum()));
  const int boxWidth = std::clamp(widest, kBoxWidth, kWidth - kMinSliderWidth - kGap);
  const int sliderWidth = std::min(kSliderWidth, kWidth - boxWidth - kGap);
  tbTrackBar->setGeometry(0, 0, sliderWidth, kHeight);
  seSpinEdit->setGeometry(kWidth - boxWidth, 0, boxWidth, kHeight);
}

int TfrSelectValue::GetValue() const { return tbTrackBar->value(); }

void TfrSelectValue::SetValue(int value) {
  if (value == tbTrackBar->value()) return;
  const int clamped = Clamped(value);
  tbTrackBar->setValue(clamped);  // TrackBarChange when the position moves
  const QScopedValueRollback<bool> following(FollowingSlider_, true);
  seSpinEdit->SetValue(clamped);
}

void TfrSelectValue::SetValueQuietly(int value) {
  const int clamped = Clamped(value);
  const QScopedValueRollback<bool> quiet(Quiet_, true);
  const QScopedValueRollback<bool> following(FollowingSlider_, true);
  tbTrackBar->setValue(clamped);
  seSpinEdit->SetValue(clamped);
}

int TfrSelectValue::Clamped(int value) const {
  return std::clamp(value, tbTrackBar->minimum(), tbTrackBar->maximum());
}

void TfrSelectValue::tbTrackBarChange(int position) {
  {
    // The box follows the slider; its change finds the slider already there.
    const QScopedValueRollback<bool> following(FollowingSlider_, true);
    seSpinEdit->SetValue(position);
  }
  if (!Quiet_) emit TrackBarChange();
}

void TfrSelectValue::SetSpinEditHandler(std::function<void()> handler) {
  SpinEditHandler_ = std::move(handler);
}

void TfrSelectValue::SpinEditChanged() {
  if (FollowingSlider_) return;  // the box follows the slider: no edit
  if (SpinEditHandler_)
    SpinEditHandler_();
  else
    seSpinEditChange();
}

void TfrSelectValue::seSpinEditChange() {
  // Not a number reads as 0 (the box already shows it); beyond the range
  // the slider stops at its end.
  const int clamped = Clamped(seSpinEdit->Value());
  if (clamped != tbTrackBar->value()) tbTrackBar->setValue(clamped);
  if (seSpinEdit->Value() != clamped) {
    const QScopedValueRollback<bool> following(FollowingSlider_, true);
    seSpinEdit->SetValue(clamped);
  }
  emit SpinEditChange();
}
