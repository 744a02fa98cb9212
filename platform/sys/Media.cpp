#include "platform/sys/Media.h"

#include <algorithm>
#include <cstdint>

#include "platform/base/LittleEndian.h"

namespace vdmq {
namespace {

// Walks the chunks of [begin, end) and calls f(id, dataOffset, dataSize) for each, dataSize cut to what
// the bytes hold; f answers false to stop.
template <class F>
void Chunks(std::string_view b, size_t begin, size_t end, F&& f) {
  size_t at = begin;
  while (at + 8 <= end) {
    const std::string_view id = b.substr(at, 4);
    const std::uint64_t size = ReadLe32(b.data() + at + 4);
    const size_t data = at + 8;
    const size_t avail = static_cast<size_t>(std::min<std::uint64_t>(size, end - data));
    if (!f(id, data, avail, size)) return;
    at = data + static_cast<size_t>(std::min<std::uint64_t>(size + (size & 1), end - data));
    if (avail < size) return;
  }
}

}  // namespace

std::optional<std::uint32_t> WaveDurationMs(std::string_view b) {
  if (b.size() < 12 || b.substr(0, 4) != "RIFF" || b.substr(8, 4) != "WAVE") return std::nullopt;
  std::uint32_t byteRate = 0;
  std::optional<std::uint64_t> dataSize;
  Chunks(b, 12, b.size(), [&](std::string_view id, size_t data, size_t avail, std::uint64_t size) {
    if (id == "fmt " && avail >= 12) byteRate = ReadLe32(b.data() + data + 8);
    if (id == "data") {
      dataSize = size;
      return false;
    }
    return true;
  });
  if (byteRate == 0 || !dataSize) return std::nullopt;
  const std::uint64_t ms = *dataSize * 1000 / byteRate;
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(ms, UINT32_MAX));
}

std::optional<TAviInfo> ReadAviInfo(std::string_view b) {
  if (b.size() < 12 || b.substr(0, 4) != "RIFF" || b.substr(8, 4) != "AVI ") return std::nullopt;
  std::optional<TAviInfo> info;
  Chunks(b, 12, b.size(), [&](std::string_view id, size_t data, size_t avail, std::uint64_t) {
    if (id != "LIST" || avail < 4 || b.substr(data, 4) != "hdrl") return true;
    Chunks(b, data + 4, data + avail, [&](std::string_view sub, size_t d, size_t a, std::uint64_t) {
      if (sub == "avih" && a >= 20) {
        info = TAviInfo{ReadLe32(b.data() + d + 16), ReadLe32(b.data() + d)};
        return false;
      }
      return true;
    });
    return false;
  });
  if (info && info->microSecPerFrame == 0) return std::nullopt;
  return info;
}

}  // namespace vdmq
