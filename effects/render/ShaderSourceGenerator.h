#pragma once

#include <cstdint>

namespace FulgorCore {

struct ShaderKey;
struct ShaderSourceBuffer;

// Writes the source text of a material's vertex and pixel programs for its
// key. Targets: 0 HLSL with numbered registers and tex2D sampling (shader
// model 3 style), 1 and 2 HLSL with a constant buffer and texture objects
// (shader model 4; the two give the same text), 3 and 4 GLSL. Any other
// target leaves the buffer exactly as it was.
//
// Each call writes the whole program from the buffer's start. A key that
// holds a value past the programs' tables (see DescribesProgram) gets empty
// text, and so does a target without a writer, so a host compile of it
// fails cleanly. Kinds 4 to 7 get no body: the HLSL programs only their
// first line, the GLSL programs their first line and the declarations that
// come before a kind's own text.
//
// Stateless: calls on different buffers may run in parallel.
class ShaderSourceGenerator {
public:
    static void GenerateVertexShader(uint32_t target, const ShaderKey* key,
                                     ShaderSourceBuffer* out);
    static void GeneratePixelShader(uint32_t target, const ShaderKey* key, ShaderSourceBuffer* out);

    // False when a channel is above 10, a colour or reflection operation
    // above 5, a texture-coordinate set index 6 or 7 (there are six sets),
    // the decal shape 3 or the set count 7: values the effect data's bit
    // fields can hold but no program has text for.
    static bool DescribesProgram(const ShaderKey& key);

    // Appends text (its length given, or up to its NUL) and keeps the text
    // NUL-terminated. Text that would not fit with its NUL is not written
    // and marks the buffer: every later append is dropped too, and the
    // program ends as empty text. False once the buffer is marked.
    static bool Append(ShaderSourceBuffer* buffer, const char* text);
    static bool Append(ShaderSourceBuffer* buffer, const char* text, uint32_t length);
    // A number in decimal (texture-coordinate set indices, array rows).
    static bool AppendNumber(ShaderSourceBuffer* buffer, uint32_t value);

    // Empties the buffer for a new program.
    static void Begin(ShaderSourceBuffer* buffer);
    // Ends the program: a marked buffer becomes empty text.
    static void End(ShaderSourceBuffer* buffer);
};

} // namespace FulgorCore
