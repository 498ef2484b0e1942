// Draw units under test: a started runtime with one played instance of an
// effect whose unit holds the given draw parts and a package of textures,
// an owner particle made for the test, and a recording stand-in for the
// renderer (reservations into memory of the rig's own, commands run at
// once).
#pragma once

#include "support/effects/StandInParticle.h"
#include "support/effects/UnitTreeRig.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Memory/FrameWorkMemory.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/Core/Resource/UnitResource.h"
#include "effects/drawunits/DrawCommand.h"
#include "effects/drawunits/DrawRenderer.h"
#include "effects/drawunits/DrawUnit.h"
#include "effects/drawunits/DrawUnitFactory.h"
#include "effects/drawunits/DrawUnitOps.h"
#include "effects/drawunits/DrawUnitType4.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstance.h"
#include "effects/units/TransformBlock.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace testsupport {

// One reservation the draw units asked for.
struct Reservation {
    uint32_t stride;
    uint32_t vertices;
    uint32_t indices;
    uint8_t mask = 0;
    const FulgorCore::TextureSlot* bindings = nullptr;
};

// Records every call a draw unit makes on the renderer. Reservations are
// granted (unless `refuse`) from the rig's own buffers, which start filled
// with 0xCD so unwritten bytes show; commands run when submitted.
class RecordingRenderer {
public:
    RecordingRenderer() {
        FulgorCore::DrawRenderer& r = FulgorCore::DrawRenderer::Current();
        saved_ = r;
        current_ = this;
        r.reserveVertices = GrantStride<36>;
        r.reserveVertices48 = GrantStride<48>;
        r.reserveVerticesNoIndex32 = Reserve32;
        r.reserveVertices32 = GrantStride<32>;
        r.reserveVertices44 = GrantStride<44>;
        r.reserveVertices52 = GrantStride<52>;
        r.flushBatches = [] { ++current_->flushes; };
        r.batchKind = [] { return &current_->batchKind; };
        r.submit = [](FulgorCore::Job* job) {
            ++current_->submits;
            job->Execute();
        };
        for (auto& p : r.prepare)
            p = Prepare;
        r.submitPreparedVertices = [](FulgorCore::DrawUnitType4*) { ++current_->lineSubmits; };
        r.submitDrawQuads = [](FulgorCore::DrawUnitType4*) { ++current_->quadSubmits; };
    }
    ~RecordingRenderer() {
        FulgorCore::DrawRenderer::Current() = saved_;
        current_ = nullptr;
    }
    RecordingRenderer(const RecordingRenderer&) = delete;
    RecordingRenderer& operator=(const RecordingRenderer&) = delete;

    // Clears what was recorded and refills the buffers.
    void Clear() {
        reservations.clear();
        prepares.clear();
        std::memset(vertexBytes, 0xCD, sizeof(vertexBytes));
        std::memset(indices, 0xCD, sizeof(indices));
        flushes = submits = lineSubmits = quadSubmits = 0;
    }
    template <class V> const V* Vertices() const { return reinterpret_cast<const V*>(vertexBytes); }

    struct Prepared {
        uint32_t count;
        const void* states;
        const void* prepared;
    };

    std::vector<Reservation> reservations;
    std::vector<Prepared> prepares;
    alignas(16) uint8_t vertexBytes[4096];
    uint16_t indices[256];
    uint16_t firstVertex = 40;
    uint8_t batchKind = 0;
    bool refuse = false;
    int flushes = 0;
    int submits = 0;
    int lineSubmits = 0;
    int quadSubmits = 0;

private:
    static bool Grant(uint32_t stride, uint8_t mask, const FulgorCore::TextureSlot* bindings,
                      void** vertices, uint32_t count, uint16_t** indices, uint16_t* first,
                      uint32_t indexCount) {
        RecordingRenderer& r = *current_;
        r.reservations.push_back({stride, count, indexCount, mask, bindings});
        if (r.refuse)
            return false;
        *vertices = r.vertexBytes;
        if (indices)
            *indices = r.indices;
        if (first)
            *first = r.firstVertex;
        return true;
    }
    template <uint32_t Stride>
    static bool GrantStride(const FulgorCore::IShader*, const uint32_t*,
                            const FulgorCore::TextureSlot* b, uint8_t mask, void** v, uint32_t n,
                            uint16_t** i, uint16_t* f, uint32_t ni) {
        return Grant(Stride, mask, b, v, n, i, f, ni);
    }
    static bool Reserve32(const FulgorCore::IShader*, const uint32_t*,
                          const FulgorCore::TextureSlot* b, uint8_t mask, void** v, uint32_t n) {
        return Grant(32, mask, b, v, n, nullptr, nullptr, 0);
    }
    static void Prepare(FulgorCore::DrawUnitType4* unit, FulgorCore::FieldPoint* states,
                        const FulgorCore::DrawDataType4&, void* prepared,
                        const FulgorCore::DrawClock&) {
        current_->prepares.push_back({unit->pointCount, states, prepared});
    }

