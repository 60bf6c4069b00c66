// Random edits to a source text for the importers' fuzz tests: cuts, inserted
// characters of the format, repeated pieces, and optionally units replaced
// by arbitrary values.
#pragma once

#include <random>
#include <string>
#include <string_view>

inline void DamageText(std::mt19937& random, std::u16string& text, std::u16string_view alphabet,
                       bool arbitraryUnits = false) {
    for (int edits = 1 + int(random() % 8); edits > 0 && !text.empty(); --edits) {
        const size_t at = random() % text.size();
        switch (random() % (arbitraryUnits ? 4 : 3)) {
        case 0: text.erase(at, 1 + random() % 4); break;
        case 1: text.insert(at, 1, alphabet[random() % alphabet.size()]); break;
        case 2: text.insert(at, text.substr(at, 1 + random() % 12)); break;
        default: text[at] = char16_t(random()); break;
        }
    }
}
