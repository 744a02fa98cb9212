#pragma once
// TQoDib: the 8-bit twin of TQoTrueDib. Each pixel is a palette index (1 byte, rows of
// (Width + 3) & ~3 bytes, top-down), and the surface keeps a 256-entry palette that travels with
// the pixels to the bound image. Raster methods work on the index bytes; keys compare indices.
// A new surface's palette holds the 20 static colours: entries 0..9 and 246..255, black between.

#include <string>

#include "qolib/graphics/QoSurface.h"
#include "qolib/graphics/Qooldbmp.h"

namespace vdmq {

class TQoPack;

class TQoDib : public TQoSurface<std::uint8_t> {
 public:
  explicit TQoDib(TQoComponent* owner = nullptr);
  TQoDib(TQoComponent* owner, int width, int height);

  // ---- Palette (set only while pixel memory exists; indices outside 0..255 are ignored) ----
  void SetPal1(int index, const RGBQUAD& colour);
  void SetPal1(int index, const TQoRGB& colour);
  void SetPal2(const RGBQUAD* colours256);
  void SetPal2(const TQoRGB* colours256);
  void AskPal1(int index, RGBQUAD* out) const;
  void AskPal1(int index, TQoRGB* out) const;
  void AskPal2(RGBQUAD* out256) const;
  void AskPal2(TQoRGB* out256) const;
  void InitPal();
  // Loads a 768-byte colour table; with pixel memory it becomes the palette. True when loaded.
  bool SetActFile(const std::string& fileName);
  bool SetActPack(TQoPack* pack, const std::string& name);
  bool PaletteChanged() const { return paletteChanged_; }

  // ---- Keyed blit through the method, mirrored by its own argument ----
  bool QoPutPatWappi(int x, int y, int w, int h, const std::uint8_t* pattern, int pitch, std::uint8_t key,
                     bool mirrored);
  bool PasPatWappi(int x, int y, int w, int h, const std::uint8_t* pattern, std::uint8_t key, bool mirrored);
  bool PasPat2Wappi(int x, int y, int w, int h, const std::uint8_t* pattern, int pitch, std::uint8_t key,
                    bool mirrored);

  // ---- Picture loads (8-bit pictures; the picture's palette replaces the surface's) ----
  bool DrawBmpPack(TQoPack* pack, const std::string& name, int x, int y);
  bool DrawBmpFile(const std::string& fileName, int x, int y);
  bool DrawBmpResource(HQoModule module, const char* resName, int x, int y);

  // ---- Copies from another 8-bit surface: indices as they are ----
  bool PutDib(int x, int y, const TQoDib* source, int sx, int sy, int w, int h);
  bool PasDib(int x, int y, const TQoDib* source, int sx, int sy, int w, int h, std::uint8_t key);

 protected:
  void BeforeBitmapChange() override;
  void AfterStartBitmap() override { paletteChanged_ = false; }
  void AfterInitDib() override;
  const RGBQUAD* ViewPalette() const override { return palette_; }

 private:
  void InitialColours(RGBQUAD out[256]) const;
  void PaletteSet();
  template <typename Load>
  bool DrawLoaded(Load load, int x, int y);
  bool CopyFrom(int x, int y, const TQoDib* source, int sx, int sy, int w, int h, bool keyed, std::uint8_t key);

  RGBQUAD palette_[256] = {};
  bool paletteChanged_ = false;
};

}  // namespace vdmq
