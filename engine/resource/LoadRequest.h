#pragma once

#include "engine/common/Delegate.h"

#include <cstdint>

namespace Mireku::Resource {

class ChildResourceLoader;

// Completion of a file read: data, size, user value, folder, name. The data
// is freed after the call returns, so the completion copies what it keeps.
using LoadCompletion =
    Common::Delegate05<void*, unsigned int, const void*, const char*, const char*>;
// A loader step: runs with a child loader and the user value.
using LoadStep = Common::Delegate02<ChildResourceLoader&, const void*>;

struct LoadRequest {
    static constexpr uint32_t kFolderSize = 64;
    static constexpr uint32_t kNameSize = 32;

    uint64_t key = 0;
    LoadCompletion completion;
    LoadStep step;
    const void* user = nullptr;
    char folder[kFolderSize] = {};
    char name[kNameSize] = {};

    // Both copied with truncation to their fields; null leaves them empty.
    void SetPath(const char* folderText, const char* nameText);
};

} // namespace Mireku::Resource
