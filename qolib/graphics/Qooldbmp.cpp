#include "qolib/graphics/Qooldbmp.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "platform/base/LittleEndian.h"
#include "qolib/pack/Qopack.h"

namespace vdmq {

// ---- Blocks ------------------------------------------------------------------------------------

namespace {

// Each block starts with a header that records its size, so a caller handing a block back for
// reuse never has a larger picture written past its end.
struct BlockHead {
  std::size_t bytes;
  std::size_t magic;
};
constexpr std::size_t kBlockMagic = 0x516F426Cu;  // "QoBl"
constexpr std::size_t kHeadSize = 16;
static_assert(sizeof(BlockHead) <= kHeadSize);

const BlockHead* HeadOf(const void* block) {
  return reinterpret_cast<const BlockHead*>(static_cast<const unsigned char*>(block) - kHeadSize);
}

}  // namespace

void* QoAllocBlock(std::size_t bytes) {
  if (bytes == 0 || bytes > (std::size_t{1} << 40)) return nullptr;
  auto* raw = static_cast<unsigned char*>(std::calloc(1, bytes + kHeadSize));
  if (raw == nullptr) return nullptr;
  auto* head = reinterpret_cast<BlockHead*>(raw);
  head->bytes = bytes;
  head->magic = kBlockMagic;
  return raw + kHeadSize;
}

void QoFreeBlock(void* block) {
  if (block == nullptr) return;
  std::free(static_cast<unsigned char*>(block) - kHeadSize);
}

std::size_t QoBlockSize(const void* block) {
  if (block == nullptr) return 0;
  const BlockHead* head = HeadOf(block);
  return head->magic == kBlockMagic ? head->bytes : 0;
}

// ---- Resources ---------------------------------------------------------------------------------

namespace {

struct ResourceData {
  const unsigned char* data;
  std::size_t size;
};

std::map<std::pair<HQoModule, std::string>, ResourceData>& Resources() {
  static std::map<std::pair<HQoModule, std::string>, ResourceData> table;
  return table;
}

}  // namespace

void QoAddResource(HQoModule module, const std::string& name, const void* data, std::size_t size) {
  Resources()[{module, name}] = ResourceData{static_cast<const unsigned char*>(data), size};
}

bool QoFindResource(HQoModule module, const std::string& name, const unsigned char** data, std::size_t* size) {
  auto it = Resources().find({module, name});
  if (it == Resources().end()) return false;
  if (data != nullptr) *data = it->second.data;
  if (size != nullptr) *size = it->second.size;
  return true;
}

void QoClearResources() { Resources().clear(); }

// ---- Byte sources ------------------------------------------------------------------------------

namespace bmp_detail {

// The readers pull bytes in order; a source answers how many bytes it delivered.
class Source {
 public:
  virtual ~Source() = default;
  virtual std::size_t Read(void* buffer, std::size_t n) = 0;
  // Skips n bytes; false when the source ended first.
  virtual bool Skip(std::uint64_t n) {
    unsigned char scratch[512];
    while (n > 0) {
      const std::size_t part = n < sizeof scratch ? static_cast<std::size_t>(n) : sizeof scratch;
      if (Read(scratch, part) != part) return false;
      n -= part;
    }
    return true;
  }
};

class MemorySource : public Source {
 public:
  MemorySource(const void* data, std::size_t size) : data_(static_cast<const unsigned char*>(data)), size_(size) {}
  std::size_t Read(void* buffer, std::size_t n) override {
    const std::size_t left = size_ - pos_;
    const std::size_t take = n < left ? n : left;
    if (take > 0) std::memcpy(buffer, data_ + pos_, take);
    pos_ += take;
    return take;
  }
  bool Skip(std::uint64_t n) override {
    const std::size_t left = size_ - pos_;
    if (n > left) {
      pos_ = size_;
      return false;
    }
    pos_ += static_cast<std::size_t>(n);
    return true;
  }

 private:
  const unsigned char* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

class FileSource : public Source {
 public:
  explicit FileSource(std::FILE* f) : f_(f) {}
  ~FileSource() override { std::fclose(f_); }
  std::size_t Read(void* buffer, std::size_t n) override { return std::fread(buffer, 1, n, f_); }

