#pragma once

#include "engine/common/ReferenceCountObject.h"

#include <cstdint>

// A host object the effects runtime reaches through one of its interfaces
// and the engine holds as a reference-counted object: both views count on
// the engine object's one word, so a Release through either may delete it,
// once.
template <class Interface>
class CountedInterface : public Interface, public Mireku::Common::ReferenceCountObject {
public:
    uint32_t AddRef() override { return ReferenceCountObject::AddRef(); }
    uint32_t Release() override { return ReferenceCountObject::Release(); }
};
