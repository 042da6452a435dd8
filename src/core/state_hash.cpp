#include "core/state_hash.h"

#include <cstring>

#include "core/game.h"

namespace bf {
namespace {

// FNV-1a over the bytes of each value: small, and the same on every run of the same build.
class Fnv {
 public:
  template <typename T>
  void Add(const T& value) {
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    for (unsigned char b : bytes) hash_ = (hash_ ^ b) * 0x100000001B3ull;
  }
  template <typename T, std::size_t N>
  void Add(const std::array<T, N>& values) {
    for (const T& value : values) Add(value);
  }
  std::uint64_t value() const { return hash_; }

 private:
  std::uint64_t hash_ = 0xCBF29CE484222325ull;
};

}  // namespace

std::uint64_t StateHash(const Game& g) {
  Fnv h;
  h.Add(g.playerCharacter);
  h.Add(g.stageIndex);
  h.Add(g.menuRow);
  h.Add(g.steerInput);
  h.Add(g.throttleInput);
  h.Add(g.fireState);
  h.Add(g.enterHeld);
  h.Add(g.selectionActive);
  h.Add(g.computerDriven);
  h.Add(g.tankX);
  h.Add(g.tankZ);
  h.Add(g.tankHeading);
  h.Add(g.tankSpeed);
  h.Add(g.tankBob);
  h.Add(g.playerLife);
  h.Add(g.maxLife);
  h.Add(g.shells);
  h.Add(g.maxShells);
  h.Add(g.reloadTimer);
  h.Add(g.maxSpeed);
  h.Add(g.shakeTimer);
  h.Add(g.abilityState);
  h.Add(g.shotX);
  h.Add(g.shotZ);
  h.Add(g.shotDX);
  h.Add(g.shotDZ);
  h.Add(g.starX);
  h.Add(g.starY);
  h.Add(g.starZ);
  h.Add(g.starDX);
  h.Add(g.starDY);
  h.Add(g.starDZ);
  h.Add(g.wallX);
  h.Add(g.wallZ);
  h.Add(g.wallWidth);
  h.Add(g.wallDepth);
  h.Add(g.moverX);
  h.Add(g.itemX);
  h.Add(g.itemZ);
  h.Add(g.netX);
  h.Add(g.netZ);
  h.Add(g.netTimer);
  h.Add(g.mineX);
  h.Add(g.mineZ);
  h.Add(g.aiTurn);
  h.Add(g.aiDrive);
  h.Add(g.aiSearch);
  h.Add(g.burstCount);
  h.Add(g.winner);
  h.Add(g.zoomStep);
  h.Add(g.endCount);
  h.Add(g.quietTicks);
  h.Add(g.random.state());
  h.Add(g.prevX);
  h.Add(g.prevZ);
  return h.value();
}

}  // namespace bf
