// Text under the win32 backend (Windows builds only): the system's fonts and
// glyphs through GDI, placed by the layout the FreeType text shares. The
// same line drawn by GDI's own text output must come out the same: the same
// cell, the same advances, the same ink.
#ifdef _WIN32
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/text/text_layout.h"
#include "platform/platform.h"
#include "platform/image/surface.h"
#include "platform/windows/win32_api.h"

namespace {

struct Drawn {
  std::string face;
  int height = 0, ascent = 0, width = 0;
  std::vector<uint8_t> ink;  // 1 where the text colour landed
};

struct Case {
  const char* face;
  int height, weight;
  bool italic, underline;
  int escapement;
  const char* text;
};

constexpr int kW = 160, kH = 120;

// Draws the case under the given backend onto a fresh surface.
Drawn Draw(const char* backend, const Case& c) {
  Drawn drawn;
  plat::Options options;
  options.backend = backend;
  std::string error;
  if (!plat::Start(options, error)) {
    ADD_FAILURE() << backend << ": " << error;
    return drawn;
  }
  plat::Surface* surface = plat::CreateSurface(kW, kH);
  plat::FontDescription d;
  d.height = c.height;
  d.weight = c.weight;
  d.italic = c.italic;
  d.underline = c.underline;
  d.escapement = c.escapement;
  d.charSet = plat::kShiftJisCharset;
  std::strncpy(d.faceName, c.face, sizeof d.faceName - 1);
  plat::Font* font = plat::CreateFont(d);
  plat::TextDC dc;
  if (surface != nullptr && font != nullptr && plat::GetTextDC(*surface, dc)) {
    drawn.face = plat::FontFaceName(font);
    plat::SelectFont(dc, font);
    plat::SetBkMode(dc, plat::BkMode::Transparent);
    plat::SetTextColor(dc, 0xFFFFFF);
    plat::TextSize size;
    plat::TextMetrics metrics;
    plat::GetTextExtentPoint32(dc, c.text, -1, size);
    plat::GetTextMetrics(dc, metrics);
    drawn.height = metrics.height;
    drawn.ascent = metrics.ascent;
    drawn.width = size.cx;
    const int y = c.escapement == 900 ? kH - 8 : 8;  // turned text climbs from the bottom
    plat::TextOut(dc, 8, y, c.text, -1);
    plat::ReleaseTextDC(dc);
    plat::LockInfo lock;
    if (plat::Lock(*surface, lock) == plat::Result::Ok) {
      for (int row = 0; row < kH; ++row)
        for (int col = 0; col < kW; ++col)
          drawn.ink.push_back(plat::LoadPixelValue(lock.pixels + row * lock.pitch +
                                                       col * surface->format.bytesPerPixel,
                                                   surface->format.bytesPerPixel) != 0);
      plat::Unlock(*surface);
    }
  }
  plat::DeleteFont(font);
  plat::ReleaseSurface(surface);
  plat::Stop();
  return drawn;
}

// The same line drawn by GDI itself into a bitmap of its own: the font the
// engine chose, text output at the same corner, white on black.
Drawn DrawWithGdi(const Case& c, const std::string& chosenFace) {
  Drawn drawn;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = kW;
  info.bmiHeader.biHeight = -kH;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  LOGFONTW logfont{};
  logfont.lfHeight = c.height;
  logfont.lfWeight = c.weight;
  logfont.lfItalic = c.italic;
  logfont.lfUnderline = c.underline;
  logfont.lfEscapement = logfont.lfOrientation = c.escapement;
  logfont.lfCharSet = SHIFTJIS_CHARSET;
  logfont.lfOutPrecision = OUT_TT_PRECIS;
  logfont.lfQuality = NONANTIALIASED_QUALITY;
  const std::string family = chosenFace.substr(0, chosenFace.find(':'));
  MultiByteToWideChar(CP_UTF8, 0, family.c_str(), -1, logfont.lfFaceName, LF_FACESIZE - 1);
  HFONT font = CreateFontIndirectW(&logfont);
  HGDIOBJ oldFont = SelectObject(dc, font);
  wchar_t text[64] = {};
  const int units = MultiByteToWideChar(932, 0, c.text, -1, text, 63) - 1;
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SIZE size{};
  GetTextExtentPoint32W(dc, text, units, &size);
  drawn.height = metrics.tmHeight;
  drawn.ascent = metrics.tmAscent;
  drawn.width = size.cx;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  TextOutW(dc, 8, c.escapement == 900 ? kH - 8 : 8, text, units);
  GdiFlush();
  const auto* pixels = static_cast<const uint32_t*>(bits);
  for (int i = 0; i < kW * kH; ++i) drawn.ink.push_back((pixels[i] & 0xFFFFFF) != 0);
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBitmap);
  DeleteObject(font);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return drawn;
}

TEST(Win32Text, OurLayoutOfGdiGlyphsMatchesGdisOwnTextOutput) {
  const Case cases[] = {
      {"標準ゴシック", 12, 400, false, false, 0, "ゾルベック！ HP=18"},
      {"標準ゴシック", 16, 700, false, true, 0, "太字の下線 Bold"},
      {"標準明朝", 16, 400, true, false, 0, "明朝の斜体 abc"},
      {"標準ゴシック", 14, 400, false, false, 900, "縦に回る"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.height);
    const Drawn ours = Draw("win32", c);
    ASSERT_FALSE(ours.face.empty());
    const Drawn gdi = DrawWithGdi(c, ours.face);
    EXPECT_EQ(ours.height, gdi.height);
    EXPECT_EQ(ours.ascent, gdi.ascent);
    EXPECT_EQ(ours.width, gdi.width);
    ASSERT_EQ(ours.ink.size(), gdi.ink.size());
    int both = 0, either = 0;
    for (size_t i = 0; i < ours.ink.size(); ++i) {
      both += ours.ink[i] && gdi.ink[i];
      either += ours.ink[i] || gdi.ink[i];
    }
    EXPECT_GT(both, 100);
    // Level text is GDI's pixel for pixel; turned text may round a pen
    // position its own way.
    EXPECT_GE(both * 100, either * (c.escapement == 0 ? 100 : 95)) << both << " of " << either << " shared";
  }
}

}  // namespace
#endif
