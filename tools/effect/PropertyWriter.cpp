#include "tools/effect/PropertyWriter.h"

#include "tools/sampledata/ByteWriter.h"

namespace effecttools {

namespace {

void WriteOptional(ChunkWriter& w, std::string_view tag, const std::optional<FloatValue>& value) {
    if (value)
        WriteFloatProperty(w, tag, *value);
}

} // namespace

void WriteFields(ChunkWriter& w, const std::vector<FieldValue>& fields) {
    for (const FieldValue& f : fields)
        w.U32(f.tag, f.value);
}

void WriteFloatProperties(ChunkWriter& w, const std::map<std::string, FloatValue>& floats) {
    for (const auto& [tag, value] : floats)
        WriteFloatProperty(w, tag, value);
}

void WritePairProperty(ChunkWriter& w, std::string_view tag, const PairValue& value) {
    w.Begin(tag).U16("Link", value.link);
    WriteOptional(w, "X", value.x);
    WriteOptional(w, "Y", value.y);
    w.End();
}

void WriteTripleProperty(ChunkWriter& w, std::string_view tag, const TripleValue& value) {
    w.Begin(tag).U16("Link", value.link);
    WriteOptional(w, "X", value.x);
    WriteOptional(w, "Y", value.y);
    WriteOptional(w, "Z", value.z);
    w.End();
}

std::vector<uint8_t> GradientKeyBytes(const std::vector<GradientKeyValue>& keys) {
    sampledata::ByteWriter out;
    for (const GradientKeyValue& k : keys)
        out.I32(k.time).F32(k.rgba[0]).F32(k.rgba[1]).F32(k.rgba[2]).F32(k.rgba[3]);
    return out.Take();
}

void WriteColorProperty(ChunkWriter& w, std::string_view tag, const ColorValue& value) {
    w.Begin(tag);
    const GradientValue& g = value.gradient;
    w.Begin("Rgba");
    if (!g.keys.empty()) {
        const std::vector<uint8_t> keys = GradientKeyBytes(g.keys);
        w.Bytes("Key", keys.data(), keys.size());
    }
    w.Flag("bLop", g.useTimeA).U32("BPre", g.preBehaviour).U32("BPos", g.postBehaviour);
    w.End();
    WriteOptional(w, "Brig", value.brightness);
    WriteOptional(w, "Red", value.red);
    WriteOptional(w, "Gree", value.green);
    WriteOptional(w, "Blue", value.blue);
    WriteOptional(w, "Alph", value.alpha);
    w.End();
}

void WriteColorProperties(ChunkWriter& w, const std::map<std::string, ColorValue>& colors) {
    for (const auto& [tag, value] : colors)
        WriteColorProperty(w, tag, value);
}

void WriteAttachPoint(ChunkWriter& w, std::string_view tag, const AttachPointValue& value) {
    w.Begin(tag).U32("BATT", value.targetType).U32("BAPT", value.pointType);
    if (value.name)
        w.Text("BAPN", *value.name);
    WriteTripleProperty(w, "Pos", value.position);
    w.End();
}

} // namespace effecttools
