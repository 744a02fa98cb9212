#include "platform/sys/FakeMedia.h"

#include <algorithm>
#include <cctype>
#include <fstream>

#include "platform/base/GameError.h"
#include "platform/sys/Drives.h"
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

[[noreturn]] void DeviceError(const std::string& what) { ThrowGameError(what); }

}  // namespace

// ---------------------------------------------------------------- device

class TFakeMediaDevice : public TMediaDevice {
 public:
  TFakeMediaDevice(TFakeMediaService& service, EMediaDeviceType type, const TFakeMedia& media, TMediaNotifySink sink)
      : service_(&service), type_(type), media_(media), sink_(std::move(sink)) {
    format_ = type == EMediaDeviceType::WaveAudio ? EMediaTimeFormat::Milliseconds
              : type == EMediaDeviceType::CdAudio ? EMediaTimeFormat::Tmsf
                                                  : EMediaTimeFormat::Frames;
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

  EMediaDeviceType DeviceType() const override { return type_; }
  void SetTimeFormat(EMediaTimeFormat f) override {
    CheckOpen();
    format_ = f;
  }
  EMediaTimeFormat TimeFormat() const override { return format_; }
  std::int32_t Length() override {
    CheckOpen();
    if (format_ == EMediaTimeFormat::Frames && type_ == EMediaDeviceType::AviVideo) {
      return static_cast<std::int32_t>(media_.frames);
    }
    return FromMs(lengthMs_);
  }
  std::int32_t Position() override {
    CheckOpen();
    return FromMs(CurrentMs());
  }
  int Tracks() override {
    CheckOpen();
    return type_ == EMediaDeviceType::CdAudio ? static_cast<int>(trackStart_.size()) : 1;
  }
  bool Playing() override {
    CheckOpen();
    Settle();
    return playing_;
  }
  void SetDisplayRect(const TMediaRect& r) override {
    CheckOpen();
    rect_ = r;
  }
  TMediaRect DisplayRect() const override { return rect_; }

  void Play(std::optional<std::int32_t> from, std::optional<std::int32_t> to, TMediaCommand cmd) override {
    CheckOpen();
    Settle();
    std::uint64_t fromMs = from ? ToMs(*from, false) : CurrentMs();
    std::uint64_t toMs = to ? ToMs(*to, true) : lengthMs_;
    fromMs = std::min(fromMs, lengthMs_);
    toMs = std::min(toMs, lengthMs_);
    if (toMs < fromMs) DeviceError("MCI: the play range is out of order");
    Log("play " + Describe(from) + "-" + Describe(to) + Flags(cmd));
    Interrupt();
    if (!media_.playable) {
      if (!cmd.notify) DeviceError("MCI: the device cannot play this medium");
      Notify(EMediaNotify::Failure);
      return;
    }
    playing_ = true;
    startTime_ = Now();
    segFrom_ = fromMs;
    segTo_ = toMs;
    endTime_ = startTime_ + (segTo_ - segFrom_);
    pending_ = cmd.notify;
    if (cmd.wait) {
      if (service_) service_->clock_.Block(static_cast<std::uint32_t>(segTo_ - segFrom_));
      playing_ = false;
      positionMs_ = segTo_;
      if (pending_) Finish();
    }
  }

  void Stop(TMediaCommand cmd) override {
    CheckOpen();
    Settle();
    Log("stop" + Flags(cmd));
    Interrupt();
    if (cmd.notify) Notify(EMediaNotify::Successful);
  }

  void Close(TMediaCommand cmd) override {
    CheckOpen();
    Settle();
    Log("close" + Flags(cmd));
    Interrupt();
    Detach();
    closed_ = true;
    if (cmd.notify) Notify(EMediaNotify::Successful);
  }

  // Service side.
  void Orphan() { Detach(); }
  // When the pending notification of a play falls due.
  std::optional<std::uint64_t> DueTime() const {
    if (!pending_) return std::nullopt;
    return endTime_;
  }
  // Reports the success of a play whose end has come.
  void Finish() {
    Settle();
    if (pending_) {
      pending_ = false;
      Notify(EMediaNotify::Successful);
    }
  }

 private:
  std::uint64_t Now() const { return service_ ? service_->clock_.NowMs() : 0; }
  void CheckOpen() const {
    if (closed_) DeviceError("MCI: the device is not open");
  }
  void Log(const std::string& s) {
    if (service_) service_->log.push_back(s);
  }
  void Notify(EMediaNotify n) {
    if (sink_) sink_(n);
  }
  static std::string Flags(TMediaCommand cmd) {
    return std::string(cmd.wait ? " wait" : "") + (cmd.notify ? " notify" : "");
  }
  static std::string Describe(std::optional<std::int32_t> p) { return p ? std::to_string(*p) : std::string(); }

  // A running play stops where it is and its pending notification is aborted. A play that had
  // already reached its end (its success not yet handed over by Poll) reports that success instead.
  void Interrupt() {
    Settle();
    if (playing_) {
      positionMs_ = CurrentMs();
      playing_ = false;
    }
    if (pending_) {
      pending_ = false;
      Notify(Now() >= endTime_ ? EMediaNotify::Successful : EMediaNotify::Aborted);
    }
  }
  // A play whose end has come stops at its end position.
  void Settle() {
    if (playing_ && Now() >= endTime_) {
      playing_ = false;
      positionMs_ = segTo_;
    }
  }
  std::uint64_t CurrentMs() const {
    if (!playing_) return positionMs_;
    return std::min(segTo_, segFrom_ + (Now() - startTime_));
  }
  void Detach() {
    if (!service_) return;
    std::erase(service_->devices_, this);
    service_ = nullptr;
  }

  std::uint64_t FrameToMs(std::uint64_t frame) const {
    const std::uint64_t fps = media_.fps ? media_.fps : 15;
    return (frame * 1000 + fps - 1) / fps;
  }
  std::uint64_t MsToFrame(std::uint64_t ms) const {
    const std::uint64_t fps = media_.fps ? media_.fps : 15;
    return ms * fps / 1000;
  }
  std::uint64_t ToMs(std::int32_t pos, bool end) const {
    switch (format_) {
      case EMediaTimeFormat::Milliseconds: return static_cast<std::uint64_t>(std::max(pos, 0));
      case EMediaTimeFormat::Frames: return FrameToMs(static_cast<std::uint64_t>(std::max(pos, 0)));
      case EMediaTimeFormat::Tmsf: {
        const int track = TmsfTrack(pos);
        const std::uint64_t offset = (static_cast<std::uint64_t>(TmsfMinute(pos)) * 60 + TmsfSecond(pos)) * 1000 +
                                     static_cast<std::uint64_t>(TmsfFrame(pos)) * 1000 / 75;
        if (type_ != EMediaDeviceType::CdAudio) return offset;
        if (track < 1 || track > static_cast<int>(trackStart_.size())) {
          if (end && track == static_cast<int>(trackStart_.size()) + 1) return lengthMs_;
          DeviceError("MCI: no such track");
        }
        return trackStart_[static_cast<size_t>(track - 1)] + offset;
      }
    }
    return 0;
  }
  std::int32_t FromMs(std::uint64_t ms) const {
    switch (format_) {
      case EMediaTimeFormat::Milliseconds: return static_cast<std::int32_t>(std::min<std::uint64_t>(ms, INT32_MAX));
      case EMediaTimeFormat::Frames: return static_cast<std::int32_t>(MsToFrame(ms));
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

  TFakeMediaService* service_;
  EMediaDeviceType type_;
  TFakeMedia media_;
  TMediaNotifySink sink_;
  EMediaTimeFormat format_;
  std::vector<std::uint64_t> trackStart_;
  std::uint64_t lengthMs_ = 0;
  std::uint64_t positionMs_ = 0;
  bool playing_ = false, pending_ = false, closed_ = false;
  std::uint64_t startTime_ = 0, segFrom_ = 0, segTo_ = 0, endTime_ = 0;
  TMediaRect rect_;
};

// ---------------------------------------------------------------- service

TFakeMediaService::~TFakeMediaService() {
  // Devices that outlive the service keep working without a clock or a log.
  for (TFakeMediaDevice* d : std::vector<TFakeMediaDevice*>(devices_)) d->Orphan();
}

void TFakeMediaService::SetMedia(std::string_view name, TFakeMedia media) { media_[Key(name)] = std::move(media); }

std::unique_ptr<TMediaDevice> TFakeMediaService::Open(EMediaDeviceType type, std::string_view fileName,
                                                      TMediaCommand cmd, TMediaNotifySink sink) {
  log.push_back(std::string("open ") + TypeName(type) + " " + std::string(fileName) +
                (cmd.wait ? " wait" : "") + (cmd.notify ? " notify" : ""));
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

void TFakeMediaService::Poll() {
  const std::uint64_t now = clock_.NowMs();
  for (;;) {
    // The earliest device whose play has ended; a sink may open or close devices meanwhile.
    TFakeMediaDevice* due = nullptr;
    std::uint64_t dueTime = 0;
    for (TFakeMediaDevice* d : devices_) {
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
