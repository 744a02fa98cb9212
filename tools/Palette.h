#pragma once
// Shared palettes: one 256-colour palette for a set of pictures, by median cut over all their
// pixels, and the pictures in that palette's indices. Deterministic: the same pictures give the
// same palette and indices on every build.

#include <array>
#include <vector>

#include "tools/Raster.h"

namespace vdmq::raster {

using TPalette = std::array<TBgr, 256>;

// At most `count` colours for the pixels of every picture, by median cut (each colour weighted by
// its count): the box with the largest squared error along its widest channel is split at its
// weighted median until there are `count` boxes or none can be split; each colour is its box's
// mean. Pictures that must not lose their few colours to larger ones get a share of their own.
std::vector<TBgr> MedianCutColours(const std::vector<const TImage24*>& images, int count);
// Each pixel as the index of its nearest palette colour (squared distance, ties to the lower index).
TImage8 ToPaletted(const TImage24& image, const TPalette& palette);
// A picture in a palette of its own: its 256 median-cut colours, each pixel offset by an 8 x 8
// ordered dither of +-dither/2 byte steps (0: none) before it takes its nearest colour. Unused
// palette entries are black.
TImage8 Quantize(const TImage24& image, float dither = 0.0f);

}  // namespace vdmq::raster
