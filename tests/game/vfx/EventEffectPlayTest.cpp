// A writer-made effect whose particles post unit events of every action
// (a child particle, a track morph, a triggered event, a finish), fade by
// distance and take the pointer plays 100 frames with pointer calls: its
// events act, every block comes back, and the game's random streams never
// move.
#include "effects/Core/Engine/DrawParameter.h"
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/InputEvent.h"
#include "effects/Core/Memory/UnitInstancePool.h"
#include "game/core/RandomManager.h"
#include "support/RandomStreamsCheck.h"
#include "support/effects/EffectFiles.h"
#include "support/effects/EventTreeRig.h"
#include "support/effects/PointerRig.h"
#include "support/effects/RuntimeFrame.h"
#include "support/effects/RuntimeStartup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

namespace Engine = FulgorCore::Engine;
using testsupport::EventBytes;
using testsupport::EventEntry;

// Unit 0 takes events and the pointer and fades by distance; at its start
// it spawns a unit-1 child (1), morphs its scale to unit 2's (2, for 10
// frames), triggers its event 3 (4), which finishes its children (5 after),
// and finishes itself at 40. A 70-frame timeline starts unit 0 at 0, 5, 10.
effecttools::EffectFileValue EventEffect() {
    effecttools::EffectFileValue f = testsupport::TreeEffect("vfx/events.vfxb", 3, 0, true);
    effecttools::UnitValue& poster = f.package.units[0];
    poster.fields = {{"bECE", 1}, {"bPDf", 1}};
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
    f.package.units[2].triples["Scl"] = {0, effecttools::Constant(3.0f),
                                         effecttools::Constant(3.0f), effecttools::Constant(3.0f)};
    const int16_t timeline = testsupport::AddTimeline(f, 70,
                                                      {testsupport::UnitItem(0, 0, 60, 3),
                                                       testsupport::UnitItem(0, 5, 60, 3),
                                                       testsupport::UnitItem(0, 10, 60, 3)});
    f.package.assignments.push_back({timeline, std::nullopt});
    return f;
}

TEST(EventEffectPlay, UnitEventsAndThePointerActAndGiveEverythingBack) {
    RandomManager* random = RandomManager::CreateInstance();
    random->SeedFixed();
    const testsupport::RandomStreamsCheck streams(*random);
    {
        testsupport::FakeObjectListenner objects;
        testsupport::FakeInstanceListenner listener;
        testsupport::RuntimeStartup runtime;
        ASSERT_TRUE(runtime.Start());
        const uint32_t start = Engine::GetUnitInstancePool().GetUsedCount();
        const FulgorCore::ObjectHandle effect =
            testsupport::LoadEffect(testsupport::Write(EventEffect()), &objects);
        ASSERT_NE(effect.serial, 0u);
        const FulgorCore::InstanceHandle h =
            Engine::CreateInstance(effect.index, effect.serial, &listener);
        Engine::PlayInstance(h.index, h.serial, 1.0f, 0);
        Engine::SetPointerView(0, 100.0f);
        const float view[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -10, 1};
        const FulgorCore::DrawParameter draw =
            testsupport::ScreenDraw(view, testsupport::kIdentity44);
        uint32_t most = 0;
        uint32_t picked = 0;
        for (int frame = 0; frame < 100; ++frame) {
            testsupport::PointerRig::Point(0.5f, 0.5f);
            testsupport::PointerRig::Command(frame % 2 == 0 ? 0u : 1u);
            testsupport::Frame(1.0f, view);
            Engine::Draw(0, &draw);
            Engine::ResetDrawState();
            Engine::DrawLayer(0);
            most = std::max(most, Engine::GetUnitInstancePool().GetUsedCount());
            picked = std::max(picked, Engine::GetWorkData()->frameListCount.load());
        }
        // Three particles, each with a child, their event blocks and
        // schedules at the most.
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
        Engine::KillInstance(h.index, h.serial);
        testsupport::Frame();
        EXPECT_EQ(Engine::GetWorkData()->pressedUnit, nullptr);
        EXPECT_EQ(Engine::GetWorkData()->hoveredUnit, nullptr);
        Engine::ReleaseResource(effect.index, effect.serial);
        EXPECT_EQ(Engine::GetUnitInstancePool().GetUsedCount(), start);
    }
    streams.ExpectUnchanged();
    RandomManager::DestroyInstance();
}

} // namespace
