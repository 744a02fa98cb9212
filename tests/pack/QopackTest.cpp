// The archive: CRC-16, the file format as written and read, entry handles, writing, the
// compressing stream, and damaged archives.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/base/LittleEndian.h"
#include "platform/base/Sjis.h"
#include "qolib/pack/Qopack.h"
#include "support/Scratch.h"

using namespace vdmq;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

// Records what the library shows; the temporary folder is the test's own.
class FakePlatform : public TQoPlatform {
 public:
  std::vector<std::string> boxes;       // "caption|text"
  std::vector<std::string> exceptions;  // texts
  std::string temp;
  int MessageBox(const std::string& text, const std::string& caption, unsigned style) override {
    boxes.push_back(caption + "|" + text);
    lastStyle = style;
    return 1;
  }
  void ShowException(const std::string& text) override { exceptions.push_back(text); }
  bool TempPath(std::string& out) override {
    out = temp;
    return true;
  }
  unsigned lastStyle = 0;
};

// A bitwise reference CRC (reflected polynomial 0x1021, start 0xFFFF, no final XOR).
uint16_t RefCrc(const Bytes& b, size_t n = SIZE_MAX) {
  uint16_t crc = 0xFFFF;
  n = std::min(n, b.size());
  for (size_t i = 0; i < n; ++i) {
    crc ^= b[i];
    for (int k = 0; k < 8; ++k)
      crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0x8408) : static_cast<uint16_t>(crc >> 1);
  }
  return crc;
}

void PutName(Bytes& b, const char* name, const char* ext) {
  char n[21] = {}, e[3] = {};
  std::memcpy(n, name, std::min<size_t>(std::strlen(name), 21));
  std::memcpy(e, ext, std::min<size_t>(std::strlen(ext), 3));
  b.insert(b.end(), n, n + 21);
  b.insert(b.end(), e, e + 3);
}
void PutHeader(Bytes& b, uint16_t version, int32_t dataSize, int32_t count, const char* magic = "QoPack") {
  b.insert(b.end(), magic, magic + 6);
  PutLe16(b, version);
  PutLe32(b, static_cast<uint32_t>(dataSize));
  PutLe32(b, static_cast<uint32_t>(count));
}
// A 48-byte record.
void PutRecord(Bytes& b, const char* name, const char* ext, int32_t off, int32_t size, int32_t stored, uint8_t comp,
               uint8_t crcFlag, uint16_t crc, uint32_t timeLo = 0, uint32_t timeHi = 0) {
  PutName(b, name, ext);
  PutLe32(b, static_cast<uint32_t>(off));
  PutLe32(b, static_cast<uint32_t>(size));
  PutLe32(b, static_cast<uint32_t>(stored));
  b.push_back(comp);
  b.push_back(crcFlag);
  PutLe16(b, crc);
  PutLe32(b, timeLo);
  PutLe32(b, timeHi);
}
void PutTrailer(Bytes& b) { PutLe16(b, RefCrc(b)); }

Bytes Text(size_t n) {
  static const char* words[] = {"fleet ", "planet ", "commander ", "satellite ", "dock ", "turn ", "battle\n"};
  Bytes b;
  for (size_t i = 0; b.size() < n; ++i) {
    const char* w = words[(i * 7 + i / 3) % 7];
    b.insert(b.end(), w, w + std::strlen(w));
  }
  b.resize(n);
  return b;
}
Bytes Random(size_t n, unsigned seed) {
  std::mt19937 g(seed);
  Bytes b(n);
  for (auto& c : b) c = static_cast<uint8_t>(g());
  return b;
}
// A flat picture-like buffer: rows of a few colours with long runs.
Bytes Picture(size_t n) {
  Bytes b(n);
  for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(((i / 3000) % 4) * 40 + (i % 3) * 7);
  return b;
}

class PackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform.temp = dir + "/";
    SetQoPlatform(&platform);
  }
  void TearDown() override { SetQoPlatform(nullptr); }
  std::string Path(const std::string& name) const { return dir + "/" + name; }
  // Writes a file with a fixed last-write time (seconds since 1970).
  std::string WriteFile(const std::string& name, const Bytes& b, int64_t mtime = 1000000000) {
    const std::string p = Path(name);
    std::ofstream(p, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    timespec t[2] = {{static_cast<time_t>(mtime), 0}, {static_cast<time_t>(mtime), 0}};
    utimensat(AT_FDCWD, p.c_str(), t, 0);
    return p;
  }
  Bytes ReadFile(const std::string& p) const {
    std::ifstream in(p, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  // Builds an archive with the writer from (name, data, method) entries.
  std::string Build(const std::string& file, const std::vector<std::tuple<std::string, Bytes, int>>& entries,
                    bool onlyIfSmaller = false) {
    TQoPack pack;
    pack.SetReadOnly(false);
    EXPECT_TRUE(pack.NewPack(Path(file).c_str()));
    int n = 0;
    for (const auto& [name, data, method] : entries) {
      const std::string src = WriteFile("src" + std::to_string(n++), data);
      EXPECT_TRUE(pack.AddFile(name.c_str(), src.c_str(), method, onlyIfSmaller)) << name;
    }
    pack.ClosePack();
    return Path(file);
  }
  Bytes ReadEntry(TQoPack& pack, const char* name) {
    auto s = pack.QoMakeStream(name);
    if (!s) return {};
    return Bytes(s->Memory(), s->Memory() + s->GetSize());
  }

  test::TScratch scratch{"pack"};
  const std::string dir = scratch.Path();
  FakePlatform platform;
};

// FILETIME of 1000000000 seconds after 1970-01-01.
constexpr uint64_t kFt = 116444736000000000ULL + 1000000000ULL * 10000000ULL;
constexpr uint32_t kFtLo = static_cast<uint32_t>(kFt);
constexpr uint32_t kFtHi = static_cast<uint32_t>(kFt >> 32);

}  // namespace

// ---------------------------------------------------------------------------------------------

TEST(Crc16, CheckValuesOfBothTypes) {
  TCrcCheck c;
  const auto* digits = reinterpret_cast<const unsigned char*>("123456789");
  EXPECT_EQ(c.Crc(digits, 9), 0x6F91);
  EXPECT_EQ(c.Crc(reinterpret_cast<const unsigned char*>("abc"), 3), 0x61DA);
  EXPECT_EQ(c.Crc(digits, 0), 0xFFFF);
  EXPECT_EQ(c.UpDateCrc(0x1234, digits, -3), 0x1234);
  c.SetCrcType(1);
  EXPECT_EQ(c.Crc(digits, 9), 0x7ABB);
  c.SetCrcType(0);
  EXPECT_EQ(c.Crc(digits, 9), 0x6F91);
  // Continuing over data followed by its own CRC (little-endian) gives 0.
  unsigned char tail[2] = {0x91, 0x6F};
  EXPECT_EQ(c.UpDateCrc(c.Crc(digits, 9), tail, 2), 0);
}

TEST(Crc16, CrcStreamReadsFromThePositionAndRefusesShortStreams) {
  const Bytes data = Random(40000, 7);
  TQoMemoryStream s;
  s.Write(data.data(), static_cast<int64_t>(data.size()));
  s.Seek(0, kSoFromBeginning);
  unsigned short crc = 0;
  ASSERT_TRUE(CrcStream(&s, 40000, &crc));
  EXPECT_EQ(crc, RefCrc(data));
  s.Seek(0, kSoFromBeginning);
  unsigned short keep = 0x5555;
  EXPECT_FALSE(CrcStream(&s, 40001, &keep));
  EXPECT_EQ(keep, 0x5555);
  EXPECT_TRUE(CrcStream(&s, 0, &keep));
  EXPECT_EQ(keep, 0xFFFF);
  s.Seek(100, kSoFromBeginning);
  ASSERT_TRUE(CrcStream(&s, 50, &crc));
  EXPECT_EQ(crc, RefCrc(Bytes(data.begin() + 100, data.begin() + 150)));
  EXPECT_EQ(s.GetPosition(), 150);
}

TEST(Progress, PercentagesStayExactBelowAndAbove64MiB) {
  EXPECT_EQ(QoPercent(0, 0), 100);
  EXPECT_EQ(QoPercent(1048576, 3 * 1048576 + 10), 33);
  // 30 of 40 MiB: the product passes 2^31 and must not wrap.
  EXPECT_EQ(QoPercent(30 * 1048576LL, 40 * 1048576LL), 75);
  // Above 64 MiB the sizes count in 32 KiB units: 100 MB total.
  EXPECT_EQ(QoPercent(50000000, 100000000), (50000000 / 32768) * 100 / (100000000 / 32768));
}

// ---------------------------------------------------------------------------------------------
// Exact bytes of what the writer produces
// ---------------------------------------------------------------------------------------------

TEST_F(PackTest, EmptyArchiveIsHeaderAndTrailer) {
  const std::string p = Build("empty.pak", {});
  Bytes want;
  PutHeader(want, 0x0300, 0, 0);
  PutTrailer(want);
  EXPECT_EQ(ReadFile(p), want);
}

TEST_F(PackTest, StoredAndInvertedEntriesExactBytes) {
  Bytes a(48);
  for (int i = 0; i < 48; ++i) a[i] = static_cast<uint8_t>(i * 5);
  const Bytes b = {1, 2, 3};
  const std::string p = Build("two.pak", {{"PIC.TEST.BMP", a, 0}, {"README", b, 3}});
  Bytes want;
  PutHeader(want, 0x0300, 48 + 16, 2);
  want.insert(want.end(), a.begin(), a.end());  // 48 bytes: no padding
  const Bytes inv = {0xFE, 0xFD, 0xFC};
  want.insert(want.end(), inv.begin(), inv.end());
  want.insert(want.end(), 13, 0);
  PutRecord(want, "PIC.TEST", "BMP", 0, 48, 48, 0, 1, RefCrc(a), kFtLo, kFtHi);
  PutRecord(want, "README", "", 48, 3, 3, 3, 1, RefCrc(inv), kFtLo, kFtHi);
  PutTrailer(want);
  EXPECT_EQ(ReadFile(p), want);

  // Loading it again and closing it without change leaves it byte for byte the same.
  {
    TQoPack pack;
    pack.SetReadOnly(false);
    ASSERT_TRUE(pack.OpenPack(p));
    char name[26];
    ASSERT_TRUE(pack.GetFileName(1, name));
    EXPECT_STREQ(name, "README");
    EXPECT_EQ(pack.CheckFileName("readme"), 1);
    EXPECT_EQ(pack.CheckFileName("README."), -1);
  }
  EXPECT_EQ(ReadFile(p), want);

  // Deleting one entry rewrites it as version 0x0301 of the same length.
  {
    TQoPack pack;
    pack.SetReadOnly(false);
    ASSERT_TRUE(pack.OpenPack(p));
    ASSERT_TRUE(pack.DelFile("readme"));
    EXPECT_FALSE(pack.DelFile("readme"));
  }
  Bytes del = want;
  del.resize(del.size() - 2);
  del[6] = 0x01;
  std::fill(del.begin() + 16 + 64 + 48, del.begin() + 16 + 64 + 48 + 24, 0);
  PutTrailer(del);
  EXPECT_EQ(ReadFile(p), del);
}

TEST_F(PackTest, VarnelEntryExactBytesAndOnlyIfSmaller) {
  const Bytes abc = {'a', 'b', 'c', 'a', 'b', 'c'};
  const Bytes coded = {0x00, 0x00, 0x00, 0x10, 0x61, 0x62, 0x63, 0x22};
  // The coded form is kept although it is longer than the file.
  std::string p = Build("v.pak", {{"A.BIN", abc, 1}});
  Bytes want;
  PutHeader(want, 0x0300, 16, 1);
  want.insert(want.end(), coded.begin(), coded.end());
  want.insert(want.end(), 8, 0);
  PutRecord(want, "A", "BIN", 0, 6, 8, 1, 1, RefCrc(coded), kFtLo, kFtHi);
  PutTrailer(want);
  EXPECT_EQ(ReadFile(p), want);

  // Only if smaller: stored inverted instead.
  p = Build("v2.pak", {{"A.BIN", abc, 1}}, true);
  TQoPack pack;
  ASSERT_TRUE(pack.OpenPack(p));
  EXPECT_EQ(pack.GetFileComp(0), 3);
  EXPECT_EQ(pack.Record(0)->CompSize, 6);
  EXPECT_EQ(ReadEntry(pack, "a.bin"), abc);
  // The temporary file is gone.
  EXPECT_FALSE(FileIsExist((dir + "/QoTmp000.QoPack").c_str()));
}

TEST_F(PackTest, CocotteEntryExactBytes) {
  // Six falling bytes: block sort gives index 5 and the last column B4 C3 D2 E1 F0 A5; move-to-front
  // turns "05 00 B4 C3 D2 E1 F0 A5" into "05 01 B4 C3 D2 E1 F0 AA"; the range code is longer than
  // 8 bytes, so the block is stored raw: L = 12, N = 6.
  const Bytes src = {0xF0, 0xE1, 0xD2, 0xC3, 0xB4, 0xA5};
  const Bytes coded = {0x0C, 0x00, 0x06, 0x00, 0x05, 0x01, 0xB4, 0xC3, 0xD2, 0xE1, 0xF0, 0xAA};
  const std::string p = Build("c.pak", {{"C.BIN", src, 2}});
  Bytes want;
  PutHeader(want, 0x0300, 16, 1);
  want.insert(want.end(), coded.begin(), coded.end());
  want.insert(want.end(), 4, 0);
  PutRecord(want, "C", "BIN", 0, 6, 12, 2, 1, RefCrc(coded), kFtLo, kFtHi);
  PutTrailer(want);
  EXPECT_EQ(ReadFile(p), want);
  TQoPack pack;
  ASSERT_TRUE(pack.OpenPack(p));
  EXPECT_EQ(ReadEntry(pack, "C.BIN"), src);
}

TEST_F(PackTest, ShortFilesThatNoCoderCanHoldFallBackToInversion) {
  // One byte cannot be coded within 2 bytes by either coder; an empty file is always stored.
  const std::string p = Build("s.pak", {{"ONE", {0x42}, 2}, {"TWO", {0x42}, 1}, {"NONE", {}, 2}});
  TQoPack pack;
  ASSERT_TRUE(pack.OpenPack(p));
  EXPECT_EQ(pack.GetFileComp(0), 3);
  EXPECT_EQ(pack.GetFileComp(1), 3);
  const TQoFileTable* r = pack.Record(2);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->Comp, 0);
  EXPECT_EQ(r->CompSize, 0);
  EXPECT_EQ(r->Crc, 0xFFFF);
  EXPECT_EQ(r->Offset, 32);  // takes no space: right after the two padded entries
  EXPECT_EQ(pack.Header().DataSize, 32);
  auto empty = pack.QoMakeStream("NONE");
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(empty->GetSize(), 0);
  EXPECT_EQ(ReadEntry(pack, "ONE"), Bytes{0x42});
}

