#include "platform/pictures.h"

namespace bf {
namespace {
const std::uint8_t kTitle[320 * 120 * 3] = {};
const std::uint8_t kSheet[640 * 150 * 3] = {};
const EmbeddedPicture kTitlePicture{320, 120, kTitle};
const EmbeddedPicture kSheetPicture{640, 150, kSheet};
}  // namespace
const EmbeddedPicture& TitlePicture() {
  return kTitlePicture;
}
const EmbeddedPicture& SpriteSheetPicture() {
  return kSheetPicture;
}
}  // namespace bf
