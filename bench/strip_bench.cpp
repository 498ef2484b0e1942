// The strips' geometry from their data to the device's memory. Per frame
// 500 strips of 32 points (format 1, CentreLine), 125 of each point source
// (a generated line, 32 points of the data, a chain of 32 units, a history
// of 32 nodes), built from their data once, run their Update (points, frame
// geometry build) and are drawn by the renderer (submit, then the geometry
// callback into the mapped memory of a device that does nothing). Each
// iteration also runs a plain loop that writes the same vertex and index
// bytes (three vertices a point, twelve indices a segment, the texture
// words, widths and colours along the strip, each point turned to the eye)
// from the same points into a buffer of its own. "ratio" is the plain
// loop's time over the strips' (the goal is at least 0.5); "allocations"
// counts operator new calls over the timed frames (the goal is 0).
#include "support/effects/DrawUnitRig.h"
#include "support/effects/EffectFiles.h"
#include "support/effects/RenderRig.h"
#include "support/effects/SilentDevice.h"

#include "bench/support/PlainRibbonIndices.h"
#include "bench/support/RatioLoop.h"
#include "effects/Core/Math/FastRoot.h"
#include "effects/Core/Memory/FrameWorkMemory.h"
#include "effects/drawunits/PackColor.h"
#include "effects/drawunits/PointHistoryEntry.h"
#include "effects/drawunits/StripDrawUnit.h"
#include "effects/drawunits/StripPoint.h"
#include "effects/drawunits/VertexFormat.h"
#include "effects/render/Renderer.h"

#include <benchmark/benchmark.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

namespace Fx = FulgorCore;
using effecttools::Constant;

constexpr uint32_t kStrips = 500;
constexpr uint32_t kSources = 4;
constexpr uint32_t kPoints = 32;
constexpr uint32_t kPerInstance = 20;
constexpr uint32_t kStride = 36;
constexpr uint32_t kPerPoint = 3;
constexpr float kSpacing = 1.0f;

// Parts 0-3: the four point sources, format 1 with a centre line.
effecttools::EffectFileValue StripsEffect() {
    std::vector<effecttools::DrawPartValue> parts;
    for (uint32_t source = 0; source < kSources; ++source) {
        effecttools::DrawDataType6Value strip;
        strip.fields = {{"Type", source}, {"bECE", 1}, {"PtCn", kPoints}, {"PUC", kPoints - 1}};
        strip.floats = {{"Wid", Constant(1.0f)},
                        {"WidH", Constant(2.0f)},
                        {"WidT", Constant(0.5f)},
                        {"Len", Constant(64.0f)}};
        strip.colors = {{"ColH", {}}, {"ColT", {}}, {"CoEH", {}}, {"CoET", {}}};
        strip.crIv = std::bit_cast<uint32_t>(kSpacing);
        std::vector<Fx::StripPoint> points(kPoints);
        for (uint32_t i = 0; i < kPoints; ++i)
            points[i] = {{2.0f * static_cast<float>(i), std::sin(0.3f * static_cast<float>(i)), 0},
                         static_cast<float>(i) / (kPoints - 1)};
        strip.points = std::vector<uint8_t>(sizeof(Fx::StripPoint) * kPoints);
        std::memcpy(strip.points->data(), points.data(), strip.points->size());
        effecttools::DrawPartValue part;
        part.data = strip;
        part.fields = {{"UvSC", 1}};
        parts.push_back(part);
    }
    return testsupport::DrawEffect(parts, 0);
}

// One strip as the plain loop sees it: its points (position, place) and
// the values its build evaluated, read once after the first frames.
struct PlainStrip {
    Fx::StripPoint points[kPoints];
    float headWidth, tailWidth;
    float colour[4], colourDelta[4], edge[4], edgeDelta[4];
    float transform[8];
};

