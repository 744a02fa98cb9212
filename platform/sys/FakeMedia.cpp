#include "platform/sys/FakeMedia.h"

#include <algorithm>
#include <cctype>
#include <fstream>

#include "platform/base/GameError.h"
#include "platform/sys/Drives.h"
#include "platform/sys/EndSignals.h"
#include "platform/sys/MediaDeviceBase.h"
#include "platform/sys/PathMapper.h"

namespace vdmq {
namespace {

const char* TypeName(EMediaDeviceType t) {
  switch (t) {
    case EMediaDeviceType::WaveAudio: return "waveaudio";
    case EMediaDeviceType::CdAudio: return "cdaudio";
    case EMediaDeviceType::AviVideo: return "avivideo";
  }
  return "?";
}

std::string Key(std::string_view name) {
  std::string k(name);
  for (char& c : k) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return k;
}

std::string ReadHead(std::string_view gamePath, size_t limit) {
  const std::string native = NativePath(gamePath);
  std::ifstream in(native, std::ios::binary);
  std::string bytes(limit, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(limit));
  bytes.resize(static_cast<size_t>(in.gcount()));
  return bytes;
}

}  // namespace

// ---------------------------------------------------------------- device

class TFakeMediaDevice : public TMediaDeviceBase {
 public:
  TFakeMediaDevice(TFakeMediaService& service, EMediaDeviceType type, const TFakeMedia& media, TMediaNotifySink sink)
      : TMediaDeviceBase(type, std::move(sink)), service_(&service), media_(media) {
    if (type == EMediaDeviceType::CdAudio) {
      std::uint64_t start = 0;
      for (std::uint32_t len : media_.trackMs) {
        trackStart_.push_back(start);
        start += len;
      }
      lengthMs_ = start;
    } else if (type == EMediaDeviceType::AviVideo) {
      lengthMs_ = FrameToMs(media_.frames);
    } else {
      lengthMs_ = media_.lengthMs;
    }
    service.devices_.push_back(this);
  }

  ~TFakeMediaDevice() override { Detach(); }

  // Service side.
  void Orphan() { Detach(); }

 protected:
  std::uint64_t Now() const override { return service_ ? service_->clock_.NowMs() : 0; }
  bool Playable(std::optional<std::int32_t> /*from*/) const override { return media_.playable; }
  // A play with wait blocks for the whole range and dispatches nothing; as the real devices, it
  // stops at once instead when the program has been asked to end from outside.
  void Begin(bool wait) override {
    if (!wait) return;
    if (EndRequest() != 0) {
      Interrupt();
      return;
    }
    if (service_) service_->clock_.Block(static_cast<std::uint32_t>(segTo_ - segFrom_));
    playing_ = false;
    positionMs_ = segTo_;
    if (pending_) Finish();
  }
  void Detach() override {
    if (!service_) return;
    std::erase(service_->devices_, this);
    service_ = nullptr;
  }
  void Record(const std::string& command) override {
    if (service_) service_->log.push_back(command);
  }
  std::int64_t FrameCount() const override { return media_.frames; }
  std::uint64_t FrameToMs(std::int64_t frame) const override {
    const std::uint64_t fps = media_.fps ? media_.fps : 15;
    return (static_cast<std::uint64_t>(std::max<std::int64_t>(frame, 0)) * 1000 + fps - 1) / fps;
  }
  std::int64_t MsToFrame(std::uint64_t ms) const override {
    const std::uint64_t fps = media_.fps ? media_.fps : 15;
    return static_cast<std::int64_t>(ms * fps / 1000);
  }

 private:
  TFakeMediaService* service_;
  TFakeMedia media_;
};

// ---------------------------------------------------------------- service

TFakeMediaService::~TFakeMediaService() {
  // Devices that outlive the service keep working without a clock or a log.
  for (TFakeMediaDevice* d : std::vector<TFakeMediaDevice*>(devices_)) d->Orphan();
}

void TFakeMediaService::SetMedia(std::string_view name, TFakeMedia media) { media_[Key(name)] = std::move(media); }

std::unique_ptr<TMediaDevice> TFakeMediaService::Open(EMediaDeviceType type, std::string_view fileName,
                                                      TMediaCommand cmd, TMediaNotifySink sink) {
  log.push_back(std::string("open ") + TypeName(type) + " " + std::string(fileName) + (cmd.wait ? " wait" : "") +
                (cmd.notify ? " notify" : ""));
  TFakeMedia media;
  if (auto it = media_.find(Key(fileName)); it != media_.end()) {
    media = it->second;
  } else if (type == EMediaDeviceType::CdAudio) {
    const bool drive = fileName.size() == 2 && fileName[1] == ':';
    const auto d = drive ? FindDrive(fileName[0]) : std::nullopt;
    if (!d || d->type != dtCdRom) ThrowGameError("MCI: no CD audio device " + std::string(fileName));
    media.trackMs.assign(7, 120000);
  } else {
    const std::string native = NativePath(fileName);
    std::ifstream probe(native, std::ios::binary);
    if (native.empty() || !probe) ThrowGameError("MCI: cannot open " + std::string(fileName));
    const std::string head = ReadHead(fileName, 1 << 16);
    if (type == EMediaDeviceType::WaveAudio) {
      const auto ms = WaveDurationMs(head);
      if (!ms) ThrowGameError("MCI: not a wave file " + std::string(fileName));
      media.lengthMs = *ms;
    } else if (const auto info = ReadAviInfo(head)) {
      media.frames = info->frames;
      media.fps = std::max<std::uint32_t>(1, (1000000 + info->microSecPerFrame / 2) / info->microSecPerFrame);
    } else {
      media.playable = false;  // opens, but cannot be decoded: Play reports failure
    }
  }
  auto device = std::make_unique<TFakeMediaDevice>(*this, type, media, sink);
  if (cmd.notify && sink) sink(EMediaNotify::Successful);
  return device;
}

std::optional<std::uint64_t> TFakeMediaService::NextEventTime() {
  std::optional<std::uint64_t> next;
  for (TFakeMediaDevice* d : devices_) {
    if (auto t = d->DueTime(); t && (!next || *t < *next)) next = t;
  }
  return next;
}

void TFakeMediaService::Poll() { FinishDuePlays(devices_, clock_.NowMs()); }

}  // namespace vdmq
