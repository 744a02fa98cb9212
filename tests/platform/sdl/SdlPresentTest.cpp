// How the SDL window presents, and how it meets the signals that end the program: an OpenGL that
// rasterises on the processor is told from a graphics processor's; where the accelerated renderer
// would run on such an OpenGL the window presents through SDL's software renderer, with the same
// pixels; SDL installs no signal handler of its own (a signal is no close request), and a pause ends
// once the program is asked to end.
#include <gtest/gtest.h>

#include <SDL.h>
#include <signal.h>

#include <cstdio>
#include <string>

#include "platform/headless/PngFile.h"
#include "platform/sdl/SdlBackend.h"
#include "platform/sdl/SdlRenderer.h"
#include "platform/sys/EndSignals.h"
#include "support/VirtualDisplay.h"

using namespace vdmq;

namespace {

TEST(SdlRenderer, TellsSoftwareOpenGlFromAGraphicsProcessor) {
  const struct {
    const char* glRenderer;
    bool software;
  } cases[] = {
      {"llvmpipe (LLVM 15.0.6, 256 bits)", true},
      {"softpipe", true},
      {"Mesa DRI Intel(R) HD Graphics (SKL GT2) / Software Rasterizer", true},
      {"Mesa X11 swrast", true},
      {"Google SwiftShader", true},
      {"GDI Generic", true},
      {"LLVMPIPE", true},
      {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", false},
      {"AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49, 6.1.0-13-amd64)", false},
      {"NVIDIA GeForce GTX 1060 6GB/PCIe/SSE2", false},
      {"virgl (Mesa)", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsSoftwareGl(c.glRenderer), c.software) << c.glRenderer;
}

// The same desktop through the three ways of presenting; the automatic choice never runs on an
// OpenGL that rasterises on the processor.
TEST(SdlRenderer, TheWindowNeverPresentsThroughSoftwareOpenGl) {
  if (!vdmq::testing::TVirtualDisplay::Ensure()) GTEST_SKIP() << "no display";
  TPixmap screen(800, 600);
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x)
      screen.Row(y)[x] = static_cast<std::uint32_t>((x & 0xFF) << 16 | (y & 0xFF) << 8 | 77);
  std::string accelerated;
  for (const int way : {0, 1, 2}) {
    TSdlOptions o;
    o.hidden = true;
    o.softwareRenderer = way == 1;
    o.acceptSoftwareGl = way == 2;
    TSdlBackend backend(o);
    const std::string name = backend.RendererName();
    SCOPED_TRACE(name);
    const size_t colon = name.find(": ");
    const bool softwareGl = colon != std::string::npos && IsSoftwareGl(name.substr(colon + 2));
    if (way == 0) {
      EXPECT_FALSE(softwareGl);
    } else if (way == 1) {
      EXPECT_EQ(name, "software");
    } else {
      accelerated = name;
    }
    backend.Present(screen, TRegion(TRect{0, 0, 800, 600}));
    TPixmap shown;
    ASSERT_TRUE(backend.ReadScreen(shown));
    EXPECT_EQ(ComparePixmaps(shown, screen), 0);
  }
  std::printf("accelerated renderer here: %s\n", accelerated.c_str());
}

TEST(SdlBackendSignals, NoSignalBecomesACloseRequestAndPausesEndOnARequest) {
  if (!vdmq::testing::TVirtualDisplay::Ensure()) GTEST_SKIP() << "no display";
  TSdlOptions o;
  o.hidden = true;
  o.softwareRenderer = true;
  TSdlBackend backend(o);
  // SDL left the default actions alone: the program's own handlers decide.
  for (const int sig : {SIGTERM, SIGINT}) {
    struct sigaction now {};
    sigaction(sig, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL) << sig;
  }
  const TEndSignals signals([&backend] { backend.Wake(); });
  raise(SIGTERM);
  // Woken by the watcher (long before the time limit), with no close request among the events.
  std::uint64_t start = backend.NowMs();
  TInputEvent ev;
  while (backend.WaitInput(ev, 5000)) EXPECT_NE(ev.kind, TInputEvent::CloseRequest);
  EXPECT_LT(backend.NowMs() - start, 5000u);
  start = backend.NowMs();
  backend.Delay(5000);
  EXPECT_LT(backend.NowMs() - start, 5000u);
}

}  // namespace
