#include "qolib/pack/Qococotte.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/base/GameError.h"

namespace vdmq {

namespace {

template <typename T>
std::unique_ptr<T[]> Alloc(size_t count) {
  return std::unique_ptr<T[]>(new (std::nothrow) T[count]);
}

// Sets a busy flag for the length of a call and clears it on every way out.
class TBusyScope {
 public:
  explicit TBusyScope(bool& flag) : FFlag(flag) { FFlag = true; }
  ~TBusyScope() { FFlag = false; }

 private:
  bool& FFlag;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// TBWTEncode

// The tables are taken when a block is sorted, sized for it.
bool TBWTEncode::CreateBuffer() {
  ReleaseBuffer();
  FCreated = true;
  return true;
}

void TBWTEncode::ReleaseBuffer() {
  for (TCodecBuffer<int32_t>* b :
       {&FOrderBuf, &FRunBuf, &FRankBuf, &FTempBuf, &FTemp2Buf, &FSplitKeyBuf, &FBucketBuf, &FSplitBuf}) {
    b->Release();
  }
  FDoubledBuf.Release();
  FDoubled = nullptr;
  FOrder = FBucket = FRun = FRank = FTemp = FTemp2 = FSplit = FSplitKey = nullptr;
  FCreated = false;
}

int TBWTEncode::CompareRotation(int a, int b, int depth) const {
  if (FUseRank) {
    // Both rotations agree in their first depth bytes, so their full ranks decide.
    return FRank[a] < FRank[b] ? -1 : (FRank[a] > FRank[b] ? 1 : 0);
  }
  return std::memcmp(FDoubled + a + depth, FDoubled + b + depth, static_cast<size_t>(FLength - depth));
}

void TBWTEncode::ShellSort(int lo, int hi, int depth) {
  const int count = hi - lo;
  int gap = 1;
  while (gap < count / 9) gap = 3 * gap + 1;
  for (; gap > 0; gap /= 3) {
    for (int i = lo + gap; i < hi; ++i) {
      const int v = FOrder[i];
      int j = i;
      while (j - gap >= lo && CompareRotation(FOrder[j - gap], v, depth) > 0) {
        FOrder[j] = FOrder[j - gap];
        j -= gap;
      }
      FOrder[j] = v;
    }
  }
}

void TBWTEncode::SortBucket(int lo, int hi, int level, int depth) {
  const int n = FLength;
  if (depth >= n || hi - lo < 2) return;
  if (level < 4 && depth < n - 2) {
    const int size = hi - lo;
    const unsigned char* d = FDoubled;
    int keyCount = 0;  // 0: no split
    bool runSplit = false;
    int c = 0, cap = 0;
    if (depth >= 4 && size > n / 4 && FRun[FOrder[lo] + depth - 4] >= 4) {
      // Long run of one byte: group by how many more bytes of the run follow, in one pass.
      runSplit = true;
      keyCount = 32769;
      c = d[FOrder[lo] + depth - 1];
      cap = std::min(16384, n - depth);
      for (int i = lo; i < hi; ++i) {
        const int rot = FOrder[i];
        int r = FRun[rot + depth - 1] - 1;
        if (r > cap) r = cap;
        int key;
        if (r == cap)
          key = 16384;
        else if (d[rot + depth + r] >= c)
          key = 32768 - r;
        else
          key = r;
        FTemp2[i] = key;
      }
    } else if (size > 100) {
      // Radix pass on the next two bytes.
      keyCount = 65536;
      for (int i = lo; i < hi; ++i) {
        const int rot = FOrder[i];
        FTemp2[i] = (d[rot + depth] << 8) | d[rot + depth + 1];
      }
    }
    if (keyCount) {
      // Stable counting sort of the range by key.
      std::fill(FSplit, FSplit + keyCount, 0);
      for (int i = lo; i < hi; ++i) ++FSplit[FTemp2[i]];
      int sum = lo;
      for (int k = 0; k < keyCount; ++k) {
        const int t = FSplit[k];
        FSplit[k] = sum;
        sum += t;
      }
      for (int i = lo; i < hi; ++i) {
        const int at = FSplit[FTemp2[i]]++;
        FTemp[at] = FOrder[i];
        FSplitKey[at] = FTemp2[i];
      }
      std::copy(FTemp + lo, FTemp + hi, FOrder + lo);
      // Walk the groups; a deeper call only touches its own group, so the keys to the right stay.
      int targetKey = -1;
      if (FTarget >= 0) {
        for (int i = lo; i < hi; ++i)
          if (FOrder[i] == FTarget) targetKey = FSplitKey[i];
      }
      int g = lo;
      while (g < hi) {
        const int key = FSplitKey[g];
        int e = g + 1;
        while (e < hi && FSplitKey[e] == key) ++e;
        if (e - g >= 2 && (FTarget < 0 || key == targetKey)) {
          int nextDepth;
          if (!runSplit)
            nextDepth = depth + 2;
          else if (key == 16384)
            nextDepth = depth + cap;
          else if (key < 16384)
            nextDepth = depth + key;
          else
            nextDepth = depth + (32768 - key);
          SortBucket(g, e, level + 1, nextDepth);
        }
        g = e;
      }
      return;
    }
  }
  ShellSort(lo, hi, depth);
}

void TBWTEncode::SortByBuckets(int target) {
  const int n = FLength;
  const unsigned char* d = FDoubled;
  FTarget = target;
  std::fill(FBucket, FBucket + 65537, 0);
  for (int i = 0; i < n; ++i) ++FBucket[(d[i] << 8) | d[i + 1]];
  int sum = 0;
  for (int k = 0; k < 65536; ++k) {
    sum += FBucket[k];
    FBucket[k] = sum;  // bucket ends
  }
  FBucket[65536] = n;
  for (int i = n - 1; i >= 0; --i) FOrder[--FBucket[(d[i] << 8) | d[i + 1]]] = i;
  // FBucket[k] is now the start of bucket k, FBucket[k + 1] its end.
  if (target >= 0) {
    const int k = (d[target] << 8) | d[target + 1];
    if (FBucket[k + 1] - FBucket[k] >= 2) SortBucket(FBucket[k], FBucket[k + 1], 0, 2);
  } else {
    for (int k = 0; k < 65536; ++k) {
      const int lo = FBucket[k], hi = FBucket[k + 1];
      if (hi - lo >= 2) SortBucket(lo, hi, 0, 2);
    }
  }
  FTarget = -1;
}

// Ranks every rotation by its whole content (prefix doubling on the cyclic block): FOrder gets the
// rotations in sorted order (equal rotations in any order), FRank the class of each rotation,
// numbered in sorted order.
void TBWTEncode::RankRotations() {
  const int n = FLength;
  const unsigned char* d = FDoubled;
  // First two bytes by counting sort.
  std::fill(FBucket, FBucket + 65537, 0);
  for (int i = 0; i < n; ++i) ++FBucket[(d[i] << 8) | d[i + 1]];
  int sum = 0;
  for (int k = 0; k < 65536; ++k) {
    const int t = FBucket[k];
    FBucket[k] = sum;
    sum += t;
  }
  for (int i = 0; i < n; ++i) FOrder[FBucket[(d[i] << 8) | d[i + 1]]++] = i;
  int classes = 1;
  FRank[FOrder[0]] = 0;
  for (int i = 1; i < n; ++i) {
    const int a = FOrder[i - 1], b = FOrder[i];
    if (d[a] != d[b] || d[a + 1] != d[b + 1]) ++classes;
    FRank[b] = classes - 1;
  }
  // Double the compared length until every class is one rotation or the length covers the block.
  for (int h = 2; classes < n && h < n; h *= 2) {
    // Ordered by the class of the second half: rotation i - h for each i in current order.
    for (int i = 0; i < n; ++i) {
      int v = FOrder[i] - h;
      if (v < 0) v += n;
      FTemp[i] = v;
    }
    std::fill(FBucket, FBucket + classes, 0);
    for (int i = 0; i < n; ++i) ++FBucket[FRank[FTemp[i]]];
    sum = 0;
    for (int k = 0; k < classes; ++k) {
      const int t = FBucket[k];
      FBucket[k] = sum;
      sum += t;
    }
    for (int i = 0; i < n; ++i) {
      const int v = FTemp[i];
      FOrder[FBucket[FRank[v]]++] = v;
    }
    int* next = FTemp2;
    int newClasses = 1;
    next[FOrder[0]] = 0;
    for (int i = 1; i < n; ++i) {
      const int a = FOrder[i - 1], b = FOrder[i];
      int a2 = a + h, b2 = b + h;
      if (a2 >= n) a2 -= n;
      if (b2 >= n) b2 -= n;
      if (FRank[a] != FRank[b] || FRank[a2] != FRank[b2]) ++newClasses;
      next[b] = newClasses - 1;
    }
    std::swap(FRank, FTemp2);
    // Equal in h bytes already meant equal in 2h bytes, hence in every length: the classes are
    // final (a periodic block).
    if (newClasses == classes) break;
    classes = newClasses;
  }
}

bool TBWTEncode::Encode(const unsigned char* src, unsigned char* dst, int n) {
  if (n > kMaxBlock || !FCreated || FBusy) return false;
  if (n < 1) return true;
  const size_t un = static_cast<size_t>(n);
  FDoubled = FDoubledBuf.Reserve(2 * un);
  FRun = FRunBuf.Reserve(2 * un);
  FOrder = FOrderBuf.Reserve(un);
  FRank = FRankBuf.Reserve(un);
  FTemp = FTempBuf.Reserve(un);
  FTemp2 = FTemp2Buf.Reserve(un);
  FSplitKey = FSplitKeyBuf.Reserve(un);
  FBucket = FBucketBuf.Reserve(65536 + 1);
  FSplit = FSplitBuf.Reserve(65536 + 1);
  if (!FDoubled || !FRun || !FOrder || !FRank || !FTemp || !FTemp2 || !FSplitKey || !FBucket || !FSplit) return false;
  TBusyScope busy(FBusy);
  FLength = n;
  std::memcpy(FDoubled, src, static_cast<size_t>(n));
  std::memcpy(FDoubled + n, src, static_cast<size_t>(n));
  const unsigned char* d = FDoubled;
  FRun[2 * n - 1] = 1;
  for (int i = 2 * n - 2; i >= 0; --i) FRun[i] = d[i] == d[i + 1] ? FRun[i + 1] + 1 : 1;

  unsigned char* last = dst + 2;
  int primary = 0;
  if (FRun[0] >= n) {
    // All bytes equal.
    std::memset(last, d[0], static_cast<size_t>(n));
  } else if (FReference) {
    FUseRank = false;
    SortByBuckets(-1);
    for (int i = 0; i < n; ++i) {
      last[i] = d[FOrder[i] + n - 1];
      if (FOrder[i] == 0) primary = i;
    }
  } else {
    RankRotations();
    int classStart = -1;
    for (int i = 0; i < n; ++i) {
      last[i] = d[FOrder[i] + n - 1];
      if (classStart < 0 && FRank[FOrder[i]] == FRank[0]) classStart = i;
    }
    primary = classStart;
    bool periodic = (classStart + 1 < n && FRank[FOrder[classStart + 1]] == FRank[0]);
    if (periodic) {
      // Equal rotations (a periodic block) give the same last column in any order, but where
      // rotation 0 lands among its equals depends on the bucket sort's passes and its Shell sort,
      // which is not stable. Follow those passes along rotation 0's buckets, comparing by rank.
      FUseRank = true;
      SortByBuckets(0);
      FUseRank = false;
      int before = 0;
      for (int i = 0; i < n && FOrder[i] != 0; ++i)
        if (FRank[FOrder[i]] == FRank[0]) ++before;
      primary = classStart + before;
    }
  }
  dst[0] = static_cast<unsigned char>(primary);
  dst[1] = static_cast<unsigned char>(primary >> 8);
  return true;
}

// ---------------------------------------------------------------------------------------------
// TBWTDecode

// The vectors (positions fit 16 bits) are taken when blocks are decoded, sized for them.
bool TBWTDecode::CreateBuffer() {
  ReleaseBuffer();
  FCreated = true;
  return true;
}

void TBWTDecode::ReleaseBuffer() {
  FVector.Release();
  FCreated = false;
}

namespace {

// One block's walk. Bytes come out by following the vector from the primary index:
// dst[k] = last[j_k] with j_0 = vector[primary], j_k+1 = vector[j_k]. The same bytes also come
// out backwards from the end: dst[n - 1] = last[primary], each step back following the inverse.
// The two walks are independent, so their loads overlap.
struct TBlockWalk {
  const uint16_t* vector;
  const uint16_t* back;
  const unsigned char* last;
  unsigned char* dst;
  int n;
  int j;         // forward position
  int k;         // backward position
  int done = 0;  // steps taken by each walk

