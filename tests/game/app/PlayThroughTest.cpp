// The game as a player meets it, played from its scripts. Every screen a
// step names must come up, show its sprites and lead where the script says,
// with no error reported on the way. The screens that play effect files
// show the marks of the sample data's layout table where it puts them.
#include "support/PlayThroughRig.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Memory/FrameWorkMemory.h"
#include "effects/Core/Memory/UnitInstancePool.h"
#include "effects/render/Renderer.h"
#include "effects/render/RendererWorkData.h"
#include "game/core/GameState.h"
#include "game/core/RandomManager.h"
#include "game/player/Player.h"
#include "game/scene/FlowScene.h"
#include "game/scene/SceneGame.h"
#include "game/scene/SceneLogo.h"
#include "game/scene/SceneRanking.h"
#include "game/scene/SceneSelectGameMenu.h"
#include "game/scene/SceneSelectPilot.h"
#include "game/scene/SceneSetup.h"
#include "game/scene/SceneTitle.h"
#include "game/stage/GameObjectDirector.h"
#include "game/vfx/HostObject.h"
#include "game/vfx/VfxController.h"
#include "game/vfx/VfxDevice.h"
#include "game/vfx/VfxDeviceMaker.h"
#include "game/vfx/VfxInstance.h"
#include "support/GlyphCheck.h"
#include "tools/sampledata/GameScreenPictures.h"
#include "tools/sampledata/ScreenLayout.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>

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

// The pixels of `box` within 16 of `colour` (0xRRGGBB) in each channel.
size_t PixelsOfColour(const Picture& picture, const sampledata::ScreenBox& box, uint32_t colour) {
    size_t count = 0;
    for (int y = box.y0; y < box.y1; ++y)
        for (int x = box.x0; x < box.x1; ++x) {
            const uint8_t* p = picture.At(x, y);
            count += std::abs(p[0] - int(colour >> 16)) <= 16 &&
                     std::abs(p[1] - int(colour >> 8 & 0xFF)) <= 16 &&
                     std::abs(p[2] - int(colour & 0xFF)) <= 16;
        }
    return count;
}

// The effect screens' marks, from the layout table the effect files were
// built from: a mark that shows fills its box with its colour, within 20 %
// of its shape's pixels; a dark one shows hardly any of it. What is wrong
// with `mark` lit (`lit`) or dark: empty when nothing.
std::string MarkIs(const Picture& picture, const sampledata::LayoutMark& mark, bool lit) {
    const double expected = sampledata::MarkPixels(mark.box, mark.shape);
    const double seen = static_cast<double>(PixelsOfColour(picture, mark.box, mark.colour));
    if (lit ? seen >= expected * 0.8 && seen <= expected * 1.2 : seen <= expected * 0.02)
        return {};
    return "the mark of draw type " + std::to_string(mark.drawType) + " at (" +
           std::to_string(mark.box.x0) + ", " + std::to_string(mark.box.y0) + ") shows " +
           std::to_string(static_cast<size_t>(seen)) + " pixels of its colour, not " +
           (lit ? "about " + std::to_string(static_cast<size_t>(expected)) : "none") + "; ";
}

// Every mark of `screen` shown throughout (those of the logo backdrop with
// the first logo, which plays beside it) fills its box.
template <sampledata::EffectScreen kScreen>
std::string MarksShow(const Picture& picture, const Rect&) {
    using sampledata::EffectScreen;
    std::string wrong;
    for (const sampledata::LayoutMark& mark : sampledata::LayoutMarks())
        if (mark.screen == kScreen ||
            (kScreen == EffectScreen::kLogoFirst && mark.screen == EffectScreen::kLogoBackground))
            wrong += MarkIs(picture, mark, true);
    return wrong;
}

