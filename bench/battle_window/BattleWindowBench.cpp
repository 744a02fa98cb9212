// The battle view on the battle window's surfaces over the generated data set (headless back end):
//   Redraw/Busy       three ships against five satellites, 300 frames into a fixed battle
//                     (goal: under 4 ms);
//   Redraw/Saturated  ten ships, 256 missiles and 1024 lights, all in view (goal: under 8 ms);
//   Tick/...          the whole frame (simulation and redraw) of both arenas;
//   Start             the battle start: the view's sheets and the arena's set-up;
//   FrameClock/...    the battle window's timer on the SDL back end (a shown window, under a virtual
//                     X server when no display is set) while the saturated arena is kept saturated
//                     for 10 s: running, a mean period of at most 41 ms and none above 50 ms;
//                     paused, a mean of at most 71 ms. The second argument is the way of
//                     presenting: 0 the accelerated renderer whatever runs under it (as the window
//                     presented before; software OpenGL under a virtual X server), 1 the window's
//                     own choice (SDL's software renderer into the X server's shared memory where
//                     the only OpenGL is a software rasteriser). cpu_pct is this process's
//                     processor time per second of the run, server_cpu_pct the X server's when the
//                     benchmark started it.
#include <benchmark/benchmark.h>

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "battle/Btinfo.h"
#include "battle/Btmissile.h"
#include "battle/Btqvgraph.h"
#include "battle/Btqvmap.h"
#include "battle/F_btmain.h"
#include "formkit/Chbcbtn.h"
#include "platform/base/StdRandom.h"
#include "platform/core/Timer.h"
#include "platform/headless/TestKit.h"
#include "platform/sdl/SdlSession.h"
#include "screens/F_sysmes.h"
#include "screens/Main.h"
#include "support/BattleWorld.h"
#include "support/GameFolder.h"
#include "support/VirtualDisplay.h"

using namespace vdmq;

namespace {

// The program's windows with the battle window, on a back end session.
template <class TBackendSession>
struct TGame {
  template <class... A>
  explicit TGame(A&&... args) : backend(std::forward<A>(args)...) {
    InstallBattleWindow();
    session = std::make_unique<TGameSession>();
  }
  ~TGame() {
    session.reset();
    SetScreensHostMaker(nullptr);
    SetBattleWindowCreator(nullptr);
  }
  test::TGameFolder folder;
  TBackendSession backend;
  std::unique_ptr<TGameSession> session;
};

// The headless game; a battle that ends reports through the message box, answered at once.
struct THeadlessGame : TGame<THeadlessSession> {
  THeadlessGame() {
    backend.Backend.Driver = [] {
      if (fmSysMes == nullptr || TopModal() != fmSysMes) return false;
      Click(fmSysMes->btnOk, mbLeft, false);
      return true;
    };
  }
};

// The arena and the view of one battle, made as the battle window makes them.
struct TBattle {
  explicit TBattle(bool planet) {
    const int capital = bttest::PutSampleBattleSides();
    StdSrand(1);
    if (planet) {
      BtSetInfo(bttest::kSampleEnemy, 0, 0, -1, capital);
    } else {
      BtSetInfo(0, 0, bttest::kSampleEnemy, 0, -1);
    }
    Start();
  }
  ~TBattle() { Stop(); }
  static void Start() {
    BtQvMap = new TBtQvMap;
    BtQvMapGraph = new TBtQvMapGraph;
    SetBtViewSink(BtQvMapGraph);
    BtQvMapGraph->LoadGraphics();
    BtQvMap->Setup();
  }
  static void Stop() {
    SetBtViewSink(nullptr);
    delete BtQvMapGraph;
    BtQvMapGraph = nullptr;
    if (BtQvMap != nullptr) BtQvMap->Clear();
    delete BtQvMap;
    BtQvMap = nullptr;
  }
};

// Keeps the saturated arena full: ships of fleets 1..3 of both sides (ten in all), and missiles
// and lights topped up to their limits, all within the view at the top-left corner.
void Saturate(int frame) {
  for (int i = 0; i < kBtShipSlots; ++i) {
    if (BtQvMap->GetShip(i) != nullptr) continue;
    TBtShipInfo info;
    info.country = i % 2 == 0 ? 0 : bttest::kSampleEnemy;
    info.fleet = 0;
    info.slot = (i / 2) % 3;
    info.satellite = -1;
    info.x = 400 + 280 * i;
    info.y = 600 + 90 * i;
    BtQvMap->AddShip(info);
  }
  for (int i = 0; i < kBtMissileSlots; ++i) {
    if (BtQvMap->GetMissile(i) != nullptr) continue;
    BtQvMap->AddMissile(bttest::MissileInfo(2, i % 2 == 0 ? 0 : bttest::kSampleEnemy, 3000, 1200));
    if (TBtMissile* m = BtQvMap->GetMissile(i)) m->SetPos(300 + (i * 97 + frame) % 2800, 300 + (i * 53) % 1500);
  }
  for (int i = 0; i < kBtLightSlots; ++i) {
    if (BtQvMap->GetLight(i) == nullptr) BtQvMap->AddLight(300 + (i * 37) % 2800, 300 + (i * 71) % 1500, i % 7, i);
  }
}

void Busy(benchmark::State& state, bool tick) {
  THeadlessGame game;
  TBattle battle(true);
  for (int i = 0; i < 300; ++i) BtBattleTick();
  for (auto _ : state) {
    if (tick) {
      BtBattleTick();
    } else {
      BtQvMapGraph->Redraw();
    }
  }
  state.counters["ships"] = [] {
    int n = 0;
    for (int i = 0; i < kBtShipSlots; ++i) n += BtQvMap->GetShip(i) != nullptr;
    return n;
  }();
}

void Saturated(benchmark::State& state, bool tick) {
  THeadlessGame game;
  TBattle battle(false);
  BtInfo.winner = -1;
  int frame = 0;
  Saturate(frame);
  BtQvMap->SetSelect(nullptr);
  BtQvMapGraph->SetScroll(0, 0);
  for (auto _ : state) {
    if (tick) {
      BtBattleTick();
      state.PauseTiming();
      BtInfo.winner = -1;
      Saturate(++frame);
      state.ResumeTiming();
    } else {
      BtQvMapGraph->Redraw();
    }
  }
  state.counters["queued"] = BtQvMapGraph->GetCount(1) + BtQvMapGraph->GetCount(2) + BtQvMapGraph->GetCount(3);
}

void BM_RedrawBusy(benchmark::State& state) { Busy(state, false); }
void BM_RedrawSaturated(benchmark::State& state) { Saturated(state, false); }
void BM_TickBusy(benchmark::State& state) { Busy(state, true); }
void BM_TickSaturated(benchmark::State& state) { Saturated(state, true); }

void BM_Start(benchmark::State& state) {
  THeadlessGame game;
  bttest::PutSampleBattleSides();
  BtSetInfo(0, 0, bttest::kSampleEnemy, 0, -1);
  for (auto _ : state) {
    TBattle::Start();
    state.PauseTiming();
    TBattle::Stop();
    bttest::PutSampleBattleSides();
    state.ResumeTiming();
  }
}

// Processor time (user and system, all threads) of this process, and of another one from its
// /proc entry (negative when it cannot be read), in milliseconds.
double CpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}
double CpuMs(pid_t pid) {
  if (pid <= 0) return -1;
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat((std::istreambuf_iterator<char>(in)), {});
  const size_t close = stat.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(stat.substr(close + 2));
  std::string field;
  double ticks = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i)
    if (i >= 14) ticks += std::stod(field);  // utime, stime
  return ticks * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Ten seconds of the saturated battle in the window on the SDL back end, shown modally with its
