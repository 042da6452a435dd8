#include "sim/runner.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>

#include "app/program.h"
#include "core/game.h"
#include "platform/files.h"
#include "platform/headless/headless_platform.h"
#include "sim/trace.h"

namespace bf {

const char kRunnerUsage[] =
    "usage: burrowfield-sim [--script FILE] [--ticks N] [--trace FILE] [--render]\n"
    "                       [--shot T[,T...] --shots-dir DIR] [--assets DIR]\n"
    "                       [--memory-log FILE]";

namespace {

// The largest run: every tick number still reads back exactly from the trace's JSON, where
// numbers are doubles; the 64-bit millisecond clock reaches far beyond it.
constexpr std::int64_t kMaxTicks = std::int64_t{1} << 53;

// Closes a file on every way out; the trace is closed by hand once, to see its last write fail.
struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

bool ParseCount(const char* text, std::int64_t* value) {
  char* end = nullptr;
  errno = 0;
  const long long parsed = std::strtoll(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || parsed < 0) return false;
  *value = parsed;
  return true;
}

bool ParseTickList(const std::string& text, std::vector<std::int64_t>* ticks) {
  std::istringstream in(text);
  for (std::string item; std::getline(in, item, ',');) {
    std::int64_t tick = 0;
    if (!ParseCount(item.c_str(), &tick)) return false;
    ticks->push_back(tick);
  }
  return !ticks->empty();
}

// The resident set size of this process in KiB, 0 when it cannot be read.
long ResidentKilobytes() {
  long pages = 0, resident = 0;
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm == nullptr) return 0;
  if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
  std::fclose(statm);
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Writes the trace, takes the screenshots and counts battles and their winners.
class RunnerObserver final : public TickObserver {
 public:
  RunnerObserver(const RunnerOptions& options, HeadlessPlatform& headless, std::FILE* trace,
                 std::FILE* memoryLog)
      : options_(options), headless_(headless), trace_(trace), memoryLog_(memoryLog) {
    line_.reserve(1 << 16);
  }

  void OnTickDone(Game& game, Screen screen) override {
    const std::int64_t tick = headless_.processedTicks();
    if (screen == Screen::kBattle) {
      if (lastScreen_ != Screen::kBattle) winners_.push_back(-1);
      winners_.back() = game.winner;
    } else if (lastScreen_ == Screen::kBattle && memoryLog_ != nullptr) {
      std::fprintf(memoryLog_, "battle=%zu ticks=%lld rss_kb=%ld\n", winners_.size(),
                   static_cast<long long>(tick), ResidentKilobytes());
      std::fflush(memoryLog_);
    }
    lastScreen_ = screen;
    if (trace_ != nullptr) WriteTrace(game, screen, tick);
    if (IsShotTick(tick)) TakeShot(game, tick);
    headless_.NoteTickProcessed();
  }

  bool failed() const { return failed_; }
  const std::vector<int>& winners() const { return winners_; }

 private:
  void WriteTrace(const Game& game, Screen screen, std::int64_t tick) {
    line_.clear();
    AppendTraceLine(game, screen, tick, &line_);
    line_.push_back('\n');
    if (std::fwrite(line_.data(), 1, line_.size(), trace_) != line_.size()) {
      Fail("cannot write the trace file " + options_.tracePath);
    }
  }

  bool IsShotTick(std::int64_t tick) const {
    for (std::int64_t t : options_.shotTicks) {
      if (t == tick) return true;
    }
    return false;
  }

  void TakeShot(Game& game, std::int64_t tick) {
    static std::uint8_t rgb[kScreenWidth * kScreenHeight * 3];
    const std::string path = options_.shotsDir + "/tick-" + std::to_string(tick) + ".png";
    if (!game.io.display->ReadScreen(rgb) || !WritePng(path, kScreenWidth, kScreenHeight, rgb)) {
      Fail("cannot write the screenshot " + path);
      game.runningFlag = 0;
      game.closeRequested = true;
    }
  }

  void Fail(const std::string& message) {
    if (!failed_) std::fprintf(stderr, "burrowfield-sim: %s\n", message.c_str());
    failed_ = true;
  }

