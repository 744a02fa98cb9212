// Sounds, the music from the game disc and the movie window, on the fake media of the headless
// session: what is opened and played, when the music repeats, and how the movie queue runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ScreensTestSupport.h"
#include "campaign/BattleRecord.h"
#include "campaign/FileKinds.h"
#include "campaign/GameHost.h"
#include "campaign/Story.h"
#include "formkit/Chbcbtn.h"
#include "platform/core/MediaPlayer.h"
#include "platform/core/StdCtrls.h"
#include "screens/F_system.h"
#include "screens/Main.h"
#include "screens/f_avi.h"

namespace vdmq {
namespace {

using TLog = std::vector<std::string>;

class SoundAndMovies : public ::testing::Test {
 protected:
  // The game's windows over the generated data, with a game disc in drive D: when asked.
  void Start(bool disc) {
    if (disc) {
      folder_.sys.AddDisc('D', "disc1");
      folder_.sys.WriteFile("D:\\VDM_Q.ID1", "");
    }
    session_ = std::make_unique<THeadlessSession>();
    game_ = std::make_unique<TGameSession>();
    ASSERT_FALSE(game_->StartFailed());
    Log().clear();
  }
  void TearDown() override {
    game_.reset();
    session_.reset();
    for (int i = 0; i < 3; ++i) SetSysOption(i, 1);
  }
  TLog& Log() { return session_->Media.log; }
  // The log since the last call.
  TLog Take() { return std::exchange(session_->Media.log, {}); }
  bool Waited() const {
    for (const std::string& l : session_->Backend.Log)
      if (l.rfind("wait ", 0) == 0) return true;
    return false;
  }
  // Moves virtual time on until the movie shown has reached a frame.
  void PlayToFrame(int frame) {
    while (fmAvi->mpAvi->Position() < frame) session_->Backend.Advance(1);
  }

