#include "screens/f_avi.h"

#include <array>
#include <string>
#include <utility>

#include "campaign/BattleRecord.h"
#include "campaign/File_manager.h"
#include "campaign/Story.h"
#include "platform/base/GameError.h"
#include "platform/core/Application.h"
#include "platform/core/Desktop.h"
#include "platform/core/MediaPlayer.h"
#include "platform/core/StdCtrls.h"
#include "screens/F_system.h"
#include "screens/Main.h"

namespace vdmq {

TfmAvi* fmAvi = nullptr;

namespace {

constexpr int kMovieWidth = 320;
constexpr int kMovieHeight = 240;

struct TAviPair {
  int kind = -1;
  int number = -1;
};

// The music: the track that plays or was last started (-1 none) and whether it loops.
int currentTrack = -1;
bool loopTrack = false;
// The movie queue; a pair of kind -1 ends it.
std::array<TAviPair, kAviQueueSize> aviQueue{};

// The locator found a game disc at start (state neither "no disc" 254 nor 255).
bool DiscPresent() {
  const int state = GetFileManager().State();
  return state != TFileManager::kStateNoDisc && state != 255;
}

}  // namespace

// ---------------------------------------------------------------- sounds

void PlayWave(int kind, int number, bool wait) {
  if (GetSysOption(kSysOptionPcm) == 0 || kind == -1 || fmMain == nullptr) return;
  TMediaPlayer* mp = fmMain->mpWav;
  mp->FileName = GetFileManager().GetFileNameNum(kind, number);
  mp->DeviceType = EMediaDeviceType::WaveAudio;
  mp->Open();  // closes the sound still open, cutting it off
  mp->Wait = wait;
  mp->Notify = false;
  mp->Play();
}

void PlayWaveWait(int kind, int number) { PlayWave(kind, number, true); }

void PlayWaveNoWait(int kind, int number) { PlayWave(kind, number, false); }

// ---------------------------------------------------------------- music

void PlayCdTrack(int track, bool loop) {
  if (FileManager == nullptr || fmMain == nullptr || GetSysOption(kSysOptionBgm) == 0 || !DiscPresent()) return;
  loopTrack = loop;
  currentTrack = track;
  TMediaPlayer* mp = fmMain->mpCd;
  // Music is optional: a disc without the track (or whose track cannot be played) stays silent
  // rather than stopping a battle or a loaded game from starting.
  try {
    mp->DeviceType = EMediaDeviceType::CdAudio;
    mp->SetTimeFormat(EMediaTimeFormat::Tmsf);
    mp->FileName = std::string(GetFileManager().DiscRoot()).substr(0, 2);
    mp->Wait = true;
    mp->Open();
    const int tracks = mp->Tracks();
    if (track < 1 || track > tracks) {
      StopCdTrack();
      return;
    }
    mp->SetStartPos(track);
    if (track < tracks) mp->SetEndPos(track + 1);
    mp->Notify = loop;
    mp->Play();
  } catch (const EGameError&) {
    loopTrack = false;
    currentTrack = -1;
    mp->Wait = false;
    mp->Notify = false;
    if (mp->IsOpen()) mp->Close();
  }
}

void RepeatCdTrack() {
  if (GetSysOption(kSysOptionBgm) != 0 && FileManager != nullptr && DiscPresent() && loopTrack)
    PlayCdTrack(currentTrack, true);
}

void StopCdTrack() {
  loopTrack = false;
  if (currentTrack == -1) return;
  currentTrack = -1;
  if (fmMain == nullptr || !fmMain->mpCd->IsOpen()) return;
  TMediaPlayer* mp = fmMain->mpCd;
  mp->Wait = true;
  mp->Notify = false;
  mp->Stop();
  mp->Close();
}

int GetMapBgmTrack() {
  switch (GetStoryChapter()) {
    case 2: return 3;
    case 3: return 4;
    case 4: return 5;
    default: return 2;
  }
}

int GetBattleBgmTrack() { return BtInfo.kind == kBtKindPlanet ? 7 : 6; }

// ---------------------------------------------------------------- movie queue

void AviQueueAdd(int kind, int number) {
  for (TAviPair& p : aviQueue) {
    if (p.kind != -1) continue;
    p = {kind, number};
    return;
  }
}

void AviQueueGet(int* kind, int* number) {
  const TAviPair first = aviQueue[0];
  for (size_t i = 0; i + 1 < aviQueue.size() && aviQueue[i].kind != -1; ++i) aviQueue[i] = aviQueue[i + 1];
  aviQueue.back() = {};
  if (kind != nullptr) *kind = first.kind;
  if (number != nullptr) *number = first.number;
}

void AviQueueClear() { aviQueue.fill({}); }

void PlayAvi(int kind, int number) {
  AviQueueClear();
  AviQueueAdd(kind, number);
  PlayAviQueue();
}

void PlayAviQueue() {
  StopCdTrack();
  if (fmAvi == nullptr) {
    // The window lives for this run of the queue only, also when a movie cannot be found.
    struct TWindow {
      TWindow() { App().CreateForm(fmAvi); }
      ~TWindow() {
        TfmAvi* w = std::exchange(fmAvi, nullptr);
        delete w;
      }
      TWindow(const TWindow&) = delete;
      TWindow& operator=(const TWindow&) = delete;
    } window;
    if (fmAvi->OpenNextMovie()) fmAvi->ShowModal();
  }
  PlayCdTrack(GetMapBgmTrack(), true);
}

// ---------------------------------------------------------------- movie window

TfmAvi::TfmAvi(TComponent* owner) : TForm(owner) {
  Name = "fmAvi";
  SetBorderStyle(bsNone);
  SetBorderIcons(0);
  Position = poScreenCenter;
  SetColor(clBlack);
  SetWindowState(wsMaximized);

  plAvi = new TPanel(this);
  plAvi->Name = "plAvi";
  plAvi->SetParent(this);
  plAvi->BevelOuter = bvNone;
  plAvi->SetColor(clBlack);
  plAvi->SetBounds(0, 0, kMovieWidth, kMovieHeight);
  mpAvi = new TMediaPlayer(this);
  mpAvi->Name = "mpAvi";
  mpAvi->SetParent(this);
  mpAvi->SetVisible(false);
  mpAvi->DeviceType = EMediaDeviceType::AviVideo;

  OnShow = [this](TComponent* s) { FormShow(s); };
  plAvi->OnClick = [this](TComponent* s) { plAviClick(s); };
  mpAvi->OnNotify = [this](TComponent* s) { mpAviNotify(s); };
}

TfmAvi::~TfmAvi() {
  BeginDestroy();
  DestroyComponents();
  if (fmAvi == this) fmAvi = nullptr;
}

bool TfmAvi::OpenMovie(int kind, int number) {
  // The locator's disc prompt may end the game; that error goes on to the caller.
  mpAvi->FileName = GetFileManager().GetFileNameNum(kind, number);
  mpAvi->DeviceType = EMediaDeviceType::AviVideo;
  mpAvi->Display = plAvi;
  mpAvi->SetTimeFormat(EMediaTimeFormat::Frames);
  // A movie the player cannot open cannot be played: it is passed over like one that fails.
  try {
    mpAvi->Open();
  } catch (const EGameError&) {
    mpAvi->Wait = false;
    mpAvi->Notify = false;
    return false;
  }
  mpAvi->Wait = false;
  mpAvi->Notify = true;
  return true;
}

bool TfmAvi::OpenNextMovie() {
  for (;;) {
    int kind = -1, number = -1;
    AviQueueGet(&kind, &number);
    if (kind == -1) return false;
    if (OpenMovie(kind, number)) return true;
  }
}

void TfmAvi::FormShow(TComponent*) {
  const TSize screen = Desktop().ScreenSize();
  Desktop().SetCursorPos({screen.cx, screen.cy});
  SetClientSize(screen.cx, screen.cy);
  plAvi->SetBounds((ClientWidth() - kMovieWidth) / 2, (ClientHeight() - kMovieHeight) / 2, kMovieWidth, kMovieHeight);
  displayRect_ = {0, 0, kMovieWidth, kMovieHeight};
  mpAvi->SetDisplayRect(displayRect_);
  mpAvi->Play();
}

void TfmAvi::plAviClick(TComponent*) {
  if (!mpAvi->IsOpen() || mpAvi->Position() < kAviSkipFrame) return;
  mpAvi->Notify = true;
  mpAvi->Stop();
}

void TfmAvi::mpAviNotify(TComponent*) {
  switch (mpAvi->NotifyValue) {
    case EMediaNotify::Successful: {
      mpAvi->Close();
      if (!OpenNextMovie()) {
        ModalResult = mrOk;
        return;
      }
      mpAvi->SetDisplayRect(displayRect_);
      mpAvi->Wait = false;
      mpAvi->Notify = true;
      mpAvi->Play();
      return;
    }
    case EMediaNotify::Failure: Close(); return;
    case EMediaNotify::Superseded:
    case EMediaNotify::Aborted: return;
  }
}

}  // namespace vdmq
