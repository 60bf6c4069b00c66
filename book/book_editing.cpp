#include "book/book_editing.h"

#include <algorithm>

#include "common/segmentation/text_segmentation.h"

namespace {

XParagraph* ParagraphAt(BookModel& model, int32_t column, int32_t k) {
    if (column < 0 || column >= model.ColumnCount()) return nullptr;
    BookColumn& c = model.Column(column);
    if (k < 0 || k >= c.Count()) return nullptr;
    model.EnsureLoaded(column, k);
    return &c.At(k);
}

void Touch(BookModel& model) {
    model.Renumber();
    model.SetChanged(true);
}

void AppendBlank(BookColumn& column) { column.paragraphs.push_back(BookModel::MakeParagraph(u" ", 0)); }

void ReplaceText(XParagraph& p, int32_t start, int32_t end, std::u16string_view text) {
    const uint32_t attribute = p.attributes.empty() ? 0
                               : start > 0           ? p.attributes[static_cast<size_t>(start - 1)]
                                                     : p.attributes[0];
    p.text.replace(static_cast<size_t>(start), static_cast<size_t>(end - start), text);
    p.attributes.erase(p.attributes.begin() + start, p.attributes.begin() + end);
    p.attributes.insert(p.attributes.begin() + start, text.size(), attribute & 0xFF);
    p.Invalidate();
}

}  // namespace

bool ColumnsAligned(const BookModel& model) {
    for (int32_t c = 0; c < model.ColumnCount(); ++c)
        if (model.Column(c).Count() != model.ParagraphCount()) return false;
    return model.ColumnCount() == 0 || model.ParagraphCount() == model.PhraseCount();
}

void InsertParagraphAfter(BookModel& model, int32_t column, int32_t after, std::u16string text, uint32_t typeValue,
                          std::u16string tag) {
    BookColumn& c = model.Column(column);
    const int32_t at = std::clamp(after + 1, 0, c.Count());
    c.paragraphs.insert(c.paragraphs.begin() + at, BookModel::MakeParagraph(std::move(text), typeValue));
    c.paragraphs[static_cast<size_t>(at)]->tag = std::move(tag);
    const bool last = at + 1 == c.Count();
    if (!last) {
        model.EnsureLoaded(column, c.Count() - 1);
        if (IsBlankText(c.At(c.Count() - 1).text)) {
            c.paragraphs.pop_back();
            Touch(model);
            return;
        }
    }
    for (int32_t o = 0; o < model.ColumnCount(); ++o)
        if (o != column) AppendBlank(model.Column(o));
    Touch(model);
}

bool SplitAtCaret(BookModel& model, int32_t column, EditCursor& cursor) {
    XParagraph* p = ParagraphAt(model, column, cursor.caret.paragraph);
    if (!p) return false;
    const int32_t at = std::clamp(cursor.caret.offset, 0, static_cast<int32_t>(p->text.size()));
    std::u16string rest = p->text.substr(static_cast<size_t>(at));
    p->text.resize(static_cast<size_t>(at));
    p->text.push_back(u' ');
    p->attributes.resize(p->text.size(), 0);
    p->Invalidate();
    InsertParagraphAfter(model, column, cursor.caret.paragraph, std::move(rest), 0);
    cursor.caret = {cursor.caret.paragraph + 1, 0};
    cursor.anchor = cursor.caret;
    return true;
}

bool JoinWithNext(BookModel& model, int32_t column, int32_t k, EditCursor* cursor) {
    XParagraph* first = ParagraphAt(model, column, k);
    XParagraph* second = ParagraphAt(model, column, k + 1);
    if (!first || !second) return false;
    BookColumn& c = model.Column(column);
    int32_t shift = 0;
    if (c.joinWithoutBlank) {
        while (!first->text.empty() && first->text.back() <= 0x20) first->text.pop_back();
        first->attributes.resize(first->text.size());
    } else if (!first->text.empty() && !second->text.empty() && first->text.back() != u' ' &&
               second->text.front() != u' ') {
        first->text.push_back(u' ');
        first->attributes.push_back(second->attributes.empty() ? 0 : second->attributes[0]);
    }
    shift = static_cast<int32_t>(first->text.size());
    first->text += second->text;
    first->attributes.insert(first->attributes.end(), second->attributes.begin(), second->attributes.end());
    first->Invalidate();
    c.paragraphs.erase(c.paragraphs.begin() + k + 1);
    AppendBlank(c);
    if (cursor) {
        for (TextPosition* at : {&cursor->caret, &cursor->anchor}) {
            if (at->paragraph == k + 1) *at = {k, at->offset + shift};
            else if (at->paragraph > k + 1) --at->paragraph;
        }
    }
    Touch(model);
    return true;
}

