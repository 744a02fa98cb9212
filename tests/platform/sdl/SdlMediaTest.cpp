// The real media devices on the mixer (silent output) and the movie decoder, with files generated
// here: a wave plays and notifies, a stop during play gives aborted then the stop's success, a new
// sound cuts off the last, a play with wait blocks; CD audio plays the disc's track files one after
// the other; a short generated AVI plays to its end with the right frame count, from a later frame
// too; damaged AVIs report failure (never a crash or a hang).
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_mixer.h>

#include <signal.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

#ifdef VDMQ_HAVE_AV
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}
#endif

#include "platform/base/GameError.h"
#include "platform/base/LittleEndian.h"
#include "platform/core/MediaPlayer.h"
#include "platform/core/StdCtrls.h"
#include "platform/headless/TestKit.h"
#include "platform/sdl/AviDecoder.h"
#include "platform/sdl/SdlMedia.h"
#include "platform/sdl/SdlSession.h"
#include "platform/sys/EndSignals.h"
#include "platform/sys/Services.h"

using namespace vdmq;

namespace {

// 16-bit mono PCM tone of ms milliseconds at 22050 Hz.
std::string Wave(unsigned ms, double hz = 440) {
  const std::uint32_t rate = 22050, samples = rate * ms / 1000;
  std::string data;
  for (std::uint32_t i = 0; i < samples; ++i)
    PutLe16(data, static_cast<unsigned>(static_cast<std::int16_t>(8000 * std::sin(i * hz * 2 * M_PI / rate))) & 0xFFFF);
  std::string s = "RIFF";
  PutLe32(s, 36 + static_cast<std::uint32_t>(data.size()));
  s += "WAVEfmt ";
  PutLe32(s, 16);
  PutLe16(s, 1);
  PutLe16(s, 1);
  PutLe32(s, rate);
  PutLe32(s, rate * 2);
  PutLe16(s, 2);
  PutLe16(s, 16);
  s += "data";
  PutLe32(s, static_cast<std::uint32_t>(data.size()));
  return s + data;
}

struct Recorder {
  std::vector<EMediaNotify> got;
  TMediaNotifySink Sink() {
    return [this](EMediaNotify n) { got.push_back(n); };
  }
};

constexpr TMediaCommand kNotify{false, true};
constexpr TMediaCommand kWaitNotify{true, true};

class SdlMediaTest : public ::testing::Test {
 protected:
  // The sound of these tests is not listened to (set before the service opens the mixer).
  bool quiet = setenv("SDL_AUDIODRIVER", "dummy", 1) == 0;
  TFakeSysServices fakes;
  TManualMediaClock clock;
  std::unique_ptr<TSdlMediaService> media = std::make_unique<TSdlMediaService>(clock);
};

}  // namespace

TEST_F(SdlMediaTest, WavePlaysNotifiesAndStops) {
  ASSERT_TRUE(media->MixerOpen());
  fakes.WriteFile("C:\\snd\\A.WAV", Wave(300));
  Recorder r;
  auto dev = media->Open(EMediaDeviceType::WaveAudio, "C:\\snd\\a.wav", kNotify, r.Sink());
  EXPECT_EQ(r.got, std::vector<EMediaNotify>{EMediaNotify::Successful});  // the open
  r.got.clear();
  EXPECT_EQ(dev->Length(), 300);
  dev->Play(std::nullopt, std::nullopt, kNotify);
  EXPECT_TRUE(Mix_Playing(0));  // the sound really went to the mixer
  EXPECT_EQ(media->NextEventTime(), std::optional<std::uint64_t>(300));
  clock.Advance(299);
  media->Poll();
  EXPECT_TRUE(r.got.empty());
  EXPECT_EQ(dev->Position(), 299);
  clock.Advance(1);
  media->Poll();
  EXPECT_EQ(r.got, std::vector<EMediaNotify>{EMediaNotify::Successful});
  EXPECT_FALSE(dev->Playing());
  EXPECT_FALSE(Mix_Playing(0));
  // A stop during play: the play is aborted, then the stop succeeds.
  r.got.clear();
  dev->Play(0, std::nullopt, kNotify);
  clock.Advance(100);
  dev->Stop(kNotify);
  EXPECT_EQ(r.got, (std::vector<EMediaNotify>{EMediaNotify::Aborted, EMediaNotify::Successful}));
  EXPECT_EQ(dev->Position(), 100);
  EXPECT_FALSE(Mix_Playing(0));
  clock.Advance(1000);
  media->Poll();
  EXPECT_EQ(r.got.size(), 2u);
  // A play with wait blocks for the sound (no dispatch: the clock is blocked) and then notifies.
  r.got.clear();
  dev->Play(0, std::nullopt, kWaitNotify);
  EXPECT_EQ(clock.blocks, std::vector<std::uint32_t>{300});
  EXPECT_EQ(r.got, std::vector<EMediaNotify>{EMediaNotify::Successful});
  dev->Close({});
  EXPECT_THROW(dev->Play(0, std::nullopt, {}), EGameError);
}

