// Writers of the draw data of the thirteen draw types:
// each writes one "DatP" chunk. Runs of animated floats and colours are
// keyed by their tags; raw lists are written as given.
#pragma once

#include "tools/effect/ChunkWriter.h"
#include "tools/effect/PropertyWriter.h"
#include "tools/effect/ValueWriter.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace effecttools {

using FloatValues = std::map<std::string, FloatValue>;
using ColorValues = std::map<std::string, ColorValue>;

// "Len", "HCol", "TCol".
struct DrawDataType1Value {
    std::optional<FloatValue> length;
    std::optional<ColorValue> headColor;
    std::optional<ColorValue> tailColor;
};

// "UvT", "DivU", "DivV", "AnmI", "bLtE", "bRXY", "bRZ".
struct DrawDataType2Value {
    std::vector<FieldValue> fields;
};

// "Wid", "Len".
struct DrawDataType3Value {
    std::optional<FloatValue> width;
    std::optional<FloatValue> length;
};

// Fields "bMrf", "bLgt", "bPBL", "bSpc", "UvP1"-"UvP6", "FreT", "VCCT";
// "List"; floats "MtFo", "MtRh", "MtMl", "MdAN", "MrBR", "FrC", "FrO";
// colours "FrCB", "FrCE"; the triple "FrD".
struct DrawDataType5Value {
    std::vector<FieldValue> fields;
    std::optional<std::vector<int8_t>> list;
    FloatValues floats;
    ColorValues colors;
    std::optional<TripleValue> rimDirection;
};

// "MdlP" (16 bytes a point); fields "Type", "PUC", "PtCn", "PtIv", "PtCN",
// "bECE", "bCPE", "bLHE", "bNST"; "CrIv"; colours "ColH", "ColC", "ColT",
// "CoEH", "CoEC", "CoET"; floats "Wid", "WidH", "WidC", "WidT", "Len",
// "Soft", "Dist".
struct DrawDataType6Value {
    std::optional<std::vector<uint8_t>> points;
    std::vector<FieldValue> fields;
    std::optional<uint32_t> crIv;
    ColorValues colors;
    FloatValues floats;
};

// "PtCn" (u16), "bECE"; colours "ColC", "ColI", "ColO"; floats "Wid",
// "WidI", "WidO", "Hei", "HeiI", "HeiO", "Rad".
struct DrawDataType7Value {
    std::optional<uint16_t> pointCount;
    std::optional<bool> ece;
    ColorValues colors;
    FloatValues floats;
};

// "Cnt".
struct DrawDataType8Value {
    std::optional<FloatValue> count;
};

// Fields "bLtE", "bRXY", "bRZ", "bTxF"; "DwPx", "DwPy"; "Key" (28 bytes a
// key).
struct DrawDataType11Value {
    std::vector<FieldValue> fields;
    std::optional<float> dwPx;
    std::optional<float> dwPy;
    std::optional<std::vector<uint8_t>> keys;
};

// Fields "TDT", "PtCn", "PtCN", "PtIv", "bECE", "bCPE", "bLHE", "bNST";
// "Len"; colours as type 6; floats "Wid", "WidH", "WidC", "WidT", "Dist".
struct DrawDataType12Value {
    std::vector<FieldValue> fields;
    std::optional<float> length;
    ColorValues colors;
    FloatValues floats;
};

// "FreT" (u16); vertices of 48 bytes as "VtxR", or as "VtxL" when
// leftHanded; "Idx"; colours "FrCB", "FrCE"; floats "FrC", "FrO"; "FrD".
struct DrawDataType13Value {
    std::optional<uint16_t> rimType;
    std::optional<std::vector<uint8_t>> vertices;
    bool leftHanded = false;
    std::optional<std::vector<uint16_t>> indices;
    ColorValues colors;
    FloatValues floats;
    std::optional<TripleValue> rimDirection;
};

// Type 4: one "MPDt" holding bit-field and flag chunks ("DTyp", "CrCt",
// "CrI2", "Life", "CrPT", ..., "bAUS"); "CrIv" (stored times 10); raw
// floats by tag (the colour keys, ranges, initial terms, "FFrX", "FArX",
// "FInf", ...); "GoFO" and "GoFW" as integers; "CoF1"-"CoF4" (u16);
// "CrMd", "GoMd" (u8); "BPCt" (i16); the seed "FNS "; "bFld".
struct DrawDataType4Value {
    std::vector<FieldValue> fields;
    std::optional<uint32_t> crIv;
    std::map<std::string, float> floats;
    std::map<std::string, int32_t> integers;
    std::map<std::string, uint16_t> colorTimes;
    std::optional<uint8_t> crMd;
    std::optional<uint8_t> goMd;
    std::optional<int16_t> bpCt;
    std::optional<uint32_t> seed;
    std::optional<uint32_t> field;
};

// Type 9: "SizX", "SizY", "PvtX", "PvtY", "PvtZ".
struct DrawDataType9Value {
    std::optional<float> sizeX;
    std::optional<float> sizeY;
    std::optional<float> pivotX;
    std::optional<float> pivotY;
    std::optional<float> pivotZ;
};

// Type 10: "PrjT", "RngR", "RngW".
struct DrawDataType10Value {
    std::optional<uint32_t> projectionType;
    std::optional<FloatValue> rangeR;
    std::optional<FloatValue> rangeW;
};

void WriteDrawData(ChunkWriter& w, const DrawDataType1Value& v);
void WriteDrawData(ChunkWriter& w, const DrawDataType2Value& v);
void WriteDrawData(ChunkWriter& w, const DrawDataType3Value& v);
void WriteDrawData(ChunkWriter& w, const DrawDataType5Value& v);
void WriteDrawData(ChunkWriter& w, const DrawDataType6Value& v);
void WriteDrawData(ChunkWriter& w, const DrawDataType7Value& v);
void WriteDrawData(ChunkWriter& w, const DrawDataType8Value& v);
void WriteDrawData(ChunkWriter& w, const DrawDataType11Value& v);
void WriteDrawData(ChunkWriter& w, const DrawDataType12Value& v);
void WriteDrawData(ChunkWriter& w, const DrawDataType13Value& v);
void WriteDrawData(ChunkWriter& w, const DrawDataType4Value& v);
void WriteDrawData(ChunkWriter& w, const DrawDataType9Value& v);
void WriteDrawData(ChunkWriter& w, const DrawDataType10Value& v);

} // namespace effecttools
