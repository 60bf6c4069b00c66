// A long article of the shape users write: hundreds of paragraphs of real
// words in three scripts (Debian's EDICT lines: kanji, kana and English,
// each followed by words of the Russian hunspell list), read from their
// install paths. The editor's long-text cases and its benchmark type into it.
#pragma once

#include <cstddef>
#include <string>

// `paragraphs` paragraphs of exactly `units` units as the editor counts them
// (a paragraph end is one unit), joined by `lineEnd`: a kana reading, its
// word in kanji, then lines of about equal length. Empty when the Debian
// files cannot be read.
std::wstring ArticleParagraphs(size_t paragraphs, size_t units, const std::wstring& lineEnd = L"\r\n");
