#include "tools/FuzzSeeds.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <vector>

#include "campaign/GameSave.h"
#include "campaign/Qvmap.h"
#include "campaign/Save.h"
#include "platform/base/LittleEndian.h"
#include "platform/base/Sjis.h"
#include "platform/sys/RegistryStore.h"
#include "qolib/pack/Qococotte.h"
#include "qolib/pack/Qopack.h"
#include "qolib/pack/Qovarnel.h"
#include "support/RiffBytes.h"
#include "tools/BmpWriter.h"
#include "tools/Generator.h"
#include "tools/Noise.h"
#include "tools/Raster.h"
#include "tools/SampleData.h"

namespace vdmq::seeds {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool WriteAll(const fs::path& p, const std::string& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

using test::Chunk;
using test::Riff;

// A fixed byte pattern that does not compress.
std::string Noise(size_t n) {
  raster::TArtRng rng(n);
  std::string s;
  while (s.size() < n) s += static_cast<char>(rng.Next() >> 24);
  return s;
}

std::string Bytes(const std::vector<std::uint8_t>& v) { return std::string(v.begin(), v.end()); }

// A smooth colour picture.
raster::TImage24 Gradient(int width, int height) {
  raster::TImage24 image(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.At(x, y) = {static_cast<std::uint8_t>(x * 255 / width), static_cast<std::uint8_t>(y * 255 / height),
                        static_cast<std::uint8_t>((x + y) * 4)};
    }
  }
  return image;
}

raster::TImage8 Indexed(int width, int height) {
  raster::TImage8 image;
  image.Width = width;
  image.Height = height;
  for (int i = 0; i < width * height; ++i) image.Index.push_back(static_cast<std::uint8_t>(i * 7));
  for (int i = 0; i < 256; ++i) {
    image.Palette[static_cast<size_t>(i)] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                                             static_cast<std::uint8_t>(i * 3)};
  }
  return image;
}

// The same BMP with its rows read top row first (the height's sign turned).
std::string TopDown(std::string bmp) {
  StoreLe32(bmp.data() + 22, ~ReadLe32(bmp.data() + 22) + 1);
  return bmp;
}

// A codec seed: 3 bytes of decoded size (bit 7 of the third asks for a round trip through the
// encoder), then the coded stream.
template <class TEncoder>
std::string Coded(const std::string& plain, bool roundTrip, bool* ok) {
  std::string coded;
  size_t at = 0;
  TEncoder enc;
  const bool encoded = enc.Encode(
      static_cast<int>(plain.size()), 2 * static_cast<int>(plain.size()) + 64,
      [&](unsigned char* buf, int n) {
        plain.copy(reinterpret_cast<char*>(buf), static_cast<size_t>(n), at);
        at += static_cast<size_t>(n);
        return true;
      },
      [&](unsigned char* buf, int n) {
        coded.append(reinterpret_cast<const char*>(buf), static_cast<size_t>(n));
        return true;
      });
  if (!encoded) *ok = false;
  std::string s;
  s += static_cast<char>(plain.size() & 0xFF);
  s += static_cast<char>((plain.size() >> 8) & 0xFF);
  s += static_cast<char>(((plain.size() >> 16) & 0x07) | (roundTrip ? 0x80 : 0));
  return s + coded;
}

// The data set, a new game started from it and saved into slot 0: INIT.DAT, MAP00.DAT, SAVE00.DAT.
struct TGameFiles {
  std::string init, map, save;
};

TGameFiles GameFiles(const fs::path& dir, bool* ok) {
  TGameFiles f;
  if (!sample::GenerateSampleData(sample::OptionsFor(dir.string(), {"world"}))) {
    *ok = false;
    return f;
  }
  const fs::path old = fs::current_path();
  fs::current_path(dir);
  auto map = std::make_unique<TQvMap>();
  map->ClearMap();
  TQvMap* const oldMap = QvMap;
  QvMap = map.get();
  if (!SaveLoadGame(kSaveModeNew, -1) || !SaveLoadGame(kSaveModeWrite, 0)) *ok = false;
  QvMap = oldMap;
  fs::current_path(old);
  f.init = ReadAll(dir / "dat/INIT.DAT");
  f.map = ReadAll(dir / "dat/MAP00.DAT");
  f.save = ReadAll(dir / "save/SAVE00.DAT");
  if (f.init.empty() || f.map.empty() || f.save.empty()) *ok = false;
  return f;
}

