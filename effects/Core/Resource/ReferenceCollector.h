#pragma once

#include <cstdint>
#include <string_view>

namespace FulgorCore {

// The names of the effects a package refers to, gathered while it is read:
// each unit's "VfxF" and each "VFXC" clip of its timelines. The entries keep
// first-seen order, unit names before clip names, each name once (compared
// byte for byte). The same walk feeds it in both passes, with views of the
// image while measuring and of the block's copies while building, so the
// measure knows how many entries the build will fill.
class ReferenceCollector {
public:
    // One more than a package can hold (63): enough to tell that a file
    // names too many.
    static constexpr uint32_t kCapacity = 64;

    void AddUnitName(std::string_view name) { units_.Add(name); }
    void AddClipName(std::string_view name) { clips_.Add(name); }

    // The distinct names, units first; at most kCapacity, and more than any
    // package holds when Overflowed.
    uint32_t GetCount() const;
    bool Overflowed() const;
    // Name i of the merged order; empty past the count.
    std::string_view GetName(uint32_t i) const;

private:
    struct List {
        std::string_view names[kCapacity];
        uint32_t count = 0;
        bool overflow = false;

        bool Contains(std::string_view name) const;
        void Add(std::string_view name);
    };

    List units_;
    List clips_;
};

} // namespace FulgorCore
