#include "tools/sampledata/Builder.h"

#include "tools/archive/ArchiveWriter.h"
#include "tools/sampledata/SampleKind.h"

#include <filesystem>
#include <fstream>

namespace sampledata {

bool StageAll(Staging* staging, std::string* error) {
    for (const Kind& kind : RegisteredKinds()) {
        std::string reason;
        if (!kind.build(*staging, &reason)) {
            if (error)
                *error = kind.name + ": " + reason;
            return false;
        }
    }
    return true;
}

bool WriteOutput(const Staging& staging, const std::string& folder, std::string* error) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::create_directories(folder, ec);
    for (const auto& [archive, files] : staging.GetArchives()) {
        tools::ArchiveWriter writer;
        for (const auto& [path, bytes] : files)
            if (!writer.Add(path, bytes, error))
                return false;
        if (!writer.Write(folder + "/" + archive, error))
            return false;
    }
    for (const auto& [path, bytes] : staging.GetLoose()) {
        const fs::path target = fs::path(folder) / path;
        fs::create_directories(target.parent_path(), ec);
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            if (error)
                *error = "cannot write " + target.string();
            return false;
        }
    }
    return true;
}

} // namespace sampledata
