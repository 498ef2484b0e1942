#include "tools/effect/SeedFiles.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace effecttools {

int WriteSeedFiles(int argc, char** argv, const char* program,
                   const std::vector<std::vector<uint8_t>>& seeds) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", program);
        return 2;
    }
    for (size_t i = 0; i < seeds.size(); ++i) {
        std::ofstream out(std::string(argv[1]) + "/seed" + std::to_string(i), std::ios::binary);
        out.write(reinterpret_cast<const char*>(seeds[i].data()),
                  static_cast<std::streamsize>(seeds[i].size()));
        if (!out)
            return 1;
    }
    return 0;
}

} // namespace effecttools
