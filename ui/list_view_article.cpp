// ListView::ShowCurrentArticle: the current row's article in the article
// view (own text, the lexicon's hint, or the record's formatted article),
// the history, the matched part of the input, the list note above the
// article and the full-text query's words coloured in search results.
#include <richedit.h>

#include <algorithm>
#include <string>
#include <vector>

#include "article/formatter_family.h"
#include "article/list_cells.h"
#include "article/win/article_view.h"
#include "article/win/article_view_host.h"
#include "dictionary/dictionary.h"
#include "dictionary/word_list.h"
#include "dictionary/word_list_entry.h"
#include "ui/application.h"
#include "ui/deinflection_note.h"
#include "ui/find_stages.h"
#include "ui/frame.h"
#include "ui/list_view.h"

namespace {

constexpr COLORREF kNoteHeadColour = RGB(127, 0, 0);
constexpr COLORREF kQueryWordColour = RGB(191, 0, 0);
constexpr int32_t kArticleWordUnits = 255;
constexpr int32_t kLanguageEnglish = 1;
constexpr int32_t kLanguageRussian = 0;  // the note says "от:"; the others "from:"

FormattedText PlainArticle(std::u16string_view text) {
    StyledText styled(static_cast<int32_t>(text.size()) + 1);
    if (!styled.Allocated()) return {};
    StyledWriter writer = styled.Writer();
    writer.Append(text, 0);
    styled.Finish(writer);
    return FormattedText::Styled(std::move(styled));
}

// The lexicon row's article: where its word is found, with links.
FormattedText BuildArticleCountHint(WordList& list, int32_t row, int32_t language) {
    if (ListViewModel::cellText == nullptr) return {};
    std::u16string word = ListViewModel::cellText(list, row, 24);
    ArticleCount count = CountArticlesOfWord(list, word);
    std::u16string hint = ArticleCountHintText(UILanguageFromValue(language), word, count.articles, count.dictionaries);
    StyledText text(static_cast<int32_t>(hint.size()) + 1);
    if (!text.Allocated()) return {};
    StyledWriter writer = text.Writer();
    writer.Append(hint, 0);
    text.Finish(writer);
    return FormattedText::PlainWithLinks(std::move(text));
}

int32_t Language() { return g_application ? g_application->language : kLanguageEnglish; }

// What the article view shows: the view and record it came from and what its
// note was made of. The refresh that ends a Find leaves an article that
// equals it, so typing on within one record does not load it again.
struct ShownArticle {
    const ListView* view = nullptr;
    const RDFDictionary* dictionary = nullptr;
    uint32_t record = 0;
    uint32_t flags = 0;           // the entry's, 0 for a merged list's row
    uint32_t textOffset = 0;      // an own-text or note entry's text
    std::u16string matched;       // the part of the input the note is about
    int32_t language = 0;

    bool operator==(const ShownArticle&) const = default;
};

ShownArticle g_shown;
uint32_t g_articleLoads = 0;

}  // namespace

uint32_t ListView::ArticleLoadCount() { return g_articleLoads; }

void ListView::ShowCurrentArticle() { LoadCurrentArticle(false); }

void ListView::LoadCurrentArticle(bool sameRecordKept) {
    if (model == nullptr || currentRow < 0 || currentRow >= GetRowCount()) {
        g_shown = {};
        site_.ShowArticle(nullptr);
        if (g_frame) g_frame->SetStatusDictionaryName({});
        return;
    }
    WordListEntry* entry = model->IsStored() ? model->RowEntry(currentRow) : nullptr;
    if (viewKind == kViewTranslatedWords && entry != nullptr)
        site_.ScrollInputToRange(entry->matchStart, entry->matchStart + entry->matchLength);
    ShownArticle wanted{this, nullptr, 0, 0, 0, {}, Language()};
    if (entry != nullptr) {
        wanted.flags = entry->flags;
        wanted.textOffset = (entry->flags & kEntryOwnText) != 0 ? entry->textOffset : entry->noteOffset;
        const std::u16string_view typed = model->analysedText ? std::u16string_view(model->analysedText) : u"";
        const size_t start = std::min(static_cast<size_t>(std::max(entry->matchStart, 0)), typed.size());
        wanted.matched = typed.substr(start, static_cast<size_t>(std::max(entry->matchLength, 0)));
    }
    if ((wanted.flags & kEntryOwnText) == 0) {
        if (CCursor* cursor = model->GetEntry(currentRow)) {
            wanted.dictionary = cursor->dictionary;
            wanted.record = cursor->RecordId();
        }
    }
    // Search results colour the words of the query, which each Find changes.
    if (sameRecordKept && viewKind != kViewSearchResults && wanted == g_shown &&
        (wanted.dictionary != nullptr || (wanted.flags & kEntryOwnText) != 0))
        return;
    g_shown = wanted;
    ++g_articleLoads;
    // The article and the note above it are drawn once, together.
    ArticlePaintHold oneDraw(site_.ArticleView());
    if (entry != nullptr && (entry->flags & kEntryOwnText) != 0) {
        FormattedText article = PlainArticle(model->PoolText(entry->textOffset, entry->textLength));
        MarkFindStage(FindStage::ArticleFormatted);
        site_.ShowArticle(&article);
    } else {
        CCursor* cursor = model->GetEntry(currentRow);
        if (cursor == nullptr || cursor->dictionary == nullptr) {
            g_shown = {};
            site_.ShowArticle(nullptr);
            return;
        }
        FormattedText article;
        bool unread = false;
        if (viewKind == kViewLexicon) {
            article = BuildArticleCountHint(*model, currentRow, Language());
        } else if (cursor->LoadArticle()) {
            article = FormatArticle(*cursor->dictionary);
        } else {
            unread = true;
        }
        MarkFindStage(FindStage::ArticleFormatted);
        site_.AddToHistory(*this, *cursor, currentRow - std::max(topRow, 0));
        site_.ShowArticle(&article);
        // A record the engine refused is told now, over the empty article,
        // not at the next search.
        if (unread) {
            oneDraw.Release();  // the empty article drawn under the message
            model->ReportReadRefusals();
        }
        if (viewKind == kViewSearchResults && entry != nullptr && article.Kind() == FormattedTextKind::Styled)
            HighlightQueryWords(*entry);
    }
    ShowListNote(entry);
    oneDraw.Release();
    MarkFindStage(FindStage::ArticleShown);
    if (g_frame) g_frame->UpdateStatusBar();
}

