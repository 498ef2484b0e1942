// The host's three listeners: the instance listener's owner, the slots the
// game leaves at their defaults, and the object listener's count.
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

// The slots the game leaves at their defaults answer so that the runtime
// goes on without them: no host object, no target matrix (nothing
// written), no light (the root keeps its results), no texture, sound or
// referenced effect.
TEST(VfxListenners, TheSlotsTheGameLeavesAnswerNothing) {
    auto* listener = new VfxInstanceListenner(nullptr);
    FulgorCore::IInstanceListenner& l = *listener;
    const float position[3] = {1, 2, 3};
    float out[12] = {9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
    EXPECT_EQ(l.StartHostObject(5, "six", 7, position), 0u);
    EXPECT_EQ(l.GetTargetCountX() + l.GetTargetCountY(), 0u);
    EXPECT_FALSE(l.GetTargetMatrix(1, 2, 3, out));
    EXPECT_FALSE(l.OnPosition(position));
    EXPECT_EQ(l.Release(), 0u);
    auto* light = new VfxLightListenner();
    FulgorCore::ILightListenner& lights = *light;
    EXPECT_FALSE(lights.QueryLightA(1, position, out));
    EXPECT_FALSE(lights.QueryLightB(2, position, out));
    EXPECT_EQ(std::vector<float>(out, out + 12), std::vector<float>(12, 9.0f)) << "nothing written";
    EXPECT_EQ(lights.Release(), 0u);
    VfxObjectListenner& objects = VfxObjectListenner::Get();
    EXPECT_EQ(&objects, &VfxObjectListenner::Get()) << "one listener for every load";
    EXPECT_EQ(objects.FindTexture("flare"), nullptr);
    EXPECT_EQ(objects.FindSound("hit", 3), 0u);
    EXPECT_EQ(objects.LoadReferencedEffect("vfx/logo_bg.vfxb").serial, 0u);
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