  void Step() {
    dst[done] = last[j];
    j = vector[j];
    dst[n - 1 - done] = last[k];
    k = back[k];
    ++done;
  }
  void Finish() {
    while (done < n / 2) Step();
    if (n & 1) dst[n / 2] = last[j];
  }
};

}  // namespace

namespace {

// The places of the inverse block sort: the bucket of byte value v starts after all smaller
// values; each bucket lists its positions in ascending order (vector[place] = position), and back
// holds the place of each position. The column is done as Parts pieces side by side, each with its
// own fill positions (a piece's positions in a bucket follow those of the pieces before it): long
// runs of one byte then do not wait on one counter. One piece serves short blocks.
template <int Parts>
void PlaceColumn(const unsigned char* last, int n, uint16_t* vector, uint16_t* back) {
  const int q = n / Parts;
  int32_t count[Parts][256];
  std::memset(count, 0, sizeof count);
  for (int i = 0; i < q; ++i) {
    for (int part = 0; part < Parts; ++part) ++count[part][last[part * q + i]];
  }
  for (int i = Parts * q; i < n; ++i) ++count[Parts - 1][last[i]];
  int32_t fill[Parts][256];
  int sum = 0;
  for (int v = 0; v < 256; ++v) {
    for (int part = 0; part < Parts; ++part) {
      fill[part][v] = sum;
      sum += count[part][v];
    }
  }
  auto put = [&](int32_t* partFill, int p) {
    const int place = partFill[last[p]]++;
    vector[place] = static_cast<uint16_t>(p);
    back[p] = static_cast<uint16_t>(place);
  };
  for (int i = 0; i < q; ++i) {
    for (int part = 0; part < Parts; ++part) put(fill[part], part * q + i);
  }
  for (int p = Parts * q; p < n; ++p) put(fill[Parts - 1], p);
}

}  // namespace

bool TBWTDecode::Build(const unsigned char* src, int length, uint16_t* vector, uint16_t* back, bool& uniform) {
  if (length < 3 || length > 65538) return false;
  const int n = length - 2;
  const int primary = src[0] | (src[1] << 8);
  if (primary >= n) return false;  // no such rank
  const unsigned char* last = src + 2;
  // One byte value throughout (each byte equals the next): nothing to place.
  uniform = std::memcmp(last, last + 1, static_cast<size_t>(n - 1)) == 0;
  if (uniform) return true;
  if (n >= 2048) {
    PlaceColumn<4>(last, n, vector, back);
  } else {
    PlaceColumn<1>(last, n, vector, back);
  }
  return true;
}

bool TBWTDecode::Decode(const unsigned char* src, unsigned char* dst, int length) {
  if (!FCreated || FBusy) return false;
  if (length < 3 || length > 65538) return false;
  TBusyScope busy(FBusy);
  const int n = length - 2;
  uint16_t* vector = FVector.Reserve(2 * static_cast<size_t>(n));
  if (vector == nullptr) return false;
  uint16_t* back = vector + n;
  bool uniform = false;
  if (!Build(src, length, vector, back, uniform)) return false;
  FLength = n;
  if (uniform) {
    std::memset(dst, src[2], static_cast<size_t>(n));
    return true;
  }
  const int primary = src[0] | (src[1] << 8);
  TBlockWalk walk{vector, back, src + 2, dst, n, vector[primary], primary};
  walk.Finish();
  return true;
}

bool TBWTDecode::DecodePair(const unsigned char* srcA, unsigned char* dstA, int lengthA, const unsigned char* srcB,
                            unsigned char* dstB, int lengthB) {
  if (!FCreated || FBusy) return false;
  if (lengthA < 3 || lengthA > 65538 || lengthB < 3 || lengthB > 65538) return false;
  TBusyScope busy(FBusy);
  const int nA = lengthA - 2, nB = lengthB - 2;
  uint16_t* vectorA = FVector.Reserve(2 * static_cast<size_t>(nA + nB));
  if (vectorA == nullptr) return false;
  uint16_t* backA = vectorA + nA;
  uint16_t* vectorB = backA + nA;
  uint16_t* backB = vectorB + nB;
  bool uniformA = false, uniformB = false;
  if (!Build(srcA, lengthA, vectorA, backA, uniformA) || !Build(srcB, lengthB, vectorB, backB, uniformB)) {
    return false;
  }
  if (uniformA) std::memset(dstA, srcA[2], static_cast<size_t>(nA));
  if (uniformB) std::memset(dstB, srcB[2], static_cast<size_t>(nB));
  const int primaryA = srcA[0] | (srcA[1] << 8), primaryB = srcB[0] | (srcB[1] << 8);
  TBlockWalk a{vectorA, backA, srcA + 2, dstA, nA, uniformA ? 0 : vectorA[primaryA], primaryA};
  TBlockWalk b{vectorB, backB, srcB + 2, dstB, nB, uniformB ? 0 : vectorB[primaryB], primaryB};
  if (!uniformA && !uniformB) {
    // Four walks at once while both blocks have steps left.
    const int common = std::min(a.n, b.n) / 2;
    for (int i = 0; i < common; ++i) {
      a.Step();
      b.Step();
    }
  }
  if (!uniformA) a.Finish();
  if (!uniformB) b.Finish();
  return true;
}

// ---------------------------------------------------------------------------------------------
// Move-to-front

void TMTFEncode::Reset() {
  for (int i = 0; i < 256; ++i) {
    FRankOf[i] = static_cast<unsigned char>(i);
    FAtRank[i] = static_cast<unsigned char>(i);
  }
}

bool TMTFEncode::Encode(unsigned char* buf, int n) {
  if (FBusy) return false;
  if (n < 1) return true;
  TBusyScope busy(FBusy);
  for (int i = 0; i < n; ++i) {
    const unsigned char b = buf[i];
    const int r = FRankOf[b];
    buf[i] = static_cast<unsigned char>(r);
    for (int k = r; k > 0; --k) {
      const unsigned char moved = FAtRank[k - 1];
      FAtRank[k] = moved;
      FRankOf[moved] = static_cast<unsigned char>(k);
    }
    FAtRank[0] = b;
    FRankOf[b] = 0;
  }
  return true;
}

void TMTFDecode::Reset() {
  std::memset(FList, 0, sizeof FList);
  for (int i = 0; i < 256; ++i) FList[kRoom + i] = static_cast<unsigned char>(i);
}

bool TMTFDecode::Decode(unsigned char* buf, int n) {
  if (FBusy) return false;
  if (n < 1) return true;
  TBusyScope busy(FBusy);
  for (int i = 0; i < n; ++i) buf[i] = Step(buf[i]);
  return true;
}

// ---------------------------------------------------------------------------------------------
// TQSModel

const int
    CocotteInitialFreq[257] =
        {
            1400, 640, 320, 240, 160, 120, 80, 64, 48, 40, 32, 24,              // 0..11
            20,   20,  20,  20,                                                 // 12..15
            16,   16,  16,  16,                                                 // 16..19
            12,   12,  12,  12,  12,  12,                                       // 20..25
            8,    8,   8,   8,   8,   8,                                        // 26..31
            6,    6,   6,   6,   6,   6,   6,  6,  6,  6,  6,  6,  6, 6, 6, 6,  // 32..47
            5,    5,   5,   5,   5,   5,   5,  5,  5,  5,  5,  5,  5, 5, 5, 5,  // 48..63
            4,    4,   4,   4,   4,   4,   4,  4,  4,  4,  4,  4,  4, 4, 4, 4,  // 64..79
            4,    4,   4,   4,   4,   4,   4,  4,  4,  4,  4,  4,  4, 4, 4, 4,  // 80..95
            3,    3,   3,   3,   3,   3,   3,  3,  3,  3,  3,  3,  3, 3, 3, 3,  // 96..111
            3,    3,   3,   3,   3,   3,   3,  3,  3,  3,  3,  3,  3, 3, 3, 3,  // 112..127
            3,    3,   3,   3,   3,   3,                                        // 128..133
            2,    2,   2,   2,   2,   2,   2,  2,  2,  2,  2,  2,  2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,
            2,    2,   2,   2,   2,   2,   2,  2,  2,  2,  2,  2,  2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,
            2,    2,   2,   2,   2,   2,   2,  2,  2,  2,  2,  2,  2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,
            2,    2,   2,   2,   2,   2,   2,  2,  2,  2,  2,  2,  2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,
            2,    2,   2,   2,   2,   2,   2,  2,  2,  2,  2,  2,  2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,  // 134..256
};

bool TQSModel::Init(int n, int lgTotal, bool compress, const int* initial, int targetRescale) {
  Delete();
  if (n < 2 || lgTotal < 9 || lgTotal > 16) return false;
  FN = n;
  FTargetRescale = targetRescale;
  FTotal = 1 << lgTotal;
  FSearchShift = lgTotal - 9;
  FCf = Alloc<uint16_t>(static_cast<size_t>(n) + 1);
  FNewF = Alloc<uint16_t>(static_cast<size_t>(n) + 1);
  if (!compress) FSearch = Alloc<uint16_t>((1u << 9) + 1);
  if (!FCf || !FNewF || (!compress && !FSearch)) {
    Delete();
    return false;
  }
  FCf[n] = static_cast<uint16_t>(FTotal);
  FCf[0] = 0;
  FNewF[n] = 0;
  if (FSearch) FSearch[1 << 9] = static_cast<uint16_t>(n - 1);
  Reset(initial);
  return true;
}

void TQSModel::Delete() {
  FCf.reset();
  FNewF.reset();
  FSearch.reset();
  FSymbolAt.reset();
  FSymbolAtReady = false;
}

void TQSModel::Reset(const int* initial) {
  FRescale = (FN >> 4) | 2;
  FNextLeft = 0;
  long total = 0;
  if (initial) {
    for (int i = 0; i < FN; ++i) {
      FNewF[i] = static_cast<uint16_t>(initial[i]);
      total += initial[i];
    }
  }
  if (!initial || total != FTotal) {
    // Even split, one more for the first total mod n symbols.
    const int each = FTotal / FN, extra = FTotal % FN;
    for (int i = 0; i < FN; ++i) FNewF[i] = static_cast<uint16_t>(each + (i < extra ? 1 : 0));
  }
  Rescale();
}

namespace {

// out[i] = in[0] op ... op in[i] for i < n, in 16-bit lanes, eight at a time where the processor
// has SSE2: in-lane steps, then the previous piece's last value carried into every lane. Op is
// the sum (wrapping) or the maximum (signed; the values here are small).
template <bool Max>
void RunningOp16(const uint16_t* in, uint16_t* out, int n) {
  int i = 0;
  uint16_t carry = 0;
#if defined(__SSE2__)
  auto op = [](__m128i a, __m128i b) { return Max ? _mm_max_epi16(a, b) : _mm_add_epi16(a, b); };
  __m128i carried = _mm_setzero_si128();
  for (; i + 8 <= n; i += 8) {
    __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    x = op(x, _mm_slli_si128(x, 2));
    x = op(x, _mm_slli_si128(x, 4));
    x = op(x, _mm_slli_si128(x, 8));
    x = op(x, carried);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), x);
    carried = _mm_unpackhi_epi64(_mm_shufflehi_epi16(x, 0xFF), _mm_shufflehi_epi16(x, 0xFF));
  }
  if (i > 0) carry = out[i - 1];
#endif
  for (; i < n; ++i) {
    carry = Max ? std::max(carry, in[i]) : static_cast<uint16_t>(carry + in[i]);
    out[i] = carry;
  }
}

// v[i] = max(v[0..i]) for i < n, sixteen bytes at a time where the processor has SSE2.
void RunningMax8(uint8_t* v, int n) {
  int i = 0;
  uint8_t carry = 0;
#if defined(__SSE2__)
  __m128i carried = _mm_setzero_si128();
  for (; i + 16 <= n; i += 16) {
    __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(v + i));
    x = _mm_max_epu8(x, _mm_slli_si128(x, 1));
    x = _mm_max_epu8(x, _mm_slli_si128(x, 2));
    x = _mm_max_epu8(x, _mm_slli_si128(x, 4));
    x = _mm_max_epu8(x, _mm_slli_si128(x, 8));
    x = _mm_max_epu8(x, carried);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(v + i), x);
    // The last byte into every lane.
    const __m128i last = _mm_unpacklo_epi8(_mm_srli_si128(x, 15), _mm_srli_si128(x, 15));
    carried = _mm_unpacklo_epi64(_mm_shufflelo_epi16(last, 0), _mm_shufflelo_epi16(last, 0));
  }
  if (i > 0) carry = v[i - 1];
#endif
  for (; i < n; ++i) {
    carry = std::max(carry, v[i]);
    v[i] = carry;
  }
}

