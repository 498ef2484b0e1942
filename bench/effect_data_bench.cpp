// The effect data as the draw units read it each frame: 4,000 draw parts,
// each resolving its three colour texture layers through TextureIndex and
// the package's texture lookup, and reading 20 more getters of the part,
// its unit and the package. The goal is under 0.3 ms a frame with no
// allocation. Beside it, the load (measure and build) of the game's seven
// effect files; the goal is under 2 ms for the seven together.
#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Interface/IDevice.h"
#include "effects/Core/Interface/IIndexBuffer.h"
#include "effects/Core/Interface/ITexture.h"
#include "effects/Core/Interface/IVertexBuffer.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/Core/Resource/UnitResource.h"
#include "support/effects/RecordBuild.h"
#include "support/effects/RecordingDevice.h"
#include "tools/effect/GameEffects.h"
#include "tools/effect/PackageWriter.h"

#include "bench/AllocationCount.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

using namespace effecttools;
using FulgorCore::EvaluationContext;
using FulgorCore::PackageResource;
using FulgorCore::ParticleResource;
using FulgorCore::UnitResource;
using FulgorCore::Xorshift128;

constexpr int kParts = 4000;
constexpr uint32_t kUnits = 127;
constexpr uint32_t kTextures = 8;

// A device whose objects are shared statics: the load is measured, not the
// device. The slots the loads never call are the recording fake's.
template <class I> class StaticObject : public I {
public:
    uint32_t AddRef() override { return 2; }
    uint32_t Release() override { return 1; }
};

class NullDevice : public testsupport::RecordingDevice {
public:
    bool CreateShader(const FulgorCore::ShaderKey*, FulgorCore::IShader**) override {
        return false;
    }
    FulgorCore::IVertexBuffer* CreateVertexBuffer(uint32_t, bool, const void*) override {
        return &vertices_;
    }
    FulgorCore::IIndexBuffer* CreateIndexBuffer(uint32_t, bool, const uint16_t*) override {
        return &indices_;
    }
    FulgorCore::ITexture* CreateTexture(const void*, uint32_t) override { return &texture_; }
    FulgorCore::ITexture* GetBuiltinTexture(uint32_t) override { return &texture_; }
    void* LockIndexBuffer(FulgorCore::IIndexBuffer*, uint32_t, uint32_t) override {
        return nullptr;
    }
    void* LockVertexBuffer(FulgorCore::IVertexBuffer*, uint32_t, uint32_t) override {
        return nullptr;
    }
    void UnlockIndexBuffer(FulgorCore::IIndexBuffer*, uint32_t) override {}
    void UnlockVertexBuffer(FulgorCore::IVertexBuffer*, uint32_t) override {}
    void OnFrameReset() override {}

private:
    StaticObject<FulgorCore::IVertexBuffer> vertices_;
    StaticObject<FulgorCore::IIndexBuffer> indices_;
    StaticObject<FulgorCore::ITexture> texture_;
};

// A package of 127 units of three draw parts each, every part with three
// colour layers: a list of four textures chosen by an easing, a single
// texture, and a screen copy.
std::vector<uint8_t> FramePackage() {
    PackageValue p;
    for (uint32_t t = 0; t < kTextures; ++t)
        p.textures.push_back(
            {std::string("t") + std::to_string(t), std::vector<uint8_t>(16, 1), std::nullopt});
    for (uint32_t u = 0; u < kUnits; ++u) {
        UnitValue unit;
        unit.life = 240;
        unit.fields = {{"bPCo", u & 1}, {"RotO", u % 8}};
        for (uint32_t d = 0; d < 3; ++d) {
            DrawPartValue part;
            part.drawType = 9;
            part.data = DrawDataType9Value{};
            part.fields = {{"DMod", d}, {"UvSC", 2}};
            part.priority = static_cast<uint8_t>(u);
            EasingValue e;
            e.timeLength = 60.0f;
            e.endValue = 4.0f;
            const int8_t first = static_cast<int8_t>((u + d) % kTextures);
            part.textureLayers["TCo1"] = {
                {{"bEbl", 1}}, std::vector<int8_t>{first, 1, 2, 3}, FloatValue(e), std::nullopt};
            part.textureLayers["TCo2"] = {
                {{"bEbl", 1}}, std::vector<int8_t>{5}, std::nullopt, std::nullopt};
            part.textureLayers["TCo3"] = {{{"bScC", 1}}, std::nullopt, std::nullopt, std::nullopt};
            unit.drawParts.push_back(part);
        }
        p.units.push_back(unit);
    }
    ChunkWriter w;
    WritePackage(w, p);
    return testsupport::PayloadOf(w.Take());
}

