// Every ship through every weapon in stage 1, headless, from a scripted
// input: down to the bottom of the field, the five sub weapons in turn
// (aimed, the fourth thrown diagonally, the ship moving under them), the
// Barion laser held until it drains into the Grabuster and its shock wave,
// then an auto shield. The stream that flew it plays back with another
// cosmetic seed and hashes the same frame by frame, the weapons' own state
// included.
#include "game/enemy/explosion/GrabusterHamon.h"
#include "game/player/PlayerExWeapon_BarionLaser.h"
#include "game/player/PlayerExWeapon_BarionShield.h"
#include "game/player/PlayerExWeapon_Grabuster.h"
#include "game/player/PlayerSubWeapon_SW001.h"
#include "game/player/PlayerSubWeapon_SW002.h"
#include "game/player/PlayerSubWeapon_SW003.h"
#include "game/player/PlayerSubWeapon_SW004.h"
#include "game/player/PlayerSubWeapon_SW005Decoy.h"
#include "game/stage/StageInput.h"
#include "support/StageReplayHarness.h"

#include <cstring>
#include <typeinfo>

namespace {

using stage_replay::StageHarness;

// The flight is scripted around enemies that stay where they appear.
StageHarness::Options Standing() {
    StageHarness::Options options;
    options.standingEnemies = true;
    return options;
}
using In = StageInput::Bit;

constexpr size_t kFrames = 1500;

// What of the weapons the flight saw.
struct Seen {
    bool sub[5] = {};
    bool beams = false;
    bool grabuster = false;
    bool wave = false;
    bool shield = false;

    bool All() const {
        return sub[0] && sub[1] && sub[2] && sub[3] && sub[4] && beams && grabuster && wave &&
               shield;
    }
};

void Watch(GameObjectDirector& d, Seen& seen) {
    for (GameObject* o = d.GetFirstChild(); o; o = o->GetNextSibling()) {
        seen.sub[0] = seen.sub[0] || dynamic_cast<PlayerSubWeapon_SW001*>(o);
        seen.sub[1] = seen.sub[1] || dynamic_cast<PlayerSubWeapon_SW002*>(o);
        seen.sub[2] = seen.sub[2] || dynamic_cast<PlayerSubWeapon_SW003*>(o);
        seen.sub[3] = seen.sub[3] || dynamic_cast<PlayerSubWeapon_SW004*>(o);
        seen.sub[4] = seen.sub[4] || dynamic_cast<PlayerSubWeapon_SW005Decoy*>(o);
        seen.beams = seen.beams || dynamic_cast<PlayerExWeapon_BarionLaser*>(o);
        seen.grabuster = seen.grabuster || dynamic_cast<PlayerExWeapon_Grabuster*>(o);
        seen.wave = seen.wave || dynamic_cast<GrabusterHamon*>(o);
        seen.shield = seen.shield || dynamic_cast<PlayerExWeapon_BarionShield*>(o);
    }
}

// The script: what it sets in the game before each frame of play, and the
// word of the frame. It reads the game's state only, so that it does the
// same again when the recording plays back.
class Pilot {
public:
    uint32_t Next(GameObjectDirector& d) {
        GlobalWork& gw = *GlobalWork::GetInstance();
        Player* ship = d.GetPlayer();
        if (!ship)
            return 0;
        ++frame_;
        ++inPhase_;
        switch (phase_) {
        case kDescent:
            // Down to the bottom of the field, under the enemies.
            if (inPhase_ == 60)
                Enter(kSubWeapons);
            return In::kDown;
        case kSubWeapons: {
            // Each weapon aimed for 30 frames, the ship moving under it;
            // the next once this one's objects are gone (they share the
            // live limit).
            gw.player.subWeapon = kOrder[weapon_];
            if (inPhase_ <= 30) {
                const uint32_t aim = kOrder[weapon_] == 3 ? In::kAimLeft | In::kAimUp : In::kAimUp;
                return aim | (frame_ / 10 % 2 ? In::kLeft : In::kRight);
            }
            if (ship->subCount == 0 || inPhase_ > 400) {
                inPhase_ = 0;
                if (++weapon_ == 5)
                    Enter(kLaser);
            }
            return 0;
        }
        case kLaser:
            // Held until it drains into the Grabuster, and that is over.
            if (inPhase_ == 1) {
                gw.player.barionGauge = gw.BarionGaugeMax(gw.player);
                gw.player.hyperioGauge = 60;
                return In::kExWeapon | In::kShot;
            }
            if (ship->state == Player::kNormal && !gw.player.invincible)
                Enter(kShield);
            return In::kShot | (frame_ / 40 % 2 ? In::kLeft : In::kRight);
        case kShield:
            // An enemy shot on the ship, a gauge step to spend.
            if (inPhase_ == 1) {
                gw.player.barionGauge = gw.BarionGaugeMax(gw.player) / 2;
                GameObject::Create<stage_test::TestEnemyShot>(&d, &d, *ship->GetPosition());
            }
            return 0;
        }
        return 0;
    }

private:
    enum Phase { kDescent, kSubWeapons, kLaser, kShield };
    // The column last: it lives longest.
    static constexpr uint8_t kOrder[5] = {2, 3, 4, 1, 0};

