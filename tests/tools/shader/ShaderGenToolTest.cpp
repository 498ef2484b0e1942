// vfx_shadergen: the arguments it reads into a target and a key, the two
// programs it prints as the generator writes them, and what it refuses.
#include "support/effects/ShaderKeyCorpus.h"

#include "tools/shader/ShaderGenTool.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using K = FulgorCore::ShaderKey;
using testsupport::GeneratedText;
using testsupport::KeyOf;
using testsupport::ShaderProgram;

std::string Programs(uint32_t target, const K& key) {
    return "// vertex program\n" + GeneratedText(ShaderProgram::kVertex, target, key) +
           "// pixel program\n" + GeneratedText(ShaderProgram::kPixel, target, key);
}

TEST(ShaderGenTool, PrintsBothProgramsOfTheKeyOrRefuses) {
    K allWords = KeyOf(K::kModel, {{K::kColor2Enable, 1},
                                   {K::kColor3AlphaOp, 2},
                                   {K::kFalloffMode, 1},
                                   {K::kVfxLight, 1},
                                   {K::kLightingEnable, 1}});
    struct Row {
        const char* name;
        std::vector<std::string> args;
        int status;
        std::string out; // empty: nothing printed
    };
    const Row rows[] = {
        {"one word, the others 0", {"2", "1"}, 0, Programs(2, KeyOf(K::kShape))},
        {"hexadecimal words, an embedded GLSL target",
         {"4", "0x200000", "0", "0", "0", "0"},
         0,
         Programs(4, KeyOf(K::kSimple, {{K::kColor1Enable, 1}}))},
        {"all five words in order",
         {"3", std::to_string(allWords.words[0]), std::to_string(allWords.words[1]),
          std::to_string(allWords.words[2]), std::to_string(allWords.words[3]),
          std::to_string(allWords.words[4])},
         0,
         Programs(3, allWords)},
        {"registers (target 0)", {"0", "0x3"}, 0, Programs(0, KeyOf(K::kProjection))},
        {"a set count of 7 is past the tables", {"2", "0x7001"}, 1, ""},
        {"a set index of 6 is past the tables", {"1", "0x3200001"}, 1, ""},
        {"target 5 has no language", {"5", "1"}, 2, ""},
        {"a word that is not a number", {"2", "1x"}, 2, ""},
        {"a word past 32 bits", {"2", "0x100000000"}, 2, ""},
        {"a negative word", {"2", "-1"}, 2, ""},
        {"no word", {"2"}, 2, ""},
        {"six words", {"2", "0", "0", "0", "0", "0", "0"}, 2, ""},
    };
    for (const Row& row : rows) {
        std::string out, err;
        EXPECT_EQ(tools::RunShaderGen(row.args, out, err), row.status) << row.name;
        EXPECT_EQ(out, row.out) << row.name;
        EXPECT_EQ(err.empty(), row.status == 0) << row.name;
    }
}

} // namespace
