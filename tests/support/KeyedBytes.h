#pragma once
// Test helpers for keyed data files: build files block by block in memory, open them as read
// streams, and read back what a routine wrote.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "campaign/Save.h"
#include "platform/base/GameError.h"
#include "platform/base/LittleEndian.h"

namespace vdmq::test {

// Bytes of a keyed file, built one block at a time.
class TKeyedBytes {
 public:
  // A block head (key, type name, count) followed by raw value bytes.
  TKeyedBytes& Raw(const std::string& key, const std::string& type, std::uint32_t count, const std::string& values) {
    bytes_ += key;
    bytes_.push_back('\0');
    bytes_ += type;
    bytes_.push_back('\0');
    PutLe32(bytes_, count);
    bytes_ += values;
    return *this;
  }
  // An "int" block holding the values.
  TKeyedBytes& Ints(const std::string& key, const std::vector<std::int32_t>& values) {
    std::string v;
    for (std::int32_t x : values) PutLe32(v, static_cast<std::uint32_t>(x));
    return Raw(key, "int", static_cast<std::uint32_t>(values.size()), v);
  }
  // A one-byte block ("char", "bool" or "byte") holding the values.
  TKeyedBytes& Bytes(const std::string& key, const std::string& type, const std::vector<std::uint8_t>& values) {
    return Raw(key, type, static_cast<std::uint32_t>(values.size()), std::string(values.begin(), values.end()));
  }
  TKeyedBytes& Append(const std::string& raw) {
    bytes_ += raw;
    return *this;
  }
  const std::string& str() const { return bytes_; }

 private:
  std::string bytes_;
};

// A temporary file holding bytes, positioned at its start; closed when the object goes.
class TTempStream {
 public:
  explicit TTempStream(const std::string& bytes = std::string()) : f_(std::tmpfile()) {
    if (f_ != nullptr && !bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f_);
    if (f_ != nullptr) std::rewind(f_);
  }
  ~TTempStream() {
    if (f_ != nullptr) std::fclose(f_);
  }
  TTempStream(const TTempStream&) = delete;
  TTempStream& operator=(const TTempStream&) = delete;
  std::FILE* get() const { return f_; }
  // Everything the stream holds now (the position is left at the end).
  std::string Contents() const {
    std::string out;
    std::fflush(f_);
    std::rewind(f_);
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f_)) > 0) out.append(buf, n);
    return out;
  }

 private:
  std::FILE* f_;
};

// The text of the EGameError that f throws, or "<no error>".
template <class F>
std::string ErrorOf(F&& f) {
  try {
    f();
  } catch (const EGameError& e) {
    return e.text();
  }
  return "<no error>";
}

}  // namespace vdmq::test
