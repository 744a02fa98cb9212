#pragma once
// Little-endian integers and RIFF chunks (the framing of WAVE and AVI files) built in memory, for the
// tests and the fuzz seeds.

#include <cstdint>
#include <string>

namespace vdmq::test {

inline void Put16(std::string& s, std::uint32_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}

inline void Put32(std::string& s, std::uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

// A chunk: its four-letter id, the body's size, the body padded to an even size.
inline std::string Chunk(const std::string& id, const std::string& body) {
  std::string s = id;
  Put32(s, static_cast<std::uint32_t>(body.size()));
  s += body;
  if (body.size() & 1) s += '\0';
  return s;
}

inline std::string Riff(const std::string& type, const std::string& chunks) {
  std::string s = "RIFF";
  Put32(s, static_cast<std::uint32_t>(4 + chunks.size()));
  return s + type + chunks;
}

}  // namespace vdmq::test
