// Sound effects: each a few oscillators, noise, envelopes and filters.
#include "sounds.h"

#include <algorithm>
#include <cmath>

#include "synth.h"

namespace assetgen {
namespace {

std::vector<float> Samples(float seconds) {
  return std::vector<float>(static_cast<std::size_t>(seconds * kSampleRate), 0.0f);
}

float Time(std::size_t i) {
  return static_cast<float>(i) / kSampleRate;
}

// A short fade at both ends so that no effect starts or stops with a click.
void SoftEnds(std::vector<float>* s) {
  const std::size_t n = std::min<std::size_t>(64, s->size() / 4);
  for (std::size_t i = 0; i < n; ++i) {
    float g = static_cast<float>(i) / n;
    (*s)[i] *= g;
    (*s)[s->size() - 1 - i] *= g;
  }
}

// The main gun: a sharp crack over a low thump.
std::vector<float> Shot() {
  auto s = Samples(0.4f);
  Noise noise(1);
  OnePoleLowPass lp;
  Oscillator thump;
  for (std::size_t i = 0; i < s.size(); ++i) {
    float t = Time(i);
    thump.Step(45 + 110 * std::exp(-t * 25));
    float crack = lp.Run(noise.Next(), 200 + 6000 * std::exp(-t * 30)) * Decay(t, 0.001f, 0.04f);
    s[i] = 1.2f * crack + 0.9f * thump.Sine() * Decay(t, 0.002f, 0.06f);
  }
  return s;
}

// A shell striking armour: a metallic clang with a dull knock.
std::vector<float> Damage() {
  auto s = Samples(0.45f);
  Noise noise(2);
  const float partials[] = {310, 487, 733, 1051, 1420};
  Oscillator osc[5], knock;
  for (std::size_t i = 0; i < s.size(); ++i) {
    float t = Time(i);
    float clang = 0;
    for (int k = 0; k < 5; ++k) {
      osc[k].Step(partials[k]);
      clang += osc[k].Sine() * Decay(t, 0.001f, 0.09f / (1 + k * 0.4f)) / (1 + k * 0.5f);
    }
    knock.Step(90 + 60 * std::exp(-t * 30));
    s[i] = 0.6f * clang + 0.7f * knock.Sine() * Decay(t, 0.002f, 0.04f) +
           0.5f * noise.Next() * Decay(t, 0.0005f, 0.012f);
  }
  return s;
}

// A click-clack of the breech: two short metallic ticks.
std::vector<float> Reload() {
  auto s = Samples(0.26f);
  Noise noise(3);
  OnePoleHighPass hp;
  Oscillator ping;
  for (std::size_t i = 0; i < s.size(); ++i) {
    float t = Time(i);
    float t2 = t - 0.11f;
    float env1 = Decay(t, 0.0005f, 0.008f);
    float env2 = t2 > 0 ? Decay(t2, 0.0005f, 0.015f) : 0;
    ping.Step(t2 > 0 ? 1800 : 2600);
    s[i] = hp.Run(noise.Next(), 1500) * (env1 + 1.2f * env2) + 0.5f * ping.Sine() * (env1 + env2);
  }
  return s;
}

// A pick-up: a quick rising bell arpeggio.
std::vector<float> Life() {
  auto s = Samples(0.7f);
  const float notes[] = {84, 88, 91, 96};  // C6 E6 G6 C7
  for (int k = 0; k < 4; ++k) {
    Oscillator a, b;
    float start = k * 0.07f;
    float hz = MidiHz(notes[k]);
    for (std::size_t i = static_cast<std::size_t>(start * kSampleRate); i < s.size(); ++i) {
      float t = Time(i) - start;
      a.Step(hz);
      b.Step(hz * 2.01f);
      s[i] += (a.Sine() + 0.3f * b.Sine()) * Decay(t, 0.003f, 0.12f);
    }
  }
  return s;
}

// A brass-like note: band-limited by a low pass that opens with the attack.
void Brass(std::vector<float>* s, float start, float length, float note, float gain) {
  Oscillator a, b, vib;
  OnePoleLowPass lp;
  float hz = MidiHz(note);
  std::size_t first = static_cast<std::size_t>(start * kSampleRate);
  std::size_t last =
      std::min(s->size(), static_cast<std::size_t>((start + length + 0.15f) * kSampleRate));
  for (std::size_t i = first; i < last; ++i) {
    float t = Time(i) - start;
    vib.Step(5.5f);
    float f = hz * (1 + 0.004f * vib.Sine() * std::min(1.0f, t * 3));
    a.Step(f);
    b.Step(f * 1.003f);
    float env = Gate(t, 0.03f, length + 0.15f, 0.15f);
    float tone = lp.Run(a.Saw() + b.Saw(), 600 + 2500 * std::min(1.0f, t * 12));
    (*s)[i] += gain * tone * env;
  }
}

// The winner's fanfare: a rising call, then a held major chord.
std::vector<float> Win() {
  auto s = Samples(2.4f);
  struct Note {
    float start, length, note;
  };
  const Note call[] = {{0.0f, 0.12f, 67},  {0.14f, 0.12f, 67}, {0.28f, 0.12f, 67},
                       {0.42f, 0.45f, 72}, {0.9f, 0.2f, 71},   {1.12f, 0.2f, 72}};
  for (const Note& n : call) Brass(&s, n.start, n.length, n.note, 0.5f);
  for (float note : {72.0f, 76.0f, 79.0f, 84.0f}) Brass(&s, 1.35f, 0.85f, note, 0.3f);
  // A cymbal swell under the last chord.
  Noise noise(5);
  OnePoleHighPass hp;
  for (std::size_t i = static_cast<std::size_t>(1.35f * kSampleRate); i < s.size(); ++i) {
    float t = Time(i) - 1.35f;
    s[i] += 0.25f * hp.Run(noise.Next(), 4000) * Decay(t, 0.005f, 0.25f);
  }
  return s;
}

// An explosion: a roar of falling noise over a deep rumble.
std::vector<float> Boom() {
  auto s = Samples(1.3f);
  Noise noise(7);
  OnePoleLowPass lp1, lp2;
  Oscillator rumble;
  for (std::size_t i = 0; i < s.size(); ++i) {
    float t = Time(i);
    float cutoff = 150 + 3500 * std::exp(-t * 6);
    float roar = lp2.Run(lp1.Run(noise.Next(), cutoff), cutoff);
    rumble.Step(30 + 50 * std::exp(-t * 8));
    s[i] = 2.2f * roar * Decay(t, 0.003f, 0.22f) + 0.8f * rumble.Sine() * Decay(t, 0.005f, 0.18f);
  }
  return s;
}

// The rabbit's hop: a springy "boing" whose pitch leaps up and wobbles.
std::vector<float> Pyon() {
  auto s = Samples(0.45f);
  Oscillator osc, wobble;
  for (std::size_t i = 0; i < s.size(); ++i) {
    float t = Time(i);
    wobble.Step(18);
    float hz = 220 + 700 * (1 - std::exp(-t * 18)) + 60 * wobble.Sine() * std::exp(-t * 6);
    osc.Step(hz);
    s[i] = (osc.Sine() + 0.25f * osc.Triangle()) * Decay(t, 0.004f, 0.1f);
  }
  return s;
}

// Rocket launch: an ignition pop and a rushing whoosh that sweeps up and away.
std::vector<float> RocketLaunch() {
  auto s = Samples(1.0f);
  Noise noise(9);
  StateVariableFilter svf;
  OnePoleLowPass lp;
  for (std::size_t i = 0; i < s.size(); ++i) {
    float t = Time(i);
    float sweep = 400 + 2600 * std::sin(std::min(1.0f, t / 0.9f) * 3.1416f * 0.5f);
    float whoosh = svf.Band(noise.Next(), sweep, 0.6f) * Gate(t, 0.12f, 1.0f, 0.55f);
    float pop = lp.Run(noise.Next(), 1200) * Decay(t, 0.001f, 0.03f);
    s[i] = 1.5f * whoosh + 1.5f * pop;
  }
  return s;
}

// A voice through two moving formants (the animal calls). `pitch` and the formants are
// functions of time in seconds.
template <typename Pitch, typename F1, typename F2, typename Env>
std::vector<float> Voice(float seconds, Pitch pitch, F1 f1, F2 f2, Env env, std::uint32_t seed,
                         float breath) {
  auto s = Samples(seconds);
  Oscillator osc;
  Noise noise(seed);
  StateVariableFilter a, b;
  for (std::size_t i = 0; i < s.size(); ++i) {
    float t = Time(i);
    osc.Step(pitch(t));
    float source = osc.Saw() + breath * noise.Next();
    s[i] = (a.Band(source, f1(t), 0.25f) + 0.7f * b.Band(source, f2(t), 0.25f)) * env(t);
  }
  return s;
}

// The fox: two sharp yelps, "kyan kyan".
std::vector<float> Fox() {
  return Voice(
      0.5f,
      [](float t) {
        float u = std::fmod(t, 0.22f);
        return 780 - 900 * u;
      },
      [](float t) { return 1000 - 1200 * std::fmod(t, 0.22f); }, [](float) { return 2400.0f; },
      [](float t) {
        float u = std::fmod(t, 0.22f);
        return t < 0.44f ? Gate(u, 0.01f, 0.14f, 0.05f) : 0.0f;
      },
      10, 0.3f);
}

// The spider: a dry skitter of many tiny legs.
std::vector<float> Spider() {
  auto s = Samples(0.7f);
  Noise noise(11), timing(12);
  float next = 0;
  for (int k = 0; k < 60 && next < 0.62f; ++k) {
    float hz = 2500 + 3000 * timing.Uniform();
    float gain = 0.5f + 0.5f * timing.Uniform();
    StateVariableFilter svf;
    std::size_t first = static_cast<std::size_t>(next * kSampleRate);
    for (std::size_t i = first; i < std::min(s.size(), first + 300); ++i) {
      float t = Time(i - first);
      s[i] += gain * svf.Band(noise.Next(), hz, 0.3f) * Decay(t, 0.0003f, 0.002f);
    }
    next += 0.006f + 0.018f * timing.Uniform();
  }
  for (std::size_t i = 0; i < s.size(); ++i) s[i] *= Gate(Time(i), 0.02f, 0.7f, 0.15f);
  return s;
}

// The flame burst: a roaring rush with crackles.
std::vector<float> Fire() {
  auto s = Samples(1.2f);
  Noise noise(13), crackle(14);
  OnePoleLowPass lp, flutter;
  OnePoleHighPass hp;
  for (std::size_t i = 0; i < s.size(); ++i) {
    float t = Time(i);
    float surge = 0.7f + 0.3f * flutter.Run(noise.Next(), 8) * 8;
    float roar = hp.Run(lp.Run(noise.Next(), 900), 80) * surge;
    float pop = crackle.Uniform() > 0.998f ? crackle.Next() * 0.8f : 0;
    s[i] = (1.6f * roar + pop) * Gate(t, 0.08f, 1.2f, 0.5f);
  }
  return s;
}

// The flying squirrel: a glide that whistles down and swoops back up, on a rush of wind.
std::vector<float> Glide() {
  auto s = Samples(0.85f);
  Oscillator osc;
  Noise noise(15);
  StateVariableFilter wind;
  for (std::size_t i = 0; i < s.size(); ++i) {
    float t = Time(i);
    float hz = 1300 - 900 * std::sin(std::min(1.0f, t / 0.85f) * 3.1416f) * 0.9f;
    osc.Step(hz);
    float env = Gate(t, 0.05f, 0.85f, 0.3f);
    s[i] = (0.5f * osc.Sine() + 1.2f * wind.Band(noise.Next(), hz * 1.2f, 0.5f)) * env;
  }
  return s;
}

// The fish: a splash and a string of rising bubbles.
std::vector<float> FishSplash() {
  auto s = Samples(0.75f);
  Noise noise(16), timing(17);
  OnePoleHighPass hp;
  OnePoleLowPass lp;
  for (std::size_t i = 0; i < s.size(); ++i) {
    float t = Time(i);
    s[i] = 0.9f * lp.Run(hp.Run(noise.Next(), 600), 5000) * Decay(t, 0.005f, 0.06f);
  }
  float start = 0.08f;
  for (int k = 0; k < 9; ++k) {
    Oscillator bubble;
    float base = 350 + 500 * timing.Uniform();
    std::size_t first = static_cast<std::size_t>(start * kSampleRate);
    for (std::size_t i = first; i < std::min(s.size(), first + 1500); ++i) {
      float t = Time(i - first);
      bubble.Step(base * (1 + 6 * t));
      s[i] += 0.45f * bubble.Sine() * Decay(t, 0.002f, 0.015f);
    }
    start += 0.04f + 0.06f * timing.Uniform();
  }
  return s;
}

// The shield: a humming, shimmering force field that swells and fades.
std::vector<float> ShieldHum() {
  auto s = Samples(1.0f);
  Oscillator a, b, c, shimmer, wobble;
  for (std::size_t i = 0; i < s.size(); ++i) {
    float t = Time(i);
    float rise = 1 + 0.5f * std::min(1.0f, t * 4);
    a.Step(110 * rise);
    b.Step(111.5f * rise * 2);
    c.Step(165 * rise * 2);
    shimmer.Step(1760 * rise);
    wobble.Step(7);
    float tone = a.Saw() * 0.4f + b.Sine() * 0.5f + c.Sine() * 0.3f + 0.15f * shimmer.Sine();
    s[i] = tone * (0.75f + 0.25f * wobble.Sine()) * Gate(t, 0.1f, 1.0f, 0.4f);
  }
  return s;
}

// The cat: "mi-aow", the pitch rising then falling as the mouth opens and closes.
std::vector<float> Meow() {
  return Voice(
      0.7f,
      [](float t) { return 480 + 260 * std::sin(std::min(1.0f, t / 0.65f) * 3.1416f) - 80 * t; },
      [](float t) { return 700 + 700 * std::sin(std::min(1.0f, t / 0.6f) * 3.1416f); },
      [](float t) { return 1800 + 900 * std::sin(std::min(1.0f, t / 0.6f) * 3.1416f); },
      [](float t) { return Gate(t, 0.06f, 0.7f, 0.25f); }, 18, 0.08f);
}

// Laying a mine: a light click, then a heavy clunk.
std::vector<float> SetMine() {
  auto s = Samples(0.45f);
  Noise noise(19);
  OnePoleHighPass hp;
  OnePoleLowPass lp;
  Oscillator ping, thud;
  for (std::size_t i = 0; i < s.size(); ++i) {
    float t = Time(i);
    ping.Step(3200);
    float click = (hp.Run(noise.Next(), 2500) + 0.6f * ping.Sine()) * Decay(t, 0.0005f, 0.006f);
    float t2 = t - 0.14f;
    float clunk = 0;
    if (t2 > 0) {
      thud.Step(70 + 80 * std::exp(-t2 * 30));
      clunk = (thud.Sine() + 0.8f * lp.Run(noise.Next(), 700)) * Decay(t2, 0.002f, 0.05f);
    }
    s[i] = click + 1.3f * clunk;
  }
  return s;
}

// The skunk's puff: a soft "poof" then a long hiss of gas.
std::vector<float> Puff() {
  auto s = Samples(0.85f);
  Noise noise(20);
  StateVariableFilter svf;
  OnePoleLowPass lp;
  Oscillator poof;
  for (std::size_t i = 0; i < s.size(); ++i) {
    float t = Time(i);
    poof.Step(120 - 60 * std::min(1.0f, t * 8));
    float hiss = svf.Band(noise.Next(), 2200 - 900 * t, 0.8f) * Gate(t, 0.04f, 0.85f, 0.5f);
    float thump = (poof.Sine() + lp.Run(noise.Next(), 400)) * Decay(t, 0.004f, 0.05f);
    s[i] = 1.2f * hiss + thump;
  }
  return s;
}

}  // namespace

std::vector<SoundFile> BuildSoundEffects() {
  std::vector<SoundFile> effects = {{"shot", Shot(), 1},       {"dam", Damage(), 1},
                                    {"reload", Reload(), 1},   {"life", Life(), 1},
                                    {"win", Win(), 1},         {"bom", Boom(), 1},
                                    {"pyon", Pyon(), 1},       {"rocket", RocketLaunch(), 1},
                                    {"fox", Fox(), 1},         {"spider", Spider(), 1},
                                    {"fire", Fire(), 1},       {"momonga", Glide(), 1},
                                    {"fish", FishSplash(), 1}, {"shield", ShieldHum(), 1},
                                    {"cat", Meow(), 1},        {"set", SetMine(), 1},
                                    {"he", Puff(), 1}};
  for (SoundFile& e : effects) {
    SoftEnds(&e.samples);
    Normalize(&e.samples, kEffectPeak);
  }
  return effects;
}

}  // namespace assetgen
