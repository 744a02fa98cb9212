#pragma once
// The event dialogue window: the scenario's dialogue shown page by page, two speakers with their
// portraits and names facing each other over up to four lines of text. A page may offer two or
// three of its lines as choices; the line chosen is left in the story state. The window is created
// once at start and lives for the whole run; its "next" arrow animates all the while.

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "campaign/GameHost.h"
#include "platform/core/Form.h"
#include "qolib/graphics/QoTDib.h"

namespace vdmq {

class TImage;
class TLabel;
class TPanel;
class TQoRGBContainer;
class TTimer;

// Longest dialogue line, in bytes (a page's line buffers hold 256 with the end byte).
constexpr size_t kEventLineBytes = 255;

// What the window shows while a script runs; reset by every EventMes.
struct TEventPage {
  struct TSpeaker {
    int hidden = -1;     // any value but 0 hides the side
    int character = -1;  // event character, -1 none
  };
  size_t next = 1;      // the script's next argument (its first is never read)
  bool ended = false;   // "END_STR" was read (or the script ran out)
  int background = -1;  // file kind 12 picture behind the text; -1 shows number 0
  int choices = -1;     // -1 no choice, else 2 or 3 for the rest of the call
  int side = 0;         // the speaking side: 0 left, 1 right
  std::array<TSpeaker, 2> speakers;
  std::array<std::string, 4> lines;
  int lineCount = 0;
};

class TfmEventMes : public TForm {
 public:
  explicit TfmEventMes(TComponent* owner);
  ~TfmEventMes() override;
  const char* ClassName() const override { return "TfmEventMes"; }

  // --- published components, in the order of the layout ---
  TImage* imgBg = nullptr;
  TQoTrueDib QoBG{nullptr, 512, 416};
  TPanel* Panel1 = nullptr;
  TImage* imgLeft = nullptr;
  TQoTrueDib QoTrueDibImgLeft{nullptr, 216, 216};
  TPanel* Panel2 = nullptr;
  TImage* imgRight = nullptr;
  TQoTrueDib QoTrueDibImgRight{nullptr, 216, 216};
  TLabel *lbLNameBk = nullptr, *lbLName = nullptr, *lbRNameBk = nullptr, *lbRName = nullptr;
  TPanel* Panel3 = nullptr;
  TImage* imgText = nullptr;
  TQoTrueDib QoTrueDibImgMes{nullptr, 464, 100};
  TPanel* Panel4 = nullptr;
  TImage* imgNext = nullptr;
  TQoTrueDib QoTrueDibNext{nullptr, 60, 30};
  TTimer* tmNext = nullptr;

  // The arrow's next frame (0..14) and whether its sheet was read.
  int ArrowCounter() const { return arrowCounter_; }
  bool HasArrowSheet() const { return arrow_ != nullptr; }

  // Reads the next page of the running script and shows it; false, with nothing drawn, when the
  // script holds no further page to show.
  bool ReadPage();
  // Plays the shutters of the faces that came in with the page read, then draws it.
  void ShowPage();
  // Draws the page: background, both sides, the lines.
  void DrawPage();
  // A click or the space key: the next page, or the end of the dialogue. While a page with lines
  // offers a choice, only once a line is under the mouse.
  void Advance();

  // --- handlers ---
  void FormCreate(TComponent* sender);
  void FormDestroy(TComponent* sender);
  void FormShow(TComponent* sender);
  void FormShortCut(unsigned key, TShiftState shift, bool& handled);
  void imgBgMouseDown(TComponent* sender, TMouseButton button, TShiftState shift, int x, int y);
  void imgTextMouseMove(TComponent* sender, TShiftState shift, int x, int y);
  void imgTextClick(TComponent* sender);
  void imgNextClick(TComponent* sender);
  void tmNextTimer(TComponent* sender);

 private:
  // The side's speaker token with character c: the shutter is due when another face comes in.
  void Speak(int side, int character);
  void PlayShutter(int side);
  // The next token as text; false when the script has run out. Stray numbers are passed over.
  bool NextToken(std::string* token);
  // The number after a token, or fallback when the script holds none there.
  int NextNumber(int fallback);

  // Draws the picture of a file kind and number from the archive at the top left of a surface, read
  // once and kept: pages turn far faster than the archive decodes. False (the surface unchanged)
  // for a picture that cannot be read.
  bool DrawPicture(TQoTrueDib& surface, int kind, int number);

  struct TKeptPicture {
    std::string name;
    std::unique_ptr<TQoTrueDib> picture;  // null: the picture cannot be read
  };
  std::vector<TKeptPicture> kept_;  // the most recently used first
  std::unique_ptr<TQoRGBContainer> arrow_;
  std::vector<int> shutters_;  // sides whose shutter plays before the page read is drawn
  int arrowCounter_ = 0;
};

// The event window (null before it is created and after it is freed).
extern TfmEventMes* fmEventMes;

// The state of the page shown (or last shown).
const TEventPage& EventMesPage();

// Shows a dialogue script modally, page by page, then repaints the main window. The first argument
// is not read; tokens follow: "END_STR" ends, "NP" ends a page that holds a line, "SEL_2"/"SEL_3"
// make the page's following lines choices, "0"/"1" and a number bring in the left or right speaker
// (-1 none), "DRAW_BG" and a number set the page background, any other text is one line (the
// fourth ends the page). The choice stays in the story state (GetEventSelect), not reset here.
void EventMes(const TEventMesScript& script);

}  // namespace vdmq
