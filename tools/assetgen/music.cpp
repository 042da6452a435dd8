// The two music loops. Each is written out as bars of melody, chords, bass and drums, rendered by
// small instruments into a buffer that is exactly a whole number of bars long. A note that rings
// past the end carries on at the start, as it would when the track plays again: the loop has no
// fade and no gap, and its last sample runs into its first.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <sstream>

#include "sounds.h"
#include "synth.h"

namespace assetgen {
namespace {

// Pad chords fade out over this many seconds after they end, under the next chord.
constexpr float kPadRelease = 0.35f;

enum class Instrument {
  kPad,
  kPluck,
  kBell,
  kFlute,
  kBass,
  kLead,
  kArp,
  kStab,
  kKick,
  kSnare,
  kClap,
  kHat,
  kShaker,
  kCrash
};

struct Track {
  std::vector<float> left, right;
  double samplesPerBeat;
  std::uint32_t nextSeed = 1;  // each note gets noise of its own, the same on every run
  explicit Track(double bpm, int beats) : samplesPerBeat(kSampleRate * 60.0 / bpm) {
    std::size_t n = static_cast<std::size_t>(std::llround(samplesPerBeat * beats));
    left.assign(n, 0);
    right.assign(n, 0);
  }
};

// The voice of one instrument at time t (seconds) into a note of `length` seconds; zero once
// the release is over.
class Voice {
 public:
  Voice(Instrument kind, float note, float length, std::uint32_t seed)
      : kind_(kind), hz_(MidiHz(note)), length_(length), noise_(seed) {}

  // How long the sound lasts after the note starts.
  float Duration() const {
    switch (kind_) {
      case Instrument::kKick:
        return 0.3f;
      case Instrument::kSnare:
      case Instrument::kClap:
        return 0.22f;
      case Instrument::kHat:
        return 0.06f;
      case Instrument::kShaker:
        return 0.09f;
      case Instrument::kCrash:
        return 1.6f;
      case Instrument::kPluck:
        return std::min(length_, 0.9f);
      case Instrument::kBell:
        return 1.2f;
      case Instrument::kArp:
        return std::min(length_, 0.4f);
      case Instrument::kPad:
        return length_ + kPadRelease;  // fades under the next chord
      default:
        return length_;
    }
  }

