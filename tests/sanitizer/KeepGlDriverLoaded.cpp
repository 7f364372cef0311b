// Linked into every program of the sanitizer build (scripts/test.sh). Mesa
// unloads its GL driver when the display closes, before the leak check at
// exit, which then can't name the driver's frames. Opening the driver here
// with RTLD_NODELETE keeps it mapped for the life of the process, so that the
// suppression file can name it; Mesa's own later dlopen gets the same copy.
#include <dlfcn.h>

#ifndef GL_DRIVER_PATH
#error "GL_DRIVER_PATH must name Mesa's software GL driver"
#endif

namespace {

struct KeepGlDriverLoaded {
    KeepGlDriverLoaded() { dlopen(GL_DRIVER_PATH, RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE); }
} keep;

} // namespace
