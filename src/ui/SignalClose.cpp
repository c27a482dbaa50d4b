#include "ui/SignalClose.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>

#include "ui/EventGuard.h"

namespace {

// The write end for the handler; -1 when no SignalClose exists.
volatile std::sig_atomic_t WriteEnd = -1;

extern "C" void OnSignal(int) {
  const int saved = errno;
  const char byte = 1;
  // A full pipe already holds a close request: the byte may be dropped.
  [[maybe_unused]] const ssize_t written = ::write(WriteEnd, &byte, 1);
  errno = saved;
}

}  // namespace

SignalClose::SignalClose(QObject* context, std::function<void()> onSignal) {
  if (::pipe2(Pipe_.data(), O_CLOEXEC | O_NONBLOCK) != 0) return;  // the panel runs without
  WriteEnd = Pipe_[1];
  Notifier_ = new QSocketNotifier(Pipe_[0], QSocketNotifier::Read, this);
  connect(Notifier_, &QSocketNotifier::activated, context, [this, onSignal = std::move(onSignal)] {
    char bytes[16];
    while (::read(Pipe_[0], bytes, sizeof bytes) > 0) {
    }
    onSignal();
  });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (std::size_t n = 0; n < kSignals.size(); ++n) ::sigaction(kSignals[n], &action, &Former_[n]);
}

SignalClose::~SignalClose() {
  if (Notifier_ == nullptr) return;
  for (std::size_t n = 0; n < kSignals.size(); ++n) ::sigaction(kSignals[n], &Former_[n], nullptr);
  WriteEnd = -1;
  delete Notifier_;
  ::close(Pipe_[0]);
  ::close(Pipe_[1]);
}
