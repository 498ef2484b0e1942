// The track morph of a particle: another unit's tracks played on top of the
// particle's own values, and the completion that puts its own values back.
#include "effects/Core/Resource/ColorProperty.h"
#include "effects/Core/Resource/FloatTripleProperty.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/UnitResource.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/NodeEventBlock.h"
#include "effects/units/ParticleInstance.h"
#include "sys/bytes.h"

#include <cstring>

namespace FulgorCore {

namespace {

// Entry bytes of a kind-0 event.
constexpr uint32_t kUnitIndexByte = 6;
constexpr uint32_t kScaleSwitch = 7;
constexpr uint32_t kRotationSwitch = 8;
constexpr uint32_t kTranslationSwitch = 9;
constexpr uint32_t kColorSwitch = 10;
constexpr uint32_t kReplaceSwitch = 11;
constexpr uint32_t kDurationOffset = 12;

void Copy3(float* out, const float* in) {
    std::memcpy(out, in, 3 * sizeof(float));
}

// A three-component track the unit animates: one whose values are not all
// zero (a unit without that aspect writes none).
const FloatTripleProperty* TakeTrack(bool wanted, const FloatTripleProperty& track,
                                     Xorshift128& random, float* samples) {
    if (!wanted || track.IsZero())
        return nullptr;
    track.SampleRandom(random, samples);
    return &track;
}

// A colour the unit animates: one with a gradient or a channel that is not
// always 1.
const ColorProperty* TakeColor(bool wanted, const ColorProperty& color, Xorshift128& random,
                               float* samples) {
    if (!wanted || (color.GetChannelFlags() == 0 && color.GetGradient().GetKeyCount() == 0))
        return nullptr;
    color.SampleRandom(random, samples);
    return &color;
}

// One three-component track onto `value`: its value in place of it, or,
// from the base when the aspect is restored, combined with it.
void ApplyTrack(const FloatTripleProperty* track, const float* samples, const EvaluationContext& at,
                Xorshift128& random, bool replace, bool restore, const float* base, float* value,
                bool product) {
    if (!track)
        return;
    if (replace) {
        track->Evaluate(at, samples, random, value);
        return;
    }
    if (restore)
        Copy3(value, base);
    float v[3];
    track->Evaluate(at, samples, random, v);
    for (int i = 0; i < 3; ++i)
        value[i] = product ? value[i] * v[i] : value[i] + v[i];
}

} // namespace

void ParticleInstance::MorphTracks(ParticleInstance* target,
                                   const UnitTimelineResource::Item& entry) {
    // A particle whose data takes no events has no block for the morph:
    // it is left alone rather than written through null.
    NodeEventBlock* block = target->postedEvents;
    const PackageResource* package = target->owner->package;
    const int8_t index = static_cast<int8_t>(entry.bytes[kUnitIndexByte]);
    const UnitResource* unit =
        package && index >= 0 ? package->GetUnit(static_cast<uint32_t>(index)) : nullptr;
    if (!block || !unit)
        return;
    if (target->trackMorphMember == StepTrackMorph)
        EndTrackMorph(target);
    TrackMorph& morph = block->morph;
    Xorshift128& random = target->owner->random;
    morph.scaleTrack =
        TakeTrack(entry.bytes[kScaleSwitch] != 0, unit->GetScale(), random, morph.scaleSamples);
    morph.rotationTrack = TakeTrack(entry.bytes[kRotationSwitch] != 0, unit->GetRotation(), random,
                                    morph.rotationSamples);
    morph.translationTrack = TakeTrack(entry.bytes[kTranslationSwitch] != 0, unit->GetPosition(),
                                       random, morph.translationSamples);
    morph.colorTrack =
        TakeColor(entry.bytes[kColorSwitch] != 0, unit->GetColor(), random, morph.colorSamples);
    morph.time = 0.0f;
    morph.duration =
        static_cast<float>(static_cast<int16_t>(sys::LoadU16(entry.bytes + kDurationOffset)));
    morph.replace = entry.bytes[kReplaceSwitch] != 0 ? 1 : 0;
    const bool any =
        morph.scaleTrack || morph.rotationTrack || morph.translationTrack || morph.colorTrack;
    target->trackMorphMember = any ? StepTrackMorph : NoOpWithArgument;
}

void ParticleInstance::StepTrackMorph(ParticleInstance* node, const UnitClock&) {
    NodeEventBlock& block = *node->postedEvents;
    TrackMorph& morph = block.morph;
    const EvaluationContext at{morph.time, morph.time};
    morph.time += node->lastStep;
    if (morph.duration > 0.0f && morph.time >= morph.duration) {
        EndTrackMorph(node);
        return;
    }
    Xorshift128& random = node->owner->random;
    const bool replace = morph.replace != 0;
    const uint8_t* restore = block.constant;
    // Scale and colour combine by product, rotation and translation by sum.
    ApplyTrack(morph.scaleTrack, morph.scaleSamples, at, random, replace,
               restore[NodeEventBlock::kScale], block.scale, node->scale, true);
    ApplyTrack(morph.rotationTrack, morph.rotationSamples, at, random, replace,
               restore[NodeEventBlock::kRotation], block.rotation, node->rotation, false);
    ApplyTrack(morph.translationTrack, morph.translationSamples, at, random, replace,
               restore[NodeEventBlock::kTranslation], block.translation, node->position, false);
    if (morph.colorTrack) {
        float* color = node->transformBlock->color;
        if (replace) {
            morph.colorTrack->Evaluate(at, morph.colorSamples, random, color);
        } else {
            if (restore[NodeEventBlock::kColour])
                std::memcpy(color, block.colour, sizeof(block.colour));
            float v[4];
            morph.colorTrack->Evaluate(at, morph.colorSamples, random, v);
            for (int i = 0; i < 4; ++i)
                color[i] *= v[i];
        }
    }
}

void ParticleInstance::EndTrackMorph(ParticleInstance* node) {
    // Every flagged aspect goes back, whichever tracks the morph had.
    const NodeEventBlock& block = *node->postedEvents;
    if (block.constant[NodeEventBlock::kScale])
        Copy3(node->scale, block.scale);
    if (block.constant[NodeEventBlock::kRotation])
        Copy3(node->rotation, block.rotation);
    if (block.constant[NodeEventBlock::kTranslation])
        Copy3(node->position, block.translation);
    if (block.constant[NodeEventBlock::kColour])
        std::memcpy(node->transformBlock->color, block.colour, sizeof(block.colour));
    node->trackMorphMember = NoOpWithArgument;
}

} // namespace FulgorCore
