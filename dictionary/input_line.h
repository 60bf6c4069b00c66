// CInput: the model of the main window's search box. It keeps the typed text
// with a change counter, the key last searched, the kana made from romaji
// (with a map back to the typed characters), the Greek letter variant for the
// reverse list and a per-character word map. The box itself is reached
// through IInputBox, which the main window implements over its rich-edit box.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class IInputBox {
public:
    // The whole text of the box.
    virtual std::u16string Text() const = 0;
    // The selection [start, end) in characters.
    virtual void Selection(int32_t& start, int32_t& end) const = 0;
    // Colours [first, last) red and the rest black, scrolling it into view;
    // (0, 0) only removes the red.
    virtual void HighlightInputRange(int32_t first, int32_t last) = 0;

protected:
    ~IInputBox() = default;
};

// A text pasted into the input line as the line takes it: one line of at
// most `room` units. The pasted lines are joined by one blank (a run of line
// ends at its start or end is dropped), other control characters become
// blanks, and the rest is cut where the room ends, never inside a surrogate
// pair. Its counts are the user's characters (UserCharacterCount).
struct InputPaste {
    std::u16string text;   // what goes into the line
    int32_t readUpTo = 0;  // characters of the pasted text taken; below `length` when it was cut
    int32_t length = 0;    // characters of the pasted text
    bool cut = false;
};
InputPaste FitPasteIntoInput(std::u16string_view pasted, int32_t room);

// Characters as the user counts them, where the text's units count more:
// a surrogate pair is one character, and so is the CR LF that ends a line.
int32_t UserCharacterCount(std::u16string_view text);

class CInput {
public:
    static constexpr int32_t kMaxText = 1023;   // characters kept of every text
    static constexpr int32_t kMaxVariantBits = 32;

    CInput() = default;
    virtual ~CInput() = default;

    // Reads the box; only a real change of the text clears the derived texts
    // and bumps the counter. Answers the counter.
    int32_t Update(const IInputBox& box);
    // Sets the text directly (the phrase split writes its key here); a change
    // counts as Update's does.
    int32_t SetText(std::u16string_view text);
    void Reset();
    // Romaji or Russian letters into kana; the number of Latin or Cyrillic
    // letters left (0 when fully converted or when nothing came out).
    int32_t ConvertToKana();
    // Writes the Greek variant chosen by `mask` (bit i for the i-th ambiguous
    // letter; bits at or beyond 32 read as clear) and answers the number of
    // ambiguous letters, at most 32.
    int32_t ToGreekVariant(uint64_t mask);
    // Maps a range of the converted (searched) text back to the typed text; 0
    // unless the converted text was searched.
    int32_t GetSelectionWordRange(int32_t& first, int32_t& last) const;
    int32_t SplitWords();
    int32_t GetWordRange(int32_t word, int32_t& first, int32_t& last) const;
    int32_t GetWordText(int32_t word, std::u16string* out) const;
    int32_t WordAtPosition(int32_t position) const;

    int32_t changeCounter = 0;
    int32_t selectionStart = 0;
    int32_t selectionEnd = 0;
    std::u16string text;        // at most kMaxText
    std::u16string searchText;  // the key search as you type used last
    std::u16string converted;   // kana from ConvertToKana
    std::u16string secondText;  // cleared with the others
    std::u16string positionMap; // per converted character, its typed position
    bool convertedSearched = false;  // search as you type searched `converted`
    std::u16string greek;
    std::u16string wordMap;     // per text character its 1-based word number, 0 between words
    int32_t wordCount = 0;

private:
    void ClearDerived();
};
