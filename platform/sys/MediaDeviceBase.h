#pragma once
// What every media device shares, the real ones and the headless fake alike: the time line of the
// medium in ms (CD tracks one after the other), the conversions between it and the time formats, the
// play range checks, and the bookkeeping of a running play and of its pending notification.
// A play runs from segFrom_ to segTo_ (ms on the device's time line), starting at startTime_ on the
// device's clock. The devices add their clock, their output and what happens once a play has begun.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/sys/Media.h"

namespace vdmq {

class TMediaDeviceBase : public TMediaDevice {
 public:
  TMediaDeviceBase(EMediaDeviceType type, TMediaNotifySink sink);

  EMediaDeviceType DeviceType() const override { return type_; }
  void SetTimeFormat(EMediaTimeFormat f) override;
  EMediaTimeFormat TimeFormat() const override { return format_; }
  std::int32_t Length() override;
  std::int32_t Position() override;
  int Tracks() override;
  bool Playing() override;
  void SetDisplayRect(const TMediaRect& r) override;
  TMediaRect DisplayRect() const override { return rect_; }
  void Play(std::optional<std::int32_t> from, std::optional<std::int32_t> to, TMediaCommand cmd) override;
  void Stop(TMediaCommand cmd) override;
  void Close(TMediaCommand cmd) override;

  // When the pending notification of a play falls due.
  std::optional<std::uint64_t> DueTime() const {
    if (!pending_) return std::nullopt;
    return endTime_;
  }
  // Reports the success of a play whose end has come.
  void Finish();

 protected:
  // The device's clock (0 once the device has no clock left).
  virtual std::uint64_t Now() const = 0;
  // Whether a play from `from` can be carried out; a play that cannot fails.
  virtual bool Playable(std::optional<std::int32_t> from) const = 0;
  // The play set up in segFrom_..segTo_ has begun; with wait it is carried out to its end here.
  virtual void Begin(bool wait) = 0;
  // Leaves the service (at a close).
  virtual void Detach() = 0;
  // A command as it is given ("play 2-3 notify", "stop", "close wait").
  virtual void Record(const std::string& /*command*/) {}
  // The output stops (a stop, a close, a new play, the end of the play).
  virtual void StopOutput() {}
  // The play has reached ms of the time line.
  virtual void Output(std::uint64_t /*ms*/) {}
  // Video: the frame count and the conversions between frames and ms (frame times rounded up).
  virtual std::int64_t FrameCount() const { return 0; }
  virtual double Fps() const { return 15; }
  virtual std::uint64_t FrameToMs(std::int64_t frame) const;
  virtual std::int64_t MsToFrame(std::uint64_t ms) const;

  void CheckOpen() const;
  void Notify(EMediaNotify n) {
    if (sink_) sink_(n);
  }
  std::uint64_t CurrentMs() const {
    if (!playing_) return positionMs_;
    return std::min(segTo_, segFrom_ + (Now() - startTime_));
  }
  // A running play stops where it is and its pending notification is aborted. A play that had
  // already reached its end (its success not yet handed over) reports that success instead.
  void Interrupt();
  // A play whose end has come stops at its end position.
  void Settle();
  std::uint64_t ToMs(std::int32_t pos, bool end) const;
  std::int32_t FromMs(std::uint64_t ms) const;

  EMediaDeviceType type_;
  TMediaNotifySink sink_;
  EMediaTimeFormat format_;
  std::vector<std::uint64_t> trackStart_;  // CD audio
  std::uint64_t lengthMs_ = 0;
  std::uint64_t positionMs_ = 0;
  bool playing_ = false, pending_ = false, closed_ = false;
  std::uint64_t startTime_ = 0, segFrom_ = 0, segTo_ = 0, endTime_ = 0;
  TMediaRect rect_;
};

// Reports the success of every play whose end has come by `now`, the earliest first. The list is the
// service's own, looked through afresh after each report: a sink may open or close devices meanwhile.
template <class Device>
void FinishDuePlays(const std::vector<Device*>& devices, std::uint64_t now) {
  for (;;) {
    Device* due = nullptr;
    std::uint64_t dueTime = 0;
    for (Device* d : devices) {
      if (auto t = d->DueTime(); t && *t <= now && (!due || *t < dueTime)) {
        due = d;
        dueTime = *t;
      }
    }
    if (!due) return;
    due->Finish();
  }
}

}  // namespace vdmq
