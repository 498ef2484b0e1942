#include "sys/shader.h"

// The library is built with its HLSL front end; the header hides that part
// unless told.
#define ENABLE_HLSL 1
#include <glslang/Public/ResourceLimits.h>
#include <glslang/Public/ShaderLang.h>
#include <glslang/SPIRV/GlslangToSpv.h>
#include <spirv_cross/spirv_cross_c.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <mutex>

namespace sys {

namespace {

// HLSL keeps b#, t# and s# registers in separate classes, so "register 0" of a
// constant buffer, a texture and a sampler are three different things. SPIR-V
// has one binding space; the classes are moved apart on the way in and back on
// the way out.
constexpr uint32_t kConstantBufferShift = 0;
constexpr uint32_t kSamplerShift = 32;
constexpr uint32_t kTextureShift = 64;

struct SemanticRange {
    const char* name;
    int first;
    uint32_t count;
};

// Attribute and varying locations by semantic. GL guarantees 16 vertex
// attributes and the varyings of at least 15 vec4s; this table stays under 32,
// which Mesa offers for both. Morphing meshes read a second position, normal
// and tangent; with them, every attribute of the effects' vertex layouts
// (up to TEXCOORD4) still lies below 16.
constexpr SemanticRange kSemantics[] = {
    {"POSITION", 0, 2},      {"NORMAL", 2, 2},     {"TANGENT", 4, 2},   {"BINORMAL", 6, 1},
    {"COLOR", 7, 4},         {"TEXCOORD", 11, 10}, {"TEXTURE", 11, 10}, {"BLENDWEIGHT", 21, 1},
    {"BLENDINDICES", 22, 1}, {"PSIZE", 23, 1},     {"FOG", 24, 1},
};

bool EqualsNoCase(const char* a, const char* b, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) != static_cast<unsigned char>(b[i]))
            return false;
    }
    return b[n] == 0;
}

void InitializeCompiler() {
    static std::once_flag once;
    std::call_once(once, [] { glslang::InitializeProcess(); });
}

EShLanguage Language(ShaderStage stage) {
    return stage == ShaderStage::Vertex ? EShLangVertex : EShLangFragment;
}

// One SPIRV-Cross context per call; its destructor frees everything it made.
class CrossContext {
public:
    CrossContext() {
        if (spvc_context_create(&context_) != SPVC_SUCCESS)
            context_ = nullptr;
    }
    ~CrossContext() {
        if (context_)
            spvc_context_destroy(context_);
    }
    CrossContext(const CrossContext&) = delete;
    CrossContext& operator=(const CrossContext&) = delete;

    // Parses the code and makes a GLSL compiler over it.
    bool Open(const void* code, size_t bytes, std::string& log) {
        if (!context_) {
            log = "shader translator unavailable";
            return false;
        }
        if (!code || bytes < 20 || bytes % 4 != 0) {
            log = "shader code is not SPIR-V";
            return false;
        }
        spvc_parsed_ir ir = nullptr;
        if (spvc_context_parse_spirv(context_, static_cast<const SpvId*>(code), bytes / 4, &ir) !=
                SPVC_SUCCESS ||
            spvc_context_create_compiler(context_, SPVC_BACKEND_GLSL, ir,
                                         SPVC_CAPTURE_MODE_TAKE_OWNERSHIP,
                                         &compiler_) != SPVC_SUCCESS) {
            log = LastError();
            return false;
        }
        return true;
    }

    std::string LastError() const {
        const char* e = context_ ? spvc_context_get_last_error_string(context_) : nullptr;
        return e && *e ? e : "shader translation failed";
    }

    spvc_compiler Compiler() const { return compiler_; }

private:
    spvc_context context_ = nullptr;
    spvc_compiler compiler_ = nullptr;
};

bool StageOf(spvc_compiler compiler, ShaderStage& stage, std::string& log) {
    switch (spvc_compiler_get_execution_model(compiler)) {
    case SpvExecutionModelVertex:
        stage = ShaderStage::Vertex;
        return true;
    case SpvExecutionModelFragment:
        stage = ShaderStage::Pixel;
        return true;
    default:
        log = "unsupported shader stage";
        return false;
    }
}

bool ResourceList(spvc_resources resources, spvc_resource_type type,
                  const spvc_reflected_resource*& list, size_t& count) {
    list = nullptr;
    count = 0;
    return spvc_resources_get_resource_list_for_type(resources, type, &list, &count) ==
           SPVC_SUCCESS;
}

