#pragma once
// The game's message box: a caption, up to five lines of text ("<BR>" between lines) and the
// adjutant's portrait, answered with OK or Cancel. It is created once at start and shown modally by
// every question and notice.

#include <array>
#include <string>

#include "platform/core/Form.h"
#include "qolib/graphics/QoTDib.h"

namespace vdmq {

class TCHBcBitBtn;
class TImage;
class TLabel;
class TPanel;

class TfmSysMes : public TForm {
 public:
  explicit TfmSysMes(TComponent* owner);
  ~TfmSysMes() override;
  const char* ClassName() const override { return "TfmSysMes"; }

  // --- published components, in the order of the layout ---
  TImage* imgBg = nullptr;
  TQoTrueDib QoBG{nullptr, 448, 197};
  TPanel* plCmd = nullptr;
  TImage* imgCmd = nullptr;
  TQoTrueDib QoCmd{nullptr, 138, 138};
  TLabel* lbTitle = nullptr;
  TLabel *lbLine0 = nullptr, *lbLine1 = nullptr, *lbLine2 = nullptr, *lbLine3 = nullptr, *Label1 = nullptr;
  TCHBcBitBtn* btnOk = nullptr;
  TCHBcBitBtn* btnCancel = nullptr;

  // The text being shown (CP932, "<BR>" between lines) and the answer: 1 OK, 2 Cancel.
  std::string Text;
  int Result = 2;

  // --- handlers ---
  void FormCreate(TComponent* sender);
  void FormShow(TComponent* sender);
  void btnOkClick(TComponent* sender);
  void btnCancelClick(TComponent* sender);
  void imgBgMouseDown(TComponent* sender, TMouseButton button, TShiftState shift, int x, int y);
};

// The message box (null before it is created and after it is freed).
extern TfmSysMes* fmSysMes;

// Longest line the box shows, in bytes.
constexpr size_t kSysMesLineBytes = 511;

// Splits a message into the box's five lines: at most five segments between "<BR>"s, each cut to
// 511 bytes (510 where the 511th byte would split a double-byte letter); missing lines are empty.
std::array<std::string, 5> SplitSysMesLines(const std::string& text);

// The message box with the adjutant's portrait: 1 for OK, 2 for Cancel or any other close. The
// Cancel button shows only when withCancel is exactly 1.
int SysMes(const std::string& text, const std::string& caption, int withCancel);
// The same with the portrait of a picture file kind and number.
int SysMesEx(const std::string& text, const std::string& caption, int withCancel, int kind, int number);
// The message box while a battle runs (the battle waits while it is open).
int SysMesBt(const std::string& text, const std::string& caption, int withCancel);

}  // namespace vdmq
