#include "game/core/PlayerWork.h"

#include "game/core/GlobalWork.h"
#include "game/core/RandomManager.h"

#include <limits>

namespace {

constexpr int32_t kExtendVoice = 20;
constexpr int32_t kGaugeFullSound = 25;

} // namespace

void PlayerWork::AddScore(int64_t amount) {
    constexpr uint64_t kMost = std::numeric_limits<uint64_t>::max();
    const uint64_t magnitude =
        amount < 0 ? 0 - static_cast<uint64_t>(amount) : static_cast<uint64_t>(amount);
    if (amount < 0)
        score = magnitude < score ? score - magnitude : 0;
    else
        score = magnitude < kMost - score ? score + magnitude : kMost;
    GlobalWork* gw = GlobalWork::GetInstance();
    const SystemParamRow* row = gw ? gw->GetSystemRow() : nullptr;
    if (row && row->extendsOn != 0 && score >= nextExtend) {
        Extend();
        const auto widen = [](int32_t v) { return static_cast<uint64_t>(static_cast<int64_t>(v)); };
        if (extends == 1)
            nextExtend = widen(row->secondExtend);
        else if (extends == 2)
            nextExtend = widen(row->thirdExtend);
        else
            nextExtend += widen(row->extendStep);
    }
    if (score > hiScore)
        hiScore = score;
}

void PlayerWork::Extend() {
    uint32_t r = 0;
    if (RandomManager* random = RandomManager::GetInstance())
        r = random->Next(RandomManager::kPresentation);
    if (GlobalWork* gw = GlobalWork::GetInstance())
        gw->PlayVoice(ship, kExtendVoice + static_cast<int32_t>(r & 1));
    AddLives(1);
    if (extends != kMaxCounter)
        ++extends;
}

void PlayerWork::AddLives(int32_t n) {
    int32_t v = lives + n;
    lives = static_cast<int16_t>(v > kMaxLives ? kMaxLives : v);
}

uint8_t PlayerWork::AddContinue() {
    if (continues != kMaxCounter)
        ++continues;
    return continues;
}

void PlayerWork::AddBarionGauge(int32_t n) {
    GlobalWork* gw = GlobalWork::GetInstance();
    if (!gw)
        return;
    const int16_t max = gw->BarionGaugeMax(*this);
    if (barionGauge >= max)
        return;
    int32_t v = barionGauge + n;
    if (v >= max) {
        barionGauge = max;
        gw->PlaySound(kGaugeFullSound);
    } else {
        barionGauge = static_cast<int16_t>(v);
    }
}

void PlayerWork::AddHyperioGauge(int32_t n) {
    GlobalWork* gw = GlobalWork::GetInstance();
    const int16_t max = gw ? gw->HyperioGaugeMax(*this) : 0;
    int32_t v = hyperioGauge + n;
    hyperioGauge = static_cast<int16_t>(v > max ? max : v);
}
