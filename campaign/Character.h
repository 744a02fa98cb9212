#pragma once
// The event characters: the cast of the story dialogue, each with a name, a face and five lines of
// profile (the profile belongs to the face). The adjutant is one of them. Every operation checks
// the character with a throwing check.

#include <cstdint>

#include "campaign/Ship.h"

namespace vdmq {

class TDatFile;

struct TEventCharacterData {
  std::int32_t Name;  // index into the event character name table
  std::int32_t Cg;    // face picture
};

// The event character table; set at a new game, neither saved nor loaded.
extern TEventCharacterData EventCharacterData[kEventCharacterCount];

constexpr int kEventCharacterProfileLines = 5;

// Throws "例外 function:ChkInEventCharacter" unless 0..37.
void ChkInEventCharacter(int character);
// Throws "例外 function:ChkInEventCharacterName" unless the name index is 0..37.
void ChkInEventCharacterName(int nameNum);
// Checks the character and its name index; the name (CP932).
const char* GetEventCharacterName(int character);
int GetEventCharacterCg(int character);
// Profile line 0..4 of the character's picture (CP932); "" for a line outside 0..4 or a picture
// outside 0..37.
const char* GetEventCharacterProfile(int character, int line);
// Mode 2 sets character i to name i and picture i; other modes do nothing.
void SaveLoadCharacter(TDatFile* fp, int mode);

}  // namespace vdmq
