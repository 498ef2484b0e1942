// One row of a stage enemy table ("enemys_easy_enemy_stage01.tsb" and its
// siblings; row = the timeline's enemy type): looks, hit box, health, rewards,
// movement and the emitter grid of an ordinary enemy.
#pragma once

#include "game/core/tables/EmitterGrid.h"
#include "game/core/tables/TableRow.h"
#include "game/core/tables/TexelRect.h"

#include <cstddef>
#include <cstdint>

struct EnemyRecord {
    static constexpr uint32_t kTrackFrames = 8;

    uint8_t unread0[16];
    // Two animation tracks; a frame whose right equals its left or whose
    // bottom equals its top ends the track.
    TexelRect trackA[kTrackFrames];
    TexelRect trackB[kTrackFrames];
    int8_t frameLengths[kTrackFrames]; // frames each, shared by both tracks
    int16_t hitWidth;
    int16_t hitHeight;
    int16_t hitOffsetX; // of the hit box centre
    int16_t hitOffsetY;
    uint8_t facePlayer; // turns towards the player
    uint8_t faceMotion; // faces the direction of motion
    uint8_t spin;
    uint8_t unread163;
    // Turning towards the player: the angle difference divided by this per
    // frame; spinning: frames per turn.
    int16_t turnDivisor;
    int16_t unread166;
    int16_t health;
    int16_t score;
    uint16_t barionReward; // Barion gauge awarded for the kill
    uint8_t unread174[34];
    int8_t speed;          // percent: x 0.02 x 8 field units per frame
    uint8_t mirror;        // the spawn x may be mirrored
    int16_t moveParams[4]; // for the concrete enemy classes
    uint8_t unread218[18];
    EmitterGrid grid;
};

static_assert(TableRow<EnemyRecord> && sizeof(EnemyRecord) == 516);
static_assert(offsetof(EnemyRecord, trackA) == 16 && offsetof(EnemyRecord, trackB) == 80 &&
              offsetof(EnemyRecord, frameLengths) == 144 &&
              offsetof(EnemyRecord, hitWidth) == 152 && offsetof(EnemyRecord, hitHeight) == 154 &&
              offsetof(EnemyRecord, hitOffsetX) == 156 &&
              offsetof(EnemyRecord, hitOffsetY) == 158 &&
              offsetof(EnemyRecord, facePlayer) == 160 &&
              offsetof(EnemyRecord, faceMotion) == 161 && offsetof(EnemyRecord, spin) == 162 &&
              offsetof(EnemyRecord, turnDivisor) == 164 && offsetof(EnemyRecord, health) == 168 &&
              offsetof(EnemyRecord, score) == 170 && offsetof(EnemyRecord, barionReward) == 172 &&
              offsetof(EnemyRecord, speed) == 208 && offsetof(EnemyRecord, mirror) == 209 &&
              offsetof(EnemyRecord, moveParams) == 210 && offsetof(EnemyRecord, grid) == 236);
