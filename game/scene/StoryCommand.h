// One line of a story script: the 14 comma-separated fields of the text file
// in their order. Records are copied whole into the driver's current and
// pending slots, never written to a file.
#pragma once

#include <cstdint>

struct StoryCommand {
    static constexpr uint32_t kStringSize = 32; // 31 bytes and the terminator

    // 0: a continuation of the command before it (it carries new delays);
    // above 0: the line's number among the records with text, which indexes
    // the text images from 1; -1: ends the preloading of text images.
    int32_t line;
    int32_t param1;
    // 0 none, 1-6 the pilots, 7-9 characters with portraits, up to 14 with
    // name plates; always 0-15 (the reader skips other lines).
    int32_t speaker;
    // 1-15; a 0 in the file takes the speaker's last face (resolved while
    // reading).
    int32_t face;
    int32_t faceDelay; // frames before the face takes effect
    int32_t hidden;    // not 0: never taken as a command
    char label6[kStringSize];
    int32_t param7;
    char label8[kStringSize];
    int32_t param9;
    int32_t shake;             // frames before the portraits start to shake
    char picture[kStringSize]; // the ending's picture, "<picture>.dds"; empty for none
    int32_t pictureMode;       // 0 or more shows the picture; -n a black-out of n seconds
    char text[kStringSize];    // text image and voice base name; empty for none
};

static_assert(sizeof(StoryCommand) == 168);
