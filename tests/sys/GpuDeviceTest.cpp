#include "sys/gpu.h"
#include "sys/gpu/objects.h"
#include "sys/gpu_null.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

namespace {

using namespace sys::gpu;

TEST(GpuFormats, PitchesOfPlainAndBlockFormats) {
    EXPECT_EQ(RowPitch(Format::R8G8B8A8_UNORM, 10), 40u);
    EXPECT_EQ(RowPitch(Format::A8_UNORM, 10), 10u);
    // Blocks of 4 by 4: partial blocks count whole.
    EXPECT_EQ(RowPitch(Format::BC1_UNORM, 5), 16u);
    EXPECT_EQ(ImageBytes(Format::BC1_UNORM, 5, 5), 32u);
    EXPECT_EQ(ImageBytes(Format::BC3_UNORM, 1, 1), 16u);
    EXPECT_EQ(ImageBytes(Format::R32G32B32A32_FLOAT, 2, 3), 96u);
    EXPECT_TRUE(IsBlockCompressed(Format::BC7_UNORM));
    EXPECT_FALSE(IsBlockCompressed(Format::R16G16_SNORM));
}

class NullDeviceQueue : public ::testing::Test {
protected:
    void SetUp() override {
        device = CreateDevice(Backend::Null, nullptr);
        ASSERT_NE(device, nullptr);
        ASSERT_TRUE(device->CreateContext()); // this thread owns it
        calls = NullCalls(device);
    }
    void TearDown() override {
        device->DestroyContext();
        DestroyDevice(device);
    }
    std::vector<NullOp> Life(const void* object) const {
        std::vector<NullOp> r;
        for (const NullCall& c : *calls)
            if (c.objects[0] == object &&
                (c.op == NullOp::CreateObject || c.op == NullOp::DestroyObject))
                r.push_back(c.op);
        return r;
    }

