// The map editor's tool window: painting by click and drag under the mask, the fill and the scatter,
// the palette, the planet page, the save, and the main window handing it the map's clicks and moves.
#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>

#include "ScreensTestSupport.h"
#include "campaign/Country.h"
#include "campaign/GameSave.h"
#include "campaign/Planet.h"
#include "campaign/Qvmap.h"
#include "platform/base/Sjis.h"
#include "platform/base/StdRandom.h"
#include "platform/core/DevCtrls.h"
#include "platform/core/StdCtrls.h"
#include "qolib/graphics/QoTDib.h"
#include "screens/F_maped.h"
#include "screens/Main.h"
#include "screens/Qvgraph.h"
#include "screens/ScreensHost.h"
#include "support/Golden.h"
#include "support/GoldenArchive.h"

namespace vdmq {
namespace {

namespace fs = std::filesystem;

using TGrid = TQvMap::TChips;

TGrid Grid() {
  TGrid g;
  QvMap->GetChips(&g);
  return g;
}

bool Same(const TGrid& a, const TGrid& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The first cell that is (or is not) navigable.
TPoint FindCell(bool navigable) {
  for (int y = 0; y < kMapSize; ++y)
    for (int x = 0; x < kMapSize; ++x)
      if (QvMap->IsMovable(x, y) == navigable) return {x, y};
  ADD_FAILURE() << "no such cell";
  return {0, 0};
}

class MapEditor : public ::testing::Test {
 protected:
  void SetUp() override {
    // The window is taller than an 800 x 600 screen: a larger one shows all of it.
    session_ = std::make_unique<THeadlessSession>(TSize{1280, 1024});
    game_ = std::make_unique<TGameSession>();
    ASSERT_FALSE(game_->StartFailed());
    ed = fmMapEdTools;
    ASSERT_NE(ed, nullptr);
    ed->Show();
    App().ProcessMessages();
    start = Grid();
  }
  void TearDown() override {
    session_->Backend.Driver = nullptr;
    unsetenv("VDMQ_SAVE_PATH");
    game_.reset();
    session_.reset();
  }
  // Chooses a chip on the palette by scrolling to its row and clicking it.
  void Choose(int chip) {
    while (ed->ScrollRow() > chip / 4) Click(ed->btnUp);
    while (chip / 4 - ed->ScrollRow() >= kPaletteRows) Click(ed->btnDown);
    ClickAt(ed->imgMapParts, chip % 4 * 60 + 30, (chip / 4 - ed->ScrollRow()) * 60 + 30);
    ASSERT_EQ(ed->SelectedChip(), chip);
  }
  // Answers the platform's questions in turn; records their texts and captions.
  void Answer(std::vector<int> answers) {
    questions.clear();
    session_->Backend.Driver = [this, answers] {
      TForm* box = TopModal();
      if (box == nullptr || box->ClassName() != std::string("TMessageForm")) return false;
      questions.push_back(SjisToUtf8(box->Caption()) + "|" + test::PlatformBoxText(box));
      // A question beyond those expected is answered OK (the only button of a notice).
      const bool ok = questions.size() > answers.size() || answers[questions.size() - 1] == IDOK;
      Click(Find<TControl>(box, ok ? "OK" : "Cancel"), mbLeft, false);
      return true;
    };
  }

  test::TGameFolder folder_;
  std::unique_ptr<THeadlessSession> session_;
  std::unique_ptr<TGameSession> game_;
  TfmMapEdTools* ed = nullptr;
  TGrid start{};
  std::vector<std::string> questions;
};

TEST_F(MapEditor, CreatedHiddenAtTheScreensTopRight) {
  game_.reset();
  game_ = std::make_unique<TGameSession>();
  ASSERT_NE(fmMapEdTools, nullptr);
  EXPECT_FALSE(fmMapEdTools->Visible());
  EXPECT_EQ(fmMapEdTools->ClientWidth(), 317);
  EXPECT_EQ(fmMapEdTools->ClientHeight(), 753);
  EXPECT_EQ(fmMapEdTools->Left() + fmMapEdTools->Width(), 1280);
  EXPECT_EQ(fmMapEdTools->Top(), 0);
  EXPECT_EQ(fmMapEdTools->Caption(), "MAP EDITER TOOLS");
  EXPECT_EQ(fmMapEdTools->imgMapParts->BoundsRect(), Bounds(0, 0, 240, 660));
  EXPECT_EQ(SjisToUtf8(fmMapEdTools->lbMapXY->Caption()), "(X,Y)=(000,000)");
  EXPECT_EQ(fmMapEdTools->edKakuritu->Text(), "1");
  EXPECT_EQ(fmMapEdTools->SaveDialog1->Filter, "dat|*.dat");
}

TEST_F(MapEditor, PaintsByClickAndByDragAsTheMaskAllows) {
  const TPoint open = FindCell(true), blocked = FindCell(false);
  struct Case {
    const char* what;
    int page;
    bool mask;
    int chip;
    TPoint cell;
    enum { kClick, kDragHeld, kMoveFree } how;
    bool painted;
  } cases[] = {
      {"a click without the mask", 0, false, 30, open, Case::kClick, true},
      {"a blocked chip on an open cell under the mask", 0, true, 30, open, Case::kClick, false},
      {"an open chip on a blocked cell under the mask", 0, true, 5, blocked, Case::kClick, false},
      {"an open chip on an open cell under the mask", 0, true, 5, open, Case::kClick, true},
      {"a blocked chip on a blocked cell under the mask", 0, true, 30, blocked, Case::kClick, true},
      {"chip 20 counts as open for the mask", 0, true, 20, open, Case::kClick, true},
      {"chip 20 on a blocked cell under the mask", 0, true, 20, blocked, Case::kClick, false},
      {"a drag with the left button held", 0, false, 30, open, Case::kDragHeld, true},
      {"a drag under the mask", 0, true, 5, blocked, Case::kDragHeld, false},
      {"a move without the button", 0, false, 30, open, Case::kMoveFree, false},
      {"a drag on the planet page", 1, false, 30, open, Case::kDragHeld, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QvMap->SetChips(start);
    ed->pgctrMapEd->SetActivePage(ed->pgctrMapEd->Pages(0));
    Choose(c.chip);
    ed->pgctrMapEd->SetActivePage(ed->pgctrMapEd->Pages(c.page));
    ed->chkMask->SetChecked(c.mask);
    if (c.how == Case::kClick)
      ed->MapClick(c.cell.X, c.cell.Y);
    else
      ed->MapMouseMove(c.how == Case::kDragHeld, c.cell.X, c.cell.Y);
    TGrid want = start;
    if (c.painted) want.cell[c.cell.Y][c.cell.X] = static_cast<std::uint8_t>(c.chip);
    EXPECT_TRUE(Same(Grid(), want)) << "cell now " << QvMap->GetChip(c.cell.X, c.cell.Y);
    if (c.how != Case::kClick) {
      EXPECT_EQ(ed->lbMapXY->Caption(), "(X,Y)=(" + std::to_string(c.cell.X) + "," + std::to_string(c.cell.Y) + ")");
    }
  }
  // The view's cell conversion answers 54 at the far edges: such cells change nothing anywhere.
  QvMap->SetChips(start);
  ed->pgctrMapEd->SetActivePage(ed->pgctrMapEd->Pages(0));
  ed->chkMask->SetChecked(false);
  for (TPoint edge : {TPoint{54, 10}, TPoint{10, 54}, TPoint{54, 54}}) {
    ed->MapClick(edge.X, edge.Y);
    ed->MapMouseMove(true, edge.X, edge.Y);
  }
  EXPECT_TRUE(Same(Grid(), start));
  EXPECT_EQ(ed->lbMapXY->Caption(), "(X,Y)=(54,54)");
}

TEST_F(MapEditor, FillAsksTwiceAndThenCoversTheWholeMap) {
  Choose(41);
  ed->chkMask->SetChecked(true);  // plays no part in the fill
  const std::string first = "確認|選択してるチップで全体を塗りつぶします。よろしいですか？";
  const std::string second = "確認|後悔しない？";
  struct Case {
    std::vector<int> answers;
    std::vector<std::string> asked;
    bool filled;
  } cases[] = {
      {{IDCANCEL}, {first}, false},
      {{IDOK, IDCANCEL}, {first, second}, false},
      {{IDOK, IDOK}, {first, second}, true},
  };
  for (const Case& c : cases) {
    QvMap->SetChips(start);
    Answer(c.answers);
    Click(ed->btnFill);
    EXPECT_EQ(questions, c.asked);
    int painted = 0;
    for (int y = 0; y < kMapSize; ++y)
      for (int x = 0; x < kMapSize; ++x) painted += QvMap->GetChip(x, y) == 41;
    EXPECT_EQ(painted == kMapCells, c.filled) << painted;
    if (!c.filled) {
      EXPECT_TRUE(Same(Grid(), start));
    }
  }
}

TEST_F(MapEditor, ScatterPutsTheChosenGroupOnOneCellInN) {
  Choose(45);  // group 44..47
  auto scatter = [&](const char* n, bool mask, unsigned seed) {
    QvMap->SetChips(start);
    ed->chkMask->SetChecked(mask);
    ed->edKakuritu->SetText(n);
    StdSrand(seed);
    Click(ed->Button6);
    int changed = 0;
    for (int y = 0; y < kMapSize; ++y)
      for (int x = 0; x < kMapSize; ++x) {
        const int chip = QvMap->GetChip(x, y);
        if (chip == start.cell[y][x]) continue;
        ++changed;
        EXPECT_TRUE(chip >= 44 && chip <= 47) << n << ": " << chip;
        if (mask) {
          EXPECT_FALSE(start.cell[y][x] < 20) << "the mask keeps a group of blocked chips off open cells";
        }
      }
    return changed;
  };
  // "1" and "0" take every cell, with all four chips of the group.
  for (const char* n : {"1", "0"}) {
    scatter(n, false, 7);
    std::set<int> seen;
    for (int y = 0; y < kMapSize; ++y)
      for (int x = 0; x < kMapSize; ++x) seen.insert(QvMap->GetChip(x, y));
    EXPECT_EQ(seen, (std::set<int>{44, 45, 46, 47})) << n;
  }
  // "2": about every second cell, the same cells and chips again from the same seed.
  const int half = scatter("2", false, 11);
  EXPECT_GT(half, kMapCells * 2 / 5);
  EXPECT_LT(half, kMapCells * 3 / 5);
  const TGrid once = Grid();
  scatter("2", false, 11);
  EXPECT_TRUE(Same(Grid(), once));
  scatter("2", false, 12);
  EXPECT_FALSE(Same(Grid(), once));
  scatter("1", true, 7);
  // A text that is no number, or a negative one, scatters nothing and draws no number.
  for (const char* n : {"-3", "x", "", "2x"}) {
    EXPECT_EQ(scatter(n, false, 5), 0) << n;
    const int next = StdRand();
    StdSrand(5);
    EXPECT_EQ(StdRand(), next) << n;
  }
}

TEST_F(MapEditor, PaletteFramesTheChoiceWhileItsRowIsShown) {
  TQoTrueDib& s = ed->QoTrueDibMapParts;
  auto framed = [&](int col, int row) {
    const int x = col * 60, y = row * 60;
    for (int i = 0; i < 60; ++i)
      for (TPoint p : {TPoint{x + i, y}, TPoint{x + i, y + 59}, TPoint{x, y + i}, TPoint{x + 59, y + i}}) {
        const TQoRGB c = s.PGet(p.X, p.Y);
        if (c.r != 255 || c.g != 255 || c.b != 255) return false;
      }
    return true;
  };
  EXPECT_EQ(ed->SelectedChip(), 0);
  EXPECT_TRUE(framed(0, 0));
  EXPECT_FALSE(framed(1, 0));
  for (int i = 0; i < 9; ++i) Click(ed->btnDown);
  EXPECT_EQ(ed->ScrollRow(), 6) << "the last 11 rows";
  EXPECT_FALSE(framed(0, 0)) << "chip 0 is scrolled away";
  ClickAt(ed->imgMapParts, 3 * 60 + 10, 10 * 60 + 50);
  EXPECT_EQ(ed->SelectedChip(), 67);
  EXPECT_TRUE(framed(3, 10));
  Click(ed->btnUp);
  EXPECT_EQ(ed->ScrollRow(), 5);
  EXPECT_FALSE(framed(3, 10)) << "chip 67's row is below the rows shown";
  ClickAt(ed->imgMapParts, 70, 70);
  EXPECT_EQ(ed->SelectedChip(), 25);
  EXPECT_TRUE(framed(1, 1));
  for (int i = 0; i < 8; ++i) Click(ed->btnUp);
  EXPECT_EQ(ed->ScrollRow(), 0);
  EXPECT_TRUE(framed(1, 6));
}

TEST_F(MapEditor, PlanetPageListsMovesRetouchesAndRemovesPlanets) {
  TListBox* list = ed->lboxPlanet;
  ed->pgctrMapEd->SetActivePage(ed->pgctrMapEd->Pages(1));
  ASSERT_EQ(list->Items.size(), 100u);
  auto line = [&](int p) { return list->Items[static_cast<size_t>(p)]; };
  char want[32];
  std::snprintf(want, sizeof want, "[%3d] %3d:%3d", 7, GetPlanetX(7), GetPlanetY(7));
  EXPECT_EQ(line(7), want);

  // Nothing chosen: the buttons and a map click leave every planet as it is.
  const auto planets = std::make_unique<TPlanetData[]>(kPlanetCount);
  std::memcpy(planets.get(), PlanetData, sizeof PlanetData);
  for (TButton* b : {ed->Button2, ed->Button3, ed->Button4}) Click(b);
  ed->MapClick(3, 4);
  EXPECT_EQ(std::memcmp(planets.get(), PlanetData, sizeof PlanetData), 0);

  // A move, reflected in its line at once; cells off the map are ignored.
  list->SetItemIndex(7);
  ed->MapClick(3, 4);
  EXPECT_EQ(GetPlanetX(7), 3);
  EXPECT_EQ(GetPlanetY(7), 4);
  EXPECT_EQ(line(7), "[  7]   3:  4");
  ed->MapClick(54, 4);
  ed->MapClick(3, 54);
  EXPECT_EQ(line(7), "[  7]   3:  4");
  EXPECT_TRUE(Same(Grid(), start)) << "the planet page paints no chip";

  // A click on the line centres the view on the planet.
  QvMapGraph->SetOrigin(40, 40);
  ClickAt(list, 20, 2 + (7 - list->TopIndex()) * list->ItemHeight + 5);
  const TPoint centred{QvMapGraph->OriginX(), QvMapGraph->OriginY()};
  QvMapGraph->SetCenter(3, 4);
  EXPECT_EQ(centred, (TPoint{QvMapGraph->OriginX(), QvMapGraph->OriginY()}));

  // "▲" lowers the picture, never below 0; "▼" raises it, never past 35.
  struct Step {
    int from;
    TButton* button;
    int to;
  } steps[] = {
      {0, ed->Button2, 0}, {1, ed->Button2, 0}, {0, ed->Button3, 1}, {35, ed->Button3, 35}, {34, ed->Button3, 35}};
  for (const Step& s : steps) {
    SetPlanetCg(7, s.from);
    Click(s.button);
    EXPECT_EQ(GetPlanetCg(7), s.to) << s.from;
  }

  Click(ed->Button4);
  EXPECT_EQ(GetPlanetX(7), -1);
  EXPECT_EQ(GetPlanetCg(7), -1);
  EXPECT_EQ(line(7), "[  7]  -1: -1");
  EXPECT_NE(GetPlanetX(8), -1);
  Click(ed->Button5);  // asks nothing
  for (int p = 0; p < kPlanetCount; ++p) {
    EXPECT_FALSE(IsPlanetOnMap(p)) << p;
    EXPECT_EQ(GetPlanetCg(p), -1) << p;
  }
  EXPECT_EQ(line(99), "[ 99]  -1: -1");
}

TEST_F(MapEditor, SaveWritesTheMapAndAFailedSaveKeepsTheOldFile) {
  const std::string path = "/vdmq/edited.dat";  // a native-style absolute path, on the game's drive
  const std::string native = folder_.Native("edited.dat");
  setenv("VDMQ_SAVE_PATH", "", 1);  // cancelled: nothing written, nothing said
  Answer({IDOK});
  Click(ed->Button1);
  EXPECT_TRUE(questions.empty());
  EXPECT_FALSE(fs::exists(native));

  setenv("VDMQ_SAVE_PATH", path.c_str(), 1);
  Choose(33);
  ed->MapClick(5, 6);
  Answer({IDOK});
  Click(ed->Button1);
  EXPECT_EQ(questions, (std::vector<std::string>{"|セーブしました。"}));
  ASSERT_TRUE(fs::exists(native));
  QvMap->SetChips(start);
  ASSERT_TRUE(SaveLoadMapFile(1, path));
  EXPECT_EQ(QvMap->GetChip(5, 6), 33);
  const auto bytes = [&] {
    std::ifstream in(native, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  const std::string saved = bytes();

  // The temporary file's name taken by a folder: the save fails, also for root, and the old file stays.
  fs::create_directories(native + "." + std::to_string(getpid()) + ".tmp");
  ed->MapClick(7, 8);
  Answer({IDOK});
  Click(ed->Button1);
  EXPECT_EQ(questions, (std::vector<std::string>{"|セーブに失敗しました。"}));
  EXPECT_EQ(bytes(), saved);
}

// A host that counts what reaches the map model's click in play.
class TClickCountingHost : public TScreensHost {
 public:
  void ShowFleetSelByPlanet(int) override { ++clicks; }
  void ShowPlanetWindow(int, int) override { ++clicks; }
  static inline int clicks = 0;
};

TEST(MapEditorHandOff, MapClicksGoOnlyToTheVisibleEditorAndMovesReachItBeforeTheRedraw) {
  TClickCountingHost::clicks = 0;
  SetScreensHostMaker([] { return std::make_unique<TClickCountingHost>(); });
  test::TGameRun run;
  test::TScreenScript script;
  script.NewGameToFirstTurn()
      .Then("",
            [](TForm*) {
              const int capital = GetCountryCapital(GetPlayerCountry());
              const TPoint cell{GetPlanetX(capital), GetPlanetY(capital)};
              // A point of the map image over the capital's cell.
              auto pointOf = [](TPoint c) {
                for (int y = 0; y < fmMain->imgQvMap->Height(); y += 3)
                  for (int x = 0; x < fmMain->imgQvMap->Width(); x += 3) {
                    int cx = 0, cy = 0;
                    QvMapGraph->PosToCell(x, y, &cx, &cy);
                    if (cx == c.X && cy == c.Y) return TPoint{x, y};
                  }
                ADD_FAILURE() << "the cell is not in view";
                return TPoint{0, 0};
              };
              // The view one cell beside the capital's centring, so that a centring shows.
              QvMapGraph->SetCenter(cell.X, cell.Y);
              QvMapGraph->SetOrigin(QvMapGraph->OriginX() - 1, QvMapGraph->OriginY());
              const TPoint origin{QvMapGraph->OriginX(), QvMapGraph->OriginY()};
              const TPoint at = pointOf(cell);

              EXPECT_EQ(fmMapEdTools->Left() + fmMapEdTools->Width(), 800);
              fmMapEdTools->Show();
              ClickAt(fmMapEdTools->imgMapParts, 150, 150);  // chip 10
              ClickAt(fmMain->imgQvMap, at.X, at.Y);
              EXPECT_EQ(QvMap->GetChip(cell.X, cell.Y), 10);
              EXPECT_EQ(TClickCountingHost::clicks, 0) << "the map model heard the click";
              EXPECT_EQ((TPoint{QvMapGraph->OriginX(), QvMapGraph->OriginY()}), origin) << "the view was centred";

              // A drag: the move reaches the editor, which paints with the left button held, and the
              // map view redraws once for it.
              const TPoint next = pointOf({cell.X + 1, cell.Y});
              InjectMouse(TInputEvent::MouseDown, fmMain->imgQvMap->ClientToScreen(at), 0);
              App().ProcessMessages();
              const int before = fmMain->imgQvMap->PaintCount();
              InjectMouse(TInputEvent::MouseMove, fmMain->imgQvMap->ClientToScreen(next), 0);
              App().ProcessMessages();
              EXPECT_EQ(SjisToUtf8(fmMapEdTools->lbMapXY->Caption()),
                        "(X,Y)=(" + std::to_string(cell.X + 1) + "," + std::to_string(cell.Y) + ")");
              EXPECT_EQ(QvMap->GetChip(cell.X + 1, cell.Y), 10);
              EXPECT_EQ(fmMain->imgQvMap->PaintCount(), before + 1);
              InjectMouse(TInputEvent::MouseUp, fmMain->imgQvMap->ClientToScreen(next), 0);
              App().ProcessMessages();
              EXPECT_EQ(TClickCountingHost::clicks, 0);

              // Hidden again, the game takes its clicks back.
              fmMapEdTools->Hide();
              ClickAt(fmMain->imgQvMap, at.X, at.Y);
              EXPECT_EQ(TClickCountingHost::clicks, 1);
              EXPECT_NE((TPoint{QvMapGraph->OriginX(), QvMapGraph->OriginY()}), origin) << "centred on the capital";
              fmMain->Close();
            })
      .Box("確認", "ゲームを終了します。");
  EXPECT_EQ(run.Run(script), 0);
  EXPECT_TRUE(script.Done());
  SetScreensHostMaker(nullptr);
}

TEST_F(MapEditor, GoldenPictureOfTheWholeWindow) {
  if (!test::IsGoldenArchive()) GTEST_SKIP() << "the build's picture archive is not the golden pictures' one";
  Choose(22);
  App().PaintAndPresent();
  EXPECT_TRUE(test::MatchesGolden(ed->Store(), "screens", "map_editor"));
  ed->pgctrMapEd->SetActivePage(ed->pgctrMapEd->Pages(1));
  ed->lboxPlanet->SetItemIndex(60);
  App().PaintAndPresent();
  EXPECT_TRUE(test::MatchesGolden(ed->Store(), "screens", "map_editor_planets"));
}

}  // namespace
}  // namespace vdmq
