#include "platform/gl/gl_scene.h"

#include <algorithm>
#include <cmath>
#include <glm/gtc/matrix_inverse.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "platform/gl/gl_program.h"
#include "platform/gl/image_file.h"
#include "platform/gl/x_mesh.h"

namespace bf {
namespace {

constexpr int kReservedFrames = 512;
constexpr int kReservedBuilders = 256;
constexpr int kMaxPointLights = 8;
constexpr float kFrontPlane = 1.0f;
// A field whose half-height at distance 1 is 0.5: about 53 degrees from top to bottom.
const float kVerticalField = 2.0f * std::atan(0.5f);

// Gouraud shading: the light is worked out per vertex in world space, without attenuation, and
// each channel is clamped after lighting so that lights brighter than 1 saturate.
const char* kSceneVertexShader = R"(#version 330 core
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec2 aUv;
uniform mat4 uModel;
uniform mat3 uNormalMatrix;
uniform mat4 uViewProjection;
uniform vec3 uAmbient;
uniform int uPointCount;
uniform vec3 uPointPosition[8];
uniform vec3 uPointColour[8];
uniform vec4 uDiffuse;
uniform vec3 uEmissive;
out vec4 vColour;
out vec2 vUv;
void main() {
  vec4 world = uModel * vec4(aPosition, 1.0);
  vec3 normal = uNormalMatrix * aNormal;
  float length2 = dot(normal, normal);
  normal = length2 > 0.0 ? normal * inversesqrt(length2) : vec3(0.0);
  vec3 light = uAmbient;
  for (int i = 0; i < uPointCount; ++i) {
    vec3 toLight = uPointPosition[i] - world.xyz;
    float distance2 = dot(toLight, toLight);
    if (distance2 > 0.0)
      light += uPointColour[i] * max(0.0, dot(normal, toLight * inversesqrt(distance2)));
  }
  vColour = vec4(clamp(uDiffuse.rgb * light + uEmissive, 0.0, 1.0), uDiffuse.a);
  vUv = aUv;
  gl_Position = uViewProjection * world;
}
)";

const char* kSceneFragmentShader = R"(#version 330 core
in vec4 vColour;
in vec2 vUv;
uniform sampler2D uTexture;
uniform bool uTextured;
uniform bool uBlackTransparent;
out vec4 fragColour;
void main() {
  vec4 colour = vColour;
  if (uTextured) {
    vec3 texel = texture(uTexture, vUv).rgb;
    if (uBlackTransparent && texel == vec3(0.0)) discard;
    colour.rgb *= texel;
  }
  fragColour = vec4(colour.rgb, 1.0);
}
)";

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

bool SphereOutside(const glm::vec4 (&planes)[6], glm::vec3 centre, float radius) {
  for (const glm::vec4& p : planes)
    if (glm::dot(glm::vec3(p), centre) + p.w < -radius) return true;
  return false;
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
  if (program_) glDeleteProgram(program_);
  if (framebuffer_) glDeleteFramebuffers(1, &framebuffer_);
  if (deviceColour_) glDeleteTextures(1, &deviceColour_);
  if (deviceDepth_) glDeleteRenderbuffers(1, &deviceDepth_);
}

bool GlScene::Init(std::string* error) {
  program_ = BuildProgram("scene", kSceneVertexShader, kSceneFragmentShader, error);
  if (!program_) return false;
  uniforms_.model = glGetUniformLocation(program_, "uModel");
  uniforms_.normalMatrix = glGetUniformLocation(program_, "uNormalMatrix");
  uniforms_.viewProjection = glGetUniformLocation(program_, "uViewProjection");
  uniforms_.ambient = glGetUniformLocation(program_, "uAmbient");
  uniforms_.pointCount = glGetUniformLocation(program_, "uPointCount");
  uniforms_.pointPosition = glGetUniformLocation(program_, "uPointPosition");
  uniforms_.pointColour = glGetUniformLocation(program_, "uPointColour");
  uniforms_.diffuse = glGetUniformLocation(program_, "uDiffuse");
  uniforms_.emissive = glGetUniformLocation(program_, "uEmissive");
  uniforms_.textured = glGetUniformLocation(program_, "uTextured");
  uniforms_.blackTransparent = glGetUniformLocation(program_, "uBlackTransparent");
  uniforms_.sampler = glGetUniformLocation(program_, "uTexture");
  return CreateDevice(error);
}