bool DeleteParagraph(BookModel& model, int32_t column, EditCursor& cursor) {
    const int32_t k = cursor.caret.paragraph;
    if (!ParagraphAt(model, column, k)) return false;
    BookColumn& c = model.Column(column);
    c.paragraphs.erase(c.paragraphs.begin() + k);
    AppendBlank(c);
    cursor.caret = {std::min(k, c.Count() - 1), 0};
    cursor.anchor = cursor.caret;
    Touch(model);
    return true;
}

bool DeleteSelection(BookModel& model, int32_t column, EditCursor& cursor) {
    if (!cursor.HasSelection()) return false;
    const bool anchorFirst = cursor.anchor.paragraph < cursor.caret.paragraph ||
                             (cursor.anchor.paragraph == cursor.caret.paragraph && cursor.anchor.offset < cursor.caret.offset);
    TextPosition from = anchorFirst ? cursor.anchor : cursor.caret;
    TextPosition to = anchorFirst ? cursor.caret : cursor.anchor;
    XParagraph* p = ParagraphAt(model, column, from.paragraph);
    if (!p) return false;
    if (to.paragraph == from.paragraph) {
        const int32_t n = static_cast<int32_t>(p->text.size());
        ReplaceText(*p, std::min(from.offset, n), std::min(to.offset, n), u"");
        if (p->text.empty()) {
            p->text = u" ";
            p->attributes.assign(1, 0);
        }
    } else {
        // Across paragraphs: cut the first's tail and the last's head, then
        // join the paragraphs between one by one into the first.
        XParagraph* last = ParagraphAt(model, column, to.paragraph);
        if (!last) return false;
        ReplaceText(*p, std::min(from.offset, static_cast<int32_t>(p->text.size())), static_cast<int32_t>(p->text.size()), u"");
        ReplaceText(*last, 0, std::min(to.offset, static_cast<int32_t>(last->text.size())), u"");
        for (int32_t joins = to.paragraph - from.paragraph; joins > 0; --joins) {
            if (joins > 1) {
                BookColumn& c = model.Column(column);
                c.paragraphs.erase(c.paragraphs.begin() + from.paragraph + 1);
                AppendBlank(c);
                continue;
            }
            JoinWithNext(model, column, from.paragraph, nullptr);
        }
    }
    cursor.caret = cursor.anchor = from;
    model.Column(column).At(from.paragraph).Invalidate();
    Touch(model);
    return true;
}

bool DeleteForward(BookModel& model, int32_t column, EditCursor& cursor) {
    if (cursor.HasSelection()) return DeleteSelection(model, column, cursor);
    XParagraph* p = ParagraphAt(model, column, cursor.caret.paragraph);
    if (!p) return false;
    const int32_t n = static_cast<int32_t>(p->text.size());
    if (cursor.caret.offset >= n) return JoinWithNext(model, column, cursor.caret.paragraph, &cursor);
    if (n < 2) return false;
    ReplaceText(*p, cursor.caret.offset, cursor.caret.offset + 1, u"");
    cursor.anchor = cursor.caret;
    Touch(model);
    return true;
}

bool DeleteBackward(BookModel& model, int32_t column, EditCursor& cursor) {
    if (cursor.HasSelection()) return DeleteSelection(model, column, cursor);
    if (cursor.caret.offset > 0) {
        --cursor.caret.offset;
        cursor.anchor = cursor.caret;
        return DeleteForward(model, column, cursor);
    }
    const int32_t k = cursor.caret.paragraph;
    XParagraph* previous = ParagraphAt(model, column, k - 1);
    if (!previous) return false;
    cursor.caret = cursor.anchor = {k - 1, static_cast<int32_t>(previous->text.size())};
    return JoinWithNext(model, column, k - 1, &cursor);
}

