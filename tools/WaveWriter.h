#pragma once
// The RIFF WAVE files of the game's sounds: 16-bit PCM, one channel, with the plain 44-byte header
// (the RIFF header, a 16-byte "fmt " chunk, then the "data" chunk).

#include <cstdint>
#include <vector>

namespace vdmq::sample {

constexpr int kWaveHeaderBytes = 44;

// The file's bytes for 16-bit mono samples at a rate.
std::vector<std::uint8_t> EncodeWave(const std::vector<std::int16_t>& samples, int rate);

// A chunk's four-letter code appended, shared with the movie writer.
void PutFourCc(std::vector<std::uint8_t>& out, const char (&code)[5]);

}  // namespace vdmq::sample
