#include "tools/AviWriter.h"

#include <algorithm>

#include "platform/base/LittleEndian.h"
#include "tools/WaveWriter.h"

namespace vdmq::sample {

namespace {

constexpr std::uint32_t kAviHasIndex = 0x10;
constexpr std::uint32_t kAviIsInterleaved = 0x100;
constexpr std::uint32_t kIndexKeyFrame = 0x10;
constexpr std::uint32_t kBiRle8 = 1;

// Equal indices from x on (at most 255).
int RunAt(const std::uint8_t* row, int width, int x) {
  int n = 1;
  while (x + n < width && n < 255 && row[x + n] == row[x]) ++n;
  return n;
}

void EncodeRow(const std::uint8_t* row, int width, std::vector<std::uint8_t>& out) {
  int x = 0;
  while (x < width) {
    const int run = RunAt(row, width, x);
    if (run >= 2) {
      out.push_back(static_cast<std::uint8_t>(run));
      out.push_back(row[x]);
      x += run;
      continue;
    }
    // A literal stretch, up to where a run of three or more begins.
    int end = x;
    while (end < width && end - x < 255 && (end == x || RunAt(row, width, end) < 3)) ++end;
    const int count = end - x;
    if (count < 3) {
      // Too short for a literal run: single pixels as runs of one (a pair of equal ones as one run).
      for (int i = x; i < end;) {
        const int n = std::min(RunAt(row, width, i), end - i);
        out.push_back(static_cast<std::uint8_t>(n));
        out.push_back(row[i]);
        i += n;
      }
    } else {
      out.push_back(0);
      out.push_back(static_cast<std::uint8_t>(count));
      out.insert(out.end(), row + x, row + end);
      if (count % 2 != 0) out.push_back(0);  // literal runs end on a word boundary
    }
    x = end;
  }
}

// A chunk or list being written: its size is filled in when it ends.
class TChunkWriter {
 public:
  explicit TChunkWriter(std::vector<std::uint8_t>& out) : out_(out) {}
  // Starts a chunk (or, with a list type, a RIFF or LIST); answers where its data begins.
  size_t Begin(const char (&id)[5]) {
    PutFourCc(out_, id);
    starts_.push_back(out_.size());
    PutLe32(out_, 0);
    return out_.size();
  }
  size_t BeginList(const char (&id)[5], const char (&type)[5]) {
    Begin(id);
    PutFourCc(out_, type);
    return out_.size();
  }
  void End() {
    const size_t at = starts_.back();
    starts_.pop_back();
    const auto size = static_cast<std::uint32_t>(out_.size() - at - 4);
    StoreLe32(out_.data() + at, size);
    if (size % 2 != 0) out_.push_back(0);
  }

