// One row of "player_o_pc_com.tsb" / "player_u_pc_com.tsb" (row = mode group
// + ship x 6): the ship's movement, gauges, ex-weapons and sub weapons. The
// ex-weapon and sub-weapon objects get the whole row and read their own
// fields. Sub weapon n's fields are subN...; its cooldowns are frames.
#pragma once

#include "game/core/tables/TableRow.h"

#include <cstddef>
#include <cstdint>

struct ShipParamRow {
    uint16_t unread0;
    uint16_t deathAttack; // attack power of the death explosion
    uint8_t unread4[4];
    float speed;
    float grabusterSpeed; // while the Grabuster is out
    float slowSpeed;      // what slow movement eases to
    int16_t slowEaseFrames;
    int16_t barionGaugeMax;
    int16_t barionDrain; // per frame while the laser is out
    int16_t laserLife;   // frames of a laser emitter and its beams
    int16_t laserInterval;
    int16_t laserAttack;
    int16_t hyperioMax;
    int16_t hyperioDrain; // per frame in the Grabuster's first phase
    int16_t unread36;
    int16_t grabusterAttack; // also its shock wave's
    int16_t unread40;

    int16_t sub1Rise; // per frame
    int16_t sub1Limit;
    uint8_t sub1Cooldown;
    uint8_t unread47;
    int16_t sub1Attack[2];

    int16_t sub2MaxSpeed;
    int16_t sub2Limit;
    uint8_t sub2Cooldown;
    uint8_t unread57;
    int16_t sub2Volley; // lasers per volley
    int16_t sub2Attack[2];

    int16_t sub3Speed; // of the blast shot
    int16_t sub3Limit;
    uint8_t sub3Cooldown;
    uint8_t unread69;
    int16_t unread70;
    int16_t sub3Attack;

    int16_t sub4LaunchSpeed;
    int16_t sub4Limit;
    uint8_t sub4Cooldown; // sub weapon 5 cools down by it too
    uint8_t unread79;
    int16_t unread80[2];
    int16_t sub4Attack[2];

    int16_t sub5HeadSpeed; // of the beam head
    int16_t sub5Limit;
    int16_t unread92;
    int16_t sub5Attack[2];
    int16_t sub5Decoys; // per volley
    int16_t sub5SpreadWidth;
    int16_t sub5SpreadHeight;
    uint8_t unread104[4];

    int16_t shieldAttack;
    int16_t deathDelay; // frames, at most 30 (the loader caps it)
    int16_t unread112;
    int16_t shieldStepPercent; // of the Barion gauge maximum, per auto shield
    int16_t shieldHitInterval; // frames between two hits of a raised shield
    uint8_t unread118[6];
    uint16_t autoShieldInterval; // frames between two auto shields
    uint16_t unread126;
};

static_assert(TableRow<ShipParamRow> && sizeof(ShipParamRow) == 128);
static_assert(
    offsetof(ShipParamRow, deathAttack) == 2 && offsetof(ShipParamRow, speed) == 8 &&
    offsetof(ShipParamRow, grabusterSpeed) == 12 && offsetof(ShipParamRow, slowSpeed) == 16 &&
    offsetof(ShipParamRow, slowEaseFrames) == 20 && offsetof(ShipParamRow, barionGaugeMax) == 22 &&
    offsetof(ShipParamRow, barionDrain) == 24 && offsetof(ShipParamRow, laserLife) == 26 &&
    offsetof(ShipParamRow, laserInterval) == 28 && offsetof(ShipParamRow, laserAttack) == 30 &&
    offsetof(ShipParamRow, hyperioMax) == 32 && offsetof(ShipParamRow, hyperioDrain) == 34 &&
    offsetof(ShipParamRow, grabusterAttack) == 38);
static_assert(offsetof(ShipParamRow, sub1Rise) == 42 && offsetof(ShipParamRow, sub1Limit) == 44 &&
              offsetof(ShipParamRow, sub1Cooldown) == 46 &&
              offsetof(ShipParamRow, sub1Attack) == 48);
static_assert(offsetof(ShipParamRow, sub2MaxSpeed) == 52 &&
              offsetof(ShipParamRow, sub2Limit) == 54 &&
              offsetof(ShipParamRow, sub2Cooldown) == 56 &&
              offsetof(ShipParamRow, sub2Volley) == 58 && offsetof(ShipParamRow, sub2Attack) == 60);
static_assert(offsetof(ShipParamRow, sub3Speed) == 64 && offsetof(ShipParamRow, sub3Limit) == 66 &&
              offsetof(ShipParamRow, sub3Cooldown) == 68 &&
              offsetof(ShipParamRow, sub3Attack) == 72);
static_assert(offsetof(ShipParamRow, sub4LaunchSpeed) == 74 &&
              offsetof(ShipParamRow, sub4Limit) == 76 &&
              offsetof(ShipParamRow, sub4Cooldown) == 78 &&
              offsetof(ShipParamRow, sub4Attack) == 84);
static_assert(offsetof(ShipParamRow, sub5HeadSpeed) == 88 &&
              offsetof(ShipParamRow, sub5Limit) == 90 && offsetof(ShipParamRow, sub5Attack) == 94 &&
              offsetof(ShipParamRow, sub5Decoys) == 98 &&
              offsetof(ShipParamRow, sub5SpreadWidth) == 100 &&
              offsetof(ShipParamRow, sub5SpreadHeight) == 102);
static_assert(offsetof(ShipParamRow, shieldAttack) == 108 &&
              offsetof(ShipParamRow, deathDelay) == 110 &&
              offsetof(ShipParamRow, shieldStepPercent) == 114 &&
              offsetof(ShipParamRow, shieldHitInterval) == 116 &&
              offsetof(ShipParamRow, autoShieldInterval) == 124);
