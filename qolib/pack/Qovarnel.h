#pragma once
// Varnel: the library's byte-oriented LZ77 codec. Literals and back-references into the last 1535
// bytes, grouped 32 at a time behind a 32-bit flag word (bit 31 = first item; set = match).
// A match is a token byte (high nibble L, low nibble D), then a length extension (1 byte when
// L = 14, 2 bytes when L = 15) and a distance byte (when D >= 10). Little-endian throughout;
// the stream has no header.

#include <cstdint>
#include <cstring>

#include "qolib/pack/Qocodec.h"

namespace vdmq {

// The encoder's chain index: for each two-byte key (the first byte in the low half), the positions
// added with that key, newest first, among the last `count` added. Positions are added one after
// another (the encoder adds every source position in turn), so an entry, the number of the
// addition, tells its position. Its slot in the ring of entries keeps the key and the entry added
// before it to the same head. With one head per key (16 head bits) every chain holds one key; with
// fewer heads, as a short input takes so that it clears only a small table, keys share heads and
// the chains skip the entries of other keys. Either way the chains answer the same.
//
// With one head per key the encoder adds its positions in runs (AddRun) that keep, besides the
// newest entry of each key, chains of the entries whose first three bytes share a hash: after the
// newest candidate of a key only a match of three bytes or more can be longer, and those chains
// hold every such candidate with far fewer others. The chains of two bytes (older) are then not
// kept; Add keeps them.
//
// TVarnelChains is the index's working state: where its tables are and how many entries it holds.
// A coding loop works on a copy of it (kept in registers) and hands the copy back.
struct TVarnelChains {
  int32_t* heads = nullptr;  // 2^headBits heads: the newest entry, or -1
  uint16_t* key = nullptr;   // per slot of the ring (a power of two, at least count); shared heads
                             // only
  int32_t* older = nullptr;  // the entry added before to the same head, or -1
  // One head per key only: chains of the entries whose first three bytes share a hash, which a
  // search takes once a match of two bytes is known.
  int32_t* heads3 = nullptr;
  int32_t* older3 = nullptr;
  uint32_t mask = 0;  // ring size - 1
  int headBits = 16;
  int count = 0;
  int added = 0;  // additions since the table was cleared
  int first = 0;  // position of the first entry

  // position: the one after the last added (any, after a clearing).
  template <bool Shared>
  void Add(int k, int position) {
    first = position - added;
    k &= 0xFFFF;
    const uint32_t slot = static_cast<uint32_t>(added) & mask;
    const uint32_t head = HeadOf<Shared>(k);
    if constexpr (Shared) key[slot] = static_cast<uint16_t>(k);  // one head per key needs no keys
    older[slot] = heads[head];
    heads[head] = added;
    ++added;
  }
  // Adds the keys of the n positions from position on, whose bytes (and the one after the last)
  // start at s.
  template <bool Shared>
  void AddRun(const unsigned char* s, int n, int position) {
    first = position - added;
    const unsigned char* const at = s - added;  // the bytes of entry e start at at + e
    const int end = added + n;
    for (int e = added; e < end; ++e) {
      uint16_t k;
      std::memcpy(&k, at + e, 2);  // little-endian host: the first byte in the low half
      const uint32_t slot = static_cast<uint32_t>(e) & mask;
      const uint32_t head = HeadOf<Shared>(k);
      if constexpr (Shared) {
        key[slot] = k;
        older[slot] = heads[head];
      } else {
        // A search takes only the newest entry of a key, and the rest from the chains of three.
        const uint32_t h = Hash3(at + e);
        older3[slot] = heads3[h];
        heads3[h] = e;
      }
      heads[head] = e;
    }
    added = end;
  }
  // The chains of three bytes: a hash of the three bytes at s (the byte after them is read too).
  static constexpr int kHash3Bits = 14;
  static uint32_t Hash3(const unsigned char* s) {
    uint32_t v;
    std::memcpy(&v, s, 4);
    return ((v & 0xFFFFFFu) * 0x9E3779B1u) >> (32 - kHash3Bits);
  }
  // AddRun<false> for n positions from position on whose three bytes, at s and on, are all the
  // byte before s: each one's chain goes on with the entry added just before.
  void AddRepeats(const unsigned char* s, int n, int position) {
    first = position - added;
    uint16_t k;
    std::memcpy(&k, s, 2);
    const uint32_t h = Hash3(s);
    int e = added;
    const int end = added + n;
    while (e < end) {
      // Up to the end of the ring, then from its start.
      const uint32_t from = static_cast<uint32_t>(e) & mask;
      const int piece = std::min(end - e, static_cast<int>(mask + 1 - from));
      for (int i = 0; i < piece; ++i) older3[from + static_cast<uint32_t>(i)] = e - 1 + i;
      e += piece;
    }
    heads[k] = end - 1;
    heads3[h] = end - 1;
    added = end;
  }
  // The newest entry of a key, or -1.
  template <bool Shared>
  int Top(int k) const {
    k &= 0xFFFF;
    return Held<Shared>(heads[HeadOf<Shared>(k)], k);
  }
  // The next older entry of the same key, or -1.
  template <bool Shared>
  int Next(int entry) const {
    const uint32_t slot = static_cast<uint32_t>(entry) & mask;
    return Held<Shared>(older[slot], Shared ? key[slot] : 0);
  }
  int Position(int entry) const { return first + entry; }
  // The oldest entry still held (every older one, and the none entry -1, is below it).
  int Oldest() const { return added > count ? added - count : 0; }

