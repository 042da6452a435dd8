#include "pictures.h"

#include <algorithm>
#include <cmath>

#include "core/player_colours.h"
#include "core/sprite_sheet.h"
#include "models.h"
#include "raster.h"
#include "sounds.h"
#include "synth.h"

namespace assetgen {
namespace {

// A strong backdrop colour per tank, far from the animal's own colours, so that the outlined
// silhouette stands out even at the status panel's 20 x 20 and the icons differ at a glance.
const Pixel kIconBackdrop[kTankTypes] = {{110, 190, 255}, {110, 225, 150}, {255, 215, 60},
                                         {80, 190, 110},  {170, 140, 255}, {255, 200, 70},
                                         {255, 130, 110}, {170, 245, 110}, {90, 140, 255},
                                         {255, 230, 120}, {130, 120, 235}};
const Pixel kIconOutline{25, 20, 30};
// The backdrop that models are rendered over to be cut out: no model is painted in it.
const Pixel kKey{255, 0, 255};

Pixel Shade(Pixel p, float k) {
  auto c = [k](std::uint8_t v) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(v * k), 0L, 255L));
  };
  return {c(p.r), c(p.g), c(p.b)};
}

// Camera that frames the mesh's bounds from the front-left, above.
Camera FrameMesh(const Mesh& mesh, float scale, Vec3 direction, float zoom = 0.95f) {
  Vec3 lo, hi;
  mesh.Bounds(&lo, &hi);
  lo = lo * scale;
  hi = hi * scale;
  Vec3 centre = (lo + hi) * 0.5f;
  float radius = Length(hi - lo) * 0.5f;
  Camera cam;
  cam.fovDegrees = 36;
  cam.target = centre;
  cam.eye = centre + Normalize(direction) * (radius / std::sin(18 * kPi / 180) * zoom);
  return cam;
}

// Draws a stage as the player first meets it: from above, with the stage's own lights.
Image StagePicture(const Mesh& stage, int index, int size) {
  const int ss = 3;
  Image big(size * ss, size * ss, {153, 128, 255});
  Renderer r(&big);
  Camera cam;
  cam.eye = {0, 2400, -1300};
  cam.target = {0, 0, -40};
  cam.fovDegrees = 58;  // the field and a glimpse of the scenery that tells the stages apart
  r.Draw(stage, Scale({kStageScale, kStageScale, kStageScale}), cam, StageLighting(index));
  return big.Downsample(ss);
}

// Antialiased coverage grown by `radius` pixels: the outline of a text mask.
std::vector<float> Grow(const std::vector<float>& mask, int w, int h, int radius) {
  std::vector<float> out(mask.size(), 0);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      float best = 0;
      for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
          if (dx * dx + dy * dy > radius * radius + radius) continue;
          int px = x + dx, py = y + dy;
          if (px < 0 || py < 0 || px >= w || py >= h) continue;
          best = std::max(best, mask[static_cast<std::size_t>(py) * w + px]);
        }
      }
      out[static_cast<std::size_t>(y) * w + x] = best;
    }
  }
  return out;
}

// Big lettering: a vertical colour gradient inside a dark outline, with a drop shadow.
void Lettering(Image* img, const Font& font, const std::string& text, float height, float cx,
               float baseline, Pixel top, Pixel bottom, Pixel outline, int outlineWidth) {
  const int w = img->width(), h = img->height();
  float x = cx - font.Width(text, height) / 2;
  auto mask = font.Mask(text, height, x, baseline, w, h);
  auto edge = Grow(mask, w, h, outlineWidth);
  auto shadow = font.Mask(text, height, x + outlineWidth + 1, baseline + outlineWidth + 1, w, h);
  shadow = Grow(shadow, w, h, outlineWidth);
  float y_top = baseline - height * 0.75f;
  for (int y = 0; y < h; ++y) {
    for (int i = 0; i < w; ++i) {
      std::size_t k = static_cast<std::size_t>(y) * w + i;
      if (shadow[k] > 0) img->Blend(i, y, {20, 10, 30}, shadow[k] * 0.45f);
      if (edge[k] > 0) img->Blend(i, y, outline, edge[k]);
      if (mask[k] > 0) {
        float t = std::clamp((y - y_top) / (height * 0.75f), 0.0f, 1.0f);
        Pixel c{static_cast<std::uint8_t>(top.r + (bottom.r - top.r) * t),
                static_cast<std::uint8_t>(top.g + (bottom.g - top.g) * t),
                static_cast<std::uint8_t>(top.b + (bottom.b - top.b) * t)};
        img->Blend(i, y, c, mask[k]);
      }
    }
  }
}

