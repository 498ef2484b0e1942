#include "tools/shader/ShaderGenTool.h"

#include "effects/Core/Interface/ShaderKey.h"
#include "effects/Core/Interface/ShaderSourceBuffer.h"
#include "effects/render/ShaderSourceGenerator.h"

#include <cerrno>
#include <cstdlib>
#include <memory>

namespace tools {

namespace {

constexpr unsigned long kLastTarget = 4;

// A whole number that fits 32 bits, in decimal or 0x hexadecimal.
bool ReadWord(const std::string& text, unsigned long limit, uint32_t& value) {
    if (text.empty() || text[0] == '-' || text[0] == '+')
        return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long long v = std::strtoull(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || v > limit)
        return false;
    value = static_cast<uint32_t>(v);
    return true;
}

} // namespace

int RunShaderGen(const std::vector<std::string>& args, std::string& out, std::string& err) {
    using FulgorCore::ShaderKey;
    using FulgorCore::ShaderSourceGenerator;
    uint32_t target = 0;
    ShaderKey key;
    bool read = args.size() >= 2 && args.size() <= 1 + ShaderKey::kWordCount &&
                ReadWord(args[0], kLastTarget, target);
    for (size_t i = 1; read && i < args.size(); ++i)
        read = ReadWord(args[i], 0xFFFFFFFFul, key.words[i - 1]);
    if (!read) {
        err = "usage: vfx_shadergen <target 0-4> <word0> [<word1> .. <word4>]\n";
        return 2;
    }
    auto buffer = std::make_unique<FulgorCore::ShaderSourceBuffer>();
    std::string programs[2];
    for (int pixel = 0; pixel < 2; ++pixel) {
        if (pixel)
            ShaderSourceGenerator::GeneratePixelShader(target, &key, buffer.get());
        else
            ShaderSourceGenerator::GenerateVertexShader(target, &key, buffer.get());
        if (buffer->length == 0) {
            err = "the key holds a value past the programs' tables: no program\n";
            return 1;
        }
        programs[pixel].assign(buffer->text, buffer->length);
    }
    out = "// vertex program\n" + programs[0] + "// pixel program\n" + programs[1];
    return 0;
}

} // namespace tools
