// The draw units' geometry on screen. ShapesFrame: per frame the Update of
// 1,000 instances' circle (16 segments, format 1), quad (format 2), ring
// (16 segments, format 3) and history strip (16 nodes, format 1), then
// ResetDrawState and DrawLayer through the effects device on the null
// graphics backend, each unit a batch of its own. Each iteration also runs
// a plain loop that writes the same vertices and indices from the same
// records (the same fan, corners, ring circles and camera-facing strip
// arithmetic) into a buffer of its own and makes the same device calls,
// batch for batch. "plain ratio" is the plain loop's time over the units' draw
// (ResetDrawState and DrawLayer), the share of the plain loop's speed the
// draw units' geometry writing reaches: the goal is at least 0.5. "frame
// ratio" counts the Update in as well. Heap use per frame is counted: C++
// allocations, the runtime's allocator callbacks and the engine heap's
// blocks in use.
#include "support/effects/DrawUnitRig.h"
#include "support/effects/EffectFiles.h"
#include "support/effects/GeometryMembers.h"
#include "support/effects/RenderRig.h"

#include "bench/AllocationCount.h"
#include "bench/support/NullGraphics.h"
#include "bench/support/PlainLayerCalls.h"
#include "effects/Core/Math/FastRoot.h"
#include "effects/Core/Memory/FrameWorkMemory.h"
#include "effects/drawunits/PointHistoryEntry.h"
#include "effects/drawunits/StripDrawUnit.h"
#include "effects/render/Renderer.h"
#include "effects/render/RendererWorkData.h"
#include "game/vfx/ShaderSource.h"
#include "game/vfx/VfxDevice.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

namespace Fx = FulgorCore;
namespace geometry = testsupport::geometry;

constexpr uint32_t kInstances = 1000;
constexpr uint32_t kSegments = 16;
constexpr uint32_t kNodes = 16;
constexpr float kSpacing = 0.5f;
// Each unit its own batch: its own blend mode.
constexpr uint32_t kStates[4] = {
    testsupport::kIndexedBatchState, testsupport::kIndexedBatchState | (1u << 4),
    testsupport::kIndexedBatchState | (2u << 4), testsupport::kIndexedBatchState | (3u << 4)};

// Parts 0-3: a circle of 16 segments, a quad, a ring, a strip; 1, 2, 3 and
// 1 texture-coordinate sets.
effecttools::EffectFileValue ShapesEffect() {
    std::vector<effecttools::DrawPartValue> parts(4);
    effecttools::DrawDataType8Value circle;
    circle.count = effecttools::Constant(static_cast<float>(kSegments));
    parts[0].data = circle;
    parts[1].data = effecttools::DrawDataType9Value{};
    parts[2].data = effecttools::DrawDataType7Value{};
    parts[3].data = effecttools::DrawDataType6Value{};
    const uint32_t sets[4] = {1, 2, 3, 1};
    for (uint32_t p = 0; p < 4; ++p)
        for (uint32_t k = 0; k < sets[p]; ++k)
            parts[p].uvLayers.push_back({0u, 1u, std::nullopt, std::nullopt, std::nullopt});
    return testsupport::DrawEffect(parts, 0);
}

// The graphics stack on the null backend with a draw context for this
// thread, the effects device on it, and the runtime over the device.
class Rig {
public:
    Rig() {
        ShaderSource::Install(nullptr);
        device = new VfxDevice();
        runtime = new testsupport::RenderRig(*device, kInstances + 800, 1u << 20);
        Fx::InitializeParameter& p = runtime->parameter;
        p.CacheBufferMemory = cache_.data();
        p.CacheBufferMemorySize = static_cast<uint32_t>(cache_.size());
        p.VertexBufferSize = 1 << 18;
        p.VertexBufferTotalSize = 1 << 23;
        p.IndexBufferSize = 1 << 16;
        p.IndexBufferTotalSize = 1 << 21;
        ok = runtime->Start() &&
             (package = runtime->Load(testsupport::Write(ShapesEffect()))) != nullptr;
    }
    ~Rig() {
        for (Fx::ParticleInstance* p : owners)
            delete p;
        delete runtime;
        device->Release();
    }
    // A fresh command block and frame memory half for the next frame.
    void NextFrame() {
        graphics_.NextBlock();
        Fx::Engine::GetFrameWorkMemory().Flip();
    }

private:
    bench::NullGraphics graphics_{32u << 20};
    std::vector<uint8_t> cache_ = std::vector<uint8_t>(8u << 20);

public:
    VfxDevice* device = nullptr;
    testsupport::RenderRig* runtime = nullptr;
    const Fx::PackageResource* package = nullptr;
    std::vector<Fx::ParticleInstance*> owners;
    bool ok = false;
};