// The same vertices and indices, written straight: three vertices a point
// (edge, centre, edge) turned to the eye, the width, colours and texture
// words along the strip, twelve indices a segment.
void PlainFrame(const std::vector<PlainStrip>& strips, const float* eye, uint8_t* vertices,
                uint16_t* indices) {
    uint16_t first = 0;
    for (const PlainStrip& s : strips) {
        bench::PlainIndices(indices, first, kPerPoint, 1, kPoints);
        indices += 12 * (kPoints - 1);
        first = static_cast<uint16_t>(first + kPerPoint * kPoints);
        const float* m = s.transform;
        for (uint32_t j = 0; j < kPoints; ++j) {
            const Fx::StripPoint& p = s.points[j];
            const float* a = s.points[j > 0 ? j - 1 : 0].position;
            const float* b = s.points[j + 1 < kPoints ? j + 1 : kPoints - 1].position;
            const float t = p.parameter;
            const float axis[3] = {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
            const float d[3] = {p.position[0] - eye[0], p.position[1] - eye[1],
                                p.position[2] - eye[2]};
            const float side[3] = {axis[1] * d[2] - axis[2] * d[1], axis[2] * d[0] - axis[0] * d[2],
                                   axis[0] * d[1] - axis[1] * d[0]};
            const float width =
                (s.headWidth + (s.tailWidth - s.headWidth) * t) *
                Fx::Math::ReciprocalSqrt(side[0] * side[0] + side[1] * side[1] + side[2] * side[2]);
            float c[4], e[4];
            for (int i = 0; i < 4; ++i) {
                c[i] = s.colour[i] + s.colourDelta[i] * t;
                e[i] = s.edge[i] + s.edgeDelta[i] * t;
            }
            uint16_t centre[4], edge[4];
            Fx::PackFloat4ToU16(centre, c);
            Fx::PackFloat4ToU16(edge, e);
            const uint8_t parameters[4] = {};
            const float y = t - 0.5f;
            for (int k = 0; k < 3; ++k) {
                const float x = 0.5f - 0.5f * static_cast<float>(k);
                float at[3];
                for (int i = 0; i < 3; ++i)
                    at[i] = p.position[i] + (1.0f - static_cast<float>(k)) * -side[i] * width;
                Fx::WriteVertexHead(vertices, at, 0.0f, k == 1 ? centre : edge, parameters);
                const uint32_t word =
                    Fx::PackTextureWord(m[0] * x + m[1] * y + m[3], m[4] * x + m[5] * y + m[7]);
                std::memcpy(vertices + 28, &word, 4);
                vertices += kStride;
            }
        }
    }
}

// A particle of the rig's root at the origin, white, its line along X.
Fx::ParticleInstance* Particle(Fx::InstanceRootUnit* root, Fx::UnitInstance* parent) {
    Fx::UnitInstance::InitialState state;
    state.parent = parent;
    state.timeMode = Fx::UnitInstance::kEndless;
    Fx::ParticleInstance* p = testsupport::StandInParticle(root, state);
    if (p) {
        testsupport::PlaceOwner(p, nullptr);
        p->axisMember = Fx::ParticleInstance::GetAxisX;
        p->planeScaleMember = Fx::ParticleInstance::GetPlaneScaleYZ;
    }
    return p;
}

void BM_StripFrame(benchmark::State& state) {
    testsupport::SilentDevice device;
    testsupport::RenderRig rig(device, 260, 1u << 17);
    std::vector<uint8_t> frameMemory(4u << 20);
    rig.parameter.CacheBufferMemory = frameMemory.data();
    rig.parameter.CacheBufferMemorySize = static_cast<uint32_t>(frameMemory.size());
    rig.parameter.VertexBufferTotalSize = 4u << 20;
    rig.parameter.IndexBufferTotalSize = 1u << 20;
    const Fx::PackageResource* package = nullptr;
    if (!rig.Start() || !(package = rig.Load(testsupport::Write(StripsEffect())))) {
        state.SkipWithError("the runtime did not start");
        return;
    }
    Fx::InstanceRootUnit* root = rig.Owner()->owner;
    // Owners: one for the lines and data points, one moving for the
    // histories, the end of a chain of 32 particles for the chains.
    std::vector<Fx::ParticleInstance*> particles;
    Fx::ParticleInstance* still = Particle(root, rig.Owner()->parent);
    Fx::ParticleInstance* mover = Particle(root, rig.Owner()->parent);
    particles = {still, mover};
    Fx::UnitInstance* parent = rig.Owner()->parent;
    for (uint32_t i = 0; i + 1 < kPoints; ++i) {
        particles.push_back(Particle(root, parent));
        parent = particles.back();
    }
    Fx::ParticleInstance* chainEnd = particles.back();

    std::vector<Fx::DrawUnit*> strips;
    testsupport::RenderRig::Instance* instance = nullptr;
    for (uint32_t k = 0; k < kStrips; ++k) {
        if (k % kPerInstance == 0)
            instance = &rig.AddInstance(k / kPerInstance);
        const uint32_t source = k % kSources;
        Fx::ParticleInstance* owner = source == 2 ? chainEnd : source == 3 ? mover : still;
        Fx::DrawUnit* unit =
            rig.AddDrawUnit(*instance, Fx::DrawUnit::Create<Fx::StripDrawUnit<1>>(
                                           owner, package->GetUnit(source)->GetDrawPart(0)));
        if (!unit) {
            state.SkipWithError("the unit pool or the lists are too small");
            return;
        }
        strips.push_back(unit);
    }
    const auto frame = [&] {
        Fx::Engine::GetFrameWorkMemory().Flip();
        for (Fx::DrawUnit* u : strips) {
            u->Step();
            u->Update(testsupport::FrameClock());
        }
        rig.DrawFrame();
    };
    // The histories grow a node a frame to 32 points, then stand.
    for (uint32_t f = 0; f < kPoints; ++f) {
        mover->currentWorldMatrix[9] = kSpacing * static_cast<float>(f + 1);
        frame();
    }
    for (Fx::DrawUnit* u : strips) {
        const auto* s = static_cast<const Fx::StripDrawUnitBase*>(u);
        const uint32_t n = s->pointCount + s->stripPointCount + s->segmentCount;
        if (n != kPoints) {
            state.SkipWithError("a strip does not have 32 points");
            return;
        }
    }
    // The plain loop's strips: the points and values of each unit.
    std::vector<PlainStrip> plain(kStrips);
    for (uint32_t k = 0; k < kStrips; ++k) {
        const auto* s = static_cast<const Fx::StripDrawUnitBase*>(strips[k]);
        PlainStrip& p = plain[k];
        for (uint32_t j = 0; j < kPoints; ++j) {
            if (s->stripPoints)
                p.points[j] = s->stripPoints[j];
            else if (s->points)
                p.points[j] = {{s->points[3 * j], s->points[3 * j + 1], s->points[3 * j + 2]},
                               static_cast<float>(j) / (kPoints - 1)};
        }
        if (s->firstNode) {
            const Fx::PointHistoryEntry* node = s->firstNode;
            const float newest = s->newestNode->distance;
            for (uint32_t j = 0; j < kPoints; ++j, node = node->next)
                p.points[j] = {{node->position[0], node->position[1], node->position[2]},
                               node->distance / newest};
        }
        const Fx::StripFrameRecord& r = *s->record;
        p.headWidth = r.headWidth;
        p.tailWidth = r.tailWidth;
        std::memcpy(p.colour, r.centreColor, sizeof p.colour);
        std::memcpy(p.colourDelta, r.firstDelta, sizeof p.colourDelta);
        std::memcpy(p.edge, r.edgeColor, sizeof p.edge);
        std::memcpy(p.edgeDelta, r.secondDelta, sizeof p.edgeDelta);
        const float identity[8] = {1, 0, 0, 0.5f, 0, 1, 0, 0.5f};
        std::memcpy(p.transform, identity, sizeof identity);
    }
    std::vector<uint8_t> plainVertices(size_t{kStrips} * kPoints * kPerPoint * kStride);
    std::vector<uint16_t> plainIndices(size_t{kStrips} * (kPoints - 1) * 12);
    const float eye[3] = {0, 0, -100};

    const uint64_t drawsBefore = device.draws;
    frame();
    if (device.draws == drawsBefore) {
        state.SkipWithError("nothing was drawn");
        return;
    }
    bench::RunAgainstPlain(
        state, frame, [&] { PlainFrame(plain, eye, plainVertices.data(), plainIndices.data()); },
        kStrips, "strips/s");
    // The particles go before the runtime does.
    for (auto it = particles.rbegin(); it != particles.rend(); ++it)
        delete *it;
}
BENCHMARK(BM_StripFrame)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
