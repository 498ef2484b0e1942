// Emitter units on a started runtime: an owner that stands in for the
// particle instance (settable matrices and clock, its emitter driven by its
// start, kill and per-frame steps as the composed classes drive theirs), a
// recording particle factory, and helpers that write emitters of each kind.
#pragma once

#include "support/effects/UnitTreeRig.h"

#include "effects/Core/Resource/EmitterResource.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/UnitResource.h"
#include "effects/units/EmitterUnit.h"
#include "effects/units/ParticleSpawnSettings.h"
#include "tools/effect/EmitterWriter.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

namespace testsupport {

// What the emitter handed to the particle factory, and what it then did
// with the particle.
struct SpawnRecord {
    FulgorCore::EmitterUnit* spawner;
    FulgorCore::UnitInstance::InitialState state;
    const FulgorCore::UnitResource* unit;
    std::array<uint8_t, 8> settings;
    int32_t pointIndex;
    std::array<float, 3> origin, position, velocity, rotation, direction;
    std::vector<float> updates;
    int evaluates = 0;
    bool added = false;
};

inline std::vector<SpawnRecord>& Spawns() {
    static std::vector<SpawnRecord> spawns;
    return spawns;
}

inline std::array<float, 3> Three(const float* v) {
    return {v[0], v[1], v[2]};
}

// A particle that notes its steps in its record.
class RecordedParticle final : public FulgorCore::UnitInstance {
public:
    RecordedParticle(FulgorCore::InstanceRootUnit* root, const InitialState& state, size_t record)
        : UnitInstance(root, state), record_(record) {}
    void Update(float dt) override {
        Spawns()[record_].updates.push_back(dt);
        UnitInstance::Update(dt);
    }
    void Evaluate() override {
        ++Spawns()[record_].evaluates;
        UnitInstance::Evaluate();
    }
    void Start() override { Spawns()[record_].added = true; }
    uint32_t GetKind() const override { return kParticleNode; }

private:
    size_t record_;
};

inline FulgorCore::UnitInstance* RecordingFactory(
    FulgorCore::InstanceRootUnit* root, FulgorCore::EmitterUnit* spawner,
    const FulgorCore::UnitInstance::InitialState& state, const FulgorCore::UnitResource* unit,
    const FulgorCore::ParticleSpawnSettings* settings, int32_t pointIndex, const float* origin,
    const float* position, const float* velocity, const float* rotation, const float* direction) {
    SpawnRecord r{};
    r.spawner = spawner;
    r.state = state;
    r.unit = unit;
    r.pointIndex = pointIndex;
    r.origin = Three(origin);
    r.position = Three(position);
    r.velocity = Three(velocity);
    r.rotation = Three(rotation);
    r.direction = Three(direction);
    std::memcpy(r.settings.data(), settings->bytes, 8);
    Spawns().push_back(r);
    return FulgorCore::UnitInstance::Create<RecordedParticle>(root, state, Spawns().size() - 1);
}

// Stands in for the particle instance that owns the emitter.
class FakeOwner final : public FulgorCore::UnitInstance {
public:
    FakeOwner(FulgorCore::InstanceRootUnit* root, const InitialState& state)
        : UnitInstance(root, state) {}
    ~FakeOwner() override { delete emitter; }

    void Start() override {
        if (emitter)
            emitter->SpawnEventChildren();
    }
    void OnEnd() override {
        ++ends;
        if (emitter)
            emitter->SpawnEventChildrenType2();
    }
    void Step() override {
        if (emitter)
            emitter->Update();
    }
    const float* GetWorldMatrix() const override { return matrix; }
    const float* GetPreviousWorldMatrix() const override { return previous; }
    const float* GetInverseWorldMatrix() const override { return inverse; }
    const float* GetColor() const override { return colour; }
    uint32_t GetKind() const override { return kParticleNode; }

    // The matrix of the last frame becomes the previous one.
    void MoveTo(float x, float y, float z) {
        std::memcpy(previous, matrix, sizeof(matrix));
        matrix[9] = x;
        matrix[10] = y;
        matrix[11] = z;
    }

