#pragma once

// Initialises GLEW for the current GL context and says on the debug output
// when that fails or when OpenGL 2.0 is missing. GLEW only knows GLX: on an
// EGL context (Wayland) it can't look, so there the context's own major
// version decides and GLEW's failure is not reported.
void checkGlSupport(int majorVersion);
