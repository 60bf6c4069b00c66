// Every EDICT reading through KanaToRomaji (Latin) and back through
// RomajiToKana. Romaji cannot tell some kana apart (を and お are both "o");
// those mismatches are counted by class and must stay within the known ones,
// and every round trip must at least give back the same romaji.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/text/japanese_code_pages.h"
#include "common/text/kana_transcription.h"
#include "common/tests/edict_files.h"
#include "common/text/tests/latin_romaji.h"
#include "common/text/utf8.h"

namespace {

using namespace std::string_view_literals;

std::u16string ToHiragana(std::u16string s) {
    for (char16_t& c : s)
        if (c >= 0x30A1 && c <= 0x30F6) c = static_cast<char16_t>(c - 0x60);
    return s;
}

std::u16string Kana(std::u16string_view romaji) {
    std::u16string out(romaji.size() + 1, u'\0');
    int32_t n = RomajiToKana(romaji.data(), out.data(), static_cast<int32_t>(romaji.size()),
                             static_cast<int32_t>(out.size()), 0, nullptr);
    out.resize(static_cast<size_t>(n));
    return out;
}

bool IsSmallKana(char16_t c) {
    return c == u'ぁ' || c == u'ぃ' || c == u'ぅ' || c == u'ぇ' || c == u'ぉ' || c == u'ゃ' || c == u'ゅ' ||
           c == u'ょ' || c == u'ゎ';
}

// Classes of kana that romaji writes alike. "small kana" and "ゔ" may even
// change the romaji: a small kana fused into a foreign sound (ウィ "i",
// デュ "dyu", ツィ "tsi") reads back as other kana, and ゔ is kept as it is.
constexpr std::u16string_view kSmallKanaClass = u"small kana fused";
constexpr std::u16string_view kVuClass = u"ゔ kept";
const std::set<std::u16string_view> kKnownClasses = {
    u"を/お", u"ぢ/じ", u"づ/ず", u"ー/vowel", u"ん+vowel or y", u"ゐ/うぃ", u"ゑ/うぇ",
    u"っ not doubled", u"っ before m, n", u"ヵヶ", kSmallKanaClass, kVuClass,
};

// Kana outside the native syllables, whose romaji may read back as other
// kana with other romaji (ヴィ "wi" -> うぃ "i", デュ "dyu" -> ぢゅ "ju"),
// ん before っ ("n'" reads as ん alone), and っ before m or n ("mm" and
// "nn" read as ん).
bool MayReadBackDifferently(std::u16string_view kana) {
    static constexpr std::u16string_view kIRow = u"きぎしじちぢにひびぴみりい";
    static constexpr std::u16string_view kNasalRows = u"まみむめもなにぬねの";
    for (size_t i = 0; i < kana.size(); ++i) {
        char16_t c = kana[i];
        if (c == u'ゔ' || c == u'ゐ' || c == u'ゑ' || c == u'ぁ' || c == u'ぃ' || c == u'ぅ' || c == u'ぇ' ||
            c == u'ぉ' || c == u'ゎ')
            return true;
        if ((c == u'ゃ' || c == u'ゅ' || c == u'ょ') && (i == 0 || kIRow.find(kana[i - 1]) == kIRow.npos))
            return true;
        if (c == u'っ' && i > 0 && kana[i - 1] == u'ん') return true;
        if (c == u'っ' && i + 1 < kana.size() && kNasalRows.find(kana[i + 1]) != kNasalRows.npos) return true;
    }
    return false;
}

// Names the class of a mismatch by the first kana where the two differ.
std::u16string ClassOf(const std::u16string& original, const std::u16string& back) {
    size_t i = 0;
    while (i < original.size() && i < back.size() && original[i] == back[i]) ++i;
    char16_t o = i < original.size() ? original[i] : 0;
    char16_t next = i + 1 < original.size() ? original[i + 1] : 0;
    char16_t prev = i > 0 ? original[i - 1] : 0;
    if (o == u'ゔ' || next == u'ゔ' || prev == u'ゔ') return std::u16string(kVuClass);
    if (IsSmallKana(o) || IsSmallKana(next)) return std::u16string(kSmallKanaClass);
    if (o == u'を') return u"を/お";
    if (o == u'ぢ') return u"ぢ/じ";
    if (o == u'づ') return u"づ/ず";
    if (o == u'ー') return u"ー/vowel";
    if (o == u'ゐ') return u"ゐ/うぃ";
    if (o == u'ゑ') return u"ゑ/うぇ";
    if (o == u'ゕ' || o == u'ゖ') return u"ヵヶ";
    if (o == u'ん' || prev == u'ん') return u"ん+vowel or y";
    if (o == u'っ' && u"まみむめもなにぬねの"sv.find(next) != std::u16string_view::npos) return u"っ before m, n";
    if (o == u'っ') return u"っ not doubled";
    return std::u16string(1, o) + u"/" + (i < back.size() ? std::u16string(1, back[i]) : u"");
}

TEST(KanaRoundTripRealData, EdictReadingsComeBackOrDifferOnlyInKnownWays) {
#ifdef _WIN32
    GTEST_SKIP() << "the whole of EDICT runs in the native tree";
#endif
    std::vector<std::u16string> readings = EdictReadings();
    if (readings.empty()) GTEST_SKIP() << "edict is not installed";
    std::map<std::u16string, size_t> classes;
    std::map<std::u16string, std::u16string> firstExample;
    size_t same = 0, romajiChanged = 0;
    for (const std::u16string& reading : readings) {
        std::u16string original = ToHiragana(reading);
        std::u16string romaji = LatinRomaji(reading);
        std::u16string back = Kana(romaji);
        if (back == original) {
            ++same;
            continue;
        }
        std::u16string name = ClassOf(original, back);
        bool mayChange = MayReadBackDifferently(original);
        if (!mayChange && LatinRomaji(back) != romaji && ++romajiChanged <= 10)
            ADD_FAILURE() << Utf16ToUtf8(reading) << " -> " << Utf16ToUtf8(romaji) << " -> " << Utf16ToUtf8(back)
                          << " -> " << Utf16ToUtf8(LatinRomaji(back));
        if (classes[name]++ == 0) firstExample[name] = reading + u" " + romaji + u" " + back;
    }
    std::printf("%zu readings, %zu come back unchanged\n", readings.size(), same);
    for (auto& [name, count] : classes)
        std::printf("  %-16s %7zu  e.g. %s\n", Utf16ToUtf8(name).c_str(), count, Utf16ToUtf8(firstExample[name]).c_str());
    EXPECT_EQ(romajiChanged, 0u);
    for (auto& [name, count] : classes) EXPECT_TRUE(kKnownClasses.count(std::u16string_view(name))) << Utf16ToUtf8(name);
    // Most differences are ー written as its vowel; the rest stay small.
    EXPECT_GT(same, readings.size() * 8 / 10);
}

}  // namespace
