#pragma once
// The kit's pictures, built into the program: the three window skins ("CHF_BcFrame",
// "CHF_BcTitlebar", "CHF_BcButton"), the main window's 24 face containers and the application
// icon ("AppIcon16", "AppIcon32"). They are registered with the resource table (QoAddResource) on
// first use and loaded from there.

#include <string>
#include <vector>

#include "formkit/Chbmpcnt.h"

namespace vdmq {

// Registers every embedded picture under its name (when they are not registered already).
void RegisterKitPictures();
// Loads an embedded picture; false (the bitmap unchanged) for a name the kit does not have.
bool LoadKitPicture(const std::string& name, TBitmap& bitmap);

// Installs the application's icons from the embedded pictures: the 16 x 16 one the kit's title bars
// draw (App().IconPtr()) and the 32 x 32 one of the OS window (App().SetWindowIcon).
void InstallKitIcons();

// The names of the main window's 24 face containers.
std::vector<std::string> FaceContainerNames();
// A face container owned by owner, with Name = name, its picture and its cell rule (one row of
// faces per cell: CellWidth 0, CellHeight the face height). An unknown name throws EGameError.
TCHBmpContainer* MakeFaceContainer(TComponent* owner, const std::string& name);

}  // namespace vdmq
