#pragma once
// Cocotte: the library's block-sorting codec. The source is cut into blocks of at most 32768 bytes;
// each block goes through a block sort (last column plus primary index), a move-to-front coder and
// an adaptive range coder with a quasi-static frequency model.
//
// Stream: one record per block, no stream header, little-endian:
//   u16 L (4 + payload length), u16 N (1..32768), payload.
// The transformed block T is N + 2 bytes (u16 primary index, then the last column), passed through
// move-to-front. A payload of exactly N + 2 bytes is T itself (raw); any other length is the range
// code of T's N + 2 bytes followed by the end symbol 256.

#include <cstdint>
#include <cstring>
#include <memory>

#include "qolib/pack/Qocodec.h"

namespace vdmq {

// Block sort (forward transform). Sorts the N rotations of a block of up to 65536 bytes.
class TBWTEncode {
 public:
  static constexpr int kMaxBlock = 65536;

  TBWTEncode() = default;
  TBWTEncode(const TBWTEncode&) = delete;
  TBWTEncode& operator=(const TBWTEncode&) = delete;
  ~TBWTEncode() { ReleaseBuffer(); }

  bool CreateBuffer();
  void ReleaseBuffer();
  // Writes the u16 primary index followed by the n bytes of the last column (n + 2 bytes) to dst.
  // False when n > 65536, the buffers are missing or the sorter is busy. n < 1 writes nothing.
  bool Encode(const unsigned char* src, unsigned char* dst, int n);
  // Sorts the rotations at ranks lo..hi-1, which agree in their first depth bytes.
  void SortBucket(int lo, int hi, int level, int depth);
  // Compares the rotations starting at a and b from byte depth on (both agree before it).
  int CompareRotation(int a, int b, int depth) const;

  // Off by default: rotations are ranked by prefix doubling, which keeps long runs and flat data
  // fast. On: the rotations are ordered by the bucket sort alone, comparing bytes; the result is
  // the same, slower. Used to check the ranked path.
  void SetReferenceSort(bool on) { FReference = on; }

 private:
  void RankRotations();
  void SortByBuckets(int target);
  void ShellSort(int lo, int hi, int depth);

  // Sized for the block being sorted (the doubled block and the run table for 2n, the rest for n);
  // the two key tables for all 65536 keys.
  TCodecBuffer<unsigned char> FDoubledBuf;
  TCodecBuffer<int32_t> FOrderBuf, FRunBuf, FRankBuf, FTempBuf, FTemp2Buf, FSplitKeyBuf;
  TCodecBuffer<int32_t> FBucketBuf, FSplitBuf;
  unsigned char* FDoubled = nullptr;  // the block written twice
  int32_t* FOrder = nullptr;          // rotation at each rank
  int32_t* FBucket = nullptr;         // 65536 counts / bucket ends
  int32_t* FRun = nullptr;            // run length at each position of the doubled block
  int32_t* FRank = nullptr;           // content rank of each rotation (ranked path)
  int32_t* FTemp = nullptr;           // work order
  int32_t* FTemp2 = nullptr;          // work classes
  int32_t* FSplit = nullptr;          // key counts of a bucket split (65536 + 1)
  int32_t* FSplitKey = nullptr;       // keys of the rotations of a bucket split
  int FLength = 0;
  bool FCreated = false;
  int FTarget = -1;  // when >= 0, SortBucket follows only the group holding it
  bool FUseRank = false;
  bool FReference = false;
  bool FBusy = false;
};

// Inverse block sort.
class TBWTDecode {
 public:
  TBWTDecode() = default;
  TBWTDecode(const TBWTDecode&) = delete;
  TBWTDecode& operator=(const TBWTDecode&) = delete;
  ~TBWTDecode() { ReleaseBuffer(); }

  bool CreateBuffer();
  void ReleaseBuffer();
  // src: u16 primary index then length - 2 bytes of last column; writes length - 2 bytes.
  // Needs 3 <= length <= 65538 and a primary index below length - 2.
  bool Decode(const unsigned char* src, unsigned char* dst, int length);
  // Two independent blocks at once, as Decode on each; their walks overlap in time.
  bool DecodePair(const unsigned char* srcA, unsigned char* dstA, int lengthA, const unsigned char* srcB,
                  unsigned char* dstB, int lengthB);

