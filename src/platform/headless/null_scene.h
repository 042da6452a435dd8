#pragma once
// A scene that draws nothing: the runner without --render, and the unit tests. It hands out
// handles like the real one so the game's bookkeeping is exercised all the same.
#include <string>

#include "platform/scene.h"

namespace bf {

class NullScene final : public Scene {
 public:
  void NewScene() override { nextFrame_ = nextMesh_ = 0; }
  void ReleaseAll() override { NewScene(); }
  FrameId CreateFrame(FrameId) override { return nextFrame_++; }
  MeshId CreateMeshBuilder() override { return nextMesh_++; }
  void LoadFromFile(MeshId, const std::string&) override {}
  void ScaleMesh(MeshId, float, float, float) override {}
  TextureId LoadTexture(const std::string&) override { return nextTexture_++; }
  void MakeBlackTransparent(TextureId) override {}
  void LoadOptionalFromFile(MeshId, const std::string&) override {}
  TextureId LoadOptionalTexture(const std::string&) override { return kNoTexture; }
  void SetOpacity(MeshId, float) override {}
  void SetSmallestOnScreen(MeshId, float) override {}
  void SetSilhouette(FrameId, float, float, float) override {}
  void SetTexture(MeshId, TextureId) override {}
  void AddVisual(FrameId, MeshId) override {}
  void AddLight(FrameId, LightType, float, float, float) override {}
  void SetPosition(FrameId, FrameId, float, float, float) override {}
  void SetOrientation(FrameId, FrameId, float, float, float, float, float, float) override {}
  void LookAt(FrameId, FrameId) override {}
  void SetSceneBackground(FrameId, float, float, float) override {}
  void SetViewport(FrameId, int, int, int, int) override {}
  void SetBack(float) override {}
  void ClearViewport() override {}
  void Render(FrameId) override {}
  void Update() override {}
  const std::string& LoadError() const override { return error_; }

 private:
  FrameId nextFrame_ = 0;
  MeshId nextMesh_ = 0;
  TextureId nextTexture_ = 0;
  std::string error_;
};

}  // namespace bf
