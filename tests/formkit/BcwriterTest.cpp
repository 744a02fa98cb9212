// The skin module and its writers: binding before and after the module exists, notifications in
// binding order, and what an unbound writer or a freed module leaves.
#include <gtest/gtest.h>

#include "formkit/Bcwriter.h"
#include "formkit/CHFDATAU.h"
#include "platform/base/GameError.h"
#include "platform/headless/TestKit.h"

using namespace vdmq;

namespace {

TEST(BcwriterTest, WritersMadeBeforeAndAfterTheModuleAreBoundInOrder) {
  THeadlessSession session;
  auto* window = new TForm(&App());
  std::vector<std::string> heard;
  auto* early = new TBcWriter(window);
  early->OnChange = [&](TComponent* s) { heard.push_back(s == early ? "early" : "?"); };
  early->ReadFrom("CHF_BcTitlebar", 1);
  EXPECT_EQ(early->BcReader().BmpContainer(), nullptr);  // no module yet
  heard.clear();

  // The main window makes the module after its own kit part; the waiting writer is bound then.
  App().CreateForm(CHF_Data);
  ASSERT_NE(CHF_Data, nullptr);
  EXPECT_EQ(early->BcReader().BmpContainer(), CHF_Data->CHF_BcTitlebar);
  EXPECT_EQ(early->BcReader().SrcRect(), (TRect{0, 20, 360, 40}));
  EXPECT_EQ(heard, (std::vector<std::string>{"early"}));

  auto* late = new TBcWriter(window);
  late->OnChange = [&](TComponent*) { heard.push_back("late"); };
  late->ReadFrom("CHF_BcTitlebar", 0);  // bound at once
  EXPECT_EQ(late->BcReader().BmpContainer(), CHF_Data->CHF_BcTitlebar);
  EXPECT_EQ(late->BcReader().SrcRect(), (TRect{0, 0, 360, 20}));
  auto* frame = new TBcWriter(window);
  frame->ReadFrom("CHF_BcFrame", -1);
  EXPECT_EQ(frame->BcReader().SrcRect(), (TRect{0, 0, 80, 80}));

  // A change of the container reaches its writers in the order they were bound.
  heard.clear();
  CHF_Data->CHF_BcTitlebar->SetCellHeight(-4);
  EXPECT_EQ(heard, (std::vector<std::string>{"early", "late"}));

  EXPECT_THROW(late->ReadFrom("CHF_BcMenu", 0), EGameError);

  // Freed with the module, the containers leave every reader without one.
  heard.clear();
  delete CHF_Data;
  EXPECT_EQ(CHF_Data, nullptr);
  EXPECT_EQ(early->BcReader().BmpContainer(), nullptr);
  EXPECT_EQ(late->BcReader().BmpContainer(), nullptr);
  EXPECT_EQ(heard, (std::vector<std::string>{"late", "early"}));
}

TEST(BcwriterTest, AnUnboundWriterDrawsNothingAndAFreedOneIsNotBoundLater) {
  THeadlessSession session;
  TBcWriter unbound(nullptr);
  unbound.ReadFrom("CHF_BcButton", 0);
  TPixmap p(20, 20, 0x123456);
  TCanvas c;
  c.Bind(p);
  TCanvasLog log;
  c.SetRecorder(&log);
  unbound.BcReader().Draw(&c, {0, 0, 20, 20});
  unbound.BcReader().DrawStretch(&c, {0, 0, 20, 20});
  unbound.BcReader().DrawFix(&c, {0, 0, 20, 20}, 3, 20, 3, 20, true);
  EXPECT_TRUE(log.Ops.empty());
  EXPECT_EQ(p.Pixel(5, 5), 0x123456u);

  {
    TBcWriter gone(nullptr);
    gone.ReadFrom("CHF_BcFrame", -1);
  }
  App().CreateForm(CHF_Data);  // binds the waiting writer that is still alive, and only that one
  EXPECT_EQ(unbound.BcReader().BmpContainer(), CHF_Data->CHF_BcButton);
  EXPECT_EQ(unbound.BcReader().SrcRect(), (TRect{0, 0, 48, 14}));
}

}  // namespace
