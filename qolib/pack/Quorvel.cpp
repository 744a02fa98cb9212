#include "qolib/pack/Quorvel.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/base/Sjis.h"

namespace vdmq {

// ---------------------------------------------------------------------------------------------
// Platform services: headless defaults
// ---------------------------------------------------------------------------------------------

std::string TQoPlatform::NativePath(const std::string& path) {
  std::string out = path;
  std::replace(out.begin(), out.end(), '\\', '/');
  return out;
}

int TQoPlatform::MessageBox(const std::string&, const std::string&, unsigned) { return 1; }

void TQoPlatform::ShowException(const std::string&) {}

int TQoPlatform::ShellOpen(const std::string&, const std::string&) { return 31; }

bool TQoPlatform::TempPath(std::string& out) {
  const char* dir = std::getenv("TMPDIR");
  std::string path = (dir != nullptr && *dir != 0) ? dir : "/tmp";
  if (path.back() != '/') path += '/';
  out = path;
  return true;
}

namespace {

// A value of /proc/meminfo in bytes, or -1.
int64_t MemInfoValue(const char* key) {
  std::ifstream in("/proc/meminfo");
  std::string name;
  int64_t kb = 0;
  std::string unit;
  while (in >> name >> kb) {
    std::getline(in, unit);
    if (name == key) return kb * 1024;
  }
  return -1;
}

// The process's virtual size in bytes (VmSize of /proc/self/status), or 0.
int64_t ProcessVirtualSize() {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("VmSize:", 0) == 0) {
      std::istringstream s(line.substr(7));
      int64_t kb = 0;
      s >> kb;
      return kb * 1024;
    }
  }
  return 0;
}

}  // namespace

TQoMemoryStatus TQoPlatform::MemoryStatus() {
  TQoMemoryStatus m;
  m.TotalPhys = std::max<int64_t>(0, MemInfoValue("MemTotal:"));
  m.AvailPhys = std::max<int64_t>(0, MemInfoValue("MemAvailable:"));
  // The user address space of the process: its address-space limit when one is set.
  int64_t total = int64_t{1} << 47;
  rlimit lim{};
  if (getrlimit(RLIMIT_AS, &lim) == 0 && lim.rlim_cur != RLIM_INFINITY) {
    total = static_cast<int64_t>(std::min<rlim_t>(lim.rlim_cur, static_cast<rlim_t>(total)));
  }
  m.TotalVirtual = total;
  m.AvailVirtual = std::max<int64_t>(0, total - ProcessVirtualSize());
  return m;
}

void* TQoPlatform::CreateFont(const TQoLogFont&) { return nullptr; }

namespace {
TQoPlatform& DefaultPlatform() {
  static TQoPlatform platform;
  return platform;
}
TQoPlatform* gPlatform = nullptr;
}  // namespace

TQoPlatform& QoPlatform() { return gPlatform != nullptr ? *gPlatform : DefaultPlatform(); }
void SetQoPlatform(TQoPlatform* platform) { gPlatform = platform; }

// ---------------------------------------------------------------------------------------------
// Components
// ---------------------------------------------------------------------------------------------

TQoComponent::TQoComponent(TQoComponent* owner) {
  if (owner != nullptr) owner->InsertComponent(this);
}

TQoComponent::~TQoComponent() {
  // Everyone who asked is told first, while this object is still whole enough to be compared.
  std::vector<TQoComponent*> notifies;
  notifies.swap(notifies_);
  for (TQoComponent* c : notifies) {
    auto& back = c->notifies_;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
    c->Notification(this, TQoOperation::opRemove);
  }
  // Owned components go with their owner, the last created first.
  while (!components_.empty()) {
    TQoComponent* c = components_.back();
    components_.pop_back();
    c->owner_ = nullptr;
    delete c;
  }
  if (owner_ != nullptr) owner_->RemoveComponent(this);
}

void TQoComponent::InsertComponent(TQoComponent* c) {
  components_.push_back(c);
  c->owner_ = this;
  Notification(c, TQoOperation::opInsert);
}

