// What the formatters need of the running application: the flags word that
// holds the transliteration settings, and the first dictionary of the shelf,
// where kanji articles look up the words their readings form. The application
// installs the real one; tests install their own.
#pragma once

#include <cstdint>
#include <string_view>

class CDictionary;

// Transliteration bits of the application's flags word; the script bits
// (Cyrillic 0x200000, Latin 0x400000) are common/text/kana_transcription.h's.
inline constexpr uint32_t kTransliterateInLists = 0x100;
inline constexpr uint32_t kTransliterateInsteadOfKana = 0x200;
inline constexpr uint32_t kTransliterateBesideKana = 0x400;

// A word found in a dictionary: the dictionary holding its parsed record and
// the element number of the entry start (kind 2) in its element array.
struct FoundEntry {
    const CDictionary* dictionary = nullptr;
    uint32_t entryElement = 0;
};

class IArticleContext {
public:
    virtual ~IArticleContext() = default;

    // The application's flags word.
    virtual uint32_t ApplicationFlags() const = 0;
    // Looks up the word written `key` and read `reading` in the first
    // dictionary of the shelf and parses its record; the entry stays valid
    // until the next call. False when the shelf is empty or the word absent.
    // `asking` is formatting its own parsed record meanwhile: its elements
    // must stay as they are, so when it is the first dictionary the word is
    // read through another object.
    virtual bool FindInFirstDictionary(const CDictionary& asking, std::u16string_view key,
                                       std::u16string_view reading, FoundEntry& found) = 0;
    // The article font size of the current font set, in points.
    virtual int32_t ArticleFontSize() const { return 10; }
};

// The installed context; until one is installed, flags 0 and no dictionaries.
IArticleContext& ArticleContext();
// Installs `context` (not owned; null restores the default) and returns the previous one.
IArticleContext* SetArticleContext(IArticleContext* context);
