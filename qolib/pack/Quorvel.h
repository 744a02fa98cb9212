#pragma once
// The library's general unit: the file-exists test, a wrapping counter, a deterministic random
// generator, a rectangle type, memory queries, opening a document with its program, and the two
// font helpers. It also holds the few stand-ins the library needs in place of a class library:
// the platform services interface (message box, exception display, document starter, temporary
// folder, path mapping, memory status, font creation), a minimal component with owner and free
// notification, and byte streams (file and memory).
//
// Nothing here knows a window system. The platform layer installs its own TQoPlatform; until then
// the headless default answers (no box is shown, no program is started).

#include <concepts>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vdmq {

// ---------------------------------------------------------------------------------------------
// Platform services used by the library
// ---------------------------------------------------------------------------------------------

// Message box style bits used by the library (OK button, stop icon).
constexpr unsigned kQoMbOk = 0x0000;
constexpr unsigned kQoMbIconStop = 0x0010;

// The platform's global memory status, in bytes.
struct TQoMemoryStatus {
  int64_t TotalPhys = 0;
  int64_t AvailPhys = 0;
  int64_t TotalVirtual = 0;
  int64_t AvailVirtual = 0;
};

// A logical font record as the platform's font creation takes it.
struct TQoLogFont {
  int Height = 0;
  int Width = 0;
  int Escapement = 0;
  int Orientation = 0;
  int Weight = 400;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  int CharSet = 0;
  int OutPrecision = 0;
  int ClipPrecision = 0;
  int Quality = 0;
  int PitchAndFamily = 0;
  std::string FaceName;  // at most 31 bytes
};

class TQoPlatform {
 public:
  virtual ~TQoPlatform() = default;
  // Turns a program path ("\" separators) into a path the operating system opens.
  // Default: every "\" becomes "/".
  virtual std::string NativePath(const std::string& path);
  // The platform's message box shown through the application object. Returns the button
  // pressed (1 = OK). Headless: nothing is shown, the answer is OK.
  virtual int MessageBox(const std::string& text, const std::string& caption, unsigned style);
  // The application's standard exception display (application title as caption, stop icon).
  // Headless: nothing is shown.
  virtual void ShowException(const std::string& text);
  // Opens a document with its associated program (default verb, no parameters, the given
  // working folder, normal show state). Returns the shell's code: 32 or more is success.
  // Headless: no program is associated with anything (31).
  virtual int ShellOpen(const std::string& file, const std::string& folder);
  // The temporary folder, ending with a separator; false when it cannot be had.
  // Default: $TMPDIR or /tmp.
  virtual bool TempPath(std::string& out);
  // Global memory status. Default: read from the operating system.
  virtual TQoMemoryStatus MemoryStatus();
  // Creates a font from a logical font record and realises it once on the screen; returns the
  // platform's handle or null. Headless: null (no fonts).
  virtual void* CreateFont(const TQoLogFont& font);
};

// The installed platform services (the headless default until SetQoPlatform is called).
TQoPlatform& QoPlatform();
// Installs platform services; nullptr restores the default. The caller keeps ownership.
void SetQoPlatform(TQoPlatform* platform);

// ---------------------------------------------------------------------------------------------
// Components: owner, owned components, free notification
// ---------------------------------------------------------------------------------------------

enum class TQoOperation { opInsert, opRemove };

class TQoComponent {
 public:
  explicit TQoComponent(TQoComponent* owner = nullptr);
  virtual ~TQoComponent();
  TQoComponent(const TQoComponent&) = delete;
  TQoComponent& operator=(const TQoComponent&) = delete;

  TQoComponent* Owner() const { return owner_; }
  // Asks to be told (Notification with opRemove) when `other` is destroyed.
  void FreeNotification(TQoComponent* other);
  void RemoveFreeNotification(TQoComponent* other);
  // Called when a component is inserted into or removed from this one's owned list, and for
  // free notifications.
  virtual void Notification(TQoComponent* component, TQoOperation operation);
  // Called once the component's stored properties have been read.
  virtual void Loaded() {}

