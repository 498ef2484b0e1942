// The simple draw units: grid-cell billboards, flipbooks, lines, bands and
// particle fields, each updated from its owner and drawn into the recording
// renderer.
#include "support/effects/DrawUnitRig.h"

#include "effects/Core/Memory/FrameWorkMemory.h"
#include "effects/drawunits/DrawUnitFactory.h"
#include "effects/drawunits/DrawUnitRenderBlock.h"
#include "effects/drawunits/DrawUnitType1.h"
#include "effects/drawunits/DrawUnitType11.h"
#include "effects/drawunits/DrawUnitType2.h"
#include "effects/drawunits/DrawUnitType3.h"
#include "effects/drawunits/DrawUnitType4.h"
#include "effects/drawunits/DrawVertices.h"
#include "effects/render/Renderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

using effecttools::Constant;
using effecttools::DrawPartValue;
using FulgorCore::DrawClock;
using FulgorCore::DrawUnit;
using testsupport::DrawEffect;
using testsupport::DrawUnitRig;
using testsupport::RecordingRenderer;

DrawPartValue GridPart(uint32_t across, uint32_t down, uint32_t framesPerCell, uint32_t mode = 0,
                       uint32_t flags = 0) {
    effecttools::DrawDataType2Value pattern;
    pattern.fields = {{"UvT", mode},           {"DivU", across},     {"DivV", down},
                      {"AnmI", framesPerCell}, {"bRXY", flags & 1u}, {"bRZ", (flags >> 1) & 1u}};
    DrawPartValue part;
    part.data = pattern;
    return part;
}

// Frame record: texture, duration, u0, v0, u1, v1, width, height, pivot.
void AppendFrame(std::vector<uint8_t>& keys, uint16_t texture, uint16_t duration,
                 float width = 1.0f, float height = 1.0f) {
    const uint16_t words[6] = {texture, duration, 0, 0, 100, 200};
    const float floats[4] = {width, height, 0.0f, 0.0f};
    const size_t at = keys.size();
    keys.resize(at + 28);
    std::memcpy(&keys[at], words, 12);
    std::memcpy(&keys[at + 12], floats, 16);
}

DrawPartValue FlipbookPart(const std::vector<uint16_t>& durations, uint16_t firstTexture = 0) {
    effecttools::DrawDataType11Value flipbook;
    flipbook.fields = {{"bRZ", 0}};
    std::vector<uint8_t> keys;
    for (size_t i = 0; i < durations.size(); ++i)
        AppendFrame(keys, static_cast<uint16_t>(firstTexture + i), durations[i]);
    flipbook.keys = keys;
    DrawPartValue part;
    part.data = flipbook;
    return part;
}

DrawClock Clock(float step, float time = 0.0f) {
    DrawClock c;
    c.timeA = c.timeB = time;
    c.lastStep = step;
    return c;
}

class DrawUnits : public testsupport::DrawUnitFixture<> {
protected:
    template <class T> T* Make(DrawUnitRig& rig, uint32_t part = 0, const float* at = nullptr) {
        bool noBlock = true;
        DrawUnit* unit = FulgorCore::CreateDrawUnit(rig.MakeOwner(at), rig.Part(part), noBlock);
        EXPECT_FALSE(noBlock);
        return dynamic_cast<T*>(Keep(unit));
    }
    RecordingRenderer renderer;
};

