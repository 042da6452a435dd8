// The scene's API: frames, builders, lights and viewports as the game sets them, and the drawing
// of one view. Shaders, meshes and framebuffers have files of their own beside this one.
#include "platform/gl/gl_scene.h"

#include <cmath>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "platform/gl/gl_scene_local.h"

namespace bf {
namespace {

constexpr int kReservedFrames = 512;
constexpr int kReservedBuilders = 256;
constexpr float kFrontPlane = 1.0f;
// How far in front of a silhouette's object scenery must lie to hide it: more than a tank's
// wheels sink into the ground, less than a wall is thick.
constexpr float kSilhouettePull = 20.0f;
const float kVerticalField = 2.0f * std::atan(kHalfFieldHeight);

// The six clipping planes of a view, pointing inwards (x, y, z: normal; w: offset).
void ExtractPlanes(const glm::mat4& m, glm::vec4 (&planes)[6]) {
  glm::vec4 row[4];
  for (int i = 0; i < 4; ++i) row[i] = glm::vec4(m[0][i], m[1][i], m[2][i], m[3][i]);
  planes[0] = row[3] + row[0];
  planes[1] = row[3] - row[0];
  planes[2] = row[3] + row[1];
  planes[3] = row[3] - row[1];
  planes[4] = row[3] + row[2];
  planes[5] = row[3] - row[2];
  for (glm::vec4& p : planes) p /= glm::length(glm::vec3(p));
}

}  // namespace

GlScene::GlScene() : frames_(kReservedFrames) {
  background_.reserve(kReservedFrames);
  world_.reserve(kReservedFrames);
  builders_.reserve(kReservedBuilders);
  textureHandles_.reserve(kReservedBuilders);
  visuals_.reserve(kReservedFrames);
  lights_.reserve(16);
}

GlScene::~GlScene() {
  ReleaseCaches();
  for (auto& lighting : programs_)
    for (Program& p : lighting)
      if (p.id) glDeleteProgram(p.id);
  ReleaseViewsTarget();
  if (framebuffer_) glDeleteFramebuffers(1, &framebuffer_);
  if (deviceColour_) glDeleteTextures(1, &deviceColour_);
  if (deviceDepth_) glDeleteRenderbuffers(1, &deviceDepth_);
}

bool GlScene::Init(std::string* error) {
  for (int l = 0; l < kLightingVariants; ++l)
    for (int v = 0; v < kProgramVariants; ++v)
      if (!BuildSceneProgram(static_cast<Lighting>(l), static_cast<ProgramVariant>(v), error))
        return false;
  return CreateDevice(error);
}

void GlScene::NewScene() {
  frames_.Clear();
  background_.clear();
  builders_.clear();
  textureHandles_.clear();
  visuals_.clear();
  lights_.clear();
  camera_ = kNoFrame;
  silhouette_ = kNoFrame;
  BlankDevice();
}

void GlScene::ReleaseAll() {
  NewScene();
  ReleaseCaches();
  ReleaseViewsTarget();
}

FrameId GlScene::CreateFrame(FrameId parent) {
  background_.emplace_back(0.0f);
  return frames_.Create(parent);
}

MeshId GlScene::CreateMeshBuilder() {
  builders_.emplace_back();
  return static_cast<MeshId>(builders_.size() - 1);
}

void GlScene::LoadFromFile(MeshId mesh, const std::string& path) {
  if (mesh < 0 || mesh >= static_cast<MeshId>(builders_.size())) return;
  builders_[mesh] = Builder();
  builders_[mesh].geometry = LoadGeometry(path);
}

// The error of an optional file is forgotten again; one recorded before stays.
void GlScene::LoadOptionalFromFile(MeshId mesh, const std::string& path) {
  const std::string before = loadError_;
  LoadFromFile(mesh, path);
  loadError_ = before;
}

TextureId GlScene::LoadOptionalTexture(const std::string& path) {
  const std::string before = loadError_;
  const TextureId texture = LoadTexture(path);
  loadError_ = before;
  return texture;
}

void GlScene::ScaleMesh(MeshId mesh, float sx, float sy, float sz) {
  if (mesh < 0 || mesh >= static_cast<MeshId>(builders_.size())) return;
  builders_[mesh].scale *= glm::vec3(sx, sy, sz);
}

TextureId GlScene::LoadTexture(const std::string& path) {
  textureHandles_.push_back({LoadTextureFile(path), false});
  return static_cast<TextureId>(textureHandles_.size() - 1);
}

void GlScene::MakeBlackTransparent(TextureId texture) {
  if (texture < 0 || texture >= static_cast<TextureId>(textureHandles_.size())) return;
  textureHandles_[texture].blackTransparent = true;
}

void GlScene::SetTexture(MeshId mesh, TextureId texture) {
  if (mesh < 0 || mesh >= static_cast<MeshId>(builders_.size())) return;
  builders_[mesh].texture = texture;
}

void GlScene::SetOpacity(MeshId mesh, float opacity) {
  if (mesh < 0 || mesh >= static_cast<MeshId>(builders_.size())) return;
  builders_[mesh].opacity = opacity;
}

void GlScene::SetSmallestOnScreen(MeshId mesh, float viewFraction) {
  if (mesh < 0 || mesh >= static_cast<MeshId>(builders_.size())) return;
  builders_[mesh].smallestOnScreen = viewFraction;
}

void GlScene::SetSilhouette(FrameId frame, float r, float g, float b) {
  silhouette_ = frame;
  silhouetteColour_ = glm::vec3(r, g, b);
}

bool GlScene::SeeThrough(const Visual& visual) const {
  return builders_[visual.mesh].opacity < 1.0f;
}

// The silhouette's frame is drawn after the rest of the solid scene: first flat where the scene
// lies in front of it (depth test passing only behind what is there, nothing written), then as
// itself, which covers the flat colour wherever it is in plain sight. Its own parts never tint
// each other, since the flat pass sees only the scenery's depth.
void GlScene::DrawSilhouette(FrameId root, const glm::vec3& eye, const glm::vec4 (&planes)[6]) {
  glDepthFunc(GL_GREATER);
  glDepthMask(GL_FALSE);
  for (const Program& p : programs_[lighting_]) {
    glUseProgram(p.id);
    glUniform3fv(p.eye, 1, glm::value_ptr(eye));
  }
  SetTint(glm::vec4(silhouetteColour_, 1.0f), kSilhouettePull);
  glEnable(GL_CLIP_DISTANCE0);
  for (const Visual& visual : visuals_)
    if (visual.frame == silhouette_ && !SeeThrough(visual)) DrawVisual(visual, planes);
  glDisable(GL_CLIP_DISTANCE0);
  SetTint(glm::vec4(0.0f), 0.0f);
  glDepthFunc(GL_LESS);
  glDepthMask(GL_TRUE);
  for (const Visual& visual : visuals_)
    if (visual.frame == silhouette_ && !SeeThrough(visual) && frames_.Root(visual.frame) == root)
      DrawVisual(visual, planes);
}

// See-through meshes last, blended over everything solid, hiding nothing behind them.
void GlScene::DrawSeeThrough(FrameId root, const glm::vec4 (&planes)[6]) {
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDepthMask(GL_FALSE);
  for (const Visual& visual : visuals_) {
    if (!SeeThrough(visual) || frames_.Root(visual.frame) != root) continue;
    SetDrawOpacity(builders_[visual.mesh].opacity);
    DrawVisual(visual, planes);
  }
  SetDrawOpacity(1.0f);
  glDepthMask(GL_TRUE);
  glDisable(GL_BLEND);
}

void GlScene::AddVisual(FrameId frame, MeshId mesh) {
  if (!frames_.Valid(frame) || mesh < 0 || mesh >= static_cast<MeshId>(builders_.size())) return;
  visuals_.push_back({frame, mesh});
}

void GlScene::AddLight(FrameId frame, LightType type, float r, float g, float b) {
  if (!frames_.Valid(frame)) return;
  lights_.push_back({frame, type, glm::vec3(r, g, b)});
}

void GlScene::SetPosition(FrameId frame, FrameId reference, float x, float y, float z) {
  frames_.SetPosition(frame, reference, glm::vec3(x, y, z));
}

void GlScene::SetOrientation(FrameId frame, FrameId reference, float dx, float dy, float dz,
                             float ux, float uy, float uz) {
  frames_.SetOrientation(frame, reference, glm::vec3(dx, dy, dz), glm::vec3(ux, uy, uz));
}

void GlScene::LookAt(FrameId frame, FrameId target) {
  frames_.LookAt(frame, target);
}

void GlScene::SetSceneBackground(FrameId root, float r, float g, float b) {
  if (frames_.Valid(root)) background_[root] = glm::vec3(r, g, b);
}

void GlScene::SetViewport(FrameId camera, int x, int y, int width, int height) {
  camera_ = camera;
  viewX_ = x;
  viewY_ = y;
  viewWidth_ = width;
  viewHeight_ = height;
  back_ = kBackDistance;
  inViewsTarget_ = false;  // the views target is used only once it is cleared for this viewport
}

void GlScene::SetBack(float distance) {
  back_ = distance;
}

void GlScene::ClearViewport() {
  if (viewWidth_ <= 0 || viewHeight_ <= 0) return;
  glm::vec3 colour(0.0f);
  if (frames_.Valid(camera_)) colour = background_[frames_.Root(camera_)];
  inViewsTarget_ = ClearInViewsTarget(colour);
  BindViewFramebuffer();
  if (!inViewsTarget_) {
    glClearColor(colour.r, colour.g, colour.b, 1.0f);
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }
  glDisable(GL_SCISSOR_TEST);
  MarkViewDrawn();
}

void GlScene::Render(FrameId root) {
  lastDrawCount_ = 0;
  if (!frames_.Valid(root) || !frames_.Valid(camera_) || viewWidth_ <= 0 || viewHeight_ <= 0)
    return;
  frames_.ComputeWorldMatrices(world_);
  // The camera looks along its own +z: the inverse of its frame is a left-handed view matrix.
  glm::mat4 view = glm::inverse(world_[camera_]);
  float aspect = static_cast<float>(viewWidth_) / static_cast<float>(viewHeight_);
  glm::mat4 projection = glm::perspectiveLH_NO(kVerticalField, aspect, kFrontPlane, back_);
  glm::mat4 viewProjection = projection * view;
  glm::vec4 planes[6];
  ExtractPlanes(viewProjection, planes);

  BindViewFramebuffer();
  MarkViewDrawn();
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LESS);
  glDepthMask(GL_TRUE);
  // Faces are clockwise seen from the front, as in the .x files.
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  glFrontFace(GL_CW);
  glDisable(GL_BLEND);

  SetLights(root);
  for (const Program& p : programs_[lighting_]) {
    glUseProgram(p.id);
    glUniformMatrix4fv(p.viewProjection, 1, GL_FALSE, glm::value_ptr(viewProjection));
    glUniform1i(p.sampler, 0);
  }
  glActiveTexture(GL_TEXTURE0);
  currentProgram_ = -1;
  for (const Visual& visual : visuals_)
    if (frames_.Root(visual.frame) == root && visual.frame != silhouette_ && !SeeThrough(visual))
      DrawVisual(visual, planes);
  if (frames_.Valid(silhouette_) && frames_.Root(silhouette_) == root)
    DrawSilhouette(root, glm::vec3(world_[camera_][3]), planes);
  DrawSeeThrough(root, planes);
  glBindVertexArray(0);
  glDisable(GL_SCISSOR_TEST);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  // Hands the view to the rasteriser threads now, so that they fill it while the next view's
  // triangles are being set up instead of all four views waiting for the end of the tick.
  glFlush();
}

void GlScene::Update() {
  ++updateCount_;
}

}  // namespace bf
