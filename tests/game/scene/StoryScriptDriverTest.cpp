#include "game/scene/StoryScriptDriver.h"
#include "engine/resource/ChildResourceLoader.h"
#include "game/core/InputManager.h"
#include "support/GameStateFixture.h"
#include "support/SceneTestSupport.h"
#include "tools/sampledata/StoryScriptText.h"

#include <string>
#include <vector>

namespace {

using sampledata::FormatScript;
using sampledata::ScriptLine;

ScriptLine Line(int32_t line, int32_t speaker, int32_t face, const std::string& text = "t") {
    return sampledata::MakeScriptLine(line, speaker, face, text);
}
ScriptLine Delayed(ScriptLine l, int32_t faceDelay, int32_t shake = 0) {
    l.faceDelay = faceDelay;
    l.shake = shake;
    return l;
}
ScriptLine Hidden(ScriptLine l) {
    l.hidden = 1;
    return l;
}
// A continuation record: new delays for the command before it.
ScriptLine Continuation(int32_t speaker, int32_t face, int32_t faceDelay, int32_t shake = 0) {
    return Delayed(Line(0, speaker, face, ""), faceDelay, shake);
}

class StoryScriptDriverTest : public GameStateTest {
protected:
    void SetUp() override {
        GameStateTest::SetUp();
        input = InputManager::CreateInstance();
        driver.SetScript(StoryScriptDriver::kStageScene);
        driver.ClearRecords();
    }
    void TearDown() override {
        driver.ClearRecords();
        InputManager::DestroyInstance();
        GameStateTest::TearDown();
    }
    void Load(const std::vector<ScriptLine>& lines,
              uint32_t kind = StoryScriptDriver::kStageScene) {
        driver.SetScript(kind);
        const std::string text = FormatScript(lines);
        driver.LoadText(reinterpret_cast<const uint8_t*>(text.data()),
                        static_cast<uint32_t>(text.size()), "test.txt");
    }
    bool Step(bool decide = false, uint8_t restart = 0) {
        input->SetTriggered(decide ? uint32_t{InputManager::kShot} : 0u);
        const bool more = driver.Step(restart);
        input->SetTriggered(0);
        return more;
    }
    const StoryCommand& Current() const { return driver.GetCurrent(); }