 private:
  std::FILE* f_;
};

std::unique_ptr<Source> OpenFile(const std::string& name) {
  std::FILE* f = std::fopen(name.c_str(), "rb");
  if (f == nullptr) return nullptr;
  return std::make_unique<FileSource>(f);
}

// An archive entry read through its handle.
class PackSource : public Source {
 public:
  PackSource(TQoPack* pack, QoFILE* f) : pack_(pack), f_(f) {}
  ~PackSource() override { pack_->Qofclose(f_); }
  std::size_t Read(void* buffer, std::size_t n) override {
    std::size_t done = 0;
    auto* out = static_cast<unsigned char*>(buffer);
    while (done < n) {
      const unsigned part = static_cast<unsigned>(std::min<std::size_t>(n - done, 1u << 20));
      const unsigned got = pack_->Qofread(out + done, 1, part, f_);
      done += got;
      if (got != part) break;
    }
    return done;
  }

 private:
  TQoPack* pack_;
  QoFILE* f_;
};

std::unique_ptr<Source> OpenPack(TQoPack* pack, const std::string& name) {
  if (pack == nullptr) return nullptr;
  QoFILE* f = pack->Qofopen(name.c_str());
  if (f == nullptr) return nullptr;
  pack->Qofseek(f, 0, 0);
  return std::make_unique<PackSource>(pack, f);
}

std::unique_ptr<Source> OpenResource(HQoModule module, const char* name) {
  if (name == nullptr) return nullptr;
  const unsigned char* data = nullptr;
  std::size_t size = 0;
  if (!QoFindResource(module, name, &data, &size)) return nullptr;
  return std::make_unique<MemorySource>(data, size);
}

// ---- Headers -----------------------------------------------------------------------------------

struct Header {
  int width = 0;
  int height = 0;  // rows, always positive here
  bool topDown = false;
  int bits = 0;          // 8 or 24
  unsigned colours = 0;  // palette entries in the source (8 bits only)
};

// Reads the optional 14-byte file header and the 40-byte information header and checks them.
bool ReadHeader(Source& src, bool fileHeader, Header* out) {
  unsigned char buf[54];
  const std::size_t want = fileHeader ? 54 : 40;
  if (src.Read(buf, want) != want) return false;
  const unsigned char* info = fileHeader ? buf + 14 : buf;
  const std::int32_t w = static_cast<std::int32_t>(ReadLe32(info + 4));
  const std::int32_t h = static_cast<std::int32_t>(ReadLe32(info + 8));
  const int bits = ReadLe16(info + 14);
  if (bits != 8 && bits != 24) return false;
  if (w < 1 || w > kQoBmpMaxSide) return false;
  if (h == 0 || h > kQoBmpMaxSide || h < -kQoBmpMaxSide) return false;
  out->width = w;
  out->topDown = h < 0;
  out->height = h < 0 ? -h : h;
  out->bits = bits;
  const unsigned used = ReadLe32(info + 32) & 0xFFFFu;
  out->colours = used == 0 ? 256u : used;
  return true;
}

std::uint64_t RowBytes(const Header& hd) {
  const std::uint64_t raw = static_cast<std::uint64_t>(hd.width) * static_cast<std::uint64_t>(hd.bits / 8);
  return (raw + 3) & ~std::uint64_t{3};
}

// Reads the palette of an 8-bit picture into a zero-filled table of 256 entries; declared colours
// beyond 256 are skipped so that the rows start where they should.
bool ReadPalette(Source& src, const Header& hd, RGBQUAD table[256]) {
  std::memset(static_cast<void*>(table), 0, 256 * sizeof(RGBQUAD));
  const unsigned take = hd.colours < 256 ? hd.colours : 256;
  const std::size_t bytes = static_cast<std::size_t>(take) * 4;
  std::size_t got = src.Read(table, bytes);
  if (got != bytes) {
    // Cut short: the entries not fully read stay black.
    std::memset(reinterpret_cast<unsigned char*>(table) + (got / 4) * 4, 0, bytes - (got / 4) * 4);
    return false;
  }
  if (hd.colours > 256) return src.Skip(static_cast<std::uint64_t>(hd.colours - 256) * 4);
  return true;
}

// Output row of file row r (0 = first row in the source).
std::size_t OutRow(const Header& hd, int r) { return static_cast<std::size_t>(hd.topDown ? r : hd.height - 1 - r); }

// Takes the caller's block or a new one of the given size; false (nothing taken) when the
// caller's block is too small or memory ran out.
template <typename T>
bool PrepareBlock(T** out, std::uint64_t bytes, T** block, bool* allocated) {
  *allocated = false;
  *block = nullptr;
  if (out == nullptr) return true;
  if (*out != nullptr) {
    if (QoBlockSize(*out) < bytes) return false;
    *block = *out;
    return true;
  }
  void* p = QoAllocBlock(static_cast<std::size_t>(bytes));
  if (p == nullptr) return false;
  *block = static_cast<T*>(p);
  *allocated = true;
  return true;
}

// Reads the rows of an 8-bit picture through `put(outRow, indices)`; on a short source the rows
// not read are cleared through `clear(outRow, fromByte)`.
template <typename Put, typename Clear>
void ReadRows8(Source& src, const Header& hd, bool sourceOk, Put put, Clear clear) {
  std::vector<unsigned char> row(static_cast<std::size_t>(RowBytes(hd)));
  int r = 0;
  for (; sourceOk && r < hd.height; ++r) {
    const std::size_t got = src.Read(row.data(), row.size());
    const std::size_t pixels = got < static_cast<std::size_t>(hd.width) ? got : static_cast<std::size_t>(hd.width);
    put(OutRow(hd, r), row.data(), pixels);
    if (got != row.size()) {
      // The last row may lack its padding; anything less is a cut picture.
      if (pixels < static_cast<std::size_t>(hd.width)) clear(OutRow(hd, r), pixels);
      ++r;
      break;
    }
  }
  for (; r < hd.height; ++r) clear(OutRow(hd, r), 0);
}

bool Bmp24(Source& src, bool fileHeader, TQoRGB** pixels, int* width, int* height) {
  Header hd;
  if (!ReadHeader(src, fileHeader, &hd)) return false;
  const std::uint64_t outBytes = static_cast<std::uint64_t>(hd.width) * static_cast<std::uint64_t>(hd.height) * 3;
  if (outBytes > kQoBmpMaxBlock) return false;
  if (pixels != nullptr) {
    TQoRGB* block = nullptr;
    bool allocated = false;
    if (!PrepareBlock(pixels, outBytes, &block, &allocated)) return false;
    const std::size_t w = static_cast<std::size_t>(hd.width);
    // Rows the source does not deliver are black; a new block is zero-filled already.
    auto clear = [&](std::size_t outRow, std::size_t from) {
      if (!allocated) std::memset(static_cast<void*>(block + outRow * w + from), 0, (w - from) * 3);
    };
    if (hd.bits == 8) {
      RGBQUAD pal[256];
      const bool ok = ReadPalette(src, hd, pal);
      TQoRGB table[256];
      for (int i = 0; i < 256; ++i) table[i] = TQoRGB(pal[i]);
      ReadRows8(
          src, hd, ok,
          [&](std::size_t outRow, const unsigned char* idx, std::size_t n) {
            TQoRGB* d = block + outRow * w;
            for (std::size_t i = 0; i < n; ++i) d[i] = table[idx[i]];
          },
          clear);
    } else {
      const std::size_t rowBytes = w * 3;
      const std::uint64_t pad = RowBytes(hd) - rowBytes;
      int r = 0;
      for (; r < hd.height; ++r) {
        unsigned char* d = reinterpret_cast<unsigned char*>(block + OutRow(hd, r) * w);
        const std::size_t got = src.Read(d, rowBytes);
        if (got != rowBytes) {
          const std::size_t whole = got / 3 * 3;  // a pixel cut in two is not kept
          std::memset(d + whole, 0, rowBytes - whole);
          ++r;
          break;
        }
        if (pad != 0 && !src.Skip(pad)) {
          ++r;
          break;
        }
      }
      for (; r < hd.height; ++r) clear(OutRow(hd, r), 0);
    }
    *pixels = block;
  }
  if (width != nullptr) *width = hd.width;
  if (height != nullptr) *height = hd.height;
  return true;
}

bool Bmp8(Source& src, bool fileHeader, RGBQUAD** palette, unsigned char** pixels, int* width, int* height) {
  Header hd;
  if (!ReadHeader(src, fileHeader, &hd) || hd.bits != 8) return false;
  const std::uint64_t outBytes = static_cast<std::uint64_t>(hd.width) * static_cast<std::uint64_t>(hd.height);
  if (outBytes > kQoBmpMaxBlock) return false;
  RGBQUAD* pal = nullptr;
  unsigned char* block = nullptr;
  bool palAllocated = false;
  bool pixAllocated = false;
  if (!PrepareBlock(palette, 256 * sizeof(RGBQUAD), &pal, &palAllocated)) return false;
  if (!PrepareBlock(pixels, outBytes, &block, &pixAllocated)) {
    if (palAllocated) QoFreeBlock(pal);
    return false;
  }
  RGBQUAD table[256];
  bool ok = ReadPalette(src, hd, table);
  if (pal != nullptr) std::memcpy(pal, table, sizeof table);
  if (block != nullptr) {
    const std::size_t w = static_cast<std::size_t>(hd.width);
    ReadRows8(
        src, hd, ok,
        [&](std::size_t outRow, const unsigned char* idx, std::size_t n) {
          if (n != 0) std::memcpy(block + outRow * w, idx, n);
        },
        [&](std::size_t outRow, std::size_t from) {
          if (!pixAllocated) std::memset(block + outRow * w + from, 0, w - from);
        });
  }
  if (palette != nullptr) *palette = pal;
  if (pixels != nullptr) *pixels = block;
  if (width != nullptr) *width = hd.width;
  if (height != nullptr) *height = hd.height;
  return true;
}

bool Act(Source& src, RGBQUAD** palette) {
  if (palette == nullptr) return true;
  unsigned char rgb[768];
  // A colour table is exactly 768 bytes; a shorter one is not taken.
  if (src.Read(rgb, sizeof rgb) != sizeof rgb) return false;
  RGBQUAD* pal = nullptr;
  bool allocated = false;
  if (!PrepareBlock(palette, 256 * sizeof(RGBQUAD), &pal, &allocated)) return false;
  for (int i = 0; i < 256; ++i) pal[i] = RGBQUAD{rgb[i * 3 + 2], rgb[i * 3 + 1], rgb[i * 3], 0};
  *palette = pal;
  return true;
}

}  // namespace bmp_detail

using namespace bmp_detail;

bool LoadBmp24Mem(const void* data, std::size_t size, TQoRGB** pixels, int* width, int* height) {
  if (data == nullptr) return false;
  MemorySource src(data, size);
  return Bmp24(src, true, pixels, width, height);
}

bool LoadBmp24File(const std::string& fileName, TQoRGB** pixels, int* width, int* height) {
  auto src = OpenFile(fileName);
  return src && Bmp24(*src, true, pixels, width, height);
}

bool LoadBmp24Resource(HQoModule module, const char* resName, TQoRGB** pixels, int* width, int* height) {
  auto src = OpenResource(module, resName);
  return src && Bmp24(*src, false, pixels, width, height);
}

bool LoadBmpMem(const void* data, std::size_t size, RGBQUAD** palette, unsigned char** pixels, int* width,
                int* height) {
  if (data == nullptr) return false;
  MemorySource src(data, size);
  return Bmp8(src, true, palette, pixels, width, height);
}

bool LoadBmpFile(const std::string& fileName, RGBQUAD** palette, unsigned char** pixels, int* width, int* height) {
  auto src = OpenFile(fileName);
  return src && Bmp8(*src, true, palette, pixels, width, height);
}

bool LoadBmpResource(HQoModule module, const char* resName, RGBQUAD** palette, unsigned char** pixels, int* width,
                     int* height) {
  auto src = OpenResource(module, resName);
  return src && Bmp8(*src, false, palette, pixels, width, height);
}

bool LoadActMem(const void* data, std::size_t size, RGBQUAD** palette) {
  if (data == nullptr) return false;
  MemorySource src(data, size);
  return Act(src, palette);
}

bool LoadActFile(const std::string& fileName, RGBQUAD** palette) {
  auto src = OpenFile(fileName);
  return src && Act(*src, palette);
}

bool LoadBmp24Pack(TQoPack* pack, const std::string& name, TQoRGB** pixels, int* width, int* height) {
  auto src = OpenPack(pack, name);
  return src && Bmp24(*src, true, pixels, width, height);
}

bool LoadBmpPack(TQoPack* pack, const std::string& name, RGBQUAD** palette, unsigned char** pixels, int* width,
                 int* height) {
  auto src = OpenPack(pack, name);
  return src && Bmp8(*src, true, palette, pixels, width, height);
}

bool LoadActPack(TQoPack* pack, const std::string& name, RGBQUAD** palette) {
  auto src = OpenPack(pack, name);
  return src && Act(*src, palette);
}

}  // namespace vdmq
