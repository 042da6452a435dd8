#pragma once
// burrowfield-sim: the real game on the headless platform, driven by a script.
#include <csignal>
#include <cstdint>
#include <string>
#include <vector>

namespace bf {

extern const char kRunnerUsage[];

struct RunnerOptions {
  std::string scriptPath;
  std::int64_t ticks = 3000;
  // Without --ticks a replay file plays to its last line.
  bool ticksGiven = false;
  std::string tracePath;
  bool render = false;
  std::vector<std::int64_t> shotTicks;
  std::string shotsDir;
  std::string assetDir;
  // Optional: one line per finished battle with the resident memory then (soak runs).
  std::string memoryLogPath;
  // The master volume to start at, 0 to 10; the runner plays no sound, so it only shows.
  int volume = 10;
  // Optional: everything the run processed, as a replay file.
  std::string recordPath;
};

// Parses the command line; false with a message in *error on bad usage.
bool ParseRunnerOptions(int argc, char** argv, RunnerOptions* options, std::string* error);

// How SIGINT and SIGTERM reach a run: a flag, non-zero once one came, that closes the window
// from outside at the next event pump; and a descriptor that turns readable at the same moment,
// which ends a wait on a FIFO (its writer or reader may never come).
struct CloseSignal {
  const volatile std::sig_atomic_t* flag = nullptr;
  int wakeFd = -1;
};

// Runs the whole program; returns the exit status (0 normal end, 1 game failure, 2 bad use or
// an output not written). A run the close signal ended returns as soon as it can, having kept
// what it wrote; the caller then ends as the signal would have.
int RunRunner(const RunnerOptions& options, const CloseSignal& closeSignal = {});

}  // namespace bf
