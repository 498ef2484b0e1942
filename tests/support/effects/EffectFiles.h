// Small effect files for the runtime's tests, written by the effect-file
// writer: a unit of a given life with one drawn part, and the extras tests
// add (referenced effects, triggers with their timelines, binds).
#pragma once

#include "tools/effect/PackageWriter.h"

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// A timeline of `length` frames whose one entry starts package unit `unit`
// at frame 0 for the whole length; its flag mask takes part under the
// default instance flags.
inline effecttools::TimelineValue UnitTimeline(int16_t unit, int32_t length) {
    effecttools::TimelineValue t;
    t.length = length;
    effecttools::TimelineItemValue start;
    start.target = unit;
    start.enabled = 1;
    start.flags = 1;
    start.endFrame = static_cast<uint16_t>(length);
    t.items.push_back(start);
    return t;
}

// An effect named `name` whose one unit lives `life` frames, with a drawn
// part (a quad), a bounding radius of 10 and the identity as its local
// matrix. A life above 0 is played by a
// timeline of the first place, which the instance outlives by the one
// frame its root takes to see it gone; a life of 0 makes an effect that
// does not end by time.
inline effecttools::EffectFileValue SmallEffect(const std::string& name, int32_t life) {
    effecttools::EffectFileValue f;
    f.name = name;
    f.package.floats = {{"BndR", 10.0f}, {"PvSx", 1.0f}, {"PvSy", 1.0f}, {"PvSz", 1.0f}};
    effecttools::UnitValue unit;
    unit.life = life;
    effecttools::DrawPartValue quad;
    quad.data = effecttools::DrawDataType9Value{};
    unit.drawParts.push_back(quad);
    f.package.units.push_back(unit);
    if (life > 0) {
        f.package.timelines.push_back(UnitTimeline(0, life));
        f.package.assignments.push_back({int16_t{0}, std::nullopt});
    } else {
        f.package.fields.push_back({"bPIT", 1});
    }
    return f;
}

// Adds a timeline whose clip plays the effect named `other`, so the
// package refers to it.
inline void AddReference(effecttools::EffectFileValue& f, const std::string& other) {
    effecttools::TimelineValue t;
    t.length = 10;
    effecttools::TimelineItemValue play;
    play.type = 1;
    play.enabled = 1;
    play.clip = effecttools::ReferenceClip(other);
    t.items.push_back(play);
    f.package.timelines.push_back(t);
    f.package.referenceCapacity = f.package.referenceCapacity.value_or(0) + 1;
}

// Adds a timeline of `length` frames and returns its index.
inline int16_t AddTimeline(effecttools::EffectFileValue& f, int32_t length) {
    effecttools::TimelineValue t;
    t.length = length;
    f.package.timelines.push_back(t);
    return static_cast<int16_t>(f.package.timelines.size() - 1);
}

// Adds a bind of `life` frames and returns its index.
inline int16_t AddBind(effecttools::EffectFileValue& f, int16_t life) {
    effecttools::BindValue b;
    b.mode = 0;
    b.life = life;
    f.package.binds.push_back(b);
    return static_cast<int16_t>(f.package.binds.size() - 1);
}

inline std::vector<uint8_t> Write(const effecttools::EffectFileValue& f) {
    return effecttools::WriteEffectFile(f);
}

} // namespace testsupport