// The game menu with entry `kEntry` highlighted, the cursor having come
// from `kLeft` (-1: from nowhere): its marks shown throughout and the
// highlighted entry's fill their boxes, and the cursor's bar lies under its
// name (at least half the box, the glyphs taking the rest); every other
// entry's highlight mark and bar are dark, the one left included once
// `kLeftDark` (its highlight may fade for a while); every entry's name
// carries its glyphs.
template <int kEntry, int kLeft, bool kLeftDark>
std::string MenuShows(const Picture& picture, const Rect&) {
    std::string wrong;
    for (const sampledata::LayoutMark& mark : sampledata::LayoutMarks()) {
        if (mark.screen != sampledata::EffectScreen::kGameMenu)
            continue;
        if (mark.menuEntry < 0 || mark.menuEntry == kEntry)
            wrong += MarkIs(picture, mark, true);
        else if (mark.menuEntry != kLeft || kLeftDark)
            wrong += MarkIs(picture, mark, false);
    }
    const auto pixelAt = [&picture](int x, int y) {
        const uint8_t* p = picture.At(x, y);
        return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | 0xFF000000u;
    };
    const std::span<const sampledata::MenuEntryName> names = sampledata::MenuEntryNames();
    for (int entry = 0; entry < static_cast<int>(names.size()); ++entry) {
        const sampledata::ScreenBox& b = names[entry].box;
        const std::string what = std::string("the name ") + names[entry].text;
        if (std::string glyphs = testsupport::GlyphsIn(b.x0, b.y0, b.x1, b.y1, 25, pixelAt);
            !glyphs.empty())
            wrong += what + ": " + glyphs + "; ";
        const size_t bar = PixelsOfColour(picture, b, sampledata::kMenuCursorColour);
        const size_t all = Picture::Area({b.x0, b.y0, b.x1, b.y1});
        if (entry == kEntry && bar * 2 < all)
            wrong += what + " lies on " + std::to_string(bar) + " pixels of the cursor's bar; ";
        else if (entry != kEntry && (entry != kLeft || kLeftDark) && bar * 50 > all)
            wrong += what + " lies on " + std::to_string(bar) +
                     " pixels of a cursor's bar while entry " + std::to_string(kEntry) +
                     " is highlighted; ";
    }
    return wrong;
}

// What the effects had taken before the first screen: the runtime's unit
// blocks in use, and the device's live host objects less the shaders it
// keeps for later draws.
struct EffectsInUse {
    uint32_t unitBlocks;
    int64_t deviceObjects;
    bool operator==(const EffectsInUse&) const = default;
};
EffectsInUse EffectsNow() {
    const VfxController* vfx = VfxController::GetInstance();
    const auto* device = vfx ? dynamic_cast<const VfxDevice*>(vfx->GetDevice()) : nullptr;
    return {FulgorCore::Engine::GetUnitInstancePool().GetUsedCount(),
            static_cast<int64_t>(HostObjects::Live()) -
                static_cast<int64_t>(device ? device->GetCachedShaderCount() : 0)};
}
EffectsInUse gEffectsAtStart{};
void AtStart() {
    gEffectsAtStart = EffectsNow();
}

// The stage has come. The presentation stream has served the screens'
// effects before it (or not, with them off), and the stage's own
// presentation draws from it too; the ship's overlay counters are shared
// by every ship the process draws, the last run's included: every run
// takes the stage on from the same words of the stream and counters at 0,
// so that its pictures can be compared.
bool OnTheStageFromOnePresentation(const Now& now) {
    if (!On<SceneGame>(now))
        return false;
    if (RandomManager* random = RandomManager::GetInstance())
        random->Stream(0).Seed(2024);
    Player::SharedDrawCounters() = {};
    return true;
}

// Once the screens have let their effects go, the unit blocks and device
// objects are as many as before the first screen.
std::string EffectsGivenBack(const Picture& picture, const Rect& where) {
    const EffectsInUse now = EffectsNow();
    if (!(now == gEffectsAtStart))
        return "the effects still hold " + std::to_string(now.unitBlocks) + " unit blocks and " +
               std::to_string(now.deviceObjects) + " device objects, not " +
               std::to_string(gEffectsAtStart.unitBlocks) + " and " +
               std::to_string(gEffectsAtStart.deviceObjects);
    return NotBlack(picture, where);
}

