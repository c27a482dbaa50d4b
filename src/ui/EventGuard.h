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
#include "ui/ControlCause.h"
#include "ui/ErrorBox.h"

namespace event_guard {
// The event-loop level of the guarded action running now; -1: none.
inline int& RunningLevel() {
  static int level = -1;
  return level;
}
}  // namespace event_guard

// Errors never pass through Qt's event loop. Every event handler runs inside
// this one guard: an error of the common base is shown in the error box and
// the program goes on, with whatever the handler did before the error done.
// Returns false when the handler ended with an error.
//
// A handler set off by another guarded action (a control that action changes
// by code) lets its error go on to that action instead: one error box, and
// the outer action stops there. A handler run by a dialog's or a message
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
    return true;
  } catch (const Exception& error) {
    if (nested) throw;
    ShowErrorBox(error.Message());
  } catch (const std::exception& error) {  // never let anything unwind into Qt's loop
    if (nested) throw;
    ShowErrorBox(error.what());
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
