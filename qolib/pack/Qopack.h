#pragma once
// The packed picture archive: the archive component TQoPack (reading entries by name as file-like
// QoFILE handles or memory streams; creating and rewriting archives in QopackWriter.cpp) and the
// compressing stream TQoCompStream. The archive's 16-bit CRC is Qocrc.
//
// File layout (all integers little-endian, sizes signed 32-bit):
//   header 16 bytes   "QoPack", u16 version, i32 data size, i32 record count
//   data area         each entry's stored bytes, zero-padded to a multiple of 16
//   file table        record count records (48 bytes; 32 for 0x0100, 40 for 0x0200)
//   trailer           u16 CRC-16 over everything before it (0x0300 and 0x0301 only)
//
// Archives are input from files: a damaged or hostile archive makes the load or the entry open
// fail; nothing reads or writes outside its buffers.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "qolib/pack/Qocrc.h"
#include "qolib/pack/Quorvel.h"

namespace vdmq {

// ---------------------------------------------------------------------------------------------
// Archive format
// ---------------------------------------------------------------------------------------------

constexpr uint16_t kQoPackVersion0100 = 0x0100;
constexpr uint16_t kQoPackVersion0200 = 0x0200;
constexpr uint16_t kQoPackVersion0300 = 0x0300;
constexpr uint16_t kQoPackVersion0301 = 0x0301;
constexpr int kQoPackHeaderSize = 16;
constexpr int kQoFileTableSize = 48;
constexpr int kQoNameLen = 21;
constexpr int kQoExtLen = 3;
// Longest look-up name ("name.ext"): 21 + 1 + 3 bytes; buffers for it take 26 bytes.
constexpr int kQoLookupNameMax = 25;

// Storage methods of an entry.
constexpr int kQoMethodStore = 0;
constexpr int kQoMethodVarnel = 1;
constexpr int kQoMethodCocotte = 2;
constexpr int kQoMethodInvert = 3;

// A file time: 100-nanosecond intervals since 1601-01-01 UTC, low part then high part.
struct TQoFileTime {
  uint32_t Low = 0;
  uint32_t High = 0;
  uint64_t Value() const { return (static_cast<uint64_t>(High) << 32) | Low; }
};

// Time of records widened from versions 0x0100 and 0x0200: 1989-12-31 15:00:00 UTC.
constexpr TQoFileTime kQoDefaultFileTime{0xA8EE9800u, 0x01B41DDEu};

// One record of the file table (the 48-byte form every version is widened to).
struct TQoFileTable {
  char Name[kQoNameLen] = {};  // zero-padded, not terminated when full
  char Ext[kQoExtLen] = {};    // zero-padded, not terminated when full
  int32_t Offset = 0;          // from the start of the data area
  int32_t Size = 0;            // decoded size
  int32_t CompSize = 0;        // stored size, padding not included
  uint8_t Comp = 0;            // method 0..3
  uint8_t CrcFlag = 0;         // 1 when Crc is valid
  uint16_t Crc = 0;            // CRC-16 of the stored bytes
  TQoFileTime Time;            // last-write time of the file the entry was made from

  bool IsDeleted() const { return Name[0] == 0; }
  // Reads / writes the 48-byte disk form.
  void FromBytes(const uint8_t* p);
  void ToBytes(uint8_t* p) const;
};

struct TQoPackHeader {
  char Magic[6] = {'Q', 'o', 'P', 'a', 'c', 'k'};
  uint16_t Version = kQoPackVersion0300;
  int32_t DataSize = 0;
  int32_t FileNum = 0;

  void FromBytes(const uint8_t* p);
  void ToBytes(uint8_t* p) const;
};

// Which CRC-16 checks run while reading.
enum TCrcMode : uint8_t {
  cmNon = 0,       // none
  cmPackAll = 1,   // the whole-archive trailer when an archive is loaded
  cmEachFile = 2,  // an entry's CRC each time the entry is opened
};

class TQoPack;

// An open handle on one archive entry, read like a file.
struct QoFILE {
  int32_t Index = 0;                         // record in the file table
  int32_t DataPos = 0;                       // file position of the stored bytes
  int32_t Size = 0;                          // decoded size
  int32_t CompSize = 0;                      // stored size
  int32_t Comp = 0;                          // method 0..3
  std::unique_ptr<TQoMemoryStream> Decoded;  // decoded content, or null (reads the stored bytes)
  int32_t Position = 0;                      // read position 0..end
  // The archive the handle was made on; a handle does not outlive its archive's open state.
  const TQoPack* Pack = nullptr;
  uint64_t Generation = 0;

