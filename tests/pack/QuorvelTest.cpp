// The utility unit: file-exists test, counter, random generator, rectangles, memory queries,
// document starter, font records, components and streams.

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/base/Sjis.h"
#include "qolib/pack/Quorvel.h"
#include "support/Scratch.h"

using namespace vdmq;
namespace fs = std::filesystem;

namespace {

class RecordingPlatform : public TQoPlatform {
 public:
  int shellResult = 42;
  std::vector<std::string> opened;  // "file|folder"
  std::vector<std::string> boxes;   // "caption|text"
  TQoLogFont lastFont;
  int MessageBox(const std::string& text, const std::string& caption, unsigned) override {
    boxes.push_back(caption + "|" + text);
    return 1;
  }
  int ShellOpen(const std::string& file, const std::string& folder) override {
    opened.push_back(file + "|" + folder);
    return shellResult;
  }
  TQoMemoryStatus MemoryStatus() override { return TQoMemoryStatus{8LL << 30, 1000, 1LL << 31, -5}; }
  void* CreateFont(const TQoLogFont& f) override {
    lastFont = f;
    return &lastFont;
  }
};

}  // namespace

TEST(FileIsExist, FilesYesFoldersAndMissingNo) {
  const test::TScratch scratch("quorvel");
  const std::string dir = scratch.Path();
  const std::string file = dir + "/A.DAT";
  std::ofstream(file) << "x";
  EXPECT_TRUE(FileIsExist(file.c_str()));
  EXPECT_FALSE(FileIsExist(dir.c_str()));
  EXPECT_FALSE(FileIsExist((dir + "/missing").c_str()));
  EXPECT_FALSE(FileIsExist(""));
  EXPECT_FALSE(FileIsExist(nullptr));
  // Program paths with "\" separators are mapped.
  fs::create_directory(dir + "/dat");
  std::ofstream(dir + "/dat/INIT.DAT") << "x";
  EXPECT_TRUE(FileIsExist((dir + "\\dat\\INIT.DAT").c_str()));
}

TEST(Counter, WrapsAndClamps) {
  TCounter c(10, 3);
  c.SetCount(8);
  EXPECT_TRUE(c.IncVal());
  EXPECT_EQ(c.GetCount(), 1);
  EXPECT_TRUE(c.DecVal());
  EXPECT_EQ(c.GetCount(), 0);
  EXPECT_TRUE(c.IsZero());
  EXPECT_TRUE(c.AddVal(25));  // one subtraction only
  EXPECT_EQ(c.GetCount(), 15);
  EXPECT_FALSE(c.AddVal(-20));
  EXPECT_EQ(c.GetCount(), -5);
  c.SetCount(4);
  EXPECT_FALSE(c.SubVal(4));
  EXPECT_EQ(c.GetCount(), 0);

  TCounter d;
  EXPECT_EQ(d.GetMaxVal(), 9999);
  EXPECT_EQ(d.GetAddVal(), 1);
  d.SetCount(20000);
  EXPECT_EQ(d.GetCount(), 9998);
  d.SetMaxVal(0);
  EXPECT_EQ(d.GetMaxVal(), 1);
  EXPECT_EQ(d.GetAddVal(), 1);
  EXPECT_EQ(d.GetCount(), 0);
  d.SetCount(-5);
  EXPECT_EQ(d.GetCount(), -5);
  d.SetAddVal(7);
  EXPECT_EQ(d.GetAddVal(), 1);
  d.SetAddVal(-3);
  EXPECT_EQ(d.GetAddVal(), 0);
  TCounter e(-4, 9);
  EXPECT_EQ(e.GetMaxVal(), 1);
  EXPECT_EQ(e.GetAddVal(), 1);
  TCounter big(INT_MAX);
  big.SetCount(INT_MAX - 1);
  EXPECT_FALSE(big.AddVal(0));
  EXPECT_TRUE(big.AddVal(INT_MAX));  // no overflow: wraps once
  EXPECT_EQ(big.GetCount(), INT_MAX - 1);
  TCounter copy = c;
  EXPECT_EQ(copy.GetMaxVal(), 10);
  EXPECT_EQ(copy.GetAddVal(), 3);
}

