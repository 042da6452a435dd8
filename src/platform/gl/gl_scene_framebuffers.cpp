// The view framebuffers: the device image that outlives each tick, the views' target they are
// drawn in apart from it, and the copies that bring the device up to date.
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
  views_.pendingCount = 0;
  inViewsTarget_ = false;
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  glDisable(GL_SCISSOR_TEST);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glDepthMask(GL_TRUE);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

// False, and never tried again, when the driver refuses it.
bool GlScene::CreateViewsTarget() {
  glGenTextures(1, &views_.colour);
  glBindTexture(GL_TEXTURE_2D, views_.colour);
  glTexImage2D(GL_TEXTURE_2D, 0, device16Bit_ ? GL_RGB565 : GL_RGBA8, kDeviceWidth, kDeviceHeight,
               0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glGenRenderbuffers(1, &views_.depth);
  glBindRenderbuffer(GL_RENDERBUFFER, views_.depth);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, kDeviceWidth, kDeviceHeight);
  glGenFramebuffers(1, &views_.framebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, views_.framebuffer);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, views_.colour, 0);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, views_.depth);
  views_.refused = glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE;
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  return !views_.refused;
}

bool GlScene::OverlapsPendingView() const {
  for (int i = 0; i < views_.pendingCount; ++i) {
    const ViewRect& r = views_.pending[i];
    if (viewX_ < r.x + r.width && r.x < viewX_ + viewWidth_ && viewY_ < r.y + r.height &&
        r.y < viewY_ + viewHeight_)
      return true;
  }
  return false;
}

// Makes the current viewport's rectangle of the views target clear in `colour`: it still is
// when the target was cleared in that colour and no view drawn since covers any of it; else the
// views waiting there are copied onto the device and the whole target is cleared again. False
// when the views must be drawn on the device itself.
bool GlScene::ClearInViewsTarget(const glm::vec3& colour) {
  if (views_.refused || (views_.framebuffer == 0 && !CreateViewsTarget())) return false;
  if (views_.pendingCount > 0 && (colour != views_.clearColour || OverlapsPendingView()))
    CopyViewsToDevice();
  if (views_.pendingCount > 0) return true;
  glBindFramebuffer(GL_FRAMEBUFFER, views_.framebuffer);
  glDisable(GL_SCISSOR_TEST);
  glClearColor(colour.r, colour.g, colour.b, 1.0f);
  glDepthMask(GL_TRUE);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  views_.clearColour = colour;
  return true;
}

void GlScene::ReleaseViewsTarget() {
  if (views_.framebuffer) glDeleteFramebuffers(1, &views_.framebuffer);
  if (views_.colour) glDeleteTextures(1, &views_.colour);
  if (views_.depth) glDeleteRenderbuffers(1, &views_.depth);
  views_ = ViewsTarget();
  inViewsTarget_ = false;
}

// Copies in drawing order, so that where two views overlap the later one stays on top.
void GlScene::CopyViewsToDevice() {
  if (views_.pendingCount == 0) return;
  glDisable(GL_SCISSOR_TEST);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer_);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, views_.framebuffer);
  for (int i = 0; i < views_.pendingCount; ++i) {
    const ViewRect& r = views_.pending[i];
    const int glY = kDeviceHeight - r.y - r.height;
    glBlitFramebuffer(r.x, glY, r.x + r.width, glY + r.height, r.x, glY, r.x + r.width,
                      glY + r.height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
  }
  views_.pendingCount = 0;
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

// Binds where the current viewport is drawn, with the viewport and scissor set for it.
void GlScene::BindViewFramebuffer() {
  if (inViewsTarget_) {
    glBindFramebuffer(GL_FRAMEBUFFER, views_.framebuffer);
  } else {
    // Straight onto the device: the views waiting in the target must be there first.
    CopyViewsToDevice();
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  }
  // The device counts rows from the top, GL from the bottom.
  const int glY = kDeviceHeight - viewY_ - viewHeight_;
  glViewport(viewX_, glY, viewWidth_, viewHeight_);
  glEnable(GL_SCISSOR_TEST);
  glScissor(viewX_, glY, viewWidth_, viewHeight_);
}

// The current viewport's rectangle of the views target now holds something the device has not
// got yet.
void GlScene::MarkViewDrawn() {
  if (!inViewsTarget_) return;
  const int n = views_.pendingCount;
  const ViewRect here{viewX_, viewY_, viewWidth_, viewHeight_};
  if (n > 0) {
    const ViewRect& last = views_.pending[n - 1];
    if (last.x == here.x && last.y == here.y && last.width == here.width &&
        last.height == here.height)
      return;
  }
  if (n == kMaxPendingViews) CopyViewsToDevice();  // the target keeps what this view drew
  views_.pending[views_.pendingCount++] = here;
}

}  // namespace bf
