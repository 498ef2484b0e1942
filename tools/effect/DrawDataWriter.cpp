#include "tools/effect/DrawDataWriter.h"

#include "tools/sampledata/ByteWriter.h"

namespace effecttools {

namespace {

void WriteOptional(ChunkWriter& w, std::string_view tag, const std::optional<FloatValue>& v) {
    if (v)
        WriteFloatProperty(w, tag, *v);
}

void WriteOptional(ChunkWriter& w, std::string_view tag, const std::optional<ColorValue>& v) {
    if (v)
        WriteColorProperty(w, tag, *v);
}

template <class T>
void WriteBytes(ChunkWriter& w, std::string_view tag, const std::optional<std::vector<T>>& v) {
    if (v)
        w.Bytes(tag, v->data(), v->size() * sizeof(T));
}

void WriteOptionalF32(ChunkWriter& w, std::string_view tag, const std::optional<float>& v) {
    if (v)
        w.F32(tag, *v);
}

} // namespace

void WriteDrawData(ChunkWriter& w, const DrawDataType1Value& v) {
    w.Begin("DatP");
    WriteOptional(w, "Len", v.length);
    WriteOptional(w, "HCol", v.headColor);
    WriteOptional(w, "TCol", v.tailColor);
    w.End();
}

void WriteDrawData(ChunkWriter& w, const DrawDataType2Value& v) {
    w.Begin("DatP");
    WriteFields(w, v.fields);
    w.End();
}

void WriteDrawData(ChunkWriter& w, const DrawDataType3Value& v) {
    w.Begin("DatP");
    WriteOptional(w, "Wid", v.width);
    WriteOptional(w, "Len", v.length);
    w.End();
}

void WriteDrawData(ChunkWriter& w, const DrawDataType5Value& v) {
    w.Begin("DatP");
    WriteFields(w, v.fields);
    WriteBytes(w, "List", v.list);
    WriteFloatProperties(w, v.floats);
    WriteColorProperties(w, v.colors);
    if (v.rimDirection)
        WriteTripleProperty(w, "FrD", *v.rimDirection);
    w.End();
}

void WriteDrawData(ChunkWriter& w, const DrawDataType6Value& v) {
    w.Begin("DatP");
    WriteBytes(w, "MdlP", v.points);
    WriteFields(w, v.fields);
    if (v.crIv)
        w.U32("CrIv", *v.crIv);
    WriteColorProperties(w, v.colors);
    WriteFloatProperties(w, v.floats);
    w.End();
}

void WriteDrawData(ChunkWriter& w, const DrawDataType7Value& v) {
    w.Begin("DatP");
    if (v.pointCount)
        w.U16("PtCn", *v.pointCount);
    if (v.ece)
        w.Flag("bECE", *v.ece);
    WriteColorProperties(w, v.colors);
    WriteFloatProperties(w, v.floats);
    w.End();
}

void WriteDrawData(ChunkWriter& w, const DrawDataType8Value& v) {
    w.Begin("DatP");
    WriteOptional(w, "Cnt", v.count);
    w.End();
}

void WriteDrawData(ChunkWriter& w, const DrawDataType11Value& v) {
    w.Begin("DatP");
    WriteFields(w, v.fields);
    WriteOptionalF32(w, "DwPx", v.dwPx);
    WriteOptionalF32(w, "DwPy", v.dwPy);
    WriteBytes(w, "Key", v.keys);
    w.End();
}

void WriteDrawData(ChunkWriter& w, const DrawDataType12Value& v) {
    w.Begin("DatP");
    WriteFields(w, v.fields);
    WriteOptionalF32(w, "Len", v.length);
    WriteColorProperties(w, v.colors);
    WriteFloatProperties(w, v.floats);
    w.End();
}

void WriteDrawData(ChunkWriter& w, const DrawDataType13Value& v) {
    w.Begin("DatP");
    if (v.rimType)
        w.U16("FreT", *v.rimType);
    WriteBytes(w, v.leftHanded ? "VtxL" : "VtxR", v.vertices);
    if (v.indices) {
        sampledata::ByteWriter indices;
        for (uint16_t i : *v.indices)
            indices.U16(i);
        w.Bytes("Idx", indices.Get().data(), indices.Size());
    }
    WriteColorProperties(w, v.colors);
    WriteFloatProperties(w, v.floats);
    if (v.rimDirection)
        WriteTripleProperty(w, "FrD", *v.rimDirection);
    w.End();
}

void WriteDrawData(ChunkWriter& w, const DrawDataType4Value& v) {
    w.Begin("DatP").Begin("MPDt");
    WriteFields(w, v.fields);
    if (v.crIv)
        w.U32("CrIv", *v.crIv);
    for (const auto& [tag, value] : v.floats)
        w.F32(tag, value);
    for (const auto& [tag, value] : v.integers)
        w.I32(tag, value);
    for (const auto& [tag, value] : v.colorTimes)
        w.U16(tag, value);
    if (v.crMd)
        w.U8("CrMd", *v.crMd);
    if (v.goMd)
        w.U8("GoMd", *v.goMd);
    if (v.bpCt)
        w.I16("BPCt", *v.bpCt);
    if (v.seed)
        w.U32("FNS ", *v.seed);
    if (v.field)
        w.U32("bFld", *v.field);
    w.End().End();
}

void WriteDrawData(ChunkWriter& w, const DrawDataType9Value& v) {
    w.Begin("DatP");
    WriteOptionalF32(w, "SizX", v.sizeX);
    WriteOptionalF32(w, "SizY", v.sizeY);
    WriteOptionalF32(w, "PvtX", v.pivotX);
    WriteOptionalF32(w, "PvtY", v.pivotY);
    WriteOptionalF32(w, "PvtZ", v.pivotZ);
    w.End();
}

void WriteDrawData(ChunkWriter& w, const DrawDataType10Value& v) {
    w.Begin("DatP");
    if (v.projectionType)
        w.U32("PrjT", *v.projectionType);
    WriteOptional(w, "RngR", v.rangeR);
    WriteOptional(w, "RngW", v.rangeW);
    w.End();
}

} // namespace effecttools