// A program asked to end from outside while a play with wait blocks it stops the play and waits
// no longer (a long voice would keep it from ending).
TEST(SdlMediaEnd, AWaitingPlayStopsWhenTheProgramIsAskedToEnd) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  TFakeSysServices fakes;
  // The request comes during the first pause of the wait.
  struct TEndingClock : TManualMediaClock {
    void Block(std::uint32_t ms) override {
      TManualMediaClock::Block(std::min<std::uint32_t>(ms, 40));
      RequestEnd(SIGTERM);
    }
  } clock;
  TSdlMediaService media(clock);
  fakes.WriteFile("C:\\snd\\a.wav", Wave(5000));
  Recorder r;
  auto dev = media.Open(EMediaDeviceType::WaveAudio, "C:\\snd\\a.wav", {}, r.Sink());
  const TEndSignals signals([] {});
  dev->Play(0, std::nullopt, kWaitNotify);
  EXPECT_EQ(clock.blocks, std::vector<std::uint32_t>{40});
  EXPECT_EQ(r.got, std::vector<EMediaNotify>{EMediaNotify::Aborted});
  EXPECT_FALSE(dev->Playing());
  EXPECT_EQ(dev->Position(), 40);
  EXPECT_FALSE(Mix_Playing(0));
}

// A device that outlives its media service cannot play any more: its play fails at once (it used
// to wait forever for a clock that no longer moved).
TEST_F(SdlMediaTest, DeviceWithoutItsServiceFailsToPlay) {
  fakes.WriteFile("C:\\snd\\a.wav", Wave(100));
  Recorder r;
  auto dev = media->Open(EMediaDeviceType::WaveAudio, "C:\\snd\\a.wav", {}, r.Sink());
  media.reset();
  dev->Play(0, std::nullopt, kWaitNotify);
  EXPECT_EQ(r.got, std::vector<EMediaNotify>{EMediaNotify::Failure});
  EXPECT_THROW(dev->Play(0, std::nullopt, {true, false}), EGameError);
  EXPECT_FALSE(dev->Playing());
}

TEST_F(SdlMediaTest, NewSoundCutsOffTheLast) {
  fakes.WriteFile("C:\\snd\\a.wav", Wave(500));
  fakes.WriteFile("C:\\snd\\b.wav", Wave(200, 880));
  Recorder ra, rb;
  auto a = media->Open(EMediaDeviceType::WaveAudio, "C:\\snd\\a.wav", {}, ra.Sink());
  auto b = media->Open(EMediaDeviceType::WaveAudio, "C:\\snd\\b.wav", {}, rb.Sink());
  a->Play(0, std::nullopt, kNotify);
  clock.Advance(50);
  b->Play(0, std::nullopt, kNotify);
  EXPECT_EQ(ra.got, std::vector<EMediaNotify>{EMediaNotify::Aborted});
  EXPECT_FALSE(a->Playing());
  EXPECT_TRUE(b->Playing());
  EXPECT_TRUE(Mix_Playing(0));
  clock.Advance(200);
  media->Poll();
  EXPECT_EQ(rb.got, std::vector<EMediaNotify>{EMediaNotify::Successful});
  EXPECT_EQ(ra.got.size(), 1u);
}

