#pragma once
// Popup menus: items with "&" accelerators, enabled state, a default (bold) item, a shortcut
// text and separators ("-"). Popup opens a layer window at a screen point and runs a nested loop
// (timers keep firing) until an item is chosen or the menu is dismissed; the chosen item's
// OnClick runs afterwards.

#include <string>
#include <vector>

#include "platform/core/Form.h"

namespace vdmq {

// Shortcut values: a key code with modifier bits.
constexpr unsigned scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;
// Alt+F4 (32883).
constexpr unsigned kShortCutAltF4 = scAlt | VK_F4;
// The text of a shortcut ("Alt+F4").
std::string ShortCutToText(unsigned shortCut);

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* owner) : TComponent(owner) {}
  const char* ClassName() const override { return "TMenuItem"; }
  std::string Caption;  // CP932; "-" is a separator
  bool Enabled = true;
  bool Visible = true;
  bool Default = false;
  bool Checked = false;
  unsigned ShortCut = 0;
  TNotifyEvent OnClick;
  bool IsLine() const { return Caption == "-"; }
  void Click() {
    if (Enabled && OnClick) OnClick(this);
  }
};

class TPopupMenu : public TComponent {
 public:
  explicit TPopupMenu(TComponent* owner) : TComponent(owner) {}
  const char* ClassName() const override { return "TPopupMenu"; }
  // Items of the menu (owned by the menu's owner, listed here in menu order).
  std::vector<TMenuItem*> Items;
  TMenuItem* Add(TMenuItem* item) {
    Items.push_back(item);
    return item;
  }
  // Shows the menu at a screen point; returns the chosen item (its OnClick has run) or nullptr.
  TMenuItem* Popup(int x, int y);
  void Notification(TComponent* c, TOperation op) override;
};

// The window of an open popup menu (class "TMenuWindow").
class TMenuWindow : public TForm {
 public:
  TMenuWindow(TComponent* owner, TPopupMenu& menu);
  const char* ClassName() const override { return "TMenuWindow"; }
  void Dispatch(TMessage& m) override;
  const TPopupMenu& Menu() const { return menu_; }
  bool Done() const { return done_; }
  TMenuItem* Chosen() const { return chosen_; }
  // Row rectangle of an item in client coordinates (empty when hidden).
  TRect ItemRect(int index) const;
  int Hot() const { return hot_; }

 protected:
  void Paint(TCanvas& c) override;

 private:
  int ItemAt(TPoint client) const;
  void Choose(int index);
  void MoveHot(int step);
  TPopupMenu& menu_;
  std::vector<int> tops_;
  int hot_ = -1;
  bool done_ = false;
  TMenuItem* chosen_ = nullptr;
};

}  // namespace vdmq
