#pragma once
// The file readers the fuzzers drive, each fed raw bytes exactly as the game would read them
// from disk. Shared by the libFuzzer targets and the regression test that replays what they found.
#include <cstddef>
#include <cstdint>

namespace bf::fuzz {

// Each returns true when the bytes were accepted (a mesh, a picture, a sound, a script).
// Text .x check and the importer, without GL.
bool ReadXBytes(const std::uint8_t* data, std::size_t size);
// The texture reader.
bool ReadBmpBytes(const std::uint8_t* data, std::size_t size);
// The runner's wav check, SDL's wav reader and the mixer's chunk reader on the same bytes;
// true when the mixer accepted them.
bool ReadWaveBytes(const std::uint8_t* data, std::size_t size);
// The runner's script parser.
bool ParseScriptBytes(const std::uint8_t* data, std::size_t size);
// A replay file as the game and the runner read it: its header and ending, then its script.
bool ParseReplayBytes(const std::uint8_t* data, std::size_t size);

// The wav reader keeps a silent mixer open from input to input; this closes it again.
void CloseSilentMixer();

}  // namespace bf::fuzz
