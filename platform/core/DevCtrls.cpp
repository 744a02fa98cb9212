#include "platform/core/DevCtrls.h"

#include <cstdlib>
#include <memory>

#include "platform/base/Sjis.h"
#include "platform/core/Application.h"
#include "platform/core/Desktop.h"
#include "platform/core/Menus.h"

namespace vdmq {

namespace {
// A sunken white field like the one of edits and lists.
TRect SunkenField(TCanvas& c, const TRect& r, bool enabled) {
  TRect x = r;
  c.Frame3D(x, clBtnShadow, clBtnHighlight, 1);
  c.Frame3D(x, cl3DDkShadow, cl3DLight, 1);
  c.FillRectColor(x, enabled ? clWindow : clBtnFace);
  return x;
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// Edit

TEdit::TEdit(TComponent* owner) : TControl(owner) {
  SetBounds(0, 0, 121, 21);
  SetColor(clWindow);
}

void TEdit::TextChanged() {
  if (OnChange) OnChange(this);
}

void TEdit::Paint(TCanvas& c) {
  TRect in = SunkenField(c, ClientRect(), EnabledInTree());
  c.Font = Font();
  if (!EnabledInTree()) c.Font.Color = clGrayText;
  c.Brush.Style = bsClear;
  TRect t = in.Inflate(-2, 0);
  c.DrawText(Caption(), t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  TForm* f = ParentForm();
  if (f && f->ActiveControl == this && f->Active()) {
    const int x = t.Left + c.TextWidth(Caption());
    c.FillRectColor({x, in.Top + 2, x + 1, in.Bottom - 2}, clWindowText);
  }
  c.Brush.Style = bsSolid;
}

void TEdit::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
  if (TForm* f = ParentForm()) {
    f->ActiveControl = this;
    f->Invalidate();
  }
  TControl::MouseDown(b, s, x, y);
}

void TEdit::KeyDown(unsigned& key, TShiftState shift) {
  TControl::KeyDown(key, shift);
  if (key == VK_BACK && !Caption().empty()) {
    std::string t = Caption();
    // Remove the last letter (both bytes of a double-byte one).
    size_t last = 0;
    for (size_t i = 0; i < t.size(); i += SjisLetterLen(t, i)) last = i;
    t.erase(last);
    SetCaption(t);
    key = 0;
  }
}

void TEdit::KeyPress(char& key) {
  TControl::KeyPress(key);
  if (static_cast<unsigned char>(key) < 0x20) return;
  if (MaxLength > 0 && static_cast<int>(Caption().size()) >= MaxLength) return;
  SetCaption(Caption() + key);
}

// ---------------------------------------------------------------------------------------------
// Up-down

TUpDown::TUpDown(TComponent* owner) : TControl(owner) { SetBounds(0, 0, 16, 21); }

void TUpDown::SetPosition(int v) {
  if (v > Max) v = Wrap ? Min : Max;
  if (v < Min) v = Wrap ? Max : Min;
  position_ = v;
  if (Associate) Associate->SetText(std::to_string(v));
  Invalidate();
}

void TUpDown::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
  TControl::MouseDown(b, s, x, y);
  if (b != mbLeft) return;
  SetPosition(position_ + (y < Height() / 2 ? Increment : -Increment));
  if (OnClick) OnClick(this);
}

void TUpDown::Paint(TCanvas& c) {
  const int h = Height() / 2;
  c.DrawButtonFace({0, 0, Width(), h}, false);
  c.DrawButtonFace({0, h, Width(), Height()}, false);
  const int cx = Width() / 2;
  for (int i = 0; i < 3; ++i) {
    c.FillRectColor({cx - i, h / 2 - 1 + i, cx + i + 1, h / 2 + i}, clBtnText);
    c.FillRectColor({cx - i, h + h / 2 + 1 - i, cx + i + 1, h + h / 2 + 2 - i}, clBtnText);
  }
}

// ---------------------------------------------------------------------------------------------
// List box

TListBox::TListBox(TComponent* owner) : TControl(owner) {
  SetBounds(0, 0, 121, 97);
  SetColor(clWindow);
}

namespace {
constexpr int kBarWidth = 16;
constexpr int kMinThumb = 8;
constexpr int kWheelRows = 3;
constexpr int kWheelDelta = 120;

// A small filled triangle pointing up or down, centred in r.
void Arrow(TCanvas& c, const TRect& r, bool up, TColor colour) {
  const int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
  for (int i = 0; i < 4; ++i) {
    const int y = up ? cy - 2 + i : cy + 1 - i;
    c.FillRectColor({cx - i, y, cx + i + 1, y + 1}, colour);
  }
}
}  // namespace

TRect TListBox::Inner() const { return ClientRect().Inflate(-2, -2); }

int TListBox::VisibleRows() const { return std::max(1, Inner().Height() / std::max(1, ItemHeight)); }

int TListBox::MaxTop() const { return std::max(0, Count() - VisibleRows()); }

bool TListBox::ScrollBarShown() const { return Count() > VisibleRows(); }

TRect TListBox::BarRect() const {
  if (!ScrollBarShown()) return {};
  const TRect in = Inner();
  return {std::max(in.Left, in.Right - kBarWidth), in.Top, in.Right, in.Bottom};
}

TRect TListBox::UpArrowRect() const {
  const TRect bar = BarRect();
  if (bar.IsEmpty()) return {};
  return {bar.Left, bar.Top, bar.Right, bar.Top + std::min(kBarWidth, bar.Height() / 2)};
}

TRect TListBox::DownArrowRect() const {
  const TRect bar = BarRect();
  if (bar.IsEmpty()) return {};
  return {bar.Left, bar.Bottom - std::min(kBarWidth, bar.Height() / 2), bar.Right, bar.Bottom};
}

TRect TListBox::TrackRect() const {
  const TRect bar = BarRect();
  if (bar.IsEmpty()) return {};
  return {bar.Left, UpArrowRect().Bottom, bar.Right, DownArrowRect().Top};
}

TRect TListBox::ThumbRect() const {
  const TRect track = TrackRect();
  if (track.IsEmpty()) return {};
  const int len = track.Height();
  const int thumb = std::min(len, std::max(kMinThumb, len * VisibleRows() / std::max(1, Count())));
  const int top = track.Top + (len - thumb) * topIndex_ / std::max(1, MaxTop());
  return {track.Left, top, track.Right, top + thumb};
}

void TListBox::SetTopIndex(int i) {
  i = std::clamp(i, 0, MaxTop());
  if (i == topIndex_) return;
  topIndex_ = i;
  Invalidate();
}

void TListBox::SetItemIndex(int i) {
  if (i < -1 || i >= Count()) i = -1;
  if (i == itemIndex_) return;
  itemIndex_ = i;
  if (i >= 0 && i < topIndex_)
    SetTopIndex(i);
  else if (i >= topIndex_ + VisibleRows())
    SetTopIndex(i - VisibleRows() + 1);
  Invalidate();
}

void TListBox::ItemsChanged() {
  SetItemIndex(itemIndex_);
  SetTopIndex(topIndex_);
  Invalidate();
}

void TListBox::Paint(TCanvas& c) {
  TRect in = SunkenField(c, ClientRect(), EnabledInTree());
  const TRect bar = BarRect();
  if (!bar.IsEmpty()) in.Right = bar.Left;
  c.Font = Font();
  c.Brush.Style = bsClear;
  for (int i = topIndex_, y = in.Top; i < Count() && y < in.Bottom; ++i, y += ItemHeight) {
    TRect row{in.Left, y, in.Right, y + ItemHeight};
    const bool sel = i == itemIndex_;
    if (sel) c.FillRectColor(row, clHighlight);
    c.Font.Color = sel ? clHighlightText : clWindowText;
    TRect t = row.Inflate(-2, 0);
    c.DrawText(Items[i], t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
  c.Brush.Style = bsSolid;
  if (bar.IsEmpty()) return;
  c.FillRectColor(TrackRect(), cl3DLight);
  const TColor arrow = EnabledInTree() ? clBtnText : clGrayText;
  Arrow(c, c.DrawButtonFace(UpArrowRect(), false), true, arrow);
  Arrow(c, c.DrawButtonFace(DownArrowRect(), false), false, arrow);
  c.DrawButtonFace(ThumbRect(), false);
}

void TListBox::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
  if (TForm* f = ParentForm()) f->ActiveControl = this;
  barPress_ = BarRect().Contains(x, y);
  if (b == mbLeft && barPress_) {
    const TRect thumb = ThumbRect();
    if (UpArrowRect().Contains(x, y))
      SetTopIndex(topIndex_ - 1);
    else if (DownArrowRect().Contains(x, y))
      SetTopIndex(topIndex_ + 1);
    else if (y < thumb.Top)
      SetTopIndex(topIndex_ - VisibleRows());
    else if (y >= thumb.Bottom)
      SetTopIndex(topIndex_ + VisibleRows());
    else {
      thumbDrag_ = true;
      dragOffset_ = y - thumb.Top;
    }
  } else if (b == mbLeft) {
    const int i = topIndex_ + (y - 2) / std::max(1, ItemHeight);
    if (y >= 2 && i < Count()) SetItemIndex(i);
  }
  TControl::MouseDown(b, s, x, y);
}

void TListBox::MouseMove(TShiftState s, int x, int y) {
  if (thumbDrag_) {
    // The thumb's top follows the mouse; its place along the track gives the first line.
    const TRect track = TrackRect();
    const int travel = track.Height() - ThumbRect().Height();
    if (travel > 0) {
      const int at = std::clamp(y - dragOffset_ - track.Top, 0, travel);
      SetTopIndex((at * MaxTop() + travel / 2) / travel);
    }
  }
  TControl::MouseMove(s, x, y);
}

void TListBox::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
  if (b == mbLeft) thumbDrag_ = false;
  TControl::MouseUp(b, s, x, y);
}

void TListBox::Click() {
  // A press on the scroll bar chooses no line.
  if (!barPress_) TControl::Click();
}

void TListBox::Dispatch(TMessage& m) {
  if (m.Msg != WM_MOUSEWHEEL) {
    TControl::Dispatch(m);
    return;
  }
  // The wheel's delta is in the high word: 120 a notch, positive away from the user.
  wheelRest_ += static_cast<std::int16_t>((m.WParam >> 16) & 0xFFFF);
  const int notches = wheelRest_ / kWheelDelta;
  wheelRest_ -= notches * kWheelDelta;
  SetTopIndex(topIndex_ - notches * kWheelRows);
  m.Result = 1;
}

void TListBox::KeyDown(unsigned& key, TShiftState shift) {
  TControl::KeyDown(key, shift);
  if (key == VK_DOWN && itemIndex_ + 1 < Count()) {
    SetItemIndex(itemIndex_ + 1);
    TControl::Click();
  } else if (key == VK_UP && itemIndex_ > 0) {
    SetItemIndex(itemIndex_ - 1);
    TControl::Click();
  }
}

// ---------------------------------------------------------------------------------------------
// Combo box

TComboBox::TComboBox(TComponent* owner) : TControl(owner) {
  SetBounds(0, 0, 145, 21);
  SetColor(clWindow);
}

void TComboBox::SetItemIndex(int i) {
  if (i < -1 || i >= static_cast<int>(Items.size())) i = -1;
  if (i == itemIndex_) return;
  itemIndex_ = i;
  Invalidate();
}

void TComboBox::Paint(TCanvas& c) {
  TRect in = SunkenField(c, ClientRect(), EnabledInTree());
  const int bw = std::min(17, in.Width());
  TRect button{in.Right - bw, in.Top, in.Right, in.Bottom};
  c.DrawButtonFace(button, false);
  const int cx = (button.Left + button.Right) / 2, cy = (button.Top + button.Bottom) / 2;
  for (int i = 0; i < 3; ++i) c.FillRectColor({cx - 2 + i, cy - 1 + i, cx + 3 - i, cy + i}, clBtnText);
  c.Font = Font();
  c.Brush.Style = bsClear;
  TRect t{in.Left + 2, in.Top, button.Left - 1, in.Bottom};
  c.DrawText(Text(), t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  c.Brush.Style = bsSolid;
}

void TComboBox::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
  TControl::MouseDown(b, s, x, y);
  if (b != mbLeft || Items.empty()) return;
  SetMouseCapture(false);
  // The drop-down list is a popup menu of the items below the box.
  TPopupMenu menu(nullptr);
  std::vector<std::unique_ptr<TMenuItem>> items;
  int picked = -1;
  for (size_t i = 0; i < Items.size(); ++i) {
    auto it = std::make_unique<TMenuItem>(nullptr);
    it->Caption = Items[i];
    it->OnClick = [&picked, i](TComponent*) { picked = static_cast<int>(i); };
    menu.Add(it.get());
    items.push_back(std::move(it));
  }
  const TPoint p = ClientToScreen({0, Height()});
  menu.Popup(p.X, p.Y);
  if (picked >= 0 && picked != itemIndex_) {
    SetItemIndex(picked);
    if (OnChange) OnChange(this);
  }
}

// ---------------------------------------------------------------------------------------------
// Radio group

TRadioGroup::TRadioGroup(TComponent* owner) : TControl(owner) { SetBounds(0, 0, 185, 105); }

void TRadioGroup::SetItemIndex(int i) {
  if (i < -1 || i >= static_cast<int>(Items.size())) i = -1;
  if (i == itemIndex_) return;
  itemIndex_ = i;
  Invalidate();
  TControl::Click();
}

TRect TRadioGroup::ItemRect(int i) const {
  const int cols = std::max(1, Columns);
  const int rows = (static_cast<int>(Items.size()) + cols - 1) / cols;
  if (rows == 0) return {};
  const int top = 16, h = std::max(1, (Height() - top - 4) / rows), w = (Width() - 8) / cols;
  return Bounds(4 + (i / rows) * w, top + (i % rows) * h, w, h);
}

void TRadioGroup::Paint(TCanvas& c) {
  c.FillRectColor(ClientRect(), Color());
  TRect frame{0, 6, Width(), Height()};
  c.Frame3D(frame, clBtnShadow, clBtnHighlight, 1);
  c.Frame3D(frame, clBtnHighlight, clBtnShadow, 1);
  c.Font = Font();
  c.Brush.Color = Color();
  c.Brush.Style = bsSolid;
  if (!Caption().empty()) c.TextOut(8, 0, Caption());
  c.Brush.Style = bsClear;
  for (int i = 0; i < static_cast<int>(Items.size()); ++i) {
    const TRect r = ItemRect(i);
    const int cy = (r.Top + r.Bottom) / 2;
    TRect dot = Bounds(r.Left + 2, cy - 6, 12, 12);
    TRect in = dot;
    c.Frame3D(in, clBtnShadow, clBtnHighlight, 1);
    c.FillRectColor(in, clWindow);
    if (i == itemIndex_) c.FillRectColor(Bounds(dot.Left + 4, dot.Top + 4, 4, 4), clWindowText);
    TRect t{r.Left + 18, r.Top, r.Right, r.Bottom};
    c.DrawText(Items[i], t, DT_SINGLELINE | DT_VCENTER);
  }
  c.Brush.Style = bsSolid;
}

void TRadioGroup::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
  TControl::MouseDown(b, s, x, y);
  if (b != mbLeft) return;
  for (int i = 0; i < static_cast<int>(Items.size()); ++i)
    if (ItemRect(i).Contains(x, y)) SetItemIndex(i);
}

// ---------------------------------------------------------------------------------------------
// Page control

namespace {
constexpr int kTabH = 20;
}

TTabSheet::TTabSheet(TComponent* owner) : TControl(owner) {}

void TTabSheet::SetPageControl(TPageControl* pc) {
  if (pc == pageControl_) return;
  if (pageControl_) pageControl_->RemovePage(this);
  pageControl_ = pc;
  if (pc) pc->AddPage(this);
}

TPageControl::TPageControl(TComponent* owner) : TControl(owner) { SetBounds(0, 0, 289, 193); }

void TPageControl::AddPage(TTabSheet* p) {
  pages_.push_back(p);
  p->SetParent(this);
  p->SetBounds(4, kTabH + 4, std::max(0, Width() - 8), std::max(0, Height() - kTabH - 8));
  p->SetVisible(false);
  if (!active_) SetActivePage(p);
  Invalidate();
}

void TPageControl::RemovePage(TTabSheet* p) {
  p->pageControl_ = nullptr;
  pages_.erase(std::remove(pages_.begin(), pages_.end(), p), pages_.end());
  if (active_ == p) {
    active_ = nullptr;
    if (!pages_.empty()) SetActivePage(pages_.front());
  }
  Invalidate();
}

TPageControl::~TPageControl() {
  BeginDestroy();
  // The sheets are freed with the control's children; they no longer belong to a page control.
  for (TTabSheet* p : pages_) p->pageControl_ = nullptr;
  pages_.clear();
  active_ = nullptr;
}

TTabSheet::~TTabSheet() {
  BeginDestroy();
  if (pageControl_) pageControl_->RemovePage(this);
}

void TPageControl::BoundsChanged() {
  for (TTabSheet* p : pages_) p->SetBounds(4, kTabH + 4, std::max(0, Width() - 8), std::max(0, Height() - kTabH - 8));
}

int TPageControl::ActivePageIndex() const {
  for (size_t i = 0; i < pages_.size(); ++i)
    if (pages_[i] == active_) return static_cast<int>(i);
  return -1;
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page == active_ || (page && page->PageControl() != this)) return;
  TTabSheet* old = active_;
  active_ = page;
  if (old) {
    old->SetVisible(false);
    if (old->OnHide) old->OnHide(old);
  }
  if (page) {
    page->SetVisible(true);
    if (page->OnShow) page->OnShow(page);
  }
  Invalidate();
}

