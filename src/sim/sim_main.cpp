// burrowfield-sim: the game without a window, for tests, benchmarks and screenshots.
#include <cstdio>

#include "sim/runner.h"

int main(int argc, char** argv) {
  bf::RunnerOptions options;
  std::string error;
  if (!bf::ParseRunnerOptions(argc, argv, &options, &error)) {
    std::fprintf(stderr, "burrowfield-sim: %s\n%s\n", error.c_str(), bf::kRunnerUsage);
    return 2;
  }
  return bf::RunRunner(options);
}
