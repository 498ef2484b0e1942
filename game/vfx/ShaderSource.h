#pragma once

#include <cstdint>

namespace FulgorCore {
struct ShaderKey;
struct ShaderSourceBuffer;
} // namespace FulgorCore

// Where the device gets the text of a material's programs: HLSL for shader
// model 4, written for the key into the device's own buffer by the
// runtime's source generator. A key the generator refuses gets empty text,
// so its shader request fails cleanly. Tests may install text of their own.
class ShaderSource {
public:
    enum Program : uint32_t { kVertex, kPixel };
    using Writer = void (*)(Program program, const FulgorCore::ShaderKey& key,
                            FulgorCore::ShaderSourceBuffer& out);

    // Writes the program's text and length into out.
    static void Write(Program program, const FulgorCore::ShaderKey& key,
                      FulgorCore::ShaderSourceBuffer& out);
    // Replaces the writer; null restores the default.
    static void Install(Writer writer);
};
