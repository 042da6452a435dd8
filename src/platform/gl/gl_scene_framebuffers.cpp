// The view framebuffers: the device image that outlives each tick, the views' own targets drawn
// apart from it, and the copies that bring the device up to date.
#include <algorithm>

#include "platform/gl/gl_scene_local.h"

namespace bf {

// The device image lives in its own framebuffer, so it survives from one tick to the next and
// only a viewport's own rectangle is ever cleared.
bool GlScene::CreateDevice(std::string* error) {
  glGenRenderbuffers(1, &deviceDepth_);
  glBindRenderbuffer(GL_RENDERBUFFER, deviceDepth_);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, kDeviceWidth, kDeviceHeight);
  glGenFramebuffers(1, &framebuffer_);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, deviceDepth_);
  // Drawn in 16 bits like the screen it ends up on, which also halves what a clear writes and
  // lets the display copy it without conversion; 32 bits where a driver cannot.
  GLenum status = GL_FRAMEBUFFER_UNSUPPORTED;
  for (GLenum format : {GL_RGB565, GL_RGBA8}) {
    if (deviceColour_) glDeleteTextures(1, &deviceColour_);
    glGenTextures(1, &deviceColour_);
    glBindTexture(GL_TEXTURE_2D, deviceColour_);
    glTexImage2D(GL_TEXTURE_2D, 0, format, kDeviceWidth, kDeviceHeight, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, deviceColour_, 0);
    status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    if (status == GL_FRAMEBUFFER_COMPLETE) {
      device16Bit_ = format == GL_RGB565;
      break;
    }
  }
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  if (status != GL_FRAMEBUFFER_COMPLETE) {
    *error = "the 620 x 430 device framebuffer is incomplete";
    return false;
  }
  BlankDevice();
  return true;
}

// Views clear only their own rectangles: what lies between them (the dividers) and what no view
// has drawn yet must start black in every battle, not keep the last battle's picture.
void GlScene::BlankDevice() {
  for (ViewTarget& target : viewTargets_) target.pending = false;
  pendingCount_ = 0;
  viewTarget_ = -1;
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  glDisable(GL_SCISSOR_TEST);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glDepthMask(GL_TRUE);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

// The target standing for the current viewport, made when a slot is free; -1 when the view must
// be drawn on the device itself (every slot taken, as while the winner's view grows).
int GlScene::FindViewTarget() {
  for (int i = 0; i < kViewTargets; ++i) {
    ViewTarget& t = viewTargets_[i];
    if (t.framebuffer == 0) {
      t = {0, 0, 0, viewX_, viewY_, viewWidth_, viewHeight_, false};
      return CreateViewTarget(t) ? i : -1;
    }
    if (t.x == viewX_ && t.y == viewY_ && t.width == viewWidth_ && t.height == viewHeight_)
      return i;
  }
  return -1;
}

// False, with the slot kept taken so that it is not tried again, when the driver refuses it.
bool GlScene::CreateViewTarget(ViewTarget& target) {
  // From the device's bottom left corner to the view's top right one, and no more: all of it is
  // cleared for every view.
  const int width = std::clamp(target.x + target.width, 1, kDeviceWidth);
  const int height = std::clamp(kDeviceHeight - target.y, 1, kDeviceHeight);
  glGenTextures(1, &target.colour);
  glBindTexture(GL_TEXTURE_2D, target.colour);
  glTexImage2D(GL_TEXTURE_2D, 0, device16Bit_ ? GL_RGB565 : GL_RGBA8, width, height, 0, GL_RGBA,
               GL_UNSIGNED_BYTE, nullptr);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glGenRenderbuffers(1, &target.depth);
  glBindRenderbuffer(GL_RENDERBUFFER, target.depth);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
  glGenFramebuffers(1, &target.framebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target.colour, 0);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, target.depth);
  const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  if (!complete) target.width = target.height = 0;
  return complete;
}

void GlScene::ReleaseViewTargets() {
  for (ViewTarget& t : viewTargets_) {
    if (t.framebuffer) glDeleteFramebuffers(1, &t.framebuffer);
    if (t.colour) glDeleteTextures(1, &t.colour);
    if (t.depth) glDeleteRenderbuffers(1, &t.depth);
    t = ViewTarget();
  }
  pendingCount_ = 0;
  viewTarget_ = -1;
}

// Copies in drawing order, so that where two targets overlap the later view stays on top.
void GlScene::CopyViewsToDevice() {
  if (pendingCount_ == 0) return;
  glDisable(GL_SCISSOR_TEST);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer_);
  for (int i = 0; i < pendingCount_; ++i) {
    ViewTarget& t = viewTargets_[pendingOrder_[i]];
    const int glY = kDeviceHeight - t.y - t.height;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, t.framebuffer);
    glBlitFramebuffer(t.x, glY, t.x + t.width, glY + t.height, t.x, glY, t.x + t.width,
                      glY + t.height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    t.pending = false;
  }
  pendingCount_ = 0;
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

// Binds where the current viewport is drawn, with the viewport and scissor set for it.
void GlScene::BindViewFramebuffer() {
  if (viewTarget_ >= 0) {
    glBindFramebuffer(GL_FRAMEBUFFER, viewTargets_[viewTarget_].framebuffer);
  } else {
    // Straight onto the device: what the targets still hold must be there first.
    CopyViewsToDevice();
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  }
  // The device counts rows from the top, GL from the bottom.
  const int glY = kDeviceHeight - viewY_ - viewHeight_;
  glViewport(viewX_, glY, viewWidth_, viewHeight_);
  glEnable(GL_SCISSOR_TEST);
  glScissor(viewX_, glY, viewWidth_, viewHeight_);
}

// The current viewport's target now holds something the device has not got yet.
void GlScene::MarkViewDrawn() {
  if (viewTarget_ < 0 || viewTargets_[viewTarget_].pending) return;
  viewTargets_[viewTarget_].pending = true;
  pendingOrder_[pendingCount_++] = viewTarget_;
}

}  // namespace bf
