#include "campaign/Character.h"

#include "campaign/CharacterNames.h"
#include "campaign/Save.h"
#include "platform/base/GameError.h"

namespace vdmq {

TEventCharacterData EventCharacterData[kEventCharacterCount];

void ChkInEventCharacter(int character) {
  if (character < 0 || character >= kEventCharacterCount) ThrowFunctionError("ChkInEventCharacter");
}

void ChkInEventCharacterName(int nameNum) {
  if (nameNum < 0 || nameNum >= kEventCharacterNameCount) ThrowFunctionError("ChkInEventCharacterName");
}

const char* GetEventCharacterName(int character) {
  ChkInEventCharacter(character);
  const int name = EventCharacterData[character].Name;
  ChkInEventCharacterName(name);
  return EventCharacterNameText(name);
}

int GetEventCharacterCg(int character) {
  ChkInEventCharacter(character);
  return EventCharacterData[character].Cg;
}

const char* GetEventCharacterProfile(int character, int line) {
  ChkInEventCharacter(character);
  const char* text = EventCharacterProfileText(EventCharacterData[character].Cg, line);
  return text != nullptr ? text : "";
}

void SaveLoadCharacter(TDatFile* /*fp*/, int mode) {
  if (mode != kSaveModeNew) return;
  for (int i = 0; i < kEventCharacterCount; ++i) {
    EventCharacterData[i].Name = i;
    EventCharacterData[i].Cg = i;
  }
}

}  // namespace vdmq
