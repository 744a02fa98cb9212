#pragma once
// The hull pictures' models: one parametric model per picture number 0..21 (length, beam, height,
// bridge, pods, wings and nozzles), steel panels and one accent colour each, never a country's
// colour, since a model flies for several countries. A model is rendered at any heading and size
// into a raster canvas (the battle sheets, the ship pictures, the map icons, and whatever else
// shows a ship), through the battle camera: a perspective view 30 degrees above the arena's plane.
//
// The engine-flame table of the battle comes from the same models: each nozzle (at most three)
// projected for the eight headings, or none where the hull hides it. Rows 0, 1 and 12 and point 2
// of row 14 are the battle's fixed rows; those models are built round them, and their sheets show
// a glowing port at each of those points.

#include <array>
#include <string>
#include <vector>

#include "tools/Raster.h"
#include "tools/Rasterizer.h"

namespace vdmq::sample {

constexpr int kHullPictures = 22;

// The size classes, as the sample catalogue uses the pictures: cruisers, destroyers, the saucer
// (country 10's hull and one satellite) and the satellites.
enum class THullClass { kCruiser, kDestroyer, kSaucer, kSatellite };
THullClass HullClassOf(int number);
// The frame of a picture's battle sheet (eight across): 176 x 120 for cruisers, 96 x 72 for
// destroyers, 72 x 72 for the saucer and the satellites.
int BattleFrameWidth(int number);
int BattleFrameHeight(int number);

// How the camera sees a model: the canvas, the heading (radians, 0 along +x, pi/2 down the screen),
// the camera's elevation above the plane and distance (in model units), the scale (pixels per
// unit at the model's origin) and where the origin lands.
struct TShipShot {
  int Width = 0, Height = 0;
  int Supersample = 4;
  float Heading = 0.0f;
  float Elevation = 0.5235988f;  // 30 degrees
  float Distance = 350.0f;
  float Scale = 1.0f;
  raster::TPoint Centre;
};

// The camera of a shot (the model's origin at the world's origin).
raster::TCamera ShotCamera(const TShipShot& shot);

// The battle sheets' shot: frame `octant` of the picture's sheet, one unit a pixel, the origin on
// the frame's centre.
TShipShot BattleShot(int number, int octant);
// A shot of the whole model in the middle of a width x height canvas, as large as fits in the
// share `fill` of each side.
TShipShot FittedShot(int number, int width, int height, float heading, float elevation, float fill);

// A nozzle's exit as the shot shows it: its pixel position, and whether the hull leaves it in
// sight.
struct TNozzleView {
  float X = 0, Y = 0;
  bool Visible = false;
};

struct TShipRender {
  raster::TCanvas Canvas;  // the shot's size and supersampling, transparent where the model is not
  std::vector<TNozzleView> Nozzles;
};
TShipRender RenderShip(int number, const TShipShot& shot);

// The flame table: [picture][point 0..2][octant 0..7] = (dx, dy) from the frame's centre, or
// (kNoFlame, kNoFlame).
constexpr int kNoFlame = 4096;
using TFlamePoint = std::array<int, 2>;
using TFlameTable = std::array<std::array<std::array<TFlamePoint, 8>, 3>, kHullPictures>;
// The fixed points: whether (picture, point) is one of them.
bool IsFixedFlamePoint(int number, int point);
// The table: the fixed points as given, every other point from its model (threads models at once).
TFlameTable FlameRows(int threads);
// The table as the C++ initialisers of the battle's table, one picture a block.
std::string FlameRowsText(const TFlameTable& table);

// Frame `octant` of a picture's battle sheet, keyed magenta, with the ports of its fixed points.
raster::TImage24 BattleFrame(int number, int octant);

}  // namespace vdmq::sample