// timer as a fought battle is; nobody dies (every unit is mended each frame), so no message box
// opens. Reports the mean and the longest period between two frames, and the processor time.
void BM_FrameClock(benchmark::State& state) {
  if (!vdmq::testing::TVirtualDisplay::Ensure()) {
    state.SkipWithError("no display");
    return;
  }
  TSdlOptions options;
  options.acceptSoftwareGl = state.range(1) == 0;
  TGame<TSdlSession> game(options);
  state.SetLabel(game.backend.Backend().RendererName());
  const bool paused = state.range(0) == 1;
  const pid_t server = vdmq::testing::TVirtualDisplay::ServerPid();
  double cpu = 0, serverCpu = 0;
  std::vector<std::uint64_t> times;
  for (auto _ : state) {
    bttest::PutSampleBattleSides();
    BtSetInfo(0, 0, bttest::kSampleEnemy, 0, -1);
    SetBattleSpeed(fmBtMain, paused ? 0 : 2);
    TTimer* timer = fmBtMain->TimerMain;
    TNotifyEvent tick = timer->OnTimer();
    int frame = 0;
    cpu -= CpuMs();
    serverCpu -= CpuMs(server);
    timer->SetOnTimer([&](TComponent* s) {
      const std::uint64_t now = game.backend.Backend().NowMs();
      times.push_back(now);
      Saturate(++frame);
      for (int i = 0; i < kBtShipSlots; ++i)
        if (TBtShip* ship = BtQvMap->GetShip(i)) ship->SetHp(1000000);
      if (now - times.front() >= 10000) {
        timer->SetEnabled(false);
        BtQvMap->SetEnd();
        fmBtMain->ModalResult = 1;
        return;
      }
      tick(s);
    });
    ExecBattle();
    cpu += CpuMs();
    serverCpu += CpuMs(server);
    timer->SetOnTimer(tick);
  }
  SetBattleSpeed(fmBtMain, 2);
  std::uint64_t longest = 0;
  for (size_t i = 1; i < times.size(); ++i) longest = std::max(longest, times[i] - times[i - 1]);
  state.counters["frames"] = static_cast<double>(times.size());
  state.counters["mean_ms"] =
      times.size() > 1 ? static_cast<double>(times.back() - times.front()) / (times.size() - 1) : 0;
  state.counters["max_ms"] = static_cast<double>(longest);
  const double wall = times.size() > 1 ? static_cast<double>(times.back() - times.front()) : 0;
  if (wall > 0) {
    state.counters["cpu_pct"] = 100.0 * cpu / wall;
    if (server > 0) state.counters["server_cpu_pct"] = 100.0 * serverCpu / wall;
  }
}

BENCHMARK(BM_RedrawBusy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawSaturated)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TickBusy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TickSaturated)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Start)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameClock)
    ->ArgNames({"paused", "present"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
