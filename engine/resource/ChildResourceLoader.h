#pragma once

#include "engine/resource/FileBuffer.h"

#include <cstdint>

namespace Mireku::Resource {

// The buffer lent to a loader step: Read fills it through the loader, and
// whatever it holds is freed when the step returns.
class ChildResourceLoader {
public:
    ChildResourceLoader() = default;
    ~ChildResourceLoader() { buffer_.Release(); }
    ChildResourceLoader(const ChildResourceLoader&) = delete;
    ChildResourceLoader& operator=(const ChildResourceLoader&) = delete;

    // Replaces the held bytes with the file's; false (and nothing held) when
    // the loader cannot serve it.
    bool Read(const char* folder, const char* name);

    const void* GetData() const { return buffer_.data; }
    uint32_t GetSize() const { return buffer_.size; }
    FileBuffer& GetBuffer() { return buffer_; }

private:
    FileBuffer buffer_;
};

} // namespace Mireku::Resource
