// The staging tree of the sample-data builder: every content kind adds its
// files here, then the builder packs them into the game's archives.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace sampledata {

class Staging {
public:
    // The archives the game registers, as "data/<name>", in its order.
    static const std::vector<std::string>& ArchiveNames();

    // Adds `path` (folder and file joined by '/', as the game asks for it,
    // e.g. "code/system_system.tsb") to archive `archive` ("0100", "vfx", ...).
    // False with a reason for an unknown archive, a bad path, no bytes (the
    // game cannot read an empty entry) or a path that an archive holds
    // already (only the first registered copy would ever be read).
    bool Add(const std::string& archive, const std::string& path, std::vector<uint8_t> bytes,
             std::string* error);
    // A file written as it is under the data folder ("replay/demo1.replay"),
    // for what the game reads outside the archives.
    bool AddLoose(const std::string& path, std::vector<uint8_t> bytes, std::string* error);

    using Files = std::map<std::string, std::vector<uint8_t>>;
    // Archive name to its files; every registered archive is present.
    const std::map<std::string, Files>& GetArchives() const { return archives_; }
    const Files& GetLoose() const { return loose_; }

    Staging();

private:
    std::map<std::string, Files> archives_;
    Files loose_;
};

} // namespace sampledata
