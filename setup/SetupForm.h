#pragma once
// The setup program's one window: a 480 x 320 dialog over the background picture with the buttons
// for installing (or, once installed, starting the game), uninstalling and ending the program.

#include "platform/core/Form.h"
#include "platform/core/StdCtrls.h"

namespace vdmq::setup {

class TfmMain : public TForm {
 public:
  explicit TfmMain(TComponent* owner);
  const char* ClassName() const override { return "TfmMain"; }

  TImage* imgBg = nullptr;
  TButton* btnInst = nullptr;
  TButton* btnUnInst = nullptr;
  TButton* btnUser = nullptr;  // never shown
  TButton* Button1 = nullptr;

  // The buttons and the caption for the installed or the not-installed state.
  void UpdateButtons();

  void FormCreate(TComponent* sender);
  void btnInstClick(TComponent* sender);
  void btnUnInstClick(TComponent* sender);
  void btnUserClick(TComponent* sender);
  void Button1Click(TComponent* sender);

 private:
  // Copies the installer folder of the medium into the temporary folder and starts it there.
  void HandOverToInstaller();
  // Removes the installer copy and starts the installed game.
  void StartGame();
};

extern TfmMain* fmMain;

}  // namespace vdmq::setup
