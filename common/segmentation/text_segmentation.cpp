// The segmenters over the program's built-in break-property tables.
#include "common/segmentation/text_segmentation.h"

namespace {

TextSegmenter Program() { return TextSegmenter(ProgramBreakProperties()); }

}  // namespace

int32_t GetWordBreakProperty(char32_t codePoint) { return Program().GetWordBreakProperty(codePoint); }

int32_t NextWordBoundary(const char16_t* text, int32_t length, int32_t* start, int32_t* end) {
    return Program().NextWordBoundary(text, length, start, end);
}

int32_t PrevWordBoundary(const char16_t* text, int32_t length, int32_t* start, int32_t* position) {
    return Program().PrevWordBoundary(text, length, start, position);
}

int32_t WordAt(const char16_t* text, int32_t length, int32_t position, int32_t* start, int32_t* end) {
    return Program().WordAt(text, length, position, start, end);
}

int32_t NextWord(const char16_t* text, int32_t length, int32_t* position, int32_t* end, char16_t* word,
                 int32_t maximum) {
    return Program().NextWord(text, length, position, end, word, maximum);
}

int32_t NextSentence(const char16_t* text, int32_t length, int32_t* start, int32_t* end) {
    return Program().NextSentence(text, length, start, end);
}

int32_t FindLastLineBreak(const char16_t* text, int32_t length) {
    return Program().FindLastLineBreak(text, length);
}