// ---------------------------------------------------------------------------------------------
// Round trips: writer -> reader under every check mode
// ---------------------------------------------------------------------------------------------

TEST_F(PackTest, RoundTripsEveryMethodUnderEveryCheckMode) {
  std::vector<std::tuple<std::string, Bytes, int>> entries;
  const std::vector<Bytes> datas = {Text(5000),  Random(3000, 1), Picture(70000),           Bytes{},
                                    Text(32768), Text(32769),     Picture(2 * 1048576 + 77)};
  int k = 0;
  for (int method = 0; method <= 3; ++method) {
    for (const Bytes& d : datas) entries.emplace_back("E" + std::to_string(k++) + ".DAT", d, method);
  }
  const std::string p = Build("rt.pak", entries);
  for (TCrcMode mode : {cmNon, cmPackAll, cmEachFile}) {
    TQoPack pack;
    pack.SetCrcMode(mode);
    ASSERT_TRUE(pack.OpenPack(p)) << int(mode);
    ASSERT_EQ(pack.GetFileNum(), static_cast<int>(entries.size()));
    for (int i = 0; i < pack.GetFileNum(); ++i) {
      const auto& [name, data, method] = entries[static_cast<size_t>(i)];
      EXPECT_TRUE(pack.VerifyFileCrc(i));
      EXPECT_EQ(pack.GetFileSize(i), static_cast<int>(data.size()));
      EXPECT_EQ(ReadEntry(pack, name.c_str()), data) << name << " mode " << int(mode);
      if (data.size() > 100 && method != 3) {
        EXPECT_EQ(pack.GetFileComp(i), method) << name;
      }
    }
    // Handles read the same bytes piece by piece.
    QoFILE* h = pack.Qofopen("E8.DAT");  // Varnel, random data
    ASSERT_NE(h, nullptr);
    Bytes piece(1000);
    ASSERT_TRUE(pack.Qofseek(h, 500, 0));
    EXPECT_EQ(pack.Qofread(piece.data(), 100, 10, h), 10u);
    EXPECT_TRUE(std::equal(piece.begin(), piece.end(), datas[1].begin() + 500));
    EXPECT_TRUE(pack.Qofclose(h));
  }
  EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(PackTest, CompStreamRoundTripsAndRefusesEmptyRuns) {
  TQoCompStream cs;
  for (int codec : {0, 1}) {
    for (const Bytes& d : {Text(40000), Random(5000, 3), Picture(100000)}) {
      TQoMemoryStream src, mid, out;
      src.Write(d.data(), static_cast<int64_t>(d.size()));
      src.Seek(0, kSoFromBeginning);
      int coded = -1;
      ASSERT_TRUE(cs.EncodeBuffer(&src, static_cast<int>(d.size()), &mid, &coded, codec));
      EXPECT_EQ(coded, mid.GetSize());
      mid.Seek(0, kSoFromBeginning);
      ASSERT_TRUE(cs.DecodeBuffer(&mid, coded, &out, static_cast<int>(d.size()), codec));
      EXPECT_EQ(Bytes(out.Memory(), out.Memory() + out.GetSize()), d);
    }
  }
  TQoMemoryStream src, dst;
  int coded = 7;
  EXPECT_FALSE(cs.EncodeBuffer(&src, 0, &dst, &coded, 0));
  EXPECT_EQ(dst.GetSize(), 0);
  EXPECT_FALSE(cs.DecodeBuffer(&src, 10, &dst, 0, 0));
  EXPECT_FALSE(cs.DecodeBuffer(&src, 0, &dst, 10, 1));
  // A stream that runs out before the size is reached fails.
  const Bytes d = Text(3000);
  TQoMemoryStream a, b, c;
  a.Write(d.data(), 3000);
  a.Seek(0, kSoFromBeginning);
  ASSERT_TRUE(cs.EncodeBuffer(&a, 3000, &b, &coded, 0));
  b.Seek(0, kSoFromBeginning);
  EXPECT_FALSE(cs.DecodeBuffer(&b, coded, &c, 3001, 0));
}

// ---------------------------------------------------------------------------------------------
// Reading: versions, leniency, validation
// ---------------------------------------------------------------------------------------------

TEST_F(PackTest, OlderVersionsAreWidenedAndOnlyKnownVersionsLoad) {
  Bytes v1;
  PutHeader(v1, 0x0100, 1008, 1);
  for (int i = 0; i < 1000; ++i) v1.push_back(static_cast<uint8_t>(i));
  v1.insert(v1.end(), 8, 0);
  PutName(v1, "OLD", "BMP");
  PutLe32(v1, 0);
  PutLe32(v1, 1000);
  WriteFile("v1.pak", v1);
  TQoPack pack;
  pack.SetCrcMode(cmPackAll);  // no trailer is read for the old versions
  ASSERT_TRUE(pack.OpenPack(Path("v1.pak")));
  const TQoFileTable* r = pack.Record(0);
  EXPECT_EQ(r->CompSize, 1000);
  EXPECT_EQ(r->Comp, 0);
  EXPECT_EQ(r->CrcFlag, 0);
  TQoFileTime t;
  ASSERT_TRUE(pack.GetFileTime(0, &t));
  EXPECT_EQ(t.High, 0x01B41DDEu);
  EXPECT_EQ(t.Low, 0xA8EE9800u);
  EXPECT_EQ(pack.Header().Version, 0x0301);
  EXPECT_EQ(ReadEntry(pack, "old.bmp").size(), 1000u);

  Bytes v2;
  PutHeader(v2, 0x0200, 16, 1);
  const Bytes inv = {0x9E, 0x9D};
  v2.insert(v2.end(), inv.begin(), inv.end());
  v2.insert(v2.end(), 14, 0);
  PutName(v2, "NEG", "");
  PutLe32(v2, 0);
  PutLe32(v2, 2);
  PutLe32(v2, 2);
  v2.push_back(3);
  v2.insert(v2.end(), 3, 0);
  WriteFile("v2.pak", v2);
  ASSERT_TRUE(pack.OpenPack(Path("v2.pak")));
  EXPECT_EQ(ReadEntry(pack, "NEG"), (Bytes{0x61, 0x62}));

  // Magic not examined; unknown versions refused.
  Bytes odd;
  PutHeader(odd, 0x0300, 0, 0, "XXXXXX");
  PutTrailer(odd);
  WriteFile("odd.pak", odd);
  EXPECT_TRUE(pack.OpenPack(Path("odd.pak")));
  odd[6] = 0x02;
  WriteFile("odd.pak", odd);
  EXPECT_FALSE(pack.OpenPack(Path("odd.pak")));
  EXPECT_FALSE(pack.IsOpen());
  // A short header fails; a missing trailer loads under cmNon only.
  WriteFile("short.pak", Bytes(odd.begin(), odd.begin() + 10));
  EXPECT_FALSE(pack.OpenPack(Path("short.pak")));
  WriteFile("notrailer.pak", Bytes(odd.begin(), odd.begin() + 16));
  Bytes nt(odd.begin(), odd.begin() + 16);
  nt[6] = 0x00;
  WriteFile("notrailer.pak", nt);
  pack.SetCrcMode(cmNon);
  EXPECT_TRUE(pack.OpenPack(Path("notrailer.pak")));
  pack.SetCrcMode(cmPackAll);
  EXPECT_FALSE(pack.OpenPack(Path("notrailer.pak")));
  ASSERT_EQ(platform.boxes.size(), 1u);
  EXPECT_EQ(platform.boxes[0], SJS("CRCｴﾗｰ") + "|" + SJS("Packﾌｧｲﾙが壊れています。"));
  EXPECT_EQ(platform.lastStyle, kQoMbIconStop);
}

TEST_F(PackTest, HeaderSizesMustFitTheFile) {
  auto tryLoad = [&](int32_t dataSize, int32_t count, size_t extra) {
    Bytes b;
    PutHeader(b, 0x0301, dataSize, count);
    b.insert(b.end(), extra, 0);
    WriteFile("h.pak", b);
    TQoPack pack;
    return pack.OpenPack(Path("h.pak"));
  };
  EXPECT_TRUE(tryLoad(16, 1, 16 + 48));
  EXPECT_FALSE(tryLoad(16, 1, 16 + 47));     // table cut short
  EXPECT_FALSE(tryLoad(-16, 0, 100));        // negative data size
  EXPECT_FALSE(tryLoad(0, -1, 100));         // negative record count
  EXPECT_FALSE(tryLoad(0x7FFFFFF0, 1, 48));  // far beyond the file
  EXPECT_FALSE(tryLoad(0, 0x7FFFFFFF, 48));  // a table that cannot be there
}

TEST_F(PackTest, DamagedRecordsAreRefusedQuietly) {
  Bytes b;
  PutHeader(b, 0x0301, 32, 7);
  b.insert(b.end(), 32, 0x41);
  PutRecord(b, "GOOD", "", 0, 16, 16, 0, 0, 0);
  PutRecord(b, "NEGOFF", "", -16, 16, 16, 0, 0, 0);
  PutRecord(b, "NEGSIZE", "", 0, -1, 16, 0, 0, 0);
  PutRecord(b, "METHOD4", "", 0, 16, 16, 4, 0, 0);
  PutRecord(b, "OUTSIDE", "", 16, 32, 32, 0, 0, 0);  // runs into the table
  PutRecord(b, "BIGSIZE", "", 16, 40, 16, 3, 0, 0);  // inverted copy longer than its bytes
  PutRecord(b, "", "", 0, 16, 16, 0, 0, 0);          // deleted
  PutTrailer(b);
  WriteFile("d.pak", b);
  TQoPack pack;
  ASSERT_TRUE(pack.OpenPack(Path("d.pak")));
  EXPECT_EQ(ReadEntry(pack, "GOOD"), Bytes(16, 0x41));
  for (const char* n : {"NEGOFF", "NEGSIZE", "METHOD4", "OUTSIDE", "BIGSIZE", ""}) {
    EXPECT_EQ(pack.Qofopen(n), nullptr) << n;
    EXPECT_EQ(pack.QofopenComp(n, false), nullptr) << n;
    EXPECT_EQ(pack.QoMakeStream(n), nullptr) << n;
  }
  EXPECT_EQ(pack.GetFileSize(2), 0);
  // The deleted record: an empty name, size 0.
  char name[26] = "x";
  EXPECT_TRUE(pack.GetFileName(6, name));
  EXPECT_STREQ(name, "");
  EXPECT_EQ(pack.GetFileSize(6), 0);
  EXPECT_EQ(pack.CheckFileName(""), 6);
  EXPECT_TRUE(platform.boxes.empty());
}

TEST_F(PackTest, CodedEntriesThatDoNotDecodeAreRefused) {
  // A Varnel entry whose stored bytes end too early, and one claiming a distance before the start.
  Bytes b;
  PutHeader(b, 0x0301, 32, 3);
  const Bytes cut = {0x00, 0x00, 0x00, 0x00, 'a', 'b'};   // 2 literals, size claims 10
  const Bytes far = {0x00, 0x00, 0x00, 0x40, 'a', 0x05};  // match at distance 6 after 1 byte
  b.insert(b.end(), cut.begin(), cut.end());
  b.insert(b.end(), 10, 0);
  b.insert(b.end(), far.begin(), far.end());
  b.insert(b.end(), 10, 0);
  PutRecord(b, "CUT", "", 0, 10, 6, 1, 0, 0);
  PutRecord(b, "FAR", "", 16, 2, 6, 1, 0, 0);
  PutRecord(b, "COC", "", 0, 10, 6, 2, 0, 0);
  PutTrailer(b);
  WriteFile("bad.pak", b);
  TQoPack pack;
  ASSERT_TRUE(pack.OpenPack(Path("bad.pak")));
  EXPECT_EQ(pack.Qofopen("CUT"), nullptr);
  EXPECT_EQ(pack.Qofopen("FAR"), nullptr);
  EXPECT_EQ(pack.Qofopen("COC"), nullptr);
  // Without decoding the stored bytes are still there to read.
  QoFILE* h = pack.QofopenComp("CUT", false);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(pack.Qofsize(h), 10);
  EXPECT_EQ(pack.Qodsize(h), 6);
  Bytes raw(6);
  EXPECT_EQ(pack.Qofread(raw.data(), 6, 1, h), 1u);
  EXPECT_EQ(raw, cut);
  pack.Qofclose(h);
}

TEST_F(PackTest, CrcChecksUnderEachFileAndPackAll) {
  const std::string p = Build("crc.pak", {{"A", Text(100), 0}, {"B", Text(200), 3}});
  Bytes b = ReadFile(p);
  b[16 + 5] ^= 0x01;  // damage entry A, keep the trailer
  WriteFile("crc.pak", b);
  TQoPack pack;
  ASSERT_TRUE(pack.OpenPack(p));  // cmNon: the game's way, no check
  EXPECT_EQ(ReadEntry(pack, "A").size(), 100u);
  EXPECT_FALSE(pack.VerifyFileCrc(0));
  EXPECT_TRUE(pack.VerifyFileCrc(1));
  EXPECT_TRUE(pack.VerifyFileCrc(99));
  pack.SetCrcMode(cmEachFile);  // takes while open
  EXPECT_EQ(pack.Qofopen("A"), nullptr);
  EXPECT_EQ(pack.QofopenComp("A", false), nullptr);
  EXPECT_EQ(platform.boxes.size(), 2u);
  EXPECT_EQ(ReadEntry(pack, "B"), Text(200));
  pack.ClosePack();
  pack.SetCrcMode(cmPackAll);
  EXPECT_FALSE(pack.OpenPack(p));
  EXPECT_EQ(platform.boxes.size(), 3u);
  EXPECT_FALSE(pack.IsOpen());
}

TEST_F(PackTest, WholeArchiveCheckReportsProgressBeforeEachChunk) {
  auto progressOf = [&](int32_t dataSize) {
    Bytes b;
    PutHeader(b, 0x0300, dataSize, 0);
    b.resize(16 + static_cast<size_t>(dataSize), 0x33);
    PutTrailer(b);
    WriteFile("pr.pak", b);
    TQoPack pack;
    pack.SetCrcMode(cmPackAll);
    std::vector<int> seen;
    pack.OnProgress = [&](TQoComponent* sender) { seen.push_back(static_cast<TQoPack*>(sender)->GetProgress()); };
    EXPECT_TRUE(pack.OpenPack(Path("pr.pak")));
    return seen;
  };
  EXPECT_EQ(progressOf(3 * 1048576 + 10 - 16), (std::vector<int>{0, 33, 66, 99, 100}));
  EXPECT_EQ(progressOf(2 * 1048576 - 16), (std::vector<int>{0, 50, 100}));
}

TEST_F(PackTest, PropertiesAndOpenClose) {
  const std::string p = Build("pp.pak", {{"X", Text(10), 0}});
  TQoPack pack;
  EXPECT_TRUE(pack.OpenPack(""));
  EXPECT_FALSE(pack.IsOpen());
  EXPECT_EQ(pack.GetFileNum(), 0);
  ASSERT_TRUE(pack.OpenPack(p));
  EXPECT_EQ(pack.GetPackName(), p);
  pack.SetReadOnly(false);  // no effect while open
  EXPECT_TRUE(pack.GetReadOnly());
  EXPECT_FALSE(pack.NewPack(Path("other.pak").c_str()));
  EXPECT_TRUE(pack.OpenPack(""));
  EXPECT_FALSE(pack.IsOpen());
  EXPECT_EQ(pack.GetPackName(), "");
  pack.SetReadOnly(false);
  EXPECT_FALSE(pack.GetReadOnly());
  EXPECT_FALSE(pack.OpenPack(Path("missing.pak")));
  EXPECT_FALSE(pack.OpenPack(dir));  // a folder is no archive

  // The current file.
  pack.SetReadOnly(true);
  pack.SetPackName(p);
  ASSERT_TRUE(pack.IsOpen());
  pack.SetFileName("x");
  ASSERT_NE(pack.GetCurrentFile(), nullptr);
  EXPECT_EQ(pack.GetCurrentFile()->GetSize(), 10);
  EXPECT_FALSE(pack.OpenFile("nothing"));
  EXPECT_EQ(pack.GetFileName(), "");
  EXPECT_EQ(pack.GetCurrentFile(), nullptr);

  // A caller's stream: read-only components only; a writable one also closes what was open.
  Bytes bytes = ReadFile(p);
  TQoMemoryStream ms;
  ms.Write(bytes.data(), static_cast<int64_t>(bytes.size()));
  ASSERT_TRUE(pack.LoadPackStream(&ms));
  EXPECT_EQ(pack.GetPackName(), "");
  EXPECT_EQ(ReadEntry(pack, "X"), Text(10));
  pack.ClosePack();
  ASSERT_TRUE(pack.OpenPack(p));
  pack.ClosePack();
  pack.SetReadOnly(false);
  ASSERT_TRUE(pack.OpenPack(p));
  EXPECT_FALSE(pack.LoadPackStream(&ms));
  EXPECT_FALSE(pack.IsOpen());
}

TEST_F(PackTest, LookUpIgnoresLetterCaseButKeepsDoubleByteLetters) {
  const std::string fa = "\x82\x61";  // a full-width letter whose second byte is 'a'
  const std::string p = Build("n.pak", {{"BMP_A.BMP", Text(5), 0},
                                        {fa + ".BMP", Text(6), 0},
                                        {"ABCDEFGHIJKLMNOPQRSTUV", Text(7), 0},
                                        {".BMP", Text(8), 0},
                                        {"AB\x81.CD", Text(9), 0}});
  TQoPack pack;
  ASSERT_TRUE(pack.OpenPack(p));
  EXPECT_EQ(pack.CheckFileName("bmp_a.bmp"), 0);
  EXPECT_EQ(pack.CheckFileName((fa + ".bmp").c_str()), 1);
  EXPECT_EQ(pack.CheckFileName("\x82\x41.BMP"), -1);
  // A 22-byte base name is cut to 21 and no longer found under the name it was added with.
  EXPECT_EQ(pack.CheckFileName("ABCDEFGHIJKLMNOPQRSTUV"), -1);
  EXPECT_EQ(pack.CheckFileName("ABCDEFGHIJKLMNOPQRSTU"), 2);
  EXPECT_EQ(pack.CheckFileName("ABCDEFGHIJKLMNOPQRSTU.BMPX"), -1);  // 26 bytes
  char name[26];
  ASSERT_TRUE(pack.GetFileName(3, name));
  EXPECT_STREQ(name, ".BMP");
  EXPECT_EQ(pack.Record(3)->Ext[0], 0);
  // The "." after a lead byte belongs to the double-byte letter: no extension.
  EXPECT_EQ(pack.Record(4)->Ext[0], 0);
  EXPECT_EQ(pack.CheckFileName("ab\x81.cd"), 4);
  // A lead byte at the very end stays alone.
  EXPECT_EQ(pack.CheckFileName("bmp_a.bm\x82"), -1);

  TQoFileTable r;
  pack.MakeFTName(r, "PIC.TEST.BMP");
  EXPECT_EQ(std::string(r.Name), "PIC.TEST");
  EXPECT_EQ(std::string(r.Ext, 3), "BMP");
  pack.MakeFTName(r, "LONG.EXTENSION");
  EXPECT_EQ(std::string(r.Ext, 3), "EXT");
}

TEST_F(PackTest, HandlesSeekReadAndCloseLikeFiles) {
  Bytes ten = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  Bytes big = Text(5000);
  const std::string p = Build("hd.pak", {{"TEN", ten, 0}, {"INV", ten, 3}, {"VAR", big, 1}});
  TQoPack pack;
  ASSERT_TRUE(pack.OpenPack(p));
  QoFILE* h = pack.Qofopen("TEN");
  ASSERT_NE(h, nullptr);
  int pos = -1;
  EXPECT_TRUE(pack.Qofseek(h, -5, 0));
  EXPECT_TRUE(pack.Qofgetpos(h, &pos));
  EXPECT_EQ(pos, 0);
  EXPECT_TRUE(pack.Qofseek(h, 10, 2));
  pack.Qofgetpos(h, &pos);
  EXPECT_EQ(pos, 10);
  EXPECT_TRUE(pack.Qofseek(h, 3, 7));
  pack.Qofgetpos(h, &pos);
  EXPECT_EQ(pos, 10);
  EXPECT_TRUE(pack.Qofseek(h, 0x7FFFFFFF, 1));  // no wrap
  pack.Qofgetpos(h, &pos);
  EXPECT_EQ(pos, 10);
  pos = 4;
  EXPECT_TRUE(pack.Qofsetpos(h, &pos));
  Bytes buf(12, 0xEE);
  EXPECT_EQ(pack.Qofread(buf.data(), 4, 3, h), 1u);
  EXPECT_EQ(Bytes(buf.begin(), buf.begin() + 4), (Bytes{4, 5, 6, 7}));
  pack.Qofgetpos(h, &pos);
  EXPECT_EQ(pos, 8);
  EXPECT_EQ(pack.Qofread(buf.data(), 4, 1, h), 0u);
  EXPECT_EQ(pack.Qofread(buf.data(), 0, 1, h), 0u);
  EXPECT_EQ(pack.Qofread(buf.data(), 0x80000000u, 0x80000000u, h), 0u);  // 64-bit request size
  // A second handle has its own position.
  QoFILE* h2 = pack.Qofopen("ten");
  ASSERT_NE(h2, nullptr);
  EXPECT_EQ(pack.Qofread(buf.data(), 2, 1, h2), 1u);
  EXPECT_EQ(buf[0], 0);
  EXPECT_TRUE(pack.QoIsCrc(h2));
  EXPECT_EQ(pack.QoGetCrc(h2), RefCrc(ten));
  pack.Qofclose(h2);

  // Inverted: decoded reads the original, raw reads the stored bytes.
  QoFILE* inv = pack.Qofopen("INV");
  QoFILE* raw = pack.QofopenComp("INV", false);
  Bytes a(10), b(10);
  EXPECT_EQ(pack.Qofread(a.data(), 10, 1, inv), 1u);
  EXPECT_EQ(pack.Qofread(b.data(), 10, 1, raw), 1u);
  EXPECT_EQ(a, ten);
  EXPECT_EQ(b[3], 0xFC);
  // Varnel: end is the size when decoded, the stored size when not.
  QoFILE* v = pack.Qofopen("VAR");
  QoFILE* vr = pack.QofopenComp("VAR", false);
  pack.Qofseek(v, 0, 2);
  pack.Qofseek(vr, 0, 2);
  int pv = 0, pr = 0;
  pack.Qofgetpos(v, &pv);
  pack.Qofgetpos(vr, &pr);
  EXPECT_EQ(pv, 5000);
  EXPECT_EQ(pr, pack.Qodsize(vr));
  EXPECT_LT(pr, 5000);
  EXPECT_EQ(pack.QoIsComp(vr), 1);

  // After the archive closes, handles answer nothing but can still be closed.
  pack.ClosePack();
  EXPECT_EQ(pack.Qofsize(h), 0);
  EXPECT_EQ(pack.Qofread(buf.data(), 1, 1, h), 0u);
  EXPECT_FALSE(pack.Qofseek(h, 0, 0));
  TQoFileTime t;
  EXPECT_FALSE(pack.QoGetFileTime(h, &t));
  // Nor do they read from an archive opened later on the same component.
  ASSERT_TRUE(pack.OpenPack(p));
  EXPECT_EQ(pack.Qofread(buf.data(), 1, 1, h), 0u);
  for (QoFILE* x : {h, inv, raw, v, vr}) EXPECT_TRUE(pack.Qofclose(x));
  EXPECT_FALSE(pack.Qofclose(nullptr));
}

// ---------------------------------------------------------------------------------------------
// Writing
// ---------------------------------------------------------------------------------------------

TEST_F(PackTest, AddFileRefusesBadNamesAndMissingFiles) {
  TQoPack pack;
  const std::string src = WriteFile("src", Text(50));
  EXPECT_FALSE(pack.AddFile("A", src.c_str(), 0, false));  // read-only
  pack.SetReadOnly(false);
  EXPECT_FALSE(pack.AddFile("A", src.c_str(), 0, false));  // nothing open
  ASSERT_TRUE(pack.NewPack(Path("w.pak").c_str()));
  ASSERT_TRUE(pack.AddFile("BMP_A.BMP", src.c_str(), 0, false));
  EXPECT_FALSE(pack.AddFile("bmp_a.bmp", src.c_str(), 0, false));
  EXPECT_FALSE(pack.AddFile("", src.c_str(), 0, false));
  EXPECT_FALSE(pack.AddFile("ABCDEFGHIJKLMNOPQRSTUVWXYZ", src.c_str(), 0, false));  // 26 bytes
  // Cut to a look-up name that is already there.
  ASSERT_TRUE(pack.AddFile("ABCDEFGHIJKLMNOPQRSTU.BM", src.c_str(), 0, false));
  EXPECT_FALSE(pack.AddFile("ABCDEFGHIJKLMNOPQRSTUX.BM", src.c_str(), 0, false));
  EXPECT_FALSE(pack.AddFile("C", Path("missing").c_str(), 0, false));
  EXPECT_FALSE(pack.AddFile("D", dir.c_str(), 0, false));
  ASSERT_EQ(platform.exceptions.size(), 6u);
  EXPECT_EQ(platform.exceptions[0], SJS("ファイル名") + "bmp_a.bmp" + SJS("が不正です。"));
  EXPECT_EQ(platform.exceptions[4], SJS("ファイル") + Path("missing") + SJS("が開けません。"));
  EXPECT_EQ(pack.GetFileNum(), 2);

  // Delete, then add the same name again: the deleted record stays.
  EXPECT_TRUE(pack.DelFile("BMP_A.BMP"));
  EXPECT_TRUE(pack.AddFile("BMP_A.BMP", src.c_str(), 1, false));
  EXPECT_EQ(pack.GetFileNum(), 3);
  pack.ClosePack();
  pack.SetReadOnly(true);
  ASSERT_TRUE(pack.OpenPack(Path("w.pak")));
  EXPECT_EQ(pack.CheckFileName("BMP_A.BMP"), 2);
  EXPECT_EQ(ReadEntry(pack, "BMP_A.BMP"), Text(50));
}

TEST_F(PackTest, TemporaryNamesSkipTakenOnesAndAreRemoved) {
  for (int i = 0; i < 5; ++i) {
    char n[32];
    std::snprintf(n, sizeof n, "QoTmp%03d.QoPack", i);
    WriteFile(n, {1});
  }
  TQoPack pack;
  std::string t;
  ASSERT_TRUE(pack.MakeTempFile(t));
  EXPECT_EQ(t, dir + "/QoTmp005.QoPack");
  EXPECT_TRUE(fs::exists(t));  // claimed: nobody else gets this name now
  std::string second;
  ASSERT_TRUE(pack.MakeTempFile(second));
  EXPECT_EQ(second, dir + "/QoTmp006.QoPack");
  fs::remove(t);
  fs::remove(second);
  pack.SetReadOnly(false);
  ASSERT_TRUE(pack.NewPack(Path("t.pak").c_str()));
  const std::string src = WriteFile("src", Text(20000));
  ASSERT_TRUE(pack.AddFile("T", src.c_str(), 2, true));
  EXPECT_FALSE(fs::exists(t));
  EXPECT_TRUE(fs::exists(dir + "/QoTmp004.QoPack"));
  // With every name taken there is no temporary file and the coded add fails with its message.
  for (int i = 5; i < 1000; ++i) {
    char n[32];
    std::snprintf(n, sizeof n, "QoTmp%03d.QoPack", i);
    WriteFile(n, {1});
  }
  EXPECT_FALSE(pack.MakeTempFile(t));
  EXPECT_FALSE(pack.AddFile("U", src.c_str(), 1, true));
  ASSERT_EQ(platform.exceptions.size(), 1u);
  EXPECT_EQ(platform.exceptions[0], SJS("テンポラリファイルが作れません。"));
  EXPECT_TRUE(pack.AddFile("U", src.c_str(), 0, true));  // storing needs no temporary file
}

// Programs compressing side by side each claim their own temporary file.
TEST_F(PackTest, TemporaryNamesAreNeverSharedBetweenThreads) {
  constexpr int kThreads = 8;
  constexpr int kEach = 20;
  std::vector<std::vector<std::string>> names(kThreads);
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.emplace_back([&names, i] {
      TQoPack pack;
      for (int k = 0; k < kEach; ++k) {
        std::string t;
        if (pack.MakeTempFile(t)) names[i].push_back(t);
      }
    });
  }
  for (auto& th : threads) th.join();
  std::set<std::string> all;
  for (const auto& v : names) {
    EXPECT_EQ(v.size(), static_cast<size_t>(kEach));
    all.insert(v.begin(), v.end());
  }
  EXPECT_EQ(all.size(), static_cast<size_t>(kThreads * kEach));
}

