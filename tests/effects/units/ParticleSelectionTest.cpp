// What a particle's data selects at construction: the transform-track
// evaluator of its animated groups (and the groups it writes from time zero
// on), the axis, lag, listener, pointer and shared-block members of its
// flags, and the world-matrix thunk that reaches a unit's own getter.
#include "effects/Core/Resource/PackageResource.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstance.h"
#include "effects/units/UnitCreators.h"
#include "support/effects/UnitTreeRig.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

using FulgorCore::ParticleInstance;

// Tracks 0-2 scale, 3-5 rotation, 6-8 translation; track i holds the
// constant 10 + i over the unit's life.
std::vector<effecttools::AnimationItem> Animation(bool s, bool r, bool t) {
    static const char* const kTracks[9] = {"SclX", "SclY", "SclZ", "RotX", "RotY",
                                           "RotZ", "TraX", "TraY", "TraZ"};
    std::vector<effecttools::AnimationItem> items = {{"Leng", 100.0f, 0, {}},
                                                     {"Scal", 1.0f, s ? 1u : 0u, {}},
                                                     {"Rota", 1.0f, r ? 1u : 0u, {}},
                                                     {"Tran", 1.0f, t ? 1u : 0u, {}}};
    for (int i = 0; i < 9; ++i) {
        const float v = 10.0f + static_cast<float>(i);
        items.push_back({kTracks[i], 1.0f, 0, {{0, v}, {10000, v}}});
    }
    return items;
}

// Plays `f` on the built-in creators; its root, or null.
FulgorCore::InstanceRootUnit* Play(testsupport::UnitTreeRig& rig,
                                   const effecttools::EffectFileValue& f) {
    if (!rig.Start())
        return nullptr;
    FulgorCore::UnitCreators::Current() = FulgorCore::UnitCreators::kBuiltIn;
    return rig.PlayRoot(f);
}

// A particle of unit `unit` at the origin under the root.
ParticleInstance* Spawn(FulgorCore::InstanceRootUnit* root, uint32_t unit) {
    const float at[3] = {0.0f, 0.0f, 0.0f};
    ParticleInstance* p =
        root->SpawnParticleInstance(root, root->package->GetUnit(unit), at, 50.0f, 1.0f);
    if (p)
        root->AddChild(p);
    return p;
}

TEST(TransformTracks, TheAnimatedGroupsSelectTheirEvaluator) {
    struct Case {
        const char* name;
        bool s, r, t;
        ParticleInstance::FrameMember expected;
    };
    const Case cases[] = {
        {"scale, rotation, translation", true, true, true, ParticleInstance::EvaluateTracksSRT},
        {"scale, rotation", true, true, false, ParticleInstance::EvaluateTracksSR},
        {"scale, translation", true, false, true, ParticleInstance::EvaluateTracksST},
        {"scale", true, false, false, ParticleInstance::EvaluateTracksS},
        {"rotation, translation", false, true, true, ParticleInstance::EvaluateTracksRT},
        {"rotation", false, true, false, ParticleInstance::EvaluateTracksR},
        {"translation", false, false, true, ParticleInstance::EvaluateTracksT},
        {"none", false, false, false, ParticleInstance::NoOpWithArgument},
    };
    effecttools::EffectFileValue f = testsupport::TreeEffect("vfx/tracks.vfxb", 1, 100);
    for (const Case& c : cases) {
        effecttools::UnitValue unit;
        unit.life = 100;
        unit.animation = Animation(c.s, c.r, c.t);
        f.package.units.push_back(unit);
    }
    testsupport::UnitTreeRig rig;
    FulgorCore::InstanceRootUnit* root = Play(rig, f);
    ASSERT_NE(root, nullptr);
    for (uint32_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        ParticleInstance* p = Spawn(root, i + 1);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->transformTracksMember, c.expected);
        // From the time-zero evaluation on, only the animated groups hold
        // their tracks; the others keep (1, 1, 1), no turn and the origin.
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(p->scale[k], c.s ? 10.0f + k : 1.0f) << k;
            EXPECT_EQ(p->rotation[k], c.r ? 13.0f + k : 0.0f) << k;
            EXPECT_EQ(p->position[k], c.t ? 16.0f + k : 0.0f) << k;
        }
    }
    // A unit without an "Anim" part plays no tracks.
    ParticleInstance* plain = Spawn(root, 0);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->transformTracksMember, ParticleInstance::NoOpWithArgument);
    // The thunk reaches the particle's own current matrix, not the base's.
    EXPECT_EQ(FulgorCore::UnitInstance::GetWorldMatrixThunk(plain), plain->currentWorldMatrix);
    EXPECT_EQ(FulgorCore::UnitInstance::GetWorldMatrixThunk(root), root->GetWorldMatrix());
    EXPECT_EQ(rig.Release(), 0u);
}

