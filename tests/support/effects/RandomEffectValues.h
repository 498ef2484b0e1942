// Random legal contents for the effect-file writers: every field inside
// the range its reader keeps, so that a build must give each back.
#pragma once

#include "tools/effect/PropertyWriter.h"
#include "tools/effect/ValueWriter.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace testsupport {

class RandomEffectValues {
public:
    explicit RandomEffectValues(uint32_t seed) : rng_(seed) {}

    uint32_t Below(uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(rng_); }
    float Real(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng_); }
    bool Coin() { return Below(2) == 1; }
    std::mt19937& Engine() { return rng_; }

    effecttools::CurveValue Curve(uint32_t maxKeys) {
        effecttools::CurveValue c;
        c.randomType = Below(8);
        c.preBehaviour = Below(3);
        c.postBehaviour = Below(3);
        const uint32_t n = Below(maxKeys + 1);
        // Times in quarter frames, rising: a quarter is 25 hundredths exactly.
        int32_t hundredths = 25 * (static_cast<int32_t>(Below(8)) - 4);
        for (uint32_t i = 0; i < n; ++i) {
            c.keys.push_back({Below(3), static_cast<float>(hundredths) / 100.0f, Real(-5, 5),
                              Real(-2, 2), Real(-2, 2)});
            hundredths += 25 * (1 + static_cast<int32_t>(Below(12)));
        }
        return c;
    }

    effecttools::FloatValue Float() {
        switch (Below(4)) {
        case 0:
            return effecttools::ConstantValue{Real(-10, 10), Real(-1, 0), Real(0, 1)};
        case 1: {
            effecttools::EasingValue e;
            e.type = static_cast<uint8_t>(Below(23));
            e.preMode = Below(4);
            e.postMode = Below(4);
            e.timeOffset = Real(-10, 10);
            e.timeLength = Real(0.5f, 30);
            e.startValue = Real(-10, 10);
            e.endValue = Real(-10, 10);
            e.randomStart = Real(-1, 0);
            e.randomEnd = Real(0, 1);
            return e;
        }
        case 2:
            return effecttools::CurvesValue{Curve(6), Curve(3)};
        default: {
            const float minimum = Real(-5, 5);
            return effecttools::LoopValue{Real(-5, 5), Real(-3, 3),
                                          minimum,     minimum + Real(0.5f, 5),
                                          Real(-1, 0), Real(0, 1)};
        }
        }
    }

    effecttools::PairValue Pair() {
        effecttools::PairValue p;
        p.link = static_cast<uint16_t>(Below(3));
        if (p.link != 2)
            p.x = Float();
        if (p.link != 1)
            p.y = Float();
        return p;
    }

    effecttools::TripleValue Triple() {
        // Components read by link mode: bit 0 X, bit 1 Y, bit 2 Z.
        static const uint8_t kReads[10] = {7, 1, 6, 4, 5, 3, 6, 3, 6, 5};
        effecttools::TripleValue t;
        t.link = static_cast<uint16_t>(Below(10));
        if (kReads[t.link] & 1)
            t.x = Float();
        if (kReads[t.link] & 2)
            t.y = Float();
        if (kReads[t.link] & 4)
            t.z = Float();
        return t;
    }

    effecttools::ColorValue Color() {
        effecttools::ColorValue c;
        const uint32_t n = Below(5);
        int32_t time = static_cast<int32_t>(Below(20)) - 10;
        for (uint32_t i = 0; i < n; ++i) {
            c.gradient.keys.push_back({time, {Real(0, 1), Real(0, 1), Real(0, 1), Real(0, 1)}});
            time += 1 + static_cast<int32_t>(Below(30));
        }
        c.gradient.useTimeA = Coin();
        c.gradient.preBehaviour = Below(2);
        c.gradient.postBehaviour = Below(2);
        for (std::optional<effecttools::FloatValue>* channel :
             {&c.brightness, &c.red, &c.green, &c.blue, &c.alpha})
            *channel = Coin() ? effecttools::Constant(1.0f) : Float();
        return c;
    }

    // Each tag with a random word that fits its width (flags: 0 or 1).
    std::vector<effecttools::FieldValue>
    Fields(const std::vector<std::pair<std::string, int>>& tags) {
        std::vector<effecttools::FieldValue> fields;
        for (const auto& [tag, width] : tags)
            fields.push_back({tag, Below(1u << width)});
        return fields;
    }

    std::vector<int8_t> List(uint32_t maxLength) {
        std::vector<int8_t> list(Below(maxLength + 1));
        for (int8_t& e : list)
            e = static_cast<int8_t>(Below(256));
        return list;
    }

    std::vector<uint8_t> Bytes(uint32_t n) {
        std::vector<uint8_t> bytes(n);
        for (uint8_t& b : bytes)
            b = static_cast<uint8_t>(Below(256));
        return bytes;
    }

private:
    std::mt19937 rng_;
};

} // namespace testsupport