TEST_F(SdlMediaTest, WaveFilesThatCannotBeUsed) {
  Recorder r;
  EXPECT_THROW(media->Open(EMediaDeviceType::WaveAudio, "C:\\snd\\none.wav", {}, r.Sink()), EGameError);
  fakes.WriteFile("C:\\snd\\junk.wav", "RIFF....WAVEjunk");
  EXPECT_THROW(media->Open(EMediaDeviceType::WaveAudio, "C:\\snd\\junk.wav", {}, r.Sink()), EGameError);
  // A header that promises more samples than the file holds, with a format the mixer refuses.
  std::string odd = Wave(100);
  odd[20] = 0x55;  // format tag nobody knows
  fakes.WriteFile("C:\\snd\\odd.wav", odd);
  auto dev = media->Open(EMediaDeviceType::WaveAudio, "C:\\snd\\odd.wav", {}, r.Sink());
  dev->Play(0, std::nullopt, kNotify);
  EXPECT_EQ(r.got, std::vector<EMediaNotify>{EMediaNotify::Failure});
  EXPECT_THROW(dev->Play(0, std::nullopt, {}), EGameError);
}

TEST_F(SdlMediaTest, CdAudioPlaysTheDiscTracksInTurn) {
  const std::string root = fakes.AddDisc('D', "disc1");
  fakes.WriteFile("D:\\CDDA\\Track02.wav", Wave(400));
  fakes.WriteFile("D:\\CDDA\\track03.wav", Wave(600, 660));
  fakes.WriteFile("D:\\CDDA\\track03.mp3", "not preferred");
  fakes.WriteFile("D:\\CDDA\\notes.txt", "ignored");
  const auto files = FindCdTracks(root);
  ASSERT_EQ(files.size(), 3u);
  EXPECT_TRUE(files[0].empty());  // the data track
  EXPECT_NE(files[2].find("track03.wav"), std::string::npos);
  Recorder r;
  auto cd = media->Open(EMediaDeviceType::CdAudio, "D:", {}, r.Sink());
  EXPECT_EQ(cd->Tracks(), 3);
  EXPECT_EQ(cd->TimeFormat(), EMediaTimeFormat::Tmsf);
  cd->Play(MakeTmsf(2, 0, 0, 0), MakeTmsf(4, 0, 0, 0), kNotify);
  EXPECT_TRUE(Mix_PlayingMusic());
  EXPECT_EQ(TmsfTrack(cd->Position()), 2);
  // The loop wakes at the change of track, and the next file plays.
  EXPECT_EQ(media->NextEventTime(), std::optional<std::uint64_t>(400));
  clock.Advance(450);
  media->Poll();
  EXPECT_EQ(TmsfTrack(cd->Position()), 3);
  EXPECT_EQ(TmsfFrame(cd->Position()), 50 * 75 / 1000);
  EXPECT_TRUE(Mix_PlayingMusic());
  EXPECT_TRUE(r.got.empty());
  clock.Advance(550);
  media->Poll();
  EXPECT_EQ(r.got, std::vector<EMediaNotify>{EMediaNotify::Successful});
  EXPECT_FALSE(Mix_PlayingMusic());
  // One track only, to its end; a track that is not on the disc is an error.
  r.got.clear();
  cd->Play(MakeTmsf(3, 0, 0, 0), MakeTmsf(4, 0, 0, 0), kWaitNotify);
  EXPECT_EQ(clock.blocks.back(), 600u);
  EXPECT_EQ(r.got, std::vector<EMediaNotify>{EMediaNotify::Successful});
  EXPECT_THROW(cd->Play(MakeTmsf(9, 0, 0, 0), std::nullopt, {}), EGameError);
  // No such drive, or a drive that is no CD: no device.
  EXPECT_THROW(media->Open(EMediaDeviceType::CdAudio, "Q:", {}, r.Sink()), EGameError);
  EXPECT_THROW(media->Open(EMediaDeviceType::CdAudio, "C:", {}, r.Sink()), EGameError);
}

