#pragma once
// What the contact sheets are drawn with: the drawn pictures looked up by kind and number, blits of
// sheet frames keyed (SET or ADD) or opaque as the game's views draw them, scaling, boxes, a tiny
// digit font for labels, a shelf that lays pictures out in rows, and saving as PNG.

#include <string>
#include <vector>

#include "tools/PictureStage.h"

namespace vdmq::sample {
class TGeneration;
}

namespace vdmq::sample::preview {

inline constexpr raster::TBgr kSheetBack{40, 24, 16};  // dark navy behind the sheets
inline constexpr raster::TBgr kLabel{150, 220, 240};
inline constexpr raster::TBgr kOutline{60, 230, 255};

class TArtSet {
 public:
  TArtSet(const std::vector<TArtEntry>& entries, const std::vector<TDrawnArt>& drawn)
      : entries_(entries), drawn_(drawn) {}
  // The picture of an entry (a 1 x 1 black picture when there is none).
  const raster::TImage24& Get(int kind, int number = -1) const;

 private:
  const std::vector<TArtEntry>& entries_;
  const std::vector<TDrawnArt>& drawn_;
};

enum class TMode { kSet, kAdd, kOpaque };

// Draws a w x h area of src from (sx, sy) at (dx, dy): keyed by src's first pixel (SET, or ADD
// saturating), or opaque.
void Blit(raster::TImage24& dst, const raster::TImage24& src, int sx, int sy, int w, int h, int dx, int dy, TMode mode);
void BlitFrame(raster::TImage24& dst, const raster::TImage24& sheet, int cols, int fw, int fh, int frame, int x, int y,
               TMode mode);
raster::TImage24 Scaled(const raster::TImage24& src, int k);
void Fill(raster::TImage24& dst, int x, int y, int w, int h, raster::TBgr c);
void Outline(raster::TImage24& dst, int x, int y, int w, int h, raster::TBgr c);
// A number in a 3 x 5 digit font.
void Number(raster::TImage24& dst, int value, int x, int y, raster::TBgr c, int scale = 2);

// Images placed left to right in rows no wider than maxWidth.
class TShelf {
 public:
  explicit TShelf(int maxWidth, int gap = 16) : max_(maxWidth), gap_(gap) {}
  void Add(const raster::TImage24& img);
  raster::TImage24 Compose() const;

 private:
  struct TItem {
    raster::TImage24 img;
    int x, y;
  };
  int max_, gap_;
  int x_ = 16, y_ = 16, row_ = 0, width_ = 0;
  std::vector<TItem> items_;
};

// Writes the picture as PNG into the folder; false with the reason reported.
bool SavePreview(TGeneration& generation, const std::string& folder, const std::string& name,
                 const raster::TImage24& img);

}  // namespace vdmq::sample::preview
