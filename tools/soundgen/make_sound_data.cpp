// Writes every generated sound file as a loose file under the given folder:
//   make_sound_data <output folder>
#include "tools/soundgen/SoundData.h"

#include "sys/file.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::string root = argv[1];
    bool ok = true;
    soundgen::GenerateSoundData([&](const std::string& folder, const std::string& name,
                                    const std::vector<uint8_t>& bytes) {
        const std::string dir = root + "/" + folder;
        const std::string path = dir + "/" + name;
        if (bytes.empty() || !sys::CreateFolders(dir.c_str()) ||
            !sys::AtomicReplace(path.c_str(), bytes.data(), bytes.size())) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            ok = false;
        }
    });
    return ok ? 0 : 1;
}
