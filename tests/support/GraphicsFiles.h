#pragma once
// Helpers shared by the graphics tests: BMP bytes built in memory, and an image holder that counts
// repaints and palette hand-overs.

#include <cstdint>
#include <string>
#include <vector>

#include "qolib/graphics/QoSurface.h"
#include "qolib/pack/Qopack.h"

namespace vdmq::test {

// A BMP file (14-byte file header + 40-byte information header + palette + rows).
// rows[y] holds the picture's row y (top row first) as raw pixel bytes without padding.
struct BmpLayout {
  int width = 1;
  int height = 1;  // written as given (negative: top-down)
  int bits = 24;
  std::uint32_t coloursUsed = 0;
  std::vector<std::uint8_t> palette;  // raw palette bytes (4 per entry)
  std::vector<std::vector<std::uint8_t>> rows;
  bool fileHeader = true;
};
std::vector<std::uint8_t> MakeBmp(const BmpLayout& layout);

// Sprite sheets whose frames tell themselves apart: frame n of a sheet tagged kind is flat in
// FlatFrameColour(kind, n) (never the key, never black), but for the sheet's very first pixel, which
// is the key (magenta).
TQoRGB FlatFrameColour(int kind, int frame);
std::vector<std::uint8_t> FlatFramesBmp(int kind, int rows, int cols, int frameWidth, int frameHeight);
// A picture whose every pixel tells its place.
TQoRGB PlaceColour(int x, int y);
std::vector<std::uint8_t> PlaceBmp(int width, int height);

// Writes bytes to a fresh temporary file and returns its path.
std::string WriteTempFile(const std::vector<std::uint8_t>& bytes, const std::string& stem);

// Writes an archive of (entry name, bytes) entries, stored with the given method; returns its path.
std::string MakePack(const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& entries, int method = 1);

// A BMP of one colour.
std::vector<std::uint8_t> FlatBmp(int width, int height, TQoRGB colour);

// The test archives' entry name of a picture: "kind-number.BMP".
std::string NumberedEntryName(int kind, int number);

// A picture archive written once from its entries (typically for a whole test suite) and installed,
// with its entries named by NumberedEntryName, as the archive the game's pictures come from.
class TTestArchive {
 public:
  explicit TTestArchive(const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& entries);
  ~TTestArchive();
  TTestArchive(const TTestArchive&) = delete;
  TTestArchive& operator=(const TTestArchive&) = delete;
  // Opens the archive and installs it with the name hook; false when it cannot be opened.
  bool Install();
  // Removes both hooks and closes the archive.
  void Uninstall();

 private:
  std::string path_;
  TQoPack pack_;
};

class FakeImage : public IQoImage {
 public:
  void AttachPixels(const TQoPixelView& view) override {
    ++attaches;
    attached = true;
    this->view = view;
  }
  void DetachPixels() override {
    ++detaches;
    attached = false;
  }
  void Invalidate() override { ++repaints; }
  void SetPalette(const RGBQUAD* palette) override {
    ++palettes;
    lastPalette.assign(palette, palette + 256);
  }
  int attaches = 0;
  int detaches = 0;
  int repaints = 0;
  int palettes = 0;
  bool attached = false;
  TQoPixelView view;
  std::vector<RGBQUAD> lastPalette;
};

}  // namespace vdmq::test
