// Sample balance tables and demo replays for the game: every table the game
// state loads from the folder "code", for every mode and stage, with values in
// their meaningful ranges, and the four attract-demo replays.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace SampleData {

struct NamedFile {
    std::string name; // file name inside the folder "code"
    std::vector<uint8_t> bytes;
};

// Every ".tsb" table, by file name.
std::vector<NamedFile> BuildGameTables();

// Demo replay n (1 to 4): a header (ship n - 1, stage 0, a normal game) and a
// few hundred plausible input words.
std::vector<uint8_t> BuildDemoReplay(int n);

// Writes "demo1.replay" to "demo4.replay" into `replayFolder` (created);
// false when a file cannot be written.
bool WriteDemoReplays(const std::string& replayFolder);

} // namespace SampleData
