// CInput: the texts of the search box and the conversions search as you type
// applies to them (romaji to kana, Latin or Cyrillic to Greek), with the word
// map the translator reads.
#include "dictionary/input_line.h"

#include <algorithm>
#include <vector>

#include "common/text/kana_transcription.h"
#include "common/unicode/char_tables.h"
#include "common/unicode/japanese_chars.h"

namespace {

std::u16string_view Cut(std::u16string_view text) {
    return text.substr(0, std::min<size_t>(text.size(), CInput::kMaxText));
}

bool LatinOrCyrillicLetter(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= 0x0410 && c <= 0x044F) || c == 0x0401 ||
           c == 0x0451;
}

char16_t LowerForGreek(char16_t c) {
    if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
    if (c >= 0x0410 && c <= 0x042F) return static_cast<char16_t>(c + 32);
    return c;
}

// The unambiguous letters; 0 when the letter is not listed.
char16_t GreekOf(char16_t c) {
    switch (c) {
    case u'a': case 0x0430: return 0x03B1;
    case u'b': case u'v': case 0x0431: case 0x0432: return 0x03B2;
    case u'g': case 0x0433: return 0x03B3;
    case u'd': case 0x0434: return 0x03B4;
    case u'e': case 0x0435: case 0x044D: return 0x03B5;
    case u'z': case 0x0437: return 0x03B6;
    case u'j': case 0x0439: return 0x03B9;
    case u'l': case 0x043B: return 0x03BB;
    case u'm': case 0x043C: return 0x03BC;
    case u'n': case 0x043D: return 0x03BD;
    case u'r': case 0x0440: return 0x03C1;
    case u'u': case 0x0443: case 0x044E: return 0x03C5;
    case u'f': case 0x0444: return 0x03C6;
    case u'c': case u'h': case u'x': case 0x0445: return 0x03C7;
    case u'q': return 0x03B8;
    case u'w': return 0x03C9;
    case u'y': return 0x03C8;
    default: return 0;
    }
}

struct AmbiguousLetter {
    char16_t latin, cyrillic;
    char16_t clear, set;  // also the choices of the digits 1 and 2
};
constexpr AmbiguousLetter kAmbiguous[] = {
    {u'i', 0x0438, 0x03B7, 0x03B9},
    {u'o', 0x043E, 0x03BF, 0x03C9},
    {u't', 0x0442, 0x03C4, 0x03B8},
};

bool IsS(char16_t c) { return c == u's' || c == 0x0441; }

// Letters, combining marks and numbers (categories 1-11) and private use (29) make words.
bool WordCharacter(char16_t c) {
    int32_t category = GetCharCategory(c);
    return (category >= 1 && category <= 11) || category == 29;
}

}  // namespace

InputPaste FitPasteIntoInput(std::u16string_view pasted, int32_t room) {
    auto lineEnd = [](char16_t c) { return c == u'\r' || c == u'\n'; };
    size_t begin = 0, end = pasted.size();
    while (begin < end && lineEnd(pasted[begin])) ++begin;
    while (end > begin && lineEnd(pasted[end - 1])) --end;
    InputPaste paste;
    const size_t most = static_cast<size_t>(std::max(room, 0));
    size_t i = begin;
    while (i < end) {
        if (lineEnd(pasted[i])) {
            if (paste.text.size() >= most) break;
            paste.text += u' ';
            while (i < end && lineEnd(pasted[i])) ++i;
            continue;
        }
        const size_t units = i + 1 < end && ostrel::japanese::IsHighSurrogate(pasted[i]) &&
                               ostrel::japanese::IsLowSurrogate(pasted[i + 1]) ? 2 : 1;
        if (paste.text.size() + units > most) break;
        paste.text += pasted[i] < 0x20 ? u' ' : pasted[i];
        if (units == 2) paste.text += pasted[i + 1];
        i += units;
    }
    paste.cut = i < end;
    paste.length = UserCharacterCount(pasted);
    paste.readUpTo = paste.cut ? UserCharacterCount(pasted.substr(0, i)) : paste.length;
    return paste;
}

