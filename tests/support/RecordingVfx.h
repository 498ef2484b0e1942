// A test double of the effect instances the screens drive: it records every
// call and, while held, keeps a requested play playing; not held, whatever
// plays ends at the next update. It makes no runtime instance. The effects
// controller makes these once MakeRecordingInstance is installed as its
// instance maker.
#pragma once

#include "game/vfx/VfxData.h"
#include "game/vfx/VfxInstance.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace flow_test {

class RecordingVfxInstance : public VfxInstance {
public:
    enum Kind { kPlay, kStop, kParameter };
    struct Call {
        Kind kind;
        uint32_t value; // the layer of a play, the bit of a parameter
        bool operator==(const Call&) const = default;
    };

    explicit RecordingVfxInstance(VfxData* data) : VfxInstance(data, nullptr) {
        Made().push_back(this);
    }
    ~RecordingVfxInstance() override {
        auto& made = Made();
        made.erase(std::remove(made.begin(), made.end(), this), made.end());
    }

    void Play(uint32_t layer) override {
        calls.push_back({kPlay, layer});
        VfxInstance::Play(layer);
    }
    void Stop() override {
        calls.push_back({kStop, 0});
        VfxInstance::Stop();
    }
    void SetParameter(uint32_t bit) override {
        calls.push_back({kParameter, bit});
        VfxInstance::SetParameter(bit);
    }
    // Held: a requested play starts and keeps playing. Not held: whatever
    // plays ends.
    void Update() override {
        if (Held())
            state_ = state_ == kPlayRequested ? kPlaying : state_;
        else if (state_ == kPlayRequested || state_ == kPlaying)
            state_ = kStopped;
    }

    // The parameter bits raised, in order.
    std::vector<uint32_t> Parameters() const {
        std::vector<uint32_t> bits;
        for (const Call& c : calls)
            if (c.kind == kParameter)
                bits.push_back(c.value);
        return bits;
    }
    size_t Count(Kind kind) const {
        return static_cast<size_t>(std::count_if(calls.begin(), calls.end(),
                                                 [kind](const Call& c) { return c.kind == kind; }));
    }

    std::vector<Call> calls;

    // Every double alive, in the order made.
    static std::vector<RecordingVfxInstance*>& Made() {
        static std::vector<RecordingVfxInstance*> made;
        return made;
    }
    // The live double of the effect registered under `name`, or null.
    static RecordingVfxInstance* Find(const char* name) {
        for (RecordingVfxInstance* r : Made())
            if (r->GetData() && std::strcmp(r->GetData()->GetName(), name) == 0)
                return r;
        return nullptr;
    }
    static bool& Held() {
        static bool held = false;
        return held;
    }
};

inline VfxInstance* MakeRecordingInstance(VfxData* data, const VfxEventDelegate*) {
    return new RecordingVfxInstance(data);
}

} // namespace flow_test
