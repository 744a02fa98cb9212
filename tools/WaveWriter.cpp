#include "tools/WaveWriter.h"

#include "platform/base/LittleEndian.h"

namespace vdmq::sample {

void PutFourCc(std::vector<std::uint8_t>& out, const char (&code)[5]) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(code[i]));
}

std::vector<std::uint8_t> EncodeWave(const std::vector<std::int16_t>& samples, int rate) {
  const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
  std::vector<std::uint8_t> out;
  out.reserve(kWaveHeaderBytes + dataBytes);
  PutFourCc(out, "RIFF");
  PutLe32(out, 36 + dataBytes);
  PutFourCc(out, "WAVE");
  PutFourCc(out, "fmt ");
  PutLe32(out, 16);
  PutLe16(out, 1);  // PCM
  PutLe16(out, 1);  // mono
  PutLe32(out, static_cast<std::uint32_t>(rate));
  PutLe32(out, static_cast<std::uint32_t>(rate) * 2);  // bytes a second
  PutLe16(out, 2);                                     // bytes a sample frame
  PutLe16(out, 16);                                    // bits a sample
  PutFourCc(out, "data");
  PutLe32(out, dataBytes);
  for (std::int16_t s : samples) PutLe16(out, static_cast<std::uint16_t>(s));
  return out;
}

}  // namespace vdmq::sample
