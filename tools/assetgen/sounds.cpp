// Sound effects: each a few oscillators, noise, envelopes and filters. Each keeps most of its
// energy above 250 Hz, where small speakers still play, and is brought to a set loudness.
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

std::size_t SampleAt(float seconds) {
  return static_cast<std::size_t>(seconds * kSampleRate);
}

// A short fade at both ends so that no effect starts or stops with a click.
void SoftEnds(std::vector<float>* s) {
  const std::size_t n = std::min(SampleAt(0.0015f), s->size() / 4);
  for (std::size_t i = 0; i < n; ++i) {
    float g = static_cast<float>(i) / n;
    (*s)[i] *= g;
    (*s)[s->size() - 1 - i] *= g;
  }
}

// Drives the sound into a gentle saturation: a punchier, denser sound that is loud without
// tall peaks.
void Saturate(std::vector<float>* s, float drive) {
  float loudest = 0;
  for (float v : *s) loudest = std::max(loudest, std::fabs(v));
  if (loudest <= 0) return;
  for (float& v : *s) v = std::tanh(drive * v / loudest);
}

// The main gun: a sharp crack and the bang of the charge over a short low thump, with a little
// echo behind.
std::vector<float> Shot() {
  auto s = Samples(0.45f);
  Noise noise(1);
  Biquad crackFilter = Biquad::HighPass(2200), bangFilter = Biquad::BandPass(650, 0.9f),
         echoFilter = Biquad::LowPass(1800);
  Oscillator thump;
  for (std::size_t i = 0; i < s.size(); ++i) {
    float t = Time(i);
    float n = noise.Next();
    float crack = crackFilter.Run(n) * Decay(t, 0.0003f, 0.005f);
    float bang = bangFilter.Run(n) * Decay(t, 0.0008f, 0.03f);
    float echo = echoFilter.Run(n) * Decay(t, 0.015f, 0.06f);
    thump.Step(80 + 150 * std::exp(-t * 40));
    float low = thump.Sine() * Decay(t, 0.001f, 0.03f);
    s[i] = 1.4f * crack + 2.2f * bang + 0.45f * echo + 0.4f * low;
  }
  Saturate(&s, 2.2f);
  return s;
}

// A shell striking armour: a bright impact, a metallic clang ringing out and a dull knock.
std::vector<float> Damage() {
  auto s = Samples(0.5f);
  Noise noise(2);
  // A plate's partials, not a string's: they are not multiples of one another. Each pair beats
  // slowly, which makes the ring shimmer.
  const float partials[] = {420, 663, 1031, 1462, 2170, 2987, 3871};
  Oscillator ring[7], beat[7], knock;
  Biquad impactFilter = Biquad::HighPass(2500), bodyFilter = Biquad::BandPass(900, 1.5f);
  for (std::size_t i = 0; i < s.size(); ++i) {
    float t = Time(i);
    float clang = 0;
    for (int k = 0; k < 7; ++k) {
      ring[k].Step(partials[k]);
      beat[k].Step(partials[k] * 1.004f);
      float env = Decay(t, 0.0008f, 0.11f / (1 + k * 0.45f));
      clang += (ring[k].Sine() + beat[k].Sine()) * env / (1 + k * 0.25f);
    }
    float n = noise.Next();
    float impact = impactFilter.Run(n) * Decay(t, 0.0002f, 0.004f);
    float body = bodyFilter.Run(n) * Decay(t, 0.0005f, 0.018f);
    knock.Step(110 + 90 * std::exp(-t * 35));
    s[i] =
        0.35f * clang + 1.5f * impact + 1.4f * body + 0.7f * knock.Sine() * Decay(t, 0.001f, 0.03f);
  }
  Saturate(&s, 1.6f);
  return s;
}

// The breech: a light click as it opens, then a solid clack as the shell goes home.
std::vector<float> Reload() {
  auto s = Samples(0.3f);
  Noise noise(3);
  Biquad clickFilter = Biquad::HighPass(2500), clackFilter = Biquad::BandPass(1300, 2.5f),
         latchFilter = Biquad::BandPass(3400, 4);
  Oscillator ping;
  for (std::size_t i = 0; i < s.size(); ++i) {
    float t = Time(i);
    float t2 = t - 0.11f;
    float click = Decay(t, 0.0003f, 0.006f);
    float clack = t2 > 0 ? Decay(t2, 0.0003f, 0.014f) : 0;
    float n = noise.Next();
    ping.Step(t2 > 0 ? 2100 : 3000);
    s[i] = clickFilter.Run(n) * (click + 0.8f * clack) + 2.5f * clackFilter.Run(n) * clack +
           1.5f * latchFilter.Run(n) * click + 0.35f * ping.Sine() * (click + clack);
  }
  Saturate(&s, 1.5f);
  return s;
}

