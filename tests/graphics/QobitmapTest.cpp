#include "qolib/graphics/Qobitmap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace vdmq {
namespace {

TEST(TQoRGB, PackedFormAndByteOrder) {
  TQoRGB c(0x00123456ul);
  EXPECT_EQ(c.b, 0x56);
  EXPECT_EQ(c.g, 0x34);
  EXPECT_EQ(c.r, 0x12);
  EXPECT_EQ(c.ToDWORD(), 0x00123456ul);
  EXPECT_EQ(TQoRGB(0xFF123456ul).ToDWORD(), 0x00123456ul);  // bits 24..31 ignored

  TQoRGB red(255, 0, 0);
  unsigned char bytes[3];
  std::memcpy(bytes, &red, 3);
  EXPECT_EQ(bytes[0], 0x00);
  EXPECT_EQ(bytes[1], 0x00);
  EXPECT_EQ(bytes[2], 0xFF);
}

TEST(TQoRGB, QuadConversions) {
  RGBQUAD q{1, 2, 3, 99};
  TQoRGB c(q);
  EXPECT_EQ(c, TQoRGB(3, 2, 1));
  RGBQUAD back = TQoRGB(200, 100, 50).ToRGBQUAD();
  EXPECT_EQ(back.rgbBlue, 50);
  EXPECT_EQ(back.rgbGreen, 100);
  EXPECT_EQ(back.rgbRed, 200);
  EXPECT_EQ(back.rgbReserved, 0);
  TQoRGB d;
  EXPECT_EQ(d, TQoRGB(0, 0, 0));
  d = q;
  EXPECT_EQ(d, TQoRGB(3, 2, 1));
  const unsigned long v = 0x00ABCDEF;
  d = v;
  EXPECT_EQ(d, TQoRGB(0xAB, 0xCD, 0xEF));
}

TEST(Zooming, EnlargesAndReducesNearest) {
  unsigned char two[2] = {'a', 'b'};
  unsigned char four[4] = {};
  Zooming(two, 2, 1, 2, four, 4, 1, 4);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(four), 4), "aabb");

  unsigned char src[4] = {'a', 'b', 'c', 'd'};
  unsigned char dst[2] = {};
  Zooming(src, 4, 1, 4, dst, 2, 1, 2);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(dst), 2), "bd");
}

TEST(Zooming, TwoDimensionsWithPitches) {
  // 2 x 2 source inside a pitch of 3, enlarged to 4 x 4 inside a pitch of 5.
  unsigned char src[6] = {1, 2, 99, 3, 4, 99};
  std::vector<unsigned char> dst(20, 0xEE);
  Zooming(src, 2, 2, 3, dst.data(), 4, 4, 5);
  const unsigned char want[4][4] = {{1, 1, 2, 2}, {1, 1, 2, 2}, {3, 3, 4, 4}, {3, 3, 4, 4}};
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) EXPECT_EQ(dst[y * 5 + x], want[y][x]) << x << "," << y;
    EXPECT_EQ(dst[y * 5 + 4], 0xEE);  // beyond the width: untouched
  }
}

TEST(Zooming24, EqualSizesCopyAndEmptySizesCopyNothing) {
  std::vector<TQoRGB> src = {TQoRGB(1, 2, 3), TQoRGB(4, 5, 6), TQoRGB(7, 8, 9)};
  std::vector<TQoRGB> dst(3);
  Zooming24(src.data(), 3, 1, 3, dst.data(), 3, 1, 3);
  EXPECT_EQ(dst, src);

  std::vector<TQoRGB> untouched(3, TQoRGB(9, 9, 9));
  Zooming24(src.data(), 0, 0, 3, untouched.data(), 0, 0, 3);
  Zooming24(src.data(), 3, 1, 3, untouched.data(), 0, 1, 3);
  Zooming24(src.data(), 3, -1, 3, untouched.data(), 3, 1, 3);
  EXPECT_EQ(untouched, std::vector<TQoRGB>(3, TQoRGB(9, 9, 9)));
}

}  // namespace
}  // namespace vdmq