int32_t UserCharacterCount(std::u16string_view text) {
    int32_t count = 0;
    for (size_t i = 0; i < text.size(); ++count) {
        const bool pair = i + 1 < text.size() && ((text[i] == u'\r' && text[i + 1] == u'\n') ||
                                                  (ostrel::japanese::IsHighSurrogate(text[i]) &&
                                                   ostrel::japanese::IsLowSurrogate(text[i + 1])));
        i += pair ? 2 : 1;
    }
    return count;
}

void CInput::ClearDerived() {
    converted.clear();
    secondText.clear();
    positionMap.clear();
    greek.clear();
    wordMap.clear();
    convertedSearched = false;
    wordCount = 0;
}

int32_t CInput::SetText(std::u16string_view newText) {
    newText = Cut(newText);
    if (newText == text) return changeCounter;
    text.assign(newText);
    searchText = text;
    ClearDerived();
    return ++changeCounter;
}

int32_t CInput::Update(const IInputBox& box) {
    std::u16string boxText = box.Text();
    int32_t start = 0, end = 0;
    box.Selection(start, end);
    selectionStart = start;
    selectionEnd = end;
    return SetText(boxText);
}

void CInput::Reset() {
    bool hadText = !text.empty();
    text.clear();
    searchText.clear();
    ClearDerived();
    selectionStart = selectionEnd = 0;
    if (hadText) ++changeCounter;
}

int32_t CInput::ConvertToKana() {
    converted.clear();
    positionMap.clear();
    if (text.empty()) return 0;
    std::vector<char16_t> out(kMaxText + 1);
    std::vector<int32_t> typedToKana(text.size() + 1, 0);
    int32_t length = RomajiToKana(text.data(), out.data(), static_cast<int32_t>(text.size()), kMaxText + 1, 0,
                                  typedToKana.data());
    if (length < 1) return 0;
    converted.assign(out.data(), static_cast<size_t>(length));
    // Each converted character maps to the first typed character whose kana
    // begins there; characters inside one kana take the position before them.
    positionMap.assign(converted.size(), 0xFFFF);
    for (size_t typed = 0; typed < text.size(); ++typed) {
        int32_t at = typedToKana[typed];
        if (at >= 0 && at < length && positionMap[static_cast<size_t>(at)] == 0xFFFF)
            positionMap[static_cast<size_t>(at)] = static_cast<char16_t>(typed);
    }
    for (size_t k = 0; k < positionMap.size(); ++k)
        if (positionMap[k] == 0xFFFF) positionMap[k] = k > 0 ? positionMap[k - 1] : 0;
    int32_t left = 0;
    for (char16_t c : converted)
        if (c <= 0x2FFF && LatinOrCyrillicLetter(c)) ++left;
    size_t n = converted.size();
    char16_t last = converted[n - 1];
    if (left == 1 && n >= 2 && (last == u's' || last == u'S' || last == 0x0441 || last == 0x0421) &&
        (converted[n - 2] == 0x307E || converted[n - 2] == 0x3067)) {
        converted[n - 1] = 0x3059;  // ます, です typed with a final s
        return 0;
    }
    return left;
}