// The sum of v[0..n-1]; with Halve, each v[i] first becomes (v[i] >> 1) | 1.
template <bool Halve>
int Sum16(uint16_t* v, int n) {
  int i = 0, sum = 0;
#if defined(__SSE2__)
  __m128i acc = _mm_setzero_si128();
  const __m128i one = _mm_set1_epi16(1);
  for (; i + 8 <= n; i += 8) {
    __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(v + i));
    if constexpr (Halve) {
      x = _mm_or_si128(_mm_srli_epi16(x, 1), one);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(v + i), x);
    }
    // Unsigned 16-bit lanes widened to 32 bits before they are added up.
    acc = _mm_add_epi32(acc, _mm_unpacklo_epi16(x, _mm_setzero_si128()));
    acc = _mm_add_epi32(acc, _mm_unpackhi_epi16(x, _mm_setzero_si128()));
  }
  alignas(16) int32_t lanes[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(lanes), acc);
  sum = lanes[0] + lanes[1] + lanes[2] + lanes[3];
#endif
  for (; i < n; ++i) {
    if constexpr (Halve) v[i] = static_cast<uint16_t>((v[i] >> 1) | 1);
    sum += v[i];
  }
  return sum;
}

}  // namespace

void TQSModel::Rescale() {
  if (FNextLeft > 0) {
    ++FIncr;
    FLeft = FNextLeft;
    FNextLeft = 0;
    return;
  }
  if (FRescale < FTargetRescale) {
    FRescale <<= 1;
    if (FRescale > FTargetRescale) FRescale = FTargetRescale;
  }
  uint16_t* const cf = FCf.get();
  uint16_t* const newf = FNewF.get();
  const int total = cf[FN];
  // Taken from the top, the counts of symbols n - 1 .. 1 must leave exactly the count of symbol 0;
  // then the cumulative table is the running sum of the counts from symbol 0 up.
  const int sum = Sum16<false>(newf, FN);
  if (sum != total) {
    const int missing = total - (sum - newf[0]);
    Delete();
    char text[64];
    std::snprintf(text, sizeof text, "rescaling left %d total frequency", missing);
    ThrowGameError(text);
  }
  RunningOp16<false>(newf, cf + 1, FN - 1);
  const int missing = total - Sum16<true>(newf, FN);
  FIncr = missing / FRescale;
  FNextLeft = missing % FRescale;
  FLeft = FRescale - FNextLeft;
  FSymbolAtReady = false;
  if (FSearch && FRescale >= FTargetRescale && FTotal <= 4096 && FN <= 257) {
    // The symbol of every value: each symbol is noted where its interval starts, and a running
    // maximum fills the values in between.
    if (!FSymbolAt) FSymbolAt = Alloc<uint8_t>(static_cast<size_t>(FTotal));
    if (FSymbolAt) {
      uint8_t* const at = FSymbolAt.get();
      std::memset(at, 0, static_cast<size_t>(FTotal));
      for (int sym = 1; sym < FN - 1; ++sym) at[cf[sym]] = static_cast<uint8_t>(sym);
      RunningMax8(at, cf[FN - 1]);
      FSymbolAtReady = true;
      return;
    }
  }
  if (FSearch) {
    // Each search entry names the lowest symbol whose interval touches it: the one holding the
    // entry's first value, which is the highest symbol whose interval starts at or below that
    // value. Each cell notes the highest symbol starting in it (plain stores, in ascending
    // order), and a running maximum over the cells gives the entries; no branch per symbol.
    constexpr int kCells = 1 << 9;
    alignas(16) uint16_t highest[kCells + 8] = {};
    const int roundUp = (1 << FSearchShift) - 1;
    for (int sym = 1; sym < FN; ++sym) highest[(cf[sym] + roundUp) >> FSearchShift] = static_cast<uint16_t>(sym);
    RunningOp16<true>(highest, FSearch.get(), kCells);
  }
}

