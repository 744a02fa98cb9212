#pragma once
// The keyed data file: the one persistence format of the world model (new-game data, scenario maps
// and saved games). A file is a flat sequence of self-describing blocks
//   key (ASCII, NUL-ended, at most 31 characters) | type name (NUL-ended) | count (u32 LE) | values
// and a reader finds a block by its key, so the order of the blocks does not matter. Every unit's
// save/load routine transfers its blocks with ReadWriteKey / ReadWriteData in one fixed order, so
// the same routine writes (mode 0) and reads (modes 1 and 2) a file.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace vdmq {

// Mode numbers shared by every save/load routine of the world model.
constexpr int kSaveModeWrite = 0;  // write a saved game (or a map)
constexpr int kSaveModeLoad = 1;   // read a saved game (or a map)
constexpr int kSaveModeNew = 2;    // read the new-game data (or a map)

// Size of the key and type-name buffers of a reader: at most 31 characters and the NUL.
constexpr int kDatStrMax = 32;

// An open buffered file stream of the standard library, as the block operations use it, with a
// sticky error: set by a short transfer of ReadWriteData, a failed ReadWriteKey (in any mode) or a
// failed flush on Close, and kept until ClearError. A whole-game load asks HasError() to tell a
// truncated or damaged file from a good one.
class TDatFile {
 public:
  TDatFile() = default;
  // Opens path with an fopen mode ("wb" to write, "rb" to read); IsOpen() tells the outcome.
  TDatFile(const std::string& path, const char* mode);
  // Works on a stream the caller opened and keeps (it is not closed here).
  explicit TDatFile(std::FILE* stream);
  ~TDatFile();
  TDatFile(const TDatFile&) = delete;
  TDatFile& operator=(const TDatFile&) = delete;

  // Opens path (closing a stream opened before); false when the file does not open.
  bool Open(const std::string& path, const char* mode);
  // Closes an owned stream (forgets a borrowed one). False, and the error set, when a written
  // file could not be flushed.
  bool Close();
  bool IsOpen() const { return stream_ != nullptr; }
  std::FILE* Stream() const { return stream_; }

  bool HasError() const { return error_; }
  void SetError() { error_ = true; }
  void ClearError() { error_ = false; }

 private:
  std::FILE* stream_ = nullptr;
  bool owned_ = false;
  bool error_ = false;
};

// The head of one block as a reader holds it: the key and the type name, each NUL-ended in a
// buffer of 32 bytes (at most 31 characters), and the element count. The values follow the head
// in the file: count elements of the type's size, little-endian, with no padding.
struct DatKeyBlock {
  char Key[kDatStrMax];
  char Type[kDatStrMax];
  std::uint32_t Count;
};

// Element size of a type name: 4 for "int" and "long", 1 for "char", "bool" and "byte"; any other
// name (or null) throws "例外 GetTypeByte 未知な型".
int GetTypeByte(const char* type);

// Reads one NUL-ended string into buf (size n). True when the NUL was read (and stored); false at
// the end of the file (buf holds what was read, unterminated) or for a missing file or buffer.
// A character that fills buf[n - 1] throws "例外 GetStr 最大長を超える文字がある": at most n - 1
// characters are accepted, and nothing is ever written past buf[n - 1].
bool GetStr(char* buf, int n, TDatFile* fp);

// Equal type names -> true; otherwise throws "例外 ChkDattype 読み込んだファイルとﾃﾞｰﾀ型がちがう".
bool ChkDattype(const char* key, const char* expected, const char* stored);
// Equal counts -> true; otherwise throws "例外 ChkDatType 読み込んだファイルとﾃﾞｰﾀ個数がちがう".
bool ChkDatType(const char* key, std::int64_t expected, std::int64_t stored);

// Positions the file on the first value of the first block with that key and returns its stored
// count. -1 (no error) for a missing file or key, or when the file cannot be rewound. Throws
// "例外 SeekKey keyでエラー" when no block has the key; a skip that cannot be made (past the end of
// the file, a failed seek) or a count read short of 4 bytes counts as a missing key. A stored type
// or count that differs from the expected one throws the ChkDattype / ChkDatType error; an unknown
// type name in a block that is skipped throws the GetTypeByte error.
std::int64_t SeekKey(TDatFile* fp, const char* key, const char* type, std::uint32_t count);

// Writes a block head: key and NUL, type name and NUL, count as 4 bytes little-endian. False for a
// missing file, for a key or type name of 32 or more characters (or null), for an unknown type
// name, and when the write fails.
bool WriteKey(TDatFile* fp, const char* key, const char* type, std::uint32_t count);

// Mode 0: WriteKey. Any other mode: SeekKey, true when it found the block. A false result is also
// recorded on the file (its sticky error).
bool ReadWriteKey(int mode, TDatFile* fp, const char* key, const char* type, std::uint32_t count);

// Mode 0 writes, any other mode reads, size * count bytes at addr (raw little-endian values).
// True when the whole transfer was made; a short transfer sets the file's sticky error (a short
// read leaves the rest of the memory unchanged). A missing file or address does nothing.
bool ReadWriteData(int mode, void* addr, std::size_t size, std::size_t count, TDatFile* fp);

}  // namespace vdmq
