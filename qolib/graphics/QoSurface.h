#pragma once
// What the 24-bit and the 8-bit drawing surfaces share: the pixel memory and its layout, binding to
// an image, change notification with batched repaints, the blit engine with the eight raster
// methods, and the drawing primitives. TQoTrueDib (QoTDib.h) and TQoDib (QoDib.h) build on it with
// a TQoRGB or a palette index as the pixel.
//
// Pixel memory: rows top-down, each of RowPitch() = (Width + 3) & ~3 pixels; pixel (x, y) lies at
// pixel index y * RowPitch() + x. Drawing clips at Width; only Cls writes the columns beyond it.
// Every drawing operation answers false (or does nothing) while the surface has no pixel memory.

#include <cstdint>
#include <functional>

#include "qolib/graphics/Qobitmap.h"
#include "qolib/pack/Quorvel.h"

namespace vdmq {

// Raster method of a blit: how a source byte s combines with the destination byte d.
enum TQoMethod : std::uint8_t {
  Qo_SET = 0,  // s
  Qo_NOT = 1,  // s (the same operation as Qo_SET)
  Qo_AND = 2,  // d AND s
  Qo_OR = 3,   // d OR s
  Qo_XOR = 4,  // d XOR s
  Qo_ADD = 5,  // d + s, at most 255
  Qo_SUB = 6,  // d - s, at least 0
  Qo_MED = 7,  // (d + s) / 2 rounded down
};

// The picture holder of an image control is the window layer's pixel holder: the platform's image
// control implements it and shows the surface's pixel memory without copying it. A holder that
// goes away before the surface unbinds first (SetImage(nullptr)), or tells the surface through
// ImageNotification(opRemove); one that is also a TQoComponent is told apart automatically
// through its free notification.
using TQoPixelView = TPixelView;
using IQoImage = IPixelHolder;

// A plain memory "device context": rows of pixels the block transfers read or write.
struct TQoDC {
  std::uint8_t* bits = nullptr;
  int width = 0;
  int height = 0;
  int pitchBytes = 0;
  int bytesPerPixel = 0;
};

// Largest pixel memory a surface creates.
inline constexpr std::uint64_t kQoSurfaceMaxBytes = 256ull * 1024 * 1024;

// A surface is a component: an owner frees it, and an image control that is a component tells it
// of its removal through Notification.
template <typename P>
class TQoSurface : public TQoComponent {
 public:
  using Pixel = P;

  explicit TQoSurface(TQoComponent* owner = nullptr);
  TQoSurface(TQoComponent* owner, int width, int height);
  ~TQoSurface() override;

  // ---- Properties ----
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetWidth(int width);
  void SetHeight(int height);
  IQoImage* Image() const { return image_; }
  void SetImage(IQoImage* image);
  TQoMethod Method() const { return method_; }
  void SetMethod(TQoMethod method) { method_ = method; }
  bool Reverse() const { return reverse_; }
  void SetReverse(bool reverse) { reverse_ = reverse; }
  TQoNotifyEvent OnChange;

  // ---- Pixel memory ----
  // The surface's settings are complete: create the pixel memory.
  void Loaded() override;
  // Removal of the bound image control (as a component, or told directly through its IQoImage).
  void Notification(TQoComponent* component, TQoOperation operation) override;
  void ImageNotification(IQoImage* image, TQoOperation operation);
  void InitDib();
  void EndDib();
  void ResizeDib(int width, int height);
  bool HasPixels() const { return pixels_ != nullptr; }
  std::uint8_t* ImagePtr() const { return reinterpret_cast<std::uint8_t*>(pixels_); }
  P* Pixels() const { return pixels_; }
  int RowPitch() const { return pitch_; }

  // ---- Binding ----
  void StartBitmap(IQoImage* bitmap);
  void EndBitmap();
  void SetBitmap(IQoImage* bitmap);
  IQoImage* Bitmap() const { return bound_; }

