// Linked into the sanitized build's executables only. Mesa unloads its software driver when EGL
// or GLX shuts down, before LeakSanitizer looks at the heap at exit: the driver's one-time
// allocations, still referenced from its own globals, then seem leaked from a module that is
// gone, which no suppression can name. Opening the driver once more, never to be unloaded, keeps
// its globals in view, and those blocks are reachable again.
#include <dlfcn.h>

namespace {

[[gnu::constructor]] void KeepGlDriverLoaded() {
  dlopen(BF_GL_DRIVER, RTLD_LAZY | RTLD_LOCAL | RTLD_NODELETE);
}

}  // namespace
