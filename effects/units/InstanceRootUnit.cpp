#include "effects/units/InstanceRootUnit.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Interface/ILightListenner.h"
#include "effects/Core/Math/FastRoot.h"
#include "effects/Core/Math/FloatConversion.h"
#include "effects/Core/Math/Matrix.h"
#include "effects/Core/Memory/FrameWorkMemory.h"
#include "effects/Core/Resource/BindResource.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/TimelineResource.h"
#include "effects/Core/Resource/UnitResource.h"
#include "effects/render/Renderer.h"
#include "effects/units/ChildInstanceTable.h"
#include "effects/units/DrawLists.h"
#include "effects/units/NodeSharedBlock.h"
#include "effects/units/TimelineUnit.h"
#include "effects/units/UnitCreators.h"

#include <cmath>
#include <cstddef>
#include <cstring>

namespace FulgorCore {

namespace {

constexpr float kPi = 3.1415927f;
constexpr float kTwoPi = 6.2831855f;
constexpr float kHalfPi = 1.5707964f;
constexpr float kPole = 0.999999f;
constexpr float kThird = 0.33333334f;

// A shared-state mode in the file indexes this table; values past it have
// no mode.
constexpr uint8_t kSharedModeValues[] = {0, 1, 2, 4, 8};
constexpr uint32_t kSharedModeCount = sizeof(kSharedModeValues);

static_assert(offsetof(ChildInstanceTable, hint) + sizeof(uint32_t) == 516,
              "16 colours, handles and roots, then the hint");
static_assert(sizeof(ChildInstanceTable) <= kUnitBlockSize);
static_assert(sizeof(NodeSharedBlock) <= kUnitBlockSize);
static_assert(sizeof(InstanceRootUnit) <= kUnitBlockSize);

float Wrapped(float angle) {
    if (angle >= kPi)
        return angle - kTwoPi;
    if (angle <= -kPi)
        return angle + kTwoPi;
    return angle;
}

void* TakeZeroedBlock(uint32_t size) {
    void* block = Engine::GetUnitInstancePool().Allocate();
    if (block)
        std::memset(block, 0, size);
    return block;
}

} // namespace

InstanceRootUnit::InstanceRootUnit(const PackageResource* package, const InitialState& start,
                                   IInstanceListenner* listener, const float* hostMatrix,
                                   uint32_t seed, uint16_t instanceFlags)
    : UnitInstance(this, start), instanceFlags(instanceFlags), package(package),
      listener(listener) {
    parent = nullptr;
    Math::Matrix34Identity(worldMatrix);
    Math::Matrix34Identity(inverseWorldMatrix);
    Math::Matrix34Identity(rotationMatrix);
    random.Seed(seed);
    drawLists = static_cast<DrawLists*>(TakeZeroedBlock(sizeof(DrawLists)));
    if (!drawLists) {
        Finish();
        return;
    }
    SetWorldMatrix(hostMatrix);
    SelectFadeMembers();
    sorted = package && package->GetDOT() >= 2 ? 1 : 0;
}

InstanceRootUnit::~InstanceRootUnit() {
    UnitInstancePool& pool = Engine::GetUnitInstancePool();
    if (childInstances) {
        for (InstanceRootUnit* child : childInstances->roots)
            if (child)
                child->parentRoot = nullptr;
        childInstances->KillChildren();
        pool.Free(childInstances);
        childInstances = nullptr;
    }
    if (parentRoot)
        parentRoot->OnChildInstanceEnded(this);
    // The shared and draw-list blocks go back before the children, so the
    // pool hands the children's blocks out first again. The root forgets
    // them first: a child going after them finds no table to lower its
    // counts in, rather than a block that is no longer the root's.
    void* shared = sharedBlock;
    DrawLists* lists = drawLists;
    sharedBlock = nullptr;
    drawLists = nullptr;
    pool.Free(shared);
    pool.Free(lists);
    while (UnitInstance* child = firstChild) {
        firstChild = child->nextSibling;
        delete child;
    }
    lastChild = nullptr;
}

void InstanceRootUnit::Start() {
    // A root that could not take its draw lists has ended: it builds nothing.
    if (!alive || !package)
        return;
    for (uint32_t i = 0; i < kTimelinePlaces; ++i)
        StartTimeline(*package->GetAssignment(i), static_cast<int8_t>(i + 1));
    const uint32_t modes[kSharedModes] = {package->GetPCo1(), package->GetPCo2(),
                                          package->GetPCo3(), package->GetPCo4()};
    bool shared = false;
    for (uint32_t k = 0; k < kSharedModes; ++k) {
        sharedModes[k] = modes[k] < kSharedModeCount ? kSharedModeValues[modes[k]] : 0;
        shared = shared || sharedModes[k] != 0;
    }
    if (shared)
        sharedBlock = TakeZeroedBlock(sizeof(NodeSharedBlock));
}

void InstanceRootUnit::StartTimeline(const PartAssignment& entry, int8_t id) {
    // An index past the package's tables starts nothing, as an empty entry.
    if (entry.timeline < 0)
        return;
    const uint32_t index = static_cast<uint32_t>(entry.timeline);
    const TimelineResource* timeline = package->GetTimeline(index);
    if (!timeline)
        return;
    const float length = timeline->GetLength();
    if (entry.bind < 0) {
        AddChild(Create<TimelineUnit>(this, TimelineUnit::StateFor(this, length), timeline, id));
        return;
    }
    const BindResource* binding = package->GetBind(static_cast<uint32_t>(entry.bind));
    if (!binding)
        return;
    // The binding's "Life" frames play within the timeline's length.
    const float bound = static_cast<float>(binding->GetLife());
    InitialState state;
    state.parent = this;
    if (length <= 0.0f) {
        state.speed = 1.0f;
        state.lifetime = bound;
        state.timeMode = kEndless;
    } else {
        state.speed = bound / length;
        state.lifetime = length;
        state.timeMode = kEndAtTime;
    }
    CreateChildren(binding, state, id, index);
}

void InstanceRootUnit::StartExtraTimeline(int32_t n) {
    if (n < 1 || n > static_cast<int32_t>(kExtraTimelines) || !package)
        return;
    StartTimeline(*package->GetTrigger(static_cast<uint32_t>(n - 1)), static_cast<int8_t>(-n));
}

void InstanceRootUnit::Step() {
    std::memcpy(currentColor, baseColor, sizeof(currentColor));
    if (const EngineWorkData* work = Engine::GetWorkData()) {
        if (ILightListenner* light = work->lightListenner) {
            const uint32_t intervalA =
                work->lightQueryInterval[0] ? work->lightQueryInterval[0] : 1;
            const uint32_t intervalB =
                work->lightQueryInterval[1] ? work->lightQueryInterval[1] : 1;
            const uint32_t parameterA = package ? package->GetDLT() : 0;
            const uint32_t parameterB = package ? package->GetELT() : 0;
            if (lightCounterA++ % intervalA == 0)
                light->QueryLightA(parameterA, &worldMatrix[9], lightResultA);
            if (lightCounterB++ % intervalB == 0)
                light->QueryLightB(parameterB, &worldMatrix[9], lightResultB);
        }
    }
    if (childUpdateMember != NoOp)
        childUpdateMember(this);
}

void InstanceRootUnit::Evaluate() {
    extraUnits.Clear();
    publishedDirection = nullptr;
    publishedInverseMatrix = nullptr;
    publishedRange = nullptr;
    UnitInstance::Evaluate();
    distanceFadeMember(this);
    angleFadeMember(this);
    if (!drawLists)
        return;
    // Nothing registered and no array left from the last frame: nothing to
    // take or to clear.
    uint32_t registered = 0;
    for (const auto& lists : drawLists->capacities)
        for (uint32_t capacity : lists)
            registered |= capacity;
    if (registered == 0 && !drawListsTaken)
        return;
    drawListsTaken = registered != 0;
    FrameWorkMemory& frame = Engine::GetFrameWorkMemory();
    for (uint32_t c = 0; c < DrawLists::kCategories; ++c) {
        for (uint32_t l = 0; l < DrawLists::kLists; ++l) {
            const uint64_t bytes = uint64_t{drawLists->capacities[c][l]} * sizeof(DrawListEntry);
            drawLists->arrays[c][l] =
                bytes != 0 && bytes <= UINT32_MAX
                    ? static_cast<DrawListEntry*>(frame.Allocate(static_cast<uint32_t>(bytes)))
                    : nullptr;
            drawLists->sizes[c][l] = drawLists->arrays[c][l] ? drawLists->capacities[c][l] : 0;
        }
    }
}

void InstanceRootUnit::DrawCategory(uint32_t category) {
    if (!drawLists || category >= DrawLists::kCategories)
        return;
    CollectDrawLists();
    DrawCollected(category);
}

void InstanceRootUnit::CollectDrawLists() {
    if (!drawLists)
        return;
    std::memset(drawLists->fillCounts, 0, sizeof(drawLists->fillCounts));
    Collect();
}

void InstanceRootUnit::SetColor(const float* rgba) {
    const float packageColor[4] = {
        package ? package->GetColorR() : 1.0f, package ? package->GetColorG() : 1.0f,
        package ? package->GetColorB() : 1.0f, package ? package->GetColorA() : 1.0f};
    for (int i = 0; i < 4; ++i)
        baseColor[i] = packageColor[i] * rgba[i];
    if (!childInstances)
        return;
    for (uint32_t place = 0; place < ChildInstanceTable::kPlaces; ++place) {
        if (InstanceRootUnit* child = childInstances->roots[place]) {
            float colour[4];
            for (int i = 0; i < 4; ++i)
                colour[i] = childInstances->colour[place][i] * rgba[i];
            child->SetColor(colour);
        }
    }
}

void InstanceRootUnit::SetWorldMatrix(const float* matrix34) {
    const float* local = package ? package->GetRootTransform() : Math::kIdentity34;
    Math::Matrix34Multiply(worldMatrix, local, matrix34);
    const float* m = worldMatrix;
    for (int row = 0; row < 3; ++row) {
        const float* r = &m[row * 3];
        axisLengths[row] = Math::ApproxSqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
    }
    meanAxisLength = (axisLengths[0] + axisLengths[1] + axisLengths[2]) * kThird;
    // Angles about X, Y and Z; at the poles of X the Y angle is 0.
    const float r21 = m[7];
    if (r21 >= kPole) {
        eulerAngles[0] = kHalfPi;
        eulerAngles[1] = 0.0f;
        eulerAngles[2] = std::atan2(m[3], m[0]);
    } else if (r21 <= -kPole) {
        eulerAngles[0] = -kHalfPi;
        eulerAngles[1] = 0.0f;
        eulerAngles[2] = std::atan2(-m[3], m[0]);
    } else {
        eulerAngles[0] = std::asin(r21);
        eulerAngles[1] = std::atan2(-m[6], m[8]);
        eulerAngles[2] = std::atan2(-m[1], m[4]);
    }
    for (float& angle : eulerAngles)
        angle = Wrapped(angle);
    std::memcpy(rotationMatrix, worldMatrix, 9 * sizeof(float));
    rotationMatrix[9] = rotationMatrix[10] = rotationMatrix[11] = 0.0f;
    Math::Matrix34Inverse(inverseWorldMatrix, worldMatrix);
    if (!childInstances)
        return;
    for (InstanceRootUnit* child : childInstances->roots)
        if (child)
            child->SetWorldMatrix(worldMatrix);
}

void InstanceRootUnit::SetLayer(uint8_t value) {
    layer = value;
    if (childInstances)
        childInstances->SetLayer(value);
}

int32_t InstanceRootUnit::GetCurrentFrame() const {
    return Math::TruncateToInt32(totalTime);
}

ParticleInstance* InstanceRootUnit::SpawnParticleInstance(UnitInstance* parent,
                                                          const UnitResource* unit,
                                                          const float* position, float lifetime,
                                                          float speed) {
    if (!unit)
        return nullptr;
    InitialState state;
    state.parent = parent;
    state.loopStart = unit->GetLoopStart();
    state.loopEnd = unit->GetLoopEnd();
    state.speed = speed;
    state.lifetime = lifetime;
    state.timeMode = lifetime > 0.0f ? kEndAtTime : kEndless;
    return UnitCreators::Current().particle(this, state, unit, position);
}

} // namespace FulgorCore