const auto& kLogo = typeid(SceneLogo);
const auto& kTitle = typeid(SceneTitle);
const auto& kMenu = typeid(SceneSelectGameMenu);
const auto& kPilots = typeid(SceneSelectPilot);
const auto& kStage = typeid(SceneGame);
const auto& kRanking = typeid(SceneRanking);
const auto& kSetup = typeid(SceneSetup);
const auto& kPilotSelect = typeid(SceneSelectPilot);

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
constexpr Rect kWholeScreen{0, 0, 1280, 720};

constexpr uint32_t kNoKeys = 0;

enum Script : uint32_t {
    // Z through every screen into stage 1, 20 s of fire, every life lost,
    // the continue refused, the ranking, and the game menu it returns to.
    kPlayedToTheEnd,
    // Nobody at the keys: the logo plays, the title waits, the attract demo
    // starts, plays and ends, and the title comes back.
    kLeftAlone,
    // Through the screens that play effect files, looking at their marks:
    // the three logos, the title's intro and idle part, each game menu
    // entry highlighted in turn, the setup entry decided, the setup screen;
    // back to the menu, the ranking, the menu again and into stage 1, where
    // every effect the screens took has come back.
    kEffectScreens,
    // Z through every screen into stage 1, looking at the stage a second in.
    kToTheStage,
};

// The logo of index `kIndex` plays.
template <int32_t kIndex> bool LogoPlays(const Now& now) {
    const auto* logo = dynamic_cast<const SceneLogo*>(now.scene);
    const VfxInstance* effect =
        logo && logo->GetLogoIndex() == kIndex ? logo->GetInstance(kIndex) : nullptr;
    return effect && effect->IsPlaying();
}
template <int32_t kIndex> bool LogoPast(const Now& now) {
    const auto* logo = dynamic_cast<const SceneLogo*>(now.scene);
    return !logo || logo->GetLogoIndex() > kIndex;
}
// The title waits for the shot button once its intro is over or skipped.
bool TitleWaiting(const Now& now) {
    const auto* title = dynamic_cast<const SceneTitle*>(now.scene);
    return Shown(now) && title && title->GetCounter() >= 150;
}
// Stage 1 has played a second: its director's own count of frames, so the
// same frame of the stage on every run.
bool StagePlayedASecond(const Now& now) {
    const auto* game = dynamic_cast<const SceneGame*>(now.scene);
    const GameObjectDirector* director = game ? game->GetDirector() : nullptr;
    return Playing(now) && director && director->GetFrameCounter() >= 60;
}
bool SetupOnBack(const Now& now) {
    const auto* setup = dynamic_cast<const SceneSetup*>(now.scene);
    return setup && setup->GetItem() == SceneSetup::kBack;
}
template <int32_t kEntry> bool CursorOn(const Now& now) {
    const auto* menu = dynamic_cast<const SceneSelectGameMenu*>(now.scene);
    return menu && menu->GetCursor() == kEntry;
}

using sampledata::EffectScreen;

// The first look at the game menu after the cursor comes to an entry.
const uint32_t kFirstLook = sampledata::LookFrame(EffectScreen::kGameMenu);

// A look at the game menu with entry kEntry highlighted (MenuShows), its
// picture asked for once it has been up `settle` frames in this step.
template <int kEntry, int kLeft, bool kLeftDark> Step MenuLook(const char* what, uint32_t settle) {
    Step look{kEffectScreens, what,         &kMenu, Shown, kWholeScreen,
              kNoKeys,        Press::kHold, AtOnce, 600};
    look.look = MenuShows<kEntry, kLeft, kLeftDark>;
    look.settle = settle;
    return look;
}
// The cursor moved to entry kEntry with `key`.
template <int kEntry> Step MenuMove(const char* what, uint32_t key) {
    return {kEffectScreens, what, &kMenu, Shown, kNothing, key, Press::kTap, CursorOn<kEntry>, 600};
}

