// The generated sounds and movies, read back by the test's own readers and played through the
// platform's media layer: the clips' format, lengths, levels, clean ends and two distinct voices;
// the movies' RIFF structure and index, every RLE8 frame decoded by a small decoder here and
// compared with the frame the generator quantised, and plays through the fake and the real media
// devices. One generation of the audio and movie stages for the whole file.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/LittleEndian.h"
#include "platform/sys/FakeMedia.h"
#include "platform/sys/Services.h"
#include "support/Scratch.h"
#include "tools/AviWriter.h"
#include "tools/Generator.h"
#include "tools/MovieStage.h"

#ifdef VDMQ_TEST_SDL_MEDIA
#include "platform/sdl/AviDecoder.h"
#include "platform/sdl/SdlMedia.h"
#endif

namespace vdmq {
namespace {

namespace fs = std::filesystem;

constexpr int kRate = 22050;
constexpr int kFrames = 150, kPerFrame = 1470, kWidth = 320, kHeight = 240;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// ---- Sounds ---------------------------------------------------------------------------------

struct TClip {
  std::string name;
  std::vector<std::int16_t> samples;
  std::string bytes;
};

// The clip's samples after checking its plain 44-byte PCM header.
TClip ReadClip(const fs::path& path) {
  TClip c;
  c.name = path.filename().string();
  c.bytes = ReadFile(path);
  const std::string& b = c.bytes;
  EXPECT_GE(b.size(), 44u) << c.name;
  if (b.size() < 44) return c;
  EXPECT_EQ(b.substr(0, 4), "RIFF") << c.name;
  EXPECT_EQ(ReadLe32(b.data() + 4), b.size() - 8) << c.name;
  EXPECT_EQ(b.substr(8, 8), "WAVEfmt ") << c.name;
  EXPECT_EQ(ReadLe32(b.data() + 16), 16u) << c.name;
  EXPECT_EQ(ReadLe16(b.data() + 20), 1u) << c.name << ": PCM";
  EXPECT_EQ(ReadLe16(b.data() + 22), 1u) << c.name << ": mono";
  EXPECT_EQ(ReadLe32(b.data() + 24), 22050u) << c.name;
  EXPECT_EQ(ReadLe32(b.data() + 28), 44100u) << c.name;
  EXPECT_EQ(ReadLe16(b.data() + 32), 2u) << c.name;
  EXPECT_EQ(ReadLe16(b.data() + 34), 16u) << c.name;
  EXPECT_EQ(b.substr(36, 4), "data") << c.name;
  EXPECT_EQ(ReadLe32(b.data() + 40), b.size() - 44) << c.name;
  for (size_t i = 44; i + 1 < b.size(); i += 2) c.samples.push_back(static_cast<std::int16_t>(ReadLe16(b.data() + i)));
  return c;
}

double Seconds(const TClip& c) { return static_cast<double>(c.samples.size()) / kRate; }
int PeakOf(const std::vector<std::int16_t>& s, size_t from, size_t to) {
  int p = 0;
  for (size_t i = from; i < to && i < s.size(); ++i) p = std::max(p, std::abs(static_cast<int>(s[i])));
  return p;
}
double ZeroCrossingRate(const TClip& c) {
  int n = 0;
  for (size_t i = 1; i < c.samples.size(); ++i) n += (c.samples[i - 1] < 0) != (c.samples[i] < 0);
  return static_cast<double>(n) / Seconds(c);
}

const int kVoiceNumbers[] = {0, 1, 2, 3, 5, 8, 9, 10, 11};

std::string VoiceName(const char* set, int number) {
  char name[32];
  std::snprintf(name, sizeof name, "%s_%03d.WAV", set, number);
  return name;
}

void SoundsHaveTheirFormatLengthsAndLevels(const fs::path& game) {
  std::set<std::string> want = {"SE_00.WAV"}, have;
  for (int n : kVoiceNumbers) want.insert({VoiceName("ERI", n), VoiceName("PET", n)});
  for (const auto& f : fs::directory_iterator(game / "snd")) have.insert(f.path().filename().string());
  EXPECT_EQ(have, want);

  const double minPeak = 32768.0 * std::pow(10.0, -12.0 / 20.0), maxPeak = 32768.0 * std::pow(10.0, -1.0 / 20.0);
  const size_t edge = kRate * 2 / 1000;  // 2 ms
  for (const std::string& name : want) {
    SCOPED_TRACE(name);
    const TClip c = ReadClip(game / "snd" / name);
    ASSERT_GT(c.samples.size(), edge * 2);
    const int peak = PeakOf(c.samples, 0, c.samples.size());
    EXPECT_GE(peak, minPeak);
    EXPECT_LE(peak, maxPeak);
    EXPECT_LT(PeakOf(c.samples, 0, edge), 328) << "the start is faded in";
    EXPECT_LT(PeakOf(c.samples, c.samples.size() - edge, c.samples.size()), 328) << "the end is faded out";
    const double s = Seconds(c);
    if (name == "SE_00.WAV") {
      EXPECT_GE(s, 0.6);
      EXPECT_LE(s, 0.9);
    } else if (name.find("_000") != std::string::npos || name.find("_001") != std::string::npos) {
      EXPECT_GE(s, 0.4);
      EXPECT_LE(s, 1.2) << "the battle's result waits for it";
    } else {
      EXPECT_GE(s, 0.4);
      EXPECT_LE(s, 0.9);
    }
  }
  // Two voices: the ERI clip of each number differs from PET's and is the higher one.
  for (int n : kVoiceNumbers) {
    SCOPED_TRACE(n);
    const TClip eri = ReadClip(game / "snd" / VoiceName("ERI", n)), pet = ReadClip(game / "snd" / VoiceName("PET", n));
    EXPECT_NE(eri.bytes, pet.bytes);
    EXPECT_GT(ZeroCrossingRate(eri), ZeroCrossingRate(pet) * 1.1);
  }
  // Clips of one voice differ from one another (each moment its own phrase).
  std::set<std::string> eriClips;
  for (int n : kVoiceNumbers) eriClips.insert(ReadClip(game / "snd" / VoiceName("ERI", n)).bytes);
  EXPECT_EQ(eriClips.size(), std::size(kVoiceNumbers));
}

// ---- Movies: the test's own RIFF walk and RLE8 decoder ----------------------------------------

struct TAviWalk {
  std::uint32_t headerFrames = 0, width = 0, height = 0, compression = 0, bits = 0;
  std::string palette;             // 1024 bytes of the video format
  std::vector<std::string> video;  // chunk data
  std::uint64_t soundBytes = 0;
  int videoIndexEntries = 0;
};

// Walks the file; answers the reason when a chunk leaves its parent, the header or index is
// missing, or an index entry does not point at its chunk.
std::optional<TAviWalk> WalkAvi(const std::string& b, std::string* why) {
  auto fail = [why](const std::string& w) {
    *why = w;
    return std::nullopt;
  };
  if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "AVI ") != 0) return fail("not a RIFF AVI");
  if (static_cast<std::uint64_t>(ReadLe32(b.data() + 4)) + 8 > b.size()) return fail("the RIFF runs past the file");
  const size_t end = 8 + ReadLe32(b.data() + 4);
  TAviWalk w;
  size_t movi = 0, moviEnd = 0;
  bool header = false, index = false;
  std::string stream;  // type of the stream list being read
  // Visits the chunks of [from, to); lists are entered.
  std::string error;
  std::function<bool(size_t, size_t)> walk = [&](size_t from, size_t to) -> bool {
    for (size_t at = from; at < to;) {
      if (to - at < 8) return error = "a chunk header is cut off", false;
      const std::string id = b.substr(at, 4);
      const std::uint64_t size = ReadLe32(b.data() + at + 4);
      if (at + 8 + size > to) return error = id + " runs past its parent", false;
      const size_t data = at + 8;
      if (id == "LIST") {
        if (size < 4) return error = "a list without a type", false;
        const std::string type = b.substr(data, 4);
        if (type == "movi") movi = data, moviEnd = data + size;
        if (!walk(data + 4, data + size)) return false;
      } else if (id == "avih" && size >= 40) {
        header = true;
        w.headerFrames = ReadLe32(b.data() + data + 16);
        w.width = ReadLe32(b.data() + data + 32);
        w.height = ReadLe32(b.data() + data + 36);
      } else if (id == "strh" && size >= 4) {
        stream = b.substr(data, 4);
      } else if (id == "strf" && stream == "vids" && size >= 40 + 1024) {
        w.bits = ReadLe16(b.data() + data + 14);
        w.compression = ReadLe32(b.data() + data + 16);
        w.palette = b.substr(data + 40, 1024);
      } else if (id == "00dc") {
        w.video.push_back(b.substr(data, size));
      } else if (id == "01wb") {
        w.soundBytes += size;
      } else if (id == "idx1") {
        index = true;
        if (movi == 0) return error = "the index comes before the chunks", false;
        for (size_t e = data; e + 16 <= data + size; e += 16) {
          const std::string ck = b.substr(e, 4);
          const std::uint64_t target = static_cast<std::uint64_t>(movi) + ReadLe32(b.data() + e + 8);
          if (target < movi || target + 8 > moviEnd || b.compare(target, 4, ck) != 0 ||
              ReadLe32(b.data() + target + 4) != ReadLe32(b.data() + e + 12)) {
            return error = "an index entry of " + ck + " misses its chunk", false;
          }
          if (ck == "00dc") {
            if ((ReadLe32(b.data() + e + 4) & 0x10) == 0)
              return error = "a video entry without the key-frame flag", false;
            ++w.videoIndexEntries;
          }
        }
      }
      at = data + size + (size & 1);
    }
    return true;
  };
  if (!walk(12, end)) return fail(error);
  if (!header) return fail("no main header");
  if (!index) return fail("no index");
  return w;
}

