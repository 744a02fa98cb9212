// The data generator: the wall time of a whole generation (every stage) with the default threads
// and with one, each stage on its own (the world, the pictures, the sounds, the movies), the parts of
// the pictures stage (drawing, encoding with Varnel and with Cocotte in MB/s of BMP bytes, the
// previews), the rendering of each hull model and of each battle sheet, the archive's raw and stored
// sizes per method, and the size of each movie and of the whole folder. Goals on the CI machine type:
// the whole generation within 30 s with the default threads; BMP.PAK at most 24 MiB, each movie at
// most 4 MiB, the whole game folder at most 40 MiB.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <thread>

#include "qolib/pack/Qopack.h"
#include "tools/ArtTable.h"
#include "tools/Generator.h"
#include "tools/HullModels.h"
#include "tools/MovieStage.h"
#include "tools/Movies.h"
#include "tools/PictureStage.h"
#include "tools/Previews.h"

using namespace vdmq;
namespace fs = std::filesystem;

namespace {

std::string Scratch(const std::string& name) {
  const fs::path p = fs::temp_directory_path() / ("vdmq-bench-" + name);
  fs::remove_all(p);
  fs::create_directories(p);
  return p.string();
}

void BM_Generate(benchmark::State& state) {
  const int threads = static_cast<int>(state.range(0));
  const std::string folder = Scratch("generate");
  for (auto _ : state) {
    sample::TGenerateOptions o = sample::OptionsFor(folder, {});
    o.Threads = threads;
    if (!sample::GenerateSampleData(o)) state.SkipWithError("generation failed");
  }
  std::uintmax_t total = 0;
  for (const auto& f : fs::recursive_directory_iterator(folder)) total += f.is_regular_file() ? f.file_size() : 0;
  state.counters["folder_MiB"] = static_cast<double>(total) / (1 << 20);
  for (int n : sample::kMovieNumbers) {
    const fs::path movie = fs::path(folder) / sample::MoviePath(n);
    state.counters[movie.filename().string() + "_MiB"] = static_cast<double>(fs::file_size(movie)) / (1 << 20);
  }
  state.counters["threads"] = threads > 0 ? threads : std::thread::hardware_concurrency();
  fs::remove_all(folder);
}
BENCHMARK(BM_Generate)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// One stage on its own with the default threads (0 world, 1 pictures, 2 audio, 3 movies).
void BM_Stage(benchmark::State& state) {
  const sample::TStage& stage = sample::Stages()[static_cast<size_t>(state.range(0))];
  const std::string folder = Scratch(std::string("stage-") + stage.Name);
  state.SetLabel(stage.Name);
  for (auto _ : state) {
    if (!sample::GenerateSampleData(sample::OptionsFor(folder, {stage.Name}))) state.SkipWithError("generation failed");
  }
  std::uintmax_t total = 0;
  for (const auto& f : fs::recursive_directory_iterator(folder)) total += f.is_regular_file() ? f.file_size() : 0;
  state.counters["MiB"] = static_cast<double>(total) / (1 << 20);
  fs::remove_all(folder);
}
BENCHMARK(BM_Stage)->DenseRange(0, 3)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

const std::vector<sample::TDrawnArt>& Drawn() {
  static const std::vector<sample::TDrawnArt> drawn =
      sample::DrawArt(sample::ArtEntries(), static_cast<int>(std::thread::hardware_concurrency()));
  return drawn;
}

void BM_DrawPictures(benchmark::State& state) {
  for (auto _ : state) {
    const auto drawn = sample::DrawArt(sample::ArtEntries(), static_cast<int>(std::thread::hardware_concurrency()));
    benchmark::DoNotOptimize(drawn.data());
  }
}
BENCHMARK(BM_DrawPictures)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// Every entry of a method encoded into one archive on one thread: MB/s of BMP bytes.
void BM_Encode(benchmark::State& state) {
  const int method = static_cast<int>(state.range(0));
  const std::string folder = Scratch("encode");
  std::vector<std::pair<std::string, std::string>> files;
  std::int64_t bytes = 0;
  const auto& entries = sample::ArtEntries();
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].Method != method) continue;
    const std::string path = folder + "/" + entries[i].Name();
    if (!sample::StageFile(path, Drawn()[i].Bmp).empty()) state.SkipWithError("cannot stage");
    files.emplace_back(entries[i].Name(), path);
    bytes += static_cast<std::int64_t>(Drawn()[i].Bmp.size());
  }
  std::int64_t stored = 0;
  for (auto _ : state) {
    TQoPack pack;
    pack.SetReadOnly(false);
    const std::string out = folder + "/out.pak";
    fs::remove(out);
    if (!pack.NewPack(out.c_str())) state.SkipWithError("cannot create");
    for (const auto& [name, path] : files) {
      if (!pack.AddFile(name.c_str(), path.c_str(), method, false)) state.SkipWithError("cannot add");
    }
    pack.ClosePack();
    stored = static_cast<std::int64_t>(fs::file_size(out));
  }
  state.SetBytesProcessed(state.iterations() * bytes);
  state.counters["raw_MiB"] = static_cast<double>(bytes) / (1 << 20);
  state.counters["stored_MiB"] = static_cast<double>(stored) / (1 << 20);
  fs::remove_all(folder);
}
BENCHMARK(BM_Encode)
    ->Arg(kQoMethodVarnel)
    ->Arg(kQoMethodCocotte)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

