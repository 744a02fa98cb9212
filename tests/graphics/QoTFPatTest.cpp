// Letter renderer: patterns of half- and full-width letters, stepping through texts, index limits,
// colours, sizes through the font, and texts that end inside a double-byte character.
#include <gtest/gtest.h>

#include "platform/base/Sjis.h"
#include "platform/core/FontEngine.h"
#include "qolib/graphics/QoTFPat.h"

using namespace vdmq;

namespace {

const TQoRGB kBlack{0, 0, 0}, kWhite{255, 255, 255};

// Number of pattern pixels in colour c.
int Count(const TTrueFontPat& p, const TQoRGB& c) {
  int n = 0;
  for (int i = 0; i < p.Size() * p.Size(); ++i) n += p.Pattern()[i] == c;
  return n;
}

// Column span [first, last] of foreground pixels (-1, -1 when none).
std::pair<int, int> InkColumns(const TTrueFontPat& p) {
  int lo = -1, hi = -1;
  for (int y = 0; y < p.Size(); ++y)
    for (int x = 0; x < p.Size(); ++x)
      if (p.Pattern()[y * p.Size() + x] == kBlack) {
        if (lo < 0 || x < lo) lo = x;
        hi = std::max(hi, x);
      }
  return {lo, hi};
}

std::vector<TQoRGB> Copy(const TTrueFontPat& p) {
  return std::vector<TQoRGB>(p.Pattern(), p.Pattern() + p.Size() * p.Size());
}

}  // namespace

TEST(TrueFontPat, StepsThroughHalfWidthLetters) {
  TTrueFontPat p;
  int changes = 0;
  p.OnChange = [&](TQoComponent* s) {
    EXPECT_EQ(s, &p);
    ++changes;
  };
  EXPECT_EQ(p.Size(), 32);
  EXPECT_EQ(p.GetForeD(), 0);
  EXPECT_EQ(p.GetBackD(), 0xFFFFFF);
  p.SetText("AB");
  EXPECT_EQ(p.Index(), 1);
  EXPECT_EQ(changes, 1);
  const auto a = Copy(p);
  const int inkA = Count(p, kBlack);
  EXPECT_GT(inkA, 20);
  // A half-width letter keeps to the left half of the square.
  EXPECT_LT(InkColumns(p).second, 16);
  EXPECT_EQ(p.NextLetter(), 2);
  EXPECT_GT(Count(p, kBlack), 20);
  EXPECT_NE(Copy(p), a);
  EXPECT_EQ(p.NextLetter(), 0);
  EXPECT_EQ(Count(p, kWhite), 32 * 32);
  EXPECT_EQ(p.NextLetter(), 0);
  EXPECT_EQ(changes, 3);  // a step past the end draws nothing new
}

TEST(TrueFontPat, DoubleByteLetterIsOneLetterWiderThanHalf) {
  TTrueFontPat p;
  p.SetText(SJS("漢"));
  ASSERT_EQ(p.Text().size(), 2u);
  EXPECT_EQ(p.Index(), 1);
  const auto full = InkColumns(p);
  EXPECT_GT(full.second, 16);  // reaches into the right half
  const auto pattern = Copy(p);
  // Starting on the trail byte draws the same letter.
  p.SetIndex(2);
  EXPECT_EQ(Copy(p), pattern);
  EXPECT_EQ(p.NextLetter(), 0);
  // Mixed text: half-width, full-width, half-width.
  p.SetText(SJS("aあb"));
  EXPECT_EQ(p.NextLetter(), 2);
  EXPECT_EQ(p.NextLetter(), 4);
  EXPECT_EQ(p.NextLetter(), 0);
}

TEST(TrueFontPat, TextEndingInCutDoubleByteCharacter) {
  TTrueFontPat p;
  // "A" followed by a lone lead byte: the second letter has no character and is never read past.
  std::string text = "A";
  text.push_back(static_cast<char>(0x88));
  p.SetText(text);
  EXPECT_GT(Count(p, kBlack), 0);
  EXPECT_EQ(p.NextLetter(), 2);
  EXPECT_EQ(Count(p, kWhite), 32 * 32);
  EXPECT_EQ(p.NextLetter(), 0);
  // Only the lone lead byte.
  p.SetText(std::string(1, static_cast<char>(0x93)));
  EXPECT_EQ(Count(p, kWhite), 32 * 32);
  EXPECT_EQ(p.NextLetter(), 0);
}

