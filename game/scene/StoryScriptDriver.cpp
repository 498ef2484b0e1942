#include "game/scene/StoryScriptDriver.h"

#include "engine/resource/ChildResourceLoader.h"
#include "game/core/GlobalWork.h"
#include "game/core/InputManager.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr uint32_t kStagesPerLoop = 12;

// The scene between stages, by stage % 12.
constexpr const char* kStageSceneNames[kStagesPerLoop] = {
    "pc%02dstage01-01.txt", "pc%02dstage01-02.txt", "pc%02dstage01-03.txt", "pc%02dstage02-01.txt",
    "pc%02dstage02-02.txt", "pc%02dstage02-03.txt", "pc%02dstage03-01.txt", "pc%02dstage03-02.txt",
    "pc%02dstage03-03.txt", "pc%02dstage04-01.txt", "pc%02dstage04-02.txt", "pc%02dstage04-03.txt",
};

// Pilots 1 to 4 share the first pilot's true ending.
constexpr int32_t kTrueEndingSharedUpTo = 4;

} // namespace

StoryScriptDriver& StoryScriptDriver::Instance() {
    static StoryScriptDriver driver;
    return driver;
}

bool StoryScriptDriver::FormatPath(uint32_t kind, int32_t pilot, uint32_t stage,
                                   char (&folder)[kPathSize], char (&name)[kPathSize]) {
    const uint32_t s = stage % kStagesPerLoop;
    int32_t folderPilot = pilot;
    switch (kind) {
    case kOpening:
        std::snprintf(name, kPathSize, "pc%02dopening.txt", pilot);
        break;
    case kStageScene:
        std::snprintf(name, kPathSize, kStageSceneNames[s], pilot);
        break;
    case kIntroduction:
        std::snprintf(name, kPathSize, "pc%02dstage%02d_introduction.txt", pilot,
                      static_cast<int32_t>(s / 3 + 2));
        break;
    case kLastBossBridge:
        std::snprintf(name, kPathSize, "pc%02dlast_boss_bridge.txt", pilot);
        break;
    case kEnding:
    case kEndingAlone:
        std::snprintf(name, kPathSize, "pc%02dending.txt", pilot);
        break;
    case kTrueEnding:
        folderPilot = pilot <= kTrueEndingSharedUpTo ? 1 : pilot;
        std::snprintf(name, kPathSize, "pc%02dtrue_ending.txt", folderPilot);
        break;
    default:
        return false;
    }
    std::snprintf(folder, kPathSize, kFolderFormat, folderPilot);
    return true;
}

int32_t StoryScriptDriver::PilotOfPlayer() {
    if (const GlobalWork* work = GlobalWork::GetInstance()) {
        const int32_t ship = work->player.ship;
        if (ship >= 0 && ship < static_cast<int32_t>(ProgressBlock::kShipCount))
            return ship + 1;
    }
    return 1;
}

void StoryScriptDriver::SetScript(uint32_t kind) {
    kind_ = kind;
    stepState_ = kIdle;
    pilot_ = PilotOfPlayer();
    current_ = StoryCommand{};
}

void StoryScriptDriver::Load(Mireku::Resource::ChildResourceLoader& loader) {
    char folder[kPathSize];
    char name[kPathSize];
    const uint32_t stage = GlobalWork::GetInstance() ? GlobalWork::GetInstance()->stage : 0;
    if (!FormatPath(kind_, pilot_, stage, folder, name))
        return;
    if (!loader.Read(folder, name)) {
        records_.clear();
        stepState_ = kIdle;
        return;
    }
    char label[kPathSize * 2];
    std::snprintf(label, sizeof label, "%s/%s", folder, name);
    LoadText(static_cast<const uint8_t*>(loader.GetData()), loader.GetSize(), label);
    loader.GetBuffer().Release();
}

void StoryScriptDriver::LoadText(const uint8_t* data, uint32_t size, const char* label) {
    StoryScriptReader::Read(data, size, label, records_);
    cursor_ = 0;
    NextCommand();
}

bool StoryScriptDriver::DecidePressed() {
    const InputManager* input = InputManager::GetInstance();
    return input && input->IsTriggered(InputManager::kShot);
}

bool StoryScriptDriver::NextCommand() {
    const size_t end = records_.size();
    if (cursor_ >= end) {
        stepState_ = kIdle;
        return false;
    }
    size_t taken = cursor_;
    bool take = true;
    for (;;) {
        if (records_[cursor_].line == 0) {
            if (++cursor_ == end) {
                stepState_ = kIdle;
                return false;
            }
            // Two continuations in a row: the second stands in for a taken
            // command, and only a third after it has any effect.
            if (records_[cursor_].line == 0) {
                taken = cursor_;
                take = false;
                break;
            }
        }
        if (records_[cursor_].hidden != 0) {
            if (++cursor_ == end) {
                stepState_ = kIdle;
                return false;
            }
            continue;
        }
        taken = cursor_;
        break;
    }

    if (take) {
        const StoryCommand& r = records_[taken];
        if (r.faceDelay == 0 && r.shake == 0) {
            current_ = r;
            stepState_ = kWaitDecide;
        } else {
            // The previous face stays on screen for the delay; the shake
            // starts when its own count runs out.
            const int32_t previousFace = current_.face;
            current_ = r;
            if (r.faceDelay != 0)
                current_.face = previousFace;
            current_.shake = 0;
            pending_ = r;
            stepState_ = kTimed;
        }
        newCommand_ = 1;
    }

    cursor_ = taken + 1;
    // A continuation replaces the command's own delays with its own.
    if (cursor_ < end && records_[cursor_].line == 0) {
        pending_ = records_[cursor_];
        stepState_ = kTimed;
    }
    return true;
}

void StoryScriptDriver::TickPending(bool decide) {
    if (pending_.faceDelay != 0) {
        --pending_.faceDelay;
        if (pending_.faceDelay == 0 || decide)
            current_.face = pending_.face;
    }
    if (pending_.shake != 0) {
        --pending_.shake;
        if (pending_.shake == 0)
            current_.shake = 1;
    }
}

bool StoryScriptDriver::Step(uint8_t restart) {
    if (records_.empty() || kind_ == kNone)
        return false;
    newCommand_ = 0;
    if (restart == 1)
        stepState_ = kTakeNext;
    switch (stepState_) {
    case kTakeNext:
        return NextCommand();
    case kTimed: {
        const bool decide = DecidePressed();
        TickPending(decide);
        if (decide)
            stepState_ = kTakeNext;
        return true;
    }
    case kWaitDecide:
        if (DecidePressed())
            return NextCommand();
        return true;
    default:
        return true;
    }
}

int32_t StoryScriptDriver::GetText(uint32_t index, char (&buffer)[kPathSize]) const {
    if (kind_ == kNone || index >= records_.size())
        return -1;
    std::memcpy(buffer, records_[index].text, StoryCommand::kStringSize);
    return records_[index].line;
}
