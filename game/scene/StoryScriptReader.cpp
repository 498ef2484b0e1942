#include "game/scene/StoryScriptReader.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kMissingComma = "missing comma";
constexpr const char* kMissingQuote = "missing quote";
constexpr const char* kLongString = "string of 32 bytes or more";
constexpr const char* kBadSpeaker = "speaker outside 0-15";

// Reads the fields of one line in order, each within the line's bytes.
class LineCursor {
public:
    LineCursor(const uint8_t* begin, const uint8_t* end) : p_(begin), end_(end) {}

    // An integer ended by its comma.
    bool Integer(int32_t& out) {
        const uint8_t* comma = Find(p_, ',');
        if (!comma)
            return Fail(kMissingComma);
        out = StoryScriptReader::ParseInteger(p_, comma);
        p_ = comma + 1;
        return true;
    }

    // A quoted string that opens right after the previous comma; the string
    // of a middle field is followed by its comma, the last field's by
    // whatever ends the line.
    bool String(char (&out)[StoryCommand::kStringSize], bool last) {
        if (p_ == end_ || *p_ != '"')
            return Fail(kMissingQuote);
        const uint8_t* close = Find(p_ + 1, '"');
        if (!close)
            return Fail(kMissingQuote);
        const size_t length = static_cast<size_t>(close - (p_ + 1));
        if (length >= StoryCommand::kStringSize)
            return Fail(kLongString);
        std::memcpy(out, p_ + 1, length);
        out[length] = '\0';
        p_ = close + 1;
        if (last)
            return true;
        if (p_ == end_ || *p_ != ',')
            return Fail(kMissingComma);
        ++p_;
        return true;
    }

    const char* GetReason() const { return reason_; }

private:
    const uint8_t* Find(const uint8_t* from, uint8_t byte) const {
        return static_cast<const uint8_t*>(
            std::memchr(from, byte, static_cast<size_t>(end_ - from)));
    }
    bool Fail(const char* reason) {
        reason_ = reason;
        return false;
    }

    const uint8_t* p_;
    const uint8_t* end_;
    const char* reason_ = nullptr;
};

bool IsBlank(uint8_t c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

} // namespace

int32_t StoryScriptReader::ParseInteger(const uint8_t* begin, const uint8_t* end) {
    const uint8_t* p = begin;
    while (p != end && IsBlank(*p))
        ++p;
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-'))
        negative = *p++ == '-';
    int64_t value = 0;
    for (; p != end && *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > INT64_C(0x80000000))
            value = INT64_C(0x80000000);
    }
    if (negative)
        return static_cast<int32_t>(-value);
    return value > INT32_MAX ? INT32_MAX : static_cast<int32_t>(value);
}

const char* StoryScriptReader::ParseLine(const uint8_t* begin, const uint8_t* end,
                                         StoryCommand& out) {
    out = StoryCommand{};
    LineCursor c(begin, end);
    const bool whole = c.Integer(out.line) && c.Integer(out.param1) && c.Integer(out.speaker) &&
                       c.Integer(out.face) && c.Integer(out.faceDelay) && c.Integer(out.hidden) &&
                       c.String(out.label6, false) && c.Integer(out.param7) &&
                       c.String(out.label8, false) && c.Integer(out.param9) &&
                       c.Integer(out.shake) && c.String(out.picture, false) &&
                       c.Integer(out.pictureMode) && c.String(out.text, true);
    if (!whole)
        return c.GetReason();
    // The speaker indexes the face memory and the portrait and plate tables.
    if (out.speaker < 0 || out.speaker >= kSpeakerCount)
        return kBadSpeaker;
    // Both count down to 0 one frame at a time: a negative count would run
    // on without end (and the face or shake never come).
    if (out.faceDelay < 0)
        out.faceDelay = 0;
    if (out.shake < 0)
        out.shake = 0;
    return nullptr;
}

uint32_t StoryScriptReader::Read(const uint8_t* data, uint32_t size, const char* label,
                                 Records& records) {
    records.clear();
    int32_t faces[kSpeakerCount] = {};
    uint32_t skipped = 0;
    uint32_t lineNumber = 0;
    uint32_t pos = 0;
    while (pos < size && data[pos] != 0) {
        ++lineNumber;
        const uint8_t* begin = data + pos;
        const void* lf = std::memchr(begin, '\n', size - pos);
        const uint8_t* end = lf ? static_cast<const uint8_t*>(lf) : data + size;
        pos = static_cast<uint32_t>(end - data) + 1;

        StoryCommand record;
        if (const char* reason = ParseLine(begin, end, record)) {
            ++skipped;
            if (label)
                std::fprintf(stderr, "%s:%u: story line skipped: %s\n", label, lineNumber, reason);
            continue;
        }
        if (record.face == 0 && record.speaker != 0)
            record.face = faces[record.speaker];
        records.push_back(record);
        faces[record.speaker] = record.face;
    }
    return skipped;
}
