#pragma once
// The game's pseudo-random numbers: one deterministic linear congruential generator, never seeded by
// the game, so every run and every machine draws the same sequence. Nothing calls rand() directly.

namespace vdmq {

constexpr int kStdRandMax = 32767;

// Next number in 0..kStdRandMax.
int StdRand();
// Restarts the sequence (the program start state is StdSrand(1)); tests use it to replay.
void StdSrand(unsigned seed);

}  // namespace vdmq
