#pragma once
// The picture archive's entry table: one row per entry (or run of numbered entries) with its kind,
// numbers, size, bit depth, frame grid, key rule, archive method and the routine that draws it.
// The archive holds exactly the entries of this table, named by the data-file locator's table and
// added in kind order, then number order.

#include <any>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "tools/Raster.h"

namespace vdmq::sample {

enum class TKeyRule {
  kOpaque,   // drawn whole or cut by area: no key, and no pixel is the key colour
  kMagenta,  // a sprite sheet: pixel (0, 0) is magenta, the key of every frame
  kCorner,   // a sheet whose pixel (0, 0) is a colour of its own, used nowhere else in it
  kBlack,    // a sheet drawn ADD: pixel (0, 0) is black, which adds nothing
};

// Archive methods of the entries.
constexpr int kMethodStored = 0;
constexpr int kMethodVarnel = 1;
constexpr int kMethodCocotte = 2;
constexpr int kMethodInverted = 3;  // stored with every byte inverted

// A generated picture: 24-bit, or 8-bit with its palette (then Rgb holds it expanded).
struct TArtImage {
  raster::TImage24 Rgb;
  std::optional<raster::TImage8> Indexed;
};

// Products that several entries are made from (a portrait's master, a panel that another picture
// repeats), each made once per run whichever thread asks first; the others wait for it.
class TArtCache {
 public:
  template <class T>
  const T& Get(const std::string& key, const std::function<T()>& make) {
    TSlot* slot;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      auto& s = slots_[key];
      if (!s) s = std::make_unique<TSlot>();
      slot = s.get();
    }
    std::call_once(slot->once, [&] { slot->value = make(); });
    return std::any_cast<const T&>(slot->value);
  }

 private:
  struct TSlot {
    std::once_flag once;
    std::any value;
  };
  std::mutex mutex_;
  std::map<std::string, std::unique_ptr<TSlot>> slots_;
};

struct TArtEntry;
using TArtRenderer = TArtImage (*)(const TArtEntry& entry, TArtCache& cache);

struct TArtEntry {
  int Kind = 0;
  int Number = -1;  // -1: the kind's name has no number
  int Width = 0, Height = 0;
  int Bits = 24;
  int Rows = 1, Cols = 1;  // the frame grid, rows x columns as the sprite sheet takes it
  TKeyRule Key = TKeyRule::kOpaque;
  int Method = kMethodCocotte;
  TArtRenderer Render = nullptr;

  // The archive entry name, from the data-file locator's table.
  std::string Name() const;
  int FrameWidth() const { return Width / Cols; }
  int FrameHeight() const { return Height / Rows; }
};

// Every entry, in kind order, then number order.
const std::vector<TArtEntry>& ArtEntries();
// The entry of a kind and number (-1 for an unnumbered kind), or null.
const TArtEntry* FindArtEntry(int kind, int number);

// What the archive's readers rely on: the listed size and depth, a grid that divides the picture,
// and the key rule. "" when the picture keeps them, else what is wrong.
std::string CheckArtImage(const TArtEntry& entry, const TArtImage& image);

}  // namespace vdmq::sample