TEST_F(PackTest, AddPackCopiesStoredBytesAndRefusesItself) {
  const Bytes t = Text(40000);
  const std::string p = Build("src.pak", {{"V", t, 1}, {"C", t, 2}, {"I", Text(33), 3}});
  TQoPack src;
  src.SetCrcMode(cmEachFile);
  ASSERT_TRUE(src.OpenPack(p));
  TQoPack dst;
  dst.SetReadOnly(false);
  ASSERT_TRUE(dst.NewPack(Path("dst.pak").c_str()));
  EXPECT_TRUE(dst.AddPack("V2.DAT", &src, "v"));
  EXPECT_TRUE(dst.AddPack("C2.DAT", &src, "C"));
  EXPECT_TRUE(dst.AddPack("I2.DAT", &src, "I"));
  EXPECT_FALSE(dst.AddPack("v2.dat", &src, "V"));
  EXPECT_FALSE(dst.AddPack("X", &src, "missing"));
  EXPECT_FALSE(dst.AddPack("X", &dst, "V2.DAT"));
  EXPECT_FALSE(dst.AddPack("X", nullptr, "V"));
  EXPECT_FALSE(dst.AddPack("", &src, "V"));
  EXPECT_TRUE(platform.exceptions.empty());
  dst.ClosePack();
  TQoPack back;
  back.SetCrcMode(cmPackAll);
  ASSERT_TRUE(back.OpenPack(Path("dst.pak")));
  EXPECT_EQ(back.GetFileNum(), 3);
  EXPECT_EQ(back.Record(0)->Comp, 1);
  EXPECT_EQ(back.Record(0)->CompSize, src.Record(0)->CompSize);
  EXPECT_EQ(back.Record(0)->Crc, src.Record(0)->Crc);
  EXPECT_EQ(back.Record(1)->Time.Value(), src.Record(1)->Time.Value());
  back.SetCrcMode(cmEachFile);
  EXPECT_EQ(ReadEntry(back, "V2.DAT"), t);
  EXPECT_EQ(ReadEntry(back, "C2.DAT"), t);
  EXPECT_EQ(ReadEntry(back, "I2.DAT"), Text(33));
}

