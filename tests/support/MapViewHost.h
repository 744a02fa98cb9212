#pragma once
// A game host that hands the map model's draw requests to the one map view (QvMapGraph), as the
// program's host does: the screens' tests and benchmarks that draw the strategic map without the
// main window install it. Everything else keeps the headless answers.

#include "screens/ScreensHost.h"

namespace vdmq::test {

class TMapViewHost : public TMapViewGameHost {
 public:
  TMapViewHost() { SetGameHost(this); }
  ~TMapViewHost() override { SetGameHost(nullptr); }
  TMapViewHost(const TMapViewHost&) = delete;
  TMapViewHost& operator=(const TMapViewHost&) = delete;
};

}  // namespace vdmq::test
