#include "ui/EventGuard.h"

#include <QEvent>
#include <QWidget>

namespace {

class EventBinding : public QObject {
 public:
  EventBinding(QWidget* target, std::function<bool(QWidget*, QEvent*)> matches,
               std::function<void()> handler)
      : QObject(target), Matches_(std::move(matches)), Handler_(std::move(handler)) {
    target->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (Matches_(static_cast<QWidget*>(watched), event)) Guarded(watched, Handler_);
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<bool(QWidget*, QEvent*)> Matches_;
  std::function<void()> Handler_;
};

}  // namespace

void event_guard::ShowError(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const EActionStopped&) {
  } catch (const Exception& shown) {
    ShowErrorBox(shown.Message());
  } catch (const std::exception& shown) {
    ShowErrorBox(shown.what());
  } catch (...) {
    ShowErrorBox("Unknown error");
  }
}

void BindEvent(QWidget* target, std::function<bool(QWidget*, QEvent*)> matches,
               std::function<void()> handler) {
  new EventBinding(target, std::move(matches), std::move(handler));
}
