// Parsing one stored record: dispatch by format type through the registered
// parsers, damaged record sizes, the work areas' growth and the element
// pointers that must follow the text buffer when it moves.
#include <gtest/gtest.h>

#include <vector>

#include "dictionary/tests/dictionary_fixture.h"

namespace {

// Installs parsers for one format type for the life of the scope.
class ScopedParsers {
public:
    ScopedParsers(uint32_t formatType, FormatParsers parsers)
        : type_(formatType), previous_(SetFormatParsers(formatType, parsers)) {}
    ~ScopedParsers() { SetFormatParsers(type_, previous_); }

private:
    uint32_t type_;
    FormatParsers previous_;
};

struct Seen {
    int calls = 0;
    int32_t mode = -1;
    std::u16string text;
    bool inTextBuffer = false;
};
Seen g_seen;

int32_t RecordingImporter(CDictionary&, const void* text, uint32_t bytes, int32_t mode,
                          const ImportCallbacks&) {
    ++g_seen.calls;
    g_seen.mode = mode;
    g_seen.text.assign(static_cast<const char16_t*>(text), bytes / 2);
    return 1;
}

int32_t RecordingParser(CDictionary& dictionary, const char16_t* text, int32_t length) {
    ++g_seen.calls;
    g_seen.text.assign(text, static_cast<size_t>(length));
    g_seen.inTextBuffer = text == dictionary.Text();
    return 1;
}

// Makes an element over its input, then appends more text than the buffer
// holds, as a parser that writes a long article may.
int32_t GrowingParser(CDictionary& dictionary, const char16_t* text, int32_t length) {
    DictionaryElement* entry = dictionary.AddElement(kElementEntryStart);
    entry->begin = text;
    entry->end = text + length - 1;
    entry->text = text;
    entry->length = length;
    std::u16string filler(static_cast<size_t>(dictionary.TextCapacity()), u'x');
    return dictionary.AppendText(static_cast<int32_t>(filler.size()), filler.data()) >= 0;
}

class RecordParse : public DictionaryTest {
protected:
    void SetUp() override { g_seen = Seen{}; }
    uint32_t Parse(const std::vector<uint8_t>& record) {
        // A copy in a buffer of its own, so ASan sees any read past its end.
        buffer.assign(record.begin(), record.end());
        return dictionary.ParseRecord(buffer.data(), static_cast<uint32_t>(buffer.size()));
    }
    RDFDictionary dictionary{0, *engine};
    std::vector<uint8_t> buffer;
};

struct DispatchCase {
    uint16_t formatType;
    int32_t expectedMode;  // the import mode, or 0 where the one-article parser runs
    bool inTextBuffer;
};
class RecordDispatch : public RecordParse, public ::testing::WithParamInterface<DispatchCase> {};

TEST_P(RecordDispatch, ReachesTheParserOfItsFormatType) {
    const DispatchCase& c = GetParam();
    ScopedParsers parsers(c.formatType, {RecordingImporter, RecordingParser});
    EXPECT_EQ(Parse(ArticleRecord(c.formatType, u"見出し /gloss/")), 1u);
    EXPECT_EQ(g_seen.calls, 1);
    EXPECT_EQ(g_seen.text, u"見出し /gloss/");
    if (c.expectedMode != 0) {
        EXPECT_EQ(g_seen.mode, c.expectedMode);
    }
    EXPECT_EQ(g_seen.inTextBuffer, c.inTextBuffer);
}
INSTANTIATE_TEST_SUITE_P(
    FormatTypes, RecordDispatch,
    ::testing::Values(DispatchCase{1, 1, false}, DispatchCase{2, 2, false}, DispatchCase{3, 1, false},
                      DispatchCase{5, 1, false}, DispatchCase{6, 2, false}, DispatchCase{7, 0, true},
                      DispatchCase{9, 0, true}, DispatchCase{10, 0, true}, DispatchCase{11, 0, false},
                      DispatchCase{13, 0, false}, DispatchCase{14, 2, false}, DispatchCase{15, 2, false},
                      DispatchCase{16, 0, true}));

// Unknown format types and formats without parsers parse to nothing; records
// shorter than their header, from damaged or downloaded files, are refused;
// an odd last byte is ignored.
TEST_F(RecordParse, UnknownShortAndOddRecords) {
    EXPECT_EQ(Parse(ArticleRecord(0, u"text")), 0u);
    EXPECT_EQ(Parse(ArticleRecord(17, u"text")), 0u);
    EXPECT_EQ(Parse(ArticleRecord(8, u"text")), 0u);  // nothing registered for EIJIRO here
    ScopedParsers parsers(9, {nullptr, RecordingParser});
    std::vector<uint8_t> record = ArticleRecord(9, u"ab");
    for (size_t size = 0; size < kRecordHeaderBytes; ++size)
        EXPECT_EQ(Parse(std::vector<uint8_t>(record.begin(), record.begin() + size)), 0u) << size;
    EXPECT_EQ(g_seen.calls, 0);

    EXPECT_EQ(Parse(std::vector<uint8_t>(record.begin(), record.begin() + 10)), 1u);
    EXPECT_EQ(g_seen.text, u"");  // the parser sees length 0
    EXPECT_EQ(dictionary.TextLength(), 0);
    EXPECT_EQ(Parse(std::vector<uint8_t>(record.begin(), record.begin() + 13)), 1u);
    EXPECT_EQ(g_seen.text, u"a");
}

TEST_F(RecordParse, ElementsFollowTheTextBufferWhenItGrows) {
    ScopedParsers parsers(9, {nullptr, GrowingParser});
    const std::u16string article = u"[m1]текст статьи[/m1]";
    ASSERT_EQ(Parse(ArticleRecord(9, article)), 1u);
    ASSERT_EQ(dictionary.ElementCount(), 1);
    const DictionaryElement& entry = dictionary.Elements()[0];
    EXPECT_EQ(entry.text, dictionary.Text());
    EXPECT_EQ(std::u16string(entry.text, entry.length), article);
    EXPECT_EQ(std::u16string(entry.begin, entry.end + 1), article);
}

TEST_F(RecordParse, WorkAreasGrowInTheirSteps) {
    RDFDictionary store(0x10000000, *engine);
    EXPECT_EQ(dictionary.ElementStep(), kElementStep);
    for (int i = 0; i <= kStoreElementStep; ++i) ASSERT_NE(store.AddElement(3), nullptr);
    EXPECT_EQ(store.ElementCapacity(), 2 * kStoreElementStep);
    const DictionaryElement& e = store.Elements()[kStoreElementStep];
    EXPECT_EQ(std::vector<int32_t>({int32_t(e.kind), int32_t(e.flags), e.parent, e.level, e.nextSibling,
                                    e.lineNumber, e.group}),
              std::vector<int32_t>({3, 0, -1, -1, -1, 0, 0}));
    EXPECT_EQ(store.AppendText(7, nullptr), 0);  // only reserves
    EXPECT_EQ(store.TextLength(), 0);
    EXPECT_EQ(store.TextCapacity(), 7 + kTextGrowth);
    store.ReserveRecordBuffer(100);
    store.ReserveRecordBuffer(1120);  // 4 bytes to spare: kept
    EXPECT_EQ(store.RecordCapacity(), 1124u);
    store.ReserveRecordBuffer(1121);
    EXPECT_EQ(store.RecordCapacity(), 2145u);
}

// A kanji group "key=value" list; look-ups stay inside the element.
TEST_F(RecordParse, KanjiFieldsAreFoundWithinTheirGroup) {
    const std::u16string record = u"U=4e9c N=43 B=1 S7 NOTAKEY= P=4-7-1 MN=272";
    dictionary.AddElement(kElementEntryStart);
    dictionary.AddElement(5);
    DictionaryElement* group = dictionary.AddElement(kElementKanjiGroup);
    group->text = record.data();
    group->length = 34;  // ends inside "P=4-7-1"
    dictionary.AddElement(kElementEntryStart);
    DictionaryElement* next = dictionary.AddElement(kElementKanjiGroup);
    next->text = u"Z=1";
    next->length = 3;

    const char16_t* value = nullptr;
    int32_t length = 0;
    auto field = [&](std::u16string_view key) {
        int32_t n = dictionary.GetKanjiField(0, key, &value, &length);
        return n == 0 ? std::u16string() : std::u16string(value, static_cast<size_t>(n));
    };
    EXPECT_EQ(field(u"B"), u"1");
    EXPECT_EQ(field(u"P"), u"4-7-");  // cut at the element's end
    EXPECT_EQ(field(u"MN"), u"");     // beyond the element
    EXPECT_EQ(field(u"S"), u"");      // "S7" has no "="
    EXPECT_EQ(field(u"Z"), u"");      // in the next entry's group
    EXPECT_EQ(dictionary.GetKanjiField(3, u"Z", &value, &length), 1);
    EXPECT_EQ(dictionary.FindNextElement(2, kElementKanjiGroup), 0u);
}

TEST_F(RecordParse, ImportRecordsTurnsKanjiMarkupModeOneIntoTwo) {
    ScopedParsers parsers(2, {RecordingImporter, nullptr});
    const std::u16string source = u"{\\kanji 亜}";
    EXPECT_EQ(dictionary.ImportRecords(2, source.data(), static_cast<uint32_t>(source.size() * 2), 1, {}), 1);
    EXPECT_EQ(g_seen.mode, 2);
    EXPECT_EQ(dictionary.ImportRecords(12, source.data(), 2, 0, {}), 0);
}

}  // namespace
