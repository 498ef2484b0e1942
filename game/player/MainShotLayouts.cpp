#include "game/player/MainShotLayouts.h"

namespace MainShotLayouts {

namespace {

constexpr uint8_t A = 0, B = 1, C = 2;

constexpr Shot kLayout0Power0[] = {{A, 0, 0, 0, 0, -16, 0}, {A, 0, 1, 0, 0, 16, 0}};
constexpr Shot kLayout0Power1[] = {
    {A, 1, 0, 0, 0, 0, 0}, {B, 1, 2, 1, 6, 16, 0}, {B, 1, 3, 1, -6, -16, 0}};
constexpr Shot kLayout0Power2[] = {{A, 2, 0, 0, 0, 16, 0},
                                   {A, 2, 1, 0, 0, -16, 0},
                                   {B, 2, 2, 1, 6, 16, 0},
                                   {B, 2, 3, 1, -6, -16, 0},
                                   {C, 2, 6, 2, 180, 0, 0}};
constexpr Shot kLayout0Power3[] = {{A, 3, 0, 0, 0, -16, 0},   {A, 3, 1, 0, 0, 16, 0},
                                   {B, 3, 2, 1, -12, -16, 0}, {B, 3, 3, 2, 12, 16, 0},
                                   {B, 3, 4, 4, 152, 16, 0},  {B, 3, 5, 5, 208, -16, 0},
                                   {C, 3, 6, 3, 24, 16, 0},   {C, 3, 7, 3, -24, -16, 0},
                                   {C, 3, 8, 6, 180, -16, 0}, {C, 3, 9, 6, 180, 16, 0}};

constexpr Shot kLayout1Power0[] = {
    {A, 0, 0, 0, 0, 0, 0}, {B, 0, 1, 1, -2, -16, 0}, {B, 0, 2, 1, 2, 16, 0}};
constexpr Shot kLayout1Power1[] = {
    {A, 1, 0, 0, 0, 0, 0}, {B, 2, 3, 1, -2, -16, 0}, {B, 2, 4, 1, 2, 16, 0}};
constexpr Shot kLayout1Power2[] = {{A, 2, 0, 0, 0, 0, 0},   {B, 2, 1, 1, -2, -16, 0},
                                   {B, 2, 2, 1, 2, 16, 0},  {C, 2, 3, 1, -4, -16, 0},
                                   {C, 2, 4, 1, 4, 16, 0},  {C, 2, 5, 1, 180, -16, 0},
                                   {C, 2, 6, 1, 180, 16, 0}};
constexpr Shot kLayout1Power3[] = {{A, 3, 0, 0, 0, 0, 0},     {B, 3, 1, 1, -2, -16, 0},
                                   {B, 3, 2, 1, 2, 16, 0},    {C, 3, 3, 2, -4, -16, 0},
                                   {C, 3, 4, 2, 4, 16, 0},    {C, 3, 5, 2, -8, -16, 0},
                                   {C, 3, 6, 2, 8, 16, 0},    {C, 3, 7, 2, 180, 0, 0},
                                   {C, 3, 8, 2, 210, -16, 0}, {C, 3, 9, 2, 150, 16, 0}};

constexpr Shot kLayout2Power0[] = {{A, 0, 0, 0, 0, 0, 0}};
constexpr Shot kLayout2Power1[] = {
    {A, 1, 0, 0, 0, 0, 0}, {B, 2, 2, 1, -28, -16, 0}, {B, 2, 3, 1, 28, 16, 0}};
constexpr Shot kLayout2Power2[] = {{A, 2, 0, 0, 0, 0, 0},     {B, 2, 2, 1, -28, -16, 0},
                                   {B, 2, 3, 1, 28, 16, 0},   {B, 2, 4, 1, 180, 0, 0},
                                   {C, 2, 6, 1, -90, -16, 0}, {C, 2, 7, 1, 90, 16, 0}};
constexpr Shot kLayout2Power3[] = {{A, 3, 0, 0, 0, -16, 0},   {A, 3, 1, 0, 0, 16, 0},
                                   {B, 3, 2, 1, -28, -16, 0}, {B, 3, 3, 1, 28, 16, 0},
                                   {B, 3, 4, 2, 186, -16, 0}, {B, 3, 5, 2, 174, 16, 0},
                                   {C, 3, 6, 3, -90, -16, 0}, {C, 3, 7, 3, 90, 16, 0}};

constexpr Shot kLayout3Power0[] = {
    {A, 0, 0, 0, 0, 0, 0}, {B, 0, 5, 1, -6, -16, 0}, {B, 0, 6, 1, 6, 16, 0}};
constexpr Shot kLayout3Power1[] = {{A, 1, 0, 0, 0, 0, 0},
                                   {B, 1, 5, 1, -6, 0, 0},
                                   {B, 1, 6, 1, 6, 0, 0},
                                   {B, 1, 7, 1, -14, -16, 0},
                                   {B, 1, 8, 1, 14, 16, 0}};
constexpr Shot kLayout3Power2[] = {
    {A, 2, 0, 0, 0, 0, 0},     {B, 2, 5, 1, -6, 0, 0},    {B, 2, 6, 1, 6, 0, 0},
    {B, 2, 7, 1, -24, -20, 8}, {B, 2, 8, 1, 24, 20, 8},   {C, 2, 9, 2, -16, -20, 8},
    {C, 2, 10, 2, 16, 20, 8},  {C, 2, 9, 2, -32, -20, 8}, {C, 2, 10, 2, 32, 20, 8},
    {C, 2, 9, 2, 180, -16, 0}, {C, 2, 10, 2, 180, 16, 0}};
constexpr Shot kLayout3Power3[] = {
    {A, 3, 0, 0, 0, 0, 0},      {A, 3, 1, 0, -24, -20, 8},  {A, 3, 2, 0, 24, 20, 8},
    {A, 3, 3, 0, 192, -16, 0},  {A, 3, 4, 0, 168, 16, 0},   {B, 3, 5, 1, 0, -16, 0},
    {B, 3, 6, 1, 0, 16, 0},     {C, 3, 9, 2, -8, -20, 8},   {C, 3, 10, 2, 8, 20, 8},
    {C, 3, 11, 2, -16, -20, 8}, {C, 3, 12, 2, 16, 20, 8},   {C, 3, 13, 2, -32, -20, 8},
    {C, 3, 14, 2, 32, 20, 8},   {C, 3, 15, 2, -40, -20, 8}, {C, 3, 16, 2, 40, 20, 8},
    {C, 3, 17, 2, 180, -16, 0}, {C, 3, 18, 2, 180, 16, 0},  {C, 3, 19, 2, 204, -16, 0},
    {C, 3, 20, 2, 156, 16, 0}};

template <uint32_t N> constexpr Volley V(const Shot (&shots)[N]) {
    return {shots, N};
}

constexpr Volley kVolleys[kLayouts][kPowerLevels] = {
    {V(kLayout0Power0), V(kLayout0Power1), V(kLayout0Power2), V(kLayout0Power3)},
    {V(kLayout1Power0), V(kLayout1Power1), V(kLayout1Power2), V(kLayout1Power3)},
    {V(kLayout2Power0), V(kLayout2Power1), V(kLayout2Power2), V(kLayout2Power3)},
    {V(kLayout3Power0), V(kLayout3Power1), V(kLayout3Power2), V(kLayout3Power3)},
};

constexpr Ship kShipTable[kShips] = {
    {0, 0, 91, 19}, {1, 1, 92, 92}, {2, 2, 93, 93}, {3, 3, 94, 94}, {0, 0, 95, 95}, {1, 1, 96, 96},
};

} // namespace

Volley Of(uint32_t layout, uint32_t power) {
    if (layout >= kLayouts || power >= kPowerLevels)
        return {nullptr, 0};
    return kVolleys[layout][power];
}

const Ship* ShipOf(int32_t ship) {
    return ship >= 0 && ship < static_cast<int32_t>(kShips) ? &kShipTable[ship] : nullptr;
}

} // namespace MainShotLayouts
