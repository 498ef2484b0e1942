#include "tools/sampledata/Staging.h"

#include "tools/archive/ArchiveWriter.h"

namespace sampledata {

namespace {

bool Fail(std::string* error, const std::string& text) {
    if (error)
        *error = text;
    return false;
}

// Relative, '/'-separated, no empty, "." or ".." parts.
bool IsCleanPath(const std::string& path) {
    if (path.empty() || path.front() == '/' || path.back() == '/' ||
        path.find('\\') != std::string::npos || path.find('\0') != std::string::npos)
        return false;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string part = path.substr(start, end - start);
        if (part.empty() || part == "." || part == "..")
            return false;
        start = end + 1;
    }
    return true;
}

} // namespace

const std::vector<std::string>& Staging::ArchiveNames() {
    static const std::vector<std::string> names = {"0310", "0300", "0200",   "0130",      "0110",
                                                   "0100", "vfx",  "script", "parameter", "path"};
    return names;
}

Staging::Staging() {
    for (const std::string& name : ArchiveNames())
        archives_[name];
}

bool Staging::Add(const std::string& archive, const std::string& path, std::vector<uint8_t> bytes,
                  std::string* error) {
    auto found = archives_.find(archive);
    if (found == archives_.end())
        return Fail(error, "unknown archive \"" + archive + "\" for " + path);
    if (!IsCleanPath(path) || path.size() > tools::ArchiveWriter::kMaxNameLength)
        return Fail(error, "bad entry path \"" + path + "\"");
    // The loader gives an entry of no bytes no block, and reports it.
    if (bytes.empty())
        return Fail(error, "\"" + path + "\" is empty: the game cannot read an empty entry");
    // Only the first registered archive that holds a name is ever read: a
    // second copy is dead and may hide the one meant.
    for (const auto& [other, files] : archives_)
        if (files.count(path))
            return Fail(error, "\"" + path + "\" added twice (archive " + other + " has it)");
    found->second.emplace(path, std::move(bytes));
    return true;
}

bool Staging::AddLoose(const std::string& path, std::vector<uint8_t> bytes, std::string* error) {
    if (!IsCleanPath(path))
        return Fail(error, "bad loose path \"" + path + "\"");
    if (!loose_.emplace(path, std::move(bytes)).second)
        return Fail(error, "loose file \"" + path + "\" added twice");
    return true;
}

} // namespace sampledata
