// The effects renderer under test: a runtime started over a given device,
// instance records of the rig's own in the layers' lists, each with a test
// root whose draw lists the test fills, and a test draw unit that reserves
// chosen counts under a chosen state and whose command writes a pattern
// the draws can be decoded by.
#pragma once

#include "support/effects/CountingAllocator.h"
#include "support/effects/FakeListeners.h"
#include "support/effects/LargePageMemory.h"
#include "support/effects/RuntimeFrame.h"
#include "support/effects/StandInParticle.h"

#include "effects/Core/Engine/DrawParameter.h"
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/InitializeParameter.h"
#include "effects/Core/Engine/InstanceSlot.h"
#include "effects/Core/Engine/ObjectSlot.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/drawunits/DrawCommand.h"
#include "effects/drawunits/DrawRenderer.h"
#include "effects/drawunits/DrawUnit.h"
#include "effects/render/Renderer.h"
#include "effects/units/DrawLists.h"
#include "effects/units/InstanceRootUnit.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

namespace testsupport {

// State words by the batch kind of bits 7-10.
constexpr uint32_t kVertexBatchState = 1u << 7;
constexpr uint32_t kParticleBatchState = 2u << 7;
constexpr uint32_t kIndexedBatchState = 3u << 7;

// The first four bytes of every vertex a pattern unit writes.
constexpr uint32_t PatternMarker(uint8_t tag, uint32_t vertex) {
    return (uint32_t{tag} << 16) | vertex;
}

// A draw unit that reserves `vertexCount` vertices of `stride` bytes and
// `indexCount` indices under its state (stride 32 without indices through
// the unindexed reservation), or runs `issue` instead. Its command writes
// index i as base + i % vertexCount, and fills each vertex with its tag
// after the marker PatternMarker(tag, vertex).
class PatternUnit : public FulgorCore::DrawUnit {
public:
    PatternUnit(FulgorCore::ParticleInstance* owner, const FulgorCore::ParticleResource* data,
                uint8_t unitTag)
        : DrawUnit(owner, data), tag(unitTag), command(this) {}
    void Update(const FulgorCore::DrawClock&) override {}
    void Draw() override {
        if (trail)
            trail->push_back(static_cast<char>(tag));
        if (issue) {
            issue(*this);
            return;
        }
        FulgorCore::DrawRenderer& r = FulgorCore::DrawRenderer::Current();
        // Reserved straight into the command, which keeps the room.
        FulgorCore::DrawPayload& p = command.payload;
        const FulgorCore::TextureSlot* slots = noTable ? nullptr : textureBindings;
        if (!indexed) {
            reserved = r.reserveVerticesNoIndex32(unitShader, &stateWord, slots, usedTextureMask,
                                                  &p.vertices, vertexCount);
        } else {
            const FulgorCore::DrawRenderer::Reserve reserve = stride == 32   ? r.reserveVertices32
                                                              : stride == 44 ? r.reserveVertices44
                                                              : stride == 48 ? r.reserveVertices48
                                                              : stride == 52 ? r.reserveVertices52
                                                                             : r.reserveVertices;
            reserved = reserve(unitShader, &stateWord, slots, usedTextureMask, &p.vertices,
                               vertexCount, &p.indices, &p.firstVertex, indexCount);
        }
        if (!reserved)
            return;
        base = p.firstVertex;
        command.geometry = WritePattern;
        r.submit(&command);
    }

    uint8_t tag;
    uint32_t stride = 36;
    bool indexed = true;
    bool noTable = false;
    uint32_t vertexCount = 4;
    uint32_t indexCount = 6;
    // Set by each draw.
    bool reserved = false;
    uint16_t base = 0;
    // Each draw appends the tag here, when set.
    std::string* trail = nullptr;
    void (*issue)(PatternUnit& unit) = nullptr;

private:
    static void WritePattern(FulgorCore::DrawUnit* drawUnit, const FulgorCore::DrawPayload& p) {
        const auto& u = static_cast<const PatternUnit&>(*drawUnit);
        const uint8_t tag = u.tag;
        const uint32_t stride = u.stride;
        const uint32_t vertexCount = u.vertexCount;
        const uint32_t indexCount = p.indices ? u.indexCount : 0;
        for (uint32_t i = 0, k = 0; i < indexCount; ++i, k = k + 1 < vertexCount ? k + 1 : 0)
            p.indices[i] = static_cast<uint16_t>(p.firstVertex + k);
        auto* v = static_cast<uint8_t*>(p.vertices);
        // The strides the renderer reserves, each written with its size
        // known, as a real unit's vertex format is.
        switch (stride) {
        case 32:
            return WriteVertices<32>(v, tag, vertexCount);
        case 36:
            return WriteVertices<36>(v, tag, vertexCount);
        case 44:
            return WriteVertices<44>(v, tag, vertexCount);
        case 48:
            return WriteVertices<48>(v, tag, vertexCount);
        case 52:
            return WriteVertices<52>(v, tag, vertexCount);
        default:
            for (uint32_t k = 0; k < vertexCount; ++k, v += stride)
                WriteVertex(v, tag, k, stride);
        }
    }
    static void WriteVertex(uint8_t* v, uint8_t tag, uint32_t k, uint32_t stride) {
        std::memset(v, tag, stride);
        const uint32_t marker = PatternMarker(tag, k);
        std::memcpy(v, &marker, 4);
    }
    template <uint32_t Stride>
    static void WriteVertices(uint8_t* v, uint8_t tag, uint32_t vertexCount) {
        for (uint32_t k = 0; k < vertexCount; ++k, v += Stride)
            WriteVertex(v, tag, k, Stride);
    }