// BI_RLE8 into a top-down picture: every pixel must be written exactly by runs and literal runs,
// rows bottom-up; a delta code, a run past a row, a missing end or unwritten pixel is a failure.
std::optional<std::vector<std::uint8_t>> DecodeRle8(const std::string& d, int width, int height, std::string* why) {
  std::vector<std::uint8_t> px(static_cast<size_t>(width) * static_cast<size_t>(height));
  std::vector<bool> written(px.size(), false);
  auto fail = [why](const char* w) {
    *why = w;
    return std::nullopt;
  };
  int x = 0, row = 0;  // row counts from the bottom
  size_t at = 0;
  for (;;) {
    if (at + 2 > d.size()) return fail("the data ends before end-of-bitmap");
    const int a = static_cast<std::uint8_t>(d[at]), v = static_cast<std::uint8_t>(d[at + 1]);
    at += 2;
    auto put = [&](std::uint8_t index) {
      const size_t p = static_cast<size_t>(height - 1 - row) * static_cast<size_t>(width) + static_cast<size_t>(x++);
      px[p] = index;
      written[p] = true;
    };
    if (a > 0) {
      if (row >= height || x + a > width) return fail("a run leaves its row");
      for (int i = 0; i < a; ++i) put(static_cast<std::uint8_t>(v));
    } else if (v == 0) {
      if (x != width) return fail("a row ends short");
      x = 0;
      if (++row >= height) return fail("more rows than the picture");
    } else if (v == 1) {
      if (x != width || row != height - 1) return fail("the picture ends short");
      break;
    } else if (v == 2) {
      return fail("a delta code");
    } else {
      if (row >= height || x + v > width) return fail("a literal run leaves its row");
      if (at + static_cast<size_t>(v) > d.size()) return fail("a literal run is cut off");
      for (int i = 0; i < v; ++i) put(static_cast<std::uint8_t>(d[at + static_cast<size_t>(i)]));
      at += static_cast<size_t>(v + (v & 1));
    }
  }
  for (bool w : written) {
    if (!w) return fail("a pixel was not written");
  }
  return px;
}