TEST(TrueFontPat, IndexLimitsAndEmptyText) {
  TTrueFontPat p;
  p.SetText("ABC");
  p.SetIndex(5);
  EXPECT_EQ(p.Index(), 3);
  p.SetIndex(0);
  EXPECT_EQ(p.Index(), 1);
  p.SetText("");
  EXPECT_EQ(p.Index(), 0);
  EXPECT_EQ(Count(p, kWhite), 32 * 32);
  EXPECT_EQ(p.NextLetter(), 0);
  p.SetIndex(4);
  EXPECT_EQ(p.Index(), 0);
}

TEST(TrueFontPat, ColoursRepaintWithoutRedrawing) {
  TTrueFontPat p;
  p.SetText("W");
  const int ink = Count(p, kBlack);
  ASSERT_GT(ink, 0);
  p.SetForeD(0x0000FF);
  EXPECT_EQ(p.GetForeD(), 0x0000FF);
  EXPECT_EQ(Count(p, TQoRGB(0, 0, 255)), ink);
  EXPECT_EQ(Count(p, kBlack), 0);
  p.SetBackD(0x102030);
  EXPECT_EQ(Count(p, TQoRGB(0x10, 0x20, 0x30)), 32 * 32 - ink);
  // The surface keeps the letter as palette indices 0 on a white index.
  const TQoDib& s = p.Surface();
  RGBQUAD q0{}, q7{};
  s.AskPal1(0, &q0);
  s.AskPal1(7, &q7);
  EXPECT_EQ(q0.rgbRed + q0.rgbGreen + q0.rgbBlue, 0);
  EXPECT_EQ(q7.rgbRed + q7.rgbGreen + q7.rgbBlue, 3 * 255);
}

TEST(TrueFontPat, SizeFollowsTheFontAndFontStaysBlack) {
  TTrueFontPat p;
  p.SetText(SJS("字"));
  const int ink32 = Count(p, kBlack);
  p.GetFont().SetHeight(-48);
  EXPECT_EQ(p.Size(), 48);
  EXPECT_EQ(p.Surface().Width(), 48);
  // The whole new square is drawn: the bigger letter has more ink and reaches past 32 pixels.
  EXPECT_GT(Count(p, kBlack), ink32);
  EXPECT_GT(InkColumns(p).second, 32);
  EXPECT_EQ(Count(p, kBlack) + Count(p, kWhite), 48 * 48);
  // A red font given through SetFont draws in black.
  TFont red = p.GetFont().Value();
  red.Color = clRed;
  p.SetFont(red);
  EXPECT_EQ(p.GetFont().Color(), clBlack);
  p.SetText("X");
  EXPECT_GT(Count(p, kBlack), 0);
  // Sizes below 1 and absurd sizes change nothing.
  p.SetSize(0);
  p.SetSize(-5);
  p.SetSize(1 << 20);
  EXPECT_EQ(p.Size(), 48);
  p.SetSize(16);
  EXPECT_EQ(p.GetFont().Height(), -16);
  EXPECT_EQ(Count(p, kBlack) + Count(p, kWhite), 16 * 16);
}

TEST(TrueFontPat, RandomTextsStayInsideTheirBytes) {
  // Random bytes, stepped through completely: every letter visited once, no read past the end
  // (the sanitizer build checks the reads).
  std::uint32_t seed = 12345;
  for (int round = 0; round < 40; ++round) {
    std::string text;
    const int n = 1 + round % 7;
    for (int i = 0; i < n; ++i) {
      seed = seed * 1103515245 + 12345;
      text.push_back(static_cast<char>((seed >> 16) & 0xFF));
    }
    TTrueFontPat p;
    p.SetSize(8);
    p.SetText(text);
    int steps = 1;
    int last = p.Index();
    while (p.NextLetter() != 0) {
      EXPECT_GT(p.Index(), last);
      last = p.Index();
      ASSERT_LE(++steps, n);
    }
    EXPECT_EQ(static_cast<size_t>(steps), SjisLetters(text).size()) << round;
  }
}