TRect TPageControl::TabRect(int i) const {
  int x = 2;
  TCanvas m;
  m.Font = Font();
  for (int k = 0; k < static_cast<int>(pages_.size()); ++k) {
    const int w = m.TextWidth(StripAccelerator(pages_[k]->Caption())) + 12;
    if (k == i) return Bounds(x, 2, w, kTabH - 2);
    x += w;
  }
  return {};
}

void TPageControl::Paint(TCanvas& c) {
  c.FillRectColor(ClientRect(), Color());
  TRect body{0, kTabH, Width(), Height()};
  c.Frame3D(body, clBtnHighlight, cl3DDkShadow, 1);
  c.Font = Font();
  c.Brush.Style = bsClear;
  for (int i = 0; i < PageCount(); ++i) {
    TRect t = TabRect(i);
    if (pages_[i] == active_) t = TRect{t.Left - 2, t.Top - 2, t.Right + 2, kTabH + 1};
    c.FillRectColor(t, Color());
    c.FillRectColor({t.Left, t.Top, t.Right, t.Top + 1}, clBtnHighlight);
    c.FillRectColor({t.Left, t.Top, t.Left + 1, t.Bottom}, clBtnHighlight);
    c.FillRectColor({t.Right - 1, t.Top, t.Right, t.Bottom}, cl3DDkShadow);
    c.DrawText(pages_[i]->Caption(), t, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  }
  c.Brush.Style = bsSolid;
}

void TPageControl::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
  TControl::MouseDown(b, s, x, y);
  if (b != mbLeft) return;
  for (int i = 0; i < PageCount(); ++i)
    if (TabRect(i).Contains(x, y) && pages_[i] != active_) {
      SetActivePage(pages_[i]);
      if (OnChange) OnChange(this);
      return;
    }
}