// Until the renderer's geometry side is built its reservations refuse, so
// a unit submits nothing.
TEST(DrawRendererSeam, TheBuiltInReservationsRefuse) {
    const FulgorCore::DrawRenderer& r = FulgorCore::DrawRenderer::kBuiltIn;
    void* vertices = nullptr;
    uint16_t* indices = nullptr;
    uint16_t first = 0;
    const uint32_t word = 0;
    EXPECT_FALSE(r.reserveVertices(nullptr, &word, nullptr, 0, &vertices, 8, &indices, &first, 18));
    EXPECT_FALSE(
        r.reserveVertices48(nullptr, &word, nullptr, 0, &vertices, 4, &indices, &first, 6));
    EXPECT_FALSE(r.reserveVerticesNoIndex32(nullptr, &word, nullptr, 0, &vertices, 2));
    DrawUnitRig rig(DrawEffect({GridPart(1, 1, 1)}));
    ASSERT_TRUE(rig.ok);
    bool noBlock = false;
    DrawUnit* unit = FulgorCore::CreateDrawUnit(rig.MakeOwner(), rig.Part(), noBlock);
    ASSERT_NE(unit, nullptr);
    unit->Update(Clock(1.0f));
    unit->Draw();
    EXPECT_EQ(static_cast<FulgorCore::DrawUnitType2*>(unit)->command.geometry, nullptr);
    delete unit;
}

TEST_F(DrawUnits, AOneCellGridShowsTheWholeTextureAndNeverAdvances) {
    DrawUnitRig& rig = Start(DrawEffect({GridPart(1, 1, 1)}));
    ASSERT_TRUE(rig.ok);
    auto* unit = Make<FulgorCore::DrawUnitType2>(rig);
    ASSERT_NE(unit, nullptr);
    for (int i = 0; i < 5; ++i) {
        unit->Update(Clock(1.0f));
        EXPECT_EQ(unit->cellU0, 0);
        EXPECT_EQ(unit->cellU1, 0x7fff);
        EXPECT_EQ(unit->cellV0, 0);
        EXPECT_EQ(unit->cellV1, 0x7fff);
        EXPECT_EQ(unit->frame, 0.0f);
    }
}

TEST_F(DrawUnits, AGridShowsEachCellForItsFramesAndWraps) {
    DrawUnitRig& rig = Start(DrawEffect({GridPart(4, 2, 3)}));
    ASSERT_TRUE(rig.ok);
    auto* unit = Make<FulgorCore::DrawUnitType2>(rig);
    ASSERT_NE(unit, nullptr);
    // The cell shown is the one of the frame before the update's advance.
    for (int f = 0; f < 30; ++f) {
        unit->Update(Clock(1.0f));
        const int shown = f % 24;
        const int cell = shown / 3;
        EXPECT_EQ(unit->cellU0, 8191 * (cell % 4)) << f;
        EXPECT_EQ(unit->cellU1, 8191 * (cell % 4 + 1)) << f;
        EXPECT_EQ(unit->cellV0, 16383 * (cell / 4)) << f;
        EXPECT_EQ(unit->cellV1, 16383 * (cell / 4 + 1)) << f;
        if (shown >= 3 && shown <= 5) {
            EXPECT_EQ(unit->cellU0, 8191);
            EXPECT_EQ(unit->cellU1, 16382);
            EXPECT_EQ(unit->cellV0, 0);
            EXPECT_EQ(unit->cellV1, 16383);
        }
    }
    EXPECT_EQ(unit->frame, 6.0f);
}

