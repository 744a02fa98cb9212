#pragma once
// The program's constant table of planet names (CP932 texts), indexed by a planet's name index.

namespace vdmq {

constexpr int kPlanetNameCount = 100;

// The name at a name index; null outside the table.
const char* PlanetNameText(int nameNum);

}  // namespace vdmq
