#pragma once
// The headless media service: devices that play nothing but keep time on a clock, so durations pass
// in the test's virtual time. The headless back end hands its virtual clock in (Block is its blocking
// pause: a play with wait blocks for the rest of the range and dispatches nothing). A medium is
// described by the test (SetMedia) or read from the file: a WAVE file's header gives its length, an AVI
// file's header its frames; a CD drive that the test did not describe holds seven tracks of two
// minutes. Every command is logged ("open cdaudio D:", "play 2-3 notify", "stop notify", "close").

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/sys/Media.h"

namespace vdmq {

class TMediaClock {
 public:
  virtual ~TMediaClock() = default;
  virtual std::uint64_t NowMs() = 0;
  // A blocking pause of the message-loop thread.
  virtual void Block(std::uint32_t ms) = 0;
};

// A clock that moves only when told to (and when blocked).
class TManualMediaClock : public TMediaClock {
 public:
  std::uint64_t NowMs() override { return now_; }
  void Block(std::uint32_t ms) override {
    now_ += ms;
    blocks.push_back(ms);
  }
  void Advance(std::uint64_t ms) { now_ += ms; }
  std::vector<std::uint32_t> blocks;

 private:
  std::uint64_t now_ = 0;
};

struct TFakeMedia {
  bool playable = true;                // false: Play reports failure
  std::uint32_t lengthMs = 1000;       // wave audio
  std::vector<std::uint32_t> trackMs;  // CD audio: the length of each track, track 1 first
  std::uint32_t frames = 0;            // video
  std::uint32_t fps = 15;
};

class TFakeMediaDevice;

class TFakeMediaService : public TMediaService {
 public:
  explicit TFakeMediaService(TMediaClock& clock) : clock_(clock) {}
  ~TFakeMediaService() override;
  std::unique_ptr<TMediaDevice> Open(EMediaDeviceType type, std::string_view fileName, TMediaCommand cmd,
                                     TMediaNotifySink sink) override;
  std::optional<std::uint64_t> NextEventTime() override;
  void Poll() override;

  // Describes the medium of a file (a game path, compared without case) or of a CD drive ("D:").
  void SetMedia(std::string_view name, TFakeMedia media);
  TMediaClock& Clock() { return clock_; }
  std::vector<std::string> log;

 private:
  friend class TFakeMediaDevice;
  TMediaClock& clock_;
  std::map<std::string, TFakeMedia> media_;  // keys upper-cased
  std::vector<TFakeMediaDevice*> devices_;
};

}  // namespace vdmq
