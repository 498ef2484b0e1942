#include "support/effects/GlslPairCheck.h"

#include <glslang/MachineIndependent/localintermediate.h>
#include <glslang/Public/ResourceLimits.h>
#include <glslang/Public/ShaderLang.h>

#include <mutex>
#include <set>

namespace testsupport {

namespace {

void InitializeOnce() {
    static std::once_flag once;
    std::call_once(once, [] { glslang::InitializeProcess(); });
}

// Parses one program. Without a version line the desktop dialect would be
// GLSL 1.10 and the embedded one ES 1.00; the program must come out in the
// dialect asked for.
std::string Parse(glslang::TShader& shader, const std::string& text, GlslDialect dialect) {
    const bool es = dialect == GlslDialect::kEs100;
    const char* strings[1] = {text.c_str()};
    const int lengths[1] = {static_cast<int>(text.size())};
    shader.setStringsWithLengths(strings, lengths, 1);
    if (!shader.parse(GetDefaultResources(), es ? 100 : 110, es ? EEsProfile : ENoProfile, false,
                      false, EShMsgDefault))
        return shader.getInfoLog();
    const glslang::TIntermediate* code = shader.getIntermediate();
    const int version = es ? 100 : 120;
    if (code->getVersion() != version || (code->getProfile() == EEsProfile) != es)
        return "compiled as version " + std::to_string(code->getVersion()) +
               (code->getProfile() == EEsProfile ? " es" : "") + ", not " +
               std::to_string(version) + (es ? " es" : "");
    return {};
}

// The varyings one program declares, used or not: the vertex program's
// outputs or the fragment program's inputs, without the built-in ones.
bool DeclaredVaryings(EShLanguage stage, const std::string& text, GlslDialect dialect,
                      std::set<std::string>& names) {
    glslang::TShader shader(stage);
    if (!Parse(shader, text, dialect).empty())
        return false;
    glslang::TProgram program;
    program.addShader(&shader);
    if (!program.link(EShMsgDefault) ||
        !program.buildReflection(EShReflectionIntermediateIO | EShReflectionAllIOVariables))
        return false;
    const bool vertex = stage == EShLangVertex;
    const int count = vertex ? program.getNumPipeOutputs() : program.getNumPipeInputs();
    for (int i = 0; i < count; ++i) {
        const std::string& name =
            vertex ? program.getPipeOutput(i).name : program.getPipeInput(i).name;
        if (name.rfind("gl_", 0) != 0)
            names.insert(name);
    }
    return true;
}

} // namespace

std::string CheckGlslPair(GlslDialect dialect, const std::string& vertex,
                          const std::string& fragment) {
    InitializeOnce();
    glslang::TShader vertexShader(EShLangVertex);
    glslang::TShader fragmentShader(EShLangFragment);
    if (std::string log = Parse(vertexShader, vertex, dialect); !log.empty())
        return "vertex program: " + log;
    if (std::string log = Parse(fragmentShader, fragment, dialect); !log.empty())
        return "fragment program: " + log;
    glslang::TProgram pair;
    pair.addShader(&vertexShader);
    pair.addShader(&fragmentShader);
    if (!pair.link(EShMsgDefault))
        return std::string("link: ") + pair.getInfoLog();
    std::set<std::string> written, read;
    if (!DeclaredVaryings(EShLangVertex, vertex, dialect, written) ||
        !DeclaredVaryings(EShLangFragment, fragment, dialect, read))
        return "no varyings reflected";
    for (const std::string& name : read)
        if (!written.count(name))
            return "fragment varying " + name + " is not declared by the vertex program";
    return {};
}

} // namespace testsupport
