#pragma once
// Varnel: the library's byte-oriented LZ77 codec. Literals and back-references into the last 1535
// bytes, grouped 32 at a time behind a 32-bit flag word (bit 31 = first item; set = match).
// A match is a token byte (high nibble L, low nibble D), then a length extension (1 byte when
// L = 14, 2 bytes when L = 15) and a distance byte (when D >= 10). Little-endian throughout;
// the stream has no header.

#include <cstdint>

#include "qolib/pack/Qocodec.h"

namespace vdmq {

// The encoder's chain index: exact two-byte keys (65536 heads) over a ring of nodes, so the chains
// hold exactly the last `count` positions added.
class TVarnelHush {
 public:
  struct TNode {
    int32_t key;       // -1 while unused
    int32_t position;  // absolute source offset
    TNode* newer;
    TNode* older;
  };

  TVarnelHush() = default;
  TVarnelHush(const TVarnelHush&) = delete;
  TVarnelHush& operator=(const TVarnelHush&) = delete;
  ~TVarnelHush() { ReleaseTable(); }

  bool CreateTable(int count);
  void ReleaseTable();
  void ClearTable();
  void AddHush(int key, int position);
  TNode* GetTop(int key) const { return FHeads[key & 0xFFFF]; }
  static TNode* GetNext(const TNode* node) { return node->older; }

 private:
  TNode** FHeads = nullptr;  // 65536
  TNode* FNodes = nullptr;
  int FCount = 0;
  int FRing = 0;
};

class TVarnelEncode : public TQoEncoder {
 public:
  static constexpr int kHistory = 1536;
  static constexpr int kChunk = 16384;
  static constexpr int kInBufSize = kHistory + 2 * kChunk;  // 34304
  static constexpr int kOutBufSize = 18944;
  static constexpr int kWindow = 1535;
  static constexpr int kMaxMatch = 8192;

  TVarnelEncode() = default;
  ~TVarnelEncode() override { ReleaseBuffer(); }

  bool CreateBuffer() override;
  void ReleaseBuffer() override;
  // The longest match at the current source position (length 0 when none); nearest wins ties.
  void HushSearch(unsigned short& length, unsigned short& distance);

 protected:
  void ResetState() override;
  void CodecLoop() override;
  void ReadInBuffer();
  void WriteOutBuffer(bool all);

 private:
  void PutByte(unsigned char b);
  void EndItem();
  int KeyAt(const unsigned char* p) const { return p[0] | (p[1] << 8); }

  unsigned char* FInBuf = nullptr;
  unsigned char* FOutBuf = nullptr;
  TVarnelHush* FHush = nullptr;
  const unsigned char* FRead = nullptr;  // source byte at FConsumed
  int FChunkBase = 0;                    // source offset held at input offset kHistory
  int FOutBase = 0;                      // output count at output buffer offset 0
  uint32_t FFlag = 0;
  uint32_t FMask = 0;
  int FItems = 0;
  int FFlagSlot = 0;       // output count where the current flag word goes
  int FGroupEnd = 0;       // output count at the end of the last complete group
};

class TVarnelDecode : public TQoDecoder {
 public:
  static constexpr int kChunk = 16384;
  static constexpr int kInBufSize = kChunk + 256;  // 16640
  static constexpr int kHistory = 1536;
  static constexpr int kOutBufSize = kHistory + 2 * kChunk;  // 34304

  TVarnelDecode() = default;
  ~TVarnelDecode() override { ReleaseBuffer(); }

  bool CreateBuffer() override;
  void ReleaseBuffer() override;

 protected:
  void ResetState() override;
  void CodecLoop() override;
  void ReadInBuffer();
  void WriteOutBuffer();

 private:
  unsigned char* FInBuf = nullptr;
  unsigned char* FOutBuf = nullptr;
  int FInPos = 0;      // unconsumed input starts here
  int FInEnd = 0;      // end of the bytes read into the input buffer
  int FOutPos = 0;     // write position in the output buffer
  int FPendingStart = 0;  // output buffer offset of the first byte not yet written out
};

}  // namespace vdmq
