// Every importer keeps its state in the call (Unihan mode and table, YARXI
// nesting, the parallel-text row size, ...): two passes over one source give
// the same elements (kind, place, length, line and group), whatever other
// sources were imported between them or inside their callbacks.
#include "import/import_registration.h"

#include <map>
#include <string>

#include "common/tests/fake_app_context.h"
#include "dictionary/dictionary.h"
#include "import/tests/pdic_test_writer.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

#include <gtest/gtest.h>

namespace {

struct Source {
    uint32_t formatType;
    std::string bytes;  // as the loader hands them over: UTF-16 units, or the file's bytes
};

std::string Units(std::u16string_view text) { return {reinterpret_cast<const char*>(text.data()), text.size() * 2}; }

// A prepared Tatoeba buffer: one headword line with two translations.
std::string TatoebaPairs() {
    const uint32_t words[] = {20, 0, 8, 0, 18};
    return std::string(reinterpret_cast<const char*>(words), sizeof words) +
           Units(u"2\tjpn\t猫\n3\teng\tcat\n4\trus\tкот\n");
}

// A PDIC file of two words, the second with extension fields.
std::string PdicFile() {
    const std::vector<uint8_t> file = WritePdicFile({{"apple", 0, "\x97\xd1\x8c\xe7", {}},  // 林檎
                                                     {"cat", 0x10, "\x94\x4c", {{1, "neko"}, {2, "\x01\x02"}}}});
    return {file.begin(), file.end()};
}

const Source kSources[] = {
    {7, PdicFile()},
    {3, Units(u"猫 [ねこ] /(n) cat/\n犬 [いぬ] /(n) dog/EntL1X/\n")},
    {8, "\x81\xA1""cat {n} : neko\r\n\x81\xA1""dog : inu\r\n"},
    {9, Units(u"#NAME \"Unihan x\"\n日\n [m1][b]Japanese(On):[/b] [c]にち[/c]\n [m1][b] Definition:[/b] [u] sun[/u]\n"
              u" [m1][b]Unicode:[/b] U+65E5\n\n月\n [m1][b]Mandarin(P):[/b] yuè\n [m1][b]Unicode:[/b] U+6708\n")},
    {9, Units(u"#NAME Test\n漢字\nかな\n\t[m1]1) [i]n[/i] [trn]a[/trn]\n中国\n [p]zhōng guó[/p]\n")},
    {10, Units(u"*c\n\nあい, あいだ【間・閒】〔1〕\n1) ～する делать\n• Также かみ【紙】\n\nうみ【海】〔2〕\nморе\n")},
    {11, Units(u"A: 猫が好きです。\tI like cats.#ID=1_2\nB: 猫 好き\nA: 犬\tdog#ID=3\nB: 犬\n")},
    {13, TatoebaPairs()},
    {12, Units(u"<Zxxx>\n<Cyrl>\nfirst<+>second\nпервый<+>второй\n\n<Latn>\n<Cyrl>\nthird\nтретий\n")},
    {12, Units(u"a\nb\nc\n\nd\ne\nf\n")},
    {14, Units(u"{\\yarxi {\\a T{\\j 日}{\\on [NICHI]}{\\k ひ}}{\\a 0006 {\\j 月}{\\on [GETSU]}}}")},
};

std::string Describe(const CDictionary& d, int32_t first, const void* source, size_t sourceBytes) {
    std::string out;
    const auto place = [&](const char16_t* p) {
        if (p == nullptr) return std::string("-");
        const char16_t* buffer = d.Text();
        if (buffer != nullptr && p >= buffer && p <= buffer + d.TextLength()) return "b" + std::to_string(p - buffer);
        const auto* s = static_cast<const char*>(source);
        const auto* c = reinterpret_cast<const char*>(p);
        if (c >= s && c <= s + sourceBytes) return "s" + std::to_string(c - s);
        return std::string("?");
    };
    for (int32_t e = first; e < d.ElementCount(); ++e) {
        const DictionaryElement& x = d.Elements()[e];
        out += std::to_string(x.kind) + "@" + place(x.text) + "+" + std::to_string(x.length) + "/" + place(x.begin) +
               "/" + std::to_string(x.lineNumber) + "." + std::to_string(x.group) + "." + std::to_string(x.level) + " ";
    }
    return out + "\n";
}

struct Pass {
    const Source* source = nullptr;
    const Source* nested = nullptr;  // imported inside every callback, into another dictionary
    CDMS* engine = nullptr;
    std::string seen;
};

int32_t Import(CDictionary& dictionary, const Source& source, Pass* pass);

int32_t OnRecord(void* context, CDictionary& dictionary, int32_t element) {
    auto* pass = static_cast<Pass*>(context);
    pass->seen += Describe(dictionary, element, pass->source->bytes.data(), pass->source->bytes.size());
    if (pass->nested != nullptr) {
        CDictionary other(0, *pass->engine);
        Import(other, *pass->nested, nullptr);
    }
    return 1;
}

int32_t Import(CDictionary& dictionary, const Source& source, Pass* pass) {
    dictionary.ClearParsedArticle();
    ImportCallbacks callbacks;
    if (pass != nullptr) {
        callbacks.onRecord = OnRecord;
        callbacks.context = pass;
    }
    return GetFormatParsers(source.formatType)
        .import(dictionary, source.bytes.data(), static_cast<uint32_t>(source.bytes.size()), 0, callbacks);
}

class ImportPasses : public testing::TestWithParam<size_t> {
protected:
    void SetUp() override {
        RegisterImportParsers();
        previous_ = SetAppContext(&app_);
    }
    void TearDown() override { SetAppContext(previous_); }

    std::string Run(CDictionary& dictionary, const Source& source, const Source* nested = nullptr) {
        Pass pass;
        pass.source = &source;
        pass.nested = nested;
        pass.engine = &engine_;
        EXPECT_EQ(Import(dictionary, source, &pass), 1) << source.formatType;
        return pass.seen;
    }

    FakeAppContext app_;
    IAppContext* previous_ = nullptr;
    CDMS engine_{SystemStorageIO()};
};

TEST_P(ImportPasses, TwoPassesGiveTheSameElementsWhateverRunsBetween) {
    const Source& source = kSources[GetParam()];
    CDictionary dictionary(0, engine_);
    const std::string first = Run(dictionary, source);
    ASSERT_FALSE(first.empty());
    for (const Source& other : kSources) {
        Run(dictionary, other);
        EXPECT_EQ(Run(dictionary, source), first) << "after format " << other.formatType;
        CDictionary fresh(0, engine_);
        EXPECT_EQ(Run(fresh, source, &other), first) << "with format " << other.formatType << " inside";
        EXPECT_EQ(Run(fresh, other, &source).empty(), false);
    }
    EXPECT_TRUE(app_.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(EverySource, ImportPasses, testing::Range<size_t>(0, std::size(kSources)));

}  // namespace
