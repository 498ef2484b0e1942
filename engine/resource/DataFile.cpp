#include "engine/resource/DataFile.h"

#include "sys/file.h"

namespace Mireku::Resource {

DataFile::~DataFile() {
    sys::CloseFile(handle_);
}

bool DataFile::Open(const char* path) {
    sys::CloseFile(handle_);
    handle_ = sys::OpenFileRead(path);
    if (handle_ == sys::kInvalidFile)
        return false;
    const int64_t size = sys::FileSize(handle_);
    size_ = size < 0 ? 0 : static_cast<uint64_t>(size);
    return true;
}

bool DataFile::ReadAt(uint64_t offset, void* buffer, uint32_t n) const {
    if (offset > size_ || n > size_ - offset)
        return false;
    return sys::ReadFileAt(handle_, offset, buffer, n) == n;
}

} // namespace Mireku::Resource