// The register a resource was declared with, from its shifted binding.
uint32_t SlotOf(spvc_compiler compiler, SpvId id, uint32_t shift) {
    uint32_t binding = spvc_compiler_get_decoration(compiler, id, SpvDecorationBinding);
    return binding >= shift ? binding - shift : kShaderNoSlot;
}

// A constant buffer's name is its block type's name ("CB_VS_0"); the variable
// itself is usually anonymous.
std::string BufferName(spvc_compiler compiler, const spvc_reflected_resource& r) {
    const char* type = spvc_compiler_get_name(compiler, r.base_type_id);
    if (type && *type)
        return type;
    return r.name ? r.name : "";
}

bool Reflect(spvc_compiler compiler, spvc_resources resources, ShaderReflection& out,
             std::string& log) {
    out.constantBuffers.clear();
    out.textures.clear();
    out.samplers.clear();
    out.constants.clear();
    out.combined.clear();
    out.inputs.clear();
    if (!StageOf(compiler, out.stage, log))
        return false;
    const spvc_reflected_resource* list;
    size_t count;
    if (!ResourceList(resources, SPVC_RESOURCE_TYPE_UNIFORM_BUFFER, list, count))
        return false;
    for (size_t i = 0; i < count; ++i) {
        const std::string buffer = BufferName(compiler, list[i]);
        out.constantBuffers.push_back({buffer, SlotOf(compiler, list[i].id, kConstantBufferShift)});
        spvc_type type = spvc_compiler_get_type_handle(compiler, list[i].base_type_id);
        for (unsigned m = 0; type && m < spvc_type_get_num_member_types(type); ++m) {
            unsigned offset = 0;
            if (spvc_compiler_type_struct_member_offset(compiler, type, m, &offset) != SPVC_SUCCESS)
                continue;
            const char* name = spvc_compiler_get_member_name(compiler, list[i].base_type_id, m);
            out.constants.push_back({buffer, name ? name : "", offset});
        }
    }
    if (!ResourceList(resources, SPVC_RESOURCE_TYPE_SEPARATE_IMAGE, list, count))
        return false;
    for (size_t i = 0; i < count; ++i)
        out.textures.push_back({list[i].name, SlotOf(compiler, list[i].id, kTextureShift)});
    if (!ResourceList(resources, SPVC_RESOURCE_TYPE_SEPARATE_SAMPLERS, list, count))
        return false;
    for (size_t i = 0; i < count; ++i)
        out.samplers.push_back({list[i].name, SlotOf(compiler, list[i].id, kSamplerShift)});
    // The code's own order is an accident of the compiler; register order is
    // stable.
    for (auto* v : {&out.constantBuffers, &out.textures, &out.samplers})
        std::stable_sort(v->begin(), v->end(), [](const ShaderBinding& a, const ShaderBinding& b) {
            return a.slot < b.slot;
        });
    return true;
}

// Splits "TEXCOORD12" into the name length and the index 12.
void SplitSemantic(const char* s, size_t& nameLength, uint32_t& index) {
    size_t n = std::strlen(s);
    size_t digits = n;
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(s[digits - 1])))
        --digits;
    nameLength = digits;
    index = 0;
    for (size_t i = digits; i < n && i < digits + 4; ++i)
        index = index * 10 + static_cast<uint32_t>(s[i] - '0');
    if (n - digits > 4)
        index = 0xFFFFu; // absurd index: no location
}

int LookUpSemantic(const char* name, size_t nameLength, uint32_t index) {
    for (const SemanticRange& r : kSemantics) {
        if (EqualsNoCase(name, r.name, nameLength))
            return index < r.count ? r.first + static_cast<int>(index) : -1;
    }
    return -1;
}

