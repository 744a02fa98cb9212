// The screens' drawn backgrounds against their forms. The picture generator lays out each
// background by a panel table whose wells, plates, frames and lines name the controls they stand
// behind; here every form is built as the game builds it (the resident windows by the entry, the
// others as their screens open them) and each named control must stand where its place was drawn,
// so that a control moved in the form, or a place moved in the table, alone fails.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "battle/F_btmain.h"
#include "campaign/FileKinds.h"
#include "platform/core/Form.h"
#include "platform/core/StdCtrls.h"
#include "platform/headless/TestKit.h"
#include "screens/F_build.h"
#include "screens/F_cm_sel.h"
#include "screens/F_dentak.h"
#include "screens/F_dock.h"
#include "screens/F_evmes.h"
#include "screens/F_fleet.h"
#include "screens/F_flsel.h"
#include "screens/F_parts.h"
#include "screens/F_pl_sel.h"
#include "screens/F_planet.h"
#include "screens/F_save.h"
#include "screens/F_sysmes.h"
#include "screens/F_system.h"
#include "screens/F_tec.h"
#include "screens/Main.h"
#include "screens/f_cmd_if.h"
#include "support/GameFolder.h"
#include "tools/ArtTable.h"
#include "tools/ScreenArt.h"

namespace vdmq {
namespace {

// A form built for the check and freed after it, or a resident window of the game, kept.
class TBuiltForm {
 public:
  TBuiltForm() = default;
  TBuiltForm(const TBuiltForm&) = delete;
  TBuiltForm& operator=(const TBuiltForm&) = delete;
  ~TBuiltForm() {
    if (owned_) delete form_;
  }
  template <class F>
  void Make() {
    F* f = nullptr;
    App().CreateForm(f);
    form_ = f;
    owned_ = true;
  }
  void Use(TForm* resident) { form_ = resident; }
  TForm* Form() const { return form_; }

 private:
  TForm* form_ = nullptr;
  bool owned_ = false;
};

// Where a background is shown: the form, the image control its picture is drawn on, and whether
// the picture stands at that control's right end (else at its top left).
struct TShownAt {
  int kind, number;  // the picture's file kind and number (-1: none)
  std::function<void(TBuiltForm&)> build;
  const char* surface;
  bool atRight = false;
  // Places of the table that are not controls: text the form draws on the picture itself.
  std::set<std::string> drawnText = {};
};

template <class F>
std::function<void(TBuiltForm&)> Made() {
  return [](TBuiltForm& b) { b.Make<F>(); };
}
template <class F>
std::function<void(TBuiltForm&)> Resident(F*& form) {
  return [&form](TBuiltForm& b) { b.Use(form); };
}

const std::vector<TShownAt>& Backgrounds() {
  static const std::vector<TShownAt> all = {
      {kFileKindDesignerBackground, -1, Made<TfmBuild>(), "imgBG"},
      {kFileKindEventBackground, -1, Resident(fmEventMes), "imgBg"},
      {kFileKindEventPicture, 0, Resident(fmEventMes), "imgText", false, {"line0", "line1", "line2", "line3"}},
      {kFileKindCommanderSelectorBackground, -1, Made<TfmCmdSel>(), "imgBG"},
      {kFileKindDockBackground, -1, Made<TfmDock>(), "imgBG"},
      {kFileKindPlanetSelectorBackground, -1, Made<TfmPlaSel>(), "imgBG"},
      {kFileKindFleetBackground, -1, Made<TfmFleet>(), "imgBG"},
      {kFileKindFleetSelectorBackground, -1, Resident(fmFleetSel), "imgBG"},
      {kFileKindSaveLoadBackground, -1, Made<TfmSave>(), "imgBG"},
      {kFileKindPartsSelectorBackground, -1, Made<TfmParts>(), "imgBG"},
      {kFileKindTechnologyBackground, -1, Made<TfmTec>(), "imgBG"},
      {kFileKindBattleBarBackground, -1, Resident(fmBtMain), "imgBg"},
      {kFileKindMessageBoxBackground, -1, Resident(fmSysMes), "imgBg"},
      {kFileKindInformationBackground, -1, Made<TfmInfo>(), "imgBG"},
      {kFileKindKeypadBackground, -1, Made<TfmDentaku>(), "imgBG"},
      {kFileKindPlanetBackground, -1, Made<TfmPlanet>(), "imgBG"},
      {kFileKindSystemMenuBackground, -1, Made<TfmSys>(), "imgBg"},
      {kFileKindMainBarLeft, -1, Resident(fmMain), "imgBG"},
      {kFileKindMainBarRight, -1, Resident(fmMain), "imgBG", true},
  };
  return all;
}

// A control's rectangle in its form's client area.
TRect InForm(const TControl& c) {
  int x = 0, y = 0;
  for (const TControl* p = &c; p != nullptr && dynamic_cast<const TForm*>(p) == nullptr; p = p->Parent()) {
    x += p->Left();
    y += p->Top();
  }
  return Bounds(x, y, c.Width(), c.Height());
}

std::string Place(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }
std::string Size(int w, int h) { return std::to_string(w) + "x" + std::to_string(h); }

class ScreenArtLayout : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallBattleWindow();
    game_ = std::make_unique<TGameSession>();
    ASSERT_FALSE(game_->StartFailed());
  }
  void TearDown() override {
    game_.reset();
    SetScreensHostMaker(nullptr);
    SetBattleWindowCreator(nullptr);
  }
  test::TGameFolder folder_;
  THeadlessSession session_;
  std::unique_ptr<TGameSession> game_;
};