  float Next(float t) {
    switch (kind_) {
      case Instrument::kPad: {
        a_.Step(hz_);
        b_.Step(hz_ * 1.006f);
        c_.Step(hz_ * 0.5f);
        float tone = lp_.Run(a_.Saw() + b_.Saw() + 0.6f * c_.Triangle(), 1400);
        return 0.2f * tone * Gate(t, 0.35f, length_ + kPadRelease, kPadRelease + 0.1f);
      }
      case Instrument::kPluck: {
        a_.Step(hz_);
        b_.Step(hz_ * 2);
        c_.Step(hz_ * 3);
        float tone = a_.Sine() + 0.4f * b_.Sine() * std::exp(-t * 10) +
                     0.25f * c_.Sine() * std::exp(-t * 25);
        return 0.3f * tone * Decay(t, 0.004f, 0.18f) * Gate(t, 0, Duration(), 0.05f);
      }
      case Instrument::kBell: {
        // A glockenspiel bar: partials far from harmonic, the high ones dying first.
        a_.Step(hz_);
        b_.Step(hz_ * 2.76f);
        c_.Step(hz_ * 5.4f);
        float tone =
            a_.Sine() + 0.5f * b_.Sine() * std::exp(-t * 6) + 0.25f * c_.Sine() * std::exp(-t * 14);
        return 0.22f * tone * Decay(t, 0.002f, 0.22f) * Gate(t, 0, Duration(), 0.1f);
      }
      case Instrument::kFlute: {
        vib_.Step(5);
        float f = hz_ * (1 + 0.006f * vib_.Sine() * std::min(1.0f, t * 2));
        a_.Step(f);
        b_.Step(f * 2);
        c_.Step(f * 3);
        float breath = 0.05f * hp_.Run(noise_.Next(), 2500);
        float tone = a_.Sine() + 0.3f * b_.Sine() + 0.12f * c_.Sine() + breath;
        return 0.32f * tone * Gate(t, 0.04f, length_, 0.1f);
      }
      case Instrument::kBass: {
        a_.Step(hz_);
        float tone = lp_.Run(a_.Saw() * 0.6f + a_.Square() * 0.4f, 300 + 1400 * std::exp(-t * 10));
        return 0.5f * tone * Gate(t, 0.005f, length_, 0.04f);
      }
      case Instrument::kLead: {
        vib_.Step(6);
        float f = hz_ * (1 + 0.008f * vib_.Sine() * std::min(1.0f, t * 3));
        a_.Step(f);
        b_.Step(f * 1.004f);
        float tone = lp_.Run(a_.Pulse(0.3f) + 0.5f * b_.Saw(), 3200);
        return 0.26f * tone * Gate(t, 0.01f, length_, 0.06f);
      }
      case Instrument::kArp: {
        a_.Step(hz_);
        b_.Step(hz_ * 0.998f);
        float tone = lp_.Run(a_.Saw() + 0.6f * b_.Pulse(0.25f), 700 + 5000 * std::exp(-t * 25));
        return 0.2f * tone * Decay(t, 0.002f, 0.09f) * Gate(t, 0, Duration(), 0.03f);
      }
      case Instrument::kStab: {
        a_.Step(hz_);
        b_.Step(hz_ * 1.01f);
        float tone = lp_.Run(a_.Saw() + b_.Saw(), 600 + 4000 * std::exp(-t * 18));
        return 0.13f * tone * Gate(t, 0.003f, length_, 0.04f);
      }
      case Instrument::kKick: {
        a_.Step(48 + 130 * std::exp(-t * 30));
        float click = hp_.Run(noise_.Next(), 3000) * Decay(t, 0.0003f, 0.003f);
        return (0.9f * a_.Sine() + 0.3f * click) * Decay(t, 0.002f, 0.06f) *
               Gate(t, 0, Duration(), 0.05f);
      }
      case Instrument::kSnare: {
        a_.Step(190);
        float body = a_.Sine() * Decay(t, 0.001f, 0.03f);
        float rattle = hp_.Run(noise_.Next(), 1500) * Decay(t, 0.001f, 0.05f);
        return 0.55f * (0.6f * body + rattle) * Gate(t, 0, Duration(), 0.04f);
      }
      case Instrument::kClap: {
        // Three hands a few milliseconds apart, then the room.
        float hands = 0;
        for (float at : {0.0f, 0.011f, 0.023f})
          hands += t >= at ? Decay(t - at, 0.0005f, 0.004f) : 0;
        float air = hp_.Run(noise_.Next(), 1200);
        return 0.35f * air * (hands + 0.4f * Decay(t, 0.02f, 0.04f)) *
               Gate(t, 0, Duration(), 0.04f);
      }
      case Instrument::kHat: {
        float tick = hp_.Run(noise_.Next(), 8000) * Decay(t, 0.0005f, 0.012f);
        return 0.3f * tick * Gate(t, 0, Duration(), 0.02f);
      }
      case Instrument::kShaker: {
        float tick = hp_.Run(noise_.Next(), 6000) * Gate(t, 0.02f, Duration(), 0.06f);
        return 0.1f * tick;
      }
      case Instrument::kCrash: {
        float wash = hp_.Run(noise_.Next(), 6000);
        return 0.16f * wash * Decay(t, 0.002f, 0.3f) * Gate(t, 0, Duration(), 0.3f);
      }
    }
    return 0;
  }

