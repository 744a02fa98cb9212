// The screen walks of the benchmarks run through the benchmark library as the benchmarks do: a walk
// passes the new game's opening (its boxes and its dialogue) and measures its screen, and a walk
// that waits for a screen that never opens fails its benchmark with the stall's report instead of
// ending the program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScreenWalkBench.h"

namespace vdmq::bench {
namespace {

// Keeps every run the library reports.
class TRunsSeen : public benchmark::BenchmarkReporter {
 public:
  bool ReportContext(const Context&) override { return true; }
  void ReportRuns(const std::vector<Run>& runs) override { seen.insert(seen.end(), runs.begin(), runs.end()); }
  std::vector<Run> seen;
};

TEST(ScreenWalkBench, WalksPassTheOpeningAndAStallFailsOnlyItsOwnBenchmark) {
  struct TCase {
    const char* name;
    std::vector<TStep> steps;
    const char* error;    // a part of the reported error, or null for a run without one
    const char* counter;  // the timing the run reports
  };
  const auto nothing = [](TForm*) {};
  const std::vector<TCase> cases = {
      {"walk_fleet_selector",
       {{"", [](TForm*) { Click(fmMain->btnFleet, mbLeft, false); }, "fleet_selector", ""},
        {"TfmFleetSel", [](TForm* f) { ClickNamed(f, "btnClose"); }, "", "fleet_selector"}},
       nullptr,
       "fleet_selector_ms"},
      {"walk_stalls", {{"TfmNeverShown", nothing, "never", ""}}, "no progress for", nullptr},
      // A stall in the middle of a walk: the first screen opens, the second never does.
      {"walk_stalls_later",
       {{"", [](TForm*) { Click(fmMain->btnPlanet, mbLeft, false); }, "", ""}, {"TfmNeverShown", nothing, "", ""}},
       "no progress for",
       nullptr},
  };
  for (const TCase& c : cases)
    benchmark::RegisterBenchmark(c.name, [&c](benchmark::State& state) { RunWalks(state, [&c] { return c.steps; }); })
        ->UseManualTime()
        ->Iterations(2);
  TRunsSeen runs;
  benchmark::RunSpecifiedBenchmarks(&runs);
  benchmark::ClearRegisteredBenchmarks();

  ASSERT_EQ(runs.seen.size(), cases.size());
  for (size_t i = 0; i < cases.size(); ++i) {
    const TCase& c = cases[i];
    const benchmark::BenchmarkReporter::Run& run = runs.seen[i];
    SCOPED_TRACE(c.name);
    EXPECT_EQ(run.run_name.function_name, c.name);
    EXPECT_EQ(run.error_occurred, c.error != nullptr) << run.error_message;
    if (c.error != nullptr) {
      EXPECT_NE(run.error_message.find(c.error), std::string::npos) << run.error_message;
      EXPECT_TRUE(run.counters.empty());
    } else {
      EXPECT_EQ(run.iterations, 2);
      ASSERT_EQ(run.counters.count(c.counter), 1u);
      EXPECT_GT(run.counters.at(c.counter).value, 0.0);
    }
  }
}

}  // namespace
}  // namespace vdmq::bench
