// The ship in the replay hash harness: a stage flown live by a closed-loop
// pilot on the keyboard, through an auto shield, enough kills for a full
// gauge, the Barion laser and the Grabuster, and a miss, paused twice on the
// way (mid-flight and during the Grabuster's drain). The recording then
// plays back with other cosmetic seeds and must hash the same frame by
// frame.
#include "game/core/GameState.h"
#include "game/player/Player.h"
#include "game/stage/StageInput.h"
#include "support/InputTestSupport.h"
#include "support/StageReplayHarness.h"

#include <SDL.h>

#include <cmath>

namespace {

using stage_replay::StageHarness;

// The flight is scripted around enemies that stay where they appear.
StageHarness::Options Standing() {
    StageHarness::Options options;
    options.standingEnemies = true;
    return options;
}

constexpr size_t kFrames = 3600;

// What the flight went through.
struct Seen {
    bool laser = false;
    bool grabusterPhases[3] = {};
    bool shield = false;
    bool miss = false;
    uint64_t score = 0;
};

class Pilot {
public:
    // The word for the frame the director reads next.
    uint32_t Next(GameObjectDirector& d) {
        const GlobalWork& gw = *GlobalWork::GetInstance();
        Player* ship = d.GetPlayer();
        if (!ship)
            return 0;
        const Mireku::Common::Vector2 at = *ship->GetPosition();
        GameObject* enemy = Nearest(d, at);
        ++frame_;
        switch (phase_) {
        case kShield:
            // Into an enemy without firing, on a full gauge.
            if (gw.hitsTaken > 0)
                phase_ = kHunt;
            return enemy ? Towards(at, *enemy->GetPosition()) : 0;
        case kHunt:
            // Under the nearest enemy, firing, until the gauge is full.
            if (gw.player.barionGauge >= gw.BarionGaugeMax(gw.player)) {
                phase_ = kLaser;
                return 0;
            }
            if (!enemy)
                return StageInput::kShot;
            return StageInput::kShot |
                   Towards(at, *enemy->GetPosition() + Mireku::Common::Vector2{0.0f, 170.0f});
        case kLaser:
            // The laser, then the Grabuster, low in the field away from the
            // enemies; on until its invincibility is over. Ex weapon and
            // shot stay down until the laser starts (a key counts as held
            // from its second frame on), shot one frame more for one volley
            // only: its beams reach the whole field, and an enemy must be
            // left for the miss.
            if (ship->state == Player::kNormal) {
                if (!started_)
                    return StageInput::kExWeapon | StageInput::kShot;
                if (!gw.player.invincible) {
                    phase_ = kMiss;
                    return 0;
                }
            }
            if (!started_) {
                started_ = true;
                laserFrame_ = frame_;
            }
            return (frame_ == laserFrame_ ? StageInput::kShot : 0u) |
                   Towards(at, {frame_ % 240 < 120 ? -300.0f : 300.0f, 704.0f});
        case kMiss:
            if (gw.misses > 0)
                phase_ = kAfter;
            return enemy ? Towards(at, *enemy->GetPosition()) : 0;
        default:
            return StageInput::kShot | (frame_ / 30 % 2 ? StageInput::kLeft : StageInput::kRight);
        }
    }

private:
    enum Phase { kShield, kHunt, kLaser, kMiss, kAfter };

    static GameObject* Nearest(GameObjectDirector& d, const Mireku::Common::Vector2& at) {
        GameObject* best = nullptr;
        float bestDistance = 0.0f;
        for (GameObject* c = d.GetFirstChild(); c; c = c->GetNextSibling()) {
            if (c->GetKind() != GameObject::kKindEnemy || !c->IsAlive() ||
                std::fabs(c->GetPosition()->x) > Player::kMaxX)
                continue;
            const float distance = (*c->GetPosition() - at).LengthSquared();
            if (!best || distance < bestDistance) {
                best = c;
                bestDistance = distance;
            }
        }
        return best;
    }
    static uint32_t Towards(const Mireku::Common::Vector2& at, const Mireku::Common::Vector2& to) {
        uint32_t w = 0;
        if (to.x < at.x - 4.0f)
            w |= StageInput::kLeft;
        if (to.x > at.x + 4.0f)
            w |= StageInput::kRight;
        if (to.y < at.y - 4.0f)
            w |= StageInput::kUp;
        if (to.y > at.y + 4.0f)
            w |= StageInput::kDown;
        return w;
    }

