#pragma once

#include <string>

namespace bf {

// A directory of its own under the system's temporary directory, removed with the object.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& path() const { return path_; }
  // The path of a file in the directory, `name` relative to it; its folders are made.
  std::string File(const std::string& name) const;
  // Writes `text` to a file in the directory and returns its path.
  std::string Write(const std::string& name, const std::string& text) const;

 private:
  std::string path_;
};

}  // namespace bf
