#include "game/flow/SceneDriver.h"
#include "game/flow/SceneBase.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_log;

// Logs its calls; optionally finishes itself or pushes a successor on a
// given update.
class ProbeScene : public SceneBase {
public:
    explicit ProbeScene(std::string name) : name_(std::move(name)) {}
    ~ProbeScene() override { g_log.push_back(name_ + ".delete"); }
    void Begin() override { g_log.push_back(name_ + ".Begin"); }
    void End() override { g_log.push_back(name_ + ".End"); }
    void Update() override {
        ++updates_;
        g_log.push_back(name_ + ".Update");
        if (updates_ == finishOn)
            Finish();
        if (updates_ == pushOn)
            SceneDriver::GetInstance()->CreateScene<ProbeScene>(pushName);
    }

    int finishOn = -1;
    int pushOn = -1;
    std::string pushName;

private:
    std::string name_;
    int updates_ = 0;
};

// Too large for the engine heap: its allocation fails.
class HugeScene : public SceneBase {
public:
    uint8_t payload[512u << 20];
};

class SceneDriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_log.clear();
        driver = SceneDriver::CreateInstance();
        ASSERT_NE(driver, nullptr);
    }
    void TearDown() override {
        driver->ClearAll();
        SceneDriver::DestroyInstance();
    }
    ProbeScene* Push(const char* name) { return driver->CreateScene<ProbeScene>(name); }
    std::vector<std::string> Take() { return std::exchange(g_log, {}); }
    size_t ActiveCount() const {
        size_t n = 0;
        for (SceneBase* s = driver->GetFirstActive(); s; s = s->nextInList)
            ++n;
        return n;
    }

    SceneDriver* driver = nullptr;
};

using Log = std::vector<std::string>;

TEST_F(SceneDriverTest, PendingScenesBeginAndUpdateOnTheNextUpdateInPushOrder) {
    Push("a");
    Push("b");
    EXPECT_TRUE(Take().empty()) << "pushing begins nothing";
    EXPECT_EQ(driver->GetFirstActive(), nullptr);
    driver->Update(nullptr);
    EXPECT_EQ(Take(), (Log{"a.Begin", "a.Update", "b.Begin", "b.Update"}));
    EXPECT_EQ(driver->GetFirstPending(), nullptr);
    driver->Update(nullptr);
    EXPECT_EQ(Take(), (Log{"a.Update", "b.Update"}));
}

TEST_F(SceneDriverTest, SceneDriverIsSetUpOnABlackScreenWithoutAFade) {
    EXPECT_EQ(driver->GetFadeLevel(), 255);
    EXPECT_FALSE(driver->IsFading());
    driver->Update(nullptr);
    EXPECT_EQ(driver->GetFadeLevel(), 255) << "black until a scene starts a fade";
}

TEST_F(SceneDriverTest, SceneChangeRunsInOneUpdate) {
    ProbeScene* a = Push("a");
    driver->Update(nullptr);
    Take();
    // a finishes and pushes b in the same update: a is ended and deleted,
    // b begins and gets its first update in the same driver update.
    a->finishOn = 2;
    a->pushOn = 2;
    a->pushName = "b";
    driver->Update(nullptr);
    EXPECT_EQ(Take(), (Log{"a.Update", "a.End", "a.delete", "b.Begin", "b.Update"}));
    EXPECT_EQ(ActiveCount(), 1u);
}

TEST_F(SceneDriverTest, SceneFinishedInItsFirstUpdateIsEndedAndDeletedAtOnce) {
    Push("a");
    ProbeScene* b = Push("b");
    b->finishOn = 1;
    Push("c");
    driver->Update(nullptr);
    EXPECT_EQ(Take(), (Log{"a.Begin", "a.Update", "b.Begin", "b.Update", "b.End", "b.delete",
                           "c.Begin", "c.Update"}));
    ASSERT_EQ(ActiveCount(), 2u);
    driver->Update(nullptr);
    EXPECT_EQ(Take(), (Log{"a.Update", "c.Update"})) << "the list stays linked past b";
}

TEST_F(SceneDriverTest, FinishedScenesAtHeadMiddleAndTailAreUnlinked) {
    ProbeScene* a = Push("a");
    ProbeScene* b = Push("b");
    ProbeScene* c = Push("c");
    driver->Update(nullptr);
    a->Finish();
    c->Finish();
    Take();
    driver->Update(nullptr);
    EXPECT_EQ(Take(),
              (Log{"a.Update", "a.End", "a.delete", "b.Update", "c.Update", "c.End", "c.delete"}));
    EXPECT_EQ(driver->GetFirstActive(), b);
    // The tail was fixed: a new scene links behind b.
    Push("d");
    driver->Update(nullptr);
    EXPECT_EQ(Take(), (Log{"b.Update", "d.Begin", "d.Update"}));
    EXPECT_EQ(ActiveCount(), 2u);
}