// A 10 x 20 player marker: an upward arrow in the player's colour on a dark tag.
static_assert(bf::PlayerMarkerRect(0).width == 10 && bf::PlayerMarkerRect(0).height == 20,
              "the marker is drawn for a 10 x 20 place");
Image Marker(Pixel colour) {
  Image m(10, 20, {30, 30, 40});
  for (int x = 0; x < 10; ++x) {
    m.Set(x, 0, {235, 235, 235});
    m.Set(x, 19, {235, 235, 235});
  }
  for (int y = 0; y < 20; ++y) {
    m.Set(0, y, {235, 235, 235});
    m.Set(9, y, {235, 235, 235});
  }
  // Arrow head rows 2..8, shaft rows 9..17.
  for (int y = 2; y <= 8; ++y) {
    int half = (y - 2) / 2 + 1;
    for (int x = 5 - half; x < 5 + half; ++x) m.Set(x, y, colour);
  }
  for (int y = 9; y <= 17; ++y) {
    for (int x = 3; x <= 6; ++x) m.Set(x, y, colour);
  }
  return m;
}

// A row label of the selection screen, as large as its place on the sheet.
Image Label(const Font& font, const std::string& text, Pixel top, Pixel bottom,
            bf::SpriteRect place) {
  const int w = place.width, h = place.height;
  Image img(w, h);
  img.Gradient(0, 0, w, h, top, bottom);
  for (int x = 0; x < w; ++x) {
    img.Set(x, 0, Shade(top, 1.3f));
    img.Set(x, h - 1, Shade(bottom, 0.6f));
  }
  Lettering(&img, font, text, 24, w / 2.0f, 24, {255, 255, 255}, {255, 235, 150}, {40, 30, 60}, 2);
  return img;
}

// A model rendered at `ss` times the size over kKey, brought down to its size: per pixel the
// average colour of the samples it covers and the fraction covered.
struct Cutout {
  Image colour;
  std::vector<float> cover;
};

Cutout CutOut(const Image& big, int ss) {
  const int w = big.width() / ss, h = big.height() / ss;
  Cutout out{Image(w, h), std::vector<float>(static_cast<std::size_t>(w) * h, 0)};
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      int covered = 0, sum[3] = {0, 0, 0};
      for (int j = 0; j < ss; ++j) {
        for (int i = 0; i < ss; ++i) {
          const Pixel p = big.At(x * ss + i, y * ss + j);
          if (p.r == kKey.r && p.g == kKey.g && p.b == kKey.b) continue;
          ++covered;
          sum[0] += p.r;
          sum[1] += p.g;
          sum[2] += p.b;
        }
      }
      if (covered == 0) continue;
      out.cover[static_cast<std::size_t>(y) * w + x] = covered / static_cast<float>(ss * ss);
      out.colour.Set(
          x, y,
          {static_cast<std::uint8_t>(sum[0] / covered), static_cast<std::uint8_t>(sum[1] / covered),
           static_cast<std::uint8_t>(sum[2] / covered)});
    }
  }
  return out;
}

}  // namespace

Models BuildModels() {
  Models m;
  for (int t = 0; t < kTankTypes; ++t) m.tanks.push_back(BuildTank(t));
  m.props = BuildProps();
  for (int s = 0; s < kStages; ++s) m.stages.push_back(BuildStage(s));
  return m;
}

