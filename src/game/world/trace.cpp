// The world's part of the per-frame trace: scroll, screen, transition, boss
// flag, the party's basic fields and the active shots. The actors add their
// own fields through the hooks of trace.h.
#include "world/trace.h"

#include <cmath>

#include "actors/party.h"
#include "shell/runcontrol.h"
#include "world/world.h"

namespace {

// Nine significant digits read back to the same single-precision value. JSON
// has no infinities or NaN: those print as null.
void Float(FILE* out, float v) {
  if (std::isfinite(v)) {
    std::fprintf(out, "%.9g", static_cast<double>(v));
  } else {
    std::fputs("null", out);
  }
}

void Pair(FILE* out, const char* name, float a, float b) {
  std::fprintf(out, ",\"%s\":[", name);
  Float(out, a);
  std::fputc(',', out);
  Float(out, b);
  std::fputc(']', out);
}

void FloatMember(FILE* out, const char* name, float v, bool first = false) {
  std::fprintf(out, first ? "\"%s\":" : ",\"%s\":", name);
  Float(out, v);
}

}  // namespace

void WriteGameTrace(FILE* out) {
  Pair(out, "scroll", scrollX, scrollY);
  std::fprintf(out, ",\"screen\":[%d,%d],\"transition\":%d", screenCol, screenRow, transitionDir);
  Pair(out, "transitionOffset", transitionOffsetX, transitionOffsetY);
  std::fprintf(out, ",\"bossActive\":%d", bossActive);

  std::fputs(",\"player\":{", out);
  FloatMember(out, "x", player.x, true);
  FloatMember(out, "y", player.y);
  std::fprintf(out, ",\"hp\":%d", player.hp);
  TracePlayerFields(out);
  std::fputc('}', out);

  std::fputs(",\"companions\":[", out);
  for (int i = 0; i < kCompanionCount; ++i) {
    if (i) std::fputc(',', out);
    std::fprintf(out, "{\"state\":%d", companionState[i]);
    FloatMember(out, "x", companions[i].x);
    FloatMember(out, "y", companions[i].y);
    std::fprintf(out, ",\"slot\":%d", companionSlot[i]);
    TraceCompanionFields(out, i);
    std::fputc('}', out);
  }
  std::fputc(']', out);

  std::fputs(",\"shots\":[", out);
  bool first = true;
  for (int i = 0; i < kShotCount; ++i) {
    const Shot& s = shots[i];
    if (!s.active) continue;
    if (!first) std::fputc(',', out);
    first = false;
    std::fprintf(out, "{\"i\":%d,\"kind\":%d", i, s.kind);
    FloatMember(out, "x", s.x);
    FloatMember(out, "y", s.y);
    FloatMember(out, "vx", s.vx);
    FloatMember(out, "vy", s.vy);
    std::fprintf(out, ",\"angle\":%d,\"size\":%d,\"cellX\":%d,\"cellY\":%d,\"hitMode\":%d}",
                 s.angleDeg, s.size, s.cellX, s.cellY, s.hitMode);
  }
  std::fputc(']', out);

  TraceFoes(out);
}

void InstallGameTrace() { shell::run.traceFields = WriteGameTrace; }
