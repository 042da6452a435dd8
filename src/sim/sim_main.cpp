// burrowfield-sim: the game without a window, for tests, benchmarks and screenshots.
#include <csignal>
#include <cstdio>

#include "sim/runner.h"

namespace {

volatile std::sig_atomic_t closeSignal = 0;

void OnCloseSignal(int signal) {
  closeSignal = signal;
}

// SIGINT and SIGTERM close the window from outside, so the program ends in order with its trace
// written. Installed before any video starts, so SDL keeps its own handlers (which would turn
// the signals into events nobody reads) out. A write the signal interrupts is carried on, not
// failed, so no line of the trace is lost. A repeated signal changes nothing: `timeout` sends
// its signal twice, to the program and to its process group, and the second must not cut the
// orderly end short.
void CatchCloseSignals() {
  struct sigaction action {};
  action.sa_handler = OnCloseSignal;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  bf::RunnerOptions options;
  std::string error;
  if (!bf::ParseRunnerOptions(argc, argv, &options, &error)) {
    std::fprintf(stderr, "burrowfield-sim: %s\n%s\n", error.c_str(), bf::kRunnerUsage);
    return 2;
  }
  CatchCloseSignals();
  const int status = bf::RunRunner(options, &closeSignal);
  if (closeSignal != 0) {
    // Ended by the signal, as it would have been without a handler: the caller sees the same
    // status (128 + the signal's number in a shell).
    std::fflush(nullptr);
    std::signal(closeSignal, SIG_DFL);
    std::raise(closeSignal);
  }
  return status;
}