  // ---- Change notification ----
  void SetModified(const TQoRect& rect);  // the rectangle is not used: the whole image repaints
  void SetModified(int x1, int y1, int x2, int y2);
  void SetModified();
  void ChgModifiedSw(bool on);
  void ModifiedOff();
  void ModifiedOn();
  void Change();

  // ---- Memory contexts and block transfers ----
  TQoDC* GetBmpDC();
  void ReleaseBmpDC();
  bool PutBitBlt(int x, int y, const TQoDC* source, int sx, int sy, int w, int h);
  bool GetBitBlt(TQoDC* dest, int dx, int dy, int sx, int sy, int w, int h);

  // ---- Blit engine ----
  bool QoPutPat(int x, int y, int w, int h, const P* pattern, int pitch, bool keyed, P key);
  bool QoPutPatR(int x, int y, int w, int h, const P* pattern, int pitch, bool keyed, P key);
  bool QoPutPatM(int x, int y, int w, int h, const P* pattern, int pitch, const std::uint8_t* mask, int maskWidth,
                 int maskHeight);
  bool QoPutPatMR(int x, int y, int w, int h, const P* pattern, int pitch, const std::uint8_t* mask, int maskWidth,
                  int maskHeight);
  bool PutPat(int x, int y, int w, int h, const P* pattern);
  bool PutPat2(int x, int y, int w, int h, const P* pattern, int pitch);
  bool PasPat(int x, int y, int w, int h, const P* pattern, P key);
  bool PasPat2(int x, int y, int w, int h, const P* pattern, int pitch, P key);
  bool PasMPat(int x, int y, int w, int h, const P* pattern, const std::uint8_t* mask, int maskWidth, int maskHeight);

  // ---- Primitives ----
  void Cls();
  bool PSet(int x, int y, P colour);
  P PGet(int x, int y) const;
  bool QoLine(int x1, int y1, int x2, int y2, P colour, bool continued);
  bool Line(int x1, int y1, int x2, int y2, P colour);
  bool CLine(int x, int y, P colour);
  bool Box(int x1, int y1, int x2, int y2, P colour);
  bool QoBoxFill(int x1, int y1, int x2, int y2, P colour, const std::uint8_t* mask, int maskWidth, int maskHeight);
  bool BoxFill(int x1, int y1, int x2, int y2, P colour);
  bool BoxFillM(int x1, int y1, int x2, int y2, P colour, const std::uint8_t* mask, int maskWidth, int maskHeight);
  bool QoGetPat(int x, int y, int w, int h, P* buffer) const;
  bool GetPat(int x, int y, int w, int h, P* buffer) const { return QoGetPat(x, y, w, h, buffer); }
  int CurrentX() const { return curX_; }
  int CurrentY() const { return curY_; }

 protected:
  // Called just before a change reaches the bound bitmap (the 8-bit surface hands its palette over).
  virtual void BeforeBitmapChange() {}
  // Called when a bitmap is bound and given the pixel memory.
  virtual void AfterStartBitmap() {}
  // Called when InitDib has created pixel memory (the 8-bit surface sets its initial palette).
  virtual void AfterInitDib() {}
  virtual const RGBQUAD* ViewPalette() const { return nullptr; }
  TQoPixelView View() const;

 private:
  bool CreatePixels(int width, int height);
  void ApplyPixel(TQoMethod method, P* d, P s) const;
  void FlushToBitmap();

  int width_ = 640;
  int height_ = 480;
  IQoImage* image_ = nullptr;
  TQoComponent* imageComponent_ = nullptr;  // image_ as a component, when it is one
  TQoMethod method_ = Qo_SET;
  bool reverse_ = false;

  IQoImage* bound_ = nullptr;
  TQoDC dc_{};
  bool dcHeld_ = false;
  P* pixels_ = nullptr;
  int pitch_ = 0;
  int curX_ = 0;
  int curY_ = 0;
  bool notifySw_ = true;
  bool pending_ = false;
  int depth_ = 0;
};

extern template class TQoSurface<TQoRGB>;
extern template class TQoSurface<std::uint8_t>;

}  // namespace vdmq
