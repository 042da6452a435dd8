#include "platform/files.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace bf {

namespace {

std::filesystem::path ExecutableDir() {
  char path[4096];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return ".";
  return std::filesystem::path(std::string(path, static_cast<std::size_t>(length))).parent_path();
}

}  // namespace

std::string AssetDir() {
  const std::filesystem::path exeDir = ExecutableDir();
  // The build passes where an installation puts the data, relative to the executables (or
  // absolute where the installation chose absolute paths).
  const std::filesystem::path dataDir = (exeDir / BF_DATA_DIR_FROM_BIN).lexically_normal();
  std::error_code error;
  return (std::filesystem::is_directory(dataDir, error) ? dataDir : exeDir).string();
}

bool WritePng(const std::string& path, int width, int height, const std::uint8_t* rgb) {
  return stbi_write_png(path.c_str(), width, height, 3, rgb, width * 3) != 0;
}

bool ReadTextFile(const std::string& path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  *text = buffer.str();
  return !in.bad();
}

}  // namespace bf
