#pragma once
// The real back end of the window layer: one resizable SDL window hosting the virtual desktop.
// The virtual screen follows the window's size divided by a whole scale factor (a window at least
// twice 800 x 600 shows the desktop doubled, nearest-neighbour, so it stays sharp); input is
// translated into the layer's events; presenting uploads the dirty part of the screen to one
// streaming texture. Pauses keep pumping the OS queue without taking anything from it, so the
// window is never declared hung and clicks stay queued for after the pause.

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
  TSize screen{800, 600};  // initial virtual screen
  bool softwareRenderer = false;
  // Keeps an accelerated renderer also when its OpenGL is a software rasteriser (see SdlRenderer.h;
  // benchmarks compare both ways of presenting).
  bool acceptSoftwareGl = false;
  bool hidden = false;  // no visible window (benchmarks)
};

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

  // The desktop as the renderer shows it (read back from the renderer, unscaled), for screenshots.
  bool ReadScreen(TPixmap& out);
  int Scale() const { return scale_; }
  // The renderer that presents ("software", "opengl: <GL_RENDERER>" ...).
  const std::string& RendererName() const { return rendererName_; }
  SDL_Window* Window() const { return window_; }
  // Translates one SDL event into layer events (queued); false when it carries none. Public so that
  // tests can check the translation of events they build.
  bool Translate(const SDL_Event& e);

 private:
  void Relayout(int windowW, int windowH);
  void Draw();
  TPoint ToScreen(int x, int y) const;

  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  TSize texSize_;
  TSize screen_;
  int scale_ = 1;
  std::uint32_t wakeEvent_ = 0;
  std::deque<TInputEvent> pending_;
  SDL_Cursor* cursors_[8] = {};
  TCursorShape cursor_ = TCursorShape::Arrow;
  unsigned buttonsDown_ = 0;
  bool needFull_ = true;
  std::string rendererName_;
  bool woken_ = false;  // a wake was taken by a poll before the wait it was meant to end
};

// A window icon as SDL takes it: 32-bit ARGB, every pixel opaque (nullptr for an empty picture or
// when SDL cannot make the surface). The caller frees it.
SDL_Surface* IconSurface(const TPixmap& icon);

// Key code of the window system for an SDL key (0 for keys the game does not use).
unsigned VirtualKeyOf(int sdlKeycode);

}  // namespace vdmq