  // End of the handle: the size, or the stored size for a coded entry opened without decoding.
  int32_t End() const { return (Comp == 0 || Decoded) ? Size : CompSize; }
};

// ---------------------------------------------------------------------------------------------
// The archive component
// ---------------------------------------------------------------------------------------------

class TQoPack : public TQoComponent {
 public:
  explicit TQoPack(TQoComponent* owner = nullptr);
  ~TQoPack() override;
  void Loaded() override;

  // --- published properties ---
  bool GetReadOnly() const { return readOnly_; }
  // Takes the value only while no archive is open.
  void SetReadOnly(bool value);
  TCrcMode GetCrcMode() const { return crcMode_; }
  void SetCrcMode(TCrcMode value);
  // Fired during long passes; the handler reads GetProgress().
  TQoNotifyEvent OnProgress;
  int GetProgress() const { return progress_; }
  const std::string& GetPackName() const { return packName_; }
  void SetPackName(const std::string& name);  // OpenPack
  const std::string& GetFileName() const { return fileName_; }
  void SetFileName(const std::string& name);  // OpenFile
  // The whole decoded content of the entry FileName; null when none.
  TQoMemoryStream* GetCurrentFile() const { return currentFile_.get(); }

  // --- opening and closing ---
  // Non-empty name: LoadPack; empty name: closes an open archive and returns true.
  bool OpenPack(const std::string& name);
  bool LoadPack(const char* name);
  // Loads from a stream that the caller keeps (read-only components only).
  bool LoadPackStream(TQoStream* stream);
  // Closes the archive; a changed one gets its header, table and trailer written first. False
  // when that fails (the platform's message box has told it; the archive is damaged).
  bool ClosePack();
  bool EndPack();
  bool IsOpen() const { return open_; }

  // --- the file table ---
  int GetFileNum() const;
  // Look-up name of record i into out (at least 26 bytes).
  bool GetFileName(int i, char* out) const;
  int GetFileSize(int i) const;
  int GetFileComp(int i) const;
  bool GetFileTime(int i, TQoFileTime* out) const;
  bool VerifyFileCrc(int i);
  // Index of the first record with that look-up name (letter case ignored), or -1.
  int CheckFileName(const char* name) const;
  void MakeFTName(TQoFileTable& record, const char* name) const;
  const TQoPackHeader& Header() const { return header_; }
  // Record i, or null when out of range.
  const TQoFileTable* Record(int i) const;

  // --- the current file ---
  bool OpenFile(const std::string& name);
  void CloseFile();

  // --- one stream transfer; count receives the bytes moved; true when all n moved ---
  bool StreamRead(TQoStream* stream, void* buffer, int n, int* count);
  bool StreamWrite(TQoStream* stream, const void* buffer, int n, int* count);

  // --- entry handles ---
  QoFILE* QofopenComp(const char* name, bool decode);
  QoFILE* Qofopen(const char* name) { return QofopenComp(name, true); }
  bool Qofclose(QoFILE* handle);
  int Qofsize(QoFILE* handle) const;
  int Qodsize(QoFILE* handle) const;
  int QoIsComp(QoFILE* handle) const;
  // origin 0 from the start, 1 from the position, 2 from the end; clamped to 0..end.
  bool Qofseek(QoFILE* handle, int offset, int origin);
  bool Qofgetpos(QoFILE* handle, int* pos) const;
  bool Qofsetpos(QoFILE* handle, const int* pos);
  // Reads whole items; returns the item count read, or 0.
  unsigned Qofread(void* buffer, unsigned itemSize, unsigned count, QoFILE* handle);
  bool QoIsCrc(QoFILE* handle) const;
  unsigned short QoGetCrc(QoFILE* handle) const;
  bool QoGetFileTime(QoFILE* handle, TQoFileTime* out) const;
  // The whole decoded entry; the caller owns the stream.
  std::unique_ptr<TQoMemoryStream> QoMakeStream(const char* name);

