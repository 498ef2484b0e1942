// Writers of an emitter part ("Emit"): kind, spawn and timed entries, the
// shape of its kind ("DatE"), parent links and its two triples.
#pragma once

#include "tools/effect/ChunkWriter.h"
#include "tools/effect/PropertyWriter.h"
#include "tools/effect/ValueWriter.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace effecttools {

// A "GeUI" item: each field chunk written at the width its record keeps
// ("TgUI", "PLNo", "GeLA", "ApCl", "ApCd" one byte; "UST" ... "VNOf" two;
// flags four), and the three raw "REI" floats.
struct SpawnEntryValue {
    std::vector<FieldValue> fields;
    std::optional<std::array<float, 3>> rei;
};

// A "GeTI" item.
struct TimedEntryValue {
    std::optional<uint16_t> enabled;
    std::optional<uint16_t> target;
    std::optional<uint16_t> count;
    std::optional<int16_t> interval;
    std::optional<int32_t> startFrame;
    std::optional<int32_t> endFrame;
    std::optional<uint32_t> gnDI;
    std::optional<uint32_t> vlSc;
};

// The "DatE" payload: field chunks ("GnCT", "GnPT", "AxX", "AxY", "AxZ",
// "bUMX" ... "bUPZ"), "MdlN", "LtDv", "LgDv" (u8), "Pnts" (16 bytes a
// point), animated floats in the order given ("Rad", "RadI", "RadO",
// "Len", "IjAI", "InAI", "IjAO", "InAO", "IjA", "IjSp", "InSp"), and
// "Size" as a triple or a pair.
struct ShapeValue {
    std::vector<FieldValue> fields;
    std::optional<uint8_t> model;
    std::optional<uint8_t> latitudeDivisions;
    std::optional<uint8_t> longitudeDivisions;
    std::optional<std::vector<uint8_t>> points;
    std::vector<std::pair<std::string, FloatValue>> floats;
    std::optional<TripleValue> size3;
    std::optional<PairValue> size2;
};

// "EmV1", "GeUC" and "GeTC" (the item counts unless given), the items,
// "DatE", "PLU1"-"PLU4", "LRot", "IAAg".
struct EmitterValue {
    std::optional<uint32_t> kind;
    std::optional<uint32_t> spawnCount;
    std::vector<SpawnEntryValue> spawnEntries;
    std::optional<uint32_t> timedCount;
    std::vector<TimedEntryValue> timedEntries;
    std::optional<ShapeValue> shape;
    std::array<std::optional<int8_t>, 4> parentLinks;
    std::optional<TripleValue> localRotation;
    std::optional<TripleValue> iaag;
};

void WriteSpawnEntry(ChunkWriter& w, const SpawnEntryValue& v);
void WriteTimedEntry(ChunkWriter& w, const TimedEntryValue& v);
void WriteShape(ChunkWriter& w, const ShapeValue& v);
void WriteEmitter(ChunkWriter& w, const EmitterValue& v);

} // namespace effecttools