void BM_DrawPartFrame(benchmark::State& state) {
    NullDevice device;
    const std::vector<uint8_t> payload = FramePackage();
    testsupport::RecordBuild<PackageResource> built(payload, &device);
    if (!built.Built()) {
        state.SkipWithError("the package did not build");
        return;
    }
    const PackageResource& package = *built;
    std::vector<const ParticleResource*> parts;
    std::vector<const UnitResource*> owners;
    for (uint32_t u = 0; u < package.GetUnitCount(); ++u)
        for (uint32_t d = 0; d < package.GetUnit(u)->GetDrawPartCount(); ++d) {
            parts.push_back(package.GetUnit(u)->GetDrawPart(d));
            owners.push_back(package.GetUnit(u));
        }
    Xorshift128 random;
    uint64_t allocations = 0;
    float time = 0.0f;
    uintptr_t sink = 0;
    for (auto _ : state) {
        const uint64_t before = bench::AllocationCount();
        time += 1.0f;
        for (int i = 0; i < kParts; ++i) {
            const size_t k = static_cast<size_t>(i) % parts.size();
            const ParticleResource& part = *parts[k];
            const UnitResource& unit = *owners[k];
            const EvaluationContext context{time + static_cast<float>(i & 63), time};
            for (uint32_t layer = 0; layer < 3; ++layer) {
                const int32_t index =
                    part.GetColorLayer(layer)->TextureIndex(context, 0.25f, random);
                sink += reinterpret_cast<uintptr_t>(package.GetTexture(index));
            }
            // Twenty getters the draw units read.
            sink += part.GetDrawType() + part.GetDrawPriority() + part.GetDMod() + part.GetDFac() +
                    part.GetDTst() + part.GetBiasMode() + part.GetTextureLayerMask() +
                    part.GetLayerFlags() + part.GetRenderStateWord() + part.GetUsedTextureMask() +
                    part.GetAnimatedTextureMask() + part.GetUvLayerCount() + unit.GetFlagPCo() +
                    unit.GetRotO() + unit.GetColR() + package.GetFlagFCl() +
                    package.GetTextureCount() + package.GetUnitCount();
            sink += reinterpret_cast<uintptr_t>(part.GetDrawDataType9()) +
                    static_cast<uintptr_t>(unit.GetLife());
        }
        benchmark::DoNotOptimize(sink);
        allocations += bench::AllocationCount() - before;
    }
    state.counters["parts/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kParts,
                                                   benchmark::Counter::kIsRate);
    state.counters["allocations"] = static_cast<double>(allocations);
}
BENCHMARK(BM_DrawPartFrame)->Unit(benchmark::kMicrosecond);

// The measure and build of the seven files' packages, with their textures
// and buffers made on the null device, and their destruction.
void BM_LoadGameEffects(benchmark::State& state) {
    NullDevice device;
    std::vector<std::vector<uint8_t>> packs;
    for (const GameEffectFile& f : GameEffectFiles()) {
        // The "Pack" payload.
        FulgorCore::ChunkWalker walker(f.bytes.data(), static_cast<uint32_t>(f.bytes.size()));
        FulgorCore::Chunk chunk;
        while (walker.Next(chunk))
            if (chunk.tag == FulgorCore::MakeChunkTag("Pack"))
                packs.emplace_back(chunk.payload, chunk.payload + chunk.size);
    }
    uint64_t bytes = 0;
    for (auto _ : state) {
        for (const std::vector<uint8_t>& pack : packs) {
            testsupport::RecordBuild<PackageResource> built(pack, &device);
            bytes += built.placed;
            benchmark::DoNotOptimize(built.placed);
        }
    }
    state.counters["files"] = static_cast<double>(packs.size());
    state.counters["block bytes"] =
        static_cast<double>(bytes) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_LoadGameEffects)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
