#include "UnixSignals.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <stdexcept>

namespace tarvik {

namespace {

constexpr std::array<int, 2> kHandledSignals = {SIGTERM, SIGINT};

// The self-pipe: written by the signal handler, read on the GUI thread. A
// signal handler can reach nothing but such plain process-wide state.
int g_signalPipe[2] = {-1, -1};
struct sigaction g_previous[kHandledSignals.size()];

extern "C" void OnUnixSignal(int signal) {
  const int savedErrno = errno;
  const unsigned char byte = static_cast<unsigned char>(signal);
  [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[0], &byte, 1);
  errno = savedErrno;
}

}  // namespace

TUnixSignals::TUnixSignals(std::function<void(int)> onSignal) : m_onSignal(std::move(onSignal)) {
  if (g_signalPipe[0] != -1) throw std::logic_error("The signal handlers are already installed");
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_signalPipe) != 0) {
    throw std::runtime_error("Unable to create the signal pipe");
  }
  m_notifier = std::make_unique<QSocketNotifier>(g_signalPipe[1], QSocketNotifier::Read);
  connect(m_notifier.get(), &QSocketNotifier::activated, this, &TUnixSignals::ReadPipe);

  for (std::size_t i = 0; i < kHandledSignals.size(); ++i) {
    struct sigaction action {};
    action.sa_handler = &OnUnixSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(kHandledSignals[i], &action, &g_previous[i]);
  }
}

TUnixSignals::~TUnixSignals() {
  for (std::size_t i = 0; i < kHandledSignals.size(); ++i) ::sigaction(kHandledSignals[i], &g_previous[i], nullptr);
  m_notifier.reset();
  ::close(g_signalPipe[0]);
  ::close(g_signalPipe[1]);
  g_signalPipe[0] = g_signalPipe[1] = -1;
}

void TUnixSignals::ReadPipe() {
  unsigned char byte = 0;
  while (::read(g_signalPipe[1], &byte, 1) == 1) {
    if (m_onSignal) m_onSignal(byte);
  }
}

}  // namespace tarvik