    void Enter(Phase phase) {
        phase_ = phase;
        inPhase_ = 0;
    }

    Phase phase_ = kDescent;
    uint32_t inPhase_ = 0;
    uint32_t frame_ = 0;
    uint32_t weapon_ = 0;
};

std::vector<uint8_t> Header(int8_t ship) {
    StageHarness harness;
    EXPECT_TRUE(harness.Start(Standing()));
    PlayerWork start = GlobalWork::GetInstance()->player;
    start.ship = ship;
    start.power = 1;
    std::vector<uint8_t> out(ReplayStream::kHeaderSize);
    ReplayStream::WriteHeader(out.data(), {start, 0, 1});
    return out;
}

// Plays `recording`; with `fly` the script writes each word into it just
// before the director reads it.
std::vector<uint64_t> Play(std::vector<uint8_t>& recording, uint32_t seed, bool fly, Seen& seen) {
    StageHarness harness;
    StageHarness::Options options = Standing();
    options.stream0Seed = seed;
    EXPECT_TRUE(harness.Start(options));
    EXPECT_TRUE(harness.BeginPlayback(recording));
    GlobalWork& gw = *GlobalWork::GetInstance();
    Pilot pilot;
    for (int guard = 0; harness.hashes.size() < kFrames && guard < 5000; ++guard) {
        GameObjectDirector& d = *harness.Director();
        if (d.GetState() == GameObjectDirector::kPlay && gw.replayPosition + 4 <= gw.replaySize) {
            const uint32_t word = pilot.Next(d);
            if (fly)
                std::memcpy(gw.replayBuffer + gw.replayPosition, &word, 4);
        }
        harness.Frame();
        Watch(d, seen);
    }
    if (fly)
        recording.assign(gw.replayBuffer, gw.replayBuffer + gw.replaySize);
    return harness.hashes;
}

} // namespace

TEST(WeaponReplay, EveryShipFiresEveryWeaponAndReplaysWhateverTheCosmeticSeed) {
    for (int8_t ship = 0; ship < 6; ++ship) {
        std::vector<uint8_t> recording = Header(ship);
        recording.resize(recording.size() + (kFrames + 200) * 4, 0);
        Seen flown;
        const std::vector<uint64_t> live = Play(recording, 1, true, flown);
        ASSERT_EQ(live.size(), kFrames);
        EXPECT_TRUE(flown.All()) << "ship " << int(ship) << ": sub weapons " << flown.sub[0]
                                 << flown.sub[1] << flown.sub[2] << flown.sub[3] << flown.sub[4]
                                 << ", laser " << flown.beams << ", Grabuster " << flown.grabuster
                                 << ", wave " << flown.wave << ", shield " << flown.shield;
        Seen played;
        const std::vector<uint64_t> again = Play(recording, 0xC0FFEEu + ship, false, played);
        ASSERT_EQ(again.size(), kFrames);
        for (size_t i = 0; i < kFrames; ++i)
            ASSERT_EQ(again[i], live[i]) << "ship " << int(ship) << ", frame " << i;
        EXPECT_TRUE(played.All());
    }
}
