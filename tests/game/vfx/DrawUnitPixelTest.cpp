// Draw units of the effects runtime drawn on the GL backend (llvmpipe
// under the offscreen video driver): a grid-cell quad and a flipbook, and
// axis trails, written by their own geometry callbacks into buffers locked
// through the effects device, drawn with the billboard and the generated
// programs and read back from the back buffer.
#include "support/effects/DrawUnitRig.h"
#include "support/effects/RuntimeFrame.h"
#include "support/effects/RuntimeStartup.h"
#include "support/effects/UnitTreeRig.h"
#include "support/vfx/EnginePixelTest.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Engine/ObjectSlot.h"
#include "effects/Core/Interface/IShader.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/UnitResource.h"
#include "effects/drawunits/AxisTrailDrawUnit.h"
#include "effects/drawunits/DrawRenderer.h"
#include "effects/drawunits/DrawUnitFactory.h"
#include "effects/drawunits/DrawUnitType11.h"
#include "effects/drawunits/DrawUnitType2.h"
#include "effects/render/TrailGeometry.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstance.h"
#include "game/vfx/ShaderSource.h"

#include <cstring>
#include <memory>
#include <vector>

namespace {

using FulgorCore::DrawRenderer;
using FulgorCore::DrawUnit;

// Two colours of the cell at column 1, row 0 of the atlas: its left and
// right texel columns.
constexpr uint8_t kLeft[3] = {255, 0, 0};
constexpr uint8_t kRight[3] = {0, 255, 0};

// An 8 x 4 atlas of 4 x 2 cells of 2 x 2 texels: cell (1, 0) is red on its
// left, green on its right; every other cell is grey.
std::vector<uint8_t> Atlas() {
    std::vector<uint8_t> rgba(8 * 4 * 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) {
            uint8_t* p = &rgba[(y * 8 + x) * 4];
            const bool cell = y < 2 && (x == 2 || x == 3);
            const uint8_t* c = x == 2 ? kLeft : kRight;
            for (int i = 0; i < 3; ++i)
                p[i] = cell ? c[i] : 128;
            p[3] = 255;
        }
    return rgba;
}

effecttools::TextureValue Dds(uint32_t width, uint32_t height, const std::vector<uint8_t>& rgba) {
    effecttools::TextureValue t;
    t.data = tools::WriteDds(sys::DdsFormat::R8G8B8A8, width, height, 1, false, rgba.data(),
                             rgba.size());
    return t;
}

void AppendFrame(std::vector<uint8_t>& keys, uint16_t texture, uint16_t duration) {
    const uint16_t words[6] = {texture, duration, 0, 0, 32767, 32767};
    const float floats[4] = {1.0f, 1.0f, 0.0f, 0.0f};
    const size_t at = keys.size();
    keys.resize(at + 28);
    std::memcpy(&keys[at], words, 12);
    std::memcpy(&keys[at + 12], floats, 16);
}

// Units: a 4 x 2 grid of 3 frames a cell in mode 0 and in mode 2, a
// flipbook of textures 1 (blue) and 2 (white), 2 frames each, and a trail.
// Every slot is sampled without filtering.
effecttools::EffectFileValue BillboardEffect() {
    effecttools::EffectFileValue f = testsupport::TreeEffect("vfx/billboards.vfxb", 4, 0);
    for (uint32_t mode : {0u, 2u}) {
        effecttools::DrawDataType2Value grid;
        grid.fields = {{"UvT", mode}, {"DivU", 4}, {"DivV", 2}, {"AnmI", 3}};
        effecttools::DrawPartValue part;
        part.data = grid;
        effecttools::TextureLayerValue layer;
        layer.fields = {{"bEbl", 1}};
        layer.list = std::vector<int8_t>{0};
        part.textureLayers["TCo1"] = layer;
        f.package.units[mode / 2].drawParts.push_back(part);
    }
    effecttools::DrawDataType11Value flipbook;
    std::vector<uint8_t> keys;
    AppendFrame(keys, 1, 2);
    AppendFrame(keys, 2, 2);
    flipbook.keys = keys;
    effecttools::DrawPartValue book;
    book.data = flipbook;
    f.package.units[2].drawParts.push_back(book);
    effecttools::DrawPartValue trail;
    trail.data = effecttools::DrawDataType12Value{};
    f.package.units[3].drawParts.push_back(trail);
    f.package.textures = {Dds(8, 4, Atlas()), Dds(1, 1, {0, 0, 255, 255}),
                          Dds(1, 1, {255, 255, 255, 255})};
    return f;
}

// The renderer's side for these draws: each reservation locks the next
// range of the device's buffers; the submitted command writes into it and
// the quad is drawn at once with slot 0's texture.
class DeviceDraws {
public:
    DeviceDraws(VfxDevice* device, VertexBuffer* vertices, IndexBuffer* indices)
        : device_(device), vertices_(vertices), indices_(indices) {
        DrawRenderer& r = DrawRenderer::Current();
        saved_ = r;
        current_ = this;
        r.reserveVertices48 = Reserve;
        r.batchKind = [] { return &current_->kind_; };
        r.flushBatches = [] {};
        r.submit = [](FulgorCore::Job* job) { current_->Run(job); };
    }
    ~DeviceDraws() {
        DrawRenderer::Current() = saved_;
        current_ = nullptr;
    }
    DeviceDraws(const DeviceDraws&) = delete;
    DeviceDraws& operator=(const DeviceDraws&) = delete;

private:
    static bool Reserve(const FulgorCore::IShader*, const uint32_t*,
                        const FulgorCore::TextureSlot* bindings, uint8_t, void** vertices,
                        uint32_t count, uint16_t** indices, uint16_t* first, uint32_t indexCount) {
        DeviceDraws& d = *current_;
        d.vertexCount_ = count;
        d.indexCount_ = indexCount;
        d.bindings_ = bindings;
        *vertices = d.device_->LockVertexBuffer(d.vertices_, d.vertexBytes_, count * 48);
        *indices = static_cast<uint16_t*>(
            d.device_->LockIndexBuffer(d.indices_, d.firstIndex_ * 2, indexCount * 2));
        *first = 0;
        return *vertices && *indices;
    }
    void Run(FulgorCore::Job* job) {
        job->Execute();
        device_->UnlockVertexBuffer(vertices_, vertexCount_ * 48);
        device_->UnlockIndexBuffer(indices_, indexCount_ * 2);
        device_->SetTexture(0, bindings_[0].texture, 0, 0, 0, 0);
        device_->SetVertexBuffer(0, vertices_, vertexBytes_, 48);
        device_->SetIndexBuffer(indices_);
        device_->DrawIndexed(1, firstIndex_, indexCount_, vertexCount_);
        vertexBytes_ += vertexCount_ * 48;
        firstIndex_ += indexCount_;
    }

