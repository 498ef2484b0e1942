#include "tools/effect/GameEffects.h"

#include "tools/dds/DdsWriter.h"
#include "tools/effect/CoverageUnits.h"
#include "tools/effect/EffectComposition.h"
#include "tools/effect/PackageWriter.h"
#include "tools/effect/ParticleShowcase.h"
#include "tools/font/TextPainter.h"
#include "tools/sampledata/ScreenLayout.h"
#include "tools/sampledata/TextCaption.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <span>

namespace effecttools {

namespace {

constexpr uint32_t kLogoLife = 240;
constexpr uint32_t kMenuEntries = 6;
// Trigger bit n fires trigger entry n - 1: highlight bits 1-6 are entries
// 0-5, decision bits 8-13 are entries 7-12.
constexpr int16_t kDecisionEntries = 7;

// A 16 by 16 RGBA texture: a soft disc of one colour on transparency.
std::vector<uint8_t> DiscTexture(uint8_t r, uint8_t g, uint8_t b) {
    constexpr uint32_t kSize = 16;
    std::vector<uint8_t> pixels(kSize * kSize * 4);
    for (uint32_t y = 0; y < kSize; ++y) {
        for (uint32_t x = 0; x < kSize; ++x) {
            const float dx = (static_cast<float>(x) + 0.5f) / kSize * 2.0f - 1.0f;
            const float dy = (static_cast<float>(y) + 0.5f) / kSize * 2.0f - 1.0f;
            const float a = std::fmax(0.0f, 1.0f - std::sqrt(dx * dx + dy * dy));
            uint8_t* p = &pixels[(y * kSize + x) * 4];
            p[0] = r;
            p[1] = g;
            p[2] = b;
            p[3] = static_cast<uint8_t>(a * 255.0f);
        }
    }
    return tools::WriteDds(sys::DdsFormat::R8G8B8A8, kSize, kSize, 1, false, pixels.data(),
                           pixels.size());
}

TextureValue Texture(const char* label, uint8_t r, uint8_t g, uint8_t b) {
    return {std::string(label), DiscTexture(r, g, b), std::nullopt};
}

// A 4 by 4 RGBA texture of one opaque colour (0xRRGGBB): a mark's.
TextureValue FlatTexture(uint32_t colour, const char* label = "mark") {
    constexpr uint32_t kSize = 4;
    std::vector<uint8_t> pixels(kSize * kSize * 4);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = static_cast<uint8_t>(colour >> 16);
        pixels[i + 1] = static_cast<uint8_t>(colour >> 8);
        pixels[i + 2] = static_cast<uint8_t>(colour);
        pixels[i + 3] = 255;
    }
    return {std::string(label),
            tools::WriteDds(sys::DdsFormat::R8G8B8A8, kSize, kSize, 1, false, pixels.data(),
                            pixels.size()),
            std::nullopt};
}

EasingValue Easing(float from, float to, float frames) {
    EasingValue e;
    e.type = 1;
    e.timeLength = frames;
    e.startValue = from;
    e.endValue = to;
    return e;
}

// An easing from `from` to `to` over `frames`, holding `to` after them.
FloatValue Ease(float from, float to, float frames) {
    return Easing(from, to, frames);
}

// The same easing again every `frames`, for as long as its unit plays. The
// value itself starts over (its after-span mode "repeat"): a unit that a
// timeline starts never loops by its own loop range, since the timelines
// above it do not loop.
FloatValue EaseEvery(float from, float to, float frames) {
    constexpr uint32_t kRepeat = 1;
    EasingValue e = Easing(from, to, frames);
    e.postMode = kRepeat;
    return e;
}

ColorValue Tint(float r, float g, float b, float a) {
    ColorValue c;
    c.red = Constant(r);
    c.green = Constant(g);
    c.blue = Constant(b);
    c.alpha = Constant(a);
    return c;
}

// The draw list of the screens' marks: the last, so that nothing of the
// screens' own effects draws over them.
constexpr uint8_t kMarkList = 6;

// A draw part of the given data, on texture layer 0 of the package, in the
// draw list before the marks'.
DrawPartValue Part(DrawDataValue data, int8_t texture = 0) {
    DrawPartValue p;
    p.data = std::move(data);
    p.priority = kMarkList - 1;
    p.fields = {{"DMod", 1}, {"UvSC", 1}, {"bPDs", 1}};
    p.uvLayers.push_back(UvTransformValue{0u, 1u, std::nullopt, std::nullopt, std::nullopt});
    p.textureLayers["TCo1"] = {
        {{"bEbl", 1}}, std::vector<int8_t>{texture}, std::nullopt, std::nullopt};
    p.drawSize = TripleValue{1, Constant(24.0f), std::nullopt, std::nullopt};
    return p;
}

// A billboard of the whole texture, `size` across its half width.
DrawPartValue Glow(float size, int8_t texture = 0) {
    DrawPartValue p = Part(DrawDataType2Value{{{"DivU", 1}, {"DivV", 1}, {"AnmI", 1}}}, texture);
    p.drawSize = TripleValue{1, Constant(size), std::nullopt, std::nullopt};
    return p;
}

EmitterValue Emitter(uint32_t kind, ShapeValue shape) {
    EmitterValue e;
    e.kind = kind;
    SpawnEntryValue spawn;
    spawn.fields = {{"bEbl", 1}, {"GeIC", 4}, {"GeIT", 10}, {"Lif", 60}};
    e.spawnEntries.push_back(spawn);
    TimedEntryValue timed;
    timed.enabled = 1;
    timed.count = 2;
    timed.interval = 5;
    timed.endFrame = 200;
    e.timedEntries.push_back(timed);
    shape.floats.push_back({"IjSp", Constant(1.5f)});
    e.shape = std::move(shape);
    return e;
}

ShapeValue RadiusShape(float inner, float outer) {
    ShapeValue s;
    s.floats = {{"RadI", Constant(inner)}, {"RadO", Constant(outer)}};
    return s;
}

// Points of a shape: n points of four floats on a circle. The point kinds
// scale them by their radius or size, so the shapes' own circles are of
// radius 1 or less.
std::vector<uint8_t> CirclePoints(uint32_t n, float radius) {
    std::vector<uint8_t> bytes;
    for (uint32_t i = 0; i < n; ++i) {
        const float a = 6.2831855f * static_cast<float>(i) / static_cast<float>(n);
        const float p[4] = {radius * std::cos(a), radius * std::sin(a), 0.0f, 1.0f};
        const auto* b = reinterpret_cast<const uint8_t*>(p);
        bytes.insert(bytes.end(), b, b + sizeof(p));
    }
    return bytes;
}

UnitValue Unit(int32_t life, int32_t loopStart, int32_t loopEnd) {
    UnitValue u;
    u.life = life;
    u.loopStart = loopStart;
    u.loopEnd = loopEnd;
    u.color = Tint(1.0f, 1.0f, 1.0f, 1.0f);
    u.triples["Scl"] = TripleValue{1, Constant(1.0f), std::nullopt, std::nullopt};
    return u;
}

// Places a unit at `pos`: a unit reads its translation only with the
// translation flag on (a constant one without it is ignored).
void Place(UnitValue& u, TripleValue pos) {
    u.fields.push_back({"bPPo", 1});
    u.triples["Pos"] = std::move(pos);
}

// A logo fades in over its first 30 frames: its colour is animated.
UnitValue LogoUnit() {
    UnitValue u = Unit(kLogoLife, 0, 0);
    u.fields.push_back({"bPCo", 1});
    u.color = Tint(1.0f, 1.0f, 1.0f, 1.0f);
    u.color->alpha = Ease(0.0f, 1.0f, 30.0f);
    return u;
}

// How far in front of the screens' camera (at the origin, looking down -Z)
// an effect plays: a screen's own effects, and the logos' backdrop, which
// also plays as a child of the last logo and so that far behind it.
const float kScreenDepth = sampledata::ScreenDepth(sampledata::EffectScreen::kTitle);
const float kBackdropDepth = sampledata::ScreenDepth(sampledata::EffectScreen::kLogoBackground);

// How each file sorts its draws (0-3; 2 and 3 by depth), spread so that
// the seven together use every mode.
EffectFileValue File(const char* name, uint32_t sortMode, float depth = kScreenDepth) {
    EffectFileValue f;
    f.name = name;
    f.package.fields = {{"bFCl", 1}, {"DOT", sortMode}};
    f.package.floats = {{"PvSx", 1.0f}, {"PvSy", 1.0f}, {"PvSz", 1.0f},
                        {"PvPz", -depth}, {"BndR", 400.0f}};
    return f;
}

// A screen's backdrop plays until the screen stops it.
EffectFileValue ScreenFile(const char* name, uint32_t sortMode) {
    EffectFileValue f = File(name, sortMode);
    f.package.fields.push_back({"bPIT", 1});
    return f;
}

// Fades that the screens' camera never brings below full alpha: a distance
// window far wider than the play field, and angle fades (mode 0-3) whose
// ramps stay at 1 for every cosine.
void AddDistanceFade(EffectFileValue& f) {
    f.package.fields.push_back({"bDsF", 1});
    f.package.distanceFade = DistanceFadeValue{-2.0f, -1.0f, 1.0e6f, 2.0e6f};
}

void AddAngleFade(EffectFileValue& f, uint32_t mode) {
    f.package.fields.push_back({"bAgF", 1});
    f.package.angleFade = AngleFadeValue{mode, 0.0f, 1.0e6f, 2.0f, 3.0f};
}

// Entries take part under the instance's default flag word.
constexpr uint8_t kEntryFlags = 1;

// How a timeline entry fits its unit to its span: the unit cut at the
// span, or endless (until a fade-out ends it).
constexpr uint16_t kFitCut = 2;
constexpr uint16_t kFitEndless = 3;

// How far left of its name an entry's own units stand, in world units.
constexpr float kEntryBulletGap = 28.0f;

// A menu highlight's timeline and the fade of the highlight it replaces.
constexpr uint16_t kHighlightFrames = 20;
constexpr uint32_t kHighlightFadeFrames = 12;

// A timeline item that, at its timeline's start, fades out over `frames`
// every timeline a trigger started (those of negative id) but its own
// ("KILL", criterion 7).
TimelineItemValue FadeOutOtherTriggered(uint32_t frames) {
    TimelineItemValue item;
    item.type = 1;
    item.enabled = 1;
    item.flags = kEntryFlags;
    item.startFrame = 0;
    item.clip = CommandClip("KILL", {7, 0, frames});
    return item;
}

// A timeline item that starts unit `target` for `frames`.
TimelineItemValue StartItem(int16_t target, uint16_t frames) {
    TimelineItemValue item;
    item.target = target;
    item.enabled = 1;
    item.flags = kEntryFlags;
    item.endFrame = frames;
    return item;
}

// A timeline of one item that starts unit `target` for `frames`.
TimelineValue StartUnit(int16_t target, uint16_t frames) {
    TimelineValue t;
    t.length = frames;
    t.items.push_back(StartItem(target, frames));
    return t;
}

// A logo plays its unit for its life from a timeline of the first place.
void PlayLogoUnit(EffectFileValue& f) {
    f.package.timelines.push_back(StartUnit(0, static_cast<uint16_t>(kLogoLife)));
    f.package.assignments.push_back(
        {static_cast<int16_t>(f.package.timelines.size() - 1), std::nullopt});
}

void AddMarks(EffectFileValue& f, sampledata::EffectScreen screen, int32_t life, uint16_t frames,
              std::optional<size_t> join = std::nullopt);
void AddLogoModels(EffectFileValue& f);
DrawPartValue RingPart(uint16_t segments, bool centre, float radius, float width, float height,
                       uint32_t sets);
void AddLogoProjections(EffectFileValue& f);
void AddLogoMeshes(EffectFileValue& f);

// A logo's marks live as long as the logo.
void AddLogoMarks(EffectFileValue& f, sampledata::EffectScreen screen) {
    AddMarks(f, screen, kLogoLife, static_cast<uint16_t>(kLogoLife));
}

// A unit drawing a screen-sized backdrop quad with a point emitter.
UnitValue Backdrop(UnitValue u) {
    DrawDataType9Value quad;
    quad.sizeX = 640.0f;
    quad.sizeY = 360.0f;
    u.drawParts.push_back(Part(quad));
    u.drawParts.push_back(Glow(60.0f));
    u.emitters.push_back(Emitter(2, ShapeValue{}));
    return u;
}

// The package with its spark unit appended: a small quad of 30 frames that
// every emitter of the package emits unless it names a target of its own.
// A spark has no emitter of its own, so emission never feeds on itself, and
// the last spark (emitters stop at their unit's frame 200) has gone before
// a logo's life of 240 is over.
std::vector<uint8_t> WriteWithSparks(EffectFileValue f) {
    const uint32_t spark = static_cast<uint32_t>(f.package.units.size());
    for (UnitValue& unit : f.package.units)
        for (EmitterValue& emitter : unit.emitters)
            for (SpawnEntryValue& item : emitter.spawnEntries)
                if (std::none_of(item.fields.begin(), item.fields.end(),
                                 [](const FieldValue& v) { return v.tag == "TgUI"; }))
                    item.fields.push_back({"TgUI", spark});
    UnitValue u = Unit(30, 0, 0);
    DrawDataType9Value quad;
    quad.sizeX = 4.0f;
    quad.sizeY = 4.0f;
    u.drawParts.push_back(Part(quad));
    u.drawParts.push_back(Glow(8.0f));
    f.package.units.push_back(u);
    return WriteEffectFile(f);
}

std::vector<uint8_t> LogoBackground() {
    EffectFileValue f = File("vfx/logo_bg.vfxb", 0, kBackdropDepth);
    AddDistanceFade(f);
    f.package.textures = {Texture("bg", 40, 60, 120)};
    f.package.units.push_back(Backdrop(LogoUnit()));
    PlayLogoUnit(f);
    AddLogoMarks(f, sampledata::EffectScreen::kLogoBackground);
    return WriteWithSparks(f);
}

std::vector<uint8_t> LogoFirst() {
    EffectFileValue f = File("vfx/logo_ovk.vfxb", 1);
    AddAngleFade(f, 0);
    f.package.textures = {Texture("spark", 255, 200, 80)};
    UnitValue u = LogoUnit();
    u.drawParts.push_back(
        Part(DrawDataType1Value{Constant(40.0f), Tint(1, 1, 1, 1), Tint(1, 0.5f, 0, 0)}));
    u.drawParts.push_back(Part(DrawDataType2Value{{{"DivU", 2}, {"DivV", 2}, {"AnmI", 4}}}));
    u.emitters.push_back(Emitter(3, [] {
        ShapeValue s = RadiusShape(10.0f, 60.0f);
        s.floats.push_back({"IjAI", Constant(0.0f)});
        s.floats.push_back({"IjAO", Constant(1.0f)});
        return s;
    }()));
    u.emitters.push_back(Emitter(4, RadiusShape(0.0f, 120.0f)));
    f.package.units.push_back(u);
    PlayLogoUnit(f);
    AddLogoModels(f);
    AddLogoMarks(f, sampledata::EffectScreen::kLogoFirst);
    return WriteWithSparks(f);
}

void AddOrientationUnits(EffectFileValue& f, uint32_t set, int32_t life, uint16_t frames);

std::vector<uint8_t> LogoSecond() {
    EffectFileValue f = File("vfx/logo_brondel_velmora.vfxb", 2);
    AddAngleFade(f, 1);
    f.package.textures = {Texture("leaf", 90, 220, 120)};
    UnitValue u = LogoUnit();
    u.drawParts.push_back(Part(DrawDataType3Value{Constant(6.0f), Constant(80.0f)}));
    DrawDataType4Value batch;
    batch.fields = {{"CrCt", 16}, {"Life", 90}, {"TCAI", 1}};
    batch.crIv = 2;
    batch.bpCt = 2;
    batch.floats = {{"CoR1", 1.0f},  {"CoG1", 1.0f},  {"CoB1", 1.0f},
                    {"CoA1", 1.0f},  {"LMin", 40.0f}, {"LMax", 90.0f},
                    {"FArX", 64.0f}, {"FArY", 64.0f}, {"FArZ", 64.0f}};
    batch.seed = 2024;
    u.drawParts.push_back(Part(batch));
    DrawDataType5Value model;
    model.list = std::vector<int8_t>{0};
    model.fields = {{"bLgt", 1}};
    u.drawParts.push_back(Part(model));
    ShapeValue five;
    five.fields = {{"GnCT", 1}};
    five.latitudeDivisions = 4;
    five.longitudeDivisions = 8;
    five.points = CirclePoints(8, 1.0f);
    five.floats = {{"Rad", Constant(50.0f)}};
    u.emitters.push_back(Emitter(5, five));
    ShapeValue six = five;
    six.floats.push_back({"Len", Constant(100.0f)});
    u.emitters.push_back(Emitter(6, six));
    f.package.units.push_back(u);
    PlayLogoUnit(f);
    AddOrientationUnits(f, 1, kLogoLife, static_cast<uint16_t>(kLogoLife));
    AddLogoProjections(f);
    AddLogoMarks(f, sampledata::EffectScreen::kLogoSecond);
    return WriteWithSparks(f);
}

std::vector<uint8_t> LogoThird() {
    EffectFileValue f = File("vfx/logo_fulgor.vfxb", 3);
    AddAngleFade(f, 2);
    f.package.textures = {Texture("flare", 255, 120, 40)};
    UnitValue u = LogoUnit();
    DrawDataType6Value ribbon;
    ribbon.fields = {{"PtCn", 8}, {"PtIv", 2}};
    u.drawParts.push_back(Part(ribbon));
    DrawDataType7Value ring;
    ring.pointCount = 24;
    u.drawParts.push_back(Part(ring));
    u.drawParts.push_back(Part(DrawDataType8Value{Constant(12.0f)}));
    ShapeValue seven;
    seven.latitudeDivisions = 6;
    seven.longitudeDivisions = 12;
    seven.floats = {{"Rad", Constant(80.0f)}, {"IjA", Constant(0.5f)}};
    u.emitters.push_back(Emitter(7, seven));
    f.package.units.push_back(u);
    // The background logo effect plays again behind the last logo.
    f.package.referenceCapacity = 1;
    TimelineValue t;
    t.length = kLogoLife;
    TimelineItemValue play;
    play.type = 1;
    play.enabled = 1;
    play.flags = kEntryFlags;
    play.startFrame = 0;
    play.endFrame = kLogoLife;
    play.clip = ReferenceClip("vfx/logo_bg.vfxb");
    t.items.push_back(play);
    f.package.timelines.push_back(t);
    f.package.assignments.push_back({int16_t{0}, std::nullopt});
    PlayLogoUnit(f);
    AddLastLogoParticles(f, static_cast<uint16_t>(kLogoLife));
    AddLogoMeshes(f);
    AddLogoMarks(f, sampledata::EffectScreen::kLogoThird);
    return WriteWithSparks(f);
}

// A particle field of 5 x 3 points whose colour keys sit at 0, 10, 10
// and 30 (the middle span empty), in mode `mode` with the given options.
DrawPartValue AccentField(uint32_t mode, std::vector<FieldValue> options) {
    DrawDataType4Value field;
    field.fields = {{"DTyp", mode}, {"CrCt", 5}, {"Life", 60}, {"TCAI", 1}};
    field.fields.insert(field.fields.end(), options.begin(), options.end());
    field.bpCt = 3;
    field.colorTimes = {{"CoF1", 0}, {"CoF2", 10}, {"CoF3", 10}, {"CoF4", 30}};
    field.floats = {{"CoR1", 1.0f}, {"CoG1", 1.0f}, {"CoB1", 1.0f}, {"CoA1", 1.0f},
                    {"LMin", 10.0f}, {"LMax", 30.0f}, {"FArX", 80.0f}, {"FArY", 40.0f},
                    {"FArZ", 8.0f}};
    field.seed = 7;
    return Part(field, 1);
}

// A flipbook of three cells on the two title textures.
DrawPartValue AccentFlipbook(bool filtered) {
    DrawDataType11Value flipbook;
    flipbook.fields = {{"bTxF", filtered ? 1u : 0u}, {"bRXY", 1}, {"bRZ", 0}};
    flipbook.dwPx = 0.5f;
    flipbook.dwPy = 0.5f;
    std::vector<uint8_t> keys;
    for (uint16_t cell = 0; cell < 3; ++cell) {
        const uint16_t words[6] = {static_cast<uint16_t>(cell % 2), 8, 0, 0, 0x7fff, 0x7fff};
        const float floats[4] = {24.0f + 8.0f * cell, 24.0f, 0.0f, 0.0f};
        const size_t at = keys.size();
        keys.resize(at + 28);
        std::memcpy(&keys[at], words, sizeof(words));
        std::memcpy(&keys[at + 12], floats, sizeof(floats));
    }
    flipbook.keys = keys;
    return Part(flipbook);
}

// The draw-part settings a unit chooses its members by: the size and
// colour off, constant or animated; the instance tint with both
// percentages, one, or none; the polygon offsets of modes 0 to 4.
void Size(DrawPartValue& p, std::optional<FloatValue> x) {
    std::erase_if(p.fields, [](const FieldValue& f) { return f.tag == "bPDs"; });
    p.fields.push_back({"bPDs", x ? 1u : 0u});
    if (x)
        p.drawSize = TripleValue{0, *x, Constant(1.0f), Constant(1.0f)};
    else
        p.drawSize.reset();
}
void Colour(DrawPartValue& p, std::optional<ColorValue> c) {
    p.fields.push_back({"bPDc", c ? 1u : 0u});
    p.drawColor = c;
}
void Light(DrawPartValue& p, uint32_t multiply, uint32_t add) {
    p.fields.push_back({"ApLD", multiply});
    p.fields.push_back({"ApLE", add});
}
// Mode 0 without an offset, 1 plain, 2 by the owner's scale, 3 by the
// camera distance, 4 by both.
void Bias(DrawPartValue& p, uint32_t mode) {
    p.bias = mode == 0 ? 0.0f : 0.01f;
    p.biasScale = mode >= 3 ? 0.002f : 1.0f;
    p.fields.push_back({"bDBT", mode == 2 || mode == 4 ? 1u : 0u});
}

// Accents over the title: a line, a capped band and two flipbooks, the
// particle fields of each mode and option, and a model part whose eight
// texture slots all animate their index and value.
std::vector<UnitValue> TitleAccents() {
    UnitValue lines = Unit(0, 0, 0);
    DrawPartValue line =
        Part(DrawDataType1Value{Ease(10.0f, 60.0f, 60.0f), Tint(1, 1, 1, 1), Tint(0.4f, 0.6f, 1, 0)});
    Size(line, Constant(1.5f));
    Colour(line, Tint(1.0f, 0.9f, 0.8f, 1.0f));
    line.drawColor->alpha = Ease(0.0f, 1.0f, 40.0f);
    Light(line, 60, 40);
    Bias(line, 1);
    DrawPartValue band = Part(DrawDataType3Value{Constant(4.0f), Ease(20.0f, 90.0f, 90.0f)});
    Size(band, Ease(0.5f, 1.5f, 90.0f));
    Colour(band, Tint(0.8f, 0.9f, 1.0f, 0.8f));
    Light(band, 50, 0);
    Bias(band, 2);
    DrawPartValue filtered = AccentFlipbook(true);
    Size(filtered, std::nullopt);
    Colour(filtered, std::nullopt);
    Bias(filtered, 3);
    lines.drawParts = {line, band, filtered};
    UnitValue fields = Unit(0, 0, 0);
    DrawPartValue plain = AccentFlipbook(false);
    Bias(plain, 4);
    fields.drawParts = {plain, AccentField(0, {{"bOPT", 1}}), AccentField(1, {{"bOPT", 0}})};
    UnitValue quads = Unit(0, 0, 0);
    quads.drawParts = {AccentField(2, {{"bOPT", 1}}), AccentField(2, {{"bScL", 1}}),
                       AccentField(2, {{"bOBD", 1}})};
    UnitValue slots = Unit(0, 0, 0);
    DrawDataType5Value model;
    model.list = std::vector<int8_t>{0};
    DrawPartValue all = Part(model);
    const char* const tags[8] = {"TCo1", "TCo2", "TCo3", "TDs1", "TDs2", "TPlt", "TNrm", "TRef"};
    for (uint32_t k = 0; k < 8; ++k)
        all.textureLayers[tags[k]] = {{{"bEbl", 1}},
                                      std::vector<int8_t>{0, 1},
                                      Ease(0.0f, 2.0f, 60.0f),
                                      k >= 3 ? std::optional<FloatValue>(Ease(0.0f, 1.0f, 60.0f))
                                             : std::nullopt};
    Bias(all, 0);
    slots.drawParts = {all};
    return {lines, fields, quads, slots};
}

// A strip of point source `source` with `sets` texture-coordinate sets
// (0-6): widths from 6 at the head to 2 at the tail (4 in the middle), a
// warm head fading to a cool, clear tail, edges a shade darker.
// The widths and colours strips and trails share: wide and warm at the
// head, pale at the middle, thin and fading blue at the tail, the edges
// darker.
template <class Data> void RibbonLook(Data& data) {
    data.floats = {{"Wid", Constant(1.0f)},
                   {"WidH", Constant(6.0f)},
                   {"WidC", Constant(4.0f)},
                   {"WidT", Constant(2.0f)}};
    data.colors = {{"ColH", Tint(1.0f, 0.8f, 0.4f, 1.0f)},
                   {"ColC", Tint(0.8f, 0.8f, 0.8f, 0.8f)},
                   {"ColT", Tint(0.4f, 0.6f, 1.0f, 0.0f)},
                   {"CoEH", Tint(0.6f, 0.4f, 0.2f, 1.0f)},
                   {"CoEC", Tint(0.4f, 0.4f, 0.4f, 0.6f)},
                   {"CoET", Tint(0.2f, 0.3f, 0.6f, 0.0f)}};
}

// A part of `sets` texture-coordinate sets (the vertex format).
DrawPartValue WithSets(DrawPartValue p, uint32_t sets) {
    std::erase_if(p.fields, [](const FieldValue& f) { return f.tag == "UvSC"; });
    p.fields.push_back({"UvSC", sets});
    p.uvLayers.assign(sets, UvTransformValue{0u, 1u, std::nullopt, std::nullopt, std::nullopt});
    return p;
}

DrawPartValue Strip(uint32_t source, uint32_t sets, std::vector<FieldValue> fields) {
    DrawDataType6Value strip;
    strip.fields = {{"Type", source}};
    strip.fields.insert(strip.fields.end(), fields.begin(), fields.end());
    RibbonLook(strip);
    return WithSets(Part(strip), sets);
}

// A trail of sub-kind `kind` (0 billboard, 1-3 along the owner's X, Y or
// Z, 4 crossed) sampled every other frame.
DrawPartValue Trail(uint32_t kind, uint32_t sets, std::vector<FieldValue> fields) {
    DrawDataType12Value trail;
    trail.fields = {{"TDT", kind}, {"PtIv", 2}};
    trail.fields.insert(trail.fields.end(), fields.begin(), fields.end());
    RibbonLook(trail);
    return WithSets(Part(trail), sets);
}

// A looping curve through `values` a key every `step` frames, closing on
// the first.
FloatValue Loop(const std::vector<float>& values, float step) {
    CurvesValue c;
    c.value.preBehaviour = 1;
    c.value.postBehaviour = 1;
    for (size_t i = 0; i <= values.size(); ++i)
        c.value.keys.push_back({1, step * static_cast<float>(i), values[i % values.size()], 0, 0});
    return c;
}

// A particle circling `radius` units about (x, y) in 120 frames.
UnitValue Circling(float x, float y, float radius) {
    UnitValue u = Unit(0, 0, 0);
    std::vector<float> xs, ys;
    for (uint32_t k = 0; k < 12; ++k) {
        const float a = 6.2831855f * static_cast<float>(k) / 12.0f;
        xs.push_back(x + radius * std::cos(a));
        ys.push_back(y + radius * std::sin(a));
    }
    Place(u, TripleValue{0, Loop(xs, 10.0f), Loop(ys, 10.0f), std::nullopt});
    return u;
}

// Trails behind circling particles, three to a particle: the billboard,
// X-axis and cross trails in the four flag pairs each, texture sets 0 to 6
// across them; MidKey middles at 0, n - 1, n, and one past the points.
std::vector<UnitValue> TitleTrails() {
    UnitValue a = Circling(-220.0f, 60.0f, 70.0f);
    a.drawParts = {Trail(0, 0, {{"PtCn", 12}}),
                   Trail(0, 1, {{"PtCn", 10}, {"PtCN", 0}, {"bCPE", 1}}),
                   Trail(0, 2, {{"PtCn", 8}, {"bECE", 1}})};
    UnitValue b = Circling(220.0f, 60.0f, 70.0f);
    b.drawParts = {Trail(0, 3, {{"PtCn", 10}, {"PtCN", 5}, {"bCPE", 1}, {"bECE", 1}}),
                   Trail(1, 4, {{"PtCn", 12}}),
                   Trail(1, 5, {{"PtCn", 10}, {"PtCN", 9}, {"bCPE", 1}})};
    UnitValue c = Circling(-220.0f, -160.0f, 60.0f);
    c.drawParts = {Trail(1, 6, {{"PtCn", 8}, {"bECE", 1}}),
                   Trail(1, 0, {{"PtCn", 8}, {"PtCN", 8}, {"bCPE", 1}, {"bECE", 1}}),
                   Trail(4, 1, {{"PtCn", 12}})};
    UnitValue d = Circling(220.0f, -160.0f, 60.0f);
    d.drawParts = {Trail(4, 2, {{"PtCn", 6}, {"PtCN", 9}, {"bCPE", 1}}),
                   Trail(4, 3, {{"PtCn", 8}, {"bECE", 1}}),
                   Trail(4, 4, {{"PtCn", 10}, {"PtCN", 3}, {"bCPE", 1}, {"bECE", 1}})};
    return {a, b, c, d};
}

// Trails along the owner's Y and Z axes in the four flag pairs each; the
// last two kept in the space of the particle's parent.
std::vector<UnitValue> SetupTrails() {
    UnitValue a = Circling(-180.0f, 0.0f, 80.0f);
    a.drawParts = {Trail(2, 5, {{"PtCn", 12}}),
                   Trail(2, 6, {{"PtCn", 10}, {"PtCN", 4}, {"bCPE", 1}}),
                   Trail(2, 0, {{"PtCn", 8}, {"bECE", 1}})};
    UnitValue b = Circling(180.0f, 0.0f, 80.0f);
    b.drawParts = {Trail(2, 1, {{"PtCn", 10}, {"PtCN", 6}, {"bCPE", 1}, {"bECE", 1}}),
                   Trail(3, 2, {{"PtCn", 12}}),
                   Trail(3, 3, {{"PtCn", 10}, {"PtCN", 5}, {"bCPE", 1}})};
    UnitValue c = Circling(0.0f, -120.0f, 60.0f);
    c.drawParts = {Trail(3, 4, {{"PtCn", 8}, {"bECE", 1}, {"bLHE", 1}}),
                   Trail(3, 5, {{"PtCn", 10}, {"PtCN", 5}, {"bCPE", 1}, {"bECE", 1}, {"bLHE", 1}})};
    return {a, b, c};
}

// Strips over the title, every point source and flag pair, texture sets 0
// to 6 across them: generated lines (one lagging and jittered) in the four
// flag pairs; owner chains from a circling particle up its particle
// system, timeline and root ("PUC" 0, 1 and 5); histories behind it.
std::vector<UnitValue> TitleStrips() {
    UnitValue lines = Unit(0, 0, 0);
    DrawPartValue lagging = Strip(0, 0, {{"PtCn", 12}});
    auto& lag = std::get<DrawDataType6Value>(lagging.data);
    lag.floats["Len"] = Constant(160.0f);
    lag.floats["Soft"] = Constant(0.5f);
    lag.floats["Dist"] = Constant(2.0f);
    DrawPartValue midKey = Strip(0, 1, {{"PtCn", 10}, {"PtCN", 4}, {"bCPE", 1}});
    std::get<DrawDataType6Value>(midKey.data).floats["Len"] = Constant(120.0f);
    DrawPartValue centre = Strip(0, 2, {{"PtCn", 8}, {"bECE", 1}});
    std::get<DrawDataType6Value>(centre.data).floats["Len"] = Constant(100.0f);
    lines.drawParts = {lagging, midKey, centre};
    Place(lines, TripleValue{0, Constant(-200.0f), Constant(-120.0f), std::nullopt});

    UnitValue chains = Unit(0, 0, 0);
    DrawPartValue both = Strip(0, 3, {{"PtCn", 9}, {"PtCN", 3}, {"bCPE", 1}, {"bECE", 1}});
    std::get<DrawDataType6Value>(both.data).floats["Len"] = Constant(140.0f);
    chains.drawParts = {both, Strip(2, 4, {{"PUC", 0}}), Strip(2, 5, {{"PUC", 1}, {"bECE", 1}})};
    Place(chains, TripleValue{0, Constant(160.0f), Constant(-140.0f), std::nullopt});

    UnitValue circling = Circling(0.0f, -60.0f, 80.0f);
    DrawPartValue history = Strip(3, 6, {});
    std::get<DrawDataType6Value>(history.data).crIv = std::bit_cast<uint32_t>(6.0f);
    DrawPartValue centreHistory = Strip(3, 0, {{"bECE", 1}});
    std::get<DrawDataType6Value>(centreHistory.data).crIv = std::bit_cast<uint32_t>(10.0f);
    circling.drawParts = {Strip(2, 1, {{"PUC", 5}}), history, centreHistory};
    return {lines, chains, circling};
}

// Units that play from their own timelines, each `frames` long.
void PlayUnits(EffectFileValue& f, const std::vector<UnitValue>& units, uint16_t frames) {
    for (const UnitValue& u : units) {
        f.package.units.push_back(u);
        f.package.timelines.push_back(
            StartUnit(static_cast<int16_t>(f.package.units.size() - 1), frames));
        f.package.assignments.push_back(
            {static_cast<int16_t>(f.package.timelines.size() - 1), std::nullopt});
    }
}

// Draws without blending: the texture's alpha is not looked at.
void Opaque(DrawPartValue& p) {
    std::erase_if(p.fields, [](const FieldValue& v) { return v.tag == "DMod"; });
    p.fields.push_back({"DMod", 0});
}

// A 48-byte vertex of a mark's model or mesh at (x, y): white, facing the
// camera, its texture coordinates at the origin (a mark's texture is of
// one colour).
std::vector<uint8_t> FlatVertex(float x, float y) {
    std::vector<uint8_t> v(48, 0);
    const float position[3] = {x, y, 0.0f};
    std::memcpy(&v[0], position, sizeof(position));
    const uint8_t tangent[4] = {255, 128, 128, 255}; // +X
    const uint8_t normal[4] = {128, 128, 255, 255};  // +Z, toward the camera
    std::memcpy(&v[12], tangent, sizeof(tangent));
    std::memcpy(&v[16], normal, sizeof(normal));
    std::fill(v.begin() + 20, v.begin() + 24, uint8_t{255});
    return v;
}

// The four corners of a rectangle of half extents (w, h) about the origin,
// and its two triangles.
std::vector<uint8_t> FlatRectangle(float w, float h) {
    std::vector<uint8_t> bytes;
    const float corners[4][2] = {{-w, -h}, {w, -h}, {w, h}, {-w, h}};
    for (const auto& c : corners) {
        const std::vector<uint8_t> v = FlatVertex(c[0], c[1]);
        bytes.insert(bytes.end(), v.begin(), v.end());
    }
    return bytes;
}
const std::vector<uint16_t> kRectangleIndices{0, 1, 2, 0, 2, 3};

// The part of a mark: its draw type filling its box (half extents w and h
// in world units) with its own flat texture, opaque, in the marks' list.
DrawPartValue MarkPart(EffectFileValue& f, const sampledata::LayoutMark& mark, float w, float h) {
    f.package.textures.push_back(FlatTexture(mark.colour));
    const auto texture = static_cast<int8_t>(f.package.textures.size() - 1);
    // A billboard's draw size is its width, a circle's its radius; a quad,
    // model or mesh takes its own extents at draw size 1.
    DrawPartValue p;
    float size = 1.0f;
    switch (mark.drawType) {
    case 2:
        p = Part(DrawDataType2Value{{{"DivU", 1}, {"DivV", 1}, {"AnmI", 1}}}, texture);
        size = 2.0f * w;
        break;
    case 5: {
        ModelValue model;
        model.stream1 = VertexStreamValue{FlatRectangle(w, h), false, kRectangleIndices};
        f.package.models.push_back(model);
        DrawDataType5Value data;
        data.list = std::vector<int8_t>{static_cast<int8_t>(f.package.models.size() - 1)};
        p = Part(data, texture);
        break;
    }
    case 3:
        // Along the unit's X axis, its end pieces one half height long.
        p = Part(DrawDataType3Value{Constant(h), Constant(2.0f * (w - h))}, texture);
        break;
    case 6: {
        // Two points of the data, across the box.
        DrawDataType6Value strip;
        strip.fields = {{"Type", 1}};
        std::vector<uint8_t> points(32);
        const float ends[8] = {-w, 0.0f, 0.0f, 0.0f, w, 0.0f, 0.0f, 1.0f};
        std::memcpy(points.data(), ends, sizeof(ends));
        strip.points = points;
        strip.floats = {{"Wid", Constant(h)},
                        {"WidH", Constant(1.0f)},
                        {"WidC", Constant(1.0f)},
                        {"WidT", Constant(1.0f)}};
        const ColorValue white = Tint(1.0f, 1.0f, 1.0f, 1.0f);
        strip.colors = {{"ColH", white}, {"ColC", white}, {"ColT", white}};
        p = Part(strip, texture);
        break;
    }
    case 7:
        // Its band from half the radius to the whole.
        p = RingPart(64, false, 0.75f * w, 0.25f * w, 0.0f, 1);
        p.textureLayers["TCo1"].list = std::vector<int8_t>{texture};
        break;
    case 8:
        p = Part(DrawDataType8Value{Constant(64.0f)}, texture);
        size = w;
        break;
    case 11: {
        // One frame of the mark's texture, the whole box (a sprite's size,
        // as a billboard's, is its width and height).
        DrawDataType11Value flipbook;
        flipbook.fields = {{"bRXY", 0}, {"bRZ", 0}};
        const uint16_t words[6] = {static_cast<uint16_t>(texture), 0, 0, 0, 0x7fff, 0x7fff};
        const float floats[4] = {2.0f * w, 2.0f * h, 0.0f, 0.0f};
        std::vector<uint8_t> key(28);
        std::memcpy(&key[0], words, sizeof(words));
        std::memcpy(&key[12], floats, sizeof(floats));
        flipbook.keys = key;
        p = Part(flipbook, texture);
        break;
    }
    case 13: {
        DrawDataType13Value mesh;
        mesh.vertices = FlatRectangle(w, h);
        mesh.indices = kRectangleIndices;
        p = Part(mesh, texture);
        break;
    }
    default: {
        DrawDataType9Value quad;
        quad.sizeX = w;
        quad.sizeY = h;
        p = Part(quad, texture);
        break;
    }
    }
    p.drawSize = TripleValue{1, Constant(size), std::nullopt, std::nullopt};
    Opaque(p);
    p.priority = kMarkList;
    return p;
}

// A screen box as far away as its screen plays: its middle and half
// extents in world units.
struct WorldBox {
    float x, y, halfWidth, halfHeight;
};
WorldBox ToWorld(sampledata::EffectScreen screen, const sampledata::ScreenBox& b) {
    const float depth = sampledata::ScreenDepth(screen);
    const float units = sampledata::UnitsPerPixel(depth);
    return {sampledata::WorldX(0.5f * static_cast<float>(b.x0 + b.x1), depth),
            sampledata::WorldY(0.5f * static_cast<float>(b.y0 + b.y1), depth),
            0.5f * units * static_cast<float>(b.Width()),
            0.5f * units * static_cast<float>(b.Height())};
}

// A unit living `life` at the middle of `box`, facing along "BAxs" `axis`
// (2 the camera).
UnitValue UnitAt(const WorldBox& box, int32_t life, uint32_t axis) {
    UnitValue u = Unit(life, 0, 0);
    u.fields.push_back({"BAxs", axis});
    Place(u, TripleValue{0, Constant(box.x), Constant(box.y), std::nullopt});
    return u;
}

// A unit that draws `mark` in its box, living `life`: a band runs along
// the unit's X axis, everything else faces the camera.
UnitValue MarkUnit(EffectFileValue& f, const sampledata::LayoutMark& mark, int32_t life) {
    const WorldBox box = ToWorld(mark.screen, mark.box);
    UnitValue u = UnitAt(box, life, mark.drawType == 3 ? 0u : 2u);
    u.drawParts.push_back(MarkPart(f, mark, box.halfWidth, box.halfHeight));
    return u;
}

// Unit `unit` lights with menu entry `entry`: it plays from the entry's
// highlight timeline as the entry's own unit does.
void LightWithEntry(EffectFileValue& f, size_t entry, int16_t unit) {
    TimelineValue& highlight = f.package.timelines.at(entry);
    TimelineItemValue item = highlight.items.at(0);
    item.target = unit;
    highlight.items.push_back(item);
}

// The screen's marks of the layout table. Those shown throughout play from
// one timeline, `frames` long, of their own or, where the package has no
// room for another first-place timeline, from the timeline `join`; a game
// menu entry's highlight mark plays from that entry's highlight timeline,
// as the entry's unit does (until the next highlight fades it out).
void AddMarks(EffectFileValue& f, sampledata::EffectScreen screen, int32_t life, uint16_t frames,
              std::optional<size_t> join) {
    TimelineValue shown;
    shown.length = frames;
    for (const sampledata::LayoutMark& mark : sampledata::LayoutMarks()) {
        if (mark.screen != screen)
            continue;
        f.package.units.push_back(MarkUnit(f, mark, mark.menuEntry < 0 ? life : 0));
        const auto unit = static_cast<int16_t>(f.package.units.size() - 1);
        if (mark.menuEntry < 0) {
            shown.items.push_back(StartItem(unit, frames));
            continue;
        }
        LightWithEntry(f, static_cast<size_t>(mark.menuEntry), unit);
    }
    if (shown.items.empty())
        return;
    if (join) {
        TimelineValue& t = f.package.timelines.at(*join);
        t.items.insert(t.items.end(), shown.items.begin(), shown.items.end());
        return;
    }
    f.package.timelines.push_back(shown);
    f.package.assignments.push_back(
        {static_cast<int16_t>(f.package.timelines.size() - 1), std::nullopt});
}

// A small mesh in the middle of a logo: n points on a circle of `radius`
// about the origin, a fan of triangles, lit from the front with its normals
// leaning out toward the rim (so falloff and lighting have angles to work
// on). `lift` raises the rim toward the camera.
std::vector<uint8_t> FanVertices(uint32_t n, float radius, float lift) {
    std::vector<uint8_t> bytes = FlatVertex(0.0f, 0.0f);
    for (uint32_t i = 0; i < n; ++i) {
        const float a = 6.2831855f * static_cast<float>(i) / static_cast<float>(n);
        std::vector<uint8_t> v = FlatVertex(radius * std::cos(a), radius * std::sin(a));
        std::memcpy(&v[8], &lift, 4);
        v[16] = static_cast<uint8_t>(128.0f + 90.0f * std::cos(a));
        v[17] = static_cast<uint8_t>(128.0f + 90.0f * std::sin(a));
        v[18] = 200;
        bytes.insert(bytes.end(), v.begin(), v.end());
    }
    return bytes;
}
std::vector<uint16_t> FanIndices(uint32_t n) {
    std::vector<uint16_t> indices;
    for (uint32_t i = 0; i < n; ++i) {
        indices.push_back(0);
        indices.push_back(static_cast<uint16_t>(1 + i));
        indices.push_back(static_cast<uint16_t>(1 + (i + 1) % n));
    }
    return indices;
}

// A falloff from a warm begin colour to a cool end colour, power 1, no
// offset, the direction (read by modes 3 and 4) a little off the view axis.
template <class Data> void Falloff(Data& data) {
    data.colors = {{"FrCB", Tint(1.0f, 0.7f, 0.3f, 1.0f)}, {"FrCE", Tint(0.3f, 0.5f, 1.0f, 1.0f)}};
    data.floats["FrC"] = Constant(1.0f);
    data.floats["FrO"] = Constant(0.0f);
    data.rimDirection = TripleValue{0, Constant(0.3f), Constant(-0.2f), Constant(0.0f)};
}

// A cube map for a model's reflections, 16 texels a side with its five
// levels, each level a grey of its own. It must be a cube: the model's
// shader reads its reflection stage as one, and a flat texture there reads
// black, which a multiplying reflection turns the whole model black with.
TextureValue ReflectionTexture() {
    constexpr uint32_t kSide = 16, kLevels = 5;
    std::vector<uint8_t> pixels;
    for (uint32_t face = 0; face < 6; ++face)
        for (uint32_t width = kSide, level = 0; level < kLevels; width /= 2, ++level) {
            const auto grey = static_cast<uint8_t>(255 - 24 * level);
            for (uint32_t i = 0; i < width * width; ++i)
                pixels.insert(pixels.end(), {grey, grey, grey, 255});
        }
    return {std::string("reflection"),
            tools::WriteDds(sys::DdsFormat::R8G8B8A8, kSide, kSide, kLevels, true, pixels.data(),
                            pixels.size()),
            std::nullopt};
}

// A unit at (x, y) of the middle of a logo, in world units, drawing `part`
// opaque at draw size 1 (a model's or mesh's own size).
UnitValue LogoPiece(float x, float y, DrawPartValue part) {
    UnitValue u = Unit(kLogoLife, 0, 0);
    u.fields.push_back({"BAxs", 2});
    Place(u, TripleValue{0, Constant(x), Constant(y), std::nullopt});
    part.drawSize = TripleValue{1, Constant(1.0f), std::nullopt, std::nullopt};
    Opaque(part);
    u.drawParts.push_back(part);
    return u;
}

// The first logo's models, in a row across its middle: one that steps
// through a list of three every 80 frames; one morphing between two models
// that carry second buffer sets (their rims lifted in the second); one per
// falloff mode 1-4; one lit, with specular and a reflection texture of
// nine mips.
void AddLogoModels(EffectFileValue& f) {
    const auto first = static_cast<int8_t>(f.package.models.size());
    for (uint32_t sides : {3u, 4u, 6u}) {
        ModelValue m;
        m.stream1 = VertexStreamValue{FanVertices(sides, 14.0f, 0.0f), false, FanIndices(sides)};
        f.package.models.push_back(m);
    }
    for (float lift : {0.0f, 10.0f}) {
        ModelValue m;
        m.stream1 = VertexStreamValue{FanVertices(8, 14.0f, 0.0f), false, FanIndices(8)};
        m.stream2 = VertexStreamValue{FanVertices(8, 14.0f + lift, lift), false, FanIndices(8)};
        f.package.models.push_back(m);
    }
    const auto morphing = static_cast<int8_t>(first + 3);
    f.package.textures.push_back(ReflectionTexture());
    const auto reflection = static_cast<int8_t>(f.package.textures.size() - 1);
    std::vector<UnitValue> units;

    DrawDataType5Value list;
    list.list = std::vector<int8_t>{first, static_cast<int8_t>(first + 1), static_cast<int8_t>(first + 2)};
    list.floats["MdAN"] = Ease(0.0f, 3.0f, 240.0f);
    units.push_back(LogoPiece(-90.0f, 40.0f, Part(list)));

    DrawDataType5Value morph;
    morph.fields = {{"bMrf", 1}};
    morph.list = std::vector<int8_t>{morphing, static_cast<int8_t>(morphing + 1)};
    morph.floats["MrBR"] = Ease(0.0f, 0.99f, 120.0f);
    units.push_back(LogoPiece(-30.0f, 40.0f, Part(morph)));

    for (uint32_t mode = 1; mode <= 4; ++mode) {
        DrawDataType5Value rim;
        rim.fields = {{"FreT", mode}};
        rim.list = std::vector<int8_t>{first};
        Falloff(rim);
        units.push_back(LogoPiece(-90.0f + 40.0f * static_cast<float>(mode - 1), -40.0f, Part(rim)));
    }

    DrawDataType5Value lit;
    lit.fields = {{"bLgt", 1}, {"bPBL", 1}};
    lit.list = std::vector<int8_t>{static_cast<int8_t>(first + 2)};
    lit.floats = {{"MtFo", Constant(0.04f)}, {"MtRh", Constant(0.4f)}, {"MtMl", Constant(0.6f)}};
    DrawPartValue litPart = Part(lit);
    litPart.textureLayers["TRef"] = {{{"bEbl", 1}}, std::vector<int8_t>{reflection}, std::nullopt,
                                     Constant(0.5f)};
    units.push_back(LogoPiece(30.0f, 40.0f, litPart));
    // Without the scene's light a lit model has the ambient alone.
    f.package.fields.push_back({"bDLS", 1});
    PlayUnits(f, units, static_cast<uint16_t>(kLogoLife));
}

// The second logo's projection boxes, one per decal shape 0-3, set deep in
// the middle of the screen. The game's draw carries no depth texture, so a
// box that does not reach the camera's near plane finds nothing to project
// onto: they draw nothing there.
void AddLogoProjections(EffectFileValue& f) {
    std::vector<UnitValue> units;
    for (uint32_t shape = 0; shape < 4; ++shape) {
        DrawDataType10Value projection;
        projection.projectionType = shape;
        projection.rangeR = Ease(0.2f, 0.5f, 120.0f);
        projection.rangeW = Constant(0.25f);
        units.push_back(LogoPiece(-60.0f + 40.0f * static_cast<float>(shape), -60.0f, Part(projection)));
    }
    PlayUnits(f, units, static_cast<uint16_t>(kLogoLife));
}

// The third logo's meshes, one per falloff mode 0-4, their vertices in
// the right- and the left-handed chunk in turn.
void AddLogoMeshes(EffectFileValue& f) {
    std::vector<UnitValue> units;
    for (uint16_t mode = 0; mode <= 4; ++mode) {
        DrawDataType13Value mesh;
        mesh.rimType = mode;
        mesh.vertices = FanVertices(6, 14.0f, 0.0f);
        mesh.leftHanded = mode % 2 == 1;
        mesh.indices = FanIndices(6);
        if (mode != 0)
            Falloff(mesh);
        units.push_back(LogoPiece(-80.0f + 40.0f * static_cast<float>(mode), -70.0f, Part(mesh)));
    }
    PlayUnits(f, units, static_cast<uint16_t>(kLogoLife));
}

// Small quads turned each frame by every orientation mode the file's set
// has (camera space "CST": set 0 modes 0-6, the others mode 1 alone), in a
// row low on the screen, each drifting right so that mode 1 has a motion
// to follow; the first also turns its velocity by two angles.
void AddOrientationUnits(EffectFileValue& f, uint32_t set, int32_t life, uint16_t frames) {
    f.package.fields.push_back({"CST", set});
    std::vector<UnitValue> units;
    for (uint32_t mode = set == 0 ? 0 : 1; mode <= (set == 0 ? 6u : 1u); ++mode) {
        UnitValue u = Unit(life, 0, 0);
        u.fields = {{"bPPo", 1}, {"BDir", mode}};
        const float x = -180.0f + 60.0f * static_cast<float>(mode);
        u.triples["Pos"] = TripleValue{0, Ease(x, x + 30.0f, static_cast<float>(frames)),
                                       Constant(-150.0f), std::nullopt};
        DrawDataType9Value quad;
        quad.sizeX = 8.0f;
        quad.sizeY = 8.0f;
        u.drawParts.push_back(Part(quad));
        units.push_back(u);
    }
    units[0].fields.push_back({"bPVr", 1});
    units[0].vlRt = PairValue{0, Ease(0.0f, 1.5f, static_cast<float>(frames)), Constant(0.5f)};
    PlayUnits(f, units, frames);
}

// The effect's own lights, in the top band of the title, from the intro's
// timeline `join` (the title's fourteen first places are taken) and for as
// long as the title plays: a lantern, a glow whose particle carries a
// kind-1 extra unit, its colour easing from warm to cool again every 120
// frames, lights a panel (a lit model facing the camera, which the
// lantern's third axis points away from) in that colour; a ring, a glow
// under the alpha light whose particle carries a kind-2 extra unit, is
// clear within a distance of its middle that widens again over each of the
// same cycles and whole past that distance and a range. The package's lit
// units take the effect's light.
void AddTitleLights(EffectFileValue& f, size_t join) {
    const float units = sampledata::UnitsPerPixel(kScreenDepth);
    const auto at = [](UnitValue& u, float x, float y) {
        Place(u, TripleValue{0, Constant(sampledata::WorldX(x, kScreenDepth)),
                             Constant(sampledata::WorldY(y, kScreenDepth)), std::nullopt});
    };
    f.package.fields.push_back({"bDLV", 1});
    constexpr float kCycle = 120.0f;
    UnitValue lantern = Unit(0, 0, 0);
    lantern.fields.push_back({"bPCo", 1});
    lantern.color->red = EaseEvery(1.0f, 0.1f, kCycle);
    lantern.color->green = EaseEvery(0.35f, 0.45f, kCycle);
    lantern.color->blue = EaseEvery(0.05f, 1.0f, kCycle);
    lantern.drawParts.push_back(Glow(60.0f * units));
    EffectPartValue light;
    light.kind = 1;
    lantern.effectPart = light;
    at(lantern, 340.0f, 72.0f);

    UnitValue panel = Unit(0, 0, 0);
    ModelValue model;
    model.stream1 =
        VertexStreamValue{FlatRectangle(90.0f * units, 50.0f * units), false, kRectangleIndices};
    f.package.models.push_back(model);
    DrawDataType5Value lit;
    lit.fields = {{"bLgt", 1}};
    lit.list = std::vector<int8_t>{static_cast<int8_t>(f.package.models.size() - 1)};
    DrawPartValue surface = Part(lit);
    surface.drawSize = TripleValue{1, Constant(1.0f), std::nullopt, std::nullopt};
    Opaque(surface);
    panel.drawParts.push_back(surface);
    at(panel, 480.0f, 72.0f);

    UnitValue ring = Unit(0, 0, 0);
    DrawPartValue faded = Glow(140.0f * units);
    faded.fields.push_back({"bApL", 1});
    ring.drawParts.push_back(faded);
    EffectPartValue range;
    range.kind = 2;
    range.innerRadius = EaseEvery(10.0f * units, 45.0f * units, kCycle);
    range.outerRadius = EaseEvery(35.0f * units, 70.0f * units, kCycle);
    ring.effectPart = range;
    at(ring, 810.0f, 72.0f);

    for (const UnitValue& u : {lantern, panel, ring}) {
        f.package.units.push_back(u);
        f.package.timelines.at(join).items.push_back(
            StartItem(static_cast<int16_t>(f.package.units.size() - 1), 150));
    }
}

std::vector<uint8_t> Title() {
    EffectFileValue f = ScreenFile("title/title_main.vfxb", 2);
    f.package.textures = {Texture("title", 200, 220, 255), Texture("glow", 120, 160, 255)};
    // Intro: a projection sweep and a trail; idle: a loop after it.
    UnitValue intro = Unit(0, 0, 0);
    DrawDataType10Value projection;
    projection.projectionType = 1;
    projection.rangeR = Ease(0.0f, 300.0f, 150.0f);
    projection.rangeW = Constant(40.0f);
    intro.drawParts.push_back(Part(projection));
    DrawDataType11Value trail;
    trail.fields = {{"bLtE", 1}};
    trail.dwPx = 0.5f;
    trail.dwPy = 0.5f;
    intro.drawParts.push_back(Part(trail, 1));
    ShapeValue eight;
    eight.fields = {{"GnCT", 2}, {"AxX", 4}, {"AxY", 4}, {"AxZ", 1}};
    eight.points = CirclePoints(4, 0.5f);
    eight.size3 = TripleValue{0, Constant(400.0f), Constant(200.0f), Constant(10.0f)};
    intro.emitters.push_back(Emitter(8, eight));
    intro.drawParts.push_back(Glow(40.0f, 1));
    UnitValue idle = Unit(0, 150, 270);
    idle.drawParts.push_back(Part(DrawDataType9Value{}, 1));
    idle.drawParts.push_back(Glow(40.0f));
    f.package.units = {intro, idle};
    // Timeline 0 skips to the idle part; the intro plays from the first
    // place.
    f.package.timelines = {StartUnit(1, 120), StartUnit(0, 150)};
    f.package.assignments.push_back({int16_t{1}, std::nullopt});
    // Bit 1: skip to the idle part.
    f.package.triggers.push_back({int16_t{0}, int16_t{-1}});
    std::vector<UnitValue> extras = TitleAccents();
    for (std::vector<UnitValue> more : {TitleStrips(), TitleTrails()})
        extras.insert(extras.end(), more.begin(), more.end());
    PlayUnits(f, extras, 270);
    AddTitleLights(f, 1);
    // From the start, glints: twenty entries starting the spark unit (the
    // unit WriteWithSparks appends) every 6 frames, the first two on the
    // title's bound systems (on one attachment point, and between two).
    const int16_t spark = static_cast<int16_t>(f.package.units.size());
    f.package.binds = {ComposeBind({30, "title_logo", std::nullopt}),
                       ComposeBind({30, "title_logo", std::string("title_press")})};
    TimelinePlan glints;
    glints.length = 120;
    for (uint16_t i = 0; i < 20; ++i)
        glints.entries.push_back(
            {spark, static_cast<uint16_t>(i * 6), static_cast<uint16_t>(i * 6 + 30), 1, true,
             static_cast<int16_t>(i < 2 ? i : -1)});
    // A timeline that the default selection word leaves out: its entry
    // carries no selection bit, so its timeline unit starts with nothing to
    // fire.
    TimelinePlan hidden;
    hidden.length = 60;
    hidden.entries.push_back({1, 0, 60, 0});
    for (const TimelinePlan& t : {glints, hidden}) {
        f.package.timelines.push_back(ComposeTimeline(t));
        f.package.assignments.push_back(
            {static_cast<int16_t>(f.package.timelines.size() - 1), std::nullopt});
    }
    // Its fourteen first places are taken: the marks join the intro's.
    AddMarks(f, sampledata::EffectScreen::kTitle, 0, 150, size_t{1});
    return WriteWithSparks(f);
}

// A ring of `segments` (the data's count, held to 3-64 when drawn) in
// draw-size units: radius, half width and the edges' lift along the facing
// axis; with the centre line its circles red outside, white in the middle
// and blue inside.
DrawPartValue RingPart(uint16_t segments, bool centre, float radius, float width, float height,
                       uint32_t sets) {
    DrawDataType7Value ring;
    ring.pointCount = segments;
    ring.ece = centre;
    ring.floats = {{"Rad", Constant(radius)}, {"Wid", Constant(width)},
                   {"Hei", Constant(height)}, {"WidI", Constant(1.0f)},
                   {"WidO", Constant(0.5f)},  {"HeiI", Constant(1.0f)},
                   {"HeiO", Constant(1.0f)}};
    ring.colors = {{"ColO", Tint(1, 0.2f, 0.2f, 1)}, {"ColC", Tint(1, 1, 1, 1)},
                   {"ColI", Tint(0.2f, 0.4f, 1, 1)}};
    return WithSets(Part(ring), sets);
}

// A circle whose segment count grows from 2 to 100 over two seconds (drawn
// as 3 to 64).
DrawPartValue CirclePart(uint32_t sets) {
    DrawDataType8Value circle;
    circle.count = Ease(2.0f, 100.0f, 120.0f);
    return WithSets(Part(circle), sets);
}

// The menu's rings and circles, one unit per facing axis ("BAxs" 0-2) and
// one more facing the camera: plain and centre-line rings of 3, 23 and 64
// segments, a cone, a band wider than its radius, counts of 2 and 70, and
// circles of a growing count, over texture-set counts 0-6; left of the
// entries, started with the backdrop.
std::vector<UnitValue> MenuRings() {
    std::vector<UnitValue> units;
    for (uint32_t axis = 0; axis < 4; ++axis) {
        UnitValue u = Unit(0, 0, 0);
        u.fields.push_back({"BAxs", axis < 3 ? axis : 2u});
        Place(u, TripleValue{0, Constant(-220.0f),
                                       Constant(120.0f - 80.0f * static_cast<float>(axis)),
                                       std::nullopt});
        if (axis < 3) {
            u.drawParts.push_back(RingPart(3, false, 1.5f, 0.3f, 0.0f, axis));
            u.drawParts.push_back(RingPart(axis == 1 ? 64 : 23, true, 1.2f, 0.4f, 0.0f, axis + 3));
            u.drawParts.push_back(CirclePart(axis * 2));
        } else {
            u.drawParts.push_back(RingPart(64, false, 1.5f, 0.2f, 0.6f, 6));
            u.drawParts.push_back(RingPart(2, false, 0.4f, 0.8f, 0.0f, 4));
            u.drawParts.push_back(RingPart(70, true, 1.0f, 0.2f, 0.0f, 5));
        }
        units.push_back(u);
    }
    return units;
}

// A menu entry's name as the menu draws it: its picture, a texel to each
// pixel of the screen, and the part of the name's box it covers.
struct NamePicture {
    TextureValue texture;
    sampledata::ScreenBox box;
};

// The name in white on clear, painted in its box as the sample pictures'
// captions, cut to its ink in whole blocks of 4 by 4; kept as a BC1 picture
// of white where the ink covers half a texel or more, half a byte a texel
// (the tests read the file cut at every length, so it is kept small).
NamePicture PaintName(const sampledata::MenuEntryName& name) {
    const sampledata::ScreenBox& b = name.box;
    tools::RgbaImage image(static_cast<uint32_t>(b.Width()), static_cast<uint32_t>(b.Height()));
    sampledata::Caption(image, 0, 0, b.Width(), b.Height(), name.text, 0xFFFFFFFFu);
    int x0 = b.Width(), y0 = b.Height(), x1 = 0, y1 = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (image.Get(x, y) & 0xFFu) {
                x0 = std::min(x0, x), y0 = std::min(y0, y);
                x1 = std::max(x1, x + 1), y1 = std::max(y1, y + 1);
            }
    // Without ink (no font to paint with) one clear block is left.
    if (x1 <= x0)
        x0 = 0, y0 = 0, x1 = 4, y1 = 4;
    x0 &= ~3, y0 &= ~3;
    x1 = std::min((x1 + 3) & ~3, b.Width()), y1 = std::min((y1 + 3) & ~3, b.Height());
    const auto w = static_cast<uint32_t>(x1 - x0), h = static_cast<uint32_t>(y1 - y0);
    std::vector<uint8_t> coverage(size_t{w} * h);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x)
            coverage[size_t{y} * w + x] = static_cast<uint8_t>(
                image.Get(x0 + static_cast<int32_t>(x), y0 + static_cast<int32_t>(y)) & 0xFFu);
    return {{std::string("name"), tools::WriteMaskBc1Dds(255, 255, 255, coverage.data(), w, h),
             std::nullopt},
            {b.x0 + x0, b.y0 + y0, b.x0 + x1, b.y0 + y1}};
}

