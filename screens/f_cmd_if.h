#pragma once
// The information screen: a portrait, a name, five profile lines and six value lines for a
// commander, an event character or a country (through its head of state). Read-only.

#include <array>
#include <string>

#include "formkit/CHFFORMU.h"
#include "qolib/graphics/QoTDib.h"

namespace vdmq {

class TCHBcBitBtn;
class TImage;
class TLabel;
class TPanel;

class TfmInfo : public TCHF_Form {
 public:
  explicit TfmInfo(TComponent* owner);
  ~TfmInfo() override;
  const char* ClassName() const override { return "TfmInfo"; }

  static constexpr int kProfileLines = 11;

  // --- published components ---
  TImage* imgBG = nullptr;
  TQoTrueDib QoBG{nullptr, 540, 280};
  TPanel* plCmd = nullptr;
  TImage* imgCmd = nullptr;
  TQoTrueDib QoImg{nullptr, 216, 216};
  TLabel* lbName = nullptr;
  TLabel* lbProfile[kProfileLines] = {};  // lbProfile0..4 (Tag 1..5) the profile, 5..10 the values
  TCHBcBitBtn* btnBack = nullptr;

  // --- state ---
  int Mode = 0;  // 0 commander, 1 event character, 2 country
  int Index = -1;

  // Sets the mode (and the caption that goes with it) and the index.
  void SetPage(int mode, int index);

  // --- handlers ---
  void FormShow(TComponent* sender);
  void btnBackClick(TComponent* sender);
};

// A commander's five value lines (CP932), as the information screen and the fleet screen show them:
// level and experience, attack, defence, judgement and spirit, fatigue.
std::array<std::string, 5> CmdValueLines(int cmd);

// The information screen of a commander (0..119) or a country (0..13); nothing for any other index
// or while the screen is open.
void ShowCmdInfo(int cmd);
void ShowCountryInfo(int country);

}  // namespace vdmq
