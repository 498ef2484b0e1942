#include "tools/effect/ModelWriter.h"

#include <cstring>

namespace effecttools {

namespace {

void WriteStream(ChunkWriter& w, const VertexStreamValue& s, bool second) {
    const char* tag = second ? (s.leftHanded ? "VxML" : "VxMR") : (s.leftHanded ? "VxL" : "VxR");
    w.Bytes(tag, s.vertices.data(), s.vertices.size());
    if (s.indices)
        w.Bytes(second ? "IxMD" : "IxD", s.indices->data(), s.indices->size() * 2);
}

template <class T>
void WriteArray(ChunkWriter& w, const char* tag, const std::optional<std::vector<T>>& v) {
    if (v)
        w.Bytes(tag, v->data(), v->size() * sizeof(T));
}

} // namespace

void WriteModel(ChunkWriter& w, const ModelValue& v) {
    w.Begin("Mdl");
    if (v.stream1)
        WriteStream(w, *v.stream1, false);
    if (v.stream2)
        WriteStream(w, *v.stream2, true);
    if (v.edgeVertices)
        w.Bytes(v.edgeTag, v.edgeVertices->data(), v.edgeVertices->size());
    WriteArray(w, "IxE", v.edgeIndices);
    WriteArray(w, "VNo", v.pointNumbers);
    if (v.totalArea && v.totalAreaFirst)
        w.F32("TAre", *v.totalArea);
    WriteArray(w, "Area", v.areas);
    if (v.totalArea && !v.totalAreaFirst)
        w.F32("TAre", *v.totalArea);
    w.End();
}

void WriteBind(ChunkWriter& w, const BindValue& v) {
    w.Begin("Bind");
    if (v.mode)
        w.U16("BnV1", *v.mode);
    if (v.brtt)
        w.I16("BRTT", *v.brtt);
    if (v.bstt)
        w.I16("BSTT", *v.bstt);
    if (v.life)
        w.I16("Life", *v.life);
    if (v.first)
        WriteAttachPoint(w, "Prm1", *v.first);
    if (v.second)
        WriteAttachPoint(w, "Prm2", *v.second);
    if (v.trFc)
        WriteFloatProperty(w, "TrFc", *v.trFc);
    w.End();
}

std::vector<uint8_t> ModelVertex(float x, float y, float z, uint8_t b14, uint8_t b18,
                                 uint8_t seed) {
    std::vector<uint8_t> v(48);
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = static_cast<uint8_t>(seed * 31 + i * 7);
    std::memcpy(&v[0], &x, 4);
    std::memcpy(&v[4], &y, 4);
    std::memcpy(&v[8], &z, 4);
    v[14] = b14;
    v[18] = b18;
    return v;
}

} // namespace effecttools