void ListView::ShowListNote(const WordListEntry* entry) {
    CArticleView* view = site_.ArticleView();
    if (viewKind != kViewTranslatedWords || entry == nullptr || view == nullptr) return;
    if ((entry->flags & kEntryNote) == 0) {
        // The dictionary form the input was found under, and how it was reached.
        std::u16string typed = model->analysedText ? std::u16string(model->analysedText) : std::u16string();
        int32_t start = std::clamp(entry->matchStart, 0, static_cast<int32_t>(typed.size()));
        int32_t end = std::clamp(entry->matchStart + entry->matchLength, start, static_cast<int32_t>(typed.size()));
        ShowDeinflectionNote(std::u16string_view(typed).substr(start, end - start), entry->tags,
                             Language() != kLanguageRussian);
        return;
    }
    // A note entry: each line's head (to its first space) dark red, the rest
    // black italic, inserted above the article.
    std::u16string note(model->PoolText(entry->noteOffset, entry->noteLength));
    if (note.empty()) return;
    if (note.back() != u'\n') note += u'\n';
    std::u16string face = ArticleViewHost().LatinFace();
    std::vector<CArticleView::InsertedRun> runs;
    for (size_t lineStart = 0; lineStart < note.size();) {
        size_t lineEnd = note.find(u'\n', lineStart);
        size_t space = note.find(u' ', lineStart);
        bool split = space != std::u16string::npos && space < lineEnd;
        size_t headEnd = split ? space + 1 : lineStart;
        auto run = [&](size_t from, size_t to, COLORREF colour, bool italic) {
            if (to > from) runs.push_back({static_cast<int32_t>(to - from), colour, italic});
        };
        run(lineStart, headEnd, kNoteHeadColour, false);
        run(headEnd, lineEnd, RGB(0, 0, 0), split);
        run(lineEnd, lineEnd + 1, RGB(0, 0, 0), false);
        lineStart = lineEnd + 1;
    }
    // One edit for the whole note: inserted run by run, the view laid its
    // text out again for each of them.
    view->InsertRuns(note, 0, face.c_str(), runs);
}

void ListView::HighlightQueryWords(const WordListEntry& entry) {
    CArticleView* view = site_.ArticleView();
    const FullTextQuery* query = site_.Query();
    if (view == nullptr || query == nullptr) return;
    HWND edit = view->RichEditWindow();
    int32_t length = GetWindowTextLengthW(edit);
    std::wstring shown(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(edit, shown.data(), length + 1);
    shown.resize(static_cast<size_t>(length));
    // The control counts a CR LF pair as one position.
    std::u16string text;
    for (size_t i = 0; i < shown.size(); ++i)
        if (!(shown[i] == L'\r' && i + 1 < shown.size() && shown[i + 1] == L'\n')) text += static_cast<char16_t>(shown[i]);
    auto ranges = QueryWordRanges(*query, entry.flags, text, kArticleWordUnits);
    if (ranges.empty()) return;
    SendMessageW(edit, EM_SETREADONLY, FALSE, 0);
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_COLOR;
    format.crTextColor = kQueryWordColour;
    for (const auto& [start, end] : ranges) {
        CHARRANGE range{start, end};
        SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        SendMessageW(edit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    }
    CHARRANGE top{0, 0};
    SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&top));
    SendMessageW(edit, EM_SETREADONLY, TRUE, 0);
}
