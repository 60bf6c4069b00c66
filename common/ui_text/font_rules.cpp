// The font slot table, size arithmetic, the face check and the plan of a
// font change.
#include "common/ui_text/font_rules.h"

#include <cstdlib>

namespace {

constexpr FontSlotSpec Latin(uint8_t charset, bool larger, int32_t weight = 400, bool italic = false) {
    return {charset, SlotFace::Latin, nullptr, nullptr, weight, italic, larger};
}
constexpr FontSlotSpec Fixed(uint8_t charset, const char16_t* face, const char16_t* extended = nullptr) {
    return {charset, SlotFace::Fixed, face, extended, 400, false, false};
}

char16_t FoldAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool SameFace(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    return true;
}

}  // namespace

const FontSlotSpec kFontSlots[kFontSlotCount] = {
    Latin(204, true),                                  // 0 Russian
    Latin(204, true, 700),                             // 1 bold
    Latin(204, true, 400, true),                       // 2 italic
    Latin(186, true),                                  // 3 Baltic
    Fixed(136, u"PMingLiU", u"PMingLiU-ExtB"),         // 4 Big5
    Latin(238, true),                                  // 5 East European
    Fixed(134, u"SimSun", u"SimSun-ExtB"),             // 6 GB2312
    Latin(161, false),                                 // 7 Greek
    Fixed(129, u"Gulim"),                              // 8 Hangul
    Latin(204, true),                                  // 9 Russian
    Latin(204, true, 700),                             // 10 bold
    Latin(204, true, 400, true),                       // 11 italic
    {128, SlotFace::Japanese, nullptr, nullptr, 400, false, false},  // 12 Shift-JIS
    Fixed(2, u"Wingdings"),                            // 13 Symbol
    Latin(162, false),                                 // 14 Turkish
    Latin(163, false),                                 // 15 Vietnamese
    Latin(130, true),                                  // 16 Johab
    Latin(178, true),                                  // 17 Arabic
    Latin(177, true),                                  // 18 Hebrew
    Fixed(222, u"MS Sans Serif"),                      // 19 Thai
};

int32_t BaseFontPoints(int32_t dotsPerInch) { return dotsPerInch >= 100 ? 8 : 10; }

int32_t MulDivRounded(int32_t number, int32_t numerator, int32_t denominator) {
    if (denominator == 0) return -1;
    int64_t product = int64_t{number} * numerator;
    int64_t half = std::llabs(denominator) / 2;
    bool negative = (product < 0) != (denominator < 0);
    int64_t quotient = (std::llabs(product) + half) / std::llabs(denominator);
    return static_cast<int32_t>(negative ? -quotient : quotient);
}

int32_t SlotPixelHeight(int slot, int32_t points, int32_t dotsPerInch) {
    int32_t counted = kFontSlots[slot].onePointLarger ? points + 1 : points;
    return -std::abs(MulDivRounded(counted, dotsPerInch, 72));
}

int32_t FontSizeChoiceIndex(int32_t points) {
    int32_t chosen = 0;
    for (int32_t i = 0; i < static_cast<int32_t>(std::size(kFontSizeChoices)); ++i)
        if (kFontSizeChoices[i] <= points) chosen = i;
    return chosen;
}

FaceCheck CheckFace(std::u16string_view face, uint8_t charset, std::span<const FontFamily> families) {
    const FontFamily* scalable = nullptr;
    const FontFamily* first = nullptr;
    for (const FontFamily& family : families) {
        if (family.charset != charset) continue;
        if (!face.empty() && SameFace(family.face, face)) return {3, std::u16string(face)};
        bool vertical = !family.face.empty() && family.face[0] == u'@';
        if (vertical || family.face.empty()) continue;
        if (!scalable && family.outPrecision == kOutStrokePrecision) scalable = &family;
        if (!first) first = &family;
    }
    if (scalable) return {2, scalable->face};
    if (face.empty() && first) return {1, first->face};
    return {0, std::u16string(face)};
}

FontApplyPlan PlanFontApply(const FontChoice& current, const FontChoice& wanted) {
    FontApplyPlan plan;
    plan.latinFace = !wanted.latinFace.empty() && !SameFace(wanted.latinFace, current.latinFace);
    plan.japaneseFace = !wanted.japaneseFace.empty() && !SameFace(wanted.japaneseFace, current.japaneseFace);
    auto changed = [](int32_t now, int32_t want) { return want != 0 && want != now; };
    plan.inputSize = changed(current.inputPoints, wanted.inputPoints);
    plan.listSize = changed(current.listPoints, wanted.listPoints);
    plan.articleSize = changed(current.articlePoints, wanted.articlePoints);
    plan.editorSize = changed(current.editorPoints, wanted.editorPoints);
    plan.bookSize = changed(current.bookPoints, wanted.bookPoints);
    bool face = plan.latinFace || plan.japaneseFace;
    plan.redoInputBox = face || plan.inputSize;
    plan.redoLists = face || plan.listSize;
    plan.redoArticle = face || plan.articleSize;
    plan.redoEditors = face || plan.editorSize;
    plan.redoBookReaders = plan.bookSize;
    return plan;
}
