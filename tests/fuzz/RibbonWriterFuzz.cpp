// libFuzzer target for the ribbon writers of trails and generated-line
// strips: any input picks a format, kind and variant, a point count (0-64)
// and a middle (0-255), then gives the record's widths, colours and
// deltas, the camera, the polygon offset, the points, both axis arrays and
// the texture words as raw bits (not-a-number and infinities among them).
// The points and words sit in arrays of exactly their size and the
// vertices and indices in a reservation of exactly the counted room
// between guard bytes; under ASan and UBSan nothing may be read past the
// inputs, the guards and the bytes past each vertex's words must stay, and
// every index must name a reserved vertex.
//   build-fuzz/ribbon_writer_fuzz -max_total_time=300
#include "effects/drawunits/RibbonWriter.h"
#include "effects/render/RibbonIndices.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using namespace FulgorCore;

constexpr uint32_t kStrides[7] = {32, 36, 36, 44, 44, 52, 52};
constexpr uint32_t kGuard = 64;
constexpr uint8_t kFill = 0xCD;

// The input read front to back; past its end every value is zero.
struct Reader {
    const uint8_t* at;
    size_t left;
    uint32_t Word() {
        uint32_t w = 0;
        const size_t n = left < 4 ? left : 4;
        if (n)
            std::memcpy(&w, at, n);
        at += n;
        left -= n;
        return w;
    }
    uint8_t Byte() { return static_cast<uint8_t>(left ? (--left, *at++) : 0); }
    float Float() {
        const uint32_t w = Word();
        float f;
        std::memcpy(&f, &w, 4);
        return f;
    }
    void Floats(float* out, size_t count) {
        for (size_t i = 0; i < count; ++i)
            out[i] = Float();
    }
};

void ReadValues(Reader& in, RibbonFrameValues& r) {
    r.headWidth = in.Float();
    r.middleWidth = in.Float();
    r.tailWidth = in.Float();
    for (float* c : {r.centreColor, r.middleColor, r.edgeColor, r.middleEdgeColor, r.firstDelta,
                     r.secondDelta, r.thirdDelta, r.fourthDelta})
        in.Floats(c, 4);
}

using Writer = void (*)(void*, const RibbonInput&, const RibbonFrameValues&);

// By kind: axis, cross, facing (billboard trails and generated-line
// strips).
template <uint32_t N, class Variant> constexpr std::array<Writer, 3> KindsOf() {
    return {WriteRibbon<N, AlongAxis, Variant>, WriteRibbon<N, CrossedAxes, Variant>,
            WriteRibbon<N, FacingCamera, Variant>};
}
template <uint32_t N> constexpr std::array<std::array<Writer, 3>, 4> VariantsOf() {
    return {KindsOf<N, PlainLine>(), KindsOf<N, CentreLine>(), KindsOf<N, MidKey>(),
            KindsOf<N, MidKeyCentreLine>()};
}
constexpr std::array<std::array<std::array<Writer, 3>, 4>, 7> kWriters = {
    VariantsOf<0>(), VariantsOf<1>(), VariantsOf<2>(), VariantsOf<3>(),
    VariantsOf<4>(), VariantsOf<5>(), VariantsOf<6>()};

bool Intact(const uint8_t* p, size_t bytes) {
    for (size_t i = 0; i < bytes; ++i)
        if (p[i] != kFill)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader reader{data, size};
    const uint32_t format = reader.Byte() % 7;
    const uint32_t variant = reader.Byte() % 4;
    const uint32_t kind = reader.Byte() % 3;
    const uint32_t n = reader.Byte() % 65;
    RibbonInput in;
    in.pointCount = n;
    in.middle = reader.Byte();
    const auto first = static_cast<uint16_t>(reader.Word());
    in.polygonOffset = reader.Float();
    reader.Floats(in.camera, 3);
    for (uint8_t& p : in.parameters)
        p = reader.Byte();
    std::vector<float> positions(3 * size_t{n});
    std::vector<float> axes[2] = {std::vector<float>(3 * size_t{n}),
                                  std::vector<float>(3 * size_t{n})};
    reader.Floats(positions.data(), positions.size());
    reader.Floats(axes[0].data(), axes[0].size());
    reader.Floats(axes[1].data(), axes[1].size());
    in.positions = positions.data();
    in.axes[0] = axes[0].data();
    in.axes[1] = axes[1].data();

    const uint32_t perPoint = variant % 2 == 1 ? 3 : 2;
    const uint32_t ribbons = kind == 1 ? 2 : 1;
    std::vector<uint32_t> words(size_t{n} * perPoint * format);
    for (uint32_t& w : words)
        w = reader.Word();
    in.textureWords = words.data();

    // The reservation between two guards.
    const uint32_t stride = kStrides[format];
    const size_t vertices = size_t{n} * perPoint * ribbons;
    std::vector<uint8_t> room(kGuard + vertices * stride + kGuard, kFill);
    RibbonFrameValues values;
    ReadValues(reader, values);
    kWriters[format][variant][kind](room.data() + kGuard, in, values);
    if (!Intact(room.data(), kGuard) || !Intact(room.data() + kGuard + vertices * stride, kGuard))
        std::abort();
    const uint32_t written = 28 + 4 * format;
    for (size_t j = 0; j < vertices; ++j)
        if (!Intact(room.data() + kGuard + j * stride + written, stride - written))
            std::abort();

    // The indices of the same room, ribbon after ribbon.
    const size_t count = n > 1 ? size_t{n - 1} * (perPoint == 3 ? 12 : 6) * ribbons : 0;
    std::vector<uint16_t> indices(count + kGuard, 0xCDCD);
    uint16_t* end = indices.data();
    for (uint32_t r = 0; r < ribbons; ++r) {
        const auto from = static_cast<uint16_t>(first + r * perPoint * n);
        end = perPoint == 3 ? WriteRibbonIndices<3>(end, from, n)
                            : WriteRibbonIndices<2>(end, from, n);
    }
    if (static_cast<size_t>(end - indices.data()) != count)
        std::abort();
    for (size_t i = 0; i < count; ++i)
        if (static_cast<uint16_t>(indices[i] - first) >= vertices)
            std::abort();
    for (size_t i = count; i < indices.size(); ++i)
        if (indices[i] != 0xCDCD)
            std::abort();
    return 0;
}
