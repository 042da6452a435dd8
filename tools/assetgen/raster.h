#pragma once
// A small software renderer: z-buffered, Gouraud-shaded triangles with one point light and an
// ambient light, the lighting model the game's renderer uses. Back faces are culled, so a mesh
// with a wrong winding shows its holes here too.
#include <string>
#include <vector>

#include "geometry.h"
#include "image.h"
#include "mesh.h"

namespace assetgen {

struct Lighting {
  Vec3 position{300, 800, -500};
  Colour colour{1, 1, 1};
  Colour ambient{0.35f, 0.35f, 0.35f};
};

struct Camera {
  Vec3 eye{0, 100, -200};
  Vec3 target{0, 0, 0};
  Vec3 up{0, 1, 0};
  float fovDegrees = 40;
  // Orthographic when > 0: half the visible height in world units.
  float orthoHalfHeight = 0;
};

class Renderer {
 public:
  explicit Renderer(Image* target);
  // Draws the mesh placed by `model`; opaque parts at once, translucent parts blended.
  void Draw(const Mesh& mesh, const Xf& model, const Camera& camera, const Lighting& light);
  // Materials naming `file` as their texture are drawn with `image`; its black texels are
  // transparent, as in the game.
  void SetTexture(const std::string& file, const Image* image);

 private:
  struct ScreenVertex {
    float x, y, inv_z;
    float r, g, b;
    float u, v;
  };
  void Fill(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c, float alpha,
            const Image* texture);

  Image* target_;
  std::vector<float> depth_;  // 1 / view distance; larger is nearer
  std::string texture_file_;
  const Image* texture_ = nullptr;
};

}  // namespace assetgen
