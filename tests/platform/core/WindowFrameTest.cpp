// The OS window's own rules: which places of a main form's frame the window system takes (moving,
// sizing) and which stay the program's, the sizes a window may take, and where a maximised window
// smaller than the work area lies.
#include <gtest/gtest.h>

#include "platform/core/Messages.h"
#include "platform/core/WindowFrame.h"

using namespace vdmq;

namespace {

TEST(WindowFrameTest, CaptionMovesBorderSizesAndKeptPlacesAndTheClientAreTheProgramsOwn) {
  // An 800 x 600 sizeable frame: a 4-pixel border with corners reaching 20 pixels along each edge,
  // the caption band below the top border with a button and an icon in it, and a window above.
  TWindowFrameMap m;
  m.Size = {800, 600};
  m.Caption = {4, 4, 796, 22};
  m.Keep = {Bounds(760, 6, 16, 14), Bounds(5, 5, 16, 16), Bounds(300, 0, 200, 150)};
  m.Border = 4;
  m.Corner = 20;
  struct TCase {
    TPoint at;
    int hit;
  } cases[] = {
      {{100, 10}, HTCAPTION}, {{795, 21}, HTCAPTION},      {{100, 22}, HTCLIENT},  {{765, 10}, HTCLIENT},
      {{10, 10}, HTCLIENT},   {{350, 10}, HTCLIENT},       {{350, 1}, HTCLIENT},   {{400, 300}, HTCLIENT},
      {{0, 0}, HTTOPLEFT},    {{3, 19}, HTTOPLEFT},        {{3, 20}, HTLEFT},      {{19, 2}, HTTOPLEFT},
      {{20, 2}, HTTOP},       {{799, 0}, HTTOPRIGHT},      {{780, 3}, HTTOPRIGHT}, {{779, 3}, HTTOP},
      {{799, 300}, HTRIGHT},  {{796, 580}, HTBOTTOMRIGHT}, {{400, 599}, HTBOTTOM}, {{19, 598}, HTBOTTOMLEFT},
      {{0, 579}, HTLEFT},     {{800, 10}, HTNOWHERE},      {{-1, 10}, HTNOWHERE},  {{10, 600}, HTNOWHERE},
  };
  for (const TCase& c : cases) EXPECT_EQ(FrameMapHit(m, c.at), c.hit) << c.at.X << "," << c.at.Y;
  // Without a sizing border (a fixed or a maximised window) the edges are caption or client.
  m.Border = 0;
  EXPECT_EQ(FrameMapHit(m, {0, 0}), HTCLIENT);
  EXPECT_EQ(FrameMapHit(m, {100, 4}), HTCAPTION);
  EXPECT_EQ(FrameMapHit(m, {799, 300}), HTCLIENT);
  // An empty map leaves every press to the program.
  TWindowFrameMap empty;
  empty.Size = {800, 600};
  EXPECT_EQ(FrameMapHit(empty, {100, 10}), HTCLIENT);
}

TEST(WindowFrameTest, LimitsAndTheMaximisedPlace) {
  const TWindowLimits sizeable{{800, 600}, {1280, 1024}}, fixed{{486, 345}, {486, 345}};
  EXPECT_FALSE(sizeable.Fixed());
  EXPECT_TRUE(fixed.Fixed());
  struct TClamp {
    TSize in;
    TWindowLimits limits;
    TSize out;
  } clamps[] = {{{600, 400}, sizeable, {800, 600}},     {{1000, 700}, sizeable, {1000, 700}},
                {{1920, 1080}, sizeable, {1280, 1024}}, {{900, 500}, sizeable, {900, 600}},
                {{800, 600}, fixed, {486, 345}},        {{700, 500}, {{800, 600}, {640, 480}}, {800, 600}}};
  for (const TClamp& c : clamps) EXPECT_EQ(ClampToLimits(c.in, c.limits), c.out) << c.in.cx << "x" << c.in.cy;
  struct TMax {
    TRect work;
    TSize max;
    TRect out;
  } maxima[] = {
      {{0, 0, 1280, 1024}, {1280, 1024}, {0, 0, 1280, 1024}},
      {{0, 0, 1920, 1080}, {1280, 1024}, Bounds(320, 28, 1280, 1024)},
      {{0, 30, 1920, 1080}, {1280, 1024}, Bounds(320, 30 + 13, 1280, 1024)},
      {{0, 0, 1024, 768}, {1280, 1024}, {0, 0, 1024, 768}},
      {{100, 0, 1380, 900}, {1280, 1024}, {100, 0, 1380, 900}},
  };
  for (const TMax& c : maxima) EXPECT_EQ(MaximizedBounds(c.work, c.max), c.out) << c.work.Width();
}

}  // namespace