    Device* device = nullptr;
    std::vector<NullCall>* calls = nullptr;
};

TEST_F(NullDeviceQueue, OtherThreadsQueueCreationAndReleaseInOrder) {
    Buffer* made = nullptr;
    const uint8_t bytes[4] = {1, 2, 3, 4};
    std::thread loader([&] {
        made = device->CreateBuffer({4, Usage::Immutable, kBindVertexBuffer, 0, 0}, bytes);
        device->Release(AsObject(made));
    });
    loader.join();
    EXPECT_TRUE(Life(made).empty()); // nothing happens until the owner looks
    device->ProcessPending();
    EXPECT_EQ(Life(made), (std::vector<NullOp>{NullOp::CreateObject, NullOp::DestroyObject}));
}

TEST_F(NullDeviceQueue, TheRecordingKeepsTheLatestCallsWithinItsLimit) {
    const uint32_t draws = 3 * kNullCallLimit + 5;
    const uint64_t before = NullCallCount(device);
    for (uint32_t i = 0; i < draws; ++i)
        device->Draw(i, 0);
    EXPECT_EQ(NullCallCount(device), before + draws) << "every call is still counted";
    EXPECT_LE(calls->size(), kNullCallLimit);
    EXPECT_GE(calls->size(), kNullCallLimit / 2);
    for (size_t k = 0; k < calls->size(); ++k) // the newest, in order
        ASSERT_EQ((*calls)[k].count, draws - calls->size() + k);
}

TEST_F(NullDeviceQueue, OwnerCreatesAtOnceAndKeepsInitialData) {
    const uint8_t bytes[4] = {9, 8, 7, 6};
    Buffer* b = device->CreateBuffer({4, Usage::Default, kBindConstantBuffer, 0, 0}, bytes);
    EXPECT_EQ(Life(b), std::vector<NullOp>{NullOp::CreateObject});
    ASSERT_EQ(NullBufferContents(b)->size(), 4u);
    EXPECT_EQ((*NullBufferContents(b))[0], 9);
    const uint8_t two[2] = {1, 1};
    Box box{2, 0, 4, 1};
    device->UpdateSubresource(AsObject(b), 0, &box, two, 0);
    EXPECT_EQ((*NullBufferContents(b))[2], 1);
    EXPECT_EQ((*NullBufferContents(b))[1], 8);
    device->Release(AsObject(b));
    EXPECT_EQ(Life(b), (std::vector<NullOp>{NullOp::CreateObject, NullOp::DestroyObject}));
}

TEST_F(NullDeviceQueue, ReleaseOnTheOwnerWaitsForQueuedCreations) {
    Texture* t = nullptr;
    std::thread loader([&] {
        t = device->CreateTexture({4, 4, 1, 1, Format::R8G8B8A8_UNORM}, nullptr);
    });
    loader.join();
    device->Release(AsObject(t)); // still queued: the release goes behind it
    EXPECT_TRUE(Life(t).empty());
    device->ProcessPending();
    EXPECT_EQ(Life(t), (std::vector<NullOp>{NullOp::CreateObject, NullOp::DestroyObject}));
}

TEST_F(NullDeviceQueue, InputLayoutsMatchShaderInputsBySemantic) {
    const ShaderInput inputs[2] = {{"POSITION", 0, 3}, {"TEXCOORD", 1, 5}};
    Shader* vs = device->CreateShader({Stage::Vertex, "src", nullptr, 0, inputs, 2});
    const InputElement good[2] = {{"position", 0, Format::R32G32_FLOAT, 0, 0, 0, 0},
                                  {"TEXCOORD", 1, Format::R32G32_FLOAT, 0, 8, 0, 0}};
    EXPECT_NE(device->CreateInputLayout(good, 2, vs), nullptr);
    const InputElement bad[1] = {{"TEXCOORD", 0, Format::R32G32_FLOAT, 0, 0, 0, 0}};
    EXPECT_EQ(device->CreateInputLayout(bad, 1, vs), nullptr);
    EXPECT_EQ(device->CreateInputLayout(good, 2, nullptr), nullptr);
}

// Each kind of view is made over the resource it was asked for and says
// which kind it is; a view of nothing is not made.
TEST_F(NullDeviceQueue, EachViewKindHoldsTheResourceItWasMadeFor) {
    Texture* colour = device->CreateTexture(
        {8, 8, 1, 1, Format::R8G8B8A8_UNORM, Usage::Default,
         kBindShaderResource | kBindRenderTarget},
        nullptr);
    Texture* depth = device->CreateTexture(
        {8, 8, 1, 1, Format::D24_UNORM_S8_UINT, Usage::Default, kBindDepthStencil}, nullptr);
    Buffer* raw = device->CreateBuffer({64, Usage::Default, kBindUnorderedAccess, 0, 0}, nullptr);
    ASSERT_NE(colour, nullptr);
    ASSERT_NE(depth, nullptr);
    ASSERT_NE(raw, nullptr);
    struct Case {
        const char* name;
        View* view;
        ViewKind kind;
        Texture* texture;
        Buffer* buffer;
    };
    const Case cases[] = {
        {"shader resource", device->CreateShaderResourceView(colour), ViewKind::ShaderResource,
         colour, nullptr},
        {"render target", device->CreateRenderTargetView(colour), ViewKind::RenderTarget, colour,
         nullptr},
        {"depth stencil", device->CreateDepthStencilView(depth), ViewKind::DepthStencil, depth,
         nullptr},
        {"unordered access", device->CreateUnorderedAccessView(raw), ViewKind::UnorderedAccess,
         nullptr, raw},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(c.view, nullptr);
        EXPECT_EQ(c.view->viewKind, c.kind);
        EXPECT_EQ(Device::GetTexture(c.view), c.texture);
        EXPECT_EQ(c.view->texture, c.texture);
        EXPECT_EQ(c.view->buffer, c.buffer);
        EXPECT_EQ(Life(c.view), std::vector<NullOp>{NullOp::CreateObject}) << "made by the owner";
    }
    EXPECT_EQ(device->CreateShaderResourceView(nullptr), nullptr);
    EXPECT_EQ(device->CreateRenderTargetView(nullptr), nullptr);
    EXPECT_EQ(device->CreateDepthStencilView(nullptr), nullptr);
    EXPECT_EQ(device->CreateUnorderedAccessView(nullptr), nullptr);
    EXPECT_EQ(Device::GetTexture(nullptr), nullptr);
}

// The null device records the views each call binds, in their slots.
TEST_F(NullDeviceQueue, CallsThatBindViewsRecordThemInTheirSlots) {
    Texture* t = device->CreateTexture(
        {8, 8, 1, 1, Format::R8G8B8A8_UNORM, Usage::Default,
         kBindShaderResource | kBindRenderTarget},
        nullptr);
    Texture* d = device->CreateTexture(
        {8, 8, 1, 1, Format::D24_UNORM_S8_UINT, Usage::Default, kBindDepthStencil}, nullptr);
    Buffer* b = device->CreateBuffer({64, Usage::Default, kBindUnorderedAccess, 0, 0}, nullptr);
    View* srv = device->CreateShaderResourceView(t);
    View* rtv = device->CreateRenderTargetView(t);
    View* dsv = device->CreateDepthStencilView(d);
    View* uav = device->CreateUnorderedAccessView(b);
    calls->clear();

    View* const targets[3] = {rtv, nullptr, rtv};
    device->SetRenderTargets(3, targets, dsv);
    const float grey[4] = {0.5f, 0.5f, 0.5f, 1.0f};
    device->ClearRenderTargetView(rtv, grey);
    device->ClearDepthStencilView(dsv, 1.0f, 7);
    View* const shown[2] = {nullptr, srv};
    device->SetShaderResources(Stage::Pixel, 3, 2, shown);
    device->SetUnorderedAccessViews(1, 1, &uav);
    device->SetRenderTargets(1, &rtv, nullptr);
    View* const four[4] = {srv, nullptr, nullptr, srv};
    device->SetShaderResources(Stage::Vertex, 0, 4, four);

    ASSERT_EQ(calls->size(), 7u);
    const NullCall& set = (*calls)[0];
    EXPECT_EQ(set.op, NullOp::SetRenderTargets);
    EXPECT_EQ(set.count, 3u);
    EXPECT_EQ(set.objects[0], rtv);
    EXPECT_EQ(set.objects[1], nullptr);
    EXPECT_EQ(set.objects[2], rtv);
    EXPECT_EQ(set.objects[3], dsv) << "the depth view in the last slot";
    EXPECT_EQ((*calls)[1].op, NullOp::ClearRenderTargetView);
    EXPECT_EQ((*calls)[1].objects[0], rtv);
    EXPECT_EQ((*calls)[1].floats[0], 0.5f);
    EXPECT_EQ((*calls)[2].op, NullOp::ClearDepthStencilView);
    EXPECT_EQ((*calls)[2].objects[0], dsv);
    EXPECT_EQ((*calls)[2].floats[0], 1.0f);
    EXPECT_EQ((*calls)[2].value, 7);
    const NullCall& res = (*calls)[3];
    EXPECT_EQ(res.op, NullOp::SetShaderResources);
    EXPECT_EQ(res.stage, static_cast<uint32_t>(Stage::Pixel));
    EXPECT_EQ(res.start, 3u);
    EXPECT_EQ(res.count, 2u);
    EXPECT_EQ(res.objects[0], nullptr);
    EXPECT_EQ(res.objects[1], srv);
    const NullCall& uavs = (*calls)[4];
    EXPECT_EQ(uavs.op, NullOp::SetUnorderedAccessViews);
    EXPECT_EQ(uavs.start, 1u);
    EXPECT_EQ(uavs.count, 1u);
    EXPECT_EQ(uavs.objects[0], uav);
    const NullCall& one = (*calls)[5];
    EXPECT_EQ(one.count, 1u);
    EXPECT_EQ(one.objects[0], rtv);
    EXPECT_EQ(one.objects[1], nullptr);
    EXPECT_EQ(one.objects[3], nullptr) << "no depth view";
    EXPECT_EQ((*calls)[6].objects[3], srv) << "a run of four keeps its fourth";
}

} // namespace
