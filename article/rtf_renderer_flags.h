// The flags word every RTF article renderer reads (the print engine builds
// it; the editor preview and the article RTF of formats 9 and 10 pass their
// own), and the colours the renderers give the parts of an article.
#pragma once

#include <cstdint>

#include "article/rtf_document.h"

inline constexpr uint32_t kRtfPrint = 0x01;           // print mode
inline constexpr uint32_t kRtfCardNumber = 0x02;      // DSL card number; senses numbered "n."
inline constexpr uint32_t kRtfCompact = 0x04;         // parts joined by blanks, not paragraphs
inline constexpr uint32_t kRtfColoured = 0x08;
inline constexpr uint32_t kRtfWordFirst = 0x10;       // kanji writing before the reading
inline constexpr uint32_t kRtfTransliterate = 0x20;   // readings transliterated
inline constexpr uint32_t kRtfBoldHead = 0x40;
inline constexpr uint32_t kRtfWordStyles = 0x80;      // DSL word paragraphs; kanji articles' senses
inline constexpr uint32_t kRtfStyles = 0x100;         // paragraph styles recorded
inline constexpr uint32_t kRtfBook = 0x200;           // senses from the 2nd on start a paragraph
inline constexpr uint32_t kRtfDictionaryOption = 0x400;
// Set by the dispatch for records that hold their source's own text (the
// EDICT family and KANJIDIC): "<...>", "_" and "\\" in it are text, not
// the own markup's tags, italics and escapes.
inline constexpr uint32_t kRtfSourceText = 0x10000;

inline constexpr uint32_t kRtfReadingRed = RtfRgb(127, 0, 0);
inline constexpr uint32_t kRtfWordBlue = RtfRgb(0, 0, 127);
inline constexpr uint32_t kRtfTranslationPurple = RtfRgb(31, 0, 31);
inline constexpr uint32_t kRtfExampleGreen = RtfRgb(0, 95, 0);
inline constexpr uint32_t kRtfGrey = RtfRgb(127, 127, 127);
inline constexpr uint32_t kRtfBlack = 0;

inline bool HasFlag(uint32_t flags, uint32_t bit) { return (flags & bit) != 0; }

// Sets a piece up for a renderer: buffer, font size, flags, paragraph 1.
inline void StartRtfPiece(CRtfArticleBuilder& piece, size_t reserve, int32_t fontSize, uint32_t flags) {
    piece.Reserve(reserve);
    piece.fontSize = fontSize;
    piece.flags = flags;
    piece.paragraph = 1;
}
