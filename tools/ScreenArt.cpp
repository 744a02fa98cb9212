#include "tools/ScreenArt.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "campaign/FileKinds.h"
#include "platform/base/GameError.h"
#include "tools/ArtStyle.h"
#include "tools/Noise.h"

namespace vdmq::sample {

using raster::Rgb;
using raster::TCanvas;
using raster::TPoint;
using raster::TRgba;

namespace {

constexpr int kSs = 3;

// ---- Panel tables ---------------------------------------------------------------------------

constexpr int kButtonW = 86, kButtonH = 28;
constexpr int kWellPad = 3;

TPanel Well(const std::string& name, int x, int y, int w = kButtonW, int h = kButtonH) {
  return {TPanelKind::kWell, x - kWellPad, y - kWellPad, w + 2 * kWellPad, h + 2 * kWellPad, {{name, x, y, w, h}}};
}

// A recessed panel under numbered lines: name<first>.. at x, y0 + pitch * i, each w x h.
TPanel Lines(const std::string& prefix, int x, int y0, int pitch, int count, int w, int h = 12, int pad = 5,
             int first = 0) {
  TPanel p{TPanelKind::kInset, x - pad, y0 - pad, w + 2 * pad, pitch * (count - 1) + h + 2 * pad, {}, pitch};
  for (int i = 0; i < count; ++i) p.Controls.push_back({prefix + std::to_string(first + i), x, y0 + pitch * i, w, h});
  return p;
}

TPanel Inset(int x, int y, int w, int h, std::vector<TControl> controls) {
  return {TPanelKind::kInset, x, y, w, h, std::move(controls)};
}

TPanel Header(int x, int y, int w, int h, std::vector<TControl> controls) {
  return {TPanelKind::kHeader, x - 2, y - 2, w + 4, h + 4, std::move(controls)};
}

TPanel Frame(const std::string& name, int x, int y, int w, int h) {
  return {TPanelKind::kFrame, x, y, w, h, {{name, x, y, w, h}}};
}

// Four scroll buttons in a column (28 x 28 each) at x, the given tops.
TPanel ScrollColumn(int x, int y0, int y1, std::vector<int> tops) {
  TPanel p{TPanelKind::kWell, x - kWellPad, y0 - kWellPad, 28 + 2 * kWellPad, y1 - y0 + 2 * kWellPad, {}};
  const char* names[4] = {"btnPageUp", "btnUp", "btnDown", "btnPageDown"};
  for (size_t i = 0; i < tops.size() && i < 4; ++i) p.Controls.push_back({names[i], x, tops[i], 28, 28});
  return p;
}

// Column buttons of a list (height 20) side by side from x at y, widths as given.
TPanel Columns(int x, int y, const std::vector<std::pair<std::string, int>>& buttons) {
  std::vector<TControl> controls;
  int at = x;
  for (const auto& [name, w] : buttons) {
    controls.push_back({name, at, y, w, 20});
    at += w;
  }
  return Header(x, y, at - x, 20, controls);
}

std::map<int, std::vector<TPanel>> BuildTables() {
  std::map<int, std::vector<TPanel>> t;
  // Ship designer.
  t[kFileKindDesignerBackground] = {
      Inset(6, 4, 292, 290,
            {{"lbFrame", 32, 52, 240, 12},
             {"Label1", 32, 64, 120, 12},
             {"Label2", 32, 77, 120, 12},
             {"Label3", 160, 64, 120, 12},
             {"Label4", 160, 77, 120, 12}}),
      Well("btnFrame", 13, 8, 156, 40),
      Well("btnDelFrame", 176, 8),
      Frame("imgFrame", 18, 120, 256, 160),
      // The totals: two lines, the second total standing at the first line's end.
      {TPanelKind::kInset, 27, 299, 260, 35, {{"Label23", 32, 304, 250, 12}, {"Label25", 32, 317, 250, 12}}, 13},
      Inset(306, 4, 288, 104,
            {{"lbMainWeapon", 332, 53, 240, 12}, {"Label5", 332, 64, 100, 12}, {"Label8", 444, 64, 100, 12}}),
      Inset(306, 112, 288, 104,
            {{"lbSubWeapon", 332, 160, 240, 12}, {"Label11", 332, 172, 100, 12}, {"Label14", 444, 172, 100, 12}}),
      Inset(306, 220, 288, 104,
            {{"lbShield", 332, 268, 240, 12}, {"Label17", 332, 280, 100, 12}, {"Label19", 448, 280, 100, 12}}),
      Inset(306, 328, 288, 104,
            {{"lbEngine", 332, 376, 240, 12}, {"Label21", 332, 388, 100, 12}, {"Label22", 332, 400, 100, 12}}),
      Well("btnMainWeapon", 312, 8, 156, 40),
      Well("btnDelMainWeapon", 476, 8),
      Well("btnSubWeapon", 312, 116, 156, 40),
      Well("btnDelSubWeapon", 476, 116),
      Well("btnShield", 312, 224, 156, 40),
      Well("btnDelShield", 476, 224),
      Well("btnEngine", 312, 332, 156, 40),
      Well("btnDelEngine", 476, 332),
      Well("btnOk", 422, 468),
      Well("btnClose", 508, 468)};
  // Event window: its drag strip, the two portraits, the name plates, the page's frame.
  t[kFileKindEventBackground] = {{TPanelKind::kDrag, 0, 0, 512, 12, {}},
                                 Frame("imgLeft", 24, 35, 216, 216),
                                 Frame("imgRight", 268, 34, 216, 216),
                                 Inset(22, 258, 192, 22, {{"lbLName", 27, 262, 181, 14}}),
                                 Inset(265, 258, 192, 22, {{"lbRName", 270, 262, 181, 14}}),
                                 Frame("imgText", 23, 288, 464, 100)};
  // The event page: four lines and the arrow.
  t[kFileKindEventPicture] = {Lines("line", 48, 12, 18, 4, 320, 16, 6),
                              {TPanelKind::kInset, 390, 58, 68, 38, {{"imgNext", 394, 62, 60, 30}}}};
  // Commander selector.
  t[kFileKindCommanderSelectorBackground] = {Frame("imgCmd", 20, 52, 138, 138),
                                             Columns(180, 32,
                                                     {{"btnName", 162},
                                                      {"btnFleet", 30},
                                                      {"btnLev", 30},
                                                      {"btnAtk", 30},
                                                      {"btnDef", 30},
                                                      {"btnJudge", 30},
                                                      {"btnMind", 30},
                                                      {"btnFatigue", 30}}),
                                             Lines("lbCmdName", 180, 60, 12, 10, 370),
                                             ScrollColumn(552, 60, 180, {60, 88, 124, 152}),
                                             Well("btnCmdInfo", 348, 216),
                                             Well("btnOk", 434, 216),
                                             Well("btnBack", 520, 216)};
  // Dock screen.
  t[kFileKindDockBackground] = {Columns(136, 32, {{"btnPla", 126}, {"btnAbt", 30}, {"btnState", 162}}),
                                Lines("lbList", 136, 60, 12, 10, 318),
                                ScrollColumn(460, 60, 179, {60, 88, 123, 151}),
                                Well("btnZousen", 24, 52),
                                Well("btnStop", 24, 88),
                                Well("btnInfo", 24, 124),
                                Well("btnOk", 362, 208),
                                Well("btnClose", 448, 208)};
  // Planet selector.
  t[kFileKindPlanetSelectorBackground] = {Columns(48, 28,
                                                  {{"btnName", 126},
                                                   {"btnBelong", 126},
                                                   {"btnCapital", 30},
                                                   {"btnFund", 54},
                                                   {"btnHokyuu", 30},
                                                   {"btnStayFleet", 30}}),
                                          Lines("lbCmdName", 48, 56, 12, 10, 396),
                                          ScrollColumn(452, 56, 176, {56, 84, 120, 148}), Well("btnOk", 362, 204),
                                          Well("btnClose", 448, 204)};
  // Fleet screen.
  t[kFileKindFleetBackground] = {
      Inset(28, 26, 296, 42,
            {{"lbCoName", 36, 32, 130, 12}, {"lbFlName", 176, 32, 140, 12}, {"lbCmdName", 88, 52, 230, 12}}),
      Lines("lbProfile", 332, 26, 14, 5, 176, 12, 5, 6),
      Well("btnCmdChg", 60, 72),
      Well("btnCmdFree", 146, 72),
      Well("btnCmdInfo", 232, 72),
      Well("spbtnFo0", 52, 116, 160, 48),
      Well("spbtnFo1", 52, 164, 160, 48),
      Well("spbtnFo2", 52, 212, 160, 48),
      Inset(40, 270, 210, 122,
            {{"lbFo0ShipName", 48, 276, 170, 12},
             {"lbFo0ShipCnt", 150, 296, 96, 12},
             {"lbFo1ShipName", 48, 316, 170, 12},
             {"lbFo1ShipCnt", 150, 336, 96, 12},
             {"lbFo2ShipName", 48, 356, 170, 12},
             {"lbFo2ShipCnt", 150, 376, 96, 12}}),
      Frame("imgShip", 240, 168, 256, 160),
      Well("btnSetShip", 232, 336),
      Well("btnDelShip", 318, 336),
      Well("btnInfoShip", 404, 336),
      Well("btnMove", 340, 407),
      Well("btnClose", 426, 407)};
  // Fleet selector.
  {
    TPanel fleets{TPanelKind::kWell, 28, 141, 98, 292, {}};
    for (int i = 0; i < 10; ++i) fleets.Controls.push_back({"btnFl" + std::to_string(i), 34, 147 + 28 * i, 86, 28});
    t[kFileKindFleetSelectorBackground] = {
        Inset(10, 14, 134, 72, {{"lbBelong", 16, 36, 120, 12}, {"lbPlanet", 20, 68, 120, 12}}),
        Well("btnPla", 34, 90),
        {TPanelKind::kCaption, 10, 124, 134, 18, {{"Label2", 16, 128, 100, 12}}},
        fleets,
        Well("btnClose", 34, 436)};
  }
  // Save/load screen.
  t[kFileKindSaveLoadBackground] = {Lines("lbDat", 24, 32, 20, 15, 318, 12, 8), Well("btnNewGame", 100, 364),
                                    Well("btnOk", 186, 364), Well("btnBack", 272, 364)};
  // Parts selector.
  t[kFileKindPartsSelectorBackground] = {
      Lines("lbList", 24, 20, 16, 10, 160, 12, 6),
      ScrollColumn(188, 20, 176, {20, 48, 120, 148}),
      {TPanelKind::kCaption, 238, 48, 214, 18, {{"lbTxtPartsDat", 244, 52, 200, 12}}},
      Inset(238, 66, 214, 60,
            {{"lbNote0", 244, 68, 200, 12},
             {"lbNote3", 244, 84, 200, 12},
             {"lbNote4", 244, 100, 200, 12},
             {"lbNote5", 244, 112, 200, 12}}),
      {TPanelKind::kCaption, 238, 136, 214, 18, {{"lbTxtPartsDat2", 244, 140, 200, 12}}},
      Inset(238, 154, 214, 130,
            {{"lbNote6", 244, 156, 200, 12},
             {"lbNote7", 244, 172, 200, 12},
             {"lbNote8", 244, 188, 200, 12},
             {"lbNote13", 244, 268, 200, 12}}),
      Well("btnOk", 282, 304),
      Well("btnBack", 368, 304)};
  // Technology screen.
  {
    TPanel techs{TPanelKind::kWell, 12, 12, 94, 148, {}};
    for (int i = 0; i < 5; ++i) techs.Controls.push_back({"spbtnTec" + std::to_string(i), 16, 16 + 28 * i, 86, 28});
    t[kFileKindTechnologyBackground] = {techs,
                                        {TPanelKind::kCaption, 140, 36, 252, 18, {{"lbTxtTecInfo", 148, 40, 200, 12}}},
                                        Lines("lbNote", 140, 64, 16, 5, 246, 12, 5),
                                        Well("CHBcBitBtn1", 216, 184),
                                        Well("btnClose", 302, 184)};
  }
  // Battle window's control strip.
  {
    TPanel units{TPanelKind::kWell, 4, 12, 266, 64, {}};
    const int ux[3] = {8, 94, 180};
    for (int i = 0; i < 5; ++i)
      units.Controls.push_back({"spbtnFl" + std::to_string(i), ux[i % 3], i < 3 ? 16 : 44, 86, 28});
    units.Controls.push_back({"btnShipInfo", 180, 44, 86, 28});
    t[kFileKindBattleBarBackground] = {units,
                                       Frame("imgCmd", 281, 9, 69, 69),
                                       Lines("lbMes0", 352, 8, 12, 6, 168, 12, 4),
                                       Frame("imgBtQvZenMap", 575, 12, 100, 100),
                                       Well("spbtnFirst", 696, 12),
                                       Well("spbtnPause", 696, 40),
                                       Well("btnTettai", 696, 84)};
  }
  // Message box.
  t[kFileKindMessageBoxBackground] = {{TPanelKind::kDrag, 0, 0, 448, 32, {{"lbTitle", 12, 8, 200, 14}}},
                                      Frame("imgCmd", 14, 36, 138, 138),
                                      Inset(156, 41, 272, 86,
                                            {{"lbLine0", 156, 45, 271, 14},
                                             {"lbLine1", 156, 61, 271, 14},
                                             {"lbLine2", 156, 77, 271, 14},
                                             {"lbLine3", 156, 93, 271, 14},
                                             {"Label1", 156, 109, 271, 14}}),
                                      Well("btnOk", 252, 160),
                                      Well("btnCancel", 344, 160)};
  t[kFileKindMessageBoxBackground][2].RulePitch = 16;
  // Information screen.
  t[kFileKindInformationBackground] = {Frame("imgCmd", 28, 16, 216, 216),
                                       {TPanelKind::kCaption, 248, 14, 284, 24, {{"lbName", 252, 20, 270, 14}}},
                                       Lines("lbProfile", 252, 52, 16, 5, 276, 12, 4),
                                       Lines("lbProfile", 256, 136, 16, 6, 272, 12, 4, 5),
                                       Well("btnBack", 447, 245)};
  // Numeric keypad.
  {
    TPanel keys{TPanelKind::kWell, 8, 32, 100, 128, {}};
    const char* digits[10] = {"btnDentaku0", "btnDentaku1", "btnDentaku2", "btnDentaku3", "btnDentaku4",
                              "btnDentaku5", "btnDentaku6", "btnDentaku7", "btnDentaku8", "btnDentaku9"};
    for (int d = 1; d <= 9; ++d)
      keys.Controls.push_back({digits[d], 12 + 32 * ((d - 1) % 3), 100 - 32 * ((d - 1) / 3), 28, 28});
    keys.Controls.push_back({digits[0], 12, 132, 28, 28});
    keys.Controls.push_back({"btnDentakuCE", 44, 132, 28, 28});
    keys.Controls.push_back({"btnDentakuMAX", 76, 132, 28, 28});
    t[kFileKindKeypadBackground] = {
        Inset(8, 8, 100, 22, {{"lbDentaku", 60, 16, 44, 12}}),
        Inset(122, 10, 168, 56,
              {{"lbCoFund", 228, 16, 56, 12}, {"lbBuyFund", 228, 32, 56, 12}, {"lbSellFund", 228, 48, 56, 12}}),
        Inset(122, 94, 168, 22, {{"lbTotalFund", 228, 100, 56, 12}}),
        keys,
        Well("btnOk", 118, 132),
        Well("btnBack", 204, 132)};
  }
  // Planet screen.
  {
    TPanel slots{TPanelKind::kWell, 236, 92, 168, 248, {}};
    for (int i = 0; i < 5; ++i) slots.Controls.push_back({"spbtnSt" + std::to_string(i), 240, 96 + 48 * i, 160, 48});
    t[kFileKindPlanetBackground] = {Inset(18, 8, 300, 58,
                                          {{"lbPlaName", 24, 12, 280, 12},
                                           {"lbCoName", 24, 32, 180, 12},
                                           {"lbFund", 212, 32, 100, 12},
                                           {"lbHokyuu", 212, 48, 100, 12}}),
                                    Well("btnInfo", 108, 48),
                                    slots,
                                    Inset(404, 102, 190, 226,
                                          {{"lbSt0ShipName", 408, 108, 180, 12},
                                           {"lbSt0ShipCnt", 508, 128, 86, 12},
                                           {"lbSt2ShipName", 408, 200, 180, 12},
                                           {"lbSt4ShipCnt", 508, 312, 86, 12}}),
                                    Well("btnSetShip", 308, 340),
                                    Well("btnDelShip", 394, 340),
                                    Well("btnInfoShip", 480, 340),
                                    Well("btnClose", 480, 384)};
    t[kFileKindPlanetBackground][4].RulePitch = 48;
  }
  // System menu: light plates under the black option labels.
  t[kFileKindSystemMenuBackground] = {{TPanelKind::kPlate, 130, 15, 112, 22, {{"lbBgm", 135, 21, 100, 12}}},
                                      {TPanelKind::kPlate, 130, 43, 112, 22, {{"lbPcm", 135, 49, 100, 12}}},
                                      {TPanelKind::kPlate, 130, 71, 112, 22, {{"lbTurnMes", 135, 77, 100, 12}}},
                                      Well("spbtnBgmOn", 248, 14, 43, 28),
                                      Well("spbtnBgmOff", 291, 14, 43, 28),
                                      Well("spbtnPcmOn", 248, 43, 43, 28),
                                      Well("spbtnPcmOff", 291, 43, 43, 28),
                                      Well("spbtnTurnMesOn", 248, 72, 43, 28),
                                      Well("spbtnTurnMesOff", 291, 72, 43, 28),
                                      Well("btnSave", 50, 124),
                                      Well("btnLoad", 136, 124),
                                      Well("btnGameEnd", 222, 124),
                                      Well("btnClose", 308, 124)};
  // The command bar: its right piece holds the minimap, its left piece the captions and buttons.
  t[kFileKindMainBarRight] = {Frame("imgZenQvMap", 28, 7, 216, 107)};
  t[kFileKindMainBarLeft] = {
      {TPanelKind::kCaption, 8, 6, 532, 26, {{"lbYear", 16, 12, 160, 14}, {"lbFund", 200, 12, 160, 14}}},
      Well("btnDock", 12, 36),
      Well("btnTec", 98, 36),
      Well("btnFleet", 184, 36, 87, 28),
      Well("btnPlanet", 271, 36),
      Well("btnSave", 357, 36),
      Well("btnNextTurn", 443, 36),
      Well("btnHelp", 12, 64)};
  return t;
}

}  // namespace

const std::vector<TPanel>& ScreenPanels(int kind) {
  static const std::map<int, std::vector<TPanel>> tables = BuildTables();
  static const std::vector<TPanel> none;
  const auto it = tables.find(kind);
  return it == tables.end() ? none : it->second;
}

namespace {

// ---- Drawing --------------------------------------------------------------------------------

const TRgba kBodyTop = Rgb(44, 60, 96), kBodyBottom = Rgb(14, 20, 40);
const TRgba kInsetTop = Rgb(5, 8, 18), kInsetBottom = Rgb(10, 16, 32);
const TRgba kBevelDark = Rgb(3, 4, 10), kBevelLight = Rgb(98, 114, 142);
const TRgba kRaisedLight = Rgb(170, 186, 210), kRaisedDark = Rgb(14, 18, 30);

float Rx(int v) { return static_cast<float>(v); }

// The window's body: a steel-navy plate, brushed along its rows, with a fine diagonal hatching, a
// steel edge and corner brackets.
void Body(TCanvas& c) {
  const float w = static_cast<float>(c.Width()), h = static_cast<float>(c.Height());
  // The brushed rows: one colour per sample row.
  std::vector<TRgba> rows(static_cast<size_t>(c.SampleHeight()));
  for (int sy = 0; sy < c.SampleHeight(); ++sy) {
    const float y = (static_cast<float>(sy) + 0.5f) / static_cast<float>(c.Supersample());
    rows[static_cast<size_t>(sy)] = raster::Shade(raster::Mix(kBodyTop, kBodyBottom, std::sqrt(y / h)),
                                                  0.94f + 0.12f * raster::ValueNoise(0.5f, y * 0.35f, 77));
  }
  c.ForEachSample(0, 0, w, h, [&](float x, float y, TRgba& s) {
    const TRgba& row = rows[static_cast<size_t>(y * static_cast<float>(c.Supersample()))];
    const int hatch = (static_cast<int>(std::floor(x)) + static_cast<int>(std::floor(y))) % 4;
    s = hatch == 0 ? raster::Shade(row, 1.07f) : row;
  });
  c.Bevel(0, 0, w, h, 2, kRaisedLight, kRaisedDark);
  c.FillRect(2, 2, w - 2, 3, raster::Solid(raster::WithAlpha(art::kAccent, 0.35f)));
  if (c.Width() < 120 || c.Height() < 60) return;
  // Steel brackets in the corners, each with a rivet.
  for (const float sx : {0.0f, 1.0f}) {
    for (const float sy : {0.0f, 1.0f}) {
      const float x0 = sx == 0.0f ? 3.0f : w - 3.0f, y0 = sy == 0.0f ? 3.0f : h - 3.0f;
      const float dx = sx == 0.0f ? 1.0f : -1.0f, dy = sy == 0.0f ? 1.0f : -1.0f;
      const std::vector<TPoint> bracket = {{x0, y0},
                                           {x0 + dx * 18, y0},
                                           {x0 + dx * 14, y0 + dy * 4},
                                           {x0 + dx * 4, y0 + dy * 4},
                                           {x0 + dx * 4, y0 + dy * 14},
                                           {x0, y0 + dy * 18}};
      c.FillPolygon(
          bracket, raster::LinearGradient({x0, y0}, Rgb(150, 164, 190), {x0 + dx * 18, y0 + dy * 18}, Rgb(60, 70, 94)));
      c.FillEllipse({x0 + dx * 2.5f, y0 + dy * 2.5f}, 1.3f, 1.3f, raster::Solid(Rgb(220, 230, 244)));
    }
  }
}

void InsetPanel(TCanvas& c, const TPanel& p) {
  const float x0 = Rx(p.X), y0 = Rx(p.Y), x1 = Rx(p.X + p.W), y1 = Rx(p.Y + p.H);
  c.FillRect(x0, y0, x1, y1, raster::LinearGradient({x0, y0}, kInsetTop, {x0, y1}, kInsetBottom));
  if (p.RulePitch > 0 && !p.Controls.empty()) {
    // A faint rule between lines.
    for (size_t i = 1; i < p.Controls.size(); ++i) {
      const float y = Rx(p.Controls[i].Y) - std::max(1.0f, (Rx(p.RulePitch) - Rx(p.Controls[i].H)) / 2.0f);
      c.FillRect(x0 + 4, y, x1 - 4, y + 1, raster::Solid(Rgb(26, 38, 64)));
    }
  }
  c.FillRect(x0 + 2, y0 + 2, x0 + 4, y1 - 2, raster::Solid(raster::WithAlpha(art::kAccent, 0.3f)));
  c.Bevel(x0, y0, x1, y1, 2, kBevelDark, kBevelLight);
  c.Bevel(x0 - 1, y0 - 1, x1 + 1, y1 + 1, 1, Rgb(10, 14, 26, 0.8f), Rgb(130, 146, 176, 0.7f));
}

void HeaderStrip(TCanvas& c, const TPanel& p) {
  const float x0 = Rx(p.X), y0 = Rx(p.Y), x1 = Rx(p.X + p.W), y1 = Rx(p.Y + p.H);
  c.FillRect(x0, y0, x1, y1, raster::LinearGradient({x0, y0}, Rgb(74, 90, 120), {x0, y1}, Rgb(34, 42, 62)));
  c.Bevel(x0, y0, x1, y1, 1.5f, kRaisedLight, kRaisedDark);
  for (size_t i = 1; i < p.Controls.size(); ++i) {
    const float x = Rx(p.Controls[i].X);
    c.FillRect(x - 1, y0 + 2, x, y1 - 2, raster::Solid(kRaisedDark));
    c.FillRect(x, y0 + 2, x + 1, y1 - 2, raster::Solid(Rgb(110, 126, 154)));
  }
}

void WellPanel(TCanvas& c, const TPanel& p) {
  const float x0 = Rx(p.X), y0 = Rx(p.Y), x1 = Rx(p.X + p.W), y1 = Rx(p.Y + p.H);
  c.FillPolygon(raster::RoundedRectPath(x0 - 1, y0 - 1, x1 + 1, y1 + 1, 5), raster::Solid(Rgb(84, 98, 124)));
  c.FillPolygon(raster::RoundedRectPath(x0, y0, x1, y1, 4),
                raster::LinearGradient({x0, y0}, Rgb(2, 3, 8), {x0, y1}, Rgb(14, 20, 36)));
  for (const TControl& k : p.Controls) {
    // Each button's seat: a slightly lighter bed with a shadow along its top.
    const float bx0 = Rx(k.X) - 1, by0 = Rx(k.Y) - 1, bx1 = Rx(k.X + k.W) + 1, by1 = Rx(k.Y + k.H) + 1;
    c.FillPolygon(raster::RoundedRectPath(bx0, by0, bx1, by1, 3), raster::Solid(Rgb(18, 26, 46)));
    c.FillRect(bx0 + 2, by0, bx1 - 2, by0 + 1.5f, raster::Solid(Rgb(0, 0, 4, 0.8f)));
  }
}

void DragStrip(TCanvas& c, const TPanel& p) {
  const float x0 = Rx(p.X), y0 = Rx(p.Y), x1 = Rx(p.X + p.W), y1 = Rx(p.Y + p.H);
  c.FillRect(x0, y0, x1, y1, raster::LinearGradient({x0, y0}, Rgb(58, 78, 124), {x0, y1}, Rgb(24, 34, 62)));
  c.FillRect(x0, y1 - 1.5f, x1, y1, raster::Solid(raster::WithAlpha(art::kAccent, 0.8f)));
  c.Bevel(x0, y0, x1, y1 - 1.5f, 1, kRaisedLight, kRaisedDark);
  // A grip of ridges at the right end.
  const float gh = std::max(3.0f, (y1 - y0) - 8.0f);
  for (int i = 0; i < 6; ++i) {
    const float x = x1 - 14.0f - i * 4.0f, ym = (y0 + y1) / 2.0f;
    c.FillRect(x, ym - gh / 2, x + 1, ym + gh / 2, raster::Solid(kRaisedLight));
    c.FillRect(x + 1, ym - gh / 2, x + 2, ym + gh / 2, raster::Solid(kRaisedDark));
  }
}

void FramePanel(TCanvas& c, const TPanel& p) {
  const float x0 = Rx(p.X), y0 = Rx(p.Y), x1 = Rx(p.X + p.W), y1 = Rx(p.Y + p.H);
  const float b = 5.0f;
  c.FillRect(x0 - b, y0 - b, x1 + b, y1 + b,
             raster::LinearGradient({x0, y0 - b}, Rgb(132, 148, 176), {x0, y1 + b}, Rgb(48, 58, 80)));
  c.Bevel(x0 - b, y0 - b, x1 + b, y1 + b, 1.5f, kRaisedLight, kRaisedDark);
  c.Bevel(x0 - 2, y0 - 2, x1 + 2, y1 + 2, 2, kBevelDark, Rgb(150, 166, 190));
  c.FillRect(x0, y0, x1, y1, raster::LinearGradient({x0, y0}, Rgb(4, 6, 14), {x1, y1}, Rgb(14, 20, 38)));
  for (const float x : {x0 - b + 2.5f, x1 + b - 2.5f}) {
    for (const float y : {y0 - b + 2.5f, y1 + b - 2.5f})
      c.FillEllipse({x, y}, 1.3f, 1.3f, raster::Solid(Rgb(200, 214, 232)));
  }
}

void PlatePanel(TCanvas& c, const TPanel& p) {
  const float x0 = Rx(p.X), y0 = Rx(p.Y), x1 = Rx(p.X + p.W), y1 = Rx(p.Y + p.H);
  c.FillPolygon(raster::RoundedRectPath(x0, y0, x1, y1, 3),
                raster::LinearGradient({x0, y0}, Rgb(214, 222, 234), {x0, y1}, Rgb(168, 178, 196)));
  c.StrokePath(raster::RoundedRectPath(x0 + 0.5f, y0 + 0.5f, x1 - 0.5f, y1 - 0.5f, 3), true, 1.0f,
               raster::Solid(Rgb(60, 70, 92)));
  c.FillRect(x0 + 3, y0 + 1.5f, x1 - 3, y0 + 2.5f, raster::Solid(Rgb(250, 252, 255, 0.8f)));
}

void CaptionPanel(TCanvas& c, const TPanel& p) {
  const float x0 = Rx(p.X), y0 = Rx(p.Y), x1 = Rx(p.X + p.W), y1 = Rx(p.Y + p.H);
  c.FillPolygon(raster::RoundedRectPath(x0, y0, x1, y1, 4),
                raster::LinearGradient({x0, y0}, Rgb(4, 6, 14), {x0, y1}, Rgb(16, 24, 46)));
  c.StrokePath(raster::RoundedRectPath(x0 + 0.5f, y0 + 0.5f, x1 - 0.5f, y1 - 0.5f, 4), true, 1.0f,
               raster::Solid(Rgb(70, 86, 116)));
  c.FillRect(x0 + 6, y1 - 2.5f, x1 - 6, y1 - 1.5f, raster::Solid(raster::WithAlpha(art::kAccent, 0.45f)));
}

void DrawPanel(TCanvas& c, const TPanel& p) {
  switch (p.Kind) {
    case TPanelKind::kInset: InsetPanel(c, p); break;
    case TPanelKind::kHeader: HeaderStrip(c, p); break;
    case TPanelKind::kWell: WellPanel(c, p); break;
    case TPanelKind::kDrag: DragStrip(c, p); break;
    case TPanelKind::kFrame: FramePanel(c, p); break;
    case TPanelKind::kPlate: PlatePanel(c, p); break;
    case TPanelKind::kCaption: CaptionPanel(c, p); break;
  }
}

raster::TImage24 Screen(int width, int height, int kind) {
  TCanvas c(width, height, kSs);
  Body(c);
  for (const TPanel& p : ScreenPanels(kind)) DrawPanel(c, p);
  return c.Flatten();
}

// ---- The command bar ------------------------------------------------------------------------
// Its pieces meet seamlessly: everything that crosses a seam depends on the row only.

constexpr int kBarH = 120;

void BarBody(TCanvas& c) {
  c.ForEachSample(0, 0, static_cast<float>(c.Width()), kBarH, [](float, float y, TRgba& s) {
    TRgba col = raster::Mix(Rgb(36, 50, 84), Rgb(12, 18, 36), y / kBarH);
    if (static_cast<int>(std::floor(y)) % 4 == 3) col = raster::Shade(col, 0.9f);  // fine grooves
    if (y < 1.5f)
      col = Rgb(150, 168, 200);
    else if (y < 3.0f)
      col = raster::WithAlpha(raster::Mix(col, art::kAccent, 0.5f), 1.0f);
    if (y > kBarH - 3) col = Rgb(4, 6, 12);
    s = col;
  });
}

// The dark caption plate of rows 6..32, from x0 to x1, with rounded ends where asked.
void BarPlate(TCanvas& c, float x0, float x1, bool capLeft, bool capRight) {
  const float y0 = 6, y1 = 32;
  std::vector<TPoint> shape;
  const float r = 6;
  auto arc = [&](float cx, float cy, float from, float to) {
    for (int i = 0; i <= 8; ++i) {
      const float t = from + (to - from) * static_cast<float>(i) / 8.0f;
      shape.push_back({cx + r * std::cos(t), cy + r * std::sin(t)});
    }
  };
  constexpr float kPi = 3.14159265f;
  if (capLeft) {
    arc(x0 + r, y1 - r, kPi / 2, kPi);
    arc(x0 + r, y0 + r, kPi, 1.5f * kPi);
  } else {
    shape.push_back({x0, y1});
    shape.push_back({x0, y0});
  }
  if (capRight) {
    arc(x1 - r, y0 + r, 1.5f * kPi, 2 * kPi);
    arc(x1 - r, y1 - r, 0, kPi / 2);
  } else {
    shape.push_back({x1, y0});
    shape.push_back({x1, y1});
  }
  c.FillPolygon(shape, [](float, float y) {
    if (y < 7.0f) return Rgb(2, 3, 8);
    if (y > 31.0f) return Rgb(92, 108, 138);
    if (y > 29.0f && y < 30.0f) return raster::WithAlpha(raster::Mix(Rgb(8, 12, 26), art::kAccent, 0.4f), 1.0f);
    return raster::Mix(Rgb(4, 6, 14), Rgb(12, 18, 36), (y - 7.0f) / 24.0f);
  });
}

raster::TImage24 BarLeft() {
  TCanvas c(540, kBarH, kSs);
  BarBody(c);
  BarPlate(c, 8, 545, true, false);
  // The tray of the seven buttons.
  const TPanel tray{TPanelKind::kWell, 6, 33, 530, 62, {}};
  WellPanel(c, tray);
  for (const TPanel& p : ScreenPanels(kFileKindMainBarLeft)) {
    if (p.Kind == TPanelKind::kWell) WellPanel(c, p);
  }
  // A steel cheek at the bar's left end.
  c.FillRect(0, 0, 3, kBarH, raster::LinearGradient({0, 0}, Rgb(150, 168, 200), {3, 0}, Rgb(40, 50, 74)));
  return c.Flatten();
}

raster::TImage24 BarMiddle() {
  TCanvas c(792, kBarH, kSs);
  BarBody(c);
  BarPlate(c, -10, 802, false, false);
  return c.Flatten();
}

raster::TImage24 BarRight() {
  TCanvas c(252, kBarH, kSs);
  BarBody(c);
  BarPlate(c, -10, 20, false, true);
  for (const TPanel& p : ScreenPanels(kFileKindMainBarRight)) DrawPanel(c, p);
  c.FillRect(249, 0, 252, kBarH, raster::LinearGradient({249, 0}, Rgb(40, 50, 74), {252, 0}, Rgb(10, 14, 26)));
  return c.Flatten();
}

// ---- Single pictures ------------------------------------------------------------------------

// The minimap's base: a dark chart; only its corners outside the map's diamond show.
raster::TImage24 MinimapBase(int w, int h) {
  TCanvas c(w, h, 1);
  c.ForEachSample(0, 0, static_cast<float>(w), static_cast<float>(h), [&](float x, float y, TRgba& s) {
    const float dx = (x - w / 2.0f) / w, dy = (y - h / 2.0f) / h;
    TRgba col = raster::Mix(Rgb(16, 26, 50), Rgb(4, 6, 14), std::min(1.0f, std::sqrt(dx * dx + dy * dy) * 1.8f));
    const int ix = static_cast<int>(x), iy = static_cast<int>(y);
    if (ix % 12 == 0 || iy % 12 == 0) col = raster::Mix(col, art::kAccent, 0.12f);
    s = col;
  });
  c.Bevel(0, 0, static_cast<float>(w), static_cast<float>(h), 1, kBevelDark, kBevelLight);
  return c.Flatten();
}

// The event window's page: a dark panel for four lines of text, and the arrow's seat.
raster::TImage24 EventPage(int w, int h) {
  TCanvas c(w, h, kSs);
  c.Fill(raster::LinearGradient({0, 0}, Rgb(6, 10, 22), {0, static_cast<float>(h)}, Rgb(12, 18, 34)));
  c.FillRect(8, 10, 11, static_cast<float>(h) - 10, raster::Solid(raster::WithAlpha(art::kAccent, 0.55f)));
  for (int i = 1; i < 4; ++i) {
    const float y = 12.0f + 18.0f * i - 1.0f;
    c.FillRect(40, y, 380, y + 1, raster::LinearGradient({40, y}, Rgb(30, 44, 74), {380, y}, Rgb(8, 12, 24)));
  }
  c.Bevel(0, 0, static_cast<float>(w), static_cast<float>(h), 2, kBevelDark, kBevelLight);
  return c.Flatten();
}

// An empty portrait: a dark panel with a faint pattern of rings.
raster::TImage24 EmptyPortrait(int size, bool mirrored) {
  TCanvas c(size, size, kSs);
  const float s = static_cast<float>(size);
  const float cx = mirrored ? s * 0.6f : s * 0.4f, cy = s * 0.42f;
  c.ForEachSample(0, 0, s, s, [&](float x, float y, TRgba& p) {
    const float d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy)) / s;
    TRgba col = raster::Mix(Rgb(22, 32, 58), Rgb(4, 6, 14), std::min(1.0f, d * 1.5f));
    const float ring = std::fabs(std::fmod(d * 9.0f, 1.0f) - 0.5f);
    if (ring > 0.47f) col = raster::Mix(col, art::kAccent, 0.1f);
    if (static_cast<int>(std::floor(y)) % 3 == 0) col = raster::Shade(col, 0.9f);
    p = col;
  });
  // A faint head-and-shoulders silhouette.
  const float u = s / 216.0f;
  const TRgba shadow = Rgb(30, 44, 76, 0.5f);
  c.FillEllipse({s / 2, 92 * u}, 30 * u, 38 * u, raster::Solid(shadow));
  c.FillPolygon(raster::RoundedRectPath(s / 2 - 96 * u, 160 * u, s / 2 + 96 * u, s + 20 * u, 40 * u),
                raster::Solid(shadow));
  c.FillRect(s / 2 - 14 * u, 120 * u, s / 2 + 14 * u, 165 * u, raster::Solid(shadow));
  c.Bevel(0, 0, s, s, 1, kBevelDark, kBevelLight);
  return c.Flatten();
}