// ---------------------------------------------------------------------------------------------
// Range coder: 32-bit values, top 2^31, bottom 2^23, shift 23, 7 extra bits.

namespace {
constexpr uint32_t kTop = 1u << 31;
constexpr uint32_t kBottom = 1u << 23;
constexpr int kShiftBits = 23;
constexpr int kExtraBits = 7;
constexpr int kEndSymbol = 256;
}  // namespace

bool TRangeCoder::InitModel() { return FModel.Init(257, 12, FCompress, CocotteInitialFreq, 2000); }
void TRangeCoder::ReleaseModel() { FModel.Delete(); }
bool TRangeCoder::ResetModel() {
  ReleaseModel();
  return InitModel();
}

void TRangeEncode::OutByte(unsigned char b) {
  if (FGiven < FBound)
    FDst[FGiven++] = b;
  else
    FOverflow = true;
}

void TRangeEncode::StartEncode() {
  FLow = 0;
  FRange = kTop;
  FBuffer = 0;
  FHelp = 0;
  FByteCount = 0;
}

void TRangeEncode::Normalize() {
  if (FRange == 0) ThrowGameError("Range Is Zero");
  while (FRange <= kBottom) {
    if (FLow < (0xFFu << kShiftBits)) {
      OutByte(FBuffer);
      for (; FHelp; --FHelp) OutByte(0xFF);
      FBuffer = static_cast<unsigned char>(FLow >> kShiftBits);
    } else if ((FLow & kTop) == 0) {
      ++FHelp;
    } else {
      OutByte(static_cast<unsigned char>(FBuffer + 1));
      for (; FHelp; --FHelp) OutByte(0x00);
      FBuffer = static_cast<unsigned char>(FLow >> kShiftBits);
    }
    FRange <<= 8;
    FLow = (FLow << 8) & (kTop - 1);
    ++FByteCount;
  }
}

