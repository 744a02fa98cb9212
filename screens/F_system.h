#pragma once
// The game's three options (map music, sound effects and voices, the question before a turn ends),
// kept for the run in a small table and between runs in the current user's registry.

namespace vdmq {

// Option indices.
constexpr int kSysOptionBgm = 0;
constexpr int kSysOptionPcm = 1;
constexpr int kSysOptionTurnMes = 2;

// The option's value; 0 for an index outside 0..2. Every option is 1 at program start.
int GetSysOption(int index);
// Sets an option; an index outside 0..2 is ignored.
void SetSysOption(int index, int value);
// Mode 1 reads "BGM", "PCM" and "TURN_MES" from the registry into options 0, 1, 2 (a value that is
// missing or not an integer keeps the option as it is); mode 0 writes the three options.
void SysOptionReg(int mode);

}  // namespace vdmq
