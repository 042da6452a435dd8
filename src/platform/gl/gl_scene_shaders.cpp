// The scene's shader programs, one for each lighting and material variant, and the lights they are
// given for each view.
#include <glm/gtc/type_ptr.hpp>

#include "platform/gl/gl_program.h"
#include "platform/gl/gl_scene_local.h"

namespace bf {
namespace {

constexpr int kMaxPointLights = 8;

// Gouraud shading: the light is worked out per vertex in world space, without attenuation, and
// each channel is clamped after lighting so that lights brighter than 1 saturate. A scene lit by
// exactly one point light (every stage is) gets a variant with the count fixed, which the
// software renderer unrolls: its loop over a uniform count cost a tenth of a rendered tick.
const char* kSceneVertexShader = R"(
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec2 aUv;
layout(location = 3) in vec4 aDiffuse;
layout(location = 4) in vec3 aEmissive;
uniform mat4 uModel;
uniform mat3 uNormalMatrix;
uniform mat4 uViewProjection;
uniform vec3 uAmbient;
uniform int uPointCount;
uniform vec3 uPointPosition[8];
uniform vec3 uPointColour[8];
uniform vec3 uEye;
uniform float uPull;
out vec4 vColour;
out vec2 vUv;
void main() {
  vec4 world = uModel * vec4(aPosition, 1.0);
  // A silhouette is drawn pulled towards the eye, so that only scenery well in front of the
  // object hides it, and without its lowest 15 units: the wheels and legs that sink into uneven
  // ground (the desert's sand) are not hidden by walls.
  gl_ClipDistance[0] = uPull > 0.0 ? world.y - 15.0 : 1.0;
  if (uPull > 0.0) world.xyz += normalize(uEye - world.xyz) * uPull;
  vec3 normal = uNormalMatrix * aNormal;
  float length2 = dot(normal, normal);
  normal = length2 > 0.0 ? normal * inversesqrt(length2) : vec3(0.0);
  vec3 light = uAmbient;
#if ONE_POINT_LIGHT
  const int pointCount = 1;
#else
  int pointCount = uPointCount;
#endif
  for (int i = 0; i < pointCount; ++i) {
    vec3 toLight = uPointPosition[i] - world.xyz;
    float distance2 = dot(toLight, toLight);
    if (distance2 > 0.0)
      light += uPointColour[i] * max(0.0, dot(normal, toLight * inversesqrt(distance2)));
  }
  vColour = vec4(clamp(aDiffuse.rgb * light + aEmissive, 0.0, 1.0), aDiffuse.a);
  vUv = aUv;
  gl_Position = uViewProjection * world;
}
)";

// Three variants: plain colour, textured, and textured with black texels cut out. Only the
// last one discards, which keeps the early depth test of the others intact.
const char* kSceneFragmentShader = R"(
in vec4 vColour;
in vec2 vUv;
uniform sampler2D uTexture;
uniform vec4 uTint;
uniform float uOpacity;
out vec4 fragColour;
void main() {
  vec3 colour = vColour.rgb;
#if TEXTURED
  vec3 texel = texture(uTexture, vUv).rgb;
#if CUTOUT
  if (texel == vec3(0.0)) discard;
#endif
  colour *= texel;
#endif
  // A silhouette is one flat colour.
  if (uTint.a > 0.0) colour = uTint.rgb;
  fragColour = vec4(colour, uOpacity);
}
)";

const char* kLightingDefines[] = {
    "#version 330 core\n#define ONE_POINT_LIGHT 0\n",
    "#version 330 core\n#define ONE_POINT_LIGHT 1\n",
};
const char* kFragmentVariants[] = {
    "#version 330 core\n#define TEXTURED 0\n#define CUTOUT 0\n",
    "#version 330 core\n#define TEXTURED 1\n#define CUTOUT 0\n",
    "#version 330 core\n#define TEXTURED 1\n#define CUTOUT 1\n",
};
const char* kVariantNames[] = {"scene", "scene textured", "scene cut out"};

}  // namespace

bool GlScene::BuildSceneProgram(Lighting lighting, ProgramVariant variant, std::string* error) {
  const std::string vertex = std::string(kLightingDefines[lighting]) + kSceneVertexShader;
  const std::string fragment = std::string(kFragmentVariants[variant]) + kSceneFragmentShader;
  GLuint id = BuildProgram(kVariantNames[variant], vertex.c_str(), fragment.c_str(), error);
  if (!id) return false;
  Program& p = programs_[lighting][variant];
  p.id = id;
  p.model = glGetUniformLocation(id, "uModel");
  p.normalMatrix = glGetUniformLocation(id, "uNormalMatrix");
  p.viewProjection = glGetUniformLocation(id, "uViewProjection");
  p.ambient = glGetUniformLocation(id, "uAmbient");
  p.pointCount = glGetUniformLocation(id, "uPointCount");
  p.pointPosition = glGetUniformLocation(id, "uPointPosition");
  p.pointColour = glGetUniformLocation(id, "uPointColour");
  p.sampler = glGetUniformLocation(id, "uTexture");
  p.tint = glGetUniformLocation(id, "uTint");
  p.opacity = glGetUniformLocation(id, "uOpacity");
  p.eye = glGetUniformLocation(id, "uEye");
  p.pull = glGetUniformLocation(id, "uPull");
  glUseProgram(id);
  glUniform4f(p.tint, 0, 0, 0, 0);
  glUniform1f(p.opacity, 1);
  glUniform1f(p.pull, 0);
  return true;
}

void GlScene::SetTint(const glm::vec4& tint, float pull) {
  for (const Program& p : programs_[lighting_]) {
    glUseProgram(p.id);
    glUniform4fv(p.tint, 1, glm::value_ptr(tint));
    glUniform1f(p.pull, pull);
  }
  currentProgram_ = -1;
}

void GlScene::SetDrawOpacity(float opacity) {
  for (const Program& p : programs_[lighting_]) {
    glUseProgram(p.id);
    glUniform1f(p.opacity, opacity);
  }
  currentProgram_ = -1;
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
  lighting_ = points == 1 ? kOnePointLight : kAnyLights;
  for (const Program& p : programs_[lighting_]) {
    glUseProgram(p.id);
    glUniform3fv(p.ambient, 1, glm::value_ptr(ambient));
    glUniform1i(p.pointCount, points);
    if (points > 0) {
      glUniform3fv(p.pointPosition, points, glm::value_ptr(positions[0]));
      glUniform3fv(p.pointColour, points, glm::value_ptr(colours[0]));
    }
  }
}

}  // namespace bf
