#include "effects/Core/Value/FloatProperty.h"

#include "effects/Core/Data/BuildContext.h"
#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Data/RecordPlacement.h"
#include "effects/Core/Value/ValueConstant.h"
#include "effects/Core/Value/ValueCurve.h"
#include "effects/Core/Value/ValueEasing.h"
#include "effects/Core/Value/ValueLoop.h"

namespace FulgorCore {

namespace {

// The records a measuring walk reads into.
struct Scratch {
    ValueConstant constant;
    ValueEasing easing;
    ValueCurve curve;
    ValueCurve random;
    ValueLoop loop;
};

constexpr uint32_t kKinds = 4;

// The random start and the width of a record's range.
template <class T> void CopyRange(const T& record, float* range) {
    range[0] = record.GetRandomStart();
    range[1] = record.GetRandomEnd() - record.GetRandomStart();
}

} // namespace

template <class T>
float FloatProperty::EvaluateRecord(const FloatProperty& property, const EvaluationContext& context,
                                    float sample, Xorshift128& state) {
    return static_cast<const T*>(property.value_)->Evaluate(context, sample, state);
}

float FloatProperty::EvaluateCurve(const FloatProperty& property, const EvaluationContext& context,
                                   float sample, Xorshift128& state) {
    return static_cast<const ValueCurve*>(property.value_)
        ->Evaluate(context, sample, state, property.randomCurve_);
}

float FloatProperty::EvaluateNone(const FloatProperty&, const EvaluationContext&, float,
                                  Xorshift128&) {
    return 0.0f;
}

const FloatProperty::Evaluator FloatProperty::kEvaluators[5] = {
    EvaluateRecord<ValueConstant>, EvaluateRecord<ValueEasing>, EvaluateCurve,
    EvaluateRecord<ValueLoop>, EvaluateNone};

void FloatProperty::Read(const BuildContext& context, const void* payload, uint32_t size) {
    Scratch scratch;
    RuntimeDataAllocator& allocator = context.allocator;
    kind_ = kNone;
    value_ = nullptr;
    randomCurve_ = nullptr;
    // Writable views of the record being read.
    ValueConstant* constant = nullptr;
    ValueEasing* easing = nullptr;
    ValueCurve* curve = nullptr;
    ValueCurve* random = nullptr;
    ValueLoop* loop = nullptr;
    // A record whose value chunk never followed its "PrVT" is dropped.
    bool filled = false;

    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        switch (chunk.tag) {
        case MakeChunkTag("PrVT"): {
            const uint32_t kind = chunk.U8();
            constant = nullptr;
            easing = nullptr;
            curve = random = nullptr;
            loop = nullptr;
            filled = false;
            switch (kind) {
            case kConstant:
                value_ = constant = PlaceRecord(allocator, scratch.constant);
                break;
            case kEasing:
                value_ = easing = PlaceRecord(allocator, scratch.easing);
                break;
            case kCurve:
                value_ = curve = PlaceRecord(allocator, scratch.curve);
                randomCurve_ = random = PlaceRecord(allocator, scratch.random);
                break;
            case kLoop:
                value_ = loop = PlaceRecord(allocator, scratch.loop);
                break;
            default:
                value_ = nullptr;
                break;
            }
            kind_ = static_cast<uint8_t>(kind < kKinds && value_ ? kind : uint32_t{kNone});
            if (kind_ != kCurve)
                randomCurve_ = nullptr;
            if (kind_ == kCurve && !random)
                kind_ = kNone;
            break;
        }
        case MakeChunkTag("Cons"):
            if (constant) {
                constant->Read(chunk.payload, chunk.size);
                filled = true;
            }
            break;
        case MakeChunkTag("Easi"):
            if (easing) {
                easing->Read(chunk.payload, chunk.size);
                filled = true;
            }
            break;
        case MakeChunkTag("Loop"):
            if (loop) {
                loop->Read(chunk.payload, chunk.size);
                filled = true;
            }
            break;
        case MakeChunkTag("FCuV"):
            if (curve) {
                curve->Read(context, chunk.payload, chunk.size);
                filled = true;
            }
            break;
        case MakeChunkTag("FCuR"):
            if (random) {
                random->Read(context, chunk.payload, chunk.size);
                filled = true;
            }
            break;
        default:
            break;
        }
    }
    if (kind_ == kNone || !filled) {
        kind_ = kNone;
        value_ = nullptr;
        randomCurve_ = nullptr;
    }
    flags_ =
        static_cast<uint16_t>((HoldsValue(0.0f) ? kIsZero : 0u) | (HoldsValue(1.0f) ? kIsOne : 0u) |
                              (IsConstantOverTime() ? kIsConstant : 0u));
    // A measuring walk read into the scratch, which goes now.
    if (context.IsMeasuring()) {
        kind_ = kNone;
        value_ = nullptr;
        randomCurve_ = nullptr;
    }
    switch (kind_) {
    case kConstant:
        draw_ = kDrawsRange;
        CopyRange(*static_cast<const ValueConstant*>(value_), range_);
        break;
    case kLoop:
        draw_ = kDrawsRange;
        CopyRange(*static_cast<const ValueLoop*>(value_), range_);
        break;
    case kNone:
        draw_ = kDrawsNothing;
        break;
    default:
        draw_ = kDrawsTimed;
        break;
    }
}

