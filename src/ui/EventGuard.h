#pragma once

#include <QObject>
#include <exception>
#include <functional>
#include <utility>

#include "base/Exception.h"
#include "ui/ErrorBox.h"

// Errors never pass through Qt's event loop. Every event handler runs inside
// this one guard: an error of the common base is shown in the error box and
// the program goes on, with whatever the handler did before the error done.
// Returns false when the handler ended with an error.
template <class Handler>
bool Guarded(Handler&& handler) {
  try {
    std::forward<Handler>(handler)();
    return true;
  } catch (const Exception& error) {
    ShowErrorBox(error.Message());
  } catch (const std::exception& error) {  // never let anything unwind into Qt
    ShowErrorBox(error.what());
  }
  return false;
}

// Connects signal of sender to handler (called without arguments) through
// the guard. context bounds the connection's lifetime.
template <class Sender, class Signal, class Handler>
QMetaObject::Connection Bind(Sender* sender, Signal signal, const QObject* context,
                             Handler handler) {
  return QObject::connect(sender, signal, context,
                          [handler = std::move(handler)]() { Guarded(handler); });
}

class QEvent;
class QWidget;

// For events that have no signal (a click on a panel, a double-click beside
// a list's lines): runs handler through the guard whenever target receives
// an event for which matches is true. The binding lives as long as target.
void BindEvent(QWidget* target, std::function<bool(QWidget*, QEvent*)> matches,
               std::function<void()> handler);
