#pragma once

#include <cstdint>

namespace FulgorCore {

// What a trigger ("SchT") or an assignment ("SchA") of a package starts: a
// package timeline ("TlNo") and a bind ("BnNo"); -1 for none.
struct PartAssignment {
    int16_t timeline = -1;
    int16_t bind = -1;
};

} // namespace FulgorCore
