// The capped band, particle-field quads and flipbook draw units of a
// writer-made effect on the GL backend (llvmpipe under the offscreen video
// driver): each built from its data by the runtime's draw-unit factory,
// updated and drawn by its own members through the renderer and the
// generated programs, with identity view and projection, and read back
// from a 128 x 128 back buffer. A draw size and a draw colour of the data
// act on the quads as the unit's members apply them. (Lines draw nothing
// under the renderer's batch rule; the geometry pixel test shows it.)
#include "support/vfx/FlatColour.h"
#include "support/vfx/RuntimePixelTest.h"

#include "effects/Core/Resource/DrawDataType4.h"
#include "effects/drawunits/DrawUnitFactory.h"
#include "effects/drawunits/DrawUnitType4.h"
#include "effects/drawunits/FieldPoint.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace Fx = FulgorCore;

constexpr int kSize = 128;
constexpr float kPixel = 2.0f / kSize;
// Two pixels of slack at every edge.
constexpr float kSlack = 2.0f * kPixel;

using testsupport::Rgb;
constexpr Rgb kBlack = {0, 0, 0};
constexpr Rgb kGreen = {0, 255, 0};
constexpr Rgb kBlue = {0, 0, 255};
constexpr Rgb kMagenta = {255, 0, 255};
constexpr Rgb kRed = {255, 0, 0};
constexpr Rgb kWhite = {255, 255, 255};

// Package textures, 1 x 1 each.
enum Texture : int8_t { kWhiteTexture, kGreenTexture, kBlueTexture, kMagentaTexture };

// Where the owners stand, in clip space.
constexpr float kBandAt[2] = {0.0f, 0.5f};
constexpr float kBookAt[2] = {0.6f, 0.5f};
constexpr float kQuadsAt[3][2] = {{-0.6f, -0.5f}, {0.0f, -0.5f}, {0.6f, -0.5f}};
constexpr float kBandLength = 0.4f;
constexpr float kBandWidth = 0.05f;
// Half the size of the flipbook's cell and of a field point: the billboard
// program halves the corner offsets.
constexpr float kHalf = 0.1f;

enum Piece : uint32_t { kBand, kBook, kQuads, kRedQuads, kWideQuads, kParts };

effecttools::TextureLayerValue Slot0(Texture t) {
    return {{{"bEbl", 1}}, std::vector<int8_t>{t}, std::nullopt, std::nullopt};
}

effecttools::ColorValue Flat(float r, float g, float b) {
    effecttools::ColorValue c;
    c.red = effecttools::Constant(r);
    c.green = effecttools::Constant(g);
    c.blue = effecttools::Constant(b);
    c.alpha = effecttools::Constant(1.0f);
    return c;
}

// One point of 0.2 drawn as a quad in its owner's space; every colour key
// white.
effecttools::DrawPartValue QuadField(Texture t) {
    effecttools::DrawDataType4Value field;
    field.fields = {{"DTyp", 2}, {"CrCt", 1}, {"Life", 1000}, {"bOPT", 1}, {"bAUS", 1}};
    field.bpCt = 1;
    for (const char* channel : {"CoR", "CoG", "CoB", "CoA"})
        for (int key = 1; key <= 4; ++key)
            field.floats[std::string(channel) + std::to_string(key)] = 1.0f;
    effecttools::DrawPartValue part;
    part.data = field;
    part.textureLayers["TCo1"] = Slot0(t);
    return part;
}

effecttools::EffectFileValue SmallTypesEffect() {
    std::vector<effecttools::DrawPartValue> parts(kParts);
    parts[kBand].data = effecttools::DrawDataType3Value{effecttools::Constant(kBandWidth),
                                                        effecttools::Constant(kBandLength)};
    parts[kBand].textureLayers["TCo1"] = Slot0(kGreenTexture);
    effecttools::DrawDataType11Value book;
    std::vector<uint8_t> cell(28);
    const uint16_t words[6] = {kBlueTexture, 100, 0, 0, 0x7fff, 0x7fff};
    const float floats[4] = {2 * kHalf, 2 * kHalf, 0.0f, 0.0f};
    std::memcpy(cell.data(), words, sizeof words);
    std::memcpy(cell.data() + 12, floats, sizeof floats);
    book.keys = cell;
    book.fields = {{"bRZ", 0}};
    parts[kBook].data = book;
    parts[kBook].textureLayers["TCo1"] = Slot0(kWhiteTexture);
    parts[kQuads] = QuadField(kMagentaTexture);
    parts[kRedQuads] = QuadField(kWhiteTexture);
    parts[kRedQuads].fields = {{"bPDc", 1}};
    parts[kRedQuads].drawColor = Flat(1, 0, 0);
    parts[kWideQuads] = QuadField(kWhiteTexture);
    parts[kWideQuads].fields = {{"bPDs", 1}};
    parts[kWideQuads].drawSize = effecttools::TripleValue{
        0, effecttools::Constant(2.0f), effecttools::Constant(1.0f), effecttools::Constant(1.0f)};
    for (auto& part : parts)
        part.fields.push_back({"DFac", 2});
    effecttools::EffectFileValue f = testsupport::DrawEffect(parts, 0);
    for (Rgb c : {kWhite, kGreen, kBlue, kMagenta}) {
        effecttools::TextureValue t;
        t.data = testsupport::FlatTexture(c);
        f.package.textures.push_back(t);
    }
    return f;
}

// A box in clip space.
struct Box {
    float x0, x1, y0, y1;
    bool Holds(float x, float y, float margin) const {
        return x >= x0 + margin && x <= x1 - margin && y >= y0 + margin && y <= y1 - margin;
    }
};

