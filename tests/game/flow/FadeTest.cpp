#include "game/flow/SceneDriver.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class Fade : public ::testing::Test {
public:
    void SetUp() override { driver = SceneDriver::CreateInstance(); }
    void TearDown() override { SceneDriver::DestroyInstance(); }

    // The levels shown by `frames` driver updates.
    std::vector<int> Run(int frames) {
        std::vector<int> levels;
        for (int i = 0; i < frames; ++i) {
            driver->Update(nullptr);
            levels.push_back(driver->GetFadeLevel());
        }
        return levels;
    }
    void Complete() { completions.push_back(static_cast<int>(updatesSeen)); }
    Mireku::Common::Delegate00 Completion() {
        return Mireku::Common::Delegate00(static_cast<Fade*>(this), &Fade::Complete);
    }

    SceneDriver* driver = nullptr;
    std::vector<int> completions;
    size_t updatesSeen = 0;
};

TEST_F(Fade, TenFrameFadeDownAndItsCompletionInTheTenthFrame) {
    driver->StartFadeDown(10, Completion());
    std::vector<int> levels;
    for (int i = 0; i < 10; ++i) {
        updatesSeen = i + 1;
        driver->Update(nullptr);
        levels.push_back(driver->GetFadeLevel());
        EXPECT_EQ(driver->IsFading(), i < 9);
    }
    EXPECT_EQ(levels, (std::vector<int>{255, 229, 204, 178, 153, 127, 102, 76, 51, 0}));
    EXPECT_EQ(completions, (std::vector<int>{10}));
    EXPECT_EQ(Run(2), (std::vector<int>{0, 0}));
    EXPECT_EQ(completions.size(), 1u) << "invoked once";
}

TEST_F(Fade, FifteenFrameFadeUpEndsBlack) {
    driver->StartFadeDown(1, {});
    Run(1);
    driver->StartFadeUp(15, Completion());
    std::vector<int> levels = Run(15);
    EXPECT_EQ(levels, (std::vector<int>{0, 17, 34, 51, 68, 85, 102, 119, 136, 153, 170, 187, 204,
                                        221, 255}));
    EXPECT_EQ(completions.size(), 1u);
    EXPECT_EQ(Run(3), (std::vector<int>{255, 255, 255})) << "the overlay stays where it stopped";
}

TEST_F(Fade, OneFrameFadeReachesItsLevelInTheFrameItStarts) {
    driver->StartFadeDown(1, {});
    Run(1);
    driver->StartFadeUp(1, Completion());
    EXPECT_EQ(Run(1), (std::vector<int>{255}));
    EXPECT_EQ(completions.size(), 1u);
    EXPECT_FALSE(driver->IsFading());
}

TEST_F(Fade, RestartingDropsTheOldCompletionUninvoked) {
    driver->StartFadeUp(5, Completion());
    Run(2);
    driver->StartFadeDown(2, {});
    EXPECT_EQ(Run(3), (std::vector<int>{255, 0, 0}));
    EXPECT_TRUE(completions.empty());
}

// A completion that starts the next fade: the running delegate must stay
// alive through its own call, and the fade it starts keeps its completion.
class ChainedFade : public Fade {
public:
    void FirstDone() {
        log.push_back(1);
        // Besides the driver's field, the call itself holds a reference, so
        // the replacement below cannot free the delegate that is running.
        runningRefs = running->GetRefCount();
        // Replaces the delegate that is running right now.
        driver->StartFadeDown(3, Mireku::Common::Delegate00(static_cast<ChainedFade*>(this),
                                                            &ChainedFade::SecondDone));
        log.push_back(static_cast<int>(driver->IsFading()));
    }
    void SecondDone() { log.push_back(2); }

    std::vector<int> log;
    Mireku::Common::Delegate00::DelegateHolderBase* running = nullptr;
    uint32_t runningRefs = 0;
};

TEST_F(ChainedFade, CompletionStartingTheNextFadeKeepsBothAlive) {
    Mireku::Common::Delegate00 first(static_cast<ChainedFade*>(this), &ChainedFade::FirstDone);
    driver->StartFadeUp(2, first);
    running = first.GetHolder();
    EXPECT_EQ(running->GetRefCount(), 2u) << "the driver holds one reference";
    first.Reset(); // the driver's reference is now the only one
    for (int i = 0; i < 2; ++i)
        driver->Update(nullptr);
    EXPECT_EQ(log, (std::vector<int>{1, 1}));
    EXPECT_EQ(runningRefs, 2u);
    EXPECT_TRUE(driver->IsFading()) << "the second fade runs";
    EXPECT_EQ(Run(3), (std::vector<int>{255, 170, 0}));
    EXPECT_EQ(log, (std::vector<int>{1, 1, 2})) << "the second completion was kept and ran";
}

} // namespace