// A step 1..4 of the shutter closing over an empty portrait from the left (or mirrored from the right).
raster::TImage24 Shutter(int size, int step, bool fromRight) {
  raster::TImage24 under = EmptyPortrait(size, fromRight);
  TCanvas c(size, size, kSs);
  const float s = static_cast<float>(size);
  const float cover = s * static_cast<float>(step) / 4.0f;
  const float x0 = fromRight ? s - cover : 0, x1 = fromRight ? s : cover;
  c.FillRect(x0, 0, x1, s, [&](float x, float y) {
    const float groove = std::fmod(y, 18.0f);
    TRgba col = raster::Mix(Rgb(120, 134, 160), Rgb(52, 62, 86), groove / 18.0f);
    if (groove < 1.0f) col = Rgb(20, 26, 40);
    if (groove >= 1.0f && groove < 2.0f) col = Rgb(176, 190, 214);
    const float along = fromRight ? x - x0 : x1 - x;  // distance from the leading edge
    col = raster::Shade(col, 0.85f + 0.15f * std::min(1.0f, along / 40.0f));
    return col;
  });
  // The leading edge: a dark lip with a warning stripe.
  const float edge = fromRight ? x0 : x1;
  const float dir = fromRight ? 1.0f : -1.0f;
  if (step < 4) {
    c.FillRect(std::min(edge, edge + dir * 10), 0, std::max(edge, edge + dir * 10), s, [&](float, float y) {
      return (static_cast<int>(std::floor((y + 0.0f) / 8.0f)) % 2 == 0) ? Rgb(200, 160, 40) : Rgb(24, 24, 28);
    });
    c.FillRect(std::min(edge, edge + dir * 2), 0, std::max(edge, edge + dir * 2), s, raster::Solid(Rgb(10, 12, 18)));
  } else {
    c.FillRect(s / 2 - 1, 0, s / 2 + 1, s, raster::Solid(Rgb(10, 12, 18)));
  }
  raster::TImage24 out = under;
  const raster::TImage24 blades = c.Flatten();
  const TCanvas resolved = c.Resolve();
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const float a = resolved.Pixel(x, y).a;
      if (a <= 0.0f) continue;
      raster::TBgr& o = out.At(x, y);
      const raster::TBgr& b = blades.At(x, y);  // premultiplied over black
      auto mix = [a](std::uint8_t over, std::uint8_t under) {
        return raster::ToByte((static_cast<float>(over) + static_cast<float>(under) * (1.0f - a)) / 255.0f);
      };
      o = {mix(b.b, o.b), mix(b.g, o.g), mix(b.r, o.r)};
    }
  }
  return out;
}

