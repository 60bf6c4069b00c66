// ImportWarodai, ParseWarodaiArticle and CleanArticleMarkup: the headword
// groups and their balance, further headword lines, derived words, line
// numbers, the comment article, a last article without a line break.
#include "import/warodai_import.h"

#include "dictionary/dictionary.h"
#include "import/article_record.h"
#include "import/import_registration.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

#include <gtest/gtest.h>

namespace {

// kind:text@line/group per element.
std::u16string Describe(const CDictionary& d, int32_t first = 0) {
    std::u16string out;
    for (int32_t i = first; i < d.ElementCount(); ++i) {
        const DictionaryElement& e = d.Elements()[i];
        out += std::u16string{char16_t(u'0' + e.kind / 10), char16_t(u'0' + e.kind % 10), u':'};
        if (e.kind != 2 && e.kind != 17) out += std::u16string_view(e.text, e.length);
        out += std::u16string{u'@', char16_t(u'0' + e.lineNumber), u'/', char16_t(u'0' + e.group), u'|'};
    }
    return out;
}

struct Seen {
    std::u16string kinds;
    std::u16string lastArticle;
};

int32_t OnRecord(void* context, CDictionary& dictionary, int32_t element) {
    const DictionaryElement& e = dictionary.Elements()[element];
    auto* seen = static_cast<Seen*>(context);
    seen->kinds += std::u16string{char16_t(u'0' + e.kind / 10), char16_t(u'0' + e.kind % 10), u'|'};
    seen->lastArticle.assign(e.text, e.length);
    return 1;
}

class WarodaiImport : public testing::Test {
protected:
    void SetUp() override { RegisterImportParsers(); }
    int32_t Import(std::u16string_view text) {
        ImportCallbacks callbacks;
        callbacks.onRecord = OnRecord;
        callbacks.context = &seen_;
        return ImportWarodai(dictionary_, text.data(), uint32_t(text.size() * 2), 0, callbacks);
    }
    CDMS engine_{SystemStorageIO()};
    CDictionary dictionary_{0, engine_};
    Seen seen_;
};

TEST_F(WarodaiImport, ReadingsAndWritingsAreGroupedAndBalanced) {
    ASSERT_EQ(Import(u"\uFEFF*comment\r\n\r\nあい, あいだ【間】(аи)〔1〕\r\n1) ～する делать\r\n\r\n\r\n"
                     u"かみ【紙, 髪】\n• Также かみい【紙井】\n[かみ]\n人が来た ◇\n2) paper"),
              1);
    EXPECT_EQ(seen_.kinds, u"17|02|02|");
    EXPECT_EQ(Describe(dictionary_), u"01:@0/0|17:@0/0|"
                                     u"02:@2/0|03:あい@2/0|03:あいだ@2/0|04:間@2/0|30:1) ～する делать@1/0|"
                                     u"06:～する@1/0|31:делать@1/0|"
                                     u"02:@6/0|03:かみ@6/0|04:紙@6/0|04:髪@6/0|19:• Также かみい【紙井】@7/1|"
                                     u"03:かみい@7/1|04:紙井@7/1|25:[かみ]@8/2|03:かみ@8/2|29:2) paper@4/0|");
    // The last article runs to the end of the text without a line break.
    EXPECT_EQ(seen_.lastArticle, u"かみ【紙, 髪】\n• Также かみい【紙井】\n[かみ]\n人が来た ◇\n2) paper");
}

TEST_F(WarodaiImport, StoredArticlesParseAsImportedAndShortTextsAreRefused) {
    EXPECT_EQ(Import(u"あ【亜】"), 0);  // fewer than 14 bytes
    const std::u16string article = u"あい, あいだ【間】〔1〕\n• Др. чтение あわい【間】\n1) ～する делать";
    const std::vector<uint8_t> record = BuildArticleRecord(1, 10, article);
    ASSERT_EQ(dictionary_.ParseRecord(record.data(), uint32_t(record.size())), 1u);
    EXPECT_EQ(Describe(dictionary_), u"02:@0/0|03:あい@0/0|03:あいだ@0/0|04:間@0/0|"
                                     u"22:• Др. чтение あわい【間】@1/1|03:あわい@1/1|04:間@1/1|"
                                     u"30:1) ～する делать@2/0|06:～する@2/0|31:делать@2/0|");
}

TEST(WarodaiCleaner, TagsDroppedAndFieldsMarked) {
    const std::u16string text = u"1) <i>уст.</i>  (a, b);\n• Также 間〔x〕";
    std::vector<uint16_t> bits(text.size(), 0);
    char16_t out[64];
    const int32_t n = CleanArticleMarkup(out, 64, text.data(), int32_t(text.size()), bits.data());
    ASSERT_EQ(std::u16string_view(out, n), u"1) уст. (a, b);\n• Также 間〔x〕");
    EXPECT_EQ(bits[0], 0x4100);  // the sense number before ")"
    EXPECT_EQ(bits[3], 0x100);   // italic
    EXPECT_EQ(bits[10], 0x1200);  // "," in parentheses
    EXPECT_EQ(bits[14], 0x2000);
    EXPECT_EQ(bits[16], 0x4100);  // "•" line up to the first ideograph
    EXPECT_EQ(bits[23], 0x100);
    EXPECT_EQ(bits[24], 0);
    EXPECT_EQ(bits[25], 0x200);
    EXPECT_EQ(CleanArticleMarkup(out, 2, text.data(), int32_t(text.size()), nullptr), 2);
}

}  // namespace
