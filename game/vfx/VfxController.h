#pragma once

#include "engine/common/Singleton.h"
#include "engine/common/SingletonObject.h"

#include <cstdint>

class VfxData;
class VfxInstance;

// The game's owner of the effects runtime: it sets the fixed camera every
// frame, advances the effects and has them drawn.
class VfxController : public Mireku::Common::SingletonObject,
                      public Mireku::Common::Singleton<VfxController> {
public:
    static constexpr float kFieldOfView = 0.5235988f; // 30 degrees
    static constexpr float kNear = 0.1f;
    static constexpr float kFar = 1000.0f;

    // Makes the instance CreateInstance hands out (tests put doubles in).
    using InstanceMaker = VfxInstance* (*)(VfxData* data);

    // The singleton's own creation stays reachable beside the instance
    // maker below.
    using Mireku::Common::Singleton<VfxController>::CreateInstance;

    VfxController() = default;
    // Instances still alive are let go of: they outlive the controller
    // unstepped.
    ~VfxController() override;

    // Sets the scale to 1; the caller ignores the result.
    bool Initialize();
    // The camera of a 1280 by 720 screen: identity view, right-handed
    // perspective projection (row vectors, translation in the fourth row).
    void UpdateCamera();
    // An effect file image under the scene's name for it; null for an empty
    // image. The caller releases the result.
    VfxData* LoadData(const void* image, uint32_t size, const char* name);
    // A new instance of `data` (null for null data), stepped every frame
    // until it is released. The caller releases the result.
    VfxInstance* CreateInstance(VfxData* data);
    void SetInstanceMaker(InstanceMaker maker) { maker_ = maker; }

    // Advances the live effect instances by one frame.
    void Update();
    // Hands the camera to the runtime's draw.
    void Draw();
    // The frame's effects: camera, instances, the runtime's draw, then its
    // layer 0 under the sprite layers and its layer 1 over the game layers.
    void RunFrame();
    // Shuts the runtime down and deletes what the controller owns.
    void Finalize();

    uint32_t GetScreenWidth() const { return screenWidth_; }
    uint32_t GetScreenHeight() const { return screenHeight_; }
    const float* GetView() const { return &view_[0][0]; }
    const float* GetProjection() const { return &projection_[0][0]; }
    float GetScale() const { return scale_; }

private:
    friend class VfxInstance;
    // Takes a dying instance off the live list.
    void Forget(VfxInstance* instance);

    VfxInstance* live_ = nullptr;
    InstanceMaker maker_ = nullptr;
    float scale_ = 0.0f;
    uint32_t screenWidth_ = 0;
    uint32_t screenHeight_ = 0;
    float view_[4][4] = {};
    float projection_[4][4] = {};
};