Image TankIcon(const Mesh& tank, int type, int size) {
  const int ss = 4;
  const int n = size * ss;
  Image big(n, n, kKey);
  Renderer r(&big);
  Camera cam = FrameMesh(tank, 1, {-0.55f, 0.5f, -1}, 0.76f);
  Lighting light;
  light.position = {-400, 700, -600};
  light.ambient = {0.55f, 0.55f, 0.55f};
  r.Draw(tank, Xf{}, cam, light);
  const Cutout tank_cut = CutOut(big, ss);
  // A dark outline about a twentieth of the icon wide: one whole pixel at 20 x 20.
  const std::vector<float> outline =
      Grow(tank_cut.cover, size, size, std::max(1, (size + 10) / 20));
  Image icon(size, size, kIconBackdrop[type % kTankTypes]);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const std::size_t k = static_cast<std::size_t>(y) * size + x;
      icon.Blend(x, y, kIconOutline, outline[k]);
      icon.Blend(x, y, tank_cut.colour.At(x, y), tank_cut.cover[k]);
    }
  }
  return icon;
}

// Laid out as the game cuts it up (core/sprite_sheet.h).
Image SpriteSheet(const Models& models, const Font& bold) {
  Image sheet(bf::kSheetWidth, bf::kSheetHeight, {40, 40, 60});
  for (int t = 0; t < kTankTypes; ++t) {
    const bf::SpriteRect icon = bf::TankIconRect(t);
    sheet.Paste(TankIcon(models.tanks[t], t, icon.width), icon.x, icon.y);
  }
  for (int s = 0; s < kStages; ++s) {
    const bf::SpriteRect picture = bf::StagePictureRect(s);
    sheet.Paste(StagePicture(models.stages[s], s, picture.width), picture.x, picture.y);
  }
  sheet.Paste(Label(bold, "TANK", {70, 120, 220}, {30, 50, 130}, bf::kTankLabelRect),
              bf::kTankLabelRect.x, bf::kTankLabelRect.y);
  sheet.Paste(Label(bold, "STAGE", {220, 110, 60}, {130, 40, 30}, bf::kStageLabelRect),
              bf::kStageLabelRect.x, bf::kStageLabelRect.y);
  for (int p = 0; p < bf::kPlayers; ++p) {
    const bf::SpriteRect marker = bf::PlayerMarkerRect(p);
    const bf::Rgb colour = bf::kPlayerColours[p].outer;
    sheet.Paste(Marker({colour.r, colour.g, colour.b}), marker.x, marker.y);
  }
  return sheet;
}

Image TitlePicture(const Models& models, const Font& bold) {
  Image img(bf::kTitleRect.width, bf::kTitleRect.height);
  img.Gradient(0, 0, img.width(), img.height(), {120, 170, 255}, {220, 200, 255});
  img.FillCircle(292, 20, 13, {255, 245, 180});
  img.FillCircle(292, 20, 17, {255, 245, 180}, 0.3f);
  const float clouds[][3] = {{30, 14, 7}, {42, 11, 9}, {54, 15, 6}};
  for (const auto& c : clouds) img.FillCircle(c[0], c[1], c[2], {255, 255, 255}, 0.85f);
  // Rolling hills and a burrow-brown field below the name.
  for (int x = 0; x < 320; ++x) {
    float far = 78 + 8 * std::sin(x * 0.03f) + 4 * std::sin(x * 0.11f + 1);
    float near = 92 + 6 * std::sin(x * 0.045f + 2);
    for (int y = static_cast<int>(far); y < 120; ++y) img.Set(x, y, {120, 190, 110});
    for (int y = static_cast<int>(near); y < 120; ++y) img.Set(x, y, {85, 160, 75});
    for (int y = 108; y < 120; ++y) img.Set(x, y, {150, 105, 60});
  }
  // Burrows: earth mounds with dark holes, the field's namesakes.
  const float mounds[][2] = {{22, 110}, {108, 112}, {212, 111}, {300, 110}};
  for (const auto& m : mounds) {
    for (int y = 0; y < 12; ++y) {
      float half = 14 * std::sqrt(std::max(0.0f, 1 - (y / 12.0f) * (y / 12.0f)));
      for (int x = static_cast<int>(m[0] - half); x <= static_cast<int>(m[0] + half); ++x) {
        img.Set(x, static_cast<int>(m[1]) - y, y < 2 ? Pixel{130, 90, 50} : Pixel{165, 118, 70});
      }
    }
    img.FillCircle(m[0], m[1] - 3, 5, {60, 35, 25});
  }
  // Three tanks lined up under the name.
  const int picks[3] = {3, 0, 8};
  for (int k = 0; k < 3; ++k) {
    const int size = 56;
    const int ss = 4;
    Image big(size * ss, size * ss, kKey);
    Renderer r(&big);
    Camera cam = FrameMesh(models.tanks[picks[k]], 1, {-0.75f, 0.45f, -1});
    Lighting light;
    light.position = {-400, 700, -600};
    light.ambient = {0.45f, 0.45f, 0.45f};
    r.Draw(models.tanks[picks[k]], Xf{}, cam, light);
    const Cutout cut = CutOut(big, ss);
    const int ox = 160 - size / 2 + (k - 1) * 105, oy = 120 - size + 2;
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        img.Blend(ox + x, oy + y, cut.colour.At(x, y),
                  cut.cover[static_cast<std::size_t>(y) * size + x]);
      }
    }
  }
  const float name_height = 50 * 304 / bold.Width("BURROWFIELD", 50);
  Lettering(&img, bold, "BURROWFIELD", name_height, 160, 54, {255, 245, 120}, {255, 140, 30},
            {70, 30, 20}, 3);
  Lettering(&img, bold, "ANIMAL TANK BATTLE", 13, 160, 74, {255, 255, 255}, {230, 230, 255},
            {60, 40, 90}, 1);
  return img;
}

