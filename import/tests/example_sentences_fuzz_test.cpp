// Random damage to Examples texts, Tatoeba files and prepared buffers,
// parallel-text books and stored records of formats 11 to 13: under the
// sanitizers nothing may read or write out of bounds or hang. A few hundred
// rounds by default; OSTREL_FUZZ_SECONDS sets a run of that many seconds.
#include "import/examples_import.h"
#include "import/import_registration.h"
#include "import/line_tags.h"
#include "import/parallel_text_import.h"
#include "import/tatoeba_import.h"

#include "common/tests/fake_app_context.h"
#include "common/tests/test_files.h"
#include "common/text/utf8.h"
#include "dictionary/dictionary.h"
#include "import/article_record.h"
#include "import/tests/text_damage.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>

namespace {

const std::u16string kSeeds[] = {
    u"A: 猫が好きです。\tI like cats.#ID=1_2\nB: 猫 好き\nA: 犬\tdog#ID=3\nB: 犬\n",
    u"<Latn>English\n<Cyrl>Русский\n\n<P>one<+>two\n<P>один<+>два\n\n<H1>x<p>y\n<H2>z<P3>w\n",
    u"<Zxxx>\n<Cyrl>\nfirst\nпервый\n\n<Latn>\n<Cyrl>\nsecond\nвторое\n",
    u"2\tjpn\t猫\n3\teng\tcat\n4\trus\tкот\n",
};
const char16_t kAlphabet[] = u"AB: \t#\n\r<>+pPHhZxLatn0123456789猫";

void Damage(std::mt19937& random, std::u16string& text) {
    DamageText(random, text, std::u16string_view(kAlphabet, std::size(kAlphabet) - 1));
}

void ImportAndParse(const std::u16string& text) {
    CDMS engine{SystemStorageIO()};
    CDictionary dictionary{0, engine}, reader{0, engine};
    const auto bytes = uint32_t(text.size() * 2);
    for (uint32_t type : {11u, 12u, 13u}) {
        dictionary.ClearParsedArticle();
        GetFormatParsers(type).import(dictionary, text.data(), bytes, 0, ImportCallbacks{});
        // The same bytes as a stored record: header and the text.
        const std::vector<uint8_t> record = BuildArticleRecord(1, uint16_t(type), text);
        reader.ParseRecord(record.data(), uint32_t(record.size()));
        for (int32_t e = 0; e < reader.ElementCount(); ++e) {
            const DictionaryElement& element = reader.Elements()[e];
            if (element.text == nullptr) continue;
            EXPECT_GE(element.length, 0);
            EXPECT_LE(element.text + element.length, reinterpret_cast<const char16_t*>(record.data() + record.size()));
        }
    }
    for (size_t length = 0; length <= std::min<size_t>(text.size(), 8); ++length) {
        std::vector<char16_t> exact(text.begin(), text.begin() + ptrdiff_t(length));
        ClassifyMarkupTag(exact.data(), int32_t(length));
    }
}

// A prepared Tatoeba buffer with words and units set at random.
void DamagePrepared(std::mt19937& random, std::u16string& prepared) {
    for (int edits = 1 + int(random() % 4); edits > 0 && !prepared.empty(); --edits) {
        const size_t at = random() % prepared.size();
        if (random() % 2) prepared[at] = char16_t(random());
        else prepared.resize(at);
    }
}

int64_t Rounds() {
    const char* seconds = std::getenv("OSTREL_FUZZ_SECONDS");
    return seconds ? -std::atoll(seconds) : 300;  // negative: seconds
}

TEST(ExampleSentencesFuzz, DamagedSourcesAndRecordsStayInBounds) {
    RegisterImportParsers();
    FakeAppContext app;
    IAppContext* previous = SetAppContext(&app);
    const int64_t rounds = Rounds();
    const auto stop = std::chrono::steady_clock::now() + std::chrono::seconds(rounds < 0 ? -rounds : 0);
    std::mt19937 random(30);
    for (int64_t round = 0; rounds < 0 ? std::chrono::steady_clock::now() < stop : round < rounds; ++round) {
        std::u16string text = kSeeds[random() % std::size(kSeeds)];
        Damage(random, text);
        ImportAndParse(text);
        app.messages.clear();
    }
    SetAppContext(previous);
}

TEST(ExampleSentencesFuzz, DamagedTatoebaFilesAndBuffersStayInBounds) {
    ScratchFolder folder("example-sentences-fuzz");
    const auto write = [&](const char* name, const std::u16string& text) {
        std::ofstream(folder / name, std::ios::binary) << Utf16ToUtf8(text);
    };
    const std::u16string sentences = u"1\tcmn\tx\n2\tjpn\t猫\n3\teng\tcat\n4\trus\tкот\n7\tjpn\t犬\n999999\teng\tdog\n";
    const std::u16string links = u"2\t3\n2\t4\n7\t999999\n3\t2\n";
    const TatoebaLanguages languages = {u"jpn", u"rus", u"eng", u""};
    const int64_t rounds = Rounds();
    const auto stop = std::chrono::steady_clock::now() + std::chrono::seconds(rounds < 0 ? -rounds : 0);
    std::mt19937 random(31);
    CDMS engine{SystemStorageIO()};
    CDictionary dictionary{0, engine};
    for (int64_t round = 0; rounds < 0 ? std::chrono::steady_clock::now() < stop : round < rounds / 3; ++round) {
        std::u16string s = sentences, l = links;
        Damage(random, random() % 2 ? s : l);
        write("sentences.txt", s);
        write("links.txt", l);
        std::u16string prepared, message;
        if (!LoadTatoebaSource(languages, (folder / "sentences.txt").u16string(), prepared, message, 1 + random() % 40))
            continue;
        ImportTatoeba(dictionary, prepared.data(), uint32_t(prepared.size() * 2), 0, ImportCallbacks{});
        DamagePrepared(random, prepared);
        ImportTatoeba(dictionary, prepared.data(), uint32_t(prepared.size() * 2), 0, ImportCallbacks{});
    }
}

}  // namespace
