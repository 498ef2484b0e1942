#include "sys/gpu.h"
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

} // namespace
