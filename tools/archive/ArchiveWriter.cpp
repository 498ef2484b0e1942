#include "tools/archive/ArchiveWriter.h"

#include <zlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace tools {

namespace {

void PutU32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

bool Fail(std::string* error, const std::string& text) {
    if (error)
        *error = text;
    return false;
}

} // namespace

bool CompressIfSmaller(const std::vector<uint8_t>& raw, std::vector<uint8_t>* packed) {
    packed->clear();
    if (raw.empty())
        return false;
    uLongf length = compressBound(static_cast<uLong>(raw.size()));
    packed->resize(length);
    if (compress2(packed->data(), &length, raw.data(), static_cast<uLong>(raw.size()),
                  Z_BEST_COMPRESSION) != Z_OK ||
        length >= raw.size()) {
        packed->clear();
        return false;
    }
    packed->resize(length);
    return true;
}

bool ArchiveWriter::Add(const std::string& name, std::vector<uint8_t> bytes, std::string* error) {
    if (name.empty() || name.size() > kMaxNameLength || name.find('\0') != std::string::npos)
        return Fail(error, "bad entry name \"" + name + "\"");
    if (bytes.size() > 0xFFFFFFFFu)
        return Fail(error, "entry too large: " + name);
    if (!entries_.emplace(name, std::move(bytes)).second)
        return Fail(error, "duplicate entry \"" + name + "\"");
    return true;
}

bool ArchiveWriter::AddFolder(const std::string& root, std::string* error) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::is_directory(root, ec))
        return Fail(error, "not a folder: " + root);
    for (auto it = fs::recursive_directory_iterator(root, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (!it->is_regular_file(ec))
            continue;
        const std::string name = fs::relative(it->path(), root, ec).generic_string();
        std::ifstream in(it->path(), std::ios::binary);
        if (!in)
            return Fail(error, "cannot read " + it->path().string());
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
        if (!Add(name, std::move(bytes), error))
            return false;
    }
    if (ec)
        return Fail(error, "cannot list " + root + ": " + ec.message());
    return true;
}

bool ArchiveWriter::Write(const std::string& archive, std::string* error) const {
    std::vector<uint8_t> index;
    index.reserve(entries_.size() * kRecordSize);
    std::ofstream data(archive + ".data", std::ios::binary | std::ios::trunc);
    if (!data)
        return Fail(error, "cannot create " + archive + ".data");

    uint64_t offset = 0;
    std::vector<uint8_t> packed;
    for (const auto& [name, raw] : entries_) {
        const bool compressed = CompressIfSmaller(raw, &packed);
        const std::vector<uint8_t>& stored = compressed ? packed : raw;
        if (offset + stored.size() > 0xFFFFFFFFu)
            return Fail(error, "data file would pass 4 GiB at " + name);

        uint8_t record[kRecordSize] = {};
        std::memcpy(record, name.data(), name.size());
        PutU32(record + 116, static_cast<uint32_t>(offset));
        PutU32(record + 120, static_cast<uint32_t>(stored.size()));
        PutU32(record + 124, static_cast<uint32_t>(raw.size()));
        index.insert(index.end(), record, record + kRecordSize);

        data.write(reinterpret_cast<const char*>(stored.data()),
                   static_cast<std::streamsize>(stored.size()));
        offset += stored.size();
    }
    data.close();
    if (!data)
        return Fail(error, "cannot write " + archive + ".data");

    std::ofstream out(archive + ".index", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(index.data()),
              static_cast<std::streamsize>(index.size()));
    out.close();
    if (!out)
        return Fail(error, "cannot write " + archive + ".index");
    return true;
}

} // namespace tools
