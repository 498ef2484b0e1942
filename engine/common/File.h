#pragma once

#include <cstdint>

namespace Mireku::Common {

// Thin file wrapper: mode 0 reads an existing file, mode 1 creates or
// truncates one for writing.
class File {
public:
    enum Mode : uint32_t { kRead = 0, kWrite = 1 };

    File() = default;
    ~File() { Close(); }
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool Open(const char* path, uint32_t mode);
    bool IsOpen() const { return handle_ != kInvalid; }
    void Close();
    // Return the bytes transferred (the engine's callers ignore it; save and
    // table readers check it).
    uint32_t Read(void* buffer, uint32_t n);
    uint32_t Write(const void* buffer, uint32_t n);
    uint32_t Size() const;
    bool Seek(uint32_t offset);

private:
    static constexpr intptr_t kInvalid = -1;
    intptr_t handle_ = kInvalid;
    uint32_t mode_ = 0;
};

// The user's documents folder with '/' separators, cached after the first
// success; empty when unknown (retried on the next call).
const char* GetMyDocumentsPath();

} // namespace Mireku::Common
