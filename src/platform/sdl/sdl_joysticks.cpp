#include "platform/sdl/sdl_joysticks.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "platform/files/files.h"

namespace bf {
namespace {

constexpr Uint32 kSubsystems = SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER;
constexpr int kMaxButtonBits = 32;
// The short buzz that greets a pad on taking its seat.
constexpr Uint16 kJoinRumble = 0x6000;
constexpr Uint32 kJoinRumbleMs = 200;
// Steam's virtual pad on Linux; SDL never ignores it when Steam says it offers it.
constexpr Uint16 kValveVendor = 0x28de, kSteamVirtualPad = 0x11ff;
constexpr const char* kAllowSteamVirtualPad = "SDL_GAMECONTROLLER_ALLOW_STEAM_VIRTUAL_GAMEPAD";
// The files SDL's pad settings may name: a list of pads (a few lines, written by Steam) or
// mappings (the community's database of every pad known, all platforms, is a few hundred KB).
constexpr std::int64_t kSettingFileLimit = 1 << 20;
// SDL adds each mapping in a time that grows with the mappings it holds already: this many, all
// for this platform, take a fraction of a second at start-up, 11,000 took seven seconds. The
// community's database holds about a thousand for each platform.
constexpr int kMostMappings = 2000;
constexpr const char* kListHints[] = {SDL_HINT_GAMECONTROLLER_IGNORE_DEVICES,
                                      SDL_HINT_GAMECONTROLLER_IGNORE_DEVICES_EXCEPT};

static_assert(pad::kDpadUp == 1u << SDL_CONTROLLER_BUTTON_DPAD_UP &&
                  pad::kDpadDown == 1u << SDL_CONTROLLER_BUTTON_DPAD_DOWN &&
                  pad::kDpadLeft == 1u << SDL_CONTROLLER_BUTTON_DPAD_LEFT &&
                  pad::kDpadRight == 1u << SDL_CONTROLLER_BUTTON_DPAD_RIGHT &&
                  pad::kStart == 1u << SDL_CONTROLLER_BUTTON_START,
              "the seats read the buttons in SDL's order");

// SDL's -32768..32767 as the pads' 0..65535.
std::uint32_t AxisPosition(Sint16 value) {
  return static_cast<std::uint32_t>(static_cast<int>(value) + 32768);
}

// The hat pushes the stick to its end, as a classic joystick's stick would.
void ApplyDirections(bool left, bool right, bool up, bool down, Sint16& x, Sint16& y) {
  if (left) x = SDL_JOYSTICK_AXIS_MIN;
  if (right) x = SDL_JOYSTICK_AXIS_MAX;
  if (up) y = SDL_JOYSTICK_AXIS_MIN;
  if (down) y = SDL_JOYSTICK_AXIS_MAX;
}

// A = bit 0 (button 1), B = bit 1 (button 2), and on in SDL's order, the D-pad included: the
// seats make it the stick, as they do for the runner's pads.
PadState ReadController(SDL_GameController* controller) {
  const Sint16 x = SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTX);
  const Sint16 y = SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTY);
  std::uint32_t buttons = 0;
  for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX && b < kMaxButtonBits; ++b) {
    if (SDL_GameControllerGetButton(controller, static_cast<SDL_GameControllerButton>(b)) != 0) {
      buttons |= 1u << b;
    }
  }
  return PadState{AxisPosition(x), AxisPosition(y), buttons, /*mapped=*/true};
}

PadState ReadRawJoystick(SDL_Joystick* joystick) {
  const int axes = SDL_JoystickNumAxes(joystick);
  Sint16 x = axes > 0 ? SDL_JoystickGetAxis(joystick, 0) : 0;
  Sint16 y = axes > 1 ? SDL_JoystickGetAxis(joystick, 1) : 0;
  if (SDL_JoystickNumHats(joystick) > 0) {
    const Uint8 hat = SDL_JoystickGetHat(joystick, 0);
    ApplyDirections((hat & SDL_HAT_LEFT) != 0, (hat & SDL_HAT_RIGHT) != 0, (hat & SDL_HAT_UP) != 0,
                    (hat & SDL_HAT_DOWN) != 0, x, y);
  }
  std::uint32_t buttons = 0;
  const int count = std::min(SDL_JoystickNumButtons(joystick), kMaxButtonBits);
  for (int b = 0; b < count; ++b) {
    if (SDL_JoystickGetButton(joystick, b) != 0) buttons |= 1u << b;
  }
  return PadState{AxisPosition(x), AxisPosition(y), buttons, /*mapped=*/false};
}

