// The game as a player meets it, played from its scripts. Every screen a
// step names must come up, show its sprites and lead where the script says,
// with no error reported on the way.
#include "support/PlayThroughRig.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Memory/FrameWorkMemory.h"
#include "effects/Core/Memory/UnitInstancePool.h"
#include "effects/render/Renderer.h"
#include "effects/render/RendererWorkData.h"

#include "game/core/GameState.h"
#include "game/scene/FlowScene.h"
#include "game/scene/SceneGame.h"
#include "game/scene/SceneLogo.h"
#include "game/scene/SceneRanking.h"
#include "game/scene/SceneSelectGameMenu.h"
#include "game/scene/SceneSelectPilot.h"
#include "game/scene/SceneTitle.h"
#include "tools/sampledata/GameScreenPictures.h"

#include <algorithm>
#include <cstdlib>

namespace {

using namespace playthrough;

bool AtOnce(const Now&) {
    return true;
}
// A menu-like screen has faded in and takes the buttons.
bool Shown(const Now& now) {
    const auto* flow = dynamic_cast<const FlowScene*>(now.scene);
    return flow && flow->GetState() == FlowScene::kStateShown;
}
bool InState(const Now& now, uint32_t state) {
    const auto* game = dynamic_cast<const SceneGame*>(now.scene);
    return game && game->GetState() == SceneGame::kRunning && now.work &&
           now.work->gameState == state;
}
bool Playing(const Now& now) {
    return InState(now, GameState::kPlaying);
}
bool ContinueOffered(const Now& now) {
    return InState(now, GameState::kContinue);
}
bool GameOver(const Now& now) {
    return InState(now, GameState::kGameOver);
}
// 20 s of fire, or less when the last ship goes down first: the shot
// button would take the continue.
bool FiredOrDown(const Now& now) {
    return now.frames >= 1200 || ContinueOffered(now);
}
// The caption shows from the game over's second step on.
bool GameOverCaption(const Now& now) {
    return GameOver(now) && static_cast<const SceneGame*>(now.scene)->GetGameOverStep() >= 1;
}

// The ranking's cursor is on its "ok" button.
bool OnOk(const Now& now) {
    const auto* ranking = dynamic_cast<const SceneRanking*>(now.scene);
    return ranking && ranking->GetCursor() == SceneRanking::kOkButton;
}

// The continue counter's seconds digit shows: its cell is painted in the
// digit's own colour.
std::string ContinueDigit(const Picture& picture, const Rect& where) {
    for (int y = where.y0; y < where.y1; ++y)
        for (int x = where.x0; x < where.x1; ++x)
            for (uint32_t d = 0; d < 10; ++d) {
                const uint32_t c = sampledata::ContinueDigitColour(d);
                const uint8_t* p = picture.At(x, y);
                if (std::abs(p[0] - int(c >> 24)) < 6 && std::abs(p[1] - int(c >> 16 & 0xFF)) < 6 &&
                    std::abs(p[2] - int(c >> 8 & 0xFF)) < 6)
                    return {};
            }
    return "no digit of the continue counter";
}
// The caption over a field the game over has darkened to black.
std::string CaptionOnBlack(const Picture& picture, const Rect& where) {
    if (std::string notBlack = NotBlack(picture, where); !notBlack.empty())
        return notBlack;
    const Rect below{where.x0, where.y1 + 60, where.x1, 700};
    if (picture.Lit(below) * 20 > Picture::Area(below))
        return "the field under the caption is not darkened";
    return {};
}

// The screens' effects play around the middle of the screen: a good many
// of its pixels lit, though glows leave much of the square dark.
std::string EffectsShow(const Picture& picture, const Rect& where) {
    const size_t lit = picture.Lit(where), all = Picture::Area(where);
    if (lit * 100 >= all)
        return {};
    return "no effect in the middle of the screen (" + std::to_string(lit) + " of " +
           std::to_string(all) + " pixels lit)";
}

const auto& kLogo = typeid(SceneLogo);
const auto& kTitle = typeid(SceneTitle);
const auto& kMenu = typeid(SceneSelectGameMenu);
const auto& kPilots = typeid(SceneSelectPilot);
const auto& kStage = typeid(SceneGame);
const auto& kRanking = typeid(SceneRanking);

// Where screens draw sprites: the title's version text, the pilot select's
// busts and panels, the score digits of the heads-up display, the continue
// counter's seconds, the game-over caption, the ranking's header and the
// attract demo's caption.
constexpr Rect kNothing{0, 0, 0, 0};
constexpr Rect kEffects{540, 260, 740, 460};
constexpr Rect kVersion{986, 392, 1098, 424};
constexpr Rect kPilotScreen{0, 0, 1280, 720};
constexpr Rect kScoreDigits{384, 0, 600, 24};
constexpr Rect kContinueSeconds{840, 245, 906, 293};
constexpr Rect kGameOverCaption{280, 300, 1000, 360};
constexpr Rect kRankingHeader{40, 20, 654, 62};
constexpr Rect kDemoCaption{285, 295, 983, 337};

constexpr uint32_t kNoKeys = 0;

enum Script : uint32_t {
    // Z through every screen into stage 1, 20 s of fire, every life lost,
    // the continue refused, the ranking, and the game menu it returns to.
    kPlayedToTheEnd,
    // Nobody at the keys: the logo plays, the title waits, the attract demo
    // starts, plays and ends, and the title comes back.
    kLeftAlone,
};

// The scripts, step by step.
constexpr Step kScript[] = {
    {kPlayedToTheEnd, "the logo's effects", &kLogo, After<60>, kEffects, kNoKeys, Press::kHold,
     AtOnce, 600, EffectsShow},
    {kPlayedToTheEnd, "the logo, skipped", &kLogo, AtOnce, kNothing, kShot, Press::kTap,
     On<SceneTitle>, 600},
    {kPlayedToTheEnd, "the title's effects", &kTitle, Shown, kEffects, kNoKeys, Press::kHold,
     AtOnce, 900, EffectsShow},
    {kPlayedToTheEnd, "the title, left", &kTitle, Shown, kVersion, kShot, Press::kTap,
     On<SceneSelectGameMenu>, 900},
    {kPlayedToTheEnd, "the game menu's effects", &kMenu, Shown, kEffects, kNoKeys, Press::kHold,
     AtOnce, 600, EffectsShow},
    {kPlayedToTheEnd, "the game menu: arcade", &kMenu, Shown, kNothing, kShot, Press::kTap,
     On<SceneSelectPilot>, 600},
    {kPlayedToTheEnd, "the first pilot at normal", &kPilots, Shown, kPilotScreen, kShot,
     Press::kTap, On<SceneGame>, 900},
    {kPlayedToTheEnd, "stage 1 under fire for 20 s", &kStage, Playing, kScoreDigits, kShot,
     Press::kHold, FiredOrDown, 2400},
    {kPlayedToTheEnd, "stage 1: into the enemies until every life is lost", &kStage, AtOnce,
     kNothing, kUp, Press::kHold, ContinueOffered, 7200},
    {kPlayedToTheEnd, "the continue refused", &kStage, AtOnce, kContinueSeconds, kEx, Press::kTap,
     GameOver, 700, ContinueDigit},
    {kPlayedToTheEnd, "game over", &kStage, GameOverCaption, kGameOverCaption, kNoKeys,
     Press::kHold, On<SceneRanking>, 900, CaptionOnBlack},
    {kPlayedToTheEnd, "the ranking: up to ok", &kRanking, Shown, kRankingHeader, kUp, Press::kTap,
     OnOk, 600},
    {kPlayedToTheEnd, "the ranking: ok", &kRanking, AtOnce, kNothing, kShot, Press::kTap,
     On<SceneSelectGameMenu>, 600},
    {kPlayedToTheEnd, "the game menu again", &kMenu, Shown, kNothing, kNoKeys, Press::kHold,
     After<1>, 600},

    {kLeftAlone, "the logo plays through", &kLogo, AtOnce, kNothing, kNoKeys, Press::kHold,
     On<SceneTitle>, 1800},
    {kLeftAlone, "the title until its demo", &kTitle, Shown, kVersion, kNoKeys, Press::kHold,
     On<SceneGame>, 9000},
    {kLeftAlone, "the attract demo", &kStage, Playing, kDemoCaption, kNoKeys, Press::kHold,
     On<SceneTitle>, 4200},
    {kLeftAlone, "the title after the demo", &kTitle, Shown, kVersion, kNoKeys, Press::kHold,
     After<1>, 900},
};

TEST_F(PlayThrough, ZThroughEveryScreenToGameOverAndTheRanking) {
    Play(kScript, kPlayedToTheEnd);
}

TEST_F(PlayThrough, LeftAloneTheAttractDemoPlaysAndTheTitleReturns) {
    Play(kScript, kLeftAlone);
}

// The game left alone for 10,000 frames: the logo, the title with its
// effects playing through the long wait, and into the attract demo. After
// every frame the effects runtime is still running, and neither its unit
// pool, nor its frame memory, nor its vertex and index buffers ran out.
class AttractSoak : public PlayThrough {
protected:
    static constexpr uint32_t kFrames = 10000;

