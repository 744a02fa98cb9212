#include "formkit/Chdrwtl.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "platform/core/WindowInfo.h"

namespace vdmq {

namespace {

using i64 = std::int64_t;

int Clamp32(i64 v) { return static_cast<int>(std::clamp<i64>(v, INT_MIN, INT_MAX)); }
TRect Rect64(i64 l, i64 t, i64 r, i64 b) { return {Clamp32(l), Clamp32(t), Clamp32(r), Clamp32(b)}; }

// ((a - 1) mod s + s) mod s + 1 - s, with mod keeping the dividend's sign: the start of the tile
// grid relative to the edge, in (-s, 0], for a tile edge at phase a.
i64 TileStart(i64 a, i64 s) { return ((a - 1) % s + s) % s + 1 - s; }

bool HasPixel(const TBitmap& b, i64 x, i64 y) { return x >= 0 && y >= 0 && x < b.Width() && y < b.Height(); }

// Places the source with its top-left corner at d's corner moved by (ox, oy), clipped to d.
void PlaceClipped(TCanvas* canvas, const TRect& d, TBitmap* bitmap, const TRect& s, i64 ox, i64 oy) {
  const i64 pl = d.Left + ox, pt = d.Top + oy;
  const i64 l = std::max<i64>(d.Left, pl), t = std::max<i64>(d.Top, pt);
  const i64 r = std::min<i64>(d.Right, pl + s.Width()), b = std::min<i64>(d.Bottom, pt + s.Height());
  if (l >= r || t >= b) return;
  const i64 mx = static_cast<i64>(s.Left) - pl, my = static_cast<i64>(s.Top) - pt;
  CH_CopyRect256(canvas, Rect64(l, t, r, b), bitmap, Rect64(l + mx, t + my, r + mx, b + my));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Style routines

void CH_CopyRect256(TCanvas* canvas, const TRect& d, TBitmap* bitmap, const TRect& s) {
  if (!canvas || !bitmap) return;
  // The screen's depth is asked on every copy: only a palette screen would need the copy to go
  // through the picture's palette, and the layer's screen composes 32-bit pixels, so the copy is
  // always direct.
  static_cast<void>(ScreenBitsPerPixel());
  canvas->CopyRect(d, bitmap->Canvas(), s);
}

void CHDrawBitmap(TCanvas* canvas, const TRect& d, TBitmap* bitmap, const TRect& s) {
  if (!canvas || !bitmap) return;
  PlaceClipped(canvas, d, bitmap, s, 0, 0);
}

void CHDrawCenterBitmap(TCanvas* canvas, const TRect& d, TBitmap* bitmap, const TRect& s) {
  if (!canvas || !bitmap) return;
  const i64 dx = (static_cast<i64>(d.Width()) - s.Width()) / 2, dy = (static_cast<i64>(d.Height()) - s.Height()) / 2;
  PlaceClipped(canvas, d, bitmap, s, dx, dy);
}

void CHDrawOffsetBitmap(TCanvas* canvas, const TRect& d, TBitmap* bitmap, const TRect& s, int x, int y) {
  if (!canvas || !bitmap) return;
  PlaceClipped(canvas, d, bitmap, s, x, y);
}

void CHDrawStretchBitmap(TCanvas* canvas, const TRect& d, TBitmap* bitmap, const TRect& s) {
  if (!canvas || !bitmap) return;
  if (s == TRect{0, 0, bitmap->Width(), bitmap->Height()}) {
    canvas->StretchPixels(d, TPixelTarget::Of(bitmap->Pixels()));
  } else if (s.Width() >= 1 && s.Height() >= 1) {
    // The same nearest-neighbour stretch as through a temporary copy of s, without the copy.
    CH_CopyRect256(canvas, d, bitmap, s);
  }
}

void CHDrawTileBitmap(TCanvas* canvas, const TRect& d, TBitmap* bitmap, const TRect& s, int ax, int ay, int bx,
                      int by) {
  if (!canvas || !bitmap) return;
  const i64 sw = s.Width(), sh = s.Height();
  if (sw <= 0 || sh <= 0 || d.IsEmpty()) return;
  TCanvas& src = bitmap->Canvas();
  if (sw == 1 && sh == 1) {
    // One brush fill; a source pixel outside the bitmap draws nothing.
    if (!HasPixel(*bitmap, s.Left, s.Top)) return;
    canvas->Brush.Color = src.GetPixel(s.Left, s.Top);
    canvas->Brush.Style = bsSolid;
    canvas->FillRect(d);
    return;
  }
  // Draws one line of the source pixel's colour (a source pixel outside the bitmap draws none).
  auto line = [&](i64 px, i64 py, i64 x0, i64 y0, i64 x1, i64 y1) {
    if (!HasPixel(*bitmap, px, py)) return;
    canvas->Pen.Color = src.GetPixel(static_cast<int>(px), static_cast<int>(py));
    canvas->Pen.Width = 1;
    canvas->MoveTo(Clamp32(x0), Clamp32(y0));
    canvas->LineTo(Clamp32(x1), Clamp32(y1));
  };
  auto copy = [&](i64 l, i64 t, i64 r, i64 b, i64 sl, i64 st, i64 sr, i64 sb) {
    CH_CopyRect256(canvas, Rect64(l, t, r, b), bitmap, Rect64(sl, st, sr, sb));
  };

  const bool rowWise = bx != 0 || (by == 0 && sw == 1);
  if (rowWise) {
    // One band of rows r0..r1 from source rows q0..q1, tiled across with phase p.
    auto rowStep = [&](i64 r0, i64 r1, i64 q0, i64 q1, i64 p) {
      p = TileStart(p, sw);
      i64 x0 = d.Left + p;
      if (p < 0) {
        const i64 right = std::min<i64>(x0 + sw, d.Right);
        copy(d.Left, r0, right, r1, s.Left - p, q0, s.Left - p + (right - d.Left), q1);
        x0 += sw;
      }
      if (sw != 1) {
        for (; x0 <= d.Right - sw; x0 += sw) copy(x0, r0, x0 + sw, r1, s.Left, q0, s.Right, q1);
      } else {
        i64 q = q0;
        for (i64 y = r0; y < r1; ++y) {
          line(s.Left, q, x0, y, d.Right, y);
          if (++q >= q1) q = q0;
        }
        x0 = d.Right;
      }
      if (x0 < d.Right) copy(x0, r0, d.Right, r1, s.Left, q0, s.Left + (d.Right - x0), q1);
    };
    i64 y0 = d.Top + TileStart(ay, sh);
    i64 phase = ax;
    if (y0 < d.Top) {
      const i64 bottom = std::min<i64>(y0 + sh, d.Bottom);
      rowStep(d.Top, bottom, s.Top + (d.Top - y0), s.Top + (bottom - y0), phase);
      phase += bx;
      y0 += sh;
    }
    for (; y0 <= d.Bottom - sh; y0 += sh, phase += bx) rowStep(y0, y0 + sh, s.Top, s.Bottom, phase);
    if (y0 < d.Bottom) rowStep(y0, d.Bottom, s.Top, s.Top + (d.Bottom - y0), phase);
  } else {
    // One band of columns c0..c1 from source columns q0..q1, tiled downward with phase p.
    auto columnStep = [&](i64 c0, i64 c1, i64 q0, i64 q1, i64 p) {
      p = TileStart(p, sh);
      i64 y0 = d.Top + p;
      if (p < 0) {
        const i64 bottom = std::min<i64>(y0 + sh, d.Bottom);
        copy(c0, d.Top, c1, bottom, q0, s.Top - p, q1, s.Top - p + (bottom - d.Top));
        y0 += sh;
      }
      if (sh != 1) {
        for (; y0 <= d.Bottom - sh; y0 += sh) copy(c0, y0, c1, y0 + sh, q0, s.Top, q1, s.Bottom);
      } else {
        i64 q = q0;
        for (i64 x = c0; x < c1; ++x) {
          line(q, s.Top, x, y0, x, d.Bottom);
          if (++q >= q1) q = q0;
        }
        y0 = d.Bottom;
      }
      if (y0 < d.Bottom) copy(c0, y0, c1, d.Bottom, q0, s.Top, q1, s.Top + (d.Bottom - y0));
    };
    i64 x0 = d.Left + TileStart(ax, sw);
    i64 phase = ay;
    if (x0 < d.Left) {
      const i64 right = std::min<i64>(x0 + sw, d.Right);
      columnStep(d.Left, right, s.Left + (d.Left - x0), s.Left + (right - x0), phase);
      phase += by;
      x0 += sw;
    }
    for (; x0 <= d.Right - sw; x0 += sw, phase += by) columnStep(x0, x0 + sw, s.Left, s.Right, phase);
    if (x0 < d.Right) columnStep(x0, d.Right, s.Left, s.Left + (d.Right - x0), phase);
  }
}

void CHDrawFixBitmap(TCanvas* canvas, const TRect& d, TBitmap* bitmap, const TRect& s, int axIn, int bxIn, int ayIn,
                     int byIn, bool fill) {
  if (!canvas || !bitmap) return;
  const i64 dw = d.Width(), dh = d.Height(), sw = s.Width(), sh = s.Height();
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  // Borders: negative widths count as 0, none wider than the source, and the source keeps at
  // least one middle column and row.
  i64 ax = std::clamp<i64>(axIn, 0, sw), bx = std::clamp<i64>(bxIn, 0, sw);
  i64 ay = std::clamp<i64>(ayIn, 0, sh), by = std::clamp<i64>(byIn, 0, sh);
  if (ax + bx == sw) (ax > 0 ? ax : bx) -= 1;
  if (ay + by == sh) (ay > 0 ? ay : by) -= 1;
  const i64 H = ax + bx, V = ay + by;

  // The pieces of one band (destination rows y0..y1 from source rows q0..q1): copied when the
  // heights agree, tiled downward when the band is taller.
  auto band = [&](i64 y0, i64 y1, i64 q0, i64 q1, bool f) {
    const bool tile = y1 - y0 > q1 - q0;
    auto piece = [&](i64 l, i64 r, i64 sl, i64 sr) {
      const TRect dst = Rect64(l, y0, r, y1), src = Rect64(sl, q0, sr, q1);
      if (tile)
        CHDrawTileBitmap(canvas, dst, bitmap, src, 0, 0, 0, 0);
      else
        CH_CopyRect256(canvas, dst, bitmap, src);
    };
    if (dw == sw && (f || H >= sw)) {
      piece(d.Left, d.Right, s.Left, s.Right);
      return;
    }
    i64 left = ax, right = bx;
    if (dw > H && f) {
      i64 rest = dw - H;
      if (H < sw) {
        const i64 m = sw - H;
        left = sw - bx;
        rest = dw - sw;
        if (dw < sw) {
          left = dw - bx;
          rest = 0;
        } else if (rest > 0 && rest % m == 0) {
          right = bx + m;
          rest -= m;
        }
      }
      if (left > 0) piece(d.Left, d.Left + left, s.Left, s.Left + left);
      if (right > 0) piece(d.Right - right, d.Right, s.Right - right, s.Right);
      if (rest >= 1) {
        const i64 ml = sw < H ? s.Right - bx : s.Left + ax, mr = sw < H ? s.Left + ax : s.Right - bx;
        CHDrawTileBitmap(canvas, Rect64(d.Left + left, y0, d.Right - right, y1), bitmap, Rect64(ml, q0, mr, q1), 0, 0,
                         0, 0);
      }
      return;
    }
    if (dw < H) {
      right = bx * dw / H;
      left = dw - right;
    }
    if (left > 0) piece(d.Left, d.Left + left, s.Left, s.Left + left);
    if (right > 0) piece(d.Right - right, d.Right, s.Right - right, s.Right);
  };
  // The middle rows y0..y1: copied once when the source middle is tall enough, else tiled.
  auto middle = [&](i64 y0, i64 y1, bool f) {
    const i64 q0 = sh < V ? s.Bottom - by : s.Top + ay, q1 = sh < V ? s.Top + ay : s.Bottom - by;
    if (y1 - y0 <= q1 - q0)
      band(y0, y1, q0, q0 + (y1 - y0), f);
    else
      band(y0, y1, q0, q1, f);
  };

  if (sh == dh && (fill || sh <= V)) {
    band(d.Top, d.Bottom, s.Top, s.Bottom, true);
    return;
  }
  if (dh > V && fill) {
    i64 top = ay, bottom = by, rest = dh - V;
    if (sh > V) {
      const i64 m = sh - V;
      top = sh - by;
      rest = dh - sh;
      if (sh > dh) {
        top = dh - by;
        rest = 0;
      } else if (rest > 0 && rest % m == 0) {
        bottom = by + m;
        rest -= m;
      }
    }
    if (top > 0) band(d.Top, d.Top + top, s.Top, s.Top + top, true);
    if (bottom > 0) band(d.Bottom - bottom, d.Bottom, s.Bottom - bottom, s.Bottom, true);
    if (rest > 0) middle(d.Top + top, d.Bottom - bottom, true);
    return;
  }
  i64 top = ay, bottom = by;
  if (dh < V) {
    bottom = by * dh / V;
    top = dh - bottom;
  }
  if (top > 0) band(d.Top, d.Top + top, s.Top, s.Top + top, true);
  if (bottom > 0) band(d.Bottom - bottom, d.Bottom, s.Bottom - bottom, s.Bottom, true);
  if (dh > V) middle(d.Top + ay, d.Bottom - by, false);
}

void CHDrawTitleFixBitmap(TCanvas* canvas, const TRect& d, TBitmap* bitmap, const TRect& s, int ax, int bx, int ay,
                          int by, bool fill, bool otherHead) {
  if (!canvas || !bitmap) return;
  i64 t = ay;
  if (s.Height() < 2 * static_cast<i64>(ay)) t = s.Height() / 2;
  t = std::max<i64>(t, 0);
  const int head = static_cast<int>(t);
  if (!otherHead || head == 0) {
    CHDrawFixBitmap(canvas, d, bitmap, Rect64(s.Left, s.Top + t, s.Right, s.Bottom), ax, bx, head, by, fill);
    return;
  }
  CHDrawFixBitmap(canvas, Rect64(d.Left, d.Top, d.Right, d.Top + t), bitmap, Rect64(s.Left, s.Top, s.Right, s.Top + t),
                  ax, bx, head, 0, fill);
  CHDrawFixBitmap(canvas, Rect64(d.Left, d.Top + t, d.Right, d.Bottom), bitmap,
                  Rect64(s.Left, s.Top + 2 * t, s.Right, s.Bottom), ax, bx, 0, by, fill);
}

// ---------------------------------------------------------------------------------------------
// Reader

TCHCustomBcReader::TCHCustomBcReader() {
  link_.OnChange = [this](TComponent*) { BcChanged(); };
  link_.OnSenderFree = [this](TCHBcChangeLink*) { ContainerFreed(); };
}

void TCHCustomBcReader::SetBmpContainer(TCHCustomBmpContainer* container) {
  if (container == container_) return;
  if (container_) container_->UnRegisterChanges(&link_);
  container_ = container;
  if (container_) {
    container_->RegisterChanges(&link_);
    CalcRect();
  }
  Change();
}

void TCHCustomBcReader::ContainerFreed() {
  container_ = nullptr;
  Change();
}

void TCHCustomBcReader::SetSrcIndex(int value) {
  value = std::max(value, -2);
  if (value == index_) return;
  index_ = value;
  if (container_) CalcRect();
  Change();
}

void TCHCustomBcReader::CalcRect() {
  if (index_ >= -1 && container_) src_ = container_->GetRect(index_);
}

void TCHCustomBcReader::BcChanged() {
  CalcRect();
  Change();
}

void TCHCustomBcReader::Change() {
  if (OnChange) OnChange(this);
}

void TCHCustomBcReader::SetSrcRect(const TRect& r) {
  if (r == src_) return;
  src_ = r;
  index_ = -2;
  Change();
}

void TCHCustomBcReader::SetSrcLeft(int value) { SetSrcRect({value, src_.Top, src_.Right, src_.Bottom}); }
void TCHCustomBcReader::SetSrcTop(int value) { SetSrcRect({src_.Left, value, src_.Right, src_.Bottom}); }
void TCHCustomBcReader::SetSrcRight(int value) { SetSrcRect({src_.Left, src_.Top, value, src_.Bottom}); }
void TCHCustomBcReader::SetSrcBottom(int value) { SetSrcRect({src_.Left, src_.Top, src_.Right, value}); }

void TCHCustomBcReader::GetSrcBoundsRect(int& left, int& top, int& width, int& height) const {
  left = src_.Left;
  top = src_.Top;
  width = src_.Width();
  height = src_.Height();
}

void TCHCustomBcReader::Draw(TCanvas* canvas, const TRect& d) { CHDrawBitmap(canvas, d, GetBitmap(), src_); }
void TCHCustomBcReader::DrawCenter(TCanvas* canvas, const TRect& d) {
  CHDrawCenterBitmap(canvas, d, GetBitmap(), src_);
}
void TCHCustomBcReader::DrawStretch(TCanvas* canvas, const TRect& d) {
  CHDrawStretchBitmap(canvas, d, GetBitmap(), src_);
}
void TCHCustomBcReader::DrawOffset(TCanvas* canvas, const TRect& d, int x, int y) {
  CHDrawOffsetBitmap(canvas, d, GetBitmap(), src_, x, y);
}
void TCHCustomBcReader::DrawTile(TCanvas* canvas, const TRect& d, int ax, int ay, int bx, int by) {
  CHDrawTileBitmap(canvas, d, GetBitmap(), src_, ax, ay, bx, by);
}
void TCHCustomBcReader::DrawFix(TCanvas* canvas, const TRect& d, int ax, int bx, int ay, int by, bool fill) {
  CHDrawFixBitmap(canvas, d, GetBitmap(), src_, ax, bx, ay, by, fill);
}
void TCHCustomBcReader::DrawTitleFix(TCanvas* canvas, const TRect& d, int ax, int bx, int ay, int by, bool fill,
                                     bool otherHead) {
  CHDrawTitleFixBitmap(canvas, d, GetBitmap(), src_, ax, bx, ay, by, fill, otherHead);
}

// ---------------------------------------------------------------------------------------------
// Drawer

TCHCustomBcDrawer::TCHCustomBcDrawer(TCHCustomBcReader* reader) : reader_(reader) {
  reader_->OnChange = [this](TCHCustomBcReader*) { BcrChanged(); };
}

TCHCustomBcDrawer::~TCHCustomBcDrawer() { reader_->OnChange = nullptr; }

void TCHCustomBcDrawer::SetDstRect(const TRect& r) {
  if (r == dst_) return;
  dst_ = r;
  parentClient_ = false;
  Change();
}

void TCHCustomBcDrawer::SetDstLeft(int value) { SetDstRect({value, dst_.Top, dst_.Right, dst_.Bottom}); }
void TCHCustomBcDrawer::SetDstTop(int value) { SetDstRect({dst_.Left, value, dst_.Right, dst_.Bottom}); }
void TCHCustomBcDrawer::SetDstRight(int value) { SetDstRect({dst_.Left, dst_.Top, value, dst_.Bottom}); }
void TCHCustomBcDrawer::SetDstBottom(int value) { SetDstRect({dst_.Left, dst_.Top, dst_.Right, value}); }

void TCHCustomBcDrawer::GetDstBoundsRect(int& left, int& top, int& width, int& height) const {
  left = dst_.Left;
  top = dst_.Top;
  width = dst_.Width();
  height = dst_.Height();
}

void TCHCustomBcDrawer::SetParentClient(bool value) {
  if (value == parentClient_) return;
  parentClient_ = value;
  if (value && OnCalcParentRect) {
    OnCalcParentRect(this, dst_);
    Change();
  }
}

void TCHCustomBcDrawer::SetDrawStyle(TCHDrawStyle value) {
  if (value == style_) return;
  style_ = value;
  Change();
}

void TCHCustomBcDrawer::SetDrawParams(int ax, int ay, int bx, int by, bool fill, bool otherHead) {
  if (ax == ax_ && ay == ay_ && bx == bx_ && by == by_ && fill == fill_ && otherHead == otherHead_) return;
  ax_ = ax;
  ay_ = ay;
  bx_ = bx;
  by_ = by;
  fill_ = fill;
  otherHead_ = otherHead;
  Change();
}

void TCHCustomBcDrawer::Change() {
  if (OnChange) OnChange(this);
}

void TCHCustomBcDrawer::Draw(TCanvas* canvas) {
  if (parentClient_ && OnCalcParentRect) OnCalcParentRect(this, dst_);
  TRect s = reader_->SrcRect();
  if (OnCalcSrcRect) OnCalcSrcRect(this, s);
  TRect d = dst_;
  if (OnCalcDstRect) OnCalcDstRect(this, d);
  TBitmap* b = reader_->GetBitmap();
  switch (style_) {
    case chdsNormal: CHDrawBitmap(canvas, d, b, s); break;
    case chdsCenter: CHDrawCenterBitmap(canvas, d, b, s); break;
    case chdsStretch: CHDrawStretchBitmap(canvas, d, b, s); break;
    case chdsOffset: CHDrawOffsetBitmap(canvas, d, b, s, ax_, ay_); break;
    case chdsTile: CHDrawTileBitmap(canvas, d, b, s, ax_, ay_, bx_, by_); break;
    case chdsFix: CHDrawFixBitmap(canvas, d, b, s, ax_, bx_, ay_, by_, fill_); break;
    case chdsTitleFix: CHDrawTitleFixBitmap(canvas, d, b, s, ax_, bx_, ay_, by_, fill_, otherHead_); break;
  }
}

}  // namespace vdmq
