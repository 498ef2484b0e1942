#pragma once

#include "game/scene/FlowScene.h"

#include <cstdint>

// The game menu after the title. Its six entries are drawn by one effect;
// the scene keeps the cursor and raises the effect's highlight and decision
// bits. A choice fades to black and starts a game type through the pilot
// select, the ranking, the setup, or closes the program.
class SceneSelectGameMenu : public FlowScene {
public:
    static constexpr const char* kEffectFolder = "game_menu";
    static constexpr const char* kEffectFile = "game_menu.vfxb";
    static constexpr const char* kEffectName = "game_menu/game_menu.vfxb";
    static constexpr const char* kMusic = "menu.ogg";

    static constexpr int32_t kEntryCount = 6;
    enum Entry : int32_t {
        kArcade = 0,
        kStory = 1,
        kChallenge = 2,
        kRanking = 3,
        kSetup = 4,
        kExit = 5,
    };
    // Entry n is highlighted by trigger bit n + 1 and chosen by bit n + 8.
    static constexpr uint32_t kHighlightBit = 1;
    static constexpr uint32_t kDecisionBit = 8;
    static constexpr int32_t kFadeFrames = 60;
    // The game types of the first three entries and the mode a game starts in.
    static constexpr uint32_t kGameTypes[3] = {3, 4, 5};
    static constexpr uint32_t kStartMode = 1;
    // The ranking opens on the table of this mode, nothing highlighted.
    static constexpr uint32_t kRankingMode = 1;

    SceneSelectGameMenu() : FlowScene(kFadeFrames, true) {}

    int32_t GetCursor() const { return cursor_; }

protected:
    void StateShown() override;
    void StateLeave() override;
    void OnBegin() override;
    void LoadResources(Mireku::Resource::ChildResourceLoader& loader) override;
    void OnShown() override;
    // The black backdrop the menu effect draws on.
    void Draw() override;

private:
    void Raise(uint32_t bit);
    void MoveTo(int32_t cursor);

    int8_t cursor_ = 0;
};
