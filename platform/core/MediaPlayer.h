#pragma once
// The media player control: opens a device of the media service on its file name, plays a range
// with or without waiting, stops and closes; Wait, Notify, StartPos and EndPos apply to the next
// command only. Notifications arrive through the message queue and run OnNotify with NotifyValue.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/core/Control.h"
#include "platform/sys/Media.h"

namespace vdmq {

class TMediaPlayer : public TControl {
 public:
  explicit TMediaPlayer(TComponent* owner);
  ~TMediaPlayer() override;
  const char* ClassName() const override { return "TMediaPlayer"; }
  EMediaDeviceType DeviceType = EMediaDeviceType::WaveAudio;
  std::string FileName;  // a game path (CP932)
  bool Wait = false;
  bool Notify = false;
  void SetStartPos(std::int32_t v) { start_ = v; }
  void SetEndPos(std::int32_t v) { end_ = v; }
  void SetTimeFormat(EMediaTimeFormat f);
  // The control a video shows in, and the rectangle inside it.
  TControl* Display = nullptr;
  void SetDisplayRect(const TMediaRect& r);
  std::int32_t Position();
  std::int32_t Length();
  int Tracks();
  bool IsOpen() const { return device_ != nullptr; }
  bool Playing();

  // Each throws EGameError when the device fails (missing file, closed device).
  void Open();
  void Play();
  void Stop();
  void Close();

  EMediaNotify NotifyValue = EMediaNotify::Successful;
  TNotifyEvent OnNotify;
  void Dispatch(TMessage& m) override;

 private:
  TMediaCommand TakeCommand();
  TMediaDevice& Device();
  std::unique_ptr<TMediaDevice> device_;
  std::optional<std::int32_t> start_, end_;
  std::optional<EMediaTimeFormat> format_;
  std::shared_ptr<bool> alive_;
};

}  // namespace vdmq