void BM_Previews(benchmark::State& state) {
  const std::string folder = Scratch("previews");
  sample::TGenerateOptions o = sample::OptionsFor(folder + "/game", {});
  o.PreviewFolder = folder + "/preview";
  for (auto _ : state) {
    sample::TGeneration g(o);
    if (!sample::WritePreviews(g, sample::ArtEntries(), Drawn())) state.SkipWithError("previews failed");
  }
  fs::remove_all(folder);
}
BENCHMARK(BM_Previews)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// One hull model rendered once, as one frame of its battle sheet (heading octant 1).
void BM_RenderModel(benchmark::State& state) {
  const int number = static_cast<int>(state.range(0));
  const sample::TShipShot shot = sample::BattleShot(number, 1);
  benchmark::DoNotOptimize(sample::RenderShip(number, shot).Nozzles.size());  // the models are built once
  for (auto _ : state) benchmark::DoNotOptimize(sample::RenderShip(number, shot).Canvas.Width());
}
BENCHMARK(BM_RenderModel)->DenseRange(0, sample::kHullPictures - 1)->Unit(benchmark::kMillisecond)->UseRealTime();

// One battle sheet BTSH_nn drawn whole: eight headings, keyed, checked against its row.
void BM_BattleSheet(benchmark::State& state) {
  const int number = static_cast<int>(state.range(0));
  const sample::TArtEntry* entry = nullptr;
  for (const sample::TArtEntry& e : sample::ArtEntries()) {
    if (e.Kind == 49 && e.Number == number) entry = &e;
  }
  if (entry == nullptr) {
    state.SkipWithError("no such sheet");
    return;
  }
  for (auto _ : state) {
    sample::TArtCache cache;
    const sample::TDrawnArt drawn = sample::DrawOne(*entry, cache);
    if (!drawn.Error.empty()) state.SkipWithError(drawn.Error.c_str());
    benchmark::DoNotOptimize(drawn.Bmp.data());
  }
}
BENCHMARK(BM_BattleSheet)->DenseRange(0, sample::kHullPictures - 1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The generated archive's sizes per method (not a timing: one run, counters only).
void BM_ArchiveSizes(benchmark::State& state) {
  const std::string folder = Scratch("sizes");
  if (!sample::GenerateSampleData(sample::OptionsFor(folder, {"pictures"}))) state.SkipWithError("generation failed");
  TQoPack pack;
  if (!pack.LoadPack((folder + "/dat/BMP.PAK").c_str())) state.SkipWithError("cannot read the archive");
  std::map<int, std::pair<double, double>> perMethod;
  for (int i = 0; i < pack.GetFileNum(); ++i) {
    const TQoFileTable* r = pack.Record(i);
    perMethod[r->Comp].first += r->Size;
    perMethod[r->Comp].second += r->CompSize;
  }
  for (auto _ : state) benchmark::DoNotOptimize(perMethod.size());
  const char* names[4] = {"stored", "varnel", "cocotte", "inverted"};
  for (const auto& [method, sizes] : perMethod) {
    state.counters[std::string(names[method & 3]) + "_raw_MiB"] = sizes.first / (1 << 20);
    state.counters[std::string(names[method & 3]) + "_stored_MiB"] = sizes.second / (1 << 20);
  }
  state.counters["BMP.PAK_MiB"] = static_cast<double>(fs::file_size(folder + "/dat/BMP.PAK")) / (1 << 20);
  fs::remove_all(folder);
}
BENCHMARK(BM_ArchiveSizes)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
