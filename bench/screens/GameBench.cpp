// The whole program on the headless back end over the generated data set: the start until the
// save/load screen is up (goal: under 300 ms), and the frames presented by the first turn end of a
// new game with the real event window and pauses taking no time (goal: presents <= map redraws + 3 x
// message boxes shown; with the computer countries' dialogue, + 3 x dialogues + pages + shutter
// frames, each of which must be seen).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

#include "formkit/Chbcbtn.h"
#include "platform/core/StdCtrls.h"
#include "platform/headless/TestKit.h"
#include "screens/F_evmes.h"
#include "screens/F_save.h"
#include "screens/F_sysmes.h"
#include "screens/Main.h"
#include "support/GameFolder.h"

using namespace vdmq;

namespace {

using TClock = std::chrono::steady_clock;

// What a run does right before the entry, at the start screen (before New Game is pressed), at each
// message box (before it is answered OK), at each dialogue page (before the space key turns it) and
// at each player turn (answers whether it went on; false quits).
struct TRunHooks {
  std::function<void()> entry = [] {};  // right before the entry is called
  std::function<void()> start = [] {};
  std::function<void()> box = [] {};
  std::function<void(bool first)> page = [](bool) {};  // first: the dialogue's first page
  std::function<bool(int turn)> turn = [](int) { return false; };
};

int RunGame(const TRunHooks& hooks, THeadlessSession** session = nullptr) {
  test::TGameFolder folder;
  int turns = 0;
  bool quitting = false;
  size_t lastRead = SIZE_MAX;
  hooks.entry();
  return WinMain([&] {
    auto s = std::make_shared<THeadlessSession>();
    if (session) *session = s.get();
    s->Backend.Driver = [&] {
      TForm* top = TopModal();
      if (auto* save = dynamic_cast<TfmSave*>(top)) {
        hooks.start();
        Click(save->btnNewGame, mbLeft, false);
        return true;
      }
      if (top == fmSysMes) {
        hooks.box();
        Click(fmSysMes->btnOk, mbLeft, false);
        return true;
      }
      if (top == fmEventMes) {
        // A new dialogue starts reading its script from the front again.
        const size_t read = EventMesPage().next;
        hooks.page(read <= lastRead);
        lastRead = read;
        PressKey(VK_SPACE, 0, false);
        return true;
      }
      if (top != nullptr || quitting) return false;
      if (!hooks.turn(turns++)) {
        quitting = true;
        fmMain->Close();
      }
      return true;
    };
    return std::static_pointer_cast<void>(s);
  });
}

void BM_StartUntilTheSaveLoadScreen(benchmark::State& state) {
  for (auto _ : state) {
    TClock::time_point begin;
    double seconds = 0;
    TRunHooks hooks;
    hooks.entry = [&] { begin = TClock::now(); };
    hooks.start = [&] { seconds = std::chrono::duration<double>(TClock::now() - begin).count(); };
    RunGame(hooks);
    state.SetIterationTime(seconds);
  }
}
BENCHMARK(BM_StartUntilTheSaveLoadScreen)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_FramesOfTheFirstTurnEnd(benchmark::State& state) {
  for (auto _ : state) {
    THeadlessSession* session = nullptr;
    bool counting = false;
    int presents = 0, redraws = 0, boxes = 0, pages = 0, dialogues = 0, shutters = 0;
    size_t logFrom = 0;
    double seconds = 0;
    TClock::time_point begin;
    TRunHooks hooks;
    hooks.box = [&] { boxes += counting; };
    hooks.page = [&](bool first) {
      pages += counting;
      dialogues += counting && first;
    };
    hooks.turn = [&](int turn) {
      if (turn == 0) {
        presents = -session->Backend.PresentCount();
        redraws = -fmMain->imgQvMap->PaintCount();
        counting = true;
        logFrom = session->Backend.Log.size();
        begin = TClock::now();
        Click(fmMain->btnNextTurn, mbLeft, false);
        return true;
      }
      seconds = std::chrono::duration<double>(TClock::now() - begin).count();
      presents += session->Backend.PresentCount();
      redraws += fmMain->imgQvMap->PaintCount();
      counting = false;
      for (size_t i = logFrom; i < session->Backend.Log.size(); ++i) shutters += session->Backend.Log[i] == "sleep 50";
      return false;
    };
    RunGame(hooks, &session);
    state.SetIterationTime(seconds);
    state.counters["presents"] = presents;
    state.counters["map_redraws"] = redraws;
    state.counters["boxes"] = boxes;
    state.counters["pages"] = pages;
    state.counters["shutter_frames"] = shutters;
    state.counters["dialogues"] = dialogues;
    state.counters["presents_over_goal"] = presents - (redraws + 3 * boxes);
    // Every dialogue page and every shutter frame is shown once, and a dialogue opens and closes
    // like a box.
    state.counters["presents_over_dialogue_goal"] = presents - (redraws + 3 * (boxes + dialogues) + pages + shutters);
  }
}
BENCHMARK(BM_FramesOfTheFirstTurnEnd)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