Image NetTexture() {
  Image img(64, 64);
  const Pixel rope{225, 220, 200}, knot{255, 250, 230};
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      bool diag = (x + y) % 16 < 2 || (x - y + 64) % 16 < 2;
      bool border = x < 3 || y < 3 || x > 60 || y > 60;
      if (border)
        img.Set(x, y, {200, 170, 120});
      else if (diag)
        img.Set(x, y, ((x + y) % 16 < 2 && (x - y + 64) % 16 < 2) ? knot : rope);
    }
  }
  return img;
}

Image StarTexture() {
  Image img(64, 64);
  // A five-pointed star: inside when the point lies within the star's polar outline.
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      float dx = x + 0.5f - 32, dy = y + 0.5f - 33;
      float r = std::hypot(dx, dy);
      float a = std::atan2(dx, -dy);  // 0 at the top
      float sector = std::fmod(a + 2 * kPi + kPi / 5, 2 * kPi / 5) - kPi / 5;
      // Outline radius between the points (r_in) and at the points (r_out), straight edges.
      const float r_out = 30, r_in = 12.5f;
      float k = std::fabs(sector) / (kPi / 5);
      float edge = 1 / ((1 - k) / r_out + k / r_in);
      if (r <= edge) {
        float glow = std::clamp(1 - r / edge, 0.0f, 1.0f);
        Pixel c = r > edge - 2.5f ? Pixel{235, 130, 20}
                                  : Pixel{255, static_cast<std::uint8_t>(200 + 55 * glow),
                                          static_cast<std::uint8_t>(40 + 180 * glow * glow)};
        img.Set(x, y, c);
      }
    }
  }
  return img;
}

Image MarkerTexture(const Font& bold, int p) {
  constexpr int kSize = 64;
  const bf::Rgb rgb = bf::kPlayerColours[p].outer;
  const Pixel colour{rgb.r, rgb.g, rgb.b}, dark{24, 20, 30};
  Image img(kSize, kSize);
  // A tag rows 2..41 with an arrow head under it down to row 62; the dark rim first.
  auto inside = [](float x, float y, float grow) {
    const bool tag = x >= 8 - grow && x <= 56 + grow && y >= 2 - grow && y <= 42 + grow;
    const bool head = y >= 38 && y <= 61 + grow && std::fabs(x - 32) <= (61 - y) * 0.9f + grow;
    return tag || head;
  };
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      if (inside(x + 0.5f, y + 0.5f, 0)) {
        img.Set(x, y, colour);
      } else if (inside(x + 0.5f, y + 0.5f, 3)) {
        img.Set(x, y, dark);
      }
    }
  }
  Lettering(&img, bold, std::to_string(p + 1), 36, kSize / 2.0f, 36, {255, 255, 255},
            {235, 235, 235}, dark, 3);
  // The quad shows its texture mirrored left to right, as it faces the camera.
  Image mirrored(kSize, kSize);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) mirrored.Set(kSize - 1 - x, y, img.At(x, y));
  return mirrored;
}