 private:
  void InsertComponent(TQoComponent* c);
  void RemoveComponent(TQoComponent* c);
  TQoComponent* owner_ = nullptr;
  std::vector<TQoComponent*> components_;  // owned, freed with this one
  std::vector<TQoComponent*> notifies_;    // told about each other's destruction
};

// A change or progress event of a component; the handler reads the sender's properties.
using TQoNotifyEvent = std::function<void(TQoComponent* sender)>;

// ---------------------------------------------------------------------------------------------
// Byte streams
// ---------------------------------------------------------------------------------------------

constexpr int kSoFromBeginning = 0;
constexpr int kSoFromCurrent = 1;
constexpr int kSoFromEnd = 2;

class TQoStream {
 public:
  virtual ~TQoStream() = default;
  // Reads up to n bytes; returns the number read (0 at the end or on failure).
  virtual int64_t Read(void* buffer, int64_t n) = 0;
  // Writes up to n bytes; returns the number written.
  virtual int64_t Write(const void* buffer, int64_t n) = 0;
  // Moves the position; returns the new position, or -1 on failure.
  virtual int64_t Seek(int64_t offset, int origin) = 0;
  virtual int64_t GetSize() = 0;
  // Changes the size; new bytes read as zero. False on failure.
  virtual bool SetSize(int64_t size) = 0;

  int64_t GetPosition() { return Seek(0, kSoFromCurrent); }
  void SetPosition(int64_t pos) { Seek(pos, kSoFromBeginning); }
  // Whole transfers: true only when every byte moved.
  bool ReadAll(void* buffer, int64_t n) { return n <= 0 || Read(buffer, n) == n; }
  bool WriteAll(const void* buffer, int64_t n) { return n <= 0 || Write(buffer, n) == n; }
};

// A growable block of memory read and written like a file. New bytes are always zero.
class TQoMemoryStream : public TQoStream {
 public:
  TQoMemoryStream() = default;
  int64_t Read(void* buffer, int64_t n) override;
  int64_t Write(const void* buffer, int64_t n) override;
  int64_t Seek(int64_t offset, int origin) override;
  int64_t GetSize() override { return static_cast<int64_t>(data_.size()); }
  bool SetSize(int64_t size) override;
  // Reserves room for a size that is expected, without changing the size.
  void Reserve(int64_t size);

  uint8_t* Memory() { return data_.data(); }
  const uint8_t* Memory() const { return data_.data(); }

 private:
  std::vector<uint8_t> data_;
  int64_t pos_ = 0;
};

// File open modes of TQoFileStream.
enum class TQoFileMode {
  ReadDenyWrite,       // read only; others may not write while it is open
  ReadWriteDenyWrite,  // read and write; others may not write
  Create,              // create or replace, read and write
  CreateNew,           // create, read and write; fails when the file already exists
};

// A file on disk read and written like a stream (unbuffered).
class TQoFileStream : public TQoStream {
 public:
  // Opens the file at a program path (mapped through QoPlatform().NativePath); null on failure.
  static std::unique_ptr<TQoFileStream> Open(const std::string& path, TQoFileMode mode);
  ~TQoFileStream() override;
  int64_t Read(void* buffer, int64_t n) override;
  int64_t Write(const void* buffer, int64_t n) override;
  int64_t Seek(int64_t offset, int origin) override;
  int64_t GetSize() override;
  bool SetSize(int64_t size) override;
  // Last-write time of the open file as a count of 100-nanosecond intervals since 1601-01-01 UTC.
  bool GetLastWriteTime(uint64_t& fileTime);

 private:
  explicit TQoFileStream(int fd) : fd_(fd) {}
  int fd_ = -1;
};

// Converts seconds and nanoseconds since 1970-01-01 UTC into a count of 100-nanosecond intervals
// since 1601-01-01 UTC.
uint64_t QoUnixToFileTime(int64_t seconds, int64_t nanoseconds);

