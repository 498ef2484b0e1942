// The unit base the runtime core drives: linking children, the clock and
// the removal of ended children, the fades, and the KILL and loop-stop
// walks over timeline children.
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Memory/UnitInstancePool.h"
#include "effects/units/InstanceRootUnit.h"
#include "support/effects/RecordingUnit.h"
#include "support/effects/RuntimeStartup.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

using FulgorCore::InstanceRootUnit;
using FulgorCore::UnitInstance;
using testsupport::RecordingUnit;

constexpr float kIdentity34[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};

class UnitTree : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(runtime_.Start());
        UnitInstance::InitialState start;
        start.lifetime = 1.0f;
        start.timeMode = UnitInstance::kEndless;
        root_ = UnitInstance::Create<InstanceRootUnit>(nullptr, start, nullptr, kIdentity34, 1u,
                                                       uint16_t{0xFF});
        ASSERT_NE(root_, nullptr);
    }
    void TearDown() override {
        delete root_;
        EXPECT_EQ(FulgorCore::Engine::GetUnitInstancePool().GetUsedCount(), 0u);
    }

    RecordingUnit* Add(UnitInstance* parent, float lifetime, int8_t id = 0,
                       uint32_t kind = UnitInstance::kTimeline, float loopEnd = 0.0f) {
        return Add(parent, RecordingUnit::Clock(parent, lifetime, loopEnd), id, kind);
    }
    RecordingUnit* Add(UnitInstance* parent, const UnitInstance::InitialState& state, int8_t id = 0,
                       uint32_t kind = UnitInstance::kTimeline) {
        auto* unit = UnitInstance::Create<RecordingUnit>(root_, state, kind, id);
        parent->AddChild(unit);
        return unit;
    }
    std::vector<UnitInstance*> Children(const UnitInstance* parent) const {
        std::vector<UnitInstance*> list;
        for (UnitInstance* c = parent->firstChild; c; c = c->nextSibling)
            list.push_back(c);
        return list;
    }

    testsupport::RuntimeStartup runtime_;
    InstanceRootUnit* root_ = nullptr;
};

TEST_F(UnitTree, AChildUnderANonLoopingParentNeverLoopsButStarts) {
    // The root does not loop: its loop member is the no-op.
    ASSERT_EQ(root_->loopMember, UnitInstance::NoOp);
    RecordingUnit* child = Add(root_, 0.0f, 1, UnitInstance::kTimeline, 5.0f);
    EXPECT_EQ(child->loopMember, UnitInstance::NoOp);
    EXPECT_EQ(child->loopEnds, 1);
    EXPECT_EQ(child->starts, 1);
    EXPECT_EQ(Children(root_), std::vector<UnitInstance*>{child});
    EXPECT_EQ(root_->lastChild, child);
    // Its clock runs past its loop end without wrapping.
    for (int i = 0; i < 7; ++i)
        root_->Update(1.0f);
    EXPECT_EQ(child->time, 7.0f);
    EXPECT_EQ(child->loopEnds, 1);
    // A looping unit that brings its own looping child: both stop looping,
    // whether or not the parent has started.
    auto* looping = UnitInstance::Create<RecordingUnit>(
        root_, RecordingUnit::Clock(root_, 0.0f, 4.0f), UnitInstance::kTimeline, 2);
    auto* below = UnitInstance::Create<RecordingUnit>(
        root_, RecordingUnit::Clock(looping, 0.0f, 3.0f), UnitInstance::kTimeline, 3);
    looping->AddChild(below);
    ASSERT_EQ(below->loopMember, UnitInstance::WrapLoopTime);
    root_->AddChild(looping);
    EXPECT_EQ(looping->loopMember, UnitInstance::NoOp);
    EXPECT_EQ(below->loopMember, UnitInstance::NoOp);
    EXPECT_EQ(looping->loopEnds, 1);
    EXPECT_EQ(below->loopEnds, 1);
}