TEST_F(DrawUnits, AQuadDrawsItsCellAtTheParticleAndDoublesUnderAScaledInstance) {
    DrawUnitRig& rig = Start(DrawEffect({GridPart(4, 2, 3)}));
    ASSERT_TRUE(rig.ok);
    const float at[3] = {1.0f, 2.0f, 3.0f};
    auto* unit = Make<FulgorCore::DrawUnitType2>(rig, 0, at);
    ASSERT_NE(unit, nullptr);
    renderer.Clear();
    unit->Update(Clock(0.0f));
    unit->Draw();
    ASSERT_EQ(renderer.reservations.size(), 1u);
    EXPECT_EQ(renderer.reservations[0].stride, 48u);
    EXPECT_EQ(renderer.reservations[0].vertices, 4u);
    EXPECT_EQ(renderer.reservations[0].indices, 6u);
    EXPECT_EQ(renderer.batchKind, 1);
    EXPECT_EQ(renderer.flushes, 1);
    const uint16_t v = renderer.firstVertex;
    const uint16_t expectedIndices[6] = {uint16_t(v + 2), uint16_t(v + 1), v,
                                         uint16_t(v + 3), uint16_t(v + 1), uint16_t(v + 2)};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(renderer.indices[i], expectedIndices[i]);
    const auto* q = renderer.Vertices<FulgorCore::BillboardVertex>();
    const float corners[4][2] = {{-1, 1}, {1, 1}, {-1, -1}, {1, -1}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(q[i].position[0], 1.0f);
        EXPECT_EQ(q[i].position[2], 3.0f);
        EXPECT_EQ(q[i].corner[0], corners[i][0]);
        EXPECT_EQ(q[i].corner[1], corners[i][1]);
        EXPECT_EQ(q[i].color[0], 1000); // white owner, no draw colour
    }
    EXPECT_EQ(q[0].uv[0], 0);
    EXPECT_EQ(q[3].uv[0], 8191);
    EXPECT_EQ(q[3].uv[1], 16383);
    // An instance whose x and y rows are 2 long: twice the size.
    const float scaled[12] = {2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0};
    rig.root->SetWorldMatrix(scaled);
    unit->Update(Clock(0.0f));
    EXPECT_FLOAT_EQ(unit->size[0], 2.0f);
    EXPECT_FLOAT_EQ(unit->size[1], 2.0f);
    // The batch kind is already right: no second flush.
    unit->Draw();
    EXPECT_EQ(renderer.flushes, 1);
    EXPECT_FLOAT_EQ(q[1].corner[0], 2.0f);
    // A refused reservation draws nothing.
    renderer.refuse = true;
    const int submits = renderer.submits;
    unit->Draw();
    EXPECT_EQ(renderer.submits, submits);
}

TEST_F(DrawUnits, MirroredQuadrantsShowTheCellFourTimesAboutTheCentre) {
    DrawUnitRig& rig = Start(DrawEffect({GridPart(1, 1, 1, 2)}));
    ASSERT_TRUE(rig.ok);
    auto* unit = Make<FulgorCore::DrawUnitType2>(rig);
    ASSERT_NE(unit, nullptr);
    renderer.Clear();
    unit->Update(Clock(0.0f));
    unit->Draw();
    ASSERT_EQ(renderer.reservations.size(), 1u);
    EXPECT_EQ(renderer.reservations[0].vertices, 16u);
    EXPECT_EQ(renderer.reservations[0].indices, 24u);
    const auto* q = renderer.Vertices<FulgorCore::BillboardVertex>();
    for (int i = 0; i < 16; ++i) {
        // The outer rim shows (U0, V0) = 0, the centre lines the far corner.
        const bool outerX = std::fabs(q[i].corner[0]) == 1.0f;
        const bool outerY = std::fabs(q[i].corner[1]) == 1.0f;
        EXPECT_EQ(q[i].uv[0], outerX ? 0 : 0x7fff) << i;
        EXPECT_EQ(q[i].uv[1], outerY ? 0 : 0x7fff) << i;
    }
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(renderer.indices[6 * k + 2], renderer.firstVertex + 4 * k);
}

// Fault: with no orientation flag the instance's angle is not summed frame
// after frame.
TEST_F(DrawUnits, TheOrientationIsTakenFreshEachFrame) {
    DrawUnitRig& rig = Start(DrawEffect({GridPart(1, 1, 1), FlipbookPart({1})}));
    ASSERT_TRUE(rig.ok);
    rig.root->eulerAngles[2] = 0.5f;
    auto* grid = Make<FulgorCore::DrawUnitType2>(rig, 0);
    auto* book = Make<FulgorCore::DrawUnitType11>(rig, 1);
    ASSERT_NE(grid, nullptr);
    ASSERT_NE(book, nullptr);
    for (int i = 0; i < 3; ++i) {
        grid->Update(Clock(1.0f));
        book->Update(Clock(1.0f));
    }
    EXPECT_FLOAT_EQ(grid->orientation[2], 0.5f);
    EXPECT_FLOAT_EQ(book->orientation[2], 0.5f);
}