// Reads the file a pad setting names, up to the limit; empty, with one line on standard error,
// when it cannot be read.
std::string ReadSettingFileOrSay(const char* setting, const std::string& path) {
  std::string text, reason;
  if (!ReadSettingFile(path, kSettingFileLimit, &text, &reason)) {
    std::fprintf(stderr, "burrowfield: %s names %s, which is not read: %s\n", setting, path.c_str(),
                 reason.c_str());
    text.clear();
  }
  return text;
}

// A list of vendor/product pairs as SDL's hints write them ("0xAAAA/0xBBBB,..."), or "@FILE" for
// the list in that file.
std::vector<Uint32> VendorProductList(const char* name, const char* hint) {
  std::vector<Uint32> list;
  if (hint == nullptr) return list;
  std::string text = hint;
  if (!text.empty() && text[0] == '@') text = ReadSettingFileOrSay(name, text.substr(1));
  for (std::size_t at = text.find("0x"); at != std::string::npos;) {
    char* end = nullptr;
    const auto vendor = static_cast<Uint16>(std::strtoul(text.c_str() + at, &end, 16));
    const std::size_t next = text.find("0x", static_cast<std::size_t>(end - text.c_str()));
    if (next == std::string::npos) break;
    const auto product = static_cast<Uint16>(std::strtoul(text.c_str() + next, &end, 16));
    list.push_back(static_cast<Uint32>(vendor) << 16 | product);
    at = text.find("0x", static_cast<std::size_t>(end - text.c_str()));
  }
  return list;
}

// The lines of a mapping file that SDL would add, those naming this platform, kMostMappings at
// most; those left out are counted in *leftOut.
std::string MappingsForThisPlatform(const std::string& text, int* leftOut) {
  constexpr std::string_view kField = "platform:";
  const std::string_view platform = SDL_GetPlatform();
  std::string kept;
  int count = 0;
  *leftOut = 0;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    const std::string_view line(text.data() + at, end - at);
    at = end + 1;
    // As SDL reads the field: anywhere in the line, in any case, ended by a comma.
    const auto field = std::search(
        line.begin(), line.end(), kField.begin(), kField.end(),
        [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
    if (field == line.end()) continue;
    const std::string_view rest = line.substr(field - line.begin() + kField.size());
    const std::size_t comma = rest.find(',');
    if (comma == std::string_view::npos || comma != platform.size() ||
        SDL_strncasecmp(rest.data(), platform.data(), platform.size()) != 0) {
      continue;
    }
    if (++count > kMostMappings) {
      ++*leftOut;
      continue;
    }
    kept.append(line);
    kept += '\n';
  }
  return kept;
}

// The list again in SDL's own words, for SDL to read as we did.
std::string VendorProductText(const std::vector<Uint32>& list) {
  std::string text;
  for (Uint32 pair : list) {
    char entry[16];
    std::snprintf(entry, sizeof entry, "0x%04x/0x%04x,", static_cast<unsigned>(pair >> 16),
                  static_cast<unsigned>(pair & 0xFFFF));
    text += entry;
  }
  return text;
}

// SDL's rule for the devices its hints ignore, applied to every device, whichever driver found
// it: the allowed list, when there is one, names the only pads to read; else the ignored list
// names those not to read. Steam's virtual pad is kept whenever Steam says it offers it.
bool IgnoredByHints(int deviceIndex) {
  const Uint16 vendor = SDL_JoystickGetDeviceVendor(deviceIndex);
  const Uint16 product = SDL_JoystickGetDeviceProduct(deviceIndex);
  if (vendor == kValveVendor && product == kSteamVirtualPad &&
      SDL_GetHintBoolean(kAllowSteamVirtualPad, SDL_FALSE)) {
    return false;
  }
  const Uint32 pair = static_cast<Uint32>(vendor) << 16 | product;
  auto listed = [pair](const std::vector<Uint32>& list) {
    return std::find(list.begin(), list.end(), pair) != list.end();
  };
  const std::vector<Uint32> allowed =
      VendorProductList(SDL_HINT_GAMECONTROLLER_IGNORE_DEVICES_EXCEPT,
                        SDL_GetHint(SDL_HINT_GAMECONTROLLER_IGNORE_DEVICES_EXCEPT));
  if (!allowed.empty()) return !listed(allowed);
  return listed(VendorProductList(SDL_HINT_GAMECONTROLLER_IGNORE_DEVICES,
                                  SDL_GetHint(SDL_HINT_GAMECONTROLLER_IGNORE_DEVICES)));
}

// A device's name as one printable line.
std::string PrintableName(const char* name) {
  std::string text = name != nullptr ? name : "unnamed pad";
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  }
  return text;
}

}  // namespace

