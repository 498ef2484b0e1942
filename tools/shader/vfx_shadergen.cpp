// Prints the effects runtime's generated programs for a material key (see
// ShaderGenTool.h).
#include "tools/shader/ShaderGenTool.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string out, err;
    const int status = tools::RunShaderGen(args, out, err);
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fwrite(err.data(), 1, err.size(), stderr);
    return status;
}
