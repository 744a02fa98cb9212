#pragma once
// A walk through the game's screens on the headless back end over the generated data set, timed
// from an injected click until the screen it opens is up and presented: the game starts a new game,
// message boxes on the way are answered OK, dialogue pages advanced with the space key, and each
// step waits for its modal form. A walk that stalls fails its benchmark with the stall's report.

#include <benchmark/benchmark.h>

#include <chrono>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "formkit/Chbcbtn.h"
#include "platform/core/Messages.h"
#include "platform/headless/TestKit.h"
#include "screens/F_evmes.h"
#include "screens/F_save.h"
#include "screens/F_sysmes.h"
#include "screens/Main.h"
#include "support/GameFolder.h"

namespace vdmq::bench {

using TClock = std::chrono::steady_clock;

// One step of the walk: the modal form it waits for ("" the main window), what it does there, and
// the name of the timing it starts (a click) or ends (the form is up and presented).
struct TStep {
  std::string on;
  std::function<void(TForm*)> act;
  std::string starts, ends;
};

inline void ClickNamed(TForm* f, const char* name) { Click(Find<TControl>(f, name), mbLeft, false); }

// Runs the steps in one game; the milliseconds of each timing by name.
inline std::map<std::string, double> Walk(const std::vector<TStep>& steps) {
  test::TGameFolder folder;
  std::map<std::string, double> ms;
  std::map<std::string, std::pair<TClock::time_point, int>> started;
  size_t next = 0;
  THeadlessSession* session = nullptr;
  WinMain([&] {
    auto s = std::make_shared<THeadlessSession>();
    session = s.get();
    s->Backend.Driver = [&] {
      TForm* top = TopModal();
      const std::string cls = top ? top->ClassName() : "";
      if (auto* save = dynamic_cast<TfmSave*>(top)) {
        Click(save->btnNewGame, mbLeft, false);
        return true;
      }
      // The opening dialogue and any other on the way: each page advanced as the player does.
      if (top != nullptr && top == fmEventMes) {
        PressKey(VK_SPACE, 0, false);
        return true;
      }
      if (next >= steps.size()) {
        if (top == fmSysMes)
          Click(fmSysMes->btnOk, mbLeft, false);
        else if (top == nullptr)
          fmMain->Close();
        else
          top->ModalResult = mrCancel;
        return true;
      }
      const TStep& step = steps[next];
      if (cls != step.on) {
        if (top != fmSysMes) return false;
        Click(fmSysMes->btnOk, mbLeft, false);
        return true;
      }
      if (!step.ends.empty()) {
        const auto& [begin, presents] = started[step.ends];
        if (session->Backend.PresentCount() <= presents) return false;
        ms[step.ends] = std::chrono::duration<double, std::milli>(TClock::now() - begin).count();
      }
      ++next;
      if (!step.starts.empty()) started[step.starts] = {TClock::now(), session->Backend.PresentCount()};
      step.act(top);
      return true;
    };
    return std::static_pointer_cast<void>(s);
  });
  return ms;
}

// A benchmark over one walk: each iteration's time is the sum of its timings; every timing's mean
// becomes a counter "<name>_ms". A walk that throws (a stall of the back end, an error of the game)
// fails the benchmark with its text; the benchmark library itself lets no exception through.
inline void RunWalks(benchmark::State& state, const std::function<std::vector<TStep>()>& walk) {
  std::map<std::string, double> total;
  int runs = 0;
  for (auto _ : state) {
    std::map<std::string, double> ms;
    try {
      ms = Walk(walk());
    } catch (const std::exception& e) {
      state.SkipWithError(e.what());
      break;
    }
    double sum = 0;
    for (const auto& [name, value] : ms) {
      total[name] += value;
      sum += value;
    }
    ++runs;
    state.SetIterationTime(sum / 1000);
  }
  if (runs == 0) return;
  for (const auto& [name, value] : total) state.counters[name + "_ms"] = value / runs;
}

}  // namespace vdmq::bench