 private:
  // Places one block (vector and back, n entries each); false when the block is refused. A block
  // of one byte value places nothing and sets uniform: its inverse is that byte n times.
  bool Build(const unsigned char* src, int length, uint16_t* vector, uint16_t* back, bool& uniform);

  // Per block n places, then the inverse; sized for the blocks at hand (two at most).
  TCodecBuffer<uint16_t> FVector;
  int FLength = 0;
  bool FCreated = false;
  bool FBusy = false;
};

class TMTFEncode {
 public:
  TMTFEncode() { Reset(); }
  void Reset();
  bool Encode(unsigned char* buf, int n);  // in place; n < 1 returns true

 private:
  unsigned char FRankOf[256];
  unsigned char FAtRank[256];
  bool FBusy = false;
};

class TMTFDecode {
 public:
  TMTFDecode() { Reset(); }
  void Reset();
  bool Decode(unsigned char* buf, int n);  // in place; n < 1 returns true
  // One step of Decode: the byte at rank r (0..255), which moves to the front.
  unsigned char Step(int r) {
    unsigned char* list = FList + kRoom;
    const unsigned char b = list[r];
    if (r != 0) {
      // Ranks 0..r-1 move up by one, sixteen at a time from the top: each piece is loaded before
      // the store that overlaps it, and the lowest piece may reach into the room below rank 0.
      int k = r;
      do {
        unsigned char piece[16];
        std::memcpy(piece, list + k - 16, 16);
        std::memcpy(list + k - 15, piece, 16);
        k -= 16;
      } while (k > 0);
      list[0] = b;
    }
    return b;
  }

 private:
  static constexpr int kRoom = 16;
  unsigned char FList[kRoom + 256 + 16];  // the byte at each rank, from FList[kRoom]
  bool FBusy = false;
};

// Quasi-static frequency model with a 12-bit total and (decoders) a 9-bit search table.
class TQSModel {
 public:
  TQSModel() = default;
  TQSModel(const TQSModel&) = delete;
  TQSModel& operator=(const TQSModel&) = delete;
  ~TQSModel() { Delete(); }

  // n symbols, total 2^lgTotal; compress = false adds the decoder's search table.
  bool Init(int n, int lgTotal, bool compress, const int* initial, int targetRescale);
  void Reset(const int* initial);
  void Rescale();
  void Delete();
  void GetFreq(int symbol, int& freq, int& cumulative) const {
    cumulative = FCf[symbol];
    freq = FCf[symbol + 1] - cumulative;
  }
  int GetSym(int value) const {
    if (FSymbolAtReady) return value >= FCf[FN - 1] ? FN - 1 : FSymbolAt[value];
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
  void Update(int symbol) {
    if (FLeft <= 0) Rescale();
    --FLeft;
    FNewF[symbol] = static_cast<uint16_t>(FNewF[symbol] + FIncr);
  }

  int Symbols() const { return FN; }
  const uint16_t* CumulativeTable() const { return FCf.get(); }

 private:
  friend class TRangeDecode;  // its symbol loop works on the tables and counters directly

  int FN = 0;
  int FLeft = 0;
  int FNextLeft = 0;
  int FRescale = 0;
  int FTargetRescale = 0;
  int FIncr = 0;
  int FSearchShift = 0;
  int FTotal = 0;
  std::unique_ptr<uint16_t[]> FCf;      // n + 1
  std::unique_ptr<uint16_t[]> FNewF;    // n + 1
  std::unique_ptr<uint16_t[]> FSearch;  // (1 << (lgTotal - searchShift)) + 1, decoders only
  // Decoders, once the rescale interval has reached its target (rescales are then rare): the
  // symbol of every value below the last symbol's interval, which GetSym reads instead of
  // searching (symbols up to 255, one byte each).
  std::unique_ptr<uint8_t[]> FSymbolAt;
  bool FSymbolAtReady = false;
};

// Initial frequencies of the 257 symbols (total 4096).
extern const int CocotteInitialFreq[257];

// What the range encoder and the decoder share: the coder's state and the frequency model of the
// 257 symbols, built for coding (encoder) or with the search table (decoder).
class TRangeCoder {
 public:
  TRangeCoder(const TRangeCoder&) = delete;
  TRangeCoder& operator=(const TRangeCoder&) = delete;
  ~TRangeCoder() { ReleaseModel(); }

  bool InitModel();
  void ReleaseModel();
  bool ResetModel();
  TQSModel& Model() { return FModel; }