// The device image lives in its own framebuffer, so it survives from one tick to the next and
// only a viewport's own rectangle is ever cleared.
bool GlScene::CreateDevice(std::string* error) {
  glGenTextures(1, &deviceColour_);
  glBindTexture(GL_TEXTURE_2D, deviceColour_);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kDeviceWidth, kDeviceHeight, 0, GL_RGBA,
               GL_UNSIGNED_BYTE, nullptr);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glGenRenderbuffers(1, &deviceDepth_);
  glBindRenderbuffer(GL_RENDERBUFFER, deviceDepth_);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, kDeviceWidth, kDeviceHeight);
  glGenFramebuffers(1, &framebuffer_);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, deviceColour_, 0);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, deviceDepth_);
  GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
  if (status == GL_FRAMEBUFFER_COMPLETE) {
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  if (status != GL_FRAMEBUFFER_COMPLETE) {
    *error = "the 620 x 430 device framebuffer is incomplete";
    return false;
  }
  return true;
}

void GlScene::NewScene() {
  frames_.Clear();
  background_.clear();
  builders_.clear();
  textureHandles_.clear();
  visuals_.clear();
  lights_.clear();
  camera_ = kNoFrame;
}

void GlScene::ReleaseAll() {
  NewScene();
  ReleaseCaches();
}

void GlScene::ReleaseCaches() {
  for (Geometry& g : geometries_) {
    if (g.vbo) glDeleteBuffers(1, &g.vbo);
    if (g.vao) glDeleteVertexArrays(1, &g.vao);
  }
  for (Texture& t : textures_)
    if (t.id) glDeleteTextures(1, &t.id);
  geometries_.clear();
  geometryByPath_.clear();
  textures_.clear();
  textureByPath_.clear();
}

void GlScene::RecordLoadError(const std::string& message) {
  if (loadError_.empty()) loadError_ = message;
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

int GlScene::LoadGeometry(const std::string& path) {
  auto cached = geometryByPath_.find(path);
  if (cached != geometryByPath_.end()) return cached->second;
  int index = static_cast<int>(geometries_.size());
  geometryByPath_.emplace(path, index);
  geometries_.emplace_back();

  MeshGeometry mesh;
  std::string error;
  if (!ReadXFile(path, &mesh, &error)) {
    RecordLoadError(error);
    return index;
  }
  Geometry geometry;
  glGenVertexArrays(1, &geometry.vao);
  glGenBuffers(1, &geometry.vbo);
  glBindVertexArray(geometry.vao);
  glBindBuffer(GL_ARRAY_BUFFER, geometry.vbo);
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(mesh.vertices.size() * sizeof(MeshVertex)),
               mesh.vertices.data(), GL_STATIC_DRAW);
  const GLsizei stride = sizeof(MeshVertex);
  glEnableVertexAttribArray(0);
  glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride,
                        reinterpret_cast<void*>(offsetof(MeshVertex, position)));
  glEnableVertexAttribArray(1);
  glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride,
                        reinterpret_cast<void*>(offsetof(MeshVertex, normal)));
  glEnableVertexAttribArray(2);
  glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride,
                        reinterpret_cast<void*>(offsetof(MeshVertex, uv)));
  glBindVertexArray(0);
  for (const MeshPart& part : mesh.parts) {
    int texture = part.texturePath.empty() ? -1 : LoadTextureFile(part.texturePath);
    geometry.parts.push_back({part.first, part.count, part.diffuse, part.emissive, texture});
  }
  geometry.boundsCentre = mesh.boundsCentre;
  geometry.boundsRadius = mesh.boundsRadius;
  geometries_[index] = std::move(geometry);
  return index;
}

int GlScene::LoadTextureFile(const std::string& path) {
  auto cached = textureByPath_.find(path);
  if (cached != textureByPath_.end()) return cached->second;
  int index = static_cast<int>(textures_.size());
  textureByPath_.emplace(path, index);
  textures_.emplace_back();

  RgbaImage image;
  std::string error;
  if (!ReadBmpFile(path, &image, &error)) {
    RecordLoadError(error);
    return index;
  }
  GLuint id = 0;
  glGenTextures(1, &id);
  glBindTexture(GL_TEXTURE_2D, id);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  // Rows go up top row first, so v = 0 is the top of the picture as the .x files expect.
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, image.width, image.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
               image.rgba.data());
  // Nearest texels keep a black texel exactly black, so the transparency test stays exact.
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  textures_[index].id = id;
  return index;
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
  back_ = 3000.0f;
}

void GlScene::SetBack(float distance) {
  back_ = distance;
}

