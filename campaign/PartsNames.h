#pragma once
// The program's constant name tables of the ship parts (CP932 texts). Catalogue entries name
// themselves by an index into these tables; some hull and engine entries are empty.

namespace vdmq {

constexpr int kFrameNameCount = 60;  // 18 of them empty
constexpr int kWeaponNameCount = 40;
constexpr int kEngineNameCount = 20;  // 3 of them empty
constexpr int kShieldNameCount = 10;

// The name at a name index ("" for an empty entry); null outside the table.
const char* FrameNameText(int nameNum);
const char* WeaponNameText(int nameNum);
const char* EngineNameText(int nameNum);
const char* ShieldNameText(int nameNum);

}  // namespace vdmq
