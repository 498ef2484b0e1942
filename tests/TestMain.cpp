#include "engine/common/Heap.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <stdlib.h>

#include <string>

namespace {

// SDL loads the GL stack with an OpenGL window and unloads it with the
// window. What the stack keeps for the life of the process then sits in a
// library LeakSanitizer can no longer name, out of reach of tests/lsan.supp;
// keeping the libraries loaded keeps the names.
void PinGlLibraries() {
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
}

} // namespace

int main(int argc, char** argv) {
    // Headless by default, whatever runs the tests; an environment that
    // names its own drivers keeps them.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    PinGlLibraries();
    Mireku::Common::Heap::LockedInitialize();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
