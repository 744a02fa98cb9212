// Pictures drawn from another picture (the battle minimap's base is the arena's picture reduced)
// come out the same whichever of the two the workers draw first, and drawing the derived one first
// does not wait on itself.

#include <gtest/gtest.h>

#include "campaign/FileKinds.h"
#include "tools/ArtTable.h"
#include "tools/PictureStage.h"

namespace vdmq::sample {
namespace {

TEST(PictureStage, APictureDrawnFromAnotherIsTheSameInEitherOrder) {
  const TArtEntry* minimap = FindArtEntry(kFileKindBattleMinimapBase, -1);
  const TArtEntry* arena = FindArtEntry(kFileKindBattleBackground, 0);
  ASSERT_NE(minimap, nullptr);
  ASSERT_NE(arena, nullptr);
  TArtCache derivedFirst, sourceFirst;
  const TDrawnArt a = DrawOne(*minimap, derivedFirst);
  const TDrawnArt b = DrawOne(*arena, derivedFirst);
  const TDrawnArt c = DrawOne(*arena, sourceFirst);
  const TDrawnArt d = DrawOne(*minimap, sourceFirst);
  for (const TDrawnArt* x : {&a, &b, &c, &d}) EXPECT_EQ(x->Error, "");
  EXPECT_FALSE(a.Bmp.empty());
  EXPECT_TRUE(a.Bmp == d.Bmp) << "the minimap's base";
  EXPECT_TRUE(b.Bmp == c.Bmp) << "the arena";
}

}  // namespace
}  // namespace vdmq::sample
