#include "platform/sdl/SdlBackend.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "platform/base/Sjis.h"
#include "platform/core/Messages.h"
#include "platform/sdl/SdlRenderer.h"
#include "platform/sdl/X11Move.h"
#include "platform/sys/EndSignals.h"

namespace vdmq {
namespace {

// The largest main window; a display that holds it twice or more shows the desktop enlarged.
constexpr int kLargestW = 1280, kLargestH = 1024;
// The window's own move: how far an arrow key moves it, and how often the mouse is looked at.
constexpr int kMoveStep = 8;
constexpr int kMoveFollowMs = 15;

unsigned Mods() {
  const SDL_Keymod m = SDL_GetModState();
  unsigned r = 0;
  if (m & KMOD_SHIFT) r |= kModShift;
  if (m & KMOD_CTRL) r |= kModCtrl;
  if (m & KMOD_ALT) r |= kModAlt;
  return r;
}

int ButtonOf(std::uint8_t sdlButton) {
  switch (sdlButton) {
    case SDL_BUTTON_LEFT: return 0;
    case SDL_BUTTON_RIGHT: return 1;
    case SDL_BUTTON_MIDDLE: return 2;
    default: return -1;
  }
}

bool Near(TPoint a, TPoint b) {
  return std::abs(a.X - b.X) <= kDoubleClickSlop && std::abs(a.Y - b.Y) <= kDoubleClickSlop;
}

SDL_HitTestResult AnswerHitTest(SDL_Window*, const SDL_Point* p, void* backend) {
  switch (static_cast<TSdlBackend*>(backend)->HitTest(p->x, p->y)) {
    case HTCAPTION: return SDL_HITTEST_DRAGGABLE;
    case HTTOPLEFT: return SDL_HITTEST_RESIZE_TOPLEFT;
    case HTTOP: return SDL_HITTEST_RESIZE_TOP;
    case HTTOPRIGHT: return SDL_HITTEST_RESIZE_TOPRIGHT;
    case HTRIGHT: return SDL_HITTEST_RESIZE_RIGHT;
    case HTBOTTOMRIGHT: return SDL_HITTEST_RESIZE_BOTTOMRIGHT;
    case HTBOTTOM: return SDL_HITTEST_RESIZE_BOTTOM;
    case HTBOTTOMLEFT: return SDL_HITTEST_RESIZE_BOTTOMLEFT;
    case HTLEFT: return SDL_HITTEST_RESIZE_LEFT;
    default: return SDL_HITTEST_NORMAL;
  }
}

}  // namespace

int WholeScale(TSize usable) { return std::max(1, std::min(usable.cx / kLargestW, usable.cy / kLargestH)); }

unsigned VirtualKeyOf(int k) {
  if (k >= SDLK_a && k <= SDLK_z) return static_cast<unsigned>('A' + (k - SDLK_a));
  if (k >= SDLK_0 && k <= SDLK_9) return static_cast<unsigned>('0' + (k - SDLK_0));
  if (k >= SDLK_F1 && k <= SDLK_F12) return VK_F1 + static_cast<unsigned>(k - SDLK_F1);
  if (k >= SDLK_KP_1 && k <= SDLK_KP_9) return 0x61 + static_cast<unsigned>(k - SDLK_KP_1);
  switch (k) {
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT: return VK_MENU;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_END: return VK_END;
    case SDLK_HOME: return VK_HOME;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_UP: return VK_UP;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_KP_0: return 0x60;
    default: return 0;
  }
}

TSdlBackend::TSdlBackend(const TSdlOptions& o) : screen_(o.screen), hidden_(o.hidden) {
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");  // nearest: the desktop stays sharp when scaled
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  // Termination signals end the program in order (EndSignals.h), never as the window's close request.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // Without a display and without a driver chosen by the user, SDL would fall back to an invisible
  // off-screen driver: the player would see nothing and wait for ever.
  const auto set = [](const char* name) {
    const char* v = SDL_getenv(name);
    return v != nullptr && *v != '\0';
  };
  if (!set("DISPLAY") && !set("WAYLAND_DISPLAY") && !set("SDL_VIDEODRIVER"))
    throw EDisplayError("no display is available (neither DISPLAY nor WAYLAND_DISPLAY is set)");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    const char* display = SDL_getenv("DISPLAY");
    throw EDisplayError(std::string("cannot open the display") + (display ? std::string(" \"") + display + "\"" : "") +
                        ": " + SDL_GetError());
  }
  // The window is the main form, which draws its own frame; it is mapped once the form shows its
  // size (or something is presented before).
  const Uint32 flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN;
  window_ = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, screen_.cx, screen_.cy, flags);
  if (!window_) {
    const std::string why = SDL_GetError();
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    throw EDisplayError("cannot open the game window: " + why);
  }
  ReadWorkArea();
  scale_ = o.scale > 0 ? o.scale : WholeScale({usable_.Width(), usable_.Height()});
  SDL_SetWindowSize(window_, screen_.cx * scale_, screen_.cy * scale_);
  renderer_ = CreatePresentRenderer(window_,
                                    o.softwareRenderer   ? TPresentPath::Software
                                    : o.acceptSoftwareGl ? TPresentPath::Accelerated
                                                         : TPresentPath::Automatic,
                                    &rendererName_);
  if (!renderer_) {
    const std::string why = SDL_GetError();
    SDL_DestroyWindow(window_);
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    throw EDisplayError("cannot draw into the game window: " + why);
  }
  SDL_SetWindowHitTest(window_, AnswerHitTest, this);
  wakeEvent_ = SDL_RegisterEvents(1);
  static const SDL_SystemCursor ids[] = {
      SDL_SYSTEM_CURSOR_ARROW,    SDL_SYSTEM_CURSOR_WAIT,     SDL_SYSTEM_CURSOR_SIZENS, SDL_SYSTEM_CURSOR_SIZEWE,
      SDL_SYSTEM_CURSOR_SIZENWSE, SDL_SYSTEM_CURSOR_SIZENESW, SDL_SYSTEM_CURSOR_SIZEALL};
  for (int i = 0; i < 7; ++i) cursors_[i] = SDL_CreateSystemCursor(ids[i]);
  SDL_StartTextInput();
  int w = 0, h = 0;
  SDL_GetWindowSize(window_, &w, &h);
  Relayout(w, h);
  pending_.clear();  // the first layout is no resize
}

