#pragma once
// The retained-mode scene drawn with OpenGL 3.3 into the 620 x 430 device image. Mesh data and
// textures are read once per program run and shared by every builder and frame that uses them.
#include <epoxy/gl.h>

#include <glm/glm.hpp>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/gl/frame_graph.h"
#include "platform/scene.h"

namespace bf {

class GlScene : public Scene {
 public:
  // Needs the GL context current; call Init() before anything else.
  GlScene();
  ~GlScene() override;
  bool Init(std::string* error);

  void NewScene() override;
  void ReleaseAll() override;
  FrameId CreateFrame(FrameId parent) override;
  MeshId CreateMeshBuilder() override;
  void LoadFromFile(MeshId mesh, const std::string& path) override;
  void LoadOptionalFromFile(MeshId mesh, const std::string& path) override;
  TextureId LoadOptionalTexture(const std::string& path) override;
  void ScaleMesh(MeshId mesh, float sx, float sy, float sz) override;
  TextureId LoadTexture(const std::string& path) override;
  void MakeBlackTransparent(TextureId texture) override;
  void SetTexture(MeshId mesh, TextureId texture) override;
  void SetOpacity(MeshId mesh, float opacity) override;
  void SetSmallestOnScreen(MeshId mesh, float viewFraction) override;
  void SetSilhouette(FrameId frame, float r, float g, float b) override;
  void AddVisual(FrameId frame, MeshId mesh) override;
  void AddLight(FrameId frame, LightType type, float r, float g, float b) override;
  void SetPosition(FrameId frame, FrameId reference, float x, float y, float z) override;
  void SetOrientation(FrameId frame, FrameId reference, float dx, float dy, float dz, float ux,
                      float uy, float uz) override;
  void LookAt(FrameId frame, FrameId target) override;
  void SetSceneBackground(FrameId root, float r, float g, float b) override;
  void SetViewport(FrameId camera, int x, int y, int width, int height) override;
  void SetBack(float distance) override;
  void ClearViewport() override;
  void Render(FrameId root) override;
  void Update() override;
  const std::string& LoadError() const override { return loadError_; }

  // For tests: where a frame stands in the world.
  glm::mat4 WorldMatrix(FrameId frame) const { return frames_.WorldMatrix(frame); }
  // The device image (row 0 at the bottom), for the display: its framebuffer to copy from,
  // in 16 bits when device16Bit(), else its texture to draw from.
  GLuint deviceFramebuffer() const { return framebuffer_; }
  GLuint deviceTexture() const { return deviceColour_; }
  bool device16Bit() const { return device16Bit_; }
  // Brings the device image up to date with the views drawn since the last call; the display
  // calls it before it reads the device.
  void CopyViewsToDevice();
  int updateCount() const { return updateCount_; }
  // Mesh draws issued by the last Render(), after leaving out what lies outside the view.
  int lastDrawCount() const { return lastDrawCount_; }

 private:
  // The scene's records of meshes, textures, visuals and lights, defined in gl_scene_local.h,
  // which only GlScene's own files include.
  struct Geometry;
  struct Texture;
  struct Builder;
  struct TextureHandle;
  struct Visual;
  struct Light;

  // The views are drawn apart from the device, in one framebuffer of the device's size, each at
  // its place on the device (so every pixel comes out as it would there). It is cleared whole,
  // the software renderer's fast clear of whole tiles where clearing a rectangle is a shaded
  // draw, once for all the views drawn until their next copy, as long as they neither overlap
  // nor want another background. The views' rectangles are copied onto the device only when the
  // device is next needed, so that the copy does not wait for the rasteriser while the next view
  // is being prepared.
  struct ViewRect {
    int x, y, width, height;  // device pixels, rows from the top
  };
  static constexpr int kMaxPendingViews = 8;
  struct ViewsTarget {
    GLuint framebuffer = 0, colour = 0, depth = 0;
    bool refused = false;  // the driver would not make it: views are drawn on the device
    glm::vec3 clearColour{0.0f};
    ViewRect pending[kMaxPendingViews];  // drawn since the last copy, in drawing order
    int pendingCount = 0;
  };
  enum ProgramVariant { kPlain, kTextured, kCutOut, kProgramVariants };
  enum Lighting { kAnyLights, kOnePointLight, kLightingVariants };
  struct Program {
    GLuint id = 0;
    GLint model, normalMatrix, viewProjection, ambient, pointCount, pointPosition, pointColour,
        sampler, tint, opacity, eye, pull;
  };

  // gl_scene_shaders.cpp
  bool BuildSceneProgram(Lighting lighting, ProgramVariant variant, std::string* error);
  void SetLights(FrameId root);
  // Sets a uniform of every program of the current lighting: the flat colour (alpha 0: none) and
  // the opacity the next draws take.
  void SetTint(const glm::vec4& tint, float pull);
  void SetDrawOpacity(float opacity);
  // gl_scene.cpp: the three passes of a view after its solid scenery.
  void DrawSilhouette(FrameId root, const glm::vec3& eye, const glm::vec4 (&planes)[6]);
  void DrawSeeThrough(FrameId root, const glm::vec4 (&planes)[6]);
  bool SeeThrough(const Visual& visual) const;
  // gl_scene_geometry.cpp
  int LoadGeometry(const std::string& path);
  int LoadTextureFile(const std::string& path);
  void RecordLoadError(const std::string& message);
  void DrawVisual(const Visual& visual, const glm::vec4 (&planes)[6]);
  float GrowthToStayReadable(const Visual& visual, const Builder& builder,
                             const Geometry& geometry) const;
  void ReleaseCaches();
  // gl_scene_framebuffers.cpp
  bool CreateDevice(std::string* error);
  void BlankDevice();
  bool CreateViewsTarget();
  bool ClearInViewsTarget(const glm::vec3& colour);
  bool OverlapsPendingView() const;
  void BindViewFramebuffer();
  void MarkViewDrawn();
  void ReleaseViewsTarget();

  FrameGraph frames_;
  std::vector<glm::vec3> background_;
  std::vector<Builder> builders_;
  std::vector<TextureHandle> textureHandles_;
  std::vector<Visual> visuals_;
  std::vector<Light> lights_;
  std::vector<glm::mat4> world_;

  std::vector<Geometry> geometries_;
  std::unordered_map<std::string, int> geometryByPath_;
  std::vector<Texture> textures_;
  std::unordered_map<std::string, int> textureByPath_;

  FrameId camera_ = kNoFrame;
  int viewX_ = 0, viewY_ = 0, viewWidth_ = kDeviceWidth, viewHeight_ = kDeviceHeight;
  float back_ = kBackDistance;
  FrameId silhouette_ = kNoFrame;
  glm::vec3 silhouetteColour_{0.0f};

  Program programs_[kLightingVariants][kProgramVariants];
  Lighting lighting_ = kAnyLights;  // the programs the scene's lights call for
  int currentProgram_ = -1;
  GLuint framebuffer_ = 0;
  GLuint deviceColour_ = 0;
  GLuint deviceDepth_ = 0;
  bool device16Bit_ = false;
  ViewsTarget views_;
  bool inViewsTarget_ = false;  // the current viewport was cleared in views_, not on the device
  int updateCount_ = 0;
  int lastDrawCount_ = 0;
  std::string loadError_;
};

}  // namespace bf