// SDL reads the files its pad settings name whole, however large: "@/dev/zero" never ends, and
// a mapping file's lines are added one by one, each checked against all added before. So the
// game reads those files itself, up to a limit, and hands SDL what it read, in place of the
// file's name, for as long as SDL's pads run.
SdlJoysticks::BoundedSettings::BoundedSettings() {
  for (const char* name : kListHints) {
    const char* value = SDL_GetHint(name);
    if (value == nullptr || value[0] != '@') continue;
    Override(name, VendorProductText(VendorProductList(name, value)));
  }
  const char* mappingFile = SDL_GetHint(SDL_HINT_GAMECONTROLLERCONFIG_FILE);
  if (mappingFile != nullptr && mappingFile[0] != '\0') {
    int leftOut = 0;
    mappings_ = MappingsForThisPlatform(
        ReadSettingFileOrSay(SDL_HINT_GAMECONTROLLERCONFIG_FILE, mappingFile), &leftOut);
    if (leftOut > 0) {
      std::fprintf(
          stderr,
          "burrowfield: %s names %s, which holds %d mappings for %s: only the first %d are read\n",
          SDL_HINT_GAMECONTROLLERCONFIG_FILE, mappingFile, kMostMappings + leftOut,
          SDL_GetPlatform(), kMostMappings);
    }
    Override(SDL_HINT_GAMECONTROLLERCONFIG_FILE, "");
  }
}

// Once SDL's pads have stopped, nothing reads the settings any more: they are put back as they
// were found, so that a later start reads them afresh.
SdlJoysticks::BoundedSettings::~BoundedSettings() {
  if (SDL_WasInit(SDL_INIT_JOYSTICK) != 0) return;
  for (const Overridden& setting : overridden_) {
    SDL_ResetHint(setting.name);
    // A value that SDL_GetHint did not take from the environment was set as a hint.
    const char* environment = std::getenv(setting.name);
    if (setting.before && (environment == nullptr || *setting.before != environment)) {
      SDL_SetHint(setting.name, setting.before->c_str());
    }
  }
}

// The mapping file's lines, added as SDL itself adds a file's: only those for this platform,
// and none in place of one that SDL_GAMECONTROLLERCONFIG gave for the same pad.
void SdlJoysticks::BoundedSettings::AddMappings() {
  if (mappings_.empty()) return;
  SDL_GameControllerAddMappingsFromRW(
      SDL_RWFromConstMem(mappings_.data(), static_cast<int>(mappings_.size())), 1);
  mappings_.clear();
}

void SdlJoysticks::BoundedSettings::Override(const char* name, const std::string& value) {
  const char* before = SDL_GetHint(name);
  overridden_.push_back({name, before != nullptr ? std::optional<std::string>(before)
                                                 : std::optional<std::string>()});
  // Above the environment, which SDL would read first otherwise.
  SDL_SetHintWithPriority(name, value.c_str(), SDL_HINT_OVERRIDE);
}

int ChoosePadSeat(const std::array<PadSeatRecord, PadSeats::kPads>& seats, const PadIdentity& pad) {
  int same = -1;
  for (int s = 0; s < PadSeats::kPads; ++s) {
    const PadSeatRecord& seat = seats[s];
    if (!seat.taken || seat.present || seat.identity.guid != pad.guid ||
        seat.identity.serial != pad.serial) {
      continue;
    }
    if (!pad.path.empty() && seat.identity.path == pad.path) return s;
    if (same < 0) same = s;
  }
  if (same >= 0) return same;
  for (int s = 0; s < PadSeats::kPads; ++s) {
    if (!seats[s].taken) return s;
  }
  for (int s = 0; s < PadSeats::kPads; ++s) {
    if (!seats[s].present) return s;
  }
  return -1;
}

SdlJoysticks::SdlJoysticks() {
  started_ = SDL_InitSubSystem(kSubsystems) == 0;
  if (!started_) return;
  settings_.AddMappings();
  const int attached = SDL_NumJoysticks();
  for (int i = 0; i < attached; ++i) Attach(i);
}

SdlJoysticks::~SdlJoysticks() {
  // After SDL_Quit the handles are gone already, and so is the subsystem.
  if (!started_ || SDL_WasInit(SDL_INIT_JOYSTICK) == 0) return;
  for (Seat& seat : pads_) Close(seat);
  SDL_QuitSubSystem(kSubsystems);
}

bool SdlJoysticks::Connected(int pad) const {
  return pad >= 0 && pad < PadSeats::kPads && pads_[pad].record.present;
}