TSdlBackend::~TSdlBackend() {
  for (SDL_Cursor*& c : cursors_)
    if (c) SDL_FreeCursor(c);
  if (texture_) SDL_DestroyTexture(texture_);
  if (renderer_) SDL_DestroyRenderer(renderer_);
  if (window_) SDL_DestroyWindow(window_);
  SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

std::uint64_t TSdlBackend::NowMs() { return SDL_GetTicks64(); }

void TSdlBackend::Delay(std::uint32_t ms) {
  // Keep the window answering the window manager; the events stay in SDL's queue.
  const std::uint64_t end = SDL_GetTicks64() + ms;
  for (;;) {
    SDL_PumpEvents();
    const std::uint64_t now = SDL_GetTicks64();
    if (now >= end || EndRequest() != 0) break;
    SDL_Delay(static_cast<Uint32>(std::min<std::uint64_t>(end - now, 10)));
  }
}

void TSdlBackend::Relayout(int w, int h) {
  // Some window managers report an empty size while the window is minimised: keep the desktop.
  if (w < 64 || h < 64) return;
  const TSize s{std::max(1, w / scale_), std::max(1, h / scale_)};
  needFull_ = true;
  if (s == screen_) return;
  screen_ = s;
  TInputEvent ev;
  ev.kind = TInputEvent::ScreenResized;
  ev.x = s.cx;
  ev.y = s.cy;
  pending_.push_back(ev);
}

TPoint TSdlBackend::ToScreen(int x, int y) const { return {x / scale_, y / scale_}; }

bool TSdlBackend::Translate(const SDL_Event& e) {
  if (TranslateMove(e)) return false;
  TInputEvent ev;
  ev.mods = Mods();
  switch (e.type) {
    case SDL_MOUSEMOTION: {
      ev.kind = TInputEvent::MouseMove;
      const TPoint p = ToScreen(e.motion.x, e.motion.y);
      ev.x = p.X;
      ev.y = p.Y;
      if (e.motion.state == 0) FrameCursor(p);
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      const int b = ButtonOf(e.button.button);
      if (b < 0) return false;
      const bool down = e.type == SDL_MOUSEBUTTONDOWN;
      if (down)
        buttonsDown_ |= 1u << b;
      else
        buttonsDown_ &= ~(1u << b);
      ev.kind = down ? TInputEvent::MouseDown : TInputEvent::MouseUp;
      const TPoint p = ToScreen(e.button.x, e.button.y);
      ev.x = p.X;
      ev.y = p.Y;
      ev.button = b;
      if (down) {
        ev.secondClick = secondClickPending_ && b == 0 && Near(p, secondClickAt_);
        secondClickPending_ = false;
        if (ev.secondClick) movePressTime_ = 0;
      }
      break;
    }
    case SDL_MOUSEWHEEL:
      ev.kind = TInputEvent::Wheel;
      ev.x = e.wheel.y;
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      ev.vk = VirtualKeyOf(e.key.keysym.sym);
      if (ev.vk == 0) return false;
      ev.kind = e.type == SDL_KEYDOWN ? TInputEvent::KeyDown : TInputEvent::KeyUp;
      // Keys that produce no text still give their control characters, as the platform does.
      pending_.push_back(ev);
      if (ev.kind == TInputEvent::KeyDown &&
          (ev.vk == VK_RETURN || ev.vk == VK_ESCAPE || ev.vk == VK_BACK || ev.vk == VK_TAB)) {
        TInputEvent ch = ev;
        ch.kind = TInputEvent::Char;
        pending_.push_back(ch);
      }
      return true;
    }
    case SDL_TEXTINPUT: {
      // The characters arrive in UTF-8; the game reads code page 932 bytes, one message each.
      const std::string bytes = Utf8ToSjis(e.text.text);
      if (bytes.empty()) return false;
      for (unsigned char c : bytes) {
        TInputEvent ch;
        ch.kind = TInputEvent::Char;
        ch.vk = c;
        ch.mods = ev.mods;
        pending_.push_back(ch);
      }
      return true;
    }
    case SDL_QUIT: ev.kind = TInputEvent::CloseRequest; break;
    case SDL_DISPLAYEVENT: ReadWorkArea(); return false;
    case SDL_WINDOWEVENT:
      switch (e.window.event) {
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          // SDL takes a state it asks the window manager for at once, and sends no event when the
          // window manager grants it: the state comes with the size.
          ReportState();
          Relayout(e.window.data1, e.window.data2);
          CentreMaximized();
          return !pending_.empty();
        case SDL_WINDOWEVENT_MAXIMIZED:
        case SDL_WINDOWEVENT_MINIMIZED: ReportState(); return !pending_.empty();
        case SDL_WINDOWEVENT_RESTORED:
          ReportState();
          needFull_ = true;
          Draw();
          return !pending_.empty();
        case SDL_WINDOWEVENT_EXPOSED:
          needFull_ = true;
          Draw();
          return false;
        case SDL_WINDOWEVENT_DISPLAY_CHANGED: ReadWorkArea(); return false;
        case SDL_WINDOWEVENT_HIT_TEST:
          // The window system took a press: remember a move, whose second press may follow.
          movePressTime_ = lastHit_ == HTCAPTION ? SDL_GetTicks64() : 0;
          movePressAt_ = lastHitAt_;
          return false;
        case SDL_WINDOWEVENT_FOCUS_LOST: {
          // Buttons released while another window has the focus would leave a capture behind.
          int mx = 0, my = 0;
          SDL_GetMouseState(&mx, &my);
          const TPoint p = ToScreen(mx, my);
          for (int b = 0; b < 3; ++b) {
            if (!(buttonsDown_ & (1u << b))) continue;
            TInputEvent up;
            up.kind = TInputEvent::MouseUp;
            up.x = p.X;
            up.y = p.Y;
            up.button = b;
            pending_.push_back(up);
          }
          buttonsDown_ = 0;
          return !pending_.empty();
        }
        case SDL_WINDOWEVENT_FOCUS_GAINED: needFull_ = true; return false;
        default: return false;
      }
    default: return false;
  }
  pending_.push_back(ev);
  return true;
}

