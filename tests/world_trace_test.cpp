// The world's members of the --trace line.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "actors/party.h"
#include "shell/runcontrol.h"
#include "world/trace.h"
#include "world/world.h"
#include "portable.h"

namespace {

std::string TraceText() {
  return portable::Capture([](FILE* out) {
    std::fputc('{', out);
    std::fputs("\"frame\":0", out);
    WriteGameTrace(out);
    std::fputc('}', out);
  });
}

TEST(WorldTrace, WritesEveryWorldMemberAndEachActiveShot) {
  ResetWorld();
  scrollX = 768.0f;
  scrollY = 0.1f;
  screenCol = 1;
  transitionDir = 2;
  transitionOffsetX = -12.8000002f;
  player.x = -12.2833338f;
  player.hp = 17;
  companionState[1] = 7;
  companionSlot[2] = 3;
  StartShot(shots[3], 10.5f, 20.25f, 200, 56, 901);
  std::string t = TraceText();
  EXPECT_NE(t.find(",\"scroll\":[768,0.100000001]"), std::string::npos) << t;
  EXPECT_NE(t.find(",\"screen\":[1,0],\"transition\":2,\"transitionOffset\":[-12.8000002,0]"),
            std::string::npos)
      << t;
  EXPECT_NE(t.find(",\"bossActive\":0,\"player\":{\"x\":-12.2833338,\"y\":0,\"hp\":17"),
            std::string::npos)
      << t;
  EXPECT_NE(t.find("{\"state\":7,\"x\":0,\"y\":0,\"slot\":-1"), std::string::npos) << t;
  EXPECT_NE(t.find("{\"state\":0,\"x\":0,\"y\":0,\"slot\":3"), std::string::npos) << t;
  EXPECT_NE(t.find(",\"shots\":[{\"i\":3,\"kind\":901,\"x\":10.5,\"y\":20.25,\"vx\":"),
            std::string::npos)
      << t;
  EXPECT_NE(t.find("\"angle\":200,\"size\":56,\"cellX\":4,\"cellY\":0,\"hitMode\":0}]"),
            std::string::npos)
      << t;

  shell::ResetRunControl();
  InstallGameTrace();
  EXPECT_EQ(shell::run.traceFields, &WriteGameTrace);
  shell::ResetRunControl();
  ResetWorld();
  player = PlayerState{};
  companionState[1] = 0;
  companionSlot[2] = -1;
}

}  // namespace