  // --- coding and copying (reading and writing side) ---
  // Decodes storedSize bytes from source into exactly size bytes at destination; codec 0 Varnel,
  // any other Cocotte.
  bool FileDecode(TQoStream* destination, TQoStream* source, int size, int storedSize, int codec);
  // Copies n bytes, optionally inverting them; returns the CRC-16 of the bytes written. ok (when
  // given) tells whether every byte was read and written.
  unsigned short FileCopy(TQoStream* destination, TQoStream* source, int n, bool invert, bool* ok = nullptr);
  static void NotCoding(void* buffer, int n);
  bool CallBackRead(unsigned char* buffer, int n);
  bool CallBackWrite(unsigned char* buffer, int n);
  void CallBackProgress(int percent);

  // --- writing ---
  bool NewPack(const char* name);
  // An empty archive on a stream that the caller keeps (writable components only).
  bool NewPackStream(TQoStream* stream);
  bool AddFile(const char* name, const char* path, int method, bool onlyIfSmaller);
  bool AddFile(const char* name, const char* path, bool onlyIfSmaller) {
    return AddFile(name, path, kQoMethodVarnel, onlyIfSmaller);
  }
  bool AddPack(const char* name, TQoPack* source, const char* sourceName);
  bool DelFile(const char* name);
  // A free temporary file name ("QoTmp%03d.QoPack" in the temporary folder). The name is claimed
  // by creating the file empty, so two programs compressing at once never share one; the caller
  // removes it.
  bool MakeTempFile(std::string& out);
  // Encodes n bytes; returns the coded size or 0.
  int FileEncode(TQoStream* destination, TQoStream* source, int n, int codec);
  // Copies n bytes read through a handle of source; returns their CRC-16. ok as for FileCopy.
  unsigned short PackCopy(TQoStream* destination, TQoPack* source, QoFILE* handle, int n, bool* ok = nullptr);

 private:
  // The copy loop of FileCopy and PackCopy: n bytes in chunks, read(buffer, k) fetching each one;
  // returns the CRC-16 of the bytes written and sets ok once every byte went through.
  template <class Read>
  unsigned short CopyChunks(TQoStream* destination, int n, bool invert, bool* ok, Read read);
  bool Load(TQoStream* stream);
  // The CRC-16 of the archive's first total bytes, read from its start.
  bool WholeCrc(int64_t total, unsigned short* crc);
  bool CheckWholeCrc(int64_t total);
  bool Rewrite();
  // Writes an empty archive's header to the stream and opens it there.
  bool StartNew(TQoStream* stream);
  void SetProgress(int percent);
  bool HandleValid(const QoFILE* handle) const;
  bool EntryRangeValid(const TQoFileTable& r) const;
  bool AppendRecord(const TQoFileTable& record, int padded);
  bool WritePadding(int storedSize, int* padded);
  std::string LookupName(const TQoFileTable& r) const;

  bool readOnly_ = true;
  TCrcMode crcMode_ = cmNon;
  TQoStream* stream_ = nullptr;
  std::unique_ptr<TQoStream> ownedStream_;
  TQoPackHeader header_;
  std::vector<TQoFileTable> table_;
  bool modified_ = false;
  int progress_ = 0;
  std::string packName_;
  bool open_ = false;
  std::string fileName_;
  std::unique_ptr<TQoMemoryStream> currentFile_;
  TCrcCheck checker_;
  bool streamNotOwned_ = false;
  int lastCount_ = 0;
  TQoStream* codecSource_ = nullptr;
  TQoStream* codecDestination_ = nullptr;
  int64_t codecLimit_ = -1;  // bytes the write callback may still take (-1: no limit)
  uint64_t generation_ = 0;  // counts loads, so handles of an earlier archive are refused
};

// Whole percentage done of total: 100 for total <= 0; above 64 MiB computed on 32 KiB units.
int QoPercent(int64_t done, int64_t total);

// ---------------------------------------------------------------------------------------------
// Compressing stream
// ---------------------------------------------------------------------------------------------

class TQoCompStream {
 public:
  TQoCompStream() = default;
  virtual ~TQoCompStream() = default;
  // Encodes the next n bytes of source into destination; codec 0 Varnel, any other Cocotte.
  bool EncodeBuffer(TQoStream* source, int n, TQoStream* destination, int* codedSize, int codec);
  // Decodes storedSize bytes of source into size bytes at destination.
  bool DecodeBuffer(TQoStream* source, int storedSize, TQoStream* destination, int size, int codec);
  bool CallBackRead(unsigned char* buffer, int n);
  bool CallBackWrite(unsigned char* buffer, int n);

 private:
  TQoStream* source_ = nullptr;
  TQoStream* destination_ = nullptr;
};

}  // namespace vdmq
