// Listener fakes for the effects runtime: they count references and record
// every call.
#pragma once

#include "support/effects/CountedObject.h"

#include "effects/Core/Interface/IInstanceListenner.h"
#include "effects/Core/Interface/ILightListenner.h"
#include "effects/Core/Interface/IObjectListenner.h"

#include <string>
#include <vector>

namespace testsupport {

class FakeLightListenner : public HeldObject<FulgorCore::ILightListenner> {};

class FakeObjectListenner : public HeldObject<FulgorCore::IObjectListenner> {
public:
    void OnCreate(FulgorCore::ObjectHandle handle) override { created.push_back(handle); }
    void OnRelease(FulgorCore::ObjectHandle handle) override { released.push_back(handle); }
    FulgorCore::ObjectHandle LoadReferencedEffect(const char* name) override {
        asked.push_back(name);
        return answer;
    }

    std::vector<FulgorCore::ObjectHandle> created;
    std::vector<FulgorCore::ObjectHandle> released;
    std::vector<std::string> asked;
    FulgorCore::ObjectHandle answer{};
};

class FakeInstanceListenner : public HeldObject<FulgorCore::IInstanceListenner> {
public:
    void OnCreate(FulgorCore::InstanceHandle handle) override { created.push_back(handle); }
    void OnRelease(FulgorCore::InstanceHandle handle) override { released.push_back(handle); }
    void OnEvent(const char* const*, const int32_t* integers, const float*) override {
        events.push_back(integers ? integers[0] : 0);
    }
    bool OnPosition(const float* position) override {
        positions.push_back({position[0], position[1], position[2]});
        return true;
    }

    std::vector<FulgorCore::InstanceHandle> created;
    std::vector<FulgorCore::InstanceHandle> released;
    std::vector<int32_t> events;
    std::vector<std::vector<float>> positions;
};

} // namespace testsupport
