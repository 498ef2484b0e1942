#include "effects/units/TimelineCommand.h"

#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Interface/IInstanceListenner.h"
#include "effects/Core/Resource/TimelineClip.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/TimelineUnit.h"
#include "sys/bytes.h"

#include <cstring>

namespace FulgorCore {

namespace {

constexpr uint32_t kRandomTimeline = MakeChunkTag("RNTK");
constexpr uint32_t kFadeOut = MakeChunkTag("KILL");
constexpr uint32_t kStopLooping = MakeChunkTag("ULLP");
constexpr uint32_t kSkipFrames = MakeChunkTag("SKFR");
constexpr uint32_t kEvent = MakeChunkTag("EVCB");
constexpr uint32_t kChildInstance = MakeChunkTag("VFXC");

// Criteria 3 and 4 choose one id: KILL's from w2 + 1, ULLP's from w2.
constexpr uint32_t kCriterionId = 3;
constexpr uint32_t kCriterionNegativeId = 4;

// Word n of the record, after the tag (word 0).
uint32_t Word(const TimelineClip& record, uint32_t n) {
    return sys::LoadU32(record.bytes + n * 4);
}

float FloatAt(const TimelineClip& record, uint32_t offset) {
    float value;
    std::memcpy(&value, record.bytes + offset, sizeof(value));
    return value;
}

// The record's four text fields, each copied up to its first zero or its
// 16 bytes and terminated: the file does not promise the terminator.
struct TextFields {
    char texts[TimelineCommand::kTextFields][TimelineCommand::kTextSize + 1];

    explicit TextFields(const TimelineClip& record) {
        for (uint32_t i = 0; i < TimelineCommand::kTextFields; ++i) {
            const char* field = reinterpret_cast<const char*>(
                record.bytes + TimelineCommand::kTextOffset + i * TimelineCommand::kTextSize);
            const size_t length = strnlen(field, TimelineCommand::kTextSize);
            std::memcpy(texts[i], field, length);
            texts[i][length] = '\0';
        }
    }

    // The four joined, cut at kNameLength characters.
    void Join(char (&name)[TimelineCommand::kNameLength + 1]) const {
        size_t length = 0;
        for (const char* text : texts) {
            const size_t part = std::strlen(text);
            const size_t room = TimelineCommand::kNameLength - length;
            const size_t copied = part < room ? part : room;
            std::memcpy(name + length, text, copied);
            length += copied;
        }
        name[length] = '\0';
    }
};

UnitInstance::InitialState CommandState(TimelineUnit* issuer) {
    UnitInstance::InitialState state;
    state.parent = issuer;
    state.speed = 1.0f;
    state.lifetime = 0.0f;
    state.timeMode = UnitInstance::kEndless;
    return state;
}

} // namespace

bool TimelineCommand::Knows(uint32_t tag) {
    return tag == kRandomTimeline || tag == kFadeOut || tag == kStopLooping || tag == kSkipFrames ||
           tag == kEvent || tag == kChildInstance;
}

TimelineCommand::TimelineCommand(InstanceRootUnit* owner, TimelineUnit* issuer,
                                 const TimelineClip& record)
    : UnitInstance(owner, CommandState(issuer)) {
    switch (record.GetCommand()) {
    case kRandomTimeline:
        StartRandomTimeline(record);
        break;
    case kFadeOut:
        FadeOutTimelines(record);
        break;
    case kStopLooping:
        StopTimelinesLooping(record);
        break;
    case kSkipFrames:
        SkipToFrame(record);
        break;
    case kEvent:
        SendEvent(record);
        break;
    case kChildInstance:
        StartChildInstance(record);
        break;
    default:
        break;
    }
    Finish();
}

void TimelineCommand::StartRandomTimeline(const TimelineClip& record) {
    const uint32_t lowest = Word(record, 1);
    const uint32_t highest = Word(record, 2);
    EngineWorkData* work = Engine::GetWorkData();
    if (!work)
        return;
    const uint32_t x = work->random.Next();
    // Bounds one apart the wrong way round leave no range: the lowest.
    const uint32_t range = highest - lowest + 1u;
    const uint32_t number = range != 0 ? lowest + x % range : lowest;
    owner->StartExtraTimeline(static_cast<int32_t>(number));
}

void TimelineCommand::FadeOutTimelines(const TimelineClip& record) {
    const uint32_t criterion = Word(record, 1);
    const uint32_t value = Word(record, 2);
    int8_t id = 0;
    if (criterion == kCriterionId)
        id = static_cast<int8_t>(value + 1u);
    else if (criterion == kCriterionNegativeId)
        id = static_cast<int8_t>(0u - (value + 1u));
    FadeOutTimelineUnitsBy(owner, criterion, parent, id, Word(record, 3));
}

void TimelineCommand::StopTimelinesLooping(const TimelineClip& record) {
    const uint32_t criterion = Word(record, 1);
    const uint32_t value = Word(record, 2);
    int8_t id = 0;
    if (criterion == kCriterionId)
        id = static_cast<int8_t>(value);
    else if (criterion == kCriterionNegativeId)
        id = static_cast<int8_t>(0u - value);
    RestartTimelineUnitsBy(owner, criterion, parent, id);
}

void TimelineCommand::SkipToFrame(const TimelineClip& record) {
    int32_t frame = static_cast<int32_t>(Word(record, 1));
    if (frame > kMaxSkipFrame)
        frame = kMaxSkipFrame;
    if (owner->skipToFrame < frame)
        owner->skipToFrame = frame;
}

void TimelineCommand::SendEvent(const TimelineClip& record) {
    IInstanceListenner* listener = owner->listener;
    if (!listener)
        return;
    const TextFields fields(record);
    const char* texts[kTextFields];
    for (uint32_t i = 0; i < kTextFields; ++i)
        texts[i] = fields.texts[i];
    const int32_t integers[3] = {static_cast<int32_t>(Word(record, 1)),
                                 static_cast<int32_t>(Word(record, 2)),
                                 static_cast<int32_t>(Word(record, 3))};
    const float floats[3] = {FloatAt(record, 20), FloatAt(record, 24), FloatAt(record, 28)};
    listener->OnEvent(texts, integers, floats);
}

void TimelineCommand::StartChildInstance(const TimelineClip& record) {
    char name[kNameLength + 1];
    TextFields(record).Join(name);
    const float colour[4] = {FloatAt(record, 20), FloatAt(record, 24), FloatAt(record, 28),
                             FloatAt(record, 32)};
    owner->SpawnChildInstance(name, colour);
}

} // namespace FulgorCore
