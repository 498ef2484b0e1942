#include "tools/effect/ParticleShowcase.h"

#include "tools/effect/EffectComposition.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>

namespace effecttools {

namespace {

using namespace UnitAnimates;

// What an emission target asks of its particle, by the writer's tags of
// the link record: the place of the attached unit it links to (place 0
// names none in either emitter here), the orientation, colour and transform
// modes, and the link flags.
struct Link {
    uint8_t place = 0;
    uint32_t orientation = 0;
    uint32_t colour = 0;
    uint32_t transform = 0;
    bool relative = false; // transform mode 3 from the spawner's reference
    bool inheritsAll = false;
};

// Emission triggers of a target: the owner's start, or the timers only.
constexpr uint32_t kAtStart = 1;
constexpr uint32_t kByTimer = 0;

// A target emitting one particle of `unit`, at the owner's start (living
// until the effect stops) or by the emitter's timers (for `frames`).
SpawnEntryValue Target(uint32_t unit, const Link& link, uint32_t trigger, uint32_t frames = 0) {
    SpawnEntryValue e;
    e.fields = {{"bEbl", 1},   {"TgUI", unit}, {"GeIT", trigger},
                {"GeIP", 100}, {"GeIC", 1},    {"OvLf", 2}};
    // Fields left out read as 0.
    const std::pair<const char*, uint32_t> optional[] = {
        {"Lif", frames},          {"GeLA", link.orientation}, {"ApCl", link.colour},
        {"ApCd", link.transform}, {"ApbT", link.relative},    {"PLNo", link.place}};
    for (const auto& [tag, value] : optional)
        if (value != 0)
            e.fields.push_back({tag, value});
    if (link.inheritsAll)
        for (const char* tag : {"PLSc", "PLRt", "PLPs", "PLCl"})
            e.fields.push_back({tag, 1});
    return e;
}

// An emitter of `kind` whose particles start at rest.
EmitterValue Still(uint32_t kind, ShapeValue shape) {
    EmitterValue e;
    e.kind = kind;
    shape.floats.push_back({"IjSp", Constant(0.0f)});
    e.shape = std::move(shape);
    return e;
}

Vector3Plan Eased(std::array<float, 3> from, std::array<float, 3> to) {
    return Vector3Plan{from, to, 60.0f};
}

// A unit that plays until its effect stops (life 0) or for `life` frames,
// drawing nothing.
UnitPlan Unseen(int32_t life = 0) {
    UnitPlan u;
    u.life = life;
    return u;
}

// The property values every showcase unit carries, animated or not: a
// colour cooling and fading, a scale doubling, a half turn about Z and a
// rise of 10.
UnitPlan WithValues(UnitPlan u) {
    u.colour = ColourPlan{{1.0f, 1.0f, 1.0f, 1.0f}, {{0.5f, 0.8f, 1.0f, 0.5f}}, 60.0f};
    u.scale = Eased({1.0f, 1.0f, 1.0f}, {2.0f, 2.0f, 2.0f});
    u.rotation = Eased({0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 3.1415927f});
    u.translation = Eased({0.0f, 0.0f, 0.0f}, {0.0f, 10.0f, 0.0f});
    return u;
}

constexpr uint32_t kAllFour = kColour | kScale | kRotation | kTranslation;
constexpr uint32_t kSharesAll =
    UnitShares::kScale | UnitShares::kRotation | UnitShares::kTranslation | UnitShares::kColour;

// The units the menu's host emits, in the order they follow the host.
enum MenuUnit : uint32_t {
    kHost,
    kAnimates,    // all four by its own flags, the accelerations and the speed factor
    kSharesNamed, // all four from kAnimates, named by its index
    kSharesOwn,   // all four shared with no unit named: its own values, animated
    kPlain,       // nothing animated, shared or accelerated
};

// The transform-track groups, as the flags of a unit's "Anim" part
// ("Scal", "Rota", "Tran") with one track of each group it has.
std::vector<AnimationItem> Tracks(bool scale, bool rotation, bool translation) {
    std::vector<AnimationItem> items = {{"Leng", 2.0f, 0, {}}, {"Loop", 1.0f, 1, {}}};
    if (scale) {
        items.push_back({"Scal", 1.0f, 1, {}});
        items.push_back({"SclX", 1.0f, 0, {{0, 1.0f}, {200, 1.5f}}});
    }
    if (rotation) {
        items.push_back({"Rota", 1.0f, 1, {}});
        items.push_back({"RotZ", 1.0f, 0, {{0, 0.0f}, {200, 3.1415927f}}});
    }
    if (translation) {
        items.push_back({"Tran", 1.0f, 1, {}});
        items.push_back({"TraX", 1.0f, 0, {{0, 0.0f}, {200, 20.0f}}});
    }
    return items;
}

// Starts units `first` to `end` - 1 from one timeline of `frames`, played
// from the instance's start.
void StartTogether(EffectFileValue& f, uint32_t first, uint32_t end, uint16_t frames) {
    TimelinePlan t;
    t.length = frames;
    for (uint32_t u = first; u < end; ++u)
        t.entries.push_back({static_cast<int16_t>(u), 0, frames});
    f.package.timelines.push_back(ComposeTimeline(t));
    f.package.assignments.push_back(
        {static_cast<int16_t>(f.package.timelines.size() - 1), std::nullopt});
}

} // namespace

void AddLastLogoParticles(EffectFileValue& f, uint16_t life) {
    const uint32_t first = static_cast<uint32_t>(f.package.units.size());
    // The child effect plays where its particle is: 2000 behind the camera,
    // out of sight, so the backdrop is not drawn twice over the logo.
    UnitPlan child = Unseen(life);
    child.translation = Vector3Plan{{0.0f, 0.0f, 2000.0f}, std::nullopt, 60.0f};
    child.animated = kTranslation;
    UnitValue playing = ComposeUnit(child);
    playing.reference = "vfx/logo_bg.vfxb";
    f.package.units.push_back(playing);
    // The three track groups alone and together.
    for (const auto& [s, r, t] :
         {std::array<bool, 3>{true, false, false}, std::array<bool, 3>{false, true, false},
          std::array<bool, 3>{false, false, true}, std::array<bool, 3>{true, true, true}}) {
        UnitValue u = ComposeUnit(Unseen(life));
        u.animation = Tracks(s, r, t);
        f.package.units.push_back(u);
    }
    // The listener hears where this one is.
    UnitPlan heard = Unseen(life);
    heard.fields = {{"bFGr", 1}};
    f.package.units.push_back(ComposeUnit(heard));
    // This one rises and lags half way behind each step of it.
    UnitPlan lagging = Unseen(life);
    lagging.translation = Eased({0.0f, 0.0f, 0.0f}, {0.0f, 30.0f, 0.0f});
    lagging.animated = kTranslation;
    lagging.fields = {{"bPFc", 1}};
    UnitValue lags = ComposeUnit(lagging);
    lags.fuCt = Constant(0.5f);
    f.package.units.push_back(lags);
    StartTogether(f, first, static_cast<uint32_t>(f.package.units.size()), life);
}

void AddMenuParticles(EffectFileValue& f) {
    std::vector<UnitValue>& units = f.package.units;
    // The attached units settle in as they light: a scale and a colour
    // that the emitter's transform units animate and hand on.
    constexpr int8_t kAttached[4] = {-1, 3, -1, 5};
    for (int8_t index : kAttached) {
        if (index < 0)
            continue;
        if (static_cast<size_t>(index) >= units.size())
            throw std::logic_error("the menu's attached units come first");
        UnitValue& u = units[static_cast<size_t>(index)];
        u.fields.push_back({"bPSc", 1});
        u.fields.push_back({"bPCo", 1});
        u.triples["Scl"] = ComposeVector3(Vector3Plan{{0.98f, 0.98f, 0.98f}, {{1, 1, 1}}, 6.0f});
        u.color = ComposeColour(ColourPlan{{1, 1, 1, 0.9f}, {{1, 1, 1, 1}}, 6.0f});
    }

    const uint32_t base = static_cast<uint32_t>(units.size());
    const auto at = [base](MenuUnit u) { return base + u; };
    // The host drifts 80 to the right over four seconds, so that its
    // distance timer emits along the way.
    UnitPlan hostPlan = Unseen();
    hostPlan.translation = Vector3Plan{{-40.0f, 0.0f, 0.0f}, {{40.0f, 0.0f, 0.0f}}, 240.0f};
    hostPlan.animated = kTranslation;
    UnitValue host = ComposeUnit(hostPlan);

    // Kind 5 from four points, attaching units 3 and 5 at places 1 and 3.
    ShapeValue points;
    points.fields = {{"GnCT", 0}, {"GnPT", 0}};
    points.latitudeDivisions = 2;
    points.longitudeDivisions = 4;
    std::vector<uint8_t> corners(4 * 16);
    for (uint32_t i = 0; i < 4; ++i) {
        const float a = 1.5707964f * static_cast<float>(i);
        const float p[4] = {std::cos(a), std::sin(a), 0.0f, 1.0f};
        std::memcpy(&corners[i * 16], p, sizeof(p));
    }
    points.points = corners;
    points.floats = {{"Rad", Constant(10.0f)}};
    EmitterValue attaching = Still(5, points);
    for (size_t j = 0; j < 4; ++j)
        attaching.parentLinks[j] = kAttached[j];
    attaching.spawnEntries = {
        // Linked to unit 3 and inheriting all four: animated, and not.
        Target(at(kAnimates), Link{1, 0, 0, 2, false, true}, kAtStart),
        Target(at(kPlain), Link{3, 0, 0, 2, false, true}, kAtStart),
        // Place 0 holds no unit: nothing to inherit from.
        Target(at(kAnimates), Link{0, 0, 0, 2, false, true}, kAtStart),
        // From a point of the shape the relative flag leaves the place as it is.
        Target(at(kPlain), Link{0, 0, 0, 3, true, false}, kAtStart),
        Target(at(kPlain), Link{}, kByTimer, 30),
    };
    // Nine timers (two blocks): eight periodic, one by distance.
    for (uint16_t i = 0; i < 9; ++i) {
        TimedEntryValue timer;
        timer.enabled = 1;
        timer.target = 4;
        timer.count = 1;
        timer.startFrame = i * 3;
        if (i < 8)
            timer.interval = 30;
        else
            timer.gnDI = std::bit_cast<uint32_t>(20.0f);
        attaching.timedEntries.push_back(timer);
    }
    host.emitters.push_back(attaching);

    // The point emits one particle in each transform mode and colour mode.
    EmitterValue point = Still(2, ShapeValue{});
    point.spawnEntries = {
        Target(at(kAnimates), Link{0, 0, 0, 0}, kAtStart),
        Target(at(kSharesNamed), Link{0, 0, 1, 1}, kAtStart),
        Target(at(kSharesOwn), Link{0, 1, 2, 2}, kAtStart),
        Target(at(kPlain), Link{0, 0, 0, 3, true}, kAtStart),
        Target(at(kPlain), Link{0, 0, 3, 2}, kAtStart),
        Target(at(kPlain), Link{0, 0, 0, 0}, kAtStart),
    };
    host.emitters.push_back(point);
    units.push_back(host);

    UnitPlan animates = WithValues(Unseen());
    animates.animated = kAllFour;
    animates.acceleration = Vector3Plan{{0.0f, -0.01f, 0.0f}, std::nullopt, 60.0f};
    animates.worldAcceleration = Vector3Plan{{0.0f, 0.02f, 0.0f}, std::nullopt, 60.0f};
    animates.speedFactor = Vector3Plan{{0.98f, 0.98f, 0.98f}, std::nullopt, 60.0f};
    units.push_back(ComposeUnit(animates));
    UnitPlan named = Unseen();
    named.sharedUnit = static_cast<int8_t>(at(kAnimates));
    named.shares = kSharesAll;
    units.push_back(ComposeUnit(named));
    UnitPlan own = WithValues(Unseen());
    own.shares = kSharesAll;
    units.push_back(ComposeUnit(own));
    units.push_back(ComposeUnit(Unseen()));

    StartTogether(f, at(kHost), at(kHost) + 1, 60);
}

} // namespace effecttools
