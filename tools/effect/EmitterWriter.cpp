#include "tools/effect/EmitterWriter.h"

#include <set>

namespace effecttools {

namespace {

const std::set<std::string> kByteFields = {"TgUI", "PLNo", "GeLA", "ApCl", "ApCd"};
const std::set<std::string> kShortFields = {"UST",  "GeIT", "GeIC", "GeIP", "GeSD",
                                            "OvLf", "Lif",  "LifR", "VNOf"};

} // namespace

void WriteSpawnEntry(ChunkWriter& w, const SpawnEntryValue& v) {
    w.Begin("GeUI");
    for (const FieldValue& f : v.fields) {
        if (kByteFields.count(f.tag))
            w.U8(f.tag, static_cast<uint8_t>(f.value));
        else if (kShortFields.count(f.tag))
            w.U16(f.tag, static_cast<uint16_t>(f.value));
        else
            w.U32(f.tag, f.value);
    }
    if (v.rei) {
        w.F32("REIX", (*v.rei)[0]);
        w.F32("REIY", (*v.rei)[1]);
        w.F32("REIZ", (*v.rei)[2]);
    }
    w.End();
}

void WriteTimedEntry(ChunkWriter& w, const TimedEntryValue& v) {
    w.Begin("GeTI");
    if (v.enabled)
        w.U16("Enbl", *v.enabled);
    if (v.target)
        w.U16("TgtI", *v.target);
    if (v.count)
        w.U16("GnCn", *v.count);
    if (v.interval)
        w.I16("GnIv", *v.interval);
    if (v.startFrame)
        w.I32("StFr", *v.startFrame);
    if (v.endFrame)
        w.I32("EdFr", *v.endFrame);
    if (v.gnDI)
        w.U32("GnDI", *v.gnDI);
    if (v.vlSc)
        w.U32("VlSc", *v.vlSc);
    w.End();
}

void WriteShape(ChunkWriter& w, const ShapeValue& v) {
    w.Begin("DatE");
    WriteFields(w, v.fields);
    if (v.model)
        w.U8("MdlN", *v.model);
    if (v.latitudeDivisions)
        w.U8("LtDv", *v.latitudeDivisions);
    if (v.longitudeDivisions)
        w.U8("LgDv", *v.longitudeDivisions);
    if (v.points)
        w.Bytes("Pnts", v.points->data(), v.points->size());
    for (const auto& [tag, value] : v.floats)
        WriteFloatProperty(w, tag, value);
    if (v.size3)
        WriteTripleProperty(w, "Size", *v.size3);
    if (v.size2)
        WritePairProperty(w, "Size", *v.size2);
    w.End();
}

void WriteEmitter(ChunkWriter& w, const EmitterValue& v) {
    w.Begin("Emit");
    if (v.kind)
        w.U32("EmV1", *v.kind);
    w.U32("GeUC", v.spawnCount.value_or(static_cast<uint32_t>(v.spawnEntries.size())));
    for (const SpawnEntryValue& e : v.spawnEntries)
        WriteSpawnEntry(w, e);
    w.U32("GeTC", v.timedCount.value_or(static_cast<uint32_t>(v.timedEntries.size())));
    for (const TimedEntryValue& e : v.timedEntries)
        WriteTimedEntry(w, e);
    if (v.shape)
        WriteShape(w, *v.shape);
    static const char* const kLinkTags[4] = {"PLU1", "PLU2", "PLU3", "PLU4"};
    for (int i = 0; i < 4; ++i)
        if (v.parentLinks[i])
            w.I8(kLinkTags[i], *v.parentLinks[i]);
    if (v.localRotation)
        WriteTripleProperty(w, "LRot", *v.localRotation);
    if (v.iaag)
        WriteTripleProperty(w, "IAAg", *v.iaag);
    w.End();
}

} // namespace effecttools