TEST(ParticleSelection, DataFlagsSelectTheirMembers) {
    using P = ParticleInstance;
    struct Case {
        const char* name;
        std::vector<effecttools::FieldValue> fields;
        std::optional<effecttools::FloatValue> lag;
        std::function<bool(const P*)> selected;
    };
    const Case cases[] = {
        {"BAxs 0: X and the YZ plane",
         {{"BAxs", 0}},
         {},
         [](const P* p) {
             return p->axisMember == P::GetAxisX && p->planeScaleMember == P::GetPlaneScaleYZ;
         }},
        {"BAxs 1: Y and the XZ plane",
         {{"BAxs", 1}},
         {},
         [](const P* p) {
             return p->axisMember == P::GetAxisY && p->planeScaleMember == P::GetPlaneScaleXZ;
         }},
        {"BAxs 2: Z and the XY plane",
         {{"BAxs", 2}},
         {},
         [](const P* p) {
             return p->axisMember == P::GetAxisZ && p->planeScaleMember == P::GetPlaneScaleXY;
         }},
        {"BAxs 3: no axis and the XY plane",
         {{"BAxs", 3}},
         {},
         [](const P* p) {
             return p->axisMember == P::GetDefaultAxis && p->planeScaleMember == P::GetPlaneScaleXY;
         }},
        {"bPFc lags",
         {{"bPFc", 1}},
         effecttools::Constant(0.5f),
         [](const P* p) { return p->interpolateMember == P::InterpolatePosition; }},
        {"bPFc with a lag of constant 1 does not",
         {{"bPFc", 1}},
         effecttools::Constant(1.0f),
         [](const P* p) { return p->interpolateMember == P::NoOpWithArgument; }},
        {"a lag without bPFc does not",
         {},
         effecttools::Constant(0.5f),
         [](const P* p) { return p->interpolateMember == P::NoOpWithArgument; }},
        {"bFGr tells the listener",
         {{"bFGr", 1}},
         {},
         [](const P* p) { return p->notifyPositionMember == P::NotifyListenerPosition; }},
        {"bIEE is a pointer target",
         {{"bIEE", 1}},
         {},
         [](const P* p) { return p->frameListMember == P::PushFrameList; }},
        {"bSPT has its own shared block",
         {{"bSPT", 1}},
         {},
         [](const P* p) {
             return p->sharedBlockMember == P::GetOwnSharedBlock &&
                    p->transformBlock->ownSharedBlock != nullptr;
         }},
        {"none of them",
         {},
         {},
         [](const P* p) {
             return p->interpolateMember == P::NoOpWithArgument &&
                    p->notifyPositionMember == P::NoOpPlain && p->frameListMember == P::NoOpPlain &&
                    p->sharedBlockMember == P::GetSharedBlockFromOwner;
         }},
    };
    effecttools::EffectFileValue f = testsupport::TreeEffect("vfx/flags.vfxb", 0, 100);
    f.package.fields.push_back({"PCo1", 1}); // the instance shares a block
    for (const Case& c : cases) {
        effecttools::UnitValue unit;
        unit.life = 100;
        unit.fields = c.fields;
        unit.fuCt = c.lag;
        f.package.units.push_back(unit);
    }
    testsupport::UnitTreeRig rig;
    FulgorCore::InstanceRootUnit* root = Play(rig, f);
    ASSERT_NE(root, nullptr);
    for (uint32_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].name);
        ParticleInstance* p = Spawn(root, i);
        ASSERT_NE(p, nullptr);
        EXPECT_TRUE(cases[i].selected(p));
    }
    EXPECT_EQ(rig.Release(), 0u);
}

// A share flag takes the property from the unit "RUNo" names; a negative
// number, or one naming no unit of the package, keeps the unit's own.
TEST(ParticleSelection, SharedPropertiesComeFromTheNamedUnit) {
    struct Case {
        const char* name;
        int8_t shared;
        uint32_t shareScale;
        float scale;
    };
    const Case cases[] = {
        {"shared with unit 0", 0, 1, 3.0f},
        {"the flag without a unit", -1, 1, 2.0f},
        {"a number past the units", 90, 1, 2.0f},
        {"a unit without the flag", 0, 0, 2.0f},
    };
    const auto uniform = [](float v) {
        return effecttools::TripleValue{0, effecttools::Constant(v), effecttools::Constant(v),
                                        effecttools::Constant(v)};
    };
    effecttools::EffectFileValue f = testsupport::TreeEffect("vfx/shared.vfxb", 1, 100);
    f.package.units[0].triples["Scl"] = uniform(3.0f);
    for (const Case& c : cases) {
        effecttools::UnitValue unit;
        unit.life = 100;
        unit.triples["Scl"] = uniform(2.0f);
        unit.resetNumber = c.shared;
        unit.fields = {{"bPSc", 1}, {"RUSc", c.shareScale}};
        f.package.units.push_back(unit);
    }
    testsupport::UnitTreeRig rig;
    FulgorCore::InstanceRootUnit* root = Play(rig, f);
    ASSERT_NE(root, nullptr);
    for (uint32_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].name);
        ParticleInstance* p = Spawn(root, i + 1);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->scale[0], cases[i].scale);
        EXPECT_EQ(p->scale[2], cases[i].scale);
    }
    EXPECT_EQ(rig.Release(), 0u);
}

} // namespace
