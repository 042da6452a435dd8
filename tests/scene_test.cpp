// How frames stand in the world: positions and turns relative to the parent, to the frame
// itself and to other frames, as the battle's camera, tanks, decoy and stars use them.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/gl/frame_graph.h"

namespace bf {
namespace {

constexpr float kNear = 1e-3f;

glm::vec3 Origin(const FrameGraph& g, FrameId f) {
  return glm::vec3(g.WorldMatrix(f)[3]);
}
glm::vec3 Axis(const FrameGraph& g, FrameId f, int axis) {
  return glm::vec3(g.WorldMatrix(f)[axis]);
}
// A point given in the frame's own coordinates, in the world.
glm::vec3 ToWorld(const FrameGraph& g, FrameId f, glm::vec3 p) {
  return glm::vec3(g.WorldMatrix(f) * glm::vec4(p, 1.0f));
}

void ExpectNear(glm::vec3 actual, glm::vec3 expected, float tolerance = kNear) {
  EXPECT_NEAR(actual.x, expected.x, tolerance) << "x";
  EXPECT_NEAR(actual.y, expected.y, tolerance) << "y";
  EXPECT_NEAR(actual.z, expected.z, tolerance) << "z";
}

// A frame graph with its root frame made.
struct FrameGraphTest : ::testing::Test {
  FrameGraph g{8};
  FrameId root = g.Create(kNoFrame);
};

TEST_F(FrameGraphTest, PositionRelativeToParentFollowsTheParentsTurnAndPlace) {
  FrameId parent = g.Create(root);
  FrameId child = g.Create(parent);
  g.SetPosition(parent, kNoFrame, {100, 0, 0});
  g.SetOrientation(parent, kNoFrame, {1, 0, 0}, {0, 1, 0});  // parent's +z is world +x
  g.SetPosition(child, kNoFrame, {0, 5, 10});
  ExpectNear(Origin(g, child), {110, 5, 0});
  EXPECT_EQ(g.Root(child), root);
}

TEST_F(FrameGraphTest, PositionRelativeToItselfMovesAlongItsOwnAxes) {
  FrameId camera = g.Create(root);
  g.SetPosition(camera, kNoFrame, {10, 20, 30});
  g.SetOrientation(camera, kNoFrame, {1, 0, 0}, {0, 1, 0});  // looks along world +x
  // The camera shake: a small step along the camera's own x, y and z.
  g.SetPosition(camera, camera, {-5, 4, 3});
  // Own +z = world +x, own +y = world +y, own +x = world -z.
  ExpectNear(Origin(g, camera), {13, 24, 35});
  ExpectNear(Axis(g, camera, 2), {1, 0, 0});
}

TEST_F(FrameGraphTest, PositionRelativeToAnotherFrameUsesThatFramesCoordinates) {
  FrameId tank = g.Create(root);
  FrameId decoy = g.Create(root);
  g.SetPosition(tank, kNoFrame, {-200, 0, 50});
  g.SetOrientation(tank, kNoFrame, {0, 0, -1}, {0, 1, 0});  // turned half round
  g.SetPosition(decoy, tank, {0, 0, 100});
  ExpectNear(Origin(g, decoy), {-200, 0, -50});
}

TEST_F(FrameGraphTest, OrientationKeepsThePositionAndBuildsAnUprightFrame) {
  FrameId camera = g.Create(root);
  g.SetPosition(camera, kNoFrame, {1, 2, 3});
  g.SetOrientation(camera, kNoFrame, {1, -0.2f, 1}, {0, 1, 0});
  ExpectNear(Origin(g, camera), {1, 2, 3});
  ExpectNear(Axis(g, camera, 2), glm::normalize(glm::vec3(1, -0.2f, 1)));
  // Left-handed: x = y cross z, and x stays level when up is the world's up.
  EXPECT_NEAR(Axis(g, camera, 0).y, 0.0f, kNear);
  ExpectNear(glm::cross(Axis(g, camera, 1), Axis(g, camera, 2)), Axis(g, camera, 0));
  EXPECT_GT(Axis(g, camera, 1).y, 0.9f);
}

TEST_F(FrameGraphTest, OrientationRelativeToAnotherFrameCopiesItsTurn) {
  FrameId tank = g.Create(root);
  FrameId decoy = g.Create(root);
  g.SetOrientation(tank, kNoFrame, {-0.6f, 0, -0.8f}, {0, 1, 0});
  g.SetPosition(decoy, kNoFrame, {300, 0, 300});
  g.SetOrientation(decoy, tank, {0, 0, 1}, {0, 1, 0});
  for (int axis = 0; axis < 3; ++axis) ExpectNear(Axis(g, decoy, axis), Axis(g, tank, axis));
  ExpectNear(Origin(g, decoy), {300, 0, 300});
}

TEST_F(FrameGraphTest, SpinRelativeToItselfTurnsAbout87DegreesPerCall) {
  FrameId item = g.Create(root);
  const float step = std::atan2(0.1f, 0.005f);  // from +z towards +x
  for (int call = 1; call <= 5; ++call) {
    g.SetOrientation(item, item, {0.1f, 0, 0.005f}, {0, 1, 0});
    float angle = step * call;
    ExpectNear(Axis(g, item, 2), {std::sin(angle), 0, std::cos(angle)});
    ExpectNear(Axis(g, item, 1), {0, 1, 0});
  }
  EXPECT_NEAR(glm::degrees(step), 87.1f, 0.1f);
}

TEST_F(FrameGraphTest, TankOrientedAgainstItsHeadingHasItsNoseAlongTheTravel) {
  // Tank models have their front towards -z; the tank frame's +z points backwards.
  for (int degrees : {0, 45, 90, 135, 235, 315}) {
    SCOPED_TRACE(degrees);
    FrameId tank = g.Create(root);
    float h = degrees * 3.14f / 180.0f;
    g.SetPosition(tank, kNoFrame, {100, 1, -40});
    g.SetOrientation(tank, kNoFrame, {-std::cos(h), 0, -std::sin(h)}, {0, 1, 0});
    glm::vec3 nose = ToWorld(g, tank, {0, 0, -10}) - Origin(g, tank);
    ExpectNear(nose, {10 * std::cos(h), 0, 10 * std::sin(h)});
  }
}

TEST_F(FrameGraphTest, LookAtTurnsZToTheTargetWithoutRoll) {
  struct Case {
    glm::vec3 from;
    glm::vec3 target;
  };
  const Case cases[] = {
      {{0, 250, 0}, {-750, 0, -750}},    // the overview camera over the field
      {{0, 250, 0}, {10, 0, 0}},         // nearly straight down
      {{50, 30, 50}, {-300, 120, 200}},  // a star turned to the camera
  };
  for (const Case& c : cases) {
    FrameId camera = g.Create(root);
    FrameId target = g.Create(root);
    g.SetOrientation(camera, kNoFrame, {0.3f, 0.2f, 1}, {0.5f, 1, 0});  // some roll to undo
    g.SetPosition(camera, kNoFrame, c.from);
    g.SetPosition(target, kNoFrame, c.target);
    g.LookAt(camera, target);
    ExpectNear(Axis(g, camera, 2), glm::normalize(c.target - c.from));
    EXPECT_NEAR(Axis(g, camera, 0).y, 0.0f, kNear) << "x axis must stay level";
    EXPECT_GT(Axis(g, camera, 1).y, 0.0f) << "y axis must point up";
    ExpectNear(Origin(g, camera), c.from);
  }
}

TEST_F(FrameGraphTest, LookAtUsesTheParentsUpForAChild) {
  FrameId tilted = g.Create(root);
  FrameId child = g.Create(tilted);
  FrameId target = g.Create(root);
  // The parent lies on its side: its +y is world +x.
  g.SetOrientation(tilted, kNoFrame, {0, 0, 1}, {1, 0, 0});
  g.SetPosition(target, kNoFrame, {0, 0, 100});
  g.LookAt(child, target);
  ExpectNear(Axis(g, child, 2), {0, 0, 1});
  ExpectNear(Axis(g, child, 1), {1, 0, 0});
}

TEST_F(FrameGraphTest, WorldMatricesInOnePassMatchTheWalkUpTheParents) {
  FrameId a = g.Create(root);
  FrameId b = g.Create(a);
  FrameId other = g.Create(kNoFrame);
  g.SetPosition(root, kNoFrame, {0, 2, 0});
  g.SetOrientation(a, kNoFrame, {1, 0, 1}, {0, 1, 0});
  g.SetPosition(a, kNoFrame, {5, 0, 0});
  g.SetPosition(b, kNoFrame, {0, 0, 7});
  g.SetPosition(other, kNoFrame, {9, 9, 9});
  std::vector<glm::mat4> world;
  g.ComputeWorldMatrices(world);
  ASSERT_EQ(world.size(), 4u);
  for (FrameId f : {root, a, b, other})
    for (int col = 0; col < 4; ++col)
      ExpectNear(glm::vec3(world[f][col]), glm::vec3(g.WorldMatrix(f)[col]));
  EXPECT_EQ(g.Root(b), root);
  EXPECT_EQ(g.Root(other), other);
}

TEST_F(FrameGraphTest, DegenerateRequestsLeaveTheFrameAsItWas) {
  FrameId f = g.Create(root);
  g.SetPosition(f, kNoFrame, {1, 2, 3});
  g.SetOrientation(f, kNoFrame, {0, 0, 0}, {0, 1, 0});  // no direction at all
  g.LookAt(f, f);                                       // looking at itself
  g.SetPosition(kNoFrame, kNoFrame, {5, 5, 5});         // no such frame
  ExpectNear(Axis(g, f, 2), {0, 0, 1});
  ExpectNear(Origin(g, f), {1, 2, 3});
  // Up along the direction: the frame keeps its own up instead.
  g.SetOrientation(f, kNoFrame, {0, 1, 0}, {0, 1, 0});
  ExpectNear(Axis(g, f, 2), {0, 1, 0});
  EXPECT_NEAR(glm::length(Axis(g, f, 0)), 1.0f, kNear);
}

}  // namespace
}  // namespace bf
