#include "effects/Core/Resource/ReferenceCollector.h"

namespace FulgorCore {

bool ReferenceCollector::List::Contains(std::string_view name) const {
    for (uint32_t i = 0; i < count; ++i)
        if (names[i] == name)
            return true;
    return false;
}

void ReferenceCollector::List::Add(std::string_view name) {
    if (Contains(name))
        return;
    if (count == kCapacity) {
        overflow = true;
        return;
    }
    names[count++] = name;
}

uint32_t ReferenceCollector::GetCount() const {
    uint32_t n = units_.count;
    for (uint32_t i = 0; i < clips_.count && n < kCapacity; ++i)
        n += units_.Contains(clips_.names[i]) ? 0u : 1u;
    return n;
}

bool ReferenceCollector::Overflowed() const {
    // Either list past its room has more distinct names than a package
    // holds.
    return units_.overflow || clips_.overflow;
}

std::string_view ReferenceCollector::GetName(uint32_t i) const {
    if (i < units_.count)
        return units_.names[i];
    uint32_t n = units_.count;
    for (uint32_t k = 0; k < clips_.count; ++k) {
        if (units_.Contains(clips_.names[k]))
            continue;
        if (n == i)
            return clips_.names[k];
        ++n;
    }
    return {};
}

} // namespace FulgorCore
