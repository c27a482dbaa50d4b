#pragma once

#include <QGroupBox>
#include <QStringList>
#include <vector>

class QRadioButton;

// A captioned group of choices in one column: ItemIndex() is the chosen
// item or -1 when none is chosen
// (the state at start). Click is emitted only when the operator makes or
// changes the choice (mouse or keyboard); SetItemIndex from code is silent.
class TRadioGroup : public QGroupBox {
  Q_OBJECT

 public:
  explicit TRadioGroup(QWidget* parent = nullptr);

  void SetItems(const QStringList& items);
  int Count() const { return static_cast<int>(Buttons_.size()); }
  QString ItemText(int index) const;

  int ItemIndex() const;
  // index -1 (or any index outside the items) clears the choice.
  void SetItemIndex(int index);

  QRadioButton* Button(int index) const;
  // Where item index lies inside the group, for placing controls beside it.
  QRect ItemRect(int index) const;

 signals:
  void Click();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void Arrange();
  void ButtonToggled(bool checked);

  std::vector<QRadioButton*> Buttons_;
  bool Updating_ = false;
};
