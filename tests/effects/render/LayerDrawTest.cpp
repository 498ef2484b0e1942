// Drawing a layer: which instances are drawn and in what order, the device
// calls of a whole layer, what an instance's extra units published going
// with its record, the four draw orders of a unit list, and a single
// instance's draw waiting for the host's jobs.
#include "support/effects/CallLogDevice.h"
#include "support/effects/EffectFiles.h"
#include "support/effects/EmitterRig.h"
#include "support/effects/RenderRig.h"
#include "support/effects/RuntimeFrame.h"
#include "support/effects/ThreadDispatcher.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineInternal.h"
#include "effects/render/Renderer.h"
#include "effects/units/ParticleExtraUnit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

namespace {

namespace Renderer = FulgorCore::Renderer;
using testsupport::CallLogDevice;
using testsupport::kIndexedBatchState;
using testsupport::kParticleBatchState;
using testsupport::PatternMarker;
using testsupport::PatternUnit;
using testsupport::RenderRig;

// A perspective camera whose clip z is the world z (an orthographic one
// would sort by the clip w).
constexpr float kPerspective[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0};

struct LayerInstance {
    char tag;
    uint32_t index;
    uint16_t order = 0; // sort priority
    float z = 0.0f;     // clip depth
    float alpha = 1.0f;
    uint16_t hidden = 0;
    uint16_t viewMask = 0xFFFF;
    uint32_t visibility = 0xFFFFFFFFu;
};

struct LayerRow {
    const char* name;
    bool depthSort;
    std::vector<LayerInstance> instances;
    const char* drawn;              // tags in the order drawn
    std::vector<std::string> calls; // when given, the whole device log
};

TEST(LayerDraw, InstancesAreFilteredAndDrawnBackToFront) {
    const LayerRow rows[] = {
        {"alpha 0.001 is not drawn, 0.0011 is",
         false,
         {{.tag = 'A', .index = 1, .alpha = 0.001f}, {.tag = 'B', .index = 2, .alpha = 0.0011f}},
         "B",
         {}},
        {"ties draw the higher index first",
         false,
         {{.tag = 'A', .index = 1}, {.tag = 'B', .index = 2}},
         "BA",
         {}},
        {"with depth sorting the farther draws first",
         true,
         {{.tag = 'A', .index = 2, .z = 1.0f}, {.tag = 'B', .index = 1, .z = 5.0f}},
         "BA",
         {}},
        {"without depth sorting depth plays no part",
         false,
         {{.tag = 'A', .index = 2, .z = 1.0f}, {.tag = 'B', .index = 1, .z = 5.0f}},
         "AB",
         {}},
        {"priority comes above depth",
         true,
         {{.tag = 'A', .index = 1, .order = 0}, {.tag = 'B', .index = 2, .order = 1, .z = 5.0f}},
         "AB",
         {}},
        {"a depth below -3000 wraps to the farthest",
         true,
         {{.tag = 'A', .index = 1, .z = -3001.0f}, {.tag = 'B', .index = 2}},
         "AB",
         {}},
        {"six instances draw by priority, then the higher index, each with its own units",
         false,
         {{.tag = 'A', .index = 1},
          {.tag = 'B', .index = 2, .order = 2},
          {.tag = 'C', .index = 3},
          {.tag = 'D', .index = 4, .order = 1},
          {.tag = 'E', .index = 5},
          {.tag = 'F', .index = 6}},
         "FECADB",
         {}},
        {"an empty list makes no call", false, {}, "", {}},
        {"hidden, out of the view, out of the visibility mask: begun and ended only",
         false,
         {{.tag = 'A', .index = 1, .hidden = 1},
          {.tag = 'B', .index = 2, .viewMask = 0xFFFE},
          {.tag = 'C', .index = 3, .visibility = 0}},
         "",
         {"ResetRenderState", "OnBatchesBegin 0", "OnBatchesEnd 0", "OnLayerEnd"}},
    };
    for (const LayerRow& row : rows) {
        SCOPED_TRACE(row.name);
        CallLogDevice device;
        RenderRig rig(device);
        ASSERT_TRUE(rig.Start());
        RenderRig::Engine()->layerDepthSort[0] = row.depthSort ? 1 : 0;
        rig.SetCamera(RenderRig::kIdentity, kPerspective);
        std::string trail;
        for (const LayerInstance& li : row.instances) {
            RenderRig::Instance& instance = rig.AddInstance(li.index);
            instance.slot->drawOrder = li.order;
            instance.slot->colour[3] = li.alpha;
            instance.slot->hidden = li.hidden;
            instance.slot->viewMask = li.viewMask;
            instance.slot->visibilityMask = li.visibility;
            instance.root->worldMatrix[11] = li.z;
            PatternUnit* u = rig.AddUnit(instance, static_cast<uint8_t>(li.tag));
            ASSERT_NE(u, nullptr);
            u->trail = &trail;
        }
        device.ClearLog();
        rig.DrawFrame();
        EXPECT_EQ(trail, row.drawn);
        if (!row.calls.empty() || row.instances.empty()) {
            EXPECT_EQ(device.calls, row.calls);
        }
    }
}

TEST(LayerDraw, ALayerOfTwoInstancesMakesTheseDeviceCalls) {
    CallLogDevice device;
    testsupport::FakeShader shaderA(nullptr);
    testsupport::FakeShader shaderB(nullptr);
    testsupport::FakeTexture texture(nullptr);
    device.Name(&shaderA, "sA");
    device.Name(&shaderB, "sB");
    device.Name(&texture, "tA");
    RenderRig rig(device);
    ASSERT_TRUE(rig.Start());
    RenderRig::Engine()->layerDepthSort[0] = 0;
    // A (the higher index, drawn first): an indexed band with the instance
    // lights; B: particles, its record's soft-particle distance negative.
    const float light[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    const float alphaMatrix[12] = {};
    const float alphaParameter[2] = {0.5f, 0.25f};
    RenderRig::Instance& a = rig.AddInstance(2);
    a.root->publishedDirection = light;
    a.root->publishedInverseMatrix = alphaMatrix;
    a.root->publishedRange = alphaParameter;
    PatternUnit* band = rig.AddUnit(a, 'A');
    band->unitShader = &shaderA;
    band->stateWord =
        kIndexedBatchState | (2u << 4) | (1u << 2) | 1u; // blend 2, cull 1, depth bit 0
    band->usedTextureMask = 0x01;
    band->textureBindings[0] = {&texture, 0x79};
    RenderRig::Instance& b = rig.AddInstance(1);
    b.slot->drawOffset = -2.0f;
    PatternUnit* particles = rig.AddUnit(b, 'B');
    particles->unitShader = &shaderB;
    particles->stride = 48;
    particles->stateWord = kParticleBatchState | (1u << 4);
    device.ClearLog();
    rig.DrawFrame();
    const std::vector<std::string> golden = {
        "ResetRenderState", "OnBatchesBegin 0", "SetTexture 8 null 0 2 2 0", "OnDrawPhase 0",
        // The scene's ambient colour, light direction and light colour,
        // three floats each.
        "VS 16 1 12", "VS 17 1 12", "VS 18 1 12", "PS 35 1 12", "PS 36 1 12", "PS 37 1 12",
        "PS 0 4 16",
        // A's record: matrix, root colour, screen, both lights.
        "OnDrawPhase 1", "VS 8 4 16", "VS 13 1 16", "PS 14 1 16", "VS 19 1 16", "VS 20 1 16",
        "PS 38 1 16", "PS 39 1 16", "PS 8 4 12", "PS 12 1 8", "OnDrawPhase 2", "SetShader sA",
        "SetVertexBuffer 0 vb0 0 36", "SetIndexBuffer ib0", "SetTexture 0 tA 1 2 3 1",
        "SetBlendMode 2 0", "SetDepthState 1 0 0", "SetCullMode 1", "DrawIndexed 1 0 6 4",
        // B's record, without lights; its batch follows A's in the pools.
        "OnDrawPhase 1", "VS 8 4 16", "VS 13 1 16", "PS 14 1 16", "OnDrawPhase 2", "SetShader sB",
        "SetVertexBuffer 0 vb0 144 48", "SetIndexBuffer ib0", "VS 12 1 16", "VS 0 3 12",
        "SetBlendMode 1 0", "SetDepthState 0 0 0", "SetCullMode 0", "DrawIndexed 1 6 6 4",
        "OnBatchesEnd 0", "OnLayerEnd"};
    EXPECT_EQ(device.calls, golden);
    // A register of a scene vector takes its three floats, never the next
    // vector's first.
    const CallLogDevice::Upload* ambient = device.LastUpload(false, 16);
    ASSERT_NE(ambient, nullptr);
    EXPECT_EQ(ambient->values, (std::vector<float>{0.2f, 0.3f, 0.4f, 0.0f}));
    const CallLogDevice::Upload* screen = device.LastUpload(true, 14);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->values[2], -2.0f);
    EXPECT_EQ(screen->values[3], 1.0f);
    ASSERT_EQ(device.decoded.size(), 2u);
    EXPECT_EQ(device.decoded[1][0], PatternMarker('B', 0));
}

// Units 0 and 1 carry an extra part of kind 1 and of kind 2 (start 2,
// end 5).
effecttools::EffectFileValue ExtraUnitEffect() {
    effecttools::EffectFileValue f = testsupport::TreeEffect("vfx/extra.vfxb", 2);
    effecttools::EffectPartValue facing;
    facing.kind = 1;
    f.package.units[0].effectPart = facing;
    effecttools::EffectPartValue range;
    range.kind = 2;
    range.innerRadius = effecttools::Constant(2.0f);
    range.outerRadius = effecttools::Constant(5.0f);
    f.package.units[1].effectPart = range;
    return f;
}

// What the extra units of an instance published in this frame's
// evaluation goes with its draw record: the kind-1 unit's direction and
// colour to vertex registers 19 and 20 and pixel registers 38 and 39, the
// kind-2 unit's owner's inverse matrix (rows of three) to pixel registers
// 8-11 and its start and range to pixel register 12. In a frame whose
// evaluation ran no extra unit nothing of them is uploaded.
TEST(LayerDraw, AnInstancesRecordCarriesWhatItsExtraUnitsPublishedThisFrame) {
    CallLogDevice device;
    RenderRig rig(device);
    ASSERT_TRUE(rig.Start());
    const FulgorCore::PackageResource* package = rig.Load(testsupport::Write(ExtraUnitEffect()));
    ASSERT_NE(package, nullptr);
    RenderRig::Instance& a = rig.AddInstance(1);
    rig.AddUnit(a, 'A');
    FulgorCore::UnitInstance::InitialState state;
    state.parent = a.root;
    state.timeMode = FulgorCore::UnitInstance::kEndless;
    // The kind-1 owner's third axis is (0, 0, 2), so its direction is
    // (0, 0, -1) to one Newton step; the kind-2 owner's inverse matrix has
    // a distinct value in every place.
    auto* facingOwner = FulgorCore::UnitInstance::Create<testsupport::FakeOwner>(a.root, state);
    auto* rangeOwner = FulgorCore::UnitInstance::Create<testsupport::FakeOwner>(a.root, state);
    ASSERT_TRUE(facingOwner && rangeOwner);
    facingOwner->matrix[8] = 2.0f;
    const float colour[4] = {0.25f, 0.5f, 0.75f, 0.125f};
    std::copy(colour, colour + 4, facingOwner->colour);
    for (int k = 0; k < 12; ++k)
        rangeOwner->inverse[k] = static_cast<float>(k + 1);
    FulgorCore::ParticleExtraUnit* facing =
        FulgorCore::ParticleExtraUnit::Create(facingOwner, package->GetUnit(0)->GetEffectPart(0));
    FulgorCore::ParticleExtraUnit* range =
        FulgorCore::ParticleExtraUnit::Create(rangeOwner, package->GetUnit(1)->GetEffectPart(0));
    ASSERT_TRUE(facing && range);

    struct Row {
        const char* name;
        bool ran;
    };
    for (const Row row : {Row{"the extra units ran", true}, Row{"no extra unit ran", false}}) {
        SCOPED_TRACE(row.name);
        a.root->Evaluate();
        if (row.ran) {
            facing->Update();
            range->Update();
        }
        device.ClearLog();
        rig.DrawFrame();
        const std::vector<std::string> record = device.From("OnDrawPhase 1");
        const std::vector<std::string> lights = {"VS 19 1 16", "VS 20 1 16", "PS 38 1 16",
                                                 "PS 39 1 16", "PS 8 4 12",  "PS 12 1 8"};
        for (const std::string& call : lights) {
            const bool made = std::find(record.begin(), record.end(), call) != record.end();
            EXPECT_EQ(made, row.ran) << call;
        }
        if (!row.ran)
            continue;
        const std::vector<float> direction = {0.0f, 0.0f, -0.998308122f, 0.0f};
        const std::vector<float> rgb = {0.25f, 0.5f, 0.75f, 0.0f};
        for (const auto& [pixel, first, expected] :
             {std::tuple{false, 19u, direction}, std::tuple{false, 20u, rgb},
              std::tuple{true, 38u, direction}, std::tuple{true, 39u, rgb}}) {
            const CallLogDevice::Upload* u = device.LastUpload(pixel, first);
            ASSERT_NE(u, nullptr) << first;
            ASSERT_EQ(u->values.size(), 4u) << first;
            for (size_t k = 0; k < 4; ++k)
                EXPECT_NEAR(u->values[k], expected[k], 1e-6f) << first << " " << k;
        }
        const CallLogDevice::Upload* matrix = device.LastUpload(true, 8);
        ASSERT_NE(matrix, nullptr);
        EXPECT_EQ(matrix->values,
                  (std::vector<float>{1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0}));
        const CallLogDevice::Upload* startAndRange = device.LastUpload(true, 12);
        ASSERT_NE(startAndRange, nullptr);
        EXPECT_EQ(startAndRange->values, (std::vector<float>{2.0f, 3.0f, 0.0f, 0.0f}));
    }
    delete facing;
    delete range;
    delete facingOwner;
    delete rangeOwner;
}

TEST(LayerDraw, TheFourDrawOrdersOfAUnitList) {
    struct OrderRow {
        const char* name;
        std::vector<float> keys; // as collected; each unit's tag is its key's digit
        const char* expected[Renderer::kDrawOrderCount];
    };
    const OrderRow rows[] = {
        {"a short list", {3.0f, 1.0f, 2.0f}, {"312", "213", "321", "123"}},
        {"a list longer than the units fetched ahead",
         {6.0f, 1.0f, 5.0f, 2.0f, 4.0f, 3.0f},
         {"615243", "342516", "654321", "123456"}},
    };
    for (const OrderRow& row : rows) {
        SCOPED_TRACE(row.name);
        CallLogDevice device;
        RenderRig rig(device);
        ASSERT_TRUE(rig.Start());
        RenderRig::Instance& instance = rig.AddInstance(1);
        std::string trail;
        for (const float key : row.keys)
            rig.AddUnit(instance, static_cast<uint8_t>('0' + key), 0, 0, key)->trail = &trail;
        for (uint32_t mode = 0; mode < Renderer::kDrawOrderCount; ++mode) {
            SCOPED_TRACE(mode);
            // The root's lists as collected; the sorted orders sort them in
            // place, so they come after the unsorted ones.
            instance.root->Collect();
            trail.clear();
            const FulgorCore::DrawLists& lists = *instance.root->drawLists;
            Renderer::kDrawOrders[mode](lists.fillCounts[0], lists.arrays[0]);
            EXPECT_EQ(trail, row.expected[mode]);
        }
    }
}

// With a host dispatcher that holds its jobs until asked to wait, a single
// instance's records run only after its draw commands wrote.
TEST(LayerDraw, ASingleInstanceWaitsForItsDrawCommands) {
    CallLogDevice device;
    RenderRig rig(device);
    // Gone before the rig: jobs it still holds run while their units live.
    testsupport::ThreadDispatcher dispatcher(2, true);
    rig.parameter.pJobDispatcher = &dispatcher;
    ASSERT_TRUE(rig.Start());
    const FulgorCore::ObjectHandle effect =
        testsupport::LoadEffect(testsupport::Write(testsupport::SmallEffect("vfx/one.vfxb", 0)));
    const FulgorCore::InstanceHandle handle =
        FulgorCore::Engine::CreateInstance(effect.index, effect.serial, nullptr);
    FulgorCore::InstanceSlot* slot = FulgorCore::Engine::FindInstance(handle.index, handle.serial);
    ASSERT_NE(slot, nullptr);
    RenderRig::Instance& drawn = rig.AddInstance(handle.index, 1);
    rig.AddUnit(drawn, 'A')->stateWord = kIndexedBatchState;
    slot->root = drawn.root;
    // Drawn only when evaluated in this frame's update, as the frame marks.
    slot->flags |= FulgorCore::InstanceSlot::kEvaluated;
    Renderer::ResetDrawState();
    Renderer::DrawInstance(handle.index, handle.serial);
    slot->root = nullptr;
    EXPECT_EQ(dispatcher.submitted, 1);
    ASSERT_EQ(device.decoded.size(), 1u);
    const std::vector<uint32_t> pattern = {PatternMarker('A', 0), PatternMarker('A', 1),
                                           PatternMarker('A', 2), PatternMarker('A', 3),
                                           PatternMarker('A', 0), PatternMarker('A', 1)};
    EXPECT_EQ(device.decoded[0], pattern);
    // A handle past the table draws nothing.
    device.ClearLog();
    Renderer::DrawInstance(rig.parameter.InstanceMaxCount, handle.serial);
    EXPECT_TRUE(device.calls.empty());
}

} // namespace