double MeanLevel(const raster::TImage24& img) {
  double sum = 0;
  for (const raster::TBgr& p : img.Pixels) sum += (p.r + p.g + p.b) / 3.0;
  return sum / static_cast<double>(img.Pixels.size());
}
double MeanDifference(const raster::TImage24& a, const raster::TImage24& b) {
  double sum = 0;
  for (size_t i = 0; i < a.Pixels.size(); ++i) {
    sum += std::abs(a.Pixels[i].r - b.Pixels[i].r) + std::abs(a.Pixels[i].g - b.Pixels[i].g) +
           std::abs(a.Pixels[i].b - b.Pixels[i].b);
  }
  return sum / static_cast<double>(a.Pixels.size() * 3);
}

void MovieFileHoldsTheCut(const std::string& bytes, const sample::TMovieCut& cut) {
  EXPECT_LE(bytes.size(), 4u << 20);
  std::string why;
  const std::optional<TAviWalk> w = WalkAvi(bytes, &why);
  ASSERT_TRUE(w) << why;
  EXPECT_EQ(w->headerFrames, static_cast<std::uint32_t>(kFrames));
  EXPECT_EQ(w->video.size(), static_cast<size_t>(kFrames));
  EXPECT_EQ(w->videoIndexEntries, kFrames);
  EXPECT_EQ(w->soundBytes, static_cast<std::uint64_t>(kFrames) * kPerFrame * 2);
  EXPECT_EQ(w->width, 320u);
  EXPECT_EQ(w->height, 240u);
  EXPECT_EQ(w->bits, 8u);
  EXPECT_EQ(w->compression, 1u) << "BI_RLE8";
  ASSERT_EQ(w->palette.size(), 1024u);
  for (int i = 0; i < 256; ++i) {
    const raster::TBgr& p = cut.Palette[static_cast<size_t>(i)];
    EXPECT_EQ(w->palette.substr(static_cast<size_t>(i) * 4, 3),
              std::string({static_cast<char>(p.b), static_cast<char>(p.g), static_cast<char>(p.r)}));
  }
  ASSERT_EQ(cut.Frames.size(), static_cast<size_t>(kFrames));
  for (int f = 0; f < kFrames; ++f) {
    const auto px = DecodeRle8(w->video[static_cast<size_t>(f)], kWidth, kHeight, &why);
    ASSERT_TRUE(px) << "frame " << f << ": " << why;
    ASSERT_TRUE(*px == cut.Frames[static_cast<size_t>(f)].Index) << "frame " << f;
  }
}

