#pragma once
// The pictures stage: every entry of the entry table drawn (threads draw entries independently),
// staged as a BMP file under its entry name with its time pinned, and packed into dat/BMP.PAK in
// the table's order. With a preview folder it also writes the contact sheets.

#include <cstdint>
#include <string>
#include <vector>

#include "tools/ArtTable.h"

namespace vdmq::sample {

class TGeneration;

// The time every staged file carries, so the archive's records do not depend on the day of the run:
// 2000-01-01 00:00:00 UTC.
constexpr std::int64_t kPinnedFileTime = 946684800;

// One drawn entry: its picture and its BMP bytes, or what went wrong.
struct TDrawnArt {
  TArtImage Image;
  std::vector<std::uint8_t> Bmp;
  std::string Error;
};
// Draws one entry and checks it against its row.
TDrawnArt DrawOne(const TArtEntry& entry, TArtCache& cache);
// Draws the entries on up to `threads` threads; the result is in the entries' order.
std::vector<TDrawnArt> DrawArt(const std::vector<TArtEntry>& entries, int threads);

// Writes bytes to path (replacing it only when complete) and pins its modification time; "" or the
// failure ("path: reason").
std::string StageFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

bool RunPictureStage(TGeneration& generation);

}  // namespace vdmq::sample
