#include "ui/DialogFrame.h"

#include <QDialog>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kMargin = 8;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 5;

// Each showing starts with the focus on the control that had it when the
// dialog was last closed (the first control at the first showing), so Enter
// means the same thing every time. Qt may move a hidden window's focus on
// to the next control, which could put it on Cancel.
class FocusKeeper : public QObject {
 public:
  explicit FocusKeeper(QDialog* dialog) : QObject(dialog), Dialog_(dialog) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == Dialog_) {
      if (event->type() == QEvent::Hide) {
        Last_ = Dialog_->focusWidget();
      } else if (event->type() == QEvent::Show && Last_ && Last_->isEnabled()) {
        Last_->setFocus(Qt::OtherFocusReason);
      }
    }
    return false;
  }

 private:
  QDialog* Dialog_;
  QPointer<QWidget> Last_;
};

QPushButton* MakeButton(QDialog* dialog, const char* objectName, const char* text) {
  auto* button = new QPushButton(QString::fromLatin1(text), dialog);
  button->setObjectName(QString::fromLatin1(objectName));
  button->setMinimumSize(kButtonWidth, kButtonHeight);
  return button;
}

}  // namespace

DialogFrame BeginDialogFrame(QDialog* dialog, const char* objectName, const char* caption) {
  dialog->setObjectName(QString::fromLatin1(objectName));
  dialog->setWindowTitle(QString::fromLatin1(caption));
  dialog->setModal(true);
  dialog->setSizeGripEnabled(false);

  DialogFrame frame;
  frame.Bevel = new QFrame(dialog);
  frame.Bevel->setObjectName(QStringLiteral("Bevel1"));
  frame.Bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
  return frame;
}

void EndDialogFrame(QDialog* dialog, DialogFrame& frame, QSize clientSize) {
  frame.OKBtn = MakeButton(dialog, "OKBtn", "OK");
  frame.OKBtn->setDefault(true);
  frame.CancelBtn = MakeButton(dialog, "CancelBtn", "Cancel");
  QObject::connect(frame.OKBtn, &QPushButton::clicked, dialog, &QDialog::accept);
  QObject::connect(frame.CancelBtn, &QPushButton::clicked, dialog, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->setSpacing(kButtonGap);
  buttons->addStretch(1);
  buttons->addWidget(frame.OKBtn);
  buttons->addWidget(frame.CancelBtn);
  buttons->addStretch(1);

  auto* layout = new QVBoxLayout(dialog);
  layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
  layout->setSpacing(kMargin);
  layout->addWidget(frame.Bevel, 1);
  layout->addLayout(buttons);

  dialog->installEventFilter(new FocusKeeper(dialog));

  // Fixed size, as the dialog frame of the panel; grown only when Qt's fonts
  // need more room than the given client size.
  dialog->setFixedSize(clientSize.expandedTo(layout->totalMinimumSize()));
}