// ---------------------------------------------------------------------------------------------
// The utility unit proper
// ---------------------------------------------------------------------------------------------

// True when path (a program path) names an existing file that is not a folder. Never shows a box.
bool FileIsExist(const char* path);

// Global memory status as signed 32-bit values (larger values read as the largest).
int TotalPhysicalMemory();
int AvailPhysicalMemory();
int TotalVirtualMemory();
int AvailVirtualMemory();

// Opens a document with its associated program; on failure shows the reason in a message box.
void QoFileExec(const std::string& file);

// Font style bits of TQoFontDesc.
constexpr unsigned kQoFsBold = 1;
constexpr unsigned kQoFsItalic = 2;
constexpr unsigned kQoFsUnderline = 4;
constexpr unsigned kQoFsStrikeOut = 8;
enum class TQoFontPitch { fpDefault, fpVariable, fpFixed };

// What the font helpers read of a font: height, style, character set, name and pitch.
struct TQoFontDesc {
  int Height = 0;
  unsigned Style = 0;
  int Charset = 1;
  std::string Name;
  TQoFontPitch Pitch = TQoFontPitch::fpDefault;
};

// The logical font record the two font helpers create (quality 4 anti-aliased, 3 not).
TQoLogFont QoMakeLogFont(const TQoFontDesc& font, int quality);
// A new platform font like the given one with anti-aliased / non-anti-aliased quality; null when
// it cannot be created. The caller frees it.
void* GetAntiAliasedFont(const TQoFontDesc* font);
void* GetNonAntiAliasedFont(const TQoFontDesc* font);

// A counter that wraps at MaxVal.
class TCounter {
 public:
  TCounter();
  explicit TCounter(int max);
  TCounter(int max, int add);
  TCounter(const TCounter&) = default;
  TCounter& operator=(const TCounter&) = default;

  void SetMaxVal(int v);
  void SetAddVal(int v);
  void SetCount(int v);
  int GetMaxVal() const { return maxVal_; }
  int GetAddVal() const { return addVal_; }
  int GetCount() const { return count_; }
  // Step by n; true when the counter wrapped (AddVal) or was clamped at 0 (SubVal).
  bool AddVal(int n);
  bool SubVal(int n);
  bool IncVal() { return AddVal(addVal_); }
  bool DecVal() { return SubVal(addVal_); }
  bool IsZero() const { return count_ == 0; }

 private:
  int maxVal_ = 9999;
  int addVal_ = 1;
  int count_ = 0;
};

// An additive lagged generator over 32 words that always starts in the same state.
class TRandom {
 public:
  TRandom();
  TRandom(const TRandom&) = default;
  TRandom& operator=(const TRandom&) = default;
  // One step of the generator.
  uint16_t Rnd();
  // Uniform 0..n-1; -1 for n < 1 (without a step).
  int Random(int n);
  // Bell-shaped -n..n; 0 for n outside 1..65536.
  int NormalDistribution(int n);

 private:
  uint16_t x_[32];
  int i_ = 0;
  int j_ = 7;
};

// A rectangle; Right and Bottom are exclusive.
struct TQoRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;

  bool EqualRect(const TQoRect* r) const;
  bool InflateRect(int dx, int dy);
  bool OffsetRect(int dx, int dy);
  bool IsRectEmpty() const;
  bool SetRectEmpty();
  bool IntersectRect(const TQoRect* a, const TQoRect* b);
  bool UnionRect(const TQoRect* a, const TQoRect* b);
  bool SubtractRect(const TQoRect* a, const TQoRect* b);
  // A point (any type with x and y members, such as the platform's point).
  template <class P>
  requires requires(const P& p) {
    { p.x } -> std::convertible_to<int>;
    { p.y } -> std::convertible_to<int>;
  }
  bool InRect(const P* p) const { return Left <= p->x && p->x < Right && Top <= p->y && p->y < Bottom; }
  bool InRect(const TQoRect* r) const;
};

TQoRect QoRect(int left, int top, int right, int bottom);

}  // namespace vdmq
