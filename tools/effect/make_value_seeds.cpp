// Writes the seed corpus of the effect-value fuzz target: the payloads of
// each group the value writers make (an animated float of each kind, a pair,
// a triple, a colour, the texture layers, a texture-coordinate layer, an
// attach point and each draw-data type), so that the fuzzer starts from
// well-formed records.
//   make_value_seeds <folder>
#include "tools/effect/ChunkWriter.h"
#include "tools/effect/DrawDataWriter.h"
#include "tools/effect/PropertyWriter.h"
#include "tools/effect/SeedFiles.h"
#include "tools/effect/TextureWriter.h"
#include "tools/effect/ValueWriter.h"

#include <functional>
#include <string>
#include <vector>

namespace {

using namespace effecttools;

// The payload of the one chunk that write produces.
std::vector<uint8_t> Payload(const std::function<void(ChunkWriter&)>& write) {
    ChunkWriter w;
    write(w);
    std::vector<uint8_t> bytes = w.Take();
    return bytes.size() < 8 ? bytes : std::vector<uint8_t>(bytes.begin() + 8, bytes.end());
}

CurvesValue Hermite() {
    CurvesValue c;
    c.value.preBehaviour = 1;
    c.value.postBehaviour = 2;
    for (int i = 0; i < 5; ++i)
        c.value.keys.push_back({static_cast<uint32_t>(i % 3), i * 0.5f, i * 1.5f, 1.0f, -1.0f});
    c.random.randomType = 4;
    c.random.keys = {{1, 0.0f, 0.1f, 0, 0}, {1, 2.0f, 0.3f, 0, 0}};
    return c;
}

EasingValue Ease() {
    EasingValue e;
    e.type = 21;
    e.preMode = 3;
    e.postMode = 1;
    e.timeOffset = 10;
    e.timeLength = 20;
    e.startValue = -1;
    e.endValue = 2;
    e.randomEnd = 0.5f;
    return e;
}

ColorValue Color() {
    ColorValue c;
    c.gradient.keys = {{0, {1, 0, 0, 1}}, {10, {0, 1, 0, 0.5f}}, {30, {0, 0, 1, 0}}};
    c.gradient.postBehaviour = 1;
    c.red = Ease();
    c.alpha = LoopValue{0.5f, 0.1f, 0.0f, 1.0f, 0.0f, 0.0f};
    return c;
}

TripleValue Triple() {
    return {8, std::nullopt, Ease(), Hermite()};
}

std::vector<std::vector<uint8_t>> Seeds() {
    std::vector<std::vector<uint8_t>> seeds;
    const FloatValue floats[] = {ConstantValue{2, -1, 1}, Ease(), Hermite(),
                                 LoopValue{0.5f, 1, 0, 1, 0, 0.2f}};
    for (const FloatValue& f : floats)
        seeds.push_back(Payload([&](ChunkWriter& w) { WriteFloatProperty(w, "Prop", f); }));
    seeds.push_back(Payload([](ChunkWriter& w) {
        WritePairProperty(w, "VlRt", {1, Hermite(), std::nullopt});
    }));
    seeds.push_back(Payload([](ChunkWriter& w) { WriteTripleProperty(w, "Pos", Triple()); }));
    seeds.push_back(Payload([](ChunkWriter& w) { WriteColorProperty(w, "Col", Color()); }));

    TextureLayerValue layer;
    layer.fields = {{"bEbl", 1}, {"UvC", 2}, {"TFT", 1}, {"UvSt", 3}};
    layer.list = std::vector<int8_t>{3, -1, 7, 0};
    layer.number = Ease();
    layer.extra = ConstantValue{0.5f, 0, 0};
    seeds.push_back(Payload([&](ChunkWriter& w) { WriteColorTextureLayer(w, "TCo1", layer); }));
    seeds.push_back(
        Payload([&](ChunkWriter& w) { WriteDistortionTextureLayer(w, "TDs1", layer); }));
    seeds.push_back(Payload([&](ChunkWriter& w) { WriteReflectionTextureLayer(w, layer); }));
    seeds.push_back(Payload([](ChunkWriter& w) {
        WriteUvTransform(w, {1u, 0u, PairValue{0, Ease(), Hermite()}, PairValue{2, {}, Ease()},
                             FloatValue{ConstantValue{0.3f, 0, 0}}});
    }));
    seeds.push_back(Payload([](ChunkWriter& w) {
        WriteAttachPoint(w, "BnV1", {3, 2, std::string("muzzle"), Triple()});
    }));

    seeds.push_back(Payload([](ChunkWriter& w) {
        WriteDrawData(w, DrawDataType1Value{Ease(), Color(), Color()});
    }));
    seeds.push_back(Payload([](ChunkWriter& w) {
        WriteDrawData(w, DrawDataType2Value{{{"UvT", 2}, {"DivU", 8}, {"bRZ", 0}}});
    }));
    seeds.push_back(Payload([](ChunkWriter& w) {
        WriteDrawData(w, DrawDataType3Value{Hermite(), Ease()});
    }));
    seeds.push_back(Payload([](ChunkWriter& w) {
        DrawDataType5Value v;
        v.fields = {{"bMrf", 1}, {"FreT", 2}};
        v.list = std::vector<int8_t>{0, 1, 2};
        v.floats = {{"MdAN", Ease()}, {"MrBR", LoopValue{0, 0.25f, -2, 2, 0, 0}}};
        v.colors = {{"FrCB", Color()}};
        v.rimDirection = Triple();
        WriteDrawData(w, v);
    }));
    seeds.push_back(Payload([](ChunkWriter& w) {
        DrawDataType6Value v;
        v.points = std::vector<uint8_t>(64, 0x3F);
        v.fields = {{"Type", 2}, {"PtCn", 16}, {"PtIv", 2}};
        v.crIv = 3;
        v.colors = {{"ColH", Color()}};
        v.floats = {{"Wid", Hermite()}, {"Len", Constant(20)}};
        WriteDrawData(w, v);
    }));
    seeds.push_back(Payload([](ChunkWriter& w) {
        DrawDataType7Value v;
        v.pointCount = 32;
        v.ece = true;
        v.colors = {{"ColI", Color()}};
        v.floats = {{"Rad", Ease()}};
        WriteDrawData(w, v);
    }));
    seeds.push_back(Payload([](ChunkWriter& w) { WriteDrawData(w, DrawDataType8Value{Ease()}); }));
    seeds.push_back(Payload([](ChunkWriter& w) {
        WriteDrawData(
            w, DrawDataType11Value{{{"bTxF", 1}}, 0.5f, 0.5f, std::vector<uint8_t>(56, 0x40)});
    }));
    seeds.push_back(Payload([](ChunkWriter& w) {
        DrawDataType12Value v;
        v.fields = {{"PtIv", 0}, {"PtCn", 8}};
        v.colors = {{"ColT", Color()}};
        v.floats = {{"Dist", Ease()}};
        WriteDrawData(w, v);
    }));
    seeds.push_back(Payload([](ChunkWriter& w) {
        DrawDataType13Value v;
        v.rimType = 1;
        v.vertices = std::vector<uint8_t>(48 * 4, 0x3E);
        v.leftHanded = true;
        v.indices = std::vector<uint16_t>{0, 1, 2, 2, 1, 3};
        v.colors = {{"FrCB", Color()}};
        v.rimDirection = Triple();
        WriteDrawData(w, v);
    }));
    return seeds;
}

} // namespace

int main(int argc, char** argv) {
    return effecttools::WriteSeedFiles(argc, argv, "make_value_seeds", Seeds());
}
