#include "book/book_model.h"

#include <algorithm>

#include "article/display_attributes.h"

void XParagraph::SetText(std::u16string value) {
    text = std::move(value);
    attributes.assign(text.size(), 0);
    extents.clear();
    lines.clear();
    Invalidate();
}

int32_t XParagraph::PhraseAt(int32_t offset) const {
    if (segments.empty()) return -1;
    for (const PhraseSegment& s : segments)
        if (offset < s.end) return s.phrase;
    return segments.back().phrase;
}

int32_t XParagraph::SegmentStart(int32_t phrase) const {
    for (const PhraseSegment& s : segments)
        if (s.phrase == phrase) return s.start;
    return -1;
}

bool IsBlankText(std::u16string_view text) {
    for (char16_t c : text)
        if (c > 0x20 && c != 0x3000) return false;
    return true;
}

int32_t HeadingIndent(uint32_t typeValue) {
    if ((typeValue & 0xFF) != kPhraseHeading) return 0;
    switch (typeValue >> 16) {
    case 1: case 4: return 4;
    case 2: return 2;
    case 3: return 3;
    case 5: return 5;
    default: return 1;
    }
}

XParagraph& BookColumn::At(int32_t k) const {
    std::unique_ptr<XParagraph>& slot = paragraphs[static_cast<size_t>(k)];
    if (!slot) slot = model->Skeleton(k);
    return *slot;
}

std::unique_ptr<XParagraph> BookModel::Skeleton(int32_t k) const {
    auto p = std::make_unique<XParagraph>();
    const size_t at = static_cast<size_t>(k);
    p->firstEntry = starts_[at];
    p->lastEntry = at + 1 < starts_.size() ? starts_[at + 1] - 1 : PhraseCount() - 1;
    p->typeValue = typeValues_[static_cast<size_t>(p->firstEntry)];
    p->firstIndent = p->indent = HeadingIndent(p->typeValue);
    if (k == 0) p->flags |= paragraph_flag::kFirst;
    if (at + 1 == starts_.size()) p->flags |= paragraph_flag::kLast;
    return p;
}

void BookModel::Clear() {
    columns_.clear();
    starts_.clear();
    recordIds_.clear();
    typeValues_.clear();
    languages_.clear();
    headingCount_ = 0;
    changed_ = false;
    source_.reset();
}

int32_t BookModel::Build(std::shared_ptr<BookSource> source, bool showAll, bool editable) {
    Clear();
    source_ = std::move(source);
    editable_ = editable;
    if (!source_) return 0;
    languages_ = source_->Languages();
    source_->ReadPhrases(recordIds_, typeValues_);
    for (uint32_t t : typeValues_)
        if ((t & 0xFF) == kPhraseHeading) ++headingCount_;
    const bool all = showAll || source_->ShowsAllLines();
    const int32_t columnCount = std::clamp(source_->ColumnCount(), 1, kMaxBookLanguages);
    columns_.resize(static_cast<size_t>(columnCount));
    for (int32_t c = 0; c < columnCount; ++c) {
        BookColumn& column = columns_[static_cast<size_t>(c)];
        column.index = c;
        column.language = source_->ColumnLanguage(c);
        if (column.language >= static_cast<int32_t>(languages_.size())) column.language = -1;
        const std::u16string code =
            column.language >= 0 ? languages_[static_cast<size_t>(column.language)].code : std::u16string();
        column.joinWithoutBlank = code == u"Hani" || code == u"Hrkt";
        column.colourClass = code == u"Hani" ? book_attr::kColourHani
                             : code == u"Hrkt" ? book_attr::kColourHrkt : 0;
    }
    // Paragraph starts, the same in every column; the paragraphs themselves
    // are made when first reached.
    // Phrases before the book's first paragraph or heading (an untagged
    // text, or one whose tags begin later) have no paragraph to continue:
    // each opens one of its own, so they are shown, side by side with their
    // translations, instead of a book of no paragraphs.
    bool opened = false;
    for (int32_t e = 0; e < PhraseCount(); ++e) {
        const uint32_t type = typeValues_[static_cast<size_t>(e)] & 0xFF;
        const bool opens = type == kPhraseParagraph || type == kPhraseHeading;
        opened = opened || opens;
        if (all || opens || !opened) starts_.push_back(e);
    }
    for (BookColumn& column : columns_) {
        column.model = this;
        column.paragraphs.resize(starts_.size());
    }
    if (source_->ShowsAllLines())
        for (int32_t c = 0; c < ColumnCount(); ++c)
            for (int32_t k = 0; k < ParagraphCount(); ++k) EnsureLoaded(c, k);
    return PhraseCount();
}

void BookModel::EnsureLoaded(int32_t column, int32_t paragraph) {
    if (column < 0 || column >= ColumnCount()) return;
    BookColumn& c = columns_[static_cast<size_t>(column)];
    if (paragraph < 0 || paragraph >= c.Count()) return;
    XParagraph& p = c.At(paragraph);
    if (!p.Loaded()) LoadParagraph(c, p);
}