// Archives of the current versions written by the archive writer: every storage method in one,
// then the same archive rewritten after one more entry, which gives the newest version.
std::vector<std::string> WrittenArchives(const fs::path& dir, const std::string& text, const std::string& picture,
                                         bool* ok) {
  const fs::path pak = dir / "seed.pak";
  const struct {
    const char* name;
    std::string bytes;
    int method;
  } entries[] = {{"STORED.BIN", text.substr(0, 300), kQoMethodStore},
                 {"TEXT.DAT", text, kQoMethodVarnel},
                 {"PICTURE.BMP", picture, kQoMethodCocotte},
                 {"INVERT.BIN", Noise(200), kQoMethodInvert},
                 {"LATER.TXT", "added to an archive that was read", kQoMethodVarnel}};
  std::vector<std::string> out;
  TQoPack pack;
  pack.SetReadOnly(false);
  for (size_t i = 0; i < std::size(entries); ++i) {
    if (i == 0 && !pack.NewPack(pak.c_str())) *ok = false;
    if (i == std::size(entries) - 1) {
      if (!pack.ClosePack()) *ok = false;
      out.push_back(ReadAll(pak));
      if (!pack.OpenPack(pak.string())) *ok = false;
    }
    const fs::path src = dir / entries[i].name;
    WriteAll(src, entries[i].bytes);
    // Entries carry their file's time: a fixed one keeps the seeds the same from run to run.
    const timespec times[2] = {{946684800, 0}, {946684800, 0}};
    utimensat(AT_FDCWD, src.c_str(), times, 0);
    if (!pack.AddFile(entries[i].name, src.c_str(), entries[i].method, false)) *ok = false;
  }
  if (!pack.ClosePack()) *ok = false;
  out.push_back(ReadAll(pak));
  return out;
}

// Archives of the two older versions, which are only read: 32-byte records (stored entries) and
// 40-byte records (with the storage method).
std::string OldArchive(bool withMethod, const std::string& entry, const std::string& coded, int method) {
  const std::string stored = withMethod ? coded : entry;
  std::string data = stored;
  data.resize((data.size() + 15) / 16 * 16, '\0');
  std::string s = "QoPack";
  PutLe16(s, withMethod ? kQoPackVersion0200 : kQoPackVersion0100);
  PutLe32(s, static_cast<std::uint32_t>(data.size()));
  PutLe32(s, 1);
  s += data;
  std::string name = withMethod ? "CODED" : "OLD";
  name.resize(kQoNameLen, '\0');
  s += name + std::string("DAT", kQoExtLen);
  PutLe32(s, 0);
  PutLe32(s, static_cast<std::uint32_t>(entry.size()));
  if (withMethod) {
    PutLe32(s, static_cast<std::uint32_t>(stored.size()));
    s += static_cast<char>(method);
    s += std::string(3, '\0');
  }
  return s;
}

std::string Registry() {
  TMemRegistryStore store;
  const std::string options = "Software\\NAVIRO Veldmark\\Veldmark Q Try\\system";
  const std::string product = "Software\\NAVIRO Veldmark\\Veldmark Q Try";
  store.CreateKey(options);
  store.WriteValue(options, "BGM", TRegValue::Integer(1));
  store.WriteValue(options, "PCM", TRegValue::Integer(0));
  store.WriteValue(product, "InstallPath", TRegValue::String(SJS("C:\\ゲーム\\vdm_q\\")));
  store.WriteValue(product, "Quote\"\\", TRegValue::String(std::string("tab\tend\x7f", 8)));
  store.CreateKey("Software\\Empty");
  return TTreeRegistryStore::Serialize(store.Root());
}

std::string Wave() {
  std::string fmt;
  PutLe16(fmt, 1);  // PCM
  PutLe16(fmt, 2);  // stereo
  PutLe32(fmt, 22050);
  PutLe32(fmt, 22050 * 4);
  PutLe16(fmt, 4);
  PutLe16(fmt, 16);
  return Riff("WAVE", Chunk("fmt ", fmt) + Chunk("LIST", "INFOISFT" + std::string(5, 'x')) +
                          Chunk("data", std::string(400, '\x10')));
}

std::string Avi() {
  std::string avih;
  PutLe32(avih, 66667);  // 15 frames a second
  for (int i = 0; i < 3; ++i) PutLe32(avih, 0);
  PutLe32(avih, 300);
  avih.resize(56, '\0');
  return Riff("AVI ", Chunk("LIST", "hdrl" + Chunk("avih", avih) + Chunk("LIST", "strl" + Chunk("strh", "vids"))) +
                          Chunk("LIST", "movi" + Chunk("00dc", "frame")));
}

}  // namespace

