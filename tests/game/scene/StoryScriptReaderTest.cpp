#include "game/scene/StoryScriptReader.h"
#include "tools/sampledata/StoryScriptText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using sampledata::FormatScript;
using sampledata::FormatScriptLine;
using sampledata::ScriptLine;

using Records = StoryScriptReader::Records;

uint32_t Read(const std::string& text, Records& records, const char* label = "test.txt") {
    return StoryScriptReader::Read(reinterpret_cast<const uint8_t*>(text.data()),
                                   static_cast<uint32_t>(text.size()), label, records);
}

ScriptLine Line(int32_t line, int32_t speaker, int32_t face, const std::string& text) {
    return sampledata::MakeScriptLine(line, speaker, face, text);
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
            EXPECT_EQ(records[i].line, file.lines[i].line);
            EXPECT_EQ(records[i].speaker, file.lines[i].speaker);
            EXPECT_EQ(records[i].faceDelay, file.lines[i].faceDelay);
            EXPECT_EQ(records[i].hidden, file.lines[i].hidden);
            EXPECT_EQ(records[i].shake, file.lines[i].shake);
            EXPECT_EQ(records[i].pictureMode, file.lines[i].pictureMode);
            EXPECT_STREQ(records[i].text, file.lines[i].text.c_str());
            EXPECT_STREQ(records[i].picture, file.lines[i].picture.c_str());
        }
    }
}

TEST(StoryScriptReader, FieldsInTheirOrder) {
    const std::string text =
        "7,-2,3,4,5,6,\"six\",8,\"eight\",9,10,\"eleven\",-12,\"thirteen\"\r\n";
    Records records;
    ASSERT_EQ(Read(text, records), 0u);
    ASSERT_EQ(records.size(), 1u);
    const StoryCommand& r = records[0];
    EXPECT_EQ(r.line, 7);
    EXPECT_EQ(r.param1, -2);
    EXPECT_EQ(r.speaker, 3);
    EXPECT_EQ(r.face, 4);
    EXPECT_EQ(r.faceDelay, 5);
    EXPECT_EQ(r.hidden, 6);
    EXPECT_STREQ(r.label6, "six");
    EXPECT_EQ(r.param7, 8);
    EXPECT_STREQ(r.label8, "eight");
    EXPECT_EQ(r.param9, 9);
    EXPECT_EQ(r.shake, 10);
    EXPECT_STREQ(r.picture, "eleven");
    EXPECT_EQ(r.pictureMode, -12);
    EXPECT_STREQ(r.text, "thirteen");
}

TEST(StoryScriptReader, LineEndings) {
    const ScriptLine a = Line(1, 1, 2, "alpha");
    const ScriptLine b = Line(2, 7, 3, "beta");
    const ScriptLine c = Line(3, 2, 4, "gamma");
    struct Case {
        const char* name;
        std::string text;
    };
    const Case cases[] = {
        {"CR LF", FormatScriptLine(a) + FormatScriptLine(b) + FormatScriptLine(c)},
        {"any byte then LF",
         FormatScriptLine(a, "X\n") + FormatScriptLine(b, "\t\n") + FormatScriptLine(c, "\r\n")},
        {"LF right after the quote",
         FormatScriptLine(a, "\n") + FormatScriptLine(b, "\n") + FormatScriptLine(c, "\n")},
        {"last line without LF",
         FormatScriptLine(a) + FormatScriptLine(b) + FormatScriptLine(c, "")},
        {"last line ends in CR only",
         FormatScriptLine(a) + FormatScriptLine(b) + FormatScriptLine(c, "\r")},
    };
    for (const Case& k : cases) {
        Records records;
        EXPECT_EQ(Read(k.text, records), 0u) << k.name;
        ASSERT_EQ(records.size(), 3u) << k.name;
        EXPECT_STREQ(records[0].text, "alpha") << k.name;
        EXPECT_STREQ(records[1].text, "beta") << k.name;
        EXPECT_STREQ(records[2].text, "gamma") << k.name;
        EXPECT_EQ(records[2].face, 4) << k.name;
    }
}

