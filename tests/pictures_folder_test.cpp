#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/files/files.h"
#include "support/scoped_settings.h"
#include "support/temp_dir.h"

namespace bf {
namespace {

// Where F12 writes: the environment's folder first, then the desktop's list of folders, then
// ~/Pictures; a list that names the home itself, or no list, means ~/Pictures.
TEST(PicturesFolder, EnvironmentThenTheDesktopsListThenPictures) {
  const TempDir config;
  struct Case {
    const char* name;
    const char* environment;
    const char* listed;  // nullptr: no user-dirs.dirs
    std::string want;
  };
  const Case cases[] = {
      {"the environment's folder", "/srv/shots", "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n",
       "/srv/shots"},
      {"the desktop's list, $HOME spelled out", "",
       "# written by xdg-user-dirs-update\nXDG_PICTURES_DIR=\"$HOME/Bilder\"\n", "/home/p/Bilder"},
      {"a list naming the home itself", "", "XDG_PICTURES_DIR=\"$HOME/\"\n", "/home/p/Pictures"},
      {"no list", "", nullptr, "/home/p/Pictures"},
  };
  testing::ScopedEnv home("HOME", "/home/p");
  testing::ScopedEnv configHome("XDG_CONFIG_HOME", config.path());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::ScopedEnv pictures("XDG_PICTURES_DIR", c.environment);
    std::remove(config.File("user-dirs.dirs").c_str());
    if (c.listed != nullptr) config.Write("user-dirs.dirs", c.listed);
    EXPECT_EQ(PicturesFolder(), c.want);
  }
}

}  // namespace
}  // namespace bf
