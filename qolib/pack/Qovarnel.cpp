#include "qolib/pack/Qovarnel.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/base/GameError.h"

namespace vdmq {

// ---------------------------------------------------------------------------------------------
// TVarnelHush

bool TVarnelHush::CreateTable(int count, int headBits) {
  ReleaseTable();
  if (count < 1 || count > 65536 || headBits < 10 || headBits > 16) return false;
  uint32_t ring = 1;
  while (ring < static_cast<uint32_t>(count)) ring <<= 1;
  TVarnelChains& c = FChains;
  c.heads = FHeadsBuf.Reserve(size_t{1} << headBits);
  c.key = FKeyBuf.Reserve(ring);
  c.older = FOlderBuf.Reserve(ring);
  if (headBits == 16) {
    c.heads3 = FHeads3Buf.Reserve(size_t{1} << TVarnelChains::kHash3Bits);
    c.older3 = FOlder3Buf.Reserve(ring);
  }
  if (!c.heads || !c.key || !c.older || (headBits == 16 && (!c.heads3 || !c.older3))) {
    ReleaseTable();
    return false;
  }
  c.mask = ring - 1;
  c.headBits = headBits;
  c.count = count;
  ClearTable();
  return true;
}

void TVarnelHush::ReleaseTable() {
  FHeadsBuf.Release();
  FKeyBuf.Release();
  FOlderBuf.Release();
  FHeads3Buf.Release();
  FOlder3Buf.Release();
  FChains = TVarnelChains{};
}

void TVarnelHush::ClearTable() {
  // The ring needs no clearing: only entries added since are ever followed.
  if (FChains.heads) std::fill(FChains.heads, FChains.heads + (size_t{1} << FChains.headBits), -1);
  if (FChains.heads3) std::fill(FChains.heads3, FChains.heads3 + (size_t{1} << TVarnelChains::kHash3Bits), -1);
  FChains.added = 0;
  FChains.first = 0;
}

// ---------------------------------------------------------------------------------------------
// TVarnelEncode

bool TVarnelEncode::CreateBuffer() {
  ReleaseBuffer();
  // A short input takes a head table of about twice its size (at least 1024 heads).
  int headBits = 10;
  while (headBits < 16 && (1 << headBits) < 2 * FInTotal) ++headBits;
  if (!FInBuf.Reserve(kInBufSize + kReadSlack) || !FOutBuf.Reserve(kOutBufSize) ||
      !FHush.CreateTable(kWindow, headBits)) {
    ReleaseBuffer();
    return false;
  }
  return true;
}

void TVarnelEncode::ReleaseBuffer() {
  FInBuf.Release();
  FOutBuf.Release();
  FHush.ReleaseTable();
}

void TVarnelEncode::ResetState() {
  FChunkBase = 0;
  FWindow = kHistory;
  FOutBase = 0;
  FRead = FInBuf.Data() + kHistory;
  FProduced = 4;  // the first flag slot is reserved at output offset 0
  FFlagSlot = 0;
  FGroupEnd = 0;
  FFlag = 0;
  FMask = 0x80000000u;
  FHush.ClearTable();
}

namespace {

int KeyAt(const unsigned char* p) {
  uint16_t k;
  std::memcpy(&k, p, 2);  // little-endian host: the first byte in the low half
  return k;
}

// The number of equal bytes of a and b from i on, below limit.
inline __attribute__((always_inline)) int CountEqual(const unsigned char* a, const unsigned char* b, int i, int limit) {
#if defined(__SSE2__)
  while (i + 16 <= limit) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
    const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
    const unsigned differ = ~static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, y))) & 0xFFFFu;
    if (differ != 0) return i + __builtin_ctz(differ);
    i += 16;
  }
#endif
  while (i + 8 <= limit) {
    uint64_t x, y;
    std::memcpy(&x, a + i, 8);
    std::memcpy(&y, b + i, 8);
    if (x != y) return i + (__builtin_ctzll(x ^ y) >> 3);
    i += 8;
  }
  while (i < limit && a[i] == b[i]) ++i;
  return i;
}

