#include "sys/gpu/gl_functions.h"

#include <SDL.h>

namespace sys::gpu::gl {

#define SYS_GL_DEFINE(type, name) type name = nullptr;
SYS_GL_FUNCTIONS(SYS_GL_DEFINE)
#undef SYS_GL_DEFINE

bool Load(const char** missing) {
#define SYS_GL_LOAD(type, name)                                                                    \
    name = reinterpret_cast<type>(SDL_GL_GetProcAddress("gl" #name));                              \
    if (!name) {                                                                                   \
        if (missing)                                                                               \
            *missing = "gl" #name;                                                                 \
        return false;                                                                              \
    }
    SYS_GL_FUNCTIONS(SYS_GL_LOAD)
#undef SYS_GL_LOAD
    return true;
}

} // namespace sys::gpu::gl