// One instance's units.
struct Shapes {
    Fx::CircleDrawUnit<1>* circle;
    Fx::QuadDrawUnit<2>* quad;
    Fx::RingDrawUnit* ring;
    Fx::StripDrawUnit<1>* strip;
};

// What the renderer does for these units, without its bookkeeping: the
// same arithmetic straight into one buffer, and the device calls of the
// layer, its draw records and its batches.
struct PlainLayer {
    std::vector<uint8_t> vertices = std::vector<uint8_t>(kInstances * 4096);
    std::vector<uint16_t> indices = std::vector<uint16_t>(kInstances * 256);
    float matrix[16] = {};
    float color[4] = {1, 1, 1, 1};
    float scene[9] = {};

    template <uint32_t N>
    static uint8_t* Head(uint8_t* v, const float* p, const uint16_t* c, const uint8_t* bytes) {
        Fx::WriteVertexHead(v, p, 0.0f, c, bytes);
        return v + Fx::VertexFormat<N>::kStride;
    }

    void Draw(Fx::IDevice& d, const std::vector<Shapes>& shapes, const float* eye,
              Fx::IVertexBuffer* vb, Fx::IIndexBuffer* ib) {
        uint8_t* v = vertices.data();
        uint16_t* i = indices.data();
        uint16_t base = 0;
        const float* table = Fx::Engine::GetCirclePointTable(kSegments - 3);
        for (const Shapes& s : shapes) {
            // The fan.
            const auto& cr = *s.circle->record;
            for (uint32_t k = 0; k < kSegments; ++k, i += 3) {
                i[0] = base;
                i[1] = static_cast<uint16_t>(base + 1 + k);
                i[2] = static_cast<uint16_t>(base + 2 + k);
            }
            i[-1] = static_cast<uint16_t>(base + 1);
            base = static_cast<uint16_t>(base + kSegments + 1);
            const uint32_t centre = Fx::PackTextureWord(cr.transforms[3], cr.transforms[7]);
            std::memcpy(v + 28, &centre, 4);
            v = Head<1>(v, cr.matrix + 9, cr.color, s.circle->parameters);
            const float* m = cr.matrix;
            for (uint32_t k = 0; k < kSegments; ++k) {
                const float x = table[2 * k], y = table[2 * k + 1];
                const float p[3] = {m[9] + x * m[0] + y * m[3], m[10] + x * m[1] + y * m[4],
                                    m[11] + x * m[2] + y * m[5]};
                const uint32_t word = geometry::TransformedWord(cr.transforms, x, y);
                std::memcpy(v + 28, &word, 4);
                v = Head<1>(v, p, cr.color, s.circle->parameters);
            }
            // The quad.
            const auto& qr = *s.quad->record;
            Fx::WriteQuadIndices(i, base);
            i += 6;
            base = static_cast<uint16_t>(base + 4);
            float corners[12];
            geometry::SquareCorners<2>(s.quad, corners, qr.matrix);
            for (uint32_t k = 0; k < 4; ++k) {
                uint8_t* next = Head<2>(v, corners + 3 * k, qr.color, s.quad->parameters);
                for (uint32_t j = 0; j < 2; ++j) {
                    const float* uv = qr.transforms + 8 * j + 2 * k;
                    const uint32_t word = Fx::PackTextureWord(uv[0], uv[1]);
                    std::memcpy(v + 28 + 4 * j, &word, 4);
                }
                v = next;
            }
            // The ring.
            const Fx::RingFrameRecord& rr = *s.ring->record;
            for (uint32_t k = 0; k < kSegments; ++k, i += 6) {
                const uint16_t w = static_cast<uint16_t>(base + 2 * k);
                const uint16_t q[6] = {w,
                                       static_cast<uint16_t>(w + 1),
                                       static_cast<uint16_t>(w + 3),
                                       static_cast<uint16_t>(w + 3),
                                       static_cast<uint16_t>(w + 2),
                                       w};
                std::memcpy(i, q, sizeof q);
            }
            base = static_cast<uint16_t>(base + 2 * (kSegments + 1));
            const uint32_t* words = rr.textureWords;
            for (uint32_t j = 0; j <= kSegments; ++j)
                for (const float* circle : {rr.outer, rr.inner}) {
                    uint8_t* next = Head<3>(v, circle + 3 * j, rr.colors[0], s.ring->parameters);
                    std::memcpy(v + 28, words, 12);
                    words += 3;
                    v = next;
                }
            // The strip.
            const Fx::StripFrameRecord& sr = *s.strip->record;
            for (uint32_t k = 0; k + 1 < kNodes; ++k, i += 6) {
                const uint16_t w = static_cast<uint16_t>(base + 2 * k);
                const uint16_t q[6] = {static_cast<uint16_t>(w + 3), w,
                                       static_cast<uint16_t>(w + 1), static_cast<uint16_t>(w + 3),
                                       static_cast<uint16_t>(w + 2), w};
                std::memcpy(i, q, sizeof q);
            }
            base = static_cast<uint16_t>(base + 2 * kNodes);
            const float scale = 1.0f / s.strip->newestNode->distance;
            const uint32_t* stripWords = sr.textureWords;
            const Fx::PointHistoryEntry* node = s.strip->firstNode;
            for (uint32_t k = 0; k < kNodes; ++k, node = node->next) {
                const float t = node->distance * scale;
                float rgba[4];
                for (uint32_t c = 0; c < 4; ++c)
                    rgba[c] = sr.centreColor[c] + sr.firstDelta[c] * t;
                uint16_t packed[4];
                Fx::PackFloat4ToU16(packed, rgba);
                const float* a = node->axis;
                const float* p = node->position;
                const float dd[3] = {p[0] - eye[0], p[1] - eye[1], p[2] - eye[2]};
                const float sv[3] = {a[1] * dd[2] - a[2] * dd[1], a[2] * dd[0] - a[0] * dd[2],
                                     a[0] * dd[1] - a[1] * dd[0]};
                const float r =
                    Fx::Math::ReciprocalSqrt(sv[0] * sv[0] + sv[1] * sv[1] + sv[2] * sv[2]);
                const float width = sr.headWidth + (sr.tailWidth - sr.headWidth) * t;
                float left[3], right[3];
                for (uint32_t c = 0; c < 3; ++c) {
                    left[c] = p[c] - sv[c] * r * width;
                    right[c] = p[c] + sv[c] * r * width;
                }
                for (const float* edge : {left, right}) {
                    uint8_t* next = Head<1>(v, edge, packed, sr.parameters);
                    std::memcpy(v + 28, stripWords++, 4);
                    v = next;
                }
            }
        }
        benchmark::ClobberMemory();
        // The layer's calls: its begin, one record and four batches an
        // instance.
        d.ResetRenderState();
        bench::BeginPlainLayer(d, scene, matrix);
        static constexpr uint32_t kVertices[4] = {kSegments + 1, 4, 2 * (kSegments + 1),
                                                  2 * kNodes};
        static constexpr uint32_t kIndices[4] = {3 * kSegments, 6, 6 * kSegments, 6 * (kNodes - 1)};
        static constexpr uint32_t kStrides[4] = {36, 36, 44, 36};
        uint32_t first = 0, offset = 0;
        for (const Shapes& s : shapes) {
            bench::PlainRecord(d, matrix, color, color);
            const Fx::DrawUnit* units[4] = {s.circle, s.quad, s.ring, s.strip};
            for (uint32_t k = 0; k < 4; ++k) {
                const uint32_t word = units[k]->stateWord;
                d.OnDrawPhase(2);
                d.SetShader(const_cast<Fx::IShader*>(units[k]->unitShader));
                d.SetVertexBuffer(0, vb, offset, kStrides[k]);
                d.SetIndexBuffer(ib);
                d.SetBlendMode((word >> 4) & 7u, false);
                d.SetDepthState(word & 1u, (word >> 1) & 1u, 0);
                d.SetCullMode((word >> 2) & 3u);
                d.DrawIndexed(1, first, kIndices[k], kVertices[k]);
                first += kIndices[k];
                offset += kVertices[k] * kStrides[k];
            }
        }
        bench::EndPlainLayer(d);
    }
};

