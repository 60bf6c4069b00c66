// The model of the book open in one reader: the phrase table, the language
// table and, per language, a column of paragraphs. A paragraph is the phrase
// entry that opens it and the entries behind it up to the next paragraph;
// paragraph k of every column covers the same entries, so the columns stay
// phrase for phrase side by side. Text comes from a BookSource (a text book
// or a stored book) when a paragraph is first shown.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "book/book_source.h"

// Paragraph flags.
namespace paragraph_flag {
inline constexpr uint32_t kFirst = 0x1;          // first paragraph of its column
inline constexpr uint32_t kLast = 0x2;           // last paragraph of its column
inline constexpr uint32_t kMeasured = 0x4;       // extents are current
inline constexpr uint32_t kBroken = 0x8;         // lines are current
inline constexpr uint32_t kLoaded = 0x10;        // text loaded
inline constexpr uint32_t kNewParagraph = 0x2000;  // a blank line before it
}  // namespace paragraph_flag

// Per-character attribute bits the book columns add to the display word
// (colour class in bits 4 to 7, bold 0x2, italic 0x4).
namespace book_attr {
inline constexpr uint32_t kRightToLeft = 1u << 23;
inline constexpr uint32_t kFontShift = 24;          // font slot 1 to 16 in bits 24 to 28
inline constexpr uint32_t kFontMask = 0x1Fu << 24;
inline constexpr uint32_t kCurrentPhrase = 1u << 29;
inline constexpr uint32_t kSelected = 1u << 30;
inline constexpr uint32_t kLink = 1u << 31;
inline constexpr uint32_t kColourHrkt = 0x20;       // colour class 2
inline constexpr uint32_t kColourHani = 0x30;       // colour class 3
}  // namespace book_attr

// The text of one phrase inside a paragraph's text: [start, end).
struct PhraseSegment {
    int32_t phrase = 0;
    int32_t start = 0;
    int32_t end = 0;
};

// One display line of a paragraph: [start, end) of its text.
struct XLine {
    int32_t start = 0;
    int32_t end = 0;
    int32_t width = 0;   // pixels
    int32_t indent = 0;  // pixels
    int32_t height = 0;
};

struct XParagraph {
    int32_t firstEntry = 0;  // phrase table entries it covers, inclusive
    int32_t lastEntry = 0;
    uint32_t typeValue = 0;  // type | value << 16 as in the phrase table
    uint32_t flags = 0;
    std::u16string text;
    std::u16string tag;                // a text book line's hidden line tag, saved before the text
    std::vector<uint32_t> attributes;  // one per unit of text
    std::vector<PhraseSegment> segments;
    std::vector<int32_t> extents;      // right edge of each unit from the text's start
    std::vector<XLine> lines;
    int32_t firstIndent = 0;  // in average character widths
    int32_t indent = 0;
    int32_t height = 0;       // pixels, once broken into lines

    uint32_t Type() const { return typeValue & 0xFF; }
    uint32_t Value() const { return typeValue >> 16; }
    bool Loaded() const { return (flags & paragraph_flag::kLoaded) != 0; }
    // Sets the text with attributes 0 and drops extents and lines.
    void SetText(std::u16string value);
    // Extents and lines are stale once the text changed.
    void Invalidate() { flags &= ~(paragraph_flag::kMeasured | paragraph_flag::kBroken); }
    // The phrase under a character offset (the last segment for an offset
    // past the text); -1 without segments.
    int32_t PhraseAt(int32_t offset) const;
    // Offset of phrase `phrase`'s segment start, -1 when it is not here.
    int32_t SegmentStart(int32_t phrase) const;
};

class BookModel;

// One language of the book as a column of paragraphs. A stored book's
// paragraphs are made when first reached, so a long book costs a pointer a
// paragraph until it is shown.
struct BookColumn {
    int32_t index = 0;      // the column's place in the book (a text book's line)
    int32_t language = -1;  // index in the language table; -1 none
    bool joinWithoutBlank = false;  // "Hani" and "Hrkt" join phrases without a blank
    uint32_t colourClass = 0;       // class given to uncoloured text (Hani, Hrkt)
    const BookModel* model = nullptr;
    mutable std::vector<std::unique_ptr<XParagraph>> paragraphs;  // null until reached