// Each place of a table holds the control of its name at its top left; a button or a picture also
// fills it exactly. A label is held by its top left alone: its size is its text's (or reaches to
// the list's scroll buttons), while the table gives the room its panel leaves for the text.
TEST_F(ScreenArtLayout, EveryDrawnPlaceHoldsItsControl) {
  std::set<int> checkedKinds;
  for (const TShownAt& at : Backgrounds()) {
    const sample::TArtEntry* entry = sample::FindArtEntry(at.kind, at.number);
    ASSERT_NE(entry, nullptr) << "kind " << at.kind << ", number " << at.number;
    SCOPED_TRACE(entry->Name());
    checkedKinds.insert(entry->Kind);
    TBuiltForm built;
    at.build(built);
    ASSERT_NE(built.Form(), nullptr);
    const auto* surface = dynamic_cast<const TControl*>(built.Form()->FindComponent(at.surface));
    ASSERT_NE(surface, nullptr) << at.surface;
    // The picture lies on its control.
    EXPECT_LE(entry->Width, surface->Width());
    EXPECT_LE(entry->Height, surface->Height());
    const TRect origin = InForm(*surface);
    const int ox = origin.Left + (at.atRight ? surface->Width() - entry->Width : 0), oy = origin.Top;

    std::set<std::string> named;
    for (const sample::TPanel& panel : sample::ScreenPanels(entry->Kind)) {
      for (const sample::TControl& place : panel.Controls) {
        named.insert(place.Name);
        const auto* control = dynamic_cast<const TControl*>(built.Form()->FindComponent(place.Name));
        if (at.drawnText.count(place.Name) != 0) {
          EXPECT_EQ(control, nullptr) << place.Name << " is a control, not drawn text";
          continue;
        }
        if (control == nullptr) {
          ADD_FAILURE() << place.Name << " is no control of " << built.Form()->ClassName();
          continue;
        }
        const TRect r = InForm(*control);
        EXPECT_EQ(Place(place.X, place.Y), Place(r.Left - ox, r.Top - oy)) << place.Name;
        if (dynamic_cast<const TLabel*>(control) != nullptr) continue;
        EXPECT_EQ(Size(place.W, place.H), Size(control->Width(), control->Height())) << place.Name;
      }
    }
    for (const std::string& text : at.drawnText) EXPECT_EQ(named.count(text), 1u) << text;
  }
  // Every background with a panel table is checked here.
  for (const sample::TArtEntry& e : sample::ArtEntries()) {
    if (e.Render != sample::RenderScreen || sample::ScreenPanels(e.Kind).empty()) continue;
    EXPECT_EQ(checkedKinds.count(e.Kind), 1u) << e.Name() << " is shown by no form of the check";
  }
}

}  // namespace
}  // namespace vdmq
