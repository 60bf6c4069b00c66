// Own markup from Debian's EDICT, for volume tests of the compiler.
#include "import/tests/compile_fixture.h"

#include "common/tests/edict_files.h"
#include "common/text/japanese_code_pages.h"

#include <algorithm>
#include <vector>

namespace {

std::u16string Escaped(std::u16string_view text) {
    std::u16string out;
    for (char16_t c : text) {
        if (c == u'{' || c == u'}' || c == u'\\') out += u'\\';
        out += c;
    }
    return out;
}

// Through ShiftJisToUnicode, the converter the compiler's readers use (the
// system's code page 932 under Wine), not the tests' table decoder: the
// markup must hold what the program itself would read.
std::u16string Decode(std::span<const uint8_t> line) {
    std::vector<uint8_t> bytes(line.begin(), line.end());
    const int32_t n = EucJpToShiftJis(bytes.data(), bytes.data(), static_cast<int32_t>(bytes.size()));
    std::u16string text(static_cast<size_t>(n) + 1, u'\0');
    const int32_t units = ShiftJisToUnicode(bytes.data(), n, text.data(), static_cast<int32_t>(text.size()));
    text.resize(static_cast<size_t>(units));
    return text;
}

}  // namespace

std::u16string EdictAsOwnMarkup(size_t limit) {
    const std::vector<uint8_t> edict = ReadEdictFile("edict");
    if (edict.empty()) return {};
    std::u16string markup = u"{\\rdf1 {\\name EDICT sample}\r\n";
    const std::vector<std::span<const uint8_t>> lines = SplitLines(edict);
    for (size_t count = 0, i = 0; count < limit && i < lines.size(); ++i) {
        const std::u16string line = Decode(lines[i]);
        const size_t slash = line.find(u" /");
        if (line.empty() || line[0] == u'\uFF1F' || slash == std::u16string::npos) continue;  // the header line
        std::u16string head = line.substr(0, slash), word = head, reading;
        if (const size_t open = head.find(u" ["); open != std::u16string::npos) {
            word = head.substr(0, open);
            reading = head.substr(open + 2, head.find(u']') - open - 2);
        }
        markup += u"{\\a ";
        if (reading.empty()) {
            markup += u"{\\r " + Escaped(word) + u"}";
        } else {
            markup += u"{\\k " + Escaped(word) + u"}{\\r " + Escaped(reading) + u"}";
        }
        for (size_t at = slash + 2; at < line.size();) {
            const size_t end = line.find(u'/', at);
            if (end == std::u16string::npos) break;
            if (end > at) markup += u"{\\s {\\rus " + Escaped(line.substr(at, end - at)) + u"}}";
            at = end + 1;
        }
        markup += u"}\r\n";
        ++count;
    }
    return markup + u"}";
}

// Own kanji markup from Debian's KANJIDIC (EUC-JP): "KANJI codes ON KUN
// [T1 names] {meaning} ..." becomes an article with the kanji, its on and kun
// readings (the name readings after T1 or T2 left out) and one sense per meaning.
std::u16string KanjidicAsOwnMarkup(size_t limit) {
    const std::vector<uint8_t> kanjidic = ReadEdictFile("kanjidic");
    if (kanjidic.empty()) return {};
    std::u16string markup = u"{\\rdf2 {\\name KANJIDIC sample}\r\n";
    const std::vector<std::span<const uint8_t>> lines = SplitLines(kanjidic);
    for (size_t count = 0, i = 0; count < limit && i < lines.size(); ++i) {
        const std::u16string line = Decode(lines[i]);
        if (line.size() < 3 || line[0] < 0x3000 || line[1] != u' ') continue;  // the header line
        markup += u"{\\a {\\j " + Escaped(line.substr(0, 1)) + u"}";
        bool names = false;
        for (size_t at = 2; at < line.size();) {
            if (line[at] == u' ') {
                ++at;
                continue;
            }
            if (line[at] == u'{') {
                const size_t end = line.find(u'}', at);
                if (end == std::u16string::npos) break;
                markup += u"{\\ss " + Escaped(line.substr(at + 1, end - at - 1)) + u"}";
                at = end + 1;
                continue;
            }
            const size_t end = std::min(line.find(u' ', at), line.size());
            const std::u16string token = line.substr(at, end - at);
            at = end;
            if (token == u"T1" || token == u"T2") names = true;
            const char16_t first = token[0] == u'-' && token.size() > 1 ? token[1] : token[0];
            if (names || first < 0x3040) continue;
            markup += (first >= 0x30A0 ? u"{\\o " : u"{\\k ") + Escaped(token) + u"}";
        }
        markup += u"}\r\n";
        ++count;
    }
    return markup + u"}";
}
