// The headless back end: screenshots, picture comparison, the message box answered by the driver.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/base/Sjis.h"
#include "platform/core/MessageDialog.h"
#include "platform/headless/PngFile.h"
#include "platform/headless/TestKit.h"
#include "support/Scratch.h"

using namespace vdmq;

namespace {

std::string TempPath(const char* name) {
  static test::TScratch scratch("plat");
  return scratch / name;
}

TEST(HeadlessTest, PngRoundTripAndComparison) {
  TPixmap p(7, 5, 0x123456);
  p.SetPixel(3, 2, 0xFF0000);
  const std::string path = TempPath("round.png");
  ASSERT_TRUE(SavePng(path, p));
  TPixmap q;
  ASSERT_TRUE(LoadPng(path, q));
  EXPECT_EQ(ComparePixmaps(p, q), 0);
  q.SetPixel(0, 0, 0x123457);
  EXPECT_EQ(ComparePixmaps(p, q), 1);
  EXPECT_EQ(ComparePixmaps(p, q, 1), 0);
  // A 24-bit block with its pitch columns.
  const int pitch = Bgr24PitchPixels(5) * 3;
  std::vector<std::uint8_t> bits(static_cast<size_t>(pitch) * 2, 0);
  bits[2] = 255;  // pixel (0,0) red
  ASSERT_TRUE(SavePngBgr(path, TBgrBlock{bits.data(), 5, 2, pitch}));
  ASSERT_TRUE(LoadPng(path, q));
  EXPECT_EQ(q.Width(), 5);
  EXPECT_EQ(q.Pixel(0, 0), 0xFF0000u);
  std::filesystem::remove(path);
}

TEST(HeadlessTest, DamagedOrMissingPngIsRefused) {
  TPixmap q;
  EXPECT_FALSE(LoadPng(TempPath("missing.png"), q));
  const std::string path = TempPath("bad.png");
  TPixmap p(40, 40, 0xABCDEF);
  ASSERT_TRUE(SavePng(path, p));
  std::filesystem::resize_file(path, std::filesystem::file_size(path) / 2);
  EXPECT_FALSE(LoadPng(path, q));
  {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << "\x89PNG\r\n\x1a\n garbage";
  }
  EXPECT_FALSE(LoadPng(path, q));
  std::filesystem::remove(path);
}

TEST(HeadlessTest, MessageBoxAnsweredByTheDriverFromANestedLoop) {
  THeadlessSession session;
  TForm* main = nullptr;
  App().CreateForm(main);
  main->Show();
  std::vector<std::string> texts;
  session.Backend.Driver = [&] {
    auto* box = dynamic_cast<TMessageForm*>(TopModal());
    if (!box) return false;
    auto* label = Find<TLabel>(box, "Message");
    texts.push_back(label ? label->Caption() : "");
    EXPECT_EQ(box->ButtonCount(), 2);
    Click(box->Button(1), mbLeft, false);  // Cancel
    return true;
  };
  int answer = 0;
  TForm* outer = nullptr;
  App().CreateForm(outer);
  outer->OnShow = [&](TComponent*) {
    App().PostCall([&] {
      answer = App().MessageBox(SJS("1枚めのＣＤ－ＲＯＭを\n挿入してください。"), SJS("CD-ROMの交換"), MB_OKCANCEL);
      outer->ModalResult = mrOk;
    });
  };
  EXPECT_EQ(outer->ShowModal(), mrOk);
  EXPECT_EQ(answer, IDCANCEL);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0], SJS("1枚めのＣＤ－ＲＯＭを\n挿入してください。"));
  // Enter answers OK; a one-button box answers OK however it is closed.
  session.Backend.Driver = [&] {
    if (!TopModal()) return false;
    PressKey(VK_RETURN, 0, false);
    return true;
  };
  EXPECT_EQ(App().MessageBox("x", "y", MB_OKCANCEL), IDOK);
  session.Backend.Driver = [&] {
    if (!TopModal()) return false;
    PressKey(VK_ESCAPE, 0, false);
    return true;
  };
  EXPECT_EQ(App().MessageBox("x", "y", MB_OK), IDOK);
}

TEST(HeadlessTest, ScreenshotShowsTheWindowsAndSleepIsLogged) {
  THeadlessSession session;
  TForm* f = nullptr;
  App().CreateForm(f);
  f->SetBorderStyle(bsNone);
  f->SetBounds(10, 20, 50, 40);
  f->SetColor(clBlue);
  f->Show();
  const std::string path = TempPath("screen.png");
  ASSERT_TRUE(SaveScreen(path));
  TPixmap q;
  ASSERT_TRUE(LoadPng(path, q));
  EXPECT_EQ(q.Width(), 800);
  EXPECT_EQ(q.Pixel(30, 30), 0x0000FFu);
  EXPECT_EQ(q.Pixel(5, 5), 0u);
  std::filesystem::remove(path);
  Sleep(100);
  Sleep(100);
  EXPECT_EQ(session.Backend.Log, (std::vector<std::string>{"sleep 100", "sleep 100"}));
  Desktop().SetCursor(TCursorShape::HourGlass);
  EXPECT_EQ(session.Backend.CursorShape(), TCursorShape::HourGlass);
}

}  // namespace
