#include "raster.h"

#include <algorithm>
#include <cmath>

namespace assetgen {

Renderer::Renderer(Image* target)
    : target_(target), depth_(static_cast<std::size_t>(target->width()) * target->height(), 0) {}

void Renderer::SetTexture(const std::string& file, const Image* image) {
  texture_file_ = file;
  texture_ = image;
}

void Renderer::Draw(const Mesh& mesh, const Xf& model, const Camera& camera,
                    const Lighting& light) {
  const Vec3 forward = Normalize(camera.target - camera.eye);
  const Vec3 right = Normalize(Cross(camera.up, forward));
  const Vec3 up = Cross(forward, right);
  const float w = static_cast<float>(target_->width()), h = static_cast<float>(target_->height());
  const bool ortho = camera.orthoHalfHeight > 0;
  const float focal =
      ortho ? (h / 2) / camera.orthoHalfHeight : (h / 2) / std::tan(camera.fovDegrees * kPi / 360);

  std::vector<Vec3> world(mesh.vertices().size());
  std::vector<ScreenVertex> screen(mesh.vertices().size());
  std::vector<Colour> lit(mesh.vertices().size());
  for (std::size_t i = 0; i < world.size(); ++i) {
    const Vertex& v = mesh.vertices()[i];
    world[i] = model.Point(v.position);
    Vec3 rel = world[i] - camera.eye;
    float x = Dot(rel, right), y = Dot(rel, up), z = Dot(rel, forward);
    float k = ortho ? focal : focal / std::max(z, 0.01f);
    screen[i] = {
        w / 2 + x * k, h / 2 - y * k, ortho ? 1.0f / (z + 10000) : 1.0f / z, 0, 0, 0, v.u, v.v};
    Vec3 n = model.Normal(v.normal);
    float diffuse = std::max(0.0f, Dot(n, Normalize(light.position - world[i])));
    lit[i] = {light.ambient.r + diffuse * light.colour.r,
              light.ambient.g + diffuse * light.colour.g,
              light.ambient.b + diffuse * light.colour.b};
  }

  for (int pass = 0; pass < 2; ++pass) {
    for (const Triangle& t : mesh.triangles()) {
      const Material& m = mesh.materials()[t.material];
      bool translucent = m.alpha < 0.99f;
      if (translucent != (pass == 1)) continue;
      Vec3 a = world[t.v[0]], b = world[t.v[1]], c = world[t.v[2]];
      Vec3 facing = Cross(b - a, c - a);
      Vec3 to_eye = ortho ? forward * -1.0f : camera.eye - a;
      if (Dot(facing, to_eye) <= 0) continue;
      bool behind = false;
      ScreenVertex sv[3];
      for (int k = 0; k < 3; ++k) {
        int i = t.v[k];
        if (!ortho && Dot(world[i] - camera.eye, forward) < 1) behind = true;
        sv[k] = screen[i];
        const Colour& l = lit[i];
        sv[k].r = std::min(1.0f, m.diffuse.r * l.r + m.emissive.r);
        sv[k].g = std::min(1.0f, m.diffuse.g * l.g + m.emissive.g);
        sv[k].b = std::min(1.0f, m.diffuse.b * l.b + m.emissive.b);
      }
      const Image* texture = !m.texture.empty() && m.texture == texture_file_ ? texture_ : nullptr;
      if (!behind) Fill(sv[0], sv[1], sv[2], m.alpha, texture);
    }
  }
}

void Renderer::Fill(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                    float alpha, const Image* texture) {
  const int w = target_->width(), h = target_->height();
  float area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
  if (std::fabs(area) < 1e-8f) return;
  int x0 = std::max(0, static_cast<int>(std::floor(std::min({a.x, b.x, c.x}))));
  int x1 = std::min(w - 1, static_cast<int>(std::ceil(std::max({a.x, b.x, c.x}))));
  int y0 = std::max(0, static_cast<int>(std::floor(std::min({a.y, b.y, c.y}))));
  int y1 = std::min(h - 1, static_cast<int>(std::ceil(std::max({a.y, b.y, c.y}))));
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      float px = x + 0.5f, py = y + 0.5f;
      float wa = ((b.x - px) * (c.y - py) - (b.y - py) * (c.x - px)) / area;
      float wb = ((c.x - px) * (a.y - py) - (c.y - py) * (a.x - px)) / area;
      float wc = 1 - wa - wb;
      if (wa < 0 || wb < 0 || wc < 0) continue;
      float inv_z = wa * a.inv_z + wb * b.inv_z + wc * c.inv_z;
      float& stored = depth_[static_cast<std::size_t>(y) * w + x];
      if (inv_z <= stored) continue;
      float r = wa * a.r + wb * b.r + wc * c.r, g = wa * a.g + wb * b.g + wc * c.g,
            bl = wa * a.b + wb * b.b + wc * c.b;
      if (texture) {
        float u = wa * a.u + wb * b.u + wc * c.u, v = wa * a.v + wb * b.v + wc * c.v;
        int tx = std::clamp(static_cast<int>(u * texture->width()), 0, texture->width() - 1);
        int ty = std::clamp(static_cast<int>(v * texture->height()), 0, texture->height() - 1);
        Pixel t = texture->At(tx, ty);
        if (t.r == 0 && t.g == 0 && t.b == 0) continue;  // transparent texel
        r *= t.r / 255.0f;
        g *= t.g / 255.0f;
        bl *= t.b / 255.0f;
      }
      Pixel p{static_cast<std::uint8_t>(std::lround(255 * std::min(1.0f, r))),
              static_cast<std::uint8_t>(std::lround(255 * std::min(1.0f, g))),
              static_cast<std::uint8_t>(std::lround(255 * std::min(1.0f, bl)))};
      if (alpha >= 0.99f) {
        stored = inv_z;
        target_->Set(x, y, p);
      } else {
        target_->Blend(x, y, p, alpha);
      }
    }
  }
}

}  // namespace assetgen
