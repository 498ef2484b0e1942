// Writers of the recurring property groups of effect records: bit-field
// chunks, the linked pair and triple of animated floats, colour gradients
// with their five animated channels, and attach points.
#pragma once

#include "tools/effect/ChunkWriter.h"
#include "tools/effect/ValueWriter.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace effecttools {

// One flag or bit-field chunk: its tag and its u32 word.
struct FieldValue {
    std::string tag;
    uint32_t value = 0;
};

// "Link", then "X" and "Y" (absent components are not written).
struct PairValue {
    uint16_t link = 0;
    std::optional<FloatValue> x;
    std::optional<FloatValue> y;
};

// "Link", then "X", "Y" and "Z".
struct TripleValue {
    uint16_t link = 0;
    std::optional<FloatValue> x;
    std::optional<FloatValue> y;
    std::optional<FloatValue> z;
};

// A 20-byte gradient key: time (not scaled) and red, green, blue, alpha.
struct GradientKeyValue {
    int32_t time = 0;
    float rgba[4] = {1.0f, 1.0f, 1.0f, 1.0f};
};

// The chunks of "Rgba". "BPre" and "BPos": 1 repeats, anything else clamps.
struct GradientValue {
    std::vector<GradientKeyValue> keys;
    bool useTimeA = false;
    uint32_t preBehaviour = 0;
    uint32_t postBehaviour = 0;
};

// A gradient and five channels, each 1.0 unless set (or removed).
struct ColorValue {
    GradientValue gradient;
    std::optional<FloatValue> brightness = Constant(1.0f);
    std::optional<FloatValue> red = Constant(1.0f);
    std::optional<FloatValue> green = Constant(1.0f);
    std::optional<FloatValue> blue = Constant(1.0f);
    std::optional<FloatValue> alpha = Constant(1.0f);
};

// "BATT", "BAPT", the name "BAPN" and the position triple "Pos".
struct AttachPointValue {
    uint32_t targetType = 0;
    uint32_t pointType = 0;
    std::optional<std::string> name;
    TripleValue position;
};

void WriteFields(ChunkWriter& w, const std::vector<FieldValue>& fields);
void WriteFloatProperties(ChunkWriter& w, const std::map<std::string, FloatValue>& floats);
void WritePairProperty(ChunkWriter& w, std::string_view tag, const PairValue& value);
void WriteTripleProperty(ChunkWriter& w, std::string_view tag, const TripleValue& value);
// 20 bytes per key.
std::vector<uint8_t> GradientKeyBytes(const std::vector<GradientKeyValue>& keys);
void WriteColorProperty(ChunkWriter& w, std::string_view tag, const ColorValue& value);
void WriteColorProperties(ChunkWriter& w, const std::map<std::string, ColorValue>& colors);
void WriteAttachPoint(ChunkWriter& w, std::string_view tag, const AttachPointValue& value);

} // namespace effecttools
