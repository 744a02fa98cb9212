#pragma once
// Sprite sheets for the map and battle views: one 24-bit picture from the picture archive cut into
// a grid of equal frames, drawn keyed (the sheet's first pixel is transparent) or opaque with a
// draw mode per blit; the 18 standard colours of the minimaps; and drawing a picture named by a
// file kind and number.
//
// Turning a file kind and number into an archive entry name is the data-file locator's job; the
// program installs it here with SetQoEntryNameHook, together with the archive the pictures come
// from (SetQoPictureArchive), so this library does not depend on the campaign code.

#include <functional>
#include <string>

#include "qolib/graphics/QoTDib.h"

namespace vdmq {

class TQoPack;

// Black, maroon, green, olive, navy, purple, teal, gray, silver, red, lime, yellow, blue, fuchsia,
// aqua, silver, gray, white.
inline constexpr int kRapColorCount = 18;
extern TQoRGB RapColors[kRapColorCount];
void InitRapColors();

// (kind, number) -> archive entry name.
using TQoEntryNameHook = std::function<std::string(int kind, int number)>;
void SetQoEntryNameHook(TQoEntryNameHook hook);
const TQoEntryNameHook& QoEntryNameHook();
// The archive the game's pictures come from (the main window's archive), or null.
void SetQoPictureArchive(TQoPack* pack);
TQoPack* QoPictureArchive();

class TQoRGBContainer {
 public:
  TQoRGBContainer() = default;
  ~TQoRGBContainer();
  TQoRGBContainer(const TQoRGBContainer&) = delete;
  TQoRGBContainer& operator=(const TQoRGBContainer&) = delete;

  // Reads the entry as a 24-bit picture and cuts it into rows x cols frames (each at least 1).
  // On failure nothing changes and the answer is false.
  bool LoadPack(TQoPack* pack, const std::string& name, int rows, int cols);
  // The same for the entry that the installed name hook gives for (kind, number), read from the
  // picture archive; false when either is missing.
  bool LoadPackById(int kind, int number, int rows, int cols);

  // Keyed blit of one frame with its top-left corner at (x, y), combined by mode (a TQoMethod).
  void PasPat(TQoTrueDib* surface, int frame, int x, int y, int mode);
  // Opaque blit of one frame.
  void PutPat(TQoTrueDib* surface, int frame, int x, int y, int mode);
  // Opaque blit of a w x h area of the whole picture from source pixel (sx, sy) to (x, y).
  void PutArea(TQoTrueDib* surface, int x, int y, int w, int h, int sx, int sy, int mode);

  const TQoRGB* Pixels() const { return pixels_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  int Cols() const { return cols_; }
  int Rows() const { return rows_; }
  int FrameWidth() const { return frameWidth_; }
  int FrameHeight() const { return frameHeight_; }

 private:
  // First pixel of frame n, or null when the sheet has no such frame.
  const TQoRGB* Frame(int n) const;
  void Blit(TQoTrueDib* surface, int frame, int x, int y, int mode, bool keyed);

  TQoRGB* pixels_ = nullptr;
  int height_ = 0;
  int width_ = 0;
  int cols_ = 0;
  int rows_ = 0;
  int frameHeight_ = 0;
  int frameWidth_ = 0;
};

// Draws the picture that the name hook gives for (kind, number) from the picture archive onto the
// surface at (a, b). False when the surface, the hook or the archive is missing, or the draw fails.
bool DrawBmpPackById(TQoTrueDib* surface, int a, int b, int kind, int number);

}  // namespace vdmq