template <typename T>
inline __attribute__((always_inline)) T Load(const unsigned char* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// The longest match for the source at a (position p, limit bytes at most) among the chain of its
// key: nearest first, a candidate replaces the best only when strictly longer, and the walk stops
// once the best passes 1024 bytes. Length 0 when none.
template <bool Shared>
inline __attribute__((always_inline)) void FindMatch(const TVarnelChains& chains, const unsigned char* a, int p,
                                                     int limit, int& length, int& distance) {
  length = 0;
  distance = 0;
  if (limit < 2) return;
  // The chains hold the last 1535 positions only: every candidate lies 1 to 1535 bytes back. The
  // walk ends at the first entry older than those (the none entry, -1, is older still).
  const int oldest = chains.Oldest();
  int e = chains.Top<Shared>(KeyAt(a));
  if (e < oldest) return;
  // The source of entry e starts at from + e.
  const unsigned char* const from = a - (p - chains.first);
  int best = 0;
  int bestEntry = e;
  int skip = 2;  // the key guarantees the first two bytes
  const int32_t* links = chains.older;
  if constexpr (!Shared) {
    // The first candidate, the newest of the key, is counted on its own; after it, only a
    // candidate of three equal bytes or more can be longer, and those come from the chains of
    // three bytes (their entries may share a hash without matching: counted from the first byte).
    best = CountEqual(a, from + e, 2, limit);
    if (best > 1024 || best >= limit) goto done;
    const int newest = e;
    e = chains.heads3[TVarnelChains::Hash3(a)];
    while (e >= newest) e = chains.older3[static_cast<uint32_t>(e) & chains.mask];
    if (e < oldest) goto done;
    links = chains.older3;
    skip = 0;
  }
  for (;;) {
    const int len = CountEqual(a, from + e, skip, limit);
    if (len > best) {
      best = len;
      bestEntry = e;
      if (best > 1024 || best >= limit) break;
    }
    // Only a candidate that matches the best length and one byte more can be longer: up to eight
    // bytes ending at the best length's end are weighed first (all of them when the best is
    // shorter), in a walk that passes over every candidate failing them. Bytes past the end of
    // the source that a short best reads are masked off.
    const int at = std::max(best - 7, 0);
    const uint64_t part = ~uint64_t{0} >> (8 * (7 - std::min(best, 7)));
    const uint64_t want = Load<uint64_t>(a + at) & part;
    const unsigned char* const cand = from + at;
    do {
      if constexpr (Shared) {
        e = chains.Next<true>(e);
      } else {
        e = links[static_cast<uint32_t>(e) & chains.mask];
      }
      if (e < oldest) goto done;
    } while ((Load<uint64_t>(cand + e) & part) != want);
  }
done:
  length = best;
  distance = p - chains.Position(bestEntry);
}

}  // namespace

void TVarnelEncode::HushSearch(unsigned short& length, unsigned short& distance) {
  const int limit = std::min(FInTotal - FConsumed, kMaxMatch);
  int len = 0, dist = 0;
  if (FHush.SharedHeads())
    FindMatch<true>(FHush.Chains(), FRead, FConsumed, limit, len, dist);
  else
    FindMatch<false>(FHush.Chains(), FRead, FConsumed, limit, len, dist);
  length = static_cast<unsigned short>(len);
  distance = static_cast<unsigned short>(dist);
}

void TVarnelEncode::ReadInBuffer() {
  unsigned char* const in = FInBuf.Data();
  // The chunk base moves on by a chunk; the 1536 bytes before it and the chunk after it stay, the
  // next chunk comes behind them.
  FWindow += kChunk;
  if (FWindow + 2 * kChunk > kInBufSize) {
    std::memmove(in, in + (FWindow - kHistory), kHistory + kChunk);
    FWindow = kHistory;
  }
  const int64_t next = static_cast<int64_t>(FChunkBase) + 2 * kChunk;
  if (next < FInTotal) {
    const int n = static_cast<int>(std::min<int64_t>(kChunk, FInTotal - next));
    ReadIn(in + FWindow + kChunk, n);
  }
  FChunkBase += kChunk;
  FRead = in + FWindow + (FConsumed - FChunkBase);
}

void TVarnelEncode::WriteOutBuffer(bool all) {
  unsigned char* const out = FOutBuf.Data();
  const int end = all ? FProduced : FGroupEnd;
  if (end > FWritten) CallWrite(out + (FWritten - FOutBase), end - FWritten);
  if (!all) {
    // Keep the incomplete group (its flag slot first) at the start of the buffer.
    std::memmove(out, out + (FGroupEnd - FOutBase), static_cast<size_t>(FProduced - FGroupEnd));
    FOutBase = FGroupEnd;
  }
}

