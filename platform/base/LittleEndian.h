#pragma once
// Little-endian integers in bytes, the order of every number in the game's files (the archive, the
// BMP and WAVE headers, the RIFF chunks): read from a buffer, stored into one, or appended to a
// growing one (std::vector<std::uint8_t> or std::string). Bytes may be of any one-byte type.

#include <cstdint>

namespace vdmq {

template <class Byte>
constexpr std::uint16_t ReadLe16(const Byte* p) {
  static_assert(sizeof(Byte) == 1);
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(p[0]) | static_cast<std::uint8_t>(p[1]) << 8);
}

template <class Byte>
constexpr std::uint32_t ReadLe32(const Byte* p) {
  return static_cast<std::uint32_t>(ReadLe16(p)) | static_cast<std::uint32_t>(ReadLe16(p + 2)) << 16;
}

template <class Byte>
constexpr void StoreLe16(Byte* p, std::uint32_t v) {
  static_assert(sizeof(Byte) == 1);
  p[0] = static_cast<Byte>(v & 0xFF);
  p[1] = static_cast<Byte>((v >> 8) & 0xFF);
}

template <class Byte>
constexpr void StoreLe32(Byte* p, std::uint32_t v) {
  StoreLe16(p, v & 0xFFFF);
  StoreLe16(p + 2, v >> 16);
}

// Appends the low 16 bits of v.
template <class Bytes>
void PutLe16(Bytes& out, std::uint32_t v) {
  using Byte = typename Bytes::value_type;
  static_assert(sizeof(Byte) == 1);
  out.push_back(static_cast<Byte>(v & 0xFF));
  out.push_back(static_cast<Byte>((v >> 8) & 0xFF));
}

template <class Bytes>
void PutLe32(Bytes& out, std::uint32_t v) {
  PutLe16(out, v & 0xFFFF);
  PutLe16(out, v >> 16);
}

}  // namespace vdmq
