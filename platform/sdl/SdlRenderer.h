#pragma once
// How the SDL window presents the desktop. The accelerated renderer is taken where the OpenGL
// under it runs on a graphics processor. Where the only OpenGL there is rasterises on the main
// processor (a virtual X server, a machine without a graphics driver), presenting through it costs
// several times the processor time of SDL's software renderer drawing straight into the window
// system's own framebuffer (shared memory on X11): that path is taken instead. A renderer chosen by
// the user (SDL_RENDER_DRIVER) is kept as it is.

#include <string>
#include <string_view>

struct SDL_Window;
struct SDL_Renderer;

namespace vdmq {

enum class TPresentPath {
  Automatic,    // accelerated unless its OpenGL is a software rasteriser
  Accelerated,  // the accelerated renderer, whatever runs under it
  Software,     // the software renderer into the window system's framebuffer
};

// True for the GL_RENDERER text of an OpenGL implementation that rasterises on the processor.
bool IsSoftwareGl(std::string_view glRenderer);

// Creates the window's renderer for the path, falling back to the software renderer when no
// accelerated one can be made. Null when none can be made (SDL_GetError tells why). chosen, when
// given, receives the renderer's name and, for OpenGL, its GL_RENDERER ("opengl: llvmpipe ...").
SDL_Renderer* CreatePresentRenderer(SDL_Window* window, TPresentPath path, std::string* chosen = nullptr);

}  // namespace vdmq