void TVarnelEncode::ReadIn(unsigned char* at, int n) {
  CallRead(at, n);
  // The words the search reads past the last byte read find zeros there (the next read, if any,
  // writes over them).
  std::memset(at + n, 0, kReadSlack);
}

void TVarnelEncode::CodecLoop() {
  ReadIn(FInBuf.Data() + kHistory, std::min(FInTotal, 2 * kChunk));
  if (FHush.SharedHeads())
    Loop<true>();
  else
    Loop<false>();
}

template <bool Shared>
void TVarnelEncode::Loop() {
  const int size = FInTotal;
  // One item passes the limit by at most 9 bytes before the check; keep the count inside int.
  const int limit = std::min(FOutBound, INT_MAX - 64);
  unsigned char* const outBuf = FOutBuf.Data();
  // The loop works on local copies of the state (the output's byte stores could otherwise alias
  // the members); they go back before every call that reads them.
  TVarnelChains chains = FHush.Chains();
  int p = FConsumed;
  const unsigned char* rd = FRead;
  unsigned char* out = outBuf + (FProduced - FOutBase);
  uint32_t flag = FFlag, mask = FMask;  // the mask is 0 once the group holds 32 items
  // An item takes at most 4 output bytes, and a new flag slot 4 more: before an item, the output
  // stays within the buffer's room, which the chunking ensures.
  unsigned char* const room = outBuf + kOutBufSize - 8;
  int64_t outLimit = 0;  // bytes from outBuf
  int refillAfter = 0;
  // The loop leaves its one-item path only past these marks: the end of the source, a refill, the
  // output limit or the room.
  int stopAfter = 0;
  const unsigned char* outStop = nullptr;
  auto setMarks = [&] {
    outLimit = static_cast<int64_t>(limit) - FOutBase;
    refillAfter = FChunkBase + kChunk;
    stopAfter = std::min(refillAfter, size - 1);
    outStop = outBuf + std::min<int64_t>(outLimit, room - outBuf);
  };
  setMarks();
  auto produced = [&] { return static_cast<int>(out - outBuf) + FOutBase; };
  auto storeFlag = [&] {
    unsigned char* slot = outBuf + (FFlagSlot - FOutBase);
    slot[0] = static_cast<unsigned char>(flag);
    slot[1] = static_cast<unsigned char>(flag >> 8);
    slot[2] = static_cast<unsigned char>(flag >> 16);
    slot[3] = static_cast<unsigned char>(flag >> 24);
    FGroupEnd = produced();
  };
  // Adds n positions from p on to the chains and moves past them. The byte after the last source
  // byte is not data: the last key takes 0 there. That key is never searched, since no position
  // follows it.
  auto addPositions = [&](int n) __attribute__((always_inline)) {
    const int end = p + n;
    const int whole = std::min(end, size - 1);
    if (whole > p) {
      chains.AddRun<Shared>(rd, whole - p, p);
      rd += whole - p;
      p = whole;
    }
    for (; p < end; ++p, ++rd) chains.Add<Shared>(rd[0], p);
  };
  if (out > room) ThrowGameError("WriteBuffer Error");
  for (;;) {
    int len, dist;
    FindMatch<Shared>(chains, rd, p, std::min(size - p, kMaxMatch), len, dist);
    if (len >= 2) {
      flag |= mask;
      const int L = len <= 14 ? len - 1 : (len <= 255 ? 14 : 15);
      const int D = dist <= 10 ? dist - 1 : 10 + (dist >> 8);
      *out++ = static_cast<unsigned char>((L << 4) | D);
      if (L == 14) {
        *out++ = static_cast<unsigned char>(len);
      } else if (L == 15) {
        *out++ = static_cast<unsigned char>(len);
        *out++ = static_cast<unsigned char>(len >> 8);
      }
      if (D >= 10) *out++ = static_cast<unsigned char>(dist);
      if constexpr (!Shared) {
        // A match one byte back is a run of one byte value from the byte before p on: the
        // positions whose three bytes lie in it share one key and one hash.
        if (dist == 1 && len > 16) {
          chains.AddRepeats(rd, len - 2, p);
          rd += len - 2;
          p += len - 2;
          len = 2;
        }
      }
      addPositions(len);
    } else {
      *out++ = *rd;
      addPositions(1);
    }
    // The item ends: a full group stores its flag word and, while source remains, reserves the
    // next one's slot.
    mask >>= 1;
    if (mask == 0) {
      storeFlag();
      if (p < size) {
        FFlagSlot = FGroupEnd;
        out += 4;
        flag = 0;
        mask = 0x80000000u;
      }
    }
    if (__builtin_expect(p > stopAfter || out > outStop, 0)) {
      const bool done = p >= size;
      if (done && mask != 0) storeFlag();   // the last group, not full
      if (out - outBuf > outLimit) return;  // over the output limit: the run fails
      FHush.Chains() = chains;
      FConsumed = p;
      FRead = rd;
      FProduced = produced();
      FFlag = flag;
      FMask = mask;
      if (done) {
        FSuccess = true;
        WriteOutBuffer(true);
        ProgressCallBack();
        return;
      }
      if (p > refillAfter) {
        ReadInBuffer();
        WriteOutBuffer(false);
        ProgressCallBack();
        rd = FRead;
        out = outBuf + (FProduced - FOutBase);
        setMarks();
      }
      if (out > room) ThrowGameError("WriteBuffer Error");
    }
  }
}

