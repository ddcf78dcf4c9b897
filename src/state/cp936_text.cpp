#include "state/cp936_text.h"

#include <iconv.h>

#include <cerrno>

namespace zv {
namespace {

std::string convert(std::string_view text, const char* to, const char* from) {
  iconv_t cd = ::iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(text);
  std::string out;
  out.reserve(text.size() * 2);
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  char buffer[256];
  while (inLeft > 0) {
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t result = ::iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    if (result != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
    // EILSEQ or EINVAL (cut at the end): skip one byte and mark it.
    out.push_back('?');
    ++in;
    --inLeft;
  }
  ::iconv_close(cd);
  return out;
}

}  // namespace

std::string cp936_to_utf8(std::string_view cp936) { return convert(cp936, "UTF-8", "CP936"); }
std::string utf8_to_cp936(std::string_view utf8) { return convert(utf8, "CP936", "UTF-8"); }

}  // namespace zv
