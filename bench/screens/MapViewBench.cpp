// The strategic map view's full redraw over the generated new game, centred on the player's capital:
// background, the map model's cells, marks, fleets and planets queued and sorted in four layers, the
// keyed blits and the minimap (goal: under 2 ms at 792 x 453). The same at the largest view the main
// window reaches (1272 x 877), and the keyed blits of one redraw on their own, so that their share of
// the redraw shows.
//
// The data set is the one the build writes beside the program (VDMQ_SAMPLE_DATA_DIR). With
// VDMQ_MAPVIEW_PNG set, the first run also writes the view as a PNG there (and the minimap beside
// it), to look at.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "campaign/Country.h"
#include "campaign/GameSave.h"
#include "campaign/Gmain.h"
#include "platform/base/BgrBlock.h"
#include "platform/png/PngCodec.h"
#include "qolib/graphics/QoTDib.h"
#include "qolib/graphics/Qograph_rap.h"
#include "qolib/pack/Qopack.h"
#include "screens/QoPlatformBridge.h"
#include "screens/Qvgraph.h"
#include "support/GameFiles.h"
#include "support/MapViewHost.h"

using namespace vdmq;

namespace {

std::string ReadNative(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("missing " + path + " (build the data set first)");
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// A view over the generated new game: the data set copied into a sandboxed game folder, the new
// game read, the archive opened and the view made at the given size, centred on the player's
// capital. Records the sprites of one redraw for the blit-only run.
class TGeneratedView : public test::TMapViewHost {
 public:
  TGeneratedView(int width, int height)
      : view_(nullptr, width, height), zen_(nullptr, 216, 107), zenBase_(nullptr, 216, 107) {
    for (const char* name : {"INIT.DAT", "MAP00.DAT", "BMP.PAK"})
      game_.sys.WriteFile(std::string("C:\\vdmq\\dat\\") + name,
                          ReadNative(std::string(VDMQ_SAMPLE_DATA_DIR "/dat/") + name));
    SetQoPlatform(&bridge_);
    game_.ResetWorld();
    if (!SaveLoadGame(2, -1)) throw std::runtime_error("the generated new game does not load");
    pack_.OpenPack(GetFileManager().GetFileName(kFileKindPack));
    SetQoPictureArchive(&pack_);
    SetQoEntryNameHook([](int kind, int number) { return GetFileManager().GetFileNameNum(kind, number); });
    QvMapGraph = &graph_;
    graph_.Init(&view_, &zen_, &zenBase_);
    graph_.MakeZenBase();
    StartNewGame();  // the first player turn
    graph_.SetCenterPlanet(GetCountryCapital(GetPlayerCountry()));
  }
  ~TGeneratedView() override {
    graph_.Term();
    QvMapGraph = nullptr;
    SetQoEntryNameHook(nullptr);
    SetQoPictureArchive(nullptr);
    pack_.ClosePack();
    SetQoPlatform(nullptr);
  }

  void AddMapOp(int layer, int mapX, int mapY, int dx, int dy, int drawMode, int sheet, int frame) override {
    TMapViewHost::AddMapOp(layer, mapX, mapY, dx, dy, drawMode, sheet, frame);
    if (!recording_) return;
    TGraphOp op;
    op.mapX = mapX;
    op.mapY = mapY;
    op.drawMode = drawMode;
    op.sheet = sheet;
    op.frame = frame;
    const TQoRGBContainer* s = graph_.Sheet(sheet);
    if (s == nullptr || !graph_.CellToPos(s, mapX, mapY, &op.screenX, &op.screenY)) return;
    if (graph_.ChkInView(op.screenX, op.screenY, s->FrameHeight(), s->FrameWidth())) drawn_.push_back(op);
  }
  // The sprites one redraw blits, in the order they are queued.
  const std::vector<TGraphOp>& RecordSprites() {
    drawn_.clear();
    recording_ = true;
    graph_.Draw();
    recording_ = false;
    return drawn_;
  }

  TQvMapGraph graph_;
  TQoTrueDib view_;

 private:
  test::TGameFiles game_;
  TQoPlatformBridge bridge_;
  TQoPack pack_;
  TQoTrueDib zen_;
  TQoTrueDib zenBase_;
  bool recording_ = false;
  std::vector<TGraphOp> drawn_;
};

void Redraw(benchmark::State& state, int width, int height) {
  TGeneratedView v(width, height);
  const int sprites = static_cast<int>(v.RecordSprites().size());
  if (const char* png = std::getenv("VDMQ_MAPVIEW_PNG"); png != nullptr && width == 792) {
    for (const TQoTrueDib* s : {&v.view_, v.graph_.ZenSurface()}) {
      const std::string path = s == &v.view_ ? std::string(png) : std::string(png) + ".minimap.png";
      SavePngBgr(path, TBgrBlock{s->ImagePtr(), s->Width(), s->Height(), s->RowPitch() * 3});
    }
  }
  for (auto _ : state) {
    v.graph_.Draw();
    benchmark::DoNotOptimize(v.view_.Pixels());
  }
  state.counters["sprites"] = sprites;
}

void KeyedBlits(benchmark::State& state, int width, int height) {
  TGeneratedView v(width, height);
  const std::vector<TGraphOp> sprites = v.RecordSprites();
  for (auto _ : state) {
    for (const TGraphOp& op : sprites)
      v.graph_.Sheet(op.sheet)->PasPat(&v.view_, op.frame, op.screenX, op.screenY, op.drawMode);
    benchmark::DoNotOptimize(v.view_.Pixels());
  }
  state.counters["sprites"] = static_cast<double>(sprites.size());
}

}  // namespace

static void BM_MapViewRedraw792x453(benchmark::State& state) { Redraw(state, 792, 453); }
static void BM_MapViewRedraw1272x877(benchmark::State& state) { Redraw(state, 1272, 877); }
static void BM_MapViewKeyedBlits792x453(benchmark::State& state) { KeyedBlits(state, 792, 453); }
static void BM_MapViewKeyedBlits1272x877(benchmark::State& state) { KeyedBlits(state, 1272, 877); }
BENCHMARK(BM_MapViewRedraw792x453)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MapViewKeyedBlits792x453)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MapViewRedraw1272x877)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MapViewKeyedBlits1272x877)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