TEST_F(PackTest, CopiesReportShortTransfersAndFilesPast2GiBAreRefused) {
  TQoPack pack;
  TQoMemoryStream src, dst;
  const Bytes d = Text(10);
  src.Write(d.data(), 10);
  src.Seek(0, kSoFromBeginning);
  bool ok = true;
  pack.FileCopy(&dst, &src, 20, false, &ok);
  EXPECT_FALSE(ok);
  src.Seek(0, kSoFromBeginning);
  TQoMemoryStream dst2;
  Bytes inv = d;
  for (auto& c : inv) c = static_cast<uint8_t>(~c);
  EXPECT_EQ(pack.FileCopy(&dst2, &src, 10, true, &ok), RefCrc(inv));
  EXPECT_TRUE(ok);
  EXPECT_EQ(Bytes(dst2.Memory(), dst2.Memory() + dst2.GetSize()), inv);

  // A sparse 3 GiB file costs no disk and is refused before a byte is copied.
  const std::string huge = Path("huge");
  { std::ofstream(huge, std::ios::binary).put('x'); }
  ASSERT_EQ(truncate(huge.c_str(), 3LL << 30), 0);
  pack.SetReadOnly(false);
  ASSERT_TRUE(pack.NewPack(Path("big.pak").c_str()));
  EXPECT_FALSE(pack.AddFile("HUGE", huge.c_str(), 0, false));
  EXPECT_EQ(pack.GetFileNum(), 0);
  pack.ClosePack();
  EXPECT_EQ(fs::file_size(Path("big.pak")), 18u);
}