void TRangeEncode::EncodeShift(uint32_t freq, uint32_t cumulative, int shift) {
  Normalize();
  const uint32_t r = FRange >> shift;
  const uint32_t tmp = r * cumulative;
  FLow += tmp;
  if ((cumulative + freq) >> shift)
    FRange -= tmp;
  else
    FRange = r * freq;
}

void TRangeEncode::DoneEncode() {
  Normalize();
  FByteCount += 5;
  uint32_t t = FLow >> kShiftBits;
  if ((FLow & (kBottom - 1)) >= (FByteCount >> 1)) ++t;
  if (t > 0xFF) {
    OutByte(static_cast<unsigned char>(FBuffer + 1));
    for (; FHelp; --FHelp) OutByte(0x00);
  } else {
    OutByte(FBuffer);
    for (; FHelp; --FHelp) OutByte(0xFF);
  }
  OutByte(static_cast<unsigned char>(t));
  OutByte(static_cast<unsigned char>(FByteCount >> 16));
  OutByte(static_cast<unsigned char>(FByteCount >> 8));
  OutByte(static_cast<unsigned char>(FByteCount));
}

bool TRangeEncode::EncodeBlock(const unsigned char* src, unsigned char* dst, int n, int bound) {
  if (FBusy) return false;
  FGiven = 0;
  FOverflow = false;
  if (n < 1) return true;
  TBusyScope busy(FBusy);
  FSrc = src;
  FDst = dst;
  FInLength = n;
  FBound = bound;
  FTaken = 0;
  StartEncode();
  int freq, cum;
  for (; FTaken < n && !FOverflow; ++FTaken) {
    const int s = src[FTaken];
    FModel.GetFreq(s, freq, cum);
    EncodeShift(static_cast<uint32_t>(freq), static_cast<uint32_t>(cum), 12);
    FModel.Update(s);
  }
  if (FOverflow) return false;
  FModel.GetFreq(kEndSymbol, freq, cum);
  EncodeShift(static_cast<uint32_t>(freq), static_cast<uint32_t>(cum), 12);
  DoneEncode();
  return !FOverflow;
}