bool InsertAtCaret(BookModel& model, int32_t column, EditCursor& cursor, std::u16string_view text) {
    if (cursor.HasSelection()) DeleteSelection(model, column, cursor);
    XParagraph* p = ParagraphAt(model, column, cursor.caret.paragraph);
    if (!p || text.empty()) return false;
    const int32_t at = std::clamp(cursor.caret.offset, 0, static_cast<int32_t>(p->text.size()));
    ReplaceText(*p, at, at, text);
    cursor.caret.offset = at + static_cast<int32_t>(text.size());
    cursor.anchor = cursor.caret;
    Touch(model);
    return true;
}

bool WrapSelectionInTag(BookModel& model, int32_t column, EditCursor& cursor, char16_t letter) {
    if (!cursor.HasSelection() || cursor.caret.paragraph != cursor.anchor.paragraph) return false;
    XParagraph* p = ParagraphAt(model, column, cursor.caret.paragraph);
    if (!p) return false;
    const int32_t n = static_cast<int32_t>(p->text.size());
    const int32_t start = std::min(std::min(cursor.caret.offset, cursor.anchor.offset), n);
    const int32_t end = std::min(std::max(cursor.caret.offset, cursor.anchor.offset), n);
    const std::u16string open = {u'<', letter, u'>'};
    const std::u16string close = {u'<', u'/', letter, u'>'};
    ReplaceText(*p, end, end, close);
    ReplaceText(*p, start, start, open);
    cursor.anchor = {cursor.caret.paragraph, start};
    cursor.caret = {cursor.caret.paragraph, end + static_cast<int32_t>(open.size() + close.size())};
    Touch(model);
    return true;
}

bool PasteText(BookModel& model, int32_t column, EditCursor& cursor, std::u16string text) {
    if (!ParagraphAt(model, column, cursor.caret.paragraph)) return false;
    while (!text.empty() && text.back() == 0) text.pop_back();
    if (text.empty()) return false;
    const int32_t length = static_cast<int32_t>(text.size());
    std::vector<std::pair<int32_t, int32_t>> sentences;
    for (int32_t start = 0, end = 0; sentences.size() < 3;) {
        if (NextSentence(text.data(), length, &start, &end) == 0 || end <= start) break;
        sentences.push_back({start, end});
        start = end;
    }
    const bool control = std::any_of(text.begin(), text.end(), [](char16_t c) { return c < 0x0E; });
    if (sentences.size() < 2 && !control) return InsertAtCaret(model, column, cursor, text);
    if (cursor.HasSelection()) DeleteSelection(model, column, cursor);
    int32_t after = cursor.caret.paragraph;
    bool previousHadBreak = false;
    for (int32_t start = 0, end = 0;;) {
        if (NextSentence(text.data(), length, &start, &end) == 0 || end <= start) break;
        std::u16string piece = text.substr(static_cast<size_t>(start), static_cast<size_t>(end - start));
        start = end;
        const bool hasBreak = std::any_of(piece.begin(), piece.end(), [](char16_t c) { return c < 0x0E; });
        for (char16_t& c : piece)
            if (c < 0x21) c = u' ';
        while (!piece.empty() && piece.back() == u' ') piece.pop_back();
        uint32_t type = 0;
        std::u16string tag;
        if (previousHadBreak) {
            size_t lead = 0;
            while (lead < piece.size() && (piece[lead] == u' ' || piece[lead] == 0x3000)) ++lead;
            piece.erase(0, lead);
            if (!piece.empty()) {
                tag = u"<P10>";
                type = kPhraseHeading;
            }
        }
        previousHadBreak = hasBreak;
        if (piece.empty()) continue;
        InsertParagraphAfter(model, column, after, std::move(piece), type, std::move(tag));
        ++after;
    }
    cursor.caret = cursor.anchor = {after, 0};
    return true;
}
