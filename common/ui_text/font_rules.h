// The window-free rules of the program's fonts: the table of the 20 font
// slots of a font set (character set, face, weight, style), point sizes to
// pixel heights, the size list of the font settings page, the face check over
// the display's font families, and what a font change has to redo. The
// Windows font sets (ui/font_sets.h) and the settings page build on these.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

inline constexpr int kFontSlotCount = 20;
inline constexpr int kLatinSlot = 0;      // Latin and Cyrillic text
inline constexpr int kJapaneseSlot = 12;  // Japanese text
inline constexpr int32_t kFaceNameUnits = 31;  // longest face name read from the settings
inline constexpr char16_t kDefaultLatinFace[] = u"Arial";
inline constexpr char16_t kDefaultJapaneseFace[] = u"MS UI Gothic";
inline constexpr int32_t kEditorDefaultPoints = 10;
inline constexpr uint8_t kOutStrokePrecision = 3;  // the output precision of scalable families

// Where a slot's face comes from.
enum class SlotFace : uint8_t {
    Latin,     // the Latin/Cyrillic face the user chose
    Japanese,  // the Japanese face the user chose
    Fixed,     // a face of its own (`fixedFace`, or `extendedFace` when installed)
};

struct FontSlotSpec {
    uint8_t charset;             // the Windows character set number
    SlotFace face;
    const char16_t* fixedFace;   // for SlotFace::Fixed
    const char16_t* extendedFace;  // preferred to fixedFace when installed with the charset; may be null
    int32_t weight;              // 400 normal, 700 bold
    bool italic;
    bool onePointLarger;         // pixel height from points + 1
};
extern const FontSlotSpec kFontSlots[kFontSlotCount];

// The base point size: 10, or 8 on screens of 100 dots per inch and more.
int32_t BaseFontPoints(int32_t dotsPerInch);
// number * numerator / denominator rounded half away from zero, as the
// system's MulDiv; -1 when the denominator is 0.
int32_t MulDivRounded(int32_t number, int32_t numerator, int32_t denominator);
// A slot's LOGFONT height for a point size: always negative (a character
// height, as the base fonts' -11 and -12), of points or points + 1.
int32_t SlotPixelHeight(int slot, int32_t points, int32_t dotsPerInch);

// The sizes the settings page offers, in this order.
inline constexpr int32_t kFontSizeChoices[] = {8, 9, 10, 11, 12, 13, 14, 16, 18, 20, 22, 24, 26, 28};
// The entry a size combo selects: the last one not above `points`, else the first.
int32_t FontSizeChoiceIndex(int32_t points);

// A font family of the display as the face check sees it.
struct FontFamily {
    std::u16string face;
    uint8_t charset = 0;
    uint8_t outPrecision = 0;
};
struct FaceCheck {
    // 3 the face exists; 2 replaced by the first scalable family; 1 the slot
    // had no face and took the first family; 0 nothing fits (the face stays
    // and the system substitutes when the font is made).
    int32_t level = 0;
    std::u16string face;  // the face the slot uses from now on
};
// Checks `face` against the families of `charset` among `families`, in their
// order. Faces compare without regard to ASCII case. Vertical-writing
// families ("@" faces) never replace a face.
FaceCheck CheckFace(std::u16string_view face, uint8_t charset, std::span<const FontFamily> families);
// The start-up warning for the Japanese (kanji) font: the base set's Japanese
// slot found nothing to fit.
inline bool KanjiFontMissing(int32_t japaneseMatchLevel) { return japaneseMatchLevel == 0; }

// What the font settings page chooses. An empty face or a size 0 means
// "leave as it is".
struct FontChoice {
    std::u16string latinFace{};
    std::u16string japaneseFace{};
    int32_t inputPoints = 0;
    int32_t listPoints = 0;
    int32_t articlePoints = 0;
    int32_t editorPoints = 0;
    int32_t bookPoints = 0;
};
// What applying a choice changes and which windows take it again.
struct FontApplyPlan {
    bool latinFace = false, japaneseFace = false;
    bool inputSize = false, listSize = false, articleSize = false, editorSize = false, bookSize = false;
    bool redoInputBox = false;  // the input box's height and the main window's layout
    bool redoLists = false;     // list fonts recreated, every list view and book reader
    bool redoArticle = false;
    bool redoEditors = false;
    bool redoBookReaders = false;  // the book reader set's fonts and every open book reader
    bool Any() const { return redoInputBox || redoLists || redoArticle || redoEditors || redoBookReaders; }
};
FontApplyPlan PlanFontApply(const FontChoice& current, const FontChoice& wanted);
