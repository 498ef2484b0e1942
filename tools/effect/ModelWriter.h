// Writers of a package's models ("Mdl") and binds ("Bind").
#pragma once

#include "tools/effect/ChunkWriter.h"
#include "tools/effect/PropertyWriter.h"
#include "tools/effect/ValueWriter.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace effecttools {

// One vertex stream: 48-byte vertices written as "VxR" ("VxMR" for the
// second stream), or as "VxL" ("VxML") when leftHanded; its indices as
// "IxD" ("IxMD").
struct VertexStreamValue {
    std::vector<uint8_t> vertices;
    bool leftHanded = false;
    std::optional<std::vector<uint16_t>> indices;
};

// A model: two streams, edge vertices (16 bytes each, under edgeTag:
// "VxE", "VxER" or "VxEL"), edge indices "IxE", point numbers "VNo", the
// cumulative areas "Area" and a total "TAre" written after them (or before,
// with totalAreaFirst).
struct ModelValue {
    std::optional<VertexStreamValue> stream1;
    std::optional<VertexStreamValue> stream2;
    std::optional<std::vector<uint8_t>> edgeVertices;
    std::string edgeTag = "VxE";
    std::optional<std::vector<uint16_t>> edgeIndices;
    std::optional<std::vector<uint16_t>> pointNumbers;
    std::optional<std::vector<float>> areas;
    std::optional<float> totalArea;
    bool totalAreaFirst = false;
};

// A bind: "BnV1", "BRTT", "BSTT", "Life", the attach points "Prm1" and
// "Prm2", "TrFc".
struct BindValue {
    std::optional<uint16_t> mode;
    std::optional<int16_t> brtt;
    std::optional<int16_t> bstt;
    std::optional<int16_t> life;
    std::optional<AttachPointValue> first;
    std::optional<AttachPointValue> second;
    std::optional<FloatValue> trFc;
};

void WriteModel(ChunkWriter& w, const ModelValue& v);
void WriteBind(ChunkWriter& w, const BindValue& v);

// A 48-byte model vertex at (x, y, z) with the two packed direction bytes
// at offsets 14 and 18; the other bytes follow a pattern from `seed`.
std::vector<uint8_t> ModelVertex(float x, float y, float z, uint8_t b14, uint8_t b18, uint8_t seed);

} // namespace effecttools
