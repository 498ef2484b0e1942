// Builds a packed archive: "<name>.index" of 128-byte records (116-byte name,
// offset, stored size, unpacked size, little-endian) and "<name>.data" with
// the entries' bytes, each zlib-compressed when that makes it smaller.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tools {

class ArchiveWriter {
public:
    static constexpr size_t kRecordSize = 128;
    static constexpr size_t kNameField = 116;
    // One byte of the field is kept for the terminator.
    static constexpr size_t kMaxNameLength = kNameField - 1;

    // False (with a reason) when the name is empty, too long or already added.
    bool Add(const std::string& name, std::vector<uint8_t> bytes, std::string* error);
    // Adds every regular file under `root`, named by its path relative to
    // `root` with '/' between the parts.
    bool AddFolder(const std::string& root, std::string* error);

    // Writes "<archive>.index" and "<archive>.data", entries in name order.
    bool Write(const std::string& archive, std::string* error) const;

    size_t GetCount() const { return entries_.size(); }

private:
    std::map<std::string, std::vector<uint8_t>> entries_;
};

// zlib stream of the bytes when it is strictly smaller than them, so that a
// stored size equal to the unpacked size always means "stored raw".
bool CompressIfSmaller(const std::vector<uint8_t>& raw, std::vector<uint8_t>* packed);

} // namespace tools
