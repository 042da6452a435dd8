#pragma once
// GlScene's machinery, shared by its files and by nobody else: the records of meshes, textures,
// visuals and lights. Kept out of gl_scene.h so that its users see only the class's face.
#include <epoxy/gl.h>

#include <glm/glm.hpp>
#include <vector>

#include "platform/gl/gl_scene.h"

namespace bf {

// A field whose half-height at distance 1 is 0.5: about 53 degrees from top to bottom.
constexpr float kHalfFieldHeight = 0.5f;

struct GlScene::Geometry {  // one .x file, uploaded once
  GLuint vao = 0;
  GLuint vbo = 0;  // every distinct vertex once, so the renderer shades a shared one once
  GLuint ibo = 0;  // the triangles, as indices into vbo, in the file's order
  // A stretch of consecutive triangles with the sphere around them. A view draws only the
  // chunks it can see, still in the file's order, so nothing it shows changes.
  struct Chunk {
    GLint firstIndex;
    GLsizei indexCount;
    glm::vec3 centre;
    float radius;
  };
  // Chunks sharing one texture; the material colours travel with the vertices, so a mesh
  // takes one draw per texture (and per gap left by a chunk out of view), not per material.
  struct Run {
    int firstChunk;
    int endChunk;
    int texture;  // index into textures_, -1 = none
  };
  std::vector<Chunk> chunks;
  std::vector<Run> runs;
  glm::vec3 boundsCentre{0.0f};
  float boundsRadius = 0.0f;
};

struct GlScene::Texture {  // one .bmp file, uploaded once; id 0 when it could not be read
  GLuint id = 0;
};

struct GlScene::Builder {
  int geometry = -1;
  glm::vec3 scale{1.0f};
  TextureId texture = kNoTexture;  // overrides every material's texture
  float opacity = 1.0f;            // below 1: drawn see-through, after the solid meshes
  float smallestOnScreen = 0.0f;   // fraction of the view's height it never shrinks below
};

struct GlScene::TextureHandle {
  int texture = -1;
  bool blackTransparent = false;
};

struct GlScene::Visual {
  FrameId frame;
  MeshId mesh;
};

struct GlScene::Light {
  FrameId frame;
  LightType type;
  glm::vec3 colour;
};

}  // namespace bf