// A track without sound (the data track, a file the mixer cannot read) fails its play instead of
// ending at once: the music's repeat on each end would otherwise play it again and again forever.
TEST_F(SdlMediaTest, CdTrackWithoutSoundFails) {
  fakes.AddDisc('D', "disc1");
  fakes.WriteFile("D:\\cdda\\track02.wav", "RIFF....WAVEdamaged");
  fakes.WriteFile("D:\\cdda\\track03.wav", Wave(300));
  Recorder r;
  auto cd = media->Open(EMediaDeviceType::CdAudio, "D:", {}, r.Sink());
  ASSERT_EQ(cd->Tracks(), 3);
  for (int track : {1, 2}) {
    SCOPED_TRACE(track);
    r.got.clear();
    cd->Play(MakeTmsf(track, 0, 0, 0), MakeTmsf(track + 1, 0, 0, 0), kNotify);
    EXPECT_EQ(r.got, std::vector<EMediaNotify>{EMediaNotify::Failure});
    EXPECT_FALSE(cd->Playing());
    EXPECT_FALSE(Mix_PlayingMusic());
    media->Poll();
    EXPECT_EQ(r.got.size(), 1u);
    EXPECT_THROW(cd->Play(MakeTmsf(track, 0, 0, 0), MakeTmsf(track + 1, 0, 0, 0), {}), EGameError);
  }
  r.got.clear();
  cd->Play(MakeTmsf(3, 0, 0, 0), std::nullopt, kNotify);
  EXPECT_TRUE(Mix_PlayingMusic());
  clock.Advance(300);
  media->Poll();
  EXPECT_EQ(r.got, std::vector<EMediaNotify>{EMediaNotify::Successful});
}

// The notifications of the real devices reach the media player controls through the message queue,
// each with its value and in the order the commands caused them: a sound cut off by the next one is
// aborted; a stop during a play gives aborted, then the stop's success; a play to the end succeeds;
// a movie that cannot be decoded fails.
TEST(SdlMediaPlayer, NotificationsReachThePlayersInOrder) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  THeadlessSession session;
  TFakeSysServices fakes(&session.MediaClock);
  TSdlMediaService media(session.MediaClock);
  App().SetMediaService(&media);
  fakes.WriteFile("C:\\snd\\a.wav", Wave(400));
  fakes.WriteFile("C:\\snd\\b.wav", Wave(200, 880));
  fakes.WriteFile("C:\\inter\\bad.str",
                  "RIFF\x10\x00\x00\x00"
                  "AVI LIST not a movie at all");
  TForm* form = nullptr;
  App().CreateForm(form);
  std::vector<std::pair<char, EMediaNotify>> notes;
  auto player = [&](char name, EMediaDeviceType type, const char* file) {
    auto* p = new TMediaPlayer(form);
    p->SetParent(form);
    p->DeviceType = type;
    p->FileName = file;
    p->OnNotify = [&notes, p, name](TComponent* sender) {
      EXPECT_EQ(sender, p);
      notes.emplace_back(name, p->NotifyValue);
    };
    return p;
  };
  TMediaPlayer* a = player('a', EMediaDeviceType::WaveAudio, "C:\\snd\\a.wav");
  TMediaPlayer* b = player('b', EMediaDeviceType::WaveAudio, "C:\\snd\\b.wav");
  TMediaPlayer* m = player('m', EMediaDeviceType::AviVideo, "C:\\inter\\bad.str");
  a->Open();
  b->Open();
  a->Notify = true;
  a->Play();
  b->Notify = true;
  b->Play();                   // one sound channel: a is cut off
  EXPECT_TRUE(notes.empty());  // nothing is handed over inside the commands
  App().ProcessMessages();
  EXPECT_EQ(notes, (std::vector<std::pair<char, EMediaNotify>>{{'a', EMediaNotify::Aborted}}));
  notes.clear();
  b->Notify = true;
  b->Stop();
  a->SetStartPos(0);
  a->Notify = true;
  a->Play();
  App().ProcessMessages();
  EXPECT_EQ(notes, (std::vector<std::pair<char, EMediaNotify>>{{'b', EMediaNotify::Aborted},
                                                               {'b', EMediaNotify::Successful}}));
  notes.clear();
  // The loop runs on to the end of a's sound (the media clock moves on virtual time).
  while (notes.empty() && session.Backend.NowMs() < 5000) App().HandleMessage();
  EXPECT_EQ(notes, (std::vector<std::pair<char, EMediaNotify>>{{'a', EMediaNotify::Successful}}));
  EXPECT_EQ(a->Position(), 400);
  notes.clear();
  m->Open();
  m->Notify = true;
  m->Play();
  App().ProcessMessages();
  EXPECT_EQ(notes, (std::vector<std::pair<char, EMediaNotify>>{{'m', EMediaNotify::Failure}}));
  a->Close();
  b->Close();
  m->Close();
  App().Shutdown();
}