// The scenes as a player sees them: the first frame shows the scene, the middle differs from both
// ends; the ending fades to black.
void ScenesMoveAndEnd(const sample::TMovieCut& cut) {
  const raster::TImage24 first = cut.Frames.front().Expand(), middle = cut.Frames[kFrames / 2].Expand(),
                         last = cut.Frames.back().Expand();
  EXPECT_GT(MeanLevel(first), 8.0) << "frame 0 already shows the scene";
  EXPECT_GT(MeanDifference(first, middle), 6.0);
  EXPECT_GT(MeanDifference(middle, last), 6.0);
  EXPECT_LT(MeanLevel(last), 3.0) << "the movie ends in black";
}

// Damaged copies: the walk and the decoder answer, and a copy cut short never walks through.
void DamagedMoviesFailCleanly(const std::string& bytes) {
  std::uint32_t seed = 18;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return seed >> 8;
  };
  int decoded = 0;
  for (int round = 0; round < 60; ++round) {
    std::string copy = bytes;
    const bool cut = round % 2 == 0;
    if (cut) {
      copy.resize(next() % copy.size());
    } else {
      for (int k = 0; k < 1 + static_cast<int>(next() % 64); ++k)
        copy[next() % copy.size()] ^= static_cast<char>(1 << (next() % 8));
    }
    std::string why;
    const std::optional<TAviWalk> w = WalkAvi(copy, &why);
    if (cut) {
      EXPECT_FALSE(w) << "a movie cut to " << copy.size() << " bytes";
      EXPECT_FALSE(why.empty());
    }
    if (!w) continue;
    for (const std::string& frame : w->video) decoded += DecodeRle8(frame, kWidth, kHeight, &why).has_value();
    // Frames of random bytes, and the frames cut at random points.
    for (int k = 0; k < 4; ++k) {
      const std::string& frame = w->video[next() % w->video.size()];
      EXPECT_FALSE(DecodeRle8(frame.substr(0, next() % std::max<size_t>(frame.size(), 1)), kWidth, kHeight, &why));
    }
  }
  std::string noise(5000, '\0');
  for (char& c : noise) c = static_cast<char>(next());
  std::string why;
  EXPECT_FALSE(DecodeRle8(noise, kWidth, kHeight, &why));
  EXPECT_GT(decoded, 0) << "undamaged frames of flipped copies still decode";
}

