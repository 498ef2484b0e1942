// Checks a pair of generated GLSL programs with glslang's GLSL front end,
// which only the tests call: each program compiles in its dialect, the
// two link as one program (the varyings' types agree), and every varying
// the fragment program declares is declared by the vertex program (the
// linker lets a fragment read a varying nobody writes).
#pragma once

#include <string>

namespace testsupport {

enum class GlslDialect {
    kDesktop120, // the text names "#version 120" itself
    kEs100,      // no version line: OpenGL ES GLSL 1.00
};

// Empty when the pair holds; else what failed, with the compiler's log.
std::string CheckGlslPair(GlslDialect dialect, const std::string& vertex,
                          const std::string& fragment);

} // namespace testsupport
