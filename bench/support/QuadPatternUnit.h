// The draw unit the renderer's layer benchmark draws: a quad of 36-byte
// vertices (4 vertices, 6 indices) under the unit's state, written by the
// unit's own command with the pattern the rig's pattern units write (each
// vertex filled with the tag after the marker PatternMarker(tag, vertex);
// index i as base + i % 4). It is built as a real draw unit of one vertex
// format is: the reservation and the geometry function are fixed by its
// class, its draw reads the base's first line and the line of its command
// (which holds the tag too), and the geometry is written by copies of
// fixed sizes.
#pragma once

#include "support/effects/RenderRig.h"

#include "effects/drawunits/DrawCommand.h"
#include "effects/drawunits/DrawRenderer.h"
#include "effects/drawunits/DrawUnit.h"

#include <cstdint>
#include <cstring>

namespace bench {

class QuadPatternUnit final : public FulgorCore::DrawUnit {
public:
    static constexpr uint32_t kStride = 36;
    static constexpr uint32_t kVertices = 4;
    static constexpr uint32_t kIndices = 6;

    QuadPatternUnit(FulgorCore::ParticleInstance* owner, const FulgorCore::ParticleResource* data,
                    uint8_t unitTag)
        : DrawUnit(owner, data), command(this), tag(unitTag) {
        command.geometry = WritePattern;
    }
    void Update(const FulgorCore::DrawClock&) override {}
    void Draw() override {
        const FulgorCore::DrawRenderer& r = FulgorCore::DrawRenderer::Current();
        FulgorCore::DrawPayload& p = command.payload;
        if (r.ReservationOf<kStride>()(unitShader, &stateWord, textureBindings, usedTextureMask,
                                       &p.vertices, kVertices, &p.indices, &p.firstVertex,
                                       kIndices))
            r.submit(&command);
    }

    // On a line of their own after the base: in a pool block that starts on
    // a line, the command and the tag its geometry reads share one line.
    alignas(64) FulgorCore::DrawCommand command;
    uint8_t tag;

private:
    static void WritePattern(FulgorCore::DrawUnit* drawUnit, const FulgorCore::DrawPayload& p) {
        const uint8_t tag = static_cast<const QuadPatternUnit*>(drawUnit)->tag;
        const uint16_t b = p.firstVertex;
        const uint16_t indices[kIndices] = {b,
                                            static_cast<uint16_t>(b + 1),
                                            static_cast<uint16_t>(b + 2),
                                            static_cast<uint16_t>(b + 3),
                                            b,
                                            static_cast<uint16_t>(b + 1)};
        std::memcpy(p.indices, indices, sizeof indices);
        auto* v = static_cast<uint8_t*>(p.vertices);
        std::memset(v, tag, kVertices * kStride);
        for (uint32_t k = 0; k < kVertices; ++k) {
            const uint32_t marker = testsupport::PatternMarker(tag, k);
            std::memcpy(v + k * kStride, &marker, 4);
        }
    }
};
// The command starts a line and the tag follows it.
static_assert(sizeof(FulgorCore::DrawCommand) + 1 <= 64, "the command and the tag share one line");

} // namespace bench
