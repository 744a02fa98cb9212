#include "tools/MovieStage.h"

#include <cmath>
#include <filesystem>
#include <unordered_map>

#include "campaign/FileKinds.h"
#include "campaign/File_manager.h"
#include "tools/Generator.h"
#include "tools/Movies.h"
#include "tools/OutputFile.h"
#include "tools/Palette.h"
#include "tools/PreviewKit.h"

namespace vdmq::sample {

namespace fs = std::filesystem;

namespace {

// Every how many frames one goes into the palette's colour count.
constexpr int kPaletteFrameStep = 5;

}  // namespace

TMovieCut CutMovie(int number, int threads) {
  const TMovieScene scene(number);
  std::vector<raster::TImage24> full(kMovieFrames);
  TMovieCut cut;
  cut.Number = number;
  // The sound is made on the calling thread while the workers draw.
  ParallelFor(kMovieFrames + 1, threads, [&](int i) {
    if (i == kMovieFrames) {
      cut.Sound = synth::ToPcm16(scene.Sound());
    } else {
      full[static_cast<size_t>(i)] = scene.Frame(i);
    }
  });
  // The palette weighs each colour by its count to the power 0.35, so that the sky, which covers
  // most pixels, does not take most colours: its gradients get fewer, longer runs, and the ships and
  // fire more colours.
  std::unordered_map<std::uint32_t, std::uint32_t> counts;
  for (int i = 0; i < kMovieFrames; i += kPaletteFrameStep) {
    for (const raster::TBgr& p : full[static_cast<size_t>(i)].Pixels)
      ++counts[static_cast<std::uint32_t>(p.r) << 16 | p.g << 8 | p.b];
  }
  counts.erase(0);  // black has an entry of its own
  raster::TImage24 weighted;
  for (const auto& [key, n] : counts) {
    const raster::TBgr c{static_cast<std::uint8_t>(key), static_cast<std::uint8_t>(key >> 8),
                         static_cast<std::uint8_t>(key >> 16)};
    weighted.Pixels.insert(weighted.Pixels.end(),
                           static_cast<size_t>(std::lround(std::pow(static_cast<double>(n), 0.35))), c);
  }
  weighted.Width = static_cast<int>(weighted.Pixels.size());
  weighted.Height = 1;
  // Entry 0 is black, where the fades end; the median cut fills the others.
  const std::vector<raster::TBgr> colours = raster::MedianCutColours({&weighted}, 255);
  for (size_t i = 0; i < colours.size() && i + 1 < cut.Palette.size(); ++i) cut.Palette[i + 1] = colours[i];
  cut.Frames.resize(kMovieFrames);
  ParallelFor(kMovieFrames, threads, [&](int i) {
    cut.Frames[static_cast<size_t>(i)] = raster::ToPaletted(full[static_cast<size_t>(i)], cut.Palette);
  });
  return cut;
}

TAviMovie ToAvi(const TMovieCut& cut) {
  TAviMovie m;
  m.Width = kMovieWidth;
  m.Height = kMovieHeight;
  m.FramesPerSecond = kMovieFps;
  m.SampleRate = synth::kRate;
  m.Palette = cut.Palette;
  for (const raster::TImage8& f : cut.Frames) m.Frames.push_back(EncodeRle8(f));
  m.Sound = cut.Sound;
  return m;
}

std::string MoviePath(int number) {
  return "inter/" + TFileManager::FindName(TFileManager::kMovieTable, kFileKindMovie, number);
}

bool WriteMoviePreview(TGeneration& g, const std::vector<TMovieCut>& cuts) {
  const std::string folder = g.Options().PreviewFolder;
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (!fs::is_directory(folder)) return g.Fail(folder, ec ? ec.message() : "not a folder");
  // Five frames a row, each movie on rows of its own.
  constexpr int kGap = 16, kColumns = 5;
  const int rowsPerMovie = (kMovieFrames / kPreviewFrameStep + kColumns - 1) / kColumns;
  const int width = kGap + kColumns * (kMovieWidth + kGap);
  const int height = kGap + static_cast<int>(cuts.size()) * (rowsPerMovie * (kMovieHeight + kGap) + kGap);
  raster::TImage24 sheet(width, height, preview::kSheetBack);
  int y = kGap;
  for (const TMovieCut& cut : cuts) {
    for (int k = 0; k * kPreviewFrameStep < kMovieFrames; ++k) {
      const int x = kGap + (k % kColumns) * (kMovieWidth + kGap);
      const int top = y + (k / kColumns) * (kMovieHeight + kGap);
      sheet.Paste(cut.Frames[static_cast<size_t>(k * kPreviewFrameStep)].Expand(), x, top);
    }
    y += rowsPerMovie * (kMovieHeight + kGap) + kGap;
  }
  return preview::SavePreview(g, folder, "movies.png", sheet);
}

bool RunMovieStage(TGeneration& g) {
  const std::string folder = g.GamePath("inter");
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (!fs::is_directory(folder)) return g.Fail(folder, ec ? ec.message() : "not a folder");
  std::vector<TMovieCut> cuts;
  for (int number : kMovieNumbers) {
    cuts.push_back(CutMovie(number, g.Threads()));
    const std::vector<std::uint8_t> bytes = EncodeAvi(ToAvi(cuts.back()));
    std::string error;
    if (!raster::ReplaceFileBytes(g.GamePath(MoviePath(number)), bytes.data(), bytes.size(), &error))
      return g.Report(error);
  }
  if (g.Options().PreviewFolder.empty()) return true;
  return WriteMoviePreview(g, cuts);
}

}  // namespace vdmq::sample
