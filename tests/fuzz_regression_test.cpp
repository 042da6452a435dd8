// Replays through the fuzzers' own entry points the inputs they once broke the readers with, and
// the seeds they start from: every crash input is read without a crash and rejected, every seed
// is still accepted.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "fuzz_entry.h"

namespace bf {
namespace {

namespace fs = std::filesystem;

using Reader = bool (*)(const std::uint8_t*, std::size_t);

struct Target {
  const char* name;
  Reader read;
};

void PrintTo(const Target& target, std::ostream* out) {
  *out << target.name;
}

const Target kTargets[] = {
    {"x_mesh", fuzz::ReadXBytes},       {"bmp", fuzz::ReadBmpBytes},
    {"wav", fuzz::ReadWaveBytes},       {"script", fuzz::ParseScriptBytes},
    {"replay", fuzz::ParseReplayBytes},
};

std::vector<fs::path> FilesIn(const fs::path& dir) {
  std::vector<fs::path> files;
  if (fs::is_directory(dir))
    for (const fs::directory_entry& entry : fs::directory_iterator(dir))
      if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Read(const Target& target, const std::string& bytes) {
  return target.read(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

class FuzzRegression : public testing::TestWithParam<Target> {
 protected:
  // The audio tests must not find the wav reader's mixer open.
  void TearDown() override { fuzz::CloseSilentMixer(); }
};

TEST_P(FuzzRegression, SeedsAreAccepted) {
  const std::vector<fs::path> seeds = FilesIn(fs::path(BF_FUZZ_CORPUS_DIR) / GetParam().name);
  ASSERT_FALSE(seeds.empty());
  for (const fs::path& seed : seeds) EXPECT_TRUE(Read(GetParam(), ReadBytes(seed))) << seed;
}

TEST_P(FuzzRegression, FoundInputsAreRejectedWithoutACrash) {
  const std::vector<fs::path> found =
      FilesIn(fs::path(BF_TEST_DATA_DIR) / "fuzz" / GetParam().name);
  if (found.empty()) GTEST_SKIP() << "the fuzzer has found nothing in this reader";
  for (const fs::path& input : found) EXPECT_FALSE(Read(GetParam(), ReadBytes(input))) << input;
}

INSTANTIATE_TEST_SUITE_P(Readers, FuzzRegression, testing::ValuesIn(kTargets),
                         [](const testing::TestParamInfo<Target>& target) {
                           return std::string(target.param.name);
                         });

}  // namespace
}  // namespace bf
