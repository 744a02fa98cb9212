#pragma once
// The one place where the campaign engine and the battle reach the subsystems built after them:
// message box, event dialogue, save/load screen, map view, command bar, sound, music, movies, the
// battle window, cursor, pauses and letting window messages run. The default host is headless: it
// answers questions with OK, takes pauses in zero time and draws nothing. The screens install the
// real host; tests install recording fakes derived from TGameHost.

#include <string>

namespace vdmq {

class TGameHost {
 public:
  virtual ~TGameHost() = default;

  // --- pacing and the message loop ---
  // A blocking pause on the message-loop thread (no window message is handled meanwhile).
  virtual void Sleep(int /*ms*/) {}
  // Lets every pending window message run, then returns.
  virtual void ProcessMessages() {}

  // Further operations are added here by the units that need them, each with a headless default.
};

// The installed host (the headless default until SetGameHost is called).
TGameHost& GameHost();
// Installs a host; nullptr restores the headless default. The caller keeps ownership.
void SetGameHost(TGameHost* host);

}  // namespace vdmq
