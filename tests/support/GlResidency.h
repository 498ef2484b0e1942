// Keeps the GL driver libraries mapped until the process ends. Tearing the
// video subsystem down unloads them, and allocations they keep for the life of
// the process would then be reported as leaks from an unknown module, which
// no suppression can name.
#pragma once

#include <dlfcn.h>
#include <link.h>

#include <cstring>

namespace testing_support {

inline void KeepGlDriversResident() {
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            const char* name = info->dlpi_name;
            if (name && *name &&
                (std::strstr(name, "mesa") || std::strstr(name, "gallium") ||
                 std::strstr(name, "_dri") || std::strstr(name, "libEGL") ||
                 std::strstr(name, "libGL") || std::strstr(name, "LLVM") ||
                 std::strstr(name, "glapi"))) {
                // A second reference that is never dropped, marked never to unload.
                dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            }
            return 0;
        },
        nullptr);
}

} // namespace testing_support
