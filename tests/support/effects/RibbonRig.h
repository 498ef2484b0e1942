// Trails and generated-line strips under test: one unit of any kind,
// vertex format and variant over stated inputs (points along x, recorded
// axes, widths, colours, deltas, texture words), its geometry callback run
// into buffers filled with 0xCD, and the bytes read back by stride.
#pragma once

#include "support/effects/DrawUnitRig.h"

#include "effects/drawunits/AxisTrailDrawUnit.h"
#include "effects/drawunits/BillboardTrailDrawUnit.h"
#include "effects/drawunits/CrossTrailDrawUnit.h"
#include "effects/drawunits/DrawUnitType2.h"
#include "effects/drawunits/StripDrawUnit.h"
#include "effects/drawunits/StripVariant.h"
#include "effects/render/LineStripGeometry.h"
#include "effects/render/Renderer.h"
#include "effects/render/RendererWorkData.h"
#include "effects/render/TrailGeometry.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

namespace testsupport {

enum class RibbonKind : uint32_t { kAxis, kCross, kBillboard, kLineStrip };
enum class RibbonVariant : uint32_t { kPlain, kCentreLine, kMidKey, kMidKeyCentreLine };
inline constexpr const char* kRibbonKindNames[4] = {"Axis", "Cross", "Billboard", "LineStrip"};
inline constexpr const char* kRibbonVariantNames[4] = {"Plain", "CentreLine", "MidKey",
                                                       "MidKeyCentreLine"};

// The vertex strides of formats 0-6.
inline constexpr uint32_t kRibbonStrides[7] = {32, 36, 36, 44, 44, 52, 52};

inline uint32_t VerticesPerPoint(RibbonVariant v) {
    return v == RibbonVariant::kCentreLine || v == RibbonVariant::kMidKeyCentreLine ? 3 : 2;
}
inline bool TwoRanges(RibbonVariant v) {
    return v == RibbonVariant::kMidKey || v == RibbonVariant::kMidKeyCentreLine;
}
inline uint32_t Ribbons(RibbonKind k) {
    return k == RibbonKind::kCross ? 2 : 1;
}

// One decoded vertex: the bytes ahead of the texture words and N words.
struct RibbonVertex {
    float position[4];
    uint16_t color[4];
    uint8_t parameters[4];
    uint32_t words[6];
};

// What a callback left in the buffers.
struct RibbonOutput {
    std::vector<uint8_t> vertexBytes;
    std::vector<uint16_t> indices;
    uint32_t format = 0;

    uint32_t Stride() const { return kRibbonStrides[format]; }
    RibbonVertex Vertex(uint32_t j) const {
        RibbonVertex v{};
        const uint8_t* at = vertexBytes.data() + size_t{j} * Stride();
        std::memcpy(&v, at, 28);
        std::memcpy(v.words, at + 28, 4 * format);
        return v;
    }
};

// The widths, colours and deltas every unit is given.
inline FulgorCore::RibbonFrameValues StatedRibbonValues() {
    return {1.0f,
            3.0f,
            9.0f,
            {0.1f, 0.2f, 0.3f, 0.4f},
            {0.5f, 0.45f, 0.4f, 0.35f},
            {0.9f, 0.8f, 0.7f, 0.6f},
            {0.3f, 0.35f, 0.4f, 0.45f},
            {0.4f, 0.3f, 0.2f, 0.1f},
            {-0.4f, -0.3f, -0.2f, -0.1f},
            {0.2f, 0.25f, 0.3f, 0.35f},
            {0.5f, 0.4f, 0.3f, 0.2f}};
}

class RibbonRig {
public:
    static constexpr uint32_t kMaxPoints = 8;
    // Data parts: trails with a middle of 0-8, then strips likewise, then
    // the particle-quad modes 0-2.
    static constexpr uint32_t kMiddles = 9;
    static constexpr uint32_t kVertexRoom = 4096;
    static constexpr uint32_t kIndexRoom = 256;
    static constexpr uint8_t kParameters[4] = {0x11, 0x22, 0x33, 0x44};

    using Geometry = FulgorCore::DrawCommand::Geometry;
    using Write = FulgorCore::DrawUnitOps::Write;

