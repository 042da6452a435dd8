#include "fuzz_entry.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/replay_file.h"
#include "platform/headless/script.h"
#include "platform/readers/image_file.h"
#include "platform/readers/wave_file.h"
#include "platform/readers/x_mesh.h"

namespace bf::fuzz {
namespace {

// The readers take paths, so the bytes go through one scratch file per process and extension.
std::string WriteScratchFile(const std::uint8_t* data, std::size_t size, const char* extension) {
  const char* dir = std::getenv("TMPDIR");
  std::string path =
      std::string(dir && *dir ? dir : "/tmp") + "/bf-fuzz-" + std::to_string(getpid()) + extension;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);
  return path;
}

bool mixerOpen = false;

// The mixer reads chunks only once a device is open; the dummy driver needs no sound card. The
// driver is chosen for this one start, so whatever runs after the mixer is closed finds SDL's
// audio driver setting as it was.
bool OpenSilentMixer() {
  if (mixerOpen) return true;
  SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
  mixerOpen = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
  SDL_ResetHint(SDL_HINT_AUDIODRIVER);
  if (mixerOpen && Mix_OpenAudio(22050, AUDIO_S16SYS, 2, 1024) != 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    mixerOpen = false;
  }
  return mixerOpen;
}

}  // namespace

void CloseSilentMixer() {
  if (!mixerOpen) return;
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  mixerOpen = false;
}

bool ReadXBytes(const std::uint8_t* data, std::size_t size) {
  const std::string path = WriteScratchFile(data, size, ".x");
  MeshGeometry mesh;
  std::string error;
  const bool ok = ReadXFile(path, &mesh, &error);
  std::remove(path.c_str());
  return ok;
}

bool ReadBmpBytes(const std::uint8_t* data, std::size_t size) {
  const std::string path = WriteScratchFile(data, size, ".bmp");
  RgbaImage image;
  std::string error;
  const bool ok = ReadBmpFile(path, &image, &error);
  std::remove(path.c_str());
  return ok;
}

bool ReadWaveBytes(const std::uint8_t* data, std::size_t size) {
  // The game's effect loader hands the mixer only what its wav check accepts.
  const std::string path = WriteScratchFile(data, size, ".wav");
  std::string reason;
  const int fd = OpenWaveFile(path, AssetKind::kSound, &reason);
  if (fd >= 0) close(fd);
  std::remove(path.c_str());
  const bool readable = fd >= 0;
  if (!readable) return false;

  SDL_AudioSpec format;
  Uint8* samples = nullptr;
  Uint32 length = 0;
  if (SDL_LoadWAV_RW(SDL_RWFromConstMem(data, static_cast<int>(size)), 1, &format, &samples,
                     &length))
    SDL_FreeWAV(samples);

  // What the game's effect loader reads.
  if (!OpenSilentMixer()) std::abort();
  Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(data, static_cast<int>(size)), 1);
  if (!chunk) return false;
  Mix_FreeChunk(chunk);
  return true;
}

bool ParseScriptBytes(const std::uint8_t* data, std::size_t size) {
  Script script;
  std::string error;
  return ParseScript(std::string(reinterpret_cast<const char*>(data), size), &script, &error);
}

bool ParseReplayBytes(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  ReplayHeader header;
  Script script;
  std::string error;
  if (!ParseReplayHeader(text, &header, &error) || !header.isReplay) return false;
  ReplayRefusal(header, GameVersion(), 0);
  return ParseScript(text, &script, &error);
}

}  // namespace bf::fuzz
