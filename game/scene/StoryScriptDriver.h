// Chooses the story script for the pilot and the occasion, reads it into
// command records and steps through them frame by frame. The current command
// tells the window and the portraits who speaks, with which face, line and
// voice, and the ending which picture to show. One instance lives for the
// whole run; everything runs on the main thread.
#pragma once

#include "game/scene/StoryCommand.h"
#include "game/scene/StoryScriptReader.h"

#include <cstdint>

namespace Mireku::Resource {
class ChildResourceLoader;
}

class StoryScriptDriver {
public:
    enum Kind : uint32_t {
        kOpening = 0,
        kStageScene = 1,   // between stages, by stage % 12
        kIntroduction = 2, // the intermission after every third stage
        kLastBossBridge = 3,
        kEnding = 4,
        kEndingAlone = 5, // the ending's file without a scene
        kTrueEnding = 6,
        kNone = 7, // nothing is read and every step is idle
    };
    enum StepState : uint32_t {
        kIdle = 0,       // nothing loaded, or the script has ended
        kTakeNext = 1,   // the next step takes the next command
        kTimed = 2,      // the pending record's delays count down
        kWaitDecide = 3, // the command stays until decide
    };

    static constexpr uint32_t kPathSize = 64;
    static constexpr const char* kFolderFormat = "script/script/pc%02d";

    static StoryScriptDriver& Instance();

    // The pilot number (1-6) of the first player record's ship; 1 without
    // a game state or for a ship outside 0-5.
    static int32_t PilotOfPlayer();

    StoryScriptDriver() = default;
    StoryScriptDriver(const StoryScriptDriver&) = delete;
    StoryScriptDriver& operator=(const StoryScriptDriver&) = delete;

    // Starts an occasion: the kind, the idle state, the pilot of the first
    // player record and a cleared current command. The records stay.
    void SetScript(uint32_t kind);
    // Reads the script of the kind into the records and takes the first
    // command. A file that cannot be read leaves no records, so that the
    // scene closes its window at once rather than step through what an
    // earlier scene left; kind 7 reads nothing.
    void Load(Mireku::Resource::ChildResourceLoader& loader);
    // The records of the text, then the first command (the load's second
    // half); `label` names the text in the messages about skipped lines.
    void LoadText(const uint8_t* data, uint32_t size, const char* label);
    // One frame: false when nothing (more) is to be shown. Only a `restart`
    // of 1 counts: it takes the next command without the decide button.
    bool Step(uint8_t restart);
    // Copies the text of record `index` into `buffer` and returns its line;
    // -1 for kind 7 or an index outside the records.
    int32_t GetText(uint32_t index, char (&buffer)[kPathSize]) const;
    // The scenes' end: no records (the storage is kept).
    void ClearRecords() { records_.clear(); }

    // The folder and file name of a kind's script for a pilot (1-6) and a
    // stage (0-23). False for kind 7 or a kind without a file.
    static bool FormatPath(uint32_t kind, int32_t pilot, uint32_t stage, char (&folder)[kPathSize],
                           char (&name)[kPathSize]);

    uint32_t GetKind() const { return kind_; }
    uint32_t GetStepState() const { return stepState_; }
    int32_t GetPilot() const { return pilot_; }
    bool HasNewCommand() const { return newCommand_ != 0; }
    const StoryCommand& GetCurrent() const { return current_; }
    const StoryCommand& GetPending() const { return pending_; }
    const StoryScriptReader::Records& GetRecords() const { return records_; }
    // Index of the next record the driver looks at.
    size_t GetCursor() const { return cursor_; }

private:
    bool NextCommand();
    void TickPending(bool decide);
    static bool DecidePressed();

    uint32_t kind_ = kOpening;
    uint32_t stepState_ = kIdle;
    uint8_t newCommand_ = 0;
    int32_t pilot_ = 1;
    StoryScriptReader::Records records_;
    size_t cursor_ = 0;
    StoryCommand current_{};
    StoryCommand pending_{};
};