TEST(Random, FixedSequenceAndRanges) {
  TRandom r;
  EXPECT_EQ(r.Rnd(), 41491);
  EXPECT_EQ(r.Rnd(), 65347);
  EXPECT_EQ(r.Rnd(), 55669);

  TRandom a, b;
  for (int i = 0; i < 100; ++i) EXPECT_EQ(a.Random(1000), b.Random(1000));
  TRandom c = a;
  EXPECT_EQ(c.Rnd(), a.Rnd());

  // Random(1) takes one step; Random(0) takes none.
  TRandom p, q;
  EXPECT_EQ(p.Random(1), 0);
  q.Rnd();
  EXPECT_EQ(p.Rnd(), q.Rnd());
  EXPECT_EQ(p.Random(0), -1);
  EXPECT_EQ(p.Random(-7), -1);
  EXPECT_EQ(p.Rnd(), q.Rnd());

  TRandom g;
  std::vector<int> seen(7);
  for (int i = 0; i < 2000; ++i) {
    const int v = g.Random(7);
    ASSERT_GE(v, 0);
    ASSERT_LT(v, 7);
    ++seen[static_cast<size_t>(v)];
    const int n = g.NormalDistribution(3);
    ASSERT_GE(n, -3);
    ASSERT_LE(n, 3);
  }
  for (int s : seen) EXPECT_GT(s, 200);
  EXPECT_EQ(g.NormalDistribution(0), 0);
  EXPECT_EQ(g.NormalDistribution(65537), 0);
  const int wide = g.Random(100000);  // the mask is cut to 16 bits
  EXPECT_GE(wide, 0);
  EXPECT_LT(wide, 65536);
}

TEST(Rect, IntersectUnionSubtractAndContain) {
  TQoRect r = QoRect(1, 2, 3, 4);
  EXPECT_EQ(r.Left, 1);
  EXPECT_EQ(r.Bottom, 4);
  const TQoRect a = QoRect(0, 0, 10, 10);
  const TQoRect touching = QoRect(10, 0, 20, 10);
  EXPECT_FALSE(r.IntersectRect(&a, &touching));
  EXPECT_TRUE(r.IsRectEmpty());
  EXPECT_EQ(r.Right, 0);
  const TQoRect over = QoRect(5, -5, 15, 5);
  EXPECT_TRUE(r.IntersectRect(&a, &over));
  EXPECT_TRUE(r.EqualRect(&(const TQoRect&)QoRect(5, 0, 10, 5)));

  const TQoRect empty = QoRect(3, 3, 3, 9);
  EXPECT_TRUE(r.UnionRect(&a, &over));
  const TQoRect u = QoRect(0, -5, 15, 10);
  EXPECT_TRUE(r.EqualRect(&u));
  EXPECT_TRUE(r.UnionRect(&empty, &over));
  EXPECT_TRUE(r.EqualRect(&over));
  EXPECT_FALSE(r.UnionRect(&empty, &empty));
  EXPECT_TRUE(r.IsRectEmpty());

  TQoRect b1 = QoRect(-5, -5, 15, 4);
  EXPECT_TRUE(r.SubtractRect(&a, &b1));
  const TQoRect want1 = QoRect(0, 4, 10, 10);
  EXPECT_TRUE(r.EqualRect(&want1));
  TQoRect above = QoRect(-5, -20, 15, -10);
  r.SubtractRect(&a, &above);
  EXPECT_TRUE(r.EqualRect(&a));
  TQoRect inside = QoRect(2, -5, 8, 15);
  r.SubtractRect(&a, &inside);
  EXPECT_TRUE(r.EqualRect(&a));
  TQoRect bottom = QoRect(-1, 6, 11, 12);
  r.SubtractRect(&a, &bottom);
  const TQoRect want2 = QoRect(0, 0, 10, 6);
  EXPECT_TRUE(r.EqualRect(&want2));
  TQoRect right = QoRect(7, -1, 12, 11);
  r.SubtractRect(&a, &right);
  const TQoRect want3 = QoRect(0, 0, 7, 10);
  EXPECT_TRUE(r.EqualRect(&want3));
  TQoRect all = QoRect(-1, -1, 11, 11);
  r.SubtractRect(&a, &all);
  EXPECT_TRUE(r.IsRectEmpty());

  struct Pt {
    int x, y;
  };
  const Pt edge{10, 5}, in{9, 9};
  EXPECT_FALSE(a.InRect(&edge));
  EXPECT_TRUE(a.InRect(&in));
  const TQoRect in2 = QoRect(2, 2, 10, 10), out2 = QoRect(2, 2, 11, 10);
  EXPECT_TRUE(a.InRect(&in2));
  EXPECT_FALSE(a.InRect(&out2));

  TQoRect m = a;
  m.InflateRect(2, 3);
  const TQoRect infl = QoRect(-2, -3, 12, 13);
  EXPECT_TRUE(m.EqualRect(&infl));
  m.OffsetRect(2, 3);
  const TQoRect off = QoRect(0, 0, 14, 16);
  EXPECT_TRUE(m.EqualRect(&off));
  m.SetRectEmpty();
  EXPECT_TRUE(m.IsRectEmpty());
}

