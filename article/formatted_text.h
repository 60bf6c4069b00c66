// Output buffers of the formatters. `StyledWriter` appends text and
// `DisplayAttributes` words into caller-given storage and never writes past
// its end; `StyledText` owns such storage on the heap; `FormattedText` is the
// typed result of an article member: styled text, an 8-bit RTF document, or
// plain text with links, so no receiver mistakes one for another.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

// Appends into text[0 .. capacity - 1), keeping the last unit for the
// terminator. Attributes are optional: an empty span writes none, else it
// has the text's size.
class StyledWriter {
public:
    StyledWriter(std::span<char16_t> text, std::span<uint32_t> attributes, int32_t startLength = 0);

    // Appends one unit; false (and nothing written) when it does not fit.
    bool Put(char16_t unit, uint32_t attribute);
    // Appends as much of `text` as fits; false when it was cut.
    bool Append(std::u16string_view text, uint32_t attribute);
    // Appends `n` (not negative) in decimal.
    bool AppendNumber(int32_t n, uint32_t attribute);
    // Writes the terminator behind the text (attribute too, when kept).
    void Terminate(uint32_t attribute = 0);
    // Drops units from the end down to `length`.
    void CutTo(int32_t length);
    // Gives units [from, length) `colourClass` where they have none.
    void DefaultClass(int32_t from, uint32_t colourClass);
    // Gives units [from, length) `colourClass` in place of the class they have.
    void ReplaceClass(int32_t from, uint32_t colourClass);

    int32_t Length() const { return length_; }
    // Units that still fit before the terminator.
    int32_t Room() const { return capacity_ - 1 - length_; }
    bool HasAttributes() const { return attributes_ != nullptr; }
    char16_t UnitAt(int32_t i) const { return text_[i]; }

private:
    char16_t* text_;
    uint32_t* attributes_;   // null when no attributes are written
    int32_t capacity_;       // units including the terminator, at least 1 (0 = no storage)
    int32_t length_;
};

// Heap storage for one styled text: `capacity` units (terminator included)
// and as many attribute words, zeroed. Empty when the allocation failed.
class StyledText {
public:
    StyledText() = default;
    explicit StyledText(int32_t capacity);

    bool Allocated() const { return text_ != nullptr; }
    StyledWriter Writer();
    // Records the length the writer reached.
    void Finish(const StyledWriter& writer) { length_ = writer.Length(); }

    std::u16string_view Text() const { return {text_.get(), static_cast<size_t>(length_)}; }
    std::span<const uint32_t> Attributes() const { return {attributes_.get(), static_cast<size_t>(length_)}; }
    int32_t Length() const { return length_; }

private:
    std::unique_ptr<char16_t[]> text_;
    std::unique_ptr<uint32_t[]> attributes_;
    int32_t capacity_ = 0;
    int32_t length_ = 0;
};

enum class FormattedTextKind {
    Styled,          // UTF-16 text with one DisplayAttributes word per unit
    Rtf,             // an 8-bit RTF document (formats 9 and 10)
    PlainWithLinks,  // UTF-16 text whose "<<" ">>" runs are links (lexicon hint)
};

// What an article member hands back; owns its buffers. Length 0 means
// nothing to show (an empty record, or memory ran out).
class FormattedText {
public:
    FormattedText() = default;
    static FormattedText Styled(StyledText text);
    static FormattedText PlainWithLinks(StyledText text);
    // Takes `size` bytes of `document` (allocated with new[]).
    static FormattedText Rtf(std::unique_ptr<char[]> document, int32_t size);

    FormattedTextKind Kind() const { return kind_; }
    // Units of styled or plain text, bytes of RTF.
    int32_t Length() const;
    std::u16string_view Text() const { return styled_.Text(); }   // empty for RTF
    std::span<const uint32_t> Attributes() const { return styled_.Attributes(); }
    std::string_view RtfDocument() const { return {rtf_.get(), static_cast<size_t>(rtfSize_)}; }

private:
    FormattedTextKind kind_ = FormattedTextKind::Styled;
    StyledText styled_;
    std::unique_ptr<char[]> rtf_;
    int32_t rtfSize_ = 0;
};