    int32_t Count() const { return static_cast<int32_t>(paragraphs.size()); }
    XParagraph& At(int32_t k) const;
};

class BookModel {
public:
    static constexpr int32_t kEditRoom = 100;  // room kept behind an editable paragraph's text

    // Builds the phrase table and the columns from `source`: one paragraph
    // per entry of type 0 or 1 and per entry before the first of them, or
    // per entry when `showAll`. Text books load
    // every column's text at once (so a save writes every language whatever
    // is shown); stored books load a paragraph when it is first shown.
    // Returns the number of phrases.
    int32_t Build(std::shared_ptr<BookSource> source, bool showAll, bool editable);
    void Clear();

    int32_t PhraseCount() const { return static_cast<int32_t>(typeValues_.size()); }
    int32_t HeadingCount() const { return headingCount_; }
    uint32_t RecordId(int32_t phrase) const { return recordIds_[static_cast<size_t>(phrase)]; }
    uint32_t TypeValue(int32_t phrase) const { return typeValues_[static_cast<size_t>(phrase)]; }
    const std::vector<BookLanguage>& Languages() const { return languages_; }
    int32_t ColumnCount() const { return static_cast<int32_t>(columns_.size()); }
    BookColumn& Column(int32_t c) { return columns_[static_cast<size_t>(c)]; }
    const BookColumn& Column(int32_t c) const { return columns_[static_cast<size_t>(c)]; }
    // Paragraphs per column (every column holds the same number).
    int32_t ParagraphCount() const { return columns_.empty() ? 0 : columns_[0].Count(); }
    BookSource* Source() const { return source_.get(); }
    bool Editable() const { return editable_; }
    bool Changed() const { return changed_; }
    void SetChanged(bool changed) { changed_ = changed; }

    // Loads the paragraph's text when it is not loaded yet.
    void EnsureLoaded(int32_t column, int32_t paragraph);
    // The paragraph of column 0 that covers `phrase`, -1 outside the book.
    int32_t ParagraphOfPhrase(int32_t phrase) const;
    // Paragraph indexes of the headings (type 1), in order.
    std::vector<int32_t> HeadingParagraphs() const;
    // Paragraph k's first phrase and its type word, the same in every column.
    int32_t ParagraphStart(int32_t k) const { return starts_[static_cast<size_t>(k)]; }
    uint32_t ParagraphTypeValue(int32_t k) const { return typeValues_[static_cast<size_t>(ParagraphStart(k))]; }
    // A paragraph of column data not made yet: its entries, type and flags.
    std::unique_ptr<XParagraph> Skeleton(int32_t k) const;

    // After an edit: paragraph k covers entry k; the phrase table grows with
    // (0, 0) entries when shorter and is cut to the paragraph count; column
    // 0 writes the type and value, the others take them; segments renamed.
    void Renumber();
    // A fresh paragraph for entry `entry` holding `text` (a blank when empty).
    static std::unique_ptr<XParagraph> MakeParagraph(std::u16string text, uint32_t typeValue);

private:
    void LoadParagraph(BookColumn& column, XParagraph& paragraph);

    std::shared_ptr<BookSource> source_;
    std::vector<uint32_t> recordIds_;
    std::vector<uint32_t> typeValues_;
    std::vector<int32_t> starts_;  // each paragraph's first entry
    int32_t headingCount_ = 0;
    std::vector<BookLanguage> languages_;
    std::vector<BookColumn> columns_;
    bool editable_ = false;
    bool changed_ = false;
};

// Indents of a heading of `level`: levels 1 and 4 give 4, 2 gives 2, 3 gives
// 3, 5 gives 5, others 1; a paragraph (type 0) gets 0.
int32_t HeadingIndent(uint32_t typeValue);
// Whether the text holds only units up to U+0020 and U+3000.
bool IsBlankText(std::u16string_view text);
