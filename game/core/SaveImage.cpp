#include "game/core/SaveImage.h"

#include "sys/file.h"

#include <cstring>

namespace SaveImage {

bool Apply(uint8_t* block, uint32_t blockSize, const uint8_t* file, size_t fileSize,
           uint32_t versionA, uint32_t versionB) {
    if (!file || fileSize < 4 || blockSize < 4)
        return false;
    uint32_t version;
    std::memcpy(&version, file, 4);
    if (version != versionA && version != versionB)
        return false;
    std::memcpy(block, file, fileSize < blockSize ? fileSize : blockSize);
    return true;
}

int64_t ReadFile(const char* path, uint8_t* buffer, uint32_t limit) {
    intptr_t f = sys::OpenFileRead(path);
    if (f == sys::kInvalidFile)
        return -1;
    // A read error is not an empty file: the file must not be taken for one
    // and replaced by the defaults at exit.
    const int64_t n = sys::ReadFileChecked(f, buffer, limit);
    sys::CloseFile(f);
    return n;
}

bool Write(const char* path, uint8_t* block, uint32_t blockSize, uint32_t version) {
    std::memcpy(block, &version, 4);
    return sys::AtomicReplace(path, block, blockSize);
}

} // namespace SaveImage
