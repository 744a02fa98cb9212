#include "qolib/pack/Qopack.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <new>

#include "platform/base/GameError.h"
#include "platform/base/Sjis.h"
#include "qolib/pack/Qococotte.h"
#include "qolib/pack/Qovarnel.h"

namespace vdmq {

namespace {

constexpr int kCopyChunk = 32768;         // entry copies and entry CRC checks
constexpr int kWholeCrcChunk = 1048576;   // whole-archive CRC passes
constexpr int64_t kMaxArchive = INT32_MAX;  // sizes and offsets are signed 32-bit on disk

uint16_t GetU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t GetU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
int32_t GetI32(const uint8_t* p) { return static_cast<int32_t>(GetU32(p)); }
void PutU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void PutU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Upper-cases a name as the runtime's multibyte-aware upper-casing does in code page 932: ASCII
// letters become capitals, a double-byte letter stays whole and unchanged. A lead byte at the very
// end stays a single byte (the scan never steps over the end).
std::string UpperSjis(std::string_view s) {
  std::string out(s);
  for (size_t i = 0; i < out.size();) {
    const size_t len = SjisLetterLen(out, i);
    if (len == 1 && out[i] >= 'a' && out[i] <= 'z') out[i] = static_cast<char>(out[i] - 'a' + 'A');
    i += len;
  }
  return out;
}

// Length of a fixed field up to its first zero byte.
size_t FieldLen(const char* field, size_t max) {
  size_t n = 0;
  while (n < max && field[n] != 0) ++n;
  return n;
}

const std::string& CrcErrorText() { return SJS("Packﾌｧｲﾙが壊れています。"); }
const std::string& CrcErrorCaption() { return SJS("CRCｴﾗｰ"); }

void ShowCrcError() { QoPlatform().MessageBox(CrcErrorText(), CrcErrorCaption(), kQoMbOk | kQoMbIconStop); }

int32_t Padded(int32_t stored) { return static_cast<int32_t>((static_cast<int64_t>(stored) + 15) & ~int64_t{15}); }

// A coder for the selector (0 Varnel, any other Cocotte); null when it cannot be had.
std::unique_ptr<TQoDecoder> MakeDecoder(int codec) {
  try {
    if (codec == 0) return std::make_unique<TVarnelDecode>();
    return std::make_unique<TCocotteDecode>();
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

std::unique_ptr<TQoEncoder> MakeEncoder(int codec) {
  try {
    if (codec == 0) return std::make_unique<TVarnelEncode>();
    return std::make_unique<TCocotteEncode>();
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

// The callers' output limit of an encoder, 2 x n, computed wide and kept within int.
int EncodeLimit(int n) { return static_cast<int>(std::min<int64_t>(int64_t{2} * n, INT_MAX)); }

}  // namespace

int QoPercent(int64_t done, int64_t total) {
  if (total <= 0) return 100;
  if (total > 0x4000000) return static_cast<int>((done / 32768) * 100 / (total / 32768));
  return static_cast<int>(done * 100 / total);
}

// ---------------------------------------------------------------------------------------------
// CRC-16
// ---------------------------------------------------------------------------------------------

TCrcCheck::TCrcCheck() { MakeCrcTable(); }

void TCrcCheck::MakeCrcTable() {
  const uint16_t poly = (type_ == 1) ? 0xC001 : 0x8408;
  for (int i = 0; i < 256; ++i) {
    uint16_t v = static_cast<uint16_t>(i);
    for (int k = 0; k < 8; ++k) v = (v & 1) ? static_cast<uint16_t>((v >> 1) ^ poly) : static_cast<uint16_t>(v >> 1);
    table_[i] = v;
  }
  for (int i = 0; i < 256; ++i) slice_[0][i] = table_[i];
  for (int k = 1; k < 8; ++k) {
    for (int i = 0; i < 256; ++i) {
      const uint16_t prev = slice_[k - 1][i];
      slice_[k][i] = static_cast<uint16_t>((prev >> 8) ^ table_[prev & 0xFF]);
    }
  }
}

void TCrcCheck::SetCrcType(TCrcType type) {
  type_ = type;
  MakeCrcTable();
}

unsigned short TCrcCheck::UpDateCrc(unsigned short crc, const unsigned char* buffer, int n) const {
  if (buffer == nullptr) return crc;
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    const unsigned char* b = buffer + i;
    const unsigned x = crc ^ (b[0] | (b[1] << 8));
    crc = static_cast<unsigned short>(slice_[7][x & 0xFF] ^ slice_[6][x >> 8] ^ slice_[5][b[2]] ^ slice_[4][b[3]] ^
                                      slice_[3][b[4]] ^ slice_[2][b[5]] ^ slice_[1][b[6]] ^ slice_[0][b[7]]);
  }
  for (; i < n; ++i) crc = static_cast<unsigned short>(table_[(crc ^ buffer[i]) & 0xFF] ^ (crc >> 8));
  return crc;
}

bool CrcStream(TQoStream* stream, int n, unsigned short* crc) {
  if (stream == nullptr) return false;
  std::vector<unsigned char> buffer;
  std::unique_ptr<TCrcCheck> checker;
  try {
    buffer.resize(kCopyChunk);
    checker = std::make_unique<TCrcCheck>();
  } catch (const std::bad_alloc&) {
    return false;
  }
  unsigned short c = 0xFFFF;
  bool ok = true;
  int64_t left = std::max(n, 0);
  while (left > 0) {
    const int chunk = static_cast<int>(std::min<int64_t>(left, kCopyChunk));
    if (stream->Read(buffer.data(), chunk) != chunk) ok = false;  // the walk goes on to the end
    c = checker->UpDateCrc(c, buffer.data(), chunk);
    left -= chunk;
  }
  if (!ok) return false;
  if (crc != nullptr) *crc = c;
  return true;
}

// ---------------------------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------------------------

void TQoFileTable::FromBytes(const uint8_t* p) {
  std::memcpy(Name, p, kQoNameLen);
  std::memcpy(Ext, p + 21, kQoExtLen);
  Offset = GetI32(p + 24);
  Size = GetI32(p + 28);
  CompSize = GetI32(p + 32);
  Comp = p[36];
  CrcFlag = p[37];
  Crc = GetU16(p + 38);
  Time.Low = GetU32(p + 40);
  Time.High = GetU32(p + 44);
}

void TQoFileTable::ToBytes(uint8_t* p) const {
  std::memcpy(p, Name, kQoNameLen);
  std::memcpy(p + 21, Ext, kQoExtLen);
  PutU32(p + 24, static_cast<uint32_t>(Offset));
  PutU32(p + 28, static_cast<uint32_t>(Size));
  PutU32(p + 32, static_cast<uint32_t>(CompSize));
  p[36] = Comp;
  p[37] = CrcFlag;
  PutU16(p + 38, Crc);
  PutU32(p + 40, Time.Low);
  PutU32(p + 44, Time.High);
}

void TQoPackHeader::FromBytes(const uint8_t* p) {
  std::memcpy(Magic, p, 6);
  Version = GetU16(p + 6);
  DataSize = GetI32(p + 8);
  FileNum = GetI32(p + 12);
}

void TQoPackHeader::ToBytes(uint8_t* p) const {
  std::memcpy(p, Magic, 6);
  PutU16(p + 6, Version);
  PutU32(p + 8, static_cast<uint32_t>(DataSize));
  PutU32(p + 12, static_cast<uint32_t>(FileNum));
}

// ---------------------------------------------------------------------------------------------
// TQoPack: properties, opening and closing
// ---------------------------------------------------------------------------------------------

TQoPack::TQoPack(TQoComponent* owner) : TQoComponent(owner) {}

TQoPack::~TQoPack() {
  if (open_) EndPack();
}

void TQoPack::Loaded() { TQoComponent::Loaded(); }

void TQoPack::SetReadOnly(bool value) {
  if (value == readOnly_ || open_) return;
  readOnly_ = value;
}

void TQoPack::SetCrcMode(TCrcMode value) {
  if (value == crcMode_) return;
  crcMode_ = value;
}

void TQoPack::SetPackName(const std::string& name) {
  if (name == packName_) return;
  OpenPack(name);
}

void TQoPack::SetFileName(const std::string& name) {
  if (name == fileName_) return;
  OpenFile(name);
}

void TQoPack::SetProgress(int percent) {
  progress_ = percent;
  if (OnProgress) OnProgress(this);
}

bool TQoPack::OpenPack(const std::string& name) {
  if (!name.empty()) return LoadPack(name.c_str());
  if (open_) EndPack();
  return true;
}

bool TQoPack::LoadPack(const char* name) {
  if (open_) EndPack();
  if (name == nullptr || *name == 0) return false;
  std::unique_ptr<TQoFileStream> file =
      TQoFileStream::Open(name, readOnly_ ? TQoFileMode::ReadDenyWrite : TQoFileMode::ReadWriteDenyWrite);
  if (!file) return false;
  stream_ = file.get();
  if (!Load(stream_)) {
    stream_ = nullptr;
    return false;
  }
  ownedStream_ = std::move(file);
  streamNotOwned_ = false;
  packName_ = name;
  return true;
}

bool TQoPack::LoadPackStream(TQoStream* stream) {
  if (open_) EndPack();
  if (!readOnly_ || stream == nullptr) return false;
  stream_ = stream;
  if (!Load(stream_)) {
    stream_ = nullptr;
    return false;
  }
  streamNotOwned_ = true;
  packName_.clear();
  return true;
}

bool TQoPack::Load(TQoStream* stream) {
  table_.clear();
  uint8_t head[kQoPackHeaderSize];
  if (stream->Seek(0, kSoFromBeginning) != 0 || !stream->ReadAll(head, kQoPackHeaderSize)) return false;
  TQoPackHeader h;
  h.FromBytes(head);
  // The magic is not examined; the version decides the record size.
  int recSize;
  switch (h.Version) {
    case kQoPackVersion0100: recSize = 32; break;
    case kQoPackVersion0200: recSize = 40; break;
    case kQoPackVersion0300:
    case kQoPackVersion0301: recSize = kQoFileTableSize; break;
    default: return false;
  }
  // The header's sizes must describe a file that is really there: header, data area and table.
  if (h.DataSize < 0 || h.FileNum < 0) return false;
  const int64_t tableStart = kQoPackHeaderSize + static_cast<int64_t>(h.DataSize);
  const int64_t tableLen = static_cast<int64_t>(h.FileNum) * recSize;
  if (tableStart + tableLen > stream->GetSize()) return false;
  // The in-memory table is rewritten as 48-byte records; it must stay within 2 GiB too.
  if (tableStart + static_cast<int64_t>(h.FileNum) * kQoFileTableSize + 2 > kMaxArchive) return false;

  std::vector<TQoFileTable> table;
  if (h.FileNum > 0) {
    std::vector<uint8_t> raw;
    try {
      raw.resize(static_cast<size_t>(tableLen));
      table.resize(static_cast<size_t>(h.FileNum));
    } catch (const std::bad_alloc&) {
      return false;
    }
    if (stream->Seek(tableStart, kSoFromBeginning) != tableStart || !stream->ReadAll(raw.data(), tableLen)) {
      return false;
    }
    for (int32_t i = 0; i < h.FileNum; ++i) {
      const uint8_t* p = raw.data() + static_cast<size_t>(i) * recSize;
      TQoFileTable& r = table[static_cast<size_t>(i)];
      if (recSize == kQoFileTableSize) {
        r.FromBytes(p);
        continue;
      }
      std::memcpy(r.Name, p, kQoNameLen);
      std::memcpy(r.Ext, p + 21, kQoExtLen);
      r.Offset = GetI32(p + 24);
      r.Size = GetI32(p + 28);
      if (recSize == 32) {
        r.CompSize = r.Size;
        r.Comp = 0;
      } else {
        r.CompSize = GetI32(p + 32);
        r.Comp = p[36];
      }
      r.CrcFlag = 0;
      r.Crc = 0;
      r.Time = kQoDefaultFileTime;
    }
  }
  header_ = h;
  if (h.Version >= kQoPackVersion0300 && crcMode_ == cmPackAll) {
    const int64_t total = tableStart + static_cast<int64_t>(h.FileNum) * kQoFileTableSize;
    if (!CheckWholeCrc(total)) {
      ShowCrcError();
      return false;
    }
  }
  table_ = std::move(table);
  header_.Version = kQoPackVersion0301;
  modified_ = false;
  open_ = true;
  ++generation_;
  return true;
}

bool TQoPack::CheckWholeCrc(int64_t total) {
  SetProgress(0);
  std::vector<unsigned char> buffer;
  try {
    buffer.resize(kWholeCrcChunk);
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (stream_->Seek(0, kSoFromBeginning) != 0) return false;
  unsigned short crc = 0xFFFF;
  int64_t done = 0;
  while (total - done >= kWholeCrcChunk) {
    done += kWholeCrcChunk;
    SetProgress(QoPercent(done, total));
    if (!stream_->ReadAll(buffer.data(), kWholeCrcChunk)) return false;
    crc = checker_.UpDateCrc(crc, buffer.data(), kWholeCrcChunk);
  }
  const int rest = static_cast<int>(total - done);
  if (rest > 0) {
    SetProgress(100);
    if (!stream_->ReadAll(buffer.data(), rest)) return false;
    crc = checker_.UpDateCrc(crc, buffer.data(), rest);
  }
  uint8_t trailer[2];
  if (!stream_->ReadAll(trailer, 2)) return false;
  return crc == GetU16(trailer);
}

void TQoPack::ClosePack() {
  if (open_) EndPack();
}

void TQoPack::EndPack() {
  if (!open_) return;
  CloseFile();
  if (modified_) Rewrite();
  table_.clear();
  table_.shrink_to_fit();
  ownedStream_.reset();
  stream_ = nullptr;
  streamNotOwned_ = false;
  packName_.clear();
  open_ = false;
  ++generation_;
}

void TQoPack::Rewrite() {
  uint8_t head[kQoPackHeaderSize];
  header_.FileNum = static_cast<int32_t>(table_.size());
  header_.ToBytes(head);
  if (stream_->Seek(0, kSoFromBeginning) != 0 || !stream_->WriteAll(head, kQoPackHeaderSize)) return;
  const int64_t tableStart = kQoPackHeaderSize + static_cast<int64_t>(header_.DataSize);
  if (!table_.empty()) {
    std::vector<uint8_t> raw(table_.size() * kQoFileTableSize);
    for (size_t i = 0; i < table_.size(); ++i) table_[i].ToBytes(raw.data() + i * kQoFileTableSize);
    if (stream_->Seek(tableStart, kSoFromBeginning) != tableStart ||
        !stream_->WriteAll(raw.data(), static_cast<int64_t>(raw.size()))) {
      return;
    }
  }
  SetProgress(0);
  const int64_t total = tableStart + static_cast<int64_t>(table_.size()) * kQoFileTableSize;
  std::vector<unsigned char> buffer(kWholeCrcChunk);
  if (stream_->Seek(0, kSoFromBeginning) != 0) return;
  unsigned short crc = 0xFFFF;
  int64_t done = 0;
  while (total - done >= kWholeCrcChunk) {
    done += kWholeCrcChunk;
    SetProgress(QoPercent(done, total));
    if (!stream_->ReadAll(buffer.data(), kWholeCrcChunk)) return;
    crc = checker_.UpDateCrc(crc, buffer.data(), kWholeCrcChunk);
  }
  const int rest = static_cast<int>(total - done);
  if (rest > 0) {
    SetProgress(100);
    if (!stream_->ReadAll(buffer.data(), rest)) return;
    crc = checker_.UpDateCrc(crc, buffer.data(), rest);
  }
  uint8_t trailer[2];
  PutU16(trailer, crc);
  stream_->Seek(total, kSoFromBeginning);
  stream_->WriteAll(trailer, 2);
}

// ---------------------------------------------------------------------------------------------
// TQoPack: the file table
// ---------------------------------------------------------------------------------------------

int TQoPack::GetFileNum() const { return open_ ? static_cast<int>(table_.size()) : 0; }

const TQoFileTable* TQoPack::Record(int i) const {
  if (!open_ || i < 0 || i >= static_cast<int>(table_.size())) return nullptr;
  return &table_[static_cast<size_t>(i)];
}

std::string TQoPack::LookupName(const TQoFileTable& r) const {
  std::string s(r.Name, FieldLen(r.Name, kQoNameLen));
  if (r.Ext[0] != 0) {
    s += '.';
    s.append(r.Ext, FieldLen(r.Ext, kQoExtLen));
  }
  return s;
}

bool TQoPack::GetFileName(int i, char* out) const {
  const TQoFileTable* r = Record(i);
  if (r == nullptr || out == nullptr) return false;
  const std::string s = LookupName(*r);
  std::memcpy(out, s.c_str(), s.size() + 1);  // at most 25 bytes and the terminator
  return true;
}

bool TQoPack::EntryRangeValid(const TQoFileTable& r) const {
  if (r.Offset < 0 || r.Size < 0 || r.CompSize < 0 || r.Comp > kQoMethodInvert) return false;
  const int64_t dataSize = header_.DataSize;
  if (static_cast<int64_t>(r.Offset) + r.CompSize > dataSize) return false;
  // Stored and inverted entries are read size bytes long from the data area.
  if ((r.Comp == kQoMethodStore || r.Comp == kQoMethodInvert) && static_cast<int64_t>(r.Offset) + r.Size > dataSize) {
    return false;
  }
  return true;
}

int TQoPack::GetFileSize(int i) const {
  const TQoFileTable* r = Record(i);
  if (r == nullptr || r->IsDeleted() || !EntryRangeValid(*r)) return 0;
  return r->Size;
}

int TQoPack::GetFileComp(int i) const {
  const TQoFileTable* r = Record(i);
  if (r == nullptr || r->IsDeleted()) return 0;
  return r->Comp;
}

bool TQoPack::GetFileTime(int i, TQoFileTime* out) const {
  const TQoFileTable* r = Record(i);
  if (r == nullptr || r->IsDeleted() || out == nullptr) return false;
  *out = r->Time;
  return true;
}

bool TQoPack::VerifyFileCrc(int i) {
  const TQoFileTable* r = Record(i);
  if (r == nullptr || r->IsDeleted() || r->CrcFlag == 0) return true;
  if (!EntryRangeValid(*r)) return false;
  const int64_t pos = kQoPackHeaderSize + static_cast<int64_t>(r->Offset);
  if (stream_->Seek(pos, kSoFromBeginning) != pos) return false;
  unsigned short crc = 0;
  if (!CrcStream(stream_, r->CompSize, &crc)) return false;
  return crc == r->Crc;
}

int TQoPack::CheckFileName(const char* name) const {
  if (!open_ || name == nullptr) return -1;
  const size_t len = std::strlen(name);
  if (len > static_cast<size_t>(kQoLookupNameMax)) return -1;
  const std::string wanted = UpperSjis(std::string_view(name, len));
  for (size_t i = 0; i < table_.size(); ++i) {
    if (UpperSjis(LookupName(table_[i])) == wanted) return static_cast<int>(i);
  }
  return -1;
}

void TQoPack::MakeFTName(TQoFileTable& record, const char* name) const {
  std::memset(record.Name, 0, kQoNameLen);
  std::memset(record.Ext, 0, kQoExtLen);
  if (name == nullptr) return;
  const std::string_view s(name);
  // The last "." that starts a letter (not the second byte of a double-byte letter); 1-based.
  size_t p = 0;
  for (size_t i = 0; i < s.size(); i += SjisLetterLen(s, i)) {
    if (s[i] == '.') p = i + 1;
  }
  if (p > 1) {
    std::memcpy(record.Name, s.data(), std::min<size_t>(p - 1, kQoNameLen));
    const std::string_view ext = s.substr(p);
    std::memcpy(record.Ext, ext.data(), std::min<size_t>(ext.size(), kQoExtLen));
  } else {
    std::memcpy(record.Name, s.data(), std::min<size_t>(s.size(), kQoNameLen));
  }
}

// ---------------------------------------------------------------------------------------------
// TQoPack: the current file and single transfers
// ---------------------------------------------------------------------------------------------

bool TQoPack::OpenFile(const std::string& name) {
  currentFile_.reset();
  fileName_ = name;
  if (name.empty()) return true;
  currentFile_ = QoMakeStream(name.c_str());
  if (!currentFile_) {
    fileName_.clear();
    return false;
  }
  return true;
}

void TQoPack::CloseFile() {
  if (!currentFile_) return;
  currentFile_.reset();
  fileName_.clear();
}

bool TQoPack::StreamRead(TQoStream* stream, void* buffer, int n, int* count) {
  int64_t got = 0;
  try {
    if (stream != nullptr && n > 0) got = stream->Read(buffer, n);
  } catch (...) {
    got = 0;
  }
  lastCount_ = static_cast<int>(got);
  if (count != nullptr) *count = lastCount_;
  if (n == 0) return true;
  return stream != nullptr && n > 0 && got == n;
}

bool TQoPack::StreamWrite(TQoStream* stream, const void* buffer, int n, int* count) {
  int64_t put = 0;
  try {
    if (stream != nullptr && n > 0) put = stream->Write(buffer, n);
  } catch (...) {
    put = 0;
  }
  lastCount_ = static_cast<int>(put);
  if (count != nullptr) *count = lastCount_;
  if (n == 0) return true;
  return stream != nullptr && n > 0 && put == n;
}

// ---------------------------------------------------------------------------------------------
// TQoPack: entry handles
// ---------------------------------------------------------------------------------------------

bool TQoPack::HandleValid(const QoFILE* handle) const {
  return open_ && handle != nullptr && handle->Pack == this && handle->Generation == generation_;
}

QoFILE* TQoPack::QofopenComp(const char* name, bool decode) {
  if (!open_ || name == nullptr) return nullptr;
  const int index = CheckFileName(name);
  if (index < 0) return nullptr;
  const TQoFileTable r = table_[static_cast<size_t>(index)];
  // A deleted or damaged record is refused quietly.
  if (r.IsDeleted() || !EntryRangeValid(r)) return nullptr;

  std::unique_ptr<QoFILE> h(new (std::nothrow) QoFILE);
  if (!h) return nullptr;
  h->Index = index;
  h->DataPos = kQoPackHeaderSize + r.Offset;
  h->Size = r.Size;
  h->CompSize = r.CompSize;
  h->Comp = r.Comp;
  h->Pack = this;
  h->Generation = generation_;

  if (crcMode_ == cmEachFile && r.CrcFlag != 0) {
    unsigned short crc = 0;
    const bool read = stream_->Seek(h->DataPos, kSoFromBeginning) == h->DataPos && CrcStream(stream_, r.CompSize, &crc);
    if (!read || crc != r.Crc) {
      ShowCrcError();
      return nullptr;
    }
  }

  if (decode && (r.Comp == kQoMethodVarnel || r.Comp == kQoMethodCocotte)) {
    auto mem = std::make_unique<TQoMemoryStream>();
    // The stream grows with what the decoder really produces; a hostile size costs nothing.
    mem->Reserve(std::min<int64_t>(r.Size, static_cast<int64_t>(r.CompSize) * 64 + 1048576));
    if (stream_->Seek(h->DataPos, kSoFromBeginning) != h->DataPos) return nullptr;
    if (!FileDecode(mem.get(), stream_, r.Size, r.CompSize, r.Comp - 1) || mem->GetSize() != r.Size) return nullptr;
    mem->Seek(0, kSoFromBeginning);
    h->Decoded = std::move(mem);
  } else if (decode && r.Comp == kQoMethodInvert) {
    auto mem = std::make_unique<TQoMemoryStream>();
    if (!mem->SetSize(r.Size)) return nullptr;
    mem->Seek(0, kSoFromBeginning);
    if (stream_->Seek(h->DataPos, kSoFromBeginning) != h->DataPos) return nullptr;
    bool ok = false;
    FileCopy(mem.get(), stream_, r.Size, true, &ok);
    if (!ok) return nullptr;
    mem->Seek(0, kSoFromBeginning);
    h->Decoded = std::move(mem);
  }
  h->Position = 0;
  return h.release();
}

bool TQoPack::Qofclose(QoFILE* handle) {
  if (handle == nullptr) return false;
  delete handle;
  return true;
}

int TQoPack::Qofsize(QoFILE* handle) const { return HandleValid(handle) ? handle->Size : 0; }
int TQoPack::Qodsize(QoFILE* handle) const { return HandleValid(handle) ? handle->CompSize : 0; }
int TQoPack::QoIsComp(QoFILE* handle) const { return HandleValid(handle) ? handle->Comp : 0; }

bool TQoPack::Qofseek(QoFILE* handle, int offset, int origin) {
  if (!HandleValid(handle)) return false;
  const int64_t end = handle->End();
  int64_t p = handle->Position;
  if (origin == 0) p = offset;
  else if (origin == 1) p = p + offset;
  else if (origin == 2) p = end + offset;
  handle->Position = static_cast<int32_t>(std::clamp<int64_t>(p, 0, end));
  return true;
}

bool TQoPack::Qofgetpos(QoFILE* handle, int* pos) const {
  if (!HandleValid(handle) || pos == nullptr) return false;
  *pos = handle->Position;
  return true;
}

bool TQoPack::Qofsetpos(QoFILE* handle, const int* pos) {
  if (!HandleValid(handle) || pos == nullptr) return false;
  handle->Position = static_cast<int32_t>(std::clamp<int64_t>(*pos, 0, handle->End()));
  return true;
}

unsigned TQoPack::Qofread(void* buffer, unsigned itemSize, unsigned count, QoFILE* handle) {
  if (!HandleValid(handle) || itemSize == 0 || buffer == nullptr) return 0;
  const int64_t end = handle->End();
  if (handle->Position > end) handle->Position = static_cast<int32_t>(end);
  const int64_t pos = handle->Position;
  if (pos + static_cast<int64_t>(itemSize) * count > end) count = static_cast<unsigned>((end - pos) / itemSize);
  if (count == 0) return 0;
  const int64_t bytes = static_cast<int64_t>(itemSize) * count;
  int64_t got;
  if (handle->Decoded) {
    handle->Decoded->Seek(pos, kSoFromBeginning);
    got = handle->Decoded->Read(buffer, bytes);
  } else {
    const int64_t filePos = handle->DataPos + pos;
    if (stream_->GetPosition() != filePos) stream_->Seek(filePos, kSoFromBeginning);
    got = stream_->Read(buffer, bytes);
  }
  handle->Position = static_cast<int32_t>(pos + bytes);
  return got == bytes ? count : 0;
}

bool TQoPack::QoIsCrc(QoFILE* handle) const {
  if (!HandleValid(handle)) return false;
  const TQoFileTable* r = Record(handle->Index);
  return r != nullptr && r->CrcFlag == 1;
}

unsigned short TQoPack::QoGetCrc(QoFILE* handle) const {
  if (!HandleValid(handle)) return 0;
  const TQoFileTable* r = Record(handle->Index);
  return r != nullptr ? r->Crc : 0;
}

bool TQoPack::QoGetFileTime(QoFILE* handle, TQoFileTime* out) const {
  if (!HandleValid(handle) || out == nullptr) return false;
  const TQoFileTable* r = Record(handle->Index);
  if (r == nullptr) return false;
  *out = r->Time;
  return true;
}

std::unique_ptr<TQoMemoryStream> TQoPack::QoMakeStream(const char* name) {
  QoFILE* h = QofopenComp(name, true);
  if (h == nullptr) return nullptr;
  if (h->Decoded) {
    std::unique_ptr<TQoMemoryStream> s = std::move(h->Decoded);
    s->Seek(0, kSoFromBeginning);
    Qofclose(h);
    return s;
  }
  auto s = std::make_unique<TQoMemoryStream>();
  if (!s->SetSize(h->Size)) {
    Qofclose(h);
    return nullptr;
  }
  if (h->Size > 0) {
    Qofseek(h, 0, 0);
    if (Qofread(s->Memory(), static_cast<unsigned>(h->Size), 1, h) != 1) {
      Qofclose(h);
      return nullptr;
    }
  }
  s->Seek(0, kSoFromBeginning);
  Qofclose(h);
  return s;
}

// ---------------------------------------------------------------------------------------------
// TQoPack: coding and copying
// ---------------------------------------------------------------------------------------------

bool TQoPack::CallBackRead(unsigned char* buffer, int n) {
  int count = 0;
  return StreamRead(codecSource_, buffer, n, &count);
}

bool TQoPack::CallBackWrite(unsigned char* buffer, int n) {
  if (codecLimit_ >= 0) {
    if (n > codecLimit_) return false;  // a decoder never hands out more than the entry's size
    codecLimit_ -= n;
  }
  int count = 0;
  return StreamWrite(codecDestination_, buffer, n, &count);
}

void TQoPack::CallBackProgress(int percent) { SetProgress(percent); }

bool TQoPack::FileDecode(TQoStream* destination, TQoStream* source, int size, int storedSize, int codec) {
  SetProgress(0);
  if (destination == nullptr || source == nullptr || size < 0 || storedSize < 0) return false;
  std::unique_ptr<TQoDecoder> decoder = MakeDecoder(codec);
  if (!decoder) return false;
  codecSource_ = source;
  codecDestination_ = destination;
  codecLimit_ = size;
  const bool ok = decoder->Decode(
      storedSize, size, [this](unsigned char* b, int n) { return CallBackRead(b, n); },
      [this](unsigned char* b, int n) { return CallBackWrite(b, n); }, [this](int p) { CallBackProgress(p); });
  // Every byte of the entry must have arrived.
  const bool complete = codecLimit_ == 0;
  codecSource_ = codecDestination_ = nullptr;
  codecLimit_ = -1;
  return ok && complete;
}

template <class Read>
unsigned short TQoPack::CopyChunks(TQoStream* destination, int n, bool invert, bool* ok, Read read) {
  std::vector<unsigned char> buffer;
  try {
    buffer.resize(kCopyChunk);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  unsigned short crc = 0xFFFF;
  int64_t done = 0;
  const int64_t total = std::max(n, 0);
  while (total - done >= kCopyChunk) {
    if (!read(buffer.data(), kCopyChunk)) return crc;
    done += kCopyChunk;
    SetProgress(QoPercent(done, total));
    if (invert) NotCoding(buffer.data(), kCopyChunk);
    if (!destination->WriteAll(buffer.data(), kCopyChunk)) return crc;
    crc = checker_.UpDateCrc(crc, buffer.data(), kCopyChunk);
  }
  const int rest = static_cast<int>(total - done);
  if (rest > 0) {
    if (!read(buffer.data(), rest)) return crc;
    SetProgress(100);
    if (invert) NotCoding(buffer.data(), rest);
    if (!destination->WriteAll(buffer.data(), rest)) return crc;
    crc = checker_.UpDateCrc(crc, buffer.data(), rest);
  }
  if (ok != nullptr) *ok = true;
  return crc;
}

unsigned short TQoPack::FileCopy(TQoStream* destination, TQoStream* source, int n, bool invert, bool* ok) {
  if (ok != nullptr) *ok = false;
  SetProgress(0);
  if (destination == nullptr || source == nullptr) return 0;
  return CopyChunks(destination, n, invert, ok,
                    [source](unsigned char* buffer, int k) { return source->ReadAll(buffer, k); });
}

void TQoPack::NotCoding(void* buffer, int n) {
  auto* p = static_cast<unsigned char*>(buffer);
  for (int i = 0; i < n; ++i) p[i] = static_cast<unsigned char>(~p[i]);
}

// ---------------------------------------------------------------------------------------------
// TQoPack: writing
// ---------------------------------------------------------------------------------------------

bool TQoPack::NewPack(const char* name) {
  if (readOnly_) return false;
  if (open_) EndPack();
  if (name == nullptr || *name == 0) return false;
  std::unique_ptr<TQoFileStream> file = TQoFileStream::Open(name, TQoFileMode::Create);
  if (!file) return false;
  TQoPackHeader h;  // "QoPack", 0x0300, no data, no records
  uint8_t head[kQoPackHeaderSize];
  h.ToBytes(head);
  if (file->Seek(0, kSoFromBeginning) != 0 || !file->WriteAll(head, kQoPackHeaderSize)) return false;
  header_ = h;
  table_.clear();
  ownedStream_ = std::move(file);
  stream_ = ownedStream_.get();
  streamNotOwned_ = false;
  modified_ = true;
  packName_ = name;
  open_ = true;
  ++generation_;
  return true;
}

bool TQoPack::MakeTempFile(std::string& out) {
  std::string folder;
  if (!QoPlatform().TempPath(folder) || folder.size() >= 260) return false;
  char tail[32];
  for (int i = 0; i < 1000; ++i) {
    std::snprintf(tail, sizeof tail, "QoTmp%03d.QoPack", i);
    const std::string name = folder + tail;
    if (FileIsExist(name.c_str())) continue;
    // Testing and then creating would let another program take the same name in between.
    if (TQoFileStream::Open(name, TQoFileMode::CreateNew)) {
      out = name;
      return true;
    }
  }
  return false;
}

int TQoPack::FileEncode(TQoStream* destination, TQoStream* source, int n, int codec) {
  SetProgress(0);
  if (destination == nullptr || source == nullptr || n < 0) return 0;
  std::unique_ptr<TQoEncoder> encoder = MakeEncoder(codec);
  if (!encoder) return 0;
  codecSource_ = source;
  codecDestination_ = destination;
  codecLimit_ = -1;
  const bool ok = encoder->Encode(
      n, EncodeLimit(n), [this](unsigned char* b, int k) { return CallBackRead(b, k); },
      [this](unsigned char* b, int k) { return CallBackWrite(b, k); }, [this](int p) { CallBackProgress(p); });
  codecSource_ = codecDestination_ = nullptr;
  return ok ? encoder->Written() : 0;
}

unsigned short TQoPack::PackCopy(TQoStream* destination, TQoPack* source, QoFILE* handle, int n, bool* ok) {
  if (ok != nullptr) *ok = false;
  SetProgress(0);
  if (destination == nullptr || source == nullptr) return 0;
  return CopyChunks(destination, n, false, ok, [source, handle](unsigned char* buffer, int k) {
    return source->Qofread(buffer, static_cast<unsigned>(k), 1, handle) == 1;
  });
}

bool TQoPack::WritePadding(int storedSize, int* padded) {
  const int32_t p = Padded(storedSize);
  *padded = p;
  const int fill = p - storedSize;
  if (fill <= 0) return true;
  static const unsigned char zeros[16] = {};
  return stream_->WriteAll(zeros, fill);
}

bool TQoPack::AppendRecord(const TQoFileTable& record, int padded) {
  try {
    table_.push_back(record);
  } catch (const std::bad_alloc&) {
    return false;
  }
  header_.DataSize += padded;
  header_.FileNum = static_cast<int32_t>(table_.size());
  modified_ = true;
  return true;
}

namespace {

// The archive stays below 2 GiB: header, data area with the new padded entry, the table with one
// more record, and the trailer.
bool FitsArchive(const TQoPackHeader& h, size_t records, int64_t stored) {
  const int64_t total = kQoPackHeaderSize + static_cast<int64_t>(h.DataSize) + ((stored + 15) & ~int64_t{15}) +
                        static_cast<int64_t>(records + 1) * kQoFileTableSize + 2;
  return stored >= 0 && total <= kMaxArchive;
}

// Deletes a temporary file at the end of AddFile, on success and on failure.
struct TempFileGuard {
  std::string name;
  ~TempFileGuard() {
    if (!name.empty()) ::unlink(QoPlatform().NativePath(name).c_str());
  }
};

}  // namespace

bool TQoPack::AddFile(const char* name, const char* path, int method, bool onlyIfSmaller) {
  if (readOnly_ || !open_) return false;
  if (method < kQoMethodStore || method > kQoMethodInvert) return false;
  TempFileGuard temp;
  std::unique_ptr<TQoFileStream> source;
  std::unique_ptr<TQoFileStream> coded;
  try {
    const std::string nameText = name != nullptr ? name : "";
    const std::string pathText = path != nullptr ? path : "";
    TQoFileTable record;
    MakeFTName(record, nameText.c_str());
    // An empty name, one too long, or one whose (cut) look-up name is already taken is refused.
    if (nameText.empty() || nameText.size() > static_cast<size_t>(kQoLookupNameMax) ||
        CheckFileName(nameText.c_str()) >= 0 || CheckFileName(LookupName(record).c_str()) >= 0) {
      ThrowGameError(SJS("ファイル名") + nameText + SJS("が不正です。"));
    }
    source = TQoFileStream::Open(pathText, TQoFileMode::ReadDenyWrite);
    if (!source) ThrowGameError(SJS("ファイル") + pathText + SJS("が開けません。"));
    const int64_t length = source->GetSize();
    if (!FitsArchive(header_, table_.size(), length)) return false;
    record.Offset = header_.DataSize;
    record.Size = static_cast<int32_t>(length);
    uint64_t time = 0;
    if (source->GetLastWriteTime(time)) {
      record.Time.Low = static_cast<uint32_t>(time);
      record.Time.High = static_cast<uint32_t>(time >> 32);
    }
    if (record.Size == 0) method = kQoMethodStore;

    int codedSize = 0;
    if (method == kQoMethodVarnel || method == kQoMethodCocotte) {
      std::string tempName;
      if (!MakeTempFile(tempName)) ThrowGameError(SJS("テンポラリファイルが作れません。"));
      temp.name = tempName;
      coded = TQoFileStream::Open(tempName, TQoFileMode::Create);
      if (!coded) ThrowGameError(SJS("ファイル") + tempName + SJS("が開けません。"));
      codedSize = FileEncode(coded.get(), source.get(), record.Size, method - 1);
      if (codedSize > 0 && (!onlyIfSmaller || codedSize < record.Size)) {
        source.reset();
        coded.reset();
        coded = TQoFileStream::Open(tempName, TQoFileMode::ReadDenyWrite);
        if (!coded) ThrowGameError(SJS("ファイル") + tempName + SJS("が開けません。"));
      } else {
        method = kQoMethodInvert;
        coded.reset();
        if (source->Seek(0, kSoFromBeginning) != 0) return false;
      }
    }
    record.Comp = static_cast<uint8_t>(method);
    record.CrcFlag = 1;
    const bool fromCoded = method == kQoMethodVarnel || method == kQoMethodCocotte;
    record.CompSize = fromCoded ? codedSize : record.Size;
    if (!FitsArchive(header_, table_.size(), record.CompSize)) return false;

    const int64_t at = kQoPackHeaderSize + static_cast<int64_t>(header_.DataSize);
    if (stream_->Seek(at, kSoFromBeginning) != at) return false;
    bool ok = false;
    record.Crc = FileCopy(stream_, fromCoded ? static_cast<TQoStream*>(coded.get()) : source.get(), record.CompSize,
                          method == kQoMethodInvert, &ok);
    int padded = 0;
    // A short read or write appends no record: the table and the data size stay as they were.
    if (!ok || !WritePadding(record.CompSize, &padded)) return false;
    return AppendRecord(record, padded);
  } catch (const EGameError& e) {
    source.reset();
    coded.reset();
    QoPlatform().ShowException(e.what());
    return false;
  }
}

bool TQoPack::AddPack(const char* name, TQoPack* source, const char* sourceName) {
  if (readOnly_ || !open_ || name == nullptr || *name == 0) return false;
  if (std::strlen(name) > static_cast<size_t>(kQoLookupNameMax) || CheckFileName(name) >= 0) return false;
  TQoFileTable record;
  MakeFTName(record, name);
  if (CheckFileName(LookupName(record).c_str()) >= 0) return false;
  // Copying from this archive into itself would read what it is overwriting.
  if (source == nullptr || source == this || sourceName == nullptr) return false;
  QoFILE* h = source->QofopenComp(sourceName, false);
  if (h == nullptr) return false;
  record.Offset = header_.DataSize;
  record.Size = source->Qofsize(h);
  record.CompSize = source->Qodsize(h);
  record.Comp = static_cast<uint8_t>(source->QoIsComp(h));
  source->QoGetFileTime(h, &record.Time);
  record.CrcFlag = 1;
  bool ok = FitsArchive(header_, table_.size(), record.CompSize);
  const int64_t at = kQoPackHeaderSize + static_cast<int64_t>(header_.DataSize);
  if (ok) ok = source->Qofseek(h, 0, 0) && stream_->Seek(at, kSoFromBeginning) == at;
  if (ok) record.Crc = PackCopy(stream_, source, h, record.CompSize, &ok);
  int padded = 0;
  if (ok) ok = WritePadding(record.CompSize, &padded);
  source->Qofclose(h);
  return ok && AppendRecord(record, padded);
}

bool TQoPack::DelFile(const char* name) {
  if (readOnly_ || !open_) return false;
  const int i = CheckFileName(name);
  if (i < 0) return false;
  TQoFileTable& r = table_[static_cast<size_t>(i)];
  if (r.IsDeleted()) return false;  // an empty name finds a deleted record: nothing to delete
  std::memset(r.Name, 0, kQoNameLen);
  std::memset(r.Ext, 0, kQoExtLen);
  modified_ = true;
  return true;
}

// ---------------------------------------------------------------------------------------------
// TQoCompStream
// ---------------------------------------------------------------------------------------------

bool TQoCompStream::CallBackRead(unsigned char* buffer, int n) {
  return source_ != nullptr && source_->ReadAll(buffer, n);
}

bool TQoCompStream::CallBackWrite(unsigned char* buffer, int n) {
  return destination_ != nullptr && destination_->WriteAll(buffer, n);
}

bool TQoCompStream::EncodeBuffer(TQoStream* source, int n, TQoStream* destination, int* codedSize, int codec) {
  if (n <= 0) return false;
  if (codedSize != nullptr) *codedSize = 0;
  if (source == nullptr || destination == nullptr) return false;
  source_ = source;
  destination_ = destination;
  std::unique_ptr<TQoEncoder> encoder = MakeEncoder(codec);
  bool ok = false;
  if (encoder) {
    ok = encoder->Encode(
        n, EncodeLimit(n), [this](unsigned char* b, int k) { return CallBackRead(b, k); },
        [this](unsigned char* b, int k) { return CallBackWrite(b, k); });
    if (ok && codedSize != nullptr) *codedSize = encoder->Written();
  }
  source_ = destination_ = nullptr;
  return ok;
}

bool TQoCompStream::DecodeBuffer(TQoStream* source, int storedSize, TQoStream* destination, int size, int codec) {
  if (storedSize <= 0 || size <= 0) return false;
  if (source == nullptr || destination == nullptr) return false;
  source_ = source;
  destination_ = destination;
  std::unique_ptr<TQoDecoder> decoder = MakeDecoder(codec);
  bool ok = false;
  if (decoder) {
    ok = decoder->Decode(
        storedSize, size, [this](unsigned char* b, int k) { return CallBackRead(b, k); },
        [this](unsigned char* b, int k) { return CallBackWrite(b, k); });
    ok = ok && decoder->Written() == size;
  }
  source_ = destination_ = nullptr;
  return ok;
}

}  // namespace vdmq
