// The data-file opener: folder and archive sources, the list of streams handed out, and the
// report of streams never given back.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "qolib/pack/Qofileman.h"
#include "support/Scratch.h"

using namespace vdmq;
namespace fs = std::filesystem;

namespace {

class FileManTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(dir + "/A.DAT") << "alpha";
    std::ofstream(dir + "/B.DAT") << "bravo!";
    // An archive with one entry made from A.DAT.
    TQoPack pack;
    pack.SetReadOnly(false);
    EXPECT_TRUE(pack.NewPack((dir + "/P.PAK").c_str()));
    EXPECT_TRUE(pack.AddFile("A.DAT", (dir + "/A.DAT").c_str(), 1, false));
  }
  static std::string Content(TQoStream* s) {
    std::string out(static_cast<size_t>(s->GetSize()), '\0');
    s->Seek(0, kSoFromBeginning);
    s->Read(out.data(), static_cast<int64_t>(out.size()));
    return out;
  }
  test::TScratch scratch{"fileman"};
  const std::string dir = scratch.Path();
};

}  // namespace

TEST_F(FileManTest, FolderSourceKeepsOneBackslash) {
  TFileMan fm;
  EXPECT_EQ(fm.Open("A.DAT"), nullptr);  // not ready
  EXPECT_TRUE(fm.InitDir(dir));
  EXPECT_EQ(fm.GetDir(), dir);
  EXPECT_FALSE(fm.ChkIsPack());
  TQoStream* s = fm.Open("A.DAT");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(Content(s), "alpha");
  EXPECT_EQ(fm.Open("MISSING.DAT"), nullptr);
  fm.Close(s);
  EXPECT_EQ(s, nullptr);
  EXPECT_TRUE(fm.PointerList().empty());
  fm.Close(s);  // a null pointer does nothing

  fm.SetDir(dir + "\\");
  EXPECT_EQ(fm.GetDir(), dir);  // exactly one backslash kept
  s = fm.Open("B.DAT");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(Content(s), "bravo!");
  fm.Close(s);

  // A double-byte letter whose second byte is the backslash code is no backslash.
  fm.InitDir("dir\x83\x5C");
  EXPECT_EQ(fm.GetDir(), "dir\x83\x5C");
  // An empty folder: ready, names relative to the current folder.
  EXPECT_TRUE(fm.InitDir(""));
  EXPECT_TRUE(fm.IsReady());
  EXPECT_EQ(fm.GetDir(), "");
  const fs::path cwd = fs::current_path();
  fs::current_path(dir);
  s = fm.Open("A.DAT");
  fs::current_path(cwd);
  ASSERT_NE(s, nullptr);
  fm.Close(s);
  fm.Finish();
  EXPECT_FALSE(fm.IsReady());
  EXPECT_EQ(fm.Open("A.DAT"), nullptr);
}

TEST_F(FileManTest, ArchiveSourcesOwnedAndBorrowed) {
  TFileMan fm;
  EXPECT_FALSE(fm.InitPack(dir + "/A.DAT"));  // not an archive
  EXPECT_FALSE(fm.IsReady());
  ASSERT_TRUE(fm.InitPack(dir + "/P.PAK"));
  EXPECT_TRUE(fm.ChkIsPack());
  TQoPack* first = fm.GetPack();
  EXPECT_EQ(first->Owner(), &fm);
  TQoStream* s = fm.Open("a.dat");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(Content(s), "alpha");
  EXPECT_EQ(fm.Open("B.DAT"), nullptr);
  // A second InitPack frees the first archive before making the next; the stream stays valid.
  ASSERT_TRUE(fm.InitPack(dir + "/P.PAK"));
  EXPECT_EQ(Content(s), "alpha");
  fm.Close(s);

  // A borrowed archive: freeing it leaves the opener not ready.
  auto* pack = new TQoPack;
  ASSERT_TRUE(pack->OpenPack(dir + "/P.PAK"));
  fm.SetPack(pack);
  EXPECT_EQ(fm.GetPack(), pack);
  s = fm.Open("A.DAT");
  ASSERT_NE(s, nullptr);
  fm.Close(s);
  delete pack;
  EXPECT_EQ(fm.GetPack(), nullptr);
  EXPECT_FALSE(fm.IsReady());
  EXPECT_EQ(fm.Open("A.DAT"), nullptr);
  EXPECT_FALSE(fm.InitPack(static_cast<TQoPack*>(nullptr)));

  // A borrowed archive outlives an opener that is destroyed first.
  TQoPack kept;
  ASSERT_TRUE(kept.OpenPack(dir + "/P.PAK"));
  {
    TFileMan other;
    other.SetPack(&kept);
  }
  EXPECT_TRUE(kept.IsOpen());
}

namespace {
// Two distinct call sites of Open.
__attribute__((noinline)) TQoStream* OpenHere(TFileMan& fm) { return fm.Open("A.DAT"); }
__attribute__((noinline)) TQoStream* OpenThere(TFileMan& fm) { return fm.Open("B.DAT"); }
}  // namespace

TEST_F(FileManTest, StreamsNotGivenBackAreReportedAtDestruction) {
  std::vector<std::string> lines;
  TQoStream* kept = nullptr;
  const void* keptCaller = nullptr;
  {
    TFileMan fm;
    fm.InitDir(dir);
    TQoStream* a = OpenHere(fm);
    kept = OpenThere(fm);
    ASSERT_EQ(fm.PointerList().size(), 2u);
    EXPECT_NE(fm.PointerList()[0].Caller, fm.PointerList()[1].Caller);
    keptCaller = fm.PointerList()[1].Caller;
    fm.Close(a);
    EXPECT_FALSE(fm.DelPointerList(TFilePointer{a, nullptr}));
    fm.OnError = [&](TFileMan*, const std::string& mes) { lines.push_back(mes); };
  }
  ASSERT_EQ(lines.size(), 1u);
  char want[64];
  std::snprintf(want, sizeof want, "%08lx:Call(%08lx)", reinterpret_cast<unsigned long>(kept),
                reinterpret_cast<unsigned long>(keptCaller));
  EXPECT_EQ(lines[0], want);
  // The stream itself was not freed: it is still readable.
  EXPECT_EQ(Content(kept), "bravo!");
  delete kept;

  // A handler that throws hands the text to the exception display and the walk goes on.
  struct Shown : TQoPlatform {
    std::vector<std::string> texts;
    void ShowException(const std::string& t) override { texts.push_back(t); }
  } shown;
  SetQoPlatform(&shown);
  std::vector<TQoStream*> leaked;
  int calls = 0;
  {
    TFileMan fm;
    fm.InitDir(dir);
    leaked.push_back(fm.Open("A.DAT"));
    leaked.push_back(fm.Open("B.DAT"));
    fm.OnError = [&](TFileMan*, const std::string&) {
      ++calls;
      throw std::runtime_error("handler failed");
    };
  }
  SetQoPlatform(nullptr);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(shown.texts, (std::vector<std::string>{"handler failed", "handler failed"}));
  for (TQoStream* s : leaked) delete s;
}
