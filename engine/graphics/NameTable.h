#pragma once

#include <cstdint>
#include <cstring>
#include <mutex>

namespace Mireku::Graphics {

// Names of shader resources mapped to global ids: the first look-up of a name
// takes the first empty slot, later ones find it again. Ids are never freed.
template <uint32_t Count> class NameTable {
public:
    static constexpr uint32_t kNameBytes = 32; // 31 characters and a zero
    static constexpr uint32_t kNoId = 0xFFFFFFFFu;

    // The id of `name` (exact, case-sensitive), or kNoId when the table is full.
    // Names longer than 31 bytes are kept and compared by their first 31.
    uint32_t GetId(const char* name) {
        if (!name)
            return kNoId;
        char key[kNameBytes];
        std::strncpy(key, name, kNameBytes - 1);
        key[kNameBytes - 1] = '\0';
        // Shaders are created on any thread; two new names must not claim
        // the same slot.
        std::lock_guard<std::mutex> guard(lock_);
        for (uint32_t i = 0; i < Count; ++i) {
            if (names_[i][0] == '\0') {
                std::memcpy(names_[i], key, kNameBytes);
                return i;
            }
            if (std::strcmp(names_[i], key) == 0)
                return i;
        }
        return kNoId;
    }

private:
    std::mutex lock_;
    char names_[Count][kNameBytes] = {};
};

} // namespace Mireku::Graphics
