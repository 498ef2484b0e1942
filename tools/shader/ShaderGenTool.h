#pragma once

#include <string>
#include <vector>

namespace tools {

// vfx_shadergen: the effects runtime's programs for one material key, as
// its shader generator writes them, for reading and for trying in another
// compiler.
//   vfx_shadergen <target> <word0> [<word1> .. <word4>]
// The target as the generator numbers them (0 HLSL with registers, 1 and 2
// HLSL with a constant buffer, 3 GLSL 1.20, 4 GLSL ES 1.00); the key's words
// in decimal or 0x hexadecimal, missing words 0. Writes the vertex program
// and then the pixel program to `out`, each after a comment line naming it.
// Answers the exit status: 0 written, 1 the key holds a value past the
// programs' tables (no text, a message in `err`), 2 arguments it cannot
// read (the usage in `err`).
int RunShaderGen(const std::vector<std::string>& args, std::string& out, std::string& err);

} // namespace tools
