#include "game/core/InputManager.h"

#include "engine/peripheral/InputDevice.h"
#include "engine/peripheral/KeyCodes.h"
#include "engine/peripheral/PadRecord.h"
#include "game/core/ConfigBlock.h"

using namespace Mireku::Peripheral;

namespace {

constexpr uint32_t kNone = 0xFFFFFFFFu;

// How each logical button is made: its virtual button, its fixed keys, and
// the configuration action whose pad codes it takes (all four, or only the
// first).
struct LogicalButton {
    uint32_t mask;
    uint32_t virtualButton;
    uint32_t keys[2];
    uint32_t action;
    bool firstCodeOnly;
};

constexpr LogicalButton kButtons[] = {
    {InputManager::kUp, 16, {kKeyUp, kKeyNumpad8}, 0, false},
    {InputManager::kDown, 17, {kKeyDown, kKeyNumpad2}, 1, false},
    {InputManager::kLeft, 18, {kKeyLeft, kKeyNumpad4}, 3, false},
    {InputManager::kRight, 19, {kKeyRight, kKeyNumpad6}, 2, false},
    {InputManager::kAimUp, 20, {kNone, kNone}, kNone, false},
    {InputManager::kAimDown, 21, {kNone, kNone}, kNone, false},
    {InputManager::kAimLeft, 22, {kNone, kNone}, kNone, false},
    {InputManager::kAimRight, 23, {kNone, kNone}, kNone, false},
    {InputManager::kShot, 0, {kKeyZ, kNone}, 4, false},
    {InputManager::kExWeapon, 1, {kKeyX, kNone}, 6, false},
    {InputManager::kSubWeaponMode, 2, {kKeyC, kNone}, 7, false},
    {InputManager::kUnused11, 3, {kNone, kNone}, kNone, false},
    {InputManager::kPause, 4, {kKeyEscape, kNone}, 9, false},
    {InputManager::kSceneAction, 9, {kKeyA, kNone}, 8, true},
    {InputManager::kUnused14, 10, {kNone, kNone}, kNone, false},
    {InputManager::kSlow, 8, {kKeyV, kNone}, 5, true},
};

// The sub-weapon aims sit on the right stick whatever the configuration says.
constexpr uint32_t kAimPadCodes[4] = {
    PadRecord::NegativeCode(5), // up
    PadRecord::PositiveCode(5), // down
    PadRecord::NegativeCode(4), // left
    PadRecord::PositiveCode(4), // right
};
constexpr uint32_t kFirstAimButton = 20;
constexpr uint32_t kFirstDirectionButton = 16;

} // namespace

bool InputManager::BindFromConfig() {
    return BindFromConfig(ConfigBlock::Defaults());
}

bool InputManager::BindFromConfig(const uint8_t* config) {
    InputDevice* input = InputDevice::GetInstance();
    if (!input || !config)
        return false;
    VirtualButtonTable& table = input->GetVirtualButtons();
    record_ = table.AddRecord(ConfigBlock::ReadU32(config, ConfigBlock::kOffsetPadNumber));
    if (record_ == VirtualButtonTable::kNoRecord)
        return false;
    for (const LogicalButton& b : kButtons) {
        for (uint32_t key : b.keys)
            if (key != kNone)
                table.BindKey(record_, b.virtualButton, key);
        if (b.action == kNone)
            continue;
        const uint32_t slots = b.firstCodeOnly ? 1 : ConfigBlock::kCodesPerAction;
        for (uint32_t s = 0; s < slots; ++s) {
            // -1 is "none"; anything else outside the pad codes can only come
            // from a damaged file and is treated the same.
            const int32_t code = ConfigBlock::Binding(config, b.action, s);
            if (code >= 0 && static_cast<uint32_t>(code) < PadRecord::kControlCount)
                table.BindPad(record_, b.virtualButton, static_cast<uint32_t>(code));
        }
    }
    for (uint32_t i = 0; i < 4; ++i)
        table.BindPad(record_, kFirstAimButton + i, kAimPadCodes[i]);
    for (uint32_t i = 0; i < 4; ++i)
        table.EnableRepeat(record_, kFirstDirectionButton + i);
    lockCount_ = 0;
    return true;
}

void InputManager::Update() {
    triggered_ = 0;
    released_ = 0;
    held_ = 0;
    const InputDevice* input = InputDevice::GetInstance();
    if (!input)
        return;
    const VirtualButtonTable& table = input->GetVirtualButtons();
    for (const LogicalButton& b : kButtons) {
        const VirtualButton* vb = table.GetButton(record_, b.virtualButton);
        if (!vb)
            continue;
        if (vb->IsPressed())
            triggered_ |= b.mask;
        if (vb->IsReleased())
            released_ |= b.mask;
        if (vb->IsHeld())
            held_ |= b.mask;
    }
}
