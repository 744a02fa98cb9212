#include "platform/sys/MediaDeviceBase.h"

#include <cmath>

#include "platform/base/GameError.h"

namespace vdmq {
namespace {

std::string Flags(TMediaCommand cmd) { return std::string(cmd.wait ? " wait" : "") + (cmd.notify ? " notify" : ""); }
std::string Describe(std::optional<std::int32_t> p) { return p ? std::to_string(*p) : std::string(); }

}  // namespace

TMediaDeviceBase::TMediaDeviceBase(EMediaDeviceType type, TMediaNotifySink sink) : type_(type), sink_(std::move(sink)) {
  format_ = type == EMediaDeviceType::WaveAudio ? EMediaTimeFormat::Milliseconds
            : type == EMediaDeviceType::CdAudio ? EMediaTimeFormat::Tmsf
                                                : EMediaTimeFormat::Frames;
}

void TMediaDeviceBase::SetTimeFormat(EMediaTimeFormat f) {
  CheckOpen();
  format_ = f;
}

std::int32_t TMediaDeviceBase::Length() {
  CheckOpen();
  if (format_ == EMediaTimeFormat::Frames && type_ == EMediaDeviceType::AviVideo)
    return static_cast<std::int32_t>(std::min<std::int64_t>(FrameCount(), INT32_MAX));
  return FromMs(lengthMs_);
}

std::int32_t TMediaDeviceBase::Position() {
  CheckOpen();
  Settle();
  return FromMs(CurrentMs());
}

int TMediaDeviceBase::Tracks() {
  CheckOpen();
  return type_ == EMediaDeviceType::CdAudio ? static_cast<int>(trackStart_.size()) : 1;
}

bool TMediaDeviceBase::Playing() {
  CheckOpen();
  Settle();
  return playing_;
}

void TMediaDeviceBase::SetDisplayRect(const TMediaRect& r) {
  CheckOpen();
  rect_ = r;
}

void TMediaDeviceBase::Play(std::optional<std::int32_t> from, std::optional<std::int32_t> to, TMediaCommand cmd) {
  CheckOpen();
  Settle();
  std::uint64_t fromMs = from ? ToMs(*from, false) : CurrentMs();
  std::uint64_t toMs = to ? ToMs(*to, true) : lengthMs_;
  fromMs = std::min(fromMs, lengthMs_);
  toMs = std::min(toMs, lengthMs_);
  if (toMs < fromMs) ThrowGameError("MCI: the play range is out of order");
  Record("play " + Describe(from) + "-" + Describe(to) + Flags(cmd));
  Interrupt();
  if (!Playable(from)) {
    if (!cmd.notify) ThrowGameError("MCI: the device cannot play this medium");
    Notify(EMediaNotify::Failure);
    return;
  }
  playing_ = true;
  startTime_ = Now();
  segFrom_ = fromMs;
  segTo_ = toMs;
  endTime_ = startTime_ + (segTo_ - segFrom_);
  pending_ = cmd.notify;
  Begin(cmd.wait);
}

void TMediaDeviceBase::Stop(TMediaCommand cmd) {
  CheckOpen();
  Settle();
  Record("stop" + Flags(cmd));
  Interrupt();
  if (cmd.notify) Notify(EMediaNotify::Successful);
}

void TMediaDeviceBase::Close(TMediaCommand cmd) {
  CheckOpen();
  Settle();
  Record("close" + Flags(cmd));
  Interrupt();
  Detach();
  closed_ = true;
  if (cmd.notify) Notify(EMediaNotify::Successful);
}

void TMediaDeviceBase::Finish() {
  Settle();
  if (pending_) {
    pending_ = false;
    Notify(EMediaNotify::Successful);
  }
}

void TMediaDeviceBase::CheckOpen() const {
  if (closed_) ThrowGameError("MCI: the device is not open");
}

void TMediaDeviceBase::Interrupt() {
  Settle();
  if (playing_) {
    positionMs_ = CurrentMs();
    playing_ = false;
    StopOutput();
  }
  if (pending_) {
    pending_ = false;
    Notify(Now() >= endTime_ ? EMediaNotify::Successful : EMediaNotify::Aborted);
  }
}

void TMediaDeviceBase::Settle() {
  if (playing_ && Now() >= endTime_) {
    Output(segTo_);
    playing_ = false;
    positionMs_ = segTo_;
    StopOutput();
  }
}

std::uint64_t TMediaDeviceBase::FrameToMs(std::int64_t frame) const {
  return static_cast<std::uint64_t>(std::ceil(static_cast<double>(std::max<std::int64_t>(frame, 0)) * 1000.0 / Fps()));
}

std::int64_t TMediaDeviceBase::MsToFrame(std::uint64_t ms) const {
  return static_cast<std::int64_t>(std::floor(static_cast<double>(ms) * Fps() / 1000.0 + 1e-9));
}

std::uint64_t TMediaDeviceBase::ToMs(std::int32_t pos, bool end) const {
  switch (format_) {
    case EMediaTimeFormat::Milliseconds: return static_cast<std::uint64_t>(std::max(pos, 0));
    case EMediaTimeFormat::Frames: return FrameToMs(std::max(pos, 0));
    case EMediaTimeFormat::Tmsf: {
      const int track = TmsfTrack(pos);
      const std::uint64_t offset = (static_cast<std::uint64_t>(TmsfMinute(pos)) * 60 + TmsfSecond(pos)) * 1000 +
                                   static_cast<std::uint64_t>(TmsfFrame(pos)) * 1000 / 75;
      if (type_ != EMediaDeviceType::CdAudio) return offset;
      if (track < 1 || track > static_cast<int>(trackStart_.size())) {
        if (end && track == static_cast<int>(trackStart_.size()) + 1) return lengthMs_;
        ThrowGameError("MCI: no such track");
      }
      return trackStart_[static_cast<size_t>(track - 1)] + offset;
    }
  }
  return 0;
}

std::int32_t TMediaDeviceBase::FromMs(std::uint64_t ms) const {
  switch (format_) {
    case EMediaTimeFormat::Milliseconds: return static_cast<std::int32_t>(std::min<std::uint64_t>(ms, INT32_MAX));
    case EMediaTimeFormat::Frames: return static_cast<std::int32_t>(std::min<std::int64_t>(MsToFrame(ms), INT32_MAX));
    case EMediaTimeFormat::Tmsf: {
      int track = 1;
      std::uint64_t start = 0;
      for (size_t i = 0; i < trackStart_.size(); ++i) {
        if (trackStart_[i] <= ms) {
          track = static_cast<int>(i + 1);
          start = trackStart_[i];
        }
      }
      const std::uint64_t off = ms - start;
      const std::uint64_t sec = off / 1000;
      return MakeTmsf(track, static_cast<int>(std::min<std::uint64_t>(sec / 60, 255)), static_cast<int>(sec % 60),
                      static_cast<int>((off % 1000) * 75 / 1000));
    }
  }
  return 0;
}

}  // namespace vdmq
