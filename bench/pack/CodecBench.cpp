// Encode and decode speed and coded size of the library's two codecs, Varnel and Cocotte, side by
// side with zlib (-1, -6, -9), bzip2 -9, lz4, lz4hc and zstd (-1, -3, -19), on inputs of the kind
// the game stores: text (the project's own sources and the scenario's dialogue in CP932), a
// 640 x 480 picture of space, a sprite sheet on its key colour, random bytes, zeros, and short
// slices of the text; with an archive path as argument, also every picture entry of that archive.
// One process, one core, thread CPU time, best of interleaved rounds (bench/BenchRun.h); every
// round trip is checked before anything is timed.
//
//   bench_pack_codecs [archive] [--sources DIR] [--rounds N] [--min-ms M] [--filter TEXT]
//
// --sources takes the text from another copy of the project's sources (so that two builds compare
// on the same bytes).
//
// The peers are linked for comparison only; the game never uses them.

#include <bzlib.h>
#include <lz4.h>
#include <lz4hc.h>
#include <zlib.h>
#include <zstd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchRun.h"
#include "campaign/W5scn01Mes.h"
#include "qolib/pack/Qococotte.h"
#include "qolib/pack/Qopack.h"
#include "qolib/pack/Qovarnel.h"
#include "support/CodecCorpus.h"
#include "support/CodecData.h"

using namespace vdmq;
using codectest::Bytes;

