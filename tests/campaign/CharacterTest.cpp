#include <gtest/gtest.h>

#include "campaign/Character.h"
#include "campaign/CharacterNames.h"
#include "campaign/Save.h"
#include "platform/base/Sjis.h"
#include "support/KeyedBytes.h"

using namespace vdmq;
using vdmq::test::ErrorOf;

namespace {

class CharacterTest : public ::testing::Test {
 protected:
  void SetUp() override { SaveLoadCharacter(nullptr, kSaveModeNew); }
};

}  // namespace

TEST_F(CharacterTest, NewGameNamesEveryCharacterAfterItself) {
  for (int i = 0; i < kEventCharacterCount; ++i) {
    EXPECT_EQ(EventCharacterData[i].Name, i);
    EXPECT_EQ(GetEventCharacterCg(i), i);
    EXPECT_EQ(std::string(GetEventCharacterName(i)), std::string(EventCharacterNameText(i)));
    EXPECT_GT(std::string(GetEventCharacterName(i)).size(), 0u);
  }
  // Other modes leave the table alone.
  EventCharacterData[3].Cg = 9;
  SaveLoadCharacter(nullptr, kSaveModeLoad);
  SaveLoadCharacter(nullptr, kSaveModeWrite);
  EXPECT_EQ(GetEventCharacterCg(3), 9);
}

TEST_F(CharacterTest, ThrowingChecks) {
  EXPECT_EQ(ErrorOf([] { GetEventCharacterName(38); }), SJS("例外 function:ChkInEventCharacter"));
  EXPECT_EQ(ErrorOf([] { GetEventCharacterCg(-1); }), SJS("例外 function:ChkInEventCharacter"));
  EXPECT_EQ(ErrorOf([] { GetEventCharacterProfile(38, 0); }), SJS("例外 function:ChkInEventCharacter"));
  EventCharacterData[4].Name = 38;
  EXPECT_EQ(ErrorOf([] { GetEventCharacterName(4); }), SJS("例外 function:ChkInEventCharacterName"));
  EXPECT_EQ(ErrorOf([] { ChkInEventCharacterName(37); }), "<no error>");
}

TEST_F(CharacterTest, ProfilesBelongToThePicture) {
  int empty = 0;
  for (int cg = 0; cg < kEventCharacterProfileCount; ++cg) {
    for (int line = 0; line < 5; ++line) {
      const char* text = EventCharacterProfileText(cg, line);
      ASSERT_NE(text, nullptr);
      if (*text == '\0') ++empty;
    }
  }
  EXPECT_EQ(empty, 44);
  EventCharacterData[5].Cg = 0;
  EXPECT_EQ(std::string(GetEventCharacterProfile(5, 1)), std::string(EventCharacterProfileText(0, 1)));
  EXPECT_EQ(std::string(GetEventCharacterProfile(5, 5)), "");
  EXPECT_EQ(std::string(GetEventCharacterProfile(5, -1)), "");
  EventCharacterData[5].Cg = 38;
  EXPECT_EQ(std::string(GetEventCharacterProfile(5, 0)), "");
  EventCharacterData[5].Cg = -1;
  EXPECT_EQ(std::string(GetEventCharacterProfile(5, 0)), "");
}
