#pragma once
// The retained-mode 3D scene the battle draws through. Objects are named by small integer
// handles; a handle stays valid until the next NewScene(). The game never reads anything back.
#include <cstdint>
#include <string>

namespace bf {

using FrameId = std::int32_t;
using MeshId = std::int32_t;
using TextureId = std::int32_t;

// As a reference frame: the parent's coordinates. As a parent: none, the frame is a root.
constexpr FrameId kNoFrame = -1;
constexpr MeshId kNoMesh = -1;
constexpr TextureId kNoTexture = -1;

enum class LightType { kAmbient = 0, kPoint = 1 };

// The device every view is drawn into, and how far the camera sees.
constexpr int kDeviceWidth = 620;
constexpr int kDeviceHeight = 430;
constexpr float kBackDistance = 3000;

class Scene {
 public:
  virtual ~Scene() = default;

  // Drops every frame, mesh builder and light of the previous battle and blanks the device to
  // black, as a newly made device is. Mesh data and textures read from files stay cached, so a
  // second battle reads no file again.
  virtual void NewScene() = 0;
  // Releases everything, the cache included (shutdown).
  virtual void ReleaseAll() = 0;

  virtual FrameId CreateFrame(FrameId parent) = 0;
  virtual MeshId CreateMeshBuilder() = 0;
  // Fills the builder from a .x file. A file that cannot be read records LoadError() and leaves
  // the builder empty; the caller ends the game in order.
  virtual void LoadFromFile(MeshId mesh, const std::string& path) = 0;
  // The same for what a battle can go without (the markers over the tanks): a file that cannot
  // be read leaves the builder empty or the texture blank, and LoadError() does not record it.
  virtual void LoadOptionalFromFile(MeshId mesh, const std::string& path) = 0;
  virtual TextureId LoadOptionalTexture(const std::string& path) = 0;
  virtual void ScaleMesh(MeshId mesh, float sx, float sy, float sz) = 0;
  virtual TextureId LoadTexture(const std::string& path) = 0;
  // Texels of colour 0 (black) are not drawn from now on.
  virtual void MakeBlackTransparent(TextureId texture) = 0;
  virtual void SetTexture(MeshId mesh, TextureId texture) = 0;
  // The mesh is drawn see-through at this opacity (1: solid, the default), after every solid
  // mesh and without hiding what lies behind it.
  virtual void SetOpacity(MeshId mesh, float opacity) = 0;
  // However far from the camera, the mesh is drawn at least this fraction of the view's height
  // tall (0, the default: its own size only), so that a sign reads across the whole field.
  virtual void SetSmallestOnScreen(MeshId mesh, float viewFraction) = 0;

  virtual void AddVisual(FrameId frame, MeshId mesh) = 0;
  virtual void AddLight(FrameId frame, LightType type, float r, float g, float b) = 0;
  // Relative to `reference`: kNoFrame = the parent, the frame itself = along its own axes.
  virtual void SetPosition(FrameId frame, FrameId reference, float x, float y, float z) = 0;
  // Turns the frame's +z along `dir` and its +y towards `up`, both given in `reference`.
  virtual void SetOrientation(FrameId frame, FrameId reference, float dx, float dy, float dz,
                              float ux, float uy, float uz) = 0;
  // Turns +z towards the target's origin, without roll.
  virtual void LookAt(FrameId frame, FrameId target) = 0;
  virtual void SetSceneBackground(FrameId root, float r, float g, float b) = 0;

  // The viewport of the view being drawn: a rectangle of the device seen from `camera`.
  virtual void SetViewport(FrameId camera, int x, int y, int width, int height) = 0;
  virtual void SetBack(float distance) = 0;
  // Clears the viewport's own rectangle (colour and depth), nothing outside it.
  virtual void ClearViewport() = 0;
  virtual void Render(FrameId root) = 0;
  // From now on Render draws the frame's own visuals also where the solid scenery hides them,
  // flat in this colour, so that the object shows through walls; kNoFrame for none.
  virtual void SetSilhouette(FrameId frame, float r, float g, float b) = 0;
  // Shows what the viewports drew; the device image is kept between frames.
  virtual void Update() = 0;

  // Empty while every file loaded; else one line naming the file that failed.
  virtual const std::string& LoadError() const = 0;
};

}  // namespace bf
