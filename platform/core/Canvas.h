#pragma once
// The drawing canvas of the window layer: fonts, brushes, pens, rectangles, lines, text output and
// the text-drawing flags the game uses, over a window store, a bitmap or a 24-bit surface.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Colors.h"
#include "platform/core/Geometry.h"
#include "platform/core/Pixmap.h"

namespace vdmq {

// Text-drawing flags.
constexpr unsigned DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_TOP = 0x0, DT_VCENTER = 0x4, DT_BOTTOM = 0x8,
                   DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40, DT_NOCLIP = 0x100,
                   DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800, DT_END_ELLIPSIS = 0x8000;

// The font name whose letters "r", "0", "1", "2", "s" are the caption-button glyphs.
constexpr std::string_view kCaptionGlyphFont = "Marlett";

struct TFont {
  std::string Name;  // CP932; empty = the fixed-pitch game font
  int Height = -12;  // negative = em pixels, positive = cell pixels
  bool Bold = false;
  bool Underline = false;
  TColor Color = clWindowText;
  int Charset = 128;
  bool operator==(const TFont&) const = default;
  int Size() const;  // point size at 96 dpi (read-only convenience)
};

enum TBrushStyle { bsSolid, bsClear };
struct TBrush {
  TColor Color = clWhite;
  TBrushStyle Style = bsSolid;
};

struct TPen {
  TColor Color = clBlack;
  int Width = 1;
};

// One drawing operation as a recording canvas reports it, with its arguments in the canvas's
// logical coordinates.
enum class TCanvasOpKind {
  CopyRect,
  StretchPixels,
  FillRect,
  MoveTo,
  LineTo,
  GetPixel,
  SetPixel,
  DrawText,
  DrawFocusRect,
  SelectClipRegion
};
struct TCanvasOp {
  TCanvasOpKind Kind = TCanvasOpKind::FillRect;
  const void* Target = nullptr;        // the pixels drawn on (a window store's or a bitmap's)
  TPoint Origin;                       // where logical (0, 0) lies in Target
  TRect Dest;                          // CopyRect, StretchPixels, FillRect, DrawText, DrawFocusRect
  TRect Source;                        // CopyRect, StretchPixels (the whole source)
  const void* SourceTarget = nullptr;  // CopyRect, StretchPixels: the pixels read
  TPoint From, Point;                  // LineTo: From -> Point; MoveTo, GetPixel, SetPixel: Point
  TColor Color = clNone;               // FillRect brush, LineTo pen, GetPixel answer, SetPixel, DrawText font
  std::string Text;                    // DrawText
  unsigned Flags = 0;                  // DrawText
  TFont Font;                          // DrawText
  bool NoRegion = false;               // SelectClipRegion: the restriction is lifted
  std::vector<TRect> Region;           // SelectClipRegion
};

// Receives the operations of a recording canvas.
class TCanvasRecorder {
 public:
  TCanvasRecorder() = default;
  TCanvasRecorder(const TCanvasRecorder&) = delete;
  TCanvasRecorder& operator=(const TCanvasRecorder&) = delete;
  virtual ~TCanvasRecorder() = default;
  virtual void Record(const TCanvasOp& op) = 0;

 private:
  friend class TCanvas;
  TCanvasRecorder* self_ = this;  // the slot a canvas reads through
};

class TCanvas {
 public:
  TFont Font;
  TBrush Brush;
  TPen Pen;
  TPoint PenPos;

  // Binds the canvas to pixels. Logical (0,0) lies at origin of the target; drawing stays inside
  // clip (target coordinates).
  void Bind(const TPixelTarget& target, TPoint origin, const TRect& clip);
  void Bind(TPixmap& pixmap) { Bind(TPixelTarget::Of(pixmap), {0, 0}, {0, 0, pixmap.Width(), pixmap.Height()}); }
  void Unbind() {
    target_ = {};
    clips_.clear();
  }
  bool HasTarget() const { return target_.Valid(); }
  const TPixelTarget& Target() const { return target_; }
  TPoint Origin() const { return origin_; }
  // Restricts drawing further to a region in logical coordinates; nullptr lifts the restriction.
  void SelectClipRegion(const TRegion* region);
  // The bounds of the drawable area in logical coordinates.
  TRect ClipRect() const;

