#pragma once
// RIFF chunks (the framing of WAVE and AVI files) built in memory, for the tests and the fuzz seeds.
// Their numbers are appended with PutLe16 and PutLe32.

#include <cstdint>
#include <string>

#include "platform/base/LittleEndian.h"

namespace vdmq::test {

// A chunk: its four-letter id, the body's size, the body padded to an even size.
inline std::string Chunk(const std::string& id, const std::string& body) {
  std::string s = id;
  PutLe32(s, static_cast<std::uint32_t>(body.size()));
  s += body;
  if (body.size() & 1) s += '\0';
  return s;
}

inline std::string Riff(const std::string& type, const std::string& chunks) {
  std::string s = "RIFF";
  PutLe32(s, static_cast<std::uint32_t>(4 + chunks.size()));
  return s + type + chunks;
}

}  // namespace vdmq::test
