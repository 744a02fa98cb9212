#pragma once
// What the game's entry sets up to run on the real window: the SDL back end, the real media
// devices on its clock (video frames drawn into the playing movie's display panel), both bound to
// the application object. Start-up failures (no display, a missing font) are reported clearly on
// the terminal and, when a window system is there, in a message box, instead of a silent exit.

#include <memory>
#include <string>

#include "platform/sdl/SdlBackend.h"
#include "platform/sdl/SdlMedia.h"

namespace vdmq {

// The back end's clock for the media devices: a waiting play is a blocking pause.
class TSdlMediaClock : public TMediaClock {
 public:
  explicit TSdlMediaClock(TBackend& b) : b_(b) {}
  std::uint64_t NowMs() override { return b_.NowMs(); }
  void Block(std::uint32_t ms) override { b_.Delay(ms); }

 private:
  TBackend& b_;
};

class TSdlSession {
 public:
  // Opens the window, checks the fonts and binds everything to App(). Throws EDisplayError or
  // std::runtime_error (a missing font) with a message meant for the player.
  explicit TSdlSession(const TSdlOptions& options = {});
  ~TSdlSession();
  TSdlSession(const TSdlSession&) = delete;
  TSdlSession& operator=(const TSdlSession&) = delete;
  TSdlBackend& Backend() { return *backend_; }
  TSdlMediaService& Media() { return *media_; }

 private:
  std::unique_ptr<TSdlBackend> backend_;
  std::unique_ptr<TSdlMediaClock> clock_;
  std::unique_ptr<TSdlMediaService> media_;
};

// Draws a movie frame into the display of the media player that plays a video (the frame is
// stretched to the rectangle, or shown at its size at the top left when the rectangle is empty) and
// presents it at once.
void ShowVideoFrame(const TMediaRect& rect, const TPixmap& frame);

// Tells the player why the game cannot start: on stderr and, when possible, in a message box.
void ReportStartupError(const std::string& utf8Message);

}  // namespace vdmq
