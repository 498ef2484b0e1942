// The effects runtime started over the effects device of a GL pixel test,
// so that what the runtime draws can be read back; finalized before the
// device goes.
#pragma once

#include "support/effects/RuntimeStartup.h"
#include "support/vfx/VfxDeviceRig.h"

#include "effects/Core/Engine/Engine.h"

namespace testsupport {

class EnginePixelTest : public VfxPixelTest {
protected:
    void SetUp() override {
        VfxPixelTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        runtime.parameter.pDevice = device;
        ASSERT_TRUE(runtime.Start());
    }
    void TearDown() override {
        FulgorCore::Engine::Finalize();
        VfxPixelTest::TearDown();
    }

    RuntimeStartup runtime;
};

} // namespace testsupport
