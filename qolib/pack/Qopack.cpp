#include "qolib/pack/Qopack.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "platform/base/Sjis.h"
#include "qolib/pack/QopackFormat.h"

namespace vdmq {

using namespace qopack;

namespace {

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

}  // namespace

int QoPercent(int64_t done, int64_t total) {
  if (total <= 0) return 100;
  if (total > 0x4000000) return static_cast<int>((done / 32768) * 100 / (total / 32768));
  return static_cast<int>(done * 100 / total);
}

// ---------------------------------------------------------------------------------------------
// Records
// ---------------------------------------------------------------------------------------------

void TQoFileTable::FromBytes(const uint8_t* p) {
  std::memcpy(Name, p + kRecName, kQoNameLen);
  std::memcpy(Ext, p + kRecExt, kQoExtLen);
  Offset = ReadLeI32(p + kRecOffset);
  Size = ReadLeI32(p + kRecSize);
  CompSize = ReadLeI32(p + kRecCompSize);
  Comp = p[kRecComp];
  CrcFlag = p[kRecCrcFlag];
  Crc = ReadLe16(p + kRecCrc);
  Time.Low = ReadLe32(p + kRecTimeLow);
  Time.High = ReadLe32(p + kRecTimeHigh);
}

void TQoFileTable::ToBytes(uint8_t* p) const {
  std::memcpy(p + kRecName, Name, kQoNameLen);
  std::memcpy(p + kRecExt, Ext, kQoExtLen);
  StoreLe32(p + kRecOffset, static_cast<uint32_t>(Offset));
  StoreLe32(p + kRecSize, static_cast<uint32_t>(Size));
  StoreLe32(p + kRecCompSize, static_cast<uint32_t>(CompSize));
  p[kRecComp] = Comp;
  p[kRecCrcFlag] = CrcFlag;
  StoreLe16(p + kRecCrc, Crc);
  StoreLe32(p + kRecTimeLow, Time.Low);
  StoreLe32(p + kRecTimeHigh, Time.High);
}

void TQoPackHeader::FromBytes(const uint8_t* p) {
  std::memcpy(Magic, p + kHeadMagic, kHeadMagicLen);
  Version = ReadLe16(p + kHeadVersion);
  DataSize = ReadLeI32(p + kHeadDataSize);
  FileNum = ReadLeI32(p + kHeadFileNum);
}

void TQoPackHeader::ToBytes(uint8_t* p) const {
  std::memcpy(p + kHeadMagic, Magic, kHeadMagicLen);
  StoreLe16(p + kHeadVersion, Version);
  StoreLe32(p + kHeadDataSize, static_cast<uint32_t>(DataSize));
  StoreLe32(p + kHeadFileNum, static_cast<uint32_t>(FileNum));
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
    case kQoPackVersion0100: recSize = kRecordSize0100; break;
    case kQoPackVersion0200: recSize = kRecordSize0200; break;
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
  if (tableStart + static_cast<int64_t>(h.FileNum) * kQoFileTableSize + kTrailerSize > kMaxArchive) return false;

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
      std::memcpy(r.Name, p + kRecName, kQoNameLen);
      std::memcpy(r.Ext, p + kRecExt, kQoExtLen);
      r.Offset = ReadLeI32(p + kRecOffset);
      r.Size = ReadLeI32(p + kRecSize);
      if (recSize == kRecordSize0100) {
        r.CompSize = r.Size;
        r.Comp = 0;
      } else {
        r.CompSize = ReadLeI32(p + kRecCompSize);
        r.Comp = p[kRecComp];
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

bool TQoPack::WholeCrc(int64_t total, unsigned short* crc) {
  SetProgress(0);
  std::vector<unsigned char> buffer;
  try {
    buffer.resize(kWholeCrcChunk);
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (stream_->Seek(0, kSoFromBeginning) != 0) return false;
  unsigned short c = 0xFFFF;
  int64_t done = 0;
  while (total - done >= kWholeCrcChunk) {
    done += kWholeCrcChunk;
    SetProgress(QoPercent(done, total));
    if (!stream_->ReadAll(buffer.data(), kWholeCrcChunk)) return false;
    c = checker_.UpDateCrc(c, buffer.data(), kWholeCrcChunk);
  }
  const int rest = static_cast<int>(total - done);
  if (rest > 0) {
    SetProgress(100);
    if (!stream_->ReadAll(buffer.data(), rest)) return false;
    c = checker_.UpDateCrc(c, buffer.data(), rest);
  }
  *crc = c;
  return true;
}

bool TQoPack::CheckWholeCrc(int64_t total) {
  unsigned short crc = 0;
  if (!WholeCrc(total, &crc)) return false;
  uint8_t trailer[kTrailerSize];
  if (!stream_->ReadAll(trailer, kTrailerSize)) return false;
  return crc == ReadLe16(trailer);
}

bool TQoPack::ClosePack() { return !open_ || EndPack(); }

bool TQoPack::EndPack() {
  if (!open_) return true;
  CloseFile();
  const bool written = !modified_ || Rewrite();
  table_.clear();
  table_.shrink_to_fit();
  ownedStream_.reset();
  stream_ = nullptr;
  streamNotOwned_ = false;
  packName_.clear();
  open_ = false;
  ++generation_;
  return written;
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
  if (origin == 0)
    p = offset;
  else if (origin == 1)
    p = p + offset;
  else if (origin == 2)
    p = end + offset;
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

unsigned short TQoPack::PackCopy(TQoStream* destination, TQoPack* source, QoFILE* handle, int n, bool* ok) {
  if (ok != nullptr) *ok = false;
  SetProgress(0);
  if (destination == nullptr || source == nullptr) return 0;
  return CopyChunks(destination, n, false, ok, [source, handle](unsigned char* buffer, int k) {
    return source->Qofread(buffer, static_cast<unsigned>(k), 1, handle) == 1;
  });
}

void TQoPack::NotCoding(void* buffer, int n) {
  auto* p = static_cast<unsigned char*>(buffer);
  for (int i = 0; i < n; ++i) p[i] = static_cast<unsigned char>(~p[i]);
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
