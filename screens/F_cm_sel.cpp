#include "screens/F_cm_sel.h"

#include "platform/base/Sjis.h"

namespace vdmq {

TfmCmdSel::TfmCmdSel(TComponent* owner) : TCHF_Form(owner) {
  SetUpScreenForm(this, "fmCmdSel", SJS("司令官選択"), 616, 252);
}

TfmCmdSel::~TfmCmdSel() {
  BeginDestroy();
  DestroyComponents();
}

bool TfmCmdSel::CanChoose(int) const { return false; }
void TfmCmdSel::BuildList() {}
void TfmCmdSel::ShowList() {}
void TfmCmdSel::ShowPortrait() {}
void TfmCmdSel::ShowButtons() {}
void TfmCmdSel::FormShow(TComponent*) {}
void TfmCmdSel::lbCmdName0Click(TComponent*) {}
void TfmCmdSel::btnNameClick(TComponent*) {}
void TfmCmdSel::btnCmdInfoClick(TComponent*) {}
void TfmCmdSel::btnOkClick(TComponent*) { ModalResult = 1; }
void TfmCmdSel::btnBackClick(TComponent*) { ModalResult = 2; }

int ShowCmdSel(int, int, int) { return -1; }

}  // namespace vdmq
