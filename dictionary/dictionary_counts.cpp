// What the dictionary object counts while it opens: the entries of its
// indexes, the article count the user sees, the header records of a book,
// and from key ranges a guess of the index language when the file names none.
#include "dictionary/dictionary.h"

#include "dictionary/dictionary_schema.h"
#include "dictionary/engine_cursor.h"
#include "dictionary/format_detection.h"
#include "storage/dms.h"

#include <algorithm>
#include <cstring>

namespace {

// The most key segments an index of the schema has, and room for any of them.
constexpr int kMaxKeySegments = 4;
constexpr int32_t kSegmentBytes = 256;

// Key ranges of the language guess.
constexpr char16_t kKanaFirst = 0x3041, kKanaLast = 0x30FF;
constexpr char16_t kLatinFirst = 0x0041, kLatinLast = 0x024F;
// More kana keys than this in the word index alone make a Japanese dictionary.
constexpr uint32_t kJapaneseWordKanaKeys = 1000;
// The most keys of one index the guess looks at.
constexpr uint32_t kKeysLookedAt = 4096;

struct TranslationScript {
    char16_t first, last;
    const char16_t* language;
};
constexpr TranslationScript kTranslationScripts[] = {
    {0x0391, 0x03FF, u"ell"},
    {0x0410, 0x04FF, u"rus"},
    {kLatinFirst, kLatinLast, u"eng"},
    {0x05D0, 0x05EA, u"heb"},
};

bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// Buffers for the segments of an entry a move finds.
struct FoundKey {
    FoundKey() { Reset(); }
    void Reset() {
        for (int i = 0; i < kMaxKeySegments; ++i) found[i] = {buffers[i], kSegmentBytes};
    }
    // The first text unit of the first segment; 0 when it is empty.
    char16_t FirstUnit() const {
        char16_t unit = 0;
        if (found[0].length >= static_cast<int32_t>(sizeof unit)) std::memcpy(&unit, buffers[0], sizeof unit);
        return unit;
    }
    KeySegmentValue found[kMaxKeySegments];
    uint8_t buffers[kMaxKeySegments][kSegmentBytes];
};

}  // namespace

DmsStatus CDictionary::CheckIndexesReadable() {
    // The indexes the program reads: each must be in the file, and one with
    // entries must lead from its root to its first and its last entry.
    constexpr int32_t kReadIndexes[] = {kIndexArticles,      kIndexProperties,     kIndexBookRecords,
                                        kIndexReadingWord,   kIndexWordReading,    kIndexTranslationWords,
                                        kIndexFullTextWords, kIndexFullTextHits,   kIndexLatinStems};
    EngineCursor cursor(engine_, fileId);
    for (int32_t indexId : kReadIndexes) {
        uint32_t entries = 0;
        DmsStatus status = cursor.SelectIndex(indexId);
        if (!Failed(status)) status = engine_.GetCount(cursor.handle(), &entries);
        if (!Failed(status) && entries > 0) status = engine_.First(cursor.handle(), nullptr, nullptr);
        if (!Failed(status) && entries > 0) status = engine_.Last(cursor.handle(), nullptr, nullptr);
        if (Failed(status)) return status;
    }
    return DmsStatus::Success;
}

int32_t CDictionary::CountRecords() {
    EngineCursor cursor(engine_, fileId);
    cursor.SelectIndex(kIndexReadingWord);
    auto count = [&](int32_t indexId) -> int32_t {
        uint32_t n = 0;
        if (Failed(cursor.SelectIndex(indexId)) || Failed(engine_.GetCount(cursor.handle(), &n))) return 0;
        return static_cast<int32_t>(n);
    };
    const int32_t articleIndexCount = count(kIndexArticles);
    readingCount = count(kIndexReadingWord);
    wordCount = count(kIndexWordReading);
    translationWordCount = count(kIndexTranslationWords);
    latinStemCount = count(kIndexLatinStems);

    int32_t articles = readingCount;
    if (wordCount > articles) articles = wordCount;
    if (translationWordCount > readingCount) articles = translationWordCount;
    articleCount = articles;

    std::u16string name;
    GetFileName(name);
    if (EqualsIgnoringAsciiCase(name, u"Unihan") || EqualsIgnoringAsciiCase(name, u"kanjidic")) articleCount = wordCount;
    const std::optional<std::u16string>& versionText = HeaderText(kPropertyVersion);
    if (versionText && !versionText->empty() && versionText->back() != u'P' && articleIndexCount > 0)
        articleCount = articleIndexCount;
    return articles;
}

