// Feeds random index and data files to the archive reader: the reader must
// refuse bad entries without crashing or reading outside its buffers.
// Input: u16 index length (little-endian), the index bytes, the data bytes.
#include "FuzzScratch.h"
#include "engine/common/Heap.h"
#include "engine/resource/ResourceLoader.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

using Mireku::Resource::ResourceLoader;

namespace {

const std::string& ScratchBase() {
    static const std::string base = FuzzScratchFolder() + "/a";
    return base;
}

void WriteWhole(const std::string& path, const uint8_t* p, size_t n) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        std::abort();
    if (n)
        std::fwrite(p, 1, n, f);
    std::fclose(f);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Mireku::Common::Heap::LockedInitialize();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size) {
    if (size < 2)
        return 0;
    size_t indexLength = input[0] | size_t{input[1]} << 8;
    if (indexLength > size - 2)
        indexLength = size - 2;
    const uint8_t* index = input + 2;
    const uint8_t* data = index + indexLength;
    const size_t dataLength = size - 2 - indexLength;

    const std::string& base = ScratchBase();
    WriteWhole(base + ".index", index, indexLength);
    WriteWhole(base + ".data", data, dataLength);

    ResourceLoader loader;
    loader.SetMode(ResourceLoader::kArchives);
    loader.OpenArchive(base.c_str());

    // Every name the index holds is read back, whole records only.
    char name[ResourceLoader::kIndexNameSize + 1];
    for (size_t at = 0; at + ResourceLoader::kIndexRecordSize <= indexLength;
         at += ResourceLoader::kIndexRecordSize) {
        ResourceLoader::IndexEntry entry;
        ResourceLoader::ParseIndexRecord(index + at, name, &entry);
        void* bytes = nullptr;
        uint32_t length = 0;
        if (loader.ReadFile(&bytes, &length, nullptr, name)) {
            // Touch both ends so that a short block would be caught.
            volatile uint8_t sink = static_cast<uint8_t*>(bytes)[0];
            sink = static_cast<uint8_t*>(bytes)[length - 1];
            (void)sink;
            Mireku::Common::Heap::LockedFree(bytes);
        }
    }
    loader.Finalize();
    return 0;
}
