// Reading .x meshes and .bmp textures: materials, references, coordinates, and files that are
// missing or broken in every way we could think of, which must fail cleanly and never crash.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "platform/readers/image_file.h"
#include "platform/readers/x_mesh.h"
#include "support/offscreen_gl.h"
#include "support/x_files.h"

namespace bf {
namespace {

const std::string kDataDir = BF_TEST_DATA_DIR;

const MeshPart* PartAtZ(const MeshGeometry& mesh, float z) {
  for (const MeshPart& part : mesh.parts)
    if (part.count > 0 && mesh.vertices[part.first].position.z == z) return &part;
  return nullptr;
}

TEST(MeshFilesTest, MaterialReferencesResolveToTheNamedMaterial) {
  MeshGeometry mesh;
  std::string error;
  const std::string path = kDataDir + "/material_refs.x";
  ASSERT_TRUE(ReadXFile(path, &mesh, &error)) << error;
  ASSERT_EQ(mesh.parts.size(), 2u);
  // Face 0 (at z = 0) uses the first list entry, {Blue}; face 1 (z = 5) uses { Red }.
  const MeshPart* blue = PartAtZ(mesh, 0.0f);
  const MeshPart* red = PartAtZ(mesh, 5.0f);
  ASSERT_TRUE(blue && red);
  EXPECT_EQ(blue->diffuse, glm::vec4(0, 0, 1, 1));
  EXPECT_EQ(blue->emissive, glm::vec3(0, 0.5f, 0));
  EXPECT_EQ(blue->texturePath, kDataDir + "/../pictures/blue.bmp");
  EXPECT_EQ(red->diffuse, glm::vec4(1, 0, 0, 1));
  EXPECT_EQ(red->texturePath, "");
  // The frame transform is baked in.
  for (const MeshVertex& v : mesh.vertices) EXPECT_GE(v.position.x, 100.0f);
}

TEST(MeshFilesTest, PreparingInlinesOnlyReferencesInsideMaterialLists) {
  std::string text =
      "xof 0302txt 0032\nMaterial A { 1;0;0;1;; 0; 0;0;0;; 0;0;0;; }\n"
      "Frame F { { SomeMesh } Mesh M { 0;; 0;; MeshMaterialList { 1; 0;; {A} } } }\n";
  std::string error;
  ASSERT_TRUE(PrepareTextXFile(&text, &error)) << error;
  EXPECT_NE(text.find("{ SomeMesh }"), std::string::npos);
  EXPECT_EQ(text.find("{A}"), std::string::npos);
  EXPECT_NE(text.find("Material { 1;0;0;1;; 0; 0;0;0;; 0;0;0;; }"), std::string::npos);

  std::string unknown = "xof 0302txt 0032\nMesh M { 0;; 0;; MeshMaterialList { 1; 0;; {Nope} } }\n";
  EXPECT_FALSE(PrepareTextXFile(&unknown, &error));
  EXPECT_NE(error.find("Nope"), std::string::npos);
}

TEST(MeshFilesTest, TextureNamesResolveBesideTheMeshFile) {
  EXPECT_EQ(ResolveTexturePath("build/bin/model/net.x", "..\\net.bmp"),
            "build/bin/model/../net.bmp");
  EXPECT_EQ(ResolveTexturePath("model/star.x", "star.bmp"), "model/star.bmp");
  EXPECT_EQ(ResolveTexturePath("star.x", "pics\\star.bmp"), "pics/star.bmp");
  EXPECT_EQ(ResolveTexturePath("model/a.x", "/abs/t.bmp"), "/abs/t.bmp");
}

TEST(MeshFilesTest, BoxesKeepTheFilesLeftHandedCoordinatesAndFaceOutwards) {
  TempDir dir;
  const std::string path =
      dir.Write("box.x", BoxesToX({Box({-10, 0, 20}, {10, 5, 60}, {0.5f, 0.25f, 1, 1})}));
  MeshGeometry mesh;
  std::string error;
  ASSERT_TRUE(ReadXFile(path, &mesh, &error)) << error;
  ASSERT_EQ(mesh.vertices.size(), 36u);  // six quads, two triangles each
  glm::vec3 centre(0, 2.5f, 40);
  for (std::size_t t = 0; t < mesh.vertices.size(); t += 3) {
    const glm::vec3 a = mesh.vertices[t].position, b = mesh.vertices[t + 1].position,
                    c = mesh.vertices[t + 2].position;
    EXPECT_GE(std::min({a.z, b.z, c.z}), 20.0f) << "z must not be mirrored";
    // Clockwise seen from outside: in left-handed space the cross product points outward,
    // and so does the file's normal.
    glm::vec3 faceNormal = glm::cross(b - a, c - a);
    glm::vec3 outward = (a + b + c) / 3.0f - centre;
    EXPECT_GT(glm::dot(faceNormal, outward), 0.0f) << "triangle " << t / 3;
    EXPECT_GT(glm::dot(mesh.vertices[t].normal, outward), 0.0f) << "triangle " << t / 3;
  }
  EXPECT_EQ(mesh.parts[0].diffuse, glm::vec4(0.5f, 0.25f, 1, 1));
  EXPECT_NEAR(mesh.boundsRadius, glm::length(glm::vec3(10, 2.5f, 20)), 1e-3f);
}

TEST(MeshFilesTest, MissingNormalsAreMadeUp) {
  TempDir dir;
  const std::string path =
      dir.Write("tri.x", "xof 0302txt 0032\nMesh T { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3;0,1,2;; }\n");
  MeshGeometry mesh;
  std::string error;
  ASSERT_TRUE(ReadXFile(path, &mesh, &error)) << error;
  ASSERT_EQ(mesh.vertices.size(), 3u);
  // Clockwise (0,0,0) (0,1,0) (1,0,0) faces -z in left-handed space.
  EXPECT_NEAR(mesh.vertices[0].normal.z, -1.0f, 1e-4f);
}

// Asserts that reading failed with a message that names the file.
void ExpectCleanFailure(bool ok, const std::string& error, const std::string& path,
                        const std::string& what) {
  EXPECT_FALSE(ok) << what;
  EXPECT_NE(error.find(path), std::string::npos) << what << ": " << error;
  EXPECT_EQ(error.find('\n'), std::string::npos) << what << ": " << error;
}

std::string GoodModel() {
  return BoxesToX({Box({-10, 0, -30}, {10, 8, 30}, {0, 1, 0, 1}, "..\\skin.bmp"),
                   Box({-4, 0, -40}, {4, 4, -30}, {1, 0, 0, 1})});
}

TEST(MeshFilesTest, BrokenModelFilesFailCleanly) {
  TempDir dir;
  const std::string good = GoodModel();
  const std::string path = dir.path() + "/broken.x";
  auto read = [&](const std::string& bytes, bool* ok, std::string* error) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    MeshGeometry mesh;
    *ok = ReadXFile(path, &mesh, error);
    if (*ok) {
      EXPECT_FALSE(mesh.vertices.empty());
      for (const MeshPart& part : mesh.parts)
        EXPECT_LE(static_cast<std::size_t>(part.first + part.count), mesh.vertices.size());
    }
  };
  bool ok = false;
  std::string error;
  read(good, &ok, &error);
  ASSERT_TRUE(ok) << error;

