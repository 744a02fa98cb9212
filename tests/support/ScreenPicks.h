#pragma once
// Picks on the list screens that the screen tests and the screen benchmarks share; each queues its
// clicks (the loop handles them) and answers whether there was anything to pick.

#include "campaign/Dock.h"
#include "platform/headless/TestKit.h"
#include "screens/F_dock.h"
#include "screens/F_pl_sel.h"

namespace vdmq::test {

// Scrolls the planet selector so that the planet stands on the first line, and clicks that line.
inline bool PickPlanetLine(TForm* form, int planet) {
  auto* sel = dynamic_cast<TfmPlaSel*>(form);
  if (sel == nullptr) return false;
  for (int i = 0; i < sel->List.Count; ++i)
    if (sel->List.Places[static_cast<size_t>(i)] == planet) {
      sel->List.Top = i;
      sel->ShowList();
      Click(sel->List.lbList[0], mbLeft, false);
      return true;
    }
  return false;
}

// Clicks the dock screen's first free dock on the first page.
inline bool PickFreeDock(TForm* form) {
  auto* dock = dynamic_cast<TfmDock*>(form);
  if (dock == nullptr) return false;
  for (int i = 0; i < dock->List.Count && i < TScreenList::kLines; ++i) {
    const int e = dock->List.Places[static_cast<size_t>(i)];
    if (GetDockState(e / kPlanetDockCount, e % kPlanetDockCount) == kDockStateEmpty) {
      Click(dock->List.lbList[i], mbLeft, false);
      return true;
    }
  }
  return false;
}

}  // namespace vdmq::test
