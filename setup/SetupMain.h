#pragma once
// The setup program's entry: the single-instance checks against a second setup program and the
// running game, then the window and its message loop.

#include <functional>
#include <memory>

namespace vdmq::setup {

// Binds the application to a back end (a real window, or the headless back end of the tests) and
// returns what keeps that binding alive; null when no window can be opened (the factory has told
// the user why).
using TBackendFactory = std::function<std::shared_ptr<void>()>;

// Runs the setup program. Answers -1, showing nothing and never calling the factory, when another
// setup program runs, the game runs, or the setup program's mutex cannot be made; 1 when no window
// can be opened; 0 when the window was closed or a termination signal ended the program.
int SetupMain(const TBackendFactory& bindBackend);

}  // namespace vdmq::setup