uint32_t CDictionary::CountKeysInRange(int32_t indexId, char16_t first, char16_t last) {
    // By the keys' own first unit, not by where they sort: a collation puts
    // keys of one script apart (a kana key sorts by its expansion, こと for
    // U+30FF), so the keys between two one-unit keys are not those of a range.
    if (indexId == kIndexArticles) return 0;
    EngineCursor cursor(engine_, fileId);
    uint32_t entries = 0;
    if (Failed(cursor.SelectIndex(indexId)) || Failed(engine_.GetCount(cursor.handle(), &entries)) || entries == 0)
        return 0;
    // A large index is looked at in keys spread evenly over it, each
    // standing for its share, so an open never walks every key.
    const uint32_t looked = std::min(entries, kKeysLookedAt);
    FoundKey key;
    uint64_t inRange = 0;
    for (uint32_t i = 0; i < looked; ++i) {
        const uint32_t ordinal = static_cast<uint32_t>(uint64_t{i} * entries / looked);
        key.Reset();
        if (Failed(engine_.MoveToOrdinal(cursor.handle(), ordinal, key.found, nullptr))) return 0;
        const char16_t unit = key.FirstUnit();
        if (unit != 0 && unit >= first && unit <= last) ++inRange;
    }
    return static_cast<uint32_t>((inRange * entries + looked / 2) / looked);
}

void CDictionary::GuessIndexLanguage() {
    const char16_t* guess = nullptr;
    if (latinStemCount > 0) {
        guess = u"lat";
    } else if (wordCount >= 1) {
        guess = u"cmn";
        if (readingCount == 0) {
            if (CountKeysInRange(kIndexWordReading, kKanaFirst, kKanaLast) > kJapaneseWordKanaKeys) guess = u"jpn";
        } else if (CountKeysInRange(kIndexReadingWord, kKanaFirst, kKanaLast) >
                   CountKeysInRange(kIndexReadingWord, kLatinFirst, kLatinLast)) {
            guess = u"jpn";
        }
    } else if (readingCount == 0) {
        const uint32_t half = static_cast<uint32_t>(translationWordCount) / 2;
        for (const TranslationScript& script : kTranslationScripts) {
            if (CountKeysInRange(kIndexTranslationWords, script.first, script.last) > half) {
                guess = script.language;
                break;
            }
        }
    }
    if (guess == nullptr) return;
    for (int i = 0; i < 4; ++i) languages[0][i] = guess[i];
}

// The records of a dictionary are of one format, so its first article says
// what the whole file holds. The flag is known from the open on, whoever
// opens the file (the program, a command-line tool), and not only once one
// of its records has been parsed: the translator reads it before any is.
void CDictionary::NoteArticleKind() {
    EngineCursor cursor(engine_, fileId);
    for (int32_t indexId : {kIndexWordReading, kIndexReadingWord}) {
        EntryPosition first;
        if (Failed(cursor.SelectIndex(indexId)) || Failed(engine_.First(cursor.handle(), nullptr, &first))) continue;
        uint8_t header[kRecordHeaderBytes] = {};
        uint32_t read = sizeof header;
        const DmsStatus status = engine_.ReadData(cursor.handle(), first.ref.first, header, &read);
        // A record the engine refuses is told when it is shown; the flag stays as it was.
        if ((Failed(status) && status != DmsStatus::Deleted) || read < kRecordHeaderBytes) return;
        const uint32_t formatType = header[8] | (header[9] << 8);
        if (IsKanjiFormatType(formatType)) flags = (flags & ~kFormatWords) | kFormatKanji;
        else flags &= ~kFormatKanji;
        return;
    }
}

int32_t CDictionary::CountBookHeaders() {
    EngineCursor cursor(engine_, fileId);
    uint32_t entries = 0;
    if (Failed(cursor.SelectIndex(kIndexBookRecords)) || Failed(engine_.GetCount(cursor.handle(), &entries)) ||
        entries == 0)
        return 0;
    flags = (flags | kFormatBook) & ~kFormatWords;
    int32_t keys[3] = {};
    KeySegmentValue found[3] = {{&keys[0], 4}, {&keys[1], 4}, {&keys[2], 4}};
    int32_t headers = 0;
    DmsStatus status = engine_.First(cursor.handle(), found, nullptr);
    while (!Failed(status) && keys[0] <= kLastBookHeaderKey) {
        ++headers;
        status = engine_.Next(cursor.handle(), found, nullptr);
    }
    return headers;
}
