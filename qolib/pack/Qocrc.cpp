#include "qolib/pack/Qocrc.h"

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

namespace vdmq {

namespace {
constexpr int kCrcChunk = 32768;  // bytes read at a time by CrcStream
}  // namespace

TCrcCheck::TCrcCheck() { MakeCrcTable(); }

void TCrcCheck::MakeCrcTable() {
  const uint16_t poly = (type_ == 1) ? 0xC001 : 0x8408;
  for (int i = 0; i < 256; ++i) {
    uint16_t v = static_cast<uint16_t>(i);
    for (int k = 0; k < 8; ++k) v = (v & 1) ? static_cast<uint16_t>((v >> 1) ^ poly) : static_cast<uint16_t>(v >> 1);
    table_[i] = v;
  }
  for (int i = 0; i < 256; ++i) slice_[0][i] = table_[i];
  for (int k = 1; k < 8; ++k) {
    for (int i = 0; i < 256; ++i) {
      const uint16_t prev = slice_[k - 1][i];
      slice_[k][i] = static_cast<uint16_t>((prev >> 8) ^ table_[prev & 0xFF]);
    }
  }
}

void TCrcCheck::SetCrcType(TCrcType type) {
  type_ = type;
  MakeCrcTable();
}

unsigned short TCrcCheck::UpDateCrc(unsigned short crc, const unsigned char* buffer, int n) const {
  if (buffer == nullptr) return crc;
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    const unsigned char* b = buffer + i;
    const unsigned x = crc ^ (b[0] | (b[1] << 8));
    crc = static_cast<unsigned short>(slice_[7][x & 0xFF] ^ slice_[6][x >> 8] ^ slice_[5][b[2]] ^ slice_[4][b[3]] ^
                                      slice_[3][b[4]] ^ slice_[2][b[5]] ^ slice_[1][b[6]] ^ slice_[0][b[7]]);
  }
  for (; i < n; ++i) crc = static_cast<unsigned short>(table_[(crc ^ buffer[i]) & 0xFF] ^ (crc >> 8));
  return crc;
}

bool CrcStream(TQoStream* stream, int n, unsigned short* crc) {
  if (stream == nullptr) return false;
  std::vector<unsigned char> buffer;
  std::unique_ptr<TCrcCheck> checker;
  try {
    buffer.resize(kCrcChunk);
    checker = std::make_unique<TCrcCheck>();
  } catch (const std::bad_alloc&) {
    return false;
  }
  unsigned short c = 0xFFFF;
  bool ok = true;
  int64_t left = std::max(n, 0);
  while (left > 0) {
    const int chunk = static_cast<int>(std::min<int64_t>(left, kCrcChunk));
    if (stream->Read(buffer.data(), chunk) != chunk) ok = false;  // the walk goes on to the end
    c = checker->UpDateCrc(c, buffer.data(), chunk);
    left -= chunk;
  }
  if (!ok) return false;
  if (crc != nullptr) *crc = c;
  return true;
}

}  // namespace vdmq
