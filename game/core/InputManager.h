#pragma once

#include "engine/common/Singleton.h"
#include "engine/common/SingletonObject.h"

#include <cstdint>

// The game's 16 logical buttons on top of one virtual-button record of the
// engine, offered each frame as three bit words: triggered (pressed this
// frame or auto-repeating), released and held.
class InputManager : public Mireku::Common::SingletonObject,
                     public Mireku::Common::Singleton<InputManager> {
public:
    enum Button : uint32_t {
        kUp = 0x1,
        kDown = 0x2,
        kLeft = 0x4,
        kRight = 0x8,
        kAimUp = 0x10,
        kAimDown = 0x20,
        kAimLeft = 0x40,
        kAimRight = 0x80,
        kShot = 0x100,
        kExWeapon = 0x200,
        kSubWeaponMode = 0x400,
        kUnused11 = 0x800,
        kPause = 0x1000,
        kSceneAction = 0x2000, // read by the scenes
        kUnused14 = 0x4000,
        kSlow = 0x8000,
    };

    // Adds the record on the engine's input device with the configured pad
    // number, binds the fixed keys and the configured pad codes (a 4096-byte
    // configuration block). False when the engine input is missing.
    bool BindFromConfig(const uint8_t* config);
    // Binds from the configuration's default values.
    bool BindFromConfig();
    // Once per frame, before the scenes.
    void Update();
    // Replaces this frame's pressed mask (until the next Update): how scenes
    // are driven by scripted presses without input devices.
    void SetTriggered(uint32_t mask) { triggered_ = mask; }

    bool IsTriggered(uint32_t mask) const { return (triggered_ & mask) != 0; }
    bool IsHeld(uint32_t mask) const { return (held_ & mask) != 0; }
    uint32_t GetTriggered() const { return triggered_; }
    uint32_t GetReleased() const { return released_; }
    uint32_t GetHeld() const { return held_; }
    uint32_t GetRecord() const { return record_; }

    // The lock counter, the fourth word: a scene raises it while its buttons
    // must not start anything more (an attract demo fading out on a press)
    // and lowers it when done. Binding sets it to 0.
    void IncrementLockCount() { ++lockCount_; }
    void DecrementLockCount() { --lockCount_; }
    int32_t GetLockCount() const { return lockCount_; }

private:
    uint32_t record_ = 0xFFFFFFFFu;
    uint32_t triggered_ = 0;
    uint32_t released_ = 0;
    uint32_t held_ = 0;
    int32_t lockCount_ = 0;
};
