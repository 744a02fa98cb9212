#pragma once
// The archive's 16-bit CRC: a table-driven checker for either polynomial, and the CRC of a run of
// a stream's bytes.

#include <cstdint>

#include "qolib/pack/Quorvel.h"

namespace vdmq {

using TCrcType = uint8_t;  // 0 (default): polynomial 0x8408; 1: polynomial 0xC001

class TCrcCheck {
 public:
  TCrcCheck();
  virtual ~TCrcCheck() = default;
  void MakeCrcTable();
  void SetCrcType(TCrcType type);
  TCrcType GetCrcType() const { return type_; }
  // Continues crc over n bytes (n <= 0 leaves it unchanged).
  unsigned short UpDateCrc(unsigned short crc, const unsigned char* buffer, int n) const;
  // CRC from the start value 0xFFFF.
  unsigned short Crc(const unsigned char* buffer, int n) const { return UpDateCrc(0xFFFF, buffer, n); }

 private:
  TCrcType type_ = 0;
  uint16_t table_[256];
  // table_ extended to eight bytes at a time: slice_[k][i] is table_ applied to byte i followed by
  // k zero bytes. Same results, several times faster on long buffers.
  uint16_t slice_[8][256];
};

// CRC-16 of the next n bytes of the stream from its current position. On a short read the
// caller's value stays as it was and the result is false.
bool CrcStream(TQoStream* stream, int n, unsigned short* crc);

}  // namespace vdmq
