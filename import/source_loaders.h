// Reading a compiler source whole into UTF-16 text: the rules that pick a
// loader by the source's format flags, in their fixed order. The own markup
// (a container or plain UTF-16 text) is read here; the loaders of the public
// formats register themselves into their rule when their folder joins.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Reads the file at `path` into `text`; false with a message for the user
// (possibly empty) in `message`.
using SourceLoader = bool (*)(std::u16string_view path, uint32_t formatFlags, std::u16string& text,
                              std::u16string& message);

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
// Reads the source by its rule; false with `message` when there is no rule,
// no loader, or the loader fails.
bool LoadSourceText(std::u16string_view path, uint32_t formatFlags, std::u16string& text, std::u16string& message);

// The own markup loader: the compressed container inflated, or a UTF-16 file
// (a leading byte-order mark is kept; the parser skips it).
bool LoadOwnMarkup(std::u16string_view path, uint32_t formatFlags, std::u16string& text, std::u16string& message);
