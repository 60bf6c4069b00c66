// The two per-character attribute encodings of formatted text: the display
// word (colour class, bold, italic) that article and list views draw from, and
// the index field word that the full-text index builder reads. Both arrays run
// in step with their text: entry i describes character i.
#pragma once

#include <cstdint>

// DisplayAttributes: one u32 per UTF-16 unit.
//
// | bits  | value     | meaning                                              |
// |-------|-----------|------------------------------------------------------|
// | 1     | 0x2       | bold                                                 |
// | 2     | 0x4       | italic                                               |
// | 3     | 0x8       | the blank after a sense number                       |
// | 4-7   | 0x10-0xF0 | colour class (below)                                 |
// | 23-28 | -         | the list view's (font slot 24-28, bit 23); formatters |
// |       |           | leave them 0                                         |
inline constexpr uint32_t kAttrBold = 0x2;
inline constexpr uint32_t kAttrItalic = 0x4;
inline constexpr uint32_t kAttrSenseNumberBlank = 0x8;
inline constexpr uint32_t kAttrColourMask = 0xF0;

// Colour classes, one per character in bits 4-7.
inline constexpr uint32_t kClassReading = 0x20;     // readings, on and kun readings
inline constexpr uint32_t kClassHeadword = 0x30;    // headwords, kanji
inline constexpr uint32_t kClassPlain = 0x40;       // senses, running text
inline constexpr uint32_t kClassGrey = 0x50;        // comments, bracketed remarks
inline constexpr uint32_t kClassRed = 0x60;         // query-word hits in lists
inline constexpr uint32_t kClassGreen = 0x70;       // name readings of kanji articles
inline constexpr uint32_t kClassExample = 0x80;     // Japanese part of examples, idioms
inline constexpr uint32_t kClassTranslation = 0x90; // translation lines of word articles

// A grey run (okurigana, bracketed remarks, "<g>" text) is drawn grey in
// every class it lies in: OR-ing 0x50 into a reading would give 0x70, the
// green of name readings, and into an example 0xD0, which is no class at all.
constexpr uint32_t WithGrey(uint32_t attr) { return (attr & ~kAttrColourMask) | kClassGrey; }

// `attr` with the colour class `colourClass` unless it already has a class.
constexpr uint32_t WithDefaultClass(uint32_t attr, uint32_t colourClass) {
    return (attr & kAttrColourMask) != 0 ? attr : attr | colourClass;
}

struct ColourClassRgb {
    uint32_t colourClass;
    bool plain;   // no colour change: the view's own text colour
    uint8_t red, green, blue;
};

// The colours the article view draws (the list view draws 0x70 plain).
// Classes not listed draw plain.
inline constexpr ColourClassRgb kColourClassTable[] = {
    {0x20, false, 127, 0, 0},   {0x30, false, 0, 0, 127},  {0x40, true, 0, 0, 0},
    {0x50, false, 127, 127, 127}, {0x60, false, 191, 0, 0}, {0x70, false, 0, 127, 0},
    {0x80, false, 0, 95, 0},    {0x90, false, 31, 0, 31},
};

// IndexFieldBits: one u16 per character of index text.
//
// | value  | meaning                                          | set by           |
// |--------|--------------------------------------------------|------------------|
// | 0x0001 | reading, on or kun reading (kinds 3, 11, 12)      | element marking  |
// | 0x0002 | headword (kind 4)                                 | element marking  |
// | 0x0004 | translation (kind 8)                              | element marking  |
// | 0x0008 | sense, derived word, sub-sense (kinds 5, 6, 13)   | element marking  |
// | 0x0010 | example (kind 7)                                  | element marking  |
// | 0x0080 | note, parameters, kinds 35-38 (9, 14, 35-38)      | element marking  |
// | 0x0100 | italic run                                        | preparers        |
// | 0x0200 | inside round brackets                             | preparers        |
// | 0x1000 | the character is a comma                          | preparers        |
// | 0x2000 | the character is a semicolon                      | preparers        |
// | 0x4000 | first character of an element, and the one after  | marking, preparers |
// |        | its end                                          |                  |
// | 0x8000 | dictionary name, rights notice, comment (15-17);  | element marking  |
// |        | a word ending on it is not indexed                |                  |
inline constexpr uint16_t kFieldReading = 0x0001;
inline constexpr uint16_t kFieldHeadword = 0x0002;
inline constexpr uint16_t kFieldTranslation = 0x0004;
inline constexpr uint16_t kFieldSense = 0x0008;
inline constexpr uint16_t kFieldExample = 0x0010;
inline constexpr uint16_t kFieldNote = 0x0080;
inline constexpr uint16_t kFieldItalic = 0x0100;
inline constexpr uint16_t kFieldInBrackets = 0x0200;
inline constexpr uint16_t kFieldComma = 0x1000;
inline constexpr uint16_t kFieldSemicolon = 0x2000;
inline constexpr uint16_t kFieldElementStart = 0x4000;
inline constexpr uint16_t kFieldNotIndexed = 0x8000;

// The field class that element marking gives the characters of an element of
// `kind`; 0 for kinds that are not marked.
constexpr uint16_t IndexFieldClassOfKind(uint32_t kind) {
    switch (kind) {
    case 3: case 11: case 12: return kFieldReading;
    case 4: return kFieldHeadword;
    case 8: return kFieldTranslation;
    case 5: case 6: case 13: return kFieldSense;
    case 7: return kFieldExample;
    case 9: case 14: case 35: case 36: case 37: case 38: return kFieldNote;
    case 15: case 16: case 17: return kFieldNotIndexed;
    default: return 0;
    }
}
