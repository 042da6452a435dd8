#include "support/temp_dir.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>

namespace bf {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "bf-test-XXXXXX").string();
  if (mkdtemp(pattern.data())) path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::File(const std::string& name) const {
  std::string file = path_ + "/" + name;
  std::filesystem::create_directories(std::filesystem::path(file).parent_path());
  return file;
}

std::string TempDir::Write(const std::string& name, const std::string& text) const {
  std::string file = File(name);
  std::ofstream(file, std::ios::binary) << text;
  return file;
}

}  // namespace bf
