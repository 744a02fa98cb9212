#include "qolib/pack/Qovarnel.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/base/GameError.h"

namespace vdmq {

// ---------------------------------------------------------------------------------------------
// TVarnelHush

bool TVarnelHush::CreateTable(int count) {
  ReleaseTable();
  if (count < 1) return false;
  FHeads = static_cast<TNode**>(std::malloc(sizeof(TNode*) * 65536));
  FNodes = static_cast<TNode*>(std::malloc(sizeof(TNode) * static_cast<size_t>(count)));
  if (!FHeads || !FNodes) {
    ReleaseTable();
    return false;
  }
  FCount = count;
  ClearTable();
  return true;
}

void TVarnelHush::ReleaseTable() {
  std::free(FHeads);
  std::free(FNodes);
  FHeads = nullptr;
  FNodes = nullptr;
  FCount = 0;
  FRing = 0;
}

void TVarnelHush::ClearTable() {
  if (!FHeads) return;
  std::fill(FHeads, FHeads + 65536, nullptr);
  for (int i = 0; i < FCount; ++i) FNodes[i] = TNode{-1, 0, nullptr, nullptr};
  FRing = 0;
}

void TVarnelHush::AddHush(int key, int position) {
  key &= 0xFFFF;
  TNode* node = &FNodes[FRing];
  if (node->key != -1) {
    // Recycle the node: take it out of the chain it belongs to.
    if (node->newer)
      node->newer->older = node->older;
    else
      FHeads[node->key] = node->older;
    if (node->older) node->older->newer = node->newer;
  }
  node->key = key;
  node->position = position;
  node->newer = nullptr;
  node->older = FHeads[key];
  if (node->older) node->older->newer = node;
  FHeads[key] = node;
  if (++FRing >= FCount) FRing = 0;
}

// ---------------------------------------------------------------------------------------------
// TVarnelEncode

bool TVarnelEncode::CreateBuffer() {
  ReleaseBuffer();
  FInBuf = static_cast<unsigned char*>(std::malloc(kInBufSize));
  FOutBuf = static_cast<unsigned char*>(std::malloc(kOutBufSize));
  FHush = new (std::nothrow) TVarnelHush;
  if (!FInBuf || !FOutBuf || !FHush || !FHush->CreateTable(kWindow)) {
    ReleaseBuffer();
    return false;
  }
  return true;
}

void TVarnelEncode::ReleaseBuffer() {
  std::free(FInBuf);
  std::free(FOutBuf);
  delete FHush;
  FInBuf = nullptr;
  FOutBuf = nullptr;
  FHush = nullptr;
}

void TVarnelEncode::ResetState() {
  FChunkBase = 0;
  FOutBase = 0;
  FRead = FInBuf + kHistory;
  FProduced = 4;  // the first flag slot is reserved at output offset 0
  FFlagSlot = 0;
  FGroupEnd = 0;
  FFlag = 0;
  FMask = 0x80000000u;
  FItems = 0;
  FHush->ClearTable();
}

void TVarnelEncode::PutByte(unsigned char b) {
  const int at = FProduced - FOutBase;
  if (at >= kOutBufSize) ThrowGameError("WriteBuffer Error");  // cannot happen with the chunking below
  FOutBuf[at] = b;
  ++FProduced;
}

void TVarnelEncode::HushSearch(unsigned short& length, unsigned short& distance) {
  length = 0;
  distance = 0;
  const int p = FConsumed;
  const int limit = std::min(FInTotal - p, kMaxMatch);
  if (limit < 2) return;
  int best = 0;
  int bestDist = 0;
  const unsigned char* a = FRead;
  for (const TVarnelHush::TNode* node = FHush->GetTop(KeyAt(a)); node; node = TVarnelHush::GetNext(node)) {
    const int dist = p - node->position;
    if (dist >= kHistory) break;  // chains run from newest to oldest
    const unsigned char* b = a - dist;
    // The key guarantees the first two bytes; count on while equal and below the limit.
    int len = 2;
    while (len + 8 <= limit) {
      uint64_t x, y;
      std::memcpy(&x, a + len, 8);
      std::memcpy(&y, b + len, 8);
      if (x != y) {
        len += __builtin_ctzll(x ^ y) >> 3;
        goto counted;
      }
      len += 8;
    }
    while (len < limit && a[len] == b[len]) ++len;
  counted:
    if (len > best) {
      best = len;
      bestDist = dist;
      if (best > 1024) break;
    }
  }
  if (best >= 2) {
    length = static_cast<unsigned short>(best);
    distance = static_cast<unsigned short>(bestDist);
  }
}

void TVarnelEncode::EndItem() {
  FMask >>= 1;
  ++FItems;
  if (FItems == 32 || FConsumed >= FInTotal) {
    unsigned char* slot = FOutBuf + (FFlagSlot - FOutBase);
    slot[0] = static_cast<unsigned char>(FFlag);
    slot[1] = static_cast<unsigned char>(FFlag >> 8);
    slot[2] = static_cast<unsigned char>(FFlag >> 16);
    slot[3] = static_cast<unsigned char>(FFlag >> 24);
    FGroupEnd = FProduced;
    if (FConsumed < FInTotal) {
      FFlagSlot = FProduced;
      if (FProduced + 4 - FOutBase > kOutBufSize) ThrowGameError("WriteBuffer Error");
      FProduced += 4;
      FFlag = 0;
      FMask = 0x80000000u;
      FItems = 0;
    }
  }
}

void TVarnelEncode::ReadInBuffer() {
  std::memmove(FInBuf, FInBuf + kChunk, kInBufSize - kChunk);
  const int64_t next = static_cast<int64_t>(FChunkBase) + 2 * kChunk;
  if (next < FInTotal) {
    const int n = static_cast<int>(std::min<int64_t>(kChunk, FInTotal - next));
    CallRead(FInBuf + (kInBufSize - kChunk), n);
  }
  FChunkBase += kChunk;
  FRead = FInBuf + kHistory + (FConsumed - FChunkBase);
}

void TVarnelEncode::WriteOutBuffer(bool all) {
  const int end = all ? FProduced : FGroupEnd;
  if (end > FWritten) CallWrite(FOutBuf + (FWritten - FOutBase), end - FWritten);
  if (!all) {
    // Keep the incomplete group (its flag slot first) at the start of the buffer.
    std::memmove(FOutBuf, FOutBuf + (FGroupEnd - FOutBase), static_cast<size_t>(FProduced - FGroupEnd));
    FOutBase = FGroupEnd;
  }
}

void TVarnelEncode::CodecLoop() {
  CallRead(FInBuf + kHistory, std::min(FInTotal, 2 * kChunk));
  const int size = FInTotal;
  // One item passes the limit by at most 9 bytes before the check; keep the count inside int.
  const int limit = std::min(FOutBound, INT_MAX - 64);
  for (;;) {
    unsigned short len, dist;
    HushSearch(len, dist);
    if (len >= 2) {
      FFlag |= FMask;
      const int L = len <= 14 ? len - 1 : (len <= 255 ? 14 : 15);
      const int D = dist <= 10 ? dist - 1 : 10 + (dist >> 8);
      PutByte(static_cast<unsigned char>((L << 4) | D));
      if (L == 14) {
        PutByte(static_cast<unsigned char>(len));
      } else if (L == 15) {
        PutByte(static_cast<unsigned char>(len));
        PutByte(static_cast<unsigned char>(len >> 8));
      }
      if (D >= 10) PutByte(static_cast<unsigned char>(dist));
      for (int i = 0; i < len; ++i) {
        // The byte after the last source byte is not data: the last key takes 0 there. That key
        // is never searched, since no position follows it.
        const int key = FConsumed + 1 < size ? KeyAt(FRead) : FRead[0];
        FHush->AddHush(key, FConsumed);
        ++FConsumed;
        ++FRead;
      }
    } else {
      const int key = FConsumed + 1 < size ? KeyAt(FRead) : FRead[0];
      FHush->AddHush(key, FConsumed);
      PutByte(*FRead);
      ++FConsumed;
      ++FRead;
    }
    EndItem();
    if (FProduced > limit) return;  // over the output limit: the run fails
    if (FConsumed >= size) {
      FSuccess = true;
      WriteOutBuffer(true);
      ProgressCallBack();
      return;
    }
    if (FConsumed - FChunkBase > kChunk) {
      ReadInBuffer();
      WriteOutBuffer(false);
      ProgressCallBack();
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
  FInBuf = static_cast<unsigned char*>(std::malloc(kInBufSize + kCopySlack));
  FOutBuf = static_cast<unsigned char*>(std::malloc(kOutBufSize + kCopySlack));
  if (!FInBuf || !FOutBuf) {
    ReleaseBuffer();
    return false;
  }
  return true;
}

void TVarnelDecode::ReleaseBuffer() {
  std::free(FInBuf);
  std::free(FOutBuf);
  FInBuf = nullptr;
  FOutBuf = nullptr;
}

void TVarnelDecode::ResetState() {
  FInPos = 0;
  FInEnd = 0;
  FOutPos = kHistory;
  FPendingStart = kHistory;
}

void TVarnelDecode::ReadInBuffer() {
  // Move the unconsumed bytes to the start and read the next chunk behind them.
  const int keep = FInEnd - FInPos;
  std::memmove(FInBuf, FInBuf + FInPos, static_cast<size_t>(keep));
  FInPos = 0;
  FInEnd = keep;
  const int n = std::min(kChunk, FInTotal - FConsumed);
  CallRead(FInBuf + FInEnd, n);
  FInEnd += n;
  FConsumed += n;
}

void TVarnelDecode::WriteOutBuffer() {
  if (FOutPos > FPendingStart) CallWrite(FOutBuf + FPendingStart, FOutPos - FPendingStart);
  // The last 1536 bytes stay as history for later matches.
  std::memmove(FOutBuf, FOutBuf + (FOutPos - kHistory), kHistory);
  FOutPos = kHistory;
  FPendingStart = kHistory;
}

void TVarnelDecode::CodecLoop() {
  const int decodedSize = FOutBound;
  {
    const int n = std::min(kChunk, FInTotal);
    CallRead(FInBuf, n);
    FInEnd = n;
    FConsumed = n;
  }
  const unsigned char* const in = FInBuf;
  unsigned char* const outBuf = FOutBuf;
  uint32_t flag = 0;
  uint32_t mask = 0;
  int item = 0;
  // The positions live in locals while decoding (byte stores could alias the members); they go
  // back to the members around every call that moves the buffers.
  int inPos = FInPos, inEnd = FInEnd, outPos = FOutPos, produced = FProduced;
  auto writeOut = [&] {
    FOutPos = outPos;
    WriteOutBuffer();
    outPos = FOutPos;
  };
  // A stream that ends inside an item fails the run.
  auto need = [&](int k) {
    if (inEnd - inPos < k) ThrowGameError("ReadBuffer Error");
  };

  while (produced < decodedSize) {
    const bool fast = inEnd - inPos >= kItemMax;  // the whole item is surely in the buffer
    if (item == 0) {
      if (!fast) need(4);
      flag = static_cast<uint32_t>(in[inPos]) | (static_cast<uint32_t>(in[inPos + 1]) << 8) |
             (static_cast<uint32_t>(in[inPos + 2]) << 16) | (static_cast<uint32_t>(in[inPos + 3]) << 24);
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
      while (length > 0) {
        if (outPos >= kOutBufSize) writeOut();
        const int piece = std::min(length, kOutBufSize - outPos);
        unsigned char* dst = outBuf + outPos;
        const unsigned char* src = dst - distance;
        if (distance >= 8) {
          for (int i = 0; i < piece; i += 8) {
            uint64_t w;
            std::memcpy(&w, src + i, 8);
            std::memcpy(dst + i, &w, 8);
          }
        } else if (distance == 1) {
          std::memset(dst, *src, static_cast<size_t>(piece));
        } else {
          for (int i = 0; i < piece; ++i) dst[i] = src[i];
        }
        outPos += piece;
        produced += piece;
        length -= piece;
      }
    } else {
      // A run of literals: the clear flag bits from this item on, within the group.
      const uint32_t rest = flag & (mask | (mask - 1));
      int run = rest ? __builtin_clz(rest) - __builtin_clz(mask) : 32 - item;
      run = std::min({run, inEnd - inPos, kOutBufSize - outPos, decodedSize - produced});
      if (run > 1) {
        // Fixed 32-byte copy (run <= 32); the slack behind both buffers takes the overshoot.
        std::memcpy(outBuf + outPos, in + inPos, 16);
        std::memcpy(outBuf + outPos + 16, in + inPos + 16, 16);
        outPos += run;
        inPos += run;
        produced += run;
        item = (item + run - 1) & 31;
        mask >>= run - 1;
      } else {
        if (!fast) need(1);
        if (outPos >= kOutBufSize) writeOut();
        outBuf[outPos++] = in[inPos++];
        ++produced;
      }
    }
    item = (item + 1) & 31;
    mask >>= 1;
    if (produced >= decodedSize) break;
    if (inEnd - inPos < 256 && FConsumed < FInTotal) {
      FInPos = inPos;
      ReadInBuffer();
      inPos = FInPos;
      inEnd = FInEnd;
      ProgressCallBack();
    }
    if (outPos - FPendingStart > kChunk) writeOut();
  }
  FProduced = produced;
  FInPos = inPos;
  FSuccess = true;
  if (outPos > FPendingStart) CallWrite(outBuf + FPendingStart, outPos - FPendingStart);
  FPendingStart = outPos;
  FOutPos = outPos;
  ProgressCallBack();
}

}  // namespace vdmq
