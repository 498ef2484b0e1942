// Writer-made effects played on a runtime of the game's sizes: what their
// units do, that every block comes back once they are killed and released,
// and that the game's random streams never move.
#include "effects/Core/Engine/DrawParameter.h"
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/InputEvent.h"
#include "effects/Core/Engine/InstanceSlot.h"
#include "effects/Core/Memory/UnitInstancePool.h"
#include "effects/units/InstanceRootUnit.h"
#include "game/core/RandomManager.h"
#include "support/RandomStreamsCheck.h"
#include "support/effects/EffectFiles.h"
#include "support/effects/EventTreeRig.h"
#include "support/effects/PointerRig.h"
#include "support/effects/RuntimeFrame.h"
#include "support/effects/RuntimeStartup.h"
#include "support/effects/UnitTreeRig.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

namespace Engine = FulgorCore::Engine;
using FulgorCore::UnitInstance;
using testsupport::EventBytes;
using testsupport::EventEntry;

class WrittenEffectPlay : public testing::Test {
protected:
    void SetUp() override {
        RandomManager::CreateInstance()->SeedFixed();
        streams.emplace(*RandomManager::GetInstance());
        ASSERT_TRUE(runtime.Start());
        start = Engine::GetUnitInstancePool().GetUsedCount();
    }
    void TearDown() override {
        Engine::Finalize();
        streams->ExpectUnchanged();
        RandomManager::DestroyInstance();
    }
    void Play(const effecttools::EffectFileValue& f) {
        effect = testsupport::LoadEffect(testsupport::Write(f), &objects);
        ASSERT_NE(effect.serial, 0u);
        played = Engine::CreateInstance(effect.index, effect.serial, &listener);
        Engine::PlayInstance(played.index, played.serial, 1.0f, 0);
    }
    // One frame with its draw settings, its layer 0 drawn; the most blocks
    // in use so far.
    void Frame(const float* view = testsupport::kIdentity44,
               const FulgorCore::DrawParameter* draw = nullptr) {
        testsupport::Frame(1.0f, view);
        if (draw)
            Engine::Draw(0, draw);
        Engine::ResetDrawState();
        Engine::DrawLayer(0);
        most = std::max(most, Engine::GetUnitInstancePool().GetUsedCount());
    }
    void KillAndRelease() {
        Engine::KillInstance(played.index, played.serial);
        testsupport::Frame();
        Engine::ReleaseResource(effect.index, effect.serial);
        EXPECT_EQ(Engine::GetUnitInstancePool().GetUsedCount(), start);
    }

    std::optional<testsupport::RandomStreamsCheck> streams;
    testsupport::FakeObjectListenner objects;
    testsupport::FakeInstanceListenner listener;
    testsupport::RuntimeStartup runtime;
    uint32_t start = 0;
    uint32_t most = 0;
    FulgorCore::ObjectHandle effect{};
    FulgorCore::InstanceHandle played{};
};

// Unit 0 takes events and the pointer and fades by distance; at its start
// it spawns a unit-1 child (1), morphs its scale to unit 2's (2, for 10
// frames), triggers its event 3 (4), which finishes its children (5 after),
// and finishes itself at 40. A 70-frame timeline starts unit 0 at 0, 5, 10.
effecttools::EffectFileValue EventEffect() {
    effecttools::EffectFileValue f = testsupport::TreeEffect("vfx/events.vfxb", 3, 0, true);
    effecttools::UnitValue& poster = f.package.units[0];
    poster.fields = {{"bECE", 1}, {"bPDf", 1}, {"bIEE", 1}};
    poster.distanceFade = effecttools::DistanceFadeValue{1, 2, 500, 600};
    poster.uic1 = std::vector<uint8_t>{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x40, 0, 0, 0, 0};
    poster.unitTimelines.resize(19);
    poster.unitTimelines[3].items = {EventBytes(5, EventEntry(3, 0, 1, 0))};
    FulgorCore::UnitTimelineResource::Item trigger = EventEntry(2, 0, 0, 3);
    trigger.bytes[8] = 1;
    poster.unitTimelines[18].items = {EventBytes(1, EventEntry(1, 0, 0, 1, {0, 2})),
                                      EventBytes(2, EventEntry(0, 0, 0, 2, {1, 0, 0, 0, 0}, 10)),
                                      EventBytes(4, trigger),
                                      EventBytes(40, EventEntry(3, 0, 0, 0))};
    f.package.units[1].life = 100;
    f.package.units[2].fields.push_back({"bPSc", 1});
    f.package.units[2].triples["Scl"] = {0, effecttools::Constant(3.0f),
                                         effecttools::Constant(3.0f), effecttools::Constant(3.0f)};
    const int16_t timeline = testsupport::AddTimeline(f, 70,
                                                      {testsupport::UnitItem(0, 0, 60, 3),
                                                       testsupport::UnitItem(0, 5, 60, 3),
                                                       testsupport::UnitItem(0, 10, 60, 3)});
    f.package.assignments.push_back({timeline, std::nullopt});
    return f;
}

