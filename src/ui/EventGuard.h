#pragma once

#include <QObject>
#include <QScopedValueRollback>
#include <QThread>
#include <exception>
#include <functional>
#include <string>
#include <type_traits>
#include <utility>

#include "base/Exception.h"
#include "buslog/BusCause.h"
#include "operate/ConnectionGate.h"
#include "ui/ControlCause.h"
#include "ui/ErrorBox.h"

namespace event_guard {
// The event-loop level of the guarded action running now; -1: none.
inline int& RunningLevel() {
  static int level = -1;
  return level;
}

// The first error of a handler that code inside a guarded action set off,
// kept for that action (by its event-loop level): it must not unwind through
// the widget code that ran the handler.
struct PendingError {
  int Level = -1;
  std::exception_ptr Error;
};
inline PendingError& Pending() {
  static PendingError pending;
  return pending;
}

// Takes the error kept for the action running at level, if any.
inline std::exception_ptr TakePending(int level) {
  PendingError& pending = Pending();
  if (pending.Error == nullptr || pending.Level != level) return nullptr;
  pending.Level = -1;
  return std::exchange(pending.Error, nullptr);
}

// Shows an error of the common base (or any other) in the error box; an
// EActionStopped shows nothing.
void ShowError(const std::exception_ptr& error);
}  // namespace event_guard

// Raises, in the guarded action running now, the error that a handler set
// off by the code just run (a control changed by code) left for it, so the
// action stops there. Call it right after changing such a control.
inline void RaisePendingError() {
  if (std::exception_ptr error = event_guard::TakePending(QThread::currentThread()->loopLevel()))
    std::rethrow_exception(error);
}

// Errors never pass through Qt's event loop. Every event handler runs inside
// this one guard: an error of the common base is shown in the error box and
// the program goes on, with whatever the handler did before the error done.
// Returns false when the handler ended with an error.
//
// A handler set off by another guarded action (a control that action changes
// by code) leaves its error to that action instead: one error box, and the
// outer action stops where it calls RaisePendingError (or, at the latest,
// when it ends). A handler run by a dialog's or a message
// box's own loop is an action of its own.
//
// control is the control whose event runs the handler: the bus accesses the
// handler makes are logged with what the operator did with it (its window's
// description, ControlCause.h), unless a handler further out has opened its
// cause already. Without a control the handler opens no cause of its own.
template <class Handler>
bool Guarded(const QObject* control, Handler&& handler) {
  const int level = QThread::currentThread()->loopLevel();
  const bool nested = event_guard::RunningLevel() == level;
  const QScopedValueRollback<int> running(event_guard::RunningLevel(), level);
  try {
    const BusCauseScope cause(
        [control] { return control != nullptr ? DescribeCause(control) : std::string(); });
    std::forward<Handler>(handler)();
    if (!nested) RaisePendingError();  // one the handler's code did not take
    return true;
  } catch (...) {  // never let anything unwind into Qt
    if (nested) {
      event_guard::PendingError& pending = event_guard::Pending();
      if (pending.Error == nullptr) pending = {level, std::current_exception()};
      return false;
    }
    // One error box for the action: its first error.
    std::exception_ptr first = event_guard::TakePending(level);
    event_guard::ShowError(first != nullptr ? first : std::current_exception());
  }
  return false;
}

template <class Handler>
bool Guarded(Handler&& handler) {
  return Guarded(nullptr, std::forward<Handler>(handler));
}

// Connects signal of sender to handler (called without arguments) through
// the guard, with sender as the control. context bounds the connection's
// lifetime.
template <class Sender, class Signal, class Handler>
QMetaObject::Connection Bind(Sender* sender, Signal signal, const QObject* context,
                             Handler handler) {
  const QObject* control = sender;
  return QObject::connect(sender, signal, context,
                          [control, handler = std::move(handler)]() { Guarded(control, handler); });
}

// What the operator does with control, for the bus log: a fixed text or a
// function that gives it (asked when a handler of the control starts, so it
// can name the state of that moment: "Deskew 1 of Rx1"). Parts of the
// control (a box's editor, a list's viewport) are described by it too.
template <class Cause>
void SetCause(QObject* control, Cause cause) {
  if constexpr (std::is_convertible_v<Cause, std::string>) {
    SetCauseDescriber(control, [text = std::string(cause)](const QObject*) { return text; });
  } else {
    SetCauseDescriber(control,
                      [cause = std::move(cause)](const QObject*) { return std::string(cause()); });
  }
}

// Bind, with the control's cause for the bus log given where its handler is
// bound.
template <class Sender, class Signal, class Cause, class Handler>
QMetaObject::Connection Bind(Sender* sender, Signal signal, const QObject* context, Cause cause,
                             Handler handler) {
  SetCause(sender, std::move(cause));
  return Bind(sender, signal, context, std::move(handler));
}

class QEvent;
class QWidget;

// For events that have no signal (a click on a panel, a double-click beside
// a list's lines): runs handler through the guard, with target as the
// control, whenever target receives an event for which matches is true. The
// binding lives as long as target.
void BindEvent(QWidget* target, std::function<bool(QWidget*, QEvent*)> matches,
               std::function<void()> handler);
