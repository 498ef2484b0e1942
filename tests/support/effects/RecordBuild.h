// Measures and builds one effect record from a payload the way the
// registration does: a measuring walk into a scratch record, a zeroed block
// of the measured size, the build walk into a record constructed in place.
#pragma once

#include "effects/Core/Data/BuildContext.h"
#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Data/RecordPlacement.h"
#include "effects/Core/Memory/RuntimeDataAllocator.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace testsupport {

// The payload of the first chunk of a stream (a writer's one chunk).
inline std::vector<uint8_t> PayloadOf(const std::vector<uint8_t>& stream) {
    FulgorCore::ChunkWalker walker(stream.data(), static_cast<uint32_t>(stream.size()));
    FulgorCore::Chunk chunk;
    if (!walker.Next(chunk))
        return {};
    return std::vector<uint8_t>(chunk.payload, chunk.payload + chunk.size);
}

// The right-handed form of left-handed 48-byte model vertices, from the
// file format: z negated, bytes 14 and 18 as 255 - b.
inline std::vector<uint8_t> Mirrored(std::vector<uint8_t> v) {
    for (size_t at = 0; at + 48 <= v.size(); at += 48) {
        float z;
        std::memcpy(&z, &v[at + 8], 4);
        z = -z;
        std::memcpy(&v[at + 8], &z, 4);
        v[at + 14] = static_cast<uint8_t>(255 - v[at + 14]);
        v[at + 18] = static_cast<uint8_t>(255 - v[at + 18]);
    }
    return v;
}

template <class T> class RecordBuild {
public:
    explicit RecordBuild(const std::vector<uint8_t>& payload, FulgorCore::IDevice* device = nullptr,
                         FulgorCore::IObjectListenner* listener = nullptr)
        : RecordBuild(payload.data(), static_cast<uint32_t>(payload.size()), device, listener) {}

    RecordBuild(const void* payload, uint32_t size, FulgorCore::IDevice* device = nullptr,
                FulgorCore::IObjectListenner* listener = nullptr) {
        FulgorCore::BuildContext context{allocator, device, listener};
        allocator.BeginMeasure();
        FulgorCore::MeasureRecord<T>(context, payload, size);
        measured = allocator.GetSize();
        measureFailed = allocator.HasFailed();
        allocator.EndMeasure();
        if (measureFailed)
            return;
        block.reset(
            static_cast<uint8_t*>(::operator new (measured ? measured : 1, std::align_val_t{16})));
        std::memset(block.get(), 0, measured);
        allocator.BeginBuild(block.get(), measured);
        record = new (&storage) T();
        record->Read(context, payload, size);
        placed = allocator.GetSize();
        buildFailed = allocator.HasFailed();
    }
    ~RecordBuild() {
        if (record)
            record->~T();
    }
    RecordBuild(const RecordBuild&) = delete;
    RecordBuild& operator=(const RecordBuild&) = delete;

    bool Built() const { return record && !buildFailed; }
    const T& operator*() const { return *record; }
    const T* operator->() const { return record; }
    // The record for what its owner may change after the build (reference
    // handles, replaced textures).
    T* Mutable() { return record; }
    // Destroys the record now (as its owner's destruction would).
    void Destroy() {
        if (record)
            record->~T();
        record = nullptr;
    }
    // Whether an address lies in the block.
    bool InBlock(const void* p) const {
        const auto* b = static_cast<const uint8_t*>(p);
        return block && b >= block.get() && b < block.get() + measured;
    }

    FulgorCore::RuntimeDataAllocator allocator;
    uint32_t measured = 0;
    uint32_t placed = 0;
    bool measureFailed = false;
    bool buildFailed = false;

private:
    struct AlignedDelete {
        void operator()(uint8_t* p) const { ::operator delete (p, std::align_val_t{16}); }
    };
    std::unique_ptr<uint8_t, AlignedDelete> block;
    alignas(T) unsigned char storage[sizeof(T)];
    T* record = nullptr;
};

} // namespace testsupport
