#include "ui/SpinEdit.h"

#include <QEvent>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>

#include "base/ReadNumber.h"
#include "ui/WheelGuard.h"

namespace {

bool LooksLikeTyping(const QString& text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text.at(i);
    if (c == QLatin1Char('-') && i == 0) continue;
    if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
  }
  return true;
}

// The integer an accepted text stands for, by the program's one number
// rule; nothing when it is no number ("", a lone "-", or beyond 32 bits),
// which the box then reads as its minimum.
std::optional<long long> ParseNumber(const QString& text) {
  if (!LooksLikeTyping(text)) return std::nullopt;
  const std::optional<std::int32_t> value = TryReadNumber(text.toStdString());
  if (!value) return std::nullopt;
  return *value;
}

}  // namespace

TSpinEdit::TSpinEdit(QWidget* parent, ClampMode mode) : QSpinBox(parent), Mode_(mode) {
  setSingleStep(1);
  setAccelerated(false);
  RequireFocusForWheel(this);
  LastText_ = lineEdit()->text();
  // Typing changes the editor's text with signals on; value changes made by
  // the spin box itself (arrows, code) come through textChanged of the box.
  connect(lineEdit(), &QLineEdit::textChanged, this, [this] { CheckText(); });
  connect(this, &QSpinBox::textChanged, this, [this] { CheckText(); });
}

int TSpinEdit::Value() const {
  const std::optional<long long> value = ParseNumber(lineEdit()->text());
  if (!value) return minimum();
  return static_cast<int>(std::clamp<long long>(*value, INT_MIN, INT_MAX));
}

void TSpinEdit::SetValue(int value) {
  setValue(std::clamp(value, minimum(), maximum()));
  CheckText();
}

int TSpinEdit::WidthToShow(int value) const {
  constexpr int kProbeWidth = 100;
  QStyleOptionSpinBox option;
  initStyleOption(&option);
  option.rect = QRect(0, 0, kProbeWidth, qMax(height(), 1));
  const QRect field =
      style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxEditField, this);
  // A line edit keeps 2 pixels each side of its text and one for the cursor.
  constexpr int kEditorMargins = 2 * 2 + 1;
  return kProbeWidth - field.width() + fontMetrics().horizontalAdvance(QString::number(value)) +
         kEditorMargins;
}

void TSpinEdit::stepBy(int steps) {
  const long long next =
      static_cast<long long>(Value()) + static_cast<long long>(steps) * singleStep();
  SetValue(static_cast<int>(std::clamp<long long>(next, minimum(), maximum())));
  if (style()->styleHint(QStyle::SH_SpinBox_SelectOnStep, nullptr, this)) selectAll();
}

QValidator::State TSpinEdit::validate(QString& text, int&) const {
  if (!LooksLikeTyping(text)) return QValidator::Invalid;
  const std::optional<long long> value = ParseNumber(text);
  if (!value) return QValidator::Intermediate;
  if (*value < minimum() || *value > maximum()) return QValidator::Intermediate;
  return QValidator::Acceptable;
}

void TSpinEdit::fixup(QString& text) const { text = Normalized(text, true); }

int TSpinEdit::valueFromText(const QString& text) const {
  const std::optional<long long> value = ParseNumber(text);
  if (!value) return minimum();
  return static_cast<int>(std::clamp<long long>(*value, minimum(), maximum()));
}

QString TSpinEdit::textFromValue(int value) const { return QString::number(value); }

QAbstractSpinBox::StepEnabled TSpinEdit::stepEnabled() const {
  if (isReadOnly()) return StepNone;
  if (wrapping()) return StepUpEnabled | StepDownEnabled;
  StepEnabled enabled = StepNone;
  const int value = Value();
  if (value < maximum()) enabled |= StepUpEnabled;
  if (value > minimum()) enabled |= StepDownEnabled;
  return enabled;
}

void TSpinEdit::focusOutEvent(QFocusEvent* event) {
  // Leaving the box brings a value typed outside the range to its bound.
  const QString text = lineEdit()->text();
  const QString clamped = Normalized(text, true);
  if (clamped != text) lineEdit()->setText(clamped);
  QSpinBox::focusOutEvent(event);
  CheckText();
}

bool TSpinEdit::event(QEvent* event) {
  const bool handled = QSpinBox::event(event);
  CheckText();
  return handled;
}

QString TSpinEdit::Normalized(const QString& text, bool clampToRange) const {
  const std::optional<long long> value = ParseNumber(text);
  if (!value) return QString::number(minimum());
  if (clampToRange && (*value < minimum() || *value > maximum()))
    return QString::number(std::clamp<long long>(*value, minimum(), maximum()));
  return text;
}

void TSpinEdit::CheckText() {
  if (Normalizing_) return;
  const QString text = lineEdit()->text();
  if (text == LastText_) return;
  const QString shown = Normalized(text, Mode_ == ClampMode::Immediately);
  if (shown != text) {
    const QScopedValueRollback<bool> normalizing(Normalizing_, true);
    lineEdit()->setText(shown);
  }
  LastText_ = lineEdit()->text();
  emit Changed();
}
