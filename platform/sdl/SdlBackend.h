#pragma once
// The real back end of the window layer: one SDL window without window-manager decoration that is
// the program's main form. The screen is the window: it opens at the main form's size within its
// limits, follows the form's size and state and tells the form the size and state the window
// manager gives it; a press on the form's caption moves the window and one on its sizing border
// sizes it (the window manager does both, through the window's hit test); the move of the form's
// menu is the window manager's move from the keyboard, or where it has none the window's own. On a
// display that holds
// the largest main window (1280 x 1024) twice or more, the desktop is shown enlarged by a whole
// factor, nearest-neighbour, so it stays sharp and keeps its size to the eye. Input is translated
// into the layer's events; presenting uploads the dirty part of the screen to one streaming
// texture. Pauses keep pumping the OS queue without taking anything from it, so the window is
// never declared hung and clicks stay queued for after the pause.

#include <cstdint>
#include <deque>
#include <stdexcept>
#include <string>

#include "platform/core/Backend.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Cursor;
struct SDL_Surface;
union SDL_Event;

namespace vdmq {

// The display cannot be opened (no X server, no video driver ...): the message says which and why.
class EDisplayError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TSdlOptions {
  TSize screen{800, 600};  // the screen until the main form is shown
  bool softwareRenderer = false;
  // Keeps an accelerated renderer also when its OpenGL is a software rasteriser (see SdlRenderer.h;
  // benchmarks compare both ways of presenting).
  bool acceptSoftwareGl = false;
  bool hidden = false;  // no visible window (benchmarks)
  int scale = 0;        // the whole factor the desktop is shown enlarged by; 0: chosen from the display
};

// The whole factor a display's usable area shows the desktop enlarged by: how many times it holds
// the largest main window, at least 1.
int WholeScale(TSize usableArea);

class TSdlBackend : public TBackend {
 public:
  // Opens the window; throws EDisplayError when the display cannot be opened.
  explicit TSdlBackend(const TSdlOptions& options = {});
  ~TSdlBackend() override;
  TSdlBackend(const TSdlBackend&) = delete;
  TSdlBackend& operator=(const TSdlBackend&) = delete;

  TSize ScreenSize() override { return screen_; }
  std::uint64_t NowMs() override;
  void Delay(std::uint32_t ms) override;
  bool WaitInput(TInputEvent& ev, int timeoutMs) override;
  bool PollInput(TInputEvent& ev) override;
  void Wake() override;
  void Present(const TPixmap& screen, const TRegion& dirty) override;
  void SetCursor(TCursorShape shape) override;
  void WarpMouse(TPoint p) override;
  void MinimizeApp() override;
  void SetTitle(std::string_view utf8) override;
  void SetIcon(const TPixmap& icon) override;
  bool ScreenIsMainWindow() override { return true; }
  TRect WorkArea() override;
  void ShowWindow(TSize size, const TWindowLimits& limits) override;
  void SetWindowLimits(const TWindowLimits& limits) override;
  void ResizeWindow(TSize size) override;
  void MaximizeWindow() override;
  void RestoreWindow() override;
  void StartWindowMove() override;
  void SetFrameMap(const TWindowFrameMap& map) override { frameMap_ = map; }

  // The desktop as the renderer shows it (read back from the renderer, unscaled), for screenshots.
  bool ReadScreen(TPixmap& out);
  int Scale() const { return scale_; }
  // The renderer that presents ("software", "opengl: <GL_RENDERER>" ...).
  const std::string& RendererName() const { return rendererName_; }
  SDL_Window* Window() const { return window_; }
  // Translates one SDL event into layer events (queued); false when it carries none. Public so that
  // tests can check the translation of events they build.
  bool Translate(const SDL_Event& e);
  // What the window answers the window system for a press at a window point (in pixels of the
  // window): moving, sizing or the program's. Public for the tests.
  int HitTest(int windowX, int windowY);
  // True while the window follows the mouse in a move of its own (where the window manager offers
  // none from the keyboard).
  bool MovingWindow() const { return moving_; }

 private:
  void Relayout(int windowW, int windowH);
  void Draw();
  TPoint ToScreen(int x, int y) const;
  // Maps the window (once) at its size, centred in the usable area of its display.
  void Open();
  void ApplyLimits(const TWindowLimits& limits);
  // After a size was asked of the window: the screen takes the window's size, and a form that
  // asked for another one is told.
  void TookSize(TSize asked);
  void ReadWorkArea();
  // Tells the layer when the window became normal, iconified or maximised.
  void ReportState();
  // A maximised window smaller than the usable area is asked to lie in its middle.
  void CentreMaximized();
  void ShowCursor(TCursorShape shape);
  // The cursor for a point of the window: the program's, or over the sizing border the sizing one.
  void FrameCursor(TPoint p);
  // The window's own move: the window keeps its place relative to the mouse until it ends, in its
  // new place or, put back, where it began.
  void FollowMouse();
  void EndWindowMove(bool putBack);
  // The input of the window's own move; true when the event was the move's.
  bool TranslateMove(const SDL_Event& e);

  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  TSize texSize_;
  TSize drawnSize_;  // the window's size at the last frame
  TSize screen_;
  int scale_ = 1;
  std::uint32_t wakeEvent_ = 0;
  std::deque<TInputEvent> pending_;
  SDL_Cursor* cursors_[8] = {};
  TCursorShape cursor_ = TCursorShape::Arrow;       // the program's
  TCursorShape shownCursor_ = TCursorShape::Arrow;  // the one shown
  unsigned buttonsDown_ = 0;
  bool needFull_ = true;
  bool hidden_ = false;
  bool open_ = false;
  int state_ = owsNormal;
  bool centrePending_ = false;
  TRect usable_;  // the display's usable area, in pixels
  TWindowFrameMap frameMap_;
  // A double click on the caption: the window system takes the first press (it moves the window);
  // a second press soon after at the same place is the program's, and is marked as completing it.
  int lastHit_ = 0;
  TPoint lastHitAt_;
  std::uint64_t movePressTime_ = 0;
  TPoint movePressAt_;
  bool secondClickPending_ = false;
  TPoint secondClickAt_;
  std::string rendererName_;
  bool moving_ = false;
  TPoint moveFrom_;             // where the window was when its own move began
  TPoint moveGrip_;             // the mouse, from the window's corner
  unsigned moveSwallowUp_ = 0;  // buttons whose press ended the move: their release is the move's too
  int moveSwallowKey_ = 0;      // the key that ended it, likewise
  bool woken_ = false;          // a wake was taken by a poll before the wait it was meant to end
};

// A window icon as SDL takes it: 32-bit ARGB, every pixel opaque (nullptr for an empty picture or
// when SDL cannot make the surface). The caller frees it.
SDL_Surface* IconSurface(const TPixmap& icon);

// Key code of the window system for an SDL key (0 for keys the game does not use).
unsigned VirtualKeyOf(int sdlKeycode);

}  // namespace vdmq
