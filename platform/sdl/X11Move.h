#pragma once
// The window manager's own move of a window from the keyboard, on X11: asked for with the
// _NET_WM_MOVERESIZE client message where the window manager lists it among what it supports.

struct SDL_Window;

namespace vdmq {

// Asks the window manager to move the window from the keyboard (arrow keys, Return to end, Escape
// to put it back). False when the window is not an X11 one, the program was built without X11 or
// no window manager offers that move: nothing was asked then.
bool StartWindowManagerMove(SDL_Window* window);

}  // namespace vdmq
