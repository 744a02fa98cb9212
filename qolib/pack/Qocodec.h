#pragma once
// The frame shared by the library's two codecs (Varnel and Cocotte): how a coding run starts, how
// bytes come in and go out through caller-supplied callbacks, how progress is reported, how the
// work buffers are taken and released, and how every failure ends as a false result.
//
// A run: Encode/Decode(size, bound, read, write, progress)
//   size 0 -> true at once (no callback, no buffer); busy -> false; otherwise buffers are taken,
//   the codec's loop runs, buffers are released and the result is returned. No exception leaves a
//   run: a failing callback, a damaged stream or an allocation failure all end it with false.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <new>

namespace vdmq {

// Places the next n bytes of the input at buf; false on failure.
using TCodecRead = std::function<bool(unsigned char* buf, int n)>;
// Receives n bytes that continue the output (buf belongs to the coder, valid during the call);
// false on failure.
using TCodecWrite = std::function<bool(unsigned char* buf, int n)>;
// Receives a whole percentage 0..100. May be left empty (never called then).
using TCodecProgress = std::function<void(int percent)>;

// done * 100 / total as a whole percentage: 100 for a total of 0 or less; above 64 MiB the sizes
// are first divided by 32768 so the product stays small; below that the product is taken in 64 bits.
int CodecPercent(int32_t done, int32_t total);

// A coder's work buffer, owned: it holds at least the count last asked for and is taken afresh
// (contents not kept, not cleared) only when a larger count is asked, so a short run takes no more
// than it needs. A failed allocation leaves it empty and answers null.
template <typename T>
class TCodecBuffer {
 public:
  T* Reserve(size_t count) {
    if (count > size_ || !data_) {
      data_.reset(new (std::nothrow) T[count > 0 ? count : 1]);
      size_ = data_ ? count : 0;
    }
    return data_.get();
  }
  // Reserve that throws (inside a coding run, where every exception ends the run with false).
  T* Need(size_t count) {
    T* p = Reserve(count);
    if (p == nullptr) throw std::bad_alloc();
    return p;
  }
  T* Data() const { return data_.get(); }
  size_t Size() const { return size_; }
  void Release() {
    data_.reset();
    size_ = 0;
  }

 private:
  std::unique_ptr<T[]> data_;
  size_t size_ = 0;
};

// Base of the four coders. Created idle, without buffers, callbacks unassigned.
class TQoCodec {
 public:
  TQoCodec() = default;
  TQoCodec(const TQoCodec&) = delete;
  TQoCodec& operator=(const TQoCodec&) = delete;
  virtual ~TQoCodec() = default;  // derived coders release their buffers in their own destructor

  // Allocates the coder's work buffers and stages; on any failure frees what was taken and returns false.
  virtual bool CreateBuffer() = 0;
  // Frees the buffers and stages that exist; safe to call twice.
  virtual void ReleaseBuffer() = 0;
  // CreateBuffer, then counters to zero and buffer pointers to their start; false when CreateBuffer fails.
  bool Initialize();
  // ReleaseBuffer.
  void Finish();

  bool Busy() const { return FBusy; }
  bool Success() const { return FSuccess; }
  int InTotal() const { return FInTotal; }
  int OutBound() const { return FOutBound; }
  // Counters of the current (or last) run: input bytes taken in, output bytes produced, and output
  // bytes handed to the write callback. After a successful Encode, Written() is the coded size.
  int Consumed() const { return FConsumed; }
  int Produced() const { return FProduced; }
  int Written() const { return FWritten; }

 protected:
  // The common run (steps of every Encode/Decode). Calls Initialize, CodecLoop, Finish.
  bool Run(int inTotal, int outBound, TCodecRead read, TCodecWrite write, TCodecProgress progress);
  // Zeroes the codec's own counters and sets its buffer pointers (called by Initialize).
  virtual void ResetState() = 0;
  // The codec's loop; sets FSuccess when it completes. May throw; Run catches everything.
  virtual void CodecLoop() = 0;

  // Callback wrappers: throw "ReadBuffer Error" / "WriteBuffer Error" when the callback fails.
  void CallRead(unsigned char* buf, int n);
  void CallWrite(unsigned char* buf, int n);
  // Reports FConsumed against FInTotal when a progress callback is assigned.
  void ProgressCallBack();

  bool FBusy = false;
  bool FSuccess = false;
  int FInTotal = 0;
  int FOutBound = 0;
  int FConsumed = 0;
  int FProduced = 0;
  int FWritten = 0;
  TCodecRead FOnRead;
  TCodecWrite FOnWrite;
  TCodecProgress FOnProgress;
};

// An encoder: Encode(source size, output limit, ...). Callers pass outLimit = 2 * inSize.
class TQoEncoder : public TQoCodec {
 public:
  bool Encode(int inSize, int outLimit, TCodecRead read, TCodecWrite write, TCodecProgress progress = {}) {
    return Run(inSize, outLimit, std::move(read), std::move(write), std::move(progress));
  }
};

// A decoder: Decode(stored size, decoded size, ...). Never hands out more than decodedSize bytes;
// succeeds when exactly decodedSize bytes were handed out.
class TQoDecoder : public TQoCodec {
 public:
  bool Decode(int storedSize, int decodedSize, TCodecRead read, TCodecWrite write, TCodecProgress progress = {}) {
    return Run(storedSize, decodedSize, std::move(read), std::move(write), std::move(progress));
  }
};

}  // namespace vdmq
