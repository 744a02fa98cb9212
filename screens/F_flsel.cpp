#include "screens/F_flsel.h"

#include "platform/base/Sjis.h"
#include "screens/ScreenList.h"

namespace vdmq {

TfmFleetSel* fmFleetSel = nullptr;

TfmFleetSel::TfmFleetSel(TComponent* owner) : TCHF_Form(owner) {
  SetUpScreenForm(this, "fmFleetSel", SJS("艦隊選択"), 154, 470);
}

TfmFleetSel::~TfmFleetSel() {
  if (fmFleetSel == this) fmFleetSel = nullptr;
  BeginDestroy();
  DestroyComponents();
}

void TfmFleetSel::Refresh() {}
void TfmFleetSel::FormShow(TComponent*) {}
void TfmFleetSel::btnFl0Click(TComponent*) {}
void TfmFleetSel::btnPlaClick(TComponent*) {}
void TfmFleetSel::btnCloseClick(TComponent*) { ModalResult = 1; }

void ShowFleetSel(int) {}
void ShowFleetSelByPlanet(int) {}

}  // namespace vdmq
