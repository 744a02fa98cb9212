#include "screens/F_evmes.h"

#include <algorithm>
#include <string_view>

#include "campaign/Character.h"
#include "campaign/FileKinds.h"
#include "campaign/Story.h"
#include "platform/base/Sjis.h"
#include "platform/core/Application.h"
#include "platform/core/Desktop.h"
#include "platform/core/StdCtrls.h"
#include "platform/core/Timer.h"
#include "qolib/graphics/Qograph_rap.h"
#include "screens/Main.h"
#include "screens/ScreenParts.h"

namespace vdmq {

TfmEventMes* fmEventMes = nullptr;

namespace {

constexpr int kArrowFrames = 14;
constexpr int kShutterPause = 50;
constexpr int kLineLeft = 48, kLineTop = 12, kLinePitch = 18, kLineRight = 367, kLineHeight = 16;
constexpr TColor kChosenColor = RGB(0, 255, 255);
// Pictures kept read: two speakers in two kinds, blanks, shutter and page backgrounds of a scene.
constexpr size_t kKeptPictures = 16;

// The running script and its page (unit state, as the window is one).
const TEventMesScript* script = nullptr;
TEventPage page;

TPanel* MakePanel(TComponent* owner, TControl* parent, const char* name, TPlace p) {
  auto* panel = new TPanel(owner);
  panel->Name = name;
  panel->SetParent(parent);
  panel->BevelOuter = bvNone;
  panel->SetColor(clBlack);
  panel->SetBounds(p.Left, p.Top, p.Width, p.Height);
  return panel;
}

TImage* MakeImage(TComponent* owner, TControl* parent, const char* name, TQoTrueDib& surface, int w, int h) {
  auto* img = new TImage(owner);
  img->Name = name;
  img->SetParent(parent);
  img->SetBounds(0, 0, w, h);
  BindSurface(surface, *img);
  return img;
}

TLabel* MakeName(TComponent* owner, TControl* parent, const char* name, int left, int top, TColor color) {
  auto* l = new TLabel(owner);
  l->Name = name;
  l->SetParent(parent);
  l->SetAutoSize(false);
  l->SetBounds(left, top, 181, 14);
  l->Transparent = true;
  l->SetFont(ScreenFont(14, true, color));
  return l;
}

}  // namespace

TfmEventMes::TfmEventMes(TComponent* owner) : TForm(owner) {
  Name = "fmEventMes";
  SetBorderStyle(bsNone);
  SetBorderIcons(0);
  Position = poScreenCenter;
  SetColor(clBlack);
  KeyPreview = true;
  SetFont(ScreenFont(16, true, clWhite));
  SetClientSize(512, 416);

  imgBg = MakeImage(this, this, "imgBg", QoBG, 512, 416);
  Panel1 = MakePanel(this, this, "Panel1", {24, 35, 216, 216});
  imgLeft = MakeImage(this, Panel1, "imgLeft", QoTrueDibImgLeft, 216, 216);
  Panel2 = MakePanel(this, this, "Panel2", {268, 34, 216, 216});
  imgRight = MakeImage(this, Panel2, "imgRight", QoTrueDibImgRight, 216, 216);
  lbLNameBk = MakeName(this, this, "lbLNameBk", 28, 263, clBlack);
  lbLName = MakeName(this, this, "lbLName", 27, 262, clWhite);
  lbRNameBk = MakeName(this, this, "lbRNameBk", 271, 263, clBlack);
  lbRName = MakeName(this, this, "lbRName", 270, 262, clWhite);
  Panel3 = MakePanel(this, this, "Panel3", {23, 288, 464, 100});
  imgText = MakeImage(this, Panel3, "imgText", QoTrueDibImgMes, 464, 100);
  Panel4 = MakePanel(this, Panel3, "Panel4", {394, 62, 60, 30});
  imgNext = MakeImage(this, Panel4, "imgNext", QoTrueDibNext, 60, 30);
  tmNext = new TTimer(this);
  tmNext->Name = "tmNext";
  tmNext->SetEnabled(false);
  tmNext->SetInterval(100);

  OnCreate = [this](TComponent* s) { FormCreate(s); };
  OnDestroy = [this](TComponent* s) { FormDestroy(s); };
  OnShow = [this](TComponent* s) { FormShow(s); };
  OnShortCut = [this](unsigned key, TShiftState shift, bool& handled) { FormShortCut(key, shift, handled); };
  imgBg->OnMouseDown = [this](TComponent* s, TMouseButton b, TShiftState sh, int x, int y) {
    imgBgMouseDown(s, b, sh, x, y);
  };
  imgText->OnMouseMove = [this](TComponent* s, TShiftState sh, int x, int y) { imgTextMouseMove(s, sh, x, y); };
  imgText->OnClick = [this](TComponent* s) { imgTextClick(s); };
  imgNext->OnClick = [this](TComponent* s) { imgNextClick(s); };
  tmNext->SetOnTimer([this](TComponent* s) { tmNextTimer(s); });
}

TfmEventMes::~TfmEventMes() {
  // The destroy handler stops the timer and frees the arrow while they still exist.
  BeginDestroy();
  if (OnDestroy) {
    TNotifyEvent destroy = std::move(OnDestroy);
    OnDestroy = nullptr;
    App().SafeCall([&] { destroy(this); });
  }
  DestroyComponents();
  if (fmEventMes == this) fmEventMes = nullptr;
}

void TfmEventMes::FormCreate(TComponent*) {
  arrowCounter_ = 0;
  auto sheet = std::make_unique<TQoRGBContainer>();
  if (sheet->LoadPackById(kFileKindEventArrow, -1, 1, kArrowFrames)) arrow_ = std::move(sheet);
  tmNext->SetEnabled(true);
}

void TfmEventMes::FormDestroy(TComponent*) {
  tmNext->SetEnabled(false);
  arrow_.reset();
  kept_.clear();
}

void TfmEventMes::FormShow(TComponent*) {
  if (DrawBmpPackById(&QoBG, 0, 0, kFileKindEventBackground, -1)) QoBG.Change();
  // The window opens on a page also when the script holds none to show: an empty one.
  if (!ReadPage()) ShowPage();
}

bool TfmEventMes::DrawPicture(TQoTrueDib& surface, int kind, int number) {
  const TQoEntryNameHook& names = QoEntryNameHook();
  if (!names || QoPictureArchive() == nullptr) return false;
  const std::string name = names(kind, number);
  auto it = std::find_if(kept_.begin(), kept_.end(), [&](const TKeptPicture& k) { return k.name == name; });
  if (it == kept_.end()) {
    TKeptPicture k{name, std::make_unique<TQoTrueDib>(nullptr, 0, 0)};
    if (!k.picture->DrawBmpPack(QoPictureArchive(), name, 0, 0)) k.picture.reset();
    if (kept_.size() == kKeptPictures) kept_.pop_back();
    it = kept_.insert(kept_.begin(), std::move(k));
  } else if (it != kept_.begin()) {
    std::rotate(kept_.begin(), it, it + 1);
    it = kept_.begin();
  }
  const TQoTrueDib* picture = it->picture.get();
  return picture != nullptr && surface.PutDib(0, 0, picture, 0, 0, picture->Width(), picture->Height());
}

bool TfmEventMes::NextToken(std::string* token) {
  while (script != nullptr && page.next < script->size()) {
    const TEventMesArg& arg = (*script)[page.next++];
    if (const auto* text = std::get_if<std::string>(&arg)) {
      *token = *text;
      return true;
    }
  }
  return false;
}

int TfmEventMes::NextNumber(int fallback) {
  if (script == nullptr || page.next >= script->size()) return fallback;
  const auto* number = std::get_if<int>(&(*script)[page.next]);
  if (number == nullptr) return fallback;
  ++page.next;
  return *number;
}

bool TfmEventMes::ReadPage() {
  page.lineCount = 0;
  shutters_.clear();
  bool shown = true;
  std::string token;
  for (;;) {
    // A script that runs out ends as if "END_STR" stood there.
    if (!NextToken(&token) || token == "END_STR") {
      page.ended = true;
      shown = page.lineCount > 0;
      break;
    }
    if (token == "NP") {
      if (page.lineCount > 0) break;
    } else if (token == "SEL_2" || token == "SEL_3") {
      page.lineCount = 0;
      page.choices = token == "SEL_2" ? 2 : 3;
    } else if (token == "0" || token == "1") {
      Speak(token == "0" ? 0 : 1, NextNumber(-1));
    } else if (token == "DRAW_BG") {
      page.background = NextNumber(0);
    } else {
      page.lines[static_cast<size_t>(page.lineCount++)] = std::string(SjisCut(token, kEventLineBytes));
      if (page.lineCount == 4) break;
    }
  }
  if (shown) ShowPage();
  return shown;
}

void TfmEventMes::ShowPage() {
  for (const int side : shutters_) PlayShutter(side);
  shutters_.clear();
  DrawPage();
}

void TfmEventMes::Speak(int side, int character) {
  TEventPage::TSpeaker& s = page.speakers[static_cast<size_t>(side)];
  if (page.side == side && s.hidden == 0 && s.character == character) return;
  if (s.hidden != 0 || s.character != character) shutters_.push_back(side);
  page.side = side;
  s.hidden = 0;
  s.character = character;
}

void TfmEventMes::PlayShutter(int side) {
  TQoTrueDib& surface = side == 0 ? QoTrueDibImgLeft : QoTrueDibImgRight;
  const int first = side == 0 ? 10 : 20;
  for (int i = 0; i < 4; ++i) {
    // The pause presents the changed picture first.
    if (DrawPicture(surface, kFileKindEventPicture, first + i)) surface.Change();
    GameHost().Sleep(kShutterPause);
  }
}

void TfmEventMes::DrawPage() {
  DrawPicture(QoTrueDibImgMes, kFileKindEventPicture, page.background < 0 ? 0 : page.background);
  for (int side = 0; side < 2; ++side) {
    const TEventPage::TSpeaker& s = page.speakers[static_cast<size_t>(side)];
    TQoTrueDib& surface = side == 0 ? QoTrueDibImgLeft : QoTrueDibImgRight;
    std::string name;
    if (s.hidden == 0 && s.character != -1) {
      DrawPicture(surface, page.side == side ? kFileKindLargePortrait : kFileKindDimmedPortrait,
                  GetEventCharacterCg(s.character));
      if (const char* n = GetEventCharacterName(s.character)) name = n;
    } else {
      DrawPicture(surface, kFileKindEventPicture, side == 0 ? 1 : 2);
    }
    (side == 0 ? lbLNameBk : lbRNameBk)->SetCaption(name);
    (side == 0 ? lbLName : lbRName)->SetCaption(name);
    surface.Change();
  }
  TCanvas& c = imgText->ImageCanvas();
  c.Font = Font();
  c.Brush.Style = bsClear;
  c.Font.Color = clBlack;
  for (int i = 0; i < page.lineCount; ++i)
    c.TextOut(kLineLeft + 1, kLineTop + 1 + kLinePitch * i, page.lines[static_cast<size_t>(i)]);
  for (int i = 0; i < page.lineCount; ++i) {
    c.Font.Color = page.choices != -1 && i == GetEventSelect() ? kChosenColor : clWhite;
    c.TextOut(kLineLeft, kLineTop + kLinePitch * i, page.lines[static_cast<size_t>(i)]);
  }
  // The changed pictures are painted together with the next present (the surfaces' drawing marks
  // their images; the text went straight onto the pixels).
  QoTrueDibImgMes.Change();
  imgText->Invalidate();
}

void TfmEventMes::Advance() {
  // A choice waits for a line under the mouse; a page without lines has none to choose and goes on.
  if (page.choices != -1 && page.lineCount > 0 && GetEventSelect() == -1) return;
  if (page.ended) {
    ModalResult = mrOk;
    return;
  }
  if (!ReadPage()) Close();
}

void TfmEventMes::FormShortCut(unsigned key, TShiftState, bool& handled) {
  if (key != VK_SPACE) return;
  handled = true;
  Advance();
}

void TfmEventMes::imgBgMouseDown(TComponent*, TMouseButton, TShiftState, int, int y) {
  if (y >= 12) return;
  Desktop().ReleaseCapture();
  Perform(WM_SYSCOMMAND, 0xF012);
}

void TfmEventMes::imgTextMouseMove(TComponent*, TShiftState, int x, int y) {
  if (page.choices == -1) return;
  int line = -1;
  if (x >= kLineLeft && x <= kLineRight)
    for (int i = 0; i < page.lineCount; ++i)
      if (y >= kLineTop + kLinePitch * i && y < kLineTop + kLinePitch * i + kLineHeight) line = i;
  if (line == GetEventSelect()) return;
  SetEventSelect(line);
  DrawPage();
}

void TfmEventMes::imgTextClick(TComponent*) { Advance(); }

void TfmEventMes::imgNextClick(TComponent*) { Advance(); }

void TfmEventMes::tmNextTimer(TComponent*) {
  if (arrow_ == nullptr) return;
  if (arrowCounter_ >= kArrowFrames) arrowCounter_ = 0;
  arrow_->PutPat(&QoTrueDibNext, arrowCounter_++, 0, 0, Qo_SET);
  QoTrueDibNext.Change();
}

const TEventPage& EventMesPage() { return page; }

void EventMes(const TEventMesScript& lines) {
  TfmEventMes* window = fmEventMes;
  if (window == nullptr || window->Visible()) return;
  page = TEventPage();
  script = &lines;
  try {
    window->ShowModal();
  } catch (...) {
    script = nullptr;
    throw;
  }
  script = nullptr;
  if (fmMain != nullptr) fmMain->Repaint();
}

}  // namespace vdmq