TEST_F(DrawUnits, AFlipbookStepsThroughEveryFramePassedAndWraps) {
    DrawUnitRig& rig = Start(DrawEffect({FlipbookPart({2, 1, 3, 4})}));
    ASSERT_TRUE(rig.ok);
    auto* unit = Make<FulgorCore::DrawUnitType11>(rig);
    ASSERT_NE(unit, nullptr);
    unit->Update(Clock(1.0f));
    EXPECT_EQ(unit->frameIndex, 0u);
    EXPECT_EQ(unit->textureBindings[0].texture, rig.Texture(0));
    // 1 + 4 = 5: past frame 0 (2) and frame 1 (1), 2 into frame 2.
    unit->Update(Clock(4.0f));
    EXPECT_EQ(unit->frameIndex, 2u);
    EXPECT_FLOAT_EQ(unit->frameTime, 2.0f);
    EXPECT_EQ(unit->textureBindings[0].texture, rig.Texture(2));
    // 2 + 5 = 7: past frame 2 (3) and frame 3 (4), back to frame 0.
    unit->Update(Clock(5.0f));
    EXPECT_EQ(unit->frameIndex, 0u);
    EXPECT_FLOAT_EQ(unit->frameTime, 0.0f);
    EXPECT_EQ(unit->textureBindings[0].texture, rig.Texture(0));
    renderer.Clear();
    unit->Draw();
    ASSERT_EQ(renderer.reservations.size(), 1u);
    EXPECT_EQ(renderer.reservations[0].mask, 1u);
    const auto* q = renderer.Vertices<FulgorCore::BillboardVertex>();
    EXPECT_EQ(q[1].uv[0], 100);
    EXPECT_EQ(q[2].uv[1], 200);
}

// Fault: durations all 0 stay on frame 0; a texture past the package is
// null.
TEST_F(DrawUnits, AFlipbookOfZeroDurationsStaysAndAFarTextureIsNull) {
    DrawUnitRig& rig = Start(DrawEffect({FlipbookPart({0, 0, 0}), FlipbookPart({5}, 60000)}, 4));
    ASSERT_TRUE(rig.ok);
    auto* still = Make<FulgorCore::DrawUnitType11>(rig, 0);
    ASSERT_NE(still, nullptr);
    still->Update(Clock(3.0f));
    EXPECT_EQ(still->frameIndex, 0u);
    auto* far = Make<FulgorCore::DrawUnitType11>(rig, 1);
    ASSERT_NE(far, nullptr);
    far->textureBindings[0].texture = rig.Texture(1);
    far->Update(Clock(1.0f));
    EXPECT_EQ(far->textureBindings[0].texture, nullptr);
}

TEST_F(DrawUnits, AFlipbookWithoutFramesNeitherUpdatesNorDraws) {
    DrawUnitRig& rig = Start(DrawEffect({FlipbookPart({})}));
    ASSERT_TRUE(rig.ok);
    auto* unit = Make<FulgorCore::DrawUnitType11>(rig);
    ASSERT_NE(unit, nullptr);
    unit->Update(Clock(2.0f));
    EXPECT_EQ(unit->frameTime, 0.0f);
    renderer.Clear();
    unit->Draw();
    EXPECT_TRUE(renderer.reservations.empty());
}

DrawPartValue LinePart(float length) {
    effecttools::DrawDataType1Value line;
    line.length = Constant(length);
    DrawPartValue part;
    part.data = line;
    return part;
}