// The planet screen's free area: a scanner's rings.
void Scanner(TCanvas& c, TPoint centre, float r) {
  for (int i = 1; i <= 4; ++i) {
    c.StrokePath(raster::EllipsePath(centre, r * i / 4.0f, r * i / 4.0f), true, 1.0f,
                 raster::Solid(raster::WithAlpha(art::kAccent, 0.22f)));
  }
  c.StrokeLine({centre.x - r, centre.y}, {centre.x + r, centre.y}, 0.8f,
               raster::Solid(raster::WithAlpha(art::kAccent, 0.2f)));
  c.StrokeLine({centre.x, centre.y - r}, {centre.x, centre.y + r}, 0.8f,
               raster::Solid(raster::WithAlpha(art::kAccent, 0.2f)));
  c.FillPolygon({centre, {centre.x + r * 0.95f, centre.y - r * 0.3f}, {centre.x + r * 0.98f, centre.y}},
                raster::Solid(raster::WithAlpha(art::kAccent, 0.18f)));
}

// The arrow's fourteen frames: the page's patch under the arrow with a pulsing downward chevron.
raster::TImage24 NextArrow(const raster::TImage24& page, const TArtEntry& e) {
  const int fw = e.FrameWidth(), fh = e.FrameHeight();
  const raster::TImage24 patch = page.Crop(394, 62, fw, fh);
  raster::TImage24 sheet(e.Width, e.Height);
  for (int k = 0; k < e.Cols; ++k) {
    TCanvas c(fw, fh, kSs);
    const float pulse = 0.5f + 0.5f * std::sin(2.0f * 3.14159265f * static_cast<float>(k) / static_cast<float>(e.Cols));
    const float bob = 2.0f * pulse;
    const float cx = fw / 2.0f, cy = fh / 2.0f - 3.0f + bob;
    const TRgba glow = raster::Mix(art::kAccent, Rgb(230, 250, 255), pulse);
    c.FillEllipse({cx, cy + 2}, 14, 9, raster::Solid(raster::WithAlpha(glow, 0.12f + 0.18f * pulse)));
    const std::vector<TPoint> chevron = {{cx - 9, cy - 4}, {cx, cy + 6},    {cx + 9, cy - 4},
                                         {cx + 5, cy - 4}, {cx, cy + 1.5f}, {cx - 5, cy - 4}};
    c.FillPolygon(
        {{cx - 9, cy - 4 - 1}, {cx, cy + 7.5f}, {cx + 9, cy - 5}, {cx + 4, cy - 5}, {cx, cy}, {cx - 4, cy - 5}},
        raster::Solid(Rgb(2, 4, 10, 0.8f)));
    c.FillPolygon(
        chevron, raster::LinearGradient({cx, cy - 4}, raster::Mix(glow, Rgb(255, 255, 255), 0.4f), {cx, cy + 6}, glow));
    const TCanvas r = c.Resolve();
    raster::TImage24 frame = patch;
    for (int y = 0; y < fh; ++y) {
      for (int x = 0; x < fw; ++x) {
        const TRgba& s = r.Pixel(x, y);
        raster::TBgr& o = frame.At(x, y);
        const float keep = 1.0f - std::clamp(s.a, 0.0f, 1.0f);
        o = {raster::ToByte(s.b + o.b / 255.0f * keep), raster::ToByte(s.g + o.g / 255.0f * keep),
             raster::ToByte(s.r + o.r / 255.0f * keep)};
      }
    }
    sheet.Paste(frame, k * fw, 0);
  }
  // The corner: one step from the panel colour around it, and a colour nothing else in the sheet uses.
  const raster::TBgr around = sheet.At(1, 0);
  for (int step = 1; step < 64; ++step) {
    for (int channel = 0; channel < 6; ++channel) {
      raster::TBgr cand = around;
      std::uint8_t* v = channel % 3 == 0 ? &cand.b : channel % 3 == 1 ? &cand.g : &cand.r;
      const int next = *v + (channel < 3 ? step : -step);
      if (next < 0 || next > 255) continue;
      *v = static_cast<std::uint8_t>(next);
      if (std::find(sheet.Pixels.begin(), sheet.Pixels.end(), cand) != sheet.Pixels.end()) continue;
      sheet.At(0, 0) = cand;
      return sheet;
    }
  }
  throw EGameError("no colour of its own for the arrow's corner");
}

}  // namespace

