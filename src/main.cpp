// Burrowfield: a tank battle for four at one computer.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>

#include "app/program.h"
#include "app/replay.h"
#include "app/replay_file.h"
#include "app/tick_loop.h"
#include "core/game.h"
#include "platform/files/files.h"
#include "platform/headless/script.h"
#include "platform/sdl/sdl_platform.h"

namespace {

constexpr const char kUsage[] =
    "usage: burrowfield [--window] [--volume N] [--record FILE] [--replay FILE]   (N from 0 to 10, "
    "10 by default)";
// No evening's replay comes near this; a larger file is no replay.
constexpr std::int64_t kMostReplayBytes = 256 << 20;

// A window instead of fullscreen, the volume to start at, and the replay files. Nothing else is
// stored between runs.
struct Options {
  bool windowed = false;
  int volume = bf::kVolumeSteps;
  std::string recordPath;
  std::string replayPath;
};

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--window") {
      options->windowed = true;
    } else if (i + 1 == argc) {
      return false;
    } else if (arg == "--volume") {
      if (!bf::ParseVolumeStep(argv[++i], &options->volume)) return false;
    } else if (arg == "--record") {
      options->recordPath = argv[++i];
    } else if (arg == "--replay") {
      options->replayPath = argv[++i];
    } else {
      return false;
    }
  }
  return true;
}

// Where F9 saves: $XDG_DATA_HOME/burrowfield/replays, or ~/.local/share/burrowfield/replays.
std::string ReplayFolder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data != nullptr && data[0] == '/') return std::string(data) + "/burrowfield/replays";
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') return "";
  return std::string(home) + "/.local/share/burrowfield/replays";
}

// A file's events as the game plays them; its battle ends become the checks.
void TakeFileEvents(const bf::Script& script, std::vector<bf::ReplayEvent>* events,
                    std::vector<bf::ReplayEvent>* ends) {
  for (const bf::ScriptEvent& from : script.events) {
    bf::ReplayEvent event;
    event.tick = from.tick;
    event.code = static_cast<std::uint8_t>(from.keyCode);
    event.mask = static_cast<std::uint8_t>(from.mask);
    switch (from.kind) {
      case bf::ScriptEvent::Kind::kKeyDown:
        event.kind = bf::ReplayEvent::Kind::kKeyDown;
        break;
      case bf::ScriptEvent::Kind::kKeyUp:
        event.kind = bf::ReplayEvent::Kind::kKeyUp;
        break;
      case bf::ScriptEvent::Kind::kJoystick:
        event.kind = bf::ReplayEvent::Kind::kJoystick;
        event.code = static_cast<std::uint8_t>(from.joystick);
        event.x = from.x;
        event.y = from.y;
        event.buttons = from.buttons;
        break;
      case bf::ScriptEvent::Kind::kUnplug:
        event.kind = bf::ReplayEvent::Kind::kUnplug;
        event.code = static_cast<std::uint8_t>(from.joystick);
        break;
      case bf::ScriptEvent::Kind::kPlug:
        event.kind = bf::ReplayEvent::Kind::kPlug;
        event.code = static_cast<std::uint8_t>(from.joystick);
        break;
      case bf::ScriptEvent::Kind::kStart:
        event.kind = bf::ReplayEvent::Kind::kPadStart;
        event.code = static_cast<std::uint8_t>(from.joystick);
        break;
      case bf::ScriptEvent::Kind::kClose:
        event.kind = bf::ReplayEvent::Kind::kClose;
        break;
      case bf::ScriptEvent::Kind::kBattleEnd:
        event.kind = bf::ReplayEvent::Kind::kBattleEnd;
        event.battle = from.battle;
        event.hash = from.hash;
        ends->push_back(event);
        break;
    }
    events->push_back(event);
  }
}

// Reads and checks a replay file; false with the reason on standard error.
bool LoadReplay(const std::string& path, std::uint64_t assets, bf::Script* script,
                std::vector<bf::ReplayEvent>* events, std::vector<bf::ReplayEvent>* ends) {
  std::string text, error;
  bf::ReplayHeader header;
  std::string refusal;
  if (!bf::ReadSettingFile(path, kMostReplayBytes, &text, &error) ||
      !bf::ParseScript(text, script, &error) || !bf::ParseReplayHeader(text, &header, &error)) {
    std::fprintf(stderr, "burrowfield: %s: %s\n", path.c_str(), error.c_str());
    return false;
  }
  refusal = bf::ReplayRefusal(header, bf::GameVersion(), assets);
  if (!refusal.empty()) {
    std::fprintf(stderr, "burrowfield: %s: %s\n", path.c_str(), refusal.c_str());
    return false;
  }
  TakeFileEvents(*script, events, ends);
  return true;
}