void MoviesThroughTheFakeMedia(const fs::path& game) {
  TFakeSysServices fakes;
  for (int n : {1, 2}) {
    const std::string name = sample::MoviePath(n).substr(6);
    fakes.WriteFile("C:\\inter\\" + name, ReadFile(game / "inter" / name));
    auto dev = fakes.media->Open(EMediaDeviceType::AviVideo, "C:\\inter\\" + name, {}, [](EMediaNotify) {});
    EXPECT_EQ(dev->Length(), kFrames) << name;
  }
  for (const auto& f : fs::directory_iterator(game / "snd")) {
    const std::string name = f.path().filename().string();
    const TClip c = ReadClip(f.path());
    fakes.WriteFile("C:\\snd\\" + name, c.bytes);
    auto dev = fakes.media->Open(EMediaDeviceType::WaveAudio, "C:\\snd\\" + name, {}, [](EMediaNotify) {});
    EXPECT_EQ(dev->Length(), static_cast<std::int32_t>(c.samples.size() * 1000 / kRate)) << name;
  }
}

#ifdef VDMQ_TEST_SDL_MEDIA
void PlaysThroughTheRealMedia(const fs::path& game, const std::vector<sample::TMovieCut>& cuts) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  TFakeSysServices fakes;
  TManualMediaClock clock;
  TSdlMediaService media(clock);
  ASSERT_TRUE(media.MixerOpen());
  std::vector<EMediaNotify> got;
  auto sink = [&got](EMediaNotify n) { got.push_back(n); };
  // A clip waited for: the play blocks for the clip's length and then succeeds.
  const TClip clip = ReadClip(game / "snd" / "ERI_000.WAV");
  fakes.WriteFile("C:\\snd\\ERI_000.WAV", clip.bytes);
  auto wave = media.Open(EMediaDeviceType::WaveAudio, "C:\\snd\\ERI_000.WAV", {}, sink);
  wave->Play(std::nullopt, std::nullopt, {true, true});
  EXPECT_EQ(clock.blocks, std::vector<std::uint32_t>{static_cast<std::uint32_t>(clip.samples.size() * 1000 / kRate)});
  EXPECT_EQ(got, std::vector<EMediaNotify>{EMediaNotify::Successful});
  if (!TAviDecoder::Available()) return;
  for (const sample::TMovieCut& cut : cuts) {
    const std::string name = sample::MoviePath(cut.Number).substr(6);
    SCOPED_TRACE(name);
    const std::string path = (game / "inter" / name).string();
    TAviDecoder decoder;
    std::string why;
    ASSERT_TRUE(decoder.Open(path, &why)) << why;
    EXPECT_EQ(decoder.Width(), kWidth);
    EXPECT_EQ(decoder.Height(), kHeight);
    EXPECT_DOUBLE_EQ(decoder.FramesPerSecond(), 15.0);
    EXPECT_EQ(decoder.FrameCount(), kFrames);
    TPixmap frame;
    for (int f = 0; f < kFrames; ++f) {
      ASSERT_TRUE(decoder.NextFrame(frame)) << f;
      // The decoder shows the palette colours of the generator's frame.
      const raster::TImage8& want = cut.Frames[static_cast<size_t>(f)];
      for (int y = 0; y < kHeight; y += 7) {
        for (int x = 0; x < kWidth; x += 5) {
          const raster::TBgr& p = want.Palette[want.Index[static_cast<size_t>(y) * kWidth + static_cast<size_t>(x)]];
          ASSERT_EQ(frame.Pixel(x, y) & 0xFFFFFFu, static_cast<std::uint32_t>(p.r << 16 | p.g << 8 | p.b))
              << f << " at " << x << "," << y;
        }
      }
    }
    std::vector<std::int16_t> pcm;
    ASSERT_TRUE(decoder.DecodeAudio(kRate, 1, pcm));
    EXPECT_NEAR(static_cast<double>(pcm.size()), kFrames * kPerFrame, kPerFrame);
    // Played by the video device: every frame once, then success; from frame 90, the last 60.
    fakes.WriteFile("C:\\inter\\" + name, ReadFile(path));
    int shown = 0;
    media.OnVideoFrame = [&shown](const TMediaRect&, const TPixmap&) { ++shown; };
    got.clear();
    auto movie = media.Open(EMediaDeviceType::AviVideo, "C:\\inter\\" + name, {}, sink);
    movie->Play(std::nullopt, std::nullopt, {true, true});
    EXPECT_EQ(shown, kFrames);
    EXPECT_EQ(got, std::vector<EMediaNotify>{EMediaNotify::Successful});
    shown = 0;
    movie->Play(90, std::nullopt, {true, true});
    EXPECT_EQ(shown, kFrames - 90);
  }
}
#endif