// A unit facing the camera from the middle of `box`, living until it is
// stopped, that draws texture `texture` across the whole box in draw list
// `list`: a layer without a scale would gather every corner of the quad
// on one texel.
UnitValue BoxPicture(const WorldBox& box, int8_t texture, uint8_t list) {
    UnitValue u = UnitAt(box, 0, 2);
    DrawDataType9Value quad;
    quad.sizeX = box.halfWidth;
    quad.sizeY = box.halfHeight;
    DrawPartValue picture = Part(quad, texture);
    picture.uvLayers[0].scale = PairValue{0, Constant(1.0f), Constant(1.0f)};
    picture.drawSize = TripleValue{1, Constant(1.0f), std::nullopt, std::nullopt};
    picture.priority = list;
    u.drawParts.push_back(picture);
    return u;
}

// The entries' names, shown while the menu is up (all started from one
// place), blended over the entries' own units in the marks' draw list;
// under each, an opaque bar filling its box that lights with the entry.
void AddMenuNames(EffectFileValue& f) {
    f.package.textures.push_back(FlatTexture(sampledata::kMenuCursorColour, "cursor"));
    const auto bar = static_cast<int8_t>(f.package.textures.size() - 1);
    TimelineValue shown;
    shown.length = 60;
    constexpr sampledata::EffectScreen kMenu = sampledata::EffectScreen::kGameMenu;
    const std::span<const sampledata::MenuEntryName> names = sampledata::MenuEntryNames();
    for (size_t entry = 0; entry < names.size(); ++entry) {
        NamePicture name = PaintName(names[entry]);
        f.package.textures.push_back(std::move(name.texture));
        const auto texture = static_cast<int8_t>(f.package.textures.size() - 1);
        f.package.units.push_back(BoxPicture(ToWorld(kMenu, name.box), texture, kMarkList));
        shown.items.push_back(StartItem(static_cast<int16_t>(f.package.units.size() - 1), 60));
        UnitValue cursor = BoxPicture(ToWorld(kMenu, names[entry].box), bar, kMarkList - 1);
        Opaque(cursor.drawParts[0]);
        f.package.units.push_back(cursor);
        LightWithEntry(f, entry, static_cast<int16_t>(f.package.units.size() - 1));
    }
    f.package.timelines.push_back(shown);
    f.package.assignments.push_back(
        {static_cast<int16_t>(f.package.timelines.size() - 1), std::nullopt});
}

