// RtfTextReader: the text of an RTF document as a reader of RTF sees it, read
// from the documents CRtfDocumentBuilder writes (all text in "\u" control
// words, 7-bit bytes). The clipboard's plain text is made from the same
// document as its rich text, so the two hold the same characters.
// Paragraph ends ("\par") and line breaks ("\line") become CR LF, "\tab" a
// tab, "\~" U+00A0; the font, colour and style tables and "{\*...}" groups
// are skipped; other control words only format. The document may come in
// parts split anywhere.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CRtfDocumentBuilder;

class RtfTextReader {
public:
    RtfTextReader();
    // Reads the next bytes of the document.
    void Read(std::string_view rtf);
    // The text read so far.
    const std::u16string& Text() const { return text_; }
    std::u16string TakeText() { return std::move(text_); }

private:
    enum class State { Text, Escape, Word, Number, HexHigh, HexLow };
    struct Group {
        bool skipped = false;     // a destination whose text is not document text
        int32_t unicodeSkip = 1;  // "\ucN": characters standing in after each "\u"
    };
    void Put(char16_t unit);
    // Reads a whole "\u" word at `at` of `rtf`; the offset after it, or 0.
    size_t ReadUnicodeWord(std::string_view rtf, size_t at);
    void EndWord();
    void Symbol(char c);

    std::u16string text_;
    std::vector<Group> groups_;
    State state_ = State::Text;
    bool groupStart_ = false;   // nothing read yet in the current group
    std::string word_;          // the control word being read
    int64_t number_ = 0;        // its parameter
    bool negative_ = false, hasNumber_ = false;
    int32_t pendingSkip_ = 0;   // stand-in characters still to drop after a "\u"
    int32_t hex_ = 0;
};

// True when `text` holds a character other than blanks (space, tab,
// U+00A0, U+3000) and line ends.
bool HoldsVisibleText(std::u16string_view text);
// True when a reader of `document` sees at least one character other than
// blanks and line ends: an output of articles that render to nothing (or a
// document that memory cut before its first article) holds no text. Reads
// only up to the first such character.
bool DocumentHoldsText(CRtfDocumentBuilder& document);