TEST_F(PackTest, SingleTransfersCountWhatMoved) {
  TQoPack pack;
  TQoMemoryStream m;
  m.Write("abcdef", 6);
  m.Seek(0, kSoFromBeginning);
  char buf[16];
  int count = -1;
  EXPECT_TRUE(pack.StreamRead(&m, buf, 4, &count));
  EXPECT_EQ(count, 4);
  EXPECT_FALSE(pack.StreamRead(&m, buf, 4, &count));
  EXPECT_EQ(count, 2);
  EXPECT_TRUE(pack.StreamRead(&m, buf, 0, &count));
  EXPECT_EQ(count, 0);
  EXPECT_FALSE(pack.StreamRead(nullptr, buf, 1, &count));
  EXPECT_TRUE(pack.StreamWrite(&m, "xy", 2, &count));
  EXPECT_EQ(count, 2);
  EXPECT_EQ(m.GetSize(), 8);
}

TEST_F(PackTest, WritingReportsProgressAndTheNewArchiveKeepsItsVersion) {
  TQoPack pack;
  pack.SetReadOnly(false);
  std::vector<int> seen;
  pack.OnProgress = [&](TQoComponent*) { seen.push_back(pack.GetProgress()); };
  ASSERT_TRUE(pack.NewPack(Path("pg.pak").c_str()));
  const std::string src = WriteFile("src", Text(100000));
  ASSERT_TRUE(pack.AddFile("P", src.c_str(), 0, false));
  // A stored copy of 100000 bytes: 0, then after each 32 KiB chunk, then 100 before the rest.
  EXPECT_EQ(seen, (std::vector<int>{0, 32, 65, 98, 100}));
  seen.clear();
  pack.ClosePack();
  EXPECT_EQ(seen, (std::vector<int>{0, 100}));
  Bytes b = ReadFile(Path("pg.pak"));
  EXPECT_EQ(b[6], 0x00);
  EXPECT_EQ(b[7], 0x03);
}

