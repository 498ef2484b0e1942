#include "tools/effect/TextureWriter.h"

namespace effecttools {

namespace {

void WriteLayer(ChunkWriter& w, std::string_view tag, std::string_view extraTag,
                const TextureLayerValue& v) {
    w.Begin(tag);
    WriteFields(w, v.fields);
    if (v.list)
        w.Bytes("List", v.list->data(), v.list->size());
    if (v.number)
        WriteFloatProperty(w, "TxNo", *v.number);
    if (v.extra && !extraTag.empty())
        WriteFloatProperty(w, extraTag, *v.extra);
    w.End();
}

} // namespace

void WriteColorTextureLayer(ChunkWriter& w, std::string_view tag, const TextureLayerValue& v) {
    WriteLayer(w, tag, "", v);
}
void WriteDistortionTextureLayer(ChunkWriter& w, std::string_view tag, const TextureLayerValue& v) {
    WriteLayer(w, tag, "Pow", v);
}
void WritePaletteTextureLayer(ChunkWriter& w, const TextureLayerValue& v) {
    WriteLayer(w, "TPlt", "Offs", v);
}
void WriteNormalTextureLayer(ChunkWriter& w, const TextureLayerValue& v) {
    WriteLayer(w, "TNrm", "Scl", v);
}
void WriteReflectionTextureLayer(ChunkWriter& w, const TextureLayerValue& v) {
    WriteLayer(w, "TRef", "Blnd", v);
}

void WriteUvTransform(ChunkWriter& w, const UvTransformValue& v) {
    w.Begin("TUvS");
    if (v.coordinateType)
        w.U32("UvCT", *v.coordinateType);
    if (v.orderType)
        w.U32("UvOT", *v.orderType);
    if (v.scale)
        WritePairProperty(w, "Scl", *v.scale);
    if (v.scroll)
        WritePairProperty(w, "Scr", *v.scroll);
    if (v.rotation)
        WriteFloatProperty(w, "Rot", *v.rotation);
    w.End();
}

} // namespace effecttools
