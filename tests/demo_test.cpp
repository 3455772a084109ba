// The parts of a demo that are plain functions: key names both ways, and the
// comparison of traces that names the first differing frame and field.
#include <gtest/gtest.h>

#include "shell/demo.h"
#include "shell/runcontrol.h"

TEST(Demo, EveryKeyCodeKeepsItsNameBothWays) {
  for (int code = 1; code <= 254; ++code) {
    char name[16];
    ASSERT_TRUE(shell::KeyName(code, name, sizeof name)) << code;
    EXPECT_EQ(shell::KeyCodeFromName(name), code) << name;
  }
  char name[16];
  ASSERT_TRUE(shell::KeyName(0x25, name, sizeof name));
  EXPECT_STREQ(name, "Left");
  ASSERT_TRUE(shell::KeyName(8, name, sizeof name));
  EXPECT_STREQ(name, "08");  // not the digit key 8
  EXPECT_FALSE(shell::KeyName(0, name, sizeof name));
}

TEST(Demo, ComparingTracesNamesTheFirstFrameAndField) {
  const std::string a =
      "{\"frame\":0,\"player\":{\"x\":1,\"y\":2},\"list\":[{\"s\":1},{\"s\":2}],\"name\":\"a,b\"}\n"
      "{\"frame\":1,\"player\":{\"x\":1,\"y\":2},\"list\":[{\"s\":1},{\"s\":2}],\"name\":\"a,b\"}\n";
  struct Case {
    std::string replayed;
    bool prefix;
    const char* said;
  } cases[] = {
      {a, false, ""},
      {a.substr(0, a.find('\n') + 1), false, "replay differs at frame 1: the replay's trace ends before it"},
      {a.substr(0, a.find('\n') + 1), true, ""},
      {a + a.substr(a.find('\n') + 1), false, "replay differs at frame 1: the recording's trace ends before it"},
      {std::string(a).replace(a.rfind("\"s\":2"), 5, "\"s\":3"), false,
       "replay differs at frame 1: field list[1].s (recorded 2, replayed 3)"},
      {std::string(a).replace(a.find("\"y\":2"), 5, "\"y\":5"), false,
       "replay differs at frame 0: field player.y (recorded 2, replayed 5)"},
      {std::string(a).replace(a.find("\"a,b\""), 5, "\"a,c\""), false,
       "replay differs at frame 0: field name (recorded \"a,b\", replayed \"a,c\")"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(shell::demo::CompareTraces(a, c.replayed, c.prefix), c.said) << c.replayed;
  }
}
