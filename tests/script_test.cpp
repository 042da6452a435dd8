#include "platform/headless/script.h"

#include <gtest/gtest.h>

namespace bf {
namespace {

TEST(Script, ParsesEveryKindOfLine) {
  Script script;
  std::string error;
  ASSERT_TRUE(
      ParseScript("# a comment\n"
                  "joysticks 4\n"
                  "\n"
                  "5 down 39\n"
                  "5 down 17 2   # Ctrl\n"
                  "7 up 39 0\n"
                  "9 joy 1 0 65535 3\n"
                  "10 joy 3 65535 0 64\n"
                  "11 start 2\n"
                  "12 close\n",
                  &script, &error))
      << error;
  EXPECT_EQ(script.joysticks, 4);
  ASSERT_EQ(script.events.size(), 7u);
  EXPECT_EQ(script.events[0].kind, ScriptEvent::Kind::kKeyDown);
  EXPECT_EQ(script.events[0].keyCode, 39);
  EXPECT_EQ(script.events[0].mask, 0);
  EXPECT_EQ(script.events[1].mask, 2);
  EXPECT_EQ(script.events[2].kind, ScriptEvent::Kind::kKeyUp);
  EXPECT_EQ(script.events[3].joystick, 1);
  EXPECT_EQ(script.events[3].y, 65535u);
  EXPECT_EQ(script.events[3].buttons, 3u);
  EXPECT_EQ(script.events[4].joystick, 3);
  EXPECT_EQ(script.events[4].buttons, 64u);
  EXPECT_EQ(script.events[5].kind, ScriptEvent::Kind::kStart);
  EXPECT_EQ(script.events[5].joystick, 2);
  EXPECT_EQ(script.events[6].kind, ScriptEvent::Kind::kClose);
  EXPECT_EQ(script.events[6].tick, 12);
}

TEST(Script, RejectsBadLinesNamingTheLine) {
  struct Case {
    const char* text;
    const char* line;
  };
  const Case cases[] = {
      {"1 down\n", "line 1:"},
      {"1 down 300\n", "line 1:"},
      {"\n\n-1 down 39\n", "line 3:"},
      {"1 down 39 8\n", "line 1:"},
      {"1 down 39 0 0\n", "line 1:"},
      {"1 jump 39\n", "line 1:"},
      {"x down 39\n", "line 1:"},
      {"1 joy 4 0 0 0\n", "line 1:"},
      {"1 joy 0 70000 0 0\n", "line 1:"},
      {"1 joy 0 0 0\n", "line 1:"},
      {"1 close now\n", "line 1:"},
      {"1 down 39\njoysticks 1\n", "line 2:"},
      {"joysticks 5\n", "line 1:"},
      {"# c\n2 down 39\n3 up 3x\n", "line 3:"},
  };
  for (const Case& c : cases) {
    Script script;
    std::string error;
    EXPECT_FALSE(ParseScript(c.text, &script, &error)) << c.text;
    EXPECT_EQ(error.rfind(c.line, 0), 0u) << c.text << " -> " << error;
  }
}

TEST(Script, AByteOrderMarkAtTheStartIsSkipped) {
  Script script;
  std::string error;
  EXPECT_TRUE(ParseScript("\xEF\xBB\xBFjoysticks 1\n2 down 13\n", &script, &error)) << error;
  EXPECT_EQ(script.joysticks, 1);
  ASSERT_EQ(script.events.size(), 1u);
  EXPECT_EQ(script.events[0].tick, 2);
}

// A bad line is echoed to a terminal: its control bytes must not reach it as they are.
TEST(Script, BytesThatAreNotPrintableAreEscapedInTheMessage) {
  Script script;
  std::string error;
  const std::string line("2 \x1b[2J\x00\xff down 13\n", 17);
  EXPECT_FALSE(ParseScript(line, &script, &error));
  EXPECT_EQ(error, "line 1: unknown event '\\x1b[2J\\x00\\xff'");
}

// A script of one enormous line must not come back whole on the terminal: the quoted word is cut
// after 200 bytes of the quote, escapes counted as written and never cut in half.
TEST(Script, ABadWordIsQuotedAtMost200BytesLong) {
  std::string fiftyEscapes;
  for (int i = 0; i < 50; ++i) fiftyEscapes += "\\x1b";
  const std::string huge(1 << 20, 'x');
  struct Case {
    const char* name;
    std::string text;
    std::string error;
  };
  const Case cases[] = {
      {"200 bytes, whole", std::string(199, '7') + "x down 13\n",
       "line 1: bad tick '" + std::string(199, '7') + "x'"},
      {"one byte more, cut", std::string(200, '7') + "x down 13\n",
       "line 1: bad tick '" + std::string(200, '7') + "'..."},
      {"a mebibyte", "\n" + huge + " down 13\n",
       "line 2: bad tick '" + huge.substr(0, 200) + "'..."},
      {"escapes", "1 " + std::string(1000, '\x1b') + " 13\n",
       "line 1: unknown event '" + fiftyEscapes + "'..."},
      {"an escape that would end past 200 bytes", "1 z" + std::string(60, '\x1b') + " 13\n",
       "line 1: unknown event 'z" + fiftyEscapes.substr(0, 49 * 4) + "'..."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Script script;
    std::string error;
    EXPECT_FALSE(ParseScript(c.text, &script, &error));
    EXPECT_EQ(error, c.error);
  }
}

TEST(Script, JoysticksAfterACommentIsStillTheFirstLine) {
  Script script;
  std::string error;
  EXPECT_TRUE(ParseScript("# set-up\njoysticks 1\n0 down 13\n", &script, &error)) << error;
  EXPECT_EQ(script.joysticks, 1);
}

}  // namespace
}  // namespace bf
