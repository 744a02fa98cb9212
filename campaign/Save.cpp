#include "campaign/Save.h"

#include <sys/types.h>

#include <bit>
#include <cstring>

#include "platform/base/GameError.h"
#include "platform/base/LittleEndian.h"
#include "platform/base/Sjis.h"

namespace vdmq {

// Values travel as raw little-endian memory, as the files were written.
static_assert(std::endian::native == std::endian::little, "the keyed file stores little-endian values");

// ---------------------------------------------------------------------------------------------
// TDatFile

TDatFile::TDatFile(const std::string& path, const char* mode) { Open(path, mode); }

TDatFile::TDatFile(std::FILE* stream) : stream_(stream), owned_(false) {}

TDatFile::~TDatFile() { Close(); }

bool TDatFile::Open(const std::string& path, const char* mode) {
  Close();
  error_ = false;
  if (mode == nullptr) return false;
  stream_ = std::fopen(path.c_str(), mode);
  owned_ = stream_ != nullptr;
  return stream_ != nullptr;
}

bool TDatFile::Close() {
  // A borrowed stream stays open and belongs to the caller; an owned one is closed here, and a
  // failed close (the last buffered bytes could not be written) counts as an error.
  const bool ok = stream_ == nullptr || !owned_ || std::fclose(stream_) == 0;
  stream_ = nullptr;
  owned_ = false;
  if (!ok) error_ = true;
  return ok;
}

// ---------------------------------------------------------------------------------------------
// Block operations

namespace {

std::FILE* StreamOf(TDatFile* fp) { return fp != nullptr ? fp->Stream() : nullptr; }

// Reads the 4-byte little-endian count; false when fewer than 4 bytes remain.
bool ReadCount(std::FILE* f, std::uint32_t* count) {
  unsigned char b[4];
  if (std::fread(b, 1, 4, f) != 4) return false;
  *count = ReadLe32(b);
  return true;
}

// Size of the stream in bytes, or -1 when it cannot be measured. The position is kept.
std::int64_t StreamSize(std::FILE* f) {
  const off_t here = ftello(f);
  if (here < 0) return -1;
  if (fseeko(f, 0, SEEK_END) != 0) return -1;
  const off_t end = ftello(f);
  if (fseeko(f, here, SEEK_SET) != 0) return -1;
  return end;
}

[[noreturn]] void ThrowMissingKey(TDatFile* fp) {
  fp->SetError();
  ThrowGameError(SJS("例外 SeekKey keyでエラー"));
}

// Length of a NUL-ended text, looking at no more than limit characters (limit when longer).
std::size_t BoundedLen(const char* s, std::size_t limit) { return strnlen(s, limit); }

bool IsKnownType(const char* type) {
  return type != nullptr &&
         (std::strcmp(type, "int") == 0 || std::strcmp(type, "long") == 0 || std::strcmp(type, "char") == 0 ||
          std::strcmp(type, "bool") == 0 || std::strcmp(type, "byte") == 0);
}

}  // namespace

int GetTypeByte(const char* type) {
  if (type != nullptr) {
    if (std::strcmp(type, "int") == 0 || std::strcmp(type, "long") == 0) return 4;
    if (std::strcmp(type, "char") == 0 || std::strcmp(type, "bool") == 0 || std::strcmp(type, "byte") == 0) {
      return 1;
    }
  }
  ThrowGameError(SJS("例外 GetTypeByte 未知な型"));
}

bool GetStr(char* buf, int n, TDatFile* fp) {
  std::FILE* f = StreamOf(fp);
  if (buf == nullptr || n <= 0 || f == nullptr) return false;
  for (int i = 0;; ++i) {
    const int c = std::fgetc(f);
    if (c == EOF) return false;
    buf[i] = static_cast<char>(c);
    if (c == 0) return true;
    if (i == n - 1) ThrowGameError(SJS("例外 GetStr 最大長を超える文字がある"));
  }
}

bool ChkDattype(const char* /*key*/, const char* expected, const char* stored) {
  if (expected != nullptr && stored != nullptr && std::strcmp(expected, stored) == 0) return true;
  ThrowGameError(SJS("例外 ChkDattype 読み込んだファイルとﾃﾞｰﾀ型がちがう"));
}

bool ChkDatType(const char* /*key*/, std::int64_t expected, std::int64_t stored) {
  if (expected == stored) return true;
  ThrowGameError(SJS("例外 ChkDatType 読み込んだファイルとﾃﾞｰﾀ個数がちがう"));
}

std::int64_t SeekKey(TDatFile* fp, const char* key, const char* type, std::uint32_t count) {
  std::FILE* f = StreamOf(fp);
  if (f == nullptr || key == nullptr) return -1;
  if (fseeko(f, 0, SEEK_SET) != 0) return -1;
  std::clearerr(f);
  const std::int64_t size = StreamSize(f);
  if (size < 0) ThrowMissingKey(fp);

  DatKeyBlock head{};
  for (;;) {
    if (!GetStr(head.Key, kDatStrMax, fp)) ThrowMissingKey(fp);
    if (!GetStr(head.Type, kDatStrMax, fp)) ThrowMissingKey(fp);
    if (std::strcmp(head.Key, key) == 0) {
      ChkDattype(key, type, head.Type);
      if (!ReadCount(f, &head.Count)) ThrowMissingKey(fp);
      ChkDatType(key, count, head.Count);
      return head.Count;
    }
    const int elem = GetTypeByte(head.Type);
    if (!ReadCount(f, &head.Count)) ThrowMissingKey(fp);
    // The skip is at most 4 * (2^32 - 1) bytes: exact in 64 bits, forward only, and never past
    // the end of the file, so every search ends.
    const std::int64_t skip = static_cast<std::int64_t>(head.Count) * elem;
    const off_t here = ftello(f);
    if (here < 0 || skip > size - here) ThrowMissingKey(fp);
    if (fseeko(f, static_cast<off_t>(here + skip), SEEK_SET) != 0) ThrowMissingKey(fp);
  }
}

bool WriteKey(TDatFile* fp, const char* key, const char* type, std::uint32_t count) {
  std::FILE* f = StreamOf(fp);
  if (f == nullptr || key == nullptr || type == nullptr) return false;
  // A reader accepts at most 31 characters before the NUL: refuse what it could not read back.
  const std::size_t keyLen = BoundedLen(key, kDatStrMax);
  const std::size_t typeLen = BoundedLen(type, kDatStrMax);
  if (keyLen >= static_cast<std::size_t>(kDatStrMax) || typeLen >= static_cast<std::size_t>(kDatStrMax)) {
    return false;
  }
  if (!IsKnownType(type)) return false;
  unsigned char c[4];
  StoreLe32(c, count);
  bool ok = std::fwrite(key, 1, keyLen + 1, f) == keyLen + 1;
  ok = ok && std::fwrite(type, 1, typeLen + 1, f) == typeLen + 1;
  ok = ok && std::fwrite(c, 1, 4, f) == 4;
  return ok;
}

bool ReadWriteKey(int mode, TDatFile* fp, const char* key, const char* type, std::uint32_t count) {
  const bool ok = mode == kSaveModeWrite ? WriteKey(fp, key, type, count) : SeekKey(fp, key, type, count) != -1;
  if (!ok && fp != nullptr) fp->SetError();
  return ok;
}

bool ReadWriteData(int mode, void* addr, std::size_t size, std::size_t count, TDatFile* fp) {
  std::FILE* f = StreamOf(fp);
  if (f == nullptr) return false;
  if (size == 0 || count == 0) return true;
  if (addr == nullptr) {
    fp->SetError();
    return false;
  }
  const std::size_t done =
      mode == kSaveModeWrite ? std::fwrite(addr, size, count, f) : std::fread(addr, size, count, f);
  if (done != count) {
    fp->SetError();
    return false;
  }
  return true;
}

}  // namespace vdmq
