#include "platform/core/Menus.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "platform/base/Sjis.h"
#include "platform/core/Application.h"
#include "platform/core/Desktop.h"

namespace vdmq {

namespace {
constexpr int kItemH = 18, kLineH = 8, kPadX = 18;
}

std::string ShortCutToText(unsigned sc) {
  if (!sc) return {};
  std::string s;
  if (sc & scCtrl) s += "Ctrl+";
  if (sc & scShift) s += "Shift+";
  if (sc & scAlt) s += "Alt+";
  const unsigned key = sc & 0xFF;
  if (key >= VK_F1 && key < VK_F1 + 12)
    s += "F" + std::to_string(key - VK_F1 + 1);
  else if (key >= 0x30 && key <= 0x5A)
    s += static_cast<char>(key);
  else if (key == VK_RETURN)
    s += "Enter";
  else if (key == VK_ESCAPE)
    s += "Esc";
  else
    s += "?";
  return s;
}

void TPopupMenu::Notification(TComponent* c, TOperation op) {
  if (op == opRemove) Items.erase(std::remove(Items.begin(), Items.end(), c), Items.end());
}

TMenuItem* TPopupMenu::Popup(int x, int y) {
  TApplication& app = App();
  TDesktop& d = app.Desktop();
  auto w = std::make_unique<TMenuWindow>(&app, *this);
  const TSize s = d.ScreenSize();
  // Keep the menu on the screen.
  int left = std::min(x, s.cx - w->Width()), top = std::min(y, s.cy - w->Height());
  w->SetBounds(std::max(0, left), std::max(0, top), w->Width(), w->Height());
  TForm* savedPopup = d.PopupWindow;
  d.ReleaseCapture();
  d.PopupWindow = w.get();
  w->Show();
  {
    TApplication::TLoopScope scope(app);
    try {
      while (!w->Done() && !app.Terminated()) app.HandleMessage();
    } catch (...) {
      d.PopupWindow = savedPopup;
      throw;
    }
  }
  d.PopupWindow = savedPopup;
  TMenuItem* chosen = w->Chosen();
  w->Hide();
  w.reset();
  if (chosen) chosen->Click();
  return chosen;
}

TMenuWindow::TMenuWindow(TComponent* owner, TPopupMenu& menu) : TForm(owner), menu_(menu) {
  SetBorderStyle(bsNone);
  SetColor(clMenu);
  Name = "PopupMenuWindow";
  TCanvas measure;
  measure.Font = Font();
  int textW = 0, keyW = 0, y = 3;
  for (TMenuItem* it : menu_.Items) {
    tops_.push_back(y);
    if (!it->Visible) continue;
    if (it->IsLine()) {
      y += kLineH;
      continue;
    }
    measure.Font.Bold = it->Default;
    textW = std::max(textW, measure.TextWidth(StripAccelerator(it->Caption)));
    keyW = std::max(keyW, measure.TextWidth(ShortCutToText(it->ShortCut)));
    y += kItemH;
  }
  const int w = kPadX + textW + (keyW ? 24 + keyW : 0) + kPadX + 6;
  SetBounds(0, 0, std::max(w, 80), y + 3);
}

TRect TMenuWindow::ItemRect(int i) const {
  if (i < 0 || i >= static_cast<int>(menu_.Items.size()) || !menu_.Items[i]->Visible) return {};
  return {3, tops_[i], Width() - 3, tops_[i] + (menu_.Items[i]->IsLine() ? kLineH : kItemH)};
}

int TMenuWindow::ItemAt(TPoint p) const {
  for (int i = 0; i < static_cast<int>(menu_.Items.size()); ++i)
    if (ItemRect(i).Contains(p) && !menu_.Items[i]->IsLine()) return i;
  return -1;
}

void TMenuWindow::Choose(int i) {
  if (i < 0 || !menu_.Items[i]->Enabled || menu_.Items[i]->IsLine()) return;
  chosen_ = menu_.Items[i];
  done_ = true;
}

void TMenuWindow::MoveHot(int step) {
  const int n = static_cast<int>(menu_.Items.size());
  for (int k = 0, i = hot_; k < n; ++k) {
    i = (i + step + n) % n;
    if (menu_.Items[i]->Visible && !menu_.Items[i]->IsLine()) {
      hot_ = i;
      Invalidate();
      return;
    }
  }
}

void TMenuWindow::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_MOUSEMOVE: {
      const int i = ItemAt({LParamX(m.LParam), LParamY(m.LParam)});
      if (i != hot_) {
        hot_ = i;
        Invalidate();
      }
      return;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
      const TPoint p{LParamX(m.LParam), LParamY(m.LParam)};
      if (!ClientRect().Contains(p)) return;
      Choose(ItemAt(p));
      return;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return;
    case WM_NCLBUTTONDOWN:  // a press outside the menu
      done_ = true;
      return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      const unsigned key = static_cast<unsigned>(m.WParam);
      if (key == VK_ESCAPE)
        done_ = true;
      else if (key == VK_DOWN)
        MoveHot(1);
      else if (key == VK_UP)
        MoveHot(-1);
      else if (key == VK_RETURN)
        Choose(hot_);
      else {
        // The accelerator letter of an item.
        for (int i = 0; i < static_cast<int>(menu_.Items.size()); ++i) {
          int mark = -1;
          const std::string t = StripAccelerator(menu_.Items[i]->Caption, &mark);
          if (mark >= 0 && std::toupper(static_cast<unsigned char>(t[mark])) == static_cast<int>(key) &&
              menu_.Items[i]->Visible) {
            Choose(i);
            break;
          }
        }
      }
      m.Result = 1;
      return;
    }
    default: TForm::Dispatch(m);
  }
}

void TMenuWindow::Paint(TCanvas& c) {
  TRect r = ClientRect();
  c.Frame3D(r, cl3DLight, cl3DDkShadow, 1);
  c.Frame3D(r, clBtnHighlight, clBtnShadow, 1);
  c.FillRectColor(r, clMenu);
  for (int i = 0; i < static_cast<int>(menu_.Items.size()); ++i) {
    TMenuItem* it = menu_.Items[i];
    TRect ir = ItemRect(i);
    if (ir.IsEmpty()) continue;
    if (it->IsLine()) {
      const int y = ir.Top + kLineH / 2 - 1;
      c.FillRectColor({ir.Left + 1, y, ir.Right - 1, y + 1}, clBtnShadow);
      c.FillRectColor({ir.Left + 1, y + 1, ir.Right - 1, y + 2}, clBtnHighlight);
      continue;
    }
    const bool hot = i == hot_;
    if (hot) c.FillRectColor(ir, clHighlight);
    c.Font = Font();
    c.Font.Bold = it->Default;
    c.Brush.Style = bsClear;
    TRect tr{ir.Left + kPadX, ir.Top, ir.Right - kPadX, ir.Bottom};
    const std::string key = ShortCutToText(it->ShortCut);
    auto draw = [&](TColor col, int off) {
      c.Font.Color = col;
      TRect a = tr.Offset(off, off);
      c.DrawText(it->Caption, a, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
      if (!key.empty()) {
        TRect b = a;
        c.DrawText(key, b, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
      }
    };
    if (!it->Enabled) {
      if (!hot) draw(clBtnHighlight, 1);
      draw(clGrayText, 0);
    } else {
      draw(hot ? clHighlightText : clMenuText, 0);
    }
    c.Brush.Style = bsSolid;
  }
}

}  // namespace vdmq
