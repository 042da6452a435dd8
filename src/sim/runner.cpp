#include "sim/runner.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <sstream>

#include "app/program.h"
#include "app/replay.h"
#include "app/replay_file.h"
#include "core/game.h"
#include "platform/files/files.h"
#include "platform/headless/headless_platform.h"
#include "sim/trace.h"

namespace bf {

const char kRunnerUsage[] =
    "usage: burrowfield-sim [--script FILE] [--ticks N] [--trace FILE] [--render]\n"
    "                       [--shot T[,T...] --shots-dir DIR] [--assets DIR]\n"
    "                       [--memory-log FILE] [--volume N] [--record FILE]";

namespace {

// The largest run: every tick number still reads back exactly from the trace's JSON, where
// numbers are doubles; the 64-bit millisecond clock reaches far beyond it.
constexpr std::int64_t kMaxTicks = std::int64_t{1} << 53;

// Closes a file on every way out; the trace and the memory log are closed by hand once, to see
// their last writes fail.
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

std::string ShotPath(const RunnerOptions& options, std::int64_t tick) {
  return options.shotsDir + "/tick-" + std::to_string(tick) + ".png";
}

// Says on standard error that an output could not be written, once for each output however
// often it fails again: a trace on a full disk fails on every tick after the first.
class WriteFailures {
 public:
  void Report(const std::string& output, const std::string& reason) {
    if (std::find(reported_.begin(), reported_.end(), output) != reported_.end()) return;
    reported_.push_back(output);
    std::fprintf(stderr, "burrowfield-sim: cannot write %s: %s\n", output.c_str(), reason.c_str());
  }
  bool any() const { return !reported_.empty(); }

 private:
  std::vector<std::string> reported_;
};

// Writes the trace, takes the screenshots and counts battles and their winners.
class RunnerObserver final : public TickObserver {
 public:
  RunnerObserver(const RunnerOptions& options, const CloseSignal& closeSignal,
                 HeadlessPlatform& headless, std::FILE* trace, std::FILE* memoryLog,
                 WriteFailures& failures)
      : options_(options),
        closeSignal_(closeSignal),
        headless_(headless),
        trace_(trace),
        memoryLog_(memoryLog),
        failures_(failures),
        shotsTaken_(options.shotTicks.size(), false) {
    line_.reserve(1 << 16);
  }

  void OnTickDone(Game& game, Screen screen) override {
    const std::int64_t tick = headless_.processedTicks();
    if (screen == Screen::kBattle) {
      if (lastScreen_ != Screen::kBattle) winners_.push_back(-1);
      winners_.back() = game.winner;
    } else if (lastScreen_ == Screen::kBattle && memoryLog_ != nullptr) {
      WriteMemoryLine(tick);
    }
    lastScreen_ = screen;
    if (trace_ != nullptr) WriteTrace(game, screen, tick);
    for (std::size_t i = 0; i < options_.shotTicks.size(); ++i) {
      if (options_.shotTicks[i] == tick && !shotsTaken_[i]) shotsTaken_[i] = TakeShot(game, tick);
    }
    headless_.NoteTickProcessed();
  }

  const std::vector<int>& winners() const { return winners_; }
  bool shotFailed() const { return shotFailed_; }
  // The screenshot ticks the run never wrote, in the order asked for.
  std::vector<std::int64_t> MissedShots() const {
    std::vector<std::int64_t> missed;
    for (std::size_t i = 0; i < shotsTaken_.size(); ++i) {
      if (!shotsTaken_[i]) missed.push_back(options_.shotTicks[i]);
    }
    return missed;
  }

 private:
  void WriteTrace(const Game& game, Screen screen, std::int64_t tick) {
    line_.clear();
    AppendTraceLine(game, screen, tick, &line_);
    line_.push_back('\n');
    if (std::fwrite(line_.data(), 1, line_.size(), trace_) != line_.size()) {
      failures_.Report("the trace file " + options_.tracePath, std::strerror(errno));
    }
  }