// Gives every user-defined input and output of the stage its semantic's
// location. Fragment outputs keep theirs (SV_Target n is location n).
bool PlaceVaryings(spvc_compiler compiler, spvc_resources resources, ShaderReflection& out,
                   std::string& log) {
    const ShaderStage stage = out.stage;
    const spvc_resource_type types[2] = {SPVC_RESOURCE_TYPE_STAGE_INPUT,
                                         SPVC_RESOURCE_TYPE_STAGE_OUTPUT};
    for (spvc_resource_type type : types) {
        if (stage == ShaderStage::Pixel && type == SPVC_RESOURCE_TYPE_STAGE_OUTPUT)
            continue;
        const spvc_reflected_resource* list;
        size_t count;
        if (!ResourceList(resources, type, list, count))
            return false;
        for (size_t i = 0; i < count; ++i) {
            if (spvc_compiler_has_decoration(compiler, list[i].id, SpvDecorationBuiltIn))
                continue;
            const char* semantic = spvc_compiler_get_decoration_string(compiler, list[i].id,
                                                                       SpvDecorationUserSemantic);
            int location = semantic ? SemanticLocation(semantic) : -1;
            if (location < 0) {
                log = std::string("no location for semantic \"") + (semantic ? semantic : "") +
                      "\" of " + (list[i].name ? list[i].name : "?");
                return false;
            }
            spvc_compiler_set_decoration(compiler, list[i].id, SpvDecorationLocation,
                                         static_cast<unsigned>(location));
            if (stage == ShaderStage::Vertex && type == SPVC_RESOURCE_TYPE_STAGE_INPUT) {
                size_t n;
                uint32_t index;
                SplitSemantic(semantic, n, index);
                out.inputs.push_back(
                    {std::string(semantic, n), index, static_cast<uint32_t>(location)});
            }
        }
    }
    return true;
}

// Combines textures with the samplers they are used with and numbers the
// pairs as the stage's texture units.
bool CombineSamplers(spvc_compiler compiler, ShaderReflection& out, std::string& log) {
    spvc_variable_id dummy = 0;
    if (spvc_compiler_build_dummy_sampler_for_combined_images(compiler, &dummy) != SPVC_SUCCESS ||
        spvc_compiler_build_combined_image_samplers(compiler) != SPVC_SUCCESS) {
        log = "cannot combine textures and samplers";
        return false;
    }
    const spvc_combined_image_sampler* pairs = nullptr;
    size_t count = 0;
    if (spvc_compiler_get_combined_image_samplers(compiler, &pairs, &count) != SPVC_SUCCESS)
        return false;
    if (count > kShaderSlotsPerStage) {
        log = "too many texture-sampler pairs";
        return false;
    }
    for (size_t i = 0; i < count; ++i) {
        ShaderCombinedSampler c;
        c.unit = ShaderTextureUnit(out.stage, static_cast<uint32_t>(i));
        c.textureSlot = SlotOf(compiler, pairs[i].image_id, kTextureShift);
        c.samplerSlot = (dummy != 0 && pairs[i].sampler_id == dummy)
                            ? kShaderNoSlot
                            : SlotOf(compiler, pairs[i].sampler_id, kSamplerShift);
        spvc_compiler_set_decoration(compiler, pairs[i].combined_id, SpvDecorationBinding, c.unit);
        std::string name = "SPIRV_Cross_Combined" + std::to_string(i);
        spvc_compiler_set_name(compiler, pairs[i].combined_id, name.c_str());
        out.combined.push_back(c);
    }
    return true;
}

} // namespace

int SemanticLocation(const char* name, uint32_t index) {
    if (!name)
        return -1;
    return LookUpSemantic(name, std::strlen(name), index);
}

int SemanticLocation(const char* semanticWithIndex) {
    if (!semanticWithIndex)
        return -1;
    size_t n;
    uint32_t index;
    SplitSemantic(semanticWithIndex, n, index);
    return LookUpSemantic(semanticWithIndex, n, index);
}

bool CompileHlslToSpirv(const char* source, size_t length, ShaderStage stage, const char* entry,
                        std::vector<uint32_t>& spirv, std::string& log) {
    spirv.clear();
    log.clear();
    if (!source || !entry || length > 0x7FFFFFFF) {
        log = "no shader source";
        return false;
    }
    InitializeCompiler();
    EShLanguage language = Language(stage);
    glslang::TShader shader(language);
    const char* strings[1] = {source};
    const int lengths[1] = {static_cast<int>(length)};
    shader.setStringsWithLengths(strings, lengths, 1);
    shader.setEntryPoint(entry);
    shader.setSourceEntryPoint(entry);
    shader.setEnvInput(glslang::EShSourceHlsl, language, glslang::EShClientVulkan, 100);
    shader.setEnvClient(glslang::EShClientVulkan, glslang::EShTargetVulkan_1_0);
    shader.setEnvTarget(glslang::EShTargetSpv, glslang::EShTargetSpv_1_0);
    // Keeps each input's and output's HLSL semantic in the code.
    shader.setEnvTargetHlslFunctionality1();
    shader.setHlslIoMapping(true);
    shader.setAutoMapBindings(true);
    shader.setAutoMapLocations(true);
    shader.setShiftBinding(glslang::EResUbo, kConstantBufferShift);
    shader.setShiftBinding(glslang::EResTexture, kTextureShift);
    shader.setShiftBinding(glslang::EResSampler, kSamplerShift);
    const EShMessages messages =
        static_cast<EShMessages>(EShMsgSpvRules | EShMsgVulkanRules | EShMsgReadHlsl);
    if (!shader.parse(GetDefaultResources(), 100, false, messages)) {
        log = shader.getInfoLog();
        return false;
    }
    glslang::TProgram program;
    program.addShader(&shader);
    if (!program.link(messages) || !program.mapIO()) {
        log = program.getInfoLog();
        return false;
    }
    glslang::TIntermediate* intermediate = program.getIntermediate(language);
    if (!intermediate) {
        log = "no code for the entry point";
        return false;
    }
    spv::SpvBuildLogger logger;
    glslang::SpvOptions options;
    options.validate = false;
    glslang::GlslangToSpv(*intermediate, spirv, &logger, &options);
    if (spirv.empty()) {
        log = logger.getAllMessages();
        if (log.empty())
            log = "no code generated";
        return false;
    }
    return true;
}

