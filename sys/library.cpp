#include "sys/library.h"

#include <dlfcn.h>

#include <string>

namespace sys {

void* LoadLibrary(const char* path) {
    if (!path)
        return nullptr;
    std::string file(path);
    // dlopen searches the library path for a bare name; a name with a folder
    // part is opened as it stands, relative to the working folder.
    if (file.find('/') == std::string::npos)
        file.insert(0, "./");
    file += ".so";
    return dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* GetSymbol(void* library, const char* name) {
    return library && name ? dlsym(library, name) : nullptr;
}

void FreeLibrary(void* library) {
    if (library)
        dlclose(library);
}

} // namespace sys
