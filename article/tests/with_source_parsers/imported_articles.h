// The articles of a source text as the real importer of its format cuts
// them: each article's span in source order, for the formatter tests that
// then store and parse each one as a cursor would.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "common/tests/test_files.h"
#include "common/text/utf8.h"
#include "dictionary/dictionary.h"
#include "dictionary/import_services.h"
#include "import/import_registration.h"
#include "storage/dms.h"

// A UTF-8 file as the UTF-16 text, byte-order mark first, that a DSL source holds.
inline std::u16string DslTextOfUtf8File(const std::filesystem::path& file) {
    return u"\uFEFF" + Utf8ToUtf16(ReadText(file));
}

// The article spans the importer of `formatType` reports for `text`; empty
// when it refuses the text.
inline std::vector<std::u16string> ImportedArticleSpans(uint16_t formatType, CDMS& engine, const std::u16string& text) {
    static const bool registered = (RegisterImportParsers(), true);
    (void)registered;
    std::vector<std::u16string> articles;
    ImportCallbacks callbacks;
    callbacks.context = &articles;
    callbacks.onRecord = [](void* context, CDictionary& dictionary, int32_t element) -> int32_t {
        const DictionaryElement& e = dictionary.Elements()[element];
        if (e.kind == 2)
            static_cast<std::vector<std::u16string>*>(context)->emplace_back(
                e.begin, static_cast<size_t>(e.end - e.begin) + 1);
        return 1;
    };
    CDictionary importer(0, engine);
    if (GetFormatParsers(formatType).import(importer, text.data(), static_cast<uint32_t>(text.size() * 2), 0,
                                            callbacks) != 1)
        return {};
    return articles;
}