void GlScene::ClearViewport() {
  if (viewWidth_ <= 0 || viewHeight_ <= 0) return;
  glm::vec3 colour(0.0f);
  if (frames_.Valid(camera_)) colour = background_[frames_.Root(camera_)];
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  glEnable(GL_SCISSOR_TEST);
  // The device counts rows from the top, GL from the bottom.
  glScissor(viewX_, kDeviceHeight - viewY_ - viewHeight_, viewWidth_, viewHeight_);
  glClearColor(colour.r, colour.g, colour.b, 1.0f);
  glDepthMask(GL_TRUE);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glDisable(GL_SCISSOR_TEST);
}

void GlScene::SetLights(FrameId root) {
  glm::vec3 ambient(0.0f);
  glm::vec3 positions[kMaxPointLights];
  glm::vec3 colours[kMaxPointLights];
  int points = 0;
  for (const Light& light : lights_) {
    if (frames_.Root(light.frame) != root) continue;
    if (light.type == LightType::kAmbient) {
      ambient += light.colour;
    } else if (points < kMaxPointLights) {
      positions[points] = glm::vec3(world_[light.frame][3]);
      colours[points] = light.colour;
      ++points;
    }
  }
  glUniform3fv(uniforms_.ambient, 1, glm::value_ptr(ambient));
  glUniform1i(uniforms_.pointCount, points);
  if (points > 0) {
    glUniform3fv(uniforms_.pointPosition, points, glm::value_ptr(positions[0]));
    glUniform3fv(uniforms_.pointColour, points, glm::value_ptr(colours[0]));
  }
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

  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  const int glY = kDeviceHeight - viewY_ - viewHeight_;
  glViewport(viewX_, glY, viewWidth_, viewHeight_);
  glEnable(GL_SCISSOR_TEST);
  glScissor(viewX_, glY, viewWidth_, viewHeight_);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LESS);
  glDepthMask(GL_TRUE);
  // Faces are clockwise seen from the front, as in the .x files.
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  glFrontFace(GL_CW);
  glDisable(GL_BLEND);

  glUseProgram(program_);
  glUniformMatrix4fv(uniforms_.viewProjection, 1, GL_FALSE, glm::value_ptr(viewProjection));
  glUniform1i(uniforms_.sampler, 0);
  glActiveTexture(GL_TEXTURE0);
  SetLights(root);
  for (const Visual& visual : visuals_)
    if (frames_.Root(visual.frame) == root) DrawVisual(visual, planes);
  glBindVertexArray(0);
  glDisable(GL_SCISSOR_TEST);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
}

void GlScene::DrawVisual(const Visual& visual, const glm::vec4 (&planes)[6]) {
  const Builder& builder = builders_[visual.mesh];
  if (builder.geometry < 0) return;
  const Geometry& geometry = geometries_[builder.geometry];
  if (geometry.parts.empty()) return;
  glm::mat4 model = glm::scale(world_[visual.frame], builder.scale);
  // Parked objects (x = -5000) and everything else off screen cost no draw at all.
  glm::vec3 centre(model * glm::vec4(geometry.boundsCentre, 1.0f));
  glm::vec3 scale = glm::abs(builder.scale);
  float radius = geometry.boundsRadius * std::max(scale.x, std::max(scale.y, scale.z));
  if (SphereOutside(planes, centre, radius)) return;

  glm::mat3 normalMatrix = glm::inverseTranspose(glm::mat3(model));
  glUniformMatrix4fv(uniforms_.model, 1, GL_FALSE, glm::value_ptr(model));
  glUniformMatrix3fv(uniforms_.normalMatrix, 1, GL_FALSE, glm::value_ptr(normalMatrix));
  glBindVertexArray(geometry.vao);

  int overrideTexture = -1;
  bool overrideTransparent = false;
  if (builder.texture >= 0 && builder.texture < static_cast<TextureId>(textureHandles_.size())) {
    overrideTexture = textureHandles_[builder.texture].texture;
    overrideTransparent = textureHandles_[builder.texture].blackTransparent;
  }
  for (const Geometry::Part& part : geometry.parts) {
    int texture = builder.texture >= 0 ? overrideTexture : part.texture;
    GLuint id = texture >= 0 ? textures_[texture].id : 0;
    glUniform4fv(uniforms_.diffuse, 1, glm::value_ptr(part.diffuse));
    glUniform3fv(uniforms_.emissive, 1, glm::value_ptr(part.emissive));
    glUniform1i(uniforms_.textured, id != 0);
    glUniform1i(uniforms_.blackTransparent, id != 0 && builder.texture >= 0 && overrideTransparent);
    if (id) glBindTexture(GL_TEXTURE_2D, id);
    glDrawArrays(GL_TRIANGLES, part.first, part.count);
  }
  ++lastDrawCount_;
}

void GlScene::Update() {
  ++updateCount_;
}

}  // namespace bf
