#pragma once
// TQoTrueDib: the 24-bit drawing surface behind every picture the game shows. Pixels are TQoRGB
// (blue, green, red), rows top-down, RowPitch() = (Width + 3) & ~3 pixels a row. The blit engine,
// the raster methods, the primitives and the change notification are those of TQoSurface; this
// class adds the picture loads and the copies from other surfaces.

#include <string>

#include "qolib/graphics/QoSurface.h"
#include "qolib/graphics/Qooldbmp.h"

namespace vdmq {

class TQoDib;
class TQoPack;

class TQoTrueDib : public TQoSurface<TQoRGB> {
 public:
  // Width 640, height 480, no pixel memory until Loaded, InitDib or a picture load.
  explicit TQoTrueDib(TQoComponent* owner = nullptr);
  // A surface of the given size (still without pixel memory).
  TQoTrueDib(TQoComponent* owner, int width, int height);

  // Draws a BMP picture (8 or 24 bits) at (x, y) through Method and Reverse. A surface without
  // pixel memory is first created large enough for the picture at its place. False when the
  // picture cannot be read or the surface cannot be created; the surface is then unchanged.
  bool DrawBmpPack(TQoPack* pack, const std::string& name, int x, int y);
  bool DrawBmpFile(const std::string& fileName, int x, int y);
  bool DrawBmpResource(HQoModule module, const char* resName, int x, int y);

  // Copies rectangle (sx, sy, w, h) of a source surface to (x, y), through Method and Reverse;
  // PasDib skips source pixels equal to key. An 8-bit source is converted through its palette.
  // A copy within one surface reads the source rectangle before anything is drawn.
  bool PutDib(int x, int y, const TQoTrueDib* source, int sx, int sy, int w, int h);
  bool PasDib(int x, int y, const TQoTrueDib* source, int sx, int sy, int w, int h, TQoRGB key);
  bool PutDib(int x, int y, const TQoDib* source, int sx, int sy, int w, int h);
  bool PasDib(int x, int y, const TQoDib* source, int sx, int sy, int w, int h, TQoRGB key);

  // The surface has no clip region: this leaves the context without clipping.
  void SetClipRgn(TQoDC* dc);

 private:
  template <typename Load>
  bool DrawLoaded(Load load, int x, int y);
  bool CopyFrom24(int x, int y, const TQoTrueDib* source, int sx, int sy, int w, int h, bool keyed, TQoRGB key);
  bool CopyFrom8(int x, int y, const TQoDib* source, int sx, int sy, int w, int h, bool keyed, TQoRGB key);
};

}  // namespace vdmq
