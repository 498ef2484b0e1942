// The host's three listeners: the answer of every slot, the instance
// listener's owner, and the object listener's count.
#include "support/effects/EffectFiles.h"
#include "support/vfx/VfxControllerRig.h"

#include "game/vfx/VfxData.h"
#include "game/vfx/VfxInstanceListenner.h"
#include "game/vfx/VfxLightListenner.h"
#include "game/vfx/VfxObjectListenner.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct EventCall {
    const char* const* texts;
    const int32_t* integers;
    const float* floats;
    bool operator==(const EventCall&) const = default;
};
std::vector<EventCall> g_events;

void RecordEvent(const char* const* texts, const int32_t* integers, const float* floats) {
    g_events.push_back({texts, integers, floats});
}

TEST(VfxInstanceListenner, EventsReachTheOwnerWithTheSamePointers) {
    g_events.clear();
    const VfxEventDelegate owner(&RecordEvent);
    Mireku::Common::ReferenceCountObject* holder = owner.GetHolder();
    EXPECT_EQ(holder->GetRefCount(), 1u);
    auto* listener = new VfxInstanceListenner(&owner);
    EXPECT_EQ(holder->GetRefCount(), 2u) << "the listener holds the owner";
    const char* texts[4] = {"a", "b", "c", "d"};
    const int32_t integers[3] = {1, 2, 3};
    const float floats[3] = {0.5f, 1.5f, 2.5f};
    FulgorCore::IInstanceListenner* runtimeView = listener;
    runtimeView->OnEvent(texts, integers, floats);
    runtimeView->OnEvent(nullptr, integers, nullptr);
    EXPECT_EQ(g_events,
              (std::vector<EventCall>{{texts, integers, floats}, {nullptr, integers, nullptr}}));
    EXPECT_EQ(runtimeView->Release(), 0u);
    EXPECT_EQ(holder->GetRefCount(), 1u) << "and lets go of it when it goes";

    // No owner, or an empty one: nothing happens.
    g_events.clear();
    for (const VfxEventDelegate* none :
         {static_cast<const VfxEventDelegate*>(nullptr),
          static_cast<const VfxEventDelegate*>(new VfxEventDelegate)}) {
        auto* alone = new VfxInstanceListenner(none);
        alone->OnEvent(texts, integers, floats);
        EXPECT_TRUE(alone->GetOwner().IsEmpty());
        alone->Release();
        delete none;
    }
    EXPECT_TRUE(g_events.empty());
}

TEST(VfxInstanceListenner, EveryOtherSlotAnswersNeutrally) {
    auto* listener = new VfxInstanceListenner(nullptr);
    FulgorCore::IInstanceListenner& l = *listener;
    l.OnCreate({3, 7});
    l.OnRelease({3, 7});
    const float position[3] = {1, 2, 3};
    EXPECT_EQ(l.StartHostObject(5, "six", 7, position), 0u);
    l.StopHostObject(5, 1);
    EXPECT_EQ(l.GetTargetCountX(), 0u);
    EXPECT_EQ(l.GetTargetCountY(), 0u);
    EXPECT_EQ(l.GetTargetX(0), 0u);
    EXPECT_EQ(l.GetTargetY(2), 0u);
    float matrix[12];
    for (float& f : matrix)
        f = 9.0f;
    EXPECT_FALSE(l.GetTargetMatrix(1, 2, 3, matrix));
    for (float f : matrix)
        EXPECT_EQ(f, 9.0f) << "no matrix written";
    l.OnUnitEvent(4, 8);
    EXPECT_FALSE(l.OnPosition(position));
    EXPECT_FALSE(l.Reserved15(1, 2, 3, 4));
    EXPECT_EQ(l.Release(), 0u);
}

TEST(VfxLightListenner, EverySlotAnswersNeutrally) {
    auto* light = new VfxLightListenner();
    FulgorCore::ILightListenner& l = *light;
    EXPECT_EQ(l.Reserved3(), 0u);
    EXPECT_FALSE(l.Reserved4(1, 2));
    l.Reserved5(1, 2, 3);
    const float position[3] = {1, 2, 3};
    float result[4] = {7, 7, 7, 7};
    EXPECT_FALSE(l.QueryLightA(1, position, result));
    EXPECT_FALSE(l.QueryLightB(2, position, result));
    for (float f : result)
        EXPECT_EQ(f, 7.0f) << "the root keeps its light results";
    EXPECT_EQ(l.Release(), 0u);
}

TEST(VfxObjectListenner, EverySlotAnswersNeutrally) {
    VfxObjectListenner& l = VfxObjectListenner::Get();
    EXPECT_EQ(&l, &VfxObjectListenner::Get()) << "one listener for every load";
    l.OnCreate({1, 2});
    l.OnRelease({1, 2});
    EXPECT_EQ(l.FindTexture("flare"), nullptr);
    EXPECT_EQ(l.FindSound("hit", 3), 0u);
    l.ReleaseSound(5);
    const FulgorCore::ObjectHandle none = l.LoadReferencedEffect("vfx/logo_bg.vfxb");
    EXPECT_EQ(none.index, 0u);
    EXPECT_EQ(none.serial, 0u);
}

// The runtime takes a reference per registered effect and gives it back at
// the release; the listener's own first reference keeps it from zero.
TEST(VfxObjectListenner, ItsCountNeverReachesZero) {
    testsupport::VfxControllerRig rig;
    ASSERT_TRUE(rig.started);
    VfxObjectListenner& l = VfxObjectListenner::Get();
    const uint32_t before = l.GetRefCount();
    EXPECT_GE(before, 1u);
    const std::vector<uint8_t> image = testsupport::Write(testsupport::SmallEffect("held", 0));
    VfxData* a = rig.Load(image, "a");
    VfxData* b = rig.Load(image, "b");
    EXPECT_EQ(l.GetRefCount(), before + 2);
    a->Release();
    b->Release();
    EXPECT_EQ(l.GetRefCount(), before);
    // A referenced effect not loaded yet is not found: the file still loads.
    effecttools::EffectFileValue f = testsupport::SmallEffect("refers", 0);
    testsupport::AddReference(f, "absent");
    VfxData* refers = rig.Load(testsupport::Write(f), "refers");
    EXPECT_NE(refers->GetHandle().serial, 0u);
    refers->Release();
    rig.Stop();
    EXPECT_EQ(l.GetRefCount(), before);
}

} // namespace
