// Commands queued to a stream's decode thread, executed in order.
#pragma once

#include "engine/common/BaseObject.h"

#include <cstdint>

namespace Mireku::Sound {

class Queue : public Common::BaseObject {
public:
    enum Code : uint32_t { kPlay = 1, kStop = 2, kFade = 3, kPause = 4, kRelease = 5 };
    virtual uint32_t GetCode() const = 0;
};

// Where a play command starts, ends and how often it repeats; seconds of 0
// or less mean the start, respectively the end, of the data.
struct PlaySection {
    int32_t loopCount; // extra passes; negative repeats forever
    float start;
    float end;
};

// Owns a copy of the sections (none when the heap is exhausted).
class Queue_Play final : public Queue {
public:
    Queue_Play(const PlaySection* sections, uint32_t count);
    ~Queue_Play() override;
    uint32_t GetCode() const override { return kPlay; }
    const PlaySection* GetSections() const { return sections_; }
    uint32_t GetCount() const { return count_; }

private:
    PlaySection* sections_ = nullptr;
    uint32_t count_ = 0;
};

class Queue_Stop final : public Queue {
public:
    uint32_t GetCode() const override { return kStop; }
};

class Queue_Fade final : public Queue {
public:
    Queue_Fade(float from, float to, uint32_t milliseconds)
        : from_(from), to_(to), duration_(milliseconds) {}
    uint32_t GetCode() const override { return kFade; }
    float GetFrom() const { return from_; }
    float GetTo() const { return to_; }
    uint32_t GetDuration() const { return duration_; }

private:
    float from_;
    float to_;
    uint32_t duration_;
};

class Queue_Pause final : public Queue {
public:
    uint32_t GetCode() const override { return kPause; }
};

class Queue_Release final : public Queue {
public:
    uint32_t GetCode() const override { return kRelease; }
};

} // namespace Mireku::Sound
