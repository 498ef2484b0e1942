// Writers of a whole effect file: the top level ("Ver", "Name", "Pack",
// "TexN"), the package with its counts, textures, models, binds, timelines,
// units, fades, trigger and assignment tables and float fields, and each
// unit with its draw parts, emitters, effect part, unit timelines and
// animation. Counts are written before their items and default to the
// number of items given.
#pragma once

#include "tools/effect/ChunkWriter.h"
#include "tools/effect/DrawDataWriter.h"
#include "tools/effect/EmitterWriter.h"
#include "tools/effect/ModelWriter.h"
#include "tools/effect/PropertyWriter.h"
#include "tools/effect/TextureWriter.h"
#include "tools/effect/ValueWriter.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace effecttools {

// The draw data of a draw part; the alternative's index is its draw type
// (none: no "DatP").
using DrawDataValue =
    std::variant<std::monostate, DrawDataType1Value, DrawDataType2Value, DrawDataType3Value,
                 DrawDataType4Value, DrawDataType5Value, DrawDataType6Value, DrawDataType7Value,
                 DrawDataType8Value, DrawDataType9Value, DrawDataType10Value, DrawDataType11Value,
                 DrawDataType12Value, DrawDataType13Value>;

// A draw part ("Ptcl"): "PrV1" (the data's type unless given), field and
// flag chunks ("bPAo" ... "bDBT", "SftP", "DFac", "DTst", "DMod", "UvSC",
// "ApLD", "ApLE", "bOAO", "bApL"), "DPri", "DBis", "DBDS", the data, the
// animated terms, the "TUvS" layers and the texture channels by tag
// ("TCo1" ... "TRef").
struct DrawPartValue {
    std::optional<uint32_t> drawType;
    DrawDataValue data;
    std::vector<FieldValue> fields;
    std::optional<uint8_t> priority;
    std::optional<float> bias;
    std::optional<float> biasScale;
    std::optional<FloatValue> aOff;
    std::optional<FloatValue> aTes;
    std::optional<TripleValue> drawSize;
    std::optional<ColorValue> drawColor;
    std::vector<UvTransformValue> uvLayers;
    std::map<std::string, TextureLayerValue> textureLayers;
};

// An effect part ("Efct"): "FxV1" and a "DatF" with the radii of kind 2.
struct EffectPartValue {
    std::optional<uint32_t> kind;
    bool data = true;
    std::optional<FloatValue> innerRadius;
    std::optional<FloatValue> outerRadius;
};

// A unit timeline ("UTl1").
struct UnitTimelineValue {
    std::optional<int16_t> itemCount;
    std::vector<std::vector<uint8_t>> items;
    std::optional<std::string> label;
    std::optional<uint8_t> otu;
    std::optional<uint8_t> otut;
    std::optional<uint16_t> otd;
    std::optional<bool> otuFlag;
    std::optional<uint16_t> life;
};

// One chunk of an "Anim": "Leng" (length), "Loop", "Scal", "Rota", "Tran"
// (value), or a track ("SclX" ... "TraZ") of (time in hundredths, value)
// keys.
struct AnimationItem {
    std::string tag;
    float length = 1.0f;
    uint32_t value = 0;
    std::vector<std::pair<int32_t, float>> keys;
};

struct DistanceFadeValue {
    float nearBegin = 0.0f;
    float nearEnd = 0.0f;
    float farBegin = 0.0f;
    float farEnd = 0.0f;
};

struct AngleFadeValue {
    uint32_t type = 0;
    float xBegin = 0.0f;
    float xEnd = 0.0f;
    float yBegin = 0.0f;
    float yEnd = 0.0f;
};

// A unit ("Unit"). Fields: "bPCo" ... "bFGr", "BAxs", "BDir", "RotO",
// "TrsO", "ColR", "RUSc", "RURt", "RUPs", "RUCl". Triples by tag: "Scl",
// "Rot", "Pos", "GraL", "GraG", "Res".
struct UnitValue {
    std::vector<DrawPartValue> drawParts;
    std::vector<EmitterValue> emitters;
    std::optional<EffectPartValue> effectPart;
    std::vector<UnitTimelineValue> unitTimelines;
    std::vector<FieldValue> fields;
    std::optional<int32_t> life;
    std::optional<int32_t> loopStart;
    std::optional<int32_t> loopEnd;
    std::optional<std::string> sound;
    std::optional<uint32_t> soundParameter;
    std::optional<std::string> reference;
    std::optional<DistanceFadeValue> distanceFade;
    std::optional<AngleFadeValue> angleFade;
    std::optional<int8_t> resetNumber;
    std::optional<std::vector<uint8_t>> uic1;
    std::optional<std::vector<AnimationItem>> animation;
    std::optional<ColorValue> color;
    std::map<std::string, TripleValue> triples;
    std::optional<FloatValue> fuCt;
    std::optional<PairValue> vlRt;
};