void TQoComponent::RemoveComponent(TQoComponent* c) {
  components_.erase(std::remove(components_.begin(), components_.end(), c), components_.end());
  c->owner_ = nullptr;
  Notification(c, TQoOperation::opRemove);
}

void TQoComponent::FreeNotification(TQoComponent* other) {
  if (other == nullptr || other == this) return;
  if (std::find(notifies_.begin(), notifies_.end(), other) == notifies_.end()) {
    notifies_.push_back(other);
    other->notifies_.push_back(this);
  }
}

void TQoComponent::RemoveFreeNotification(TQoComponent* other) {
  if (other == nullptr) return;
  notifies_.erase(std::remove(notifies_.begin(), notifies_.end(), other), notifies_.end());
  auto& back = other->notifies_;
  back.erase(std::remove(back.begin(), back.end(), this), back.end());
}

void TQoComponent::Notification(TQoComponent*, TQoOperation) {}

// ---------------------------------------------------------------------------------------------
// Streams
// ---------------------------------------------------------------------------------------------

int64_t TQoMemoryStream::Read(void* buffer, int64_t n) {
  const int64_t size = GetSize();
  if (n <= 0 || pos_ >= size) return 0;
  const int64_t k = std::min(n, size - pos_);
  std::memcpy(buffer, data_.data() + pos_, static_cast<size_t>(k));
  pos_ += k;
  return k;
}

int64_t TQoMemoryStream::Write(const void* buffer, int64_t n) {
  if (n <= 0) return 0;
  if (pos_ + n > GetSize()) {
    try {
      data_.resize(static_cast<size_t>(pos_ + n));
    } catch (const std::bad_alloc&) {
      return 0;
    }
  }
  std::memcpy(data_.data() + pos_, buffer, static_cast<size_t>(n));
  pos_ += n;
  return n;
}

int64_t TQoMemoryStream::Seek(int64_t offset, int origin) {
  int64_t base = 0;
  if (origin == kSoFromCurrent)
    base = pos_;
  else if (origin == kSoFromEnd)
    base = GetSize();
  else if (origin != kSoFromBeginning)
    return -1;
  const int64_t p = base + offset;
  if (p < 0) return -1;
  pos_ = p;
  return pos_;
}