  // A soak run reads the log while it runs: each line is handed on at once.
  void WriteMemoryLine(std::int64_t tick) {
    if (std::fprintf(memoryLog_, "battle=%zu ticks=%lld rss_kb=%ld\n", winners_.size(),
                     static_cast<long long>(tick), ResidentKilobytes()) < 0 ||
        std::fflush(memoryLog_) != 0) {
      failures_.Report("the memory log " + options_.memoryLogPath, std::strerror(errno));
    }
  }

  // True once the picture is written. A failure ends the run: the pictures asked for are its
  // point. A close signal that comes while a FIFO waits for its reader ends it as well.
  bool TakeShot(Game& game, std::int64_t tick) {
    static std::uint8_t rgb[kScreenWidth * kScreenHeight * 3];
    const std::string path = ShotPath(options_, tick);
    std::string reason = "the screen cannot be read";
    bool interrupted = false;
    bool written = false;
    if (game.io.display->ReadScreen(rgb)) {
      const int fd = OpenOutputFile(path, &reason, closeSignal_.wakeFd, &interrupted);
      if (fd >= 0) {
        written = WriteAll(fd, EncodePng(kScreenWidth, kScreenHeight, rgb), &reason);
        if (close(fd) != 0 && written) {
          reason = std::strerror(errno);
          written = false;
        }
      }
    }
    if (!written) {
      if (!interrupted) failures_.Report("the screenshot " + path, reason);
      shotFailed_ = !interrupted;
      game.runningFlag = 0;
      game.closeRequested = true;
    }
    return written;
  }

