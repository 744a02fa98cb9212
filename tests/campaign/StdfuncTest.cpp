#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "campaign/Stdfunc.h"
#include "platform/base/Sjis.h"
#include "platform/base/StdRandom.h"
#include "support/KeyedBytes.h"

using namespace vdmq;
using vdmq::test::ErrorOf;

TEST(Stdfunc, LimitFundClampsToTheFundsRange) {
  EXPECT_EQ(LimitFund(1000000), 999999);
  EXPECT_EQ(LimitFund(999999), 999999);
  EXPECT_EQ(LimitFund(-1), 0);
  EXPECT_EQ(LimitFund(0), 0);
  EXPECT_EQ(LimitFund(12345), 12345);
  EXPECT_EQ(LimitFund(5000000000LL), 999999);  // sums beyond 32 bits
  EXPECT_EQ(LimitFund(-5000000000LL), 0);
}

TEST(Stdfunc, LimitAndGetMax) {
  EXPECT_EQ(Limit(5, 10, 1), 10);  // low above high: low wins for values below it
  EXPECT_EQ(Limit(20, 10, 1), 1);
  EXPECT_EQ(Limit(-3, 0, 100), 0);
  EXPECT_EQ(Limit(50, 0, 100), 50);
  EXPECT_EQ(Limit(100, 0, 100), 100);
  EXPECT_EQ(Limit(101, 0, 100), 100);
  EXPECT_EQ(GetMax(3, 7), 7);
  EXPECT_EQ(GetMax(7, 3), 7);
  EXPECT_EQ(GetMax(-2, -2), -2);
}

TEST(Stdfunc, ChkRandIsAPercentChance) {
  StdSrand(1);
  int hits50 = 0;
  for (int i = 0; i < 2000; ++i) {
    EXPECT_TRUE(ChkRand(150));
    EXPECT_TRUE(ChkRand(100));
    EXPECT_FALSE(ChkRand(0));
    EXPECT_FALSE(ChkRand(-20));
    hits50 += ChkRand(50);
  }
  EXPECT_NEAR(hits50, 1000, 150);
  // Each call draws exactly one number: the same sequence replays.
  StdSrand(7);
  std::vector<bool> a;
  for (int i = 0; i < 50; ++i) a.push_back(ChkRand(30));
  StdSrand(7);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(ChkRand(30), a[i]);
  StdSrand(7);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(30 > StdRand() % 100, a[i]);
}

namespace {

struct FakeComponent {
  std::string cls;
  int Tag = 0;
  const std::string& ClassName() const { return cls; }
};

// An owner in the indexed style of the class library.
struct IndexedOwner {
  std::vector<std::unique_ptr<FakeComponent>> list;
  int ComponentCount() const { return static_cast<int>(list.size()); }
  FakeComponent* Components(int i) const { return list[static_cast<std::size_t>(i)].get(); }
  FakeComponent* Add(const std::string& cls, int tag) {
    list.push_back(std::make_unique<FakeComponent>(FakeComponent{cls, tag}));
    return list.back().get();
  }
};

// An owner that offers a range, with a Tag getter on its components.
struct GetterComponent {
  const char* name;
  int tag;
  const char* ClassName() const { return name; }
  int Tag() const { return tag; }
};
struct RangeOwner {
  std::vector<GetterComponent*> items;
  const std::vector<GetterComponent*>& Components() const { return items; }
};

}  // namespace

TEST(Stdfunc, FindComponentByClassFindsTheFirstMatchInCreationOrder) {
  IndexedOwner form;
  form.Add("TLabel", 1);
  FakeComponent* first = form.Add("TCHBcSpeedButton", 2);
  form.Add("TCHBcSpeedButton", 1);
  form.Add("TCHBcSpeedButton", 2);  // a later duplicate is not found
  EXPECT_EQ(FindComponentByClass(&form, "TCHBcSpeedButton", 2), first);
  EXPECT_EQ(FindComponentByClass(&form, "TCHBcSpeedButton", 1), form.list[2].get());
  EXPECT_EQ(FindComponentByClass(&form, "TLabel", 1), form.list[0].get());

  const std::string missing = SJS("指定されたコンポーネントがない");
  EXPECT_EQ(ErrorOf([&] { FindComponentByClass(&form, "TCHBcSpeedButton", 5); }), missing);
  EXPECT_EQ(ErrorOf([&] { FindComponentByClass(&form, "TCHBcSpeed", 1); }), missing);
  EXPECT_EQ(ErrorOf([&] { FindComponentByClass(static_cast<IndexedOwner*>(nullptr), "TLabel", 1); }), missing);

  GetterComponent a{"TImage", 3}, b{"TLabel", 3};
  RangeOwner r{{&a, &b}};
  EXPECT_EQ(FindComponentByClass(&r, "TLabel", 3), &b);
  EXPECT_EQ(ErrorOf([&] { FindComponentByClass(&r, "TLabel", 4); }), missing);
}