bool TQoMemoryStream::SetSize(int64_t size) {
  if (size < 0) return false;
  try {
    data_.resize(static_cast<size_t>(size));  // new bytes are zero
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  if (pos_ > size) pos_ = size;
  return true;
}

void TQoMemoryStream::Reserve(int64_t size) {
  if (size <= 0) return;
  try {
    data_.reserve(static_cast<size_t>(size));
  } catch (...) {
    // Only a hint: growth still works piece by piece.
  }
}

std::unique_ptr<TQoFileStream> TQoFileStream::Open(const std::string& path, TQoFileMode mode) {
  if (path.empty()) return nullptr;
  const std::string native = QoPlatform().NativePath(path);
  int flags = O_RDONLY;
  if (mode == TQoFileMode::ReadWriteDenyWrite) flags = O_RDWR;
  if (mode == TQoFileMode::Create) flags = O_RDWR | O_CREAT | O_TRUNC;
  if (mode == TQoFileMode::CreateNew) flags = O_RDWR | O_CREAT | O_EXCL;
  int fd;
  do {
    fd = ::open(native.c_str(), flags | O_CLOEXEC, 0644);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<TQoFileStream>(new TQoFileStream(fd));
}

TQoFileStream::~TQoFileStream() {
  if (fd_ >= 0) ::close(fd_);
}

int64_t TQoFileStream::Read(void* buffer, int64_t n) {
  int64_t done = 0;
  auto* p = static_cast<char*>(buffer);
  while (done < n) {
    const ssize_t r = ::read(fd_, p + done, static_cast<size_t>(std::min<int64_t>(n - done, 1 << 30)));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    done += r;
  }
  return done;
}

int64_t TQoFileStream::Write(const void* buffer, int64_t n) {
  int64_t done = 0;
  const auto* p = static_cast<const char*>(buffer);
  while (done < n) {
    const ssize_t r = ::write(fd_, p + done, static_cast<size_t>(std::min<int64_t>(n - done, 1 << 30)));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    done += r;
  }
  return done;
}

int64_t TQoFileStream::Seek(int64_t offset, int origin) {
  int whence = SEEK_SET;
  if (origin == kSoFromCurrent)
    whence = SEEK_CUR;
  else if (origin == kSoFromEnd)
    whence = SEEK_END;
  else if (origin != kSoFromBeginning)
    return -1;
  const off_t r = ::lseek(fd_, static_cast<off_t>(offset), whence);
  return r < 0 ? -1 : static_cast<int64_t>(r);
}

int64_t TQoFileStream::GetSize() {
  struct stat st {};
  if (::fstat(fd_, &st) != 0) return 0;
  return static_cast<int64_t>(st.st_size);
}

bool TQoFileStream::SetSize(int64_t size) { return size >= 0 && ::ftruncate(fd_, static_cast<off_t>(size)) == 0; }

uint64_t QoUnixToFileTime(int64_t seconds, int64_t nanoseconds) {
  constexpr int64_t kEpochDiff = 116444736000000000LL;  // 1601-01-01 to 1970-01-01 in 100 ns
  const int64_t t = seconds * 10000000LL + nanoseconds / 100 + kEpochDiff;
  return t < 0 ? 0 : static_cast<uint64_t>(t);
}

bool TQoFileStream::GetLastWriteTime(uint64_t& fileTime) {
  struct stat st {};
  if (::fstat(fd_, &st) != 0) return false;
  fileTime = QoUnixToFileTime(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
  return true;
}

// ---------------------------------------------------------------------------------------------
// File-exists test, memory queries, document starter, fonts
// ---------------------------------------------------------------------------------------------

bool FileIsExist(const char* path) {
  if (path == nullptr || *path == 0) return false;
  // No error box can appear here: the test is a plain status query.
  struct stat st {};
  if (::stat(QoPlatform().NativePath(path).c_str(), &st) != 0) return false;
  return !S_ISDIR(st.st_mode);
}

namespace {
int ClampInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, 0, INT_MAX)); }
}  // namespace

int TotalPhysicalMemory() { return ClampInt(QoPlatform().MemoryStatus().TotalPhys); }
int AvailPhysicalMemory() { return ClampInt(QoPlatform().MemoryStatus().AvailPhys); }
int TotalVirtualMemory() { return ClampInt(QoPlatform().MemoryStatus().TotalVirtual); }
int AvailVirtualMemory() { return ClampInt(QoPlatform().MemoryStatus().AvailVirtual); }

namespace {

// Folder part of a path without its final separator; a root keeps it ("C:\", "/").
std::string FolderOf(const std::string& file) {
  size_t last = std::string::npos;
  for (size_t i = 0; i < file.size(); i += SjisLetterLen(file, i)) {
    if (file[i] == '\\' || file[i] == '/') last = i;
  }
  if (last == std::string::npos) return "";
  if (last == 0) return file.substr(0, 1);
  if (last == 2 && file[1] == ':') return file.substr(0, 3);
  return file.substr(0, last);
}

const std::string& ExecErrorText(int code) {
  switch (code) {
    case 0: return SJS("システムに､ メモリまたはリソースが足りません。");
    case 2: return SJS("指定されたファイルが見つかりませんでした。");
    case 3: return SJS("指定されたパスが見つかりませんでした。");
    case 11: return SJS(".EXEファイルが無効です (Win32 .EXEではないか､ .EXEイメージ内のエラーです)。");
    case 26: return SJS("共有違反が発生しました。");
    case 27: return SJS("ファイル名の関連付けが不完全､ または無効です。");
    case 28: return SJS("要求タイム アウトのためにDDEトランザクションを完了できませんでした。");
    case 29: return SJS("DDEトランザクションが失敗しました。");
    case 30: return SJS("ほかのDDEトランザクションが処理されているために､ DDEトランザクションを完了できませんでした。");
    case 31: return SJS("指定されたファイル名拡張子には､ アプリケーションが関連付けられていません。");
    default: return SJS("不明なエラー");
  }
}

}  // namespace

