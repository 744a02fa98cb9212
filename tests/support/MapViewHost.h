#pragma once
// A game host that hands the map model's draw requests to the one map view (QvMapGraph), as the
// program's host does: the screens' tests and benchmarks that draw the strategic map without the
// main window install it. Everything else keeps the headless answers.

#include "campaign/GameHost.h"
#include "qolib/graphics/QoTDib.h"
#include "screens/Qvgraph.h"

namespace vdmq::test {

class TMapViewHost : public TGameHost {
 public:
  TMapViewHost() { SetGameHost(this); }
  ~TMapViewHost() override { SetGameHost(nullptr); }
  TMapViewHost(const TMapViewHost&) = delete;
  TMapViewHost& operator=(const TMapViewHost&) = delete;

  void AddMapOp(int layer, int mapX, int mapY, int dx, int dy, int drawMode, int sheet, int frame) override {
    if (QvMapGraph == nullptr) return;
    TGraphOp op;
    op.mapX = mapX;
    op.mapY = mapY;
    op.dx = dx;
    op.dy = dy;
    op.drawMode = drawMode;
    op.sheet = sheet;
    op.frame = frame;
    QvMapGraph->AddOp(layer, &op);
  }
  bool GetMapViewWindow(TMapViewWindow* window) override {
    if (QvMapGraph == nullptr || QvMapGraph->ViewSurface() == nullptr || window == nullptr) return false;
    window->originX = QvMapGraph->OriginX();
    window->originY = QvMapGraph->OriginY();
    window->width = QvMapGraph->ViewSurface()->Width();
    window->height = QvMapGraph->ViewSurface()->Height();
    window->cursorX = QvMapGraph->CursorX();
    window->cursorY = QvMapGraph->CursorY();
    return true;
  }
  void DrawMap() override {
    if (QvMapGraph != nullptr) QvMapGraph->Draw();
  }
  void SetMapCenter(int x, int y) override {
    if (QvMapGraph != nullptr) QvMapGraph->SetCenter(x, y);
  }
  void SetMapCenterPlanet(int planet) override {
    if (QvMapGraph != nullptr) QvMapGraph->SetCenterPlanet(planet);
  }
};

}  // namespace vdmq::test