    FulgorCore::EmitterUnit* emitter = nullptr;
    // How often the owner was ended.
    int ends = 0;
    float matrix[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    float previous[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    float inverse[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    float colour[4] = {1, 1, 1, 1};
};

inline float Bits(uint32_t v) {
    return std::bit_cast<float>(v);
}
inline uint32_t Bits(float v) {
    return std::bit_cast<uint32_t>(v);
}

// A spawn item of unit 1 with the given fields.
inline effecttools::SpawnEntryValue Item(std::vector<effecttools::FieldValue> fields = {}) {
    effecttools::SpawnEntryValue v;
    v.fields = {{"TgUI", 1}};
    for (const effecttools::FieldValue& f : fields)
        v.fields.push_back(f);
    return v;
}

// A timing item emitting `count` of item `target` every `interval` frames
// from `start`.
inline effecttools::TimedEntryValue Timer(uint16_t target, uint16_t count, int16_t interval,
                                          int32_t start = 0, int32_t end = 0, float spacing = 0.0f,
                                          float speedScale = 1.0f) {
    effecttools::TimedEntryValue t;
    t.target = target;
    t.count = count;
    t.interval = interval;
    t.startFrame = start;
    t.endFrame = end;
    t.gnDI = Bits(spacing);
    t.vlSc = Bits(speedScale);
    return t;
}

// An emitter of `kind` with a shape of constant speed `speed`.
inline effecttools::EmitterValue Emitter(uint32_t kind, float speed = 1.0f) {
    effecttools::EmitterValue v;
    v.kind = kind;
    effecttools::ShapeValue shape;
    shape.floats = {{"IjSp", effecttools::Constant(speed)}};
    v.shape = shape;
    return v;
}

// 16-byte point records.
inline std::vector<uint8_t> Points(const std::vector<std::array<float, 3>>& xyz,
                                   const std::vector<std::array<int8_t, 3>>& normals = {}) {
    std::vector<uint8_t> bytes(xyz.size() * 16, 0);
    for (size_t i = 0; i < xyz.size(); ++i) {
        std::memcpy(&bytes[i * 16], xyz[i].data(), 12);
        if (i < normals.size())
            std::memcpy(&bytes[i * 16 + 12], normals[i].data(), 3);
    }
    return bytes;
}

class EmitterRig : public UnitTreeRig {
public:
    EmitterRig() {
        Spawns().clear();
        FulgorCore::EmitterUnit::Factory() = RecordingFactory;
        // Every recorded particle keeps its block: room for a frame's
        // bounded emissions of several timers.
        runtime.units.assign(kUnitMemory, 0);
        runtime.parameter.UnitInstanceMemory = runtime.units.data();
        runtime.parameter.UnitInstanceMemorySize = kUnitMemory;
    }
    ~EmitterRig() { FulgorCore::EmitterUnit::Factory() = FulgorCore::EmitterUnit::kBuiltInFactory; }

    // An effect whose unit 0 carries `emitter` and whose unit 1 (life 20,
    // loop 2..8) is what it spawns; more units and models may be added.
    static effecttools::EffectFileValue EffectWith(const effecttools::EmitterValue& emitter) {
        effecttools::EffectFileValue f = TreeEffect("vfx/emit.vfxb", 2, 20);
        f.package.units[0].emitters = {emitter};
        f.package.units[1].loopStart = 2;
        f.package.units[1].loopEnd = 8;
        return f;
    }

    // Plays the effect and hangs an owner with unit 0's first emitter under
    // its root (lifetime `life`, 0 for endless). False when a step failed.
    bool Begin(const effecttools::EffectFileValue& f, float life = 0.0f) {
        if (!Start())
            return false;
        const FulgorCore::ObjectHandle h = Load(f);
        if (h.serial == 0)
            return false;
        instance = PlayAlone(h);
        Frame();
        root = Root(instance);
        if (!root)
            return false;
        startBlocks = UsedBlocks();
        owner = MakeOwner(life);
        return owner != nullptr;
    }

    // An owner of `life` frames (0: endless) with the emitter, added under
    // the root (its start runs the birth emissions).
    FakeOwner* MakeOwner(float life, uint32_t emitterIndex = 0) {
        FulgorCore::UnitInstance::InitialState state;
        state.parent = root;
        state.lifetime = life;
        state.timeMode =
            life > 0.0f ? FulgorCore::UnitInstance::kEndAtTime : FulgorCore::UnitInstance::kEndless;
        FakeOwner* o = FulgorCore::UnitInstance::Create<FakeOwner>(root, state);
        if (!o)
            return nullptr;
        o->emitter = FulgorCore::EmitterUnit::Create(o, Data(emitterIndex));
        root->AddChild(o);
        return o;
    }

    const FulgorCore::EmitterResource* Data(uint32_t index = 0) const {
        return root->package->GetUnit(0)->GetEmitterPart(index);
    }

    static constexpr uint32_t kUnitMemory = 16u << 20;

    FulgorCore::InstanceHandle instance{};
    FulgorCore::InstanceRootUnit* root = nullptr;
    FakeOwner* owner = nullptr;
    uint32_t startBlocks = 0;
};

} // namespace testsupport
