#include "formkit/KitPictures.h"

#include "formkit/BmpBitmap.h"
#include "formkit/KitFaceTable.h"
#include "formkit/KitPictureData.h"
#include "platform/base/GameError.h"
#include "platform/core/Application.h"
#include "qolib/graphics/Qooldbmp.h"

namespace vdmq {

void RegisterKitPictures() {
  // Asked each time rather than remembered, so a cleared resource table is filled again.
  if (kKitPictureCount == 0 || QoFindResource(0, kKitPictureBytes[0].Name, nullptr, nullptr)) return;
  for (std::size_t i = 0; i < kKitPictureCount; ++i)
    QoAddResource(0, kKitPictureBytes[i].Name, kKitPictureBytes[i].Data, kKitPictureBytes[i].Size);
}

bool LoadKitPicture(const std::string& name, TBitmap& bitmap) {
  RegisterKitPictures();
  return LoadBmpBitmapResource(name, bitmap);
}

void InstallKitIcons() {
  LoadKitPicture("AppIcon16", *App().IconPtr());
  TBitmap windowIcon;
  if (LoadKitPicture("AppIcon32", windowIcon)) App().SetWindowIcon(windowIcon.Pixels());
}

std::vector<std::string> FaceContainerNames() {
  std::vector<std::string> names;
  for (const TFaceContainerSpec& s : kFaceContainers) names.emplace_back(s.Name);
  return names;
}

TCHBmpContainer* MakeFaceContainer(TComponent* owner, const std::string& name) {
  const TFaceContainerSpec* spec = FindFaceContainer(name);
  if (!spec) ThrowGameError("MakeFaceContainer: no face container named " + name);
  auto* c = new TCHBmpContainer(owner);
  c->Name = name;
  if (!LoadKitPicture(name, c->Bitmap())) {
    delete c;
    ThrowGameError("MakeFaceContainer: the picture of " + name + " is missing");
  }
  c->SetCellWidth(0);
  c->SetCellHeight(spec->FaceHeight);
  return c;
}

}  // namespace vdmq