// Posting every action, fading by distance and taking the pointer, with
// pointer calls every frame.
TEST_F(WrittenEffectPlay, UnitEventsAndThePointerAct) {
    Play(EventEffect());
    Engine::SetPointerView(0, 100.0f);
    const float view[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -10, 1};
    const FulgorCore::DrawParameter draw = testsupport::ScreenDraw(view, testsupport::kIdentity44);
    uint32_t picked = 0;
    for (int frame = 0; frame < 100; ++frame) {
        testsupport::PointerRig::Point(0.5f, 0.5f);
        testsupport::PointerRig::Command(frame % 2 == 0 ? 0u : 1u);
        Frame(view, &draw);
        picked = std::max(picked, Engine::GetWorkData()->frameListCount.load());
    }
    // Three particles, each with a child, their event blocks and schedules
    // at the most.
    EXPECT_GE(most, start + 10);
    EXPECT_EQ(picked, 3u);
    // Each poster's start (18) and trigger (3) reached the listener once.
    uint32_t starts = 0;
    uint32_t triggers = 0;
    for (const auto& [event, value] : listener.unitEvents) {
        starts += event == 18 ? 1 : 0;
        triggers += event == 3 ? 1 : 0;
    }
    EXPECT_EQ(starts, 3u);
    EXPECT_EQ(triggers, 3u);
    KillAndRelease();
    EXPECT_EQ(Engine::GetWorkData()->pressedUnit, nullptr);
    EXPECT_EQ(Engine::GetWorkData()->hoveredUnit, nullptr);
}

// Unit 0: a particle of 30 frames; unit 1: a particle of 40 frames with an
// animated position. Timeline 0 (70 frames) starts unit 0 on a carrier
// bound to the camera at frame 0 and unit 1 on its own at frame 5.
effecttools::EffectFileValue CameraEffect() {
    effecttools::EffectFileValue f = testsupport::TreeEffect("vfx/camera.vfxb", 0, 60, true);
    effecttools::UnitValue carried;
    carried.life = 30;
    f.package.units.push_back(carried);
    effecttools::UnitValue own;
    own.life = 40;
    effecttools::EasingValue rise;
    rise.timeLength = 40.0f;
    rise.endValue = 8.0f;
    own.fields.push_back({"bPPo", 1});
    own.triples["Pos"] = {0, effecttools::Constant(0.0f), rise, effecttools::Constant(0.0f)};
    f.package.units.push_back(own);
    effecttools::BindValue camera;
    camera.mode = 0;
    camera.brtt = 0;
    camera.bstt = 0;
    camera.life = 60;
    camera.first = effecttools::AttachPointValue{};
    camera.first->targetType = 2;
    f.package.binds.push_back(camera);
    const int16_t timeline = testsupport::AddTimeline(
        f, 70, {testsupport::UnitItem(0, 0, 30, 0, 0), testsupport::UnitItem(1, 5, 45)});
    f.package.assignments.push_back({timeline, std::nullopt});
    return f;
}

// The particles follow the camera and their carrier.
TEST_F(WrittenEffectPlay, ACameraBoundParticleEffectPlays) {
    Play(CameraEffect());
    int kinds[6] = {};
    for (int frame = 0; frame < 100; ++frame) {
        Frame();
        const FulgorCore::InstanceSlot* slot = testsupport::Record(played);
        if (frame == 10 && slot && slot->root) {
            // The timeline, the carrier with its particle, the own particle.
            for (const UnitInstance* t : testsupport::Children(slot->root))
                for (const UnitInstance* u : testsupport::Children(t)) {
                    ++kinds[u->GetKind()];
                    for (const UnitInstance* c : testsupport::Children(u))
                        ++kinds[c->GetKind()];
                }
        }
    }
    EXPECT_EQ(kinds[UnitInstance::kParticleSystem], 1);
    EXPECT_EQ(kinds[UnitInstance::kParticleNode], 2);
    // Root, its draw lists, timeline, carrier, two particles with their
    // transform blocks.
    EXPECT_GE(most, start + 8);
    EXPECT_FALSE(Engine::IsInstancePlaying(played.index, played.serial));
    KillAndRelease();
}

} // namespace
