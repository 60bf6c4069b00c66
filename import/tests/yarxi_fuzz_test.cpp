// Random YARXI texts, whole and as stored records: every element's span and
// text lie inside the text buffer, every tree link points at an element of
// the right place, and what a callback sees stays valid while it runs.
// OSTREL_FUZZ_YARXI=N runs N rounds instead of 1000.
#include "import/yarxi_import.h"

#include "dictionary/dictionary.h"
#include "import/import_registration.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

namespace {

std::u16string RandomText(std::mt19937& random) {
    static const std::u16string_view pieces[] = {
        u"{\\a ", u"{\\a T", u"{\\j ", u"{\\j", u"{\\n ", u"{\\on [", u"{\\on ", u"{\\k ", u"{\\r [", u"{\\s ",
        u"{\\cmps ", u"{\\cmpg ", u"{\\cmp ", u"{\\cmpn ", u"{\\names ", u"{\\name ", u"{\\ss ", u"{\\rs ",
        u"{\\ref ", u"{\\x ", u"{", u"}", u"}}", u"[", u"]", u"(", u")", u"-", u"\\", u"\\yarxi", u" ", u"日",
        u"ka", u"NICHI", u"\U00020000", u"\xDC00", u"\r\n", std::u16string_view(u"\0", 1), u"abcdefghij"};
    std::u16string text = random() % 8 ? u"{\\yarxi " : u"";
    const size_t n = random() % 120;
    for (size_t i = 0; i < n; ++i) text += pieces[random() % std::size(pieces)];
    return text;
}

// The elements from `from` on against the text buffer. (The derived texts
// of articles reported before lie past the buffer's length once their
// callback returned; the compiler cuts their elements away.)
void CheckElements(const CDictionary& d, int32_t from = 0) {
    const char16_t* first = d.Text();
    const char16_t* end = first + d.TextLength();
    for (int32_t i = from; i < d.ElementCount(); ++i) {
        const DictionaryElement& e = d.Elements()[i];
        ASSERT_TRUE(e.text >= first && e.length >= 0 && e.text + e.length <= end) << i;
        ASSERT_TRUE(e.begin >= first && e.end >= e.begin && e.end < end) << i;
        ASSERT_TRUE(e.parent < i && e.parent >= -1) << i;
        ASSERT_TRUE(e.nextSibling == -1 || (e.nextSibling > i && e.nextSibling < d.ElementCount())) << i;
        if (e.level >= 0) {
            ASSERT_LT(e.level, kYarxiMaxLevels);
        }
    }
}

int32_t CheckArticle(void*, CDictionary& dictionary, int32_t element) {
    CheckElements(dictionary, element);
    EXPECT_EQ(dictionary.Elements()[element].text[0], u'{');
    return 1;
}

TEST(YarxiFuzz, RandomTextsKeepElementsInsideTheirBuffer) {
    RegisterImportParsers();
    const char* rounds = std::getenv("OSTREL_FUZZ_YARXI");
    const int n = rounds ? std::atoi(rounds) : 1000;
    CDMS engine(SystemStorageIO());
    std::mt19937 random(127);
    ImportCallbacks callbacks;
    callbacks.onRecord = CheckArticle;
    for (int round = 0; round < n; ++round) {
        const std::u16string text = RandomText(random);
        CDictionary whole(0, engine);
        ImportYarxi(whole, text.data(), static_cast<uint32_t>(text.size() * 2), 0, callbacks);
        CDictionary stored(0, engine);
        ImportYarxi(stored, text.data(), static_cast<uint32_t>(text.size() * 2), 2, ImportCallbacks{});
        CheckElements(stored);
        if (testing::Test::HasFatalFailure()) return;
    }
}

}  // namespace