  const RunnerOptions& options_;
  const CloseSignal& closeSignal_;
  HeadlessPlatform& headless_;
  std::FILE* trace_;
  std::FILE* memoryLog_;
  WriteFailures& failures_;
  std::vector<bool> shotsTaken_;
  bool shotFailed_ = false;
  std::string line_;
  Screen lastScreen_ = Screen::kSelection;
  std::vector<int> winners_;
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

// Opens an output file the run names (none when `path` is empty) as a stdio stream; says why
// not on standard error. A FIFO waits for its reader until the close signal comes.
FileHandle OpenOutput(const std::string& path, const char* what, const CloseSignal& closeSignal,
                      bool* interrupted) {
  if (path.empty()) return nullptr;
  std::string reason;
  const int fd = OpenOutputFile(path, &reason, closeSignal.wakeFd, interrupted);
  std::FILE* file = fd >= 0 ? fdopen(fd, "w") : nullptr;
  if (fd >= 0 && file == nullptr) {
    reason = std::strerror(errno);
    close(fd);
  }
  if (file == nullptr && !*interrupted) {
    std::fprintf(stderr, "burrowfield-sim: cannot write %s %s: %s\n", what, path.c_str(),
                 reason.c_str());
  }
  return FileHandle(file);
}

// Whether `path` is the very file `script` describes, under whatever name.
bool SameFile(const struct stat& script, const std::string& path) {
  struct stat other;
  return stat(path.c_str(), &other) == 0 && other.st_dev == script.st_dev &&
         other.st_ino == script.st_ino;
}

// The option naming an output that is the script file itself, which writing would destroy (or,
// for a FIFO, feed back into the script); empty when none is. A terminal may well be both.
std::string OutputThatIsTheScript(const RunnerOptions& options) {
  struct stat script;
  if (stat(options.scriptPath.c_str(), &script) != 0 ||
      !(S_ISREG(script.st_mode) || S_ISFIFO(script.st_mode))) {
    return "";
  }
  if (!options.tracePath.empty() && SameFile(script, options.tracePath)) {
    return "--trace " + options.tracePath;
  }
  if (!options.memoryLogPath.empty() && SameFile(script, options.memoryLogPath)) {
    return "--memory-log " + options.memoryLogPath;
  }
  if (!options.recordPath.empty() && SameFile(script, options.recordPath)) {
    return "--record " + options.recordPath;
  }
  if (!options.shotsDir.empty()) {
    if (SameFile(script, options.shotsDir)) return "--shots-dir " + options.shotsDir;
    for (std::int64_t tick : options.shotTicks) {
      const std::string shot = ShotPath(options, tick);
      if (SameFile(script, shot)) return "the screenshot " + shot;
    }
  }
  return "";
}

// The battle ends a replay file promises, in its order.
std::vector<ReplayEvent> PromisedEnds(const Script& script) {
  std::vector<ReplayEvent> ends;
  for (const ScriptEvent& event : script.events) {
    if (event.kind != ScriptEvent::Kind::kBattleEnd) continue;
    ReplayEvent end;
    end.kind = ReplayEvent::Kind::kBattleEnd;
    end.tick = event.tick;
    end.battle = event.battle;
    end.hash = event.hash;
    ends.push_back(end);
  }
  return ends;
}

// Checks a replay file's header against this build; false with the reason on standard error.
bool ReplayPlaysHere(const RunnerOptions& options, const std::string& text,
                     const std::string& assetDir, bool* isReplay) {
  ReplayHeader header;
  std::string error;
  if (!ParseReplayHeader(text, &header, &error)) {
    std::fprintf(stderr, "burrowfield-sim: %s: %s\n", options.scriptPath.c_str(), error.c_str());
    return false;
  }
  *isReplay = header.isReplay;
  if (!header.isReplay) return true;
  const std::string refusal = ReplayRefusal(header, GameVersion(), HashAssets(assetDir));
  if (refusal.empty()) return true;
  std::fprintf(stderr, "burrowfield-sim: %s: %s\n", options.scriptPath.c_str(), refusal.c_str());
  return false;
}

// The runner's records say when in UTC, whatever the machine's zone.
std::string UtcNow() {
  return TimeText(std::time(nullptr), "%Y-%m-%d %H:%M:%S UTC", true);
}

// Writes what the run processed as a replay file; false with the reason reported.
bool WriteRecord(const RunnerOptions& options, const Replay& replay, const std::string& assetDir,
                 WriteFailures& failures) {
  std::string reason;
  const bool written = WriteWholeFile(options.recordPath,
                                      RecordText(replay, HashAssets(assetDir), UtcNow()), &reason);
  if (!written) failures.Report("the record " + options.recordPath, reason);
  return written;
}

std::string JoinTicks(const std::vector<std::int64_t>& ticks) {
  std::string list;
  for (std::int64_t tick : ticks) {
    if (!list.empty()) list += ',';
    list += std::to_string(tick);
  }
  return list;
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
      options->ticksGiven = true;
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
    } else if (arg == "--volume") {
      if (!ParseVolumeStep(argv[++i], &options->volume)) {
        *error = "bad --volume value (a whole number from 0 to 10)";
        return false;
      }
    } else if (arg == "--record") {
      options->recordPath = argv[++i];
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

int RunRunner(const RunnerOptions& options, const CloseSignal& closeSignal) {
  // Every wait below on a FIFO ends with the close signal; the caller then ends as the signal
  // says, so the status returned here is never seen.
  constexpr int kClosedBySignal = 1;
  if (!options.scriptPath.empty()) {
    const std::string refused = OutputThatIsTheScript(options);
    if (!refused.empty()) {
      std::fprintf(stderr, "burrowfield-sim: %s is the script itself, which it would overwrite\n",
                   refused.c_str());
      return 2;
    }
  }
  Script script;
  const std::string assetDir = options.assetDir.empty() ? AssetDir() : options.assetDir;
  bool isReplay = false;
  if (!options.scriptPath.empty()) {
    std::string text, error;
    bool interrupted = false;
    if (!ReadTextFile(options.scriptPath, &text, &error, closeSignal.wakeFd, &interrupted)) {
      if (interrupted) return kClosedBySignal;
      std::fprintf(stderr, "burrowfield-sim: cannot read the script %s: %s\n",
                   options.scriptPath.c_str(), error.c_str());
      return 2;
    }
    if (!ParseScript(text, &script, &error)) {
      std::fprintf(stderr, "burrowfield-sim: %s: %s\n", options.scriptPath.c_str(), error.c_str());
      return 2;
    }
    if (!ReplayPlaysHere(options, text, assetDir, &isReplay)) return 2;
  }
  if (!options.shotsDir.empty() && access(options.shotsDir.c_str(), W_OK) != 0) {
    std::fprintf(stderr, "burrowfield-sim: cannot write screenshots into %s\n",
                 options.shotsDir.c_str());
    return 2;
  }
  bool interrupted = false;
  FileHandle trace = OpenOutput(options.tracePath, "the trace file", closeSignal, &interrupted);
  if (interrupted) return kClosedBySignal;
  if (!options.tracePath.empty() && trace == nullptr) return 2;
  FileHandle memoryLog =
      OpenOutput(options.memoryLogPath, "the memory log", closeSignal, &interrupted);
  if (interrupted) return kClosedBySignal;
  if (!options.memoryLogPath.empty() && memoryLog == nullptr) return 2;

  HeadlessOptions headlessOptions;
  headlessOptions.render = options.render;
  headlessOptions.closeAtTick = options.ticks;
  if (isReplay && !options.ticksGiven) {
    std::int64_t last = 0;
    for (const ScriptEvent& event : script.events) last = std::max(last, event.tick);
    headlessOptions.closeAtTick = last + 1;
  }
  headlessOptions.assetDir = assetDir;
  headlessOptions.closeRequest = closeSignal.flag;
  std::string error;
  auto headless = CreateHeadlessPlatform(headlessOptions, script, &error);
  if (!headless) {
    std::fprintf(stderr, "burrowfield-sim: %s\n", error.c_str());
    return 1;
  }

  const auto start = std::chrono::steady_clock::now();
  auto game = std::make_unique<Game>(headless->platform());
  game->room.volumeStep = options.volume;
  WriteFailures failures;
  RunnerObserver observer(options, closeSignal, *headless, trace.get(), memoryLog.get(), failures);
  game->observer = &observer;
  // A plain script without --record runs as it always has; a replay checks its battles' ends.
  std::unique_ptr<Replay> replay;
  if (isReplay || !options.recordPath.empty()) {
    replay = std::make_unique<Replay>();
    replay->ExpectBattleEnds(PromisedEnds(script));
    replay->Attach(*game, false);
  }
  int status = RunProgram(*game);
  if (replay != nullptr && !options.recordPath.empty()) {
    WriteRecord(options, *replay, assetDir, failures);
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (trace != nullptr && std::fclose(trace.release()) != 0) {
    failures.Report("the trace file " + options.tracePath, std::strerror(errno));
  }
  if (memoryLog != nullptr && std::fclose(memoryLog.release()) != 0) {
    failures.Report("the memory log " + options.memoryLogPath, std::strerror(errno));
  }
  // A screenshot asked for and never taken is an output lost, as one not written is; after a
  // failed one, or once the close signal came, the missing ones are no news.
  const std::vector<std::int64_t> missed = observer.MissedShots();
  const bool closedBySignal = closeSignal.flag != nullptr && *closeSignal.flag != 0;
  if (!missed.empty() && !observer.shotFailed() && !closedBySignal) {
    std::fprintf(stderr,
                 "burrowfield-sim: no screenshot%s of tick%s %s: the run ended after %lld ticks\n",
                 missed.size() > 1 ? "s" : "", missed.size() > 1 ? "s" : "",
                 JoinTicks(missed).c_str(), static_cast<long long>(headless->processedTicks()));
    status = 2;
  }
  std::printf("%s\n",
              FormatSummary(headless->processedTicks(), observer.winners(), seconds).c_str());
  if (std::fflush(stdout) != 0) {
    failures.Report("the summary to standard output", std::strerror(errno));
  }
  if (failures.any()) status = 2;
  return status;
}

}  // namespace bf