bool WriteRecord(const std::string& path, const bf::Replay& replay, std::uint64_t assets) {
  const std::string date = bf::TimeText(std::time(nullptr), bf::kLocalHeaderDate, false);
  std::string reason;
  if (bf::WriteWholeFile(path, bf::RecordText(replay, assets, date), &reason)) return true;
  std::fprintf(stderr, "burrowfield: cannot write %s: %s\n", path.c_str(), reason.c_str());
  return false;
}

// With BF_TICK_LOG=FILE the game appends a line for each battle: the ticks it worked and the
// ticks it lost (due while a slow tick was still at work, and never made up), so that a loaded
// machine's battle can be judged against the wall clock.
class TickLog final : public bf::TickObserver {
 public:
  explicit TickLog(std::FILE* file) : file_(file) {}
  ~TickLog() override {
    WriteBattle();
    std::fclose(file_);
  }
  void OnTickDone(bf::Game& game, bf::Screen screen) override {
    if (screen != bf::Screen::kBattle) {
      WriteBattle();
      return;
    }
    if (ticks_ == 0) {
      ++battle_;
      stage_ = game.stageIndex;
      firstMs_ = game.io.clock->Milliseconds();
    }
    ++ticks_;
    // The stamp is the tick worked before this one; every tick due since, but this, is lost.
    lost_ += std::max<std::int64_t>(0, bf::CurrentTick(game) - game.tickStamp - 1);
    lastMs_ = game.io.clock->Milliseconds();
  }

 private:
  void WriteBattle() {
    if (ticks_ == 0) return;
    std::fprintf(file_, "battle %d stage %d ticks %lld lost %lld seconds %.3f\n", battle_, stage_,
                 static_cast<long long>(ticks_), static_cast<long long>(lost_),
                 static_cast<double>(lastMs_ - firstMs_) / 1000.0);
    std::fflush(file_);
    ticks_ = lost_ = 0;
  }

  std::FILE* file_;
  int battle_ = 0, stage_ = 0;
  std::int64_t ticks_ = 0, lost_ = 0;
  std::uint64_t firstMs_ = 0, lastMs_ = 0;
};

std::unique_ptr<TickLog> OpenTickLog() {
  const char* path = std::getenv("BF_TICK_LOG");
  if (path == nullptr || path[0] == '\0') return nullptr;
  std::FILE* file = std::fopen(path, "a");
  if (file == nullptr) {
    std::fprintf(stderr, "burrowfield: cannot write the tick log %s\n", path);
    return nullptr;
  }
  return std::make_unique<TickLog>(file);
}

}  // namespace

// Fullscreen unless --window asks for a window; F11 switches between the two while playing.
int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fprintf(stderr, "burrowfield: bad options (%s)\n", kUsage);
    return 2;
  }
  const std::uint64_t assets = bf::HashAssets(bf::AssetDir());
  bf::Script script;
  std::vector<bf::ReplayEvent> fileEvents, fileEnds;
  if (!options.replayPath.empty() &&
      !LoadReplay(options.replayPath, assets, &script, &fileEvents, &fileEnds)) {
    return 2;
  }
  std::string error;
  auto sdl = bf::CreateSdlPlatform(options.windowed, &error);
  if (!sdl) {
    std::fprintf(stderr, "burrowfield: %s\n", error.c_str());
    return 1;
  }
  auto game = std::make_unique<bf::Game>(sdl->platform());
  game->room.volumeStep = options.volume;
  // Every battle is kept in memory for its instant replay; nothing is written unless asked.
  auto replay = std::make_unique<bf::Replay>();
  replay->Attach(*game, true);
  replay->SetFileFacts(bf::GameVersion(), assets, ReplayFolder());
  if (!options.replayPath.empty()) {
    replay->ExpectBattleEnds(fileEnds);
    replay->PlayFile(std::move(fileEvents), script.joysticks);
  }
  const std::unique_ptr<TickLog> tickLog = OpenTickLog();
  game->observer = tickLog.get();
  int status = bf::RunProgram(*game);
  if (!options.recordPath.empty() && !WriteRecord(options.recordPath, *replay, assets)) status = 1;
  return status;
}
