// Zeroed memory for the runtime's unit pool as a host of many effects would
// give it: on 2 MiB pages where the system allows. The pool hands every
// unit a block of its own, 1088 bytes from the next, so a layer draw reads
// a few lines of thousands of blocks; on 4 KiB pages each of those costs
// an address translation of its own as well.
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace testsupport {

class LargePageMemory {
public:
    static constexpr size_t kPage = size_t{1} << 21;

    explicit LargePageMemory(size_t bytes)
        : size_((bytes + kPage - 1) / kPage * kPage),
          data_(static_cast<uint8_t*>(std::aligned_alloc(kPage, size_))) {
        if (!data_)
            return;
        // Only advice: memory on small pages works the same, slower.
        madvise(data_, size_, MADV_HUGEPAGE);
        std::memset(data_, 0, size_);
    }
    ~LargePageMemory() { std::free(data_); }
    LargePageMemory(const LargePageMemory&) = delete;
    LargePageMemory& operator=(const LargePageMemory&) = delete;

    // Null when the allocation failed.
    uint8_t* data() const { return data_; }
    size_t size() const { return data_ ? size_ : 0; }

private:
    size_t size_;
    uint8_t* data_;
};

} // namespace testsupport
