#include "formkit/CHFDATAU.h"

#include "formkit/Bcwriter.h"
#include "formkit/KitPictures.h"

namespace vdmq {

TCHF_Data* CHF_Data = nullptr;

namespace {
struct TSkin {
  const char* name;
  int cellHeight;
};
constexpr TSkin kSkins[] = {{"CHF_BcFrame", 0}, {"CHF_BcTitlebar", -2}, {"CHF_BcButton", -5}};
}  // namespace

TCHF_Data::TCHF_Data(TComponent* owner) : TDataModule(owner) {
  Name = "CHF_Data";
  TCHBmpContainer** fields[] = {&CHF_BcFrame, &CHF_BcTitlebar, &CHF_BcButton};
  for (int i = 0; i < 3; ++i) {
    auto* c = new TCHBmpContainer(this);
    c->Name = kSkins[i].name;
    // The picture first and the cell rule after, as a form resource loads them.
    LoadKitPicture(kSkins[i].name, c->Bitmap());
    c->SetCellHeight(kSkins[i].cellHeight);
    *fields[i] = c;
  }
  CHF_Data = this;
  TBcWriter::BindWaitingWriters(*this);
}

TCHF_Data::~TCHF_Data() {
  if (CHF_Data == this) CHF_Data = nullptr;
}

TCHBmpContainer* TCHF_Data::Container(const std::string& name) const {
  return dynamic_cast<TCHBmpContainer*>(FindComponent(name));
}

bool TCHF_Data::IsContainerName(const std::string& name) {
  for (const TSkin& s : kSkins)
    if (name == s.name) return true;
  return false;
}

}  // namespace vdmq