void BookModel::LoadParagraph(BookColumn& column, XParagraph& paragraph) {
    std::u16string text;
    std::vector<uint32_t> attributes;
    paragraph.segments.clear();
    paragraph.tag.clear();
    for (int32_t e = paragraph.firstEntry; e <= paragraph.lastEntry && e < PhraseCount(); ++e) {
        EntryText entry = source_->Text(e, recordIds_[static_cast<size_t>(e)], column.index);
        if (e == paragraph.firstEntry) paragraph.tag = std::move(entry.tag);
        if (entry.text.empty()) {
            entry.text = u" ";
            entry.attributes.assign(1, 0);
        } else {
            entry.attributes.resize(entry.text.size(), 0);
            // Plain running text (a stored phrase is formatted as such) has
            // no colour of its own either: it takes the column's.
            if (column.colourClass != 0)
                for (uint32_t& a : entry.attributes)
                    if ((a & kAttrColourMask) == 0 || (a & kAttrColourMask) == kClassPlain)
                        a = (a & ~kAttrColourMask) | column.colourClass;
        }
        if (!text.empty() && !column.joinWithoutBlank) {
            text.push_back(u' ');
            attributes.push_back(0);
        }
        const int32_t start = static_cast<int32_t>(text.size());
        text += entry.text;
        attributes.insert(attributes.end(), entry.attributes.begin(), entry.attributes.end());
        paragraph.segments.push_back({e, start, static_cast<int32_t>(text.size())});
    }
    if (text.empty()) {
        text = u" ";
        attributes.assign(1, 0);
    }
    if (editable_) text.reserve(text.size() + kEditRoom);
    paragraph.text = std::move(text);
    paragraph.attributes = std::move(attributes);
    const uint32_t type = paragraph.typeValue & 0xFF;
    if (type == kPhraseParagraph || type == kPhraseHeading || paragraph.firstEntry == 0)
        paragraph.flags |= paragraph_flag::kNewParagraph;
    paragraph.firstIndent = paragraph.indent = HeadingIndent(paragraph.typeValue);
    paragraph.flags |= paragraph_flag::kLoaded;
    paragraph.Invalidate();
}

int32_t BookModel::ParagraphOfPhrase(int32_t phrase) const {
    if (phrase < 0 || phrase >= PhraseCount() || columns_.empty()) return -1;
    const auto it = std::upper_bound(starts_.begin(), starts_.end(), phrase);
    if (it == starts_.begin()) return -1;
    return static_cast<int32_t>(it - starts_.begin()) - 1;
}

std::vector<int32_t> BookModel::HeadingParagraphs() const {
    std::vector<int32_t> headings;
    if (columns_.empty()) return headings;
    for (int32_t k = 0; k < static_cast<int32_t>(starts_.size()); ++k)
        if ((ParagraphTypeValue(k) & 0xFF) == kPhraseHeading) headings.push_back(k);
    return headings;
}

std::unique_ptr<XParagraph> BookModel::MakeParagraph(std::u16string text, uint32_t typeValue) {
    auto p = std::make_unique<XParagraph>();
    if (text.empty()) text = u" ";
    p->SetText(std::move(text));
    p->typeValue = typeValue;
    p->firstIndent = p->indent = HeadingIndent(typeValue);
    p->flags = paragraph_flag::kLoaded;
    p->segments.push_back({0, 0, static_cast<int32_t>(p->text.size())});
    return p;
}

void BookModel::Renumber() {
    const int32_t count = ParagraphCount();
    starts_.resize(static_cast<size_t>(count));
    for (int32_t k = 0; k < count; ++k) starts_[static_cast<size_t>(k)] = k;
    if (static_cast<int32_t>(typeValues_.size()) < count) {
        typeValues_.resize(static_cast<size_t>(count), 0);
        recordIds_.resize(static_cast<size_t>(count), 0);
    } else {
        typeValues_.resize(static_cast<size_t>(count));
        recordIds_.resize(static_cast<size_t>(count));
    }
    headingCount_ = 0;
    for (int32_t c = 0; c < ColumnCount(); ++c) {
        BookColumn& column = columns_[static_cast<size_t>(c)];
        for (int32_t k = 0; k < column.Count(); ++k) {
            XParagraph& p = column.At(k);
            p.firstEntry = p.lastEntry = k;
            if (c == 0) typeValues_[static_cast<size_t>(k)] = p.typeValue;
            else p.typeValue = typeValues_[static_cast<size_t>(k)];
            p.flags &= ~(paragraph_flag::kFirst | paragraph_flag::kLast);
            if (k == 0) p.flags |= paragraph_flag::kFirst;
            if (k + 1 == column.Count()) p.flags |= paragraph_flag::kLast;
            p.segments.assign(1, {k, 0, static_cast<int32_t>(p.text.size())});
        }
    }
    for (uint32_t t : typeValues_)
        if ((t & 0xFF) == kPhraseHeading) ++headingCount_;
}