bool ReflectSpirv(const void* code, size_t bytes, ShaderReflection& out, std::string& log) {
    log.clear();
    CrossContext context;
    if (!context.Open(code, bytes, log))
        return false;
    spvc_resources resources = nullptr;
    if (spvc_compiler_create_shader_resources(context.Compiler(), &resources) != SPVC_SUCCESS) {
        log = context.LastError();
        return false;
    }
    return Reflect(context.Compiler(), resources, out, log);
}

bool TranslateSpirvToGlsl(const void* code, size_t bytes, std::string& glsl, ShaderReflection& out,
                          std::string& log) {
    glsl.clear();
    log.clear();
    CrossContext context;
    if (!context.Open(code, bytes, log))
        return false;
    spvc_compiler compiler = context.Compiler();
    spvc_resources resources = nullptr;
    if (spvc_compiler_create_shader_resources(compiler, &resources) != SPVC_SUCCESS) {
        log = context.LastError();
        return false;
    }
    if (!Reflect(compiler, resources, out, log) || !PlaceVaryings(compiler, resources, out, log))
        return false;

    const spvc_reflected_resource* list;
    size_t count;
    if (!ResourceList(resources, SPVC_RESOURCE_TYPE_UNIFORM_BUFFER, list, count))
        return false;
    for (size_t i = 0; i < count; ++i) {
        uint32_t slot = SlotOf(compiler, list[i].id, kConstantBufferShift);
        if (slot >= kShaderSlotsPerStage) {
            log = "constant buffer register out of range";
            return false;
        }
        spvc_compiler_set_decoration(compiler, list[i].id, SpvDecorationBinding,
                                     ShaderUniformBinding(out.stage, slot));
        spvc_compiler_unset_decoration(compiler, list[i].id, SpvDecorationDescriptorSet);
    }
    if (!CombineSamplers(compiler, out, log))
        return false;

    spvc_compiler_options options = nullptr;
    if (spvc_compiler_create_compiler_options(compiler, &options) != SPVC_SUCCESS)
        return false;
    spvc_compiler_options_set_uint(options, SPVC_COMPILER_OPTION_GLSL_VERSION, 450);
    spvc_compiler_options_set_bool(options, SPVC_COMPILER_OPTION_GLSL_ES, SPVC_FALSE);
    spvc_compiler_options_set_bool(options, SPVC_COMPILER_OPTION_GLSL_VULKAN_SEMANTICS, SPVC_FALSE);
    spvc_compiler_options_set_bool(options, SPVC_COMPILER_OPTION_GLSL_SEPARATE_SHADER_OBJECTS,
                                   SPVC_TRUE);
    spvc_compiler_options_set_bool(options, SPVC_COMPILER_OPTION_GLSL_ENABLE_420PACK_EXTENSION,
                                   SPVC_TRUE);
    // The device keeps the D3D depth range with glClipControl; no fix-up here.
    spvc_compiler_options_set_bool(options, SPVC_COMPILER_OPTION_FIXUP_DEPTH_CONVENTION,
                                   SPVC_FALSE);
    spvc_compiler_options_set_bool(options, SPVC_COMPILER_OPTION_FLIP_VERTEX_Y, SPVC_FALSE);
    if (spvc_compiler_install_compiler_options(compiler, options) != SPVC_SUCCESS) {
        log = context.LastError();
        return false;
    }
    const char* source = nullptr;
    if (spvc_compiler_compile(compiler, &source) != SPVC_SUCCESS || !source) {
        log = context.LastError();
        out.combined.clear();
        return false;
    }
    glsl = source;
    return true;
}

} // namespace sys
