#include "platform/headless/script.h"

#include <charconv>
#include <string_view>

#include "platform/pads/pad_seats.h"

namespace bf {
namespace {

constexpr int kLastPad = PadSeats::kPads - 1;

// A bad word is quoted in the message at most this long: a script of one enormous line must
// not come back whole on the terminal.
constexpr std::size_t kQuoteBytes = 200;

// Whole-token unsigned parse with an upper bound.
bool ParseNumber(std::string_view token, std::uint64_t max, std::uint64_t* value) {
  if (token.empty()) return false;
  const char* end = token.data() + token.size();
  auto [ptr, ec] = std::from_chars(token.data(), end, *value);
  return ec == std::errc() && ptr == end && *value <= max;
}

// Exactly 16 hex digits, as a replay writes a state hash.
bool ParseHash(std::string_view token, std::uint64_t* value) {
  if (token.size() != 16) return false;
  const char* end = token.data() + token.size();
  auto [ptr, ec] = std::from_chars(token.data(), end, *value, 16);
  return ec == std::errc() && ptr == end;
}

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// No line has more words than this: one more tells a line of too many.
constexpr std::size_t kMostWords = 7;

// The words of a line before any comment, as views into it (a script is parsed without copying
// its text), kMostWords at most.
std::vector<std::string_view> Tokens(std::string_view line) {
  line = line.substr(0, line.find('#'));
  std::vector<std::string_view> tokens;
  std::size_t at = 0;
  while (at < line.size() && tokens.size() < kMostWords) {
    while (at < line.size() && IsSpace(line[at])) ++at;
    const std::size_t start = at;
    while (at < line.size() && !IsSpace(line[at])) ++at;
    if (at > start) tokens.push_back(line.substr(start, at - start));
  }
  return tokens;
}

// A word of a bad line, quoted for the message: bytes that a terminal would act on, or could not
// show, are written as \xNN, and a long word is cut short after kQuoteBytes of the quote.
std::string Quote(std::string_view word) {
  static const char kHex[] = "0123456789abcdef";
  std::string quoted;
  for (unsigned char c : word) {
    const std::size_t length = c >= 0x20 && c < 0x7F ? 1 : 4;
    if (quoted.size() + length > kQuoteBytes) return "'" + quoted + "'...";
    if (length == 1) {
      quoted += static_cast<char>(c);
    } else {
      quoted += "\\x";
      quoted += kHex[c >> 4];
      quoted += kHex[c & 15];
    }
  }
  return "'" + quoted + "'";
}

// Parses one event line (already split) into *event; returns the reason on failure.
std::string ParseEvent(const std::vector<std::string_view>& t, ScriptEvent* event) {
  std::uint64_t v = 0;
  if (!ParseNumber(t[0], INT32_MAX, &v)) return "bad tick " + Quote(t[0]);
  event->tick = static_cast<std::int64_t>(v);
  if (t.size() < 2) return "missing event";
  const std::string_view verb = t[1];
  if (verb == "down" || verb == "up") {
    if (t.size() < 3 || t.size() > 4) return "expected: T " + std::string(verb) + " VK [MASK]";
    event->kind = verb == "down" ? ScriptEvent::Kind::kKeyDown : ScriptEvent::Kind::kKeyUp;
    if (!ParseNumber(t[2], 255, &v)) return "bad key code " + Quote(t[2]);
    event->keyCode = static_cast<int>(v);
    if (t.size() == 4) {
      if (!ParseNumber(t[3], 7, &v)) return "bad modifier mask " + Quote(t[3]);
      event->mask = static_cast<int>(v);
    }
    return "";
  }
  if (verb == "joy") {
    if (t.size() != 6) return "expected: T joy J X Y BUTTONS";
    event->kind = ScriptEvent::Kind::kJoystick;
    if (!ParseNumber(t[2], kLastPad, &v)) return "bad joystick " + Quote(t[2]);
    event->joystick = static_cast<int>(v);
    if (!ParseNumber(t[3], kPadAxisMax, &v)) return "bad x " + Quote(t[3]);
    event->x = static_cast<std::uint32_t>(v);
    if (!ParseNumber(t[4], kPadAxisMax, &v)) return "bad y " + Quote(t[4]);
    event->y = static_cast<std::uint32_t>(v);
    if (!ParseNumber(t[5], UINT32_MAX, &v)) return "bad buttons " + Quote(t[5]);
    event->buttons = static_cast<std::uint32_t>(v);
    return "";
  }
  if (verb == "unplug" || verb == "plug" || verb == "start") {
    if (t.size() != 3) return "expected: T " + std::string(verb) + " J";
    event->kind = verb == "plug"    ? ScriptEvent::Kind::kPlug
                  : verb == "start" ? ScriptEvent::Kind::kStart
                                    : ScriptEvent::Kind::kUnplug;
    if (!ParseNumber(t[2], kLastPad, &v)) return "bad joystick " + Quote(t[2]);
    event->joystick = static_cast<int>(v);
    return "";
  }
  if (verb == "end") {
    if (t.size() != 4) return "expected: T end BATTLE HASH";
    event->kind = ScriptEvent::Kind::kBattleEnd;
    if (!ParseNumber(t[2], INT32_MAX, &v) || v == 0) return "bad battle number " + Quote(t[2]);
    event->battle = static_cast<int>(v);
    if (!ParseHash(t[3], &event->hash)) return "bad state hash " + Quote(t[3]);
    return "";
  }
  if (verb == "close") {
    if (t.size() != 2) return "expected: T close";
    event->kind = ScriptEvent::Kind::kClose;
    return "";
  }
  return "unknown event " + Quote(verb);
}

}  // namespace

bool ParseScript(const std::string& text, Script* script, std::string* error) {
  *script = Script{};
  // Editors on some systems start a UTF-8 file with a byte-order mark.
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  std::string_view rest = text;
  if (rest.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    rest.remove_prefix(kByteOrderMark.size());
  }
  bool firstLine = true;
  int number = 0;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    ++number;
    const std::vector<std::string_view> tokens = Tokens(line);
    if (tokens.empty()) continue;
    std::string why;
    if (tokens[0] == "joysticks") {
      std::uint64_t n = 0;
      if (!firstLine) {
        why = "'joysticks' must be the first line";
      } else if (tokens.size() != 2 || !ParseNumber(tokens[1], PadSeats::kPads, &n)) {
        why = "expected: joysticks N (N = 0 to 4)";
      } else {
        script->joysticks = static_cast<int>(n);
      }
    } else {
      ScriptEvent event;
      why = ParseEvent(tokens, &event);
      if (why.empty()) script->events.push_back(event);
    }
    if (!why.empty()) {
      *error = "line " + std::to_string(number) + ": " + why;
      return false;
    }
    firstLine = false;
  }
  return true;
}

}  // namespace bf
