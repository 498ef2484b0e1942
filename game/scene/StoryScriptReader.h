// The reader of story script text: one command per line, 14 comma-separated
// fields (six integers, a quoted string, an integer, a quoted string, two
// integers, a quoted string, an integer, a quoted string). Each line is read
// within its own bytes; a line that breaks the format (a missing comma or
// quote, a string of 32 bytes or more, a speaker outside 0-15) is skipped
// and reported on stderr with the file and its line number.
#pragma once

#include "engine/common/HeapAllocator.h"
#include "game/scene/StoryCommand.h"

#include <cstdint>

class StoryScriptReader {
public:
    using Records = Mireku::Common::Vector<StoryCommand>;

    static constexpr int32_t kSpeakerCount = 16;

    // Replaces `records` with the commands of the text, in file order, a face
    // of 0 taking the last face its speaker had earlier in the file. Lines
    // end in LF; whatever follows the last field's closing quote on its line
    // (a CR, any byte) is passed over, and a last line without LF is read.
    // Reading stops at a line that begins with a zero byte. `label` names the
    // file in the messages; null reports nothing. Returns the number of lines
    // skipped.
    static uint32_t Read(const uint8_t* data, uint32_t size, const char* label, Records& records);

    // Parses the bytes of one line (without its LF) into `out`; null when the
    // line is whole, else why it is not.
    static const char* ParseLine(const uint8_t* begin, const uint8_t* end, StoryCommand& out);

    // The usual text-to-integer reading: leading blanks and a sign, then the
    // digits up to the first other byte; 0 without digits. Values beyond
    // 32 bits stop at the nearest end of the range.
    static int32_t ParseInteger(const uint8_t* begin, const uint8_t* end);
};
