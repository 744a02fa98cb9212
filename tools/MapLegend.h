#pragma once
// The legend of the map chips, shared by the chip pictures and the scenario map. Chips come in
// groups of four variants (the map editor scatters the members of a group); chips below 20 are
// navigable. The marks of the map model are drawn from the same sheet.

namespace vdmq::sample {

constexpr int kChipGroupSize = 4;

enum TChipGroup : int {
  kGroupOpenSpace = 0,        // 0..3: key, with a faint line on the two upper edges
  kGroupDust = 1,             // 4..7: thin dust
  kGroupBlueNebula = 2,       // 8..11
  kGroupVioletNebula = 3,     // 12..15
  kGroupIceGrains = 4,        // 16..19: drifting ice grains
  kGroupSparseAsteroids = 5,  // 20..23: never placed (the editor's mask counts 20 as navigable)
  kGroupDenseAsteroids = 6,   // 24..27
  kGroupIonStorm = 7,         // 28..31
  kGroupDarkCloud = 8,        // 32..35
  kGroupStarCorona = 9,       // 36..39
  kGroupGravityWell = 10,     // 40..43
  kGroupMineField = 11,       // 44..47
  kGroupWreckField = 12,      // 48..51
  kGroupRadiationBelt = 13,   // 52..55
  kGroupCometIce = 14,        // 56..59
  kGroupCrystalReef = 15,     // 60..63
};
constexpr int kChipGroupCount = 16;
constexpr int kFirstObstacleGroup = kGroupSparseAsteroids;
// The obstacle groups a map's fields take (the sparse asteroids are not among them).
constexpr int kFirstFieldGroup = kGroupDenseAsteroids;

constexpr int FirstChip(int group) { return group * kChipGroupSize; }

// Marks of the map model, drawn as frames of the chip sheet.
constexpr int kMarkReachable = 64;
constexpr int kMarkUnused = 65;       // all key
constexpr int kMarkDestination = 66;  // also the map cursor, drawn additively
constexpr int kMarkAttack = 67;
constexpr int kChipSheetFrames = 68;  // 17 rows of 4

}  // namespace vdmq::sample
