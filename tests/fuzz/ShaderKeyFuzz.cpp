// libFuzzer target for the shader source generators: any input is read as
// five key words and a target (0-7), and both programs are written into a
// buffer of exactly the buffer's size. The text must end at its length with
// a NUL, a key past the programs' tables must get empty text, and a target
// past the languages must leave the buffer untouched. No text may name a
// texture-coordinate set past the sixth, whatever the refusal check says.
// The two GLSL targets (3 and 4) must write the same text after their first
// line.
#include "effects/Core/Interface/ShaderKey.h"
#include "effects/Core/Interface/ShaderSourceBuffer.h"
#include "effects/render/ShaderSourceGenerator.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

using namespace FulgorCore;

constexpr uint32_t kTargets = 8;
constexpr uint32_t kFirstUntouchedTarget = 5;
constexpr uint32_t kGlslTargets[2] = {3, 4};
constexpr char kFill = 'x';

void Check(bool holds) {
    if (!holds)
        std::abort();
}

void Generate(bool pixel, uint32_t target, const ShaderKey& key, ShaderSourceBuffer& buffer) {
    std::memset(buffer.text, kFill, sizeof buffer.text);
    buffer.length = 12345;
    if (pixel)
        ShaderSourceGenerator::GeneratePixelShader(target, &key, &buffer);
    else
        ShaderSourceGenerator::GenerateVertexShader(target, &key, &buffer);
}

// The text after the first line; empty text has none.
const char* Body(const ShaderSourceBuffer& buffer) {
    const char* end = std::strchr(buffer.text, '\n');
    return end ? end : "";
}

void Run(bool pixel, uint32_t target, const ShaderKey& key, ShaderSourceBuffer& buffer,
         ShaderSourceBuffer& other) {
    Generate(pixel, target, key, buffer);
    if (target >= kFirstUntouchedTarget) {
        Check(buffer.length == 12345 && buffer.text[0] == kFill);
        return;
    }
    Check(buffer.length < ShaderSourceBuffer::kCapacity);
    Check(std::strlen(buffer.text) == buffer.length);
    if (!ShaderSourceGenerator::DescribesProgram(key))
        Check(buffer.length == 0);
    // Six sets, Parameter.TexCoord[0] to [5], in every language.
    Check(!std::strstr(buffer.text, "Parameter.TexCoord[6") &&
          !std::strstr(buffer.text, "Parameter.TexCoord[7"));
    for (uint32_t glsl = 0; glsl < 2; ++glsl)
        if (target == kGlslTargets[glsl]) {
            Generate(pixel, kGlslTargets[1 - glsl], key, other);
            Check((buffer.length == 0) == (other.length == 0));
            Check(std::strcmp(Body(buffer), Body(other)) == 0);
        }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ShaderKey key;
    for (uint32_t w = 0; w < ShaderKey::kWordCount; ++w)
        for (uint32_t b = 0; b < 4; ++b) {
            const size_t at = w * 4 + b;
            key.words[w] |= static_cast<uint32_t>(at < size ? data[at] : 0) << (8 * b);
        }
    const uint32_t target = size > 20 ? data[20] % kTargets : 2;
    // Exactly the buffer, so a write past it is caught.
    auto buffer = std::make_unique<ShaderSourceBuffer>();
    auto other = std::make_unique<ShaderSourceBuffer>();
    Run(false, target, key, *buffer, *other);
    Run(true, target, key, *buffer, *other);
    return 0;
}