void SdlJoysticks::Attach(int deviceIndex) {
  if (!started_) return;
  const SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(deviceIndex);
  if (instance < 0) return;
  // The pads found at start are announced again by SDL's own added events.
  for (const Seat& seat : pads_) {
    if (seat.record.present && seat.instance == instance) return;
  }
  if (IgnoredByHints(deviceIndex)) return;
  Seat opened;
  Open(opened, deviceIndex);
  if (opened.joystick == nullptr) return;
  std::array<PadSeatRecord, PadSeats::kPads> records;
  for (int s = 0; s < PadSeats::kPads; ++s) records[s] = pads_[s].record;
  const int pad = ChoosePadSeat(records, opened.record.identity);
  if (pad < 0) {
    Close(opened);  // every seat holds a pad: this one waits unused
    return;
  }
  const bool returning =
      pads_[pad].record.taken && pads_[pad].record.identity == opened.record.identity;
  if (opened.controller == nullptr && !returning) {
    std::fprintf(stderr,
                 "burrowfield: the pad \"%s\" (GUID %s) has no game-controller mapping; its raw "
                 "stick and buttons are read\n",
                 PrintableName(SDL_JoystickName(opened.joystick)).c_str(),
                 opened.record.identity.guid.c_str());
  }
  pads_[pad] = opened;
  seats_.Seat(pad);
  seats_.Set(pad, Read(opened));
  ShowSeat(opened, pad);
}

void SdlJoysticks::Detach(SDL_JoystickID instance) {
  for (int pad = 0; pad < PadSeats::kPads; ++pad) {
    Seat& seat = pads_[pad];
    if (!seat.record.present || seat.instance != instance) continue;
    Close(seat);
    seats_.Unplug(pad);  // an unplugged pad lets go of everything
  }
}

void SdlJoysticks::ReadPads() {
  for (int pad = 0; pad < PadSeats::kPads; ++pad) {
    if (pads_[pad].record.present) seats_.Set(pad, Read(pads_[pad]));
  }
}

void SdlJoysticks::Open(Seat& seat, int deviceIndex) {
  if (SDL_IsGameController(deviceIndex)) {
    seat.controller = SDL_GameControllerOpen(deviceIndex);
    if (seat.controller != nullptr) seat.joystick = SDL_GameControllerGetJoystick(seat.controller);
  }
  if (seat.joystick == nullptr) {
    seat.controller = nullptr;
    seat.joystick = SDL_JoystickOpen(deviceIndex);
  }
  if (seat.joystick == nullptr) return;
  seat.record.taken = true;
  seat.record.present = true;
  seat.instance = SDL_JoystickInstanceID(seat.joystick);
  char guid[33];
  SDL_JoystickGetGUIDString(SDL_JoystickGetGUID(seat.joystick), guid, sizeof guid);
  const char* serial = SDL_JoystickGetSerial(seat.joystick);
  const char* path = SDL_JoystickPathForIndex(deviceIndex);
  seat.record.identity =
      PadIdentity{guid, serial != nullptr ? serial : "", path != nullptr ? path : ""};
}

// Lets go of the pad but keeps who it was, so that it can find its seat again.
void SdlJoysticks::Close(Seat& seat) {
  if (seat.controller != nullptr) {
    SDL_GameControllerClose(seat.controller);
  } else if (seat.joystick != nullptr) {
    SDL_JoystickClose(seat.joystick);
  }
  seat.controller = nullptr;
  seat.joystick = nullptr;
  seat.instance = -1;
  seat.record.present = false;
}

// The player light shows the player (SDL counts players from 0, as the game does); pads without
// a light or a motor simply do not answer.
void SdlJoysticks::ShowSeat(const Seat& seat, int pad) {
  const int player = PadSeats::PlayerOf(pad);
  if (seat.controller != nullptr) {
    SDL_GameControllerSetPlayerIndex(seat.controller, player);
    SDL_GameControllerRumble(seat.controller, kJoinRumble, kJoinRumble, kJoinRumbleMs);
  } else {
    SDL_JoystickSetPlayerIndex(seat.joystick, player);
    SDL_JoystickRumble(seat.joystick, kJoinRumble, kJoinRumble, kJoinRumbleMs);
  }
}

PadState SdlJoysticks::Read(const Seat& seat) const {
  return seat.controller != nullptr ? ReadController(seat.controller)
                                    : ReadRawJoystick(seat.joystick);
}

void HandleJoystickEvent(SdlJoysticks& joysticks, const SDL_Event& event) {
  switch (event.type) {
    case SDL_JOYDEVICEADDED:
      joysticks.Attach(event.jdevice.which);
      break;
    case SDL_JOYDEVICEREMOVED:
      joysticks.Detach(event.jdevice.which);
      break;
    default:
      break;
  }
}

}  // namespace bf
