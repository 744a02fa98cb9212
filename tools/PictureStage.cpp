#include "tools/PictureStage.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <filesystem>

#include "qolib/pack/Qopack.h"
#include "tools/BmpWriter.h"
#include "tools/Generator.h"
#include "tools/OutputFile.h"
#include "tools/Previews.h"

namespace vdmq::sample {

namespace fs = std::filesystem;

TDrawnArt DrawOne(const TArtEntry& e, TArtCache& cache) {
  TDrawnArt d;
  try {
    d.Image = e.Render(e, cache);
    d.Error = CheckArtImage(e, d.Image);
    if (d.Error.empty()) d.Bmp = d.Image.Indexed ? raster::EncodeBmp(*d.Image.Indexed) : raster::EncodeBmp(d.Image.Rgb);
  } catch (const std::exception& x) {
    d.Error = x.what();
  }
  if (!d.Error.empty()) d.Error = e.Name() + " could not be drawn: " + d.Error;
  return d;
}

std::vector<TDrawnArt> DrawArt(const std::vector<TArtEntry>& entries, int threads) {
  std::vector<TDrawnArt> out(entries.size());
  TArtCache cache;
  ParallelFor(static_cast<int>(entries.size()), threads,
              [&](int i) { out[static_cast<size_t>(i)] = DrawOne(entries[static_cast<size_t>(i)], cache); });
  return out;
}

std::string StageFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::string error;
  if (!raster::ReplaceFileBytes(path, bytes.data(), bytes.size(), &error)) return error;
  const timespec pinned[2] = {{kPinnedFileTime, 0}, {kPinnedFileTime, 0}};
  if (utimensat(AT_FDCWD, path.c_str(), pinned, 0) != 0) return path + ": " + std::strerror(errno);
  return {};
}

namespace {

// A one-entry archive of a staged file, so that entries are encoded on the worker threads.
std::string PackOne(const TArtEntry& e, const std::string& staged, const std::string& packPath) {
  TQoPack pack;
  pack.SetReadOnly(false);
  if (!pack.NewPack(packPath.c_str())) return packPath + ": the archive cannot be created";
  if (!pack.AddFile(e.Name().c_str(), staged.c_str(), e.Method, false)) {
    pack.ClosePack();
    return packPath + ": " + e.Name() + " cannot be added";
  }
  if (!pack.ClosePack()) return packPath + ": the archive's table cannot be written";
  return {};
}

// Joins the one-entry archives in the table's order into the archive at path; each keeps its
// method, stored bytes and time. The result is read back with the whole-archive check.
bool JoinPacks(const std::string& path, const std::vector<TArtEntry>& entries, const std::vector<std::string>& packs,
               std::string* error) {
  TQoPack out;
  out.SetReadOnly(false);
  if (!out.NewPack(path.c_str())) {
    *error = path + ": the archive cannot be created";
    return false;
  }
  for (size_t i = 0; i < entries.size(); ++i) {
    TQoPack one;
    one.SetCrcMode(cmPackAll);
    const std::string name = entries[i].Name();
    if (!one.LoadPack(packs[i].c_str()) || !out.AddPack(name.c_str(), &one, name.c_str())) {
      *error = path + ": " + name + " cannot be added";
      out.ClosePack();
      return false;
    }
  }
  if (!out.ClosePack()) {
    *error = path + ": the archive's table cannot be written";
    return false;
  }
  TQoPack check;
  check.SetCrcMode(cmPackAll);
  if (!check.LoadPack(path.c_str()) || check.GetFileNum() != static_cast<int>(entries.size())) {
    *error = path + ": the archive was not written completely";
    return false;
  }
  return true;
}

}  // namespace

bool RunPictureStage(TGeneration& g) {
  const std::vector<TArtEntry>& entries = ArtEntries();
  const std::string stage = g.StageFolder();
  const std::string packs = g.MakeWorkFolder("packs");
  if (stage.empty() || packs.empty()) return false;
  const std::string dat = g.GamePath("dat");
  std::error_code ec;
  fs::create_directories(dat, ec);
  if (!fs::is_directory(dat)) return g.Fail(dat, ec ? ec.message() : "not a folder");

  // Draw, stage and encode each entry on the worker threads.
  std::vector<TDrawnArt> drawn(entries.size());
  std::vector<std::string> packPaths(entries.size());
  std::vector<std::string> errors(entries.size());
  TArtCache cache;
  // The largest pictures first, so that no thread is left with a big one at the end; the order of
  // the work reaches no output byte.
  std::vector<int> order(entries.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    return entries[static_cast<size_t>(a)].Width * entries[static_cast<size_t>(a)].Height >
           entries[static_cast<size_t>(b)].Width * entries[static_cast<size_t>(b)].Height;
  });
  ParallelFor(static_cast<int>(entries.size()), g.Threads(), [&](int n) {
    const int i = order[static_cast<size_t>(n)];
    const TArtEntry& e = entries[static_cast<size_t>(i)];
    const size_t k = static_cast<size_t>(i);
    drawn[k] = DrawOne(e, cache);
    if (!drawn[k].Error.empty()) {
      errors[k] = drawn[k].Error;
      return;
    }
    const std::string staged = (fs::path(stage) / e.Name()).string();
    packPaths[k] = (fs::path(packs) / (std::to_string(i) + ".pak")).string();
    errors[k] = StageFile(staged, drawn[k].Bmp);
    if (errors[k].empty()) errors[k] = PackOne(e, staged, packPaths[k]);
  });
  for (const std::string& e : errors) {
    if (!e.empty()) return g.Report(e);
  }
  std::string joinError, fileError;
  if (!raster::ReplaceFile(
          g.GamePath("dat/BMP.PAK"),
          [&](const std::string& temp) { return JoinPacks(temp, entries, packPaths, &joinError); }, &fileError)) {
    return g.Report(joinError.empty() ? fileError : joinError);
  }
  if (g.Options().PreviewFolder.empty()) return true;
  return WritePreviews(g, entries, drawn);
}

}  // namespace vdmq::sample
