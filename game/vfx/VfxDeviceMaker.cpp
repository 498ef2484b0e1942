#include "game/vfx/VfxDeviceMaker.h"

#include "game/vfx/VfxDevice.h"

namespace {

FulgorCore::IDevice* MakeVfxDevice() {
    return new VfxDevice();
}

VfxDeviceMaker::Maker g_maker = MakeVfxDevice;

} // namespace

FulgorCore::IDevice* VfxDeviceMaker::Make() {
    return g_maker();
}

void VfxDeviceMaker::Install(Maker maker) {
    g_maker = maker ? maker : MakeVfxDevice;
}