std::map<std::string, std::string> FuzzSeeds(bool* ok) {
  *ok = true;
  std::string base = "/tmp";
  if (const char* t = std::getenv("TMPDIR"); t && t[0] == '/') base = t;
  std::string pattern = base + "/vdmq-seeds-XXXXXX";
  if (!mkdtemp(pattern.data())) {
    *ok = false;
    return {};
  }
  const fs::path dir = pattern;
  std::map<std::string, std::string> s;

  const TGameFiles game = GameFiles(dir / "game", ok);
  s["fuzz_campaign_keyed_file/init.dat"] = game.init;
  s["fuzz_campaign_keyed_file/map00.dat"] = game.map;
  s["fuzz_campaign_keyed_file/save00.dat"] = game.save;
  // The first byte picks the file the input stands for: a save, a map, the new-game data.
  s["fuzz_campaign_save_load/save00"] = '\0' + game.save;
  s["fuzz_campaign_save_load/map00"] = '\1' + game.map;
  s["fuzz_campaign_save_load/init"] = '\2' + game.init;

  const std::string text = game.init.substr(0, 3000);
  const std::string picture = Bytes(raster::EncodeBmp(Gradient(32, 24)));
  const struct {
    const char* name;
    std::string plain;
    bool roundTrip;
  } plains[] = {{"data", text, false},
                {"picture", picture, false},
                {"zeros", std::string(2000, '\0'), false},
                {"noise", Noise(500), true},
                {"one", "x", false}};
  for (const auto& p : plains) {
    s[std::string("fuzz_varnel_decode/") + p.name] = Coded<TVarnelEncode>(p.plain, p.roundTrip, ok);
    s[std::string("fuzz_cocotte_decode/") + p.name] = Coded<TCocotteEncode>(p.plain, p.roundTrip, ok);
  }

  // The first byte: the check mode (0 none, 1 whole archive, 2 each entry) and, with 4, decoding.
  const std::vector<std::string> written = WrittenArchives(dir, text, picture, ok);
  std::string coded = Coded<TVarnelEncode>(text.substr(0, 600), false, ok).substr(3);
  s["fuzz_pack_reader/v0300_all_methods"] = '\5' + written.at(0);
  s["fuzz_pack_reader/v0301_rewritten"] = '\6' + written.at(1);
  s["fuzz_pack_reader/v0200_varnel"] = '\4' + OldArchive(true, text.substr(0, 600), coded, kQoMethodVarnel);
  s["fuzz_pack_reader/v0100_stored"] = '\4' + OldArchive(false, text.substr(0, 200), {}, kQoMethodStore);

  // The forms the game's pictures take: 8 bits with a palette and 24 bits, rows bottom-up or top-down.
  const std::string indexed = Bytes(raster::EncodeBmp(Indexed(9, 5)));
  const std::string rgb = Bytes(raster::EncodeBmp(Gradient(7, 3)));
  s["fuzz_bmp_loader/indexed.bmp"] = indexed;
  s["fuzz_bmp_loader/indexed_top_down.bmp"] = TopDown(indexed);
  s["fuzz_bmp_loader/rgb.bmp"] = rgb;
  s["fuzz_bmp_loader/rgb_top_down.bmp"] = TopDown(rgb);
  s["fuzz_bmp_loader/palette.act"] = Noise(768);
  // The window kit takes the same pictures whole and as resources (without the 14-byte file header).
  s["fuzz_bmp_bitmap/indexed.bmp"] = indexed;
  s["fuzz_bmp_bitmap/rgb_top_down.bmp"] = TopDown(rgb);
  s["fuzz_bmp_bitmap/indexed_resource.bmp"] = indexed.substr(14);
  s["fuzz_bmp_bitmap/rgb_resource.bmp"] = rgb.substr(14);

  // The first byte picks the reader: registry, mount table, WAVE header, AVI header.
  s["fuzz_sys_readers/registry"] = '\0' + Registry();
  s["fuzz_sys_readers/mounts"] = std::string(1, '\1') +
                                 "/dev/nvme0n1p2 / ext4 rw,relatime 0 0\n"
                                 "/dev/sr0 /media/player/VDM_Q\\040DISC1 iso9660 ro,nosuid,nodev 0 0\n"
                                 "/dev/loop3 /mnt/image udf ro 0 0\n"
                                 "tmpfs /tmp tmpfs rw,nosuid 0 0\n";
  s["fuzz_sys_readers/wave"] = '\2' + Wave();
  s["fuzz_sys_readers/avi"] = '\3' + Avi();

  std::error_code ec;
  fs::remove_all(dir, ec);
  return s;
}

bool WriteFuzzSeeds(const std::string& folder) {
  bool ok = false;
  const auto seeds = FuzzSeeds(&ok);
  if (!ok) {
    std::fprintf(stderr, "the seeds could not be made\n");
    return false;
  }
  std::set<fs::path> targets;
  for (const auto& [name, bytes] : seeds) targets.insert(fs::path(folder) / fs::path(name).parent_path());
  std::error_code ec;
  for (const fs::path& t : targets) {
    fs::create_directories(t, ec);
    for (const auto& e : fs::directory_iterator(t, ec)) {
      if (e.is_regular_file()) fs::remove(e.path(), ec);
    }
  }
  for (const auto& [name, bytes] : seeds) {
    if (!WriteAll(fs::path(folder) / name, bytes)) {
      std::fprintf(stderr, "cannot write %s\n", (fs::path(folder) / name).c_str());
      return false;
    }
  }
  return true;
}

}  // namespace vdmq::seeds
