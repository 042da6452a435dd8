#pragma once
// The pictures: the title and the sprite sheet compiled into the game, the two textures, the
// review contact sheet and the app icon.
#include <string>
#include <vector>

#include "image.h"
#include "mesh.h"
#include "text.h"

namespace assetgen {

struct Models {
  std::vector<Mesh> tanks;   // by tank type
  std::vector<Mesh> props;   // rocket, gass, ...
  std::vector<Mesh> stages;  // by stage index
};

Models BuildModels();

Image TitlePicture(const Models& models, const Font& bold);
Image SpriteSheet(const Models& models, const Font& bold);
// 50 x 50 icon of one tank (also used at other sizes).
Image TankIcon(const Mesh& tank, int type, int size);
Image NetTexture();
Image StarTexture();
// Player p's marker over its tank: an arrow pointing down in the player's colour with the
// player's number, on black (not drawn).
Image MarkerTexture(const Font& bold, int p);
Image ContactSheet(const Models& models, const Font& font);
// The game's icon, `size` x `size`: for the desktop's menus and the game window.
Image AppIcon(const Models& models, int size);
// Every tank as its player sees it in battle (300 behind, 120 up, on the first stage), with a
// rocket 97 and a mine 145 ahead of it.
Image ChaseSheet(const Models& models, const Font& font);

// Spectrograms of the effects and the first seconds of the music (time across, 0..5.5 kHz up),
// for review.
Image SoundSheet(const Font& font);

// C++ source defining TitlePicture() and SpriteSheetPicture() of platform/pixels/pictures.h.
std::string PicturesSource(const Image& title, const Image& sheet);

}  // namespace assetgen
