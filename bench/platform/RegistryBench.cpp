// Reading a registry file and writing the tree back, which is what every change of the store does.
// Both should grow with the file's size whatever shape the file has, damaged or not: one key line
// thousands of levels deep, a line of nothing but separators, thousands of sibling keys, thousands of
// values in one key, and many keys at the deepest level the store keeps. The counters give the
// file's size and the written text's size per byte read.

#include <benchmark/benchmark.h>

#include <string>

#include "platform/sys/RegistryStore.h"

namespace {

using vdmq::TTreeRegistryStore;

std::string DeepKey(int levels) {
  std::string s = "[k";
  for (int i = 1; i < levels; ++i) s += "\\k";
  return s + "]\n\"v\"=dword:00000001\n";
}

std::string Separators(int count) { return "[" + std::string(static_cast<size_t>(count), '\\') + "a]\n\"v\"=\"x\"\n"; }

std::string Siblings(int count) {
  std::string s;
  for (int i = 0; i < count; ++i) s += "[Software\\s" + std::to_string(i) + "]\n\"v\"=dword:00000001\n";
  return s;
}

std::string Values(int count) {
  std::string s = "[Software\\k]\n";
  for (int i = 0; i < count; ++i) s += "\"v" + std::to_string(i) + "\"=\"text\"\n";
  return s;
}

// `count` key lines at the deepest level kept, each with 64-byte names and one value.
std::string DeepestKeys(int count) {
  const std::string name(64, 'n');
  std::string s;
  for (int i = 0; i < count; ++i) {
    s += "[" + std::to_string(i);
    for (int level = 1; level < TTreeRegistryStore::kMaxKeyDepth; ++level) s += "\\" + name;
    s += "]\n\"v\"=dword:00000001\n";
  }
  return s;
}

template <std::string (*Make)(int)>
void BM_ReadAndWrite(benchmark::State& state) {
  const std::string text = Make(static_cast<int>(state.range(0)));
  size_t written = 0;
  for (auto _ : state) {
    const std::string out = TTreeRegistryStore::Serialize(TTreeRegistryStore::Parse(text));
    written = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
  state.counters["file_bytes"] = static_cast<double>(text.size());
  state.counters["written_per_byte"] = static_cast<double>(written) / static_cast<double>(text.size());
}

BENCHMARK_TEMPLATE(BM_ReadAndWrite, DeepKey)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(30000)
    ->Arg(300000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_ReadAndWrite, Separators)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_ReadAndWrite, Siblings)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(30000)
    ->Arg(100000)
    ->Arg(300000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_ReadAndWrite, Values)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_ReadAndWrite, DeepestKeys)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
