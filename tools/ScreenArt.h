#pragma once
// The screens' backgrounds: each is its form's client size (or its surface's) and is laid out from
// the form's control coordinates by a panel table: bevelled inset panels under list lines, text
// lines and pictures, header strips under column buttons, recessed wells under buttons, drag strips
// where the window is dragged, frames around pictures and light plates under dark labels. Every
// panel names the controls it carries, by their names in the forms, at their places (and, for
// buttons and pictures, sizes) there. Text areas stay dark, since the forms write white, aqua and
// grey on them. Also the command bar's three pieces, the minimap's base, the event window's page,
// empty portraits, shutter and "next" arrow, and the empty ship panels.

#include <string>
#include <vector>

#include "tools/ArtTable.h"

namespace vdmq::sample {

enum class TPanelKind {
  kInset,    // a recessed dark panel under text or list lines
  kHeader,   // a raised strip under column buttons
  kWell,     // a recessed well under a button
  kDrag,     // the strip by which a borderless window is dragged
  kFrame,    // a bevelled frame around a picture (the picture covers the inside)
  kPlate,    // a light plate under labels drawn in black
  kCaption,  // a dark plate under captions
};

struct TControl {
  std::string Name;
  int X, Y, W, H;
};

struct TPanel {
  TPanelKind Kind;
  int X, Y, W, H;                  // the panel's own rectangle
  std::vector<TControl> Controls;  // what it carries
  int RulePitch = 0;               // list panels: a faint rule between lines this far apart
};

// The panel table of a background (by file kind; the event page BG_EV00 is kFileKindEventPicture),
// empty when it has none.
const std::vector<TPanel>& ScreenPanels(int kind);

TArtImage RenderScreen(const TArtEntry& entry, TArtCache& cache);

// The dark hangar panel a ship picture stands on (the empty ship panels of the fleet screen and the
// ship designer, and under every ship picture), at any size.
raster::TImage24 ShipBay(int width, int height);

}  // namespace vdmq::sample
