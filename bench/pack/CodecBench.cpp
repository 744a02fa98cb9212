// Encode and decode speed (MB/s of source bytes) and sizes of the two codecs against their peers:
// Varnel against zlib at level 6, Cocotte against bzip2, on the same inputs (text, a flat
// picture-like buffer, random bytes). A side-by-side table follows the benchmark list.

#include <benchmark/benchmark.h>
#include <bzlib.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "qolib/pack/Qococotte.h"
#include "qolib/pack/Qovarnel.h"
#include "support/CodecData.h"

using namespace vdmq;
using codectest::Bytes;

namespace {

constexpr size_t kInputSize = 2 << 20;

struct TInput {
  const char* name;
  Bytes data;
};

const std::vector<TInput>& Inputs() {
  static const std::vector<TInput> inputs = {{"text", codectest::TextData(kInputSize)},
                                             {"picture", codectest::PictureData(kInputSize)},
                                             {"random", codectest::RandomData(kInputSize)}};
  return inputs;
}

// A codec under test: encode source to coded, decode coded to a buffer of the source's size.
struct TCodec {
  const char* name;
  std::function<Bytes(const Bytes&)> encode;
  std::function<bool(const Bytes&, Bytes&)> decode;
};

template <class TEncoder>
Bytes OurEncode(const Bytes& src) {
  Bytes out;
  out.reserve(src.size() + src.size() / 8 + 64);
  size_t pos = 0;
  TEncoder enc;
  const bool ok = enc.Encode(
      static_cast<int>(src.size()), static_cast<int>(2 * src.size()),
      [&](unsigned char* b, int n) {
        std::memcpy(b, src.data() + pos, static_cast<size_t>(n));
        pos += static_cast<size_t>(n);
        return true;
      },
      [&](unsigned char* b, int n) {
        out.insert(out.end(), b, b + n);
        return true;
      });
  if (!ok) out.clear();
  return out;
}

template <class TDecoder>
bool OurDecode(const Bytes& coded, Bytes& dst) {
  size_t in = 0, out = 0;
  TDecoder dec;
  return dec.Decode(
      static_cast<int>(coded.size()), static_cast<int>(dst.size()),
      [&](unsigned char* b, int n) {
        std::memcpy(b, coded.data() + in, static_cast<size_t>(n));
        in += static_cast<size_t>(n);
        return true;
      },
      [&](unsigned char* b, int n) {
        std::memcpy(dst.data() + out, b, static_cast<size_t>(n));
        out += static_cast<size_t>(n);
        return true;
      });
}

Bytes ZlibEncode(const Bytes& src) {
  uLongf len = compressBound(src.size());
  Bytes out(len);
  if (compress2(out.data(), &len, src.data(), src.size(), 6) != Z_OK) return {};
  out.resize(len);
  return out;
}

bool ZlibDecode(const Bytes& coded, Bytes& dst) {
  uLongf len = dst.size();
  return uncompress(dst.data(), &len, coded.data(), coded.size()) == Z_OK && len == dst.size();
}

Bytes Bzip2Encode(const Bytes& src) {
  unsigned int len = static_cast<unsigned int>(src.size() + src.size() / 100 + 600);
  Bytes out(len);
  if (BZ2_bzBuffToBuffCompress(reinterpret_cast<char*>(out.data()), &len,
                               const_cast<char*>(reinterpret_cast<const char*>(src.data())),
                               static_cast<unsigned int>(src.size()), 9, 0, 0) != BZ_OK)
    return {};
  out.resize(len);
  return out;
}

bool Bzip2Decode(const Bytes& coded, Bytes& dst) {
  unsigned int len = static_cast<unsigned int>(dst.size());
  return BZ2_bzBuffToBuffDecompress(reinterpret_cast<char*>(dst.data()), &len,
                                    const_cast<char*>(reinterpret_cast<const char*>(coded.data())),
                                    static_cast<unsigned int>(coded.size()), 0, 0) == BZ_OK &&
         len == dst.size();
}

const std::vector<TCodec>& Codecs() {
  static const std::vector<TCodec> codecs = {
      {"varnel", OurEncode<TVarnelEncode>, OurDecode<TVarnelDecode>},
      {"zlib6", ZlibEncode, ZlibDecode},
      {"cocotte", OurEncode<TCocotteEncode>, OurDecode<TCocotteDecode>},
      {"bzip2", Bzip2Encode, Bzip2Decode},
  };
  return codecs;
}

// name "encode/text/varnel" -> MB/s, and "text/varnel" -> coded size.
std::map<std::string, double> gSpeed;
std::map<std::string, size_t> gSize;

class TTableReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& reports) override {
    for (const Run& r : reports) {
      // With repetitions the median stands for the benchmark; otherwise the single run.
      if (r.run_type == Run::RT_Aggregate && r.aggregate_name != "median") continue;
      auto it = r.counters.find("bytes_per_second");
      if (it != r.counters.end()) gSpeed[r.run_name.str()] = it->second.value / 1e6;
    }
    ConsoleReporter::ReportRuns(reports);
  }
};

