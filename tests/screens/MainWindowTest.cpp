// The main window: its layout and the command bar's pictures at any width, the size limits, edge
// scrolling, the turn-end question by option, the quit question and the help viewer.
#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "ScreensTestSupport.h"
#include "formkit/Chbcbtn.h"
#include "platform/base/Sjis.h"
#include "platform/core/Desktop.h"
#include "platform/core/MessageDialog.h"
#include "platform/core/StdCtrls.h"
#include "platform/sys/HelpViewer.h"
#include "platform/sys/Registry.h"
#include "platform/sys/Services.h"
#include "screens/F_system.h"
#include "screens/Main.h"
#include "screens/Qvgraph.h"
#include "support/GraphicsFiles.h"

namespace vdmq {
namespace {

namespace fs = std::filesystem;

// A solid w x h picture of one colour as BMP bytes.
std::vector<std::uint8_t> SolidBmp(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  test::BmpLayout l;
  l.width = w;
  l.height = h;
  std::vector<std::uint8_t> row;
  for (int x = 0; x < w; ++x) row.insert(row.end(), {b, g, r});
  l.rows.assign(static_cast<size_t>(h), row);
  return test::MakeBmp(l);
}

class MainWindow : public ::testing::Test {
 protected:
  void Start(TSize screen = {800, 600}) {
    session_ = std::make_unique<THeadlessSession>(screen);
    game_ = std::make_unique<TGameSession>();
    ASSERT_FALSE(game_->StartFailed());
  }
  void TearDown() override {
    game_.reset();
    session_.reset();
  }
  test::TGameFolder folder_;
  std::unique_ptr<THeadlessSession> session_;
  std::unique_ptr<TGameSession> game_;
};

TEST_F(MainWindow, LayoutOfTheBarAndItsPicturesAtTheDesignedAndAWiderSize) {
  // The bar's pictures in distinct colours: left red, right green, the filler blue.
  const std::string pack = test::MakePack({{"BG_MAIN_L.BMP", SolidBmp(300, 120, 255, 0, 0)},
                                           {"BG_MAIN_R.BMP", SolidBmp(252, 120, 0, 255, 0)},
                                           {"BG_MAIN_M.BMP", SolidBmp(792, 120, 0, 0, 255)}});
  fs::copy_file(pack, folder_.Native("dat/BMP.PAK"), fs::copy_options::overwrite_existing);
  fs::remove(pack);
  Start();
  EXPECT_EQ(fmMain->ClientWidth(), 792);
  EXPECT_EQ(fmMain->ClientHeight(), 573);
  EXPECT_EQ(fmMain->plCommand->BoundsRect(), Bounds(0, 453, 792, 120));
  EXPECT_EQ(fmMain->imgQvMap->Width(), 792);
  EXPECT_EQ(fmMain->imgQvMap->Height(), 453);
  EXPECT_EQ(fmMain->plZenQvMap->BoundsRect(), Bounds(568, 7, 216, 107));
  struct Button {
    TCHBcBitBtn* b;
    TRect r;
    const char* caption;
  } buttons[] = {{fmMain->btnDock, Bounds(12, 36, 86, 28), "造船"},
                 {fmMain->btnTec, Bounds(98, 36, 86, 28), "技術"},
                 {fmMain->btnFleet, Bounds(184, 36, 87, 28), "艦隊編成"},
                 {fmMain->btnPlanet, Bounds(271, 36, 86, 28), "拠点"},
                 {fmMain->btnSave, Bounds(357, 36, 86, 28), "システム"},
                 {fmMain->btnNextTurn, Bounds(443, 36, 86, 28), "ターン終了"},
                 {fmMain->btnHelp, Bounds(12, 64, 86, 28), "ヘルプ"}};
  for (const Button& b : buttons) {
    EXPECT_EQ(b.b->BoundsRect(), b.r) << b.caption;
    EXPECT_EQ(SjisToUtf8(b.b->Caption()), b.caption);
    EXPECT_FALSE(b.b->Enabled()) << "the bar waits for a game";
  }
  EXPECT_EQ(SjisToUtf8(fmMain->lbYear->Caption()), "星暦4032年 1期");
  EXPECT_EQ(SjisToUtf8(fmMain->lbFund->Caption()), "総資金      0");

  const auto bar = [&](int x) {
    const TQoRGB p = fmMain->QoBG.PGet(x, 60);
    return (p.r << 16) | (p.g << 8) | p.b;
  };
  fmMain->FormResize(fmMain);
  EXPECT_EQ(bar(0), 0xFF0000);
  EXPECT_EQ(bar(299), 0xFF0000);
  EXPECT_NE(bar(400), 0x0000FF) << "no filler at the designed width";
  EXPECT_EQ(bar(540), 0x00FF00);
  EXPECT_EQ(bar(791), 0x00FF00);

  fmMain->SetClientSize(1000, 700);
  fmMain->FormResize(fmMain);
  EXPECT_EQ(fmMain->QoBG.Width(), 1000);
  EXPECT_EQ(bar(299), 0xFF0000);
  EXPECT_EQ(bar(300), 0x0000FF);
  EXPECT_EQ(bar(747), 0x0000FF);
  EXPECT_EQ(bar(748), 0x00FF00);
  EXPECT_EQ(bar(999), 0x00FF00);
  EXPECT_EQ(fmMain->plZenQvMap->Left(), 776);
  EXPECT_EQ(fmMain->imgQvMap->Width(), 1000);
  EXPECT_EQ(fmMain->imgQvMap->Height(), 580);
  EXPECT_EQ(QvMapGraph->ViewSurface()->Width(), 1000);
  EXPECT_EQ(QvMapGraph->ViewSurface()->Height(), 580);
}

TEST_F(MainWindow, SizeLimitsFollowTheWorkAreaWithinTheGamesBounds) {
  struct Case {
    TSize screen;
    TPoint maxSize, maxTrack;
  } cases[] = {{{1920, 1080}, {1280, 1024}, {1280, 1024}}, {{640, 480}, {648, 488}, {648, 488}}};
  for (const Case& c : cases) {
    Start(c.screen);
    const TMinMaxInfo mm = Desktop().MinMaxFor(fmMain);
    EXPECT_EQ(mm.ptMaxSize, c.maxSize) << c.screen.cx;
    EXPECT_EQ(mm.ptMaxTrackSize, c.maxTrack) << c.screen.cx;
    EXPECT_EQ(mm.ptMaxPosition, (TPoint{0, 0}));
    EXPECT_EQ(mm.ptMinTrackSize, (TPoint{800, 600}));
    TearDown();
  }
}

TEST_F(MainWindow, AsTheOsWindowItsLimitsAreTheGamesWithinTheDisplaysWorkArea) {
  struct Case {
    TSize workArea;
    TWindowLimits limits;
  } cases[] = {{{1920, 1080}, {{800, 600}, {1280, 1024}}},
               {{1280, 1024}, {{800, 600}, {1280, 1024}}},
               {{1024, 768}, {{800, 600}, {1024, 768}}},
               {{640, 480}, {{800, 600}, {800, 600}}}};
  for (const Case& c : cases) {
    session_ = std::make_unique<THeadlessSession>();
    session_->Backend.HostMainWindow(c.workArea);
    game_ = std::make_unique<TGameSession>();
    EXPECT_EQ(Desktop().WindowLimits(fmMain), c.limits) << c.workArea.cx;
    TearDown();
  }
}

// The main window maximised by its own button on a 1920 x 1080 display and restored by the window
// manager: the map view, the command bar along the bottom and the minimap at the bar's right end
// follow the window's size.
TEST(MainWindowPlay, MaximisedAndRestoredTheBarAndMinimapKeepToTheBottomAndTheRightEdge) {
  test::TGameRun run;
  test::TScreenScript script;
  struct TSeen {
    TRect form, bar, minimap, map;
    TSize view;
    bool restoreGlyph = false;
  };
  std::vector<TSeen> seen;
  const auto look = [&] {
    seen.push_back({fmMain->BoundsRect(),
                    fmMain->plCommand->BoundsRect(),
                    fmMain->plZenQvMap->BoundsRect(),
                    fmMain->imgQvMap->BoundsRect(),
                    {QvMapGraph->ViewSurface()->Width(), QvMapGraph->ViewSurface()->Height()},
                    fmMain->TitleBar().MaximizeButton().Glyph() == cgRestore});
  };
  script.NewGameToFirstTurn()
      .Then("",
            [&](TForm*) {
              look();
              const TRect box = fmMain->TitleBar().MaximizeButton().Rect;
              const TPoint at{(box.Left + box.Right) / 2, (box.Top + box.Bottom) / 2};
              InjectMouse(TInputEvent::MouseDown, at);
              InjectMouse(TInputEvent::MouseUp, at);
              App().ProcessMessages();
              look();
              dynamic_cast<THeadlessBackend&>(App().Backend()).WmRestore();
              App().ProcessMessages();
              look();
            })
      .Quit();
  EXPECT_EQ(run.Run([&](THeadlessSession& s) {
    s.Backend.HostMainWindow({1920, 1080});
    s.Backend.Driver = [&script] { return script(); };
  }),
            0);
  EXPECT_TRUE(script.Done());
  ASSERT_EQ(seen.size(), 3u);
  const TSeen designed{Bounds(0, 0, 800, 600),
                       Bounds(0, 453, 792, 120),
                       Bounds(568, 7, 216, 107),
                       Bounds(0, 0, 792, 453),
                       {792, 453},
                       false};
  const TSeen maximised{Bounds(0, 0, 1280, 1024),
                        Bounds(0, 877, 1272, 120),
                        Bounds(1048, 7, 216, 107),
                        Bounds(0, 0, 1272, 877),
                        {1272, 877},
                        true};
  for (size_t i = 0; i < seen.size(); ++i) {
    const TSeen& want = i == 1 ? maximised : designed;
    EXPECT_EQ(seen[i].form, want.form) << i;
    EXPECT_EQ(seen[i].bar, want.bar) << i;
    EXPECT_EQ(seen[i].minimap, want.minimap) << i;
    EXPECT_EQ(seen[i].map, want.map) << i;
    EXPECT_EQ(seen[i].view, want.view) << i;
    EXPECT_EQ(seen[i].restoreGlyph, want.restoreGlyph) << i;
  }
}

TEST(MainWindowEdges, LeftAndRightWinOverTopAndBottom) {
  struct Case {
    int x, y, region;
  } cases[] = {{50, 50, 2},    {0, 440, 2},   {99, 226, 2},   {100, 226, -1}, {700, 50, 3},
               {791, 440, 3},  {692, 226, 3}, {691, 226, -1}, {400, 0, 0},    {400, 99, 0},
               {400, 100, -1}, {400, 353, 1}, {400, 440, 1},  {400, 452, 1},  {396, 226, -1}};
  for (const Case& c : cases) EXPECT_EQ(TfmMain::EdgeRegion(c.x, c.y, 792, 453), c.region) << c.x << "," << c.y;
}

TEST(MainWindowPlay, RightPressesScrollTowardTheirEdgeAndTheHelpButtonOpensTheHelp) {
  test::TGameRun run;
  test::TScreenScript script;
  std::vector<TPoint> origins;
  script.NewGameToFirstTurn()
      .Then("",
            [&](TForm*) {
              for (TPoint press : {TPoint{50, 50}, TPoint{400, 440}, TPoint{396, 226}}) {
                QvMapGraph->SetOrigin(10, 10);
                ClickAt(fmMain->imgQvMap, press.X, press.Y, mbRight);
                origins.push_back({QvMapGraph->OriginX(), QvMapGraph->OriginY()});
                EXPECT_EQ(fmMain->EdgeRegionNow(), -1) << "cleared on release";
              }
              Click(fmMain->btnHelp);
            })
      .Quit();
  EXPECT_EQ(run.Run(script), 0);
  EXPECT_TRUE(script.Done());
  EXPECT_EQ(origins, (std::vector<TPoint>{{9, 11}, {11, 11}, {10, 10}}));
  ASSERT_EQ(run.folder.sys.help->calls.size(), 2u);
  EXPECT_EQ(run.folder.sys.help->calls[0], "contents .\\q_help.hlp");
  EXPECT_EQ(run.folder.sys.help->calls[1], "quit");
}

// The process has ended (or waits only to be collected by its new parent).
bool Gone(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat;
  if (!std::getline(in, stat)) return true;
  const size_t close = stat.rfind(')');
  return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] == 'Z';
}

// The help button with the real viewer service: a viewer that cannot be shown is told in the
// platform box once per click; a viewer that runs is not started twice; and what the viewer
// started, also after its launcher has ended, goes when the game ends.
TEST(MainWindowPlay, TheHelpButtonTellsWhenNoViewerShowsTheHelpAndTheGameClosesWhatItOpened) {
  struct Case {
    const char* what;
    const char* viewer;  // the fake viewer's script ("": none, the command names a missing program)
    bool document;       // q_help.html beside the program
    bool emptyPath;      // no VDMQ_HELP_CMD, and a PATH without xdg-open
    bool tells;          // each click shows the platform box
    size_t started;      // viewers recorded after two clicks
  };
  const Case cases[] = {
      {"no xdg-open on PATH", "", true, true, true, 0},
      {"a viewer that is not there", "", true, false, true, 0},
      {"no help document", "echo $$ >> \"$0.started\"\nexec sleep 300\n", false, false, true, 0},
      {"a launcher that finds no program", "exit 3\n", true, false, true, 0},
      {"a viewer that stays", "echo $$ >> \"$0.started\"\necho \"$1\" >> \"$0.shown\"\nexec sleep 300\n", true, false,
       false, 1},
      {"a launcher that hands over", "sleep 300 &\necho $! >> \"$0.started\"\necho \"$1\" >> \"$0.shown\"\nexit 0\n",
       true, false, false, 2},
  };
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::TGameRun run;
    const std::string viewer = run.folder.Native("viewer.sh");
    if (*c.viewer) {
      std::ofstream(viewer) << "#!/bin/sh\n" << c.viewer;
      fs::permissions(viewer, fs::perms::owner_all);
    }
    if (c.document) std::ofstream(run.folder.Native("q_help.html")) << "<p>help</p>";
    if (c.emptyPath) {
      unsetenv("VDMQ_HELP_CMD");
      fs::create_directories(run.folder.Native("nothing"));
      setenv("PATH", run.folder.Native("nothing").c_str(), 1);
    } else {
      setenv("VDMQ_HELP_CMD", viewer.c_str(), 1);
    }
    const auto started = [&] {
      std::vector<pid_t> pids;
      std::ifstream in(viewer + ".started");
      for (long pid = 0; in >> pid;) pids.push_back(static_cast<pid_t>(pid));
      return pids;
    };
    TLinuxHelpViewer help;
    TSysServices services = Sys();
    services.help = &help;
    const TSysServices previous = InstallSysServices(services);

    test::TScreenScript script;
    std::vector<std::string> told;
    std::vector<pid_t> runningBeforeQuit;
    script.NewGameToFirstTurn();
    for (int click = 0; click < 2; ++click) {
      script.Then("", [](TForm*) { Click(fmMain->btnHelp, mbLeft, false); });
      if (c.tells) {
        script.Then("TMessageForm", [&](TForm* box) {
          told.push_back(SjisToUtf8(box->Caption()) + ": " + test::PlatformBoxText(box));
          EXPECT_TRUE(static_cast<TMessageForm*>(box)->HasStopIcon());
          Click(static_cast<TMessageForm*>(box)->Button(0), mbLeft, false);
        });
      }
    }
    script
        .Then("",
              [&](TForm*) {
                // The viewers record themselves on their own time.
                for (int waited = 0; waited < 5000 && started().size() < c.started; waited += 10) {
                  std::this_thread::sleep_for(std::chrono::milliseconds(10));
                }
                for (pid_t pid : started()) {
                  if (!Gone(pid)) runningBeforeQuit.push_back(pid);
                }
                fmMain->Close();
              })
        .Box("確認", "ゲームを終了します。");
    EXPECT_EQ(run.Run(script), 0);
    EXPECT_TRUE(script.Done());
    InstallSysServices(previous);
    setenv("PATH", oldPath.c_str(), 1);
    unsetenv("VDMQ_HELP_CMD");

    EXPECT_EQ(told, c.tells ? std::vector<std::string>(2, "エラー: ヘルプを表示できませんでした。")
                            : std::vector<std::string>{});
    const std::vector<pid_t> pids = started();
    EXPECT_EQ(pids.size(), c.started);
    EXPECT_EQ(runningBeforeQuit, pids) << "the viewers ran until the game ended";
    if (c.started > 0) {
      std::ifstream shown(viewer + ".shown");
      std::string doc;
      std::getline(shown, doc);
      EXPECT_EQ(doc, run.folder.Native("q_help.html"));
    }
    // Closing the game asks every viewer it started to end.
    for (int waited = 0; waited < 5000; waited += 10) {
      if (std::all_of(pids.begin(), pids.end(), Gone)) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    for (pid_t pid : pids) {
      EXPECT_TRUE(Gone(pid)) << pid;
      kill(pid, SIGKILL);  // whatever the outcome, no viewer of the test outlives it
    }
  }
}

TEST(MainWindowPlay, WithTheTurnQuestionOffTheTurnEndsAtOnce) {
  test::TGameRun run;
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("SOFTWARE\\NAVIRO Veldmark\\Veldmark Q Try\\system", true));
    reg.WriteInteger("TURN_MES", 0);
  }
  test::TScreenScript script;
  script.NewGameToFirstTurn()
      .Then("",
            [](TForm*) {
              EXPECT_EQ(GetSysOption(kSysOptionTurnMes), 0);
              EXPECT_EQ(GetSysOption(kSysOptionBgm), 1) << "a missing value keeps the option";
              Click(fmMain->btnNextTurn, mbLeft, false);
            })
      .BoxesUntil("確認", "プレイヤーのターン")
      .Quit();
  EXPECT_EQ(run.Run(script), 0);
  EXPECT_TRUE(script.Done());
  for (const test::TBoxText& b : script.boxes) EXPECT_EQ(b.lines[0].find("ターンを終了しますか"), std::string::npos);
  SetSysOption(kSysOptionTurnMes, 1);
}

TEST(MainWindowPlay, TheQuitQuestionIsAskedUntilConfirmedAndThenNeverAgain) {
  test::TGameRun run;
  test::TScreenScript script;
  script.NewGameToFirstTurn()
      .Then("", [](TForm*) { fmMain->Close(); })
      .Box("確認", "ゲームを終了します。", false)
      .Then("",
            [](TForm*) {
              EXPECT_FALSE(IsGameEnd());
              EXPECT_TRUE(ConfirmGameEnd());
              EXPECT_TRUE(IsGameEnd());
              fmMain->Close();  // no second question
            })
      .Box("確認", "ゲームを終了します。");
  EXPECT_EQ(run.Run(script), 0);
  EXPECT_TRUE(script.Done());
  int questions = 0;
  for (const test::TBoxText& b : script.boxes) questions += b.lines[0] == "ゲームを終了します。";
  EXPECT_EQ(questions, 2);
}

}  // namespace
}  // namespace vdmq
