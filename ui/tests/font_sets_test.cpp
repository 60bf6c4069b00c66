// The font sets made with the real GDI under Wine: every slot a font of its
// table's character set and a negative height, the kanji check finding the
// Japanese families fontconfig lists (the peer, passed in by the build),
// faces and sizes surviving the settings file, and the Japanese interface
// face drawing the underscores of file names at every size.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/settings/win/private_profile_store.h"
#include "common/tests/test_files.h"
#include "common/win/tests/screen_ink.h"
#include "ui/font_sets.h"

namespace {

// First names of the families `fc-list :lang=ja family` printed at configure time.
std::vector<std::u16string> FontconfigJapaneseFamilies() {
    std::vector<std::u16string> families;
    const char* list = std::getenv("OSTREL_JA_FAMILIES");
    std::string text = list ? list : "";
    size_t start = 0;
    while (start < text.size()) {
        size_t end = std::min(text.find('|', start), text.size());
        std::string name = text.substr(start, end - start);
        if (!name.empty()) families.emplace_back(name.begin(), name.end());
        start = end + 1;
    }
    return families;
}

bool IsUsed(int32_t set, int slot) {
    return (set != kBaseFontSet && set != kCopyFontSet) || slot == kLatinSlot || slot == kJapaneseSlot;
}

TEST(FontSets, EverySlotIsMadeWithItsCharsetAndANegativeHeight) {
    CFonts fonts;
    fonts.CreateFonts(nullptr);
    EXPECT_TRUE(fonts.LatinFontCreated());
    const int32_t base = fonts.BasePoints();
    EXPECT_EQ(base, BaseFontPoints(fonts.DotsPerInch()));
    for (int32_t number = 1; number <= kFontSetCount; ++number) {
        const CFontSet& set = fonts.Set(number);
        for (int slot = 0; slot < kFontSlotCount; ++slot) {
            if (!IsUsed(number, slot)) {
                EXPECT_EQ(set.Font(slot), nullptr);
                continue;
            }
            const CFontSlot& s = set.Slot(slot);
            ASSERT_NE(s.font, nullptr) << number << "/" << slot;
            EXPECT_GT(s.metrics.tmHeight, 0) << number << "/" << slot;
            EXPECT_LT(s.logFont.lfHeight, 0) << number << "/" << slot;
            EXPECT_EQ(s.logFont.lfCharSet, kFontSlots[slot].charset);
            if (number == kListFontSet || number == kBookFontSet) {
                EXPECT_EQ(s.logFont.lfHeight, SlotPixelHeight(slot, base, fonts.DotsPerInch()));
            }
        }
    }
    EXPECT_EQ(fonts.Set(kBaseFontSet).Slot(kLatinSlot).logFont.lfHeight, kBaseLatinHeight);
    EXPECT_EQ(fonts.Set(kBaseFontSet).Slot(kJapaneseSlot).logFont.lfHeight, kBaseJapaneseHeight);
    EXPECT_EQ(fonts.Set(kListFontSet).Slot(1).logFont.lfWeight, 700);
    EXPECT_TRUE(fonts.Set(kListFontSet).Slot(11).logFont.lfItalic);
    EXPECT_EQ(fonts.Set(kEditorFontSet).PointSize(), kEditorDefaultPoints);
    EXPECT_EQ(fonts.Set(kArticleFontSet).PointSize(), base);
    EXPECT_EQ(ArticleFontPoints(), 10);  // no application: the default
}

TEST(FontSets, KanjiCheckFindsTheFamiliesFontconfigLists) {
    std::vector<std::u16string> peer = FontconfigJapaneseFamilies();
    if (peer.empty()) GTEST_SKIP() << "fontconfig lists no Japanese family";
    FontFamilies families;
    const std::vector<FontFamily>& japanese = families.OfCharset(128);
    for (const std::u16string& name : peer) {
        bool found = false;
        for (const FontFamily& family : japanese) found |= family.face == name;
        EXPECT_TRUE(found) << std::string(name.begin(), name.end());
        EXPECT_TRUE(IsFontInstalled(128, std::wstring(name.begin(), name.end()).c_str()));
    }
    EXPECT_FALSE(IsFontInstalled(134, L"SimSun-ExtB"));

    CFonts fonts;
    fonts.CreateFonts(nullptr);
    const CFontSlot& kanji = fonts.Set(kBaseFontSet).Slot(kJapaneseSlot);
    EXPECT_GE(kanji.matchLevel, 2);
    EXPECT_FALSE(fonts.KanjiFontMissing());
    // The face the check chose is one the display has for Japanese.
    std::u16string chosen(reinterpret_cast<const char16_t*>(kanji.logFont.lfFaceName));
    EXPECT_TRUE(IsFontInstalled(128, kanji.logFont.lfFaceName)) << std::string(chosen.begin(), chosen.end());
}

TEST(FontSets, FacesAndSizesSurviveTheSettingsFile) {
    ScratchFolder folder("font-sets");
    CIni ini(std::make_unique<PrivateProfileStore>((folder / "OstrelPro.ini").wstring()));
    std::vector<std::u16string> peer = FontconfigJapaneseFamilies();
    std::u16string japanese = peer.empty() ? u"MS UI Gothic" : peer.front();

    CFonts before;
    before.CreateFonts(&ini);
    FontApplyPlan plan = before.Apply({u"Tahoma", japanese, 12, 14, 16, 18, 20});
    EXPECT_TRUE(plan.latinFace && plan.listSize && plan.bookSize);
    EXPECT_EQ(before.Set(kListFontSet).Slot(0).logFont.lfHeight, SlotPixelHeight(0, 14, before.DotsPerInch()));
    ASSERT_EQ(before.SaveSettings(ini), 1);

    CFonts after;
    after.CreateFonts(&ini);
    FontChoice read = after.CurrentChoice();
    EXPECT_EQ(read.latinFace, u"Tahoma");
    EXPECT_EQ(read.japaneseFace, japanese);
    EXPECT_EQ(read.inputPoints, 12);
    EXPECT_EQ(read.listPoints, 14);
    EXPECT_EQ(read.articlePoints, 16);
    EXPECT_EQ(read.editorPoints, 18);
    EXPECT_EQ(read.bookPoints, 20);
    EXPECT_EQ(after.Set(kBookFontSet).Slot(12).logFont.lfHeight, SlotPixelHeight(12, 20, after.DotsPerInch()));

    // Damaged sizes fall back to the defaults; an overlong face is cut to 31 units.
    ini.WriteString(kFontsSection, u"ListPoints", u"-4");
    ini.WriteString(kFontsSection, u"ArticlePoints", u"100000");
    ini.WriteString(kFontsSection, kLatinFaceKey, std::u16string(40, u'x'));
    CFonts damaged;
    damaged.CreateFonts(&ini);
    EXPECT_EQ(damaged.Set(kListFontSet).PointSize(), damaged.BasePoints());
    EXPECT_EQ(damaged.Set(kArticleFontSet).PointSize(), damaged.BasePoints());
    EXPECT_EQ(damaged.Set(kInputFontSet).PointSize(), 12);
    EXPECT_EQ(damaged.Set(kBaseFontSet).LatinFace().size(), static_cast<size_t>(kFaceNameUnits));
}

// "mini2_edict.txt" in the Japanese interface's face (the dialogs' and the
// dictionaries list's): below the baseline between "mini2" and "edict"
// something is drawn, at every pixel height from 9 to 32.
TEST(FontSets, TheJapaneseFaceDrawsTheUnderscoresOfFileNames) {
    CFonts fonts;
    fonts.CreateFonts(nullptr);
    LOGFONTW face = fonts.Set(kBaseFontSet).Slot(kJapaneseSlot).logFont;
    std::string missing;
    HDC screen = GetDC(nullptr);
    for (int height = 9; height <= 32; ++height) {
        face.lfHeight = -height;
        HFONT font = CreateFontIndirectW(&face);
        HGDIOBJ old = SelectObject(screen, font);
        TEXTMETRICW metrics{};
        GetTextMetricsW(screen, &metrics);
        SIZE before{}, after{};
        GetTextExtentPoint32W(screen, L"mini2", 5, &before);
        GetTextExtentPoint32W(screen, L"mini2_", 6, &after);
        SelectObject(screen, old);
        const int width = after.cx + 40, rows = metrics.tmHeight;
        const std::vector<uint32_t> pixels = screen_ink::DrawnPixels(width, rows, 0xFFFFFF, [&](HDC dc) {
            SelectObject(dc, font);
            TextOutW(dc, 0, 0, L"mini2_edict.txt", 15);
        });
        DeleteObject(font);
        bool ink = false;
        for (int y = metrics.tmAscent; y < rows; ++y)
            for (int x = before.cx; x < after.cx; ++x) ink = ink || pixels[static_cast<size_t>(y * width + x)] != 0xFFFFFF;
        if (!ink) missing += " " + std::to_string(height);
    }
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(missing, "") << "pixel heights where " << std::string(face.lfFaceName, face.lfFaceName + wcslen(face.lfFaceName))
                           << " draws no underscore";
}

}  // namespace
