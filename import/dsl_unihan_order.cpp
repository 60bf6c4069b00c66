// SortUnihanArticle and WriteSortedUnihanArticle.
#include "import/dsl_unihan_order.h"

#include <array>

namespace {

constexpr size_t kMaximumLines = 100;

struct Label {
    int32_t kind;
    std::u16string_view text;
};

constexpr std::array<Label, 35> kLabels = {{
    {3, u"Mandarin(P):"}, {4, u"Mandarin(Z):"}, {5, u"Korean(Eum):"}, {6, u"Korean(H/E):"},
    {7, u"Japanese(On):"}, {8, u"Japanese(Kun):"}, {9, u"Cantonese:"}, {10, u"Vietnamese:"},
    {11, u"Hist. Tang:"}, {12, u"-----------"}, {13, u" Definition:"}, {13, u"Definition:"},
    {14, u"Rad.-Add. str. Index:"}, {15, u"Total strokes:"}, {16, u"Radical:"},
    {17, u"Traditional variant:"}, {18, u"Simplified variant:"}, {19, u"Compatibility variant:"},
    {20, u"Other variant:"}, {21, u"Frequency:"}, {22, u"Unicode:"}, {23, u"Big Five:"}, {24, u"GB 2312:"},
    {25, u"JIS X 0212-1990:"}, {26, u"JIS X 0208-1990:"}, {27, u"KSC 5657-1991:"}, {28, u"KSC 5601-1989:"},
    {29, u"Cangjie:"}, {30, u"Four-corner Code:"}, {31, u"Hanyu Da Zidian:"}, {32, u"Kang Xi:"},
    {33, u"CiHai:"}, {34, u"Nelson:"}, {35, u"Dae Jaweon:"}, {0, u""},
}};

std::vector<std::u16string_view> SplitLines(std::u16string_view article) {
    std::vector<std::u16string_view> lines;
    for (size_t at = 0; at < article.size();) {
        size_t end = article.find(u'\n', at);
        end = end == article.npos ? article.size() : end;
        std::u16string_view line = article.substr(at, end - at);
        if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
        lines.push_back(line);
        at = end + 1;
    }
    return lines;
}

int32_t LineKind(std::u16string_view line) {
    if (line.empty()) return 0;
    if (line[0] > 0x20) return 1;
    size_t at = 0;
    while (at < line.size() && line[at] <= 0x20) ++at;
    if (line.substr(at, 5) == u"[trn]") return 2;
    const size_t first = line.find(u']');
    const size_t second = first == line.npos ? line.npos : line.find(u']', first + 1);
    if (second != line.npos && (second + 1 >= line.size() || line[second + 1] != u'[')) {
        const std::u16string_view rest = line.substr(second + 1);
        for (const Label& label : kLabels)
            if (label.kind != 0 && rest.substr(0, label.text.size()) == label.text) return label.kind;
    }
    // A rule: "--" before any other text, tags and blanks aside.
    bool inTag = false;
    for (size_t i = at; i < line.size(); ++i) {
        if (inTag || line[i] == u'[') {
            inTag = line[i] != u']';
            continue;
        }
        return line.substr(i, 2) == u"--" ? 12 : 0;
    }
    return 0;
}

std::u16string WithoutUnderline(std::u16string_view line) {
    std::u16string out(line);
    for (std::u16string_view tag : {u"[u] ", u"[/u]"})
        for (size_t at; (at = out.find(tag)) != out.npos;) out.erase(at, tag.size());
    return out;
}

std::u16string InKatakana(std::u16string_view line) {
    std::u16string out(line);
    for (char16_t& c : out)
        if (c >= 0x3041 && c <= 0x309E) c = static_cast<char16_t>(c + 0x60);
    return out;
}

}  // namespace

std::vector<int32_t> SortUnihanArticle(std::u16string_view article) {
    std::vector<int32_t> kinds;
    for (std::u16string_view line : SplitLines(article)) {
        if (kinds.size() == kMaximumLines) break;
        const int32_t kind = LineKind(line);
        if (kind == 0) break;
        kinds.push_back(kind);
    }
    return kinds;
}

std::u16string WriteSortedUnihanArticle(std::u16string_view article) {
    const std::vector<std::u16string_view> lines = SplitLines(article);
    const std::vector<int32_t> kinds = SortUnihanArticle(article);
    const size_t n = kinds.size();
    std::vector<bool> written(n, false);
    std::u16string out;
    int32_t lastKind = 0;
    auto write = [&](size_t i, std::u16string_view text) {
        out.append(text);
        out += u'\n';
        written[i] = true;
        lastKind = kinds[i];
    };
    auto first = [&](int32_t kind) {
        for (size_t i = 0; i < n; ++i)
            if (kinds[i] == kind && !written[i]) return i;
        return n;
    };
    for (size_t i = 0; i < n && i < 2; ++i) write(i, lines[i]);
    if (const size_t d = first(13); d < n) {
        write(d, WithoutUnderline(lines[d]));
        if (d + 1 < n && kinds[d + 1] == 12 && !written[d + 1]) write(d + 1, lines[d + 1]);
    }
    if (const size_t on = first(7); on < n) write(on, InKatakana(lines[on]));
    if (const size_t kun = first(8); kun < n) write(kun, lines[kun]);
    for (size_t i = 0; i < n; ++i) {
        if (written[i] || (kinds[i] == 12 && lastKind == 12)) continue;
        write(i, lines[i]);
    }
    for (size_t i = n; i < lines.size(); ++i) {
        out.append(lines[i]);
        if (i + 1 < lines.size() || article.ends_with(u'\n')) out += u'\n';
    }
    return out;
}