TEST_F(UnitTree, AChildUnderALoopingParentKeepsItsLoopAndTheSubtreeFollowsALaterStop) {
    RecordingUnit* parent = Add(root_, 0.0f);
    parent->loopMember = UnitInstance::WrapLoopTime; // as if started looping
    parent->loopEnd = 10.0f;
    RecordingUnit* child = Add(parent, 0.0f, 0, UnitInstance::kTimeline, 3.0f);
    RecordingUnit* grandchild = Add(child, 0.0f, 0, UnitInstance::kTimeline, 3.0f);
    EXPECT_EQ(child->loopMember, UnitInstance::WrapLoopTime);
    EXPECT_EQ(child->loopEnds, 0);
    EXPECT_EQ(grandchild->loopMember, UnitInstance::WrapLoopTime);
    UnitInstance::RestartSubtree(child);
    EXPECT_EQ(child->loopMember, UnitInstance::NoOp);
    EXPECT_EQ(grandchild->loopMember, UnitInstance::NoOp);
    EXPECT_EQ(child->loopEnds, 1);
    EXPECT_EQ(grandchild->loopEnds, 1);
    EXPECT_EQ(parent->loopMember, UnitInstance::WrapLoopTime);
}

TEST_F(UnitTree, NullLinksNothingButResetsTheFadeStep) {
    root_->fadeState = UnitInstance::kFadingOut;
    root_->AddChild(nullptr);
    EXPECT_EQ(root_->firstChild, nullptr);
    EXPECT_EQ(root_->fadeStepMember, UnitInstance::StepFadeOut);
    root_->fadeState = UnitInstance::kNoFade;
    root_->AddChild(nullptr);
    EXPECT_EQ(root_->fadeStepMember, UnitInstance::NoOp);
}

TEST_F(UnitTree, ALoopingClockWrapsBySpansAndANoSpanLoopDoesNotWrap) {
    // Stepped on its own: linked under the root, which does not loop, it
    // would not loop either.
    auto* unit =
        UnitInstance::Create<RecordingUnit>(root_, RecordingUnit::Clock(root_, 0.0f, 3.0f));
    ASSERT_EQ(unit->loopMember, UnitInstance::WrapLoopTime);
    unit->time = 7.0f;
    unit->Update(0.5f);
    EXPECT_EQ(unit->time, 1.5f); // 7.5 less two spans of 3
    EXPECT_EQ(unit->totalTime, 0.5f);
    // Below the loop end nothing happens.
    unit->Update(1.0f);
    EXPECT_EQ(unit->time, 2.5f);
    unit->loopStart = 3.0f; // no span: stays
    unit->time = 7.0f;
    unit->Update(0.5f);
    EXPECT_EQ(unit->time, 7.5f);
    unit->loopStart = 2.5f; // half a frame: by the float remainder
    unit->time = 3.25f;
    unit->Update(0.5f);
    EXPECT_EQ(unit->time, 2.75f);
    delete unit;
}

TEST_F(UnitTree, TheClockEndsAUnitAtItsEndTimeOrNeverOrOnceChildless) {
    RecordingUnit* timed = Add(root_, 2.0f);
    timed->speed = 2.0f;
    timed->endTime = 4.0f; // speed x lifetime
    root_->Update(1.0f);
    EXPECT_EQ(timed->alive, 1);
    EXPECT_EQ(timed->lastStep, 2.0f);
    root_->Update(1.0f);
    // Ended at time 4 and, childless, removed in the same frame.
    EXPECT_EQ(root_->firstChild, nullptr);

    RecordingUnit* endless = Add(root_, 0.0f);
    for (int i = 0; i < 50; ++i)
        root_->Update(1.0f);
    EXPECT_EQ(endless->alive, 1);

    // Time mode 2 waits for the last child.
    UnitInstance::InitialState childless = RecordingUnit::Clock(root_, 1.0f);
    childless.timeMode = UnitInstance::kEndWhenChildless;
    RecordingUnit* parent = Add(root_, childless);
    RecordingUnit* child = Add(parent, 3.0f);
    root_->Update(1.0f);
    root_->Update(1.0f);
    EXPECT_EQ(parent->alive, 1);
    root_->Update(1.0f); // the child ends at 3, after its parent's step
    EXPECT_EQ(parent->alive, 1);
    root_->Update(1.0f); // childless now: the parent ends
    EXPECT_EQ(Children(root_), std::vector<UnitInstance*>{endless});
    (void)child;
}

TEST_F(UnitTree, AHoldKeepsAUnitPastItsEndTime) {
    RecordingUnit* unit = Add(root_, 1.0f);
    unit->holdCount = 1;
    root_->Update(1.0f);
    root_->Update(1.0f);
    EXPECT_EQ(unit->alive, 1);
    unit->holdCount = 0;
    root_->Update(1.0f);
    EXPECT_EQ(root_->firstChild, nullptr);
}

