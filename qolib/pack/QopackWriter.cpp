#include "qolib/pack/Qopack.h"

// The writing half of the archive component: new archives, entries added from files or other
// archives, deletions, and the rewrite of header, table and trailer when a changed archive closes.

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "platform/base/GameError.h"
#include "platform/base/Sjis.h"
#include "qolib/pack/QopackFormat.h"

namespace vdmq {

using namespace qopack;

// The header, the table and the trailer of a changed archive, written when it closes. Any failed
// write or read is told in the platform's message box: the archive on disk is then damaged (its
// CRC refuses it), and the caller learns it from the answer of ClosePack.
bool TQoPack::Rewrite() {
  const bool ok = [this] {
    uint8_t head[kQoPackHeaderSize];
    header_.FileNum = static_cast<int32_t>(table_.size());
    header_.ToBytes(head);
    if (stream_->Seek(0, kSoFromBeginning) != 0 || !stream_->WriteAll(head, kQoPackHeaderSize)) return false;
    const int64_t tableStart = kQoPackHeaderSize + static_cast<int64_t>(header_.DataSize);
    if (!table_.empty()) {
      std::vector<uint8_t> raw;
      try {
        raw.resize(table_.size() * kQoFileTableSize);
      } catch (const std::bad_alloc&) {
        return false;
      }
      for (size_t i = 0; i < table_.size(); ++i) table_[i].ToBytes(raw.data() + i * kQoFileTableSize);
      if (stream_->Seek(tableStart, kSoFromBeginning) != tableStart ||
          !stream_->WriteAll(raw.data(), static_cast<int64_t>(raw.size()))) {
        return false;
      }
    }
    const int64_t total = tableStart + static_cast<int64_t>(table_.size()) * kQoFileTableSize;
    unsigned short crc = 0;
    if (!WholeCrc(total, &crc)) return false;
    uint8_t trailer[kTrailerSize];
    StoreLe16(trailer, crc);
    return stream_->Seek(total, kSoFromBeginning) == total && stream_->WriteAll(trailer, kTrailerSize);
  }();
  if (!ok) QoPlatform().MessageBox(SJS("Packﾌｧｲﾙを書き込めませんでした。"), SJS("ｴﾗｰ"), kQoMbOk | kQoMbIconStop);
  return ok;
}

bool TQoPack::NewPack(const char* name) {
  if (readOnly_) return false;
  if (open_) EndPack();
  if (name == nullptr || *name == 0) return false;
  std::unique_ptr<TQoFileStream> file = TQoFileStream::Open(name, TQoFileMode::Create);
  if (!file || !StartNew(file.get())) return false;
  ownedStream_ = std::move(file);
  packName_ = name;
  return true;
}

bool TQoPack::NewPackStream(TQoStream* stream) {
  if (readOnly_) return false;
  if (open_) EndPack();
  if (stream == nullptr || !StartNew(stream)) return false;
  streamNotOwned_ = true;
  packName_.clear();
  return true;
}

bool TQoPack::StartNew(TQoStream* stream) {
  TQoPackHeader h;  // "QoPack", 0x0300, no data, no records
  uint8_t head[kQoPackHeaderSize];
  h.ToBytes(head);
  if (stream->Seek(0, kSoFromBeginning) != 0 || !stream->WriteAll(head, kQoPackHeaderSize)) return false;
  header_ = h;
  table_.clear();
  stream_ = stream;
  streamNotOwned_ = false;
  modified_ = true;
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
                        static_cast<int64_t>(records + 1) * kQoFileTableSize + kTrailerSize;
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

}  // namespace vdmq
