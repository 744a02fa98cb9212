#include "screens/ScreenList.h"

#include <algorithm>

#include "formkit/Chbcbtn.h"
#include "platform/base/Sjis.h"
#include "platform/core/Form.h"
#include "platform/core/StdCtrls.h"
#include "qolib/graphics/QoTDib.h"
#include "qolib/graphics/Qograph_rap.h"
#include "screens/Main.h"
#include "screens/ScreenParts.h"

namespace vdmq {

namespace {

template <class B>
B* MakeKitButton(TForm* owner, const std::string& name, int left, int top, int w, int h, const std::string& caption,
                 const char* faces, int cell) {
  auto* b = new B(owner);
  b->Name = name;
  b->SetParent(owner);
  b->SetBounds(left, top, w, h);
  b->SetCaption(caption);
  b->SetFont(ScreenFont(12, false, clAqua));
  TCHBtnCaptionColor& cc = b->CaptionColor();
  cc.SetEnabled(true);
  cc.SetClDisabledFace(clGray);
  cc.SetClDisabledHighlight(clNone);
  cc.SetClDisabledShadow(clNone);
  cc.SetClDownFace(clBlue);
  cc.SetClDownHighlight(clNone);
  cc.SetClDownShadow(clNone);
  cc.SetClUpFace(clAqua);
  cc.SetClUpHighlight(clNone);
  cc.SetClUpShadow(clNone);
  if (TCHBmpContainer* container = MainFaces(faces)) {
    b->Glyph().SetBmpContainer(container);
    b->Glyph().SetSrcIndex(cell);
    b->SetNumGlyphs(3);
    b->SetAutoSize(true);
  }
  return b;
}

}  // namespace

void SetUpScreenForm(TForm* form, const std::string& name, const std::string& caption, int width, int height) {
  form->Name = name;
  form->SetBorderStyle(bsSingle);
  form->SetBorderIcons(0);
  form->Position = poScreenCenter;
  form->SetColor(clBlack);
  form->SetCaption(caption);
  form->SetClientSize(width, height);
}

TCHBmpContainer* MainFaces(const std::string& name) {
  if (fmMain == nullptr) return nullptr;
  return dynamic_cast<TCHBmpContainer*>(fmMain->FindComponent(name));
}

TCHBcBitBtn* MakeScreenButton(TForm* owner, const std::string& name, int left, int top, int w, int h,
                              const std::string& caption, const char* faces, int cell) {
  return MakeKitButton<TCHBcBitBtn>(owner, name, left, top, w, h, caption, faces, cell);
}

TCHBcSpeedButton* MakeScreenSpeedButton(TForm* owner, const std::string& name, int left, int top, int w, int h,
                                        const std::string& caption, const char* faces, int cell) {
  return MakeKitButton<TCHBcSpeedButton>(owner, name, left, top, w, h, caption, faces, cell);
}

TLabel* MakeScreenLabel(TForm* owner, const std::string& name, int left, int top, const std::string& caption,
                        TColor color) {
  auto* l = new TLabel(owner);
  l->Name = name;
  l->SetParent(owner);
  l->Transparent = true;
  l->SetFont(ScreenFont(12, false, color));
  l->SetBounds(left, top, 0, 12);
  l->SetCaption(caption);
  return l;
}

TImage* MakeScreenBackground(TForm* owner, TQoTrueDib& surface, int width, int height) {
  auto* image = new TImage(owner);
  image->Name = "imgBG";
  image->SetParent(owner);
  image->SetBounds(0, 0, width, height);
  BindSurface(surface, *image);
  return image;
}

void DrawScreenBackground(TQoTrueDib& surface, int kind) {
  DrawBmpPackById(&surface, 0, 0, kind, 0);
  surface.Change();
}

TImage* MakeScreenPicture(TForm* owner, TPanel** panel, const std::string& panelName, const std::string& imageName,
                          TQoTrueDib& surface, int left, int top, int w, int h) {
  auto* p = new TPanel(owner);
  p->Name = panelName;
  p->SetParent(owner);
  p->BevelOuter = bvNone;
  p->SetColor(clBlack);
  p->SetBounds(left, top, w, h);
  *panel = p;
  auto* image = new TImage(owner);
  image->Name = imageName;
  image->SetParent(p);
  image->SetBounds(0, 0, w, h);
  BindSurface(surface, *image);
  return image;
}

void MakeColumnButtons(TForm* owner, int top, const TScreenColumn* columns, int count, TCHBcBitBtn** buttons,
                       const std::function<void(TComponent*)>& onClick) {
  for (int i = 0; i < count; ++i) {
    const TScreenColumn& c = columns[i];
    buttons[i] = MakeScreenButton(owner, c.name, c.left, top, c.width, 20, Utf8ToSjis(c.caption), c.faces);
    buttons[i]->Tag = i + 1;
    buttons[i]->OnClick = onClick;
  }
}

void SetLabelColor(TLabel* label, TColor color) {
  if (label == nullptr || label->Font().Color == color) return;
  TFont font = label->Font();
  font.Color = color;
  label->SetFont(font);
}

void TScreenList::Create(TForm* form, int left, int top, int pitch, int scrollLeft, const int scrollTops[4],
                         std::function<void()> onScroll, const char* lineName, int firstTag) {
  onScroll_ = std::move(onScroll);
  firstTag_ = firstTag;
  for (int i = 0; i < kLines; ++i) {
    TLabel* l = MakeScreenLabel(form, lineName + std::to_string(i), left, top + pitch * i, "");
    l->SetAutoSize(false);
    l->SetBounds(left, top + pitch * i, scrollLeft - left, pitch);
    l->Tag = i + firstTag;
    lbList[i] = l;
  }
  static const char* const kNames[4] = {"btnPageUp", "btnUp", "btnDown", "btnPageDown"};
  static const char* const kArrows[4] = {"▲", "△", "▽", "▼"};
  TCHBcBitBtn** buttons[4] = {&btnPageUp, &btnUp, &btnDown, &btnPageDown};
  for (int i = 0; i < 4; ++i)
    *buttons[i] =
        MakeScreenButton(form, kNames[i], scrollLeft, scrollTops[i], 28, 28, Utf8ToSjis(kArrows[i]), "bc28_28", i);
  btnPageUp->OnClick = [this](TComponent* s) { btnPageUpClick(s); };
  btnUp->OnClick = [this](TComponent* s) { btnUpClick(s); };
  btnDown->OnClick = [this](TComponent* s) { btnDownClick(s); };
  btnPageDown->OnClick = [this](TComponent* s) { btnPageDownClick(s); };
}

void TScreenList::Clear() {
  std::fill(Places.begin(), Places.end(), -1);
  Count = 0;
  Top = 0;
}

bool TScreenList::Append(int entry) {
  if (Count >= static_cast<int>(Places.size())) return false;
  Places[static_cast<size_t>(Count++)] = entry;
  return true;
}

int TScreenList::EntryAtLine(int line) const {
  const int at = Top + line;
  if (line < 0 || line >= kLines || at < 0 || at >= Count) return -1;
  return Places[static_cast<size_t>(at)];
}

int TScreenList::EntryOfSender(const TComponent* sender) const {
  return sender != nullptr ? EntryAtLine(static_cast<int>(sender->Tag) - firstTag_) : -1;
}

void TScreenList::Sort(const std::function<bool(int, int)>& less) {
  std::sort(Places.begin(), Places.begin() + Count, less);
}

void TScreenList::SortByKey(const std::function<int(int, int)>& compareKey, bool descending) {
  Sort([&compareKey, descending](int a, int b) {
    int order = compareKey(a, b);
    if (order == 0) order = a - b;
    return descending ? order > 0 : order < 0;
  });
}

void TScreenList::Show(const std::function<std::string(int)>& text, const std::function<TColor(int)>& color) {
  for (int i = 0; i < kLines; ++i) {
    const int entry = EntryAtLine(i);
    if (entry < 0) {
      lbList[i]->SetCaption("");
      continue;
    }
    lbList[i]->SetCaption(text(entry));
    SetLabelColor(lbList[i], color(entry));
  }
  UpdateScrollButtons();
}

void TScreenList::UpdateScrollButtons() {
  btnPageUp->SetEnabled(Top >= 1);
  btnUp->SetEnabled(Top >= 1);
  btnDown->SetEnabled(Top < Count - kLines);
  btnPageDown->SetEnabled(Top < Count - kLines);
}

void TScreenList::btnPageUpClick(TComponent*) {
  Top = std::max(0, Top - kLines);
  if (onScroll_) onScroll_();
}

void TScreenList::btnUpClick(TComponent*) {
  if (Top > 0) --Top;
  if (onScroll_) onScroll_();
}

void TScreenList::btnDownClick(TComponent*) {
  if (Top + kLines < Count) ++Top;
  if (onScroll_) onScroll_();
}

void TScreenList::btnPageDownClick(TComponent*) {
  Top = Top + 2 * kLines <= Count ? Top + kLines : std::max(0, Count - kLines);
  if (onScroll_) onScroll_();
}

}  // namespace vdmq
