#include "game/vfx/VfxData.h"

#include <cstring>

VfxData::VfxData(const char* name) {
    if (!name)
        return;
    const size_t n = strnlen(name, kNameLength);
    std::memcpy(name_, name, n);
    name_[n] = '\0';
}
