#include "effects/render/ShaderSourceGenerator.h"

#include "effects/Core/Interface/ShaderKey.h"
#include "effects/Core/Interface/ShaderSourceBuffer.h"
#include "effects/render/GlslProgramWriter.h"
#include "effects/render/HlslProgramWriter.h"

#include <cstring>
#include <initializer_list>

namespace FulgorCore {

namespace {

// The length of a buffer whose text overflowed: past any real length, so
// every later append sees it at once.
constexpr uint32_t kOverflowed = 0xFFFFFFFFu;

enum class Program { kVertex, kPixel };

// Targets 0-2 are HLSL profiles 0, 1 and 2 (1 and 2 write the same text);
// targets 3 and 4 GLSL profiles 0 and 1.
constexpr uint32_t kTargetCount = 5;
constexpr uint32_t kFirstGlslTarget = 3;

template <class Writer> void Write(Program program, Writer&& writer) {
    if (program == Program::kVertex)
        writer.WriteVertexProgram();
    else
        writer.WritePixelProgram();
}

void Generate(Program program, uint32_t target, const ShaderKey* key, ShaderSourceBuffer* out) {
    if (!out || target >= kTargetCount)
        return;
    ShaderSourceGenerator::Begin(out);
    if (key && ShaderSourceGenerator::DescribesProgram(*key)) {
        if (target < kFirstGlslTarget)
            Write(program, HlslProgramWriter(target, *key, *out));
        else
            Write(program, GlslProgramWriter(target - kFirstGlslTarget, *key, *out));
    }
    ShaderSourceGenerator::End(out);
}

} // namespace

void ShaderSourceGenerator::GenerateVertexShader(uint32_t target, const ShaderKey* key,
                                                 ShaderSourceBuffer* out) {
    Generate(Program::kVertex, target, key, out);
}

void ShaderSourceGenerator::GeneratePixelShader(uint32_t target, const ShaderKey* key,
                                                ShaderSourceBuffer* out) {
    Generate(Program::kPixel, target, key, out);
}

bool ShaderSourceGenerator::DescribesProgram(const ShaderKey& key) {
    using K = ShaderKey;
    for (K::Field channel : {K::kColor1Channel, K::kColor2Channel, K::kColor3Channel})
        if (key.Get(channel) > K::kLastChannel)
            return false;
    for (K::Field op : {K::kColor2RgbOp, K::kColor3RgbOp, K::kReflectionOp})
        if (key.Get(op) > K::kLastColorOp)
            return false;
    for (K::Field set : K::kUvSetFields)
        if (key.Get(set) > K::kLastUvSet)
            return false;
    return key.Get(K::kDecalShape) <= K::kLastDecalShape &&
           key.Get(K::kUvSetCount) <= K::kLastUvSetCount;
}

bool ShaderSourceGenerator::Append(ShaderSourceBuffer* buffer, const char* text) {
    return Append(buffer, text, text ? static_cast<uint32_t>(std::strlen(text)) : 0);
}

bool ShaderSourceGenerator::Append(ShaderSourceBuffer* buffer, const char* text, uint32_t length) {
    if (buffer->length >= ShaderSourceBuffer::kCapacity)
        return false; // marked
    if (length >= ShaderSourceBuffer::kCapacity - buffer->length) {
        buffer->length = kOverflowed;
        return false;
    }
    if (length)
        std::memcpy(buffer->text + buffer->length, text, length);
    buffer->length += length;
    buffer->text[buffer->length] = '\0';
    return true;
}

bool ShaderSourceGenerator::AppendNumber(ShaderSourceBuffer* buffer, uint32_t value) {
    char digits[10];
    uint32_t n = 0;
    do {
        digits[sizeof digits - ++n] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value);
    return Append(buffer, digits + sizeof digits - n, n);
}

void ShaderSourceGenerator::Begin(ShaderSourceBuffer* buffer) {
    buffer->length = 0;
    buffer->text[0] = '\0';
}

void ShaderSourceGenerator::End(ShaderSourceBuffer* buffer) {
    if (buffer->length >= ShaderSourceBuffer::kCapacity)
        Begin(buffer);
}

} // namespace FulgorCore