    FulgorCore::DrawCommand command;
};

// A root unit whose collect pass hands its draw order the lists the test
// filled, kept in the root's own block (each list's entries together), as
// a unit tree's would be near its root.
class TestRoot : public FulgorCore::InstanceRootUnit {
public:
    static constexpr uint32_t kCapacity = 24;
    static constexpr uint32_t kLists =
        FulgorCore::DrawLists::kCategories * FulgorCore::DrawLists::kLists;

    TestRoot(const InitialState& start, const float* matrix)
        : InstanceRootUnit(nullptr, start, nullptr, matrix, 1, 0) {}
    // Only the lists that hold entries: the others' fill counts are zero
    // from the collect pass, so their arrays are never read.
    void Collect() override {
        if (!drawLists)
            return;
        for (uint32_t used = used_; used; used &= used - 1) {
            const uint32_t n = static_cast<uint32_t>(__builtin_ctz(used));
            const uint32_t category = n / FulgorCore::DrawLists::kLists;
            const uint32_t list = n % FulgorCore::DrawLists::kLists;
            drawLists->fillCounts[category][list] = counts_[n];
            drawLists->arrays[category][list] = entries_ + first_[n];
        }
    }
    // False when the root holds kCapacity entries already.
    bool Add(uint32_t category, uint32_t list, FulgorCore::DrawListEntry entry) {
        const uint32_t n = category * FulgorCore::DrawLists::kLists + list;
        if (total_ == kCapacity || n >= kLists)
            return false;
        const uint32_t end = first_[n] + counts_[n];
        for (uint32_t i = total_; i > end; --i)
            entries_[i] = entries_[i - 1];
        entries_[end] = entry;
        ++counts_[n];
        ++total_;
        used_ |= 1u << n;
        for (uint32_t i = n + 1; i < kLists; ++i)
            ++first_[i];
        return true;
    }

private:
    // What the collect pass reads, then the entries it points at.
    uint32_t used_ = 0; // bit n: list n holds entries
    uint8_t counts_[kLists] = {};
    uint8_t first_[kLists] = {};
    uint32_t total_ = 0;
    FulgorCore::DrawListEntry entries_[kCapacity] = {};
};

class RenderRig {
public:
    // One of the rig's instances: its record (kept with the others, as in
    // the runtime's table), its root and its units.
    struct Instance {
        FulgorCore::InstanceSlot* slot = nullptr;
        TestRoot* root = nullptr;
        std::vector<FulgorCore::DrawUnit*> units;
    };

    explicit RenderRig(FulgorCore::IDevice& device, uint32_t instances = 16,
                       uint32_t recordBytes = 65536)
        : units_(UnitBytes(instances)) {
        CountingAllocator::Reset();
        FulgorCore::InitializeParameter& p = parameter;
        cache_.resize(65536);
        records.resize(recordBytes + 8);
        slots_.reserve(instances);
        // The pool's blocks start on pages, so on cache lines: a unit's
        // first line is whole.
        p.UnitInstanceMemory = units_.data();
        p.UnitInstanceMemorySize = units_.data() ? UnitBytes(instances) : 0;
        p.CacheBufferMemory = cache_.data();
        p.CacheBufferMemorySize = static_cast<uint32_t>(cache_.size());
        p.RenderCommandBufferMemory = records.data();
        p.RenderCommandBufferMemorySize = recordBytes;
        p.pDevice = &device;
        p.pLightListenner = &light_;
        p.ObjectMaxCount = 1;
        p.InstanceMaxCount = instances;
        p.VertexBufferTotalSize = 1048576;
        p.IndexBufferTotalSize = 131072;
        p.EngineInitializeParameter.pAllocator_Alloc = CountingAllocator::Alloc;
        p.EngineInitializeParameter.pAllocator_Free = CountingAllocator::Free;
    }
    ~RenderRig() {
        for (Instance& i : instances_) {
            for (FulgorCore::DrawUnit* u : i.units)
                delete u;
            delete i.root;
        }
        delete owner_;
        delete ownerRoot_;
        if (loaded_)
            FulgorCore::Engine::ReleaseResource(effect_.index, effect_.serial);
        FulgorCore::Engine::Finalize();
    }
    RenderRig(const RenderRig&) = delete;
    RenderRig& operator=(const RenderRig&) = delete;

