// The program's fonts: CFonts holds seven font sets, one per area of the
// interface (base, input box, lists, book reader, article, copies of the
// base, editor); each CFontSet holds 20 font slots, one per character set
// (slot table in common/ui_text/font_rules.h), so text of any script is drawn
// in a font that has its characters. The faces and sizes live in the
// settings file:
// | section | key              | value                                   | default            |
// |---------|------------------|-----------------------------------------|--------------------|
// | Fonts   | RusName          | Latin/Cyrillic face, at most 31 units   | "Arial"            |
// | Fonts   | KanjiName        | Japanese face, at most 31 units         | "MS UI Gothic"     |
// | Fonts   | InputPoints      | input box size, points                  | base size          |
// | Fonts   | ListPoints       | word list size                          | base size          |
// | Fonts   | BookViewerPoints | book reader size                        | base size          |
// | Fonts   | ArticlePoints    | article view size                       | base size          |
// | Fonts   | EditorPoints     | article editor size                     | 10                 |
// The base size is 10 points, 8 on screens of 100 dots per inch and more.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/ui_text/font_rules.h"

class CIni;

inline constexpr int32_t kBaseFontSet = 1;
inline constexpr int32_t kInputFontSet = 2;
inline constexpr int32_t kListFontSet = 3;
inline constexpr int32_t kBookFontSet = 4;
inline constexpr int32_t kArticleFontSet = 5;
inline constexpr int32_t kCopyFontSet = 6;   // copies of the base set's Latin and Japanese slots
inline constexpr int32_t kEditorFontSet = 7;
inline constexpr int32_t kFontSetCount = 7;
inline constexpr int32_t kBaseLatinHeight = -11;     // LOGFONT height of the base Latin font
inline constexpr int32_t kBaseJapaneseHeight = -12;  // and of the base Japanese font

inline constexpr char16_t kFontsSection[] = u"Fonts";
inline constexpr char16_t kLatinFaceKey[] = u"RusName";
inline constexpr char16_t kJapaneseFaceKey[] = u"KanjiName";

// One font of a set: the handle (owned), the LOGFONT it is made from, its
// metrics on the display and the face check's match level.
struct CFontSlot {
    CFontSlot() = default;
    CFontSlot(const CFontSlot&) = delete;
    CFontSlot& operator=(const CFontSlot&) = delete;
    ~CFontSlot() { Delete(); }

    void Delete();
    // Deletes the font, makes it again from the LOGFONT and measures it on
    // `display`; false when the system made no font.
    bool Create(HDC display);

    HFONT font = nullptr;
    int32_t points = 0;      // the size recorded for the slot
    LOGFONTW logFont{};
    TEXTMETRICW metrics{};   // of the created font; zero while there is none
    int32_t spare = 0;
    int32_t matchLevel = 0;  // the face check's level, 0 to 3
};

// The display's font families, per character set, as the face check reads
// them (enumerated once per character set and kept until Forget).
class FontFamilies {
public:
    const std::vector<FontFamily>& OfCharset(uint8_t charset);
    void Forget() { families_.clear(); }

private:
    std::map<uint8_t, std::vector<FontFamily>> families_;
};

class CFontSet {
public:
    explicit CFontSet(int32_t number) : number_(number) {}
    CFontSet(const CFontSet&) = delete;
    CFontSet& operator=(const CFontSet&) = delete;
    virtual ~CFontSet() = default;

