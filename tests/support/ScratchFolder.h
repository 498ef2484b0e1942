// A fresh folder for one test under the system temp folder, removed with
// everything in it when the test ends, so that no run sees another's files.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace testsupport {

class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = testing::TempDir();
        if (pattern.empty() || pattern.back() != '/')
            pattern += '/';
        pattern += "drevanth-test-XXXXXX";
        // Without a folder of its own a test could only write somewhere shared,
        // and the removal below could take what is not ours: stop here.
        if (!mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string Path(const std::string& relative) const { return path_ + "/" + relative; }
    const std::string& Root() const { return path_; }

    void WriteFile(const std::string& relative, const std::vector<uint8_t>& bytes) const {
        const std::filesystem::path p(Path(relative));
        std::filesystem::create_directories(p.parent_path());
        std::ofstream out(p, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    std::vector<uint8_t> ReadFile(const std::string& relative) const {
        std::ifstream in(Path(relative), std::ios::binary);
        return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    }

private:
    std::string path_;
};

} // namespace testsupport
