// archive_pack <folder> <archive>: packs the folder tree into
// "<archive>.index" and "<archive>.data".
#include "tools/archive/ArchiveWriter.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <folder> <archive>\n", argv[0]);
        return 2;
    }
    tools::ArchiveWriter writer;
    std::string error;
    if (!writer.AddFolder(argv[1], &error) || !writer.Write(argv[2], &error)) {
        std::fprintf(stderr, "archive_pack: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s: %zu entries\n", argv[2], writer.GetCount());
    return 0;
}
