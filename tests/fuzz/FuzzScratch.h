// The one scratch folder of a fuzzing run: made fresh at the first call and
// removed with its contents when the run exits.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

inline const std::string& FuzzScratchFolder() {
    static const std::string folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "drevanth-fuzz-XXXXXX");
        if (!mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        return pattern;
    }();
    static const bool removal = [] {
        return std::atexit([] {
                   std::error_code ignored;
                   std::filesystem::remove_all(folder, ignored);
               }) == 0;
    }();
    (void)removal;
    return folder;
}