TEST_F(DrawUnits, AZeroLengthLineIsDegenerateAtTheParticle) {
    DrawUnitRig& rig = Start(DrawEffect({LinePart(0.0f)}));
    ASSERT_TRUE(rig.ok);
    const float at[3] = {4.0f, -2.0f, 1.0f};
    auto* unit = Make<FulgorCore::DrawUnitType1>(rig, 0, at);
    ASSERT_NE(unit, nullptr);
    renderer.Clear();
    unit->Update(Clock(1.0f));
    unit->Draw();
    ASSERT_EQ(renderer.reservations.size(), 1u);
    EXPECT_EQ(renderer.reservations[0].stride, 32u);
    EXPECT_EQ(renderer.reservations[0].vertices, 2u);
    EXPECT_EQ(renderer.reservations[0].mask, 0u);
    const auto* v = renderer.Vertices<FulgorCore::LineVertex>();
    for (int i = 0; i < 2; ++i)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(v[i].position[c], at[c]) << i << c;
}

// Fault: bytes 0 and 1 of a line's parameters are never written; they are
// 0 even in a recycled block.
TEST_F(DrawUnits, ALinesParameterBytesZeroAndOneAreZero) {
    DrawUnitRig& rig = Start(DrawEffect({LinePart(1.0f)}));
    ASSERT_TRUE(rig.ok);
    FulgorCore::UnitInstancePool& pool = FulgorCore::Engine::GetUnitInstancePool();
    FulgorCore::ParticleInstance* owner = rig.MakeOwner();
    void* a = pool.Allocate();
    void* b = pool.Allocate();
    std::memset(a, 0xCD, FulgorCore::kUnitBlockSize);
    std::memset(b, 0xCD, FulgorCore::kUnitBlockSize);
    pool.Free(a);
    pool.Free(b);
    bool noBlock = false;
    DrawUnit* unit = FulgorCore::CreateDrawUnit(owner, rig.Part(), noBlock);
    ASSERT_NE(unit, nullptr);
    Keep(unit);
    auto* line = static_cast<FulgorCore::DrawUnitType1*>(unit);
    line->Update(Clock(1.0f));
    EXPECT_EQ(line->parameters[0], 0);
    EXPECT_EQ(line->parameters[1], 0);
}

TEST_F(DrawUnits, WithoutABlockForItsMembersTheParticleEnds) {
    DrawUnitRig& rig = Start(DrawEffect({GridPart(1, 1, 1)}));
    ASSERT_TRUE(rig.ok);
    FulgorCore::ParticleInstance* owner = rig.MakeOwner();
    FulgorCore::ParticleInstance* second = rig.MakeOwner();
    FulgorCore::UnitInstancePool& pool = FulgorCore::Engine::GetUnitInstancePool();
    std::vector<void*> taken;
    while (void* b = pool.Allocate())
        taken.push_back(b);
    pool.Free(taken.back());
    taken.pop_back();
    bool noBlock = true;
    DrawUnit* unit = FulgorCore::CreateDrawUnit(owner, rig.Part(), noBlock);
    ASSERT_NE(unit, nullptr);
    EXPECT_FALSE(noBlock);
    EXPECT_EQ(unit->renderBlock, nullptr);
    EXPECT_EQ(owner->alive, 0);
    renderer.Clear();
    unit->Update(Clock(1.0f));
    unit->Draw();
    EXPECT_TRUE(renderer.reservations.empty());
    // With no block at all the creator says so.
    DrawUnit* none = FulgorCore::CreateDrawUnit(second, rig.Part(), noBlock);
    EXPECT_EQ(none, nullptr);
    EXPECT_TRUE(noBlock);
    delete unit;
    for (void* b : taken)
        pool.Free(b);
}