// A pick-up: a quick rising bell arpeggio.
std::vector<float> Life() {
  auto s = Samples(0.75f);
  const float notes[] = {84, 88, 91, 96};  // C6 E6 G6 C7
  for (int k = 0; k < 4; ++k) {
    Oscillator a, b, c;
    float start = k * 0.07f;
    float hz = MidiHz(notes[k]);
    for (std::size_t i = SampleAt(start); i < s.size(); ++i) {
      float t = Time(i) - start;
      a.Step(hz);
      b.Step(hz * 2.01f);
      c.Step(hz * 3.98f);
      float shimmer = 0.12f * c.Sine() * Decay(t, 0.001f, 0.03f);
      s[i] += (a.Sine() + 0.3f * b.Sine() + shimmer) * Decay(t, 0.003f, 0.12f);
    }
  }
  return s;
}

// A brass-like note: band-limited by a low pass that opens with the attack.
void Brass(std::vector<float>* s, float start, float length, float note, float gain) {
  Oscillator a, b, vib;
  OnePoleLowPass lp;
  float hz = MidiHz(note);
  std::size_t last = std::min(s->size(), SampleAt(start + length + 0.15f));
  for (std::size_t i = SampleAt(start); i < last; ++i) {
    float t = Time(i) - start;
    vib.Step(5.5f);
    float f = hz * (1 + 0.004f * vib.Sine() * std::min(1.0f, t * 3));
    a.Step(f);
    b.Step(f * 1.003f);
    float env = Gate(t, 0.03f, length + 0.15f, 0.15f);
    float tone = lp.Run(a.Saw() + b.Saw(), 700 + 3800 * std::min(1.0f, t * 12));
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
  Biquad hp = Biquad::HighPass(5000);
  for (std::size_t i = SampleAt(1.35f); i < s.size(); ++i) {
    float t = Time(i) - 1.35f;
    s[i] += 0.3f * hp.Run(noise.Next()) * Decay(t, 0.005f, 0.25f);
  }
  return s;
}

// An explosion: a blast, a roar of falling noise full of crackle, over a deep rumble.
std::vector<float> Boom() {
  auto s = Samples(1.3f);
  Noise noise(7), sparks(8);
  OnePoleLowPass lp1, lp2;
  Biquad blastFilter = Biquad::HighPass(1200), crackleFilter = Biquad::BandPass(2200, 1.2f),
         rumbleCut = Biquad::HighPass(40);
  Oscillator rumble;
  float crackle = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    float t = Time(i);
    float n = noise.Next();
    float cutoff = 400 + 6000 * std::exp(-t * 2);
    // The roar holds for a moment before it dies away.
    float roar = lp2.Run(lp1.Run(n, cutoff), cutoff) * std::min(t / 0.002f, 1.0f) *
                 (t < 0.45f ? 1 : std::exp2(-(t - 0.45f) / 0.22f));
    float blast = blastFilter.Run(n) * Decay(t, 0.0005f, 0.012f);
    // Sparse pops, thinning out as the fire dies.
    if (sparks.Uniform() < 0.004f * std::exp(-t * 2.5f)) crackle = sparks.Next();
    crackle *= 0.985f;
    float pops = crackleFilter.Run(crackle * noise.Next());
    rumble.Step(42 + 55 * std::exp(-t * 7));
    float low = rumbleCut.Run(rumble.Sine()) * Decay(t, 0.004f, 0.16f);
    s[i] = 2.4f * roar + 0.8f * blast + 2.0f * pops + 0.4f * low;
  }
  Saturate(&s, 1.8f);
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
  Biquad popFilter = Biquad::LowPass(1800);
  for (std::size_t i = 0; i < s.size(); ++i) {
    float t = Time(i);
    float sweep = 500 + 3500 * std::sin(std::min(1.0f, t / 0.9f) * 3.1416f * 0.5f);
    float whoosh = svf.Band(noise.Next(), sweep, 0.6f) * Gate(t, 0.12f, 1.0f, 0.55f);
    float pop = popFilter.Run(noise.Next()) * Decay(t, 0.001f, 0.03f);
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
    float hz = 2500 + 4000 * timing.Uniform();
    float gain = 0.5f + 0.5f * timing.Uniform();
    StateVariableFilter svf;
    std::size_t first = SampleAt(next);
    for (std::size_t i = first; i < std::min(s.size(), first + SampleAt(0.014f)); ++i) {
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
  OnePoleLowPass flutter;
  Biquad roarLow = Biquad::LowPass(2200), roarHigh = Biquad::HighPass(180),
         crackleFilter = Biquad::BandPass(3000, 1.5f);
  float spark = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    float t = Time(i);
    float surge = 0.7f + 0.3f * flutter.Run(noise.Next(), 8) * 8;
    float roar = roarHigh.Run(roarLow.Run(noise.Next())) * surge;
    if (crackle.Uniform() > 0.999f) spark = crackle.Next();
    spark *= 0.99f;
    float pop = crackleFilter.Run(spark * noise.Next());
    s[i] = (1.6f * roar + 2.5f * pop) * Gate(t, 0.08f, 1.2f, 0.5f);
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
  Biquad splashHigh = Biquad::HighPass(600), splashLow = Biquad::LowPass(7000);
  for (std::size_t i = 0; i < s.size(); ++i) {
    float t = Time(i);
    s[i] = 0.9f * splashLow.Run(splashHigh.Run(noise.Next())) * Decay(t, 0.005f, 0.06f);
  }
  float start = 0.08f;
  for (int k = 0; k < 9; ++k) {
    Oscillator bubble;
    float base = 350 + 500 * timing.Uniform();
    std::size_t first = SampleAt(start);
    for (std::size_t i = first; i < std::min(s.size(), first + SampleAt(0.068f)); ++i) {
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

// Laying a mine: a light click, then a heavy clunk of iron on the ground.
std::vector<float> SetMine() {
  auto s = Samples(0.45f);
  Noise noise(19);
  Biquad clickFilter = Biquad::HighPass(2500), knockLow = Biquad::BandPass(330, 4),
         knockHigh = Biquad::BandPass(720, 5), rattleFilter = Biquad::HighPass(2000);
  Oscillator ping, thud;
  for (std::size_t i = 0; i < s.size(); ++i) {
    float t = Time(i);
    float n = noise.Next();
    ping.Step(3200);
    float click = (clickFilter.Run(n) + 0.6f * ping.Sine()) * Decay(t, 0.0005f, 0.006f);
    float t2 = t - 0.14f;
    float clunk = 0;
    if (t2 > 0) {
      thud.Step(90 + 80 * std::exp(-t2 * 30));
      float knock = 3.5f * knockLow.Run(n) + 2.5f * knockHigh.Run(n);
      clunk = (0.3f * thud.Sine() + knock) * Decay(t2, 0.001f, 0.045f) +
              0.8f * rattleFilter.Run(n) * Decay(t2, 0.0005f, 0.008f);
    }
    s[i] = click + 1.3f * clunk;
  }
  Saturate(&s, 1.5f);
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
    float hiss = svf.Band(noise.Next(), 2600 - 900 * t, 0.8f) * Gate(t, 0.04f, 0.85f, 0.5f);
    float thump = (poof.Sine() + lp.Run(noise.Next(), 500)) * Decay(t, 0.004f, 0.05f);
    s[i] = 1.2f * hiss + thump;
  }
  return s;
}

}  // namespace

std::vector<SoundFile> BuildSoundEffects() {
  struct Effect {
    const char* name;
    std::vector<float> (*build)();
    float lufs;
  };
  const Effect table[] = {
      {"shot", Shot, kCueLufs},          {"dam", Damage, kCueLufs},
      {"reload", Reload, kCueLufs},      {"life", Life, kEffectLufs},
      {"win", Win, kEffectLufs},         {"bom", Boom, kEffectLufs},
      {"pyon", Pyon, kEffectLufs},       {"rocket", RocketLaunch, kEffectLufs},
      {"fox", Fox, kEffectLufs},         {"spider", Spider, kEffectLufs},
      {"fire", Fire, kEffectLufs},       {"momonga", Glide, kEffectLufs},
      {"fish", FishSplash, kEffectLufs}, {"shield", ShieldHum, kEffectLufs},
      {"cat", Meow, kEffectLufs},        {"set", SetMine, kEffectLufs},
      {"he", Puff, kEffectLufs},
  };
  std::vector<SoundFile> effects;
  for (const Effect& e : table) {
    SoundFile file{e.name, e.build(), 1};
    SoftEnds(&file.samples);
    NormalizeLoudness(&file.samples, 1, e.lufs, kEffectCeiling);
    effects.push_back(std::move(file));
  }
  // A short sound is heard by its loudest moment as much as by its whole: no other effect's
  // loudest 400 ms may be louder than the quietest cue's (kept a little under, so that rounding
  // to 16 bits never tips it over).
  constexpr float kMomentMargin = 0.1f;
  float cueMoment = 0;
  for (std::size_t i = 0; i < effects.size(); ++i) {
    const float moment = LoudestMoment(effects[i].samples, 1);
    if (table[i].lufs == kCueLufs) cueMoment = i == 0 ? moment : std::min(cueMoment, moment);
  }
  for (std::size_t i = 0; i < effects.size(); ++i) {
    const float over = LoudestMoment(effects[i].samples, 1) - (cueMoment - kMomentMargin);
    if (table[i].lufs == kCueLufs || over <= 0) continue;
    for (float& v : effects[i].samples) v *= std::pow(10.0f, -over / 20);
  }
  return effects;
}

}  // namespace assetgen
