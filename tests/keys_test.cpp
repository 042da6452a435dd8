#include "platform/sdl/keys.h"

#include <gtest/gtest.h>

#include "platform/events.h"

namespace bf {
namespace {

TEST(KeyTranslation, SdlKeysBecomeVirtualKeyCodes) {
  struct Case {
    SDL_Keycode sdl;
    int vk;
  };
  const Case cases[] = {
      {SDLK_LEFT, 37},     {SDLK_UP, 38},      {SDLK_RIGHT, 39},    {SDLK_DOWN, 40},
      {SDLK_a, 65},        {SDLK_z, 90},       {SDLK_d, 68},        {SDLK_0, 48},
      {SDLK_9, 57},        {SDLK_RETURN, 13},  {SDLK_KP_ENTER, 13}, {SDLK_ESCAPE, 27},
      {SDLK_LSHIFT, 16},   {SDLK_RCTRL, 17},   {SDLK_LALT, 18},     {SDLK_F1, 112},
      {SDLK_F12, 123},     {SDLK_p, 80},       {SDLK_m, 77},        {SDLK_PAUSE, 19},
      {SDLK_MINUS, 189},   {SDLK_EQUALS, 187}, {SDLK_PLUS, 187},    {SDLK_KP_MINUS, 109},
      {SDLK_KP_PLUS, 107},
  };
  for (const Case& c : cases) EXPECT_EQ(VirtualKeyFromSdl(c.sdl), c.vk) << c.sdl;
}

TEST(KeyTranslation, ModifierMaskComparesWholeState) {
  EXPECT_EQ(ModifierMaskFromSdl(KMOD_NONE), 0);
  EXPECT_EQ(ModifierMaskFromSdl(KMOD_LCTRL), kMaskCtrl);  // Ctrl pressed alone
  EXPECT_EQ(ModifierMaskFromSdl(KMOD_RSHIFT), kMaskShift);
  EXPECT_EQ(ModifierMaskFromSdl(KMOD_LCTRL | KMOD_LSHIFT), 3);
  EXPECT_EQ(ModifierMaskFromSdl(KMOD_RALT | KMOD_CTRL), kMaskCtrl | kMaskAlt);
  // Lock keys are not modifiers for the game.
  EXPECT_EQ(ModifierMaskFromSdl(KMOD_NUM | KMOD_CAPS), 0);
}

}  // namespace
}  // namespace bf
