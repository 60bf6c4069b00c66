// WARODAI sub-entries: the compiler numbers an article's derived entries
// ("～" words) 1, 2, ... in the order the parser finds them, and a list row
// of derived entry n shows the senses column of sub-entry n. Cards made from
// dict-freedict-jpn-rus (import/tests/freedict_card_layouts.py) get derived
// lines of one and two "～" words, a word holding two "～" and example lines;
// for every derived entry of every card, the column of its number holds the
// translation the parser gave that entry.
// Native only: the cards are made by a python3 script.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "article/formatter_family.h"
#include "article/list_cell.h"
#include "article/tests/with_source_parsers/stored_record.h"
#include "common/tests/test_files.h"
#include "common/tests/test_paths.h"
#include "common/text/utf8.h"
#include "import/warodai_import.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

namespace {

// Every third card gets "～する" before its last sense, every fifth a line of
// two derived words; some get a first line of one word with two "～" or an
// example line.
std::u16string WithDerivedLines(const std::u16string& cards) {
    std::u16string out;
    size_t card = 0;
    for (size_t at = 0; at < cards.size();) {
        size_t end = cards.find(u"\r\n\r\n", at);
        end = end == std::u16string::npos ? cards.size() : end + 4;
        std::u16string text = cards.substr(at, end - at);
        if (card % 3 == 1) {
            const size_t last = text.rfind(u"\r\n", text.size() > 4 ? text.size() - 5 : 0);
            const size_t paren = text.find(u") ", last);
            if (last != std::u16string::npos && paren != std::u16string::npos) text.insert(paren + 2, u"～する ");
        }
        if (card % 5 == 2 && text.size() > 4 && text.ends_with(u"\r\n\r\n"))
            text.insert(text.size() - 2, u"～の, ～な относящийся к этому\r\n");
        // Before the others: a derived word of two "～", or an example line, which makes no entry.
        if (card % 7 == 3 && text.find(u"\r\n") != std::u16string::npos)
            text.insert(text.find(u"\r\n") + 2, u"～か～か то ли, то ли\r\n");
        if (card % 11 == 4 && text.find(u"\r\n") != std::u16string::npos)
            text.insert(text.find(u"\r\n") + 2, u"◇～を見る смотреть\r\n");
        out += text;
        at = end;
        ++card;
    }
    return out;
}

struct Cards {
    std::vector<std::u16string> spans;
    std::vector<std::vector<std::u16string>> translations;   // per card, per derived entry
};

int32_t CollectCard(void* context, CDictionary& dictionary, int32_t element) {
    if (dictionary.Elements()[element].kind != 2) return 1;
    auto* cards = static_cast<Cards*>(context);
    const DictionaryElement& e = dictionary.Elements()[element];
    cards->spans.emplace_back(e.begin, static_cast<size_t>(e.end - e.begin) + 1);
    // The translation of a derived word is the kind-31 element after it on its line.
    std::vector<std::u16string> translations;
    size_t open = 0;
    for (int32_t i = element + 1; i < dictionary.ElementCount(); ++i) {
        const DictionaryElement& d = dictionary.Elements()[i];
        if (d.kind == 6) translations.emplace_back();
        if (d.kind == 31)
            for (; open < translations.size(); ++open) translations[open].assign(d.text, static_cast<size_t>(d.length));
    }
    cards->translations.push_back(std::move(translations));
    return 1;
}

TEST(WarodaiSubEntries, EachDerivedEntryNumberShowsItsOwnTranslation) {
#ifdef _WIN32
    GTEST_SKIP() << "the card script runs in the native tree";
#endif
    ScratchFolder folder("warodai-sub-entries");
    if (std::system((std::string("python3 ") + SourcePath("/import/tests/freedict_card_layouts.py '") +
                     folder.path().string() + "' 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "dict-freedict-jpn-rus is not installed";
    const std::u16string text = WithDerivedLines(Utf16File(folder / "jpn-rus.warodai"));

    CDMS engine(SystemStorageIO());
    CDictionary importer(0, engine);
    Cards seen;
    ImportCallbacks callbacks;
    callbacks.onRecord = CollectCard;
    callbacks.context = &seen;
    ASSERT_EQ(ImportWarodai(importer, text.data(), static_cast<uint32_t>(text.size() * 2), 0, callbacks), 1);

    size_t entries = 0, differing = 0;
    std::string first;
    CDictionary dictionary(0, engine);
    for (size_t c = 0; c < seen.spans.size(); ++c) {
        if (seen.translations[c].empty()) continue;
        ASSERT_TRUE(ParseStoredRecord(dictionary, 10, seen.spans[c]));
        for (size_t n = 1; n <= seen.translations[c].size(); ++n) {
            ListCell cell;
            cell.columnKind = 4;
            GetColumnText(dictionary, cell, 4, static_cast<uint16_t>(n));
            const std::u16string shown(cell.text, static_cast<size_t>(cell.length));
            std::u16string translation = seen.translations[c][n - 1];
            // The column cuts a last "." "," or ";".
            while (!translation.empty() && (translation.back() == u'.' || translation.back() == u',' ||
                                            translation.back() == u';' || translation.back() <= u' '))
                translation.pop_back();
            ++entries;
            if (translation.empty() || shown.find(translation) == std::u16string::npos) {
                if (differing++ == 0)
                    first = Utf16ToUtf8(seen.spans[c]) + "\n entry " + std::to_string(n) + ": " +
                            Utf16ToUtf8(translation) + "\n column: " + Utf16ToUtf8(shown);
            }
        }
    }
    EXPECT_GT(entries, 3000u);
    EXPECT_EQ(differing, 0u) << first;
}

}  // namespace
