// Feeds arbitrary bytes to the Varnel decoder (and, for some inputs, checks a round trip through
// the encoder). The first 3 bytes give the decoded size; the rest is the stored stream.

#include <cstddef>
#include <cstdint>

#include "fuzz/pack/CodecFuzzCheck.h"
#include "qolib/pack/Qovarnel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vdmq::CheckCodec<vdmq::TVarnelEncode, vdmq::TVarnelDecode>(data, size);
  return 0;
}
