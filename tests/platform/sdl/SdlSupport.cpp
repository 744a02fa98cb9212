// Shared by the SDL test executables: the X, GL and audio libraries keep some allocations for the
// life of the process, which the leak checker of the sanitizer build must not count as ours. SDL
// loads those libraries itself and unloads them at its end, which would leave their allocations
// without a library name; in the tests nothing is unloaded, so the names stay and the suppressions
// below apply.

extern "C" int dlclose(void*) { return 0; }

extern "C" const char* __lsan_default_suppressions() {
  return "leak:libX11\nleak:libxcb\nleak:libXcursor\nleak:libXi\nleak:libXext\nleak:libXfixes\nleak:libXrandr\n"
         "leak:libXrender\nleak:libxkbcommon\nleak:libSDL2\nleak:libdbus\nleak:libfontconfig\nleak:libasound\n"
         "leak:libpulse\nleak:libEGL\nleak:libGLX\nleak:libGL\nleak:_XlcCreateLC\nleak:libLLVM\nleak:swrast\n";
}
