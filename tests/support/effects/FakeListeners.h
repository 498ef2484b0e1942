// Listener fakes for the effects runtime: they count references and record
// every call.
#pragma once

#include "support/effects/CountedObject.h"

#include "effects/Core/Interface/IInstanceListenner.h"
#include "effects/Core/Interface/ILightListenner.h"
#include "effects/Core/Interface/IObjectListenner.h"
#include "effects/Core/Interface/ITexture.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

// Records each light query (unless `keep` is cleared, as the benchmarks
// do); answers with `answer` in every result word.
class FakeLightListenner : public HeldObject<FulgorCore::ILightListenner> {
public:
    struct Query {
        uint32_t parameter;
        float position[3];
    };
    bool QueryLightA(uint32_t parameter, const float* position, float* result) override {
        return Answer(queriesA, parameter, position, result);
    }
    bool QueryLightB(uint32_t parameter, const float* position, float* result) override {
        return Answer(queriesB, parameter, position, result);
    }

    std::vector<Query> queriesA;
    std::vector<Query> queriesB;
    float answer = 0.5f;
    bool keep = true;

private:
    bool Answer(std::vector<Query>& log, uint32_t parameter, const float* position, float* result) {
        if (keep)
            log.push_back({parameter, {position[0], position[1], position[2]}});
        for (int i = 0; i < 4; ++i)
            result[i] = answer;
        return true;
    }
};

class FakeObjectListenner : public HeldObject<FulgorCore::IObjectListenner> {
public:
    void OnCreate(FulgorCore::ObjectHandle handle) override { created.push_back(handle); }
    void OnRelease(FulgorCore::ObjectHandle handle) override { released.push_back(handle); }
    // Hands out the texture registered under the name (with a reference
    // for the caller), else null.
    FulgorCore::ITexture* FindTexture(const char* name) override {
        textureNames.push_back(name);
        const auto found = textures.find(name);
        if (found == textures.end() || !found->second)
            return nullptr;
        found->second->AddRef();
        return found->second;
    }
    uint32_t FindSound(const char* name, uint32_t parameter) override {
        soundNames.push_back(name);
        soundParameters.push_back(parameter);
        return soundAnswer ? soundAnswer + static_cast<uint32_t>(soundNames.size()) - 1 : 0;
    }
    void ReleaseSound(uint32_t sound) override { releasedSounds.push_back(sound); }
    FulgorCore::ObjectHandle LoadReferencedEffect(const char* name) override {
        asked.push_back(name);
        return answer;
    }

    std::vector<FulgorCore::ObjectHandle> created;
    std::vector<FulgorCore::ObjectHandle> released;
    std::vector<std::string> asked;
    FulgorCore::ObjectHandle answer{};
    // Textures by name the listener knows (not owned).
    std::map<std::string, FulgorCore::ITexture*> textures;
    std::vector<std::string> textureNames;
    // Sound handles given out are soundAnswer, soundAnswer + 1, ... in call
    // order; 0 gives none.
    uint32_t soundAnswer = 0;
    std::vector<std::string> soundNames;
    std::vector<uint32_t> soundParameters;
    std::vector<uint32_t> releasedSounds;
};

class FakeInstanceListenner : public HeldObject<FulgorCore::IInstanceListenner> {
public:
    void OnCreate(FulgorCore::InstanceHandle handle) override { created.push_back(handle); }
    void OnRelease(FulgorCore::InstanceHandle handle) override { released.push_back(handle); }
    void OnEvent(const char* const* texts, const int32_t* integers, const float* floats) override {
        events.push_back(integers ? integers[0] : 0);
        Event e;
        for (int i = 0; texts && i < 4; ++i)
            e.texts[i] = texts[i];
        for (int i = 0; integers && i < 3; ++i)
            e.integers[i] = integers[i];
        for (int i = 0; floats && i < 3; ++i)
            e.floats[i] = floats[i];
        eventCalls.push_back(e);
    }
    uint32_t GetTargetCountX() override { return static_cast<uint32_t>(targetsX.size()); }
    uint32_t GetTargetCountY() override { return static_cast<uint32_t>(targetsY.size()); }
    uint32_t GetTargetX(uint32_t index) override {
        return index < targetsX.size() ? targetsX[index] : 0;
    }
    uint32_t GetTargetY(uint32_t index) override {
        return index < targetsY.size() ? targetsY[index] : 0;
    }
    bool GetTargetMatrix(uint32_t target, uint32_t, uint32_t, float* matrix34) override {
        matrixTargets.push_back(target);
        for (int i = 0; i < 12; ++i)
            matrix34[i] = (i % 4) == 0 && i < 9 ? 1.0f : 0.0f;
        return true;
    }
    bool OnPosition(const float* position) override {
        positions.push_back({position[0], position[1], position[2]});
        return true;
    }
    uint32_t StartHostObject(uint32_t id, const char* name, uint32_t parameter,
                             const float* position) override {
        hostStarts.push_back(
            {id, name ? name : "", parameter, {position[0], position[1], position[2]}, 0});
        return hostAnswer;
    }
    void StopHostObject(uint32_t id, uint32_t handle) override {
        hostStops.push_back({id, "", 0, {}, handle});
    }
    void OnUnitEvent(uint32_t event, uint32_t value) override {
        unitEvents.push_back({event, value});
    }

    // What one event carried: the four texts, three integers, three floats.
    struct Event {
        std::string texts[4];
        int32_t integers[3] = {};
        float floats[3] = {};
    };

    std::vector<FulgorCore::InstanceHandle> created;
    std::vector<FulgorCore::InstanceHandle> released;
    std::vector<int32_t> events;
    std::vector<Event> eventCalls;
    std::vector<std::vector<float>> positions;
    // A host object's start {id, name, parameter, position} or stop {id,
    // handle}.
    struct HostCall {
        uint32_t id;
        std::string name;
        uint32_t parameter;
        std::vector<float> position;
        uint32_t handle;
    };
    std::vector<HostCall> hostStarts;
    std::vector<HostCall> hostStops;
    uint32_t hostAnswer = 0;
    std::vector<std::pair<uint32_t, uint32_t>> unitEvents;
    // The bind-target lists the listener answers.
    std::vector<uint32_t> targetsX;
    std::vector<uint32_t> targetsY;
    std::vector<uint32_t> matrixTargets;
};

} // namespace testsupport