std::vector<uint8_t> GameMenu() {
    EffectFileValue f = ScreenFile("game_menu/game_menu.vfxb", 0);
    AddDistanceFade(f);
    f.package.textures = {Texture("plate", 60, 80, 140), Texture("lit", 255, 240, 160)};
    // A mirrored mesh the entry units emit from, with its edges and areas.
    ModelValue plate;
    std::vector<uint8_t> vertices;
    const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    for (uint8_t i = 0; i < 4; ++i) {
        const std::vector<uint8_t> v =
            ModelVertex(corners[i][0] * 120.0f, corners[i][1] * 24.0f, 0.0f, 128, 255, i);
        vertices.insert(vertices.end(), v.begin(), v.end());
    }
    plate.stream1 = VertexStreamValue{vertices, true, std::vector<uint16_t>{0, 1, 2, 0, 2, 3}};
    std::vector<uint8_t> edges(16 * 4, 0);
    for (uint32_t i = 0; i < 4; ++i) {
        const float p[3] = {corners[i][0] * 120.0f, corners[i][1] * 24.0f, 0.0f};
        std::memcpy(&edges[i * 16], p, sizeof(p));
    }
    plate.edgeVertices = edges;
    plate.edgeTag = "VxEL";
    plate.edgeIndices = std::vector<uint16_t>{0, 1, 2, 0, 2, 3};
    plate.areas = std::vector<float>{0.0f, 5760.0f, 11520.0f};
    f.package.models.push_back(plate);
    // The cursor's two-point bind: from the highlighted plate to its label.
    BindValue cursor;
    cursor.mode = 1;
    cursor.life = 30;
    cursor.first = AttachPointValue{1, 0, std::string("plate"), TripleValue{}};
    cursor.second = AttachPointValue{1, 1, std::string("label"), TripleValue{}};
    cursor.trFc = Ease(0.0f, 1.0f, 12.0f);
    f.package.binds.push_back(cursor);

    for (uint32_t entry = 0; entry < kMenuEntries; ++entry) {
        // Each entry stands in the row of its name, just left of it, where
        // its glow marks the entry the cursor is on.
        const WorldBox row =
            ToWorld(sampledata::EffectScreen::kGameMenu, sampledata::MenuEntryNames()[entry].box);
        UnitValue u = Unit(0, 0, 60);
        Place(u, TripleValue{0, Constant(row.x - row.halfWidth - kEntryBulletGap), Constant(row.y),
                             std::nullopt});
        DrawDataType12Value strip;
        strip.fields = {{"TDT", 1}, {"PtCn", 6}};
        strip.length = 240.0f;
        u.drawParts.push_back(Part(strip));
        u.drawParts.push_back(Glow(20.0f, 1));
        if (entry > 0) {
            // The entry's plate: a quad pivoted toward its label, in a
            // colour of its own, lit with its highlight and decision.
            DrawDataType9Value plate;
            plate.sizeX = 4.0f;
            plate.sizeY = 0.8f;
            plate.pivotX = entry % 2 ? 0.5f : -0.5f;
            plate.pivotY = 0.25f * static_cast<float>(entry % 3);
            plate.pivotZ = -0.1f;
            DrawPartValue quad = Part(plate, 1);
            // Small enough to stay between the left marks and the names.
            quad.drawSize = TripleValue{1, Constant(6.0f), std::nullopt, std::nullopt};
            const float k = static_cast<float>(entry) / static_cast<float>(kMenuEntries);
            quad.drawColor = Tint(1.0f - k, 0.5f + 0.5f * k, k, 1.0f);
            u.drawParts.push_back(quad);
        } else {
            DrawDataType13Value mesh;
            mesh.vertices = vertices;
            mesh.leftHanded = true;
            mesh.indices = std::vector<uint16_t>{0, 1, 2, 0, 2, 3};
            // A fifth of the plate: a mesh takes its own extents at draw
            // size 1.
            DrawPartValue meshPart = Part(mesh, 1);
            meshPart.drawSize = TripleValue{1, Constant(0.2f), std::nullopt, std::nullopt};
            u.drawParts.push_back(meshPart);
            // Along the normals of the model's points, picked at random
            // (selection modes are 0 and 1: another refuses the emitter,
            // and with it the entry's unit).
            ShapeValue fromModel;
            fromModel.model = 0;
            fromModel.fields = {{"GnCT", 1}, {"GnPT", 1}};
            u.emitters.push_back(Emitter(1, fromModel));
            ShapeValue nine;
            nine.fields = {{"AxX", 2}, {"AxY", 3}};
            nine.points = CirclePoints(6, 0.5f);
            nine.size2 = PairValue{0, Constant(240.0f), Constant(48.0f)};
            u.emitters.push_back(Emitter(9, nine));
            // Both stand ready without a timer: sparks from the plate's
            // whole width would cross the entries' names.
            for (EmitterValue& e : u.emitters)
                e.timedEntries.clear();
        }
        f.package.units.push_back(u);
    }
    // Timelines 0-5 light entry k, 6-11 play its decision. A highlight
    // stays lit until the cursor leaves its entry: its units play endless
    // (fit mode 3), and the next highlight's timeline fades out every other
    // triggered timeline, the one it follows among them. A decision plays
    // its entry's units again for its own span (cut there).
    for (int16_t entry = 0; entry < static_cast<int16_t>(kMenuEntries); ++entry) {
        TimelineValue highlight = StartUnit(entry, kHighlightFrames);
        highlight.items[0].lct = kFitEndless;
        highlight.items.push_back(FadeOutOtherTriggered(kHighlightFadeFrames));
        f.package.timelines.push_back(highlight);
    }
    for (int16_t entry = 0; entry < static_cast<int16_t>(kMenuEntries); ++entry) {
        f.package.timelines.push_back(StartUnit(entry, 45));
        f.package.timelines.back().items[0].lct = kFitCut;
    }
    // Above the entries, from the second place: a glow that plays while
    // the menu is up, it and its sparks clear of the entries' names.
    UnitValue backdrop = Unit(0, 0, 0);
    const float backdropY = sampledata::WorldY(72.0f, kScreenDepth);
    Place(backdrop, TripleValue{0, Constant(0.0f), Constant(backdropY), std::nullopt});
    backdrop.drawParts.push_back(Glow(50.0f));
    // A band through eight points of the data, 200 units below the middle
    // of the screen (the points are the unit's own, which stands higher),
    // its places along it uneven (the fourth word of each point).
    std::vector<uint8_t> points;
    for (uint32_t i = 0; i < 8; ++i) {
        const float t = static_cast<float>(i * i) / 49.0f;
        const float p[4] = {-140.0f + 40.0f * static_cast<float>(i),
                            -200.0f - backdropY + 20.0f * std::sin(static_cast<float>(i)), 0.0f, t};
        const auto* b = reinterpret_cast<const uint8_t*>(p);
        points.insert(points.end(), b, b + sizeof(p));
    }
    DrawPartValue band = Strip(1, 2, {{"bECE", 1}});
    std::get<DrawDataType6Value>(band.data).points = points;
    backdrop.drawParts.push_back(band);
    backdrop.emitters.push_back(Emitter(2, ShapeValue{}));
    f.package.units.push_back(backdrop);
    f.package.timelines.push_back(StartUnit(static_cast<int16_t>(kMenuEntries), 60));
    const int16_t firstRing = static_cast<int16_t>(f.package.units.size());
    TimelineValue rings;
    rings.length = 60;
    for (UnitValue& ring : MenuRings()) {
        f.package.units.push_back(ring);
        rings.items.push_back(StartItem(static_cast<int16_t>(firstRing + rings.items.size()), 60));
    }
    f.package.triggers.resize(13);
    for (int16_t entry = 0; entry < static_cast<int16_t>(kMenuEntries); ++entry) {
        f.package.triggers[entry] = {entry, int16_t{-1}};
        f.package.triggers[kDecisionEntries + entry] = {static_cast<int16_t>(kMenuEntries + entry),
                                                        int16_t{-1}};
    }
    f.package.triggers[6] = {int16_t{-1}, int16_t{-1}};
    f.package.assignments.push_back({int16_t{0}, int16_t{0}});
    f.package.assignments.push_back(
        {static_cast<int16_t>(f.package.timelines.size() - 1), std::nullopt});
    f.package.timelines.push_back(rings);
    f.package.assignments.push_back(
        {static_cast<int16_t>(f.package.timelines.size() - 1), std::nullopt});
    AddMenuParticles(f);
    AddMarks(f, sampledata::EffectScreen::kGameMenu, 0, 60);
    AddMenuNames(f);
    return WriteWithSparks(f);
}

