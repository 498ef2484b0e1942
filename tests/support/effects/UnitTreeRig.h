// A started effects runtime for the unit tree's tests: effects written by
// the effect-file writer, instances played on a recording listener, the
// tree's creators recorded, and the timeline items and command records the
// tests build their effects from.
#pragma once

#include "support/effects/EffectFiles.h"
#include "support/effects/FakeListeners.h"
#include "support/effects/RecordingCreators.h"
#include "support/effects/RuntimeFrame.h"
#include "support/effects/RuntimeStartup.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/InstanceSlot.h"
#include "effects/Core/Memory/UnitInstancePool.h"
#include "effects/units/InstanceRootUnit.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace testsupport {

using effecttools::CommandClip;

inline void SetClipFloat(std::vector<uint8_t>& clip, uint32_t offset, float value) {
    std::memcpy(&clip[offset], &value, 4);
}

// A timeline item that runs the command `clip` at `frame`.
inline effecttools::TimelineItemValue CommandItem(std::vector<uint8_t> clip, uint16_t frame,
                                                  uint8_t flags = 1) {
    effecttools::TimelineItemValue item;
    item.type = 1;
    item.enabled = 1;
    item.flags = flags;
    item.startFrame = frame;
    item.endFrame = frame;
    item.clip = std::move(clip);
    return item;
}

// A timeline item that starts package unit `unit` from `start` to `end`
// with fit mode `fit` and binding `bind` (-1: none).
inline effecttools::TimelineItemValue UnitItem(int16_t unit, uint16_t start, uint16_t end,
                                               uint16_t fit = 0, int16_t bind = -1,
                                               uint8_t flags = 1) {
    effecttools::TimelineItemValue item;
    item.target = unit;
    item.enabled = 1;
    item.flags = flags;
    item.type = 0;
    item.lct = fit;
    item.startFrame = start;
    item.endFrame = end;
    item.bind = bind;
    return item;
}

// An effect of `units` plain units of `life` frames each, with the
// identity as its local matrix and no timelines; it does not end by time
// unless `endsByTime`.
inline effecttools::EffectFileValue TreeEffect(const std::string& name, int units = 1,
                                               int32_t life = 60, bool endsByTime = false) {
    effecttools::EffectFileValue f;
    f.name = name;
    f.package.floats = {{"BndR", 10.0f}, {"PvSx", 1.0f}, {"PvSy", 1.0f}, {"PvSz", 1.0f}};
    if (!endsByTime)
        f.package.fields.push_back({"bPIT", 1});
    for (int i = 0; i < units; ++i) {
        effecttools::UnitValue unit;
        unit.life = life;
        f.package.units.push_back(unit);
    }
    return f;
}

// A timeline of `length` frames holding `items`, and its index.
inline int16_t AddTimeline(effecttools::EffectFileValue& f, int32_t length,
                           std::vector<effecttools::TimelineItemValue> items) {
    effecttools::TimelineValue t;
    t.length = length;
    t.items = std::move(items);
    f.package.timelines.push_back(t);
    return static_cast<int16_t>(f.package.timelines.size() - 1);
}

inline std::vector<FulgorCore::UnitInstance*> Children(const FulgorCore::UnitInstance* parent) {
    std::vector<FulgorCore::UnitInstance*> list;
    for (FulgorCore::UnitInstance* c = parent->firstChild; c; c = c->nextSibling)
        list.push_back(c);
    return list;
}

inline std::vector<int> ChildIds(const FulgorCore::UnitInstance* parent) {
    std::vector<int> ids;
    for (const FulgorCore::UnitInstance* c : Children(parent))
        ids.push_back(c->timelineId);
    return ids;
}

class UnitTreeRig {
public:
    explicit UnitTreeRig(uint32_t instances = 32) {
        runtime.parameter.InstanceMaxCount = instances;
    }

    bool Start() { return runtime.Start(); }

    FulgorCore::ObjectHandle Load(const effecttools::EffectFileValue& f) {
        const FulgorCore::ObjectHandle h = LoadEffect(Write(f), &objects);
        effects.push_back(h);
        return h;
    }
    // A new instance of `effect` on the rig's listener (or `on`), started
    // at the next frame.
    FulgorCore::InstanceHandle Play(FulgorCore::ObjectHandle effect,
                                    FulgorCore::IInstanceListenner* on = nullptr) {
        const FulgorCore::InstanceHandle h =
            FulgorCore::Engine::CreateInstance(effect.index, effect.serial, on ? on : &listener);
        FulgorCore::Engine::PlayInstance(h.index, h.serial, 1.0f, 0);
        return h;
    }
    // The same without a listener.
    FulgorCore::InstanceHandle PlayAlone(FulgorCore::ObjectHandle effect) {
        const FulgorCore::InstanceHandle h =
            FulgorCore::Engine::CreateInstance(effect.index, effect.serial, nullptr);
        FulgorCore::Engine::PlayInstance(h.index, h.serial, 1.0f, 0);
        return h;
    }
    // Loads `f`, plays it on the rig's listener and runs one frame: the
    // instance's root, or null.
    FulgorCore::InstanceRootUnit* PlayRoot(const effecttools::EffectFileValue& f) {
        const FulgorCore::ObjectHandle h = Load(f);
        if (h.serial == 0)
            return nullptr;
        const FulgorCore::InstanceHandle instance = Play(h);
        Frame();
        return Root(instance);
    }
    static FulgorCore::InstanceRootUnit* Root(FulgorCore::InstanceHandle h) {
        const FulgorCore::InstanceSlot* slot = Record(h);
        return slot ? slot->root : nullptr;
    }
    static uint32_t UsedBlocks() {
        return FulgorCore::Engine::GetUnitInstancePool().GetUsedCount();
    }
    // Every instance killed and freed, every effect released: the pool's
    // used count, which is 0 after the start-up.
    uint32_t Release() {
        FulgorCore::EngineWorkData* work = FulgorCore::Engine::GetWorkData();
        for (FulgorCore::InstanceSlot* s = work->instances.activeHead; s; s = s->next)
            FulgorCore::Engine::KillInstance(s->index, s->serial);
        Frame();
        for (FulgorCore::ObjectHandle h : effects)
            FulgorCore::Engine::ReleaseResource(h.index, h.serial);
        effects.clear();
        return UsedBlocks();
    }

    FakeObjectListenner objects;
    FakeInstanceListenner listener;
    RecordingCreators creators;
    RuntimeStartup runtime;
    std::vector<FulgorCore::ObjectHandle> effects;
};

} // namespace testsupport
