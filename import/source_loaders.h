// Reading a compiler source whole into UTF-16 text: the rules that pick a
// loader by the source's format flags, in their fixed order. The own markup
// (a container or plain UTF-16 text) is read here; the loaders of the public
// formats register themselves into their rule when their folder joins.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// Reads the file at `path` into `text`; false with a message for the user
// (possibly empty) in `message`.
using SourceLoader = bool (*)(std::u16string_view path, uint32_t formatFlags, std::u16string& text,
                              std::u16string& message);

// What the import chose beyond the format: the languages (the source
// language, then translation languages 1 to 3; ISO 639-3 codes, empty when
// not chosen), and where a long loader reports its progress (per mille).
struct SourceChoices {
    std::array<std::u16string, 4> languages;
    void (*progress)(void* context, int32_t perMille) = nullptr;  // may be null
    // What a loader that reads the source's records itself (Tatoeba) met:
    // lines that are no record of the format, and a source that ends before
    // its own end (as ImportCallbacks tells them); either may be null.
    void (*skippedLines)(void* context, int64_t count) = nullptr;
    void (*notWhole)(void* context, std::u16string_view reason) = nullptr;
    void* context = nullptr;
};
// A loader that reads the choices too (the Tatoeba rule's).
using LanguageSourceLoader = bool (*)(std::u16string_view path, uint32_t formatFlags, const SourceChoices& choices,
                                      std::u16string& text, std::u16string& message);

// The rules, in the order they are tried.
enum class SourceRule : int32_t {
    OwnMarkup,      // 0x100 own container, 0x200 own markup text
    EdictFamily,    // 0x6000000 or bit 21 (EDICT, JR-EDICT, KANJIDIC)
    Pdic,           // bit 31
    Eijiro,         // 0x20
    Dsl,            // 0x400
    Warodai,        // 0x800
    Examples,       // 0x1000
    ParallelText,   // 0x4000
    Tatoeba,        // bit 23
    Yarxi,          // 0x4
    LatinList,      // 0x10000
    Count,
};

// The rule a flags word falls under; Count when none.
SourceRule SourceRuleOf(uint32_t formatFlags);
// Installs the loader of a rule and answers the one it replaces.
SourceLoader SetSourceLoader(SourceRule rule, SourceLoader loader);
// Installs a loader that reads the languages; it comes before the rule's plain loader.
void SetLanguageSourceLoader(SourceRule rule, LanguageSourceLoader loader);
// Reads the source by its rule; false with `message` when there is no rule,
// no loader, or the loader fails. The first form chooses nothing.
bool LoadSourceText(std::u16string_view path, uint32_t formatFlags, std::u16string& text, std::u16string& message);
bool LoadSourceText(std::u16string_view path, uint32_t formatFlags, const SourceChoices& choices,
                    std::u16string& text, std::u16string& message);

// The own markup loader: the compressed container inflated, or a UTF-16 file
// (a leading byte-order mark is kept; the parser skips it).
bool LoadOwnMarkup(std::u16string_view path, uint32_t formatFlags, std::u16string& text, std::u16string& message);