TEST(GameMedia, SoundsAndMoviesReadBackAndPlay) {
  test::TScratch scratch("media");
  const fs::path game = scratch.Path() + "/game";
  ASSERT_TRUE(sample::GenerateSampleData(sample::OptionsFor(game.string(), {"audio", "movies"})));
  {
    SCOPED_TRACE("sounds");
    SoundsHaveTheirFormatLengthsAndLevels(game);
  }
  std::set<std::string> movies;
  for (const auto& f : fs::directory_iterator(game / "inter")) movies.insert(f.path().filename().string());
  EXPECT_EQ(movies, (std::set<std::string>{"INT_T01.str", "INT_T02.str"}));
  std::vector<sample::TMovieCut> cuts;
  for (int n : {1, 2}) {
    SCOPED_TRACE(n);
    cuts.push_back(sample::CutMovie(n, 0 + static_cast<int>(std::thread::hardware_concurrency())));
    const std::string bytes = ReadFile(game / sample::MoviePath(n));
    MovieFileHoldsTheCut(bytes, cuts.back());
    ScenesMoveAndEnd(cuts.back());
    if (n == 1) DamagedMoviesFailCleanly(bytes);
  }
  {
    SCOPED_TRACE("fake media");
    MoviesThroughTheFakeMedia(game);
  }
#ifdef VDMQ_TEST_SDL_MEDIA
  {
    SCOPED_TRACE("real media");
    PlaysThroughTheRealMedia(game, cuts);
  }
#endif
}

// Rows that exercise every code of the encoder: single pixels, pairs, runs longer than 255,
// literal stretches of odd and even length and longer than 255, and a one-pixel picture.
TEST(GameMedia, Rle8RowsDecodeToTheirPixels) {
  const auto picture = [](int w, int h, auto pixel) {
    raster::TImage8 img;
    img.Width = w;
    img.Height = h;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) img.Index.push_back(static_cast<std::uint8_t>(pixel(x, y)));
    }
    return img;
  };
  const std::vector<raster::TImage8> cases = {
      picture(1, 1, [](int, int) { return 7; }),
      picture(2, 3, [](int x, int y) { return x + y; }),
      picture(600, 2, [](int, int y) { return y; }),
      picture(600, 2, [](int x, int) { return x % 251; }),
      picture(9, 4, [](int x, int y) { return (x / 2 + y) % 3; }),
      picture(320, 3, [](int x, int y) { return x < 100   ? 0
                                                : x < 103 ? x
                                                : x < 104 ? 5
                                                          : (x * 7 + y) % 4; }),
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    const std::vector<std::uint8_t> coded = sample::EncodeRle8(cases[i]);
    std::string why;
    const auto px = DecodeRle8(std::string(coded.begin(), coded.end()), cases[i].Width, cases[i].Height, &why);
    ASSERT_TRUE(px) << why;
    EXPECT_EQ(*px, cases[i].Index);
    EXPECT_EQ(coded.size() % 2, 0u);
  }
  // Long runs code compactly: a 600-pixel row of one index in three pairs and an end.
  EXPECT_EQ(sample::EncodeRle8(cases[2]).size(), 2u * (3 + 1) * 2);
}

}  // namespace
}  // namespace vdmq