// An emitter's event entries: at its particle's start and end, at once
// and 5 frames late.
void AddEventEntries(EmitterValue& e) {
    for (uint32_t type : {1u, 2u}) {
        for (uint32_t delay : {0u, 5u}) {
            SpawnEntryValue entry;
            entry.fields = {{"bEbl", 1}, {"GeIT", type}, {"GeIP", 100}, {"GeIC", 1}};
            if (delay)
                entry.fields.push_back({"GeSD", delay});
            e.spawnEntries.push_back(entry);
        }
    }
}

// Every composition a particle can have, one unit each on a grid across
// the screen: 0-3 glows on draw lists 0-6 in turn, 0-2 emitters (the
// origin point of kind 2, then a ring of kind 4) with their event entries,
// and an extra part of kind 1 or 2 in turn; all started from one place.
void AddCompositions(EffectFileValue& f) {
    TimelineValue t;
    t.length = 180;
    uint8_t list = 0;
    for (uint32_t a = 0; a <= 3; ++a) {
        for (uint32_t b = 0; b <= 2; ++b) {
            for (uint32_t c = 0; c <= 1; ++c) {
                const uint32_t k = (a * 3 + b) * 2 + c;
                // Like every unit of a looping screen, it lives until the
                // screen stops it, which runs its end events.
                UnitValue u = Unit(0, 0, 0);
                Place(u, TripleValue{
                    0, Constant((static_cast<float>(k % 6) - 2.5f) * 60.0f),
                    Constant((static_cast<float>(k / 6) - 1.5f) * 60.0f), std::nullopt});
                for (uint32_t d = 0; d < a; ++d) {
                    DrawPartValue glow = Glow(6.0f);
                    glow.priority = list;
                    list = static_cast<uint8_t>((list + 1) % 7);
                    u.drawParts.push_back(glow);
                }
                for (uint32_t e = 0; e < b; ++e) {
                    EmitterValue emitter =
                        e == 0 ? Emitter(2, ShapeValue{}) : Emitter(4, RadiusShape(10.0f, 40.0f));
                    AddEventEntries(emitter);
                    u.emitters.push_back(emitter);
                }
                if (c) {
                    EffectPartValue extra;
                    extra.kind = 1 + k / 2 % 2;
                    extra.innerRadius = Constant(-3.0f);
                    extra.outerRadius = Constant(5.0f);
                    u.effectPart = extra;
                }
                f.package.units.push_back(u);
                TimelineItemValue item;
                item.target = static_cast<int16_t>(f.package.units.size() - 1);
                item.enabled = 1;
                item.flags = kEntryFlags;
                item.startFrame = static_cast<uint16_t>(k);
                item.endFrame = 150;
                t.items.push_back(item);
            }
        }
    }
    f.package.timelines.push_back(t);
    f.package.assignments.push_back(
        {static_cast<int16_t>(f.package.timelines.size() - 1), std::nullopt});
}