 private:
  Instrument kind_;
  float hz_, length_;
  Noise noise_;
  Oscillator a_, b_, c_, vib_;
  OnePoleLowPass lp_;
  OnePoleHighPass hp_;
};

// Adds one note at `beat` lasting `beats`, panned -1 (left) .. 1 (right).
void Play(Track* track, Instrument kind, float note, double beat, double beats, float pan,
          float gain = 1) {
  const double seconds_per_beat = track->samplesPerBeat / kSampleRate;
  Voice voice(kind, note, static_cast<float>(beats * seconds_per_beat), track->nextSeed++);
  const std::size_t start = static_cast<std::size_t>(std::llround(beat * track->samplesPerBeat));
  const std::size_t count = static_cast<std::size_t>(voice.Duration() * kSampleRate);
  const float gl = gain * std::sqrt(0.5f * (1 - pan)), gr = gain * std::sqrt(0.5f * (1 + pan));
  const std::size_t n = track->left.size();
  for (std::size_t i = 0; i < count; ++i) {
    float v = voice.Next(static_cast<float>(i) / kSampleRate);
    std::size_t at = (start + i) % n;  // a tail past the end continues at the start
    track->left[at] += v * gl;
    track->right[at] += v * gr;
  }
}

// Notes written as "C5:1.5 A4:0.5 r:1": name, sharp or flat, octave, length in beats.
struct Note {
  float midi;  // < 0: rest
  double beats;
};

std::vector<Note> ParseNotes(const std::string& text) {
  static const int kSemitone[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  std::vector<Note> notes;
  std::istringstream in(text);
  std::string token;
  while (in >> token) {
    if (token == "|") continue;
    std::size_t colon = token.find(':');
    double beats = std::stod(token.substr(colon + 1));
    std::string name = token.substr(0, colon);
    if (name == "r") {
      notes.push_back({-1, beats});
      continue;
    }
    int semitone = kSemitone[std::toupper(name[0]) - 'A'];
    std::size_t pos = 1;
    if (name[pos] == '#') ++semitone, ++pos;
    if (name[pos] == 'b') --semitone, ++pos;
    int octave = name[pos] - '0';
    notes.push_back({static_cast<float>(12 * (octave + 1) + semitone), beats});
  }
  return notes;
}

// Plays a melody written bar by bar; "|" between bars is for the reader, lengths decide.
void Melody(Track* track, Instrument kind, const std::string& text, double firstBeat, float pan,
            float gain = 1, float legato = 0.95f, float transpose = 0) {
  double beat = firstBeat;
  for (const Note& n : ParseNotes(text)) {
    if (n.midi >= 0) Play(track, kind, n.midi + transpose, beat, n.beats * legato, pan, gain);
    beat += n.beats;
  }
}

std::vector<float> Interleave(const Track& track) {
  std::vector<float> out(track.left.size() * 2);
  for (std::size_t i = 0; i < track.left.size(); ++i) {
    out[2 * i] = track.left[i];
    out[2 * i + 1] = track.right[i];
  }
  RemoveDcOfLoop(&out, 2);
  NormalizeLoudness(&out, 2, kMusicLufs, kMusicCeiling);
  return out;
}

struct Chord {
  std::vector<float> notes;
  float bass;
};

// The selection screen: a bright, bouncy 16-bar piece in F major at 100 beats a minute (38.4 s),
// a bell and a flute over plucked chords, with hand claps once the tune sets off.
std::vector<float> Bright() {
  const int bars = 16;
  Track track(100, bars * 4);
  const Chord fmaj7{{53, 57, 60, 64}, 41}, dm7{{50, 53, 57, 60}, 38}, bbmaj7{{50, 53, 57, 58}, 34},
      c{{52, 55, 60, 64}, 36}, am7{{52, 55, 57, 60}, 45}, gm7{{50, 53, 55, 58}, 43},
      c7{{52, 55, 58, 60}, 36};
  // Two chords per bar (the second repeats the first unless the harmony moves mid-bar).
  const Chord* progression[bars][2] = {
      {&fmaj7, &fmaj7}, {&dm7, &dm7}, {&bbmaj7, &bbmaj7}, {&c, &c},
      {&fmaj7, &fmaj7}, {&am7, &am7}, {&bbmaj7, &bbmaj7}, {&gm7, &c},
      {&fmaj7, &fmaj7}, {&dm7, &dm7}, {&bbmaj7, &bbmaj7}, {&c, &c},
      {&fmaj7, &fmaj7}, {&am7, &am7}, {&bbmaj7, &gm7},    {&c7, &c7}};
  const int arpeggio[8] = {0, 1, 2, 3, 2, 1, 2, 3};
  for (int bar = 0; bar < bars; ++bar) {
    const double b0 = bar * 4;
    for (int half = 0; half < 2; ++half) {
      const Chord& ch = *progression[bar][half];
      const double beat = b0 + half * 2;
      const bool whole_bar = progression[bar][1] == progression[bar][0];
      if (half == 0 || !whole_bar) {
        for (float n : ch.notes)
          Play(&track, Instrument::kPad, n, beat, whole_bar ? 4 : 2, 0, 0.6f);
      }
      // A bouncing bass: root, then the octave on the off-beat.
      Play(&track, Instrument::kBass, ch.bass, beat, 0.9, 0, 0.75f);
      Play(&track, Instrument::kBass, ch.bass + 12, beat + 1.5, 0.4, 0, 0.55f);
      for (int k = 0; k < 4; ++k) {
        float note = ch.notes[arpeggio[(half * 4 + k) % 8]] + 12;
        Play(&track, Instrument::kPluck, note, beat + k * 0.5, 0.45, -0.4f, 0.75f);
      }
    }
    // Drums: a light kick, claps on 2 and 4 once the tune is under way, a shaker throughout.
    Play(&track, Instrument::kKick, 0, b0, 0.5, 0, 0.55f);
    Play(&track, Instrument::kKick, 0, b0 + 2, 0.5, 0, 0.55f);
    if (bar >= 4) {
      Play(&track, Instrument::kClap, 0, b0 + 1, 0.2, 0.15f, 0.8f);
      Play(&track, Instrument::kClap, 0, b0 + 3, 0.2, 0.15f, 0.8f);
      for (int k = 0; k < 4; ++k) Play(&track, Instrument::kHat, 0, b0 + k + 0.5, 0.1, -0.3f, 0.6f);
    }
    for (int k = 0; k < 8; ++k) {
      Play(&track, Instrument::kShaker, 0, b0 + k * 0.5, 0.2, 0.5f, k % 2 ? 1.2f : 0.8f);
    }
  }
  const std::string tune =
      "C5:1.5 A4:0.5 C5:1 F5:1 | E5:2 D5:1 C5:1 | D5:1.5 C5:0.5 Bb4:1 A4:1 | G4:3 r:1 | "
      "C5:1.5 A4:0.5 C5:1 A5:1 | G5:2 E5:1 C5:1 | D5:1 F5:1 E5:1 D5:1 | C5:3 r:1 | "
      "A5:2 G5:1 F5:1 | F5:1 E5:1 D5:2 | D5:1.5 F5:0.5 E5:1 D5:1 | C5:2 G4:2 | "
      "A4:1 C5:1 F5:1 A5:1 | G5:1.5 E5:0.5 C5:2 | D5:1 C5:1 Bb4:1 G4:1 | E4:1 G4:1 C5:2";
  Melody(&track, Instrument::kFlute, tune, 0, 0.25f, 0.9f, 0.92f);
  // The bell doubles the tune an octave up, lightly, for sparkle.
  Melody(&track, Instrument::kBell, tune, 0, -0.25f, 1.3f, 0.9f, 12);
  return Interleave(track);
}

// How the drums play a bar of the battle track.
enum class Groove { kSparse, kDrive, kHalfTime, kBusy, kFourOnTheFloor };
// How the bass plays it.
enum class BassLine { kPulse, kEighths, kSyncopated, kLong, kWalking };

// The arrangement of four bars of the battle track.
struct Part {
  Groove drums;
  BassLine bass;
  bool stabs, pads;
  int arpeggioSteps;  // notes of the arpeggio per beat; 0 for none
};

void DrumBar(Track* track, int bar, Groove groove, bool fill) {
  const double b0 = bar * 4;
  auto kick = [&](double beat) { Play(track, Instrument::kKick, 0, b0 + beat, 0.5, 0); };
  auto snare = [&](double beat, float gain) {
    Play(track, Instrument::kSnare, 0, b0 + beat, 0.2, 0.1f, gain);
  };
  auto hat = [&](double beat, float gain) {
    Play(track, Instrument::kHat, 0, b0 + beat, 0.1, 0.45f, gain);
  };
  switch (groove) {
    case Groove::kSparse:
      kick(0);
      for (int k = 0; k < 8; ++k) hat(k * 0.5, k % 2 ? 0.9f : 0.5f);
      break;
    case Groove::kHalfTime:
      kick(0);
      snare(2, 1);
      for (int k = 0; k < 4; ++k) hat(k + 0.5, 0.7f);
      break;
    case Groove::kDrive:
    case Groove::kBusy:
      for (double k : {0.0, 2.0, 2.5}) kick(k);
      if (groove == Groove::kBusy) kick(1.75);
      if (!fill) snare(1, 1), snare(3, 1);
      for (int k = 0; k < 8; ++k) hat(k * 0.5, k % 2 ? 1.0f : 0.6f);
      if (groove == Groove::kBusy) {
        for (int k = 0; k < 4; ++k) hat(k + 0.75, 0.45f);
      }
      break;
    case Groove::kFourOnTheFloor:  // a kick on every beat, claps on the back beat, open hats
      for (int k = 0; k < 4; ++k) kick(k), hat(k + 0.5, 1.2f);
      if (!fill) {
        for (double k : {1.0, 3.0}) Play(track, Instrument::kClap, 0, b0 + k, 0.2, -0.1f);
      }
      break;
  }
  if (fill) {  // a roll into the next part
    snare(1, 1);
    for (int k = 0; k < 8; ++k) snare(2 + k * 0.25, 0.45f + 0.08f * k);
  }
}

void BassBar(Track* track, int bar, const Chord& ch, BassLine line) {
  const double b0 = bar * 4;
  auto note = [&](float n, double beat, double beats, float gain = 0.9f) {
    Play(track, Instrument::kBass, n, b0 + beat, beats, 0, gain);
  };
  switch (line) {
    case BassLine::kPulse:
      for (int k = 0; k < 8; ++k) note(ch.bass, k * 0.5, 0.3, 0.7f);
      break;
    case BassLine::kEighths:  // driving eighths with an octave leap
      for (int k = 0; k < 8; ++k) note(ch.bass + (k % 4 == 3 ? 12 : 0), k * 0.5, 0.42);
      break;
    case BassLine::kSyncopated:
      note(ch.bass, 0, 0.7);
      note(ch.bass, 0.75, 0.5);
      note(ch.bass + 12, 1.5, 0.4);
      note(ch.bass, 2, 0.7);
      note(ch.bass + 7, 2.75, 0.5);
      note(ch.bass + 12, 3.5, 0.4);
      break;
    case BassLine::kLong:
      note(ch.bass, 0, 2.8, 0.8f);
      note(ch.bass + 7, 3, 0.9, 0.7f);
      break;
    case BassLine::kWalking:  // root, fifth, octave, fifth in eighths and quarters
      for (int k = 0; k < 4; ++k) {
        const float step[4] = {0, 7, 12, 7};
        note(ch.bass + step[k], k, 0.45);
        note(ch.bass + step[k], k + 0.5, 0.4, 0.6f);
      }
      break;
  }
}

// The chord's notes rising and falling, `steps` notes a beat, an octave up.
void ArpeggioBar(Track* track, int bar, const Chord& ch, int steps) {
  const int order[6] = {0, 1, 2, 3, 2, 1};
  std::vector<float> tones = ch.notes;
  tones.push_back(ch.notes[0] + 12);
  for (int k = 0; k < 4 * steps; ++k) {
    const float n = tones[order[k % 6]] + 12;
    Play(track, Instrument::kArp, n, bar * 4 + static_cast<double>(k) / steps, 0.9 / steps,
         k % 2 ? 0.35f : -0.35f);
  }
}

// The battle: a driving 56-bar piece in A minor at 140 beats a minute (96 s), seven parts of
// eight bars that never play the same way twice: an intro that builds, the theme, its answer, a
// half-time breakdown, the theme again with a new ending, a bridge in C major and a climb back.
std::vector<float> Lively() {
  const int bars = 56;
  Track track(140, bars * 4);
  const Chord am{{57, 60, 64}, 45}, f{{57, 60, 65}, 41}, c{{55, 60, 64}, 48}, g{{55, 59, 62}, 43},
      e{{56, 59, 64}, 40}, dm{{57, 62, 65}, 38}, bb{{58, 62, 65}, 46}, em{{55, 59, 64}, 40};
  const Chord* progression[bars] = {&am, &am, &f,  &f,  &c,  &c,  &g,  &e,   // intro
                                    &am, &f,  &c,  &g,  &am, &f,  &c,  &e,   // theme
                                    &dm, &am, &bb, &e,  &dm, &am, &e,  &e,   // answer
                                    &f,  &g,  &em, &am, &dm, &em, &f,  &e,   // breakdown
                                    &am, &f,  &c,  &g,  &am, &f,  &c,  &e,   // theme, new ending
                                    &c,  &g,  &am, &em, &f,  &c,  &dm, &e,   // bridge
                                    &f,  &g,  &am, &am, &f,  &g,  &e,  &e};  // climb
  const Part parts[bars / 4] = {
      {Groove::kSparse, BassLine::kPulse, false, true, 2},
      {Groove::kDrive, BassLine::kPulse, true, false, 2},
      {Groove::kDrive, BassLine::kEighths, true, false, 0},
      {Groove::kDrive, BassLine::kEighths, true, false, 0},
      {Groove::kDrive, BassLine::kEighths, true, false, 0},
      {Groove::kBusy, BassLine::kEighths, true, false, 2},
      {Groove::kHalfTime, BassLine::kLong, false, true, 0},
      {Groove::kHalfTime, BassLine::kLong, false, true, 2},
      {Groove::kFourOnTheFloor, BassLine::kSyncopated, true, false, 0},
      {Groove::kFourOnTheFloor, BassLine::kSyncopated, true, false, 2},
      {Groove::kDrive, BassLine::kWalking, true, false, 2},
      {Groove::kDrive, BassLine::kWalking, true, true, 2},
      {Groove::kBusy, BassLine::kEighths, true, false, 4},
      {Groove::kBusy, BassLine::kEighths, true, true, 4},
  };
  for (int bar = 0; bar < bars; ++bar) {
    const Chord& ch = *progression[bar];
    const Part& part = parts[bar / 4];
    const double b0 = bar * 4;
    DrumBar(&track, bar, part.drums, bar % 8 == 7);
    if (bar % 8 == 0 && bar > 0) Play(&track, Instrument::kCrash, 0, b0, 1, -0.3f);
    BassBar(&track, bar, ch, part.bass);
    if (part.stabs) {  // chord stabs on the off-beats
      for (int k = 0; k < 4; ++k) {
        for (float n : ch.notes) {
          Play(&track, Instrument::kStab, n, b0 + k + 0.5, 0.3, k % 2 ? 0.4f : -0.4f);
        }
      }
    }
    if (part.pads) {
      for (float n : ch.notes) Play(&track, Instrument::kPad, n, b0, 4, 0, 0.8f);
    }
    if (part.arpeggioSteps > 0) ArpeggioBar(&track, bar, ch, part.arpeggioSteps);
  }
  const std::string theme_opening =
      "E5:1 A5:1 B5:0.5 C6:0.5 B5:1 | A5:1.5 G5:0.5 F5:1 E5:1 | G5:1 E5:1 C5:1 E5:1 | "
      "D5:2 r:1 B4:1 | ";
  const std::string theme =
      theme_opening +
      "C5:1 E5:1 A5:1 C6:1 | B5:0.5 A5:0.5 G5:1 A5:2 | E5:1 G5:1 C6:1 B5:0.5 A5:0.5 | "
      "G#5:3 r:1 | ";
  const std::string answer =
      "F5:1 A5:1 D6:1.5 C6:0.5 | C6:1 B5:0.5 A5:0.5 E5:2 | F5:1 Bb5:1 D6:1 C6:1 | B5:2 G#5:2 | "
      "A5:1 F5:1 D5:1 F5:1 | E5:1 C5:1 A4:1 C5:1 | B4:1 D5:1 E5:1 G#5:1 | B5:2 r:2 | ";
  const std::string breakdown =
      "A5:2 G5:1 F5:1 | G5:3 E5:1 | B4:2 E5:1 G5:1 | A5:4 | "
      "F5:2 E5:1 D5:1 | E5:2 G5:2 | A5:1.5 G5:0.5 F5:1 C6:1 | B5:4 | ";
  const std::string theme_again =
      theme_opening +
      "C5:0.5 D5:0.5 E5:1 A5:1 C6:1 | D6:1 C6:0.5 B5:0.5 A5:2 | G5:1 C6:1 E6:1 D6:0.5 C6:0.5 | "
      "B5:1 G#5:1 E5:2 | ";
  const std::string bridge =
      "E5:0.5 G5:0.5 C6:1 B5:0.5 C6:0.5 D6:1 | D6:0.5 B5:0.5 G5:1 A5:0.5 B5:0.5 D6:1 | "
      "C6:1 A5:1 E5:1 A5:1 | B5:1.5 G5:0.5 E5:2 | "
      "A5:0.5 C6:0.5 F6:1 E6:0.5 D6:0.5 C6:1 | E6:1 D6:0.5 C6:0.5 G5:2 | F5:1 A5:1 D6:1 F6:1 | "
      "E6:2 B5:1 G#5:1 | ";
  const std::string climb =
      "C6:2 A5:2 | B5:2 D6:2 | E6:4 | C6:2 A5:2 | A5:2 C6:2 | D6:2 B5:2 | G#5:2 B5:2 | E6:3 r:1";
  const double part_beats = 32;
  Melody(&track, Instrument::kLead, theme, 1 * part_beats, -0.15f, 1.0f, 0.9f);
  Melody(&track, Instrument::kLead, answer, 2 * part_beats, -0.15f, 1.0f, 0.9f);
  Melody(&track, Instrument::kFlute, breakdown, 3 * part_beats, 0.2f, 0.9f, 0.95f);
  Melody(&track, Instrument::kLead, theme_again, 4 * part_beats, -0.15f, 1.0f, 0.9f);
  // The second time round a bell follows the theme an octave up.
  Melody(&track, Instrument::kBell, theme_again, 4 * part_beats, 0.3f, 0.6f, 0.9f, 12);
  Melody(&track, Instrument::kLead, bridge, 5 * part_beats, -0.15f, 1.0f, 0.85f);
  Melody(&track, Instrument::kLead, climb, 6 * part_beats, -0.15f, 1.0f, 0.95f);
  return Interleave(track);
}

}  // namespace

std::vector<SoundFile> BuildMusic() {
  return {{"bgm0", Bright(), 2}, {"bgm1", Lively(), 2}};
}

}  // namespace assetgen
