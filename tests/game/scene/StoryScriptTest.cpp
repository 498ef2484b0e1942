// The story script: its text read into records (fields, line endings, the
// face memory, what a broken line does), the driver stepping through the
// commands frame by frame, and the file each occasion reads.
#include "engine/resource/ChildResourceLoader.h"
#include "game/scene/StoryScriptDriver.h"
#include "game/scene/StoryScriptReader.h"
#include "support/SceneRig.h"

#include <cstring>

namespace {

using namespace scene_test;

using sampledata::FormatScript;
using sampledata::FormatScriptLine;
using Records = StoryScriptReader::Records;
using D = StoryScriptDriver;

uint32_t Read(const std::string& text, Records& records, const char* label = "test.txt") {
    return StoryScriptReader::Read(reinterpret_cast<const uint8_t*>(text.data()),
                                   static_cast<uint32_t>(text.size()), label, records);
}
ScriptLine Line(int32_t line, int32_t speaker, int32_t face, const std::string& text = "t") {
    return MakeScriptLine(line, speaker, face, text);
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
std::string Good(const std::string& text) {
    return FormatScriptLine(Line(9, 3, 4, text));
}
std::string Replace(std::string s, const std::string& from, const std::string& to) {
    s.replace(s.find(from), from.size(), to);
    return s;
}

TEST(StoryScriptReader, EveryGeneratedScriptReadsWhole) {
    const auto scripts = sampledata::BuildStoryScripts();
    // Six pilots with 18 scripts each, and three true endings.
    ASSERT_EQ(scripts.size(), 6u * 18u + 3u);
    for (const auto& file : scripts) {
        Records records;
        EXPECT_EQ(Read(FormatScript(file.lines), records), 0u) << file.name;
        ASSERT_EQ(records.size(), file.lines.size()) << file.name;
        for (size_t i = 0; i < records.size(); ++i) {
            const ScriptLine& l = file.lines[i];
            const StoryCommand& r = records[i];
            EXPECT_TRUE(r.line == l.line && r.speaker == l.speaker && r.faceDelay == l.faceDelay &&
                        r.hidden == l.hidden && r.shake == l.shake &&
                        r.pictureMode == l.pictureMode && l.text == r.text &&
                        l.picture == r.picture)
                << file.name << " line " << i;
        }
    }
}

TEST(StoryScriptReader, FieldsInTheirOrder) {
    Records records;
    ASSERT_EQ(
        Read("7,-2,3,4,5,6,\"six\",8,\"eight\",9,10,\"eleven\",-12,\"thirteen\"\r\n", records), 0u);
    ASSERT_EQ(records.size(), 1u);
    const StoryCommand& r = records[0];
    EXPECT_EQ((std::vector<int32_t>{r.line, r.param1, r.speaker, r.face, r.faceDelay, r.hidden,
                                    r.param7, r.param9, r.shake, r.pictureMode}),
              (std::vector<int32_t>{7, -2, 3, 4, 5, 6, 8, 9, 10, -12}));
    EXPECT_EQ((std::vector<std::string>{r.label6, r.label8, r.picture, r.text}),
              (std::vector<std::string>{"six", "eight", "eleven", "thirteen"}));
}

// Whole texts and the lines read from them: the endings a line may have,
// the longest text, an empty file (which replaces what was read before), a
// zero byte that ends the text.
TEST(StoryScriptReader, TextsAndTheirLines) {
    const ScriptLine a = Line(1, 1, 2, "alpha"), b = Line(2, 7, 3, "beta"),
                     c = Line(3, 2, 4, "gamma");
    const std::vector<std::string> abc = {"alpha", "beta", "gamma"};
    const struct {
        const char* name;
        std::string text;
        std::vector<std::string> texts;
    } rows[] = {
        {"CrLf", FormatScriptLine(a) + FormatScriptLine(b) + FormatScriptLine(c), abc},
        {"AnyByteThenLf",
         FormatScriptLine(a, "X\n") + FormatScriptLine(b, "\t\n") + FormatScriptLine(c, "\r\n"),
         abc},
        {"LfRightAfterTheQuote",
         FormatScriptLine(a, "\n") + FormatScriptLine(b, "\n") + FormatScriptLine(c, "\n"), abc},
        {"LastLineWithoutLf", FormatScriptLine(a) + FormatScriptLine(b) + FormatScriptLine(c, ""),
         abc},
        {"LastLineEndsInCrOnly",
         FormatScriptLine(a) + FormatScriptLine(b) + FormatScriptLine(c, "\r"), abc},
        {"ThirtyOneBytesFit", Good(std::string(31, 'n')), {std::string(31, 'n')}},
        {"EmptyFile", "", {}},
        {"ZeroByteAtALineStartEndsTheText",
         Good("one") + std::string(4, '\0') + Good("two"),
         {"one"}},
    };
    for (const auto& row : rows) {
        Records records;
        ASSERT_EQ(Read(Good("old"), records), 0u);
        EXPECT_EQ(Read(row.text, records), 0u) << row.name;
        std::vector<std::string> texts;
        for (const StoryCommand& r : records)
            texts.push_back(r.text);
        EXPECT_EQ(texts, row.texts) << row.name;
    }
}

TEST(StoryScriptReader, FaceMemoryPerSpeakerAndCountsBelowZero) {
    ScriptLine negative = Line(10, 1, 2, "j");
    negative.faceDelay = -5;
    negative.shake = -2147483647 - 1;
    const std::string text = FormatScript({
        Line(1, 3, 0, "a"),                // speaker 3 has no face yet: stays 0
        Line(2, 3, 5, "b"),                //
        Line(3, 7, 2, "c"),                //
        Line(4, 3, 0, "d"),                // 5, the last face of speaker 3
        Continuation(7, 9, 5),             // sets speaker 7's memory to 9
        Line(5, 7, 0, "e"),                // 9
        Line(6, 0, 0, "f"),                // speaker 0 never takes a face
        Line(7, 15, 0, "g"),               // speaker 15 is the last one the memory has
        Line(8, 15, 6, "h"),               //
        Line(9, 15, 0, "i"),               // 6
        negative,                          // the two counts read 0 below 0
        Delayed(Line(11, 1, 3, "k"), 7, 9) // positive counts stay
    });
    Records records;
    ASSERT_EQ(Read(text, records), 0u);
    ASSERT_EQ(records.size(), 12u);
    const int32_t faces[] = {0, 5, 2, 5, 9, 9, 0, 0, 6, 6, 2, 3};
    for (size_t i = 0; i < 12; ++i)
        EXPECT_EQ(records[i].face, faces[i]) << "record " << i;
    EXPECT_EQ((std::vector<int32_t>{records[10].faceDelay, records[10].shake, records[11].faceDelay,
                                    records[11].shake}),
              (std::vector<int32_t>{0, 0, 7, 9}));
}

TEST(StoryScriptReader, IntegersReadAsTextToInteger) {
    const struct {
        const char* text;
        int32_t value;
    } rows[] = {{"42", 42},
                {"  -17", -17},
                {"\t+8", 8},
                {"12ab34", 12},
                {"", 0},
                {"x", 0},
                {"-", 0},
                {"2147483647", 2147483647},
                {"-2147483648", -2147483647 - 1},
                {"99999999999999999999", 2147483647},
                {"-99999999999999999999", -2147483647 - 1}};
    for (const auto& row : rows) {
        const auto* s = reinterpret_cast<const uint8_t*>(row.text);
        EXPECT_EQ(StoryScriptReader::ParseInteger(s, s + std::strlen(row.text)), row.value)
            << '"' << row.text << '"';
    }
}

// A script of three good lines with the middle one broken in a given way:
// the broken line is skipped, reported with its number, and the lines
// around it are read.
struct Broken {
    const char* name;
    std::string line;
};

class StoryScriptReaderBroken : public testing::TestWithParam<Broken> {};

TEST_P(StoryScriptReaderBroken, LineSkippedAndReported) {
    const std::string text = FormatScriptLine(Line(1, 1, 2, "before")) + GetParam().line +
                             FormatScriptLine(Line(2, 1, 0, "after"));
    Records records;
    testing::internal::CaptureStderr();
    EXPECT_EQ(Read(text, records, "script/script/pc01/pc01opening.txt"), 1u);
    const std::string err = testing::internal::GetCapturedStderr();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_STREQ(records[0].text, "before");
    EXPECT_STREQ(records[1].text, "after");
    EXPECT_EQ(records[1].face, 2) << "the skipped line leaves the face memory alone";
    EXPECT_NE(err.find("script/script/pc01/pc01opening.txt:2:"), std::string::npos) << err;
    // Without a label nothing is reported.
    testing::internal::CaptureStderr();
    EXPECT_EQ(Read(text, records, nullptr), 1u);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, StoryScriptReaderBroken,
    testing::Values(
        Broken{"EmptyLine", "\r\n"}, Broken{"BlankLine", "   \n"}, Broken{"Garbage", "garbage\n"},
        Broken{"OnlyIntegers", "1,0,1,2,0,0\r\n"},
        Broken{"MissingCommaAmongIntegers", "1,0,1 2,0,0,\"\",0,\"\",0,0,\"\",0,\"x\"\r\n"},
        Broken{"MissingCommaAfterString", Replace(Good("x"), "\"\",0,\"\"", "\"\"0,\"\"")},
        Broken{"MissingOpeningQuote",
               Replace(Good("x"), ",0,0,\"\",0,\"\",0,0", ",0,0,,0,\"\",0,0")},
        Broken{"MissingClosingQuote", "1,0,1,2,0,0,\"\",0,\"\",0,0,\"\",0,\"unclosed\r\n"},
        Broken{"TextOf32Bytes", Good(std::string(32, 't'))},
        Broken{"LabelOf40Bytes",
               Replace(Good("x"), "0,0,\"\",0", "0,0,\"" + std::string(40, 'l') + "\",0")},
        Broken{"SpeakerSixteen", FormatScriptLine(Line(1, 16, 2, "x"))},
        Broken{"SpeakerHuge", FormatScriptLine(Line(1, 1000000, 2, "x"))},
        Broken{"SpeakerNegative", FormatScriptLine(Line(1, -1, 2, "x"))}),
    [](const testing::TestParamInfo<Broken>& info) { return std::string(info.param.name); });

using StoryScriptDriverTest = SceneRig;

// One move of a script and what it shows after it: the step's answer, the
// current command's line, face and shake, the step state and the
// new-command flag.
struct Move {
    char op; // 'L' just loaded; '.' a step; 'd' with decide; 'r' restart 1; '2' restart 2
    int times;
    bool more;
    int32_t line, face, shake;
    uint32_t state;
    bool fresh;
};
struct Script {
    const char* name;
    std::vector<ScriptLine> lines;
    std::vector<Move> moves;
    uint32_t kind = D::kStageScene;
};

TEST_F(StoryScriptDriverTest, CommandsDelaysContinuationsAndRestarts) {
    constexpr uint32_t kIdle = D::kIdle, kNext = D::kTakeNext, kTimed = D::kTimed,
                       kShot = D::kWaitDecide;
    const Script scripts[] = {
        {"LoadTakesTheFirstShownCommandAndDecideTheNext",
         {Hidden(Line(1, 1, 2)), Line(2, 7, 3), Line(3, 1, 4)},
         {{'L', 0, true, 2, 3, 0, kShot, true},
          {'.', 1, true, 2, 3, 0, kShot, false},
          {'d', 1, true, 3, 4, 0, kShot, true},
          {'d', 1, false, 3, 4, 0, kIdle, false},
          {'.', 1, true, 3, 4, 0, kIdle, false}}},
        {"AllHiddenShowsNothingUntilARestartEndsIt",
         {Hidden(Line(1, 1, 2)), Hidden(Line(2, 3, 4)), Hidden(Line(3, 5, 6))},
         {{'L', 0, true, 0, 0, 0, kIdle, false},
          {'.', 1, true, 0, 0, 0, kIdle, false},
          {'r', 1, false, 0, 0, 0, kIdle, false}}},
        {"EmptyScript",
         {},
         {{'L', 0, true, 0, 0, 0, kIdle, false},
          {'d', 1, false, 0, 0, 0, kIdle, false},
          {'r', 1, false, 0, 0, 0, kIdle, false}}},
        {"KindSevenIsIdleWhateverTheRecordsHold",
         {Line(1, 1, 1)},
         {{'.', 1, false, 1, 1, 0, kShot, true}, {'r', 1, false, 1, 1, 0, kShot, true}},
         D::kNone},
        {"AFaceDelayKeepsThePreviousFaceAndTheTimersDoNotEndTheCommand",
         {Line(1, 1, 2), Delayed(Line(2, 1, 5), 30), Line(3, 1, 6)},
         {{'d', 1, true, 2, 2, 0, kTimed, true},
          {'.', 29, true, 2, 2, 0, kTimed, false},
          {'.', 1, true, 2, 5, 0, kTimed, false},
          {'.', 100, true, 2, 5, 0, kTimed, false}}},
        {"NegativeDelaysFromTheFileActAtOnce",
         {Line(1, 1, 2), Delayed(Line(2, 1, 5), -1, -1), Line(3, 1, 6)},
         {{'d', 1, true, 2, 5, 0, kShot, true},
          {'.', 100, true, 2, 5, 0, kShot, false},
          {'d', 1, true, 3, 6, 0, kShot, true}}},
        {"DecideDuringADelayShowsTheFaceThenMovesOn",
         {Line(1, 1, 2), Delayed(Line(2, 1, 5), 30), Line(3, 1, 6)},
         {{'d', 1, true, 2, 2, 0, kTimed, true},
          {'.', 2, true, 2, 2, 0, kTimed, false},
          {'d', 1, true, 2, 5, 0, kNext, false},
          {'.', 1, true, 3, 6, 0, kShot, true}}},
        {"AContinuationChangesTheFaceLaterAndIsNeverACommand",
         {Line(1, 7, 2), Continuation(7, 4, 45), Line(2, 1, 1)},
         {{'L', 0, true, 1, 2, 0, kTimed, true},
          {'.', 44, true, 1, 2, 0, kTimed, false},
          {'.', 1, true, 1, 4, 0, kTimed, false},
          {'d', 1, true, 1, 4, 0, kNext, false},
          {'.', 1, true, 2, 1, 0, kShot, true}}},
        {"AContinuationReplacesTheCommandsOwnDelays",
         {Delayed(Line(1, 7, 3), 10, 10), Continuation(7, 6, 20)},
         {{'.', 15, true, 1, 0, 0, kTimed, false}, {'.', 5, true, 1, 6, 0, kTimed, false}}},
        {"ShakeStartsLateAndEndsWithTheCommand",
         {Delayed(Line(1, 1, 2), 0, 10), Line(2, 1, 3)},
         {{'L', 0, true, 1, 2, 0, kTimed, true},
          {'.', 9, true, 1, 2, 0, kTimed, false},
          {'.', 1, true, 1, 2, 1, kTimed, false},
          {'d', 1, true, 1, 2, 1, kNext, false},
          {'.', 1, true, 2, 3, 0, kShot, true}}},
        {"OnlyARestartOfOneTakesTheNextCommand",
         {Line(1, 1, 2), Line(2, 1, 3), Line(3, 1, 4)},
         {{'r', 1, true, 2, 3, 0, kShot, true},
          {'2', 1, true, 2, 3, 0, kShot, false},
          {'r', 1, true, 3, 4, 0, kShot, true},
          {'r', 1, false, 3, 4, 0, kIdle, false}}},
        {"TwoContinuationsInARowStandForACommandAndAThirdBringsItsDelays",
         {Line(1, 1, 2), Continuation(1, 3, 5), Continuation(1, 4, 6), Continuation(1, 9, 2),
          Line(2, 1, 7)},
         {{'d', 1, true, 1, 3, 0, kNext, false},
          {'.', 1, true, 1, 3, 0, kTimed, false},
          {'.', 1, true, 1, 3, 0, kTimed, false},
          {'.', 1, true, 1, 9, 0, kTimed, false},
          {'d', 1, true, 1, 9, 0, kNext, false},
          {'.', 1, true, 2, 7, 0, kShot, true}}},
    };
    for (const Script& s : scripts) {
        SCOPED_TRACE(s.name);
        FreshStory();
        LoadScript(s.lines, s.kind);
        int n = 0;
        for (const Move& m : s.moves) {
            bool more = true;
            for (int i = 0; i < m.times; ++i)
                more = Step(m.op == 'd', m.op == 'r' ? 1 : m.op == '2' ? 2 : 0);
            const StoryCommand& c = script.GetCurrent();
            EXPECT_EQ(more, m.more) << "move " << n;
            EXPECT_EQ((std::vector<int32_t>{c.line, c.face, c.shake}),
                      (std::vector<int32_t>{m.line, m.face, m.shake}))
                << "move " << n;
            EXPECT_EQ(script.GetStepState(), m.state) << "move " << n;
            EXPECT_EQ(script.HasNewCommand(), m.fresh) << "move " << n++;
        }
    }
}

TEST_F(StoryScriptDriverTest, GetTextCopiesTextAndLine) {
    LoadScript({Line(4, 1, 2, "pc01op004"), Line(-1, 0, 0, "")});
    char text[D::kPathSize];
    EXPECT_EQ(script.GetText(0, text), 4);
    EXPECT_STREQ(text, "pc01op004");
    EXPECT_EQ(script.GetText(1, text), -1);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(script.GetText(2, text), -1) << "past the records";
    script.SetScript(D::kNone);
    EXPECT_EQ(script.GetText(0, text), -1) << "kind 7";
}

TEST(StoryScriptPaths, ByKindPilotAndStage) {
    const struct {
        uint32_t kind;
        int32_t pilot;
        uint32_t stage;
        const char* folder;
        const char* name;
    } rows[] = {
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
    char folder[D::kPathSize];
    char name[D::kPathSize];
    for (const auto& r : rows) {
        ASSERT_TRUE(D::FormatPath(r.kind, r.pilot, r.stage, folder, name));
        EXPECT_EQ(std::string(folder) + "/" + name, std::string(r.folder) + "/" + r.name)
            << r.kind << " " << r.pilot << " " << r.stage;
    }
    EXPECT_FALSE(D::FormatPath(7, 1, 0, folder, name));
}

// The file of each occasion through the resource loader, the buffer given
// back; a file that cannot be read leaves no records, not those of the
// script before (an intermission's, which it does not clear).
class StoryScriptLoad : public SceneRig {
protected:
    StoryScriptLoad() { loose = true; }
};

TEST_F(StoryScriptLoad, EachOccasionReadsItsFile) {
    WriteScript("script/script/pc03/pc03opening.txt", {Line(1, 3, 2, "pc03op001")});
    WriteScript("script/script/pc01/pc01true_ending.txt", {Line(1, 3, 4, "shared")});
    WriteScript("script/script/pc01/pc01stage03_introduction.txt", {Line(1, 1, 2, "in03")});
    WriteScript("script/script/pc01/pc01stage02_introduction.txt", {Line(1, 1, 2, "in02")});
    WriteScript("script/script/pc01/pc01opening.txt", {Line(1, 1, 2, "x")});
    const struct {
        const char* name;
        uint32_t kind;
        int8_t ship;
        uint32_t stage;
        const char* first; // the first command's text; null: no records
    } rows[] = {
        {"OpeningOfPilotThree", D::kOpening, 2, 0, "pc03op001"},
        {"PilotThreeReadsTheFirstPilotsTrueEnding", D::kTrueEnding, 2, 11, "shared"},
        {"AfterStageFiveStageThreesIntroduction", D::kIntroduction, 0, 5, "in03"},
        {"AfterStageTwo", D::kIntroduction, 0, 2, "in02"},
        {"AMissingSceneLeavesNoRecordsNotTheIntroductions", D::kStageScene, 0, 3, nullptr},
        {"KindSevenReadsNothing", D::kNone, 0, 0, nullptr},
    };
    for (const auto& r : rows) {
        work->player.ship = r.ship;
        work->stage = r.stage;
        script.SetScript(r.kind);
        Mireku::Resource::ChildResourceLoader child;
        script.Load(child);
        EXPECT_EQ(child.GetData(), nullptr) << r.name << ": the buffer is given back";
        if (r.first) {
            ASSERT_EQ(script.GetRecords().size(), 1u) << r.name;
            EXPECT_STREQ(script.GetCurrent().text, r.first) << r.name;
        } else {
            EXPECT_TRUE(script.GetRecords().empty()) << r.name;
            EXPECT_FALSE(script.Step(0)) << r.name << ": the scene closes its window at once";
        }
    }
}

} // namespace
