#pragma once
// The bitmap container: one bitmap cut into a grid of equal cells, read by cell index. Readers
// that want to hear of changes to the bitmap or the cells register a change link.
//
// Cell rules, the same on both axes ("size" is the bitmap's width or height; division truncates):
//   n > 0   a cell is n pixels; size div n cells (at least 1)
//   0       one cell of the whole size
//   -k      k cells of size div k pixels

#include <functional>
#include <vector>

#include "platform/core/Canvas.h"
#include "platform/core/Component.h"

namespace vdmq {

class TCHCustomBmpContainer;

// A reader's registration with a container.
class TCHBcChangeLink {
 public:
  TCHBcChangeLink() = default;
  TCHBcChangeLink(const TCHBcChangeLink&) = delete;
  TCHBcChangeLink& operator=(const TCHBcChangeLink&) = delete;
  // A link still registered unregisters itself first.
  virtual ~TCHBcChangeLink();

  // The container the link is registered with, or none.
  TCHCustomBmpContainer* Sender = nullptr;
  // The container's bitmap or cells changed (sender = the container).
  TNotifyEvent OnChange;
  // The container is being destroyed; the link is already unregistered.
  std::function<void(TCHBcChangeLink*)> OnSenderFree;

  virtual void Change();
};

class TCHCustomBmpContainer : public TComponent {
 public:
  explicit TCHCustomBmpContainer(TComponent* owner);
  // Unregisters every link (last first) and tells each that the container is gone.
  ~TCHCustomBmpContainer() override;
  const char* ClassName() const override { return "TCHCustomBmpContainer"; }

  // The owned bitmap; drawing on it or resizing it runs Change.
  TBitmap& Bitmap() { return bitmap_; }
  const TBitmap& Bitmap() const { return bitmap_; }
  // Copies the picture (the container keeps its own bitmap).
  void SetBitmap(const TBitmap& value) { bitmap_.Assign(value); }
  int CellWidth() const { return cellWidth_; }
  int CellHeight() const { return cellHeight_; }
  void SetCellWidth(int value);
  void SetCellHeight(int value);
  // Number of cells; 0 until the first change.
  int Count() const { return count_; }

  // The source rectangle of a cell: a negative index gives the whole bitmap, an index at or past
  // Count the last cell. Cells are numbered down each column first.
  TRect GetRect(int index) const;

  void RegisterChanges(TCHBcChangeLink* link);
  // A link that is not registered is ignored.
  void UnRegisterChanges(TCHBcChangeLink* link);

  TCanvas& GetBmpCanvas() { return bitmap_.Canvas(); }
  int GetBmpWidth() const { return bitmap_.Width(); }
  int GetBmpHeight() const { return bitmap_.Height(); }
  void GetCanvasRect(int index, TCanvas*& canvas, TRect& rect);
  void GetBmpRect(int index, TBitmap*& bitmap, TRect& rect);

  // Runs after the links on every change (sender = the container).
  TNotifyEvent OnChange;

 protected:
  // Recounts the cells, tells the links in registration order, then OnChange.
  virtual void Change();
  void CalcCount();
  void BitmapChange() { Change(); }

 private:
  TBitmap bitmap_;
  int cellWidth_ = 0;
  int cellHeight_ = 0;
  std::vector<TCHBcChangeLink*> links_;
  int calcCellWidth_ = 0;  // the cell width when CellWidth <= 0
  int rowsOrHeight_ = 0;   // CellHeight > 0: the rows; otherwise the cell height
  int count_ = 0;
};

// The container the forms and the skin module hold.
class TCHBmpContainer : public TCHCustomBmpContainer {
 public:
  using TCHCustomBmpContainer::TCHCustomBmpContainer;
  const char* ClassName() const override { return "TCHBmpContainer"; }
};

}  // namespace vdmq
