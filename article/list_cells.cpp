// Cell texts of the list views by list kind and column kind (see list_cells.h).
#include "article/list_cells.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "article/article_context.h"
#include "article/display_attributes.h"
#include "article/formatter_family.h"
#include "common/segmentation/text_segmentation.h"
#include "common/text/kana_transcription.h"
#include "common/unicode/search_key.h"
#include "dictionary/cursor.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/engine_cursor.h"
#include "dictionary/full_text_query.h"
#include "dictionary/full_text_query_search.h"
#include "dictionary/list_view_model.h"
#include "dictionary/word_list.h"
#include "dictionary/word_list_entry.h"

namespace {

const FullTextQuery* g_highlightQuery = nullptr;

constexpr uint32_t kOnReadingRecord = 1u << 18;  // first element's grammar bit: a kanji's on reading

// Grammar tag codes of a translated word that do not mean an inflected form.
bool InflectedForm(const WordListEntry& entry) {
    for (uint8_t code : entry.tags) {
        if (code == 0) break;
        if (code != 3 && code != 22 && code != 71) return true;
    }
    return false;
}

// Line `line` (0 or 1) of an own text.
std::u16string_view TextLine(std::u16string_view text, int line) {
    size_t end = text.find(u'\n');
    if (line == 0) return text.substr(0, end);
    if (end == std::u16string_view::npos) return {};
    text.remove_prefix(end + 1);
    return text.substr(0, text.find(u'\n'));
}

// The matched part of the input, clamped to the input's length.
std::u16string_view MatchedInput(const CellRow& row) {
    if (row.entry == nullptr || row.entry->matchStart < 0 || row.entry->matchLength <= 0) return {};
    const size_t start = static_cast<size_t>(row.entry->matchStart);
    if (start >= row.input.size()) return {};
    return row.input.substr(start, std::min<size_t>(static_cast<size_t>(row.entry->matchLength), 255));
}

void AppendFormatterColumn(const CellRow& row, ListCell& cell, int32_t columnKind) {
    if (!row.recordLoaded || row.dictionary == nullptr) return;
    GetColumnText(*row.dictionary, cell, columnKind, row.subEntry);
}

void SetAttributes(ListCell& cell, int32_t from, uint32_t attribute) {
    for (int32_t i = from; i < cell.length; ++i) cell.attributes[i] = attribute;
}

void AppendUnsigned(StyledWriter& out, uint32_t value) {
    char16_t digits[10];
    int n = 0;
    do {
        digits[n++] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (n > 0) out.Put(digits[--n], 0);
}

// Column kind 2: the reading (or on reading), with the prefix of an
// inflected translated word and the transcription into letters.
void BuildReading(const CellRow& row, ListCell& cell) {
    StyledWriter out = cell.Writer();
    int32_t column = 2;
    if (row.listKind == kListTranslatedWords && row.entry != nullptr) {
        if (InflectedForm(*row.entry))
            out.Append((row.applicationFlags & kEnglishInterfaceFlag) ? u"from " : u"\u043E\u0442 ", kCellReading);
        if (row.entry->indexId == 101) column = 3;
    }
    cell.length = out.Length();
    const int32_t prefix = cell.length;
    uint32_t attribute = kCellReading;
    const CDictionary* d = row.dictionary;
    if (row.listKind == kListReadings) {
        out.Append(row.firstField, 0);
    } else if (row.listKind == kListWritings && column == 2) {
        out.Append(row.secondField, 0);
    } else {
        if (column == 3 && d != nullptr && d->latinStemCount > 0) attribute = kCellHeadword;
        int32_t asked = column;
        if (column == 2) {
            const uint32_t keyKind = row.referenceSecond & 0xFF;
            const bool onReading = row.recordLoaded && d != nullptr && d->ElementCount() > 0 &&
                                   (d->Elements()[0].flags & kOnReadingRecord) != 0;
            if (keyKind == 2 || keyKind == 6 || onReading) asked = 7;
            else if (d != nullptr && d->readingCount == 0 && d->translationWordCount > 0) asked = 5;
        }
        AppendFormatterColumn(row, cell, asked);
    }
    cell.length = std::max(cell.length, out.Length());
    if ((row.applicationFlags & kTransliterateInLists) != 0 && cell.length > prefix) {
        // The transcription replaces the reading within the room the prefix left.
        const std::u16string kana(cell.text + prefix, static_cast<size_t>(cell.length - prefix));
        const int32_t room = kCellTextLimit - prefix;
        const int32_t whole = KanaToRomaji(cell.text + prefix, kana.data(), static_cast<int32_t>(kana.size()),
                                           room + 1, ResolveTranscriptionScript(row.applicationFlags));
        cell.length = prefix + std::min(whole, room);
    }
    SetAttributes(cell, prefix, attribute);
}

// Column kind 11: column 14 without its fullwidth parentheses, the part
// between them in colour class 5.
void BuildBracketed(const CellRow& row, ListCell& cell) {
    ListCell source;
    AppendFormatterColumn(row, source, 14);
    StyledWriter out = cell.Writer();
    // The formatter may have dropped the parentheses already, greying what
    // they held: that part counts as bracketed too.
    bool inside = false;
    for (int32_t i = 0; i < source.length; ++i) {
        const char16_t c = source.text[i];
        if (c == u'\uFF08' || c == u'\uFF09') {
            inside = c == u'\uFF08';
            continue;
        }
        const bool grey = (source.attributes[i] & kAttrColourMask) == kClassGrey;
        out.Put(c, inside || grey ? kCellBracketed : kCellReading);
    }
    cell.length = out.Length();
}

// Column kinds 12 and 13: the first field as an unsigned number of 1, 2 or
// 4 bytes by its length.
void BuildKeyNumber(const CellRow& row, ListCell& cell) {
    if (row.firstFieldData == nullptr || row.firstFieldBytes <= 0) return;
    uint32_t value = 0;
    if (row.firstFieldBytes >= 4) {
        std::memcpy(&value, row.firstFieldData, 4);
    } else if (row.firstFieldBytes >= 2) {
        uint16_t half = 0;
        std::memcpy(&half, row.firstFieldData, 2);
        value = half;
    } else {
        value = row.firstFieldData[0];
    }
    StyledWriter out = cell.Writer();
    AppendUnsigned(out, value);
    cell.length = out.Length();
}

}  // namespace

void BuildCell(const CellRow& row, ListCell& cell) {
    const int32_t column = cell.columnKind;
    cell.length = 0;
    cell.text[0] = 0;
    cell.attributes[0] = 0;
    StyledWriter out = cell.Writer();
    if (row.entry != nullptr && (row.entry->flags & kEntryOwnText) != 0) {
        // Own-text rows (found in no dictionary): the input or the text's lines.
        if (column == 1) out.Append(MatchedInput(row), 0);
        else out.Append(TextLine(row.ownText, column == 4 || column == 9 || column == 10 ? 1 : 0), 0);
        cell.length = out.Length();
        cell.text[cell.length] = 0;
        return;
    }
    switch (column) {
    case 1:
        if (row.entry != nullptr) out.Append(MatchedInput(row), 0);
        break;
    case 2:
        BuildReading(row, cell);
        break;
    case 3:
        if (row.listKind == kListWritings) out.Append(row.firstField, kCellHeadword);
        else if (row.listKind == kListReadings) out.Append(row.secondField, kCellHeadword);
        else AppendFormatterColumn(row, cell, 3);
        break;
    case 4:
        AppendFormatterColumn(row, cell, 4);
        if (cell.length == 0 && row.listKind != kListReverse) AppendFormatterColumn(row, cell, 5);
        break;
    case 5:
        if (row.listKind == kListReverse) out.Append(row.firstField, kCellReverseWord);
        break;
    case 6: case 7: case 8: case 9: case 10: case 14: case 27: case 28: case 29:
        AppendFormatterColumn(row, cell, column);
        break;
    case 11:
        BuildBracketed(row, cell);
        break;
    case 12: case 13:
        BuildKeyNumber(row, cell);
        break;
    case 25:
        if (row.listKind == kListLexicon) AppendUnsigned(out, static_cast<uint32_t>(std::max(row.articleCount, 0)));
        break;
    case 30: {
        StyledWriter number = cell.Writer();
        AppendUnsigned(number, row.recordId);
        cell.length = number.Length();
        break;
    }
    default:
        out.Append(row.firstField, 0);
        break;
    }
    cell.length = std::clamp(std::max(cell.length, out.Length()), 0, kCellTextLimit);
    cell.text[cell.length] = 0;
    cell.attributes[cell.length] = 0;
}

void FillCellRowFromCursor(CCursor& cursor, CellRow& row) {
    row.dictionary = cursor.dictionary;
    // A lexicon row stands on a word of the full-text index, not on an
    // article: there is no record to read (the engine refuses the read).
    row.recordLoaded = row.listKind != kListLexicon && cursor.LoadArticle() == 1;
    row.firstField = cursor.FieldText(0);
    row.secondField = cursor.FieldText(1);
    if (cursor.FieldWritten(0)) {
        row.firstFieldData = cursor.fieldArea[0];
        row.firstFieldBytes = std::clamp(cursor.fields[0].length, 0, CCursor::kSegmentBytes);
    }
    row.referenceSecond = cursor.position.ref.second;
    row.subEntry = static_cast<uint16_t>(cursor.position.ref.second >> 16);
    row.recordId = cursor.RecordId();
}

int32_t GetCellText(WordList& list, int32_t row, ListCell& cell) {
    cell.length = 0;
    cell.text[0] = 0;
    if (list.CursorCount() == 0 || row < 0) return 0;
    CellRow source;
    source.listKind = list.Kind();
    source.applicationFlags = ArticleContext().ApplicationFlags();
    if (list.analysedText != nullptr) source.input = list.analysedText;
    if (list.IsStored()) {
        source.entry = list.RowEntry(row);
        if (source.entry == nullptr) return 0;
        if ((source.entry->flags & kEntryOwnText) != 0) {
            source.ownText = list.PoolText(source.entry->textOffset, source.entry->textLength);
            BuildCell(source, cell);
            return 0;
        }
    }
    CCursor* cursor = list.GetEntry(row);
    if (cursor == nullptr) return 0;
    FillCellRowFromCursor(*cursor, source);
    if (cell.columnKind == 25 && source.listKind == kListLexicon)
        source.articleCount = CountArticlesOfWord(list, std::u16string(source.firstField)).articles;
    BuildCell(source, cell);
    if (source.listKind == kListSearchResults && source.entry != nullptr && g_highlightQuery != nullptr)
        HighlightQueryWords(*g_highlightQuery, source.entry->flags, cell);
    return 0;
}

int32_t CountArticlesOfWord(CDMS& engine, int32_t fileId, const std::u16string& word, DmsStatus* refusal) {
    EngineCursor words(engine, fileId), hits(engine, fileId);
    if (!words.ok() || !hits.ok() || Failed(words.SelectIndex(kIndexFullTextWords)) ||
        Failed(hits.SelectIndex(kIndexFullTextHits)))
        return 0;
    uint32_t id = 0;
    HitList list;
    DmsStatus st = FindWordId(engine, words.handle(), word, id);
    if (!Failed(st)) st = LoadHitList(engine, hits.handle(), id, list);
    if (!Failed(st)) return static_cast<int32_t>(list.size());
    if (refusal != nullptr && IsReadRefusal(st)) *refusal = st;
    return 0;
}

ArticleCount CountArticlesOfWord(WordList& list, const std::u16string& word) {
    ArticleCount count;
    for (int32_t i = 0; i < list.CursorCount(); ++i) {
        CCursor* cursor = list.CursorAt(i);
        RDFDictionary* dictionary = cursor ? cursor->dictionary : nullptr;
        if (dictionary == nullptr || !(dictionary->flags & kDictionaryOpen)) continue;
        DmsStatus refusal = DmsStatus::Success;
        const int32_t articles = CountArticlesOfWord(dictionary->Engine(), dictionary->fileId, word, &refusal);
        dictionary->NoteReadRefusal(refusal);
        count.articles += articles;
        if (articles > 0) ++count.dictionaries;
    }
    return count;
}

namespace {

struct TextWord {
    int32_t start;
    int32_t end;
    std::u16string key;
};

// The words of `text` (each at most `maxWordUnits`) with their search keys.
std::vector<TextWord> TextWords(std::u16string_view text, int32_t maxWordUnits) {
    std::vector<TextWord> words;
    std::vector<char16_t> word(static_cast<size_t>(maxWordUnits) + 1);
    char16_t key[FullTextQuery::kMaxKeyUnits];
    int32_t position = 0, end = 0;
    const int32_t length = static_cast<int32_t>(text.size());
    while (NextWord(text.data(), length, &position, &end, word.data(), maxWordUnits) > 0) {
        const int32_t units = MakeSearchKey(std::u16string_view(word.data()), key);
        words.push_back({position, end, std::u16string(key, static_cast<size_t>(std::max(units, 0)))});
        if (end <= position) break;
        position = end;
    }
    return words;
}

}  // namespace

std::vector<std::pair<int32_t, int32_t>> QueryWordRanges(const FullTextQuery& query, uint32_t entryFlags,
                                                         std::u16string_view text, int32_t maxWordUnits) {
    std::vector<std::pair<int32_t, int32_t>> ranges;
    const std::vector<int32_t> groups = query.Groups();
    if (groups.empty()) return ranges;
    const bool plain = (entryFlags & kEntrySearchHighlight) != 0;
    const bool grouped = !plain && (entryFlags & kEntrySearchHighlightOther) != 0;
    auto phraseOf = [&](size_t g) { return query.Record(groups[g]).phrase; };
    // A plain search starts at words outside phrases or first in theirs; a
    // grouped one at any word but a phrase's later ones; otherwise only the
    // query's first word starts, and the whole query must follow.
    auto starts = [&](size_t g) { return plain ? phraseOf(g) <= 1 : grouped ? phraseOf(g) < 2 : g == 0; };
    auto continues = [&](size_t next) { return plain || grouped ? phraseOf(next) >= 2 : true; };
    const std::vector<TextWord> words = TextWords(text, maxWordUnits);
    for (size_t w = 0; w < words.size(); ++w) {
        for (size_t g = 0; g < groups.size(); ++g) {
            if (!starts(g) || query.Record(groups[g]).word != words[w].key) continue;
            size_t last = w;
            bool matched = true;
            for (size_t next = g + 1; next < groups.size() && continues(next); ++next) {
                if (last + 1 >= words.size() || query.Record(groups[next]).word != words[last + 1].key) {
                    matched = false;
                    break;
                }
                ++last;
            }
            if (!matched) continue;
            ranges.emplace_back(words[w].start, std::min(words[last].end, static_cast<int32_t>(text.size())));
            w = last;
            break;
        }
    }
    return ranges;
}

void HighlightQueryWords(const FullTextQuery& query, uint32_t entryFlags, ListCell& cell) {
    std::u16string_view text(cell.text, static_cast<size_t>(std::clamp(cell.length, 0, kCellTextLimit)));
    for (const auto& [start, end] : QueryWordRanges(query, entryFlags, text, kCellTextLimit))
        for (int32_t i = start; i < end; ++i) cell.attributes[i] = (cell.attributes[i] & ~0x90u) | 0x60u;
}

std::u16string ArticleCountHintText(UILanguage language, std::u16string_view cellText, int32_t articles,
                                    int32_t dictionaries) {
    std::u16string text(cellText);
    auto number = [](int32_t n) {
        std::string digits = std::to_string(n);
        return std::u16string(digits.begin(), digits.end());
    };
    switch (language) {
    case UILanguage::Russian:
        text += u"\n\u0412\u0441\u0442\u0440\u0435\u0447\u0430\u0435\u0442\u0441\u044F \u0432 " + number(articles);
        text += articles == 1 ? u" \u0441\u0442\u0430\u0442\u044C\u0435 " : u" \u0441\u0442\u0430\u0442\u044C\u044F\u0445 ";
        text += number(dictionaries);
        text += dictionaries == 1 ? u" \u0441\u043B\u043E\u0432\u0430\u0440\u044F. "
                                  : u" \u0441\u043B\u043E\u0432\u0430\u0440\u0435\u0439. ";
        text += u"\n\u0414\u0432\u0430\u0436\u0434\u044B \u0449\u0435\u043B\u043A\u043D\u0438\u0442\u0435 "
                u"\u043D\u0430 \u0441\u0442\u0440\u043E\u043A\u0435 \u0441\u043F\u0438\u0441\u043A\u0430 "
                u"\u0447\u0442\u043E\u0431\u044B \u0443\u0432\u0438\u0434\u0435\u0442\u044C \u0432\u0441\u0435 "
                u"\u0441\u0442\u0430\u0442\u044C\u0438.";
        break;
    case UILanguage::Japanese:
        text += u"\n" + number(dictionaries) + u"\u306E\u8F9E\u66F8\u306E\u3001" + number(articles) +
                u"\u306E\u9805\u76EE\u306B\u542B\u307E\u308C\u3066\u3044\u307E\u3059\u3002\n"
                u"\u9805\u76EE\u5168\u6587\u3092\u898B\u308B\u306B\u306F\u3001\u30EA\u30B9\u30C8\u306E"
                u"\u884C\u3092\u3001\u30C0\u30D6\u30EB\u30FB\u30AF\u30EA\u30C3\u30AF\u3057\u3066"
                u"\u304F\u3060\u3055\u3044\u3002";
        break;
    default:
        text += u"\nContained in " + number(articles) + (articles == 1 ? u" article of " : u" articles of ") +
                number(dictionaries) + (dictionaries == 1 ? u" dictionary. " : u" dictionaries. ") +
                u"\nDouble-click on the line to see the list of articles.";
        break;
    }
    return text;
}

void InstallListCellTexts(const FullTextQuery* query) {
    g_highlightQuery = query;
    ListViewModel::cellText = [](WordList& list, int32_t row, int32_t columnKind) {
        ListCell cell;
        cell.columnKind = columnKind;
        GetCellText(list, row, cell);
        return std::u16string(cell.text, static_cast<size_t>(cell.length));
    };
}