unsigned char TRangeDecode::InByte() {
  if (FTaken < FInLength) return FSrc[FTaken++];
  FOverflow = true;
  return 0;
}

void TRangeDecode::StartDecode() {
  FByteCount = 0;
  FHelp = 0;
  if (FInLength < 2) {
    FOverflow = true;
    FLow = 0;
    FRange = 1u << kExtraBits;
    return;
  }
  InByte();  // the first byte of a code carries nothing
  FBuffer = InByte();
  FLow = FBuffer >> (8 - kExtraBits);
  FRange = 1u << kExtraBits;
}

void TRangeDecode::Normalize() {
  if (FRange == 0) ThrowGameError("Range Is Zero");
  while (FRange <= kBottom) {
    FLow = (FLow << 8) | ((FBuffer << kExtraBits) & 0xFF);
    FBuffer = InByte();
    FLow |= FBuffer >> (8 - kExtraBits);
    FRange <<= 8;
  }
}

uint32_t TRangeDecode::DecodeCulShift(int shift) {
  Normalize();
  FHelp = FRange >> shift;
  const uint32_t v = FLow / FHelp;
  return (v >> shift) ? (1u << shift) - 1 : v;
}

void TRangeDecode::DecodeUpdate(uint32_t freq, uint32_t cumulative, uint32_t total) {
  const uint32_t tmp = FHelp * cumulative;
  FLow -= tmp;
  if (cumulative + freq < total)
    FRange = FHelp * freq;
  else
    FRange -= tmp;
}

void TRangeDecode::DoneDecode() { Normalize(); }

