#include "ui/RadioGroup.h"

#include <QEvent>
#include <QFontMetrics>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QStyle>
#include <QStyleOptionGroupBox>

namespace {
constexpr int kSideMargin = 3;
constexpr int kInnerMargin = 1;
}  // namespace

TRadioGroup::TRadioGroup(QWidget* parent) : QGroupBox(parent) {}

void TRadioGroup::SetItems(const QStringList& items) {
  for (QRadioButton* button : Buttons_) delete button;
  Buttons_.clear();
  for (const QString& text : items) {
    auto* button = new QRadioButton(text, this);
    connect(button, &QRadioButton::toggled, this, &TRadioGroup::ButtonToggled);
    Buttons_.push_back(button);
  }
  Arrange();
}

QString TRadioGroup::ItemText(int index) const {
  QRadioButton* button = Button(index);
  return button != nullptr ? button->text() : QString();
}

int TRadioGroup::ItemIndex() const {
  for (int i = 0; i < Count(); ++i) {
    if (Buttons_[i]->isChecked()) return i;
  }
  return -1;
}

void TRadioGroup::SetItemIndex(int index) {
  const QScopedValueRollback<bool> updating(Updating_, true);
  if (QRadioButton* button = Button(index)) {
    button->setChecked(true);
  } else {
    // Exclusive buttons refuse to clear the checked one; lift it for a moment.
    for (QRadioButton* each : Buttons_) {
      each->setAutoExclusive(false);
      each->setChecked(false);
      each->setAutoExclusive(true);
    }
  }
}

QRadioButton* TRadioGroup::Button(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return Buttons_[index];
}

QRect TRadioGroup::ItemRect(int index) const {
  if (Count() == 0) return {};
  // Items share the inside of the frame evenly.
  QStyleOptionGroupBox option;
  initStyleOption(&option);
  const QRect inside =
      style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxContents, this);
  const int top = inside.top() + kInnerMargin;
  const int step = (inside.bottom() + 1 - kInnerMargin - top) / Count();
  return {inside.left() + kSideMargin, top + index * step, inside.width() - 2 * kSideMargin, step};
}

void TRadioGroup::resizeEvent(QResizeEvent* event) {
  QGroupBox::resizeEvent(event);
  Arrange();
}

void TRadioGroup::changeEvent(QEvent* event) {
  QGroupBox::changeEvent(event);
  if (event->type() == QEvent::FontChange) Arrange();
}

void TRadioGroup::Arrange() {
  for (int i = 0; i < Count(); ++i) Buttons_[i]->setGeometry(ItemRect(i));
}

void TRadioGroup::ButtonToggled(bool checked) {
  // The newly checked button reports after the previous one was cleared, so
  // ItemIndex() already names the new choice.
  if (checked && !Updating_) emit Click();
}
