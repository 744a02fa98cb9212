#include "qolib/pack/Qococotte.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "platform/base/GameError.h"

namespace vdmq {

namespace {

template <typename T>
T* Alloc(size_t count) {
  return static_cast<T*>(std::malloc(sizeof(T) * count));
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

bool TBWTEncode::CreateBuffer() {
  ReleaseBuffer();
  FDoubled = Alloc<unsigned char>(2 * kMaxBlock);
  FOrder = Alloc<int32_t>(kMaxBlock);
  FBucket = Alloc<int32_t>(65536 + 1);
  FRun = Alloc<int32_t>(2 * kMaxBlock);
  FRank = Alloc<int32_t>(kMaxBlock);
  FTemp = Alloc<int32_t>(kMaxBlock);
  FTemp2 = Alloc<int32_t>(kMaxBlock);
  FSplit = Alloc<int32_t>(65536 + 1);
  FSplitKey = Alloc<int32_t>(kMaxBlock);
  if (!FDoubled || !FOrder || !FBucket || !FRun || !FRank || !FTemp || !FTemp2 || !FSplit || !FSplitKey) {
    ReleaseBuffer();
    return false;
  }
  return true;
}

void TBWTEncode::ReleaseBuffer() {
  std::free(FDoubled);
  std::free(FOrder);
  std::free(FBucket);
  std::free(FRun);
  std::free(FRank);
  std::free(FTemp);
  std::free(FTemp2);
  std::free(FSplit);
  std::free(FSplitKey);
  FDoubled = nullptr;
  FOrder = FBucket = FRun = FRank = FTemp = FTemp2 = FSplit = FSplitKey = nullptr;
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
  if (n > kMaxBlock || !FDoubled || FBusy) return false;
  if (n < 1) return true;
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

bool TBWTDecode::CreateBuffer() {
  ReleaseBuffer();
  // Two blocks' vectors and their inverses (positions fit 16 bits).
  FVector = Alloc<uint16_t>(4 * 65536);
  return FVector != nullptr;
}

void TBWTDecode::ReleaseBuffer() {
  std::free(FVector);
  FVector = nullptr;
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
  int j;  // forward position
  int k;  // backward position
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

bool TBWTDecode::Build(const unsigned char* src, int length, uint16_t* vector, uint16_t* back) {
  if (length < 3 || length > 65538) return false;
  const int n = length - 2;
  const int primary = src[0] | (src[1] << 8);
  if (primary >= n) return false;  // no such rank
  const unsigned char* last = src + 2;
  // The bucket of byte value v starts after all smaller values; each bucket lists its positions
  // in ascending order (vector[place] = position), and back holds the place of each position.
  // The column is done as four quarters side by side, each with its own fill positions (a
  // quarter's positions in a bucket follow those of the quarters before it): long runs of one
  // byte then do not wait on one counter.
  const int q = n / 4;
  const int starts[5] = {0, q, 2 * q, 3 * q, n};
  int32_t count[4][256];
  std::memset(count, 0, sizeof count);
  for (int i = 0; i < q; ++i) {
    ++count[0][last[i]];
    ++count[1][last[q + i]];
    ++count[2][last[2 * q + i]];
    ++count[3][last[3 * q + i]];
  }
  for (int i = 4 * q; i < n; ++i) ++count[3][last[i]];
  int32_t fill[4][256];
  int sum = 0;
  for (int v = 0; v < 256; ++v) {
    for (int part = 0; part < 4; ++part) {
      fill[part][v] = sum;
      sum += count[part][v];
    }
    FCount[v] = sum;  // one past the bucket's end
  }
  auto put = [&](int32_t* partFill, int p) {
    const int place = partFill[last[p]]++;
    vector[place] = static_cast<uint16_t>(p);
    back[p] = static_cast<uint16_t>(place);
  };
  for (int i = 0; i < q; ++i) {
    put(fill[0], starts[0] + i);
    put(fill[1], starts[1] + i);
    put(fill[2], starts[2] + i);
    put(fill[3], starts[3] + i);
  }
  for (int p = 4 * q; p < n; ++p) {
    const int place = fill[3][last[p]]++;
    vector[place] = static_cast<uint16_t>(p);
    back[p] = static_cast<uint16_t>(place);
  }
  return true;
}

bool TBWTDecode::Decode(const unsigned char* src, unsigned char* dst, int length) {
  if (!FVector || FBusy) return false;
  TBusyScope busy(FBusy);
  uint16_t* vector = FVector;
  uint16_t* back = FVector + 65536;
  if (!Build(src, length, vector, back)) return false;
  FLength = length - 2;
  const int primary = src[0] | (src[1] << 8);
  TBlockWalk walk{vector, back, src + 2, dst, FLength, vector[primary], primary};
  walk.Finish();
  return true;
}

bool TBWTDecode::DecodePair(const unsigned char* srcA, unsigned char* dstA, int lengthA,
                            const unsigned char* srcB, unsigned char* dstB, int lengthB) {
  if (!FVector || FBusy) return false;
  TBusyScope busy(FBusy);
  uint16_t* vectorA = FVector;
  uint16_t* backA = FVector + 65536;
  uint16_t* vectorB = FVector + 2 * 65536;
  uint16_t* backB = FVector + 3 * 65536;
  if (!Build(srcA, lengthA, vectorA, backA) || !Build(srcB, lengthB, vectorB, backB)) return false;
  const int primaryA = srcA[0] | (srcA[1] << 8), primaryB = srcB[0] | (srcB[1] << 8);
  TBlockWalk a{vectorA, backA, srcA + 2, dstA, lengthA - 2, vectorA[primaryA], primaryA};
  TBlockWalk b{vectorB, backB, srcB + 2, dstB, lengthB - 2, vectorB[primaryB], primaryB};
  // Four walks at once while both blocks have steps left.
  const int common = std::min(a.n, b.n) / 2;
  for (int i = 0; i < common; ++i) {
    a.Step();
    b.Step();
  }
  a.Finish();
  b.Finish();
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
  for (int i = 0; i < 256; ++i) FAtRank[i] = static_cast<unsigned char>(i);
}

bool TMTFDecode::Decode(unsigned char* buf, int n) {
  if (FBusy) return false;
  if (n < 1) return true;
  TBusyScope busy(FBusy);
  // The front of the list stays in a register: rank 0, by far the most common, touches no memory.
  unsigned char front = FAtRank[0];
  uint64_t spread = 0x0101010101010101ull * front;  // eight copies of the front byte
  for (int i = 0; i < n; ++i) {
    // Eight ranks of 0 in a row (common in flat data) become eight copies of the front byte.
    while (i + 8 <= n) {
      uint64_t w;
      std::memcpy(&w, buf + i, 8);
      if (w) break;
      std::memcpy(buf + i, &spread, 8);
      i += 8;
    }
    if (i >= n) break;
    const int r = buf[i];
    if (r == 0) {
      buf[i] = front;
      continue;
    }
    const unsigned char b = FAtRank[r];
    buf[i] = b;
    // Ranks 1..r-1 move up by one: short moves by hand, eight at a time from the top (each load
    // comes before the store that overlaps it); long ones by memmove.
    if (r < 16) {
      int k = r;
      for (; k >= 9; k -= 8) {
        uint64_t w;
        std::memcpy(&w, FAtRank + k - 8, 8);
        std::memcpy(FAtRank + k - 7, &w, 8);
      }
      for (; k > 1; --k) FAtRank[k] = FAtRank[k - 1];
    } else {
      std::memmove(FAtRank + 2, FAtRank + 1, static_cast<size_t>(r - 1));
    }
    FAtRank[1] = front;
    front = b;
    spread = 0x0101010101010101ull * front;
  }
  FAtRank[0] = front;
  return true;
}

// ---------------------------------------------------------------------------------------------
// TQSModel

const int CocotteInitialFreq[257] = {
    1400, 640, 320, 240, 160, 120, 80, 64, 48, 40, 32, 24,  // 0..11
    20, 20, 20, 20,                                          // 12..15
    16, 16, 16, 16,                                          // 16..19
    12, 12, 12, 12, 12, 12,                                  // 20..25
    8, 8, 8, 8, 8, 8,                                        // 26..31
    6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6,          // 32..47
    5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5,          // 48..63
    4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4,          // 64..79
    4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4,          // 80..95
    3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3,          // 96..111
    3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3,          // 112..127
    3, 3, 3, 3, 3, 3,                                        // 128..133
    2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,
    2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,
    2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,
    2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,  // 134..256
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
  std::free(FCf);
  std::free(FNewF);
  std::free(FSearch);
  FCf = FNewF = FSearch = nullptr;
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
  int missing = FCf[FN];
  for (int i = FN - 1; i > 0; --i) {
    missing -= FNewF[i];
    FCf[i] = static_cast<uint16_t>(missing);
    FNewF[i] = static_cast<uint16_t>((FNewF[i] >> 1) | 1);
  }
  if (missing != FNewF[0]) {
    Delete();
    char text[64];
    std::snprintf(text, sizeof text, "rescaling left %d total frequency", missing);
    ThrowGameError(text);
  }
  FNewF[0] = static_cast<uint16_t>((FNewF[0] >> 1) | 1);
  missing = FCf[FN];
  for (int i = 0; i < FN; ++i) missing -= FNewF[i];
  FIncr = missing / FRescale;
  FNextLeft = missing % FRescale;
  FLeft = FRescale - FNextLeft;
  if (FSearch) {
    // Each search entry names the lowest symbol whose interval touches it.
    for (int s = FN - 1; s >= 0; --s) {
      const int start = FCf[s] >> FSearchShift;
      const int end = (FCf[s + 1] - 1) >> FSearchShift;
      for (int e = start; e <= end; ++e) FSearch[e] = static_cast<uint16_t>(s);
    }
  }
}

int TQSModel::GetSym(int value) const {
  const int e = value >> FSearchShift;
  int lo = FSearch[e];
  int hi = FSearch[e + 1] + 1;
  while (lo + 1 < hi) {
    const int mid = (lo + hi) >> 1;
    if (value < FCf[mid])
      hi = mid;
    else
      lo = mid;
  }
  return lo;
}

void TQSModel::Update(int symbol) {
  if (FLeft <= 0) Rescale();
  --FLeft;
  FNewF[symbol] = static_cast<uint16_t>(FNewF[symbol] + FIncr);
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

bool TRangeDecode::DecodeBlock(const unsigned char* src, unsigned char* dst, int codedLength, int bound) {
  if (FBusy) return false;
  FGiven = 0;
  FOverflow = false;
  if (codedLength < 1) return true;
  TBusyScope busy(FBusy);
  FSrc = src;
  FDst = dst;
  FInLength = codedLength;
  FBound = bound;
  FTaken = 0;
  StartDecode();
  // The symbol loop runs on local copies of the coder's state (the byte stores to dst could
  // otherwise alias it). Each step is Normalize, DecodeCulShift, GetSym, DecodeUpdate and the
  // model's Update, with one shortcut: the symbol is 0 exactly when low / help is below cf[1],
  // that is when low < help * cf[1] (help * 4096 fits 32 bits), and 1 when below cf[2]; the two
  // most common ranks need no division.
  uint32_t low = FLow, range = FRange, help = FHelp;
  unsigned char buffer = FBuffer;
  int taken = FTaken, given = 0;
  bool overflow = FOverflow;
  const uint16_t* cf = FModel.CumulativeTable();
  while (given < bound && !overflow) {
    if (range == 0) ThrowGameError("Range Is Zero");
    while (range <= kBottom) {
      low = (low << 8) | ((buffer << kExtraBits) & 0xFF);
      if (taken < codedLength) {
        buffer = src[taken++];
      } else {
        buffer = 0;
        overflow = true;
      }
      low |= buffer >> (8 - kExtraBits);
      range <<= 8;
    }
    help = range >> 12;
    int s;
    if (low < help * cf[1]) {
      s = 0;
    } else if (low < help * cf[2]) {
      s = 1;
    } else {
      uint32_t v = low / help;
      if (v >> 12) v = 4095;
      s = FModel.GetSym(static_cast<int>(v));
      if (s == kEndSymbol) break;
    }
    dst[given++] = static_cast<unsigned char>(s);
    const uint32_t c = cf[s], f = cf[s + 1] - c;
    low -= help * c;
    if (c + f < 4096)
      range = help * f;
    else
      range -= help * c;
    FModel.Update(s);
  }
  FLow = low;
  FRange = range;
  FHelp = help;
  FBuffer = buffer;
  FTaken = taken;
  FGiven = given;
  FOverflow = overflow;
  int freq, cum;
  FModel.GetFreq(kEndSymbol, freq, cum);
  DecodeUpdate(static_cast<uint32_t>(freq), static_cast<uint32_t>(cum), 4096);
  DoneDecode();
  return !FOverflow;
}

// ---------------------------------------------------------------------------------------------
// TCocotteEncode

bool TCocotteEncode::CreateBuffer() {
  ReleaseBuffer();
  FBlock = Alloc<unsigned char>(kBlock);
  FTransform = Alloc<unsigned char>(kTransform);
  FRecord = Alloc<unsigned char>(kRecord);
  FBwt = new (std::nothrow) TBWTEncode;
  FMtf = new (std::nothrow) TMTFEncode;
  FRange = new (std::nothrow) TRangeEncode;
  if (!FBlock || !FTransform || !FRecord || !FBwt || !FMtf || !FRange || !FBwt->CreateBuffer() ||
      !FRange->InitModel()) {
    ReleaseBuffer();
    return false;
  }
  return true;
}

void TCocotteEncode::ReleaseBuffer() {
  std::free(FBlock);
  std::free(FTransform);
  std::free(FRecord);
  delete FBwt;
  delete FMtf;
  delete FRange;
  FBlock = FTransform = FRecord = nullptr;
  FBwt = nullptr;
  FMtf = nullptr;
  FRange = nullptr;
}

void TCocotteEncode::ResetState() {}

void TCocotteEncode::ReadInBuffer(int n) {
  CallRead(FBlock, n);
  FConsumed += n;
}

void TCocotteEncode::WriteOutBuffer(int n) { CallWrite(FRecord, n); }

void TCocotteEncode::CodecLoop() {
  while (FConsumed < FInTotal) {
    const int n = std::min(kBlock, FInTotal - FConsumed);
    ReadInBuffer(n);
    if (!FBwt->Encode(FBlock, FTransform, n)) return;
    if (!FMtf->Encode(FTransform, n + 2)) return;
    const bool coded = FRange->EncodeBlock(FTransform, FRecord + 4, n + 2, kRecord - 4);
    int length;
    if (!coded || FRange->CodedLength() >= n + 2) {
      // Not shorter: store T itself, and both sides start the next block from the initial model.
      std::memcpy(FRecord + 4, FTransform, static_cast<size_t>(n + 2));
      length = n + 6;
      if (!FRange->ResetModel()) return;
    } else {
      length = FRange->CodedLength() + 4;
    }
    FRecord[0] = static_cast<unsigned char>(length);
    FRecord[1] = static_cast<unsigned char>(length >> 8);
    FRecord[2] = static_cast<unsigned char>(n);
    FRecord[3] = static_cast<unsigned char>(n >> 8);
    if (length > FOutBound - FProduced) return;  // the output total would pass the limit
    FProduced += length;
    WriteOutBuffer(length);
    ProgressCallBack();
  }
  FSuccess = true;
}

// ---------------------------------------------------------------------------------------------
// TCocotteDecode

bool TCocotteDecode::CreateBuffer() {
  ReleaseBuffer();
  FRecord = Alloc<unsigned char>(kRecord);
  FTransform = Alloc<unsigned char>(kTransform);
  FBlock = Alloc<unsigned char>(kBlock);
  FTransform2 = Alloc<unsigned char>(kTransform);
  FBlock2 = Alloc<unsigned char>(kBlock);
  FBwt = new (std::nothrow) TBWTDecode;
  FMtf = new (std::nothrow) TMTFDecode;
  FRange = new (std::nothrow) TRangeDecode;
  if (!FRecord || !FTransform || !FBlock || !FTransform2 || !FBlock2 || !FBwt || !FMtf || !FRange ||
      !FBwt->CreateBuffer() || !FRange->InitModel()) {
    ReleaseBuffer();
    return false;
  }
  return true;
}

void TCocotteDecode::ReleaseBuffer() {
  std::free(FRecord);
  std::free(FTransform);
  std::free(FBlock);
  std::free(FTransform2);
  std::free(FBlock2);
  FTransform2 = FBlock2 = nullptr;
  delete FBwt;
  delete FMtf;
  delete FRange;
  FRecord = FTransform = FBlock = nullptr;
  FBwt = nullptr;
  FMtf = nullptr;
  FRange = nullptr;
}

void TCocotteDecode::ResetState() {}

void TCocotteDecode::ReadInBuffer(unsigned char* dst, int n) {
  CallRead(dst, n);
  FConsumed += n;
}

void TCocotteDecode::WriteOutBuffer(unsigned char* block, int n) {
  if (n > 0) CallWrite(block, n);
}

bool TCocotteDecode::ReadBlock(unsigned char* transform, int& n) {
  // A record needs its length word, and the whole record must lie within the stored bytes.
  if (FInTotal - FConsumed < 2) return false;
  ReadInBuffer(FRecord, 2);
  const int length = FRecord[0] | (FRecord[1] << 8);
  if (length < 4 || length - 2 > FInTotal - FConsumed) return false;
  ReadInBuffer(FRecord + 2, length - 2);
  n = FRecord[2] | (FRecord[3] << 8);
  if (n < 1 || n > kBlock) return false;
  const int payload = length - 4;
  if (payload == n + 2) {
    std::memcpy(transform, FRecord + 4, static_cast<size_t>(n + 2));
    if (!FRange->ResetModel()) return false;
  } else {
    if (!FRange->DecodeBlock(FRecord + 4, transform, payload, n + 2)) return false;
    if (FRange->DecodedLength() < n + 2) return false;  // the end symbol came too early
  }
  return FMtf->Decode(transform, n + 2);
}

void TCocotteDecode::CodecLoop() {
  const int decodedSize = FOutBound;
  while (FProduced < decodedSize) {
    int n = 0, n2 = 0;
    if (!ReadBlock(FTransform, n)) return;
    // When another block is wanted and stored, take it now: the inverse block sorts of the two
    // blocks then run side by side (their range coding and move-to-front stay in order).
    const bool pair = n < decodedSize - FProduced && FInTotal - FConsumed >= 2;
    if (pair) {
      if (!ReadBlock(FTransform2, n2)) return;
      if (!FBwt->DecodePair(FTransform, FBlock, n + 2, FTransform2, FBlock2, n2 + 2)) return;
    } else {
      if (!FBwt->Decode(FTransform, FBlock, n + 2)) return;
    }
    int give = std::min(n, decodedSize - FProduced);
    WriteOutBuffer(FBlock, give);
    FProduced += give;
    ProgressCallBack();
    if (pair) {
      give = std::min(n2, decodedSize - FProduced);
      WriteOutBuffer(FBlock2, give);
      FProduced += give;
      ProgressCallBack();
    }
  }
  FSuccess = true;
}

}  // namespace vdmq