namespace {

// The range decoder's registers while it decodes symbols.
struct TRangeState {
  uint32_t low;
  uint32_t range;
  uint32_t help;
  uint32_t buffer;
  const unsigned char* in;
  const unsigned char* end;
  bool overflow;
};

// Normalize and the help value of DecodeCulShift(12). Padded input has zero bytes behind its end,
// the bytes an exhausted input gives, so bytes are taken without a test and the overflow is told
// by the read position.
template <bool Padded>
inline __attribute__((always_inline)) void NormalizeState(uint32_t& low, uint32_t& range, uint32_t& buffer,
                                                          const unsigned char*& in, const unsigned char* end,
                                                          bool& overflow) {
  if (range == 0) ThrowGameError("Range Is Zero");
  while (range <= kBottom) {
    low = (low << 8) | ((buffer << kExtraBits) & 0xFF);
    if constexpr (Padded) {
      buffer = *in++;
      if (in > end) overflow = true;
    } else if (in < end) {
      buffer = *in++;
    } else {
      buffer = 0;
      overflow = true;
    }
    low |= buffer >> (8 - kExtraBits);
    range <<= 8;
  }
}

// Decodes up to steps symbols with a model that does not rescale meanwhile (its cumulative table
// cf and counts newf, each count raised by incr), handing them to the sink. Stops after the symbol
// that ran the input out, and before the end symbol (setting ended). Answers the symbols decoded.
// Kept apart from the caller so that the coder's state stays in registers: it calls nothing.
template <bool Padded, class Sink>
__attribute__((noinline)) int DecodeCounted(TRangeState& state, const TQSModel& model, const uint16_t* cf,
                                            uint16_t* newf, int steps, int incr, Sink& sinkRef, bool& ended) {
  uint32_t low = state.low, range = state.range, help = state.help, buffer = state.buffer;
  const unsigned char* in = state.in;
  const unsigned char* const end = state.end;
  bool overflow = false;
  Sink sink = sinkRef;
  const uint32_t c1 = cf[1];
  uint32_t newf0 = newf[0];  // the count of symbol 0, the most common one (kept to 16 bits on store)
  const int planned = steps;
  while (steps > 0) {
    // A run of symbol 0 (never the last symbol): low stays, range = help * cf[1]. Its loop is the
    // innermost, so that the few values it needs stay in registers.
    for (;;) {
      NormalizeState<Padded>(low, range, buffer, in, end, overflow);
      help = range >> 12;
      const uint32_t t = help * c1;
      if (low >= t) break;
      range = t;
      sink.Put(0);
      newf0 += static_cast<uint32_t>(incr);
      if (--steps == 0 || overflow) goto counted;
    }
    {
      uint32_t c, f;
      int sym;
      if (const uint32_t c2 = cf[2]; low < help * c2) {
        sym = 1;
        c = c1;
        f = c2 - c1;
      } else {
        uint32_t v = low / help;
        if (v >> 12) v = 4095;
        sym = model.GetSym(static_cast<int>(v));
        if (sym == kEndSymbol) {
          ended = true;
          break;
        }
        c = cf[sym];
        f = cf[sym + 1] - c;
      }
      sink.Put(sym);
      low -= help * c;
      if (c + f < 4096)
        range = help * f;
      else
        range -= help * c;
      newf[sym] = static_cast<uint16_t>(newf[sym] + incr);
    }
    --steps;
    if (overflow) break;
  }
counted:
  sinkRef = sink;
  newf[0] = static_cast<uint16_t>(newf0);
  state.low = low;
  state.range = range;
  state.help = help;
  state.buffer = buffer;
  state.in = in;
  state.overflow = overflow;
  return planned - steps;
}

}  // namespace

template <bool Padded, class Sink>
bool TRangeDecode::DecodeSymbols(const unsigned char* src, int codedLength, int bound, Sink& sink) {
  if (FBusy) return false;
  FGiven = 0;
  FOverflow = false;
  if (codedLength < 1) return true;
  TBusyScope busy(FBusy);
  FSrc = src;
  FInLength = codedLength;
  FBound = bound;
  FTaken = 0;
  StartDecode();
  // Each step is Normalize, DecodeCulShift, GetSym, DecodeUpdate and the model's Update, on a copy
  // of the coder's state. Shortcuts that give the same symbols: symbol 0 is the one when
  // low / help is below cf[1], that is when low < help * cf[1] (help * 4096 fits 32 bits), and 1
  // when below cf[2], so the two most common ranks need no division; and the model changes only
  // when it rescales, so the symbols until then are decoded by DecodeCounted in one go.
  TQSModel& model = FModel;
  TRangeState st{FLow, FRange, FHelp, FBuffer, src + FTaken, src + codedLength, FOverflow};
  int remaining = bound;  // symbols still wanted
  bool ended = false;     // the end symbol came
  const uint16_t* const cf = model.FCf.get();
  uint16_t* const newf = model.FNewF.get();
  while (remaining > 0 && !st.overflow && !ended) {
    if (model.FLeft > 0) {
      const int done =
          DecodeCounted<Padded>(st, model, cf, newf, std::min(model.FLeft, remaining), model.FIncr, sink, ended);
      remaining -= done;
      model.FLeft -= done;
      continue;
    }
    // The next symbol is decoded with the model as it stands, which rescales before counting it.
    NormalizeState<Padded>(st.low, st.range, st.buffer, st.in, st.end, st.overflow);
    st.help = st.range >> 12;
    uint32_t v = st.low / st.help;
    if (v >> 12) v = 4095;
    const int sym = model.GetSym(static_cast<int>(v));
    if (sym == kEndSymbol) break;
    sink.Put(sym);
    const uint32_t c = cf[sym], f = cf[sym + 1] - c;
    st.low -= st.help * c;
    if (c + f < 4096)
      st.range = st.help * f;
    else
      st.range -= st.help * c;
    --remaining;
    model.Update(sym);
  }
  FLow = st.low;
  FRange = st.range;
  FHelp = st.help;
  FBuffer = static_cast<unsigned char>(st.buffer);
  FTaken = static_cast<int>(std::min(st.in, st.end) - src);
  FGiven = bound - remaining;
  FOverflow = st.overflow;
  int freq, cum;
  FModel.GetFreq(kEndSymbol, freq, cum);
  DecodeUpdate(static_cast<uint32_t>(freq), static_cast<uint32_t>(cum), 4096);
  DoneDecode();
  return !FOverflow;
}

namespace {
// Symbols stored as they come.
struct TStoreSink {
  unsigned char* out;
  void Put(int s) { *out++ = static_cast<unsigned char>(s); }
};
// Symbols taken as move-to-front ranks: their bytes are stored. The front byte is kept at hand.
struct TMtfSink {
  unsigned char* out;
  TMTFDecode* mtf;
  uint32_t front;
  void Put(int s) {
    if (s != 0) front = mtf->Step(s);
    *out++ = static_cast<unsigned char>(front);
  }
};
}  // namespace

bool TRangeDecode::DecodeBlock(const unsigned char* src, unsigned char* dst, int codedLength, int bound) {
  FDst = dst;
  TStoreSink sink{dst};
  return DecodeSymbols<false>(src, codedLength, bound, sink);
}

// ---------------------------------------------------------------------------------------------
// TCocotteEncode

bool TCocotteEncode::CreateBuffer() {
  ReleaseBuffer();
  FBwt.reset(new (std::nothrow) TBWTEncode);
  FMtf.reset(new (std::nothrow) TMTFEncode);
  FRange.reset(new (std::nothrow) TRangeEncode);
  if (!FBlock.Reserve(kBlock) || !FTransform.Reserve(kTransform) || !FRecord.Reserve(kRecord) || !FBwt || !FMtf ||
      !FRange || !FBwt->CreateBuffer() || !FRange->InitModel()) {
    ReleaseBuffer();
    return false;
  }
  return true;
}

