#pragma once
// The check shared by the decoder fuzz targets: arbitrary bytes go to a decoder (and, for some
// inputs, round-trip through the matching encoder). The first 3 bytes give the decoded size; the
// rest is the stored stream. Any broken promise aborts.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace vdmq {

template <class TEncoder, class TDecoder>
void CheckCodec(const uint8_t* data, size_t size) {
  if (size < 3) return;
  const int decodedSize = (data[0] | (data[1] << 8) | ((data[2] & 0x07) << 16));  // up to 512 KiB
  const bool roundTrip = (data[2] & 0x80) != 0;
  const uint8_t* stream = data + 3;
  const int stored = static_cast<int>(size - 3);
  size_t pos = 0;
  std::vector<unsigned char> out;
  auto read = [&](unsigned char* buf, int n) {
    if (n < 0 || pos + static_cast<size_t>(n) > static_cast<size_t>(stored))
      std::abort();  // never past the stored size
    std::memcpy(buf, stream + pos, static_cast<size_t>(n));
    pos += static_cast<size_t>(n);
    return true;
  };
  auto write = [&](unsigned char* buf, int n) {
    out.insert(out.end(), buf, buf + n);
    return true;
  };
  TDecoder dec;
  const bool ok = dec.Decode(stored, decodedSize, read, write);
  if (out.size() > static_cast<size_t>(decodedSize)) std::abort();
  if (ok && stored > 0 && out.size() != static_cast<size_t>(decodedSize)) std::abort();

  if (roundTrip && stored > 0) {
    std::vector<unsigned char> coded, back;
    size_t at = 0;
    TEncoder enc;
    const bool encoded = enc.Encode(
        stored, 2 * stored + 64,
        [&](unsigned char* buf, int n) {
          std::memcpy(buf, stream + at, static_cast<size_t>(n));
          at += static_cast<size_t>(n);
          return true;
        },
        [&](unsigned char* buf, int n) {
          coded.insert(coded.end(), buf, buf + n);
          return true;
        });
    if (!encoded) std::abort();
    size_t cat = 0;
    TDecoder dec2;
    const bool decoded = dec2.Decode(
        static_cast<int>(coded.size()), stored,
        [&](unsigned char* buf, int n) {
          if (cat + static_cast<size_t>(n) > coded.size()) return false;
          std::memcpy(buf, coded.data() + cat, static_cast<size_t>(n));
          cat += static_cast<size_t>(n);
          return true;
        },
        [&](unsigned char* buf, int n) {
          back.insert(back.end(), buf, buf + n);
          return true;
        });
    if (!decoded || back.size() != static_cast<size_t>(stored) || std::memcmp(back.data(), stream, back.size()))
      std::abort();
  }
}

}  // namespace vdmq
