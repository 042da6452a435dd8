#pragma once
// Reads the runner's trace lines back: one field's text, and a whole game state restored from a
// line, so that a state a long run reached can be played on in a test.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <type_traits>

#include "core/game.h"

namespace bf::test {

// The text of one field's value in a trace line ("" when the line has no such field).
inline std::string FieldText(const std::string& line, const std::string& name) {
  const std::string key = "\"" + name + "\":";
  const auto at = line.find(key);
  if (at == std::string::npos) return "";
  const auto start = at + key.size();
  int depth = 0;
  for (auto i = start; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '[') ++depth;
    if (c == ']') --depth;
    if (depth == 0 && (c == ',' || c == '}' || c == ']')) {
      return line.substr(start, i - start + (c == ']' ? 1 : 0));
    }
  }
  return "";
}

template <typename T>
void ReadNumber(const char* text, char** end, T* value) {
  if constexpr (std::is_floating_point_v<T>) {
    *value = static_cast<T>(std::strtod(text, end));
  } else {
    *value = static_cast<T>(std::strtoll(text, end, 10));
  }
}

template <typename T>
void ReadField(const std::string& line, const char* name, T* value) {
  const std::string text = FieldText(line, name);
  ASSERT_FALSE(text.empty()) << name;
  char* end = nullptr;
  ReadNumber(text.c_str(), &end, value);
}

template <typename T, std::size_t N>
void ReadField(const std::string& line, const char* name, std::array<T, N>* values) {
  const std::string text = FieldText(line, name);
  ASSERT_FALSE(text.empty()) << name;
  const char* at = text.c_str() + 1;  // past the '['
  for (T& value : *values) {
    char* end = nullptr;
    ReadNumber(at, &end, &value);
    ASSERT_NE(end, at) << name << " has fewer than " << N << " values";
    at = end + 1;  // past the ',' or the ']'
  }
}

// Every field of the game's state that a trace line holds; the scene's frames are the caller's,
// and sudden death's count is left to start afresh.
inline void RestoreTracedState(Game& g, const std::string& line) {
  std::uint32_t randomState = 0;
  ReadField(line, "randomState", &randomState);
  g.random = Random(randomState);
  ReadField(line, "playerCharacter", &g.playerCharacter);
  ReadField(line, "stageIndex", &g.stageIndex);
  ReadField(line, "menuRow", &g.menuRow);
  ReadField(line, "enterHeld", &g.enterHeld);
  ReadField(line, "selectionActive", &g.selectionActive);
  ReadField(line, "runningFlag", &g.runningFlag);
  ReadField(line, "steerInput", &g.steerInput);
  ReadField(line, "throttleInput", &g.throttleInput);
  ReadField(line, "fireState", &g.fireState);
  ReadField(line, "computerDriven", &g.computerDriven);
  ReadField(line, "tankX", &g.tankX);
  ReadField(line, "tankZ", &g.tankZ);
  ReadField(line, "tankHeading", &g.tankHeading);
  ReadField(line, "tankSpeed", &g.tankSpeed);
  ReadField(line, "tankBob", &g.tankBob);
  ReadField(line, "playerLife", &g.playerLife);
  ReadField(line, "maxLife", &g.maxLife);
  ReadField(line, "shells", &g.shells);
  ReadField(line, "maxShells", &g.maxShells);
  ReadField(line, "reloadTimer", &g.reloadTimer);
  ReadField(line, "maxSpeed", &g.maxSpeed);
  ReadField(line, "shakeTimer", &g.shakeTimer);
  ReadField(line, "abilityState", &g.abilityState);
  ReadField(line, "shotX", &g.shotX);
  ReadField(line, "shotZ", &g.shotZ);
  ReadField(line, "shotDX", &g.shotDX);
  ReadField(line, "shotDZ", &g.shotDZ);
  ReadField(line, "starX", &g.starX);
  ReadField(line, "starY", &g.starY);
  ReadField(line, "starZ", &g.starZ);
  ReadField(line, "starDX", &g.starDX);
  ReadField(line, "starDY", &g.starDY);
  ReadField(line, "starDZ", &g.starDZ);
  ReadField(line, "wallX", &g.wallX);
  ReadField(line, "wallZ", &g.wallZ);
  ReadField(line, "wallWidth", &g.wallWidth);
  ReadField(line, "wallDepth", &g.wallDepth);
  ReadField(line, "moverX", &g.moverX);
  ReadField(line, "itemX", &g.itemX);
  ReadField(line, "itemZ", &g.itemZ);
  ReadField(line, "netX", &g.netX);
  ReadField(line, "netZ", &g.netZ);
  ReadField(line, "netTimer", &g.netTimer);
  ReadField(line, "mineX", &g.mineX);
  ReadField(line, "mineZ", &g.mineZ);
  ReadField(line, "aiTurn", &g.aiTurn);
  ReadField(line, "aiDrive", &g.aiDrive);
  ReadField(line, "aiSearch", &g.aiSearch);
  ReadField(line, "burstCount", &g.burstCount);
  ReadField(line, "winner", &g.winner);
  ReadField(line, "zoomStep", &g.zoomStep);
  ReadField(line, "endCount", &g.endCount);
  ReadField(line, "prevX", &g.prevX);
  ReadField(line, "prevZ", &g.prevZ);
}

}  // namespace bf::test