    class WatchedGame : public ScriptedGame {
    public:
        using ScriptedGame::ScriptedGame;

        void OnFrame(const float& frames) override {
            ScriptedGame::OnFrame(frames);
            Watch();
            if (totalFrames == kFrames)
                Mireku::Framework::RequestClose();
        }

        uint32_t watched = 0;
        uint32_t stopped = 0;        // frames the runtime was not running
        uint32_t frameMemoryOut = 0; // frames with a failed frame-memory take
        uint32_t buffersOut = 0;     // frames whose vertex or index pool ran out
        uint64_t unitsRefused = 0;   // the unit pool's refused takes
        uint32_t poolPeak = 0, poolCapacity = 0;
        uint64_t frameMemoryPeak = 0, frameMemoryHalf = 0;

    private:
        void Watch() {
            if (totalFrames > kFrames)
                return;
            ++watched;
            if (!FulgorCore::Engine::IsStarted()) {
                ++stopped;
                return;
            }
            const FulgorCore::UnitInstancePool& pool = FulgorCore::Engine::GetUnitInstancePool();
            poolCapacity = pool.GetCapacity();
            poolPeak = std::max(poolPeak, pool.GetUsedCount());
            unitsRefused = pool.GetRefusedCount();
            const FulgorCore::FrameWorkMemory& memory = FulgorCore::Engine::GetFrameWorkMemory();
            frameMemoryHalf = memory.GetHalfSize();
            frameMemoryPeak = std::max(frameMemoryPeak, memory.GetUsedSize());
            frameMemoryOut += memory.GetUsedSize() > memory.GetHalfSize();
            const FulgorCore::RendererWorkData* renderer = FulgorCore::Renderer::GetWorkData();
            buffersOut += renderer && renderer->exhausted;
        }
    };
};

TEST_F(AttractSoak, TenThousandFramesLeftAloneRunOutOfNothing) {
    auto* game = new WatchedGame(StepsOf(kScript, kLeftAlone));
    Run(*game);
    std::printf("soak: unit pool peak %u of %u blocks at a frame's end, frame memory peak %llu of "
                "%llu bytes\n",
                game->poolPeak, game->poolCapacity,
                static_cast<unsigned long long>(game->frameMemoryPeak),
                static_cast<unsigned long long>(game->frameMemoryHalf));
    EXPECT_EQ(game->watched, kFrames);
    // The logo played through and the title waited its 8100 frames for the
    // demo, which had begun.
    EXPECT_GE(game->stepsDone, 2u);
    EXPECT_EQ(game->stopped, 0u) << "frames the effects runtime was not running";
    EXPECT_GT(game->poolPeak, 0u) << "no effect played";
    EXPECT_EQ(game->unitsRefused, 0u) << "units the pool had no block for";
    EXPECT_EQ(game->frameMemoryOut, 0u) << "frames the frame memory ran out";
    EXPECT_EQ(game->buffersOut, 0u) << "frames the vertex or index buffers ran out";
    game->Release();
}

} // namespace
