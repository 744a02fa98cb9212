#include "platform/base/Sjis.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>
#include <vector>

namespace vdmq {
namespace {

// Converts with iconv, replacing what cannot be converted by `bad` and skipping one input byte.
std::string Convert(const char* to, const char* from, std::string_view in, std::string_view bad) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv: code page 932 is not available");
  std::string out;
  std::vector<char> buf(in.size() * 4 + 16);
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  while (srcLeft > 0) {
    char* dst = buf.data();
    size_t dstLeft = buf.size();
    size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buf.data(), dst);
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL: replace one byte (or the rest of a UTF-8 sequence) and go on.
      out.append(bad);
      size_t skip = 1;
      if (std::string_view(from) == "UTF-8") {
        while (skip < srcLeft && (static_cast<unsigned char>(src[skip]) & 0xC0) == 0x80) ++skip;
      }
      src += skip;
      srcLeft -= skip;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string Utf8ToSjis(std::string_view utf8) { return Convert("CP932", "UTF-8", utf8, "?"); }
std::string SjisToUtf8(std::string_view sjis) { return Convert("UTF-8", "CP932", sjis, "\xEF\xBF\xBD"); }

TSjisTable::TSjisTable(const char* const* utf8, std::size_t count) {
  texts_.reserve(count);
  for (std::size_t i = 0; i < count; ++i) texts_.push_back(Utf8ToSjis(utf8[i]));
}

}  // namespace vdmq