    Phase phase_ = kShield;
    uint32_t frame_ = 0;
    bool started_ = false;
    uint32_t laserFrame_ = 0;
};

void Watch(StageHarness& harness, Seen& seen) {
    GameObjectDirector* d = harness.Director();
    const Player* ship = d->GetPlayer();
    const GlobalWork& gw = *GlobalWork::GetInstance();
    if (ship) {
        seen.laser = seen.laser || ship->state == Player::kBarionLaser;
        if (ship->state == Player::kGrabuster && ship->grabPhase < 3)
            seen.grabusterPhases[ship->grabPhase] = true;
    }
    seen.shield = seen.shield || d->GetHud().IsShieldHitShown();
    seen.miss = seen.miss || gw.misses > 0;
    seen.score = gw.player.score;
}

// The pilot's words as keys held on the live keyboard. A key goes into the
// director's word from its second frame down on (its first is a press, not
// yet a hold), so the live words trail the pilot's by a frame.
class Keyboard {
public:
    void Hold(uint32_t word) {
        EXPECT_EQ(word & ~kKnown, 0u) << "a bit the keyboard does not press";
        for (const Key& k : kKeys)
            if ((word ^ held_) & k.bit)
                input_test::PushKey(k.key, (word & k.bit) != 0);
        input_test::Sync();
        held_ = word;
    }

private:
    struct Key {
        uint32_t bit;
        SDL_Scancode key;
    };
    static constexpr Key kKeys[] = {
        {StageInput::kShot, SDL_SCANCODE_Z},    {StageInput::kExWeapon, SDL_SCANCODE_X},
        {StageInput::kUp, SDL_SCANCODE_UP},     {StageInput::kDown, SDL_SCANCODE_DOWN},
        {StageInput::kLeft, SDL_SCANCODE_LEFT}, {StageInput::kRight, SDL_SCANCODE_RIGHT},
    };
    static constexpr uint32_t kKnown = StageInput::kShot | StageInput::kExWeapon | StageInput::kUp |
                                       StageInput::kDown | StageInput::kLeft | StageInput::kRight;
    uint32_t held_ = 0;
};

// The stage's boss (it comes before the flight ends) made harmless and too
// strong to die: this flight is the ship's. Its parts' fire would end the
// game before the flight does, and a dying boss draws from the presentation
// stream, which the cosmetic seeds change.
void HarmlessBoss() {
    GameTables& t = GlobalWork::GetInstance()->tables;
    for (uint32_t mode = 0; mode < GameTables::kModeCount; ++mode)
        for (uint32_t r = 0; r < t.BossRowCount(mode); ++r) {
            BossRecord* row = t.boss[mode].MutableAt<BossRecord>(r);
            row->grid = {};
            if (r % BossRecord::kRowsPerGroup == 0)
                row->health = 2000000000;
        }
}

// The game's pause for `frames` frames, the keys let go: the tree only
// draws, and nothing is recorded or hashed.
void Pause(StageHarness& harness, Keyboard& keys, int frames) {
    const GlobalWork& gw = *GlobalWork::GetInstance();
    const uint32_t recorded = gw.replayPosition;
    const size_t hashed = harness.hashes.size();
    keys.Hold(0);
    harness.SetPaused(true);
    for (int i = 0; i < frames; ++i)
        harness.Frame();
    harness.SetPaused(false);
    EXPECT_EQ(gw.replayPosition, recorded) << "no word is recorded while paused";
    EXPECT_EQ(harness.hashes.size(), hashed);
}

// Flies the pilot live from a fresh game at full power with a full Barion
// gauge and some Hyperio gauge; the hashes, what was seen, the pauses and
// the recording.
std::vector<uint64_t> FlyLive(Seen& seen, int& pauses, std::vector<uint8_t>& recording) {
    StageHarness harness;
    StageHarness::Options options = Standing();
    options.liveInput = true;
    EXPECT_TRUE(harness.Start(options));
    HarmlessBoss();
    PlayerWork& start = GlobalWork::GetInstance()->player;
    start.power = 3;
    start.barionGauge = 1000;
    start.hyperioGauge = 150;
    EXPECT_TRUE(harness.BeginLive());
    Keyboard keys;
    Pilot pilot;
    bool pausedMidway = false, pausedInDrain = false;
    for (int guard = 0; harness.hashes.size() < kFrames && guard < 20000; ++guard) {
        GameObjectDirector& d = *harness.Director();
        if (d.GetState() == GameObjectDirector::kPlay)
            keys.Hold(pilot.Next(d));
        harness.Frame();
        Watch(harness, seen);
        const Player* ship = d.GetPlayer();
        if (!pausedMidway && harness.hashes.size() == kFrames / 2) {
            pausedMidway = true;
            Pause(harness, keys, 90);
        }
        if (!pausedInDrain && ship && ship->state == Player::kGrabuster && ship->grabPhase == 1) {
            pausedInDrain = true;
            Pause(harness, keys, 90);
        }
    }
    keys.Hold(0);
    pauses = pausedMidway + pausedInDrain;
    recording = harness.Recording();
    return harness.hashes;
}

std::vector<uint64_t> PlayBack(const std::vector<uint8_t>& recording, uint32_t seed, Seen& seen) {
    StageHarness harness;
    StageHarness::Options options = Standing();
    options.stream0Seed = seed;
    EXPECT_TRUE(harness.Start(options));
    HarmlessBoss();
    EXPECT_TRUE(harness.BeginPlayback(recording));
    for (int guard = 0; harness.hashes.size() < kFrames && guard < 20000; ++guard) {
        harness.Frame();
        Watch(harness, seen);
    }
    return harness.hashes;
}

} // namespace

