// soundcheck: the loudness and clipping report of the game's sounds.
//
//   soundcheck DIR          every effect and music track under DIR (the game's sound folder),
//                           the loudest the mix can get, and the checks; exit status 1 when one
//                           fails
//   soundcheck FILE.wav...  the measures of any files (a captured mix, say), no checks
//
// Loudness is integrated loudness in LUFS (K-weighted, gated); peaks are sample peaks in dBFS.
#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/sound/loudness.h"
#include "platform/sound/mixer_level.h"

namespace {

using bf::loudness::Decibels;
using bf::loudness::Measures;

enum class Role { kCue, kAbility, kOther, kMusic };

struct SoundName {
  const char* name;
  Role role;
};

// The cues a player must never miss, the ability sounds they must stand above, and the loops.
constexpr SoundName kSounds[] = {
    {"shot", Role::kCue},       {"dam", Role::kCue},        {"reload", Role::kCue},
    {"life", Role::kOther},     {"win", Role::kOther},      {"bom", Role::kAbility},
    {"pyon", Role::kAbility},   {"rocket", Role::kAbility}, {"fox", Role::kAbility},
    {"spider", Role::kAbility}, {"fire", Role::kAbility},   {"momonga", Role::kAbility},
    {"fish", Role::kAbility},   {"shield", Role::kAbility}, {"cat", Role::kAbility},
    {"set", Role::kAbility},    {"he", Role::kAbility},     {"bgm0", Role::kMusic},
    {"bgm1", Role::kMusic},
};

constexpr int kRate = 44100;
// How far the cues stand above the music, in loudness units.
constexpr double kCueOverMusicLu = 6;
// Every effect is brought to about one loudness: none strays further than this under the cues.
// (An explosion, whose loudest moment is held to the cues', dies away to some 4 LU under them.)
constexpr double kEffectSpreadLu = 4.5;
// Small speakers give little below 250 Hz: an effect must have most of its energy above.
constexpr double kMaxLowShare = 0.5;
constexpr double kMaxDcOffset = 0.001;
constexpr double kMaxLoopSilenceMs = 5;
// The voices the mixer must carry at once over the music without clipping: the ones that pile up
// when four tanks trade fire, the shot's four and the hit's three.
constexpr int kLoudVoices = 7;
constexpr double kMixerLevel = static_cast<double>(bf::kMixerVolume) / bf::kMixerFullVolume;

struct Row {
  std::string name;
  Role role;
  bf::loudness::Wave wave;
  Measures m;
};

void PrintHeader() {
  std::printf("%-22s %7s %6s %2s %7s %7s %7s %6s %6s %11s %13s\n", "file", "seconds", "rate", "ch",
              "LUFS", "max", "peak", "<250Hz", "DC %", "silent ms", "seam/near %");
}

void PrintRow(const Row& r, bool loop) {
  char seam[32] = "-";
  if (loop)
    std::snprintf(seam, sizeof seam, "%.2f/%.2f", 100 * r.m.seamJump, 100 * r.m.stepNearSeam);
  std::printf("%-22s %7.2f %6d %2d %7.1f %7.1f %7.1f %5.1f%% %6.3f %5.0f/%-5.0f %13s\n",
              r.name.c_str(), r.m.seconds, r.wave.rate, r.wave.channels, r.m.integratedLufs,
              r.m.momentaryMaxLufs, Decibels(r.m.peak), 100 * r.m.lowShare, 100 * r.m.dcOffset,
              r.m.silenceStartMs, r.m.silenceEndMs, seam);
  if (loop && r.m.longestSilenceMs > 0) {
    std::printf("%-22s longest silence between sounds: %.0f ms at %.2f s\n", "",
                r.m.longestSilenceMs, r.m.longestSilenceAt);
  }
  if (r.m.fullScaleSamples > 0) {
    std::printf("%-22s clipped: %d samples in %d bursts\n", "", r.m.fullScaleSamples,
                r.m.fullScaleRuns);
  }
}

bool Load(const std::string& path, Row* row) {
  std::string error;
  if (!bf::loudness::ReadWave(path, &row->wave, &error)) {
    std::fprintf(stderr, "soundcheck: %s: %s\n", path.c_str(), error.c_str());
    return false;
  }
  row->m = bf::loudness::Measure(row->wave);
  return true;
}

int ReportFiles(int count, char** paths) {
  PrintHeader();
  bool ok = true;
  for (int i = 0; i < count; ++i) {
    Row row{paths[i], Role::kOther, {}, {}};
    if (Load(paths[i], &row))
      PrintRow(row, true);
    else
      ok = false;
  }
  return ok ? 0 : 1;
}

__attribute__((format(printf, 1, 2))) std::string Text(const char* format, ...) {
  char text[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

class Checks {
 public:
  void Expect(bool passed, const std::string& name, const std::string& why) {
    if (passed) return;
    std::printf("FAIL %s: %s\n", name.c_str(), why.c_str());
    ++failures_;
  }
  int failures() const { return failures_; }

 private:
  int failures_ = 0;
};

const Row* Loudest(const std::vector<Row>& rows, Role role, double Measures::*measure) {
  const Row* best = nullptr;
  for (const Row& r : rows) {
    if (r.role == role && (!best || r.m.*measure > best->m.*measure)) best = &r;
  }
  return best;
}

void CheckEveryFile(const std::vector<Row>& rows, Checks& checks) {
  for (const Row& r : rows) {
    checks.Expect(r.wave.rate == kRate, r.name, Text("%d Hz, not %d", r.wave.rate, kRate));
    checks.Expect(r.m.fullScaleSamples == 0, r.name,
                  Text("%d samples at full scale", r.m.fullScaleSamples));
    if (r.role != Role::kMusic) {
      checks.Expect(r.m.lowShare <= kMaxLowShare, r.name,
                    Text("%.0f%% of the energy below 250 Hz (at most %.0f%%)", 100 * r.m.lowShare,
                         100 * kMaxLowShare));
    }
  }
}

// Every cue at least as loud as every ability sound, as a whole and at its loudest moment, and
// clearly above the music; no effect far under the rest.
void CheckCues(const std::vector<Row>& rows, Checks& checks) {
  constexpr auto kWhole = &Measures::integratedLufs;
  constexpr auto kMoment = &Measures::momentaryMaxLufs;
  const Row* cue = Loudest(rows, Role::kCue, kWhole);
  const Row* ability = Loudest(rows, Role::kAbility, kWhole);
  const Row* abilityMoment = Loudest(rows, Role::kAbility, kMoment);
  const Row* music = Loudest(rows, Role::kMusic, kWhole);
  for (const Row& r : rows) {
    if (r.role != Role::kMusic && cue) {
      checks.Expect(r.m.integratedLufs >= cue->m.integratedLufs - kEffectSpreadLu, r.name,
                    Text("%.1f LUFS, more than %.1f LU under %s", r.m.integratedLufs,
                         kEffectSpreadLu, cue->name.c_str()));
    }
    if (r.role != Role::kCue) continue;
    if (ability) {
      checks.Expect(r.m.integratedLufs >= ability->m.integratedLufs, r.name,
                    Text("%.1f LUFS, under the ability sound %s at %.1f", r.m.integratedLufs,
                         ability->name.c_str(), ability->m.integratedLufs));
      checks.Expect(
          r.m.momentaryMaxLufs >= abilityMoment->m.momentaryMaxLufs, r.name,
          Text("loudest moment %.1f LUFS, under the ability sound %s at %.1f", r.m.momentaryMaxLufs,
               abilityMoment->name.c_str(), abilityMoment->m.momentaryMaxLufs));
    }
    if (music) {
      checks.Expect(r.m.integratedLufs >= music->m.integratedLufs + kCueOverMusicLu, r.name,
                    Text("%.1f LUFS, not %.0f LU above the music (%s at %.1f)", r.m.integratedLufs,
                         kCueOverMusicLu, music->name.c_str(), music->m.integratedLufs));
    }
  }
}

void CheckLoops(const std::vector<Row>& rows, Checks& checks) {
  for (const Row& r : rows) {
    if (r.role != Role::kMusic) continue;
    checks.Expect(
        r.m.dcOffset <= kMaxDcOffset, r.name,
        Text("DC offset %.3f%% (at most %.1f%%)", 100 * r.m.dcOffset, 100 * kMaxDcOffset));
    checks.Expect(r.m.silenceStartMs <= kMaxLoopSilenceMs && r.m.silenceEndMs <= kMaxLoopSilenceMs,
                  r.name,
                  Text("silent for %.0f ms at the start and %.0f ms at the end", r.m.silenceStartMs,
                       r.m.silenceEndMs));
    checks.Expect(r.m.seamJump <= r.m.stepNearSeam, r.name,
                  Text("the loop jumps %.2f%% of full scale where the music near it steps %.2f%%",
                       100 * r.m.seamJump, 100 * r.m.stepNearSeam));
  }
}

// The loudest moment the mix can reach: the music's peak under four, then kLoudVoices, voices of
// the loudest effect, all peaking in the same sample. Inside the mixer it must stay under full
// scale, or the mixer cuts it off; the limiter then rounds it off under its ceiling.
void CheckMixPeak(const std::vector<Row>& rows, Checks& checks) {
  const Row *effect = nullptr, *music = nullptr;
  for (const Row& r : rows) {
    const Row*& best = r.role == Role::kMusic ? music : effect;
    if (!best || r.m.peak > best->m.peak) best = &r;
  }
  const double effectPeak = effect ? effect->m.peak : 0, musicPeak = music ? music->m.peak : 0;
  auto inside = [&](int voices) { return kMixerLevel * (voices * effectPeak + musicPeak); };
  std::printf(
      "mixer level %d/%d, then %.2f times through a limiter (knee %.1f dBFS, ceiling "
      "%.1f dBFS)\n",
      bf::kMixerVolume, bf::kMixerFullVolume, bf::kMixGain, Decibels(bf::kLimiterKnee),
      Decibels(bf::kLimiterCeiling));
  for (int voices : {4, kLoudVoices}) {
    std::printf("worst case, %d voices of %s over %s: %.2f dBFS in the mixer, %.2f dBFS out\n",
                voices, effect ? effect->name.c_str() : "-", music ? music->name.c_str() : "-",
                Decibels(inside(voices)), Decibels(bf::LimitMix(inside(voices))));
  }
  checks.Expect(inside(kLoudVoices) < 32767 / 32768.0, "mix",
                Text("%.2f dBFS in the mixer with %d voices: it clips",
                     Decibels(inside(kLoudVoices)), kLoudVoices));
}

int ReportGameSounds(const std::filesystem::path& dir) {
  std::vector<Row> rows;
  for (const SoundName& s : kSounds) {
    Row row{s.name, s.role, {}, {}};
    if (!Load((dir / (std::string(s.name) + ".wav")).string(), &row)) return 1;
    rows.push_back(std::move(row));
  }
  PrintHeader();
  for (const Row& r : rows) PrintRow(r, r.role == Role::kMusic);
  Checks checks;
  CheckEveryFile(rows, checks);
  CheckCues(rows, checks);
  CheckLoops(rows, checks);
  CheckMixPeak(rows, checks);
  if (checks.failures() > 0) {
    std::printf("soundcheck: %d checks failed\n", checks.failures());
    return 1;
  }
  std::printf("soundcheck: every check passed\n");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: soundcheck SOUND_DIR | soundcheck FILE.wav...\n");
    return 2;
  }
  if (argc == 2 && std::filesystem::is_directory(argv[1])) return ReportGameSounds(argv[1]);
  return ReportFiles(argc - 1, argv + 1);
}
