#include "formkit/Chbmpcnt.h"

#include <algorithm>

namespace vdmq {

// ---------------------------------------------------------------------------------------------
// Change link

TCHBcChangeLink::~TCHBcChangeLink() {
  if (Sender) Sender->UnRegisterChanges(this);
}

void TCHBcChangeLink::Change() {
  if (OnChange) OnChange(Sender);
}

// ---------------------------------------------------------------------------------------------
// Container

TCHCustomBmpContainer::TCHCustomBmpContainer(TComponent* owner) : TComponent(owner) {
  bitmap_.OnChange = [this] { BitmapChange(); };
}

TCHCustomBmpContainer::~TCHCustomBmpContainer() {
  // Readers may outlive the container (the main window's containers go before the resident
  // windows whose buttons read them): each is detached and told, so none keeps a dangling pointer.
  while (!links_.empty()) {
    TCHBcChangeLink* link = links_.back();
    UnRegisterChanges(link);
    if (link->OnSenderFree) link->OnSenderFree(link);
  }
  bitmap_.OnChange = nullptr;
}

void TCHCustomBmpContainer::SetCellWidth(int value) {
  if (value == cellWidth_) return;
  cellWidth_ = value;
  Change();
}

void TCHCustomBmpContainer::SetCellHeight(int value) {
  if (value == cellHeight_) return;
  cellHeight_ = value;
  Change();
}

void TCHCustomBmpContainer::Change() {
  CalcCount();
  // A link may unregister (or register another) while it is told: walk a snapshot, skipping
  // links that have left meanwhile.
  const std::vector<TCHBcChangeLink*> links = links_;
  for (TCHBcChangeLink* link : links)
    if (std::find(links_.begin(), links_.end(), link) != links_.end()) link->Change();
  if (OnChange) OnChange(this);
}

void TCHCustomBmpContainer::CalcCount() {
  const int w = bitmap_.Width(), h = bitmap_.Height();
  int rows, columns;
  if (cellHeight_ > 0) {
    rows = std::max(1, h / cellHeight_);
    rowsOrHeight_ = rows;
  } else if (cellHeight_ == 0) {
    rows = 1;
    rowsOrHeight_ = h;
  } else {
    rows = -cellHeight_;
    rowsOrHeight_ = h / rows;
  }
  if (cellWidth_ > 0) {
    columns = std::max(1, w / cellWidth_);
  } else if (cellWidth_ == 0) {
    columns = 1;
    calcCellWidth_ = w;
  } else {
    columns = -cellWidth_;
    calcCellWidth_ = w / columns;
  }
  count_ = columns * rows;
}

TRect TCHCustomBmpContainer::GetRect(int index) const {
  const int w = bitmap_.Width(), h = bitmap_.Height();
  if (index < 0) return {0, 0, w, h};
  if (index >= count_) index = std::max(0, count_ - 1);
  int rows, cellH;
  if (cellHeight_ > 0) {
    rows = rowsOrHeight_;
    cellH = cellHeight_;
  } else {
    rows = -cellHeight_;
    cellH = rowsOrHeight_;
  }
  if (rows == 0) rows = 1;
  const int cellW = cellWidth_ > 0 ? cellWidth_ : calcCellWidth_;
  const int row = index % rows, column = index / rows;
  TRect r;
  r.Top = row * cellH;
  r.Bottom = r.Top + std::min(cellH, h);
  r.Left = column * cellW;
  r.Right = r.Left + std::min(cellW, w);
  return r;
}

void TCHCustomBmpContainer::RegisterChanges(TCHBcChangeLink* link) {
  link->Sender = this;
  links_.push_back(link);
}

void TCHCustomBmpContainer::UnRegisterChanges(TCHBcChangeLink* link) {
  auto it = std::find(links_.begin(), links_.end(), link);
  if (it == links_.end()) return;
  link->Sender = nullptr;
  links_.erase(it);
}

void TCHCustomBmpContainer::GetCanvasRect(int index, TCanvas*& canvas, TRect& rect) {
  rect = GetRect(index);
  canvas = &bitmap_.Canvas();
}

void TCHCustomBmpContainer::GetBmpRect(int index, TBitmap*& bitmap, TRect& rect) {
  rect = GetRect(index);
  bitmap = &bitmap_;
}

}  // namespace vdmq
