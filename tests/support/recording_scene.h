#pragma once
// A scene that draws nothing but remembers where every frame was last put, for tests that
// check what the game shows.
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "platform/scene.h"

namespace bf::test {

struct FrameRecord {
  FrameId parent = kNoFrame;
  std::array<float, 3> position{};  // last SetPosition, as given
  FrameId positionReference = kNoFrame;
  int positionCalls = 0;
  std::array<float, 6> orientation{};  // last SetOrientation: direction, up
  FrameId orientationReference = kNoFrame;
  int orientationCalls = 0;
  FrameId lookAtTarget = kNoFrame;
  int lookAtCalls = 0;
  std::vector<MeshId> visuals;
};

struct MeshRecord {
  std::string path;
  std::array<float, 3> scale{1, 1, 1};
  TextureId texture = kNoTexture;
  float opacity = 1;
};

class RecordingScene final : public Scene {
 public:
  void NewScene() override {
    frames.clear();
    meshes.clear();
    lights.clear();
    ++newScenes;
  }
  void ReleaseAll() override {
    NewScene();
    released = true;
  }
  FrameId CreateFrame(FrameId parent) override {
    FrameRecord frame;
    frame.parent = parent;
    frames.push_back(frame);
    return static_cast<FrameId>(frames.size() - 1);
  }
  MeshId CreateMeshBuilder() override {
    meshes.emplace_back();
    return static_cast<MeshId>(meshes.size() - 1);
  }
  void LoadFromFile(MeshId mesh, const std::string& path) override {
    meshes.at(mesh).path = path;
    loads.push_back(path);
  }
  void ScaleMesh(MeshId mesh, float sx, float sy, float sz) override {
    meshes.at(mesh).scale = {sx, sy, sz};
  }
  TextureId LoadTexture(const std::string& path) override {
    textures.push_back(path);
    return static_cast<TextureId>(textures.size() - 1);
  }
  void MakeBlackTransparent(TextureId) override {}
  void LoadOptionalFromFile(MeshId mesh, const std::string& path) override {
    LoadFromFile(mesh, path);
  }
  TextureId LoadOptionalTexture(const std::string& path) override { return LoadTexture(path); }
  void SetOpacity(MeshId mesh, float opacity) override { meshes.at(mesh).opacity = opacity; }
  void SetSmallestOnScreen(MeshId, float) override {}
  void SetSilhouette(FrameId frame, float, float, float) override { silhouettes.push_back(frame); }
  void SetTexture(MeshId mesh, TextureId texture) override { meshes.at(mesh).texture = texture; }
  void AddVisual(FrameId frame, MeshId mesh) override { frames.at(frame).visuals.push_back(mesh); }
  void AddLight(FrameId frame, LightType type, float r, float g, float b) override {
    lights.push_back({frame, type, r, g, b});
  }
  void SetPosition(FrameId frame, FrameId reference, float x, float y, float z) override {
    FrameRecord& f = frames.at(frame);
    f.position = {x, y, z};
    f.positionReference = reference;
    ++f.positionCalls;
  }
  void SetOrientation(FrameId frame, FrameId reference, float dx, float dy, float dz, float ux,
                      float uy, float uz) override {
    FrameRecord& f = frames.at(frame);
    f.orientation = {dx, dy, dz, ux, uy, uz};
    f.orientationReference = reference;
    ++f.orientationCalls;
  }
  void LookAt(FrameId frame, FrameId target) override {
    frames.at(frame).lookAtTarget = target;
    ++frames.at(frame).lookAtCalls;
  }
  void SetSceneBackground(FrameId, float r, float g, float b) override { background = {r, g, b}; }
  void SetViewport(FrameId camera, int x, int y, int w, int h) override {
    viewports.push_back({camera, x, y, w, h});
  }
  void SetBack(float distance) override { back = distance; }
  void ClearViewport() override { ++clears; }
  void Render(FrameId root) override {
    renderedRoots.push_back(root);
    if (onRender) onRender();
  }
  void Update() override { ++updates; }
  const std::string& LoadError() const override { return loadError; }

  struct Light {
    FrameId frame;
    LightType type;
    float r, g, b;
  };
  std::vector<FrameRecord> frames;
  std::vector<MeshRecord> meshes;
  std::vector<Light> lights;
  std::vector<std::string> loads;
  std::vector<std::string> textures;
  std::vector<FrameId> silhouettes;           // every SetSilhouette, in order
  std::vector<std::array<int, 5>> viewports;  // camera, x, y, w, h
  std::vector<FrameId> renderedRoots;
  std::array<float, 3> background{};
  float back = 0;
  int clears = 0;
  int updates = 0;
  int newScenes = 0;
  bool released = false;
  std::string loadError;
  // Called after each render, to look at the scene as that view saw it.
  std::function<void()> onRender;
};

}  // namespace bf::test
