#pragma once
// The frame hierarchy of the retained-mode scene: where each frame sits and how it is turned
// relative to its parent. Plain arithmetic, no drawing. Coordinates are left-handed (x right,
// y up, z forward) and a frame's own +z is where it looks.
#include <glm/glm.hpp>
#include <vector>

#include "platform/scene.h"

namespace bf {

class FrameGraph {
 public:
  explicit FrameGraph(int reserve);

  void Clear();
  // A parent that does not exist makes the new frame a root.
  FrameId Create(FrameId parent);
  bool Valid(FrameId frame) const { return frame >= 0 && frame < size(); }
  int size() const { return static_cast<int>(frames_.size()); }
  FrameId Parent(FrameId frame) const { return frames_[frame].parent; }
  // The root at the top of the frame's chain of parents.
  FrameId Root(FrameId frame) const;

  // Places the frame's origin at `position` given in `reference` (kNoFrame: the parent's
  // coordinates; the frame itself: along its own axes). Its turn is kept.
  void SetPosition(FrameId frame, FrameId reference, glm::vec3 position);
  // Turns the frame so that its +z points along `dir` and its +y towards `up`, both given in
  // `reference`. Its position is kept. A zero direction changes nothing.
  void SetOrientation(FrameId frame, FrameId reference, glm::vec3 dir, glm::vec3 up);
  // Turns +z towards the target's origin, keeping +y as close to the parent's up as it can.
  void LookAt(FrameId frame, FrameId target);

  glm::mat4 WorldMatrix(FrameId frame) const;
  // Every frame's world matrix, by handle. Parents are always created before their children,
  // so one pass in handle order is enough.
  void ComputeWorldMatrices(std::vector<glm::mat4>& world) const;

 private:
  struct Frame {
    FrameId parent = kNoFrame;
    glm::mat3 rotation{1.0f};  // columns: the frame's x, y, z axes in the parent's coordinates
    glm::vec3 position{0.0f};  // origin in the parent's coordinates
  };

  glm::mat4 LocalMatrix(FrameId frame) const;
  // The frame in which a reference's coordinates are meant (kNoFrame = the parent).
  glm::mat4 ReferenceMatrix(FrameId frame, FrameId reference) const;
  glm::mat4 ParentMatrix(FrameId frame) const;
  void SetWorldRotation(FrameId frame, glm::vec3 dir, glm::vec3 up);

  std::vector<Frame> frames_;
};

}  // namespace bf
