#pragma once
// Cell readers, drawers and the seven draw styles.
//
// A reader picks a source rectangle out of a bitmap container (a cell, the whole bitmap or an
// explicit rectangle), keeps it current when the container changes and draws it in one of the
// styles. A drawer adds a stored destination, a style and its parameters. The style routines are
// free functions; all of them copy pixels through CH_CopyRect256, and all do nothing without a
// canvas or a bitmap. Rectangles are (Left, Top, Right, Bottom) with Right and Bottom exclusive.

#include <functional>

#include "formkit/Chbmpcnt.h"

namespace vdmq {

enum TCHDrawStyle { chdsNormal, chdsCenter, chdsStretch, chdsOffset, chdsTile, chdsFix, chdsTitleFix };

// The one pixel transfer of the styles: s of the bitmap into d of the canvas, stretched
// (nearest neighbour) when the sizes differ.
void CH_CopyRect256(TCanvas* canvas, const TRect& d, TBitmap* bitmap, const TRect& s);

// chdsNormal: the source at its own size at d's top-left corner, clipped to d.
void CHDrawBitmap(TCanvas* canvas, const TRect& d, TBitmap* bitmap, const TRect& s);
// chdsCenter: centred in d ((dw - sw) div 2, truncating: a larger source is cropped on both sides).
void CHDrawCenterBitmap(TCanvas* canvas, const TRect& d, TBitmap* bitmap, const TRect& s);
// chdsStretch: the source stretched over d.
void CHDrawStretchBitmap(TCanvas* canvas, const TRect& d, TBitmap* bitmap, const TRect& s);
// chdsOffset: as chdsNormal, moved by (x, y).
void CHDrawOffsetBitmap(TCanvas* canvas, const TRect& d, TBitmap* bitmap, const TRect& s, int x, int y);
// chdsTile: the source repeated over d. A tile edge lies at (d.Left + ax, d.Top + ay); each
// following row of tiles is shifted bx pixels right, each following column by pixels down.
void CHDrawTileBitmap(TCanvas* canvas, const TRect& d, TBitmap* bitmap, const TRect& s, int ax, int ay, int bx, int by);
// chdsFix: fixed borders (left ax, right bx, top ay, bottom by source pixels; negative ones count
// as 0) copied at their size, the parts between them repeated. Without fill the inside is left
// untouched.
void CHDrawFixBitmap(TCanvas* canvas, const TRect& d, TBitmap* bitmap, const TRect& s, int ax, int bx, int ay, int by,
                     bool fill);
// chdsTitleFix: the source holds two heads of ay rows above the body; otherHead picks the first.
void CHDrawTitleFixBitmap(TCanvas* canvas, const TRect& d, TBitmap* bitmap, const TRect& s, int ax, int bx, int ay,
                          int by, bool fill, bool otherHead);

// ---------------------------------------------------------------------------------------------
// Reader

class TCHCustomBcReader {
 public:
  TCHCustomBcReader();
  TCHCustomBcReader(const TCHCustomBcReader&) = delete;
  TCHCustomBcReader& operator=(const TCHCustomBcReader&) = delete;
  virtual ~TCHCustomBcReader() = default;

  TCHCustomBmpContainer* BmpContainer() const { return container_; }
  void SetBmpContainer(TCHCustomBmpContainer* container);
  // -2: the explicit rectangle; -1: the whole bitmap; 0 and up: a cell. Lower values mean -2.
  int Index() const { return index_; }
  void SetSrcIndex(int value);

  // The source rectangle. Setting any side switches Index to -2.
  const TRect& SrcRect() const { return src_; }
  int SrcLeft() const { return src_.Left; }
  int SrcTop() const { return src_.Top; }
  int SrcRight() const { return src_.Right; }
  int SrcBottom() const { return src_.Bottom; }
  void SetSrcRect(const TRect& r);
  void SetSrcLeft(int value);
  void SetSrcTop(int value);
  void SetSrcRight(int value);
  void SetSrcBottom(int value);
  void SetSrcWidth(int value) { SetSrcRight(src_.Left + value); }
  void SetSrcHeight(int value) { SetSrcBottom(src_.Top + value); }
  int GetSrcWidth() const { return src_.Width(); }
  int GetSrcHeight() const { return src_.Height(); }
  void SetSrcBoundsRect(int left, int top, int width, int height) { SetSrcRect(Bounds(left, top, width, height)); }
  void GetSrcBoundsRect(int& left, int& top, int& width, int& height) const;

  // The container's bitmap, or none without a container.
  TBitmap* GetBitmap() const { return container_ ? &container_->Bitmap() : nullptr; }