void QoFileExec(const std::string& file) {
  if (file.empty()) return;
  const int r = QoPlatform().ShellOpen(file, FolderOf(file));
  if (r >= 32) return;
  QoPlatform().MessageBox(ExecErrorText(r), SJS("エラー"), kQoMbOk | kQoMbIconStop);
}

TQoLogFont QoMakeLogFont(const TQoFontDesc& font, int quality) {
  TQoLogFont lf;
  lf.Height = font.Height;
  lf.Weight = (font.Style & kQoFsBold) ? 700 : 400;
  lf.Italic = (font.Style & kQoFsItalic) != 0;
  lf.Underline = (font.Style & kQoFsUnderline) != 0;
  lf.StrikeOut = (font.Style & kQoFsStrikeOut) != 0;
  lf.CharSet = font.Charset;
  std::string lower = font.Name;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; });
  lf.FaceName = (lower == "default") ? std::string("MS UI Gothic") : font.Name;
  if (lf.FaceName.size() > 31) lf.FaceName.resize(31);
  lf.Quality = quality;
  lf.PitchAndFamily = font.Pitch == TQoFontPitch::fpVariable ? 2 : font.Pitch == TQoFontPitch::fpFixed ? 1 : 0;
  return lf;
}

void* GetAntiAliasedFont(const TQoFontDesc* font) {
  return font == nullptr ? nullptr : QoPlatform().CreateFont(QoMakeLogFont(*font, 4));
}

void* GetNonAntiAliasedFont(const TQoFontDesc* font) {
  return font == nullptr ? nullptr : QoPlatform().CreateFont(QoMakeLogFont(*font, 3));
}

// ---------------------------------------------------------------------------------------------
// TCounter
// ---------------------------------------------------------------------------------------------

TCounter::TCounter() = default;
TCounter::TCounter(int max) : maxVal_(std::max(max, 1)) {}
TCounter::TCounter(int max, int add) : maxVal_(std::max(max, 1)) { addVal_ = std::min(std::max(add, 0), maxVal_); }

void TCounter::SetMaxVal(int v) {
  maxVal_ = std::max(v, 1);
  addVal_ = std::min(addVal_, maxVal_);
  count_ = std::min(count_, maxVal_ - 1);
}

void TCounter::SetAddVal(int v) { addVal_ = std::min(std::max(v, 0), maxVal_); }

void TCounter::SetCount(int v) { count_ = std::min(v, maxVal_ - 1); }

bool TCounter::AddVal(int n) {
  // Wide arithmetic: a huge step neither overflows nor wraps the sign.
  int64_t c = static_cast<int64_t>(count_) + n;
  bool wrapped = false;
  if (c >= maxVal_) {
    c -= maxVal_;
    wrapped = true;
  }
  count_ = static_cast<int>(std::clamp<int64_t>(c, INT_MIN, INT_MAX));
  return wrapped;
}

bool TCounter::SubVal(int n) {
  int64_t c = static_cast<int64_t>(count_) - n;
  if (c < 0) {
    count_ = 0;
    return true;
  }
  count_ = static_cast<int>(std::min<int64_t>(c, INT_MAX));
  return false;
}

// ---------------------------------------------------------------------------------------------
// TRandom
// ---------------------------------------------------------------------------------------------

TRandom::TRandom() {
  // x[k] = F(33 - k) mod 65536 with F(1) = F(2) = 1.
  uint32_t a = 1, b = 1;  // F(1), F(2)
  x_[31] = 1;
  for (int k = 30; k >= 0; --k) {
    const uint32_t c = (a + b) & 0xFFFF;
    a = b;
    b = c;
    x_[k] = static_cast<uint16_t>(c);
  }
}

uint16_t TRandom::Rnd() {
  x_[i_] = static_cast<uint16_t>(x_[i_] + x_[j_]);
  const uint16_t r = x_[i_];
  i_ = (i_ == 0) ? 31 : i_ - 1;
  j_ = (j_ == 0) ? 31 : j_ - 1;
  return r;
}