bool TSdlBackend::PollInput(TInputEvent& ev) {
  FollowMouse();
  SDL_Event e;
  while (pending_.empty() && SDL_PollEvent(&e)) {
    // A wake taken here still ends the next wait.
    if (e.type == wakeEvent_) {
      woken_ = true;
    } else {
      Translate(e);
    }
  }
  if (pending_.empty()) return false;
  ev = pending_.front();
  pending_.pop_front();
  return true;
}

bool TSdlBackend::WaitInput(TInputEvent& ev, int timeoutMs) {
  if (PollInput(ev)) return true;
  if (std::exchange(woken_, false)) return false;
  const std::uint64_t end = timeoutMs < 0 ? UINT64_MAX : SDL_GetTicks64() + static_cast<std::uint64_t>(timeoutMs);
  for (;;) {
    SDL_Event e;
    int got = 0;
    if (moving_) {
      // The window follows a mouse that may be outside it, where no motion is reported.
      const std::uint64_t now = SDL_GetTicks64();
      if (now >= end) return false;
      got = SDL_WaitEventTimeout(&e, static_cast<int>(std::min<std::uint64_t>(end - now, kMoveFollowMs)));
    } else if (timeoutMs < 0) {
      got = SDL_WaitEvent(&e);
    } else {
      const std::uint64_t now = SDL_GetTicks64();
      if (now >= end) return false;
      got = SDL_WaitEventTimeout(&e, static_cast<int>(std::min<std::uint64_t>(end - now, 1u << 30)));
    }
    if (!got) {
      FollowMouse();
      if (timeoutMs >= 0 && SDL_GetTicks64() >= end) return false;
      continue;
    }
    if (e.type == wakeEvent_) return false;
    if (Translate(e) && !pending_.empty()) {
      ev = pending_.front();
      pending_.pop_front();
      return true;
    }
  }
}

