// Recording doubles of the particle part creators: while one is alive every
// draw, emitter and extra unit a particle asks for is built as a stand-in
// that logs what the particle calls on it ("d0.update", "e1.spawn", ...),
// or, by `mode`, not built without a reason (as for a kind without a
// class) or refused for want of a block.
#pragma once

#include "effects/units/ParticleDrawPart.h"
#include "effects/units/ParticleEmitterPart.h"
#include "effects/units/ParticleExtraPart.h"
#include "effects/units/ParticlePartCreators.h"

#include <string>
#include <vector>

namespace testsupport {

class RecordingParts {
public:
    enum class Mode { kBuild, kSkip, kNoBlock };

    RecordingParts() {
        Active() = this;
        FulgorCore::ParticlePartCreators::Current() = {Draw, Emitter, Extra};
    }
    ~RecordingParts() {
        FulgorCore::ParticlePartCreators::Current() = FulgorCore::ParticlePartCreators::kBuiltIn;
        Active() = nullptr;
    }
    RecordingParts(const RecordingParts&) = delete;
    RecordingParts& operator=(const RecordingParts&) = delete;

    Mode drawMode = Mode::kBuild;
    Mode emitterMode = Mode::kBuild;
    Mode extraMode = Mode::kBuild;
    std::vector<std::string> log;
    // The clock each draw part's update was given, in call order.
    std::vector<const FulgorCore::DrawClock*> clocks;
    int drawsBuilt = 0;
    int emittersBuilt = 0;
    int extrasBuilt = 0;

private:
    static RecordingParts*& Active() {
        static RecordingParts* active = nullptr;
        return active;
    }
    static void Log(const std::string& entry) {
        if (Active())
            Active()->log.push_back(entry);
    }

    class DrawPart : public FulgorCore::ParticleDrawPart {
    public:
        explicit DrawPart(int n) : name_("d" + std::to_string(n)) {}
        ~DrawPart() override { Log(name_ + ".delete"); }
        void Step() override { Log(name_ + ".step"); }
        // Records the clock it was given, then writes into it as a unit
        // that scribbles on its argument would.
        void Update(const FulgorCore::DrawClock& clock) override {
            Log(name_ + ".update");
            if (Active())
                Active()->clocks.push_back(&clock);
            const_cast<FulgorCore::DrawClock&>(clock).timeA += 100.0f;
        }
        void Draw() override { Log(name_ + ".draw"); }

    private:
        std::string name_;
    };
    class EmitterPart : public FulgorCore::ParticleEmitterPart {
    public:
        explicit EmitterPart(int n) : name_("e" + std::to_string(n)) {}
        ~EmitterPart() override { Log(name_ + ".delete"); }
        void SpawnEventChildren() override { Log(name_ + ".spawn"); }
        void SpawnEventChildrenType2() override { Log(name_ + ".death"); }
        void Update() override { Log(name_ + ".update"); }
        void GetPointPosition(uint32_t index, float* out) const override {
            out[0] = static_cast<float>(index);
            out[1] = 7.0f;
            out[2] = 0.0f;
        }

    private:
        std::string name_;
    };
    class ExtraPart : public FulgorCore::ParticleExtraPart {
    public:
        ~ExtraPart() override { Log("x.delete"); }
        void Update() override { Log("x.update"); }
    };

    template <class T, class... Args>
    static T* Build(Mode mode, bool& noBlock, int& count, Args... args) {
        if (mode == Mode::kSkip)
            return nullptr;
        if (mode == Mode::kNoBlock) {
            noBlock = true;
            return nullptr;
        }
        T* part = FulgorCore::UnitPoolPart::Create<T>(args...);
        if (!part)
            noBlock = true;
        else
            ++count;
        return part;
    }
    static FulgorCore::ParticleDrawPart* Draw(FulgorCore::ParticleInstance*,
                                              const FulgorCore::ParticleResource*, bool& noBlock) {
        RecordingParts& r = *Active();
        return Build<DrawPart>(r.drawMode, noBlock, r.drawsBuilt, r.drawsBuilt);
    }
    static FulgorCore::ParticleEmitterPart*
    Emitter(FulgorCore::ParticleInstance*, const FulgorCore::EmitterResource*, bool& noBlock) {
        RecordingParts& r = *Active();
        return Build<EmitterPart>(r.emitterMode, noBlock, r.emittersBuilt, r.emittersBuilt);
    }
    static FulgorCore::ParticleExtraPart*
    Extra(FulgorCore::ParticleInstance*, const FulgorCore::EffectPartResource*, bool& noBlock) {
        RecordingParts& r = *Active();
        return Build<ExtraPart>(r.extraMode, noBlock, r.extrasBuilt);
    }
};

} // namespace testsupport
