#pragma once
// The file kinds: every file the game reads is named by a kind and, for a numbered kind, a running
// number that printf-style formatting puts into the kind's name pattern. The data-file locator
// (TFileManager) turns the pair into a path, or into the bare entry name of a picture in the
// picture archive. This is the one table of the kinds, their numbers, the folder and name pattern
// of their files and what each holds; the game, the battle, the screens, the sample-data generator
// and the tests all name a kind from here. A kind's number and pattern are the name of its files
// and archive entries: changing either renames them. There are no kinds 44 and 45.
//
// Portraits and ship pictures are numbered by the character's or the hull's picture (CG) number.

namespace vdmq {

// --- files in the game's folders ---

constexpr int kFileKindPack = 0;             // dat: the picture archive that holds every picture kind below
constexpr int kFileKindMap = 1;              // dat: a scenario map, by the story's map number
constexpr int kFileKindInit = 2;             // dat: the new-game data
constexpr int kFileKindSave = 3;             // save: a saved game, by slot 0..14
constexpr int kFileKindSoundEffect = 4;      // snd: a sound effect (0: a battle ship destroyed)
constexpr int kFileKindAdjutant2Voice = 5;   // snd: a voice clip of the adjutant who is event character 2
constexpr int kFileKindAdjutant12Voice = 6;  // snd: a voice clip of the adjutant who is event character 12
constexpr int kFileKindHelp = 7;             // the program's folder: the help file
constexpr int kFileKindMovie = 56;           // inter, else the game disc: a movie (1 opening, 2 ending)

// --- pictures in the archive ---

// Backgrounds of the windows and screens, each the size of its form's client area.
constexpr int kFileKindMainBackground = 8;                // the main window
constexpr int kFileKindDesignerBackground = 9;            // the ship designer
constexpr int kFileKindEventBackground = 11;              // the event dialogue window
constexpr int kFileKindCommanderSelectorBackground = 13;  // the commander selector
constexpr int kFileKindDockBackground = 15;               // the dock screen
constexpr int kFileKindPlanetSelectorBackground = 16;     // the planet selector
constexpr int kFileKindFleetBackground = 17;              // the fleet screen
constexpr int kFileKindFleetSelectorBackground = 19;      // the fleet selector
constexpr int kFileKindSaveLoadBackground = 20;           // the save/load screen
constexpr int kFileKindPartsSelectorBackground = 21;      // the parts selector
constexpr int kFileKindTechnologyBackground = 22;         // the technology screen
constexpr int kFileKindBattleBarBackground = 23;          // the battle window's bar below the view
constexpr int kFileKindMessageBoxBackground = 25;         // the message box
constexpr int kFileKindInformationBackground = 26;        // the information screen
constexpr int kFileKindKeypadBackground = 27;             // the numeric keypad
constexpr int kFileKindPlanetBackground = 28;             // the planet screen
constexpr int kFileKindSystemMenuBackground = 29;         // the system menu

// The main window's command bar: its left and right ends, and the middle that fills a bar wider
// than the design's 792 pixels.
constexpr int kFileKindMainBarRight = 30;
constexpr int kFileKindMainBarLeft = 31;
constexpr int kFileKindMainBarMiddle = 32;

// What stands in an empty picture frame.
constexpr int kFileKindDesignerNoHull = 10;               // the ship designer's hull frame
constexpr int kFileKindCommanderSelectorNoPortrait = 14;  // the commander selector's portrait
constexpr int kFileKindFleetNoShip = 18;                  // the fleet screen's ship frame

// The event dialogue window's pictures: kFileKindEventPicture 0 the page's text area, 1 and 2 the
// left and right portrait frames without a character, 10..13 and 20..23 the left and right
// shutters; kFileKindEventArrow the next-page arrow in 14 frames across.
constexpr int kFileKindEventPicture = 12;
constexpr int kFileKindEventArrow = 57;

// Portraits. The large portrait shows the speaking side of the event window and the information
// screen's character; the dimmed one the event window's side that listens. The framed commander
// portraits are the commander selector's and the message box's (its adjutant), and the battle
// window's small one (29 there: the planet defence's emblem).
constexpr int kFileKindLargePortrait = 40;
constexpr int kFileKindDimmedPortrait = 41;
constexpr int kFileKindCommanderPortrait = 42;
constexpr int kFileKindSmallCommanderPortrait = 43;

// Ship pictures: the fleet screen's and the ship designer's, and a half-size one.
constexpr int kFileKindShipPicture = 38;
constexpr int kFileKindSmallShipPicture = 39;

// The strategic map view's sheets.
constexpr int kFileKindMapBackground = 46;   // the starfield behind the map, by chapter (0..3)
constexpr int kFileKindMapChips = 34;        // terrain chips and map marks (1 in chapter 4, else 0)
constexpr int kFileKindMapPlanets = 35;      // planets and country marks
constexpr int kFileKindMapFleetIcons = 36;   // fleet icons
constexpr int kFileKindMapMarks = 37;        // small marks: owner, capital, fleet at a planet, moved
constexpr int kFileKindMapMinimapBase = 33;  // the backdrop of the map's minimap

// The battle view's sheets.
constexpr int kFileKindBattleBackground = 47;   // the arena's background
constexpr int kFileKindBattleRadar = 48;        // radar glyphs (loaded, drawn by no unit)
constexpr int kFileKindBattleHull = 49;         // a hull in 8 headings
constexpr int kFileKindBattleMissiles = 50;     // missiles and bolts
constexpr int kFileKindBattleFlames = 51;       // 0 engine flames, 1 loaded and drawn by no unit
constexpr int kFileKindBattleExplosions = 52;   // 0 a ship destroyed, 1 a missile's end
constexpr int kFileKindBattleTrails = 53;       // trails and flashes
constexpr int kFileKindBattleShield = 54;       // the shield
constexpr int kFileKindBattleMarkers = 55;      // the cursor and the flagship markers
constexpr int kFileKindBattleMinimapBase = 24;  // the backdrop of the battle window's minimap

// Where the files of a kind lie.
enum class TFileFolder {
  kSound,    // snd
  kArchive,  // an entry of the picture archive
  kData,     // dat
  kSave,     // save
  kHelp,     // the program's folder
  kMovie,    // inter, else the game disc
};

struct TFileKind {
  int kind;
  TFileFolder folder;
  const char* pattern;  // the file or entry name; a numbered kind's holds one printf conversion
};

// Every kind, by number.
inline constexpr TFileKind kFileKinds[] = {
    {kFileKindPack, TFileFolder::kData, "BMP.PAK"},
    {kFileKindMap, TFileFolder::kData, "MAP%02d.DAT"},
    {kFileKindInit, TFileFolder::kData, "INIT.DAT"},
    {kFileKindSave, TFileFolder::kSave, "SAVE%02d.DAT"},
    {kFileKindSoundEffect, TFileFolder::kSound, "SE_%02d.WAV"},
    {kFileKindAdjutant2Voice, TFileFolder::kSound, "ERI_%03d.WAV"},
    {kFileKindAdjutant12Voice, TFileFolder::kSound, "PET_%03d.WAV"},
    {kFileKindHelp, TFileFolder::kHelp, "q_help.hlp"},
    {kFileKindMainBackground, TFileFolder::kArchive, "BG_MAIN.BMP"},
    {kFileKindDesignerBackground, TFileFolder::kArchive, "BG_BUILD.BMP"},
    {kFileKindDesignerNoHull, TFileFolder::kArchive, "BG_BUILD_0.BMP"},
    {kFileKindEventBackground, TFileFolder::kArchive, "BG_EVENT.BMP"},
    {kFileKindEventPicture, TFileFolder::kArchive, "BG_EV%02d.BMP"},
    {kFileKindCommanderSelectorBackground, TFileFolder::kArchive, "BG_CMDSEL.BMP"},
    {kFileKindCommanderSelectorNoPortrait, TFileFolder::kArchive, "BG_CMDSEL_0.BMP"},
    {kFileKindDockBackground, TFileFolder::kArchive, "BG_DOCK.BMP"},
    {kFileKindPlanetSelectorBackground, TFileFolder::kArchive, "BG_PL_SEL.BMP"},
    {kFileKindFleetBackground, TFileFolder::kArchive, "BG_FLEET.BMP"},
    {kFileKindFleetNoShip, TFileFolder::kArchive, "BG_FLEET_0.BMP"},
    {kFileKindFleetSelectorBackground, TFileFolder::kArchive, "BG_FLSEL.BMP"},
    {kFileKindSaveLoadBackground, TFileFolder::kArchive, "BG_SAVE.BMP"},
    {kFileKindPartsSelectorBackground, TFileFolder::kArchive, "BG_PARTS.BMP"},
    {kFileKindTechnologyBackground, TFileFolder::kArchive, "BG_TEC.BMP"},
    {kFileKindBattleBarBackground, TFileFolder::kArchive, "BG_BTMAIN.BMP"},
    {kFileKindBattleMinimapBase, TFileFolder::kArchive, "BG_BTMAIN_0.BMP"},
    {kFileKindMessageBoxBackground, TFileFolder::kArchive, "BG_SYSMES.BMP"},
    {kFileKindInformationBackground, TFileFolder::kArchive, "BG_CMDIF.BMP"},
    {kFileKindKeypadBackground, TFileFolder::kArchive, "BG_DENTAKU.BMP"},
    {kFileKindPlanetBackground, TFileFolder::kArchive, "BG_PLANET.BMP"},
    {kFileKindSystemMenuBackground, TFileFolder::kArchive, "BG_SYSTEM.BMP"},
    {kFileKindMainBarRight, TFileFolder::kArchive, "BG_MAIN_R.BMP"},
    {kFileKindMainBarLeft, TFileFolder::kArchive, "BG_MAIN_L.BMP"},
    {kFileKindMainBarMiddle, TFileFolder::kArchive, "BG_MAIN_M.BMP"},
    {kFileKindMapMinimapBase, TFileFolder::kArchive, "BG_MAIN_0.BMP"},
    {kFileKindMapChips, TFileFolder::kArchive, "QV_MAP%d.BMP"},
    {kFileKindMapPlanets, TFileFolder::kArchive, "QV_PLA.BMP"},
    {kFileKindMapFleetIcons, TFileFolder::kArchive, "QV_SHIP.BMP"},
    {kFileKindMapMarks, TFileFolder::kArchive, "QV_MK.BMP"},
    {kFileKindShipPicture, TFileFolder::kArchive, "SH_%02d.BMP"},
    {kFileKindSmallShipPicture, TFileFolder::kArchive, "SH_S%02d.BMP"},
    {kFileKindLargePortrait, TFileFolder::kArchive, "GEN_%02d.BMP"},
    {kFileKindDimmedPortrait, TFileFolder::kArchive, "GEN_D%02d.BMP"},
    {kFileKindCommanderPortrait, TFileFolder::kArchive, "COM_%02d.BMP"},
    {kFileKindSmallCommanderPortrait, TFileFolder::kArchive, "COM_S%02d.BMP"},
    {kFileKindMapBackground, TFileFolder::kArchive, "BG_%02d.BMP"},
    {kFileKindBattleBackground, TFileFolder::kArchive, "BTBG_%02d.BMP"},
    {kFileKindBattleRadar, TFileFolder::kArchive, "BT_MAP.BMP"},
    {kFileKindBattleHull, TFileFolder::kArchive, "BTSH_%02d.BMP"},
    {kFileKindBattleMissiles, TFileFolder::kArchive, "BTMS_%02d.BMP"},
    {kFileKindBattleFlames, TFileFolder::kArchive, "BTEFC_%02d.BMP"},
    {kFileKindBattleExplosions, TFileFolder::kArchive, "BTEXP_%02d.BMP"},
    {kFileKindBattleTrails, TFileFolder::kArchive, "BTADD_%02d.BMP"},
    {kFileKindBattleShield, TFileFolder::kArchive, "BTSD_%02d.BMP"},
    {kFileKindBattleMarkers, TFileFolder::kArchive, "BT_MK.BMP"},
    {kFileKindMovie, TFileFolder::kMovie, "INT_T%02d.str"},
    {kFileKindEventArrow, TFileFolder::kArchive, "BG_EV_NX.BMP"},
};

}  // namespace vdmq
