#include "platform/gl/frame_graph.h"

#include <cmath>

namespace bf {
namespace {

constexpr float kTiny = 1e-12f;

// Axes for +z along `dir` with +y towards `up`; false when the two are parallel.
bool BuildAxes(glm::vec3 dir, glm::vec3 up, glm::mat3* axes) {
  glm::vec3 z = glm::normalize(dir);
  glm::vec3 x = glm::cross(up, z);
  if (glm::dot(x, x) < kTiny) return false;
  x = glm::normalize(x);
  (*axes)[0] = x;
  (*axes)[1] = glm::cross(z, x);
  (*axes)[2] = z;
  return true;
}

}  // namespace

FrameGraph::FrameGraph(int reserve) {
  frames_.reserve(reserve);
}

void FrameGraph::Clear() {
  frames_.clear();
}

FrameId FrameGraph::Create(FrameId parent) {
  Frame frame;
  frame.parent = Valid(parent) ? parent : kNoFrame;
  frames_.push_back(frame);
  return size() - 1;
}

FrameId FrameGraph::Root(FrameId frame) const {
  while (frames_[frame].parent != kNoFrame) frame = frames_[frame].parent;
  return frame;
}

glm::mat4 FrameGraph::LocalMatrix(FrameId frame) const {
  const Frame& f = frames_[frame];
  glm::mat4 m(f.rotation);
  m[3] = glm::vec4(f.position, 1.0f);
  return m;
}

glm::mat4 FrameGraph::WorldMatrix(FrameId frame) const {
  if (!Valid(frame)) return glm::mat4(1.0f);
  return ParentMatrix(frame) * LocalMatrix(frame);
}

glm::mat4 FrameGraph::ParentMatrix(FrameId frame) const {
  FrameId parent = frames_[frame].parent;
  return parent == kNoFrame ? glm::mat4(1.0f) : WorldMatrix(parent);
}

glm::mat4 FrameGraph::ReferenceMatrix(FrameId frame, FrameId reference) const {
  return Valid(reference) ? WorldMatrix(reference) : ParentMatrix(frame);
}

void FrameGraph::ComputeWorldMatrices(std::vector<glm::mat4>& world) const {
  world.resize(frames_.size());
  for (int i = 0; i < size(); ++i) {
    FrameId parent = frames_[i].parent;
    world[i] = parent == kNoFrame ? LocalMatrix(i) : world[parent] * LocalMatrix(i);
  }
}

void FrameGraph::SetPosition(FrameId frame, FrameId reference, glm::vec3 position) {
  if (!Valid(frame)) return;
  glm::vec4 world = ReferenceMatrix(frame, reference) * glm::vec4(position, 1.0f);
  frames_[frame].position = glm::vec3(glm::inverse(ParentMatrix(frame)) * world);
}

void FrameGraph::SetWorldRotation(FrameId frame, glm::vec3 dir, glm::vec3 up) {
  glm::mat3 axes;
  if (!BuildAxes(dir, up, &axes)) {
    // `up` along `dir`: keep the frame's current up as well as possible instead.
    glm::mat3 current(WorldMatrix(frame));
    if (!BuildAxes(dir, current[1], &axes) && !BuildAxes(dir, current[0], &axes)) return;
  }
  // Frame rotations are orthonormal, so the parent's inverse turn is its transpose.
  frames_[frame].rotation = glm::transpose(glm::mat3(ParentMatrix(frame))) * axes;
}

void FrameGraph::SetOrientation(FrameId frame, FrameId reference, glm::vec3 dir, glm::vec3 up) {
  if (!Valid(frame) || glm::dot(dir, dir) < kTiny) return;
  glm::mat3 turn(ReferenceMatrix(frame, reference));
  SetWorldRotation(frame, turn * dir, turn * up);
}

void FrameGraph::LookAt(FrameId frame, FrameId target) {
  if (!Valid(frame) || !Valid(target)) return;
  glm::vec3 from(WorldMatrix(frame)[3]);
  glm::vec3 to(WorldMatrix(target)[3]);
  glm::vec3 dir = to - from;
  if (glm::dot(dir, dir) < kTiny) return;
  glm::vec3 up = glm::mat3(ParentMatrix(frame))[1];
  SetWorldRotation(frame, dir, up);
}

}  // namespace bf