void Register() {
  for (const char* op : {"encode", "decode"}) {
    for (const TInput& input : Inputs()) {
      for (const TCodec& codec : Codecs()) {
        const std::string key = std::string(input.name) + "/" + codec.name;
        const Bytes coded = codec.encode(input.data);
        gSize[key] = coded.size();
        Bytes check(input.data.size());
        if (coded.empty() || !codec.decode(coded, check) || check != input.data) {
          std::fprintf(stderr, "round trip failed: %s\n", key.c_str());
          continue;
        }
        const bool encode = std::strcmp(op, "encode") == 0;
        benchmark::RegisterBenchmark((std::string(op) + "/" + key).c_str(),
                                     [&input, &codec, coded, encode](benchmark::State& state) {
                                       Bytes dst(input.data.size());
                                       for (auto _ : state) {
                                         if (encode) {
                                           Bytes c = codec.encode(input.data);
                                           benchmark::DoNotOptimize(c.data());
                                         } else {
                                           benchmark::DoNotOptimize(codec.decode(coded, dst));
                                         }
                                       }
                                       state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                                                               static_cast<int64_t>(input.data.size()));
                                       state.counters["ratio%"] =
                                           100.0 * static_cast<double>(coded.size()) /
                                           static_cast<double>(input.data.size());
                                     })
            ->Unit(benchmark::kMillisecond);
      }
    }
  }
}

void PrintTable() {
  std::printf("\n%-8s | %-22s %-22s | %-22s %-22s\n", "input", "varnel enc/dec MB/s", "zlib6 enc/dec MB/s",
              "cocotte enc/dec MB/s", "bzip2 enc/dec MB/s");
  for (const TInput& input : Inputs()) {
    std::printf("%-8s |", input.name);
    for (const TCodec& codec : Codecs()) {
      const std::string key = std::string(input.name) + "/" + codec.name;
      std::printf(" %6.1f / %6.1f %5.1f%%", gSpeed["encode/" + key], gSpeed["decode/" + key],
                  100.0 * static_cast<double>(gSize[key]) / static_cast<double>(input.data.size()));
      if (codec.name == std::string("zlib6")) std::printf(" |");
    }
    std::printf("\n");
  }
  std::printf("(percent: coded size of %zu source bytes)\n", kInputSize);
  for (const TInput& input : Inputs()) {
    const std::string in(input.name);
    const double v = gSpeed["decode/" + in + "/varnel"], z = gSpeed["decode/" + in + "/zlib6"];
    const double c = gSpeed["decode/" + in + "/cocotte"], b = gSpeed["decode/" + in + "/bzip2"];
    if (z > 0 && b > 0)
      std::printf("%-8s varnel/zlib decode %.2fx, cocotte/bzip2 decode %.2fx\n", input.name, v / z, c / b);
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Register();
  TTableReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  PrintTable();
  benchmark::Shutdown();
  return 0;
}
