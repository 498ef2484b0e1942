#include "game/core/GameFramework.h"
#include "engine/framework/GameWindow.h"

#include <gtest/gtest.h>

TEST(GameFramework, StartsWithItsCommandBufferSizeAndReportsErrorsUnderError) {
    GameFramework* game = GameFramework::CreateInstance();
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(GameFramework::GetInstance(), game);
    ASSERT_TRUE(game->Initialize());
    EXPECT_EQ(*game->GetCommandBufferSize(), 0x200000u);
    EXPECT_EQ(Mireku::Framework::GameWindow::GetInstance()->GetState(),
              Mireku::Framework::GameWindow::kOpen);

    // Headless, the message box becomes a line on stderr and never blocks.
    testing::internal::CaptureStderr();
    game->ShowError("Direct3Dデバイスの生成に失敗しました");
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "Error: Direct3Dデバイスの生成に失敗しました\n");

    game->Finalize();
    GameFramework::DestroyInstance();
    EXPECT_EQ(GameFramework::GetInstance(), nullptr);
    EXPECT_EQ(Mireku::Framework::GameWindow::GetInstance(), nullptr);
}