  template <bool Shared>
  uint32_t HeadOf(int k) const {
    if constexpr (Shared) {
      return (static_cast<uint32_t>(k) * 0x9E3779B1u) >> (32 - headBits);
    } else {
      return static_cast<uint32_t>(k);
    }
  }
  // The first entry from entry on along its chain that holds key k and is among the last count
  // additions (older entries are gone: their slots may hold newer ones); -1 when none. Without
  // shared heads every entry of a chain holds its key.
  template <bool Shared>
  int Held(int entry, int k) const {
    const int oldest = Oldest();
    while (entry >= oldest) {
      const uint32_t slot = static_cast<uint32_t>(entry) & mask;
      if (!Shared || key[slot] == k) return entry;
      entry = older[slot];
    }
    return -1;
  }
};

class TVarnelHush {
 public:
  TVarnelHush() = default;
  TVarnelHush(const TVarnelHush&) = delete;
  TVarnelHush& operator=(const TVarnelHush&) = delete;

  // count 1..65536; headBits 10..16. False when the tables cannot be taken.
  bool CreateTable(int count, int headBits = 16);
  void ReleaseTable();
  // Every head empty, no entry held.
  void ClearTable();
  void AddHush(int key, int position) {
    if (SharedHeads())
      FChains.Add<true>(key, position);
    else
      FChains.Add<false>(key, position);
  }
  int GetTop(int key) const { return SharedHeads() ? FChains.Top<true>(key) : FChains.Top<false>(key); }
  int GetNext(int entry) const { return SharedHeads() ? FChains.Next<true>(entry) : FChains.Next<false>(entry); }
  int Position(int entry) const { return FChains.Position(entry); }
  bool SharedHeads() const { return FChains.headBits != 16; }
  TVarnelChains& Chains() { return FChains; }

 private:
  TCodecBuffer<int32_t> FHeadsBuf;
  TCodecBuffer<uint16_t> FKeyBuf;
  TCodecBuffer<int32_t> FOlderBuf;
  TCodecBuffer<int32_t> FHeads3Buf;
  TCodecBuffer<int32_t> FOlder3Buf;
  TVarnelChains FChains;
};

class TVarnelEncode : public TQoEncoder {
 public:
  static constexpr int kHistory = 1536;
  static constexpr int kChunk = 16384;
  // The input: 1536 bytes of history and two chunks ahead, in a buffer with room for four chunks
  // more, so that the held bytes move to its start only every fifth refill.
  static constexpr int kInBufSize = kHistory + 6 * kChunk;
  static constexpr int kReadSlack = 8;  // bytes behind the input buffer
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
  void ReadIn(unsigned char* at, int n);
  template <bool Shared>
  void Loop();

  TCodecBuffer<unsigned char> FInBuf;
  TCodecBuffer<unsigned char> FOutBuf;
  TVarnelHush FHush;
  const unsigned char* FRead = nullptr;  // source byte at FConsumed
  int FChunkBase = 0;                    // source offset held at input offset FWindow
  int FWindow = kHistory;
  int FOutBase = 0;  // output count at output buffer offset 0
  uint32_t FFlag = 0;
  uint32_t FMask = 0;
  int FFlagSlot = 0;  // output count where the current flag word goes
  int FGroupEnd = 0;  // output count at the end of the last complete group
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
  TCodecBuffer<unsigned char> FInBuf;   // kInBufSize and room for word copies past the end
  TCodecBuffer<unsigned char> FOutBuf;  // kOutBufSize and the same room
  int FInPos = 0;                       // unconsumed input starts here
  int FInEnd = 0;                       // end of the bytes read into the input buffer
  int FOutPos = 0;                      // write position in the output buffer
  int FPendingStart = 0;                // output buffer offset of the first byte not yet written out
};

}  // namespace vdmq