  const RunnerOptions& options_;
  HeadlessPlatform& headless_;
  std::FILE* trace_;
  std::FILE* memoryLog_;
  std::string line_;
  Screen lastScreen_ = Screen::kSelection;
  std::vector<int> winners_;
  bool failed_ = false;
};

std::string FormatSummary(std::int64_t ticks, const std::vector<int>& winners, double seconds) {
  std::string list;
  for (std::size_t i = 0; i < winners.size(); ++i) {
    if (i > 0) list += ',';
    list += std::to_string(winners[i]);
  }
  char tail[64];
  std::snprintf(tail, sizeof tail, "] seconds=%.3f", seconds);
  return "ticks=" + std::to_string(ticks) + " battles=" + std::to_string(winners.size()) +
         " winners=[" + list + tail;
}

}  // namespace

bool ParseRunnerOptions(int argc, char** argv, RunnerOptions* options, std::string* error) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--render") {
      options->render = true;
    } else if (!hasValue) {
      *error = arg.rfind("--", 0) == 0 ? "missing value for " + arg : "unknown argument " + arg;
      return false;
    } else if (arg == "--script") {
      options->scriptPath = argv[++i];
    } else if (arg == "--ticks") {
      if (!ParseCount(argv[++i], &options->ticks) || options->ticks > kMaxTicks) {
        *error = "bad --ticks value (a count from 0 to 2^53 = 9007199254740992)";
        return false;
      }
    } else if (arg == "--trace") {
      options->tracePath = argv[++i];
    } else if (arg == "--shot") {
      if (!ParseTickList(argv[++i], &options->shotTicks)) {
        *error = "bad --shot list";
        return false;
      }
    } else if (arg == "--shots-dir") {
      options->shotsDir = argv[++i];
    } else if (arg == "--memory-log") {
      options->memoryLogPath = argv[++i];
    } else if (arg == "--assets") {
      options->assetDir = argv[++i];
    } else {
      *error = "unknown argument " + arg;
      return false;
    }
  }
  if (!options->shotTicks.empty()) {
    if (options->shotsDir.empty()) {
      *error = "--shot needs --shots-dir";
      return false;
    }
    options->render = true;
  }
  return true;
}

int RunRunner(const RunnerOptions& options, const volatile std::sig_atomic_t* closeRequest) {
  Script script;
  if (!options.scriptPath.empty()) {
    std::string text, error;
    if (!ReadTextFile(options.scriptPath, &text, &error)) {
      std::fprintf(stderr, "burrowfield-sim: cannot read the script %s: %s\n",
                   options.scriptPath.c_str(), error.c_str());
      return 2;
    }
    if (!ParseScript(text, &script, &error)) {
      std::fprintf(stderr, "burrowfield-sim: %s: %s\n", options.scriptPath.c_str(), error.c_str());
      return 2;
    }
  }
  if (!options.shotsDir.empty() && access(options.shotsDir.c_str(), W_OK) != 0) {
    std::fprintf(stderr, "burrowfield-sim: cannot write screenshots into %s\n",
                 options.shotsDir.c_str());
    return 2;
  }
  FileHandle trace;
  if (!options.tracePath.empty()) {
    trace.reset(std::fopen(options.tracePath.c_str(), "w"));
    if (trace == nullptr) {
      std::fprintf(stderr, "burrowfield-sim: cannot write the trace file %s\n",
                   options.tracePath.c_str());
      return 2;
    }
  }

  FileHandle memoryLog;
  if (!options.memoryLogPath.empty()) {
    memoryLog.reset(std::fopen(options.memoryLogPath.c_str(), "w"));
    if (memoryLog == nullptr) {
      std::fprintf(stderr, "burrowfield-sim: cannot write the memory log %s\n",
                   options.memoryLogPath.c_str());
      return 2;
    }
  }

  HeadlessOptions headlessOptions;
  headlessOptions.render = options.render;
  headlessOptions.closeAtTick = options.ticks;
  headlessOptions.assetDir = options.assetDir.empty() ? AssetDir() : options.assetDir;
  headlessOptions.closeRequest = closeRequest;
  std::string error;
  auto headless = CreateHeadlessPlatform(headlessOptions, script, &error);
  if (!headless) {
    std::fprintf(stderr, "burrowfield-sim: %s\n", error.c_str());
    return 1;
  }

  const auto start = std::chrono::steady_clock::now();
  auto game = std::make_unique<Game>(headless->platform());
  RunnerObserver observer(options, *headless, trace.get(), memoryLog.get());
  game->observer = &observer;
  int status = RunProgram(*game);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (trace != nullptr && std::fclose(trace.release()) != 0) {
    std::fprintf(stderr, "burrowfield-sim: cannot write the trace file %s\n",
                 options.tracePath.c_str());
    status = 2;
  }
  memoryLog.reset();
  if (observer.failed()) status = 2;
  std::printf("%s\n",
              FormatSummary(headless->processedTicks(), observer.winners(), seconds).c_str());
  return status;
}

}  // namespace bf
