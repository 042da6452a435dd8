#include "sim/trace.h"

#include <charconv>
#include <cmath>
#include <type_traits>

namespace bf {
namespace {

class JsonWriter {
 public:
  explicit JsonWriter(std::string* out) : out_(*out) {}

  void Key(const char* name) {
    out_ += first_ ? "\"" : ",\"";
    first_ = false;
    out_ += name;
    out_ += "\":";
  }
  void Number(long long value) { out_ += std::to_string(value); }
  void Number(double value) {
    if (!std::isfinite(value)) {
      out_ += "null";
      return;
    }
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out_.append(buffer, result.ptr);
  }
  template <typename T>
  void Value(T value) {
    if constexpr (std::is_floating_point_v<T>) {
      Number(static_cast<double>(value));
    } else {
      Number(static_cast<long long>(value));
    }
  }
  template <typename T>
  void Array(const T& values, int count) {
    out_ += '[';
    for (int i = 0; i < count; ++i) {
      if (i > 0) out_ += ',';
      Value(values[i]);
    }
    out_ += ']';
  }
  template <typename T>
  void Table(const char* name, const T& values) {
    Key(name);
    Array(values, static_cast<int>(values.size()));
  }
  void Field(const char* name, long long value) {
    Key(name);
    Number(value);
  }

  void Raw(const char* text) { out_ += text; }

 private:
  std::string& out_;
  bool first_ = true;
};

void WriteRecord(JsonWriter& json, const TickRecord& record) {
  json.Key("sounds");
  json.Array(record.sounds, record.soundCount);
  json.Key("views");
  json.Raw("[");
  for (int v = 0; v < record.viewCount; ++v) {
    if (v > 0) json.Raw(",");
    json.Array(record.views[v], 4);
  }
  json.Raw("]");
}

}  // namespace

void AppendTraceLine(const Game& g, Screen screen, std::int64_t tick, std::string* out) {
  JsonWriter json(out);
  out->push_back('{');
  json.Field("tick", tick);
  json.Key("screen");
  json.Raw(screen == Screen::kBattle ? "\"battle\"" : "\"selection\"");
  json.Field("paused", g.room.paused ? 1 : 0);
  WriteRecord(json, g.tickRecord);
  json.Table("playerCharacter", g.playerCharacter);
  json.Field("stageIndex", g.stageIndex);
  json.Field("menuRow", g.menuRow);
  json.Table("steerInput", g.steerInput);
  json.Table("throttleInput", g.throttleInput);
  json.Table("fireState", g.fireState);
  json.Field("enterHeld", g.enterHeld);
  json.Field("selectionActive", g.selectionActive);
  json.Field("runningFlag", g.runningFlag);
  json.Table("computerDriven", g.computerDriven);
  json.Table("tankX", g.tankX);
  json.Table("tankZ", g.tankZ);
  json.Table("tankHeading", g.tankHeading);
  json.Table("tankSpeed", g.tankSpeed);
  json.Table("tankBob", g.tankBob);
  json.Table("playerLife", g.playerLife);
  json.Table("maxLife", g.maxLife);
  json.Table("shells", g.shells);
  json.Table("maxShells", g.maxShells);
  json.Table("reloadTimer", g.reloadTimer);
  json.Table("maxSpeed", g.maxSpeed);
  json.Table("shakeTimer", g.shakeTimer);
  json.Table("abilityState", g.abilityState);
  json.Table("shotX", g.shotX);
  json.Table("shotZ", g.shotZ);
  json.Table("shotDX", g.shotDX);
  json.Table("shotDZ", g.shotDZ);
  json.Table("starX", g.starX);
  json.Table("starY", g.starY);
  json.Table("starZ", g.starZ);
  json.Table("starDX", g.starDX);
  json.Table("starDY", g.starDY);
  json.Table("starDZ", g.starDZ);
  json.Table("wallX", g.wallX);
  json.Table("wallZ", g.wallZ);
  json.Table("wallWidth", g.wallWidth);
  json.Table("wallDepth", g.wallDepth);
  json.Table("moverX", g.moverX);
  json.Table("itemX", g.itemX);
  json.Table("itemZ", g.itemZ);
  json.Table("netX", g.netX);
  json.Table("netZ", g.netZ);
  json.Table("netTimer", g.netTimer);
  json.Table("mineX", g.mineX);
  json.Table("mineZ", g.mineZ);
  json.Table("aiTurn", g.aiTurn);
  json.Table("aiDrive", g.aiDrive);
  json.Table("aiSearch", g.aiSearch);
  json.Field("burstCount", g.burstCount);
  json.Field("winner", g.winner);
  json.Field("zoomStep", g.zoomStep);
  json.Field("endCount", g.endCount);
  json.Field("quietTicks", g.quietTicks);
  json.Field("randomState", g.random.state());
  json.Key("prevX");
  json.Value(g.prevX);
  json.Key("prevZ");
  json.Value(g.prevZ);
  out->push_back('}');
}

}  // namespace bf
