#pragma once
// Measures of a sound file as a listener meets it: loudness (K-weighted and gated, in LUFS),
// sample peak, how much of the energy is bass, DC offset, and how a loop's end meets its start.
#include <string>
#include <vector>

namespace bf::loudness {

// A PCM file's samples at full scale 1, interleaved when there are two channels.
struct Wave {
  int rate = 0;
  int channels = 0;
  int bits = 0;
  std::vector<float> samples;
  std::size_t frames() const { return channels > 0 ? samples.size() / channels : 0; }
};

// Reads a 16-bit PCM wav file; false with a reason for anything else.
bool ReadWave(const std::string& path, Wave* wave, std::string* error);

// Below this the loudness gate drops a block as silence.
constexpr double kSilenceLufs = -70;

// Integrated loudness: K-weighted mean square in 400 ms blocks (100 ms apart), blocks under
// -70 LUFS dropped, then blocks more than 10 LU under the mean of the rest dropped. A mono file
// counts as played on both speakers, as the mixer plays it; a file shorter than one block is
// heard followed by silence. kSilenceLufs when nothing passes the gate.
double IntegratedLoudness(const Wave& wave);
// The loudest single 400 ms block (momentary loudness).
double MaxMomentaryLoudness(const Wave& wave);

struct Measures {
  double seconds = 0;
  double integratedLufs = kSilenceLufs;
  double momentaryMaxLufs = kSilenceLufs;
  double peak = 0;           // largest sample magnitude, full scale 1
  int fullScaleSamples = 0;  // samples at the 16-bit limit: clipped
  int fullScaleRuns = 0;     // runs of such samples, one per clipping burst
  double lowShare = 0;       // share of the energy below 250 Hz, 0..1
  double dcOffset = 0;       // largest mean of one channel, full scale 1
  double seamJump = 0;       // largest step from the last frame to the first, full scale 1
  double stepNearSeam = 0;   // within 50 ms of the seam, the step 1 in 100 steps exceeds
  double silenceStartMs = 0, silenceEndMs = 0;  // under -60 dBFS at the very start and end
  double longestSilenceMs = 0;  // the longest stretch (1 ms or more) under -60 dBFS inside
  double longestSilenceAt = 0;  // where it begins, in seconds
};

Measures Measure(const Wave& wave);

double Decibels(double amplitude);

}  // namespace bf::loudness
