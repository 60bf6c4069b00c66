// The derived-entry expander: optional groups, the headword wave dash, the
// ellipsis, and compounds whose reading is known from a fixed table; another
// ideograph goes to the reading form only.
#include "import/derived_entry_variants.h"

#include "import/key_text.h"

const CompoundReading kCompoundReadings[36] = {
    {u"的", u"てき"},           {u"接する", u"せっする"},     {u"出版", u"しゅっぱん"},
    {u"番号", u"ばんごう"},     {u"量", u"りょう"},           {u"中である", u"ちゅうである"},
    {u"機", u"き"},             {u"行者", u"ぎょうじゃ"},     {u"車", u"くるま"},
    {u"心筋", u"しんきん"},     {u"時計", u"とけい"},         {u"作り出す", u"つくりだす"},
    {u"式", u"しき"},           {u"主義", u"しゅぎ"},         {u"政治", u"せいじ"},
    {u"制", u"せい"},           {u"破壊", u"はかい"},         {u"価", u"か"},
    {u"競争", u"きょうそう"},   {u"座", u"ざ"},               {u"出す", u"だす"},
    {u"応じて", u"おうじて"},   {u"高い", u"たかい"},         {u"作成", u"さくせい"},
    {u"高速転送", u"こうそくてんそう"}, {u"圧縮", u"あっしゅく"}, {u"電送写真", u"でんそうしゃしん"},
    {u"受け取る", u"うけとる"}, {u"送る", u"おくる"},         {u"追加", u"ついか"},
    {u"措置", u"そち"},         {u"軍事活動", u"ぐんじかつどう"}, {u"反する", u"はんする"},
    {u"計", u"けい"},           {u"放送", u"ほうそう"},       {u"禁止", u"きんし"},
};

namespace {

constexpr size_t kMaxInput = 128;
constexpr size_t kMaxForm = 127;
constexpr char16_t kWaveDash = 0xFF5E;
constexpr char16_t kEllipsis = 0x2026;

bool IsExpanderCjk(char32_t c) {
    return (c >= 0x2E80 && c <= 0x2FDF) || (c >= 0x2FF0 && c <= 0x2FFF) || (c >= 0x3190 && c <= 0x319F) ||
           (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0x20000 && c <= 0x2A6D6) || (c >= 0x2A700 && c <= 0x2B734) || (c >= 0x2F800 && c <= 0x2FA1D);
}

// Appends whole code points while the form has room.
void AppendForm(std::u16string& form, std::u16string_view text) {
    for (size_t i = 0; i < text.size();) {
        const size_t n = CodePointUnits(text, i);
        if (form.size() + n > kMaxForm) return;
        form.append(text.substr(i, n));
        i += n;
    }
}

}  // namespace

uint32_t DerivedEntryCombinations(std::u16string_view text) {
    size_t groups = 0;
    for (char16_t c : text.substr(0, kMaxInput)) groups += c == u'[';
    return groups == 0 ? 1 : groups == 1 ? 2 : 4;
}

VariantForms ExpandDerivedEntry(std::u16string_view text, std::u16string_view headwordReading,
                                std::u16string_view headwordWritten, uint32_t dropMask) {
    text = CutKeyText(text, kMaxInput);
    if (headwordWritten.empty()) headwordWritten = headwordReading;
    VariantForms forms;
    bool own = false;          // a character other than a headword substitution reached a form
    uint32_t groupBit = 0;     // the bit of the open group, 0 outside
    uint32_t nextBit = 1;
    for (size_t i = 0; i < text.size();) {
        const char16_t c = text[i];
        if (c == u'[') {
            groupBit = nextBit;
            nextBit <<= 1;
            ++i;
            continue;
        }
        if (c == u']') {
            groupBit = 0;
            ++i;
            continue;
        }
        const size_t units = CodePointUnits(text, i);
        if ((groupBit & dropMask) != 0 || c == kEllipsis) {
            i += units;
            continue;
        }
        if (c == kWaveDash) {
            AppendForm(forms.reading, headwordReading);
            AppendForm(forms.written, headwordWritten);
            ++i;
            continue;
        }
        own = true;
        if (IsExpanderCjk(CodePointAt(text, i))) {
            const CompoundReading* compound = nullptr;
            for (const CompoundReading& entry : kCompoundReadings) {
                if (text.substr(i).starts_with(entry.written)) {
                    compound = &entry;
                    break;
                }
            }
            if (compound) {
                AppendForm(forms.reading, compound->reading);
                AppendForm(forms.written, compound->written);
                i += compound->written.size();
            } else {
                AppendForm(forms.reading, text.substr(i, units));
                i += units;
            }
            continue;
        }
        AppendForm(forms.reading, text.substr(i, units));
        AppendForm(forms.written, text.substr(i, units));
        i += units;
    }
    if (!own) forms = {};
    return forms;
}
