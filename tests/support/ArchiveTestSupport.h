// Scratch folders, archives made by the packer and an error sink that keeps
// what it is told, for the loader tests.
#pragma once

#include "engine/common/Delegate.h"
#include "support/ScratchFolder.h"
#include "tools/archive/ArchiveWriter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace testsupport {

// Bytes that zlib shrinks well.
inline std::vector<uint8_t> Compressible(size_t n, uint8_t seed) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = static_cast<uint8_t>((i / 7 + seed) & 0x3F);
    return v;
}

// Bytes that zlib cannot shrink, so the packer stores them raw.
inline std::vector<uint8_t> Incompressible(size_t n, uint32_t seed) {
    std::vector<uint8_t> v(n);
    uint32_t x = seed * 2654435761u + 1;
    for (size_t i = 0; i < n; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        v[i] = static_cast<uint8_t>(x);
    }
    return v;
}

inline void Pack(const std::string& archive,
                 const std::vector<std::pair<std::string, std::vector<uint8_t>>>& entries) {
    tools::ArchiveWriter writer;
    std::string error;
    for (const auto& [name, bytes] : entries)
        ASSERT_TRUE(writer.Add(name, bytes, &error)) << error;
    ASSERT_TRUE(writer.Write(archive, &error)) << error;
}

class MessageLog {
public:
    void Add(const char* text) {
        std::lock_guard<std::mutex> lock(mutex_);
        messages_.emplace_back(text);
    }
    std::vector<std::string> Messages() {
        std::lock_guard<std::mutex> lock(mutex_);
        return messages_;
    }
    Mireku::Common::ErrorSink Sink() { return Mireku::Common::ErrorSink(this, &MessageLog::Add); }

private:
    std::mutex mutex_;
    std::vector<std::string> messages_;
};

} // namespace testsupport