    RibbonRig() {
        std::vector<effecttools::DrawPartValue> parts;
        for (uint32_t k = 0; k < kMiddles; ++k) {
            effecttools::DrawDataType12Value trail;
            trail.fields = {{"PtCN", k}};
            parts.push_back(Part(trail));
        }
        for (uint32_t k = 0; k < kMiddles; ++k) {
            effecttools::DrawDataType6Value strip;
            strip.fields = {{"PtCN", k}};
            parts.push_back(Part(strip));
        }
        for (uint32_t mode = 0; mode < 3; ++mode) {
            effecttools::DrawDataType2Value quads;
            quads.fields = {{"UvT", mode}, {"DivU", 1}, {"DivV", 1}, {"AnmI", 1}};
            parts.push_back(Part(quads));
        }
        rig = std::make_unique<DrawUnitRig>(DrawEffect(parts));
        ok = rig->ok;
        owner = ok ? rig->MakeOwner() : nullptr;
        ok = ok && owner;
        // The polygon offset every vertex carries (the instance's, with no
        // offset of the data's).
        if (ok)
            rig->root->rootParameter = 0.25f;
        for (uint32_t i = 0; i < kMaxPoints; ++i) {
            positions[3 * i] = static_cast<float>(i);
            firstAxes[3 * i + 1] = 2.0f;
            secondAxes[3 * i + 2] = 0.5f;
        }
        for (uint32_t j = 0; j < std::size(words); ++j)
            words[j] = 0x01000000u + j;
    }
    ~RibbonRig() {
        for (FulgorCore::DrawUnit* u : units_)
            delete u;
        if (FulgorCore::RendererWorkData* work = FulgorCore::Renderer::GetWorkData())
            work->viewVector = nullptr;
    }
    RibbonRig(const RibbonRig&) = delete;
    RibbonRig& operator=(const RibbonRig&) = delete;

    // A unit of the kind, format and variant over the stated inputs, its
    // data's middle `middle` (0-8); null when the pool has no block.
    FulgorCore::DrawUnit* Make(RibbonKind kind, uint32_t format, RibbonVariant variant,
                               uint32_t middle) {
        const Members& m = MembersOf(format, variant);
        FulgorCore::DrawUnit* unit = nullptr;
        if (kind == RibbonKind::kLineStrip) {
            FulgorCore::StripDrawUnitBase::Values v;
            v.pointSource = FulgorCore::StripDrawUnitBase::kGeneratedLine;
            v.pointCount = kMaxPoints;
            unit = m.makeStrip(owner, rig->Part(kMiddles + middle), v);
            if (auto* s = static_cast<FulgorCore::StripDrawUnitBase*>(unit); s && s->record) {
                static_cast<FulgorCore::RibbonFrameValues&>(*s->record) = values;
                std::memcpy(s->record->parameters, kParameters, 4);
                s->record->textureWords = words;
            }
        } else {
            FulgorCore::TrailDrawUnitBase::Values v;
            v.subKind = kind == RibbonKind::kAxis ? 2 : kind == RibbonKind::kCross ? 4 : 0;
            v.pointCount = kMaxPoints;
            v.ops.write = m.write[static_cast<uint32_t>(kind)];
            unit = m.makeTrail[static_cast<uint32_t>(kind)](owner, rig->Part(middle), v);
            if (auto* t = static_cast<FulgorCore::TrailDrawUnitBase*>(unit); t && t->record) {
                t->record->ribbon = values;
                std::memcpy(t->parameters, kParameters, 4);
                t->record->textureWords = words;
            }
        }
        if (unit)
            units_.push_back(unit);
        return unit;
    }
    // A type-2 unit of geometry mode 0-2.
    FulgorCore::DrawUnitType2* MakeQuads(uint32_t mode) {
        auto* unit = FulgorCore::DrawUnit::Create<FulgorCore::DrawUnitType2>(
            owner, rig->Part(2 * kMiddles + mode));
        if (unit)
            units_.push_back(unit);
        return unit;
    }

    // The unit's callback for `points` points (the stated positions, axes
    // and camera) into fresh 0xCD buffers, from vertex `first`.
    RibbonOutput Run(FulgorCore::DrawUnit* unit, RibbonKind kind, uint32_t format,
                     RibbonVariant variant, uint32_t points, uint16_t first = 1000) {
        if (kind == RibbonKind::kLineStrip) {
            auto* s = static_cast<FulgorCore::StripDrawUnitBase*>(unit);
            s->points = positions;
            s->pointCount = points;
        } else {
            auto* t = static_cast<FulgorCore::TrailDrawUnitBase*>(unit);
            t->historyLength = points;
            t->record->positions = positions;
            t->record->firstAxes = firstAxes;
            t->record->secondAxes = secondAxes;
        }
        const Geometry g = MembersOf(format, variant).geometry[static_cast<uint32_t>(kind)];
        return Call(unit, g, format, first);
    }
    // Any callback into fresh 0xCD buffers.
    RibbonOutput Call(FulgorCore::DrawUnit* unit, Geometry geometry, uint32_t format,
                      uint16_t first) {
        RibbonOutput out;
        out.format = format;
        out.vertexBytes.assign(kVertexRoom, 0xCD);
        out.indices.assign(kIndexRoom, 0xCDCD);
        FulgorCore::DrawPayload payload;
        payload.vertices = out.vertexBytes.data();
        payload.indices = out.indices.data();
        payload.firstVertex = first;
        if (FulgorCore::RendererWorkData* work = FulgorCore::Renderer::GetWorkData())
            work->viewVector = camera;
        geometry(unit, payload);
        return out;
    }

