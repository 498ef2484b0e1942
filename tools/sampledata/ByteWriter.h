// Little-endian byte sequences for the sample files (tables, headers, chunks).
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace sampledata {

class ByteWriter {
public:
    ByteWriter& U8(uint8_t v) {
        bytes_.push_back(v);
        return *this;
    }
    ByteWriter& U16(uint16_t v) { return U8(uint8_t(v)).U8(uint8_t(v >> 8)); }
    ByteWriter& U32(uint32_t v) { return U16(uint16_t(v)).U16(uint16_t(v >> 16)); }
    ByteWriter& I16(int16_t v) { return U16(static_cast<uint16_t>(v)); }
    ByteWriter& I32(int32_t v) { return U32(static_cast<uint32_t>(v)); }
    ByteWriter& F32(float v) {
        uint32_t u;
        std::memcpy(&u, &v, 4);
        return U32(u);
    }
    ByteWriter& Bytes(const void* p, size_t n) {
        const uint8_t* b = static_cast<const uint8_t*>(p);
        bytes_.insert(bytes_.end(), b, b + n);
        return *this;
    }
    // The text and its zero bytes up to `field` bytes (cut to field - 1).
    ByteWriter& Text(const std::string& s, size_t field) {
        const size_t n = s.size() < field ? s.size() : field - 1;
        Bytes(s.data(), n);
        return Zeros(field - n);
    }
    ByteWriter& Zeros(size_t n) {
        bytes_.insert(bytes_.end(), n, 0);
        return *this;
    }
    // Zeros up to the next multiple of `alignment`.
    ByteWriter& Align(size_t alignment) {
        return Zeros((alignment - bytes_.size() % alignment) % alignment);
    }
    // Overwrites a u32 already written (sizes known only at the end).
    void PatchU32(size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes_[at + i] = uint8_t(v >> (8 * i));
    }

    size_t Size() const { return bytes_.size(); }
    const std::vector<uint8_t>& Get() const { return bytes_; }
    std::vector<uint8_t> Take() { return std::move(bytes_); }

private:
    std::vector<uint8_t> bytes_;
};

} // namespace sampledata
