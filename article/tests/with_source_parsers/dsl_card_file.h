// The cards of a DSL file as the DSL importer cuts them: each card's span
// (headword lines and body) in file order, for the card tests.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/text/utf8.h"
#include "dictionary/dictionary.h"
#include "import/dsl_import.h"
#include "storage/dms.h"

// A UTF-8 file as the UTF-16 text, byte-order mark first, that a DSL source holds.
inline std::u16string DslTextOfUtf8File(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string utf8((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return u"\uFEFF" + Utf8ToUtf16(utf8);
}

// The card spans ImportDsl reports for `text`; empty when it refuses the text.
inline std::vector<std::u16string> DslCardSpans(CDMS& engine, const std::u16string& text) {
    std::vector<std::u16string> cards;
    ImportCallbacks callbacks;
    callbacks.context = &cards;
    callbacks.onRecord = [](void* context, CDictionary& dictionary, int32_t element) -> int32_t {
        const DictionaryElement& e = dictionary.Elements()[element];
        if (e.kind == 2)
            static_cast<std::vector<std::u16string>*>(context)->emplace_back(
                e.begin, static_cast<size_t>(e.end - e.begin) + 1);
        return 1;
    };
    CDictionary importer(0, engine);
    if (ImportDsl(importer, text.data(), static_cast<uint32_t>(text.size() * 2), 0, callbacks) != 1) return {};
    return cards;
}
