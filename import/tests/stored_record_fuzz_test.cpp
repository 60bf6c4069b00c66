// Stored article records of every format, their text damaged or replaced by
// random bytes, through CDictionary::ParseRecord under the sanitizers: no
// crash, no read past the record (each record sits in a buffer of exactly its
// size), and every element's text and span inside the record or the text
// buffer. A short seeded sweep by default; OSTREL_LONG_FUZZ=1 runs a long one
// (OSTREL_FUZZ_SECONDS long, ten minutes without it).
#include "import/article_record.h"
#include "import/import_registration.h"

#include "common/tests/fake_app_context.h"
#include "dictionary/dictionary.h"
#include "import/tests/text_damage.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>

namespace {

// A literal with its zero units.
template <size_t N>
std::u16string WithZeros(const char16_t (&text)[N]) {
    return std::u16string(text, N - 1);
}

struct Seed {
    uint16_t formatType;
    std::u16string text;
};

// Stored texts as the importers write them: a PDIC entry (word, U+0000, the
// attribute unit, translation, U+0000, typed fields), an EIJIRO line, a DSL
// card, a WARODAI article, a Latin article, the sentence formats and the
// formats stored as source text (own markup, EDICT, KANJIDIC, YARXI).
const Seed kSeeds[] = {
    {1, u"{\\rdf1 {\\k 猫}{\\r ねこ}{\\t cat}}"},
    {3, u"猫 [ねこ] /(n) cat/(P)/EntL1X/"},
    {6, u"日 467C U65e5 B72 G1 S4 ニチ ジツ ひ -び -か {day} {sun}"},
    {7, WithZeros(u"banker\0\x10銀行家\0\x01""a banker's example\0\x02\x01\x02\0")},
    {7, WithZeros(u"bank(2)\0\0土手")},
    {8, u"■cat {名} : 猫、ネコ■・～の手も借りたい"},
    {8, u"■:x"},
    {9, u"漢字\nかな\n\t[m1]1) [i]n[/i] [trn]a\\[b\\] <<x>>[/trn] [p]p[/p]\n [m2][ex][lang id=1]x[/lang][/ex]\n"},
    {9, u"日\n [m1][b]Japanese(On):[/b] [c]にち[/c]\n [m1][b]Unicode:[/b] U+65E5\n"},
    {10, u"あい, あいだ【間・閒, 髪I】〔1〕\n1) ～する <a>x</a> делать\n• Также かみ【紙】\n◇あい x\n"},
    {10, u"うみ【海】〔2〕\nморе; ～の幸 дары моря\n"},
    {11, u"A: 猫が好きです。\tI like cats.#ID=1_2\nB: 猫 好き\n"},
    {12, u"<Zxxx>\n<Cyrl>\nfirst<+>second\nпервый<+>второй\n"},
    {13, u"猫\ncat\nкот\n"},
    {14, u"{\\yarxi {\\a T{\\j 日}{\\on [NICHI]}{\\k ひ}}}"},
    {16, u"amo, amare, amavi, amatus\nlove\n"},
};
const char16_t kAlphabet[] = u"[]{}\\<>()#～•【】・,;:■ \n\r\t\0あ漢aI\"…〔〕/";

bool Inside(const char16_t* p, const char16_t* first, const char16_t* last) { return p >= first && p <= last; }

// Parses `bytes` as one stored record, from a heap block of exactly its size;
// the number of elements made.
int32_t ParseExactRecord(CDictionary& reader, const std::vector<uint8_t>& bytes) {
    std::unique_ptr<uint8_t[]> record(new uint8_t[bytes.size()]);
    std::memcpy(record.get(), bytes.data(), bytes.size());
    if (reader.ParseRecord(record.get(), uint32_t(bytes.size())) == 0) return 0;
    const auto* recordFirst = reinterpret_cast<const char16_t*>(record.get() + kRecordHeaderBytes);
    const auto* recordLast = recordFirst + (bytes.size() - kRecordHeaderBytes) / 2;
    const char16_t* textFirst = reader.Text();
    const char16_t* textLast = textFirst + reader.TextLength();
    const auto within = [&](const char16_t* from, const char16_t* to) {
        return (Inside(from, recordFirst, recordLast) && Inside(to, recordFirst, recordLast)) ||
               (textFirst != nullptr && Inside(from, textFirst, textLast) && Inside(to, textFirst, textLast));
    };
    for (int32_t e = 0; e < reader.ElementCount(); ++e) {
        const DictionaryElement& element = reader.Elements()[e];
        if (element.text != nullptr) {
            EXPECT_GE(element.length, 0) << "element " << e;
            EXPECT_TRUE(within(element.text, element.text + element.length)) << "text of element " << e;
        }
        if (element.begin != nullptr && element.end != nullptr) {
            EXPECT_TRUE(within(element.begin, element.end + 1)) << "span of element " << e;
        }
    }
    return reader.ElementCount();
}

TEST(StoredRecordFuzz, DamagedAndRandomRecordsStayInsideTheRecord) {
    RegisterImportParsers();
    FakeAppContext app;
    IAppContext* previous = SetAppContext(&app);
    const bool longRun = std::getenv("OSTREL_LONG_FUZZ") != nullptr;
    const char* seconds = std::getenv("OSTREL_FUZZ_SECONDS");
    const auto stop = std::chrono::steady_clock::now() + std::chrono::seconds(seconds ? std::atoi(seconds) : 600);
    const int64_t rounds = longRun ? INT64_MAX : 20000;
    std::mt19937 random(7);
    CDMS engine{SystemStorageIO()};
    CDictionary reader{0, engine};
    int64_t parsed = 0;  // rounds whose record gave elements: the sweep reaches the parsers
    int64_t round = 0;
    for (; round < rounds && !testing::Test::HasFailure(); ++round) {
        if (longRun && round % 1024 == 0 && std::chrono::steady_clock::now() > stop) break;
        const Seed& seed = kSeeds[round % std::size(kSeeds)];
        std::vector<uint8_t> bytes;
        if (random() % 4 == 0) {
            // Arbitrary bytes after the header, of any length (odd ones too).
            bytes = BuildArticleRecord(uint32_t(round), seed.formatType, u"");
            for (size_t n = random() % 200; n > 0; --n) bytes.push_back(uint8_t(random()));
        } else {
            std::u16string text = seed.text;
            DamageText(random, text, std::u16string_view(kAlphabet, std::size(kAlphabet) - 1), true);
            bytes = BuildArticleRecord(uint32_t(round), seed.formatType, text);
            if (random() % 8 == 0) bytes.resize(kRecordHeaderBytes + random() % (bytes.size() - kRecordHeaderBytes + 1));
        }
        parsed += ParseExactRecord(reader, bytes) > 0;
        app.messages.clear();
    }
    EXPECT_GT(parsed, round / 2);
    if (longRun) std::printf("%lld rounds, %lld with elements\n", static_cast<long long>(round), static_cast<long long>(parsed));
    SetAppContext(previous);
}

}  // namespace
