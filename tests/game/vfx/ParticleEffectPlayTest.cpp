// A writer-made effect whose timeline starts a camera-bound carrier with a
// particle and a particle of its own plays 100 frames on a runtime of the
// game's sizes: the particles follow the camera and their carrier, every
// block comes back, and the game's random streams never move.
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/InstanceSlot.h"
#include "effects/Core/Memory/UnitInstancePool.h"
#include "effects/units/InstanceRootUnit.h"
#include "game/core/RandomManager.h"
#include "support/RandomStreamsCheck.h"
#include "support/effects/EffectFiles.h"
#include "support/effects/RuntimeFrame.h"
#include "support/effects/RuntimeStartup.h"
#include "support/effects/UnitTreeRig.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

namespace Engine = FulgorCore::Engine;
using FulgorCore::UnitInstance;

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

TEST(ParticleEffectPlay, ACameraBoundParticleEffectPlaysAndGivesEverythingBack) {
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
            testsupport::LoadEffect(testsupport::Write(CameraEffect()), &objects);
        ASSERT_NE(effect.serial, 0u);
        const FulgorCore::InstanceHandle h =
            Engine::CreateInstance(effect.index, effect.serial, &listener);
        Engine::PlayInstance(h.index, h.serial, 1.0f, 0);
        uint32_t most = 0;
        int kinds[6] = {};
        for (int frame = 0; frame < 100; ++frame) {
            testsupport::Frame();
            Engine::ResetDrawState();
            Engine::DrawLayer(0);
            const uint32_t used = Engine::GetUnitInstancePool().GetUsedCount();
            most = used > most ? used : most;
            const FulgorCore::InstanceSlot* slot = testsupport::Record(h);
            if (frame == 10 && slot && slot->root) {
                // The timeline, the carrier with its particle, the own
                // particle.
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
        EXPECT_FALSE(Engine::IsInstancePlaying(h.index, h.serial));
        Engine::KillInstance(h.index, h.serial);
        testsupport::Frame();
        Engine::ReleaseResource(effect.index, effect.serial);
        EXPECT_EQ(Engine::GetUnitInstancePool().GetUsedCount(), start);
    }
    streams.ExpectUnchanged();
    RandomManager::DestroyInstance();
}

} // namespace
