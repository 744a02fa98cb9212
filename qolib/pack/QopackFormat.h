#pragma once
// What the archive's reading half (Qopack.cpp) and its writing half (QopackWriter.cpp) share: the
// byte offsets of the header and of the records of each version, signed field access, padding
// and size limits, the coders, and the whole-archive CRC's error box.

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
#include <new>
#include <string>

#include "platform/base/LittleEndian.h"
#include "platform/base/Sjis.h"
#include "qolib/pack/Qococotte.h"
#include "qolib/pack/Qovarnel.h"
#include "qolib/pack/Quorvel.h"

namespace vdmq::qopack {

// The 16-byte header: magic "QoPack", version, data size, record count.
constexpr int kHeadMagic = 0;
constexpr int kHeadMagicLen = 6;
constexpr int kHeadVersion = 6;
constexpr int kHeadDataSize = 8;
constexpr int kHeadFileNum = 12;

// A record of the file table. Version 0x0100 records end after the size (32 bytes), version
// 0x0200 records after the method byte (40 bytes); 0x0300 and later add CRC and time (48 bytes).
constexpr int kRecName = 0;
constexpr int kRecExt = 21;
constexpr int kRecOffset = 24;
constexpr int kRecSize = 28;
constexpr int kRecCompSize = 32;
constexpr int kRecComp = 36;
constexpr int kRecCrcFlag = 37;
constexpr int kRecCrc = 38;
constexpr int kRecTimeLow = 40;
constexpr int kRecTimeHigh = 44;
constexpr int kRecordSize0100 = 32;
constexpr int kRecordSize0200 = 40;

// The trailer: the CRC-16 of everything before it.
constexpr int kTrailerSize = 2;

constexpr int kCopyChunk = 32768;           // entry copies
constexpr int kWholeCrcChunk = 1048576;     // whole-archive CRC passes
constexpr int64_t kMaxArchive = INT32_MAX;  // sizes and offsets are signed 32-bit on disk

// A signed 32-bit field: a size, an offset or a count.
inline int32_t ReadLeI32(const uint8_t* p) { return static_cast<int32_t>(ReadLe32(p)); }

// An entry's stored size rounded up to the data area's 16-byte steps.
inline int32_t Padded(int32_t stored) {
  return static_cast<int32_t>((static_cast<int64_t>(stored) + 15) & ~int64_t{15});
}

// A coder for the selector (0 Varnel, any other Cocotte); null when it cannot be had.
inline std::unique_ptr<TQoDecoder> MakeDecoder(int codec) {
  try {
    if (codec == 0) return std::make_unique<TVarnelDecode>();
    return std::make_unique<TCocotteDecode>();
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

inline std::unique_ptr<TQoEncoder> MakeEncoder(int codec) {
  try {
    if (codec == 0) return std::make_unique<TVarnelEncode>();
    return std::make_unique<TCocotteEncode>();
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

// The callers' output limit of an encoder, 2 x n, computed wide and kept within int.
inline int EncodeLimit(int n) { return static_cast<int>(std::min<int64_t>(int64_t{2} * n, INT_MAX)); }

}  // namespace vdmq::qopack
