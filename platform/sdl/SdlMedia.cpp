#include "platform/sdl/SdlMedia.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/base/GameError.h"
#include "platform/sdl/AviDecoder.h"
#include "platform/sys/Drives.h"
#include "platform/sys/EndSignals.h"
#include "platform/sys/MediaDeviceBase.h"
#include "platform/sys/PathMapper.h"

namespace vdmq {
namespace {

constexpr int kSoundChannel = 0;  // wave devices
constexpr int kMovieChannel = 1;  // a movie's sound track
constexpr int kMixRate = 44100;
constexpr int kMixChannels = 2;

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool ReadWhole(const std::string& native, std::string& bytes) {
  std::ifstream in(native, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

}  // namespace

std::vector<std::string> FindCdTracks(const std::string& discRoot) {
  namespace fs = std::filesystem;
  std::vector<std::string> tracks;
  std::error_code ec;
  fs::path folder;
  for (const auto& e : fs::directory_iterator(discRoot, ec)) {
    if (Lower(e.path().filename().string()) == "cdda" && e.is_directory(ec)) {
      folder = e.path();
      break;
    }
  }
  if (folder.empty()) return tracks;
  // Preferred kinds first when one track comes in several.
  static const char* kinds[] = {".ogg", ".flac", ".wav", ".mp3"};
  std::vector<std::pair<int, int>> rank;  // per track: kind rank of the chosen file
  for (const auto& e : fs::directory_iterator(folder, ec)) {
    if (!e.is_regular_file(ec)) continue;
    const std::string name = Lower(e.path().filename().string());
    if (name.size() < 8 || name.compare(0, 5, "track") != 0 || !std::isdigit(static_cast<unsigned char>(name[5])) ||
        !std::isdigit(static_cast<unsigned char>(name[6])))
      continue;
    const int track = (name[5] - '0') * 10 + (name[6] - '0');
    const std::string ext = name.substr(7);
    int kind = -1;
    for (int k = 0; k < 4; ++k)
      if (ext == kinds[k]) kind = k;
    if (track < 1 || kind < 0) continue;
    if (static_cast<int>(tracks.size()) < track) {
      tracks.resize(static_cast<size_t>(track));
      rank.resize(static_cast<size_t>(track), {0, 99});
    }
    auto& slot = rank[static_cast<size_t>(track - 1)];
    if (kind < slot.second) {
      slot.second = kind;
      tracks[static_cast<size_t>(track - 1)] = e.path().string();
    }
  }
  return tracks;
}

// ---------------------------------------------------------------- the common device

// The real devices' link to the service, their output hooks and a play's run on the loop's clock; the
// time keeping and notifications are TMediaDeviceBase's.
class TSdlMediaDevice : public TMediaDeviceBase {
 public:
  TSdlMediaDevice(TSdlMediaService& s, EMediaDeviceType type, TMediaNotifySink sink)
      : TMediaDeviceBase(type, std::move(sink)), service_(&s) {
    s.devices_.push_back(this);
  }
  ~TSdlMediaDevice() override { Detach(); }

  // ---- service side ----
  // Next time the device has work while playing (a frame, a track change).
  std::optional<std::uint64_t> WorkTime() {
    if (!playing_) return std::nullopt;
    return NextOutputTime();
  }
  // Another device took the output this one played on: the play ends where it is.
  void CutOff() {
    if (!playing_) return;
    positionMs_ = CurrentMs();
    playing_ = false;
    if (pending_) {
      pending_ = false;
      Notify(EMediaNotify::Aborted);
    }
  }
  // Work due on the loop's clock (frames, track changes); the end of a play settles it.
  void Advance() {
    if (!playing_) return;
    Output(std::min(segTo_, segFrom_ + (Now() - startTime_)));
    Settle();
  }
  void Orphan() {
    StopOutput();
    ReleaseMedia();
    Detach();
  }

 protected:
  // A new play of segFrom_..segTo_ begins now.
  virtual void StartOutput() = 0;
  void StopOutput() override = 0;
  // When Output has work next (clock time).
  virtual std::optional<std::uint64_t> NextOutputTime() { return std::nullopt; }
  // Frees mixer and decoder resources (the service goes away).
  virtual void ReleaseMedia() {}
  // Whether a play from `from` has anything to play.
  virtual bool CanPlay(std::optional<std::int32_t> /*from*/) const { return playable_; }

  // A device whose media service has ended has no clock and no output left to play on.
  bool Playable(std::optional<std::int32_t> from) const final { return service_ && CanPlay(from); }
  void Begin(bool wait) final {
    StartOutput();
    Advance();
    if (!wait) return;
    // Blocks the loop thread, drawing due frames, with nothing dispatched; a program asked to end
    // from outside stops the play and waits no longer.
    for (;;) {
      if (EndRequest() != 0) {
        Interrupt();
        return;
      }
      const std::uint64_t now = Now();
      if (now >= endTime_) break;
      std::uint64_t until = endTime_;
      if (auto t = NextOutputTime()) until = std::min(until, std::max(*t, now + 1));
      if (service_) service_->clock_.Block(static_cast<std::uint32_t>(std::min<std::uint64_t>(until - now, 1000)));
      Advance();
    }
    Settle();
    if (pending_) Finish();
  }
  std::uint64_t Now() const override { return service_ ? service_->clock_.NowMs() : 0; }
  void Detach() override {
    if (!service_) return;
    std::erase(service_->devices_, this);
    if (service_->waveOwner_ == this) service_->waveOwner_ = nullptr;
    if (service_->musicOwner_ == this) service_->musicOwner_ = nullptr;
    service_ = nullptr;
  }

  // The medium ends before the range does (a movie whose pictures stop early, or whose header
  // promises more than it holds): the play ends at ms instead of waiting for what never comes.
  void CutShort(std::uint64_t ms) {
    segTo_ = std::clamp(ms, segFrom_, segTo_);
    endTime_ = startTime_ + (segTo_ - segFrom_);
  }

  TSdlMediaService* service_;
  bool playable_ = true;
};

namespace {

// A part of a loaded sound as a chunk of its own (the samples stay with the sound).
Mix_Chunk Slice(const std::uint8_t* data, std::uint32_t bytes, std::uint64_t fromMs, std::uint64_t toMs) {
  int freq = kMixRate, channels = kMixChannels;
  Uint16 format = AUDIO_S16SYS;
  Mix_QuerySpec(&freq, &format, &channels);
  const std::uint64_t frameBytes = static_cast<std::uint64_t>(SDL_AUDIO_BITSIZE(format) / 8) * channels;
  auto at = [&](std::uint64_t ms) {
    return std::min<std::uint64_t>(ms * static_cast<std::uint64_t>(freq) / 1000 * frameBytes, bytes);
  };
  const std::uint64_t a = at(fromMs), b = std::max(a, at(toMs));
  Mix_Chunk c{};
  c.allocated = 0;
  c.abuf = const_cast<std::uint8_t*>(data) + a;
  c.alen = static_cast<Uint32>(b - a);
  c.volume = MIX_MAX_VOLUME;
  return c;
}

}  // namespace

// ---------------------------------------------------------------- wave audio

class TWaveDevice : public TSdlMediaDevice {
 public:
  TWaveDevice(TSdlMediaService& s, TMediaNotifySink sink, std::uint32_t lengthMs, Mix_Chunk* chunk)
      : TSdlMediaDevice(s, EMediaDeviceType::WaveAudio, std::move(sink)), chunk_(chunk) {
    lengthMs_ = lengthMs;
    // Without any mixer the sound keeps its time silently; with one, data it cannot decode fails.
    playable_ = chunk != nullptr || !s.mixer_;
  }
  ~TWaveDevice() override {
    StopOutput();
    ReleaseMedia();
  }

 protected:
  void StartOutput() override {
    if (!service_ || !chunk_) return;
    if (service_->waveOwner_ && service_->waveOwner_ != this) service_->waveOwner_->CutOff();
    service_->waveOwner_ = this;
    part_ = Slice(chunk_->abuf, chunk_->alen, segFrom_, segTo_);
    if (part_.alen > 0) Mix_PlayChannel(kSoundChannel, &part_, 0);
  }
  void StopOutput() override {
    if (service_ && service_->waveOwner_ == this) {
      Mix_HaltChannel(kSoundChannel);
      service_->waveOwner_ = nullptr;
    }
  }
  void ReleaseMedia() override {
    if (chunk_) Mix_FreeChunk(chunk_);
    chunk_ = nullptr;
  }

 private:
  Mix_Chunk* chunk_;
  Mix_Chunk part_{};
};

// ---------------------------------------------------------------- CD audio

class TCdDevice : public TSdlMediaDevice {
 public:
  TCdDevice(TSdlMediaService& s, TMediaNotifySink sink, const std::vector<std::string>& files)
      : TSdlMediaDevice(s, EMediaDeviceType::CdAudio, std::move(sink)) {
    std::uint64_t start = 0;
    for (const std::string& f : files) {
      Mix_Music* m = f.empty() || !s.mixer_ ? nullptr : Mix_LoadMUS(f.c_str());
      double seconds = m ? Mix_MusicDuration(m) : 0;
      if (!(seconds > 0)) seconds = 0;
      const auto len = static_cast<std::uint64_t>(std::llround(seconds * 1000));
      trackStart_.push_back(start);
      trackLen_.push_back(len);
      music_.push_back(m);
      start += len;
    }
    lengthMs_ = start;
  }
  ~TCdDevice() override {
    StopOutput();
    ReleaseMedia();
  }

 protected:
  void StartOutput() override {
    current_ = -1;
    StartAt(segFrom_);
  }
  // A track without sound (the data track, a file the mixer cannot read, no mixer at all) fails
  // its play: a play of no length would report its end at once, and the music's repeat on that end
  // would turn into an endless loop of plays.
  bool CanPlay(std::optional<std::int32_t> from) const override {
    if (from && format_ == EMediaTimeFormat::Tmsf) {
      const int track = TmsfTrack(*from);  // checked against the disc by the play
      return track >= 1 && track <= static_cast<int>(trackLen_.size()) && trackLen_[static_cast<size_t>(track - 1)] > 0;
    }
    return lengthMs_ > 0;
  }
  void StopOutput() override {
    if (service_ && service_->musicOwner_ == this) {
      Mix_HaltMusic();
      service_->musicOwner_ = nullptr;
    }
    current_ = -1;
  }
  void Output(std::uint64_t ms) override {
    if (current_ < 0 || ms >= segTo_) return;
    const size_t c = static_cast<size_t>(current_);
    if (ms >= trackStart_[c] + trackLen_[c]) StartAt(ms);
  }
  std::optional<std::uint64_t> NextOutputTime() override {
    if (current_ < 0) return std::nullopt;
    const size_t c = static_cast<size_t>(current_);
    const std::uint64_t boundary = trackStart_[c] + trackLen_[c];
    if (boundary >= segTo_) return std::nullopt;
    return startTime_ + (boundary - segFrom_);
  }
  void ReleaseMedia() override {
    for (Mix_Music*& m : music_) {
      if (m) Mix_FreeMusic(m);
      m = nullptr;
    }
  }

 private:
  // Plays the track holding ms from the right place.
  void StartAt(std::uint64_t ms) {
    for (size_t i = 0; i < trackStart_.size(); ++i) {
      if (ms < trackStart_[i] || ms >= trackStart_[i] + trackLen_[i]) continue;
      current_ = static_cast<int>(i);
      if (!service_ || !music_[i]) return;
      if (service_->musicOwner_ && service_->musicOwner_ != this) service_->musicOwner_->CutOff();
      service_->musicOwner_ = this;
      Mix_PlayMusic(music_[i], 0);
      if (ms > trackStart_[i]) Mix_SetMusicPosition(static_cast<double>(ms - trackStart_[i]) / 1000.0);
      return;
    }
  }
  std::vector<std::uint64_t> trackLen_;
  std::vector<Mix_Music*> music_;
  int current_ = -1;
};

// ---------------------------------------------------------------- AVI video

class TVideoDevice : public TSdlMediaDevice {
 public:
  TVideoDevice(TSdlMediaService& s, TMediaNotifySink sink, std::unique_ptr<TAviDecoder> decoder, bool ok,
               std::optional<TAviInfo> header)
      : TSdlMediaDevice(s, EMediaDeviceType::AviVideo, std::move(sink)), decoder_(std::move(decoder)) {
    playable_ = ok;
    if (ok) {
      fps_ = decoder_->FramesPerSecond();
      frames_ = decoder_->FrameCount();
    } else if (header) {
      fps_ = 1e6 / header->microSecPerFrame;
      frames_ = header->frames;
    }
    if (!(fps_ > 0)) fps_ = 15;
    lengthMs_ = FrameToMs(frames_);
  }
  ~TVideoDevice() override { StopOutput(); }

 protected:
  std::int64_t FrameCount() const override { return frames_; }
  double Fps() const override { return fps_; }
  void StartOutput() override {
    first_ = MsToFrame(segFrom_);
    last_ = std::min<std::int64_t>(frames_, std::max<std::int64_t>(MsToFrame(segTo_), first_)) - 1;
    // Position the decoder just before the first frame of the range.
    if (decoder_->FrameIndex() >= first_) decoder_->Rewind();
    while (decoder_->FrameIndex() < first_ - 1)
      if (!decoder_->NextFrame(frame_)) break;
    StartSound();
  }
  void StopOutput() override {
    if (service_ && soundPlaying_) Mix_HaltChannel(kMovieChannel);
    soundPlaying_ = false;
  }
  void Output(std::uint64_t ms) override {
    const std::int64_t due = std::min(last_, MsToFrame(ms));
    bool fresh = false;
    while (decoder_->FrameIndex() < due) {
      if (!decoder_->NextFrame(frame_)) {
        // The rest cannot be decoded: the movie ends where its pictures end.
        last_ = decoder_->FrameIndex();
        CutShort(FrameToMs(last_ + 1));
        break;
      }
      fresh = true;
    }
    if (fresh && service_ && service_->OnVideoFrame) service_->OnVideoFrame(rect_, frame_);
  }
  std::optional<std::uint64_t> NextOutputTime() override {
    const std::int64_t next = decoder_->FrameIndex() + 1;
    if (next > last_) return std::nullopt;
    const std::uint64_t at = FrameToMs(next);
    return startTime_ + (at > segFrom_ ? at - segFrom_ : 0);
  }
  void ReleaseMedia() override { StopOutput(); }

 private:
  void StartSound() {
    if (!service_ || !service_->mixer_) return;
    if (!audioLoaded_) {
      audioLoaded_ = true;
      int freq = kMixRate, channels = kMixChannels;
      Uint16 format = AUDIO_S16SYS;
      Mix_QuerySpec(&freq, &format, &channels);
      if (format == AUDIO_S16SYS) decoder_->DecodeAudio(freq, channels, pcm_);
    }
    if (pcm_.empty()) return;
    part_ = Slice(reinterpret_cast<const std::uint8_t*>(pcm_.data()),
                  static_cast<std::uint32_t>(std::min<size_t>(pcm_.size() * 2, UINT32_MAX)), segFrom_, segTo_);
    if (part_.alen > 0 && Mix_PlayChannel(kMovieChannel, &part_, 0) >= 0) soundPlaying_ = true;
  }

  std::unique_ptr<TAviDecoder> decoder_;
  double fps_ = 15;
  std::int64_t frames_ = 0;
  std::int64_t first_ = 0, last_ = -1;
  TPixmap frame_;
  bool audioLoaded_ = false, soundPlaying_ = false;
  std::vector<std::int16_t> pcm_;
  Mix_Chunk part_{};
};

// ---------------------------------------------------------------- service

TSdlMediaService::TSdlMediaService(TMediaClock& clock) : clock_(clock) {
  auto openMixer = [this] {
    if (!SDL_WasInit(SDL_INIT_AUDIO)) {
      if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
      ownsAudioInit_ = true;
    }
    if (Mix_OpenAudio(kMixRate, AUDIO_S16SYS, kMixChannels, 1024) != 0) {
      if (ownsAudioInit_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
      ownsAudioInit_ = false;
      return false;
    }
    return true;
  };
  mixer_ = openMixer();
  if (!mixer_) {
    // No sound card: the silent output keeps the sounds' timing and notifications.
    SDL_SetHint(SDL_HINT_AUDIODRIVER, "dummy");
    mixer_ = openMixer();
  }
  if (mixer_) {
    Mix_Init(MIX_INIT_OGG | MIX_INIT_FLAC | MIX_INIT_MP3);
    Mix_AllocateChannels(2);
    const char* driver = SDL_GetCurrentAudioDriver();
    audible_ = driver && std::string(driver) != "dummy" && std::string(driver) != "disk";
  }
}

TSdlMediaService::~TSdlMediaService() {
  for (TSdlMediaDevice* d : std::vector<TSdlMediaDevice*>(devices_)) d->Orphan();
  if (mixer_) {
    Mix_HaltChannel(-1);
    Mix_HaltMusic();
    Mix_CloseAudio();
    Mix_Quit();
    if (ownsAudioInit_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
}

std::unique_ptr<TMediaDevice> TSdlMediaService::Open(EMediaDeviceType type, std::string_view fileName,
                                                     TMediaCommand cmd, TMediaNotifySink sink) {
  std::unique_ptr<TMediaDevice> device;
  if (type == EMediaDeviceType::CdAudio) {
    const bool drive = fileName.size() == 2 && fileName[1] == ':';
    const auto d = drive ? FindDrive(fileName[0]) : std::nullopt;
    if (!d || d->type != dtCdRom) ThrowGameError("MCI: no CD audio device " + std::string(fileName));
    if (d->nativeRoot.empty()) ThrowGameError("MCI: no disc in " + std::string(fileName));
    device = std::make_unique<TCdDevice>(*this, sink, FindCdTracks(d->nativeRoot));
  } else {
    const std::string native = NativePath(fileName);
    std::string bytes;
    if (native.empty() || !ReadWhole(native, bytes)) ThrowGameError("MCI: cannot open " + std::string(fileName));
    if (type == EMediaDeviceType::WaveAudio) {
      const auto ms = WaveDurationMs(bytes);
      if (!ms) ThrowGameError("MCI: not a wave file " + std::string(fileName));
      Mix_Chunk* chunk = nullptr;
      if (mixer_) chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
      device = std::make_unique<TWaveDevice>(*this, sink, *ms, chunk);
    } else {
      auto decoder = std::make_unique<TAviDecoder>();
      std::string why;
      const bool ok = decoder->Open(native, &why);
      lastVideoError_ = ok ? std::string() : why;
      device = std::make_unique<TVideoDevice>(*this, sink, std::move(decoder), ok, ReadAviInfo(bytes));
    }
  }
  if (cmd.notify && sink) sink(EMediaNotify::Successful);
  return device;
}

std::optional<std::uint64_t> TSdlMediaService::NextEventTime() {
  std::optional<std::uint64_t> next;
  for (TSdlMediaDevice* d : devices_) {
    for (auto t : {d->DueTime(), d->WorkTime()})
      if (t && (!next || *t < *next)) next = t;
  }
  return next;
}

void TSdlMediaService::Poll() {
  for (TSdlMediaDevice* d : std::vector<TSdlMediaDevice*>(devices_))
    if (std::find(devices_.begin(), devices_.end(), d) != devices_.end()) d->Advance();
  FinishDuePlays(devices_, clock_.NowMs());
}

}  // namespace vdmq