TEST_F(UnitTree, AnEndedChildWithChildrenStaysUntilItsLastChildGoes) {
    RecordingUnit* parent = Add(root_, 1.0f);
    RecordingUnit* child = Add(parent, 3.0f);
    RecordingUnit* sibling = Add(root_, 0.0f);
    root_->Update(1.0f);
    EXPECT_EQ(parent->alive, 0);
    EXPECT_EQ(parent->ends, 1);
    root_->Update(1.0f);
    // Still linked and still updating its child.
    EXPECT_EQ(Children(root_), (std::vector<UnitInstance*>{parent, sibling}));
    EXPECT_EQ(child->updates, 2);
    EXPECT_EQ(parent->updates, 2);
    root_->Update(1.0f);
    EXPECT_EQ(Children(root_), std::vector<UnitInstance*>{sibling});
    EXPECT_EQ(root_->lastChild, sibling);
    // Finish runs once.
    sibling->Finish();
    sibling->Finish();
    EXPECT_EQ(sibling->ends, 1);
}

TEST_F(UnitTree, TheTailIsRelinkedWhenTheLastChildGoes) {
    RecordingUnit* first = Add(root_, 0.0f);
    RecordingUnit* last = Add(root_, 1.0f);
    root_->Update(1.0f);
    EXPECT_EQ(Children(root_), std::vector<UnitInstance*>{first});
    EXPECT_EQ(root_->lastChild, first);
    RecordingUnit* next = Add(root_, 0.0f);
    EXPECT_EQ(first->nextSibling, next);
    (void)last;
}

// A unit that, in its first update, gives its parent a new child after
// itself and ends.
class AppendingUnit : public RecordingUnit {
public:
    using RecordingUnit::RecordingUnit;
    void Update(float dt) override {
        RecordingUnit::Update(dt);
        if (appended)
            return;
        appended = UnitInstance::Create<RecordingUnit>(owner, Clock(parent, 0.0f));
        parent->AddChild(appended);
        Finish();
    }
    RecordingUnit* appended = nullptr;
};

TEST_F(UnitTree, ASiblingAppendedDuringTheWalkStaysLinkedWhenItsElderGoes) {
    RecordingUnit* first = Add(root_, 0.0f);
    auto* tail = UnitInstance::Create<AppendingUnit>(root_, RecordingUnit::Clock(root_, 0.0f));
    root_->AddChild(tail);
    root_->Update(1.0f);
    // The tail ended childless and went; what it appended is the new tail
    // and was updated in the same walk.
    ASSERT_EQ(Children(root_).size(), 2u);
    EXPECT_EQ(Children(root_)[0], first);
    RecordingUnit* appended = static_cast<RecordingUnit*>(Children(root_)[1]);
    EXPECT_EQ(root_->lastChild, appended);
    EXPECT_EQ(appended->updates, 1);
}

TEST_F(UnitTree, AFadeOutOfZeroFramesKillsAtItsFirstStepWithFactorZero) {
    RecordingUnit* unit = Add(root_, 0.0f);
    RecordingUnit* child = Add(unit, 0.0f);
    unit->StartFadeOut(0);
    EXPECT_EQ(unit->fadeOuts, 1);
    EXPECT_EQ(child->fadeOuts, 1);
    EXPECT_EQ(unit->fadeState, UnitInstance::kFadingOut);
    unit->Update(1.0f);
    EXPECT_EQ(unit->fadeFactor, 0.0f);
    EXPECT_EQ(unit->alive, 0);
    EXPECT_EQ(unit->ends, 1);
    EXPECT_EQ(unit->fadeStepMember, UnitInstance::NoOp);
    EXPECT_EQ(unit->evaluateMember, UnitInstance::NoOp);
    // The child ended too, and went.
    EXPECT_EQ(unit->firstChild, nullptr);
}

