#include "tools/sampledata/SampleKind.h"

#include <algorithm>

namespace sampledata {

namespace {

// A function-local list, so that registrars in any translation unit find it
// constructed whatever the order of static initialisation.
std::vector<Kind>& Registry() {
    static std::vector<Kind> kinds;
    return kinds;
}

} // namespace

KindRegistrar::KindRegistrar(const char* name, BuildFunction build) {
    Registry().push_back({name, build});
}

std::vector<Kind> RegisteredKinds() {
    std::vector<Kind> kinds = Registry();
    std::sort(kinds.begin(), kinds.end(),
              [](const Kind& a, const Kind& b) { return a.name < b.name; });
    return kinds;
}

} // namespace sampledata