    StoryScriptDriver& driver = StoryScriptDriver::Instance();
    InputManager* input = nullptr;
};

TEST_F(StoryScriptDriverTest, LoadTakesTheFirstShownCommand) {
    Load({Hidden(Line(1, 1, 2, "a")), Line(2, 7, 3, "b"), Line(3, 1, 4, "c")});
    EXPECT_EQ(driver.GetStepState(), StoryScriptDriver::kWaitDecide);
    EXPECT_EQ(Current().line, 2);
    EXPECT_EQ(Current().speaker, 7);
    EXPECT_TRUE(driver.HasNewCommand());
    EXPECT_TRUE(Step());
    EXPECT_FALSE(driver.HasNewCommand()) << "cleared at the start of each step";
    EXPECT_EQ(Current().line, 2) << "a command waits for decide";
    EXPECT_TRUE(Step(true));
    EXPECT_TRUE(driver.HasNewCommand());
    EXPECT_EQ(Current().line, 3);
    EXPECT_FALSE(Step(true)) << "nothing after the last command";
    EXPECT_EQ(driver.GetStepState(), StoryScriptDriver::kIdle);
    EXPECT_TRUE(Step()) << "an ended script in the idle state still answers true";
}

TEST_F(StoryScriptDriverTest, AllHiddenShowsNothingUntilARestartEndsIt) {
    Load({Hidden(Line(1, 1, 2)), Hidden(Line(2, 3, 4)), Hidden(Line(3, 5, 6))});
    EXPECT_EQ(driver.GetRecords().size(), 3u);
    EXPECT_EQ(driver.GetStepState(), StoryScriptDriver::kIdle);
    EXPECT_FALSE(driver.HasNewCommand());
    EXPECT_TRUE(Step());
    EXPECT_EQ(Current().line, 0);
    EXPECT_EQ(Current().speaker, 0);
    EXPECT_FALSE(Step(false, 1));
}

TEST_F(StoryScriptDriverTest, EmptyOrNoScriptStepsFalse) {
    Load({});
    EXPECT_TRUE(driver.GetRecords().empty());
    EXPECT_FALSE(Step());
    EXPECT_FALSE(Step(true, 1));
    Load({Line(1, 1, 1)}, StoryScriptDriver::kNone);
    EXPECT_FALSE(Step()) << "kind 7 is idle whatever the records hold";
    char text[StoryScriptDriver::kPathSize];
    EXPECT_EQ(driver.GetText(0, text), -1);
}

TEST_F(StoryScriptDriverTest, FaceDelayKeepsThePreviousFace) {
    Load({Line(1, 1, 2), Delayed(Line(2, 1, 5), 30), Line(3, 1, 6)});
    EXPECT_EQ(Current().face, 2);
    ASSERT_TRUE(Step(true));
    EXPECT_EQ(Current().line, 2);
    EXPECT_EQ(driver.GetStepState(), StoryScriptDriver::kTimed);
    for (int i = 1; i < 30; ++i) {
        ASSERT_TRUE(Step());
        EXPECT_EQ(Current().face, 2) << "step " << i;
    }
    ASSERT_TRUE(Step());
    EXPECT_EQ(Current().face, 5) << "the 30th step shows the command's own face";
    for (int i = 0; i < 100; ++i)
        Step();
    EXPECT_EQ(Current().line, 2) << "the timers do not end the command";
}

TEST_F(StoryScriptDriverTest, NegativeDelaysFromTheFileActAtOnce) {
    Load({Line(1, 1, 2), Delayed(Line(2, 1, 5), -1, -1), Line(3, 1, 6)});
    ASSERT_TRUE(Step(true));
    EXPECT_EQ(Current().line, 2);
    EXPECT_EQ(Current().face, 5) << "no delay: the command's own face at once";
    EXPECT_EQ(driver.GetStepState(), StoryScriptDriver::kWaitDecide);
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(Step());
    EXPECT_EQ(Current().face, 5);
    EXPECT_EQ(Current().shake, 0) << "no shake to come";
    ASSERT_TRUE(Step(true));
    EXPECT_EQ(Current().line, 3);
}

TEST_F(StoryScriptDriverTest, DecideDuringADelayShowsTheFaceThenMovesOn) {
    Load({Line(1, 1, 2), Delayed(Line(2, 1, 5), 30), Line(3, 1, 6)});
    Step(true);
    Step();
    Step();
    ASSERT_EQ(Current().face, 2);
    ASSERT_TRUE(Step(true));
    EXPECT_EQ(Current().face, 5) << "at once";
    EXPECT_EQ(Current().line, 2);
    EXPECT_EQ(driver.GetStepState(), StoryScriptDriver::kTakeNext);
    ASSERT_TRUE(Step());
    EXPECT_EQ(Current().line, 3) << "the next command at the following step";
}

TEST_F(StoryScriptDriverTest, ContinuationChangesTheFaceLater) {
    // The generated scenes between stages carry such a continuation.
    Load({Line(1, 7, 2), Continuation(7, 4, 45), Line(2, 1, 1)});
    EXPECT_EQ(Current().face, 2);
    EXPECT_EQ(driver.GetStepState(), StoryScriptDriver::kTimed);
    for (int i = 1; i < 45; ++i) {
        Step();
        ASSERT_EQ(Current().face, 2) << "step " << i;
    }
    Step();
    EXPECT_EQ(Current().face, 4) << "face 4 after 45 steps";
    EXPECT_EQ(Current().line, 1);
    Step(true);
    Step();
    EXPECT_EQ(Current().line, 2) << "the continuation is never a command of its own";
}

TEST_F(StoryScriptDriverTest, ContinuationReplacesTheCommandsOwnDelays) {
    Load({Delayed(Line(1, 7, 3), 10, 10), Continuation(7, 6, 20)});
    for (int i = 0; i < 15; ++i)
        Step();
    EXPECT_EQ(Current().face, 0) << "the command's own delay of 10 no longer counts";
    EXPECT_EQ(Current().shake, 0) << "nor its shake";
    for (int i = 15; i < 20; ++i)
        Step();
    EXPECT_EQ(Current().face, 6);
}

TEST_F(StoryScriptDriverTest, ShakeStartsLateAndEndsWithTheCommand) {
    Load({Delayed(Line(1, 1, 2), 0, 10), Line(2, 1, 3)});
    EXPECT_EQ(Current().face, 2) << "no face delay: the face shows at once";
    for (int i = 1; i < 10; ++i) {
        Step();
        ASSERT_EQ(Current().shake, 0) << "step " << i;
    }
    Step();
    EXPECT_EQ(Current().shake, 1);
    Step(true);
    Step();
    EXPECT_EQ(Current().line, 2);
    EXPECT_EQ(Current().shake, 0) << "every newly taken command stops it";
}

TEST_F(StoryScriptDriverTest, RestartTakesTheNextCommandWithoutAButton) {
    Load({Line(1, 1, 2), Line(2, 1, 3), Line(3, 1, 4)});
    ASSERT_EQ(driver.GetStepState(), StoryScriptDriver::kWaitDecide);
    EXPECT_TRUE(Step(false, 1));
    EXPECT_EQ(Current().line, 2);
    EXPECT_TRUE(Step(false, 2)) << "only a restart of 1 counts";
    EXPECT_EQ(Current().line, 2);
    EXPECT_TRUE(Step(false, 1));
    EXPECT_EQ(Current().line, 3);
    EXPECT_FALSE(Step(false, 1));
}

TEST_F(StoryScriptDriverTest, ContinuationsInARow) {
    // The second of two stands in for a command: a step takes nothing, and a
    // third continuation after it brings its own delays.
    Load({Line(1, 1, 2), Continuation(1, 3, 5), Continuation(1, 4, 6), Continuation(1, 9, 2),
          Line(2, 1, 7)});
    Step(true);
    EXPECT_EQ(Current().face, 3) << "decide shows the pending face at once";
    EXPECT_TRUE(Step());
    EXPECT_FALSE(driver.HasNewCommand());
    EXPECT_EQ(Current().line, 1);
    EXPECT_EQ(driver.GetStepState(), StoryScriptDriver::kTimed);
    Step();
    EXPECT_EQ(Current().face, 3);
    Step();
    EXPECT_EQ(Current().face, 9) << "the third continuation's face after its delay of 2";
    Step(true);
    Step();
    EXPECT_EQ(Current().line, 2);
}

TEST_F(StoryScriptDriverTest, GetTextCopiesTextAndLine) {
    Load({Line(4, 1, 2, "pc01op004"), Line(-1, 0, 0, "")});
    char text[StoryScriptDriver::kPathSize];
    EXPECT_EQ(driver.GetText(0, text), 4);
    EXPECT_STREQ(text, "pc01op004");
    EXPECT_EQ(driver.GetText(1, text), -1);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(driver.GetText(2, text), -1) << "past the records";
}

TEST_F(StoryScriptDriverTest, PilotComesFromTheFirstPlayerRecord) {
    gw->player.ship = 4;
    driver.SetScript(StoryScriptDriver::kOpening);
    EXPECT_EQ(driver.GetPilot(), 5);
    gw->player.ship = 0;
    driver.SetScript(StoryScriptDriver::kOpening);
    EXPECT_EQ(driver.GetPilot(), 1);
}

struct PathCase {
    uint32_t kind;
    int32_t pilot;
    uint32_t stage;
    const char* folder;
    const char* name;
};

TEST(StoryScriptPaths, ByKindPilotAndStage) {
    const PathCase cases[] = {
        {0, 2, 0, "script/script/pc02", "pc02opening.txt"},
        {1, 1, 0, "script/script/pc01", "pc01stage01-01.txt"},
        {1, 1, 5, "script/script/pc01", "pc01stage02-03.txt"},
        {1, 4, 11, "script/script/pc04", "pc04stage04-03.txt"},
        {1, 4, 13, "script/script/pc04", "pc04stage01-02.txt"},
        {2, 1, 2, "script/script/pc01", "pc01stage02_introduction.txt"},
        {2, 1, 5, "script/script/pc01", "pc01stage03_introduction.txt"},
        {2, 1, 17, "script/script/pc01", "pc01stage03_introduction.txt"},
        {2, 6, 8, "script/script/pc06", "pc06stage04_introduction.txt"},
        {3, 3, 11, "script/script/pc03", "pc03last_boss_bridge.txt"},
        {4, 5, 11, "script/script/pc05", "pc05ending.txt"},
        {5, 5, 23, "script/script/pc05", "pc05ending.txt"},
        {6, 1, 11, "script/script/pc01", "pc01true_ending.txt"},
        {6, 3, 11, "script/script/pc01", "pc01true_ending.txt"},
        {6, 4, 11, "script/script/pc01", "pc01true_ending.txt"},
        {6, 5, 11, "script/script/pc05", "pc05true_ending.txt"},
        {6, 6, 23, "script/script/pc06", "pc06true_ending.txt"},
    };
    for (const PathCase& c : cases) {
        char folder[StoryScriptDriver::kPathSize];
        char name[StoryScriptDriver::kPathSize];
        ASSERT_TRUE(StoryScriptDriver::FormatPath(c.kind, c.pilot, c.stage, folder, name));
        EXPECT_STREQ(folder, c.folder) << c.kind << " " << c.pilot << " " << c.stage;
        EXPECT_STREQ(name, c.name) << c.kind << " " << c.pilot << " " << c.stage;
    }
    char folder[StoryScriptDriver::kPathSize];
    char name[StoryScriptDriver::kPathSize];
    EXPECT_FALSE(StoryScriptDriver::FormatPath(7, 1, 0, folder, name));
}

class StoryScriptLoad : public testing_scene::LooseFiles {
protected:
    void SetUp() override {
        LooseFiles::SetUp();
        RandomManager::CreateInstance();
        gw = GlobalWork::CreateInstance(scratch.Path("docs").c_str());
    }
    void TearDown() override {
        StoryScriptDriver::Instance().ClearRecords();
        GlobalWork::DestroyInstance();
        RandomManager::DestroyInstance();
        LooseFiles::TearDown();
    }
    void WriteScript(const std::string& path, const std::vector<ScriptLine>& lines) {
        const std::string text = FormatScript(lines);
        Write(path, std::vector<uint8_t>(text.begin(), text.end()));
    }
    bool Load(uint32_t kind) {
        StoryScriptDriver& driver = StoryScriptDriver::Instance();
        driver.SetScript(kind);
        Mireku::Resource::ChildResourceLoader child;
        driver.Load(child);
        return child.GetData() == nullptr;
    }
    GlobalWork* gw = nullptr;
};

TEST_F(StoryScriptLoad, ReadsTheKindsFileAndReleasesTheBuffer) {
    WriteScript("script/script/pc03/pc03opening.txt", {Line(1, 3, 2, "pc03op001")});
    WriteScript("script/script/pc01/pc01true_ending.txt", {Line(1, 3, 4, "shared")});
    gw->player.ship = 2;
    EXPECT_TRUE(Load(StoryScriptDriver::kOpening));
    StoryScriptDriver& driver = StoryScriptDriver::Instance();
    ASSERT_EQ(driver.GetRecords().size(), 1u);
    EXPECT_STREQ(driver.GetCurrent().text, "pc03op001");
    EXPECT_TRUE(Load(StoryScriptDriver::kTrueEnding));
    EXPECT_STREQ(driver.GetCurrent().text, "shared") << "pilot 3 reads the first pilot's";
}

TEST_F(StoryScriptLoad, IntermissionAfterStageFiveReadsStageThreesIntroduction) {
    WriteScript("script/script/pc01/pc01stage03_introduction.txt", {Line(1, 1, 2, "in03")});
    gw->player.ship = 0;
    gw->stage = 5;
    Load(StoryScriptDriver::kIntroduction);
    EXPECT_STREQ(StoryScriptDriver::Instance().GetCurrent().text, "in03");
}

TEST_F(StoryScriptLoad, AMissingFileLeavesNoRecordsNotTheOnesBefore) {
    WriteScript("script/script/pc01/pc01stage02_introduction.txt", {Line(1, 1, 2, "gone")});
    gw->player.ship = 0;
    gw->stage = 2;
    Load(StoryScriptDriver::kIntroduction);
    gw->stage = 3;
    Load(StoryScriptDriver::kStageScene);
    StoryScriptDriver& driver = StoryScriptDriver::Instance();
    EXPECT_TRUE(driver.GetRecords().empty());
    EXPECT_EQ(driver.GetStepState(), StoryScriptDriver::kIdle);
    EXPECT_FALSE(driver.Step(0)) << "the scene closes its window at once";
}

TEST_F(StoryScriptLoad, NoneReadsNothing) {
    WriteScript("script/script/pc01/pc01opening.txt", {Line(1, 1, 2, "x")});
    StoryScriptDriver::Instance().ClearRecords();
    Load(StoryScriptDriver::kNone);
    EXPECT_TRUE(StoryScriptDriver::Instance().GetRecords().empty());
}

} // namespace