// A package timeline item ("TmlI"): "TgtI", "bEna", "Type", "LCT", "StFr",
// "EdFr", "BnNo", "bPF1"-"bPF8" (flag bits 0-7), "Clip".
struct TimelineItemValue {
    std::optional<int16_t> target;
    std::optional<uint16_t> enabled;
    std::optional<uint16_t> type;
    std::optional<uint16_t> lct;
    std::optional<uint16_t> startFrame;
    std::optional<uint16_t> endFrame;
    std::optional<int16_t> bind;
    uint8_t flags = 0;
    std::optional<std::vector<uint8_t>> clip;
};

// A package timeline ("Tmln").
struct TimelineValue {
    std::optional<int32_t> length;
    std::optional<int32_t> loopStart;
    std::optional<int32_t> loopEnd;
    std::optional<int16_t> itemCount;
    std::vector<TimelineItemValue> items;
};

// A texture ("Tex"): "Lbl", then "Data" (image bytes) and/or "Name".
struct TextureValue {
    std::optional<std::string> label;
    std::optional<std::vector<uint8_t>> data;
    std::optional<std::string> name;
};

// A "SchA" or "SchT" entry.
struct AssignmentValue {
    std::optional<int16_t> timeline;
    std::optional<int16_t> bind;
};

// The "Pack" payload. Fields: "DTLT", "DOT", "CST", "bDLS", "bDLV", "PCo1"
// ... "PCa4", "bFCl", "bDsF", "bAgF", "bPIT", "DLT", "ELT". Floats by tag:
// "SftP", "BndX" ... "BndR", "PvSx" ... "PvPz", "PvCr" ... "PvCa".
struct PackageValue {
    std::optional<uint32_t> referenceCapacity;
    std::optional<uint32_t> textureCount;
    std::vector<TextureValue> textures;
    std::optional<uint32_t> modelCount;
    std::vector<ModelValue> models;
    std::optional<uint32_t> bindCount;
    std::vector<BindValue> binds;
    std::optional<uint32_t> timelineCount;
    std::vector<TimelineValue> timelines;
    std::optional<uint32_t> unitCount;
    std::vector<UnitValue> units;
    std::optional<DistanceFadeValue> distanceFade;
    std::optional<AngleFadeValue> angleFade;
    std::vector<AssignmentValue> assignments;
    std::vector<AssignmentValue> triggers;
    std::vector<FieldValue> fields;
    std::map<std::string, float> floats;
};

// The file: "Ver" (0x01010101 unless given), "Name", "Pack", then "TexN".
struct EffectFileValue {
    uint32_t version = 0x01010101;
    std::optional<std::string> name;
    PackageValue package;
    std::vector<std::string> textureNames;
};

void WriteDrawPart(ChunkWriter& w, const DrawPartValue& v);
void WriteEffectPart(ChunkWriter& w, const EffectPartValue& v);
void WriteUnitTimeline(ChunkWriter& w, const UnitTimelineValue& v);
void WriteUnit(ChunkWriter& w, const UnitValue& v);
void WriteTimeline(ChunkWriter& w, const TimelineValue& v);
void WriteTexture(ChunkWriter& w, const TextureValue& v);
void WriteAssignment(ChunkWriter& w, std::string_view tag, const AssignmentValue& v);
void WriteDistanceFade(ChunkWriter& w, const DistanceFadeValue& v);
void WriteAngleFade(ChunkWriter& w, const AngleFadeValue& v);
void WritePackage(ChunkWriter& w, const PackageValue& v);
std::vector<uint8_t> WriteEffectFile(const EffectFileValue& v);

// The 100 bytes of a "VFXC" clip naming `effect` (at most 63 characters
// kept, so the name stays terminated), with `fill` in the bytes between the
// command and the name.
std::vector<uint8_t> ReferenceClip(const std::string& effect, uint8_t fill = 0);

// The 100 bytes of a timeline command: its tag, the words after it (word 1
// at byte 4, at most eight) and the four text fields at bytes 36, 52, 68
// and 84, each copied as given up to its 16 bytes (no terminator added).
std::vector<uint8_t> CommandClip(std::string_view tag, const std::vector<uint32_t>& words = {},
                                 const std::vector<std::string>& texts = {});

} // namespace effecttools
