#include "support/effects/RuntimeStartup.h"

#include "effects/render/Renderer.h"
#include "effects/render/RendererWorkData.h"

#include <gtest/gtest.h>

namespace {

using testsupport::RuntimeStartup;

TEST(RendererTest, ResetDrawStateRewindsBothPools) {
    RuntimeStartup startup;
    startup.parameter.RendererFlagA = 3;
    startup.parameter.RendererFlagB = 4;
    ASSERT_TRUE(startup.Start());
    FulgorCore::RendererWorkData* r = FulgorCore::Renderer::GetWorkData();
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->resetLatchPerRecord, 3);
    EXPECT_EQ(r->plainDepth, 4);
    EXPECT_EQ(r->records.base, startup.commands.data());
    EXPECT_EQ(r->billboardMatrices[2][8], 1.0f);
    r->vertexPool.first = r->vertexPool.current = 5;
    r->vertexPool.entries[0].committed = 100;
    r->indexPool.current = 2;
    r->exhausted = 1;
    FulgorCore::Renderer::ResetDrawState();
    EXPECT_EQ(r->vertexPool.first, 0u);
    EXPECT_EQ(r->vertexPool.current, 0u);
    EXPECT_EQ(r->vertexPool.entries[0].committed, 0u);
    EXPECT_EQ(r->indexPool.current, 0u);
    EXPECT_EQ(r->exhausted, 0);
    EXPECT_EQ(startup.device.frameResets, 1);
    // A layer with no instance makes no device call; past the sixteen
    // layers there is nothing to read.
    FulgorCore::Renderer::DrawLayer(1, 0);
    FulgorCore::Renderer::DrawLayer(16, 0);
    EXPECT_EQ(FulgorCore::Renderer::GetLayerRecordCount(1), 0u);
    EXPECT_EQ(FulgorCore::Renderer::GetLayerRecordCount(16), 0u);
    EXPECT_TRUE(startup.device.locks.empty());
    EXPECT_EQ(startup.device.renderStateResets, 0);
}

} // namespace