void TSdlBackend::Wake() {
  SDL_Event e{};
  e.type = wakeEvent_;
  SDL_PushEvent(&e);  // thread-safe
}

void TSdlBackend::Present(const TPixmap& screen, const TRegion& dirty) {
  if (screen.Empty() || !renderer_) return;
  Open();
  if (!texture_ || texSize_ != TSize{screen.Width(), screen.Height()}) {
    if (texture_) SDL_DestroyTexture(texture_);
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, screen.Width(),
                                 screen.Height());
    if (!texture_) return;
    texSize_ = {screen.Width(), screen.Height()};
    needFull_ = true;
  }
  const TRect all{0, 0, screen.Width(), screen.Height()};
  auto upload = [&](const TRect& r0) {
    const TRect r = Intersect(r0, all);
    if (r.IsEmpty()) return;
    const SDL_Rect sr{r.Left, r.Top, r.Width(), r.Height()};
    SDL_UpdateTexture(texture_, &sr, screen.Row(r.Top) + r.Left, screen.Width() * 4);
  };
  if (needFull_) {
    upload(all);
    needFull_ = false;
  } else {
    for (const TRect& r : dirty.Rects()) upload(r);
  }
  Draw();
}

void TSdlBackend::Draw() {
  if (!renderer_ || !texture_) return;
  // Some GL drivers show the first frame after a change of the window's size with the old size:
  // that frame is presented twice.
  int w = 0, h = 0;
  SDL_GetWindowSize(window_, &w, &h);
  const bool resized = TSize{w, h} != drawnSize_;
  drawnSize_ = {w, h};
  for (int i = resized ? 2 : 1; i > 0; --i) {
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    const SDL_Rect dst{0, 0, texSize_.cx * scale_, texSize_.cy * scale_};
    SDL_RenderCopy(renderer_, texture_, nullptr, &dst);
    SDL_RenderPresent(renderer_);
  }
}

