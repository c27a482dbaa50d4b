#pragma once

#include <QObject>
#include <array>
#include <csignal>

class QSocketNotifier;
class QWidget;

// A session logout, kill or Ctrl+C in the terminal (SIGTERM, SIGHUP, SIGINT)
// ends the panel as a close does: window's close handler runs, saves the
// configuration and may show its error box. The signal handler only writes
// a byte to a pipe; the event loop reads it and closes window. While one
// exists the three signals are caught; the former handlers come back with
// its end.
class SignalClose : public QObject {
 public:
  explicit SignalClose(QWidget* window);
  ~SignalClose() override;

  SignalClose(const SignalClose&) = delete;
  SignalClose& operator=(const SignalClose&) = delete;

 private:
  static constexpr std::array<int, 3> kSignals = {SIGTERM, SIGHUP, SIGINT};
  std::array<int, 2> Pipe_ = {-1, -1};
  std::array<struct sigaction, 3> Former_{};
  QSocketNotifier* Notifier_ = nullptr;
};
