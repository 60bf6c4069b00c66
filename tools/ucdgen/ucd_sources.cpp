// Line parsers for the Unicode source files; see ucd_sources.h.
#include "tools/ucdgen/ucd_sources.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return {};
    size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

std::vector<std::string> Split(const std::string& s, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t at = s.find(separator, start);
        parts.push_back(s.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos) return parts;
        start = at + 1;
    }
}

bool ParseHex(const std::string& text, uint32_t& value) {
    std::string t = Trim(text);
    if (t.empty() || t.size() > 6) return false;
    char* end = nullptr;
    unsigned long v = std::strtoul(t.c_str(), &end, 16);
    if (*end != 0 || v > 0x10FFFF) return false;
    value = static_cast<uint32_t>(v);
    return true;
}

bool ParseHexList(const std::string& text, std::vector<uint32_t>& values) {
    std::istringstream in(text);
    std::string word;
    while (in >> word) {
        uint32_t v;
        if (!ParseHex(word, v)) return false;
        values.push_back(v);
    }
    return true;
}

bool Fail(std::string& error, const std::string& path, int line, const std::string& what) {
    error = path + ":" + std::to_string(line) + ": " + what;
    return false;
}

}  // namespace

bool ReadUnicodeData(const std::string& path, std::vector<UnicodeDataLine>& lines,
                     std::string& error) {
    std::ifstream in(path);
    if (!in) return Fail(error, path, 0, "cannot open");
    std::string text;
    int number = 0;
    while (std::getline(in, text)) {
        ++number;
        if (Trim(text).empty()) continue;
        std::vector<std::string> f = Split(text, ';');
        if (f.size() != 15) return Fail(error, path, number, "expected 15 fields");
        UnicodeDataLine line;
        if (!ParseHex(f[0], line.codePoint)) return Fail(error, path, number, "bad code point");
        line.name = f[1];
        line.category = f[2];
        std::string decomposition = f[5];
        if (!decomposition.empty() && decomposition[0] == '<') {
            size_t close = decomposition.find('>');
            if (close == std::string::npos) return Fail(error, path, number, "bad tag");
            decomposition = decomposition.substr(close + 1);
        }
        if (!ParseHexList(decomposition, line.decomposition))
            return Fail(error, path, number, "bad decomposition");
        if (!f[12].empty() && !ParseHex(f[12], line.upper))
            return Fail(error, path, number, "bad upper case");
        if (!f[13].empty() && !ParseHex(f[13], line.lower))
            return Fail(error, path, number, "bad lower case");
        lines.push_back(std::move(line));
    }
    // Version markers of 5.2: Extension C ends at U+2B734, U+0526 (6.0) is absent.
    bool extensionC = false;
    for (const UnicodeDataLine& l : lines) {
        if (l.codePoint == 0x2B734 && l.category == "Lo") extensionC = true;
        if (l.codePoint == 0x0526) return Fail(error, path, 0, "not version 5.2 (U+0526 present)");
    }
    if (!extensionC) return Fail(error, path, 0, "not version 5.2 (U+2B734 missing)");
    return true;
}

bool ReadPropertyFile(const std::string& path, const std::string& header,
                      std::vector<PropertyRange>& ranges, std::string& error) {
    std::ifstream in(path);
    if (!in) return Fail(error, path, 0, "cannot open");
    std::string text;
    int number = 0;
    while (std::getline(in, text)) {
        ++number;
        if (number == 1 && Trim(text) != header) return Fail(error, path, 1, "expected " + header);
        std::string data = Trim(text.substr(0, text.find('#')));
        if (data.empty()) continue;
        std::vector<std::string> f = Split(data, ';');
        if (f.size() < 2) return Fail(error, path, number, "expected code points ; value");
        PropertyRange range;
        std::string points = Trim(f[0]);
        size_t dots = points.find("..");
        bool ok = dots == std::string::npos
                      ? ParseHex(points, range.first) && ParseHex(points, range.last)
                      : ParseHex(points.substr(0, dots), range.first) &&
                            ParseHex(points.substr(dots + 2), range.last);
        if (!ok || range.last < range.first) return Fail(error, path, number, "bad range");
        range.value = Trim(f[1]);
        ranges.push_back(std::move(range));
    }
    return true;
}

bool ReadCollationTable(const std::string& path, const std::string& version,
                        std::vector<CollationEntry>& entries, std::string& error) {
    std::ifstream in(path);
    if (!in) return Fail(error, path, 0, "cannot open");
    std::string text;
    int number = 0;
    bool versionSeen = false;
    while (std::getline(in, text)) {
        ++number;
        std::string data = Trim(text.substr(0, text.find('#')));
        if (data.empty()) continue;
        if (data[0] == '@') {
            if (data.rfind("@version", 0) == 0) {
                if (Trim(data.substr(8)) != version)
                    return Fail(error, path, number, "expected @version " + version);
                versionSeen = true;
            }
            continue;
        }
        size_t semicolon = data.find(';');
        if (semicolon == std::string::npos) return Fail(error, path, number, "missing ';'");
        CollationEntry entry;
        if (!ParseHexList(data.substr(0, semicolon), entry.codePoints) || entry.codePoints.empty())
            return Fail(error, path, number, "bad code points");
        // Elements: [.PPPP.SSSS.TTTT.QQQQ] or [*PPPP...] for variable ones.
        std::string rest = data.substr(semicolon + 1);
        size_t at = 0;
        while ((at = rest.find('[', at)) != std::string::npos) {
            size_t close = rest.find(']', at);
            if (close == std::string::npos || close - at < 3)
                return Fail(error, path, number, "bad element");
            CollationElement element;
            element.variable = rest[at + 1] == '*';
            std::vector<std::string> w = Split(rest.substr(at + 2, close - at - 2), '.');
            uint32_t v[4];
            if (w.size() != 4) return Fail(error, path, number, "expected four weights");
            for (int i = 0; i < 4; ++i) {
                char* end = nullptr;
                v[i] = static_cast<uint32_t>(std::strtoul(w[i].c_str(), &end, 16));
                if (w[i].empty() || *end != 0) return Fail(error, path, number, "bad weight");
            }
            element.primary = v[0];
            element.secondary = v[1];
            element.tertiary = v[2];
            element.fourth = v[3];
            entry.elements.push_back(element);
            at = close + 1;
        }
        if (entry.elements.empty()) return Fail(error, path, number, "no elements");
        entries.push_back(std::move(entry));
    }
    if (!versionSeen) return Fail(error, path, 0, "no @version line");
    return true;
}