// A stream over memory whose operations fail from a chosen one on (counted from Arm): reads and
// writes then move nothing and seeks answer -1, as on a full or failing disc.
class TFailingStream : public TQoStream {
 public:
  int64_t Read(void* buffer, int64_t n) override { return Fails() ? 0 : mem.Read(buffer, n); }
  int64_t Write(const void* buffer, int64_t n) override { return Fails() ? 0 : mem.Write(buffer, n); }
  int64_t Seek(int64_t offset, int origin) override { return Fails() ? -1 : mem.Seek(offset, origin); }
  int64_t GetSize() override { return mem.GetSize(); }
  bool SetSize(int64_t size) override { return mem.SetSize(size); }
  void Arm(int allowed) {
    allowed_ = allowed;
    ops_ = 0;
  }
  Bytes Contents() { return Bytes(mem.Memory(), mem.Memory() + mem.GetSize()); }
  TQoMemoryStream mem;

 private:
  bool Fails() { return allowed_ >= 0 && ops_++ >= allowed_; }
  int allowed_ = -1;
  int ops_ = 0;
};

TEST_F(PackTest, AFailedRewriteAtClosingIsReportedAtEveryStep) {
  const std::string coded = WriteFile("coded", Text(70000));
  const std::string stored = WriteFile("stored", Picture(5000));
  auto start = [&](TQoPack& pack, TFailingStream& stream) {
    pack.SetReadOnly(false);
    ASSERT_TRUE(pack.NewPackStream(&stream));
    ASSERT_TRUE(pack.AddFile("C.BMP", coded.c_str(), kQoMethodVarnel, false));
    ASSERT_TRUE(pack.AddFile("S.BMP", stored.c_str(), kQoMethodStore, false));
  };
  TFailingStream sound;
  Bytes expected;
  {
    TQoPack pack;
    start(pack, sound);
    ASSERT_TRUE(pack.ClosePack());
    expected = sound.Contents();
  }
  EXPECT_TRUE(platform.boxes.empty());
  const size_t dataEnd = expected.size() - 2 * kQoFileTableSize - 2;

  // The rewrite's steps: seek and write the header, seek and write the table, the CRC pass (seek,
  // one read), seek and write the trailer. A failure at any of them is reported, never silent.
  int failures = 0;
  for (int allowed = 0; allowed < 20; ++allowed) {
    TFailingStream stream;
    TQoPack pack;
    start(pack, stream);
    platform.boxes.clear();
    stream.Arm(allowed);
    const bool closed = pack.ClosePack();
    EXPECT_FALSE(pack.IsOpen()) << allowed;
    const Bytes bytes = stream.Contents();
    if (closed) {
      EXPECT_TRUE(platform.boxes.empty());
      EXPECT_EQ(bytes, expected) << "the first close that can finish writes the whole archive";
      break;
    }
    ++failures;
    EXPECT_EQ(platform.boxes, std::vector<std::string>{SJS("ｴﾗｰ") + "|" + SJS("Packﾌｧｲﾙを書き込めませんでした。")})
        << allowed;
    // The entries' stored bytes are never touched by a failed rewrite.
    ASSERT_GE(bytes.size(), dataEnd) << allowed;
    EXPECT_TRUE(
        std::equal(bytes.begin() + kQoPackHeaderSize, bytes.begin() + dataEnd, expected.begin() + kQoPackHeaderSize))
        << allowed;
  }
  EXPECT_EQ(failures, 8);
  // A closed archive or one never changed has nothing to write.
  TQoPack idle;
  EXPECT_TRUE(idle.ClosePack());
}

