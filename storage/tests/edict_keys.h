// (reading, headword) pairs from Debian's EDICT, the real shape of the
// dictionaries' reading index: "KANJI [READING] /..." gives (READING, KANJI),
// a kana-only line "KANA /..." gives (KANA, KANA). The file is EUC-JP and is
// decoded by the program's own converters, so the same loader runs under Wine.
#pragma once

#include "common/tests/edict_files.h"
#include "common/tests/test_files.h"
#include "common/text/japanese_code_pages.h"

#include <iterator>
#include <string>
#include <utility>
#include <vector>

using ReadingAndWord = std::pair<std::u16string, std::u16string>;

// At most `limit` pairs in file order (the header line skipped); empty when
// the file is missing. ENAMDICT has the same line shape.
inline std::vector<ReadingAndWord> LoadEdictKeys(size_t limit,
                                                 const char* path = OSTREL_HOST_ROOT "/usr/share/edict/edict") {
    std::vector<uint8_t> sjis = ReadBytes(path);
    std::vector<ReadingAndWord> keys;
    if (sjis.empty()) return keys;
    int32_t n = EucJpToShiftJis(sjis.data(), sjis.data(), static_cast<int32_t>(sjis.size()));
    int32_t units = ShiftJisToUnicode(sjis.data(), n, nullptr, 0);
    std::u16string text(static_cast<size_t>(units), u'\0');
    ShiftJisToUnicode(sjis.data(), n, text.data(), units);
    size_t start = text.find(u'\n');  // the first line describes the file
    while (start != std::u16string::npos && keys.size() < limit) {
        ++start;
        size_t end = text.find(u'\n', start);
        std::u16string_view line(text.data() + start, (end == std::u16string::npos ? text.size() : end) - start);
        start = end;
        size_t space = line.find(u' ');
        if (space == std::u16string_view::npos || space == 0) continue;
        std::u16string word(line.substr(0, space));
        std::u16string reading = word;
        if (space + 1 < line.size() && line[space + 1] == u'[') {
            size_t close = line.find(u']', space + 2);
            if (close == std::u16string_view::npos) continue;
            reading.assign(line.substr(space + 2, close - space - 2));
        }
        keys.emplace_back(std::move(reading), std::move(word));
    }
    return keys;
}

// The benchmark sizes past EDICT's own: the first `count` pairs of EDICT
// followed by ENAMDICT's (1,000,000 takes all of EDICT and most of ENAMDICT).
inline std::vector<ReadingAndWord> LoadEdictAndEnamdictKeys(size_t count) {
    std::vector<ReadingAndWord> keys = LoadEdictKeys(count);
    if (keys.size() < count) {
        std::vector<ReadingAndWord> names = LoadEdictKeys(count - keys.size(), OSTREL_HOST_ROOT "/usr/share/edict/enamdict");
        keys.insert(keys.end(), std::make_move_iterator(names.begin()), std::make_move_iterator(names.end()));
    }
    return keys;
}