    FulgorCore::DrawRenderer saved_{};
    static inline RecordingRenderer* current_ = nullptr;
};

// A particle's world matrix the identity at `position` (the origin for
// none), its colour white.
inline void PlaceOwner(FulgorCore::ParticleInstance* p, const float* position) {
    static const float kIdentity34[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    if (p->currentWorldMatrix) {
        std::memcpy(p->currentWorldMatrix, kIdentity34, sizeof(kIdentity34));
        if (position)
            std::memcpy(p->currentWorldMatrix + 9, position, 3 * sizeof(float));
    }
    if (p->transformBlock)
        for (float& c : p->transformBlock->color)
            c = 1.0f;
}

// What a test sets on an owner particle: its world matrix, colour, scale
// and rotation, the scale and z angle it took from its spawner, and its
// inherit flags (byte 2 the transform mode, 0 answering scale and rotation
// as set; bits 24-26 the spawn bits).
struct OwnerPose {
    float matrix[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    float color[4] = {1, 1, 1, 1};
    float scale[3] = {1, 1, 1};
    float rotation[3] = {};
    float blockScale[3] = {1, 1, 1};
    float blockAngleZ = 0.0f;
    uint32_t inheritFlags = 0;
};

inline void Pose(FulgorCore::ParticleInstance* p, const OwnerPose& pose) {
    if (!p->transformBlock)
        return;
    std::memcpy(p->currentWorldMatrix, pose.matrix, sizeof(pose.matrix));
    std::memcpy(p->transformBlock->color, pose.color, sizeof(pose.color));
    p->transformBlock->transformFlags &= ~FulgorCore::TransformBlock::kInverseValid;
    std::memcpy(p->scale, pose.scale, sizeof(pose.scale));
    std::memcpy(p->rotation, pose.rotation, sizeof(pose.rotation));
    std::memcpy(p->inheritedScale, pose.blockScale, sizeof(pose.blockScale));
    p->inheritedRotation[2] = pose.blockAngleZ;
    p->inheritFlags = pose.inheritFlags;
}

// Members for a strip, ring or trail that count the frame builds and
// submits and keep the last build's width scale.
struct RecordedOps {
    static inline int builds = 0;
    static inline int submits = 0;
    static inline float widthScale = 0.0f;

    static FulgorCore::DrawUnitOps Members() {
        builds = submits = 0;
        widthScale = 0.0f;
        FulgorCore::DrawUnitOps ops;
        ops.build = [](FulgorCore::DrawUnit*, const FulgorCore::DrawClock&, const float*,
                       float scale) {
            ++builds;
            widthScale = scale;
        };
        ops.submit = [](FulgorCore::DrawUnit*) { ++submits; };
        return ops;
    }
};

// A draw unit's clock at `time` after a step of `step`.
inline FulgorCore::DrawClock FrameClock(float step = 1.0f, float time = 0.0f) {
    FulgorCore::DrawClock c;
    c.timeA = c.timeB = time;
    c.lastStep = step;
    return c;
}

// The bytes of frame memory taken so far in the current half.
inline uintptr_t FrameMemoryMark() {
    return reinterpret_cast<uintptr_t>(FulgorCore::Engine::GetFrameWorkMemory().Allocate(0));
}

// Two frames on, as for a unit whose instance missed its evaluation in
// between: the half that held what the unit took is current again and
// empty, and everything of it up to `end` is taken again and filled with
// 0xFF bytes (NaN as floats), as the units evaluated first in that frame
// would overwrite it.
inline void ReuseFrameMemoryUpTo(const void* end) {
    FulgorCore::FrameWorkMemory& memory = FulgorCore::Engine::GetFrameWorkMemory();
    memory.Flip();
    memory.Flip();
    const auto* limit = static_cast<const uint8_t*>(end);
    for (;;) {
        auto* piece = static_cast<uint8_t*>(memory.Allocate(16));
        if (!piece || piece >= limit)
            return;
        std::memset(piece, 0xFF, 16);
    }
}

// A texture set of the identity transform: scale 1, no scroll, no turn.
inline effecttools::UvTransformValue IdentityUvSet() {
    effecttools::UvTransformValue v;
    v.coordinateType = 0;
    v.scale = effecttools::PairValue{0, effecttools::Constant(1.0f), effecttools::Constant(1.0f)};
    v.scroll = effecttools::PairValue{0, effecttools::Constant(0.0f), effecttools::Constant(0.0f)};
    v.rotation = effecttools::Constant(0.0f);
    return v;
}

// A package of `textures` textures and one endless unit per draw part.
inline effecttools::EffectFileValue DrawEffect(std::vector<effecttools::DrawPartValue> parts,
                                               int textures = 8) {
    effecttools::EffectFileValue f = TreeEffect("draw", static_cast<int>(parts.size()), 0);
    for (size_t i = 0; i < parts.size(); ++i)
        f.package.units[i].drawParts.push_back(parts[i]);
    for (int i = 0; i < textures; ++i) {
        effecttools::TextureValue t;
        t.data = std::vector<uint8_t>(16, static_cast<uint8_t>(i));
        f.package.textures.push_back(t);
    }
    return f;
}

class DrawUnitRig {
public:
    // Frame memory and the unit pool as large as the test asks.
    explicit DrawUnitRig(const effecttools::EffectFileValue& effect, uint32_t cacheBytes = 1u << 20,
                         uint32_t unitBytes = 1u << 18) {
        rig.runtime.cache.assign(cacheBytes, 0);
        rig.runtime.parameter.CacheBufferMemory = rig.runtime.cache.data();
        rig.runtime.parameter.CacheBufferMemorySize = cacheBytes;
        rig.runtime.units.assign(unitBytes, 0);
        rig.runtime.parameter.UnitInstanceMemory = rig.runtime.units.data();
        rig.runtime.parameter.UnitInstanceMemorySize = unitBytes;
        ok = rig.Start();
        if (!ok)
            return;
        const FulgorCore::ObjectHandle h = rig.Load(effect);
        instance = rig.Play(h);
        Frame();
        root = UnitTreeRig::Root(instance);
        ok = root != nullptr && root->package != nullptr;
    }
    ~DrawUnitRig() {
        for (FulgorCore::UnitInstance* owner : owners_)
            delete owner;
    }

    const FulgorCore::PackageResource* Package() const { return root->package; }
    const FulgorCore::ParticleResource* Part(uint32_t i = 0) const {
        return Package()->GetUnit(i)->GetDrawPart(0);
    }
    FulgorCore::ITexture* Texture(int32_t i) const { return Package()->GetTexture(i); }

    // A particle of the instance, at `position`, scale 1, white, kept
    // outside the tree; deleted with the rig.
    FulgorCore::ParticleInstance* MakeOwner(const float* position = nullptr) {
        FulgorCore::UnitInstance::InitialState state;
        state.parent = root;
        state.timeMode = FulgorCore::UnitInstance::kEndless;
        FulgorCore::ParticleInstance* p = StandInParticle(root, state);
        if (!p)
            return nullptr;
        PlaceOwner(p, position);
        owners_.push_back(p);
        return p;
    }
    FulgorCore::ParticleInstance* MakeOwner(const OwnerPose& pose) {
        FulgorCore::ParticleInstance* p = MakeOwner();
        if (p)
            Pose(p, pose);
        return p;
    }

    UnitTreeRig rig;
    FulgorCore::InstanceHandle instance{};
    FulgorCore::InstanceRootUnit* root = nullptr;
    bool ok = false;

private:
    std::vector<FulgorCore::UnitInstance*> owners_;
};

// A draw unit that only carries the base, for the kernels' tests.
class KernelUnit : public FulgorCore::DrawUnit {
public:
    using DrawUnit::DrawUnit;
    void Update(const FulgorCore::DrawClock&) override {}
    void Draw() override {}
};

// A test fixture's draw units and the rig they live in: the units are
// deleted before the rig stops the runtime.
template <class Base = ::testing::Test> class DrawUnitFixture : public Base {
protected:
    DrawUnitRig& Start(const effecttools::EffectFileValue& effect, uint32_t cacheBytes = 1u << 20,
                       uint32_t unitBytes = 1u << 18) {
        rig_ = std::make_unique<DrawUnitRig>(effect, cacheBytes, unitBytes);
        return *rig_;
    }
    // The class the data chooses (null where it builds none), for `owner`,
    // kept.
    template <class T>
    T* BuildFromData(FulgorCore::ParticleInstance* owner, const FulgorCore::ParticleResource* data) {
        bool stop = false;
        return Keep(static_cast<T*>(FulgorCore::CreateDrawUnit(owner, data, stop)));
    }
    template <class T> T* Keep(T* unit) {
        if (unit)
            units_.push_back(unit);
        return unit;
    }
    void TearDown() override {
        for (FulgorCore::DrawUnit* u : units_)
            delete u;
        units_.clear();
    }

private:
    std::unique_ptr<DrawUnitRig> rig_;
    std::vector<FulgorCore::DrawUnit*> units_;
};

// Units of one family built from a table of parts (`Parts` gives them):
// `Make(part)` builds the class part `part`'s data chooses, on a fresh
// owner or the one given.
template <class Unit, std::vector<effecttools::DrawPartValue> (*Parts)()>
class PartTableFixture : public DrawUnitFixture<> {
protected:
    void SetUp() override {
        rig = &Start(DrawEffect(Parts()));
        ASSERT_TRUE(rig->ok);
    }
    Unit* Make(FulgorCore::ParticleInstance* owner, uint32_t part) {
        return BuildFromData<Unit>(owner, rig->Part(part));
    }
    Unit* Make(uint32_t part) { return Make(rig->MakeOwner(), part); }
    DrawUnitRig* rig = nullptr;
};

} // namespace testsupport