// ---------------------------------------------------------------------------------------------
// TVarnelDecode

namespace {
// Room behind the buffers for the word-wise copies, which may run past the end of a match (up to
// 7 bytes) or of a run of literals (up to 31 bytes); those bytes are overwritten or never handed
// out, and nothing past the stored size is ever read from the caller.
constexpr int kCopySlack = 32;
// Input one item can take at most: a flag word and a match of 4 bytes.
constexpr int kItemMax = 4 + 4;
}  // namespace

bool TVarnelDecode::CreateBuffer() {
  ReleaseBuffer();
  if (!FInBuf.Reserve(kInBufSize + kCopySlack) || !FOutBuf.Reserve(kOutBufSize + kCopySlack)) {
    ReleaseBuffer();
    return false;
  }
  return true;
}

void TVarnelDecode::ReleaseBuffer() {
  FInBuf.Release();
  FOutBuf.Release();
}

void TVarnelDecode::ResetState() {
  FInPos = 0;
  FInEnd = 0;
  FOutPos = kHistory;
  FPendingStart = kHistory;
}

void TVarnelDecode::ReadInBuffer() {
  // Move the unconsumed bytes to the start and read the next chunk behind them.
  unsigned char* const in = FInBuf.Data();
  const int keep = FInEnd - FInPos;
  std::memmove(in, in + FInPos, static_cast<size_t>(keep));
  FInPos = 0;
  FInEnd = keep;
  const int n = std::min(kChunk, FInTotal - FConsumed);
  CallRead(in + FInEnd, n);
  FInEnd += n;
  FConsumed += n;
}

void TVarnelDecode::WriteOutBuffer() {
  unsigned char* const out = FOutBuf.Data();
  if (FOutPos > FPendingStart) CallWrite(out + FPendingStart, FOutPos - FPendingStart);
  // The last 1536 bytes stay as history for later matches.
  std::memmove(out, out + (FOutPos - kHistory), kHistory);
  FOutPos = kHistory;
  FPendingStart = kHistory;
}