Image ContactSheet(const Models& models, const Font& font) {
  std::vector<std::pair<const Mesh*, int>> all;  // mesh and stage index (-1: not a stage)
  for (const Mesh& m : models.tanks) all.push_back({&m, -1});
  for (const Mesh& m : models.props) all.push_back({&m, -1});
  for (int s = 0; s < kStages; ++s) all.push_back({&models.stages[s], s});
  const int cell = 200, columns = 7;
  const int rows = static_cast<int>((all.size() + columns - 1) / columns);
  Image sheet(cell * columns, cell * rows, {60, 60, 70});
  const Image net = NetTexture(), star = StarTexture();
  for (std::size_t i = 0; i < all.size(); ++i) {
    int cx = static_cast<int>(i % columns) * cell, cy = static_cast<int>(i / columns) * cell;
    Image pic(cell, cell);
    if (all[i].second >= 0) {
      pic = StagePicture(*all[i].first, all[i].second, cell);
    } else {
      const int ss = 2;
      Image big(cell * ss, cell * ss);
      big.Gradient(0, 0, cell * ss, cell * ss, {200, 210, 235}, {150, 160, 185});
      Renderer r(&big);
      const std::string& name = all[i].first->name();
      if (name == "net") r.SetTexture("../net.bmp", &net);
      if (name == "star") r.SetTexture("../star.bmp", &star);
      Lighting light;
      light.position = {-400, 700, -600};
      light.ambient = {0.4f, 0.4f, 0.4f};
      r.Draw(*all[i].first, Xf{}, FrameMesh(*all[i].first, 1, {-0.75f, 0.6f, -1}), light);
      pic = big.Downsample(ss);
    }
    sheet.Paste(pic, cx, cy);
    sheet.FillRect(cx, cy + cell - 22, cell, 22, {30, 30, 40});
    font.Draw(&sheet, all[i].first->name(), 16, cx + 6, cy + cell - 6, {255, 255, 255});
  }
  return sheet;
}

Image ChaseSheet(const Models& models, const Font& font) {
  const int w = 310, h = 215, columns = 4;
  Image sheet(w * columns, h * 4, {40, 40, 50});
  const Xf stage_place = Translate({0, 2, 0}) * Scale({kStageScale, kStageScale, kStageScale});
  for (int cell = 0; cell < kTankTypes + kStages; ++cell) {
    const bool tank_view = cell < kTankTypes;
    const int stage = tank_view ? 0 : cell - kTankTypes;
    const int t = tank_view ? cell : (cell * 3) % kTankTypes;
    Image view(w, h, {153, 128, 255});
    Renderer r(&view);
    Camera cam;
    cam.fovDegrees = 53;
    // Tanks alone on the meadow seen from behind; then each stage from a starting corner.
    Xf tank_place = Translate({0, 2, 0});
    cam.eye = {0, 120, 300};
    cam.target = {0, 40, -100};
    if (!tank_view) {
      tank_place = Translate({-560, 2, -560}) * RotateY(225);
      cam.eye = {-772, 122, -772};
      cam.target = {-490, 42, -490};
    }
    Lighting light = StageLighting(stage);
    r.Draw(models.stages[stage], stage_place, cam, light);
    r.Draw(models.tanks[t], tank_place, cam, light);
    r.Draw(models.tanks[(t + 3) % kTankTypes], Translate({-120, 2, -500}) * RotateY(200), cam,
           light);
    if (tank_view) {  // what a tank launches and lays ahead must show over its back
      for (const Mesh& prop : models.props) {
        if (prop.name() == "rocket") r.Draw(prop, Translate({0, 32, -97}), cam, light);
        if (prop.name() == "mine") r.Draw(prop, Translate({0, 2, -145}), cam, light);
      }
    }
    int x = (cell % columns) * w, y = (cell / columns) * h;
    sheet.Paste(view, x, y);
    std::string label = tank_view ? models.tanks[t].name() : models.stages[stage].name();
    font.Draw(&sheet, label, 14, x + 6, y + 18, {255, 255, 255});
  }
  return sheet;
}

