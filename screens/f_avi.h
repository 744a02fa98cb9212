#pragma once
// Sound effects and voices, the background music from the tracks of a game disc, and the movies.
// Sounds play on the main window's mpWav and music on its mpCd; movies play one after another
// from a small queue in a full-screen window made for each run of the queue.

#include "platform/core/Form.h"
#include "platform/sys/Media.h"

namespace vdmq {

class TMediaPlayer;
class TPanel;

// The movie window: a black full-screen form with the movie's 320 x 240 display in its centre.
class TfmAvi : public TForm {
 public:
  explicit TfmAvi(TComponent* owner);
  ~TfmAvi() override;
  const char* ClassName() const override { return "TfmAvi"; }

  // --- published components ---
  TPanel* plAvi = nullptr;
  TMediaPlayer* mpAvi = nullptr;

  // Opens the movie (file kind, number) on mpAvi for plAvi in frames; the next command runs
  // without waiting and with notification. False when the player cannot open the movie.
  bool OpenMovie(int kind, int number);
  // Opens the first movie of the queue that can be opened, taking it and those passed over off
  // the queue; false when none is left.
  bool OpenNextMovie();

  // --- handlers ---
  void FormShow(TComponent* sender);
  void plAviClick(TComponent* sender);
  void mpAviNotify(TComponent* sender);

 private:
  TMediaRect displayRect_{};
};

// The movie window while the queue plays (null otherwise).
extern TfmAvi* fmAvi;

constexpr int kAviQueueSize = 32;
// A movie may be skipped by a click once it has reached this frame.
constexpr int kAviSkipFrame = 90;

// Plays a WAV file (file kind, number) when the "PCM" option is on; a new sound cuts off the one
// still playing. Kind -1 (the adjutant has no voice) plays nothing.
void PlayWave(int kind, int number, bool wait);
void PlayWaveWait(int kind, int number);
void PlayWaveNoWait(int kind, int number);

// Plays a track of the game disc found at start when the "BGM" option is on; with loop set it
// starts again whenever it ends. A track the disc lacks plays nothing.
void PlayCdTrack(int track, bool loop);
// Restarts the current track when it loops (from mpCd's notification of its end).
void RepeatCdTrack();
// Stops the music and closes the CD player.
void StopCdTrack();
// The map's track by story chapter, and the battle's by the kind of battle.
int GetMapBgmTrack();
int GetBattleBgmTrack();

// The movie queue: pairs {file kind, number}, at most 32.
void AviQueueAdd(int kind, int number);
// Takes the first pair off the queue; (-1, -1) when it is empty.
void AviQueueGet(int* kind, int* number);
void AviQueueClear();
// Plays one movie: empties the queue, queues it and plays the queue.
void PlayAvi(int kind, int number);
// Plays the queued movies in the movie window, then starts the map music; a movie that cannot be
// opened is passed over. Called while the movie window is shown, it only restarts the map music;
// the window goes on with the queue.
void PlayAviQueue();

}  // namespace vdmq
