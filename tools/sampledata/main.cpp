// sampledata <folder>: builds the game's sample data into <folder> (the
// build's data/ beside the executable).
#include "tools/sampledata/Builder.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <data folder>\n", argv[0]);
        return 2;
    }
    sampledata::Staging staging;
    std::string error;
    if (!sampledata::StageAll(&staging, &error) ||
        !sampledata::WriteOutput(staging, argv[1], &error)) {
        std::fprintf(stderr, "sampledata: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
