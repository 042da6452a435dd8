#include "platform/sdl/sdl_audio.h"

#include <SDL_mixer.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/readers/wave_file.h"
#include "platform/sound/mixer_level.h"

namespace bf {
namespace {

constexpr int kSampleRate = 44100;
constexpr int kChannels = 2;
constexpr int kChunkSamples = 1024;
constexpr Uint32 kNoEventType = static_cast<Uint32>(-1);
constexpr int kLoopForever = -1;

// SDL_mixer's end-of-music hook takes no user pointer, so what it needs lives here: the event
// type it posts, and whether the game itself is halting the track (which is no natural end).
std::atomic<bool> musicStopping{false};
// The master volume's gain, read by the limiter on the audio thread.
std::atomic<float> masterGain{1.0f};

Uint32 MusicFinishedEventType() {
  static const Uint32 type = SDL_RegisterEvents(1);
  return type;
}

// Runs on the audio thread (or inside Mix_HaltMusic): it never touches game state, it only posts
// an event for the game's thread to pick up between two ticks.
void OnMusicFinishedOnAudioThread() {
  if (musicStopping.load()) return;
  const Uint32 type = MusicFinishedEventType();
  if (type == kNoEventType) return;
  SDL_Event event{};
  event.type = type;
  SDL_PushEvent(&event);
}

// Runs on the audio thread after the mixer: brings the mix, made with headroom, back up to its
// level, rounding off the rare peak where many loud voices meet instead of clipping it.
void LimitOnAudioThread(void*, Uint8* stream, int bytes) {
  Sint16* samples = reinterpret_cast<Sint16*>(stream);
  const float gain = masterGain.load();
  for (int i = 0; i < bytes / 2; ++i) {
    samples[i] = static_cast<Sint16>(std::lround(32768 * gain * LimitMix(samples[i] / 32768.0f)));
  }
}

// The file as the mixer will read it: opened and checked once, so that what was checked is
// what gets decoded. nullptr after one warning naming the file.
SDL_RWops* OpenCheckedWave(const std::string& path, AssetKind kind, const char* what) {
  std::string reason;
  const int fd = OpenWaveFile(path, kind, &reason);
  std::FILE* stream = fd < 0 ? nullptr : fdopen(fd, "rb");
  SDL_RWops* file = stream == nullptr ? nullptr : SDL_RWFromFP(stream, SDL_TRUE);
  if (file != nullptr) return file;
  if (stream != nullptr) {
    reason = SDL_GetError();
    std::fclose(stream);
  } else if (fd >= 0) {
    reason = std::strerror(errno);
    close(fd);
  }
  std::fprintf(stderr, "warning: %s \"%s\" cannot be loaded: %s\n", what, path.c_str(),
               reason.c_str());
  return nullptr;
}

}  // namespace

bool IsMusicFinishedEvent(const SDL_Event& event) {
  const Uint32 type = MusicFinishedEventType();
  return type != kNoEventType && event.type == type;
}

SdlAudio::~SdlAudio() {
  Close();
}

// SDL_mixer never falls back by itself: when this fails the game runs silently.
bool SdlAudio::Open() {
  if (open_) return true;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO | SDL_INIT_EVENTS) != 0) {
    std::fprintf(stderr, "audio: no sound device: %s\n", SDL_GetError());
    return false;
  }
  if (Mix_OpenAudio(kSampleRate, AUDIO_S16SYS, kChannels, kChunkSamples) != 0) {
    std::fprintf(stderr, "audio: cannot open the sound device: %s\n", Mix_GetError());
    SDL_QuitSubSystem(SDL_INIT_AUDIO | SDL_INIT_EVENTS);
    return false;
  }
  MusicFinishedEventType();
  Mix_HookMusicFinished(OnMusicFinishedOnAudioThread);
  // Every voice stays at full volume; the whole mix is turned down once, leaving the headroom
  // for several loud effects at once, and brought back up after the mixer.
  Mix_MasterVolume(kMixerVolume);
  Mix_VolumeMusic(kMixerVolume);
  int rate = 0, channels = 0;
  Uint16 format = 0;
  limiting_ = Mix_QuerySpec(&rate, &format, &channels) != 0 && format == AUDIO_S16SYS;
  if (limiting_) Mix_SetPostMix(LimitOnAudioThread, nullptr);
  channelCount_ = 0;
  Mix_AllocateChannels(0);
  open_ = true;
  SetMasterVolume(masterStep_);
  return true;
}

// Where the limiter runs, it turns the finished mix down; elsewhere the mixer's own level does,
// in its coarser steps.
void SdlAudio::SetMasterVolume(int step) {
  masterStep_ = step;
  masterGain.store(MasterGain(step));
  if (!open_ || limiting_) return;
  const int level = static_cast<int>(std::lround(kMixerVolume * MasterGain(step)));
  Mix_MasterVolume(level);
  Mix_VolumeMusic(level);
}

// Every effect channel and the music hold where they are.
void SdlAudio::SetPaused(bool paused) {
  if (!open_) return;
  if (paused) {
    Mix_Pause(-1);
    Mix_PauseMusic();
  } else {
    Mix_Resume(-1);
    Mix_ResumeMusic();
  }
}