int TRandom::Random(int n) {
  if (n < 1) return -1;
  uint32_t mask = 0;
  while (mask < static_cast<uint32_t>(n - 1)) mask = (mask << 1) | 1;
  mask &= 0xFFFF;
  int r;
  do {
    r = Rnd() & static_cast<int>(mask);
  } while (r >= n);
  return r;
}

int TRandom::NormalDistribution(int n) {
  if (n < 1 || n > 65536) return 0;
  const int a = (2 * n) / 3;
  const int r1 = Random(a + 1);
  const int r2 = Random(a + 1);
  const int r3 = Random(2 * (n - a) + 1);
  return r1 + r2 + r3 - n;
}

// ---------------------------------------------------------------------------------------------
// TQoRect
// ---------------------------------------------------------------------------------------------

bool TQoRect::EqualRect(const TQoRect* r) const {
  return r != nullptr && Left == r->Left && Top == r->Top && Right == r->Right && Bottom == r->Bottom;
}

bool TQoRect::InflateRect(int dx, int dy) {
  Left -= dx;
  Top -= dy;
  Right += dx;
  Bottom += dy;
  return true;
}

bool TQoRect::OffsetRect(int dx, int dy) {
  Left += dx;
  Right += dx;
  Top += dy;
  Bottom += dy;
  return true;
}

bool TQoRect::IsRectEmpty() const { return Right <= Left || Bottom <= Top; }

bool TQoRect::SetRectEmpty() {
  Left = Top = Right = Bottom = 0;
  return true;
}

bool TQoRect::IntersectRect(const TQoRect* a, const TQoRect* b) {
  if (a == nullptr || b == nullptr || a->IsRectEmpty() || b->IsRectEmpty()) {
    SetRectEmpty();
    return false;
  }
  const TQoRect o{std::max(a->Left, b->Left), std::max(a->Top, b->Top), std::min(a->Right, b->Right),
                  std::min(a->Bottom, b->Bottom)};
  if (o.IsRectEmpty()) {
    SetRectEmpty();
    return false;
  }
  *this = o;
  return true;
}

bool TQoRect::UnionRect(const TQoRect* a, const TQoRect* b) {
  const bool aOk = a != nullptr && !a->IsRectEmpty();
  const bool bOk = b != nullptr && !b->IsRectEmpty();
  if (aOk && bOk) {
    *this = TQoRect{std::min(a->Left, b->Left), std::min(a->Top, b->Top), std::max(a->Right, b->Right),
                    std::max(a->Bottom, b->Bottom)};
  } else if (aOk) {
    *this = *a;
  } else if (bOk) {
    *this = *b;
  } else {
    SetRectEmpty();
    return false;
  }
  return true;
}

bool TQoRect::SubtractRect(const TQoRect* a, const TQoRect* b) {
  if (a == nullptr) {
    SetRectEmpty();
    return true;
  }
  TQoRect r = *a;
  if (b != nullptr) {
    if (b->Left <= a->Left && b->Right >= a->Right) {
      // b spans a horizontally: cut from the top or the bottom.
      if (b->Top <= a->Top && a->Top < b->Bottom) {
        if (b->Bottom >= a->Bottom)
          r = TQoRect{};
        else
          r.Top = b->Bottom;
      } else if (a->Top < b->Top && b->Top < a->Bottom && b->Bottom >= a->Bottom) {
        r.Bottom = b->Top;
      }
    } else if (b->Top <= a->Top && b->Bottom >= a->Bottom) {
      // b spans a vertically: cut from the left or the right.
      if (b->Left <= a->Left && a->Left < b->Right) {
        if (b->Right >= a->Right)
          r = TQoRect{};
        else
          r.Left = b->Right;
      } else if (a->Left < b->Left && b->Left < a->Right && b->Right >= a->Right) {
        r.Right = b->Left;
      }
    }
  }
  *this = r;
  return true;
}

bool TQoRect::InRect(const TQoRect* r) const {
  return r != nullptr && r->Left >= Left && r->Top >= Top && r->Right <= Right && r->Bottom <= Bottom;
}

TQoRect QoRect(int left, int top, int right, int bottom) { return TQoRect{left, top, right, bottom}; }

}  // namespace vdmq
