#pragma once

#include "engine/common/BaseObject.h"

#include <cstdint>

namespace Mireku::Resource {

// One open archive data file, kept open until the loader is finalised. Its
// size is taken once at opening so that every index entry can be checked
// against it.
class DataFile : public Common::BaseObject {
public:
    DataFile() = default;
    ~DataFile() override;
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;

    bool Open(const char* path);
    uint64_t GetSize() const { return size_; }
    // True only when the whole range lies inside the file and was read.
    bool ReadAt(uint64_t offset, void* buffer, uint32_t n) const;

private:
    intptr_t handle_ = -1;
    uint64_t size_ = 0;
};

} // namespace Mireku::Resource
