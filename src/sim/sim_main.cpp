// burrowfield-sim: the game without a window, for tests, benchmarks and screenshots.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>

#include "sim/runner.h"

namespace {

volatile std::sig_atomic_t closeSignal = 0;
// The pipe whose read end turns readable when a close signal comes: a wait on a FIFO watches it,
// whichever thread the signal interrupted and however soon before the wait began.
int wakePipe[2] = {-1, -1};

void OnCloseSignal(int signal) {
  const int savedErrno = errno;
  closeSignal = signal;
  // Non-blocking: once a repeated signal has filled the pipe, it is readable already.
  const char byte = 1;
  [[maybe_unused]] const ssize_t wrote = write(wakePipe[1], &byte, 1);
  errno = savedErrno;
}

// SIGINT and SIGTERM close the window from outside, so the program ends in order with its trace
// written. Installed before any video starts, so SDL keeps its own handlers (which would turn
// the signals into events nobody reads) out. A write the signal interrupts is carried on, not
// failed, so no line of the trace is lost; a wait for a FIFO's other end ends through the wake
// pipe instead. A repeated signal changes nothing: `timeout` sends its signal twice, to the
// program and to its process group, and the second must not cut the orderly end short.
bool CatchCloseSignals() {
  if (pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
  struct sigaction action {};
  action.sa_handler = OnCloseSignal;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  bf::RunnerOptions options;
  std::string error;
  if (!bf::ParseRunnerOptions(argc, argv, &options, &error)) {
    std::fprintf(stderr, "burrowfield-sim: %s\n%s\n", error.c_str(), bf::kRunnerUsage);
    return 2;
  }
  if (!CatchCloseSignals()) {
    std::perror("burrowfield-sim: cannot make the signal pipe");
    return 1;
  }
  const int status = bf::RunRunner(options, bf::CloseSignal{&closeSignal, wakePipe[0]});
  if (closeSignal != 0) {
    // Ended by the signal, as it would have been without a handler: the caller sees the same
    // status (128 + the signal's number in a shell).
    std::fflush(nullptr);
    std::signal(closeSignal, SIG_DFL);
    std::raise(closeSignal);
  }
  return status;
}