TEST(StoryScriptReader, FaceMemoryPerSpeaker) {
    ScriptLine cont;
    cont.speaker = 7;
    cont.face = 9;
    cont.faceDelay = 5;
    const std::string text = FormatScript({
        Line(1, 3, 0, "a"),  // speaker 3 has no face yet: stays 0
        Line(2, 3, 5, "b"),  //
        Line(3, 7, 2, "c"),  //
        Line(4, 3, 0, "d"),  // 5, the last face of speaker 3
        cont,                // a continuation sets speaker 7's memory to 9
        Line(5, 7, 0, "e"),  // 9
        Line(6, 0, 0, "f"),  // speaker 0 never takes a face
        Line(7, 15, 0, "g"), // speaker 15 is the last one the memory has
        Line(8, 15, 6, "h"), //
        Line(9, 15, 0, "i"), // 6
    });
    Records records;
    ASSERT_EQ(Read(text, records), 0u);
    ASSERT_EQ(records.size(), 10u);
    const int32_t faces[] = {0, 5, 2, 5, 9, 9, 0, 0, 6, 6};
    for (size_t i = 0; i < 10; ++i)
        EXPECT_EQ(records[i].face, faces[i]) << "record " << i;
}

TEST(StoryScriptReader, IntegersReadAsTextToInteger) {
    auto parse = [](const char* s) {
        return StoryScriptReader::ParseInteger(reinterpret_cast<const uint8_t*>(s),
                                               reinterpret_cast<const uint8_t*>(s) +
                                                   std::strlen(s));
    };
    EXPECT_EQ(parse("42"), 42);
    EXPECT_EQ(parse("  -17"), -17);
    EXPECT_EQ(parse("\t+8"), 8);
    EXPECT_EQ(parse("12ab34"), 12);
    EXPECT_EQ(parse(""), 0);
    EXPECT_EQ(parse("x"), 0);
    EXPECT_EQ(parse("-"), 0);
    EXPECT_EQ(parse("2147483647"), 2147483647);
    EXPECT_EQ(parse("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(parse("99999999999999999999"), 2147483647);
    EXPECT_EQ(parse("-99999999999999999999"), -2147483647 - 1);
}

// The two counts tick down to 0 frame by frame: below 0 they read as 0.
TEST(StoryScriptReader, NegativeFaceDelayAndShakeReadAsZero) {
    ScriptLine negative = Line(1, 1, 2, "a");
    negative.faceDelay = -5;
    negative.shake = -2147483647 - 1;
    ScriptLine positive = Line(2, 1, 3, "b");
    positive.faceDelay = 7;
    positive.shake = 9;
    Records records;
    ASSERT_EQ(Read(FormatScript({negative, positive}), records), 0u);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].faceDelay, 0);
    EXPECT_EQ(records[0].shake, 0);
    EXPECT_EQ(records[1].faceDelay, 7) << "positive counts stay";
    EXPECT_EQ(records[1].shake, 9);
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
    const uint32_t skipped = Read(text, records, "script/script/pc01/pc01opening.txt");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(skipped, 1u);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_STREQ(records[0].text, "before");
    EXPECT_STREQ(records[1].text, "after");
    EXPECT_EQ(records[1].face, 2) << "the skipped line leaves the face memory alone";
    EXPECT_NE(err.find("script/script/pc01/pc01opening.txt:2:"), std::string::npos) << err;
}

std::string Good(const std::string& text) {
    return FormatScriptLine(Line(9, 3, 4, text));
}
std::string Replace(std::string s, const std::string& from, const std::string& to) {
    s.replace(s.find(from), from.size(), to);
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, StoryScriptReaderBroken,
    testing::Values(
        Broken{"EmptyLine", "\r\n"}, Broken{"BlankLine", "   \n"},
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

TEST(StoryScriptReader, ThirtyOneBytesStillFit) {
    const std::string text(31, 'n');
    Records records;
    ASSERT_EQ(Read(Good(text), records), 0u);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(std::string(records[0].text), text);
}

TEST(StoryScriptReader, EmptyFileGivesNoRecords) {
    Records records;
    ASSERT_EQ(Read(Good("old"), records), 0u);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(Read("", records), 0u);
    EXPECT_TRUE(records.empty()) << "the records are replaced, not kept";
}

TEST(StoryScriptReader, ZeroByteAtLineStartEndsTheText) {
    std::string text = Good("one") + std::string(4, '\0') + Good("two");
    Records records;
    EXPECT_EQ(Read(text, records), 0u);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_STREQ(records[0].text, "one");
}

TEST(StoryScriptReader, NoLabelReportsNothing) {
    Records records;
    testing::internal::CaptureStderr();
    EXPECT_EQ(Read("garbage\n" + Good("x"), records, nullptr), 1u);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(records.size(), 1u);
}

} // namespace