void TVarnelDecode::CodecLoop() {
  const int decodedSize = FOutBound;
  {
    const int n = std::min(kChunk, FInTotal);
    CallRead(FInBuf.Data(), n);
    FInEnd = n;
    FConsumed = n;
  }
  const unsigned char* const in = FInBuf.Data();
  unsigned char* const outBuf = FOutBuf.Data();
  // The flag word's bits still to come: the current item's bit and those after it; 0 at the
  // start of a group.
  uint32_t flag = 0, mask = 0;
  // The positions live in locals while decoding (byte stores could alias the members); they go
  // back to the members around every call that moves the buffers. Refills and write-outs come
  // when these marks are passed.
  int inPos = FInPos, inEnd = FInEnd, produced = FProduced;
  unsigned char* out = outBuf + FOutPos;
  int refillAfter = FConsumed < FInTotal ? inEnd - 256 : INT_MAX;
  unsigned char* flushAfter = outBuf + FPendingStart + kChunk;
  auto writeOut = [&] {
    FOutPos = static_cast<int>(out - outBuf);
    WriteOutBuffer();
    out = outBuf + FOutPos;
    flushAfter = outBuf + FPendingStart + kChunk;
  };
  // A stream that ends inside an item fails the run.
  auto need = [&](int k) {
    if (inEnd - inPos < k) ThrowGameError("ReadBuffer Error");
  };

  while (produced < decodedSize) {
    const bool fast = inEnd - inPos >= kItemMax;  // the whole item is surely in the buffer
    if (mask == 0) {
      if (!fast) need(4);
      std::memcpy(&flag, in + inPos, 4);  // little-endian host
      inPos += 4;
      mask = 0x80000000u;
    }
    if (flag & mask) {
      if (!fast) need(1);
      const int token = in[inPos++];
      const int L = token >> 4;
      const int D = token & 15;
      int length;
      if (L < 14) {
        length = L + 1;
      } else if (L == 14) {
        if (!fast) need(1);
        length = in[inPos++];
      } else {
        if (!fast) need(2);
        length = in[inPos] | (in[inPos + 1] << 8);
        inPos += 2;
      }
      int distance;
      if (D < 10) {
        distance = D + 1;
      } else {
        if (!fast) need(1);
        distance = (D - 10) * 256 + in[inPos++];
      }
      // A distance of 0 or one reaching before the first byte produced is not a stream of ours.
      if (distance == 0 || distance > produced) return;
      length = std::min(length, decodedSize - produced);  // bytes past the decoded size are dropped
      if (out + length + 16 <= outBuf + kOutBufSize) {
        // The usual match: within the buffer, copied in whole words that may run on past its end
        // (those bytes are written again or never handed out).
        unsigned char* dst = out;
        const unsigned char* src = dst - distance;
        unsigned char* const end = dst + length;
        if (distance >= 16) {
          do {
            unsigned char w[16];
            std::memcpy(w, src, 16);
            std::memcpy(dst, w, 16);
            dst += 16;
            src += 16;
          } while (dst < end);
        } else if (distance >= 8) {
          do {
            uint64_t w;
            std::memcpy(&w, src, 8);
            std::memcpy(dst, &w, 8);
            dst += 8;
            src += 8;
          } while (dst < end);
        } else if (distance == 1) {
          std::memset(dst, *src, static_cast<size_t>(length));
        } else {
          for (; dst < end; ++dst, ++src) *dst = *src;
        }
        out += length;
        produced += length;
        length = 0;
      }
      while (length > 0) {
        // Through the end of the buffer: pieces, with the pending bytes written out between.
        if (out >= outBuf + kOutBufSize) writeOut();
        const int piece = std::min(length, static_cast<int>(outBuf + kOutBufSize - out));
        const unsigned char* src = out - distance;
        if (distance >= 8) {
          for (int i = 0; i < piece; i += 8) {
            uint64_t w;
            std::memcpy(&w, src + i, 8);
            std::memcpy(out + i, &w, 8);
          }
        } else if (distance == 1) {
          std::memset(out, *src, static_cast<size_t>(piece));
        } else {
          for (int i = 0; i < piece; ++i) out[i] = src[i];
        }
        out += piece;
        produced += piece;
        length -= piece;
      }
      mask >>= 1;
    } else {
      // A run of literals: the clear flag bits from this item on, within the group.
      const uint32_t rest = flag & (mask | (mask - 1));
      int run = __builtin_clz(mask) - (rest ? __builtin_clz(rest) : 32);
      run = -run;  // items up to the next match, or to the group's end
      run = std::min({run, inEnd - inPos, static_cast<int>(outBuf + kOutBufSize - out), decodedSize - produced});
      if (run > 1) {
        // Fixed 32-byte copy (run <= 32); the slack behind both buffers takes the overshoot.
        std::memcpy(out, in + inPos, 16);
        std::memcpy(out + 16, in + inPos + 16, 16);
        out += run;
        inPos += run;
        produced += run;
        mask = (mask >> (run - 1)) >> 1;  // a whole group of literals shifts it out entirely
      } else {
        if (!fast) need(1);
        if (out >= outBuf + kOutBufSize) writeOut();
        *out++ = in[inPos++];
        ++produced;
        mask >>= 1;
      }
    }
    if (produced >= decodedSize) break;
    if (inPos > refillAfter) {
      FInPos = inPos;
      ReadInBuffer();
      inPos = FInPos;
      inEnd = FInEnd;
      refillAfter = FConsumed < FInTotal ? inEnd - 256 : INT_MAX;
      ProgressCallBack();
    }
    if (out > flushAfter) writeOut();
  }
  FProduced = produced;
  FInPos = inPos;
  FSuccess = true;
  FOutPos = static_cast<int>(out - outBuf);
  if (FOutPos > FPendingStart) CallWrite(outBuf + FPendingStart, FOutPos - FPendingStart);
  FPendingStart = FOutPos;
  ProgressCallBack();
}

}  // namespace vdmq
