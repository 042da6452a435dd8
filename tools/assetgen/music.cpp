// The two music loops. Each is written out as bars of melody, chords, bass and drums, rendered by
// small instruments into a buffer that is exactly a whole number of bars long. Every note ends
// with its release inside the loop, so the end runs into the start without a click.
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

enum class Instrument { kPad, kPluck, kFlute, kBass, kLead, kStab, kKick, kSnare, kHat, kShaker };

struct Track {
  std::vector<float> left, right;
  double samplesPerBeat;
  std::uint32_t nextSeed = 1;  // each drum hit gets noise of its own, the same on every run
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
        return 0.22f;
      case Instrument::kHat:
        return 0.06f;
      case Instrument::kShaker:
        return 0.09f;
      case Instrument::kPluck:
        return std::min(length_, 0.9f);
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
        float tone = lp_.Run(a_.Saw() + b_.Saw() + 0.6f * c_.Triangle(), 900);
        return 0.22f * tone * Gate(t, 0.35f, length_ + kPadRelease, kPadRelease + 0.1f);
      }
      case Instrument::kPluck: {
        a_.Step(hz_);
        b_.Step(hz_ * 2);
        float tone = a_.Sine() + 0.35f * b_.Sine() * std::exp(-t * 12);
        return 0.32f * tone * Decay(t, 0.004f, 0.18f) * Gate(t, 0, Duration(), 0.05f);
      }
      case Instrument::kFlute: {
        vib_.Step(5);
        float f = hz_ * (1 + 0.006f * vib_.Sine() * std::min(1.0f, t * 2));
        a_.Step(f);
        b_.Step(f * 2);
        float breath = 0.04f * lp_.Run(noise_.Next(), 3000);
        return 0.36f * (a_.Sine() + 0.15f * b_.Sine() + breath) * Gate(t, 0.06f, length_, 0.12f);
      }
      case Instrument::kBass: {
        a_.Step(hz_);
        float tone = lp_.Run(a_.Saw() * 0.6f + a_.Square() * 0.4f, 250 + 900 * std::exp(-t * 10));
        return 0.5f * tone * Gate(t, 0.005f, length_, 0.04f);
      }
      case Instrument::kLead: {
        vib_.Step(6);
        float f = hz_ * (1 + 0.008f * vib_.Sine() * std::min(1.0f, t * 3));
        a_.Step(f);
        b_.Step(f * 1.004f);
        float tone = lp_.Run(a_.Square(0.3f) + 0.5f * b_.Saw(), 2600);
        return 0.26f * tone * Gate(t, 0.01f, length_, 0.06f);
      }
      case Instrument::kStab: {
        a_.Step(hz_);
        b_.Step(hz_ * 1.01f);
        float tone = lp_.Run(a_.Saw() + b_.Saw(), 500 + 3000 * std::exp(-t * 18));
        return 0.14f * tone * Gate(t, 0.003f, length_, 0.04f);
      }
      case Instrument::kKick: {
        a_.Step(45 + 120 * std::exp(-t * 30));
        return 0.95f * a_.Sine() * Decay(t, 0.002f, 0.06f) * Gate(t, 0, Duration(), 0.05f);
      }
      case Instrument::kSnare: {
        a_.Step(190);
        float body = a_.Sine() * Decay(t, 0.001f, 0.03f);
        float rattle = hp_.Run(noise_.Next(), 1200) * Decay(t, 0.001f, 0.05f);
        return 0.55f * (0.6f * body + rattle) * Gate(t, 0, Duration(), 0.04f);
      }
      case Instrument::kHat: {
        float tick = hp_.Run(noise_.Next(), 7000) * Decay(t, 0.0005f, 0.012f);
        return 0.3f * tick * Gate(t, 0, Duration(), 0.02f);
      }
      case Instrument::kShaker: {
        float tick = hp_.Run(noise_.Next(), 5000) * Gate(t, 0.02f, Duration(), 0.06f);
        return 0.1f * tick;
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

// Plays a melody written bar by bar ("|" between bars does not matter: lengths decide).
void Melody(Track* track, Instrument kind, const std::string& text, double firstBeat, float pan,
            float gain = 1, float legato = 0.95f) {
  double beat = firstBeat;
  for (const Note& n : ParseNotes(text)) {
    if (n.midi >= 0) Play(track, kind, n.midi, beat, n.beats * legato, pan, gain);
    beat += n.beats;
  }
}

std::vector<float> Interleave(const Track& track) {
  std::vector<float> out(track.left.size() * 2);
  for (std::size_t i = 0; i < track.left.size(); ++i) {
    out[2 * i] = track.left[i];
    out[2 * i + 1] = track.right[i];
  }
  Normalize(&out, kMusicPeak);
  return out;
}

struct Chord {
  std::vector<float> notes;
  float bass;
};

// The selection screen: a calm 16-bar piece in F major at 84 beats a minute (45.7 s).
std::vector<float> Calm() {
  const int bars = 16;
  Track track(84, bars * 4);
  const Chord fmaj7{{53, 57, 60, 64}, 41}, dm7{{50, 53, 57, 60}, 38}, bbmaj7{{50, 53, 57, 58}, 34},
      c{{52, 55, 60, 64}, 36}, am7{{52, 55, 57, 60}, 45}, gm7{{50, 53, 55, 58}, 43},
      c7{{52, 55, 58, 60}, 36};
  // Two chords per bar (the second repeats the first unless the harmony moves mid-bar).
  const Chord* progression[bars][2] = {
      {&fmaj7, &fmaj7}, {&dm7, &dm7}, {&bbmaj7, &bbmaj7}, {&c, &c},
      {&fmaj7, &fmaj7}, {&am7, &am7}, {&bbmaj7, &bbmaj7}, {&gm7, &c},
      {&fmaj7, &fmaj7}, {&dm7, &dm7}, {&bbmaj7, &bbmaj7}, {&c, &c},
      {&fmaj7, &fmaj7}, {&am7, &am7}, {&bbmaj7, &gm7},    {&c7, &c7}};
  const float arpeggio[8] = {0, 1, 2, 3, 2, 1, 2, 3};
  for (int bar = 0; bar < bars; ++bar) {
    const bool last = bar == bars - 1;
    for (int half = 0; half < 2; ++half) {
      const Chord& ch = *progression[bar][half];
      double beat = bar * 4 + half * 2;
      // The pad holds a chord over the whole bar when the harmony stays; the last one stops
      // early enough for its fade to end inside the loop.
      const bool whole_bar = progression[bar][1] == progression[bar][0];
      if (half == 0 || !whole_bar) {
        double pad_len = (whole_bar ? 4.0 : 2.0) - (last ? 0.8 : 0.0);
        for (float n : ch.notes) Play(&track, Instrument::kPad, n, beat, pad_len, 0, 0.8f);
      }
      Play(&track, Instrument::kBass, ch.bass, beat, last && half == 1 ? 1.2 : 1.8, 0, 0.8f);
      for (int k = 0; k < 4; ++k) {
        if (last && half == 1 && k == 3) break;
        int idx = static_cast<int>(arpeggio[(half * 4 + k) % 8]);
        float note = ch.notes[idx] + 12;
        Play(&track, Instrument::kPluck, note, beat + k * 0.5, 0.45, -0.4f, 0.8f);
      }
    }
    if (bar >= 4 && !last) {  // a soft shaker joins after the intro
      for (int k = 0; k < 8; ++k)
        Play(&track, Instrument::kShaker, 0, bar * 4 + k * 0.5, 0.2, 0.5f);
    }
  }
  const std::string tune =
      "C5:1.5 A4:0.5 C5:1 F5:1  E5:2 D5:1 C5:1  D5:1.5 C5:0.5 Bb4:1 A4:1  G4:3 r:1 "
      "C5:1.5 A4:0.5 C5:1 A5:1  G5:2 E5:1 C5:1  D5:1 F5:1 E5:1 D5:1  C5:3 r:1 "
      "A5:2 G5:1 F5:1  F5:1 E5:1 D5:2  D5:1.5 F5:0.5 E5:1 D5:1  C5:2 G4:2 "
      "A4:1 C5:1 F5:1 A5:1  G5:1.5 E5:0.5 C5:2  D5:1 C5:1 Bb4:1 G4:1  E4:1 G4:1 C5:1.3 r:0.7";
  Melody(&track, Instrument::kFlute, tune, 0, 0.25f, 1.0f, 0.92f);
  return Interleave(track);
}

// The battle: a driving 24-bar piece in A minor at 140 beats a minute (41.1 s).
std::vector<float> Lively() {
  const int bars = 24;
  Track track(140, bars * 4);
  const Chord am{{57, 60, 64}, 45}, f{{57, 60, 65}, 41}, c{{55, 60, 64}, 48}, g{{55, 59, 62}, 43},
      e{{56, 59, 64}, 40}, dm{{57, 62, 65}, 38}, bb{{58, 62, 65}, 46};
  const Chord* progression[bars] = {&am, &f,  &c,  &g, &am, &f,  &c, &e,   // A
                                    &dm, &am, &bb, &e, &dm, &am, &e, &e,   // B
                                    &am, &f,  &c,  &g, &am, &f,  &c, &e};  // A again
  for (int bar = 0; bar < bars; ++bar) {
    const Chord& ch = *progression[bar];
    const double b0 = bar * 4;
    const bool fill = bar % 8 == 7;
    const bool last = bar == bars - 1;
    // Bass: driving eighths with an octave leap.
    for (int k = 0; k < 8; ++k) {
      if (last && k == 7) break;
      float note = ch.bass + (k % 4 == 3 ? 12 : 0);
      Play(&track, Instrument::kBass, note, b0 + k * 0.5, 0.42, 0, 0.9f);
    }
    // Chord stabs on the off-beats.
    for (int k = 0; k < 4; ++k) {
      for (float n : ch.notes) {
        Play(&track, Instrument::kStab, n, b0 + k + 0.5, 0.3, k % 2 ? 0.4f : -0.4f);
      }
    }
    // Drums: kick on 1 and 3 (and the "and" of 3), snare on 2 and 4, hats on every eighth.
    for (double k : {0.0, 2.0, 2.5}) Play(&track, Instrument::kKick, 0, b0 + k, 0.5, 0);
    if (fill) {
      for (int k = 0; k < 6; ++k) {
        Play(&track, Instrument::kSnare, 0, b0 + 2 + k * 0.25, 0.2, 0.1f, 0.6f + 0.08f * k);
      }
    } else {
      Play(&track, Instrument::kSnare, 0, b0 + 1, 0.2, 0.1f);
      Play(&track, Instrument::kSnare, 0, b0 + 3, 0.2, 0.1f);
    }
    for (int k = 0; k < 8; ++k) {
      if (last && k == 7) break;
      Play(&track, Instrument::kHat, 0, b0 + k * 0.5, 0.1, 0.45f, k % 2 ? 1.0f : 0.6f);
    }
  }
  const std::string a_part =
      "E5:1 A5:1 B5:0.5 C6:0.5 B5:1  A5:1.5 G5:0.5 F5:1 E5:1  G5:1 E5:1 C5:1 E5:1  D5:2 r:1 B4:1 "
      "C5:1 E5:1 A5:1 C6:1  B5:0.5 A5:0.5 G5:1 A5:2  E5:1 G5:1 C6:1 B5:0.5 A5:0.5 ";
  const std::string b_part =
      "F5:1 A5:1 D6:1.5 C6:0.5  C6:1 B5:0.5 A5:0.5 E5:2  F5:1 Bb5:1 D6:1 C6:1  B5:2 G#5:2 "
      "A5:1 F5:1 D5:1 F5:1  E5:1 C5:1 A4:1 C5:1  B4:1 D5:1 E5:1 G#5:1  B5:2 r:2 ";
  const std::string tune = a_part + "G#5:3 r:1 " + b_part + a_part + "G#5:1 B5:1 E6:1 r:1";
  Melody(&track, Instrument::kLead, tune, 0, -0.15f, 1.0f, 0.9f);
  return Interleave(track);
}

}  // namespace

std::vector<SoundFile> BuildMusic() {
  return {{"bgm0", Calm(), 2}, {"bgm1", Lively(), 2}};
}

}  // namespace assetgen