TEST_F(SceneDriverTest, EndAllScenesFlagsActiveScenesOnly) {
    Push("a");
    Push("b");
    driver->Update(nullptr);
    Push("c");
    driver->EndAllScenes();
    Take();
    driver->Update(nullptr);
    EXPECT_EQ(Take(), (Log{"a.Update", "a.End", "a.delete", "b.Update", "b.End", "b.delete",
                           "c.Begin", "c.Update"}));
}

TEST_F(SceneDriverTest, AttachedScenesUpdateBehindTheirSceneAndAreNotEndedByTheDriver) {
    ProbeScene* a = Push("a");
    driver->Update(nullptr);
    ProbeScene x("x");
    ProbeScene y("y");
    a->LinkNext(&x)->LinkNext(&y);
    EXPECT_EQ(x.prevAttached, a);
    Take();
    driver->Update(nullptr);
    EXPECT_EQ(Take(), (Log{"a.Update", "x.Update", "y.Update"}));
    EXPECT_EQ(y.UnlinkPrev(), &x);
    EXPECT_EQ(x.nextAttached, nullptr);
    a->Finish();
    driver->Update(nullptr);
    EXPECT_EQ(Take(), (Log{"a.Update", "x.Update", "a.End", "a.delete"}));
    EXPECT_EQ(x.prevAttached, nullptr) << "the deleted scene let go of its attached scene";
    EXPECT_EQ(x.UnlinkPrev(), nullptr);
}

TEST_F(SceneDriverTest, ClearAllEndsActiveScenesAndDeletesPendingOnesWithoutBeginOrEnd) {
    Push("a");
    driver->Update(nullptr);
    Push("p");
    Push("q");
    Take();
    driver->ClearAll();
    EXPECT_EQ(Take(), (Log{"a.End", "a.delete", "p.delete", "q.delete"}));
    EXPECT_EQ(driver->GetFirstActive(), nullptr);
    EXPECT_EQ(driver->GetFirstPending(), nullptr);
    driver->Update(nullptr);
    EXPECT_TRUE(Take().empty());
}

TEST_F(SceneDriverTest, SceneThatCannotBeAllocatedIsNotPushed) {
    testing::internal::CaptureStderr(); // the heap reports the failure
    HugeScene* huge = driver->CreateScene<HugeScene>();
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(huge, nullptr);
    EXPECT_EQ(driver->GetFirstPending(), nullptr);
    driver->PushScene(nullptr);
    EXPECT_EQ(driver->GetFirstPending(), nullptr);
    Push("a");
    driver->Update(nullptr);
    EXPECT_EQ(Take(), (Log{"a.Begin", "a.Update"}));
}

} // namespace

namespace {

ScreenKind g_askedFor = static_cast<ScreenKind>(99);

SceneBase* MakeProbeScreen(ScreenKind kind) {
    g_askedFor = kind;
    return new ProbeScene("screen");
}

SceneBase* MakeNoScreen(ScreenKind kind) {
    g_askedFor = kind;
    return nullptr;
}

} // namespace

TEST_F(SceneDriverTest, PlayStartsScreensOnlyThroughTheInstalledFactory) {
    // No factory installed: nothing is made or pushed.
    EXPECT_EQ(driver->StartScreen(ScreenKind::kStory), nullptr);
    EXPECT_EQ(driver->GetFirstPending(), nullptr);

    driver->SetScreenFactory(&MakeNoScreen);
    EXPECT_EQ(driver->StartScreen(ScreenKind::kStory), nullptr);
    EXPECT_EQ(g_askedFor, ScreenKind::kStory);
    EXPECT_EQ(driver->GetFirstPending(), nullptr);

    // The made screen waits in the pending list and begins with the next update.
    driver->SetScreenFactory(&MakeProbeScreen);
    g_askedFor = static_cast<ScreenKind>(99);
    SceneBase* screen = driver->StartScreen(ScreenKind::kStory);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(g_askedFor, ScreenKind::kStory);
    EXPECT_EQ(driver->GetFirstPending(), screen);
    driver->Update(nullptr);
    EXPECT_EQ(driver->GetFirstActive(), screen);
    EXPECT_EQ(Take(), (std::vector<std::string>{"screen.Begin", "screen.Update"}));
}