// The scripts, step by step.
const Step kScript[] = {
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

    {kEffectScreens, "the first logo's marks", &kLogo, LogoPlays<1>, kWholeScreen, kShot,
     Press::kTap, LogoPast<1>, 600, MarksShow<EffectScreen::kLogoFirst>,
     sampledata::LookFrame(EffectScreen::kLogoFirst)},
    {kEffectScreens, "the second logo's marks", &kLogo, LogoPlays<2>, kWholeScreen, kShot,
     Press::kTap, LogoPast<2>, 600, MarksShow<EffectScreen::kLogoSecond>,
     sampledata::LookFrame(EffectScreen::kLogoSecond)},
    {kEffectScreens, "the third logo's marks", &kLogo, LogoPlays<3>, kWholeScreen, kShot,
     Press::kTap, On<SceneTitle>, 600, MarksShow<EffectScreen::kLogoThird>,
     sampledata::LookFrame(EffectScreen::kLogoThird)},
    {kEffectScreens, "the title's intro", &kTitle, Shown, kWholeScreen, kShot, Press::kTap,
     TitleWaiting, 900, MarksShow<EffectScreen::kTitle>, sampledata::LookFrame(EffectScreen::kTitle)},
    {kEffectScreens, "the title's idle part", &kTitle, TitleWaiting, kWholeScreen, kShot,
     Press::kTap, On<SceneSelectGameMenu>, 900, MarksShow<EffectScreen::kTitle>},
    // Each entry highlighted in turn, looked at 30, 120 and 240 frames and
    // a few more after the cursor came to it: each step's picture is read a
    // few frames after its settling, which counts from where the step
    // before ended.
    MenuLook<0, -1, true>("the game menu: arcade lit 30 frames on", kFirstLook),
    MenuLook<0, -1, true>("the game menu: arcade lit 120 frames on", 90),
    MenuLook<0, -1, true>("the game menu: arcade lit 240 frames on", 120),
    MenuMove<1>("the game menu: down to story", kDown),
    MenuLook<1, 0, false>("the game menu: story lit 30 frames on", kFirstLook),
    MenuLook<1, 0, true>("the game menu: story lit 120 frames on", 90),
    MenuLook<1, 0, true>("the game menu: story lit 240 frames on", 120),
    MenuMove<2>("the game menu: down to challenge", kDown),
    MenuLook<2, 1, false>("the game menu: challenge lit 30 frames on", kFirstLook),
    MenuLook<2, 1, true>("the game menu: challenge lit 120 frames on", 90),
    MenuLook<2, 1, true>("the game menu: challenge lit 240 frames on", 120),
    MenuMove<3>("the game menu: down to the ranking", kDown),
    MenuLook<3, 2, false>("the game menu: ranking lit 30 frames on", kFirstLook),
    MenuLook<3, 2, true>("the game menu: ranking lit 120 frames on", 90),
    MenuLook<3, 2, true>("the game menu: ranking lit 240 frames on", 120),
    MenuMove<4>("the game menu: down to the setup", kDown),
    MenuLook<4, 3, false>("the game menu: setup lit 30 frames on", kFirstLook),
    MenuLook<4, 3, true>("the game menu: setup lit 120 frames on", 90),
    MenuLook<4, 3, true>("the game menu: setup lit 240 frames on", 120),
    MenuMove<5>("the game menu: down to exit", kDown),
    MenuLook<5, 4, false>("the game menu: exit lit 30 frames on", kFirstLook),
    MenuLook<5, 4, true>("the game menu: exit lit 120 frames on", 90),
    MenuLook<5, 4, true>("the game menu: exit lit 240 frames on", 120),
    MenuMove<4>("the game menu: up to the setup", kUp),
    MenuLook<4, 5, false>("the game menu: setup lit again 30 frames on", kFirstLook),
    MenuLook<4, 5, true>("the game menu: setup lit again 120 frames on", 90),
    MenuLook<4, 5, true>("the game menu: setup lit again 240 frames on", 120),
    {kEffectScreens, "the game menu: setup decided", &kMenu, AtOnce, kNothing, kShot, Press::kTap,
     On<SceneSetup>, 600},
    {kEffectScreens, "the setup screen's marks", &kSetup, Shown, kWholeScreen, kNoKeys,
     Press::kHold, After<1>, 600, MarksShow<EffectScreen::kSetup>,
     sampledata::LookFrame(EffectScreen::kSetup)},
    {kEffectScreens, "the setup: up to back", &kSetup, Shown, kNothing, kUp, Press::kTap,
     SetupOnBack, 600},
    {kEffectScreens, "the setup: back", &kSetup, AtOnce, kNothing, kShot, Press::kTap,
     On<SceneSelectGameMenu>, 600},
    {kEffectScreens, "the game menu: down to the ranking", &kMenu, Shown, kNothing, kDown,
     Press::kTap, CursorOn<3>, 600},
    {kEffectScreens, "the game menu: ranking decided", &kMenu, AtOnce, kNothing, kShot,
     Press::kTap, On<SceneRanking>, 600},
    {kEffectScreens, "the ranking: up to ok", &kRanking, Shown, kRankingHeader, kUp, Press::kTap,
     OnOk, 600},
    {kEffectScreens, "the ranking: ok", &kRanking, AtOnce, kNothing, kShot, Press::kTap,
     On<SceneSelectGameMenu>, 600},
    {kEffectScreens, "the game menu: arcade decided", &kMenu, Shown, kNothing, kShot, Press::kTap,
     On<SceneSelectPilot>, 600},
    {kEffectScreens, "the first pilot", &kPilotSelect, Shown, kNothing, kShot, Press::kTap,
     OnTheStageFromOnePresentation, 900},
    {kEffectScreens, "stage 1: every effect given back", &kStage, StagePlayedASecond, kScoreDigits,
     kNoKeys, Press::kHold, After<1>, 2400, EffectsGivenBack},

    {kToTheStage, "the logo, skipped", &kLogo, AtOnce, kNothing, kShot, Press::kTap,
     On<SceneTitle>, 900},
    {kToTheStage, "the title, left", &kTitle, Shown, kNothing, kShot, Press::kTap,
     On<SceneSelectGameMenu>, 900},
    {kToTheStage, "the game menu: arcade", &kMenu, Shown, kNothing, kShot, Press::kTap,
     On<SceneSelectPilot>, 600},
    {kToTheStage, "the first pilot", &kPilotSelect, Shown, kNothing, kShot, Press::kTap,
     OnTheStageFromOnePresentation, 900},
    {kToTheStage, "stage 1 a second in", &kStage, StagePlayedASecond, kScoreDigits, kNoKeys,
     Press::kHold, After<1>, 2400},

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

// The pixels of two pictures that differ.
size_t PixelsDiffering(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    size_t differ = 0;
    for (size_t p = 0; p + 3 <= a.size() && p + 3 <= b.size(); p += 4)
        differ += std::memcmp(&a[p], &b[p], 3) != 0;
    return differ;
}

// Every mark of the layout in its box, the menu's highlight with the
// cursor, every effect given back once the screens have gone, and the same
// pictures again on a second run.
TEST_F(PlayThrough, EffectScreensShowTheirMarksTheSameEachRun) {
    const auto first = Play(kScript, kEffectScreens, AtStart);
    if (HasFailure())
        return;
    const auto second = Play(kScript, kEffectScreens, AtStart);
    ASSERT_EQ(first.size(), second.size());
    for (size_t i = 0; i < first.size(); ++i)
        EXPECT_EQ(PixelsDiffering(first[i], second[i]), 0u)
            << "pixels of picture " << i << " that differ between the runs";
}

// A device maker that makes nothing: the runtime refuses to start and the
// game runs with its effects off.
FulgorCore::IDevice* NoDevice() {
    return nullptr;
}

// The stage plays no effect file: its picture is the same with the effects
// runtime off.
TEST_F(PlayThrough, TheStageLooksTheSameWithTheEffectsRuntimeOff) {
    const auto on = Play(kScript, kToTheStage);
    VfxDeviceMaker::Install(NoDevice);
    const auto off = Play(kScript, kToTheStage);
    VfxDeviceMaker::Install(nullptr);
    ASSERT_FALSE(on.empty());
    ASSERT_EQ(on.size(), off.size());
    EXPECT_EQ(PixelsDiffering(on.back(), off.back()), 0u) << "pixels of the stage that differ";
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
