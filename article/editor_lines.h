// The lines of an article being edited, as the editor window hands them over
// (one paragraph each, with its kind and per-character bold and italic bits),
// and what is done with them without a window: the kind a new article's text
// starts with, the automatic classification, the check before saving, the
// own markup text an article is saved as, and the editor's key table.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Line kinds; kind + kUserKind was chosen by the user and is never changed automatically.
enum EditorLineKind : int32_t {
    kLineUndefined = 0,
    kLineReading = 3,
    kLineKanji = 4,
    kLineTranslation = 5,
    kLineExample = 7,
    kLineLetters = 8,
    kLineNote = 9,
    kLineIdiom = 10,
};
inline constexpr int32_t kUserKind = 100;
inline constexpr int32_t BaseKind(int32_t kind) { return kind >= kUserKind ? kind - kUserKind : kind; }
inline constexpr bool IsHeadwordKind(int32_t kind) {
    const int32_t base = BaseKind(kind);
    return base == kLineReading || base == kLineKanji || base == kLineLetters;
}

// Attribute bits of one character.
inline constexpr uint16_t kCharBold = 0x2;
inline constexpr uint16_t kCharItalic = 0x4;

struct EditorLine {
    int32_t kind = kLineUndefined;
    std::u16string text;               // the paragraph without its CR
    std::vector<uint16_t> attributes;  // one per unit of text, or empty (none set)
};

// The line without its leading and trailing characters below U+0021 and U+3000: [first, end).
std::pair<size_t, size_t> TrimmedSpan(std::u16string_view text);

// The kind a new article made from `text` starts with (by its first significant characters).
int32_t InitialLineKind(std::u16string_view text);

// Classifies the lines of automatic kinds by their text and the lines before them.
void ClassifyLines(std::span<EditorLine> lines);

struct LineCheck {
    int32_t headwords = 0;        // readings + words in kanji + words in letters
    bool canSave = true;          // false after "Empty Article" or "Head word missed"
    std::u16string problems;      // every message followed by CR LF
};
LineCheck CheckLines(std::span<const EditorLine> lines);

// The article as own markup: "{\a " LF, one group a non-empty line, "}" LF.
// Bold and italic become tags inside a line only: a run is closed before its
// line's "}" and opened again on the next line that is not a headword line;
// headword lines get no tags.
std::u16string WriteArticleText(std::span<const EditorLine> lines);

// The lines of a stored own markup article ("{\a ...}"): one line per group
// inside the article group, its kind by the group's control word, its text
// with nested control words dropped, escapes undone and "<b>", "<i>" tags
// turned into attributes. Writing them again gives the same article.
std::vector<EditorLine> ReadArticleLines(std::u16string_view markup);

// The editor's key filter: the command a key press posts (F2 to F9, Ctrl+B,
// I, Z, Y, S, K, N), kPasteKey for Ctrl+V and Shift+Insert, 0 for others.
inline constexpr uint32_t kPasteKey = 0xFFFFFFFF;
uint32_t EditorKeyCommand(uint32_t virtualKey, bool control, bool shift);
// The kind a kind command sets (40615 to 40620, 40630, 40631), -1 for others.
int32_t KindOfCommand(uint32_t command);