  void FillRect(const TRect& r);  // brush colour (nothing with a clear brush)
  void FillRectColor(const TRect& r, TColor c);
  void FrameRect(const TRect& r);  // 1-pixel outline in the brush colour
  void Rectangle(const TRect& r);  // pen outline, brush inside
  void MoveTo(int x, int y);
  void LineTo(int x, int y);  // excludes the end point, like the platform
  TColor GetPixel(int x, int y) const;
  void SetPixel(int x, int y, TColor c);
  void Frame3D(TRect& r, TColor topLeft, TColor bottomRight, int width);
  void DrawFocusRect(const TRect& r);
  // A standard push-button face (raised, or sunk while pressed); returns the face's inner rect.
  TRect DrawButtonFace(const TRect& r, bool pressed);

  void TextOut(int x, int y, std::string_view text);
  int TextWidth(std::string_view text) const;
  int TextHeight(std::string_view text) const;
  TSize TextExtent(std::string_view text) const;
  // Draws text in r by the DT_ flags; with DT_CALCRECT only measures and updates r. Returns the
  // text height.
  int DrawText(std::string_view text, TRect& r, unsigned flags);

  // Pixel copies from another canvas (nearest-neighbour when sizes differ).
  void CopyRect(const TRect& dest, const TCanvas& src, const TRect& srcRect);
  void DrawPixels(int x, int y, const TPixelTarget& src);
  void StretchPixels(const TRect& dest, const TPixelTarget& src);
  // Shows a 24-bit block 1:1 with its top-left corner at (x, y).
  void DrawBgrBlock(int x, int y, const TBgrBlock& src);

  // Called after every drawing operation (window stores use it to schedule presenting).
  std::function<void()> OnDrawn;

  // Reports every operation to r (nullptr: back to the hook below). The recorder must outlive
  // the canvas and its copies, or be detached first.
  void SetRecorder(TCanvasRecorder* r) { recorder_ = r ? &r->self_ : &hook_; }
  TCanvasRecorder* Recorder() const { return *recorder_; }

  // Attaches a recorder to every canvas that has none of its own while the scope lives (tests of
  // whole windows); each record names its target.
  class THookScope {
   public:
    explicit THookScope(TCanvasRecorder& r) : previous_(hook_) { hook_ = &r; }
    ~THookScope() { hook_ = previous_; }
    THookScope(const THookScope&) = delete;
    THookScope& operator=(const THookScope&) = delete;

   private:
    TCanvasRecorder* previous_;
  };

 private:
  struct Run;
  void Changed() {
    if (OnDrawn) OnDrawn();
  }
  // A canvas that nobody records costs one load and one null test per operation.
  bool Recording() const { return *recorder_ != nullptr; }
  TCanvasOp NewOp(TCanvasOpKind kind) const;
  void Emit(const TCanvasOp& op) const { (*recorder_)->Record(op); }
  static inline TCanvasRecorder* hook_ = nullptr;
  TCanvasRecorder* const* recorder_ = &hook_;
  void PutClipped(int tx, int ty, std::uint32_t pixel);
  void FillLogical(const TRect& r, std::uint32_t pixel);
  void DrawLine(std::string_view line, int x, int baseline, int underlineIndex, const TRect* clipTo);
  int LineWidth(std::string_view line) const;

  TPixelTarget target_;
  TPoint origin_;
  TRect bindClip_;
  std::vector<TRect> clips_;  // effective clip in target coordinates
};

// Removes '&' accelerator marks ("&&" stands for one '&'); underline receives the byte index of
// the marked letter in the result, or -1.
std::string StripAccelerator(std::string_view text, int* underline = nullptr);
// Cuts text so that it, followed by "...", fits into width (never inside a double-byte letter).
std::string EllipsisFit(std::string_view text, int width, const std::function<int(std::string_view)>& measure);

// A bitmap: 32-bit pixels with a canvas and a change event.
class TBitmap {
 public:
  TBitmap() {
    canvas_.OnDrawn = [this] { Changed(); };
  }
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;
  int Width() const { return pixels_.Width(); }
  int Height() const { return pixels_.Height(); }
  bool Empty() const { return pixels_.Empty(); }
  void SetSize(int w, int h);
  void Assign(const TBitmap& other);
  // Takes over a picture's pixels (one change).
  void TakePixels(TPixmap&& pixels);
  TPixmap& Pixels() { return pixels_; }
  const TPixmap& Pixels() const { return pixels_; }
  TCanvas& Canvas();
  void Changed() {
    if (OnChange) OnChange();
  }
  std::function<void()> OnChange;

 private:
  TPixmap pixels_;
  TCanvas canvas_;
};

}  // namespace vdmq