Box Around(const float* centre, float halfX, float halfY) {
    return {centre[0] - halfX, centre[0] + halfX, centre[1] - halfY, centre[1] + halfY};
}

class SmallDrawUnitPixels : public testsupport::RuntimePixelTest<kSize> {
protected:
    void SetUp() override {
        Start(SmallTypesEffect());
        if (IsSkipped() || HasFatalFailure())
            return;
        // The flipbook takes its cells' textures from the instance's package.
        instance->root->package = package;
    }

    // The part's unit on a particle at `at`, through the factory, listed
    // for drawing.
    Fx::DrawUnit* Add(Piece piece, const float* at) {
        Fx::ParticleInstance* p = Owner(at[0], at[1]);
        if (!p)
            return nullptr;
        // Bands lie along the particle's y axis.
        p->axisMember = Fx::ParticleInstance::GetAxisY;
        bool noBlock = true;
        return runtime->AddDrawUnit(*instance, Fx::CreateDrawUnit(p, Part(piece), noBlock));
    }
    // A field's one point, live at its owner, prepared by the unit's own
    // preparer into memory of the test's.
    void PreparePoint(Fx::DrawUnit* unit, size_t k) {
        auto* field = static_cast<Fx::DrawUnitType4*>(unit);
        Fx::FieldPoint& p = points[k];
        std::memset(&p, 0, sizeof p);
        p.state = Fx::FieldPoint::kLive;
        for (float& s : p.size)
            s = 2 * kHalf;
        field->states = &p;
        field->prepared = prepared[k].data();
        Fx::DrawRenderer::kBuiltIn.prepare[field->prepareIndex](
            field, &p, *field->header, field->prepared, testsupport::FrameClock());
    }

    ::testing::AssertionResult At(int px, int py, Rgb c) const {
        return testing_graphics::PixelIs(pixels, kSize, px, py, c.r, c.g, c.b, 2);
    }
    bool Is(int px, int py, Rgb c) const { return At(px, py, c); }
    static float ClipX(int px) { return (static_cast<float>(px) + 0.5f) * kPixel - 1.0f; }
    static float ClipY(int py) { return 1.0f - (static_cast<float>(py) + 0.5f) * kPixel; }

    Fx::FieldPoint points[3];
    std::vector<uint8_t> prepared[3] = {std::vector<uint8_t>(192), std::vector<uint8_t>(192),
                                        std::vector<uint8_t>(192)};
};

TEST_F(SmallDrawUnitPixels, EachTypeCoversItsBoxInItsColour) {
    Fx::DrawUnit* units[kParts] = {Add(kBand, kBandAt), Add(kBook, kBookAt),
                                   Add(kQuads, kQuadsAt[0]), Add(kRedQuads, kQuadsAt[1]),
                                   Add(kWideQuads, kQuadsAt[2])};
    for (uint32_t u = 0; u < kParts; ++u) {
        ASSERT_NE(units[u], nullptr) << u;
        ASSERT_NE(units[u]->renderBlock, nullptr) << u;
    }
    for (uint32_t u = kBand; u <= kBook; ++u)
        units[u]->Update(testsupport::FrameClock(1.0f, 1.0f));
    for (uint32_t q = 0; q < 3; ++q)
        PreparePoint(units[kQuads + q], q);

    DrawAndRead();
    // The band's ends reach a width further along the axis, turned toward
    // the eye at the origin: sin of the angle between the axis and the
    // view ray at each end.
    const float capA = kBandWidth * 0.5f / std::hypot(0.5f, kBandAt[1] - kBandLength / 2);
    const float capB = kBandWidth * 0.5f / std::hypot(0.5f, kBandAt[1] + kBandLength / 2);
    const Box band = {kBandAt[0] - kBandWidth, kBandAt[0] + kBandWidth,
                      kBandAt[1] - kBandLength / 2 - capA, kBandAt[1] + kBandLength / 2 + capB};
    struct Shape {
        const char* name;
        Rgb colour;
        Box box;
    };
    const Shape shapes[] = {
        {"band", kGreen, band},
        {"flipbook", kBlue, Around(kBookAt, kHalf, kHalf)},
        {"quad", kMagenta, Around(kQuadsAt[0], kHalf, kHalf)},
        {"red quad", kRed, Around(kQuadsAt[1], kHalf, kHalf)},
        {"wide quad", kWhite, Around(kQuadsAt[2], 2 * kHalf, kHalf)},
    };
    int inside[5] = {};
    for (int py = 0; py < kSize; ++py)
        for (int px = 0; px < kSize; ++px) {
            const float x = ClipX(px), y = ClipY(py);
            bool near = false;
            for (int s = 0; s < 5; ++s) {
                const Shape& shape = shapes[s];
                if (shape.box.Holds(x, y, kSlack)) {
                    ++inside[s];
                    EXPECT_TRUE(At(px, py, shape.colour)) << shape.name;
                }
                near = near || shape.box.Holds(x, y, -kSlack);
            }
            if (!near) {
                EXPECT_TRUE(At(px, py, kBlack)) << "outside every box";
            }
        }
    for (int s = 0; s < 5; ++s)
        EXPECT_GT(inside[s], 0) << shapes[s].name;
    // The draw size (2, 1, 1) doubled the quad's width only.
    const int row = static_cast<int>((1.0f - kQuadsAt[2][1]) / kPixel);
    int plainWidth = 0, wideWidth = 0;
    for (int px = 0; px < kSize; ++px) {
        plainWidth += Is(px, row, kMagenta) ? 1 : 0;
        wideWidth += Is(px, row, kWhite) ? 1 : 0;
    }
    EXPECT_NEAR(wideWidth, 2 * plainWidth, 2);
}

} // namespace