std::vector<uint8_t> Setup() {
    EffectFileValue f = ScreenFile("setup/setup.vfxb", 3);
    AddAngleFade(f, 3);
    f.package.textures = {Texture("haze", 80, 100, 160)};
    f.package.units.push_back(Backdrop(Unit(0, 0, 180)));
    AddCompositions(f);
    PlayUnits(f, SetupTrails(), 180);
    // Behind the settings a wide ring facing the camera, turning slowly
    // about its vertical axis, a whole turn in 20 seconds.
    UnitValue ring = Unit(0, 0, 0);
    ring.fields.push_back({"BAxs", 2});
    Place(ring, TripleValue{0, Constant(0.0f), Constant(0.0f), Constant(-40.0f)});
    ring.fields.push_back({"bPRo", 1});
    ring.triples["Rot"] = TripleValue{0, Constant(0.0f), Ease(0.0f, 6.2831855f, 1200.0f),
                                      Constant(0.0f)};
    ring.drawParts.push_back(RingPart(48, true, 8.0f, 0.6f, 0.0f, 1));
    PlayUnits(f, {ring}, 180);
    AddOrientationUnits(f, 0, 0, 180);
    AddSetupCoverage(f);
    AddMarks(f, sampledata::EffectScreen::kSetup, 0, 180);
    return WriteWithSparks(f);
}

} // namespace

std::vector<GameEffectFile> GameEffectFiles() {
    return {
        {"logo/logo_bg.vfxb", LogoBackground()},
        {"logo/logo_ovk.vfxb", LogoFirst()},
        {"logo/logo_brondel_velmora.vfxb", LogoSecond()},
        {"logo/logo_fulgor.vfxb", LogoThird()},
        {"title/title_main.vfxb", Title()},
        {"game_menu/game_menu.vfxb", GameMenu()},
        {"setup/setup.vfxb", Setup()},
    };
}

} // namespace effecttools