#ifdef VDMQ_HAVE_AV

namespace {

// Writes a small AVI: `frames` pictures of 64 x 48 at `fps`, frame i a flat grey of level 30 + 20 i,
// with a sound track of the same length.
bool WriteAvi(const std::string& path, int frames, int fps) {
  AVFormatContext* oc = nullptr;
  if (avformat_alloc_output_context2(&oc, nullptr, "avi", path.c_str()) < 0) return false;
  const AVCodec* vc = avcodec_find_encoder(AV_CODEC_ID_MPEG4);
  const AVCodec* ac = avcodec_find_encoder(AV_CODEC_ID_PCM_S16LE);
  if (!vc || !ac) return false;
  AVStream* vs = avformat_new_stream(oc, nullptr);
  AVCodecContext* ve = avcodec_alloc_context3(vc);
  ve->width = 64;
  ve->height = 48;
  ve->pix_fmt = AV_PIX_FMT_YUV420P;
  ve->time_base = {1, fps};
  ve->framerate = {fps, 1};
  ve->gop_size = 1;
  ve->bit_rate = 400000;
  if (avcodec_open2(ve, vc, nullptr) < 0) return false;
  avcodec_parameters_from_context(vs->codecpar, ve);
  vs->time_base = ve->time_base;
  AVStream* as = avformat_new_stream(oc, nullptr);
  AVCodecContext* ae = avcodec_alloc_context3(ac);
  ae->sample_fmt = AV_SAMPLE_FMT_S16;
  ae->sample_rate = 22050;
  av_channel_layout_default(&ae->ch_layout, 1);
  ae->time_base = {1, 22050};
  if (avcodec_open2(ae, ac, nullptr) < 0) return false;
  avcodec_parameters_from_context(as->codecpar, ae);
  as->time_base = ae->time_base;
  if (avio_open(&oc->pb, path.c_str(), AVIO_FLAG_WRITE) < 0 || avformat_write_header(oc, nullptr) < 0) return false;
  AVPacket* pkt = av_packet_alloc();
  auto drain = [&](AVCodecContext* c, AVStream* s) {
    while (avcodec_receive_packet(c, pkt) == 0) {
      av_packet_rescale_ts(pkt, c->time_base, s->time_base);
      pkt->stream_index = s->index;
      av_interleaved_write_frame(oc, pkt);
    }
  };
  const int perFrame = 22050 / fps;
  for (int i = 0; i < frames; ++i) {
    AVFrame* f = av_frame_alloc();
    f->format = AV_PIX_FMT_YUV420P;
    f->width = 64;
    f->height = 48;
    av_frame_get_buffer(f, 0);
    for (int y = 0; y < 48; ++y) std::memset(f->data[0] + y * f->linesize[0], 30 + 20 * i, 64);
    for (int y = 0; y < 24; ++y) {
      std::memset(f->data[1] + y * f->linesize[1], 128, 32);
      std::memset(f->data[2] + y * f->linesize[2], 128, 32);
    }
    f->pts = i;
    avcodec_send_frame(ve, f);
    drain(ve, vs);
    av_frame_free(&f);
    AVFrame* a = av_frame_alloc();
    a->format = AV_SAMPLE_FMT_S16;
    a->sample_rate = 22050;
    av_channel_layout_copy(&a->ch_layout, &ae->ch_layout);
    a->nb_samples = perFrame;
    av_frame_get_buffer(a, 0);
    auto* samples = reinterpret_cast<std::int16_t*>(a->data[0]);
    for (int k = 0; k < perFrame; ++k) samples[k] = static_cast<std::int16_t>(4000 * std::sin(k * 0.1));
    a->pts = static_cast<std::int64_t>(i) * perFrame;
    avcodec_send_frame(ae, a);
    drain(ae, as);
    av_frame_free(&a);
  }
  avcodec_send_frame(ve, nullptr);
  drain(ve, vs);
  avcodec_send_frame(ae, nullptr);
  drain(ae, as);
  av_write_trailer(oc);
  av_packet_free(&pkt);
  avcodec_free_context(&ve);
  avcodec_free_context(&ae);
  avio_closep(&oc->pb);
  avformat_free_context(oc);
  return true;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

TEST_F(SdlMediaTest, GeneratedAviPlaysToItsEndWithEveryFrame) {
  ASSERT_TRUE(TAviDecoder::Available());
  fakes.WriteFile("C:\\mov\\x.txt", "");
  // The game's movies carry another extension: the content decides.
  const std::string path = fakes.Native("C:\\mov\\INT_T01.str");
  ASSERT_TRUE(WriteAvi(path, 10, 10));
  std::vector<int> levels;
  TMediaRect rectSeen;
  media->OnVideoFrame = [&](const TMediaRect& r, const TPixmap& f) {
    rectSeen = r;
    ASSERT_EQ(f.Width(), 64);
    ASSERT_EQ(f.Height(), 48);
    levels.push_back(static_cast<int>((f.Pixel(32, 24) >> 8) & 0xFF));
  };
  Recorder r;
  auto dev = media->Open(EMediaDeviceType::AviVideo, "C:\\mov\\int_t01.str", {}, r.Sink());
  EXPECT_EQ(dev->TimeFormat(), EMediaTimeFormat::Frames);
  EXPECT_EQ(dev->Length(), 10);
  dev->SetDisplayRect({240, 180, 560, 420});
  dev->Play(std::nullopt, std::nullopt, kWaitNotify);
  EXPECT_EQ(r.got, std::vector<EMediaNotify>{EMediaNotify::Successful});
  ASSERT_EQ(levels.size(), 10u);
  EXPECT_EQ(rectSeen, (TMediaRect{240, 180, 560, 420}));
  // Each frame shown once, in order: the grey level rises by about 20 each frame.
  for (size_t i = 1; i < levels.size(); ++i) EXPECT_NEAR(levels[i] - levels[i - 1], 23, 6) << i;
  EXPECT_EQ(dev->Position(), 10);
  EXPECT_EQ(clock.NowMs(), 1000u);
  // From frame 5 without wait: frames come as the loop polls at their times.
  levels.clear();
  r.got.clear();
  dev->Play(5, std::nullopt, kNotify);
  for (int step = 0; step < 5; ++step) {
    const auto next = media->NextEventTime();
    ASSERT_TRUE(next.has_value());
    clock.Advance(*next > clock.NowMs() ? *next - clock.NowMs() : 0);
    media->Poll();
  }
  EXPECT_EQ(levels.size(), 5u);
  EXPECT_EQ(dev->Position(), 10);
  EXPECT_EQ(r.got, std::vector<EMediaNotify>{EMediaNotify::Successful});
  // Stopped at frame 2 of a new play: aborted, then the stop's success; the position stays there.
  r.got.clear();
  dev->Play(0, std::nullopt, kNotify);
  clock.Advance(250);
  media->Poll();
  dev->Stop(kNotify);
  EXPECT_EQ(r.got, (std::vector<EMediaNotify>{EMediaNotify::Aborted, EMediaNotify::Successful}));
  EXPECT_EQ(dev->Position(), 2);
}

TEST_F(SdlMediaTest, DamagedAviReportsFailure) {
  const std::string good = fakes.Native("C:\\mov\\good.avi");
  fakes.WriteFile("C:\\mov\\x.txt", "");
  ASSERT_TRUE(WriteAvi(good, 6, 10));
  const std::string bytes = ReadFile(good);
  ASSERT_GT(bytes.size(), 2000u);
  struct Case {
    const char* name;
    std::string data;
  };
  std::string scrambled = bytes;
  for (size_t i = 12; i < scrambled.size(); ++i) scrambled[i] = static_cast<char>(scrambled[i] * 31 + 7);
  const std::vector<Case> cases = {
      {"C:\\mov\\cut.avi", bytes.substr(0, 200)},
      {"C:\\mov\\scrambled.avi", scrambled},
      {"C:\\mov\\text.avi",
       "RIFF\x10\x00\x00\x00"
       "AVI LIST not a movie at all"},
      {"C:\\mov\\empty.avi", ""},
  };
  int frames = 0;
  media->OnVideoFrame = [&](const TMediaRect&, const TPixmap&) { ++frames; };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fakes.WriteFile(c.name, c.data);
    Recorder r;
    frames = 0;
    auto dev = media->Open(EMediaDeviceType::AviVideo, c.name, {}, r.Sink());
    dev->Play(std::nullopt, std::nullopt, kNotify);
    EXPECT_EQ(r.got, std::vector<EMediaNotify>{EMediaNotify::Failure});
    EXPECT_EQ(frames, 0);
    EXPECT_FALSE(media->LastVideoError().empty());
    // Without notify the failure is raised for the event that asked.
    EXPECT_THROW(dev->Play(std::nullopt, std::nullopt, {}), EGameError);
  }
  // Damage after the first frames: the movie plays what it can and still ends (no hang).
  std::string tail = bytes;
  for (size_t i = tail.size() * 2 / 3; i < tail.size(); ++i) tail[i] = static_cast<char>(i * 13);
  fakes.WriteFile("C:\\mov\\tail.avi", tail);
  Recorder r;
  auto dev = media->Open(EMediaDeviceType::AviVideo, "C:\\mov\\tail.avi", {}, r.Sink());
  dev->Play(std::nullopt, std::nullopt, kWaitNotify);
  ASSERT_EQ(r.got.size(), 1u);
  EXPECT_LE(clock.NowMs(), 1000u);
}

// Randomly damaged movies: every play ends with exactly one notification, in the movie's time at
// most, and never shows more frames than the movie has (the sanitizer build checks the reads).
TEST_F(SdlMediaTest, RandomlyDamagedMoviesEndCleanly) {
  const std::string good = fakes.Native("C:\\mov\\good.avi");
  fakes.WriteFile("C:\\mov\\x.txt", "");
  ASSERT_TRUE(WriteAvi(good, 6, 10));
  const std::string bytes = ReadFile(good);
  std::uint32_t seed = 2024;
  auto next = [&] {
    seed = seed * 1664525u + 1013904223u;
    return seed >> 8;
  };
  int frames = 0;
  media->OnVideoFrame = [&](const TMediaRect&, const TPixmap&) { ++frames; };
  for (int round = 0; round < 40; ++round) {
    SCOPED_TRACE(round);
    std::string damaged = bytes;
    const int hits = 1 + static_cast<int>(next() % 40);
    for (int h = 0; h < hits; ++h) damaged[next() % damaged.size()] = static_cast<char>(next());
    if (round % 5 == 4) damaged.resize(next() % damaged.size());
    fakes.WriteFile("C:\\mov\\rand.avi", damaged);
    Recorder r;
    frames = 0;
    auto dev = media->Open(EMediaDeviceType::AviVideo, "C:\\mov\\rand.avi", {}, r.Sink());
    const std::uint64_t start = clock.NowMs();
    dev->Play(std::nullopt, std::nullopt, kWaitNotify);
    ASSERT_EQ(r.got.size(), 1u);
    EXPECT_LE(frames, std::max(dev->Length(), 0));
    EXPECT_LE(clock.NowMs() - start, 1000u);  // six frames at most, whatever the header claims
  }
}

// A header that promises a million frames: the play ends with the last picture the file holds.
TEST_F(SdlMediaTest, MovieEndsWhereItsPicturesEnd) {
  const std::string path = fakes.Native("C:\\mov\\long.avi");
  fakes.WriteFile("C:\\mov\\x.txt", "");
  ASSERT_TRUE(WriteAvi(path, 6, 10));
  std::string bytes = ReadFile(path);
  // Every stored frame count (main header, stream headers) becomes 1000000.
  int patched = 0;
  for (const char* tag : {"avih", "strh"}) {
    for (size_t at = bytes.find(tag); at != std::string::npos; at = bytes.find(tag, at + 4)) {
      const size_t field = std::string(tag) == "avih" ? at + 8 + 16 : at + 8 + 32;
      if (field + 4 > bytes.size()) continue;
      std::string v;
      PutLe32(v, 1000000);
      bytes.replace(field, 4, v);
      ++patched;
    }
  }
  ASSERT_GE(patched, 2);
  fakes.WriteFile("C:\\mov\\long.avi", bytes);
  int frames = 0;
  media->OnVideoFrame = [&](const TMediaRect&, const TPixmap&) { ++frames; };
  Recorder r;
  auto dev = media->Open(EMediaDeviceType::AviVideo, "C:\\mov\\long.avi", {}, r.Sink());
  EXPECT_EQ(dev->Length(), 1000000);
  dev->Play(std::nullopt, std::nullopt, kWaitNotify);
  EXPECT_EQ(r.got, std::vector<EMediaNotify>{EMediaNotify::Successful});
  EXPECT_EQ(frames, 6);
  EXPECT_LE(clock.NowMs(), 700u);
  EXPECT_EQ(dev->Position(), 6);
}

// A header that claims the largest count it can hold: the count stays a 32-bit frame number, and
// the play still ends with the pictures the file holds.
TEST_F(SdlMediaTest, FrameCountOfAnyHeaderIsA32BitNumber) {
  const std::string path = fakes.Native("C:\\mov\\huge.avi");
  fakes.WriteFile("C:\\mov\\x.txt", "");
  ASSERT_TRUE(WriteAvi(path, 4, 10));
  std::string bytes = ReadFile(path);
  for (const char* tag : {"avih", "strh"}) {
    for (size_t at = bytes.find(tag); at != std::string::npos; at = bytes.find(tag, at + 4)) {
      const size_t field = std::string(tag) == "avih" ? at + 8 + 16 : at + 8 + 32;
      if (field + 4 <= bytes.size()) bytes.replace(field, 4, "\xFF\xFF\xFF\xFF");
    }
  }
  fakes.WriteFile("C:\\mov\\huge.avi", bytes);
  TAviDecoder decoder;
  std::string why;
  ASSERT_TRUE(decoder.Open(path, &why)) << why;
  EXPECT_GT(decoder.FrameCount(), 4);
  EXPECT_LE(decoder.FrameCount(), INT32_MAX);
  Recorder r;
  auto dev = media->Open(EMediaDeviceType::AviVideo, "C:\\mov\\huge.avi", {}, r.Sink());
  EXPECT_EQ(dev->Length(), INT32_MAX);
  dev->Play(std::nullopt, std::nullopt, kWaitNotify);
  EXPECT_EQ(r.got, std::vector<EMediaNotify>{EMediaNotify::Successful});
  EXPECT_EQ(dev->Position(), 4);
}

// The media player control with a display panel: the movie's frames land in the panel's rectangle
// on the screen, and the play's end comes through the queue as the player's notification.
TEST(SdlMoviePlayer, FramesAreDrawnIntoTheDisplayPanel) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  THeadlessSession session;
  TFakeSysServices fakes(&session.MediaClock);
  TSdlMediaService media(session.MediaClock);
  media.OnVideoFrame = ShowVideoFrame;
  App().SetMediaService(&media);
  fakes.WriteFile("C:\\mov\\x.txt", "");
  ASSERT_TRUE(WriteAvi(fakes.Native("C:\\mov\\op.str"), 8, 10));
  TForm* form = nullptr;
  App().CreateForm(form);
  form->SetBorderStyle(bsNone);
  form->SetBounds(0, 0, 800, 600);
  form->SetColor(clBlack);
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(240, 180, 320, 240);
  panel->SetColor(clBlack);
  auto* player = new TMediaPlayer(form);
  player->SetParent(form);
  player->DeviceType = EMediaDeviceType::AviVideo;
  player->FileName = "C:\\mov\\op.str";
  player->Display = panel;
  std::vector<EMediaNotify> notes;
  player->OnNotify = [&](TComponent*) { notes.push_back(player->NotifyValue); };
  form->Show();
  App().ProcessMessages();
  player->Open();
  player->SetDisplayRect({0, 0, 320, 240});
  player->Notify = true;
  player->Play();
  EXPECT_TRUE(player->Playing());
  // Let the loop run to the end of the movie (timers and the media clock move on virtual time).
  while (notes.empty() && session.Backend.NowMs() < 5000) App().HandleMessage();
  ASSERT_EQ(notes, std::vector<EMediaNotify>{EMediaNotify::Successful});
  EXPECT_EQ(player->Position(), 8);
  const TPixmap& screen = session.Backend.LastScreen();
  const std::uint32_t inside = screen.Pixel(400, 300), corner = screen.Pixel(559, 419);
  EXPECT_EQ(inside, corner);                         // the 64 x 48 frame stretched over the whole panel
  EXPECT_GT((inside >> 8) & 0xFF, 165u);             // the last, lightest frame (frame 6 is darker)
  EXPECT_EQ(screen.Pixel(239, 179) & 0xFFFFFF, 0u);  // outside the panel stays black
  player->Close();
  App().Shutdown();
}

#endif
