#include "platform/core/MediaPlayer.h"

#include "platform/base/GameError.h"
#include "platform/core/Application.h"

namespace vdmq {

TMediaPlayer::TMediaPlayer(TComponent* owner) : TControl(owner), alive_(std::make_shared<bool>(true)) {
  SetBounds(0, 0, 253, 30);
  SetVisible(false);
}

TMediaPlayer::~TMediaPlayer() {
  BeginDestroy();
  *alive_ = false;
  device_.reset();  // closes without notification
}

TMediaCommand TMediaPlayer::TakeCommand() {
  TMediaCommand c{Wait, Notify};
  Wait = false;
  Notify = false;
  return c;
}

TMediaDevice& TMediaPlayer::Device() {
  if (!device_) ThrowGameError("Not open");
  return *device_;
}

void TMediaPlayer::Open() {
  TMediaService* svc = App().Media();
  if (!svc) ThrowGameError("no media service");
  device_.reset();
  const TMediaCommand cmd = TakeCommand();
  std::weak_ptr<bool> alive = alive_;
  // Notifications become queued messages for this control (device threads may call the sink).
  TMediaNotifySink sink = [this, alive](EMediaNotify v) {
    auto a = alive.lock();
    if (!a || !*a) return;
    App().Post(this, TMessage{MM_MCINOTIFY, static_cast<std::uintptr_t>(v), 0, 0});
  };
  device_ = svc->Open(DeviceType, FileName, cmd, sink);
  if (format_) device_->SetTimeFormat(*format_);
}

void TMediaPlayer::Play() {
  const TMediaCommand cmd = TakeCommand();
  auto from = start_, to = end_;
  start_.reset();
  end_.reset();
  Device().Play(from, to, cmd);
}

void TMediaPlayer::Stop() { Device().Stop(TakeCommand()); }

void TMediaPlayer::Close() {
  if (!device_) return;
  device_->Close(TakeCommand());
  device_.reset();
}

void TMediaPlayer::SetTimeFormat(EMediaTimeFormat f) {
  format_ = f;
  if (device_) device_->SetTimeFormat(f);
}

void TMediaPlayer::SetDisplayRect(const TMediaRect& r) { Device().SetDisplayRect(r); }
std::int32_t TMediaPlayer::Position() { return Device().Position(); }
std::int32_t TMediaPlayer::Length() { return Device().Length(); }
int TMediaPlayer::Tracks() { return Device().Tracks(); }
bool TMediaPlayer::Playing() { return device_ && device_->Playing(); }

void TMediaPlayer::Dispatch(TMessage& m) {
  if (m.Msg == MM_MCINOTIFY) {
    NotifyValue = static_cast<EMediaNotify>(m.WParam);
    if (OnNotify) OnNotify(this);
    return;
  }
  TControl::Dispatch(m);
}

}  // namespace vdmq