TEST(Platform, MemoryQueriesDocumentStarterAndFonts) {
  RecordingPlatform p;
  SetQoPlatform(&p);
  EXPECT_EQ(TotalPhysicalMemory(), INT_MAX);  // 8 GiB reads as the largest signed 32-bit value
  EXPECT_EQ(AvailPhysicalMemory(), 1000);
  EXPECT_EQ(TotalVirtualMemory(), INT_MAX);
  EXPECT_EQ(AvailVirtualMemory(), 0);

  QoFileExec("");
  EXPECT_TRUE(p.opened.empty());
  QoFileExec("C:\\doc\\readme.txt");
  QoFileExec("C:\\readme.txt");
  QoFileExec("readme.txt");
  EXPECT_EQ(p.opened, (std::vector<std::string>{"C:\\doc\\readme.txt|C:\\doc", "C:\\readme.txt|C:\\", "readme.txt|"}));
  EXPECT_TRUE(p.boxes.empty());
  p.shellResult = 2;
  QoFileExec("x.txt");
  p.shellResult = 31;
  QoFileExec("x.txt");
  p.shellResult = 17;
  QoFileExec("x.txt");
  ASSERT_EQ(p.boxes.size(), 3u);
  EXPECT_EQ(p.boxes[0], SJS("エラー") + "|" + SJS("指定されたファイルが見つかりませんでした。"));
  EXPECT_EQ(p.boxes[1],
            SJS("エラー") + "|" + SJS("指定されたファイル名拡張子には､ アプリケーションが関連付けられていません。"));
  EXPECT_EQ(p.boxes[2], SJS("エラー") + "|" + SJS("不明なエラー"));

  TQoFontDesc f;
  f.Height = -12;
  f.Style = kQoFsBold | kQoFsUnderline;
  f.Charset = 128;
  f.Name = "DEFAULT";
  f.Pitch = TQoFontPitch::fpFixed;
  ASSERT_NE(GetAntiAliasedFont(&f), nullptr);
  EXPECT_EQ(p.lastFont.Quality, 4);
  EXPECT_EQ(p.lastFont.FaceName, "MS UI Gothic");
  EXPECT_EQ(p.lastFont.Weight, 700);
  EXPECT_TRUE(p.lastFont.Underline);
  EXPECT_FALSE(p.lastFont.Italic);
  EXPECT_EQ(p.lastFont.PitchAndFamily, 1);
  EXPECT_EQ(p.lastFont.CharSet, 128);
  f.Name = std::string(40, 'N');
  f.Style = 0;
  f.Pitch = TQoFontPitch::fpVariable;
  GetNonAntiAliasedFont(&f);
  EXPECT_EQ(p.lastFont.Quality, 3);
  EXPECT_EQ(p.lastFont.FaceName.size(), 31u);
  EXPECT_EQ(p.lastFont.Weight, 400);
  EXPECT_EQ(p.lastFont.PitchAndFamily, 2);
  SetQoPlatform(nullptr);

  // Headless: no program is started; the failure shows (nowhere) and nothing crashes; no fonts.
  QoFileExec("x.txt");
  EXPECT_EQ(GetAntiAliasedFont(&f), nullptr);
  EXPECT_GT(TotalPhysicalMemory(), 0);
  EXPECT_GT(AvailVirtualMemory(), 0);
}