int32_t CInput::ToGreekVariant(uint64_t mask) {
    greek.clear();
    int32_t bits = 0;
    // Bits at or beyond 32 read as clear, so a long input never shifts past the mask.
    auto takeBit = [&]() {
        bool set = bits < kMaxVariantBits && ((mask >> bits) & 1u) != 0;
        if (bits < kMaxVariantBits) ++bits;
        return set;
    };
    size_t n = text.size();
    for (size_t i = 0; i < n && greek.size() < static_cast<size_t>(kMaxText); ++i) {
        char16_t c = LowerForGreek(text[i]);
        char16_t following = i + 1 < n ? LowerForGreek(text[i + 1]) : 0;
        const AmbiguousLetter* ambiguous = nullptr;
        for (const auto& a : kAmbiguous)
            if (c == a.latin || c == a.cyrillic) ambiguous = &a;
        if (ambiguous != nullptr) {
            if (following == u'1' || following == u'2') {
                greek += following == u'1' ? ambiguous->clear : ambiguous->set;
                ++i;
            } else if (ambiguous->latin == u't' && (following == u'h' || following == 0x0445)) {
                if (takeBit()) {
                    greek += char16_t(0x03C4);  // the h is read as the next letter
                } else {
                    greek += char16_t(0x03B8);
                    ++i;
                }
            } else {
                greek += takeBit() ? ambiguous->set : ambiguous->clear;
            }
            continue;
        }
        if ((c == u'k' || c == 0x043A || c == u'p' || c == 0x043F) && IsS(following)) {
            bool kappa = c == u'k' || c == 0x043A;
            if (takeBit()) {
                greek += kappa ? char16_t(0x03BA) : char16_t(0x03C0);
            } else {
                greek += kappa ? char16_t(0x03BE) : char16_t(0x03C8);
                ++i;
            }
            continue;
        }
        if (c == u'k' || c == 0x043A) {
            greek += char16_t(0x03BA);
        } else if (c == u'p' || c == 0x043F) {
            greek += char16_t(0x03C0);
        } else if (IsS(c)) {
            greek += i + 1 == n ? char16_t(0x03C2) : char16_t(0x03C3);
        } else {
            char16_t mapped = GreekOf(c);
            greek += mapped != 0 ? mapped : text[i];
        }
    }
    return bits;
}

int32_t CInput::GetSelectionWordRange(int32_t& first, int32_t& last) const {
    if (!convertedSearched) return 0;
    int32_t newFirst = 0;
    int32_t newLast = static_cast<int32_t>(text.size());
    bool firstFound = false;
    for (size_t k = 0; k < positionMap.size(); ++k) {
        if (!firstFound && positionMap[k] >= first) {
            newFirst = static_cast<int32_t>(k);
            firstFound = true;
        }
        if (positionMap[k] >= last) {
            newLast = static_cast<int32_t>(k);
            break;
        }
    }
    first = newFirst;
    last = newLast;
    return 1;
}

int32_t CInput::SplitWords() {
    wordMap.assign(text.size(), 0);
    wordCount = 0;
    bool inWord = false;
    for (size_t i = 0; i < text.size(); ++i) {
        bool word = WordCharacter(text[i]);
        if (word && !inWord) ++wordCount;
        inWord = word;
        if (word) wordMap[i] = static_cast<char16_t>(wordCount);
    }
    return wordCount;
}

int32_t CInput::GetWordRange(int32_t word, int32_t& first, int32_t& last) const {
    first = last = -1;
    for (size_t i = 0; i < wordMap.size(); ++i) {
        if (wordMap[i] != word + 1) continue;
        if (first < 0) first = static_cast<int32_t>(i);
        last = static_cast<int32_t>(i) + 1;
    }
    return first < 0 ? 0 : last - first;
}

int32_t CInput::GetWordText(int32_t word, std::u16string* out) const {
    int32_t first = 0, last = 0;
    int32_t length = GetWordRange(word, first, last);
    if (out != nullptr) out->assign(length > 0 ? text.substr(static_cast<size_t>(first), static_cast<size_t>(length)) : u"");
    return length;
}

int32_t CInput::WordAtPosition(int32_t position) const {
    if (wordCount == 0 || wordMap.empty()) return -1;
    auto size = static_cast<int32_t>(wordMap.size());
    int32_t at = std::clamp(position, 0, size - 1);
    if (wordMap[static_cast<size_t>(at)] != 0) return wordMap[static_cast<size_t>(at)] - 1;
    if (at > 0 && wordMap[static_cast<size_t>(at - 1)] != 0) return wordMap[static_cast<size_t>(at - 1)] - 1;
    for (int32_t i = at + 1; i < size; ++i)
        if (wordMap[static_cast<size_t>(i)] != 0) return wordMap[static_cast<size_t>(i)] - 1;
    return wordCount - 1;
}