    std::unique_ptr<DrawUnitRig> rig;
    FulgorCore::ParticleInstance* owner = nullptr;
    bool ok = false;
    FulgorCore::RibbonFrameValues values = StatedRibbonValues();
    // Point i at (i, 0, 0); every first axis (0, 2, 0), every second axis
    // (0, 0, 0.5); the camera 10 before the line.
    float positions[3 * kMaxPoints] = {};
    float firstAxes[3 * kMaxPoints] = {};
    float secondAxes[3 * kMaxPoints] = {};
    float camera[4] = {0.0f, 0.0f, -10.0f, 0.0f};
    uint32_t words[kMaxPoints * 3 * 6] = {};

private:
    using MakeTrail = FulgorCore::DrawUnit* (*)(FulgorCore::ParticleInstance*,
                                                const FulgorCore::ParticleResource*,
                                                const FulgorCore::TrailDrawUnitBase::Values&);
    using MakeStrip = FulgorCore::DrawUnit* (*)(FulgorCore::ParticleInstance*,
                                                const FulgorCore::ParticleResource*,
                                                const FulgorCore::StripDrawUnitBase::Values&);
    // By kind: axis, cross, billboard, line strip.
    struct Members {
        MakeTrail makeTrail[3];
        MakeStrip makeStrip;
        Write write[3];
        Geometry geometry[4];
    };

    static effecttools::DrawPartValue Part(effecttools::DrawDataValue data) {
        effecttools::DrawPartValue part;
        part.data = std::move(data);
        return part;
    }
    template <class Unit, class Values>
    static FulgorCore::DrawUnit* Create(FulgorCore::ParticleInstance* owner,
                                        const FulgorCore::ParticleResource* data,
                                        const Values& values) {
        return FulgorCore::DrawUnit::Create<Unit>(owner, data, values);
    }
    template <uint32_t N, class Variant> static Members MembersFor() {
        using namespace FulgorCore;
        using Indices = std::conditional_t<Variant::kVerticesPerPoint == 3, CentreLine, PlainLine>;
        return {{Create<AxisTrailDrawUnit<N>, TrailDrawUnitBase::Values>,
                 Create<CrossTrailDrawUnit<N>, TrailDrawUnitBase::Values>,
                 Create<BillboardTrailDrawUnit<N>, TrailDrawUnitBase::Values>},
                Create<StripDrawUnit<N>, StripDrawUnitBase::Values>,
                {AxisTrailDrawUnit<N>::template WriteVertices<Variant>,
                 CrossTrailDrawUnit<N>::template WriteVertices<Variant>,
                 BillboardTrailDrawUnit<N>::template WriteVertices<Variant>},
                {WriteTrailIndices<AxisTrailDrawUnit, Indices>,
                 WriteTrailIndices<CrossTrailDrawUnit, Indices>,
                 WriteTrailIndices<BillboardTrailDrawUnit, Indices>,
                 WriteLineStripGeometry<N, Variant>}};
    }
    template <uint32_t N> static std::array<Members, 4> VariantsFor() {
        using namespace FulgorCore;
        return {MembersFor<N, PlainLine>(), MembersFor<N, CentreLine>(), MembersFor<N, MidKey>(),
                MembersFor<N, MidKeyCentreLine>()};
    }
    static const Members& MembersOf(uint32_t format, RibbonVariant variant) {
        static const std::array<std::array<Members, 4>, 7> table = {
            VariantsFor<0>(), VariantsFor<1>(), VariantsFor<2>(), VariantsFor<3>(),
            VariantsFor<4>(), VariantsFor<5>(), VariantsFor<6>()};
        return table[format][static_cast<uint32_t>(variant)];
    }

    std::vector<FulgorCore::DrawUnit*> units_;
};

} // namespace testsupport