 protected:
  explicit TRangeCoder(bool compress) : FCompress(compress) {}

  uint32_t FLow = 0;
  uint32_t FRange = 0;
  unsigned char FBuffer = 0;
  uint32_t FHelp = 0;
  uint32_t FByteCount = 0;
  const unsigned char* FSrc = nullptr;
  unsigned char* FDst = nullptr;
  int FTaken = 0;
  int FGiven = 0;
  int FInLength = 0;
  int FBound = 0;
  bool FOverflow = false;
  bool FBusy = false;
  bool FReady = false;
  TQSModel FModel;

 private:
  const bool FCompress;
};

class TRangeEncode : public TRangeCoder {
 public:
  TRangeEncode() : TRangeCoder(true) {}

  void StartEncode();
  void Normalize();
  void EncodeShift(uint32_t freq, uint32_t cumulative, int shift);
  void DoneEncode();
  // Codes n bytes and the end symbol into dst (at most bound bytes). False on overflow.
  bool EncodeBlock(const unsigned char* src, unsigned char* dst, int n, int bound);
  int CodedLength() const { return FGiven; }
  bool Overflow() const { return FOverflow; }

 private:
  void OutByte(unsigned char b);
};

class TRangeDecode : public TRangeCoder {
 public:
  TRangeDecode() : TRangeCoder(false) {}

  void StartDecode();
  void Normalize();
  uint32_t DecodeCulShift(int shift);
  void DecodeUpdate(uint32_t freq, uint32_t cumulative, uint32_t total);
  void DoneDecode();
  // Decodes symbols until the end symbol or bound symbols; false when the input ran out.
  bool DecodeBlock(const unsigned char* src, unsigned char* dst, int codedLength, int bound);
  // As DecodeBlock, handing the symbols in turn to sink.Put(symbol) instead of storing them.
  // Padded: src has at least 8 zero bytes behind codedLength.
  template <bool Padded, class Sink>
  bool DecodeSymbols(const unsigned char* src, int codedLength, int bound, Sink& sink);
  int DecodedLength() const { return FGiven; }

 private:
  unsigned char InByte();
};

class TCocotteEncode : public TQoEncoder {
 public:
  static constexpr int kBlock = 32768;
  static constexpr int kTransform = kBlock + 2;  // 32770
  static constexpr int kRecord = 4 + 65536;      // 65540

  TCocotteEncode() = default;
  ~TCocotteEncode() override { ReleaseBuffer(); }

  bool CreateBuffer() override;
  void ReleaseBuffer() override;

 protected:
  void ResetState() override;
  void CodecLoop() override;
  void ReadInBuffer(int n);
  void WriteOutBuffer(int n);

 private:
  TCodecBuffer<unsigned char> FBlock;      // kBlock
  TCodecBuffer<unsigned char> FTransform;  // kTransform
  TCodecBuffer<unsigned char> FRecord;     // kRecord
  std::unique_ptr<TBWTEncode> FBwt;
  std::unique_ptr<TMTFEncode> FMtf;
  std::unique_ptr<TRangeEncode> FRange;
};

class TCocotteDecode : public TQoDecoder {
 public:
  static constexpr int kBlock = 32768;
  static constexpr int kTransform = kBlock + 2;
  static constexpr int kRecord = 4 + 65536;

  TCocotteDecode() = default;
  ~TCocotteDecode() override { ReleaseBuffer(); }

  bool CreateBuffer() override;
  void ReleaseBuffer() override;

 protected:
  void ResetState() override;
  void CodecLoop() override;
  void ReadInBuffer(unsigned char* dst, int n);
  void WriteOutBuffer(unsigned char* block, int n);

 private:
  // Reads one record and undoes its range coding and move-to-front into transform (n + 2 bytes).
  bool ReadBlock(TCodecBuffer<unsigned char>& transform, int& n);

  // Sized for the records and blocks read so far; a second block so that two inverse block sorts
  // run side by side.
  TCodecBuffer<unsigned char> FRecord;
  TCodecBuffer<unsigned char> FTransform, FTransform2;
  TCodecBuffer<unsigned char> FBlock, FBlock2;
  std::unique_ptr<TBWTDecode> FBwt;
  std::unique_ptr<TMTFDecode> FMtf;
  std::unique_ptr<TRangeDecode> FRange;
};

}  // namespace vdmq
