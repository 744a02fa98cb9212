#pragma once
// The portraits 0..37: parametric busts facing the viewer, in four kinds. GEN (216 x 216) is the
// event window's and the information screen's, GEN_D the same at about 55 % brightness and half
// saturation for the side not speaking, COM (138 x 138) and COM_S (69 x 69) the message box's,
// selector's and battle window's, with a thin frame. Every size is area-averaged from one master
// drawn at four times GEN's size.
//
// 0..28 are the story's characters (an authored table that fits the cast: names, profiles and
// factions), 29 the planet defence's emblem, 30..37 the generic officers.

#include "tools/ArtTable.h"

namespace vdmq::sample {

constexpr int kPortraitCount = 38;
constexpr int kDefenceEmblem = 29;

TArtImage RenderPortrait(const TArtEntry& entry, TArtCache& cache);

}  // namespace vdmq::sample
