// assetgen: writes every asset file of the game from code, the same bytes on every run.
//
//   assetgen --out DIR                 models (DIR/model/*.x), net.bmp, star.bmp, sounds and music
//   assetgen --pictures-source FILE    C++ source of the two pictures compiled into the game
//   assetgen --contact-sheet FILE.png  every model rendered with its name, for review
//   assetgen --debug-pictures DIR      title.png and sheet.png, for review
//   assetgen --chase-sheet FILE.png    every tank seen from its chase camera, for review
//   assetgen --sound-sheet FILE.png    spectrograms of the sounds, for review
//   assetgen --app-icons DIR           desktop icons, DIR/NxN/apps/burrowfield.png, N = 16..256
//   assetgen --window-icon FILE.bmp    the game window's icon
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/facts.h"
#include "mesh.h"
#include "models.h"
#include "pictures.h"
#include "sounds.h"
#include "synth.h"
#include "text.h"

namespace {

using namespace assetgen;

bool WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) std::fprintf(stderr, "assetgen: cannot write %s\n", path.string().c_str());
  return static_cast<bool>(out);
}

Font BoldFont();

bool WriteAssets(const std::filesystem::path& dir, const Models& models) {
  std::filesystem::create_directories(dir / "model");
  std::filesystem::create_directories(dir / "sound");
  bool ok = true;
  auto model = [&](const Mesh& m) {
    ok &= WriteFile(dir / "model" / (m.name() + ".x"), XFileText(m));
  };
  for (const Mesh& m : models.tanks) model(m);
  for (const Mesh& m : models.props) model(m);
  for (const Mesh& m : models.stages) model(m);
  ok &= WriteFile(dir / "net.bmp", BmpBytes(NetTexture()));
  ok &= WriteFile(dir / "star.bmp", BmpBytes(StarTexture()));
  const Font bold = BoldFont();
  for (int p = 0; p < bf::kPlayers; ++p) {
    ok &= bold.ok() && WriteFile(dir / ("marker" + std::to_string(p) + ".bmp"),
                                 BmpBytes(MarkerTexture(bold, p)));
  }
  for (const SoundFile& s : BuildSoundEffects()) {
    ok &= WriteFile(dir / "sound" / (s.name + ".wav"), WavBytes(s.samples, s.channels));
  }
  for (const SoundFile& s : BuildMusic()) {
    ok &= WriteFile(dir / "sound" / (s.name + ".wav"), WavBytes(s.samples, s.channels));
  }
  return ok;
}

// The sizes desktops look for in the hicolor icon theme; each drawn at its own size, so the
// small ones stay sharp instead of being shrunk by the desktop.
constexpr int kAppIconSizes[] = {16, 32, 48, 64, 128, 256};
constexpr int kWindowIconSize = 64;

bool WriteAppIcons(const std::filesystem::path& dir, const Models& models) {
  bool ok = true;
  for (const int size : kAppIconSizes) {
    // Laid out as in an icon theme, to be installed as it stands.
    const auto folder = dir / (std::to_string(size) + "x" + std::to_string(size)) / "apps";
    std::filesystem::create_directories(folder);
    ok &= WritePng(AppIcon(models, size), (folder / "burrowfield.png").string());
  }
  return ok;
}

Font BoldFont() {
  return Font(std::string(ASSETGEN_FONT_DIR) + "/DejaVuSans-Bold.ttf");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc % 2 == 0) {
    std::fprintf(stderr,
                 "usage: assetgen [--out DIR] [--pictures-source FILE] [--contact-sheet FILE.png]"
                 " [--debug-pictures DIR] [--chase-sheet FILE.png] [--sound-sheet FILE.png] "
                 "[--app-icons DIR] [--window-icon FILE.bmp]\n");
    return 2;
  }
  const Models models = BuildModels();
  bool ok = true;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i], value = argv[i + 1];
    if (option == "--out") {
      ok &= WriteAssets(value, models);
    } else if (option == "--pictures-source") {
      Font bold = BoldFont();
      ok &= bold.ok() &&
            WriteFile(value, PicturesSource(TitlePicture(models, bold), SpriteSheet(models, bold)));
    } else if (option == "--contact-sheet") {
      Font font = BoldFont();
      ok &= font.ok() && WritePng(ContactSheet(models, font), value);
    } else if (option == "--debug-pictures") {
      Font bold = BoldFont();
      std::filesystem::create_directories(value);
      std::filesystem::path dir = value;
      Image title = TitlePicture(models, bold), sheet = SpriteSheet(models, bold);
      ok &= WritePng(title, (dir / "title.png").string());
      ok &= WritePng(sheet, (dir / "sheet.png").string());
      ok &= WritePng(title.Upscale(3), (dir / "title_x3.png").string());
      ok &= WritePng(sheet.Upscale(2), (dir / "sheet_x2.png").string());
    } else if (option == "--chase-sheet") {
      Font font = BoldFont();
      ok &= font.ok() && WritePng(ChaseSheet(models, font), value);
    } else if (option == "--sound-sheet") {
      Font font = BoldFont();
      ok &= font.ok() && WritePng(SoundSheet(font), value);
    } else if (option == "--app-icons") {
      ok &= WriteAppIcons(value, models);
    } else if (option == "--window-icon") {
      ok &= WriteFile(value, BmpBytes(AppIcon(models, kWindowIconSize)));
    } else {
      std::fprintf(stderr, "assetgen: unknown option %s\n", option.c_str());
      return 2;
    }
  }
  return ok ? 0 : 1;
}
