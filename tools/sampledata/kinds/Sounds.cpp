// Sound effects, pilot voices and music, all synthesised.
#include "tools/sampledata/SampleKind.h"
#include "tools/soundgen/SoundData.h"

namespace {

// The archive that carries every sound.
constexpr const char* kArchive = "0200";

bool BuildSounds(sampledata::Staging& staging, std::string* error) {
    bool ok = true;
    soundgen::GenerateSoundData(
        [&](const std::string& folder, const std::string& name, const std::vector<uint8_t>& bytes) {
            if (!ok)
                return;
            if (bytes.empty()) {
                *error = "cannot synthesise " + folder + "/" + name;
                ok = false;
                return;
            }
            ok = staging.Add(kArchive, folder + "/" + name, bytes, error);
        });
    return ok;
}

} // namespace

SAMPLEDATA_KIND(Sounds, BuildSounds);
