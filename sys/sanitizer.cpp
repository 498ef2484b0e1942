#include "sys/sanitizer.h"

#include <dlfcn.h>

#include <string>

#if defined(__SANITIZE_ADDRESS__)
#define DREVANTH_LEAK_CHECK 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define DREVANTH_LEAK_CHECK 1
#endif
#endif

#if defined(DREVANTH_LEAK_CHECK)
// Read by LeakSanitizer at exit, in addition to any LSAN_OPTIONS list. Only
// system libraries that keep what they allocate until the process ends: the
// SDL video and audio back ends, X11 and Wayland clients, the GL dispatch and
// the Mesa drivers with their LLVM, D-Bus, fontconfig and the sound servers.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libSDL2\n"
           "leak:libX11\n"
           "leak:libxcb\n"
           "leak:libwayland\n"
           "leak:libGLX\n"
           "leak:libGLdispatch\n"
           "leak:libEGL\n"
           "leak:libgallium\n"
           "leak:_dri.so\n"
           "leak:libLLVM\n"
           "leak:libdbus\n"
           "leak:libfontconfig\n"
           "leak:libasound\n"
           "leak:libpulse\n"
           // What the dynamic loader keeps for loaded libraries, reachable
           // only through thread-local storage, which is not scanned (below).
           "leak:ld-linux\n";
}

// The list above is expected; a clean run should not print its use. Thread-
// local storage is not scanned: at exit the GL driver's threads may be
// tearing theirs down while the check walks it, and the check then dies on
// a stale range now and again instead of reporting.
extern "C" const char* __lsan_default_options() {
    return "print_suppressions=0:use_tls=0";
}
#endif

namespace sys {

void PrepareLeakCheck() {
#if defined(DREVANTH_LEAK_CHECK)
    void* egl = dlopen("libEGL.so.1", RTLD_NOW | RTLD_NODELETE);
    void* symbol = egl ? dlsym(egl, "eglGetProcAddress") : nullptr;
    Dl_info info;
    if (!symbol || !dladdr(symbol, &info) || !info.dli_fname)
        return;
    // The software rasteriser lives in the "dri" folder beside the library.
    std::string path = info.dli_fname;
    path.resize(path.rfind('/') + 1);
    path += "dri/swrast_dri.so";
    dlopen(path.c_str(), RTLD_NOW | RTLD_NODELETE);
#endif
}

} // namespace sys
