// Shared by the SDL test executables: the X and audio libraries keep some allocations for the life
// of the process, which the leak checker of the sanitizer build must not count as ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libX11\nleak:libxcb\nleak:libSDL2\nleak:libdbus\nleak:libfontconfig\nleak:libasound\n"
         "leak:libpulse\nleak:libEGL\nleak:libGLX\nleak:libGL\nleak:_XlcCreateLC\nleak:libLLVM\nleak:swrast\n";
}
