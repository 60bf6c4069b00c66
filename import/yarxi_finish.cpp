// The standard elements of a finished YARXI article, derived from its groups
// so that the reading, kanji and word indexes can read YARXI like any other
// kanji dictionary. Every cut of a group's text is checked against the
// group's length: a group shorter than its keyword expects gives nothing.
#include "import/yarxi_import.h"

#include <array>
#include <string>
#include <vector>

#include "common/text/kana_transcription.h"
#include "common/unicode/japanese_chars.h"
#include "dictionary/dictionary.h"

namespace {

constexpr size_t kMaxTranscribed = 79;   // input units of one transcription
constexpr int32_t kKanaCapacity = 81;    // 80 units and the terminator
constexpr size_t kMaxFirstWord = 10;

// Derived kinds.
constexpr uint32_t kReading = 3;
constexpr uint32_t kWord = 4;
constexpr uint32_t kSense = 5;
constexpr uint32_t kOnReading = 11;
constexpr uint32_t kNumber = 13;

// A group's text without its closing "}" (when it has one).
std::u16string_view GroupBody(const DictionaryElement& e) {
    if (e.text == nullptr || e.length <= 0) return {};
    std::u16string_view text(e.text, static_cast<size_t>(e.length));
    if (text.back() == u'}') text.remove_suffix(1);
    return text;
}

// The units after `open` up to `close1` or `close2` (or the end), at most `limit`.
std::u16string_view Between(std::u16string_view text, size_t from, char16_t close1, char16_t close2, size_t limit) {
    if (from > text.size()) return {};
    size_t end = from;
    while (end < text.size() && end - from < limit && text[end] != close1 && text[end] != close2) ++end;
    return text.substr(from, end - from);
}

bool HasIdeograph(std::u16string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        if (ostrel::japanese::IsCjkIdeograph(c)) return true;
    }
    return false;
}

std::u16string Transcribe(std::u16string_view romaji, uint8_t flags) {
    std::array<char16_t, kKanaCapacity> kana{};
    const int32_t n = RomajiToKana(romaji.data(), kana.data(), static_cast<int32_t>(romaji.size()), kKanaCapacity,
                                   flags, nullptr);
    return std::u16string(kana.data(), static_cast<size_t>(n > 0 ? n : 0));
}

// Appends `text` to the buffer and an element of `kind` pointing at it.
void AddDerived(CDictionary& dictionary, uint32_t kind, std::u16string_view text) {
    if (text.empty()) return;
    // The text may lie in the buffer itself: AppendText reads it from its new place.
    const int32_t at = dictionary.AppendText(static_cast<int32_t>(text.size()), text.data());
    if (at < 0) return;
    DictionaryElement* element = dictionary.AddElement(kind);
    if (element == nullptr) return;
    element->text = element->begin = dictionary.Text() + at;
    element->end = element->text + text.size() - 1;
    element->length = static_cast<int32_t>(text.size());
}

}  // namespace

void FinishYarxiArticle(CDictionary& dictionary, int32_t article) {
    const int32_t count = dictionary.ElementCount();
    if (article < 0 || article >= count) return;
    const DictionaryElement& root = dictionary.Elements()[article];
    const bool readingList = root.text != nullptr && root.length > 4 && root.text[4] == u'T';
    std::vector<std::u16string> readingKeys;   // katakana of the readings made so far
    for (int32_t i = article + 1; i < count; ++i) {
        // Appending may move the buffer and the element array: read afresh.
        const DictionaryElement& e = dictionary.Elements()[i];
        const std::u16string_view body = GroupBody(e);
        const bool ownGroup = readingList && e.parent == article;
        switch (e.kind) {
        case kYarxiKanji:
            if (body.size() > 4) AddDerived(dictionary, kWord, std::u16string(body.substr(4)));
            break;
        case kYarxiNumber:
            if (body.size() > 4) AddDerived(dictionary, kNumber, std::u16string(body.substr(4)));
            break;
        case kYarxiOn: {
            const size_t open = body.find(u'[');
            if (open == std::u16string_view::npos) break;
            AddDerived(dictionary, kOnReading,
                       Transcribe(Between(body, open + 1, u']', u'}', kMaxTranscribed), 3));
            break;
        }
        case kYarxiWord: {
            if (!ownGroup) break;
            const size_t blank = body.find(u' ');
            if (blank == std::u16string_view::npos) break;
            const std::u16string word(Between(body, blank + 1, u'}', u'}', kMaxTranscribed));
            AddDerived(dictionary, HasIdeograph(word) ? kWord : kReading, word);
            break;
        }
        case kYarxiReading: {
            if (!ownGroup) break;
            const size_t open = body.find(u'[');
            if (open == std::u16string_view::npos) break;
            std::u16string romaji;
            for (char16_t c : Between(body, open + 1, u']', u'}', body.size()))
                if (c != u'-' && c != u' ' && c != u'(' && c != u')' && romaji.size() < kMaxTranscribed)
                    romaji += c;
            std::u16string key = Transcribe(romaji, 3);
            if (key.empty()) break;
            bool seen = false;
            for (const std::u16string& earlier : readingKeys) seen = seen || earlier == key;
            if (seen) break;
            readingKeys.push_back(std::move(key));
            AddDerived(dictionary, kReading, Transcribe(romaji, 0));
            break;
        }
        case kYarxiSense: {
            if (!ownGroup) break;
            size_t at = 0;
            while (at < body.size() && at < kMaxFirstWord && body[at] != u' ') ++at;
            while (at < body.size() && body[at] == u' ') ++at;
            AddDerived(dictionary, kSense, std::u16string(body.substr(at)));
            break;
        }
        default: break;
        }
    }
}