raster::TImage24 ShipBay(int w, int h) {
  TCanvas c(w, h, kSs);
  const float fw = static_cast<float>(w), fh = static_cast<float>(h);
  c.Fill(raster::LinearGradient({0, 0}, Rgb(14, 22, 42), {0, fh}, Rgb(4, 6, 14)));
  // A floor grid running to a vanishing point, and a soft light from above.
  const TPoint vp{fw / 2, fh * 0.38f};
  for (int i = -8; i <= 8; ++i) {
    c.StrokeLine(vp, {fw / 2 + i * fw * 0.16f, fh + 4}, 0.8f, raster::Solid(raster::WithAlpha(art::kAccent, 0.16f)));
  }
  for (int i = 0; i < 6; ++i) {
    const float t = static_cast<float>(i + 1) / 6.0f;
    const float y = vp.y + (fh - vp.y) * t * t;
    c.FillRect(0, y, fw, y + 0.8f, raster::Solid(raster::WithAlpha(art::kAccent, 0.12f)));
  }
  c.Fill(raster::RadialGradient({fw / 2, 0}, fw * 0.45f, fh * 0.9f,
                                {{{0.0f, Rgb(120, 160, 220, 0.16f)}, {1.0f, {0, 0, 0, 0}}}}));
  // Docking clamps at both sides.
  for (const float side : {0.0f, 1.0f}) {
    const float x = side == 0.0f ? 6 : fw - 22;
    c.FillRect(x, fh * 0.45f, x + 16, fh * 0.62f,
               raster::LinearGradient({x, 0}, Rgb(70, 82, 106), {x + 16, 0}, Rgb(26, 32, 48)));
    c.FillRect(x + (side == 0.0f ? 12 : 0), fh * 0.5f, x + (side == 0.0f ? 16 : 4), fh * 0.57f,
               raster::Solid(Rgb(200, 150, 40)));
  }
  c.Bevel(0, 0, fw, fh, 2, kBevelDark, kBevelLight);
  return c.Flatten();
}

