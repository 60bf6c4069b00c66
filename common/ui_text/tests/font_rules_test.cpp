// Font rules: sizes against a floating-point rounding, the size list, the
// face check over injected font families, and what a font change redoes.
#include "common/ui_text/font_rules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

TEST(FontRules, BaseSizeFollowsTheScreenResolution) {
    EXPECT_EQ(BaseFontPoints(96), 10);
    EXPECT_EQ(BaseFontPoints(99), 10);
    EXPECT_EQ(BaseFontPoints(100), 8);
    EXPECT_EQ(BaseFontPoints(120), 8);
}

TEST(FontRules, PixelHeightsAreNegativeRoundedAndOnePointLargerInLatinSlots) {
    const std::vector<int> larger = {0, 1, 2, 3, 5, 9, 10, 11, 16, 17, 18};
    for (int slot = 0; slot < kFontSlotCount; ++slot) {
        bool isLarger = std::find(larger.begin(), larger.end(), slot) != larger.end();
        EXPECT_EQ(kFontSlots[slot].onePointLarger, isLarger) << slot;
        for (int32_t dpi : {72, 96, 120, 144, 192})
            for (int32_t points = 1; points <= 72; ++points) {
                double exact = (points + (isLarger ? 1 : 0)) * dpi / 72.0;
                ASSERT_EQ(SlotPixelHeight(slot, points, dpi), -static_cast<int32_t>(std::floor(exact + 0.5)))
                    << slot << " " << points << " " << dpi;
            }
    }
    EXPECT_EQ(SlotPixelHeight(0, 10, 96), -15);
    EXPECT_EQ(SlotPixelHeight(kJapaneseSlot, 10, 96), -13);
    EXPECT_EQ(MulDivRounded(-7, 3, 2), -11);  // half away from zero, like MulDiv
    EXPECT_EQ(MulDivRounded(1, 1, 0), -1);
}

TEST(FontRules, SizeComboSelectsTheLastSizeNotAboveTheCurrentOne) {
    EXPECT_EQ(kFontSizeChoices[FontSizeChoiceIndex(15)], 14);
    EXPECT_EQ(kFontSizeChoices[FontSizeChoiceIndex(10)], 10);
    EXPECT_EQ(kFontSizeChoices[FontSizeChoiceIndex(99)], 28);
    EXPECT_EQ(FontSizeChoiceIndex(7), 0);
    EXPECT_EQ(FontSizeChoiceIndex(0), 0);
}

struct FaceCase {
    const char* name;
    std::u16string wanted;
    std::vector<FontFamily> families;
    int32_t level;
    std::u16string face;
};
class FaceCheckCases : public testing::TestWithParam<FaceCase> {};

TEST_P(FaceCheckCases, LevelAndFaceFollowTheFamiliesOfTheCharset) {
    FaceCheck check = CheckFace(GetParam().wanted, 128, GetParam().families);
    EXPECT_EQ(check.level, GetParam().level);
    EXPECT_EQ(check.face, GetParam().face);
    EXPECT_EQ(KanjiFontMissing(check.level), check.level == 0);
}

const std::vector<FontFamily> kDisplay = {
    {u"Arial", 204, 3},         {u"MS UI Gothic", 0, 3},      {u"Kanji Bitmap", 128, 2},
    {u"@IPAGothic", 128, 3},    {u"IPAGothic", 128, 3},       {u"IPAMincho", 128, 3},
};

INSTANTIATE_TEST_SUITE_P(
    Families, FaceCheckCases,
    testing::Values(
        FaceCase{"ExactFaceIsKept", u"ipamincho", kDisplay, 3, u"ipamincho"},
        FaceCase{"OtherCharsetDoesNotCount", u"MS UI Gothic", kDisplay, 2, u"IPAGothic"},
        FaceCase{"NoFaceTakesTheFirstScalable", u"", kDisplay, 2, u"IPAGothic"},
        FaceCase{"NoFaceNoScalableTakesTheFirst", u"", {{u"@Vert", 128, 2}, {u"Kanji Bitmap", 128, 2}}, 1,
                 u"Kanji Bitmap"},
        FaceCase{"AFaceWithoutScalableStays", u"MS UI Gothic", {{u"Kanji Bitmap", 128, 2}}, 0, u"MS UI Gothic"},
        FaceCase{"NothingOfTheCharset", u"MS UI Gothic", {{u"Arial", 204, 3}}, 0, u"MS UI Gothic"},
        FaceCase{"NoFamiliesAtAll", u"", {}, 0, u""}),
    [](const testing::TestParamInfo<FaceCase>& info) { return std::string(info.param.name); });

TEST(FontRules, ApplyPlanRedoesWhatTheChangeTouches) {
    const FontChoice now{u"Arial", u"MS UI Gothic", 10, 10, 10, 10, 10};
    auto plan = [&](FontChoice wanted) { return PlanFontApply(now, wanted); };

    EXPECT_FALSE(plan(now).Any());
    EXPECT_FALSE(plan(FontChoice{}).Any());                       // empty faces and zero sizes stay
    EXPECT_FALSE(plan(FontChoice{.latinFace = u"ARIAL", .japaneseFace = u"ms ui gothic"}).Any());  // faces compare without case

    FontApplyPlan face = plan(FontChoice{.latinFace = u"Tahoma"});
    EXPECT_TRUE(face.latinFace && face.redoInputBox && face.redoLists && face.redoArticle && face.redoEditors);
    EXPECT_FALSE(face.redoBookReaders);

    FontApplyPlan list = plan(FontChoice{.listPoints = 12});
    EXPECT_TRUE(list.listSize && list.redoLists);
    EXPECT_FALSE(list.redoInputBox || list.redoArticle || list.redoEditors || list.redoBookReaders);

    FontApplyPlan article = plan(FontChoice{.articlePoints = 14});
    EXPECT_TRUE(article.redoArticle);
    EXPECT_FALSE(article.redoLists || article.redoInputBox);

    FontApplyPlan book = plan(FontChoice{.bookPoints = 16});
    EXPECT_TRUE(book.bookSize && book.redoBookReaders);
    EXPECT_FALSE(book.redoLists);
}

}  // namespace
