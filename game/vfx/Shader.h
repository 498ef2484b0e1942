#pragma once

#include "effects/Core/Interface/IShader.h"
#include "game/vfx/HostObject.h"
#include "game/vfx/ShaderObject.h"

// A material's shader pair handed to the effects runtime: the holder of its
// ShaderObject, which it keeps alive until it goes itself.
class Shader : public HostObject<FulgorCore::IShader, ShaderObject> {
public:
    using HostObject::HostObject;
};