TEST_F(DrawUnits, TheCappedBandFacesACameraOnItsAxis) {
    DrawPartValue part;
    effecttools::DrawDataType3Value segment;
    segment.width = Constant(0.5f);
    segment.length = Constant(2.0f);
    part.data = segment;
    DrawUnitRig& rig = Start(DrawEffect({part}));
    ASSERT_TRUE(rig.ok);
    // A camera at (0, 0, 10) looking down -z, the eye of a draw record of
    // view 0.
    const float view[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -10, 1};
    FulgorCore::Renderer::SetViewProjection(view, testsupport::kIdentity44);
    FulgorCore::Renderer::BeginFrame(0);
    FulgorCore::Renderer::AddDrawRecord(nullptr, 0.0f, 0, nullptr, nullptr, nullptr);
    auto* unit = Make<FulgorCore::DrawUnitType3>(rig);
    ASSERT_NE(unit, nullptr);
    EXPECT_NE(unit->extraBlock.Get(), nullptr);
    unit->Update(Clock(1.0f));
    EXPECT_FLOAT_EQ(unit->width, 0.5f); // identity rows: a plane scale of 1
    // The segment along x, 2 long, centred on the particle at the origin.
    unit->halfExtent[0] = 1.0f;
    unit->halfExtent[1] = unit->halfExtent[2] = 0.0f;
    renderer.Clear();
    unit->Draw();
    ASSERT_EQ(renderer.reservations.size(), 1u);
    EXPECT_EQ(renderer.reservations[0].stride, 36u);
    EXPECT_EQ(renderer.reservations[0].vertices, 8u);
    EXPECT_EQ(renderer.reservations[0].indices, 18u);
    const uint16_t expectedIndices[18] = {43, 41, 40, 40, 42, 43, 45, 43, 42,
                                          42, 44, 45, 47, 45, 44, 44, 46, 47};
    for (int i = 0; i < 18; ++i)
        EXPECT_EQ(renderer.indices[i], expectedIndices[i]) << i;
    // Side (0, 1, 0); the end pieces point away along x, tilted 1/10 toward
    // the camera: (-10, 0, 1) and (-10, 0, -1) normalised.
    const float n = 0.5f / std::sqrt(101.0f);
    const float rows[4][3] = {
        {-1.0f - 10.0f * n, 0.0f, n}, {-1, 0, 0}, {1, 0, 0}, {1.0f + 10.0f * n, 0.0f, n}};
    const uint16_t rowV[4] = {0, 500, 500, 1000};
    const auto* v = renderer.Vertices<FulgorCore::BandVertex>();
    for (int r = 0; r < 4; ++r)
        for (int s = 0; s < 2; ++s) {
            const FulgorCore::BandVertex& x = v[2 * r + s];
            EXPECT_NEAR(x.position[0], rows[r][0], 0.01f) << r << s;
            EXPECT_NEAR(x.position[1], s == 0 ? -0.5f : 0.5f, 0.01f) << r << s;
            EXPECT_NEAR(x.position[2], rows[r][2], 0.01f) << r << s;
            EXPECT_EQ(x.uv[0], s == 0 ? 0 : 1000) << r << s;
            EXPECT_EQ(x.uv[1], rowV[r]) << r << s;
            EXPECT_EQ(x.color[3], 1000);
        }
    FulgorCore::Renderer::CommitDirtyRanges();
}

DrawPartValue FieldPart(uint32_t mode, uint32_t count, int16_t multiplier) {
    effecttools::DrawDataType4Value field;
    field.fields = {{"DTyp", mode}, {"CrCt", count}, {"Life", 1000}};
    field.bpCt = multiplier;
    DrawPartValue part;
    part.data = field;
    return part;
}

TEST_F(DrawUnits, APausedFieldKeepsItsPointsYetPreparesAndDraws) {
    DrawUnitRig& rig = Start(DrawEffect({FieldPart(2, 4, 2)}));
    ASSERT_TRUE(rig.ok);
    auto* unit = Make<FulgorCore::DrawUnitType4>(rig);
    ASSERT_NE(unit, nullptr);
    EXPECT_EQ(unit->pointCount, 8u);
    renderer.Clear();
    unit->Update(Clock(1.0f));
    ASSERT_NE(unit->states, nullptr);
    unit->states[3].age = 7.0f;
    unit->states[3].state = FulgorCore::FieldPoint::kLive;
    unit->states[3].position[0] = 1.5f;
    unit->states[3].velocity[0] = 0.25f;
    rig.root->paused = 1;
    unit->Update(Clock(1.0f));
    EXPECT_EQ(unit->states[3].age, 7.0f);
    EXPECT_EQ(unit->states[3].position[0], 1.5f);
    unit->Draw();
    ASSERT_EQ(renderer.prepares.size(), 2u);
    EXPECT_EQ(renderer.prepares[1].count, 8u);
    EXPECT_EQ(renderer.prepares[1].states, unit->states);
    EXPECT_EQ(renderer.quadSubmits, 1);
    // Running again, the point ages by the step.
    rig.root->paused = 0;
    unit->Update(Clock(1.0f));
    EXPECT_EQ(unit->states[3].age, 8.0f);
}

