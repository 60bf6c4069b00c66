#include "web/web_search.h"

#include <array>
#include <vector>

#include "common/text/kana_transcription.h"
#include "common/text/url_encode.h"
#include "web/update_query.h"

namespace {

constexpr uint32_t kKanjiSearch = 40164;

struct SearchForm {
    uint32_t command;
    const char* host;
    const char* before;  // URL text before the word
    const char* after;   // after it
};

constexpr std::array<SearchForm, 10> kForms = {{
    {40183, "www.google.com", "/search?hl=en&q=", ""},
    {40184, "www.google.com", "/search?hl=en&lr=lang_ja&q=", ""},
    {40185, "www.google.com", "/images?hl=en&q=", ""},
    {40186, "ja.wikipedia.org", "/wiki/", ""},
    {40187, "dictionary.goo.ne.jp", "/srch/all/", "/m0u/"},
    {40188, "eow.alc.co.jp", "/search?q=", ""},
    {40166, "www.weblio.jp", "/content/", ""},
    {40691, "ejje.weblio.jp", "/content/", ""},
    {40164, "www.yarxi.ru", "/online/?q=", ""},
    {40170, "jisho.org", "/search/", ""},
}};

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
bool IsKana(char16_t c) { return c >= 0x3041 && c <= 0x30FE; }
bool IsAsciiLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }
bool IsCyrillicOrColon(char16_t c) { return (c >= 0x0400 && c <= 0x04FF) || c == u':'; }

template <typename Predicate>
std::u16string_view LeadingRun(std::u16string_view word, Predicate inRun) {
    size_t n = 0;
    while (n < word.size() && n < kWebRunMaxUnits && inRun(word[n])) ++n;
    return word.substr(0, n);
}

}  // namespace

bool IsSearchIdeograph(uint32_t c) {
    return (c >= 0x2E80 && c <= 0x2FDF) || (c >= 0x2FF0 && c <= 0x2FFF) || (c >= 0x3190 && c <= 0x319F) ||
           (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0x1F210 && c <= 0x1F248) || (c >= 0x20000 && c <= 0x2A6D6) || (c >= 0x2A700 && c <= 0x2B734) ||
           (c >= 0x2F800 && c <= 0x2FA1D);
}

std::u16string PrepareWebSearchWord(uint32_t command, std::u16string_view word) {
    if (word.size() > kWebWordMaxUnits) {
        size_t cut = kWebWordMaxUnits;
        if (IsHighSurrogate(word[cut - 1]) && IsLowSurrogate(word[cut])) --cut;  // never half a pair
        word = word.substr(0, cut);
    }
    while (!word.empty() && word.back() <= u' ') word.remove_suffix(1);
    if (command != kKanjiSearch || word.empty()) return std::u16string(word);

    uint32_t first = word[0];
    if (word.size() > 1 && IsHighSurrogate(word[0]) && IsLowSurrogate(word[1]))
        first = 0x10000 + ((first - 0xD800) << 10) + (word[1] - 0xDC00);
    if (IsSearchIdeograph(first)) {
        std::string digits = std::to_string(first);
        return std::u16string(digits.begin(), digits.end());
    }
    if (IsKana(word[0])) return std::u16string(LeadingRun(word, IsKana));
    if (first < 0x100) return std::u16string(LeadingRun(word, IsAsciiLetter));
    if (first >= 0x400 && first <= 0x4FF) {
        std::u16string_view run = LeadingRun(word, IsCyrillicOrColon);
        std::vector<char16_t> kana(run.size() * 4 + 8);
        int32_t n = RomajiToKana(run.data(), kana.data(), static_cast<int32_t>(run.size()),
                                 static_cast<int32_t>(kana.size()), 0, nullptr);
        return std::u16string(kana.data(), static_cast<size_t>(n));
    }
    return std::u16string(word);
}

std::string WebSearchUrl(uint32_t command, std::u16string_view word) {
    const SearchForm* form = nullptr;
    for (const SearchForm& f : kForms)
        if (f.command == command) form = &f;
    if (!form) return {};
    std::u16string query = PrepareWebSearchWord(command, word);
    std::string utf8 = Utf8CutBetweenCharacters(query, kWebQueryMaxBytes);
    uint8_t encoded[1024];
    uint32_t size = sizeof encoded;
    if (UrlEncode(reinterpret_cast<const uint8_t*>(utf8.c_str()), encoded, &size, 0) != kUrlEncodeOk) size = 0;
    std::string url = std::string("https://") + form->host + form->before;
    if (command == kKanjiSearch && !query.empty() && query[0] >= u'0' && query[0] <= u'9')
        url = std::string("https://") + form->host + "/online/?u=";
    url.append(reinterpret_cast<const char*>(encoded), size);
    url += form->after;
    return url;
}
