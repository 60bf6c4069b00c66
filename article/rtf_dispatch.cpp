// The print and editor tables and the call of a renderer on a parsed record.
#include "article/rtf_dispatch.h"

#include <memory>

#include "article/dsl_rtf.h"
#include "article/element_text.h"
#include "article/rtf_document.h"
#include "article/rtf_renderer_flags.h"
#include "article/rtf_line_articles.h"
#include "article/rtf_word_article.h"
#include "article/rtf_yarxi.h"
#include "article/warodai_rtf.h"

namespace {

using R = RtfRenderer;

struct TableRow {
    RtfDispatchRow print, editor;
};

// Index = format type; 0 and types above 16 use row 0 ("other").
constexpr TableRow kRtfTable[17] = {
    {{R::Plain, 0}, {R::Plain, 0}},          // other
    {{R::Word, 17}, {R::Word, 17}},          // 1 own word markup
    {{R::Kanji, 17}, {R::Word, 17}},         // 2 own kanji markup
    {{R::Word, 17}, {R::Word, 17}},          // 3 EDICT
    {{R::Word, 17}, {R::Word, 17}},          // 4
    {{R::Word, 17}, {R::Word, 17}},          // 5
    {{R::Kanji, 17}, {R::Plain, 0}},         // 6 KANJIDIC
    {{R::Pdic, 0}, {R::Pdic, 0}},            // 7 PDIC
    {{R::Plain, 0}, {R::Plain, 0}},          // 8 plain lines
    {{R::Dsl, 4}, {R::Dsl, 4}},              // 9 DSL
    {{R::Warodai, 17}, {R::Warodai, 17}},    // 10 WARODAI
    {{R::Examples, 0}, {R::Examples, 0}},    // 11 examples
    {{R::Word, 17}, {R::Examples, 0}},       // 12
    {{R::Tatoeba, 0}, {R::Tatoeba, 0}},      // 13 Tatoeba
    {{R::Yarxi, 0}, {R::Yarxi, 17}},         // 14 YARXI
    {{R::Yarxi, 0}, {R::Yarxi, 17}},         // 15
    {{R::Latin, 118}, {R::Plain, 0}},        // 16 Latin word list
};

std::u16string_view TextOf(const DictionaryElement& e) {
    if (e.text == nullptr || e.length <= 0) return {};
    return {e.text, static_cast<size_t>(e.length)};
}

}  // namespace

RtfDispatchRow RtfRendererFor(RtfTable table, uint32_t formatType) {
    const TableRow& row = kRtfTable[formatType <= 16 ? formatType : 0];
    return table == RtfTable::Print ? row.print : row.editor;
}

std::u16string_view RtfRendererName(RtfRenderer renderer) {
    switch (renderer) {
    case R::Word: return u"AddWordArticle";
    case R::Kanji: return u"AddKanjiArticle";
    case R::Plain: return u"AddPlainArticle";
    case R::Pdic: return u"AddPdicArticle";
    case R::Dsl: return u"AddDslArticle";
    case R::Warodai: return u"AddWarodaiArticle";
    case R::Examples: return u"AddExamplesArticle";
    case R::Tatoeba: return u"AddTatoebaArticle";
    case R::Yarxi: return u"AddYarxiArticle";
    case R::Latin: return u"AddLatinArticle";
    }
    return {};
}

int32_t RenderRtfArticle(CRtfArticleBuilder& piece, RtfTable table, uint32_t formatType,
                         std::span<const DictionaryElement> elements, int32_t fontSize, uint32_t flags) {
    const RtfDispatchRow row = RtfRendererFor(table, formatType);
    piece.language = row.language;
    // Only the first entry of a record is rendered.
    size_t entryEnd = 1;
    while (entryEnd < elements.size() && elements[entryEnd].kind != 2) ++entryEnd;
    const std::span<const DictionaryElement> entry = elements.first(std::min(entryEnd, elements.size()));
    const std::u16string_view text = elements.empty() ? std::u16string_view() : TextOf(elements[0]);
    if (IsSourceTextFormat(formatType)) flags |= kRtfSourceText;
    switch (row.renderer) {
    case R::Word: return AddWordArticle(piece, entry, fontSize, flags);
    case R::Kanji: return AddKanjiArticle(piece, entry, fontSize, flags);
    case R::Plain: return AddPlainArticle(piece, text, fontSize, flags);
    case R::Pdic: return AddPdicArticle(piece, text, fontSize, flags);
    case R::Dsl: return AddDslArticle(piece, text, fontSize, flags);
    case R::Warodai: return AddWarodaiArticle(piece, text, fontSize, flags);
    case R::Examples: return AddExamplesArticle(piece, text, fontSize, flags);
    case R::Tatoeba: return AddTatoebaArticle(piece, text, fontSize, flags);
    case R::Latin: return AddLatinArticle(piece, text, fontSize, flags);
    case R::Yarxi: return AddYarxiArticle(piece, elements, 0, fontSize, flags);   // the whole group tree
    }
    return 0;
}

FormattedText SingleArticleRtf(uint32_t formatType, std::u16string_view text, int32_t fontSize, uint32_t flags) {
    CRtfDocumentBuilder document(flags);
    document.columns = 1;
    document.blankLines = 0;
    CRtfArticleBuilder* piece = document.AddArticle();
    if (piece == nullptr) return {};
    if (formatType == 9) {
        piece->language = 4;
        AddDslArticle(*piece, text, fontSize, flags);
    } else {
        piece->language = 17;
        AddWarodaiArticle(*piece, text, fontSize, flags);
    }
    std::unique_ptr<char[]> block;
    const int32_t size = document.ToMemory(block);
    if (size <= 0) return {};
    return FormattedText::Rtf(std::move(block), size);
}