  // The styles on the current source; nothing without a container.
  void Draw(TCanvas* canvas, const TRect& d);
  void DrawCenter(TCanvas* canvas, const TRect& d);
  void DrawStretch(TCanvas* canvas, const TRect& d);
  void DrawOffset(TCanvas* canvas, const TRect& d, int x, int y);
  void DrawTile(TCanvas* canvas, const TRect& d, int ax, int ay, int bx, int by);
  void DrawFix(TCanvas* canvas, const TRect& d, int ax, int bx, int ay, int by, bool fill);
  void DrawTitleFix(TCanvas* canvas, const TRect& d, int ax, int bx, int ay, int by, bool fill, bool otherHead);

  // The source or its container changed (sender = the reader).
  std::function<void(TCHCustomBcReader*)> OnChange;

 protected:
  // The source rectangle from the container, unless Index is -2.
  virtual void CalcRect();
  virtual void Change();
  void BcChanged();

 private:
  void ContainerFreed();
  TCHBcChangeLink link_;
  TCHCustomBmpContainer* container_ = nullptr;
  int index_ = -1;
  TRect src_;
};

class TCHBcReader : public TCHCustomBcReader {};

// ---------------------------------------------------------------------------------------------
// Drawer

class TCHCustomBcDrawer;
using TCHCalcRectEvent = std::function<void(TCHCustomBcDrawer* sender, TRect& rect)>;

class TCHCustomBcDrawer {
 public:
  // The drawer takes over the reader's OnChange (the reader must outlive it).
  explicit TCHCustomBcDrawer(TCHCustomBcReader* reader);
  TCHCustomBcDrawer(const TCHCustomBcDrawer&) = delete;
  TCHCustomBcDrawer& operator=(const TCHCustomBcDrawer&) = delete;
  virtual ~TCHCustomBcDrawer();

  TCHCustomBcReader* Reader() const { return reader_; }

  // The destination; setting it switches ParentClient off.
  const TRect& DstRect() const { return dst_; }
  virtual void SetDstRect(const TRect& r);
  void SetDstLeft(int value);
  void SetDstTop(int value);
  void SetDstRight(int value);
  void SetDstBottom(int value);
  void SetDstWidth(int value) { SetDstRight(dst_.Left + value); }
  void SetDstHeight(int value) { SetDstBottom(dst_.Top + value); }
  int GetDstWidth() const { return dst_.Width(); }
  int GetDstHeight() const { return dst_.Height(); }
  void SetDstBoundsRect(int left, int top, int width, int height) { SetDstRect(Bounds(left, top, width, height)); }
  void GetDstBoundsRect(int& left, int& top, int& width, int& height) const;

  // True: the destination is asked from OnCalcParentRect before each drawing.
  bool ParentClient() const { return parentClient_; }
  void SetParentClient(bool value);
  TCHDrawStyle DrawStyle() const { return style_; }
  void SetDrawStyle(TCHDrawStyle value);
  int DpAX() const { return ax_; }
  int DpAY() const { return ay_; }
  int DpBX() const { return bx_; }
  int DpBY() const { return by_; }
  bool DpFill() const { return fill_; }
  bool DpOtherHead() const { return otherHead_; }
  virtual void SetDrawParams(int ax, int ay, int bx, int by, bool fill, bool otherHead);
  void SetDpAX(int v) { SetDrawParams(v, ay_, bx_, by_, fill_, otherHead_); }
  void SetDpAY(int v) { SetDrawParams(ax_, v, bx_, by_, fill_, otherHead_); }
  void SetDpBX(int v) { SetDrawParams(ax_, ay_, v, by_, fill_, otherHead_); }
  void SetDpBY(int v) { SetDrawParams(ax_, ay_, bx_, v, fill_, otherHead_); }
  void SetFill(bool v) { SetDrawParams(ax_, ay_, bx_, by_, v, otherHead_); }
  void SetOtherHead(bool v) { SetDrawParams(ax_, ay_, bx_, by_, fill_, v); }

  TCHCalcRectEvent OnCalcSrcRect, OnCalcDstRect, OnCalcParentRect;
  std::function<void(TCHCustomBcDrawer*)> OnChange;

  // Destination (parent rectangle when ParentClient), source and destination adjustments, then
  // the style.
  void Draw(TCanvas* canvas);

 protected:
  virtual void Change();
  void BcrChanged() { Change(); }
  bool parentClient_ = false;

 private:
  TCHCustomBcReader* reader_;
  TRect dst_;
  TCHDrawStyle style_ = chdsNormal;
  int ax_ = 0, ay_ = 0, bx_ = 0, by_ = 0;
  bool fill_ = true;
  bool otherHead_ = false;
};

class TCHBcDrawer : public TCHCustomBcDrawer {
 public:
  explicit TCHBcDrawer(TCHBcReader* reader) : TCHCustomBcDrawer(reader) { parentClient_ = true; }
};

}  // namespace vdmq
