#include "screens/f_cmd_if.h"

#include "platform/base/Sjis.h"
#include "screens/ScreenList.h"

namespace vdmq {

TfmInfo::TfmInfo(TComponent* owner) : TCHF_Form(owner) {
  SetUpScreenForm(this, "fmInfo", "", 540, 280);
}

TfmInfo::~TfmInfo() {
  BeginDestroy();
  DestroyComponents();
}

void TfmInfo::SetPage(int mode, int index) {
  Mode = mode;
  Index = index;
}
void TfmInfo::FormShow(TComponent*) {}
void TfmInfo::btnBackClick(TComponent*) { ModalResult = 1; }

void ShowCmdInfo(int) {}
void ShowCountryInfo(int) {}

}  // namespace vdmq