// ---------------------------------------------------------------------------------------------
// Save dialog

namespace {
class TSaveDialogForm : public TForm {
 public:
  TSaveDialogForm(TComponent* owner, const std::string& title, const std::string& name) : TForm(owner) {
    SetBorderStyle(bsDialog);
    SetBorderIcons(biSystemMenu);
    Position = poScreenCenter;
    SetCaption(title.empty() ? Utf8ToSjis("名前を付けて保存") : title);
    SetClientSize(360, 80);
    KeyPreview = true;
    edit = new TEdit(this);
    edit->Name = "edFileName";
    edit->SetParent(this);
    edit->SetBounds(10, 12, 340, 21);
    edit->SetText(name);
    ActiveControl = edit;
    auto* ok = new TButton(this);
    ok->Name = "btnOk";
    ok->SetParent(this);
    ok->SetCaption("OK");
    ok->ModalResult = mrOk;
    ok->SetBounds(190, 46, 75, 23);
    auto* cancel = new TButton(this);
    cancel->Name = "btnCancel";
    cancel->SetParent(this);
    cancel->SetCaption(Utf8ToSjis("キャンセル"));
    cancel->ModalResult = mrCancel;
    cancel->SetBounds(275, 46, 75, 23);
    OnKeyDown = [this](TComponent*, unsigned& key, TShiftState) {
      if (key == VK_RETURN) {
        ModalResult = mrOk;
        key = 0;
      } else if (key == VK_ESCAPE) {
        ModalResult = mrCancel;
        key = 0;
      }
    };
  }
  const char* ClassName() const override { return "TSaveDialogForm"; }
  TEdit* edit;
};
}  // namespace

bool TSaveDialog::Execute() {
  if (const char* env = std::getenv("VDMQ_SAVE_PATH")) {
    if (!*env) return false;
    FileName = env;
    return true;
  }
  auto f = std::make_unique<TSaveDialogForm>(&App(), Title, FileName);
  if (f->ShowModal() != mrOk || f->edit->Text().empty()) return false;
  FileName = f->edit->Text();
  if (!DefaultExt.empty() && FileName.find('.') == std::string::npos) FileName += "." + DefaultExt;
  return true;
}

}  // namespace vdmq
