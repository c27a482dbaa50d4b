#pragma once

#include <QObject>
#include <array>
#include <csignal>
#include <functional>
#include <memory>

class QSocketNotifier;

// A session logout, kill or Ctrl+C in the terminal (SIGTERM, SIGHUP, SIGINT)
// ends the panel as a close does (TfrmMain::CloseOnSignal). The signal
// handler only writes a byte to a pipe; the event loop that runs next reads
// it, a modal box's own loop included, and calls onSignal there. While one
// exists the three signals are caught; the former handlers come back with
// its end.
class SignalClose : public QObject {
 public:
  SignalClose(QObject* context, std::function<void()> onSignal);
  ~SignalClose() override;

  SignalClose(const SignalClose&) = delete;
  SignalClose& operator=(const SignalClose&) = delete;

 private:
  static constexpr std::array<int, 3> kSignals = {SIGTERM, SIGHUP, SIGINT};
  std::array<int, 2> Pipe_ = {-1, -1};
  std::array<struct sigaction, 3> Former_{};
  QSocketNotifier* Notifier_ = nullptr;
};
