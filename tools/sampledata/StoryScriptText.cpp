#include "tools/sampledata/StoryScriptText.h"

#include <cstdio>
#include <set>

namespace sampledata {

namespace {

std::string Format(const char* format, int a, int b = 0) {
    char text[64];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

std::string Quoted(const std::string& s) {
    return "\"" + s + "\"";
}

// A continuation: new delays for the command before it.
ScriptLine Continue(int32_t speaker, int32_t face, int32_t faceDelay, int32_t shake) {
    ScriptLine l;
    l.speaker = speaker;
    l.face = face;
    l.faceDelay = faceDelay;
    l.shake = shake;
    return l;
}

ScriptLine EndOfPreload() {
    ScriptLine l;
    l.line = -1;
    return l;
}

// The other speakers of a pilot's story: a character with a portrait sheet
// (7-9), another pilot, and one known only by a name plate (10-14).
int32_t Partner(int32_t pilot) {
    return 7 + (pilot - 1) % 3;
}
int32_t Rival(int32_t pilot) {
    return pilot % 6 + 1;
}
int32_t Voice(int32_t pilot) {
    return 10 + (pilot - 1) % 5;
}

std::vector<ScriptLine> Roll(const std::string& prefix, int32_t pilot, int32_t count) {
    std::vector<ScriptLine> lines;
    for (int32_t i = 1; i <= count; ++i)
        lines.push_back(
            MakeScriptLine(i, i % 2 ? pilot : 0, i % 2 ? 1 : 0, prefix + Format("%03d", i)));
    return lines;
}

// A scene between stages: the own pilot, another speaker whose face waits
// 20 frames and then changes again after 45 frames with the portraits
// shaking after 30, a hidden line, and a face 0 that takes the last one.
std::vector<ScriptLine> StageScene(const std::string& prefix, int32_t pilot, int32_t stage) {
    const int32_t other =
        stage % 3 == 0 ? Partner(pilot) : (stage % 3 == 1 ? Rival(pilot) : Voice(pilot));
    std::vector<ScriptLine> lines;
    lines.push_back(MakeScriptLine(1, pilot, 1 + stage % 5, prefix + "001"));
    ScriptLine second = MakeScriptLine(2, other, 2, prefix + "002");
    second.faceDelay = 20;
    lines.push_back(second);
    lines.push_back(Continue(other, 4, 45, 30));
    ScriptLine hidden = MakeScriptLine(3, pilot, 0, prefix + "003");
    hidden.hidden = 1;
    lines.push_back(hidden);
    lines.push_back(MakeScriptLine(4, pilot, 0, prefix + "004"));
    return lines;
}

std::vector<ScriptLine> Bridge(const std::string& prefix, int32_t pilot) {
    std::vector<ScriptLine> lines;
    lines.push_back(MakeScriptLine(1, Partner(pilot), 3, prefix + "001"));
    ScriptLine shaking = MakeScriptLine(2, pilot, 6, prefix + "002");
    shaking.shake = 40;
    lines.push_back(shaking);
    // Lines after this one have no text image loaded: the window shows none.
    lines.push_back(EndOfPreload());
    lines.push_back(MakeScriptLine(3, pilot, 7, prefix + "003"));
    return lines;
}

std::vector<ScriptLine> Ending(const std::string& prefix, int32_t pilot) {
    std::vector<ScriptLine> lines;
    lines.push_back(MakeScriptLine(1, pilot, 8, prefix + "001"));
    ScriptLine second = MakeScriptLine(2, Rival(pilot), 9, prefix + "002");
    second.faceDelay = 15;
    second.shake = 10;
    lines.push_back(second);
    lines.push_back(MakeScriptLine(3, pilot, 0, prefix + "003"));
    return lines;
}

// Pictures, a three-second black-out and a last picture.
std::vector<ScriptLine> TrueEnding(const std::string& prefix, int32_t pilot) {
    std::vector<ScriptLine> lines;
    ScriptLine first = MakeScriptLine(1, pilot, 1, prefix + "001");
    first.picture = Format("ed_pc%02d_01", pilot);
    lines.push_back(first);
    ScriptLine dark = MakeScriptLine(2, Partner(pilot), 2, prefix + "002");
    dark.pictureMode = -3;
    lines.push_back(dark);
    ScriptLine last = MakeScriptLine(3, pilot, 10, prefix + "003");
    last.picture = Format("ed_pc%02d_02", pilot);
    lines.push_back(last);
    return lines;
}

} // namespace

ScriptLine MakeScriptLine(int32_t line, int32_t speaker, int32_t face, const std::string& text) {
    ScriptLine l;
    l.line = line;
    l.speaker = speaker;
    l.face = face;
    l.text = text;
    return l;
}

std::string FormatScriptLine(const ScriptLine& l, const char* ending) {
    std::string s;
    for (int32_t v : {l.line, l.param1, l.speaker, l.face, l.faceDelay, l.hidden})
        s += std::to_string(v) + ",";
    s += Quoted(l.label6) + "," + std::to_string(l.param7) + "," + Quoted(l.label8) + ",";
    s += std::to_string(l.param9) + "," + std::to_string(l.shake) + ",";
    s += Quoted(l.picture) + "," + std::to_string(l.pictureMode) + "," + Quoted(l.text);
    return s + ending;
}

std::string FormatScript(const std::vector<ScriptLine>& lines) {
    std::string s;
    for (const ScriptLine& l : lines)
        s += FormatScriptLine(l);
    return s;
}

std::vector<StoryScriptFile> BuildStoryScripts() {
    std::vector<StoryScriptFile> files;
    for (int32_t p = 1; p <= 6; ++p) {
        const std::string folder = Format("script/script/pc%02d", p);
        const std::string pc = Format("pc%02d", p);
        files.push_back({folder, pc + "opening.txt", Roll(pc + "op", p, 6)});
        for (int32_t s = 0; s < 12; ++s) {
            const std::string part = Format("stage%02d-%02d", s / 3 + 1, s % 3 + 1);
            files.push_back(
                {folder, pc + part + ".txt", StageScene(pc + Format("s%02d", s + 1), p, s)});
        }
        for (int32_t k = 2; k <= 4; ++k)
            files.push_back({folder, pc + Format("stage%02d_introduction.txt", k),
                             Roll(pc + Format("in%02d", k), p, 4)});
        files.push_back({folder, pc + "last_boss_bridge.txt", Bridge(pc + "lb", p)});
        files.push_back({folder, pc + "ending.txt", Ending(pc + "ed", p)});
        if (p == 1 || p == 5 || p == 6)
            files.push_back({folder, pc + "true_ending.txt", TrueEnding(pc + "te", p)});
    }
    return files;
}

std::vector<std::string> StoryTextNames(const std::vector<StoryScriptFile>& scripts) {
    std::set<std::string> names;
    for (const StoryScriptFile& f : scripts)
        for (const ScriptLine& l : f.lines)
            if (!l.text.empty())
                names.insert(l.text);
    return {names.begin(), names.end()};
}

std::vector<std::string> StoryPictureNames(const std::vector<StoryScriptFile>& scripts) {
    std::set<std::string> names;
    for (const StoryScriptFile& f : scripts)
        for (const ScriptLine& l : f.lines)
            if (!l.picture.empty())
                names.insert(l.picture);
    return {names.begin(), names.end()};
}

} // namespace sampledata