  test::TGameFolder folder_;
  std::unique_ptr<THeadlessSession> session_;
  std::unique_ptr<TGameSession> game_;
};

TEST_F(SoundAndMovies, SoundsPlayOnlyWithTheSoundOptionOnAndAVoiceSetMusicOnlyWithADisc) {
  Start(false);
  struct Case {
    int pcm, kind, number;
    bool wait;
    TLog log;
  } cases[] = {
      {1, kFileKindAdjutant2Voice, 0, true, {"open waveaudio .\\snd\\ERI_000.WAV", "play - wait"}},
      {1, kFileKindAdjutant12Voice, 3, false, {"open waveaudio .\\snd\\PET_003.WAV", "play -"}},
      {1, kFileKindSoundEffect, 0, false, {"open waveaudio .\\snd\\SE_00.WAV", "play -"}},
      {0, kFileKindAdjutant2Voice, 8, false, {}},
      {1, -1, 8, false, {}},  // the adjutant has no voice: nothing asked of the locator
  };
  for (const Case& c : cases) {
    SetSysOption(kSysOptionPcm, c.pcm);
    session_->Backend.Log.clear();
    EXPECT_NO_THROW(GameHost().PlayWave(c.kind, c.number, c.wait)) << c.kind << "," << c.number;
    EXPECT_EQ(Take(), c.log) << c.kind << "," << c.number;
    EXPECT_EQ(Waited(), c.wait && !c.log.empty()) << c.kind << "," << c.number;
  }
  PlayCdTrack(2, true);
  EXPECT_TRUE(Take().empty()) << "no music without a disc";
  // A new sound cuts off the one still playing.
  PlayWaveNoWait(kFileKindAdjutant2Voice, 2);
  PlayWaveNoWait(kFileKindAdjutant2Voice, 3);
  EXPECT_FALSE(fmMain->mpWav->FileName.empty());
  EXPECT_EQ(fmMain->mpWav->FileName, ".\\snd\\ERI_003.WAV");
  EXPECT_TRUE(fmMain->mpWav->Playing());
}

TEST_F(SoundAndMovies, MusicPlaysOneTrackAndRepeatsItOnlyAfterASuccessfulEnd) {
  Start(true);
  GameHost().PlayMapBgm();
  EXPECT_EQ(Take(), (TLog{"open cdaudio D: wait", "play 2-3 notify"}));
  // Reports other than success change nothing.
  for (EMediaNotify v : {EMediaNotify::Superseded, EMediaNotify::Aborted, EMediaNotify::Failure}) {
    fmMain->mpCd->NotifyValue = v;
    fmMain->mpCdNotify(fmMain->mpCd);
  }
  EXPECT_TRUE(Log().empty());
  // The end of the track starts it again.
  session_->Backend.Advance(120000);
  App().ProcessMessages();
  EXPECT_EQ(Take(), (TLog{"open cdaudio D: wait", "play 2-3 notify"}));
  // The last track of the disc plays to its end; without loop no notification is asked.
  PlayCdTrack(7, false);
  EXPECT_EQ(Take(), (TLog{"open cdaudio D: wait", "play 7-"}));
  BtInfo.kind = kBtKindPlanet;
  GameHost().PlayBattleBgm();
  EXPECT_EQ(Take(), (TLog{"open cdaudio D: wait", "play 7- notify"}));
  StopCdTrack();
  EXPECT_EQ(Take(), (TLog{"stop wait", "close"}));
  RepeatCdTrack();
  fmMain->mpCd->NotifyValue = EMediaNotify::Successful;
  fmMain->mpCdNotify(fmMain->mpCd);
  StopCdTrack();
  EXPECT_TRUE(Log().empty()) << "stopped music neither repeats nor closes twice";
  BtInfo.kind = kBtKindSpace;
  // The main window stops the music as it goes.
  GameHost().PlayMapBgm();
  Take();
  game_.reset();
  EXPECT_EQ(Take(), (TLog{"stop wait", "close"}));
}

TEST_F(SoundAndMovies, NoMusicWithTheOptionOffOrForATrackTheDiscLacks) {
  Start(true);
  SetSysOption(kSysOptionBgm, 0);
  PlayCdTrack(2, true);
  EXPECT_TRUE(Take().empty()) << "option off";
  SetSysOption(kSysOptionBgm, 1);
  TFakeMedia threeTracks;
  threeTracks.trackMs = {1000, 1000, 1000};
  session_->Media.SetMedia("D:", threeTracks);
  for (int track : {0, 4, 7}) {
    EXPECT_NO_THROW(PlayCdTrack(track, true));
    for (const std::string& l : Take()) EXPECT_EQ(l.rfind("play", 0), std::string::npos) << track << ": " << l;
  }
  EXPECT_FALSE(fmMain->mpCd->IsOpen());
}

TEST_F(SoundAndMovies, MapAndBattleTracksFollowTheChapterAndTheBattleKind) {
  Start(false);
  const int map[][2] = {{0, 2}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 2}, {-1, 2}};
  for (const auto& [chapter, track] : map) {
    SetStoryVar(0, chapter);
    EXPECT_EQ(GetMapBgmTrack(), track) << chapter;
  }
  const int battle[][2] = {{kBtKindSpace, 6}, {1, 6}, {kBtKindPlanet, 7}};
  for (const auto& [kind, track] : battle) {
    BtInfo.kind = kind;
    EXPECT_EQ(GetBattleBgmTrack(), track) << kind;
  }
  BtInfo.kind = kBtKindSpace;
}

TEST(MovieQueue, HoldsThirtyTwoMoviesInOrder) {
  AviQueueClear();
  for (int i = 0; i < 33; ++i) AviQueueAdd(kFileKindMovie, i);
  int kind = 0, number = 0;
  for (int i = 0; i < 32; ++i) {
    AviQueueGet(&kind, &number);
    EXPECT_EQ(kind, kFileKindMovie);
    EXPECT_EQ(number, i) << "the 33rd is ignored";
  }
  AviQueueGet(&kind, &number);
  EXPECT_EQ(kind, -1);
  EXPECT_EQ(number, -1);
  AviQueueAdd(kFileKindMovie, 7);
  AviQueueAdd(kFileKindMovie, 8);
  AviQueueClear();
  AviQueueGet(&kind, &number);
  EXPECT_EQ(kind, -1);
}

TEST_F(SoundAndMovies, MoviesFillTheScreenAndASkipNeedsFrameNinety) {
  Start(true);
  TfmAvi* window = nullptr;
  int step = 0;
  session_->Backend.Driver = [&] {
    // Only the three steps act (the event window's arrow keeps the clock ticking meanwhile).
    if (fmAvi == nullptr || TopModal() != fmAvi || step > 2) return false;
    switch (step++) {
      case 0:
        window = fmAvi;
        EXPECT_EQ(fmAvi->BoundsRect(), Bounds(0, 0, 800, 600));
        EXPECT_EQ(fmAvi->plAvi->BoundsRect(), Bounds(240, 180, 320, 240));
        EXPECT_EQ(fmAvi->mpAvi->FileName, ".\\inter\\INT_T01.str");
        EXPECT_NE(std::find(session_->Backend.Log.begin(), session_->Backend.Log.end(), "warp 800,600"),
                  session_->Backend.Log.end())
            << "the mouse goes to the corner";
        PlayToFrame(kAviSkipFrame - 1);
        Take();
        ClickAt(fmAvi->plAvi, 20, 20, mbLeft, false);  // away from the next click: no double click
        return true;
      case 1:
        EXPECT_TRUE(Log().empty()) << "frame 89: the click is ignored";
        PlayToFrame(kAviSkipFrame);
        Click(fmAvi->plAvi, mbLeft, false);
        return true;
      case 2:
        EXPECT_EQ(fmAvi, window);
        EXPECT_EQ(fmAvi->mpAvi->FileName, ".\\inter\\INT_T02.str") << "frame 90: the next movie";
        return false;  // the last movie plays to its end
      default: return false;
    }
  };
  GameHost().PlayMapBgm();
  AviQueueClear();
  AviQueueAdd(kFileKindMovie, 1);
  AviQueueAdd(kFileKindMovie, 2);
  PlayAviQueue();
  EXPECT_EQ(step, 3);
  EXPECT_NE(window, nullptr);
  EXPECT_EQ(fmAvi, nullptr) << "the window is freed";
  const TLog log = Take();
  ASSERT_GE(log.size(), 7u);
  EXPECT_EQ(TLog(log.end() - 7, log.end()), (TLog{"stop notify", "close", "open avivideo .\\inter\\INT_T02.str",
                                                  "play - notify", "close", "open cdaudio D: wait", "play 2-3 notify"}))
      << "skipped at frame 90, the second movie plays to its end and the map music follows";
}

TEST_F(SoundAndMovies, AMovieThatCannotPlayClosesTheWindowAndTheMapMusicStarts) {
  Start(true);
  TFakeMedia broken;
  broken.playable = false;
  session_->Media.SetMedia(".\\inter\\INT_T01.str", broken);
  GameHost().PlayAvi(kFileKindMovie, 1);
  EXPECT_EQ(fmAvi, nullptr);
  EXPECT_EQ(Take(),
            (TLog{"open avivideo .\\inter\\INT_T01.str", "play - notify", "open cdaudio D: wait", "play 2-3 notify"}));
}

// With the game disc in the drive, movie 3 and 4 are on neither the disc nor the game folder: the
// player cannot open them, and the queue goes on without them.
TEST_F(SoundAndMovies, AMovieThatCannotBeOpenedIsPassedOverAndTheQueuePlaysOn) {
  Start(true);
  const std::string missing3 = "open avivideo D:\\VDM_Q\\inter\\INT_T03.str";
  const std::string missing4 = "open avivideo D:\\VDM_Q\\inter\\INT_T04.str";
  const TLog play1 = {"open avivideo .\\inter\\INT_T01.str", "play - notify", "close"};
  const TLog play2 = {"open avivideo .\\inter\\INT_T02.str", "play - notify", "close"};
  const TLog music = {"open cdaudio D: wait", "play 2-3 notify"};
  const auto join = [](std::initializer_list<TLog> parts) {
    TLog all;
    for (const TLog& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
  };
  struct Case {
    std::vector<int> queue;
    std::vector<std::string> shown;  // the movies on the window when it shows one
    TLog log;
  } cases[] = {
      {{3, 1}, {".\\inter\\INT_T01.str"}, join({{missing3}, play1, music})},
      {{1, 3}, {".\\inter\\INT_T01.str"}, join({play1, {missing3}, music})},
      {{1, 3, 4, 2},
       {".\\inter\\INT_T01.str", ".\\inter\\INT_T02.str"},
       join({play1, {missing3, missing4}, play2, music})},
      {{3, 4}, {}, join({{missing3, missing4}, music})},
      {{}, {}, music},
  };
  for (const Case& c : cases) {
    std::vector<std::string> shown;
    session_->Backend.Driver = [&] {
      if (fmAvi != nullptr && TopModal() == fmAvi && (shown.empty() || shown.back() != fmAvi->mpAvi->FileName))
        shown.push_back(fmAvi->mpAvi->FileName);
      return false;
    };
    StopCdTrack();
    Take();
    AviQueueClear();
    for (int n : c.queue) AviQueueAdd(kFileKindMovie, n);
    EXPECT_NO_THROW(PlayAviQueue());
    session_->Backend.Driver = nullptr;
    EXPECT_EQ(fmAvi, nullptr);
    EXPECT_EQ(shown, c.shown) << c.queue.size();
    EXPECT_EQ(Take(), c.log) << c.queue.size();
    int kind = 0;
    AviQueueGet(&kind, nullptr);
    EXPECT_EQ(kind, -1) << "the queue is used up";
  }
}

// The opening movie missing from a game disc leaves a new game to start its first turn as usual.
TEST(NewGame, WithoutItsOpeningMovieStartsThePlayersFirstTurnWithTheCommandBar) {
  test::TGameRun run;
  run.folder.sys.AddDisc('D', "disc1");
  run.folder.sys.WriteFile("D:\\VDM_Q.ID1", "");
  ASSERT_TRUE(std::filesystem::remove(run.folder.Native("inter/INT_T01.str")));
  test::TScreenScript script;
  TLog media;
  std::vector<std::string> disabled;
  script.NewGameToFirstTurn()
      .Then("",
            [&](TForm*) {
              for (TCHBcBitBtn* b : {fmMain->btnDock, fmMain->btnTec, fmMain->btnNextTurn, fmMain->btnFleet,
                                     fmMain->btnPlanet, fmMain->btnSave, fmMain->btnHelp})
                if (!b->Enabled()) disabled.push_back(b->Name);
              media = run.Session()->Media.log;
              fmMain->Close();
            })
      .Box("確認", "ゲームを終了します。");
  EXPECT_EQ(run.Run(script), 0);
  EXPECT_TRUE(script.Done()) << "no platform box, and the first turn came";
  EXPECT_EQ(disabled, std::vector<std::string>{}) << "the command bar is enabled";
  const std::string missing = "open avivideo D:\\VDM_Q\\inter\\INT_T01.str";
  const auto opened = std::find(media.begin(), media.end(), missing);
  ASSERT_GE(media.end() - opened, 3) << "the movie was looked for on the disc";
  EXPECT_EQ(TLog(opened, opened + 3), (TLog{missing, "open cdaudio D: wait", "play 2-3 notify"}))
      << "no movie played, the map music follows";
  EXPECT_EQ(
      std::count_if(media.begin(), media.end(), [](const std::string& l) { return l.rfind("open avivideo", 0) == 0; }),
      1);
}

// A movie asked for while the movie window plays only restarts the map music; the window stays and
// goes on with the queue, which now holds the new movie.
TEST_F(SoundAndMovies, AMovieStartedInsideAMovieLeavesTheWindowToTheOuterRun) {
  Start(true);
  TfmAvi* outer = nullptr;
  bool nested = false;
  session_->Backend.Driver = [&] {
    if (nested || fmAvi == nullptr || TopModal() != fmAvi) return false;
    nested = true;
    outer = fmAvi;
    Take();
    PlayAvi(kFileKindMovie, 2);
    EXPECT_EQ(fmAvi, outer);
    EXPECT_TRUE(outer->Visible());
    EXPECT_EQ(Take(), (TLog{"open cdaudio D: wait", "play 2-3 notify"}));
    return true;
  };
  PlayAvi(kFileKindMovie, 1);
  EXPECT_TRUE(nested);
  EXPECT_EQ(fmAvi, nullptr);
  const TLog log = Take();
  EXPECT_NE(std::find(log.begin(), log.end(), "open avivideo .\\inter\\INT_T02.str"), log.end())
      << "the outer run plays the movie queued inside it";
}

}  // namespace
}  // namespace vdmq