bool TSdlBackend::ReadScreen(TPixmap& out) {
  if (!renderer_ || !texture_) return false;
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  const SDL_Rect dst{0, 0, texSize_.cx, texSize_.cy};
  SDL_RenderCopy(renderer_, texture_, nullptr, &dst);
  out.Resize(texSize_.cx, texSize_.cy);
  const bool ok = SDL_RenderReadPixels(renderer_, &dst, SDL_PIXELFORMAT_RGB888, out.Data(), texSize_.cx * 4) == 0;
  Draw();  // put the scaled picture back
  for (int y = 0; ok && y < out.Height(); ++y)
    for (int x = 0; x < out.Width(); ++x) out.Row(y)[x] &= 0x00FFFFFF;
  return ok;
}

void TSdlBackend::SetCursor(TCursorShape shape) {
  cursor_ = shape;
  ShowCursor(shape);
}

void TSdlBackend::ShowCursor(TCursorShape shape) {
  shownCursor_ = shape;
  if (shape == TCursorShape::Hidden) {
    SDL_ShowCursor(SDL_DISABLE);
    return;
  }
  SDL_ShowCursor(SDL_ENABLE);
  if (SDL_Cursor* c = cursors_[static_cast<int>(shape)]) SDL_SetCursor(c);
}

void TSdlBackend::FrameCursor(TPoint p) {
  // Over the sizing border the arrow becomes the sizing cursor of its edge or corner.
  TCursorShape shape = cursor_;
  if (cursor_ == TCursorShape::Arrow) {
    switch (FrameMapHit(frameMap_, p)) {
      case HTLEFT:
      case HTRIGHT: shape = TCursorShape::SizeWE; break;
      case HTTOP:
      case HTBOTTOM: shape = TCursorShape::SizeNS; break;
      case HTTOPLEFT:
      case HTBOTTOMRIGHT: shape = TCursorShape::SizeNWSE; break;
      case HTTOPRIGHT:
      case HTBOTTOMLEFT: shape = TCursorShape::SizeNESW; break;
      default: break;
    }
  }
  if (shape != shownCursor_) ShowCursor(shape);
}

void TSdlBackend::WarpMouse(TPoint p) { SDL_WarpMouseInWindow(window_, p.X * scale_, p.Y * scale_); }

void TSdlBackend::MinimizeApp() { SDL_MinimizeWindow(window_); }

void TSdlBackend::SetTitle(std::string_view utf8) { SDL_SetWindowTitle(window_, std::string(utf8).c_str()); }

SDL_Surface* IconSurface(const TPixmap& icon) {
  if (icon.Empty()) return nullptr;
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, icon.Width(), icon.Height(), 32, SDL_PIXELFORMAT_ARGB8888);
  if (!s) return nullptr;
  for (int y = 0; y < icon.Height(); ++y) {
    auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + static_cast<size_t>(y) * s->pitch);
    const std::uint32_t* src = icon.Row(y);
    for (int x = 0; x < icon.Width(); ++x) row[x] = 0xFF000000u | (src[x] & 0xFFFFFFu);
  }
  return s;
}

void TSdlBackend::SetIcon(const TPixmap& icon) {
  if (SDL_Surface* s = IconSurface(icon)) {
    SDL_SetWindowIcon(window_, s);
    SDL_FreeSurface(s);
  }
}

// ---------------------------------------------------------------------------------------------
// The window as the main form

void TSdlBackend::ReadWorkArea() {
  SDL_Rect r{0, 0, 0, 0};
  const int display = std::max(0, SDL_GetWindowDisplayIndex(window_));
  if (SDL_GetDisplayUsableBounds(display, &r) != 0 || r.w <= 0 || r.h <= 0) SDL_GetDisplayBounds(display, &r);
  usable_ = Bounds(r.x, r.y, r.w, r.h);
}

TRect TSdlBackend::WorkArea() { return {0, 0, usable_.Width() / scale_, usable_.Height() / scale_}; }

