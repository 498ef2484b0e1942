// Story script text as the game reads it: lines of 14 comma-separated fields
// ending in CR LF, and the sample scripts of every pilot and occasion with
// the names of the text images, voices and pictures they use. The builder's
// story kinds, the story tests and the script fuzz target's seeds all come
// from here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sampledata {

// The fields of one script line, in file order.
struct ScriptLine {
    int32_t line = 0;
    int32_t param1 = 0;
    int32_t speaker = 0;
    int32_t face = 0;
    int32_t faceDelay = 0;
    int32_t hidden = 0;
    std::string label6;
    int32_t param7 = 0;
    std::string label8;
    int32_t param9 = 0;
    int32_t shake = 0;
    std::string picture;
    int32_t pictureMode = 0;
    std::string text;
};

// A line of text `text` said by `speaker` with `face`; every other field 0
// or empty.
ScriptLine MakeScriptLine(int32_t line, int32_t speaker, int32_t face, const std::string& text);

// `1,0,1,3,0,0,"",0,"",0,0,"",0,"pc01op001"` and the line ending.
std::string FormatScriptLine(const ScriptLine& line, const char* ending = "\r\n");
std::string FormatScript(const std::vector<ScriptLine>& lines);

struct StoryScriptFile {
    std::string folder; // "script/script/pc01"
    std::string name;   // "pc01opening.txt"
    std::vector<ScriptLine> lines;
};

// Every sample script: for pilots 1 to 6 the opening, the twelve scenes
// between stages, the three introductions, the bridge to the last boss and
// the ending; the true endings of pilots 1, 5 and 6.
std::vector<StoryScriptFile> BuildStoryScripts();

// The text names of the lines of all scripts (each a text image and a
// voice), and the pictures the true endings show, without ".dds".
std::vector<std::string> StoryTextNames(const std::vector<StoryScriptFile>& scripts);
std::vector<std::string> StoryPictureNames(const std::vector<StoryScriptFile>& scripts);

} // namespace sampledata
