#pragma once

#include "effects/Core/Data/BitFieldTag.h"
#include "effects/Core/Data/BuildContext.h"
#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Resource/FloatPairProperty.h"
#include "effects/Core/Resource/FloatTripleProperty.h"
#include "effects/Core/Value/FloatProperty.h"

#include <cstdint>

namespace FulgorCore {

// The "Pnts" table of a shape, 16 bytes a point (null when the chunk was
// empty or absent).
class EmitterPointTable {
public:
    static constexpr uint32_t kPointSize = 16;

    uint32_t GetCount() const { return count_; }
    // Null past the count.
    const float* GetPoint(uint32_t i) const {
        return i < count_ && points_ ? reinterpret_cast<const float*>(points_ + i * kPointSize)
                                     : nullptr;
    }

private:
    friend class EmitterShapeBase;
    uint16_t count_ = 0;
    const uint8_t* points_ = nullptr;
};

// Root of the shape records of the nine emitter kinds ("DatE"): every kind
// has an animated speed, filled by "IjSp" or "InSp" (the later wins). The
// emitter destroys its shape through this destructor.
class EmitterShapeBase {
public:
    // Bit fields of the generation word: "GnCT" and "GnPT" for every kind
    // that has modes; the axes and their flags for kinds 8 and 9.
    static constexpr BitFieldTag kGnCT{MakeChunkTag("GnCT"), 0, 4};
    static constexpr BitFieldTag kGnPT{MakeChunkTag("GnPT"), 4, 4};
    static constexpr BitFieldTag kAxX{MakeChunkTag("AxX"), 8, 6};
    static constexpr BitFieldTag kAxY{MakeChunkTag("AxY"), 14, 6};
    static constexpr BitFieldTag kAxZ{MakeChunkTag("AxZ"), 20, 6};
    static constexpr BitFieldTag kUMX{MakeChunkTag("bUMX"), 26, 1};
    static constexpr BitFieldTag kUMY{MakeChunkTag("bUMY"), 27, 1};
    static constexpr BitFieldTag kUMZ{MakeChunkTag("bUMZ"), 28, 1};
    static constexpr BitFieldTag kUPX{MakeChunkTag("bUPX"), 29, 1};
    static constexpr BitFieldTag kUPY{MakeChunkTag("bUPY"), 30, 1};
    static constexpr BitFieldTag kUPZ{MakeChunkTag("bUPZ"), 31, 1};
    EmitterShapeBase() = default;
    EmitterShapeBase(const EmitterShapeBase&) = delete;
    EmitterShapeBase& operator=(const EmitterShapeBase&) = delete;
    virtual ~EmitterShapeBase() = default;

    const FloatProperty& GetSpeed() const { return speed_; }

protected:
    // Where a kind keeps what the shared reader fills; null for a field the
    // kind does not have (its chunk is skipped).
    struct Slots {
        uint32_t* word = nullptr;
        const BitFieldTag* wordFields = nullptr;
        uint32_t wordFieldCount = 0;
        uint8_t* model = nullptr;     // "MdlN"
        uint8_t* divisions = nullptr; // "LtDv", "LgDv"
        EmitterPointTable* points = nullptr;
        FloatProperty* radius = nullptr;      // "Rad"
        FloatProperty* innerRadius = nullptr; // "RadI"
        FloatProperty* outerRadius = nullptr; // "RadO"
        FloatProperty* length = nullptr;      // "Len"
        FloatProperty* innerAngle = nullptr;  // "IjAI" or "InAI"
        FloatProperty* outerAngle = nullptr;  // "IjAO" or "InAO"
        FloatProperty* angle = nullptr;       // "IjA"
        FloatTripleProperty* size3 = nullptr; // "Size" of kind 8
        FloatPairProperty* size2 = nullptr;   // "Size" of kind 9
    };

    void ReadShape(const BuildContext& context, const void* payload, uint32_t size,
                   const Slots& slots);

