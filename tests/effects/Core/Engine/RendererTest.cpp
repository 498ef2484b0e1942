#include "support/effects/RuntimeStartup.h"

#include "effects/Core/Engine/Renderer.h"
#include "effects/Core/Engine/RendererWorkData.h"

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
    EXPECT_EQ(r->recordBase, startup.commands.data());
    EXPECT_EQ(r->billboardMatrices[2][8], 1.0f);
    r->vertexPool.first = r->vertexPool.current = 5;
    r->vertexPool.entries[0].committed = 100;
    r->vertexPool.entries[0].pending = 8;
    r->indexPool.current = 2;
    r->exhausted = 1;
    FulgorCore::Renderer::ResetDrawState();
    EXPECT_EQ(r->vertexPool.first, 0u);
    EXPECT_EQ(r->vertexPool.current, 0u);
    EXPECT_EQ(r->vertexPool.entries[0].committed, 0u);
    EXPECT_EQ(r->vertexPool.entries[0].pending, 0u);
    EXPECT_EQ(r->indexPool.current, 0u);
    EXPECT_EQ(r->exhausted, 0);
    // Layers stay empty until instances can play.
    FulgorCore::Renderer::DrawLayer(1, 0);
    EXPECT_EQ(FulgorCore::Renderer::GetLayerRecordCount(1), 0u);
    EXPECT_EQ(FulgorCore::Renderer::GetLayerRecordCount(16), 0u);
    EXPECT_TRUE(startup.device.locks.empty());
}

} // namespace
