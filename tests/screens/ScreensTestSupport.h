#pragma once
// What the tests of the game's screens share: the game run through its real entry on a headless
// back end over the generated data set; the open message box read in UTF-8 and answered through
// hit testing; and a script that answers the modal screens in order inside the game's own loop,
// recording every message box, and fails on a screen it did not expect; movies play on their own.

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/headless/TestKit.h"
#include "support/GameFolder.h"

namespace vdmq::test {

// The caption and the five lines of a message box, in UTF-8.
struct TBoxText {
  std::string caption;
  std::array<std::string, 5> lines;
  // The lines joined by "|", without the trailing empty ones.
  std::string Joined() const;
};

// The open message box's text (empty when fmSysMes does not exist).
TBoxText SysMesText();
// Answers the open message box with OK or Cancel by a click on the button (through hit testing);
// process: let the loop handle the click now.
void AnswerSysMes(bool ok, bool process = false);
// The text of the platform message box f (a TMessageForm), in UTF-8.
std::string PlatformBoxText(TForm* f);

// The lines of the event window's page, in UTF-8, joined by "|".
std::string EventPageText();
// Advances the event window with the space key (queued; the loop handles it).
void AdvanceEventMes();

// Answers the modal screens of a run in order. Each step names the class of the modal form it
// expects on top ("" for none: the main window waits for the player) and what to do then. Every
// showing of the message box is recorded. A form the script does not expect fails the test; the
// run then stalls and ends.
class TScreenScript {
 public:
  using TAction = std::function<void(TForm* top)>;
  TScreenScript& Then(std::string modalClass, TAction act);
  // A message box whose first line contains text (UTF-8) and whose caption is caption, answered.
  TScreenScript& Box(std::string caption, std::string text, bool ok = true);
  // Every message box up to one with that first-line text is answered OK (pauses of the turns),
  // and every dialogue page meanwhile advanced with the space key.
  TScreenScript& BoxesUntil(std::string caption, std::string text, bool ok = true);
  // A dialogue in the event window, each page advanced with the space key, up to its end.
  TScreenScript& Dialogue();
  // New Game at the start screen, and every box up to the first player turn's.
  TScreenScript& NewGameToFirstTurn();
  // The main window closed and the quit question answered OK.
  TScreenScript& Quit();
  // The movie shown skipped by a click on it once it has reached frame 90. A movie that no step
  // expects plays to its end on its own.
  TScreenScript& SkipMovie();
  // The back end's driver.
  bool operator()();
  bool Done() const { return next_ == steps_.size(); }
  // Every message box shown, in order.
  std::vector<TBoxText> boxes;
  // Every dialogue page shown (EventPageText), in order.
  std::vector<std::string> pages;

 private:
  struct TStep {
    std::string modalClass;
    TAction act;
    // When set, the step repeats for message boxes until this returns true for one.
    std::function<bool(const TBoxText&)> until;
    // When set, the step waits (virtual time moves on) until this returns true.
    std::function<bool(TForm*)> ready;
    // A dialogue step: repeats while the event window is shown, and ends when another form is.
    bool dialogue = false;
    bool acted = false;
  };
  std::vector<TStep> steps_;
  size_t next_ = 0;
  bool failed_ = false;
};

// The game run through WinMain on a headless back end of that screen size over the generated
// data set in a fake system.
class TGameRun {
 public:
  explicit TGameRun(TSize screen = {800, 600}) : screen_(screen) {}
  // Runs WinMain; setUp runs once the session is open (before any window is made).
  int Run(std::function<void(THeadlessSession&)> setUp = {});
  // WinMain with the script as the driver.
  int Run(TScreenScript& script);
  // The session of the run (null before Run and after it returns, unless KeepSession is set: then
  // the last run's session stays until the next run or the end of the object).
  THeadlessSession* Session() const { return session_; }
  bool KeepSession = false;
  bool FactoryCalled() const { return factoryCalled_; }

  TGameFolder folder;

 private:
  TSize screen_;
  THeadlessSession* session_ = nullptr;
  std::shared_ptr<THeadlessSession> kept_;
  bool factoryCalled_ = false;
};

// Saves the world into a slot with the headless host (no notice shown); true when saved.
bool SaveQuietly(int slot);

// Clicks the start screen's line of a slot, then OK (process: as AnswerSysMes).
void ChooseSlot(TForm* saveScreen, int slot);
// Presses New Game on the start screen.
void ChooseNewGame(TForm* saveScreen);

}  // namespace vdmq::test
