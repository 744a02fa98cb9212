#pragma once
// The screens' golden pictures show the picture archive of the GCC build. The generator's pictures
// differ a little between compilers, so a build with another archive has nothing to compare them with.

#include <cstdint>
#include <fstream>
#include <iterator>

#include "support/GameFolder.h"

namespace vdmq::test {

inline constexpr std::uint64_t kGoldenArchive = 0xef8a956eff85d342ull;

// True when the generated data set's dat/BMP.PAK is the archive the golden pictures were drawn from.
inline bool IsGoldenArchive() {
  std::ifstream in(TGameFolder::DataSet() / "dat/BMP.PAK", std::ios::binary);
  std::uint64_t h = 0xcbf29ce484222325ull;
  for (std::istreambuf_iterator<char> it(in), end; it != end; ++it)
    h = (h ^ static_cast<unsigned char>(*it)) * 0x100000001b3ull;
  return h == kGoldenArchive;
}

}  // namespace vdmq::test