TEST_F(UnitTree, FadesStepByTheUnitsOwnStep) {
    RecordingUnit* out = Add(root_, 0.0f);
    out->StartFadeOut(4);
    EXPECT_EQ(out->fadeDuration, 4.0f);
    root_->Update(1.0f);
    EXPECT_EQ(out->fadeFactor, 0.75f);
    out->speed = 2.0f;
    root_->Update(1.0f);
    EXPECT_EQ(out->fadeFactor, 0.25f);
    // Faded out: ended and gone.
    root_->Update(1.0f);
    EXPECT_EQ(root_->firstChild, nullptr);

    RecordingUnit* in = Add(root_, 0.0f);
    in->fadeState = UnitInstance::kFadingIn;
    in->fadeDuration = 4.0f;
    in->fadeFactor = 0.0f;
    in->fadeStepMember = UnitInstance::FadeStepOf(UnitInstance::kFadingIn);
    root_->Update(1.0f);
    EXPECT_EQ(in->fadeFactor, 0.25f);
    root_->Update(3.0f);
    EXPECT_EQ(in->fadeFactor, 1.0f);
    EXPECT_EQ(in->fadeStepMember, UnitInstance::NoOp);
    EXPECT_EQ(in->alive, 1);
}

// The walks' choices among timeline children with ids {1, 2, -1, -3}, one
// node child of id 1 that no walk takes, issued by the child with id 2.
struct WalkCase {
    const char* name;
    void (*kill)(UnitInstance* unit, const UnitInstance* issuer);
    void (*loopStop)(UnitInstance* unit, const UnitInstance* issuer);
    std::set<int> chosen;
};

const WalkCase kWalkCases[] = {
    {"0 every timeline",
     [](UnitInstance* u, const UnitInstance*) { UnitInstance::FadeOutTimelineUnits(u, 5); },
     [](UnitInstance* u, const UnitInstance*) { UnitInstance::RestartTimelineUnits(u); },
     {1, 2, -1, -3}},
    {"1 positive id",
     [](UnitInstance* u, const UnitInstance*) {
         UnitInstance::FadeOutTimelineUnitsWithPositiveId(u, 5);
     },
     [](UnitInstance* u, const UnitInstance*) {
         UnitInstance::RestartTimelineUnitsWithPositiveId(u);
     },
     {1, 2}},
    {"2 negative id",
     [](UnitInstance* u, const UnitInstance*) {
         UnitInstance::FadeOutTimelineUnitsWithNegativeId(u, 5);
     },
     [](UnitInstance* u, const UnitInstance*) {
         UnitInstance::RestartTimelineUnitsWithNegativeId(u);
     },
     {-1, -3}},
    {"3 and 4 the given id",
     [](UnitInstance* u, const UnitInstance*) {
         UnitInstance::FadeOutTimelineUnitsWithId(u, -3, 5);
     },
     [](UnitInstance* u, const UnitInstance*) { UnitInstance::RestartTimelineUnitsWithId(u, -3); },
     {-3}},
    {"5 all but the issuer",
     [](UnitInstance* u, const UnitInstance* i) {
         UnitInstance::FadeOutTimelineUnitsExcept(u, i, 5);
     },
     [](UnitInstance* u, const UnitInstance* i) { UnitInstance::RestartTimelineUnitsExcept(u, i); },
     {1, -1, -3}},
    {"6 positive id but the issuer",
     [](UnitInstance* u, const UnitInstance* i) {
         UnitInstance::FadeOutTimelineUnitsWithPositiveIdExcept(u, i, 5);
     },
     [](UnitInstance* u, const UnitInstance* i) {
         UnitInstance::RestartTimelineUnitsWithPositiveIdExcept(u, i);
     },
     {1}},
    {"7 negative id but the issuer",
     [](UnitInstance* u, const UnitInstance* i) {
         UnitInstance::FadeOutTimelineUnitsWithNegativeIdExcept(u, i, 5);
     },
     [](UnitInstance* u, const UnitInstance* i) {
         UnitInstance::RestartTimelineUnitsWithNegativeIdExcept(u, i);
     },
     {-1, -3}},
    {"8 none",
     [](UnitInstance* u, const UnitInstance* i) {
         UnitInstance::FadeOutTimelineUnitsBy(u, 8, i, 1, 5);
     },
     [](UnitInstance* u, const UnitInstance* i) {
         UnitInstance::RestartTimelineUnitsBy(u, 8, i, 1);
     },
     {}},
};

