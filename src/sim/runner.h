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
  std::string tracePath;
  bool render = false;
  std::vector<std::int64_t> shotTicks;
  std::string shotsDir;
  std::string assetDir;
  // Optional: one line per finished battle with the resident memory then (soak runs).
  std::string memoryLogPath;
};

// Parses the command line; false with a message in *error on bad usage.
bool ParseRunnerOptions(int argc, char** argv, RunnerOptions* options, std::string* error);

// Runs the whole program; returns the exit status (0 normal end, 1 game failure, 2 bad use).
// A non-zero *closeRequest closes the window from outside at the next event pump.
int RunRunner(const RunnerOptions& options,
              const volatile std::sig_atomic_t* closeRequest = nullptr);

}  // namespace bf
