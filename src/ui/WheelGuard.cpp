#include "ui/WheelGuard.h"

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>

namespace {

// Lets a wheel event through only while the guarded control (or one of its
// children, such as a spin box's line edit) holds the focus. Otherwise the
// event is left unaccepted so that it travels on to the parent, which may
// scroll, instead of changing a value that goes to the hardware.
class WheelFocusFilter : public QObject {
 public:
  explicit WheelFocusFilter(QWidget* control) : QObject(control), Control_(control) {
    setObjectName(QStringLiteral("WheelGuard"));
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Wheel || watched != Control_) return false;
    if (HasFocus()) return false;
    event->ignore();
    return true;
  }

 private:
  bool HasFocus() const {
    if (Control_->hasFocus()) return true;
    QWidget* focus = QApplication::focusWidget();
    return focus != nullptr && Control_->isAncestorOf(focus);
  }
  QWidget* Control_;
};

}  // namespace

void RequireFocusForWheel(QWidget* control) {
  if (control == nullptr) return;
  if (control->findChild<QObject*>(QStringLiteral("WheelGuard"), Qt::FindDirectChildrenOnly))
    return;  // guarded already
  // Focus by click and tab only: a wheel turned over the control must not
  // hand it the focus (and with it the right to change the value).
  control->setFocusPolicy(Qt::StrongFocus);
  for (QWidget* child : control->findChildren<QWidget*>()) {
    if ((child->focusPolicy() & Qt::WheelFocus) == Qt::WheelFocus)
      child->setFocusPolicy(Qt::StrongFocus);
  }
  control->installEventFilter(new WheelFocusFilter(control));
}