namespace {

// One spectrogram: columns every 10 ms, rows from 0 Hz (bottom) to 5.5 kHz, brightness in dB.
Image Spectrogram(const std::vector<float>& mono, int columns, int rows) {
  Image img(columns, rows, {10, 10, 20});
  const int window = 512;
  const int hop = kSampleRate / 100;
  for (int c = 0; c < columns; ++c) {
    std::size_t start = static_cast<std::size_t>(c) * hop;
    if (start + window > mono.size()) break;
    for (int r = 0; r < rows; ++r) {
      float hz = 5500.0f * r / rows;
      float re = 0, im = 0;
      for (int i = 0; i < window; ++i) {
        float w = 0.5f - 0.5f * std::cos(kTwoPi * i / window);
        float a = kTwoPi * hz * i / kSampleRate;
        re += w * mono[start + i] * std::cos(a);
        im += w * mono[start + i] * std::sin(a);
      }
      float db = 20 * std::log10(std::sqrt(re * re + im * im) + 1e-6f);
      float k = std::clamp((db + 30) / 60, 0.0f, 1.0f);
      img.Set(c, rows - 1 - r,
              {static_cast<std::uint8_t>(255 * std::min(1.0f, k * 1.6f)),
               static_cast<std::uint8_t>(255 * k * k), static_cast<std::uint8_t>(120 * k)});
    }
  }
  return img;
}

}  // namespace

Image SoundSheet(const Font& font) {
  std::vector<SoundFile> all = BuildSoundEffects();
  for (SoundFile& m : BuildMusic()) {
    std::vector<float> mono;
    for (std::size_t i = 0; i + 1 < m.samples.size() && mono.size() < 4 * kSampleRate; i += 2) {
      mono.push_back(0.5f * (m.samples[i] + m.samples[i + 1]));
    }
    all.push_back({m.name, mono, 1});
  }
  const int w = 400, h = 90;
  Image sheet(w * 2, (h + 4) * static_cast<int>((all.size() + 1) / 2), {40, 40, 50});
  for (std::size_t i = 0; i < all.size(); ++i) {
    int x = static_cast<int>(i % 2) * w, y = static_cast<int>(i / 2) * (h + 4);
    sheet.Paste(Spectrogram(all[i].samples, w - 4, h), x, y);
    font.Draw(&sheet, all[i].name, 13, x + 4, y + 14, {255, 255, 255});
  }
  return sheet;
}

Image AppIcon(const Models& models, int size) {
  return TankIcon(models.tanks[0], 0, size);
}

std::string PicturesSource(const Image& title, const Image& sheet) {
  std::string out =
      "// Generated by assetgen: the title picture and the sprite sheet, RGB rows top to "
      "bottom.\n#include \"platform/pixels/pictures.h\"\n\nnamespace bf {\nnamespace {\n";
  auto bytes = [&out](const char* name, const Image& img) {
    out += "const std::uint8_t " + std::string(name) + "[] = {\n";
    const auto& rgb = img.rgb();
    for (std::size_t i = 0; i < rgb.size(); ++i) {
      out += std::to_string(rgb[i]);
      out += (i % 32 == 31) ? ",\n" : ",";
    }
    out += "};\n";
  };
  bytes("kTitle", title);
  bytes("kSheet", sheet);
  out += "const EmbeddedPicture kTitlePicture{" + std::to_string(title.width()) + ", " +
         std::to_string(title.height()) + ", kTitle};\nconst EmbeddedPicture kSheetPicture{" +
         std::to_string(sheet.width()) + ", " + std::to_string(sheet.height()) +
         ", kSheet};\n}  // namespace\n\nconst EmbeddedPicture& TitlePicture() { return "
         "kTitlePicture; }\nconst EmbeddedPicture& SpriteSheetPicture() { return kSheetPicture; "
         "}\n\n}  // namespace bf\n";
  return out;
}

}  // namespace assetgen
