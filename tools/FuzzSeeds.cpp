#include "tools/FuzzSeeds.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <sstream>
#include <vector>

#include "campaign/GameSave.h"
#include "campaign/Qvmap.h"
#include "campaign/Save.h"
#include "platform/base/Sjis.h"
#include "platform/sys/RegistryStore.h"
#include "qolib/pack/Qococotte.h"
#include "qolib/pack/Qopack.h"
#include "qolib/pack/Qovarnel.h"
#include "tests/support/RiffBytes.h"
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
using test::Put16;
using test::Put32;
using test::Riff;

// A fixed byte pattern that does not compress.
std::string Noise(size_t n) {
  std::string s;
  std::uint32_t x = 0x12345678u;
  for (size_t i = 0; i < n; ++i) {
    x = x * 1664525u + 1013904223u;
    s += static_cast<char>(x >> 24);
  }
  return s;
}

// Rows of a smooth colour picture, as pictures hold them (bottom row first, 3 bytes a pixel).
std::string Gradient(int width, int height) {
  std::string s;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      s += static_cast<char>(x * 255 / width);
      s += static_cast<char>(y * 255 / height);
      s += static_cast<char>((x + y) * 4);
    }
  }
  return s;
}

// A BMP: file header, 40-byte information header, palette, rows padded to 4 bytes. pixel(x, y)
// gives the bytes of one pixel of row y (top row 0).
std::string Bmp(int width, int height, int bits, std::uint32_t colours, bool topDown,
                const std::function<std::string(int, int)>& pixel) {
  const std::uint32_t paletteSize = bits == 8 ? 4 * (colours ? colours : 256) : 0;
  std::string s = "BM";
  Put32(s, 0);  // file size: not read
  Put32(s, 0);
  Put32(s, 54 + paletteSize);
  Put32(s, 40);
  Put32(s, static_cast<std::uint32_t>(width));
  Put32(s, static_cast<std::uint32_t>(topDown ? -height : height));
  Put16(s, 1);
  Put16(s, static_cast<std::uint32_t>(bits));
  for (int i = 0; i < 4; ++i) Put32(s, 0);
  Put32(s, colours);
  Put32(s, 0);
  for (std::uint32_t i = 0; i < paletteSize / 4; ++i) {
    s += static_cast<char>(i * 3);
    s += static_cast<char>(255 - i);
    s += static_cast<char>(i * 7);
    s += '\0';
  }
  for (int k = 0; k < height; ++k) {
    const int y = topDown ? k : height - 1 - k;
    std::string row;
    for (int x = 0; x < width; ++x) row += pixel(x, y);
    row.resize((row.size() + 3) / 4 * 4, '\0');
    s += row;
  }
  return s;
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
  if (!sample::GenerateSampleData(dir.string())) {
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
      pack.ClosePack();
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
  pack.ClosePack();
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
  Put16(s, withMethod ? kQoPackVersion0200 : kQoPackVersion0100);
  Put32(s, static_cast<std::uint32_t>(data.size()));
  Put32(s, 1);
  s += data;
  std::string name = withMethod ? "CODED" : "OLD";
  name.resize(kQoNameLen, '\0');
  s += name + std::string("DAT", kQoExtLen);
  Put32(s, 0);
  Put32(s, static_cast<std::uint32_t>(entry.size()));
  if (withMethod) {
    Put32(s, static_cast<std::uint32_t>(stored.size()));
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
  Put16(fmt, 1);  // PCM
  Put16(fmt, 2);  // stereo
  Put32(fmt, 22050);
  Put32(fmt, 22050 * 4);
  Put16(fmt, 4);
  Put16(fmt, 16);
  return Riff("WAVE", Chunk("fmt ", fmt) + Chunk("LIST", "INFOISFT" + std::string(5, 'x')) +
                          Chunk("data", std::string(400, '\x10')));
}

std::string Avi() {
  std::string avih;
  Put32(avih, 66667);  // 15 frames a second
  for (int i = 0; i < 3; ++i) Put32(avih, 0);
  Put32(avih, 300);
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
  const std::string picture = Gradient(32, 24);
  const struct {
    const char* name;
    std::string plain;
    bool roundTrip;
  } plains[] = {{"data", text, false},      {"picture", picture, false}, {"zeros", std::string(2000, '\0'), false},
                {"noise", Noise(500), true}, {"one", "x", false}};
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

  const auto rgb = [&](int x, int y) { return picture.substr(static_cast<size_t>((y % 24) * 32 + x % 32) * 3, 3); };
  const auto index = [](int x, int y) { return std::string(1, static_cast<char>(x * 16 + y)); };
  s["fuzz_bmp_loader/indexed_256.bmp"] = Bmp(16, 8, 8, 0, false, index);
  s["fuzz_bmp_loader/indexed_16_top_down.bmp"] =
      Bmp(9, 3, 8, 16, true, [](int x, int y) { return std::string(1, static_cast<char>((x + y) % 16)); });
  s["fuzz_bmp_loader/rgb.bmp"] = Bmp(17, 5, 24, 0, false, rgb);
  s["fuzz_bmp_loader/rgb_top_down.bmp"] = Bmp(6, 4, 24, 0, true, rgb);
  s["fuzz_bmp_loader/palette.act"] = picture.substr(0, 768);

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