TEST(Component, OwnerFreesOwnedAndFreeNotificationTells) {
  struct Probe : TQoComponent {
    using TQoComponent::TQoComponent;
    std::vector<std::pair<TQoComponent*, TQoOperation>> seen;
    int* deaths = nullptr;
    ~Probe() override {
      if (deaths) ++*deaths;
    }
    void Notification(TQoComponent* c, TQoOperation op) override { seen.emplace_back(c, op); }
  };
  int deaths = 0;
  auto* owner = new Probe;
  auto* child = new Probe(owner);
  child->deaths = &deaths;
  EXPECT_EQ(child->Owner(), owner);
  ASSERT_EQ(owner->seen.size(), 1u);
  EXPECT_EQ(owner->seen[0].second, TQoOperation::opInsert);

  Probe watcher;
  auto* watched = new Probe;
  watched->FreeNotification(&watcher);
  delete watched;
  ASSERT_EQ(watcher.seen.size(), 1u);
  EXPECT_EQ(watcher.seen[0].second, TQoOperation::opRemove);

  // A watcher that goes first is no longer told (and nothing dangles).
  auto* w2 = new Probe;
  auto* target = new Probe;
  target->FreeNotification(w2);
  delete w2;
  delete target;

  delete owner;
  EXPECT_EQ(deaths, 1);
}

TEST(Streams, MemoryStreamGrowsWithZeros) {
  TQoMemoryStream m;
  EXPECT_TRUE(m.SetSize(5));
  EXPECT_EQ(m.GetSize(), 5);
  EXPECT_EQ(m.Memory()[4], 0);
  EXPECT_EQ(m.Seek(10, kSoFromBeginning), 10);
  const char x = 'x';
  EXPECT_EQ(m.Write(&x, 1), 1);
  EXPECT_EQ(m.GetSize(), 11);
  EXPECT_EQ(m.Memory()[7], 0);
  EXPECT_EQ(m.Seek(-1, kSoFromBeginning), -1);
  EXPECT_EQ(m.GetPosition(), 11);
  m.Seek(-1, kSoFromEnd);
  char c = 0;
  EXPECT_EQ(m.Read(&c, 5), 1);
  EXPECT_EQ(c, 'x');
  EXPECT_EQ(m.Read(&c, 1), 0);
  EXPECT_FALSE(m.SetSize(-1));
  m.SetSize(3);
  EXPECT_EQ(m.GetPosition(), 3);
  EXPECT_FALSE(m.ReadAll(&c, 1));
}

TEST(Streams, FileStreamModes) {
  const test::TScratch scratch("streams");
  const std::string dir = scratch.Path();
  const std::string p = dir + "/f.bin";
  EXPECT_EQ(TQoFileStream::Open(p, TQoFileMode::ReadDenyWrite), nullptr);
  {
    auto f = TQoFileStream::Open(p, TQoFileMode::Create);
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->WriteAll("hello", 5));
    uint64_t t = 0;
    EXPECT_TRUE(f->GetLastWriteTime(t));
    EXPECT_GT(t, QoUnixToFileTime(1500000000, 0));
  }
  {
    auto f = TQoFileStream::Open(p, TQoFileMode::ReadDenyWrite);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->GetSize(), 5);
    EXPECT_EQ(f->Write("x", 1), 0);  // read only
    char b[8] = {};
    EXPECT_EQ(f->Read(b, 8), 5);
    EXPECT_STREQ(b, "hello");
  }
  {
    auto f = TQoFileStream::Open(p, TQoFileMode::ReadWriteDenyWrite);
    ASSERT_NE(f, nullptr);
    f->Seek(0, kSoFromEnd);
    EXPECT_TRUE(f->WriteAll("!", 1));
    EXPECT_EQ(f->GetSize(), 6);
  }
  EXPECT_EQ(TQoFileStream::Open(dir, TQoFileMode::ReadDenyWrite), nullptr);
  EXPECT_EQ(QoUnixToFileTime(0, 0), 116444736000000000ULL);
}
