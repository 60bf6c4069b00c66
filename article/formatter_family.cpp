// The dispatch table of the formatter family and the dispatchers.
#include "article/formatter_family.h"

#include "article/book_format.h"
#include "article/dsl_format.h"
#include "article/examples_format.h"
#include "article/index_text.h"
#include "article/kanji_article.h"
#include "article/pdic_format.h"
#include "article/latin_article.h"
#include "article/warodai_format.h"
#include "article/word_article.h"
#include "article/yarxi_article.h"
#include "article/yarxi_columns.h"
#include "article/yarxi_index_text.h"
#include "dictionary/dictionary.h"

namespace {

using C = ColumnMember;
using A = ArticleMember;
using I = IndexPreparer;

// Rows for format types 1 to 16; index 0 is the row of every other type.
constexpr FormatterRow kRows[17] = {
    {C::Default, A::Default, A::F8, I::Default},                             // other
    {C::Default, A::Default, A::Default, I::Words},                          // 1 own word markup
    {C::Default, A::F2, A::F2, I::Words},                                    // 2 own kanji markup
    {C::Default, A::Default, A::Default, I::Default},                        // 3 EDICT, ENAMDICT
    {C::Default, A::Default, A::Default, I::Default},                        // 4 JR-EDICT
    {C::Default, A::Default, A::Default, I::Default},                        // 5 EDICT variant
    // KANJIDIC's export text is its whole article: the parsed elements keep
    // only the first meaning in the meaning line and no name readings.
    {C::Default, A::F6, A::F6, I::Default},                                  // 6 KANJIDIC
    {C::Default, A::F7, A::F7, I::Default},                                  // 7 PDIC
    {C::F8, A::F8, A::F8, I::Default},                                       // 8 EIJIRO
    {C::F9, A::RtfF9, A::PlainF9, I::SplitArticleText},                      // 9 DSL
    {C::F10, A::RtfF10, A::PlainF10, I::CleanArticleMarkup},                 // 10 WARODAI
    {C::F11, A::F11, A::F11, I::F11},                                        // 11 Examples
    {C::F12, A::F12, A::Default, I::Words},                                  // 12 parallel-text book
    {C::F13, A::F13, A::F13, I::F13},                                        // 13 Tatoeba
    {C::F14, A::F14, A::PlainF10, I::F14},                                   // 14 YARXI
    {C::F14, A::F14, A::PlainF10, I::F14},                                   // 15 YARXI
    {C::F16, A::F16, A::F8, I::F16},                                         // 16 Latin
};

}  // namespace

FormatterRow FormatterRowFor(uint32_t formatType) {
    return formatType >= 1 && formatType <= 16 ? kRows[formatType] : kRows[0];
}

std::u16string_view ColumnMemberName(ColumnMember member) {
    switch (member) {
    case C::Default: return u"GetColumnTextDefault";
    case C::F8: return u"GetColumnTextF8";
    case C::F9: return u"GetColumnTextF9";
    case C::F10: return u"GetColumnTextF10";
    case C::F11: return u"GetColumnTextF11";
    case C::F12: return u"GetColumnTextF12";
    case C::F13: return u"GetColumnTextF13";
    case C::F14: return u"GetColumnTextF14";
    case C::F16: return u"GetColumnTextF16";
    }
    return {};
}

std::u16string_view ArticleMemberName(ArticleMember member) {
    switch (member) {
    case A::Default: return u"FormatArticleDefault";
    case A::F2: return u"FormatArticleF2";
    case A::F6: return u"FormatArticleF6";
    case A::F7: return u"FormatArticleF7";
    case A::F8: return u"FormatArticleF8";
    case A::F11: return u"FormatArticleF11";
    case A::F12: return u"FormatArticleF12";
    case A::F13: return u"FormatArticleF13";
    case A::F14: return u"FormatArticleF14";
    case A::F16: return u"FormatArticleF16";
    case A::RtfF9: return u"FormatArticleRtfF9";
    case A::RtfF10: return u"FormatArticleRtfF10";
    case A::PlainF9: return u"GetPlainArticleTextF9";
    case A::PlainF10: return u"GetPlainArticleTextF10";
    }
    return {};
}