// ---------------------------------------------------------------------------------------------
// Damaged archives: bounded random damage must never crash or hand out wrong sizes
// ---------------------------------------------------------------------------------------------

TEST_F(PackTest, RandomDamageNeverCrashes) {
  const std::string p = Build("dmg.pak", {{"T.TXT", Text(3000), 1},
                                          {"C.BIN", Picture(9000), 2},
                                          {"I.BIN", Random(500, 9), 3},
                                          {"S.BIN", Text(700), 0},
                                          {"V.BIN", Picture(40000), 1}});
  const Bytes good = ReadFile(p);
  std::mt19937 g(12345);
  int opened = 0;
  for (int round = 0; round < 400; ++round) {
    Bytes b = good;
    const int kind = round % 4;
    if (kind == 3) {
      b.resize(g() % b.size());
    } else {
      const int flips = 1 + static_cast<int>(g() % 8);
      for (int k = 0; k < flips; ++k) {
        // Aim half the damage at the header and the table, where the sizes live.
        size_t at = g() % b.size();
        if (kind == 1) at = (g() % 2) ? g() % 16 : b.size() - 2 - g() % (5 * 48);
        b[at] = static_cast<uint8_t>(kind == 2 ? g() : b[at] ^ (1u << (g() % 8)));
      }
    }
    TQoMemoryStream ms;
    ms.Write(b.data(), static_cast<int64_t>(b.size()));
    TQoPack pack;
    pack.SetCrcMode(static_cast<TCrcMode>(round % 3));
    if (!pack.LoadPackStream(&ms)) continue;
    for (int i = 0; i < pack.GetFileNum(); ++i) {
      char name[26];
      ASSERT_TRUE(pack.GetFileName(i, name));
      EXPECT_LT(std::strlen(name), 26u);
      auto s = pack.QoMakeStream(name);
      if (s) {
        ++opened;
        const int first = pack.CheckFileName(name);  // names may repeat after damage
        ASSERT_GE(first, 0);
        EXPECT_EQ(s->GetSize(), pack.Record(first)->Size);
      }
      QoFILE* h = pack.QofopenComp(name, (round & 1) != 0);
      if (h != nullptr) {
        Bytes buf(64);
        pack.Qofseek(h, static_cast<int>(g() % 100000), 0);
        pack.Qofread(buf.data(), 16, 4, h);
        pack.Qofclose(h);
      }
    }
  }
  EXPECT_GT(opened, 0);
}
