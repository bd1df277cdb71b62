// gl_win32.cpp: the OpenGL functions past version 1.1 that the graphics device calls. Windows'
// opengl32.dll exports version 1.1 alone; the driver hands out the rest through wglGetProcAddress
// while a context is current, which it is whenever the device draws.
#define GL_GLEXT_PROTOTYPES
#include <windows.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdint>

namespace {

// The driver's entry point, or null while there is none (no context yet, or an old driver).
template <typename Fn>
Fn bbGlProc(Fn* cached, const char* name) {
  if (!*cached) {
    PROC p = wglGetProcAddress(name);
    // Some drivers answer a small number or -1 instead of null for a missing function.
    std::intptr_t v = reinterpret_cast<std::intptr_t>(p);
    if (v >= -1 && v <= 3) return nullptr;
    *cached = reinterpret_cast<Fn>(reinterpret_cast<void*>(p));
  }
  return *cached;
}

PFNGLBINDBUFFERPROC bindBuffer;
PFNGLGENBUFFERSPROC genBuffers;
PFNGLBUFFERDATAPROC bufferData;

}  // namespace

extern "C" {

void APIENTRY glBindBuffer(GLenum target, GLuint buffer) {
  if (auto fn = bbGlProc(&bindBuffer, "glBindBuffer")) fn(target, buffer);
}

void APIENTRY glGenBuffers(GLsizei n, GLuint* buffers) {
  if (auto fn = bbGlProc(&genBuffers, "glGenBuffers")) {
    fn(n, buffers);
  } else {
    for (GLsizei i = 0; i < n; ++i) buffers[i] = 0;
  }
}

void APIENTRY glBufferData(GLenum target, GLsizeiptr size, const void* data, GLenum usage) {
  if (auto fn = bbGlProc(&bufferData, "glBufferData")) fn(target, size, data, usage);
}

}  // extern "C"