TEST(PlayerReplay, ALiveFlightPausedTwiceReplaysWhateverTheCosmeticSeed) {
    input_test::WindowLoop loop;
    ASSERT_TRUE(loop.IsOpen());
    Seen flown;
    int pauses = 0;
    std::vector<uint8_t> recording;
    const std::vector<uint64_t> live = FlyLive(flown, pauses, recording);
    ASSERT_EQ(live.size(), kFrames);
    EXPECT_EQ(pauses, 2) << "mid-flight and in the Grabuster's drain";
    EXPECT_TRUE(flown.shield) << "an auto shield";
    EXPECT_TRUE(flown.laser) << "the Barion laser";
    EXPECT_TRUE(flown.grabusterPhases[0] && flown.grabusterPhases[1] && flown.grabusterPhases[2])
        << "the Grabuster's start-up, drain and wind-down";
    EXPECT_TRUE(flown.miss) << "a miss";
    EXPECT_GT(flown.score, 0u);
    // Frames whose input is held (the fly-in, a respawn) record no word.
    ASSERT_GT(recording.size(), ReplayStream::kHeaderSize + (kFrames - 400) * 4);

    for (uint32_t seed : {7u, 0xBADC0DEu}) {
        Seen played;
        const std::vector<uint64_t> again = PlayBack(recording, seed, played);
        ASSERT_EQ(again.size(), kFrames);
        for (size_t i = 0; i < kFrames; ++i)
            ASSERT_EQ(again[i], live[i]) << "seed " << seed << ", frame " << i;
        EXPECT_EQ(played.score, flown.score);
        EXPECT_TRUE(played.miss && played.laser && played.shield);
    }
}