    VfxDevice* device_;
    VertexBuffer* vertices_;
    IndexBuffer* indices_;
    const FulgorCore::TextureSlot* bindings_ = nullptr;
    uint32_t vertexCount_ = 0;
    uint32_t indexCount_ = 0;
    uint32_t vertexBytes_ = 0;
    uint32_t firstIndex_ = 0;
    uint8_t kind_ = 0;
    DrawRenderer saved_{};
    static inline DeviceDraws* current_ = nullptr;
};

class DrawUnitPixels : public testsupport::EnginePixelTest {
protected:
    void SetUp() override {
        EnginePixelTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        effect = testsupport::LoadEffect(testsupport::Write(BillboardEffect()));
        package = FulgorCore::Engine::GetWorkData()->objects.base[effect.index].package;
        ASSERT_NE(package, nullptr);
        FulgorCore::UnitInstance::InitialState start;
        start.timeMode = FulgorCore::UnitInstance::kEndless;
        constexpr float kIdentity[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
        root = FulgorCore::UnitInstance::Create<FulgorCore::InstanceRootUnit>(
            package, start, nullptr, kIdentity, 1u, 0xFFu);
        FulgorCore::UnitInstance::InitialState clock;
        clock.parent = root;
        clock.timeMode = FulgorCore::UnitInstance::kEndless;
        owner = testsupport::StandInParticle(root, clock);
        ASSERT_TRUE(root && owner);
        const float position[3] = {0.0f, 0.0f, 0.5f};
        testsupport::PlaceOwner(owner, position);
        draws.emplace_back(new DeviceDraws(device, vertices, indices));
    }
    void TearDown() override {
        draws.clear();
        for (DrawUnit* u : units)
            delete u;
        delete owner;
        delete root;
        if (package)
            FulgorCore::Engine::ReleaseResource(effect.index, effect.serial);
        EnginePixelTest::TearDown();
    }

    // Unit i's draw part, updated by each step of frames in turn, then drawn.
    DrawUnit* Drawn(uint32_t i, std::initializer_list<float> steps) {
        bool noBlock = false;
        DrawUnit* unit =
            FulgorCore::CreateDrawUnit(owner, package->GetUnit(i)->GetDrawPart(0), noBlock);
        EXPECT_NE(unit, nullptr);
        if (!unit)
            return nullptr;
        units.push_back(unit);
        for (float frames : steps) {
            FulgorCore::DrawClock c;
            c.lastStep = frames;
            unit->Update(c);
        }
        Draw(unit);
        return unit;
    }
    void Draw(DrawUnit* unit) {
        Begin(simple);
        unit->Draw();
        Finish();
    }
    using VfxPixelTest::At;
    testing::AssertionResult At(int x, int y, const uint8_t* rgb) const {
        return At(x, y, rgb[0], rgb[1], rgb[2], 0);
    }

    FulgorCore::ObjectHandle effect{};
    const FulgorCore::PackageResource* package = nullptr;
    FulgorCore::InstanceRootUnit* root = nullptr;
    FulgorCore::ParticleInstance* owner = nullptr;
    std::vector<DrawUnit*> units;
    std::vector<std::unique_ptr<DeviceDraws>> draws;
};

const uint8_t kBlack[3] = {0, 0, 0};

TEST_F(DrawUnitPixels, AQuadShowsItsCellOverItsRectangle) {
    // Frames 0-2 show cell 0; from frame 3 cell (1, 0).
    ASSERT_NE(Drawn(0, {3.0f, 0.0f}), nullptr);
    // Corners of half size 1, halved by the program: clip -0.5..0.5, pixels
    // 16 to 47; the cell's left texels on the left half, right on the right.
    EXPECT_TRUE(At(17, 17, kLeft));
    EXPECT_TRUE(At(30, 46, kLeft));
    EXPECT_TRUE(At(33, 17, kRight));
    EXPECT_TRUE(At(46, 46, kRight));
    for (const auto& [x, y] : {std::pair{15, 30}, {48, 30}, {30, 15}, {30, 48}})
        EXPECT_TRUE(At(x, y, kBlack));
}

TEST_F(DrawUnitPixels, MirroredQuadrantsShowTheCellFourTimes) {
    ASSERT_NE(Drawn(1, {3.0f, 0.0f}), nullptr);
    // Each quadrant holds the whole cell with its left texels at the outer
    // edge: left, right | right, left, in both rows.
    for (int y : {18, 45}) {
        EXPECT_TRUE(At(18, y, kLeft)) << y;
        EXPECT_TRUE(At(29, y, kRight)) << y;
        EXPECT_TRUE(At(34, y, kRight)) << y;
        EXPECT_TRUE(At(45, y, kLeft)) << y;
    }
    EXPECT_TRUE(At(15, 30, kBlack));
    EXPECT_TRUE(At(48, 30, kBlack));
}

TEST_F(DrawUnitPixels, AFlipbookAfterItsFirstDurationShowsItsSecondTexture) {
    DrawUnit* unit = Drawn(2, {1.0f});
    ASSERT_NE(unit, nullptr);
    EXPECT_TRUE(At(32, 32, 0, 0, 255, 0));
    FulgorCore::DrawClock c;
    c.lastStep = 1.5f;
    unit->Update(c);
    Draw(unit);
    EXPECT_TRUE(At(32, 32, 255, 255, 255, 0));
    EXPECT_TRUE(At(20, 20, 255, 255, 255, 0));
    EXPECT_TRUE(At(14, 32, kBlack));
}

// Two axis trails of 8 points (format 0) along y = 0.5 and y = -0.5, x
// from -0.8 (the head) to 0.8, axes (0, 0.1, 0), width 1: the upper one red
// at the head and blue at the tail, the lower one with a centre line, white
// at its centre and black at its edges. Drawn with the generated program
// of generated geometry, identity view and projection.
TEST_F(DrawUnitPixels, AxisTrailsRunHeadToTailAndACentreLineOutshinesItsEdges) {
    ShaderSource::Install(nullptr);
    FulgorCore::IShader* shape = rig.Shader(FulgorCore::ShaderKey::kShape);
    ASSERT_NE(shape, nullptr);
    Begin(shape);
    float positions[2][24];
    float axes[24];
    for (int i = 0; i < 8; ++i) {
        for (int t = 0; t < 2; ++t) {
            positions[t][3 * i] = -0.8f + 1.6f * static_cast<float>(i) / 7.0f;
            positions[t][3 * i + 1] = t == 0 ? 0.5f : -0.5f;
            positions[t][3 * i + 2] = 0.5f;
        }
        axes[3 * i] = axes[3 * i + 2] = 0.0f;
        axes[3 * i + 1] = 0.1f;
    }
    uint32_t vertexBytes = 0, firstIndex = 0;
    for (int t = 0; t < 2; ++t) {
        const bool centreLine = t == 1;
        FulgorCore::TrailDrawUnitBase::Values values;
        values.subKind = 2;
        values.pointCount = 8;
        values.ops.write =
            centreLine ? FulgorCore::AxisTrailDrawUnit<0>::WriteVertices<FulgorCore::CentreLine>
                       : FulgorCore::AxisTrailDrawUnit<0>::WriteVertices<>;
        auto* trail = DrawUnit::Create<FulgorCore::AxisTrailDrawUnit<0>>(
            owner, package->GetUnit(3)->GetDrawPart(0), values);
        ASSERT_NE(trail, nullptr);
        units.push_back(trail);
        FulgorCore::RibbonFrameValues& r = trail->record->ribbon;
        r.headWidth = r.tailWidth = 1.0f;
        const float head[4] = {1, 0, 0, 1}, toTail[4] = {-1, 0, 1, 0};
        const float white[4] = {1, 1, 1, 1}, black[4] = {0, 0, 0, 1}, none[4] = {};
        std::memcpy(r.centreColor, centreLine ? white : head, 16);
        std::memcpy(r.firstDelta, centreLine ? none : toTail, 16);
        std::memcpy(r.edgeColor, black, 16);
        std::memcpy(r.secondDelta, none, 16);
        trail->record->positions = positions[t];
        trail->record->firstAxes = axes;

        const uint32_t perPoint = centreLine ? 3 : 2;
        const uint32_t count = 8 * perPoint, indexCount = 7 * 6 * (perPoint - 1);
        FulgorCore::DrawPayload payload;
        payload.vertices = device->LockVertexBuffer(vertices, vertexBytes, count * 32);
        payload.indices = static_cast<uint16_t*>(
            device->LockIndexBuffer(indices, firstIndex * 2, indexCount * 2));
        ASSERT_TRUE(payload.vertices && payload.indices);
        if (centreLine)
            FulgorCore::WriteTrailIndices<FulgorCore::AxisTrailDrawUnit, FulgorCore::CentreLine>(
                trail, payload);
        else
            FulgorCore::WriteTrailIndices<FulgorCore::AxisTrailDrawUnit>(trail, payload);
        device->UnlockVertexBuffer(vertices, count * 32);
        device->UnlockIndexBuffer(indices, indexCount * 2);
        device->SetVertexBuffer(0, vertices, vertexBytes, 32);
        device->SetIndexBuffer(indices);
        device->DrawIndexed(1, firstIndex, indexCount, count);
        vertexBytes += count * 32;
        firstIndex += indexCount;
    }
    Finish();
    auto pixel = [&](int x, int y) { return &pixels[(static_cast<size_t>(y) * kSize + x) * 4]; };
    // The upper band covers rows 13-18; its ends at x = -0.77 and 0.77.
    EXPECT_TRUE(At(7, 16, 255, 0, 0, 8));
    EXPECT_TRUE(At(56, 16, 0, 0, 255, 8));
    for (int x = 8; x <= 56; ++x) {
        EXPECT_LE(pixel(x, 16)[0], pixel(x - 1, 16)[0]) << x;
        EXPECT_GE(pixel(x, 16)[2], pixel(x - 1, 16)[2]) << x;
    }
    EXPECT_TRUE(At(32, 11, 0, 0, 0));
    // The lower band covers rows 45-50, its centre line between 47 and 48.
    for (int x : {16, 32, 48}) {
        const int middle = pixel(x, 48)[0];
        EXPECT_GT(middle, pixel(x, 45)[0] + 100) << x;
        EXPECT_GT(middle, pixel(x, 50)[0] + 100) << x;
        EXPECT_TRUE(At(x, 53, 0, 0, 0)) << x;
    }
}

} // namespace
