// Writers of a draw part's texture layers ("TCo1" to "TRef", each with its
// "List" and "TxNo") and texture-coordinate layers ("TUvS").
#pragma once

#include "tools/effect/ChunkWriter.h"
#include "tools/effect/PropertyWriter.h"
#include "tools/effect/ValueWriter.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace effecttools {

// A texture layer: its flag and bit-field chunks, its list of texture
// numbers, its position in the list ("TxNo") and, for every kind but the
// colour layer, one more animated float.
struct TextureLayerValue {
    std::vector<FieldValue> fields;
    std::optional<std::vector<int8_t>> list;
    std::optional<FloatValue> number;
    std::optional<FloatValue> extra;
};

// "TCo1", "TCo2", "TCo3" (no extra).
void WriteColorTextureLayer(ChunkWriter& w, std::string_view tag, const TextureLayerValue& v);
// "TDs1", "TDs2" (extra "Pow").
void WriteDistortionTextureLayer(ChunkWriter& w, std::string_view tag, const TextureLayerValue& v);
// "TPlt" (extra "Offs").
void WritePaletteTextureLayer(ChunkWriter& w, const TextureLayerValue& v);
// "TNrm" (extra "Scl").
void WriteNormalTextureLayer(ChunkWriter& w, const TextureLayerValue& v);
// "TRef" (extra "Blnd").
void WriteReflectionTextureLayer(ChunkWriter& w, const TextureLayerValue& v);

// "TUvS": "UvCT" and "UvOT" when given, the scale and scroll pairs and the
// rotation.
struct UvTransformValue {
    std::optional<uint32_t> coordinateType;
    std::optional<uint32_t> orderType;
    std::optional<PairValue> scale;
    std::optional<PairValue> scroll;
    std::optional<FloatValue> rotation;
};

void WriteUvTransform(ChunkWriter& w, const UvTransformValue& v);

} // namespace effecttools
