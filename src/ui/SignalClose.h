#pragma once

#include <QObject>
#include <array>
#include <csignal>
#include <functional>
#include <memory>

#include "vme/TVMEInterface.h"

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

// The main window's connection once it may no longer reach the bus: shut,
// every access raises EActionStopped before anything is sent, so an action
// that a signal cut short goes no further and nothing follows the release of
// the module. Open, it passes everything on unchanged.
class ConnectionGate : public TVMEInterface {
 public:
  explicit ConnectionGate(std::unique_ptr<TVMEInterface> connection)
      : Connection_(std::move(connection)) {}

  void Shut() { Shut_ = true; }
  void Open() { Shut_ = false; }

  void ResetAdapter() override;
  void Write(std::uint32_t address, const void* data, std::uint32_t count) override;
  void Write32(std::uint32_t address, std::uint32_t value) override;
  void Write16(std::uint32_t address, std::uint16_t value) override;
  void Read(std::uint32_t address, void* data, std::uint32_t count) override;
  std::uint32_t Read32(std::uint32_t address) override;
  std::uint16_t Read16(std::uint32_t address) override;
  VMEConnectionDescription Describe() const override { return Connection_->Describe(); }

 private:
  TVMEInterface& Passed() const;

  std::unique_ptr<TVMEInterface> Connection_;
  bool Shut_ = false;
};
