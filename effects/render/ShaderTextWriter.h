#pragma once

#include "effects/Core/Interface/ShaderKey.h"
#include "effects/render/ShaderSourceGenerator.h"

#include <cstdint>

namespace FulgorCore {

struct ShaderSourceBuffer;

// What every language's program writer shares: the key it reads, the
// buffer it appends to through the generator's bounded append, and its
// profile within the language.
class ShaderTextWriter {
protected:
    ShaderTextWriter(uint32_t profile, const ShaderKey& key, ShaderSourceBuffer& out)
        : profile_(profile), key_(key), out_(out) {}

    void Put(const char* text) { ShaderSourceGenerator::Append(&out_, text); }
    // A number in decimal (set indices, array rows and sizes).
    void PutNumber(uint32_t value) { ShaderSourceGenerator::AppendNumber(&out_, value); }
    uint32_t Get(ShaderKey::Field field) const { return key_.Get(field); }

    uint32_t profile_;
    const ShaderKey& key_;
    ShaderSourceBuffer& out_;
};

} // namespace FulgorCore
