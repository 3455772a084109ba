// Text conversion between CP932 and UTF-8 on Linux: the C library's iconv.
#include <errno.h>
#include <iconv.h>

#include <cstddef>
#include <string>

#include "platform/core/convert_rules.h"
#include "platform/platform.h"

namespace plat {


namespace {

// One converter per direction and thread, opened on first use; a failed open
// is remembered as (iconv_t)-1 and every conversion then falls back to '?'.
struct Converter {
  iconv_t handle = reinterpret_cast<iconv_t>(-1);
  bool opened = false;
  ~Converter() {
    if (handle != reinterpret_cast<iconv_t>(-1)) iconv_close(handle);
  }
  iconv_t Get(const char* to, const char* from) {
    if (!opened) {
      opened = true;
      handle = iconv_open(to, from);
    }
    return handle;
  }
};

thread_local Converter toUtf8;
thread_local Converter toCp932;

std::string Convert(Converter& converter, const char* to, const char* from,
                    const std::string& text, size_t (*badLength)(const unsigned char*, size_t)) {
  std::string out;
  if (text.empty()) return out;
  iconv_t cd = converter.Get(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    // Without a converter only plain ASCII can be trusted.
    for (unsigned char c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
  }
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  out.resize(text.size() * 3 + 16);
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  size_t used = 0;
  while (inLeft > 0) {
    char* dst = out.data() + used;
    size_t dstLeft = out.size() - used;
    size_t result = iconv(cd, &in, &inLeft, &dst, &dstLeft);
    used = out.size() - dstLeft;
    if (result != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    // EILSEQ (invalid or unmappable) or EINVAL (cut off at the end): one
    // '?' for the character, then carry on after it.
    if (out.size() - used < 1) out.resize(out.size() * 2);
    out[used++] = '?';
    size_t skip = errno == EINVAL ? inLeft
                                  : badLength(reinterpret_cast<const unsigned char*>(in), inLeft);
    in += skip;
    inLeft -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  out.resize(used);
  return out;
}

}  // namespace

std::string Cp932ToUtf8(const std::string& text) {
  return Convert(toUtf8, "UTF-8", "CP932", text, Cp932BadLength);
}

std::string Utf8ToCp932(const std::string& text) {
  return Convert(toCp932, "CP932", "UTF-8", text, Utf8BadLength);
}

}  // namespace plat
