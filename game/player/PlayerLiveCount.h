// An object's place in one of the Player's live-object counters (a main
// shot in `shotCount[slot]`, a sub-weapon object in `subCount`): one more
// while the object lives, one less when it goes.
//
// The director deletes its tree in list order when a stage ends, so the
// Player may already be freed when a shot made after it is deleted. Leave()
// therefore writes nothing while the owner director is tearing down
// (GameObjectDirector::IsTearingDown): there is no count left to keep then.
// Every object that counts itself on the Player holds one of these and calls
// Leave() from its destructor; that is the whole rule.
#pragma once

#include "game/stage/GameObjectDirector.h"

#include <cstdint>

// `Count` is the counter's type: a byte for the main shots and the laser
// volleys, 16 bits for the sub-weapon objects (their limits are 16-bit).
template <class Count> class PlayerLiveCountOf {
public:
    PlayerLiveCountOf() = default;
    PlayerLiveCountOf(const PlayerLiveCountOf&) = delete;
    PlayerLiveCountOf& operator=(const PlayerLiveCountOf&) = delete;

    // Counts in on `counter` (null: nothing is counted). `owner` is the
    // director whose tree holds both the counter's Player and this object.
    void Join(const GameObjectDirector* owner, Count* counter) {
        owner_ = owner;
        counter_ = counter;
        if (counter_)
            ++*counter_;
    }
    // Counts out, once; nothing while the stage is being torn down.
    void Leave() {
        if (counter_ && !(owner_ && owner_->IsTearingDown()))
            --*counter_;
        counter_ = nullptr;
    }

private:
    const GameObjectDirector* owner_ = nullptr;
    Count* counter_ = nullptr;
};

using PlayerLiveCount = PlayerLiveCountOf<uint8_t>;