std::u16string_view IndexPreparerName(IndexPreparer preparer) {
    switch (preparer) {
    case I::Words: return u"PrepareIndexTextWords";
    case I::Default: return u"PrepareIndexTextDefault";
    case I::SplitArticleText: return u"SplitArticleText";
    case I::CleanArticleMarkup: return u"CleanArticleMarkup";
    case I::F11: return u"PrepareIndexTextF11";
    case I::F13: return u"PrepareIndexTextF13";
    case I::F14: return u"PrepareIndexTextF14";
    case I::F16: return u"PrepareIndexTextF16";
    }
    return {};
}

int32_t PrepareIndexText(uint32_t formatType, char16_t* out, int32_t capacity, const char16_t* text,
                         int32_t length, uint16_t* bits) {
    switch (FormatterRowFor(formatType).index) {
    case I::Words: return PrepareIndexTextWords(out, capacity, text, length, bits);
    case I::Default: return PrepareIndexTextDefault(out, capacity, text, length, bits);
    case I::F16: return PrepareIndexTextF16(out, capacity, text, length, bits);
    case I::F11: return PrepareIndexTextF11(out, capacity, text, length, bits);
    case I::F13: return PrepareIndexTextF13(out, capacity, text, length, bits);
    case I::F14: return PrepareIndexTextF14(out, capacity, text, length, bits);
    default: return 0;
    }
}

uint32_t ParsedFormatType(const CDictionary& dictionary) {
    if (dictionary.RecordSize() < 10 || dictionary.RecordData() == nullptr) return dictionary.parsedFormatType;
    const uint8_t* header = dictionary.RecordData();
    return static_cast<uint32_t>(header[8] | (header[9] << 8));
}

namespace {

// Members not listed are built with their formats and answer empty text until then.
FormattedText RunArticleMember(ArticleMember member, const CDictionary& dictionary) {
    switch (member) {
    case A::Default: return FormatArticleDefault(dictionary, 0);
    case A::F2: return FormatArticleF2(dictionary, 0);
    case A::F6: return FormatArticleF6(dictionary, 0);
    case A::F16: return FormatArticleF16(dictionary, 0);
    case A::F7: return FormatArticleF7(dictionary, 0);
    case A::F8: return FormatArticleF8(dictionary, 0);
    case A::F11: return FormatArticleF11(dictionary, 0);
    case A::F12: return FormatArticleF12(dictionary, 0);
    case A::F13: return FormatArticleF13(dictionary, 0);
    case A::F14: return FormatArticleF14(dictionary, 0);
    case A::RtfF9: return FormatArticleRtfF9(dictionary, 0);
    case A::RtfF10: return FormatArticleRtfF10(dictionary, 0);
    case A::PlainF9: case A::PlainF10: return GetPlainArticleText(dictionary, 0);
    default: return {};
    }
}

}  // namespace

int32_t GetColumnText(const CDictionary& dictionary, ListCell& cell, int32_t columnKind, uint16_t subEntry) {
    if (cell.length >= kCellTextLimit) return 0;
    const uint32_t formatType = ParsedFormatType(dictionary);
    cell.formatType = static_cast<int32_t>(formatType);
    switch (FormatterRowFor(formatType).column) {
    case C::Default: return GetColumnTextDefault(dictionary, 0, cell, columnKind);
    case C::F16: return GetColumnTextF16(dictionary, 0, cell, columnKind);
    case C::F8: return GetColumnTextF8(dictionary, 0, cell, columnKind);
    case C::F11: return GetColumnTextF11(dictionary, 0, cell, columnKind);
    case C::F12: return GetColumnTextF12(dictionary, 0, cell, columnKind);
    case C::F13: return GetColumnTextDefault(dictionary, 0, cell, columnKind);
    case C::F9: return GetColumnTextF9(dictionary, 0, cell, columnKind);
    case C::F10: return GetColumnTextF10(dictionary, 0, cell, columnKind, subEntry);
    case C::F14: return GetColumnTextF14(dictionary, 0, cell, columnKind);
    default: return cell.length;
    }
}

FormattedText FormatArticle(const CDictionary& dictionary) {
    return RunArticleMember(FormatterRowFor(ParsedFormatType(dictionary)).article, dictionary);
}

FormattedText FormatExportText(const CDictionary& dictionary) {
    return RunArticleMember(FormatterRowFor(ParsedFormatType(dictionary)).exportText, dictionary);
}
