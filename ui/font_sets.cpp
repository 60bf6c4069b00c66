// The seven font sets: building their slots from the base set, the face
// check over the display's families, sizes, recreation, and the faces and
// sizes of the settings file.
#include "ui/font_sets.h"

#include <algorithm>

#include "common/settings/settings_file.h"
#include "common/win/wide_text.h"
#include "ui/application.h"

namespace {

constexpr char16_t kInputPointsKey[] = u"InputPoints";
constexpr char16_t kListPointsKey[] = u"ListPoints";
constexpr char16_t kBookPointsKey[] = u"BookViewerPoints";
constexpr char16_t kArticlePointsKey[] = u"ArticlePoints";
constexpr char16_t kEditorPointsKey[] = u"EditorPoints";
// Stored sizes outside this range (a hand-damaged file) give the default.
constexpr int32_t kLargestPoints = 200;

// An information context on the display, for measuring and enumerating.
class DisplayContext {
public:
    DisplayContext() : dc_(CreateICW(L"DISPLAY", nullptr, nullptr, nullptr)) {}
    ~DisplayContext() {
        if (dc_) DeleteDC(dc_);
    }
    DisplayContext(const DisplayContext&) = delete;
    DisplayContext& operator=(const DisplayContext&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

int CALLBACK CollectFamily(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM target) {
    auto* families = reinterpret_cast<std::vector<FontFamily>*>(target);
    families->push_back({std::u16string(Char16View(font->lfFaceName)), font->lfCharSet, font->lfOutPrecision});
    return 1;
}

void CopyFace(LOGFONTW& font, const std::wstring& face) {
    size_t units = std::min<size_t>(face.size(), LF_FACESIZE - 1);
    std::copy_n(face.data(), units, font.lfFaceName);
    font.lfFaceName[units] = 0;
}

bool UsesAllSlots(int32_t set) { return set != kBaseFontSet && set != kCopyFontSet; }

int32_t ReadPoints(const CIni* ini, const char16_t* key, int32_t fallback) {
    int32_t points = ini ? ini->GetInt(kFontsSection, key, fallback) : fallback;
    return points >= 1 && points <= kLargestPoints ? points : fallback;
}

std::wstring ReadFace(const CIni* ini, const char16_t* key, const char16_t* fallback) {
    std::u16string face = ini ? ini->GetString(kFontsSection, key, fallback, kFaceNameUnits) : fallback;
    return WideString(face);
}

bool HasFamily(const std::vector<FontFamily>& families, const std::wstring& face) {
    std::u16string wanted(Char16View(face));
    return std::any_of(families.begin(), families.end(), [&](const FontFamily& f) { return f.face == wanted; });
}

}  // namespace

void CFontSlot::Delete() {
    if (font) DeleteObject(font);
    font = nullptr;
    metrics = TEXTMETRICW{};
}

bool CFontSlot::Create(HDC display) {
    Delete();
    font = CreateFontIndirectW(&logFont);
    if (!font) return false;
    if (display) {
        HGDIOBJ old = SelectObject(display, font);
        GetTextMetricsW(display, &metrics);
        SelectObject(display, old);
    }
    return true;
}

const std::vector<FontFamily>& FontFamilies::OfCharset(uint8_t charset) {
    auto found = families_.find(charset);
    if (found != families_.end()) return found->second;
    std::vector<FontFamily>& families = families_[charset];
    DisplayContext display;
    if (display.Get()) {
        LOGFONTW wanted{};
        wanted.lfCharSet = charset;
        EnumFontFamiliesExW(display.Get(), &wanted, CollectFamily, reinterpret_cast<LPARAM>(&families), 0);
    }
    return families;
}

int32_t DisplayDotsPerInch() {
    DisplayContext display;
    int32_t dpi = display.Get() ? GetDeviceCaps(display.Get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : 96;
}

bool IsFontInstalled(uint8_t charset, const wchar_t* face) {
    DisplayContext display;
    if (!display.Get() || !face || !*face) return false;
    LOGFONTW wanted{};
    wanted.lfCharSet = charset;
    CopyFace(wanted, face);
    std::vector<FontFamily> families;
    EnumFontFamiliesExW(display.Get(), &wanted, CollectFamily, reinterpret_cast<LPARAM>(&families), 0);
    return HasFamily(families, face);
}

void CFontSet::SetPointSize(int32_t points) {
    int32_t dpi = DisplayDotsPerInch();
    for (int slot = 0; slot < kFontSlotCount; ++slot) {
        slots_[slot].points = points;
        slots_[slot].logFont.lfHeight = SlotPixelHeight(slot, points, dpi);
    }
}

void CFontSet::RecordPointSize(int32_t points) {
    slots_[kLatinSlot].points = points;
    slots_[kJapaneseSlot].points = points;
}

void CFontSet::RecreateFonts() {
    DisplayContext display;
    for (int slot = 0; slot < kFontSlotCount; ++slot)
        if (UsesAllSlots(number_) || slot == kLatinSlot || slot == kJapaneseSlot) slots_[slot].Create(display.Get());
}

void CFontSet::PutFace(int slot, const std::wstring& face, FontFamilies& families) {
    uint8_t charset = kFontSlots[slot].charset;
    FaceCheck check = CheckFace(Char16View(face), charset, families.OfCharset(charset));
    slots_[slot].matchLevel = check.level;
    CopyFace(slots_[slot].logFont, WideString(check.face));
}

void CFontSet::BuildSlots(const CFontSet& base, const std::wstring& latin, const std::wstring& japanese,
                          FontFamilies& families) {
    latinFace_ = latin;
    japaneseFace_ = japanese;
    for (int slot = 0; slot < kFontSlotCount; ++slot) {
        const FontSlotSpec& slotRule = kFontSlots[slot];
        LOGFONTW& font = slots_[slot].logFont;
        font = base.slots_[slotRule.face == SlotFace::Japanese ? kJapaneseSlot : kLatinSlot].logFont;
        font.lfCharSet = slotRule.charset;
        font.lfWeight = slotRule.weight;
        font.lfItalic = slotRule.italic ? TRUE : FALSE;
        std::wstring face;
        if (slotRule.face == SlotFace::Latin) face = latin;
        else if (slotRule.face == SlotFace::Japanese) face = japanese;
        else if (slotRule.extendedFace && HasFamily(families.OfCharset(slotRule.charset), WideString(slotRule.extendedFace)))
            face = WideString(slotRule.extendedFace);
        else face = WideString(slotRule.fixedFace);
        PutFace(slot, face, families);
    }
}

void CFontSet::ApplyLatinFace(const std::wstring& face, FontFamilies& families) {
    latinFace_ = face;
    for (int slot = 0; slot < kFontSlotCount; ++slot)
        if (kFontSlots[slot].face == SlotFace::Latin && (UsesAllSlots(number_) || slot == kLatinSlot))
            PutFace(slot, face, families);
}

void CFontSet::ApplyJapaneseFace(const std::wstring& face, FontFamilies& families) {
    japaneseFace_ = face;
    PutFace(kJapaneseSlot, face, families);
}

CFonts::CFonts() {
    for (int32_t number = 1; number <= kFontSetCount; ++number) sets_[number - 1] = std::make_unique<CFontSet>(number);
}

void CFonts::CreateFonts(const CIni* ini) {
    families_.Forget();
    dotsPerInch_ = DisplayDotsPerInch();
    std::wstring latin = ReadFace(ini, kLatinFaceKey, kDefaultLatinFace);
    std::wstring japanese = ReadFace(ini, kJapaneseFaceKey, kDefaultJapaneseFace);

    CFontSet& base = Set(kBaseFontSet);
    base.latinFace_ = latin;
    base.japaneseFace_ = japanese;
    LOGFONTW& latinFont = base.slots_[kLatinSlot].logFont;
    latinFont = LOGFONTW{};
    latinFont.lfHeight = kBaseLatinHeight;
    latinFont.lfWeight = FW_NORMAL;
    latinFont.lfCharSet = kFontSlots[kLatinSlot].charset;
    CopyFace(latinFont, latin);
    LOGFONTW& japaneseFont = base.slots_[kJapaneseSlot].logFont;
    japaneseFont = latinFont;
    japaneseFont.lfHeight = kBaseJapaneseHeight;
    japaneseFont.lfCharSet = kFontSlots[kJapaneseSlot].charset;
    base.PutFace(kJapaneseSlot, japanese, families_);
    base.RecordPointSize(BasePoints());
    base.RecreateFonts();

    for (int32_t number : {kInputFontSet, kListFontSet, kBookFontSet, kArticleFontSet, kEditorFontSet})
        Set(number).BuildSlots(base, latin, japanese, families_);
    Set(kInputFontSet).RecordPointSize(ReadPoints(ini, kInputPointsKey, BasePoints()));
    Set(kListFontSet).SetPointSize(ReadPoints(ini, kListPointsKey, BasePoints()));
    Set(kBookFontSet).SetPointSize(ReadPoints(ini, kBookPointsKey, BasePoints()));
    Set(kArticleFontSet).RecordPointSize(ReadPoints(ini, kArticlePointsKey, BasePoints()));
    Set(kEditorFontSet).RecordPointSize(ReadPoints(ini, kEditorPointsKey, kEditorDefaultPoints));

    CFontSet& copy = Set(kCopyFontSet);
    copy.latinFace_ = latin;
    copy.japaneseFace_ = japanese;
    for (int slot : {kLatinSlot, kJapaneseSlot}) {
        copy.slots_[slot].logFont = base.slots_[slot].logFont;
        copy.slots_[slot].points = base.slots_[slot].points;
        copy.slots_[slot].matchLevel = base.slots_[slot].matchLevel;
    }
    for (int32_t number = kInputFontSet; number <= kFontSetCount; ++number) Set(number).RecreateFonts();
    RecreateSetFonts();
}

void CFonts::RecreateSetFonts() {
    Set(kListFontSet).RecreateFonts();
    Set(kBookFontSet).RecreateFonts();
}

bool CFonts::LatinFontCreated() const { return Set(kBaseFontSet).Font(kLatinSlot) != nullptr; }

bool CFonts::KanjiFontMissing() const {
    const CFontSlot& slot = Set(kBaseFontSet).Slot(kJapaneseSlot);
    return !slot.font || ::KanjiFontMissing(slot.matchLevel);
}

FontChoice CFonts::CurrentChoice() const {
    FontChoice choice;
    choice.latinFace = Char16View(Set(kBaseFontSet).LatinFace());
    choice.japaneseFace = Char16View(Set(kBaseFontSet).JapaneseFace());
    choice.inputPoints = Set(kInputFontSet).PointSize();
    choice.listPoints = Set(kListFontSet).PointSize();
    choice.articlePoints = Set(kArticleFontSet).PointSize();
    choice.editorPoints = Set(kEditorFontSet).PointSize();
    choice.bookPoints = Set(kBookFontSet).PointSize();
    return choice;
}

FontChoice CFonts::DefaultChoice() const {
    int32_t points = BasePoints();
    const CFontSet& base = Set(kBaseFontSet);
    return {std::u16string(Char16View(base.LatinFace())), std::u16string(Char16View(base.JapaneseFace())), points,
            points, points, points, 0};
}

void CFonts::ApplyLatinFace(const std::wstring& face) {
    for (int32_t number : {kBaseFontSet, kInputFontSet, kListFontSet, kArticleFontSet, kEditorFontSet})
        Set(number).ApplyLatinFace(face, families_);
}

void CFonts::ApplyJapaneseFace(const std::wstring& face) {
    for (int32_t number : {kBaseFontSet, kInputFontSet, kListFontSet, kArticleFontSet, kEditorFontSet})
        Set(number).ApplyJapaneseFace(face, families_);
}

FontApplyPlan CFonts::Apply(const FontChoice& wanted) {
    FontApplyPlan plan = PlanFontApply(CurrentChoice(), wanted);
    if (plan.latinFace) ApplyLatinFace(WideString(wanted.latinFace.substr(0, kFaceNameUnits)));
    if (plan.japaneseFace) ApplyJapaneseFace(WideString(wanted.japaneseFace.substr(0, kFaceNameUnits)));
    if (plan.inputSize) Set(kInputFontSet).RecordPointSize(wanted.inputPoints);
    if (plan.listSize) Set(kListFontSet).SetPointSize(wanted.listPoints);
    if (plan.articleSize) Set(kArticleFontSet).RecordPointSize(wanted.articlePoints);
    if (plan.editorSize) Set(kEditorFontSet).RecordPointSize(wanted.editorPoints);
    if (plan.bookSize) Set(kBookFontSet).SetPointSize(wanted.bookPoints);
    if (plan.latinFace || plan.japaneseFace)
        for (int32_t number : {kBaseFontSet, kInputFontSet, kArticleFontSet, kEditorFontSet})
            Set(number).RecreateFonts();
    if (plan.redoLists) Set(kListFontSet).RecreateFonts();
    if (plan.redoBookReaders) Set(kBookFontSet).RecreateFonts();
    return plan;
}

int32_t CFonts::SaveSettings(CIni& ini) const {
    const FontChoice choice = CurrentChoice();
    int32_t written = 1;
    auto track = [&](int32_t result) { written &= result; };
    track(ini.WriteString(kFontsSection, kLatinFaceKey, choice.latinFace));
    track(ini.WriteString(kFontsSection, kJapaneseFaceKey, choice.japaneseFace));
    track(ini.WriteInt(kFontsSection, kInputPointsKey, choice.inputPoints));
    track(ini.WriteInt(kFontsSection, kListPointsKey, choice.listPoints));
    track(ini.WriteInt(kFontsSection, kBookPointsKey, choice.bookPoints));
    track(ini.WriteInt(kFontsSection, kArticlePointsKey, choice.articlePoints));
    track(ini.WriteInt(kFontsSection, kEditorPointsKey, choice.editorPoints));
    return written;
}

CFonts* ProgramFonts() { return g_application ? g_application->fonts.get() : nullptr; }

HFONT ListFont(int slot) {
    CFonts* fonts = ProgramFonts();
    return fonts && slot >= 0 && slot < kFontSlotCount ? fonts->Set(kListFontSet).Font(slot) : nullptr;
}

int32_t ListFontSlotHeight(int slot) {
    constexpr int32_t kNoFontHeight = 16;
    CFonts* fonts = ProgramFonts();
    if (!fonts || slot < 0 || slot >= kFontSlotCount || !fonts->Set(kListFontSet).Font(slot)) return kNoFontHeight;
    return fonts->Set(kListFontSet).Metrics(slot).tmHeight;
}

int32_t ArticleFontPoints() {
    CFonts* fonts = ProgramFonts();
    int32_t points = fonts ? fonts->Set(kArticleFontSet).PointSize() : 0;
    return points > 0 ? points : 10;
}
