#pragma once
// Controls of the two developer tools: edit line, up-down, list box, combo box, radio group,
// page control with tab sheets, and the save-file dialog.

#include <string>
#include <vector>

#include "platform/core/Form.h"
#include "platform/core/StdCtrls.h"

namespace vdmq {

class TEdit : public TControl {
 public:
  explicit TEdit(TComponent* owner);
  const char* ClassName() const override { return "TEdit"; }
  const std::string& Text() const { return Caption(); }
  void SetText(const std::string& t) { SetCaption(t); }
  int MaxLength = 0;
  TNotifyEvent OnChange;

 protected:
  void Paint(TCanvas& c) override;
  void TextChanged() override;
  void MouseDown(TMouseButton b, TShiftState s, int x, int y) override;
  void KeyDown(unsigned& key, TShiftState shift) override;
  void KeyPress(char& key) override;
};

class TUpDown : public TControl {
 public:
  explicit TUpDown(TComponent* owner);
  const char* ClassName() const override { return "TUpDown"; }
  int Min = 0, Max = 100, Increment = 1;
  bool Wrap = false;
  int Position() const { return position_; }
  void SetPosition(int v);
  // An edit that shows the position.
  TEdit* Associate = nullptr;
  TNotifyEvent OnClick;  // after a press of either half

 protected:
  void Paint(TCanvas& c) override;
  void MouseDown(TMouseButton b, TShiftState s, int x, int y) override;

 private:
  int position_ = 0;
};

// A list of text lines, one chosen. When the lines exceed the rows it shows, a vertical scroll bar
// appears at its right: the arrows move one row, the track a page, and the thumb drags; the wheel
// moves three rows a notch. Choosing a line, by the keys, a click or code, scrolls it into view.
class TListBox : public TControl {
 public:
  explicit TListBox(TComponent* owner);
  const char* ClassName() const override { return "TListBox"; }
  std::vector<std::string> Items;
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int i);
  int ItemHeight = 13;
  // The first line shown, kept within 0 .. lines - visible rows.
  int TopIndex() const { return topIndex_; }
  void SetTopIndex(int i);
  // Whole rows the list shows at once (at least 1).
  int VisibleRows() const;
  bool ScrollBarShown() const;
  // The scroll bar's parts in client coordinates (empty while it is not shown).
  TRect UpArrowRect() const;
  TRect DownArrowRect() const;
  TRect ThumbRect() const;
  // After a change of Items: the choice and the scroll position are kept within the new lines.
  void ItemsChanged();
  void Dispatch(TMessage& m) override;

 protected:
  void Paint(TCanvas& c) override;
  void MouseDown(TMouseButton b, TShiftState s, int x, int y) override;
  void MouseMove(TShiftState s, int x, int y) override;
  void MouseUp(TMouseButton b, TShiftState s, int x, int y) override;
  void Click() override;
  void KeyDown(unsigned& key, TShiftState shift) override;

 private:
  int Count() const { return static_cast<int>(Items.size()); }
  int MaxTop() const;
  TRect Inner() const;
  TRect BarRect() const;
  TRect TrackRect() const;
  int itemIndex_ = -1;
  int topIndex_ = 0;
  // A press on the scroll bar (no click of a line follows), and the thumb being dragged: the press's
  // offset into the thumb.
  bool barPress_ = false;
  bool thumbDrag_ = false;
  int dragOffset_ = 0;
  // Wheel movement below one notch, kept for the next message.
  int wheelRest_ = 0;
};

class TComboBox : public TControl {
 public:
  explicit TComboBox(TComponent* owner);
  const char* ClassName() const override { return "TComboBox"; }
  std::vector<std::string> Items;
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int i);
  std::string Text() const { return itemIndex_ >= 0 ? Items[itemIndex_] : std::string(); }
  TNotifyEvent OnChange;  // after the user picks an item

 protected:
  void Paint(TCanvas& c) override;
  void MouseDown(TMouseButton b, TShiftState s, int x, int y) override;

 private:
  int itemIndex_ = -1;
};

class TRadioGroup : public TControl {
 public:
  explicit TRadioGroup(TComponent* owner);
  const char* ClassName() const override { return "TRadioGroup"; }
  std::vector<std::string> Items;
  int Columns = 1;
  int ItemIndex() const { return itemIndex_; }
  // Changing the choice runs OnClick.
  void SetItemIndex(int i);
  TRect ItemRect(int i) const;

 protected:
  void Paint(TCanvas& c) override;
  void MouseDown(TMouseButton b, TShiftState s, int x, int y) override;
  void Click() override {}

 private:
  int itemIndex_ = -1;
};

class TPageControl;

class TTabSheet : public TControl {
 public:
  explicit TTabSheet(TComponent* owner);
  ~TTabSheet() override;
  const char* ClassName() const override { return "TTabSheet"; }
  // Joins a page control (the sheet becomes its child, sized to the page area).
  void SetPageControl(TPageControl* pc);
  TPageControl* PageControl() const { return pageControl_; }
  TNotifyEvent OnShow, OnHide;

 private:
  friend class TPageControl;
  TPageControl* pageControl_ = nullptr;
};

class TPageControl : public TControl {
 public:
  explicit TPageControl(TComponent* owner);
  ~TPageControl() override;
  const char* ClassName() const override { return "TPageControl"; }
  int PageCount() const { return static_cast<int>(pages_.size()); }
  TTabSheet* Pages(int i) const { return pages_.at(static_cast<size_t>(i)); }
  TTabSheet* ActivePage() const { return active_; }
  int ActivePageIndex() const;
  // Shows one sheet (its OnShow runs) and hides the previous one.
  void SetActivePage(TTabSheet* page);
  TRect TabRect(int i) const;
  TNotifyEvent OnChange;  // after the user picks a tab

 protected:
  void Paint(TCanvas& c) override;
  void MouseDown(TMouseButton b, TShiftState s, int x, int y) override;
  void BoundsChanged() override;

 private:
  friend class TTabSheet;
  void AddPage(TTabSheet* p);
  void RemovePage(TTabSheet* p);
  std::vector<TTabSheet*> pages_;
  TTabSheet* active_ = nullptr;
};

// The save-file dialog: a layer form with a file-name line, OK and Cancel. The environment
// variable VDMQ_SAVE_PATH, when set, answers it without showing anything.
class TSaveDialog : public TComponent {
 public:
  explicit TSaveDialog(TComponent* owner) : TComponent(owner) {}
  const char* ClassName() const override { return "TSaveDialog"; }
  std::string Filter;  // "dat|*.dat"
  std::string FileName;
  std::string DefaultExt;
  std::string Title;
  // True when the user accepted a file name (FileName holds it).
  bool Execute();
};

}  // namespace vdmq