void BM_ShapesFrame(benchmark::State& state) {
    Rig rig;
    if (!rig.ok) {
        state.SkipWithError("the runtime did not start");
        return;
    }
    testsupport::RenderRig& runtime = *rig.runtime;
    testsupport::RenderRig::Engine()->layerDepthSort[0] = 0;
    const auto part = [&](uint32_t i) { return rig.package->GetUnit(i)->GetDrawPart(0); };
    std::vector<Shapes> shapes;
    std::vector<Fx::DrawUnit*> units;
    const Fx::DrawClock clock = testsupport::FrameClock();
    for (uint32_t i = 0; i < kInstances; ++i) {
        testsupport::RenderRig::Instance& instance = runtime.AddInstance(i);
        Fx::UnitInstance::InitialState start;
        start.parent = instance.root;
        start.timeMode = Fx::UnitInstance::kEndless;
        Fx::ParticleInstance* owner = testsupport::StandInParticle(instance.root, start);
        if (!owner) {
            state.SkipWithError("the unit pool is too small");
            return;
        }
        rig.owners.push_back(owner);
        testsupport::OwnerPose pose;
        pose.matrix[9] = static_cast<float>(i % 40);
        pose.matrix[10] = static_cast<float>(i / 40);
        pose.matrix[11] = 10.0f;
        testsupport::Pose(owner, pose);
        Shapes s{};
        s.circle = runtime.AddDrawUnit(
            instance, Fx::DrawUnit::Create<Fx::CircleDrawUnit<1>>(owner, part(0), 0.0f));
        s.quad = runtime.AddDrawUnit(instance,
                                     Fx::DrawUnit::Create<Fx::QuadDrawUnit<2>>(owner, part(1)));
        Fx::RingDrawUnit::Values ring;
        ring.format = 3;
        ring.segmentCount = kSegments;
        ring.ops = geometry::RingMembers<3>();
        s.ring = runtime.AddDrawUnit(instance,
                                     Fx::DrawUnit::Create<Fx::RingDrawUnit>(owner, part(2), ring));
        Fx::StripDrawUnitBase::Values strip;
        strip.pointSource = Fx::StripDrawUnitBase::kHistory;
        strip.spacing = kSpacing;
        strip.ops = geometry::StripMembers<1, Fx::History>();
        s.strip = runtime.AddDrawUnit(
            instance, Fx::DrawUnit::Create<Fx::StripDrawUnit<1>>(owner, part(3), strip));
        if (!s.circle || !s.quad || !s.ring || !s.strip || !s.circle->record || !s.quad->record ||
            !s.ring->record || !s.strip->record) {
            state.SkipWithError("the unit pool is too small");
            return;
        }
        s.circle->writeRim = geometry::UnitCircleRim<1>;
        s.quad->computeCorners = geometry::SquareCorners<2>;
        Fx::DrawUnit* made[4] = {s.circle, s.quad, s.ring, s.strip};
        for (uint32_t k = 0; k < 4; ++k)
            made[k]->stateWord = kStates[k];
        // The strip's 16 nodes: its owner moves a spacing a frame.
        for (uint32_t k = 0; k < kNodes; ++k) {
            pose.matrix[9] += kSpacing * 1.5f;
            testsupport::Pose(owner, pose);
            s.strip->Step();
            s.strip->Update(clock);
        }
        if (s.strip->segmentCount != kNodes) {
            state.SkipWithError("the strip did not grow its 16 nodes");
            return;
        }
        shapes.push_back(s);
        units.insert(units.end(), {s.circle, s.quad, s.ring, s.strip});
    }
    // The layer draws the higher index first: the plain loop too.
    std::vector<Shapes> drawOrder(shapes.rbegin(), shapes.rend());
    PlainLayer plain;
    Fx::RendererWorkData* work = Fx::Renderer::GetWorkData();
    const auto frame = [&] {
        for (Fx::DrawUnit* u : units)
            u->Update(clock);
    };
    // Warm-up.
    rig.NextFrame();
    frame();
    runtime.DrawFrame();
    uint64_t allocations = 0, callbacks = 0;
    const uint64_t blocksBefore = bench::HeapBlocksInUse();
    double updateSeconds = 0.0, drawSeconds = 0.0, plainSeconds = 0.0;
    for (auto _ : state) {
        rig.NextFrame();
        const uint64_t before = bench::AllocationCount();
        const size_t calls = testsupport::CountingAllocator::Calls().size();
        const double start = bench::ThreadSeconds();
        frame();
        const double updated = bench::ThreadSeconds();
        runtime.DrawFrame();
        const double drawn = bench::ThreadSeconds();
        allocations += bench::AllocationCount() - before;
        callbacks += testsupport::CountingAllocator::Calls().size() - calls;
        rig.NextFrame();
        const double plainStart = bench::ThreadSeconds();
        plain.Draw(*rig.device, drawOrder, Fx::Renderer::GetViewVector(),
                   work->vertexPool.entries[0].buffer, work->indexPool.entries[0].buffer);
        const double end = bench::ThreadSeconds();
        updateSeconds += updated - start;
        drawSeconds += drawn - updated;
        plainSeconds += end - plainStart;
        state.SetIterationTime(drawn - start);
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["units/s"] =
        benchmark::Counter(iterations * kInstances * 4, benchmark::Counter::kIsRate);
    state.counters["update ms"] = 1000.0 * updateSeconds / iterations;
    state.counters["draw ms"] = 1000.0 * drawSeconds / iterations;
    state.counters["plain ms"] = 1000.0 * plainSeconds / iterations;
    state.counters["plain ratio"] = drawSeconds > 0.0 ? plainSeconds / drawSeconds : 0.0;
    state.counters["frame ratio"] =
        drawSeconds > 0.0 ? plainSeconds / (updateSeconds + drawSeconds) : 0.0;
    state.counters["allocations"] = static_cast<double>(allocations);
    state.counters["callback allocations"] = static_cast<double>(callbacks);
    state.counters["engine heap blocks gained"] =
        static_cast<double>(bench::HeapBlocksInUse() - blocksBefore);
}
BENCHMARK(BM_ShapesFrame)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