TEST_F(UnitTree, KillAndLoopStopWalksChooseTheCriterionsChildren) {
    for (const WalkCase& c : kWalkCases) {
        SCOPED_TRACE(c.name);
        for (bool kill : {true, false}) {
            std::vector<RecordingUnit*> timelines;
            for (int8_t id : {1, 2, -1, -3}) {
                RecordingUnit* unit = Add(root_, 0.0f, id);
                unit->loopMember = UnitInstance::WrapLoopTime;
                Add(unit, 0.0f)->loopMember = UnitInstance::WrapLoopTime;
                timelines.push_back(unit);
            }
            RecordingUnit* node = Add(root_, 0.0f, 1, UnitInstance::kParticleNode);
            const UnitInstance* issuer = timelines[1];
            (kill ? c.kill : c.loopStop)(root_, issuer);
            for (RecordingUnit* unit : timelines) {
                const bool chosen = c.chosen.count(unit->timelineId) != 0;
                auto* below = static_cast<RecordingUnit*>(unit->firstChild);
                if (kill) {
                    EXPECT_EQ(unit->fadeState == UnitInstance::kFadingOut, chosen)
                        << int{unit->timelineId};
                    EXPECT_EQ(below->fadeOuts, chosen ? 1 : 0);
                    if (chosen) {
                        EXPECT_EQ(unit->fadeDuration, 5.0f);
                    }
                } else {
                    EXPECT_EQ(unit->loopMember == UnitInstance::NoOp, chosen)
                        << int{unit->timelineId};
                    EXPECT_EQ(below->loopEnds, chosen ? 1 : 0);
                }
            }
            EXPECT_EQ(node->fadeState, UnitInstance::kNoFade);
            EXPECT_EQ(node->loopEnds, 1); // from its AddChild only
            delete root_;
            UnitInstance::InitialState start;
            start.timeMode = UnitInstance::kEndless;
            root_ = UnitInstance::Create<InstanceRootUnit>(nullptr, start, nullptr, kIdentity34, 1u,
                                                           uint16_t{0xFF});
        }
    }
}

TEST_F(UnitTree, KillFiveFadesEveryTimelineSiblingButTheIssuer) {
    RecordingUnit* a = Add(root_, 0.0f, 1);
    RecordingUnit* issuer = Add(root_, 0.0f, 2);
    RecordingUnit* b = Add(root_, 0.0f, -4);
    UnitInstance::FadeOutTimelineUnitsBy(root_, 5, issuer, 0, 10);
    EXPECT_EQ(a->fadeOuts, 1);
    EXPECT_EQ(b->fadeOuts, 1);
    EXPECT_EQ(issuer->fadeOuts, 0);
    for (int i = 0; i < 10; ++i)
        root_->Update(1.0f);
    EXPECT_EQ(Children(root_), std::vector<UnitInstance*>{issuer});
}

TEST_F(UnitTree, DeletingAUnitDeletesItsSubtreeAndGivesTheBlocksBack) {
    FulgorCore::UnitInstancePool& pool = FulgorCore::Engine::GetUnitInstancePool();
    const uint32_t before = pool.GetUsedCount();
    RecordingUnit* unit = Add(root_, 0.0f);
    Add(Add(unit, 0.0f), 0.0f);
    Add(unit, 0.0f);
    EXPECT_EQ(pool.GetUsedCount(), before + 4);
    unit->Finish();
    root_->Update(1.0f); // ended but with children: stays
    EXPECT_EQ(pool.GetUsedCount(), before + 4);
    delete root_;
    root_ = nullptr;
    // The root took two: itself and its draw lists.
    EXPECT_EQ(pool.GetUsedCount(), before - 2);
}

