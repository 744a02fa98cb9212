// The screens' panel tables: every panel lies inside its background (a frame's bevel around the
// picture included) and carries its controls inside it, so no panel is drawn off the picture or
// away from what it stands under.

#include <gtest/gtest.h>

#include <set>

#include "tools/ArtTable.h"
#include "tools/ScreenArt.h"

namespace vdmq::sample {
namespace {

TEST(ScreenPanels, PanelsLieInsideTheirPictureAndHoldTheirControls) {
  // Pictures under no controls: the main window's, the empty ship panels, the empty commander
  // portrait, the bar's middle piece, the minimap's base and the arrow.
  const std::set<int> bare = {8, 10, 14, 18, 32, 33, 57};
  for (const TArtEntry& e : ArtEntries()) {
    if (e.Render != RenderScreen || (e.Kind == 12 && e.Number != 0)) continue;
    const auto& panels = ScreenPanels(e.Kind);
    EXPECT_EQ(panels.empty(), bare.count(e.Kind) == 1) << e.Name();
    for (const TPanel& p : panels) {
      const int margin = p.Kind == TPanelKind::kFrame ? 5 : 0;  // the frame's bevel lies outside its picture
      EXPECT_GE(p.X - margin, 0) << e.Name();
      EXPECT_GE(p.Y - margin, 0) << e.Name();
      EXPECT_LE(p.X + p.W + margin, e.Width) << e.Name();
      EXPECT_LE(p.Y + p.H + margin, e.Height) << e.Name();
      for (const TControl& c : p.Controls) {
        EXPECT_GE(c.X, p.X) << e.Name() << " " << c.Name;
        EXPECT_GE(c.Y, p.Y) << e.Name() << " " << c.Name;
        EXPECT_LE(c.X + c.W, p.X + p.W) << e.Name() << " " << c.Name;
        EXPECT_LE(c.Y + c.H, p.Y + p.H) << e.Name() << " " << c.Name;
      }
    }
  }
}

}  // namespace
}  // namespace vdmq::sample
