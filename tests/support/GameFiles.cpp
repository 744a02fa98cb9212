#include "support/GameFiles.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "campaign/GameSave.h"
#include "campaign/Tec.h"
#include "platform/sys/PathMapper.h"

namespace vdmq::test {

namespace {

// One "int" block of a field of each entry of a table.
template <class Entry>
void WriteIntField(TDatFile* fp, const char* key, Entry* table, int entries, std::int32_t Entry::*field) {
  WriteKey(fp, key, "int", static_cast<std::uint32_t>(entries));
  for (int i = 0; i < entries; ++i) ReadWriteData(kSaveModeWrite, &(table[i].*field), 4, 1, fp);
}

// A catalogue block: `values` 32-bit values per entry starting at the member.
template <class Entry, class Member>
void WriteCatalogue(TDatFile* fp, const char* key, Entry* table, int entries, int values, Member Entry::*m) {
  WriteKey(fp, key, "int", static_cast<std::uint32_t>(entries * values));
  for (int i = 0; i < entries; ++i)
    ReadWriteData(kSaveModeWrite, &(table[i].*m), 4, static_cast<std::size_t>(values), fp);
}

template <class Entry>
void WriteEnabled(TDatFile* fp, const char* key, Entry* table, int entries) {
  WriteKey(fp, key, "bool", static_cast<std::uint32_t>(entries));
  for (int i = 0; i < entries; ++i) ReadWriteData(kSaveModeWrite, &table[i].Enabled, 1, 1, fp);
}

}  // namespace

void WriteInitDat(TDatFile* fp) {
  WriteKey(fp, "TEC_LEV_UP_FUND", "int", kTecCount * kTecLevCount);
  for (TTecData& t : TecData) ReadWriteData(kSaveModeWrite, t.LevUpFund, 4, kTecLevCount, fp);
  WriteIntField(fp, "COUNTRY_NAME", CountryData, kCountryCount, &TCountryData::Name);
  WriteIntField(fp, "COUNTRY_TURN", CountryData, kCountryCount, &TCountryData::Turn);
  WriteIntField(fp, "COUNTRY_PRESIDENT", CountryData, kCountryCount, &TCountryData::President);
  SaveLoadCountry(fp, kSaveModeWrite);  // capital, standard income, funds, income
  SaveLoadCountryRelation(fp, kSaveModeWrite);
  WriteIntField(fp, "PLANET_BELONG", PlanetData, kPlanetCount, &TPlanetData::Belong);
  WriteIntField(fp, "PLANET_INCOME_FUND", PlanetData, kPlanetCount, &TPlanetData::IncomeFund);
  WriteIntField(fp, "PLANET_HOKYUU", PlanetData, kPlanetCount, &TPlanetData::Hokyuu);
  const struct {
    const char* key;
    std::int32_t TCmdData::*field;
  } cmdKeys[] = {{"CMD_NAME", &TCmdData::Name},
                 {"CMD_CG", &TCmdData::Cg},
                 {"CMD_ATK_MOD", &TCmdData::AtkMod},
                 {"CMD_DEF_MOD", &TCmdData::DefMod},
                 {"CMD_ATK_MOD_UP", &TCmdData::AtkModUp},
                 {"CMD_DEF_MOD_UP", &TCmdData::DefModUp},
                 {"CMD_DIRECT", &TCmdData::Direct},
                 {"CMD_MIND", &TCmdData::Mind},
                 {"CMD_BELONG", &TCmdData::Belong},
                 {"CMD_EXP", &TCmdData::Exp},
                 {"CMD_LEV", &TCmdData::Lev},
                 {"CMD_CLASS_NAME", &TCmdData::ClassName},
                 {"CMD_UNDER_FLEET", &TCmdData::UnderFleet},
                 {"CMD_FATIGUE", &TCmdData::Fatigue}};
  for (const auto& k : cmdKeys) WriteIntField(fp, k.key, CmdData, kCmdCount, k.field);
  WriteKey(fp, "FLEET_CAN_USE", "bool", kCountryCount * kFleetCount);
  for (auto& row : FleetData) {
    for (TFleetData& f : row) ReadWriteData(kSaveModeWrite, &f.CanUse, 1, 1, fp);
  }
  WriteKey(fp, "DOCK_ABT", "int", kPlanetCount * kPlanetDockCount);
  for (TDockData& d : DockData) ReadWriteData(kSaveModeWrite, d.Abt, 4, kPlanetDockCount, fp);
  WriteCatalogue(fp, "FRAME_PARTS", FrameData, kFrameCount, 11, &TFrameData::Parts);
  WriteCatalogue(fp, "FRAME_BODY", FrameData, kFrameCount, 2, &TFrameData::Body);
  WriteCatalogue(fp, "FRAME_MOVE_STEP", FrameData, kFrameCount, 1, &TFrameData::MoveStep);
  WriteCatalogue(fp, "WEAPON_PARTS", WeaponData, kWeaponCount, 11, &TWeaponData::Parts);
  WriteCatalogue(fp, "WEAPON_WEAPON", WeaponData, kWeaponCount, 7, &TWeaponData::Weapon);
  WriteCatalogue(fp, "ENGINE_PARTS", EngineData, kEngineCount, 11, &TEngineData::Parts);
  WriteCatalogue(fp, "ENGINE_ENGINE", EngineData, kEngineCount, 2, &TEngineData::Engine);
  WriteCatalogue(fp, "SHIELD_PARTS", ShieldData, kShieldCount, 11, &TShieldData::Parts);
  WriteCatalogue(fp, "SHIELD_SHIELD", ShieldData, kShieldCount, 4, &TShieldData::Shield);
  WriteEnabled(fp, "FRAME_ENABLED", FrameData, kFrameCount);
  WriteEnabled(fp, "WEAPON_ENABLED", WeaponData, kWeaponCount);
  WriteEnabled(fp, "ENGINE_ENABLED", EngineData, kEngineCount);
  WriteEnabled(fp, "SHIELD_ENABLED", ShieldData, kShieldCount);
}

void SetUpNewGameTables() {
  for (int c = 0; c < kCountryCount; ++c) {
    CountryData[c].Name = c;
    CountryData[c].Turn = c;
    CountryData[c].President = c % kEventCharacterCount;
    CountryData[c].StdFund = 100 + c;
    CountryData[c].Fund = 1000 * (c + 1);
    CountryData[c].Capital = -1;
  }
  for (int p = 0; p < kPlanetCount; ++p) {
    PlanetData[p].IncomeFund = 10 + p;
    PlanetData[p].Hokyuu = 20 + (p % 7);
  }
  // Planets 0..2 are the capitals of countries 0..2; planet 3 is unowned.
  for (int c = 0; c < 3; ++c) {
    PlanetData[c].Belong = c;
    CountryData[c].Capital = c;
  }
  SetCountryRelation(0, 1, kRelationWar);
  SetCountryRelation(0, 2, kRelationAlly);
  for (int i = 0; i < kCmdCount; ++i) {
    CmdData[i].Cg = i % 40;
    CmdData[i].AtkMod = 50 + i % 10;
    CmdData[i].DefMod = 40 + i % 9;
    CmdData[i].AtkModUp = 2;
    CmdData[i].DefModUp = 1;
    CmdData[i].Direct = i % 100;
    CmdData[i].Mind = i % 30;
  }
  for (int c = 0; c < 3; ++c) {
    FleetData[c][0].CanUse = 1;
    FleetData[c][1].CanUse = 1;
    CmdData[c].Belong = c;
    CmdData[c].UnderFleet = 0;
  }
  for (int p = 0; p < 3; ++p) DockData[p].Abt[0] = 10 + p;
  for (int t = 0; t < kTecCount; ++t) {
    for (int l = 1; l < kTecLevCount; ++l) TecData[t].LevUpFund[l] = 100 * l + t;
  }
}

void FillSampleChips(TQvMap& map, int salt) {
  for (int y = 0; y < kMapSize; ++y) {
    for (int x = 0; x < kMapSize; ++x) {
      const bool wall = (x + y + salt) % 17 == 0 && x > 5;
      map.SetChip(x, y, static_cast<std::uint8_t>(wall ? 20 + (x % 5) : (x * 7 + y * 3 + salt) % 20));
    }
  }
}

std::string WorldBytes() {
  std::string s;
  auto add = [&s](const void* p, std::size_t n) { s.append(static_cast<const char*>(p), n); };
  add(&StoryData, sizeof StoryData);
  add(EventCharacterData, sizeof EventCharacterData);
  add(TecData, sizeof TecData);
  add(CountryData, sizeof CountryData);
  add(CountryRelation, sizeof CountryRelation);
  add(PlanetData, sizeof PlanetData);
  add(CmdData, sizeof CmdData);
  add(FleetData, sizeof FleetData);
  add(DockData, sizeof DockData);
  add(FrameData, sizeof FrameData);
  add(WeaponData, sizeof WeaponData);
  add(EngineData, sizeof EngineData);
  add(ShieldData, sizeof ShieldData);
  if (QvMap != nullptr) {
    TQvMap::TChips chips;
    QvMap->GetChips(&chips);
    add(&chips, sizeof chips);
  }
  return s;
}

std::string ReadGameFile(const std::string& gamePath) {
  std::ifstream in(NativePath(gamePath), std::ios::binary);
  if (!in) return "<absent>";
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool WriteGameFile(const std::string& gamePath, const std::string& bytes) {
  if (!MakeGameFileFolder(gamePath)) return false;
  std::FILE* f = OpenGameFile(gamePath, "wb");
  if (f == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && written;
}

TGameFiles::TGameFiles() {
  sys.WriteFile("C:\\vdmq\\vdm_q_t.exe", "");
  if (!files.Init()) throw std::runtime_error("the data-file locator does not start");
  FileManager = &files;
  QvMap = &map;
  ResetWorld();
  SetUpNewGameTables();
}

TGameFiles::~TGameFiles() {
  SetGameFileSystem(nullptr);
  FileManager = nullptr;
  QvMap = nullptr;
}

void TGameFiles::WriteInit() {
  bool ok = MakeGameFileFolder(kInit);
  std::FILE* f = ok ? OpenGameFile(kInit, "wb") : nullptr;
  if (f == nullptr) throw std::runtime_error("INIT.DAT cannot be created");
  {
    TDatFile fp(f);
    WriteInitDat(&fp);
    ok = !fp.HasError();
  }
  if (std::fclose(f) != 0 || !ok) throw std::runtime_error("INIT.DAT cannot be written");
}

void TGameFiles::WriteMap(const char* gamePath) {
  if (!SaveLoadMapFile(kSaveModeWrite, gamePath)) throw std::runtime_error(std::string("cannot write ") + gamePath);
}

void TGameFiles::ResetWorld() {
  map.ClearMap();
  test::ResetWorld();
}

}  // namespace vdmq::test