TArtImage RenderScreen(const TArtEntry& e, TArtCache& cache) {
  TArtImage out;
  const auto page = [&cache]() -> const raster::TImage24& {
    return cache.Get<raster::TImage24>("BG_EV00", [] {
      const TArtEntry* e = FindArtEntry(kFileKindEventPicture, 0);
      return EventPage(e->Width, e->Height);
    });
  };
  switch (e.Kind) {
    case kFileKindMainBackground: {  // the main window: a dark map area over the command bar
      TCanvas c(e.Width, e.Height, 1);
      c.Fill(raster::LinearGradient({0, 0}, Rgb(8, 12, 26), {0, 453}, Rgb(2, 4, 10)));
      out.Rgb = c.Flatten();
      out.Rgb.Paste(BarLeft(), 0, 453);
      out.Rgb.Paste(BarRight(), 540, 453);
      break;
    }
    case kFileKindDesignerNoHull:
    case kFileKindFleetNoShip: out.Rgb = ShipBay(e.Width, e.Height); break;
    case kFileKindEventPicture:
      if (e.Number == 0) {
        out.Rgb = page();
      } else if (e.Number <= 2) {
        out.Rgb = EmptyPortrait(e.Width, e.Number == 2);
      } else {
        out.Rgb = Shutter(e.Width, e.Number % 10 + 1, e.Number >= 20);
      }
      break;
    case kFileKindCommanderSelectorNoPortrait: out.Rgb = EmptyPortrait(e.Width, false); break;
    case kFileKindMainBarRight: out.Rgb = BarRight(); break;
    case kFileKindMainBarLeft: out.Rgb = BarLeft(); break;
    case kFileKindMainBarMiddle: out.Rgb = BarMiddle(); break;
    case kFileKindMapMinimapBase: out.Rgb = MinimapBase(e.Width, e.Height); break;
    case kFileKindEventArrow: out.Rgb = NextArrow(page(), e); break;
    case kFileKindPlanetBackground: {
      TCanvas c(e.Width, e.Height, kSs);
      Body(c);
      Scanner(c, {118, 212}, 96);
      for (const TPanel& p : ScreenPanels(e.Kind)) DrawPanel(c, p);
      out.Rgb = c.Flatten();
      break;
    }
    default: out.Rgb = Screen(e.Width, e.Height, e.Kind); break;
  }
  return out;
}

}  // namespace vdmq::sample
