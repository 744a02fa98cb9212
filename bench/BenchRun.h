#pragma once
// Timing that does not flatter: the benchmark runs in one process on one core (its thread is held
// to the processor it started on), measures the thread's own CPU time, and takes the cases in turn
// round after round (interleaved), keeping each case's best round. A case that ran while the
// machine was busy loses that round, not the comparison.

#include <sched.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace vdmq::bench {

// Holds the calling thread to the processor it runs on now.
inline void PinToOneCore() {
  const int cpu = sched_getcpu();
  if (cpu < 0) return;
  cpu_set_t set;
  CPU_ZERO(&set);
  CPU_SET(cpu, &set);
  if (sched_setaffinity(0, sizeof set, &set) != 0) std::perror("sched_setaffinity");
}

// CPU time of the calling thread, in seconds.
inline double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// One timed case: body runs one unit of work (one encode, one frame, one sheet of blits). When
// given, setup runs untimed before each round (a state that the calls wear out is made afresh),
// and a round makes at most maxCalls calls.
struct TCase {
  std::string name;
  std::function<void()> body;
  std::function<void()> setup = {};
  long maxCalls = 1L << 30;
  long calls = 1;                                         // calls per round, set by calibration
  double best = std::numeric_limits<double>::infinity();  // best seconds per call
};

// Settings from the command line: --rounds N, --min-ms M (least CPU time of one round of a case),
// --filter TEXT[,TEXT...] (only cases whose name holds one of the texts).
struct TOptions {
  int rounds = 15;
  double minSeconds = 0.005;
  std::string filter;
  std::vector<std::string> rest;  // arguments not taken here

  static TOptions Parse(int argc, char** argv) {
    TOptions o;
    for (int i = 1; i < argc; ++i) {
      const std::string a = argv[i];
      if (a == "--rounds" && i + 1 < argc) {
        o.rounds = std::max(1, std::atoi(argv[++i]));
      } else if (a == "--min-ms" && i + 1 < argc) {
        o.minSeconds = std::atof(argv[++i]) / 1000.0;
      } else if (a == "--filter" && i + 1 < argc) {
        o.filter = argv[++i];
      } else {
        o.rest.push_back(a);
      }
    }
    return o;
  }
  bool Wants(const std::string& name) const {
    if (filter.empty()) return true;
    size_t at = 0;
    for (;;) {
      const size_t end = filter.find(',', at);
      if (name.find(filter.substr(at, end - at)) != std::string::npos) return true;
      if (end == std::string::npos) return false;
      at = end + 1;
    }
  }
};

// Calibrates every case to at least minSeconds a round, then runs rounds rounds over all cases in
// turn, keeping each case's best time per call.
inline void RunInterleaved(std::vector<TCase>& cases, const TOptions& options) {
  auto round = [](TCase& c) {
    if (c.setup) c.setup();
    const double t0 = ThreadSeconds();
    for (long i = 0; i < c.calls; ++i) c.body();
    return ThreadSeconds() - t0;
  };
  for (TCase& c : cases) {
    c.calls = 1;
    for (;;) {
      const double t = round(c);
      if (t >= options.minSeconds || c.calls >= c.maxCalls) break;
      const double grow = t > 0 ? options.minSeconds * 1.2 / t : 16.0;
      c.calls =
          std::min(c.maxCalls, static_cast<long>(static_cast<double>(c.calls) * std::min(16.0, std::max(2.0, grow))));
    }
  }
  for (int r = 0; r < options.rounds; ++r) {
    for (TCase& c : cases) {
      const double per = round(c) / static_cast<double>(c.calls);
      if (per < c.best) c.best = per;
    }
  }
}

}  // namespace vdmq::bench