void TSdlBackend::Open() {
  if (open_) return;
  open_ = true;
  int w = 0, h = 0;
  SDL_GetWindowSize(window_, &w, &h);
  SDL_SetWindowPosition(window_, usable_.Left + std::max(0, (usable_.Width() - w) / 2),
                        usable_.Top + std::max(0, (usable_.Height() - h) / 2));
  if (!hidden_) SDL_ShowWindow(window_);
}

void TSdlBackend::ApplyLimits(const TWindowLimits& l) {
  const TSize min{l.Min.cx * scale_, l.Min.cy * scale_};
  const TSize max{std::max(l.Min.cx, l.Max.cx) * scale_, std::max(l.Min.cy, l.Max.cy) * scale_};
  // SDL keeps the minimum at or below the maximum at every step.
  int minW = 0, minH = 0;
  SDL_GetWindowMinimumSize(window_, &minW, &minH);
  if (max.cx >= minW && max.cy >= minH) {
    SDL_SetWindowMaximumSize(window_, max.cx, max.cy);
    SDL_SetWindowMinimumSize(window_, min.cx, min.cy);
  } else {
    SDL_SetWindowMinimumSize(window_, min.cx, min.cy);
    SDL_SetWindowMaximumSize(window_, max.cx, max.cy);
  }
  SDL_SetWindowResizable(window_, l.Fixed() ? SDL_FALSE : SDL_TRUE);
}

void TSdlBackend::ShowWindow(TSize size, const TWindowLimits& limits) {
  const TSize s = ClampToLimits(size, limits);
  SDL_SetWindowSize(window_, s.cx * scale_, s.cy * scale_);
  Open();
  // After the window is mapped: the window manager reads the limits from then on.
  ApplyLimits(limits);
  TookSize(size);
}

void TSdlBackend::SetWindowLimits(const TWindowLimits& limits) { ApplyLimits(limits); }

void TSdlBackend::ResizeWindow(TSize size) {
  // A maximised window keeps the size its window manager gave it.
  if (state_ == owsNormal) SDL_SetWindowSize(window_, size.cx * scale_, size.cy * scale_);
  TookSize(size);
}

void TSdlBackend::TookSize(TSize asked) {
  int w = 0, h = 0;
  SDL_GetWindowSize(window_, &w, &h);
  Relayout(w, h);
  // The form asked for another size than the window took: it takes the window's.
  if (screen_ != asked) {
    TInputEvent ev;
    ev.kind = TInputEvent::ScreenResized;
    ev.x = screen_.cx;
    ev.y = screen_.cy;
    pending_.push_back(ev);
  }
}

void TSdlBackend::MaximizeWindow() { SDL_MaximizeWindow(window_); }

void TSdlBackend::RestoreWindow() { SDL_RestoreWindow(window_); }

void TSdlBackend::StartWindowMove() {
  if (moving_ || !open_ || state_ != owsNormal) return;
  if (StartWindowManagerMove(window_)) return;
  int mx = 0, my = 0, wx = 0, wy = 0;
  SDL_GetGlobalMouseState(&mx, &my);
  SDL_GetWindowPosition(window_, &wx, &wy);
  moving_ = true;
  moveFrom_ = {wx, wy};
  moveGrip_ = {mx - wx, my - wy};
  // Presses outside the window end the move as well (where the mouse can be held).
  SDL_CaptureMouse(SDL_TRUE);
}

void TSdlBackend::FollowMouse() {
  if (!moving_) return;
  int mx = 0, my = 0, wx = 0, wy = 0;
  SDL_GetGlobalMouseState(&mx, &my);
  SDL_GetWindowPosition(window_, &wx, &wy);
  if (mx - moveGrip_.X != wx || my - moveGrip_.Y != wy)
    SDL_SetWindowPosition(window_, mx - moveGrip_.X, my - moveGrip_.Y);
}

void TSdlBackend::EndWindowMove(bool putBack) {
  moving_ = false;
  SDL_CaptureMouse(SDL_FALSE);
  if (putBack) SDL_SetWindowPosition(window_, moveFrom_.X, moveFrom_.Y);
}

