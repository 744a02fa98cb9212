#pragma once
// What the list screens and the small game screens share: their kit buttons on the main window's
// face containers, their transparent fixed-pitch labels, their background, and the ten-line list
// with four scroll buttons that the dock screen and the parts selector show their entries in.

#include <functional>
#include <string>
#include <vector>

#include "platform/base/Format.h"
#include "platform/core/Application.h"
#include "platform/core/Canvas.h"

namespace vdmq {

class TCHBcBitBtn;
class TCHBcSpeedButton;
class TCHBmpContainer;
class TComponent;
class TForm;
class TImage;
class TLabel;
class TPanel;
class TQoTrueDib;

// The frame of a screen: its name, a single border without caption buttons, centred on the screen,
// black, with its caption and client size.
void SetUpScreenForm(TForm* form, const std::string& name, const std::string& caption, int width, int height);

// A face container of the main window by its name ("bc28_28" ...), null without the main window.
TCHBmpContainer* MainFaces(const std::string& name);

// One kit button of a screen at (left, top), w x h until its faces size it: the faces of a container
// of the main window at a cell (NumGlyphs 3, AutoSize), its caption aqua when up, blue when pressed or
// held down, grey when disabled, in "ＭＳ ゴシック" 12.
TCHBcBitBtn* MakeScreenButton(TForm* owner, const std::string& name, int left, int top, int w, int h,
                              const std::string& caption, const char* faces, int cell = 0);
TCHBcSpeedButton* MakeScreenSpeedButton(TForm* owner, const std::string& name, int left, int top, int w, int h,
                                        const std::string& caption, const char* faces, int cell = 0);

// A transparent label of a screen in "ＭＳ ゴシック" 12 (half-width bytes 6 pixels wide).
TLabel* MakeScreenLabel(TForm* owner, const std::string& name, int left, int top, const std::string& caption,
                        TColor color = clWhite);

// The background image filling a form's client area, with its surface bound to it.
TImage* MakeScreenBackground(TForm* owner, TQoTrueDib& surface, int width, int height);
// Draws the picture of a file kind onto the background surface.
void DrawScreenBackground(TQoTrueDib& surface, int kind);

// A black panel at (left, top), w x h, into *panel, holding the image of its size that it answers,
// bound to the surface (a picture shown on a screen: a portrait, a ship).
TImage* MakeScreenPicture(TForm* owner, TPanel** panel, const std::string& panelName, const std::string& imageName,
                          TQoTrueDib& surface, int left, int top, int w, int h);

// One column button of a list's header bar: its name, caption (UTF-8), left, width and faces.
struct TScreenColumn {
  const char* name;
  const char* caption;
  int left, width;
  const char* faces;
};
// The header bar at top: the buttons of the columns, numbered 1.. by their Tag, into buttons[].
void MakeColumnButtons(TForm* owner, int top, const TScreenColumn* columns, int count, TCHBcBitBtn** buttons,
                       const std::function<void(TComponent*)>& onClick);

// Sets a label's font colour (a no-op when it already has it).
void SetLabelColor(TLabel* label, TColor color);

// A name from a getter that may answer null, as text.
inline const char* NameOrEmpty(const char* name) { return name != nullptr ? name : ""; }

// A screen opened by its opening function: created with the application as owner and registered as
// the open one (so that a second opening answers at once), then unregistered and freed at the end
// of the scope, also when showing it throws.
template <class F>
class TOpenScreen {
 public:
  explicit TOpenScreen(F*& open) : open_(open) {
    App().CreateForm(form_);
    open_ = form_;
  }
  ~TOpenScreen() {
    open_ = nullptr;
    delete form_;
  }
  TOpenScreen(const TOpenScreen&) = delete;
  TOpenScreen& operator=(const TOpenScreen&) = delete;
  F* operator->() const { return form_; }
  F& operator*() const { return *form_; }

 private:
  F*& open_;
  F* form_ = nullptr;
};

// The colours of a list line.
constexpr TColor kLineChosen = RGB(0, 255, 255);
constexpr TColor kLineChoosable = RGB(255, 255, 255);
constexpr TColor kLineGrey = RGB(128, 128, 128);

// Ten list lines lbList0..9 (Tag 1..10, unless named and numbered otherwise) over a fixed array of places (-1 empty), a
// count and a scroll top, with the scroll buttons btnPageUp "▲", btnUp "△", btnDown "▽", btnPageDown "▼" on the cells
// 0..3 of "bc28_28".
class TScreenList {
 public:
  static constexpr int kLines = 10;
  explicit TScreenList(int capacity) : Places(static_cast<size_t>(capacity), -1) {}

  // Makes the lines at (left, top + pitch * i), each reaching to the scroll buttons at scrollLeft,
  // and the scroll buttons at scrollLeft, scrollTops[0..3]. onScroll runs after every scroll. The
  // lines are named lineName0..9 and numbered firstTag.. by their Tag.
  void Create(TForm* form, int left, int top, int pitch, int scrollLeft, const int scrollTops[4],
              std::function<void()> onScroll, const char* lineName = "lbList", int firstTag = 1);

  // Empties every place, the count and the top.
  void Clear();
  // Appends an entry; false (nothing kept) when every place is taken.
  bool Append(int entry);
  // The entry shown on a line, or -1 past the end.
  int EntryAtLine(int line) const;
  // The entry under a clicked line (its Tag), or -1.
  int EntryOfSender(const TComponent* sender) const;
  // Sorts the entries by a strict order.
  void Sort(const std::function<bool(int, int)>& less);
  // Sorts the entries by a key (compareKey: below, at or above 0 as a's key is below, equal to or
  // above b's), equal keys by entry ascending; descending reverses the whole order.
  void SortByKey(const std::function<int(int a, int b)>& compareKey, bool descending);

  // Writes the ten lines (text and colour of each shown entry; "" past the end) and the scroll
  // buttons' states.
  void Show(const std::function<std::string(int)>& text, const std::function<TColor(int)>& color);

  // --- handlers ---
  void btnPageUpClick(TComponent* sender);
  void btnUpClick(TComponent* sender);
  void btnDownClick(TComponent* sender);
  void btnPageDownClick(TComponent* sender);

  std::vector<int> Places;
  int Count = 0;
  int Top = 0;
  TLabel* lbList[kLines] = {};
  TCHBcBitBtn *btnPageUp = nullptr, *btnUp = nullptr, *btnDown = nullptr, *btnPageDown = nullptr;

 private:
  void UpdateScrollButtons();
  std::function<void()> onScroll_;
  int firstTag_ = 1;
};

}  // namespace vdmq