    FloatProperty speed_;
};

// The shape of emitter kind K.
template <uint32_t K> class EmitterShape;

// Generation modes ("GnCT", "GnPT") of kinds 1, 5, 6 and 7.
class EmitterShapeModes : public EmitterShapeBase {
public:
    uint32_t GetGnCT() const { return BitField(modes_, kGnCT); }
    uint32_t GetGnPT() const { return BitField(modes_, kGnPT); }

protected:
    // Slots with the modes word filled in.
    Slots ModeSlots();

    uint32_t modes_ = 0;
};

// The generation word of kinds 8 and 9 ("GnCT", "GnPT", the axes and their
// flags) and their points.
class EmitterShapeWord : public EmitterShapeBase {
public:
    uint32_t GetWord() const { return word_; }
    uint32_t GetField(const BitFieldTag& field) const { return BitField(word_, field); }
    const EmitterPointTable& GetPoints() const { return points_; }

protected:
    uint32_t word_ = 0;
    EmitterPointTable points_;
};

template <> class EmitterShape<1> : public EmitterShapeModes {
public:
    void Read(const BuildContext& context, const void* payload, uint32_t size);
    uint32_t GetModelNumber() const { return model_; }

private:
    uint8_t model_ = 0;
};

template <> class EmitterShape<2> : public EmitterShapeBase {
public:
    void Read(const BuildContext& context, const void* payload, uint32_t size);
};

template <> class EmitterShape<3> : public EmitterShapeBase {
public:
    void Read(const BuildContext& context, const void* payload, uint32_t size);
    const FloatProperty& GetInnerRadius() const { return innerRadius_; }
    const FloatProperty& GetOuterRadius() const { return outerRadius_; }
    const FloatProperty& GetInnerAngle() const { return innerAngle_; }
    const FloatProperty& GetOuterAngle() const { return outerAngle_; }

private:
    FloatProperty innerRadius_;
    FloatProperty outerRadius_;
    FloatProperty innerAngle_;
    FloatProperty outerAngle_;
};

template <> class EmitterShape<4> : public EmitterShapeBase {
public:
    void Read(const BuildContext& context, const void* payload, uint32_t size);
    const FloatProperty& GetInnerRadius() const { return innerRadius_; }
    const FloatProperty& GetOuterRadius() const { return outerRadius_; }

private:
    FloatProperty innerRadius_;
    FloatProperty outerRadius_;
};

template <> class EmitterShape<5> : public EmitterShapeModes {
public:
    void Read(const BuildContext& context, const void* payload, uint32_t size);
    // "LtDv", "LgDv".
    uint32_t GetLatitudeDivisions() const { return divisions_[0]; }
    uint32_t GetLongitudeDivisions() const { return divisions_[1]; }
    const EmitterPointTable& GetPoints() const { return points_; }
    const FloatProperty& GetRadius() const { return radius_; }

protected:
    // The slots of kind 5, which kind 6 extends.
    Slots PointSlots();

    uint8_t divisions_[2] = {};
    EmitterPointTable points_;
    FloatProperty radius_;
};

template <> class EmitterShape<6> : public EmitterShape<5> {
public:
    void Read(const BuildContext& context, const void* payload, uint32_t size);
    const FloatProperty& GetLength() const { return length_; }

private:
    FloatProperty length_;
};

template <> class EmitterShape<7> : public EmitterShapeModes {
public:
    void Read(const BuildContext& context, const void* payload, uint32_t size);
    uint32_t GetLatitudeDivisions() const { return divisions_[0]; }
    uint32_t GetLongitudeDivisions() const { return divisions_[1]; }
    const FloatProperty& GetRadius() const { return radius_; }
    // "IjA".
    const FloatProperty& GetAngle() const { return angle_; }

private:
    uint8_t divisions_[2] = {};
    FloatProperty radius_;
    FloatProperty angle_;
};

template <> class EmitterShape<8> : public EmitterShapeWord {
public:
    void Read(const BuildContext& context, const void* payload, uint32_t size);
    const FloatTripleProperty& GetSize() const { return size_; }

private:
    FloatTripleProperty size_;
};

template <> class EmitterShape<9> : public EmitterShapeWord {
public:
    void Read(const BuildContext& context, const void* payload, uint32_t size);
    const FloatPairProperty& GetSize() const { return size_; }

private:
    FloatPairProperty size_;
};

} // namespace FulgorCore