bool TSdlBackend::TranslateMove(const SDL_Event& e) {
  if (e.type == SDL_MOUSEBUTTONUP && (moveSwallowUp_ & (1u << (e.button.button & 31)))) {
    moveSwallowUp_ &= ~(1u << (e.button.button & 31));
    return true;
  }
  if (e.type == SDL_KEYUP && moveSwallowKey_ != 0 && e.key.keysym.sym == moveSwallowKey_) {
    moveSwallowKey_ = 0;
    return true;
  }
  if (!moving_) return false;
  switch (e.type) {
    case SDL_MOUSEMOTION: FollowMouse(); return true;
    case SDL_MOUSEBUTTONDOWN:
      // The click that ends the move is the move's, its release too.
      moveSwallowUp_ |= 1u << (e.button.button & 31);
      EndWindowMove(false);
      return true;
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEWHEEL:
    case SDL_KEYUP:
    case SDL_TEXTINPUT:
    case SDL_TEXTEDITING: return true;
    case SDL_KEYDOWN: {
      int dx = 0, dy = 0;
      switch (e.key.keysym.sym) {
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
        case SDLK_ESCAPE:
          // The key that ends the move is the move's, its release too.
          moveSwallowKey_ = e.key.keysym.sym;
          EndWindowMove(e.key.keysym.sym == SDLK_ESCAPE);
          return true;
        case SDLK_LEFT: dx = -kMoveStep; break;
        case SDLK_RIGHT: dx = kMoveStep; break;
        case SDLK_UP: dy = -kMoveStep; break;
        case SDLK_DOWN: dy = kMoveStep; break;
        default: return true;
      }
      // The window steps away from where the mouse holds it, and follows the mouse from there.
      moveGrip_.X -= dx;
      moveGrip_.Y -= dy;
      FollowMouse();
      return true;
    }
    case SDL_WINDOWEVENT:
      // Another window took the focus: the move ends where the window is.
      if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) EndWindowMove(false);
      return false;
    default: return false;
  }
}

void TSdlBackend::ReportState() {
  const Uint32 flags = SDL_GetWindowFlags(window_);
  const int state = (flags & SDL_WINDOW_MINIMIZED)   ? owsMinimized
                    : (flags & SDL_WINDOW_MAXIMIZED) ? owsMaximized
                                                     : owsNormal;
  if (state == state_) return;
  state_ = state;
  centrePending_ = state == owsMaximized;
  ReadWorkArea();  // a panel may have come or gone since
  TInputEvent ev;
  ev.kind = TInputEvent::WindowState;
  ev.x = state;
  pending_.push_back(ev);
}

void TSdlBackend::CentreMaximized() {
  if (!centrePending_ || state_ != owsMaximized) return;
  int w = 0, h = 0;
  SDL_GetWindowSize(window_, &w, &h);
  if (w <= 0 || h <= 0) return;
  centrePending_ = false;
  if (w >= usable_.Width() && h >= usable_.Height()) return;
  const TRect r = MaximizedBounds(usable_, {w, h});
  int x = 0, y = 0;
  SDL_GetWindowPosition(window_, &x, &y);
  // Window managers that keep maximised windows in the corner of the area leave it there.
  if (x != r.Left || y != r.Top) SDL_SetWindowPosition(window_, r.Left, r.Top);
}

int TSdlBackend::HitTest(int windowX, int windowY) {
  const TPoint p = ToScreen(windowX, windowY);
  int hit = FrameMapHit(frameMap_, p);
  // A second press on the caption soon after one that began a move completes a double click.
  if (hit == HTCAPTION && movePressTime_ != 0 && SDL_GetTicks64() - movePressTime_ <= kDoubleClickMs &&
      Near(p, movePressAt_)) {
    hit = HTCLIENT;
    secondClickPending_ = true;
    secondClickAt_ = p;
  }
  lastHit_ = hit;
  lastHitAt_ = p;
  return hit;
}

}  // namespace vdmq