  // Every truncation loses at least the last closing brace.
  for (std::size_t length = 0; length + 2 < good.size(); length += 5) {
    read(good.substr(0, length), &ok, &error);
    ExpectCleanFailure(ok, error, path, "truncated to " + std::to_string(length));
  }
  // Flipped bytes may still read (a digit changed); they must never crash.
  for (std::size_t at = 0; at < good.size(); at += 7) {
    std::string bytes = good;
    bytes[at] = static_cast<char>(bytes[at] ^ (at % 2 ? 0x20 : 0xFF));
    error.clear();
    read(bytes, &ok, &error);
    if (!ok) {
      EXPECT_NE(error.find(path), std::string::npos) << error;
    }
  }
  const std::pair<std::string, std::string> rewrites[] = {
      {"xof 0302txt 0032", "xof 0302bin 0032"},  // text read as binary
      {"xof 0302txt 0032", "xof 0302zip 0032"},
      {"xof 0302txt 0032", "xof 0302tzip0032"},  // compressed
      {"xof 0302txt 0032", "xof 0302bzip0032"},
      {"xof 0302txt 0032", "BM6\x01\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00(\x00"},
      {"48;", "4000000000;"},  // absurd vertex count
      {"48;", "99999999999999999999999;"},
      {"48;", "2000000;"},
      {"12;", "3000000;"},                // absurd face count
      {"  2;", "  99999;"},               // absurd material count
      {"4;0,1,2,3;", "4;0,1,2,300000;"},  // index far past the vertices
  };
  for (const auto& [from, to] : rewrites) {
    std::string bytes = good;
    std::size_t at = bytes.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    bytes.replace(at, from.size(), to);
    read(bytes, &ok, &error);
    ExpectCleanFailure(ok, error, path, "rewritten " + from + " -> " + to);
  }
  MeshGeometry mesh;
  ExpectCleanFailure(ReadXFile(dir.path() + "/absent.x", &mesh, &error), error,
                     dir.path() + "/absent.x", "missing file");
  read("", &ok, &error);
  ExpectCleanFailure(ok, error, path, "empty file");
}

// The importer reads nested frames recursively and a deep enough file runs it out of stack;
// nesting far deeper than any model needs still reads.
TEST(MeshFilesTest, NestingIsLimitedWellBelowWhatCrashesTheImporter) {
  TempDir dir;
  const std::string good = GoodModel();
  const std::string header = good.substr(0, 16);
  for (const auto& [depth, readable] : {std::pair{200, true}, std::pair{40000, false}}) {
    SCOPED_TRACE(depth);
    std::string text = header;
    for (int i = 0; i < depth; ++i) text += "Frame f {\n";
    text += good.substr(16);
    for (int i = 0; i < depth; ++i) text += "}\n";
    const std::string path = dir.Write("nested.x", text);
    MeshGeometry mesh;
    std::string error;
    if (readable) {
      EXPECT_TRUE(ReadXFile(path, &mesh, &error)) << error;
    } else {
      ExpectCleanFailure(ReadXFile(path, &mesh, &error), error, path, "nested");
    }
  }
}

// A valid model may still cost minutes or gigabytes: polygons of thousands of corners take the
// importer seconds each to cut into triangles, and hundreds of thousands of triangles take
// seconds to draw every tick. The check before the importer counts corners, vertices, normals
// and triangles (once cut) over all of the file's meshes; what lies at a limit passes.
TEST(MeshFilesTest, CornersVerticesAndTrianglesAreLimitedBeforeTheImporter) {
  struct Case {
    const char* what;
    XPolygons shape;     // meshes, vertices, faces, corners, normals
    const char* reason;  // nullptr: it passes
  };
  const Case cases[] = {
      {"a face of 64 corners", {1, 64, 1, 64, 0}, nullptr},
      {"a face of 65 corners",
       {1, 65, 1, 65, 0},
       "face 0 has 65 corners, more than a face may have (64)"},
      {"a normals face of 65 corners", {1, 65, 1, 65, 1}, "face 0 has 65 corners"},
      {"200,000 triangles in 52-gons", {1, 52, 4000, 52, 0}, nullptr},
      {"200,001 triangles",
       {1, 3, 200001, 3, 0},
       "200001 triangles, more than a model may have (200000)"},
      {"200,001 triangles in pentagons", {1, 5, 66667, 5, 0}, "200001 triangles"},
      {"100,001 triangles twice", {2, 3, 100001, 3, 0}, "200002 triangles"},
      {"600,001 vertices",
       {1, 600001, 1, 3, 0},
       "600001 vertices, more than a model may have (600000)"},
      {"300,001 vertices twice", {2, 300001, 1, 3, 0}, "600002 vertices"},
      {"300,001 normals twice", {2, 3, 1, 3, 300001}, "600002 normals"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string text = PolygonsToX(c.shape);
    std::string error;
    EXPECT_EQ(PrepareTextXFile(&text, &error), c.reason == nullptr) << error;
    if (c.reason != nullptr) {
      EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
  }
  // Through the reader: a polygon at the limit becomes its triangles, one past it names the file.
  TempDir dir;
  MeshGeometry mesh;
  std::string error;
  ASSERT_TRUE(ReadXFile(dir.Write("64.x", PolygonsToX({1, 64, 1, 64, 0})), &mesh, &error)) << error;
  EXPECT_EQ(mesh.vertices.size(), 62u * 3);
  const std::string path = dir.Write("65.x", PolygonsToX({1, 65, 1, 65, 0}));
  ExpectCleanFailure(ReadXFile(path, &mesh, &error), error, path, "65 corners");
}

TEST(MeshFilesTest, BitmapsReadTopRowFirst) {
  TempDir dir;
  std::vector<std::uint8_t> rgb = {255, 0, 0,   0, 255, 0,   // top row: red, green
                                   0,   0, 255, 0, 0,   0};  // bottom row: blue, black
  const std::string path = dir.Write("t.bmp", MakeBmp(2, 2, rgb));
  RgbaImage image;
  std::string error;
  ASSERT_TRUE(ReadBmpFile(path, &image, &error)) << error;
  ASSERT_EQ(image.width, 2);
  ASSERT_EQ(image.height, 2);
  const std::vector<std::uint8_t> expected = {255, 0, 0,   255, 0, 255, 0, 255,
                                              0,   0, 255, 255, 0, 0,   0, 255};
  EXPECT_EQ(image.rgba, expected);
}

// A run-length encoded picture of a few bytes can still decode to millions of pixels, held
// three times over on the way to a texture: the header's size is checked before that.
TEST(MeshFilesTest, BitmapsAreLimitedInPixelsBeforeTheyAreDecoded) {
  TempDir dir;
  RgbaImage image;
  std::string error;
  ASSERT_TRUE(ReadBmpFile(dir.Write("at.bmp", MakeRleBmp(2048, 2048)), &image, &error)) << error;
  EXPECT_EQ(image.width * image.height, 2048 * 2048);
  for (const auto& [width, height] : {std::pair{2049, 2048}, std::pair{4096, 4096}}) {
    const std::string path = dir.Write("past.bmp", MakeRleBmp(width, height));
    ExpectCleanFailure(ReadBmpFile(path, &image, &error), error, path, "past the limit");
    EXPECT_NE(error.find(std::to_string(width) + " x " + std::to_string(height) +
                         " pixels, more than a texture may have (4194304)"),
              std::string::npos)
        << error;
  }
}

TEST(MeshFilesTest, BrokenBitmapsFailCleanly) {
  TempDir dir;
  std::vector<std::uint8_t> rgb(16 * 8 * 3);
  for (std::size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<std::uint8_t>(i * 7);
  const std::string good = MakeBmp(16, 8, rgb);
  const std::string path = dir.path() + "/broken.bmp";
  auto read = [&](const std::string& bytes, std::string* error) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    RgbaImage image;
    bool ok = ReadBmpFile(path, &image, error);
    if (ok) {
      EXPECT_EQ(image.rgba.size(), static_cast<std::size_t>(image.width) * image.height * 4);
    }
    return ok;
  };
  std::string error;
  ASSERT_TRUE(read(good, &error)) << error;
  // Cutting into the header or the pixels must fail.
  for (std::size_t length = 0; length < good.size(); length += 7)
    ExpectCleanFailure(read(good.substr(0, length), &error), error, path,
                       "truncated to " + std::to_string(length));
  for (std::size_t at = 0; at < 54; ++at) {
    std::string bytes = good;
    bytes[at] = static_cast<char>(bytes[at] ^ 0xFF);
    if (!read(bytes, &error)) {
      EXPECT_NE(error.find(path), std::string::npos) << error;
    }
  }
  auto withWord = [&](int at, std::uint32_t value) {
    std::string bytes = good;
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 255);
    return bytes;
  };
  const std::pair<std::string, std::string> cases[] = {
      {"width 2^31-1", withWord(18, 0x7FFFFFFF)},
      {"height 2^31-1", withWord(22, 0x7FFFFFFF)},
      {"width 0", withWord(18, 0)},
      {"width 100000", withWord(18, 100000)},
      {"pixel data beyond the end", withWord(10, 0x7FFFFFF0)},
      {"not a bitmap", "xof 0302txt 0032" + good.substr(16)},
  };
  for (const auto& [what, bytes] : cases)
    ExpectCleanFailure(read(bytes, &error), error, path, what);
  RgbaImage image;
  ExpectCleanFailure(ReadBmpFile(dir.path() + "/absent.bmp", &image, &error), error,
                     dir.path() + "/absent.bmp", "missing file");
}

}  // namespace
}  // namespace bf
