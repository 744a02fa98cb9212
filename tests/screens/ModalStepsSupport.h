#pragma once
// Drives the modal screens of a test: each time the loop waits with a modal form on top, the next
// step checks the form's class and acts on it (clicks go through hit testing). A form the steps do
// not expect fails the test and is closed, so the run unwinds.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/core/StdCtrls.h"
#include "platform/headless/TestKit.h"
#include "support/RecordingHost.h"
#include "support/World.h"

namespace vdmq::test {

class TModalSteps {
 public:
  using TAction = std::function<void(TForm* top)>;
  explicit TModalSteps(THeadlessSession& session);
  ~TModalSteps();
  TModalSteps(const TModalSteps&) = delete;
  TModalSteps& operator=(const TModalSteps&) = delete;
  // A step on a modal form of that class.
  TModalSteps& Then(std::string modalClass, TAction act);
  // A click on the named control of the form on top (queued; the loop handles it).
  TModalSteps& Click(std::string modalClass, std::string control);
  bool Done() const { return next_ == steps_.size(); }

 private:
  bool Drive();
  THeadlessSession& session_;
  std::vector<std::pair<std::string, TAction>> steps_;
  size_t next_ = 0;
};

// Queues a click on the named control of a form.
void ClickNamed(TForm* form, const std::string& control);
// A label's caption (UTF-8) and a control's state by name.
std::string LabelText(TComponent* form, const std::string& label);
bool IsEnabled(TComponent* form, const std::string& control);
bool IsVisible(TComponent* form, const std::string& control);
TColor LabelColor(TComponent* form, const std::string& label);

// The shipyard's test world on top of the test world: technologies at level 1 (named), player country
// 0 alive with its capital on planet 50 (no docks), and a catalogue with prices, values and fits for the screens:
//   hulls   0 class 1 price 100, 1 class 2 300, 2 class 4 100, 3 class 8 200, 4 class 16 (satellite)
//           150, 5 class 1 500 needing hull technology 5, 6 class 1 900 disabled;
//   weapons 0 type 1 fits all 50 (values 11..16), 1 type 2 fits all 40, 2 type 1 fits class 4 80,
//           3 type 1 fits all 50;
//   engine  0 fits all 30 (values 21, 22); shield 0 fits class 2 20 (values 31..34).
void SetUpShipyardWorld();

// The fixture of the shipyard's screen tests: that world made afresh for each test, a headless
// session for the real forms and a host that records what the game asks of it.
class TShipyardScreens : public ::testing::Test {
 protected:
  void SetUp() override { SetUpShipyardWorld(); }
  THeadlessSession session_;
  TRecordingHost host_;
};

// Every control of the form lies inside its client area, no two buttons overlap, and each
// (class name, Tag) pair given is found through FindComponentByClass.
void ExpectSoundLayout(TForm* form, const std::vector<std::pair<std::string, int>>& numbered);

}  // namespace vdmq::test
