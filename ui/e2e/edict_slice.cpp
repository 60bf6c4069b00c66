// Reading the EDICT slice of the end-to-end tests.
#include "common/tests/test_paths.h"
#include "ui/e2e/edict_slice.h"

#include <algorithm>
#include <span>

#include "common/tests/edict_files.h"
#include "common/tests/test_files.h"

// The slice's entries with a hiragana reading of 2 to 4 letters.
std::vector<SliceEntry> ReadSlice() {
    std::vector<uint8_t> bytes = ReadBytes(BinaryPath() + "/ui/e2e-data/edict-slice");
    std::vector<SliceEntry> entries;
    std::vector<std::span<const uint8_t>> lines = SplitLines(bytes);
    for (size_t i = 1; i < lines.size(); ++i) {
        std::u16string text = DecodeEucJpLine(lines[i]);
        size_t open = text.find(u" ["), close = text.find(u"] /");
        size_t slash = text.find(u" /");
        SliceEntry entry;
        entry.reading = open != std::u16string::npos && close != std::u16string::npos && close > open
                            ? text.substr(open + 2, close - open - 2)
                            : text.substr(0, std::min(text.find(u' '), text.size()));
        bool hiragana = entry.reading.size() >= 2 && entry.reading.size() <= 4 &&
                        std::all_of(entry.reading.begin(), entry.reading.end(),
                                    [](char16_t c) { return c >= 0x3041 && c <= 0x3093; });
        if (!hiragana || slash == std::u16string::npos) continue;
        // "/(n) (uk) cat/pussy/": the meanings without their leading tags.
        for (size_t at = slash + 2; at < text.size();) {
            size_t end = text.find(u'/', at);
            if (end == std::u16string::npos) break;
            std::u16string gloss = text.substr(at, end - at);
            while (!gloss.empty() && gloss[0] == u'(') {
                size_t tag = gloss.find(u") ");
                if (tag == std::u16string::npos) break;
                gloss.erase(0, tag + 2);
            }
            if (gloss.size() >= 3 && gloss != u"(P)") entry.glosses.push_back(gloss);
            at = end + 1;
        }
        if (!entry.glosses.empty()) entries.push_back(std::move(entry));
    }
    return entries;
}