 private:
  std::vector<std::uint8_t>& out_;
  std::vector<size_t> starts_;
};

struct TIndexEntry {
  const char* Id;
  std::uint32_t Offset, Size;
};

}  // namespace

std::vector<std::uint8_t> EncodeRle8(const raster::TImage8& frame) {
  std::vector<std::uint8_t> out;
  out.reserve(static_cast<size_t>(frame.Width) * static_cast<size_t>(frame.Height) / 2);
  for (int y = frame.Height - 1; y >= 0; --y) {
    EncodeRow(frame.Index.data() + static_cast<size_t>(y) * static_cast<size_t>(frame.Width), frame.Width, out);
    out.push_back(0);
    out.push_back(y > 0 ? 0 : 1);  // end of line; after the top row, end of bitmap
  }
  return out;
}

int SamplesPerFrame(const TAviMovie& m) { return m.SampleRate / m.FramesPerSecond; }

std::vector<std::uint8_t> EncodeAvi(const TAviMovie& m) {
  const auto frames = static_cast<std::uint32_t>(m.Frames.size());
  const auto perFrame = static_cast<std::uint32_t>(SamplesPerFrame(m));
  const std::uint32_t soundBytes = perFrame * 2;
  std::uint32_t largestVideo = 0;
  for (const auto& f : m.Frames) largestVideo = std::max(largestVideo, static_cast<std::uint32_t>(f.size()));
  const auto w = static_cast<std::uint32_t>(m.Width), h = static_cast<std::uint32_t>(m.Height);
  const auto fps = static_cast<std::uint32_t>(m.FramesPerSecond), rate = static_cast<std::uint32_t>(m.SampleRate);

  std::vector<std::uint8_t> out;
  TChunkWriter c(out);
  c.BeginList("RIFF", "AVI ");
  c.BeginList("LIST", "hdrl");
  c.Begin("avih");
  PutLe32(out, (1000000 + fps / 2) / fps);               // microseconds a frame
  PutLe32(out, (largestVideo + soundBytes + 16) * fps);  // most bytes a second
  PutLe32(out, 0);                                       // padding granularity
  PutLe32(out, kAviHasIndex | kAviIsInterleaved);
  PutLe32(out, frames);
  PutLe32(out, 0);  // initial frames
  PutLe32(out, 2);  // streams
  PutLe32(out, largestVideo + 8);
  PutLe32(out, w);
  PutLe32(out, h);
  for (int i = 0; i < 4; ++i) PutLe32(out, 0);
  c.End();
  // The video stream: 8-bit RLE with its palette.
  c.BeginList("LIST", "strl");
  c.Begin("strh");
  PutFourCc(out, "vids");
  PutFourCc(out, "mrle");
  PutLe32(out, 0);  // flags
  PutLe16(out, 0);  // priority
  PutLe16(out, 0);  // language
  PutLe32(out, 0);  // initial frames
  PutLe32(out, 1);  // scale
  PutLe32(out, fps);
  PutLe32(out, 0);  // start
  PutLe32(out, frames);
  PutLe32(out, largestVideo);
  PutLe32(out, 0xFFFFFFFFu);  // quality: default
  PutLe32(out, 0);            // sample size: varies
  PutLe16(out, 0);
  PutLe16(out, 0);
  PutLe16(out, w);
  PutLe16(out, h);
  c.End();
  c.Begin("strf");
  PutLe32(out, 40);
  PutLe32(out, w);
  PutLe32(out, h);  // positive: rows bottom-up
  PutLe16(out, 1);
  PutLe16(out, 8);
  PutLe32(out, kBiRle8);
  PutLe32(out, w * h);
  PutLe32(out, 0);
  PutLe32(out, 0);
  PutLe32(out, 256);
  PutLe32(out, 0);
  for (const raster::TBgr& p : m.Palette) {
    out.push_back(p.b);
    out.push_back(p.g);
    out.push_back(p.r);
    out.push_back(0);
  }
  c.End();
  c.End();
  // The sound stream.
  c.BeginList("LIST", "strl");
  c.Begin("strh");
  PutFourCc(out, "auds");
  PutLe32(out, 0);
  PutLe32(out, 0);
  PutLe16(out, 0);
  PutLe16(out, 0);
  PutLe32(out, 0);
  PutLe32(out, 1);
  PutLe32(out, rate);
  PutLe32(out, 0);
  PutLe32(out, frames * perFrame);
  PutLe32(out, soundBytes);
  PutLe32(out, 0xFFFFFFFFu);
  PutLe32(out, 2);
  for (int i = 0; i < 4; ++i) PutLe16(out, 0);
  c.End();
  c.Begin("strf");
  PutLe16(out, 1);  // PCM
  PutLe16(out, 1);  // mono
  PutLe32(out, rate);
  PutLe32(out, rate * 2);
  PutLe16(out, 2);
  PutLe16(out, 16);
  PutLe16(out, 0);  // no extra bytes
  c.End();
  c.End();
  c.End();  // hdrl
  // The chunks, one frame's picture and then its sound; index offsets count from "movi".
  const size_t movi = c.BeginList("LIST", "movi") - 4;
  std::vector<TIndexEntry> index;
  for (std::uint32_t f = 0; f < frames; ++f) {
    const size_t video = c.Begin("00dc") - 8;
    out.insert(out.end(), m.Frames[f].begin(), m.Frames[f].end());
    c.End();
    index.push_back({"00dc", static_cast<std::uint32_t>(video - movi), static_cast<std::uint32_t>(m.Frames[f].size())});
    const size_t sound = c.Begin("01wb") - 8;
    for (std::uint32_t i = 0; i < perFrame; ++i) {
      const size_t at = static_cast<size_t>(f) * perFrame + i;
      PutLe16(out, static_cast<std::uint16_t>(at < m.Sound.size() ? m.Sound[at] : 0));
    }
    c.End();
    index.push_back({"01wb", static_cast<std::uint32_t>(sound - movi), soundBytes});
  }
  c.End();
  c.Begin("idx1");
  for (const TIndexEntry& e : index) {
    out.insert(out.end(), e.Id, e.Id + 4);
    PutLe32(out, kIndexKeyFrame);
    PutLe32(out, e.Offset);
    PutLe32(out, e.Size);
  }
  c.End();
  c.End();  // RIFF
  return out;
}

}  // namespace vdmq::sample
