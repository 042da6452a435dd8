#include "platform/headless/headless_platform.h"

#include "platform/gl/video.h"
#include "platform/headless/headless_audio.h"
#include "platform/headless/null_display.h"
#include "platform/headless/null_scene.h"
#include "platform/headless/scripted_input.h"
#include "platform/headless/stderr_messages.h"

namespace bf {
namespace {

class Headless final : public HeadlessPlatform {
 public:
  Headless(const HeadlessOptions& options, const Script& script)
      : pads_(script.joysticks),
        events_(script, options.closeAtTick, options.closeRequest, clock_, pads_, audio_) {
    platform_.clock = &clock_;
    platform_.events = &events_;
    platform_.display = &nullDisplay_;
    platform_.scene = &nullScene_;
    platform_.audio = &audio_;
    platform_.joysticks = &pads_;
    platform_.messages = &messages_;
    platform_.assetDir = options.assetDir;
  }

  bool StartRendering(std::string* error) {
    video_ = OpenVideo(VideoMode::kOffscreen, error);
    if (!video_) return false;
    platform_.display = &video_->display();
    platform_.scene = &video_->scene();
    return true;
  }

  Platform& platform() override { return platform_; }
  void NoteTickProcessed() override { events_.NoteTickProcessed(); }
  std::int64_t processedTicks() const override { return events_.processed(); }

 private:
  VirtualClock clock_;
  HeadlessAudio audio_;
  PadSeats pads_;
  ScriptedEvents events_;
  NullScene nullScene_;
  NullDisplay nullDisplay_;
  StderrMessages messages_;
  std::unique_ptr<Video> video_;
  Platform platform_;
};

}  // namespace

std::unique_ptr<HeadlessPlatform> CreateHeadlessPlatform(const HeadlessOptions& options,
                                                         const Script& script, std::string* error) {
  auto headless = std::make_unique<Headless>(options, script);
  if (options.render && !headless->StartRendering(error)) return nullptr;
  return headless;
}

}  // namespace bf