// Pass C runs each living unit's per-frame hook, then the pass of each
// child in list order: from P, with children A (children A1 and A2) and B
// (child B1). An ended unit's hook is skipped, its children's are not.
TEST_F(UnitTree, PassCHooksEveryLivingUnitParentFirstInListOrder) {
    struct Case {
        const char* name;
        int ended; // -1 none, else the index in P, A, A1, A2, B, B1
        std::vector<int> order;
    };
    const Case cases[] = {
        {"all living: depth first, in list order", -1, {1, 2, 3, 4, 5, 6}},
        {"P ended: the rest still hooked", 0, {0, 1, 2, 3, 4, 5}},
        {"A ended: its children still hooked", 1, {1, 0, 2, 3, 4, 5}},
        {"A1 ended", 2, {1, 2, 0, 3, 4, 5}},
        {"A2 ended", 3, {1, 2, 3, 0, 4, 5}},
        {"B ended: B1 still hooked", 4, {1, 2, 3, 4, 0, 5}},
        {"B1 ended", 5, {1, 2, 3, 4, 5, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* p = UnitInstance::Create<RecordingUnit>(root_, RecordingUnit::Clock(root_, 0.0f));
        ASSERT_NE(p, nullptr);
        RecordingUnit* a = Add(p, 0.0f);
        RecordingUnit* a1 = Add(a, 0.0f);
        RecordingUnit* a2 = Add(a, 0.0f);
        RecordingUnit* b = Add(p, 0.0f);
        RecordingUnit* b1 = Add(b, 0.0f);
        RecordingUnit* const units[6] = {p, a, a1, a2, b, b1};
        if (c.ended >= 0)
            units[c.ended]->Finish();
        testsupport::FrameHookClock() = 0;
        p->RunFrameHooks();
        std::vector<int> order;
        for (const RecordingUnit* u : units)
            order.push_back(u->frameHookAt);
        EXPECT_EQ(order, c.order);
        delete p;
    }
}

TEST_F(UnitTree, TheBaseGettersAnswerTheirDefaults) {
    RecordingUnit* unit = Add(root_, 0.0f);
    float v[3] = {9, 9, 9};
    unit->GetVector0(v);
    EXPECT_EQ(v[0], 1.0f);
    EXPECT_EQ(v[2], 1.0f);
    unit->GetVector7(v, 3);
    EXPECT_EQ(v[1], 0.0f);
    EXPECT_EQ(unit->GetWorldMatrix()[0], 1.0f);
    EXPECT_EQ(unit->GetWorldMatrix()[9], 0.0f);
    EXPECT_EQ(unit->GetColor()[3], 1.0f);
    EXPECT_EQ(unit->GetSharedBlock(), nullptr);
    EXPECT_EQ(unit->GetAuxObject(), nullptr);
}

TEST_F(UnitTree, TheClockStepIsChosenOnceFromTheTimeModeAndTheLoop) {
    // Six distinct steps, one per time mode and loop.
    std::set<UnitInstance::TimeStepMember> steps;
    for (uint32_t mode = 0; mode < 3; ++mode)
        for (bool looping : {false, true})
            steps.insert(UnitInstance::ClockStepOf(mode, looping));
    EXPECT_EQ(steps.size(), 6u);
    UnitInstance::InitialState looping = RecordingUnit::Clock(root_, 0.0f, 3.0f);
    RecordingUnit* unit = Add(root_, looping);
    EXPECT_EQ(unit->timeStepMember, UnitInstance::ClockStepOf(UnitInstance::kEndless, true));
    EXPECT_EQ(unit->endTime, 0.0f);
    UnitInstance::InitialState timed = RecordingUnit::Clock(root_, 4.0f);
    timed.speed = 0.5f;
    RecordingUnit* slow = Add(root_, timed);
    EXPECT_EQ(slow->timeStepMember, UnitInstance::ClockStepOf(UnitInstance::kEndAtTime, false));
    EXPECT_EQ(slow->endTime, 2.0f); // speed x lifetime
    // A finished unit's clock is the shared no-op.
    slow->Finish();
    EXPECT_EQ(slow->timeStepMember, UnitInstance::NoOpStep);
    EXPECT_EQ(slow->collectMember, UnitInstance::NoOp);
}

TEST_F(UnitTree, TheOrdersPickTheRotationAndCompositionBuilders) {
    auto* unit = UnitInstance::Create<RecordingUnit>(root_, RecordingUnit::Clock(root_, 0.0f));
    EXPECT_EQ(unit->rotationBuilder, FulgorCore::MakeRotationByOrder(0));
    EXPECT_EQ(unit->composeBuilder, FulgorCore::ComposeByOrder(0));
    delete unit;
    UnitInstance::InitialState state = RecordingUnit::Clock(root_, 0.0f);
    struct Built : UnitInstance {
        Built(InstanceRootUnit* owner, const InitialState& s) : UnitInstance(owner, s, 4, 2) {}
        uint32_t GetKind() const override { return kParticleNode; }
    };
    auto* built = UnitInstance::Create<Built>(root_, state);
    EXPECT_EQ(built->rotationBuilder, FulgorCore::MakeRotationByOrder(4));
    EXPECT_EQ(built->composeBuilder, FulgorCore::ComposeByOrder(2));
    EXPECT_NE(built->rotationBuilder, FulgorCore::MakeRotationByOrder(0));
    delete built;
}

} // namespace
