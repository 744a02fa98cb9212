// Reading the parts catalogue from new-game data: every block is found by a search from the start
// of the file, so the cost grows with the number of blocks in front of each wanted one.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "campaign/Parts.h"
#include "campaign/Save.h"
#include "platform/base/LittleEndian.h"

namespace {

void Block(std::string& out, const char* key, const char* type, std::uint32_t count, std::size_t elem) {
  out += key;
  out.push_back('\0');
  out += type;
  out.push_back('\0');
  vdmq::PutLe32(out, count);
  out.append(count * elem, '\x01');
}

// A new-game-sized file: `filler` unrelated blocks in front of the thirteen catalogue blocks.
std::string CatalogueFile(int filler) {
  std::string s;
  for (int i = 0; i < filler; ++i) Block(s, ("FILLER_" + std::to_string(i)).c_str(), "int", 120, 4);
  const struct {
    const char* key;
    const char* type;
    std::uint32_t count;
    std::size_t elem;
  } blocks[] = {{"FRAME_PARTS", "int", 660, 4},   {"FRAME_BODY", "int", 120, 4},     {"FRAME_MOVE_STEP", "int", 60, 4},
                {"WEAPON_PARTS", "int", 440, 4},  {"WEAPON_WEAPON", "int", 280, 4},  {"ENGINE_PARTS", "int", 220, 4},
                {"ENGINE_ENGINE", "int", 40, 4},  {"SHIELD_PARTS", "int", 110, 4},   {"SHIELD_SHIELD", "int", 40, 4},
                {"FRAME_ENABLED", "bool", 60, 1}, {"WEAPON_ENABLED", "bool", 40, 1}, {"ENGINE_ENABLED", "bool", 20, 1},
                {"SHIELD_ENABLED", "bool", 10, 1}};
  for (const auto& b : blocks) Block(s, b.key, b.type, b.count, b.elem);
  return s;
}

void BM_LoadCatalogue(benchmark::State& state) {
  const std::string bytes = CatalogueFile(static_cast<int>(state.range(0)));
  std::FILE* f = std::tmpfile();
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  vdmq::TDatFile file(f);
  for (auto _ : state) {
    vdmq::SaveLoadParts(&file, vdmq::kSaveModeNew);
    benchmark::DoNotOptimize(vdmq::FrameData[59].Body.Hp);
  }
  state.counters["bytes"] = static_cast<double>(bytes.size());
  std::fclose(f);
}
BENCHMARK(BM_LoadCatalogue)->Arg(0)->Arg(60)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