void SdlAudio::Close() {
  if (!open_) return;
  Mix_HookMusicFinished(nullptr);
  Mix_SetPostMix(nullptr, nullptr);
  StopMusic();
  for (int effect = 0; effect < static_cast<int>(effects_.size()); ++effect) ReleaseEffect(effect);
  effects_.clear();
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO | SDL_INIT_EVENTS);
  channelCount_ = 0;
  open_ = false;
}

// Grows the mixer to at least `count` fixed channels; a channel that was never allocated would
// play nothing while reporting success.
bool SdlAudio::ReserveChannels(int count) {
  if (count <= channelCount_) return true;
  if (Mix_AllocateChannels(count) != count) return false;
  channelCount_ = count;
  return true;
}

// Decodes the file once; the voices share the chunk, each on its own channel. Only wav files
// whose chunks fit in the file reach the mixer (which would allocate what a corrupted size
// claims), and only at a rate and of a length an effect may have: the mixer converts the whole
// effect to the device's rate in memory.
int SdlAudio::LoadEffect(const std::string& path, int voices) {
  if (!open_ || voices <= 0) return -1;
  SDL_RWops* file = OpenCheckedWave(path, AssetKind::kSound, "sound effect");
  if (file == nullptr) return -1;
  Mix_Chunk* chunk = Mix_LoadWAV_RW(file, 1);
  if (chunk == nullptr) {
    std::fprintf(stderr, "warning: sound effect \"%s\" cannot be loaded: %s\n", path.c_str(),
                 Mix_GetError());
    return -1;
  }
  const int firstChannel = channelCount_;
  if (!ReserveChannels(firstChannel + voices)) {
    std::fprintf(stderr, "warning: no mixer channels for \"%s\"\n", path.c_str());
    Mix_FreeChunk(chunk);
    return -1;
  }
  for (int channel = firstChannel; channel < firstChannel + voices; ++channel) {
    Mix_Volume(channel, MIX_MAX_VOLUME);
  }
  Mix_VolumeChunk(chunk, MIX_MAX_VOLUME);
  effects_.push_back({chunk, firstChannel, voices});
  return static_cast<int>(effects_.size()) - 1;
}

// Its channels stay reserved (and silent) so that the other effects keep theirs.
void SdlAudio::ReleaseEffect(int effect) {
  if (effect < 0 || effect >= static_cast<int>(effects_.size())) return;
  Effect& entry = effects_[effect];
  if (entry.chunk == nullptr) return;
  for (int voice = 0; voice < entry.voices; ++voice) Mix_HaltChannel(entry.firstChannel + voice);
  Mix_FreeChunk(entry.chunk);
  entry.chunk = nullptr;
}

// Full volume, centred, the file's own rate: the channel's settings never change.
void SdlAudio::PlayVoice(int effect, int voice) {
  if (effect < 0 || effect >= static_cast<int>(effects_.size())) return;
  const Effect& entry = effects_[effect];
  if (entry.chunk == nullptr || voice < 0 || voice >= entry.voices) return;
  const int channel = entry.firstChannel + voice;
  Mix_HaltChannel(channel);
  Mix_PlayChannel(channel, entry.chunk, 0);
}

bool SdlAudio::PlayMusic(const std::string& path) {
  if (!open_) return false;
  StopMusic();
  SDL_RWops* file = OpenCheckedWave(path, AssetKind::kMusic, "music");
  if (file == nullptr) return false;
  music_ = Mix_LoadMUS_RW(file, 1);
  if (music_ == nullptr) {
    std::fprintf(stderr, "warning: music \"%s\" cannot be loaded: %s\n", path.c_str(),
                 Mix_GetError());
    return false;
  }
  // The mixer loops the track itself, running from its last sample straight into its first: a
  // restart after a reported end would leave a hole of up to one mixing buffer at every loop.
  if (Mix_PlayMusic(music_, kLoopForever) != 0) {
    std::fprintf(stderr, "warning: music \"%s\" cannot be played: %s\n", path.c_str(),
                 Mix_GetError());
    Mix_FreeMusic(music_);
    music_ = nullptr;
    return false;
  }
  return true;
}

void SdlAudio::StopMusic() {
  if (music_ == nullptr) return;
  HaltMusicQuietly();
  Mix_FreeMusic(music_);
  music_ = nullptr;
}

// Plays the open track again from the start, should it ever end (it loops; only a failing read
// could stop it). A notice that was already queued when a new track started finds that track
// playing and leaves it alone.
void SdlAudio::RestartMusic() {
  if (music_ == nullptr || Mix_PlayingMusic()) return;
  if (Mix_PlayMusic(music_, kLoopForever) != 0) {
    std::fprintf(stderr, "warning: music cannot be restarted: %s\n", Mix_GetError());
  }
}

// Mix_HaltMusic calls the end-of-music hook itself; the flag tells the hook that this end is a
// stop, so it posts nothing.
void SdlAudio::HaltMusicQuietly() {
  musicStopping.store(true);
  Mix_HaltMusic();
  musicStopping.store(false);
}

}  // namespace bf