TEST_F(DrawUnits, AFieldOutOfFrameMemoryEndsItsParticle) {
    DrawUnitRig& rig = Start(DrawEffect({FieldPart(0, 4, 2)}));
    ASSERT_TRUE(rig.ok);
    auto* unit = Make<FulgorCore::DrawUnitType4>(rig);
    ASSERT_NE(unit, nullptr);
    FulgorCore::FrameWorkMemory& memory = FulgorCore::Engine::GetFrameWorkMemory();
    while (memory.Allocate(1024)) {
    }
    unit->Update(Clock(1.0f));
    EXPECT_EQ(unit->pointCount, 0u);
    EXPECT_EQ(unit->ownerUnit->alive, 0);
    renderer.Clear();
    unit->Draw();
    EXPECT_EQ(renderer.lineSubmits, 0);
}

// Fault: a field carries its points' states from frame to frame in frame
// memory, which keeps a block only through the next frame. A field whose
// instance went unevaluated for a frame stepped, in the next, the states
// of two frames before from a block frame memory had handed out again (the
// rest of that frame had written over it). It now starts again from its
// emission table, as a field built that frame does in its first update.
TEST_F(DrawUnits, AFieldThatMissesAFramesUpdateStartsAgainFromItsEmissionTable) {
    DrawUnitRig& rig = Start(DrawEffect({FieldPart(2, 4, 2)}));
    ASSERT_TRUE(rig.ok);
    FulgorCore::FrameWorkMemory& memory = FulgorCore::Engine::GetFrameWorkMemory();
    auto* field = Make<FulgorCore::DrawUnitType4>(rig);
    ASSERT_NE(field, nullptr);
    field->Update(Clock(1.0f));
    // Frame 1 on an empty half, one point alive and moving; frame 2
    // without the update; frame 3 first handing frame 1's blocks to
    // others, who write them all.
    memory.Flip();
    field->Update(Clock(1.0f));
    field->states[3].state = FulgorCore::FieldPoint::kLive;
    field->states[3].age = 7.0f;
    field->states[3].velocity[0] = 0.25f;
    memory.Flip();
    memory.Flip();
    void* others = memory.Allocate(4096);
    ASSERT_NE(others, nullptr);
    std::memset(others, 0x7F, 4096);
    field->Update(Clock(1.0f));
    auto* born = Make<FulgorCore::DrawUnitType4>(rig);
    ASSERT_NE(born, nullptr);
    born->Update(Clock(1.0f));
    EXPECT_EQ(field->ownerUnit->alive, 1);
    ASSERT_EQ(field->pointCount, 8u);
    EXPECT_EQ(std::memcmp(field->states, born->states, 8 * FulgorCore::FieldPoint::kSize), 0);
    EXPECT_EQ(field->states[3].age, born->states[3].age);
}

// Fault: a field whose points' states would take more than 32 bits of bytes, or
// whose multiplier is not positive, has no points.
TEST(DrawUnitType4Count, TooManyOrNoPointsGiveNone) {
    using FulgorCore::DrawUnitType4;
    EXPECT_EQ(DrawUnitType4::PointCountFor(4095, 32767), 0u);
    EXPECT_EQ(DrawUnitType4::PointCountFor(4095, 5462), 4095u * 5462u);
    EXPECT_EQ(DrawUnitType4::PointCountFor(4095, 5463), 0u);
    EXPECT_EQ(DrawUnitType4::PointCountFor(4, -1), 0u);
}

} // namespace
