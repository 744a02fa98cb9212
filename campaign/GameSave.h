#pragma once
// Saving, loading and starting a game: the world tables pass through the save/load routine of every
// unit in one fixed order with one mode (0 write a save, 1 read a save, 2 read the new-game data).
// The map file (chips and planet positions) has its own routine, and the save/load screen reads the
// head of each slot.
//
// A save is written to a temporary file beside the slot (named for the process, so programs saving
// side by side never meet) and renamed over it only when every write, the flush, the sync and the
// close succeeded, so a failed save never destroys the previous one; the folder is synced after the
// rename, so a save reported done survives a power loss. A save also removes the temporary files
// that saves of programs no longer running left in the folder (killed before their rename); a
// running copy's file and anything else stay. Every file operation of a save goes
// through GameFileSystem (File_manager.h) on the slot's path mapped once. A load or a
// new game is a transaction: the world tables and the map chips are snapshot first and restored on
// any error (a thrown block error, a short read), so a half-loaded world never reaches play.

#include <cstdint>
#include <string>

namespace vdmq {

constexpr int kSaveSlotCount = 15;  // slots 0..14

// One slot line of the save/load screen.
struct TSaveInfo {
  std::int32_t Chapter;  // story variable 0
  std::int32_t Year;
  std::int32_t Period;
  // Last write of the save file (local time).
  std::uint16_t FileYear, FileMonth, FileDay, FileHour, FileMinute;
};

// Mode 0 saves the world into the slot, mode 1 loads the slot (over a fresh new game), mode 2 starts
// a new game from dat\INIT.DAT (slot ignored; callers pass -1). True when done; false, with the
// world and the slot file as they were, when anything failed (a slot outside 0..14 in modes 0 and
// 1, a file that does not open, a damaged file, a failed write). Failures other than an absent
// slot in mode 1 are told to the player by a notice.
bool SaveLoadGame(int mode, int slot);

// Reads (modes 1 and 2) or writes (mode 0) a map file: the chips of the map model, then the planet
// positions and pictures. False when the file does not open or, with the map and the planets
// restored, when it is damaged or cannot be written completely; the keyed file's errors (a missing
// key, a wrong type or count) are thrown after the restore.
bool SaveLoadMapFile(int mode, const std::string& path);

// The slot's chapter, story date and file date. False, never throwing, for a slot outside 0..14 and
// for a save that is absent, empty or damaged (the slot then shows as empty).
bool GetSaveInfo(int slot, TSaveInfo* info);

// Texts of the notices (CP932).
std::string SaveFailedText();
std::string LoadFailedText();
std::string NewGameFailedText();

}  // namespace vdmq
