#include "screens/F_pl_sel.h"

#include "platform/base/Sjis.h"

namespace vdmq {

TfmPlaSel::TfmPlaSel(TComponent* owner) : TCHF_Form(owner) {
  SetUpScreenForm(this, "fmPlaSel", SJS("拠点選択"), 540, 240);
}

TfmPlaSel::~TfmPlaSel() {
  BeginDestroy();
  DestroyComponents();
}

bool TfmPlaSel::CanChoose(int) const { return false; }
void TfmPlaSel::BuildList() {}
void TfmPlaSel::ShowList() {}
void TfmPlaSel::FormShow(TComponent*) {}
void TfmPlaSel::lbCmdName0Click(TComponent*) {}
void TfmPlaSel::btnNameClick(TComponent*) {}
void TfmPlaSel::btnOkClick(TComponent*) { ModalResult = 1; }
void TfmPlaSel::btnCloseClick(TComponent*) { ModalResult = 2; }

int ShowPlaSel(int, int, int) { return -1; }

}  // namespace vdmq
