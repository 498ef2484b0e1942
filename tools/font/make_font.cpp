// Makes "<name>.mfd" and its DDS pages from a TrueType font.
//   make_font <font.ttf> <output folder> [name] [base size] [outline 0|1]
#include "tools/font/FontBuilder.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s font.ttf folder [name] [size] [outline]\n", argv[0]);
        return 2;
    }
    tools::FontBuildOptions options;
    options.fontPath = argv[1];
    const std::string folder = argv[2];
    if (argc > 3)
        options.pageName = argv[3];
    if (argc > 4)
        options.baseSize = static_cast<uint32_t>(std::strtoul(argv[4], nullptr, 10));
    if (argc > 5)
        options.outline = std::strtoul(argv[5], nullptr, 10) != 0;
    options.codes = tools::DefaultFontCodes();
    tools::FontBuildResult result;
    std::string error;
    if (!tools::BuildFont(options, result, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    if (!WriteFile(folder + "/" + options.pageName + ".mfd", result.description))
        return 1;
    for (size_t i = 0; i < result.pages.size(); ++i) {
        if (!WriteFile(folder + "/" + tools::FontPageFileName(options.pageName, i),
                       result.pages[i]))
            return 1;
    }
    return 0;
}