bool FloatProperty::HoldsValue(float x) const {
    switch (kind_) {
    case kConstant: {
        const auto* v = static_cast<const ValueConstant*>(value_);
        return v->GetValue() == x && v->GetRandomStart() == 0.0f && v->GetRandomEnd() == 0.0f;
    }
    case kEasing: {
        const auto* v = static_cast<const ValueEasing*>(value_);
        return v->GetStartValue() == x && v->GetEndValue() == x &&
               v->GetRandomStart() == v->GetRandomEnd();
    }
    case kCurve:
        return static_cast<const ValueCurve*>(value_)->IsFlatAt(x) && randomCurve_->IsFlatAt(0.0f);
    case kLoop: {
        const auto* v = static_cast<const ValueLoop*>(value_);
        return v->GetBaseValue() == x && v->GetVelocity() == 0.0f &&
               v->GetRandomStart() == v->GetRandomEnd();
    }
    default:
        return x == 0.0f;
    }
}

bool FloatProperty::IsConstantOverTime() const {
    switch (kind_) {
    case kConstant: {
        const auto* v = static_cast<const ValueConstant*>(value_);
        return v->GetRandomStart() == v->GetRandomEnd();
    }
    case kEasing: {
        const auto* v = static_cast<const ValueEasing*>(value_);
        return v->GetStartValue() == v->GetEndValue() && v->GetRandomStart() == v->GetRandomEnd();
    }
    case kCurve:
        return static_cast<const ValueCurve*>(value_)->GetKeyCount() < 2 &&
               randomCurve_->IsFlatAt(0.0f);
    case kLoop: {
        const auto* v = static_cast<const ValueLoop*>(value_);
        return !v->IsMoving() && v->GetRandomStart() == v->GetRandomEnd();
    }
    default:
        return true;
    }
}

float FloatProperty::Evaluate(const EvaluationContext& context, float sample,
                              Xorshift128& state) const {
    return kEvaluators[kind_](*this, context, sample, state);
}

float FloatProperty::EvaluatePlain(const EvaluationContext& context) const {
    static Xorshift128 shared;
    return Evaluate(context, 0.0f, shared);
}

float FloatProperty::SampleRandomTimed(Xorshift128& state) const {
    // A curve draws through its random curve.
    return kind_ == kEasing ? static_cast<const ValueEasing*>(value_)->SampleRandom(state)
                            : randomCurve_->SampleRandom(state);
}

void FloatProperty::MultiplyValue(const EvaluationContext& context, float sample,
                                  Xorshift128& state, float& value) const {
    value *= Evaluate(context, sample, state);
}

void FloatProperty::MultiplyVector3(const EvaluationContext& context, float sample,
                                    Xorshift128& state, float* vector) const {
    const float v = Evaluate(context, sample, state);
    vector[0] *= v;
    vector[1] *= v;
    vector[2] *= v;
}

const ValueConstant* FloatProperty::GetConstant() const {
    return kind_ == kConstant ? static_cast<const ValueConstant*>(value_) : nullptr;
}
const ValueEasing* FloatProperty::GetEasing() const {
    return kind_ == kEasing ? static_cast<const ValueEasing*>(value_) : nullptr;
}
const ValueCurve* FloatProperty::GetValueCurve() const {
    return kind_ == kCurve ? static_cast<const ValueCurve*>(value_) : nullptr;
}
const ValueCurve* FloatProperty::GetRandomCurve() const {
    return kind_ == kCurve ? randomCurve_ : nullptr;
}
const ValueLoop* FloatProperty::GetLoop() const {
    return kind_ == kLoop ? static_cast<const ValueLoop*>(value_) : nullptr;
}

} // namespace FulgorCore
