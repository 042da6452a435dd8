#include "platform/headless/script.h"

#include <charconv>
#include <sstream>
#include <string_view>

#include "platform/pads/pad_seats.h"

namespace bf {
namespace {

constexpr int kLastPad = PadSeats::kPads - 1;

// Whole-token unsigned parse with an upper bound.
bool ParseNumber(const std::string& token, std::uint64_t max, std::uint64_t* value) {
  if (token.empty()) return false;
  const char* end = token.data() + token.size();
  auto [ptr, ec] = std::from_chars(token.data(), end, *value);
  return ec == std::errc() && ptr == end && *value <= max;
}

std::vector<std::string> Tokens(const std::string& line) {
  std::vector<std::string> tokens;
  std::istringstream in(line.substr(0, line.find('#')));
  for (std::string token; in >> token;) tokens.push_back(token);
  return tokens;
}

// Parses one event line (already split) into *event; returns the reason on failure.
std::string ParseEvent(const std::vector<std::string>& t, ScriptEvent* event) {
  std::uint64_t v = 0;
  if (!ParseNumber(t[0], INT32_MAX, &v)) return "bad tick '" + t[0] + "'";
  event->tick = static_cast<std::int64_t>(v);
  if (t.size() < 2) return "missing event";
  const std::string& verb = t[1];
  if (verb == "down" || verb == "up") {
    if (t.size() < 3 || t.size() > 4) return "expected: T " + verb + " VK [MASK]";
    event->kind = verb == "down" ? ScriptEvent::Kind::kKeyDown : ScriptEvent::Kind::kKeyUp;
    if (!ParseNumber(t[2], 255, &v)) return "bad key code '" + t[2] + "'";
    event->keyCode = static_cast<int>(v);
    if (t.size() == 4) {
      if (!ParseNumber(t[3], 7, &v)) return "bad modifier mask '" + t[3] + "'";
      event->mask = static_cast<int>(v);
    }
    return "";
  }
  if (verb == "joy") {
    if (t.size() != 6) return "expected: T joy J X Y BUTTONS";
    event->kind = ScriptEvent::Kind::kJoystick;
    if (!ParseNumber(t[2], kLastPad, &v)) return "bad joystick '" + t[2] + "'";
    event->joystick = static_cast<int>(v);
    if (!ParseNumber(t[3], kPadAxisMax, &v)) return "bad x '" + t[3] + "'";
    event->x = static_cast<std::uint32_t>(v);
    if (!ParseNumber(t[4], kPadAxisMax, &v)) return "bad y '" + t[4] + "'";
    event->y = static_cast<std::uint32_t>(v);
    if (!ParseNumber(t[5], UINT32_MAX, &v)) return "bad buttons '" + t[5] + "'";
    event->buttons = static_cast<std::uint32_t>(v);
    return "";
  }
  if (verb == "close") {
    if (t.size() != 2) return "expected: T close";
    event->kind = ScriptEvent::Kind::kClose;
    return "";
  }
  return "unknown event '" + verb + "'";
}

// A bad line is quoted in the message: bytes that a terminal would act on, or could not show,
// are written as \xNN.
std::string Printable(const std::string& text) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

}  // namespace

bool ParseScript(const std::string& text, Script* script, std::string* error) {
  *script = Script{};
  // Editors on some systems start a UTF-8 file with a byte-order mark.
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  std::istringstream in(text.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0
                            ? text.substr(kByteOrderMark.size())
                            : text);
  bool firstLine = true;
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    const std::vector<std::string> tokens = Tokens(line);
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
      *error = "line " + std::to_string(number) + ": " + Printable(why);
      return false;
    }
    firstLine = false;
  }
  return true;
}

}  // namespace bf