    // Starts the runtime and makes the particle the units hang from; the
    // camera is the identity.
    bool Start() {
        if (!FulgorCore::Engine::Initialize(&parameter))
            return false;
        ownerRoot_ = MakeRoot();
        FulgorCore::UnitInstance::InitialState state;
        state.parent = ownerRoot_;
        state.timeMode = FulgorCore::UnitInstance::kEndless;
        owner_ = ownerRoot_ ? StandInParticle(ownerRoot_, state) : nullptr;
        SetCamera(kIdentity, kIdentity);
        return owner_ != nullptr;
    }

    void SetCamera(const float* view, const float* projection) {
        FulgorCore::DrawParameter p = ScreenDraw(view, projection);
        const float ambient[3] = {0.2f, 0.3f, 0.4f};
        const float lighting[6] = {0.6f, 0.0f, -0.8f, 1.0f, 0.5f, 0.25f};
        std::memcpy(p.ambientColour, ambient, sizeof ambient);
        std::memcpy(p.lighting, lighting, sizeof lighting);
        FulgorCore::Engine::Draw(0, &p);
    }

    // A shown, opaque instance of index `index` at the origin, listed in
    // `layer`; at most as many as the rig was made for.
    Instance& AddInstance(uint32_t index, uint32_t layer = 0) {
        Instance& i = instances_.emplace_back();
        i.root = MakeRoot();
        i.slot = &slots_.emplace_back();
        FulgorCore::InstanceSlot& s = *i.slot;
        s.index = index;
        s.serial = 1;
        s.layer = static_cast<uint8_t>(layer);
        s.viewMask = 0xFFFF;
        s.visibilityMask = 0xFFFFFFFFu;
        for (float& c : s.colour)
            c = 1.0f;
        s.root = i.root;
        FulgorCore::EngineWorkData::InstanceList& list = Engine()->layers[layer];
        list.instances[list.count++] = &s;
        return i;
    }
    // A pattern unit in list `list` of the instance's category `category`.
    PatternUnit* AddUnit(Instance& instance, uint8_t tag, uint32_t category = 0, uint32_t list = 0,
                         float key = 0.0f) {
        auto* u = FulgorCore::DrawUnit::Create<PatternUnit>(owner_, &data_, tag);
        if (!u)
            return nullptr;
        instance.units.push_back(u);
        if (!instance.root || !instance.root->Add(category, list, {u, key}))
            return nullptr;
        return u;
    }

    // A draw unit of the test's, made on the rig's particle (Owner()), kept
    // by the instance (deleted with the rig) and listed as AddUnit lists;
    // null when the root's lists are full.
    template <class T>
    T* AddDrawUnit(Instance& instance, T* unit, uint32_t category = 0, uint32_t list = 0,
                   float key = 0.0f) {
        if (!unit)
            return nullptr;
        instance.units.push_back(unit);
        return instance.root && instance.root->Add(category, list, {unit, key}) ? unit : nullptr;
    }
    FulgorCore::ParticleInstance* Owner() const { return owner_; }
    // Loads an effect file (the rig holds one) and answers its package;
    // null when it does not load.
    const FulgorCore::PackageResource* Load(const std::vector<uint8_t>& image) {
        effect_ = FulgorCore::Engine::LoadResource(image.data(),
                                                   static_cast<uint32_t>(image.size()), nullptr);
        FulgorCore::EngineWorkData* work = Engine();
        loaded_ = work && effect_.index < work->parameter.ObjectMaxCount
                      ? work->objects.base[effect_.index].package
                      : nullptr;
        return loaded_;
    }
    // The data of the pattern units: no draw type, no texture.
    const FulgorCore::ParticleResource* PlainData() const { return &data_; }

    // One frame's drawing of a layer: the pools rewound, the layer drawn.
    void DrawFrame(uint32_t layer = 0) {
        FulgorCore::Renderer::ResetDrawState();
        FulgorCore::Renderer::DrawLayer(layer, 0);
    }

    static FulgorCore::EngineWorkData* Engine() { return FulgorCore::Engine::GetWorkData(); }

    static constexpr float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    FulgorCore::InitializeParameter parameter{};
    std::vector<uint8_t> records;

private:
    TestRoot* MakeRoot() {
        static constexpr float kIdentity34[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
        FulgorCore::UnitInstance::InitialState state;
        state.timeMode = FulgorCore::UnitInstance::kEndless;
        return FulgorCore::UnitInstance::Create<TestRoot>(state, kIdentity34);
    }

    static uint32_t UnitBytes(uint32_t instances) {
        return instances * 12 * FulgorCore::kUnitBlockStride + 262144;
    }

    FakeLightListenner light_;
    LargePageMemory units_;
    std::vector<uint8_t> cache_;
    FulgorCore::ParticleResource data_;
    std::deque<Instance> instances_;
    std::vector<FulgorCore::InstanceSlot> slots_; // never grows past its reserve
    TestRoot* ownerRoot_ = nullptr;
    FulgorCore::ParticleInstance* owner_ = nullptr;
    FulgorCore::ObjectHandle effect_{};
    const FulgorCore::PackageResource* loaded_ = nullptr;
};

} // namespace testsupport
