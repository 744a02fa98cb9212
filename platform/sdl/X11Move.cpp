#include "platform/sdl/X11Move.h"

#include <SDL.h>
#include <SDL_syswm.h>

#ifdef VDMQ_HAVE_X11
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#endif

namespace vdmq {

#ifdef VDMQ_HAVE_X11
namespace {

// The extended window manager hints' move of a window from the keyboard.
constexpr long kMoveKeyboard = 10;
// The request comes from an ordinary program.
constexpr long kSourceApplication = 1;

// True when the window manager on the window's screen lists that atom as supported.
bool Supported(Display* d, ::Window root, Atom wanted) {
  const Atom list = XInternAtom(d, "_NET_SUPPORTED", True);
  if (list == None) return false;
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(d, root, list, 0, 4096, False, XA_ATOM, &type, &format, &count, &after, &data) != Success)
    return false;
  bool found = false;
  if (type == XA_ATOM && format == 32 && data != nullptr) {
    const auto* atoms = reinterpret_cast<const Atom*>(data);
    for (unsigned long i = 0; i < count && !found; ++i) found = atoms[i] == wanted;
  }
  if (data != nullptr) XFree(data);
  return found;
}

}  // namespace

bool StartWindowManagerMove(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window == nullptr || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
  Display* d = info.info.x11.display;
  const ::Window w = info.info.x11.window;
  if (d == nullptr || w == 0) return false;
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(d, w, &attributes)) return false;
  const ::Window root = attributes.root;
  const Atom moveResize = XInternAtom(d, "_NET_WM_MOVERESIZE", False);
  if (!Supported(d, root, moveResize)) return false;
  // The window manager takes the pointer and the keyboard for the move: the program gives up any
  // hold it has of them.
  SDL_CaptureMouse(SDL_FALSE);
  XUngrabPointer(d, CurrentTime);
  XUngrabKeyboard(d, CurrentTime);
  ::Window child = 0, rootReturn = 0;
  int rootX = 0, rootY = 0, winX = 0, winY = 0;
  unsigned mask = 0;
  XQueryPointer(d, w, &rootReturn, &child, &rootX, &rootY, &winX, &winY, &mask);
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = w;
  e.xclient.message_type = moveResize;
  e.xclient.format = 32;
  e.xclient.data.l[0] = rootX;
  e.xclient.data.l[1] = rootY;
  e.xclient.data.l[2] = kMoveKeyboard;
  e.xclient.data.l[3] = 0;  // no button
  e.xclient.data.l[4] = kSourceApplication;
  const bool sent = XSendEvent(d, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &e) != 0;
  XFlush(d);
  return sent;
}

#else

bool StartWindowManagerMove(SDL_Window*) { return false; }

#endif

}  // namespace vdmq
