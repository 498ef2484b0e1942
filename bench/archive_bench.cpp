// Reading an archive of 64 MiB of compressed entries through the resource loader,
// against plain zlib uncompress of the same entries from memory: the floor
// the loader's file read, allocation and locking add to.
#include "engine/common/Heap.h"
#include "engine/resource/ResourceLoader.h"
#include "tools/archive/ArchiveWriter.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using Mireku::Common::Heap;
using Mireku::Resource::ResourceLoader;

namespace {

constexpr size_t kEntrySize = 256 * 1024;
constexpr size_t kArchiveSize = 64u << 20; // stored bytes in the data file

// Texture-like content: smooth gradients with a little noise, which zlib
// packs to roughly a third.
std::vector<uint8_t> EntryBytes(uint32_t seed) {
    std::vector<uint8_t> v(kEntrySize);
    uint32_t x = seed * 2654435761u + 1;
    for (size_t i = 0; i < v.size(); ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        const size_t px = (i / 4) % 256, py = (i / 1024);
        v[i] = static_cast<uint8_t>(((px + py + seed) & 0xFC) | (x & 3));
    }
    return v;
}

struct Fixture {
    std::string folder;
    std::string archive;
    std::vector<std::string> names;
    std::vector<std::vector<uint8_t>> packed;
    size_t packedTotal = 0;

    Fixture() {
        Heap::LockedInitialize();
        char pattern[] = "/tmp/drevanth-bench-XXXXXX";
        folder = mkdtemp(pattern);
        archive = folder + "/bench";
        tools::ArchiveWriter writer;
        std::string error;
        for (uint32_t i = 0; packedTotal < kArchiveSize; ++i) {
            names.push_back("e" + std::to_string(i) + ".bin");
            std::vector<uint8_t> raw = EntryBytes(i);
            std::vector<uint8_t> z;
            if (!tools::CompressIfSmaller(raw, &z))
                std::abort();
            packedTotal += z.size();
            packed.push_back(std::move(z));
            writer.Add("bench/" + names.back(), std::move(raw), &error);
        }
        if (!writer.Write(archive, &error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            std::abort();
        }
    }
    ~Fixture() {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
};

Fixture& Data() {
    static Fixture f;
    return f;
}

void BM_ArchiveRead(benchmark::State& state) {
    Fixture& f = Data();
    ResourceLoader loader;
    loader.SetMode(ResourceLoader::kArchives);
    loader.OpenArchive(f.archive.c_str());
    for (auto _ : state) {
        for (const std::string& name : f.names) {
            void* data = nullptr;
            uint32_t size = 0;
            if (!loader.ReadFile(&data, &size, "bench", name.c_str()))
                state.SkipWithError("read failed");
            benchmark::DoNotOptimize(data);
            Heap::LockedFree(data);
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kEntrySize * f.names.size());
    state.counters["packed_MiB"] = double(f.packedTotal) / (1 << 20);
    loader.Finalize();
}
BENCHMARK(BM_ArchiveRead)->Unit(benchmark::kMillisecond);

void BM_UncompressFromMemory(benchmark::State& state) {
    Fixture& f = Data();
    std::vector<uint8_t> out(kEntrySize);
    for (auto _ : state) {
        for (const std::vector<uint8_t>& z : f.packed) {
            uLongf length = out.size();
            if (uncompress(out.data(), &length, z.data(), z.size()) != Z_OK)
                state.SkipWithError("uncompress failed");
            benchmark::DoNotOptimize(out.data());
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * kEntrySize * f.packed.size());
}
BENCHMARK(BM_UncompressFromMemory)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
