// Source format detection: what a dictionary or source file is, judged from
// its first bytes. The result is a word of format flags (also the first value
// of a dictionary's flags word) and from it a format type 1..16, which picks
// every per-format family of parsers and renderers.
#pragma once

#include <cstdint>
#include <span>
#include <string>

// Format flags. Bits not listed here are 0 in every sniffer result.
inline constexpr uint32_t kFormatYarxi = 0x4;
inline constexpr uint32_t kFormatUtf8 = 0x8;                // text in UTF-8
inline constexpr uint32_t kFormatEijiro = 0x20;
inline constexpr uint32_t kFormatOwnContainer = 0x100;      // own compressed container
inline constexpr uint32_t kFormatOwnText = 0x200;           // own markup text (UTF-16)
inline constexpr uint32_t kFormatDsl = 0x400;
inline constexpr uint32_t kFormatWarodai = 0x800;
inline constexpr uint32_t kFormatExamples = 0x1000;
inline constexpr uint32_t kFormatEditable = 0x2000;         // never set by the sniffer
inline constexpr uint32_t kFormatBook = 0x4000;             // parallel-text book; never set by the sniffer
inline constexpr uint32_t kFormatLatinList = 0x10000;       // fixed-column Latin word list
inline constexpr uint32_t kFormatWords = 0x40000;           // word dictionary
inline constexpr uint32_t kFormatKanji = 0x80000;           // kanji dictionary
inline constexpr uint32_t kFormatCompressed = 0x100000;     // zlib
inline constexpr uint32_t kFormatKanjidic = 0x200000;
inline constexpr uint32_t kFormatForeign = 0x400000;        // a public format that must be converted
inline constexpr uint32_t kFormatTatoeba = 0x800000;
inline constexpr uint32_t kFormatEucJp = 0x1000000;         // text in EUC-JP
inline constexpr uint32_t kFormatEdictFamily = 0x2000000;
inline constexpr uint32_t kFormatJrEdict = 0x4000000;
// JR-EDICT's own text: EUC-JP lines mixed with Windows-1251 ones. Its only
// producer is the JR-EDICT rule, and its loader reads it that way.
inline constexpr uint32_t kFormatJrEdictMixedText = 0x8000000;
inline constexpr uint32_t kFormatStoreDatabase = 0x10000000;
inline constexpr uint32_t kFormatEnamdict = 0x40000000;
inline constexpr uint32_t kFormatPdic = 0x80000000;

// The sniffer reads at most this many bytes of a file; the callers' buffers
// hold it with four zero bytes behind.
inline constexpr uint32_t kSniffReadLimit = 8188;
inline constexpr uint32_t kSniffBufferSize = 8192;

// The format flags of a file whose first bytes are `head` (any length: only
// the first kSniffReadLimit bytes are looked at, as if followed by zeros);
// 0 when nothing is recognised.
uint32_t SniffDictionaryFormat(std::span<const uint8_t> head);

// Opens the file read-only and shared, sniffs its first bytes and closes it;
// 0 when it cannot be opened.
uint32_t DetectDictionaryFileFormat(const char16_t* path);

// The format type 1..16 of a flags word; 0 when no rule applies (own markup
// text without the container bit among them).
uint32_t FormatTypeFromFlags(uint32_t flags);

// The format types of kanji articles: own kanji markup (2), KANJIDIC (6) and
// YARXI (14, 15); a dictionary of them is a kanji dictionary (kFormatKanji).
constexpr bool IsKanjiFormatType(uint32_t formatType) {
    return formatType == 2 || formatType == 6 || formatType == 14 || formatType == 15;
}

// The probe of a source file for the import dialogs: format and the languages
// its contents suggest.
struct SourceFileInfo {
    static constexpr int kLanguageSlots = 5;
    static constexpr int kLanguageSlotUnits = 8;
    enum LanguageSlot {
        kIndexLanguage = 0,
        kSecondIndexLanguage = 1,     // cleared, never set here
        kContentsLanguage = 2,
        kSecondContentsLanguage = 3,  // Tatoeba's second translation language
        kFifthLanguage = 4,           // cleared, never set here
    };

    explicit SourceFileInfo(std::u16string path);
    // Reads the first bytes, stores flags and type and fills the language
    // slots. A file that cannot be opened or is empty leaves everything 0.
    uint32_t Detect();

    std::u16string path;
    uint32_t formatType = 0;   // 0 until detected
    uint32_t formatFlags = 0;
    // ISO 639-3 codes, zero-terminated; empty when unknown.
    char16_t languages[kLanguageSlots][kLanguageSlotUnits] = {};
};