namespace {

struct TInput {
  std::string name;
  Bytes data;
};

// ---- inputs ----

// The scenario's dialogue lines (CP932) followed by the project's sources, cut at size bytes.
Bytes ProjectText(size_t size, const std::string& sources) {
  Bytes out;
  for (int id = 0; id < kScn01MesCount; ++id) {
    for (const TEventMesArg& arg : Scn01Script(id)) {
      if (const std::string* s = std::get_if<std::string>(&arg)) {
        out.insert(out.end(), s->begin(), s->end());
        out.push_back('\r');
        out.push_back('\n');
      }
    }
  }
  namespace fs = std::filesystem;
  std::vector<fs::path> files;
  for (const char* dir : {"campaign", "battle", "qolib", "platform", "tools"}) {
    const fs::path root = fs::path(sources) / dir;
    if (!fs::exists(root)) continue;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
      const std::string ext = e.path().extension().string();
      if (e.is_regular_file() && (ext == ".cpp" || ext == ".h")) files.push_back(e.path());
    }
  }
  std::sort(files.begin(), files.end());
  for (const fs::path& f : files) {
    if (out.size() >= size) break;
    std::ifstream in(f, std::ios::binary);
    out.insert(out.end(), std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  if (out.size() > size) out.resize(size);
  return out;
}

// Every entry of a picture archive, decoded.
std::vector<TInput> ArchivePictures(const std::string& path) {
  std::vector<TInput> inputs;
  TQoPack pack(nullptr);
  if (!pack.OpenPack(path)) {
    std::fprintf(stderr, "cannot open the archive %s\n", path.c_str());
    return inputs;
  }
  for (int i = 0; i < pack.GetFileNum(); ++i) {
    char name[64] = {};
    if (!pack.GetFileName(i, name)) continue;
    std::unique_ptr<TQoMemoryStream> s = pack.QoMakeStream(name);
    if (!s || s->GetSize() <= 0) continue;
    Bytes data(static_cast<size_t>(s->GetSize()));
    std::memcpy(data.data(), s->Memory(), data.size());
    inputs.push_back({std::string("pack:") + name, std::move(data)});
  }
  return inputs;
}

std::vector<TInput> Inputs(const std::string& archive, const std::string& sources) {
  const Bytes text = ProjectText(512 * 1024, sources);
  std::vector<TInput> inputs = {
      {"text", text},
      {"picture", codectest::SpacePicture(640, 480)},
      {"sprites", codectest::SpriteSheet(8)},
      {"random", codectest::RandomData(1 << 20)},
      {"zeros", Bytes(1 << 20, 0)},
  };
  for (size_t n : {256, 1024, 4096, 16384}) {
    // A slice from the middle of the text (sources, not the start of the dialogue).
    const size_t at = text.size() / 2;
    inputs.push_back({"text " + std::to_string(n),
                      Bytes(text.begin() + static_cast<long>(at), text.begin() + static_cast<long>(at + n))});
  }
  if (!archive.empty()) {
    for (TInput& p : ArchivePictures(archive)) inputs.push_back(std::move(p));
  }
  return inputs;
}

// ---- codecs ----

struct TCodec {
  const char* name;
  std::function<Bytes(const Bytes&)> encode;
  std::function<bool(const Bytes&, Bytes&)> decode;  // into a buffer of the source's size
};

template <class TEncoder>
Bytes OurEncode(const Bytes& src) {
  Bytes out;
  out.reserve(src.size() + src.size() / 8 + 64);
  size_t pos = 0;
  TEncoder enc;
  const bool ok = enc.Encode(
      static_cast<int>(src.size()), static_cast<int>(2 * src.size() + 16),
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

std::function<Bytes(const Bytes&)> ZlibEncode(int level) {
  return [level](const Bytes& src) {
    uLongf len = compressBound(src.size());
    Bytes out(len);
    if (compress2(out.data(), &len, src.data(), src.size(), level) != Z_OK) return Bytes{};
    out.resize(len);
    return out;
  };
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
                               static_cast<unsigned int>(src.size()), 9, 0, 0) != BZ_OK) {
    return {};
  }
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

std::function<Bytes(const Bytes&)> Lz4Encode(bool hc) {
  return [hc](const Bytes& src) {
    Bytes out(static_cast<size_t>(LZ4_compressBound(static_cast<int>(src.size()))));
    const char* s = reinterpret_cast<const char*>(src.data());
    char* d = reinterpret_cast<char*>(out.data());
    const int n = static_cast<int>(src.size()), cap = static_cast<int>(out.size());
    const int len = hc ? LZ4_compress_HC(s, d, n, cap, LZ4HC_CLEVEL_DEFAULT) : LZ4_compress_default(s, d, n, cap);
    out.resize(len > 0 ? static_cast<size_t>(len) : 0);
    return out;
  };
}

bool Lz4Decode(const Bytes& coded, Bytes& dst) {
  return LZ4_decompress_safe(reinterpret_cast<const char*>(coded.data()), reinterpret_cast<char*>(dst.data()),
                             static_cast<int>(coded.size()),
                             static_cast<int>(dst.size())) == static_cast<int>(dst.size());
}

std::function<Bytes(const Bytes&)> ZstdEncode(int level) {
  return [level](const Bytes& src) {
    Bytes out(ZSTD_compressBound(src.size()));
    const size_t len = ZSTD_compress(out.data(), out.size(), src.data(), src.size(), level);
    out.resize(ZSTD_isError(len) ? 0 : len);
    return out;
  };
}

bool ZstdDecode(const Bytes& coded, Bytes& dst) {
  return ZSTD_decompress(dst.data(), dst.size(), coded.data(), coded.size()) == dst.size();
}

const std::vector<TCodec>& Codecs() {
  static const std::vector<TCodec> codecs = {
      {"varnel", OurEncode<TVarnelEncode>, OurDecode<TVarnelDecode>},
      {"cocotte", OurEncode<TCocotteEncode>, OurDecode<TCocotteDecode>},
      {"zlib-1", ZlibEncode(1), ZlibDecode},
      {"zlib-6", ZlibEncode(6), ZlibDecode},
      {"zlib-9", ZlibEncode(9), ZlibDecode},
      {"bzip2-9", Bzip2Encode, Bzip2Decode},
      {"lz4", Lz4Encode(false), Lz4Decode},
      {"lz4hc", Lz4Encode(true), Lz4Decode},
      {"zstd-1", ZstdEncode(1), ZstdDecode},
      {"zstd-3", ZstdEncode(3), ZstdDecode},
      {"zstd-19", ZstdEncode(19), ZstdDecode},
  };
  return codecs;
}

// ---- the run ----

struct TResult {
  size_t coded = 0;
  double encode = 0;  // seconds per call
  double decode = 0;
  bool ok = false;
};

}  // namespace

int main(int argc, char** argv) {
  bench::PinToOneCore();
  const bench::TOptions options = bench::TOptions::Parse(argc, argv);
  std::string archive, sources = VDMQ_SOURCE_DIR;
  for (size_t i = 0; i < options.rest.size(); ++i) {
    if (options.rest[i] == "--sources" && i + 1 < options.rest.size()) {
      sources = options.rest[++i];
    } else {
      archive = options.rest[i];
    }
  }
  const std::vector<TInput> inputs = Inputs(archive, sources);
  const std::vector<TCodec>& codecs = Codecs();

  // Round trips first; the timed cases hold the coded bytes they decode.
  std::map<std::string, TResult> results;
  std::vector<bench::TCase> cases;
  std::vector<Bytes> coded;
  coded.reserve(inputs.size() * codecs.size());
  for (const TInput& input : inputs) {
    for (const TCodec& codec : codecs) {
      const std::string key = input.name + " / " + codec.name;
      if (!options.Wants(key)) continue;
      TResult& r = results[key];
      coded.push_back(codec.encode(input.data));
      const Bytes& c = coded.back();
      Bytes check(input.data.size());
      r.coded = c.size();
      r.ok = (!c.empty() || input.data.empty()) && codec.decode(c, check) && check == input.data;
      if (!r.ok) {
        std::fprintf(stderr, "round trip failed: %s\n", key.c_str());
        continue;
      }
      cases.push_back({"encode " + key, [&input, &codec] {
                         Bytes out = codec.encode(input.data);
                         if (out.empty() && !input.data.empty()) std::abort();
                       }});
      auto dst = std::make_shared<Bytes>(input.data.size());
      cases.push_back({"decode " + key, [&codec, &c, dst] {
                         if (!codec.decode(c, *dst)) std::abort();
                       }});
    }
  }
  std::printf("%zu cases, %d interleaved rounds of at least %.2f ms each, best round kept\n", cases.size(),
              options.rounds, options.minSeconds * 1000);
  bench::RunInterleaved(cases, options);
  for (const bench::TCase& c : cases) {
    const bool enc = c.name.rfind("encode ", 0) == 0;
    TResult& r = results[c.name.substr(7)];
    (enc ? r.encode : r.decode) = c.best;
  }

  // Per input, one line per codec: its figures, then how our two codecs compare with it: speed
  // ratios (above 1: ours is faster) and coded size ratios (below 1: ours is smaller).
  std::printf(
      "Columns after the bars: how Varnel and Cocotte compare with the codec of the line: encode and\n"
      "decode speed (its time / ours: above 1, ours is faster) and coded size (ours / its: below 1,\n"
      "ours is smaller).\n");
  for (const TInput& input : inputs) {
    const double mb = static_cast<double>(input.data.size()) / 1e6;
    auto find = [&](const char* codec) -> const TResult* {
      const auto it = results.find(input.name + " / " + codec);
      return it != results.end() && it->second.ok ? &it->second : nullptr;
    };
    const TResult* ours[2] = {find("varnel"), find("cocotte")};
    bool any = false;
    for (const TCodec& codec : codecs) any = any || find(codec.name) != nullptr;
    if (!any) continue;
    std::printf("\n%s (%zu bytes)\n", input.name.c_str(), input.data.size());
    std::printf("  %-8s %9s %6s %9s %9s | %-22s | %-22s\n", "codec", "coded", "size%", "enc MB/s", "dec MB/s",
                "varnel: enc  dec  size", "cocotte: enc  dec  size");
    for (const TCodec& codec : codecs) {
      const TResult* r = find(codec.name);
      if (r == nullptr) continue;
      std::printf("  %-8s %9zu %5.1f%% %9.1f %9.1f", codec.name, r->coded,
                  100.0 * static_cast<double>(r->coded) / static_cast<double>(input.data.size()), mb / r->encode,
                  mb / r->decode);
      for (const TResult* o : ours) {
        if (o == nullptr) {
          std::printf(" | %22s", "");
          continue;
        }
        std::printf(" | %6.2fx %6.2fx %6.2f", r->encode / o->encode, r->decode / o->decode,
                    static_cast<double>(o->coded) / static_cast<double>(std::max<size_t>(1, r->coded)));
      }
      std::printf("\n");
    }
  }
  return 0;
}
