#include "qolib/pack/Qocodec.h"

#include <utility>

#include "platform/base/GameError.h"

namespace vdmq {

int CodecPercent(int32_t done, int32_t total) {
  if (total <= 0) return 100;
  if (total > 0x4000000) {
    // Large totals: scale both down first (the product then fits 32 bits).
    return (done / 32768) * 100 / (total / 32768);
  }
  // done * 100 would pass 32 bits above about 21 MB, so the product is taken in 64 bits.
  return static_cast<int>(static_cast<int64_t>(done) * 100 / total);
}

bool TQoCodec::Initialize() {
  if (!CreateBuffer()) return false;
  FConsumed = 0;
  FProduced = 0;
  FWritten = 0;
  ResetState();
  return true;
}

void TQoCodec::Finish() { ReleaseBuffer(); }

bool TQoCodec::Run(int inTotal, int outBound, TCodecRead read, TCodecWrite write, TCodecProgress progress) {
  if (inTotal == 0) return true;
  if (FBusy) return false;
  // Negative sizes describe no stream at all.
  if (inTotal < 0 || outBound < 0) return false;
  FBusy = true;
  FInTotal = inTotal;
  FOutBound = outBound;
  FOnRead = std::move(read);
  FOnWrite = std::move(write);
  FOnProgress = std::move(progress);
  bool result = false;
  try {
    if (Initialize()) {
      FSuccess = false;
      CodecLoop();
      result = FSuccess;
    }
  } catch (...) {
    // A failing callback, a damaged stream or a failed allocation: the run ends with false.
    FSuccess = false;
    result = false;
  }
  Finish();
  FOnRead = nullptr;
  FOnWrite = nullptr;
  FOnProgress = nullptr;
  FBusy = false;
  return result;
}

void TQoCodec::CallRead(unsigned char* buf, int n) {
  if (!FOnRead || !FOnRead(buf, n)) ThrowGameError("ReadBuffer Error");
}

void TQoCodec::CallWrite(unsigned char* buf, int n) {
  if (!FOnWrite || !FOnWrite(buf, n)) ThrowGameError("WriteBuffer Error");
  FWritten += n;
}

void TQoCodec::ProgressCallBack() {
  if (FOnProgress) FOnProgress(CodecPercent(FConsumed, FInTotal));
}

}  // namespace vdmq
