// Writes the seed corpus of the story script fuzz target: the first pilot's
// generated scripts and the true endings as the game reads them, and a few
// variants of their line endings.
//   make_story_seeds <folder>
#include "tools/sampledata/StoryScriptText.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_story_seeds <folder>\n");
        return 2;
    }
    std::vector<std::string> seeds;
    for (const sampledata::StoryScriptFile& file : sampledata::BuildStoryScripts())
        if (file.folder == "script/script/pc01" || file.name.find("true") != std::string::npos)
            seeds.push_back(sampledata::FormatScript(file.lines));
    // The first scene between stages with other endings: LF alone, any byte
    // before the LF, and a last line without one.
    const std::vector<sampledata::ScriptLine> lines = sampledata::BuildStoryScripts()[1].lines;
    for (const char* ending : {"\n", "X\n"}) {
        std::string text;
        for (const sampledata::ScriptLine& line : lines)
            text += sampledata::FormatScriptLine(line, ending);
        seeds.push_back(text);
    }
    seeds.push_back(sampledata::FormatScript(lines) + sampledata::FormatScriptLine(lines[0], ""));
    for (size_t i = 0; i < seeds.size(); ++i) {
        std::ofstream out(std::string(argv[1]) + "/seed" + std::to_string(i), std::ios::binary);
        out.write(seeds[i].data(), static_cast<std::streamsize>(seeds[i].size()));
        if (!out)
            return 1;
    }
    return 0;
}
