#include "platform/sdl/SdlRenderer.h"

#include <SDL.h>

#include <algorithm>
#include <cctype>

namespace vdmq {
namespace {

constexpr unsigned kGlRenderer = 0x1F01;  // GL_RENDERER

// The GL_RENDERER text of the renderer's current OpenGL context, "" when it is no OpenGL renderer.
std::string GlRendererOf(SDL_Renderer* renderer) {
  SDL_RendererInfo info{};
  if (SDL_GetRendererInfo(renderer, &info) != 0 || info.name == nullptr) return {};
  if (std::string_view(info.name).rfind("opengl", 0) != 0) return {};
  // The renderer made its context current on this thread when it was created.
  if (SDL_GL_GetCurrentContext() == nullptr) return {};
  using TGetString = const unsigned char* (*)(unsigned);
  const auto getString = reinterpret_cast<TGetString>(SDL_GL_GetProcAddress("glGetString"));
  if (getString == nullptr) return {};
  const unsigned char* text = getString(kGlRenderer);
  return text != nullptr ? std::string(reinterpret_cast<const char*>(text)) : std::string();
}

std::string Describe(SDL_Renderer* renderer) {
  SDL_RendererInfo info{};
  std::string name = SDL_GetRendererInfo(renderer, &info) == 0 && info.name != nullptr ? info.name : "?";
  const std::string gl = GlRendererOf(renderer);
  return gl.empty() ? name : name + ": " + gl;
}

SDL_Renderer* SoftwareRenderer(SDL_Window* window) {
  // Into the window system's framebuffer, not through a texture of yet another renderer.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  return SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
}

}  // namespace

bool IsSoftwareGl(std::string_view glRenderer) {
  std::string text(glRenderer);
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  for (const char* mark : {"llvmpipe", "softpipe", "software rasterizer", "swrast", "swiftshader", "gdi generic"})
    if (text.find(mark) != std::string::npos) return true;
  return false;
}

SDL_Renderer* CreatePresentRenderer(SDL_Window* window, TPresentPath path, std::string* chosen) {
  SDL_Renderer* renderer = nullptr;
  if (path != TPresentPath::Software) {
    renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
    const char* userChoice = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    const bool userChose = userChoice != nullptr && *userChoice != '\0';
    if (renderer != nullptr && path == TPresentPath::Automatic && !userChose && IsSoftwareGl(GlRendererOf(renderer))) {
      SDL_DestroyRenderer(renderer);
      renderer = nullptr;
    }
  }
  if (renderer == nullptr) renderer = SoftwareRenderer(window);
  if (renderer != nullptr && chosen != nullptr) *chosen = Describe(renderer);
  return renderer;
}

}  // namespace vdmq
