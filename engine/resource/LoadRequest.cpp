#include "engine/resource/LoadRequest.h"

#include <cstdio>

namespace Mireku::Resource {

void LoadRequest::SetPath(const char* folderText, const char* nameText) {
    std::snprintf(folder, sizeof(folder), "%s", folderText ? folderText : "");
    std::snprintf(name, sizeof(name), "%s", nameText ? nameText : "");
}

} // namespace Mireku::Resource