    int32_t Number() const { return number_; }
    // The slot's font, owned by the set (never delete it); null while none exists.
    HFONT Font(int slot) const { return slots_[slot].font; }
    const TEXTMETRICW& Metrics(int slot) const { return slots_[slot].metrics; }
    CFontSlot& Slot(int slot) { return slots_[slot]; }
    const CFontSlot& Slot(int slot) const { return slots_[slot]; }
    // The size of the set (its Latin slot's).
    int32_t PointSize() const { return slots_[kLatinSlot].points; }
    // Every slot gets the size and its negative pixel height (points or
    // points + 1 by the slot table, at the display's vertical resolution).
    void SetPointSize(int32_t points);
    // Records the size in the Latin and Japanese slots only (sets whose
    // windows take sizes in twips).
    void RecordPointSize(int32_t points);
    // Deletes all 20 fonts and makes them again from their LOGFONTs.
    void RecreateFonts();
    // The faces the user chose for the set.
    const std::wstring& LatinFace() const { return latinFace_; }
    const std::wstring& JapaneseFace() const { return japaneseFace_; }

    // Builds the slots from the base set's Latin and Japanese LOGFONTs: the
    // table's character sets, weights and styles, the set's faces (`latin`
    // and `japanese`, or the slot's own face), each through the face check.
    void BuildSlots(const CFontSet& base, const std::wstring& latin, const std::wstring& japanese,
                    FontFamilies& families);
    // Gives the slots of one face group their face again, through the face check.
    void ApplyLatinFace(const std::wstring& face, FontFamilies& families);
    void ApplyJapaneseFace(const std::wstring& face, FontFamilies& families);

private:
    friend class CFonts;
    void PutFace(int slot, const std::wstring& face, FontFamilies& families);

    int32_t number_;
    CFontSlot slots_[kFontSlotCount];
    std::wstring latinFace_;
    std::wstring japaneseFace_;
};

class CFonts {
public:
    CFonts();
    CFonts(const CFonts&) = delete;
    CFonts& operator=(const CFonts&) = delete;
    virtual ~CFonts() = default;

    // Sets 1 to 7.
    CFontSet& Set(int32_t number) { return *sets_[number - 1]; }
    const CFontSet& Set(int32_t number) const { return *sets_[number - 1]; }

    // Reads the faces and sizes (from `ini`, or the defaults when null),
    // makes the base set's two fonts, then sets 2 to 7 from it.
    void CreateFonts(const CIni* ini);
    // Deletes and makes again the fonts of the list and book reader sets.
    void RecreateSetFonts();
    // Whether the base set's Latin font could be made, and the base set's
    // Japanese face check found a font (match level above 0).
    bool LatinFontCreated() const;
    bool KanjiFontMissing() const;

    // The faces and the five sizes as the settings page shows them.
    FontChoice CurrentChoice() const;
    // Applies a choice of the settings page to the sets (a missing face or a
    // size 0 is left alone) and makes again the fonts that changed; answers
    // what changed so the caller lets the windows take it.
    FontApplyPlan Apply(const FontChoice& wanted);
    // What the settings page's default button applies: the base set's faces
    // and size for the input, list, article and editor sets (the book reader
    // size stays).
    FontChoice DefaultChoice() const;
    // Writes both faces and the five sizes to section "Fonts"; 1 when every write succeeded.
    int32_t SaveSettings(CIni& ini) const;

    int32_t DotsPerInch() const { return dotsPerInch_; }
    int32_t BasePoints() const { return BaseFontPoints(dotsPerInch_); }

private:
    void ApplyLatinFace(const std::wstring& face);
    void ApplyJapaneseFace(const std::wstring& face);

    std::unique_ptr<CFontSet> sets_[kFontSetCount];
    FontFamilies families_;
    int32_t dotsPerInch_ = 96;  // LOGPIXELSY of the display
};

// The application's fonts; null before start-up made them.
CFonts* ProgramFonts();
// The article view's size in points (10 when there are no fonts).
int32_t ArticleFontPoints();
// The list font set's font of a slot (null when there are no fonts) and its
// height in pixels (the text metrics' height; 16 when there is no font).
HFONT ListFont(int slot);
int32_t ListFontSlotHeight(int slot);
// True when a font family of that face and character set exists on the display.
bool IsFontInstalled(uint8_t charset, const wchar_t* face);
// LOGPIXELSY of the display.
int32_t DisplayDotsPerInch();