void TCocotteEncode::ReleaseBuffer() {
  FBlock.Release();
  FTransform.Release();
  FRecord.Release();
  FBwt.reset();
  FMtf.reset();
  FRange.reset();
}

void TCocotteEncode::ResetState() {}

void TCocotteEncode::ReadInBuffer(int n) {
  CallRead(FBlock.Data(), n);
  FConsumed += n;
}

void TCocotteEncode::WriteOutBuffer(int n) { CallWrite(FRecord.Data(), n); }

void TCocotteEncode::CodecLoop() {
  unsigned char* const block = FBlock.Data();
  unsigned char* const transform = FTransform.Data();
  unsigned char* const record = FRecord.Data();
  while (FConsumed < FInTotal) {
    const int n = std::min(kBlock, FInTotal - FConsumed);
    ReadInBuffer(n);
    if (!FBwt->Encode(block, transform, n)) return;
    if (!FMtf->Encode(transform, n + 2)) return;
    const bool coded = FRange->EncodeBlock(transform, record + 4, n + 2, kRecord - 4);
    int length;
    if (!coded || FRange->CodedLength() >= n + 2) {
      // Not shorter: store T itself, and both sides start the next block from the initial model.
      std::memcpy(record + 4, transform, static_cast<size_t>(n + 2));
      length = n + 6;
      if (!FRange->ResetModel()) return;
    } else {
      length = FRange->CodedLength() + 4;
    }
    record[0] = static_cast<unsigned char>(length);
    record[1] = static_cast<unsigned char>(length >> 8);
    record[2] = static_cast<unsigned char>(n);
    record[3] = static_cast<unsigned char>(n >> 8);
    if (length > FOutBound - FProduced) return;  // the output total would pass the limit
    FProduced += length;
    WriteOutBuffer(length);
    ProgressCallBack();
  }
  FSuccess = true;
}

// ---------------------------------------------------------------------------------------------
// TCocotteDecode

// The record and block buffers are taken as records come in, sized for them.
bool TCocotteDecode::CreateBuffer() {
  ReleaseBuffer();
  FBwt.reset(new (std::nothrow) TBWTDecode);
  FMtf.reset(new (std::nothrow) TMTFDecode);
  FRange.reset(new (std::nothrow) TRangeDecode);
  if (!FBwt || !FMtf || !FRange || !FBwt->CreateBuffer() || !FRange->InitModel()) {
    ReleaseBuffer();
    return false;
  }
  return true;
}

void TCocotteDecode::ReleaseBuffer() {
  for (TCodecBuffer<unsigned char>* b : {&FRecord, &FTransform, &FTransform2, &FBlock, &FBlock2}) b->Release();
  FBwt.reset();
  FMtf.reset();
  FRange.reset();
}

void TCocotteDecode::ResetState() {}

void TCocotteDecode::ReadInBuffer(unsigned char* dst, int n) {
  CallRead(dst, n);
  FConsumed += n;
}

void TCocotteDecode::WriteOutBuffer(unsigned char* block, int n) {
  if (n > 0) CallWrite(block, n);
}

bool TCocotteDecode::ReadBlock(TCodecBuffer<unsigned char>& transformBuf, int& n) {
  // A record needs its length word, and the whole record must lie within the stored bytes.
  if (FInTotal - FConsumed < 2) return false;
  unsigned char head[2];
  ReadInBuffer(head, 2);
  const int length = head[0] | (head[1] << 8);
  if (length < 4 || length - 2 > FInTotal - FConsumed) return false;
  // Eight zero bytes behind the record let the range decoder take its bytes without a test.
  unsigned char* const record = FRecord.Need(static_cast<size_t>(length) + 8);
  record[0] = head[0];
  record[1] = head[1];
  ReadInBuffer(record + 2, length - 2);
  std::memset(record + length, 0, 8);
  n = record[2] | (record[3] << 8);
  if (n < 1 || n > kBlock) return false;
  unsigned char* const transform = transformBuf.Need(static_cast<size_t>(n) + 2);
  const int payload = length - 4;
  if (payload == n + 2) {
    std::memcpy(transform, record + 4, static_cast<size_t>(n + 2));
    if (!FRange->ResetModel()) return false;
    return FMtf->Decode(transform, n + 2);
  }
  // Move-to-front is undone as the symbols come out of the range decoder.
  TMtfSink sink{transform, FMtf.get(), FMtf->Step(0)};
  if (!FRange->DecodeSymbols<true>(record + 4, payload, n + 2, sink)) return false;
  return FRange->DecodedLength() >= n + 2;  // else the end symbol came too early
}

void TCocotteDecode::CodecLoop() {
  const int decodedSize = FOutBound;
  while (FProduced < decodedSize) {
    int n = 0, n2 = 0;
    if (!ReadBlock(FTransform, n)) return;
    unsigned char* const block = FBlock.Need(static_cast<size_t>(n));
    // When another block is wanted and stored, take it now: the inverse block sorts of the two
    // blocks then run side by side (their range coding and move-to-front stay in order).
    const bool pair = n < decodedSize - FProduced && FInTotal - FConsumed >= 2;
    unsigned char* block2 = nullptr;
    if (pair) {
      if (!ReadBlock(FTransform2, n2)) return;
      block2 = FBlock2.Need(static_cast<size_t>(n2));
      if (!FBwt->DecodePair(FTransform.Data(), block, n + 2, FTransform2.Data(), block2, n2 + 2)) return;
    } else {
      if (!FBwt->Decode(FTransform.Data(), block, n + 2)) return;
    }
    int give = std::min(n, decodedSize - FProduced);
    WriteOutBuffer(block, give);
    FProduced += give;
    ProgressCallBack();
    if (pair) {
      give = std::min(n2, decodedSize - FProduced);
      WriteOutBuffer(block2, give);
      FProduced += give;
      ProgressCallBack();
    }
  }
  FSuccess = true;
}

}  // namespace vdmq
