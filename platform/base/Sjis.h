#pragma once
// Texts of the game are code page 932 (Shift-JIS) byte strings: widths, limits and letter stepping
// are defined on those bytes. Source literals are written in UTF-8 and converted once with SJS().

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vdmq {

// UTF-8 -> code page 932. Characters without a CP932 form become '?'.
std::string Utf8ToSjis(std::string_view utf8);
// Code page 932 -> UTF-8. Invalid bytes become U+FFFD.
std::string SjisToUtf8(std::string_view sjis);

// A table of texts written in UTF-8, converted to CP932 once when the table is made (a table is
// typically a function's static, made on first use).
class TSjisTable {
 public:
  TSjisTable(const char* const* utf8, std::size_t count);
  template <std::size_t N>
  explicit TSjisTable(const char* const (&utf8)[N]) : TSjisTable(utf8, N) {}
  template <std::size_t N>
  explicit TSjisTable(const std::array<const char*, N>& utf8) : TSjisTable(utf8.data(), N) {}
  // The CP932 text at index i; null outside the table.
  const char* At(int i) const {
    return i >= 0 && static_cast<std::size_t>(i) < texts_.size() ? texts_[static_cast<std::size_t>(i)].c_str()
                                                                 : nullptr;
  }
  std::size_t Size() const { return texts_.size(); }

 private:
  std::vector<std::string> texts_;
};

// True when byte c starts a double-byte character in code page 932.
inline bool IsSjisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Number of bytes of the letter that starts at s[i] (1 or 2; 1 when a lead byte is cut off by the end).
inline size_t SjisLetterLen(std::string_view s, size_t i) {
  return (i + 1 < s.size() && IsSjisLead(static_cast<unsigned char>(s[i]))) ? 2 : 1;
}

// The longest start of s that fits in maxBytes without splitting a double-byte letter.
inline std::string_view SjisCut(std::string_view s, size_t maxBytes) {
  if (s.size() <= maxBytes) return s;
  size_t end = 0;
  while (end < s.size()) {
    const size_t next = end + SjisLetterLen(s, end);
    if (next > maxBytes) break;
    end = next;
  }
  return s.substr(0, end);
}

}  // namespace vdmq

// A UTF-8 literal as a CP932 std::string, converted once per call site.
#define SJS(lit)                                                            \
  ([]() -> const std::string& {                                             \
    static const std::string vdmq_sjs_converted_ = ::vdmq::Utf8ToSjis(lit); \
    return vdmq_sjs_converted_;                                             \
  }())
