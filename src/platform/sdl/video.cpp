#include "platform/sdl/video.h"

namespace bf {

std::unique_ptr<Video> OpenVideo(VideoMode, std::string* error) {
  *error = "rendering is not available in this build";
  return nullptr;
}

}  // namespace bf
