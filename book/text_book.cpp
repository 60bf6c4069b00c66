#include "book/text_book.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

#include "book/book_texts.h"
#include "common/base/bin_file.h"
#include "common/text/utf8.h"
#include "dictionary/leftover_files.h"
#include "import/line_tags.h"

namespace {

bool HasVisibleUnit(std::u16string_view line) {
    for (char16_t c : line)
        if (c > 0x20) return true;
    return false;
}

std::u16string_view TrimName(std::u16string_view name) {
    while (!name.empty() && name.front() <= 0x20) name.remove_prefix(1);
    while (!name.empty() && (name.back() <= 0x20 || name.back() == 0x3000)) name.remove_suffix(1);
    return name;
}

std::u16string Decimal(int32_t value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

// A refusal in the form the book loader reports input errors: the line's
// number, its text (at most 80 units) when it has one, and what is wrong.
std::u16string LineProblem(int32_t number, std::u16string_view text, std::u16string_view error) {
    std::u16string out = InterfaceText(u"Line:") + u" " + Decimal(number);
    if (!text.empty()) out.append(u"\n").append(InterfaceText(u"Text:")).append(u" ").append(text.substr(0, 80));
    return out.append(u"\n").append(InterfaceText(u"Error:")).append(u" ").append(error);
}

std::u16string GroupLinesText(int32_t lines, int32_t columns) {
    std::u16string text = InterfaceText(u"%s lines in a group instead of %s.", Decimal(lines));
    if (const size_t at = text.find(u"%s"); at != std::u16string::npos) text.replace(at, 2, Decimal(columns));
    return text;
}

}  // namespace

bool ParseLanguageLine(std::u16string_view line, BookLanguage& language) {
    language = {};
    if (line.empty() || line.front() != u'<') return false;
    const size_t close = line.find(u'>');
    if (close == std::u16string_view::npos) return false;
    language.code = std::u16string(line.substr(1, std::min<size_t>(close - 1, 4)));
    if (language.code == u"Zxxx") return false;
    std::u16string_view rest = line.substr(close + 1);
    for (int n = 0; n < 3; ++n) {
        const size_t slash = rest.find(u'/');
        std::u16string_view name = TrimName(rest.substr(0, slash));
        language.names[n] = std::u16string(name.substr(0, kMaxLanguageNameUnits));
        if (slash == std::u16string_view::npos) break;
        rest.remove_prefix(slash + 1);
    }
    return !language.names[0].empty();
}

std::vector<BookLanguage> ParseLanguageHeader(const std::vector<std::u16string>& lines) {
    std::vector<BookLanguage> languages;
    BookLanguage language;
    for (const std::u16string& line : lines) {
        if (static_cast<int32_t>(languages.size()) >= kMaxBookLanguages) break;
        if (ParseLanguageLine(line, language)) languages.push_back(language);
    }
    return languages;
}

bool TextBook::Load(std::u16string_view path) {
    problem_.clear();
    const std::u16string zeroEnded(path);
    std::error_code error;
    if (std::filesystem::is_directory(std::filesystem::path(zeroEnded), error)) {
        problem_ = InterfaceText(u"It is a folder, not a text file.");
        return false;
    }
    BinFile file(nullptr);
    const uint8_t* bytes = file.SetPath(zeroEnded.c_str()) ? file.OpenReadWhole() : nullptr;
    if (bytes == nullptr) {
        problem_ = InterfaceText(u"The file cannot be read.");
        return false;
    }
    const std::string_view utf8(reinterpret_cast<const char*>(bytes), static_cast<size_t>(file.bufferSize));
    // Bytes that are not UTF-8 (Windows-1251, Shift-JIS, ...) would become
    // U+FFFD and be saved so.
    if (const int64_t bad = FirstLineNotUtf8({bytes, static_cast<size_t>(file.bufferSize)}); bad != 0) {
        problem_ = LineProblem(static_cast<int32_t>(bad), u"", InterfaceText(u"The text is not UTF-8."));
        return false;
    }
    Read(Utf8ToUtf16(utf8));
    if (!HoldsEveryLine()) return false;
    path_ = zeroEnded;
    // What a save of this book killed midway left beside it.
    RemoveLeftoverTemporaries(path_);
    return true;
}

bool TextBook::HoldsEveryLine() {
    // Line `line` of group `group` as the file has it, for the message.
    auto lineOf = [&](int32_t group, int32_t line) {
        const size_t n = static_cast<size_t>(groups_[static_cast<size_t>(group)].firstLine + line);
        return std::pair{lineNumber_[n], Line(group, line)};
    };
    if (LineCount(0) > kMaxBookLanguages) {
        auto [number, text] = lineOf(0, kMaxBookLanguages);
        problem_ = LineProblem(number, text, InterfaceText(u"The language header has more than 10 lines."));
        return false;
    }
    const int32_t columns = ColumnCount();
    for (int32_t g = 1; g < GroupCount(); ++g) {
        if (LineCount(g) <= columns) continue;
        auto [number, text] = lineOf(g, columns);
        problem_ = LineProblem(number, text, GroupLinesText(LineCount(g), columns));
        return false;
    }
    return true;
}

void TextBook::Read(std::u16string text) {
    text_ = std::move(text);
    lineStart_.clear();
    lineEnd_.clear();
    lineNumber_.clear();
    groups_.clear();
    size_t at = !text_.empty() && text_.front() == 0xFEFF ? 1 : 0;
    bool inGroup = false;
    for (int32_t number = 1; at < text_.size(); ++number) {
        size_t end = text_.find(u'\n', at);
        if (end == std::u16string::npos) end = text_.size();
        std::u16string_view line(text_.data() + at, end - at);
        if (!HasVisibleUnit(line)) {
            inGroup = false;
        } else {
            if (!inGroup) groups_.push_back({static_cast<int32_t>(lineStart_.size()), 0});
            inGroup = true;
            size_t cut = line.size();
            while (cut > 0 && line[cut - 1] < 0x20) --cut;
            lineStart_.push_back(static_cast<int32_t>(at));
            lineEnd_.push_back(static_cast<int32_t>(at + cut));
            lineNumber_.push_back(number);
            ++groups_.back().lineCount;
        }
        at = end + 1;
    }
    // Every line of the header group is a column; the lines that name a
    // language give the language table.
    languages_.clear();
    columnLanguages_.clear();
    BookLanguage language;
    for (int32_t i = 0; i < LineCount(0) && i < kMaxBookLanguages; ++i) {
        const bool names = static_cast<int32_t>(languages_.size()) < kMaxBookLanguages &&
                           ParseLanguageLine(Line(0, i), language);
        columnLanguages_.push_back(names ? static_cast<int32_t>(languages_.size()) : -1);
        if (names) languages_.push_back(language);
    }
    headerGroups_ = languages_.empty() ? 0 : 1;
}

std::vector<std::u16string_view> TextBook::HeaderLines() const {
    std::vector<std::u16string_view> lines;
    for (int32_t i = 0; headerGroups_ > 0 && i < LineCount(0); ++i) lines.push_back(Line(0, i));
    return lines;
}

size_t LeadingLineTagLength(std::u16string_view line) {
    const uint32_t type = LineTagType(ClassifyMarkupTag(line.data(), static_cast<int32_t>(line.size())));
    if (type != kLineParagraph && type != kLineHeading && type != kLineLanguage) return 0;
    return line.find(u'>') + 1;
}

int32_t TextBook::LineCount(int32_t group) const {
    if (group < 0 || group >= GroupCount()) return 0;
    return groups_[static_cast<size_t>(group)].lineCount;
}

std::u16string_view TextBook::Line(int32_t group, int32_t line) const {
    if (line < 0 || line >= LineCount(group)) return {};
    const size_t n = static_cast<size_t>(groups_[static_cast<size_t>(group)].firstLine + line);
    return std::u16string_view(text_).substr(static_cast<size_t>(lineStart_[n]),
                                             static_cast<size_t>(lineEnd_[n] - lineStart_[n]));
}

int32_t TextBook::ColumnCount() {
    // One column per line of the first group, so a save writes every line.
    return std::max<int32_t>(1, static_cast<int32_t>(columnLanguages_.size()));
}

int32_t TextBook::ColumnLanguage(int32_t column) {
    if (column < 0 || column >= static_cast<int32_t>(columnLanguages_.size())) return -1;
    return columnLanguages_[static_cast<size_t>(column)];
}

void TextBook::ReadPhrases(std::vector<uint32_t>& recordIds, std::vector<uint32_t>& typeValues) {
    for (int32_t g = headerGroups_; g < GroupCount(); ++g) {
        const std::u16string_view first = Line(g, 0);
        recordIds.push_back(0);
        typeValues.push_back(PhraseTypeFromTag(ClassifyMarkupTag(first.data(), static_cast<int32_t>(first.size()))));
    }
}

EntryText TextBook::Text(int32_t entry, uint32_t, int32_t column) {
    EntryText result;
    std::u16string_view line = Line(entry + headerGroups_, column);
    const size_t tag = LeadingLineTagLength(line);
    result.tag = std::u16string(line.substr(0, tag));
    line.remove_prefix(tag);
    if (line != kEmptyPhraseText) result.text = std::u16string(line);
    result.attributes.assign(result.text.size(), 0);
    return result;
}

std::u16string BookTitleFromPath(std::u16string_view path) {
    const size_t slash = path.find_last_of(u"/\\");
    std::u16string_view name = slash == std::u16string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind(u'.');
    if (dot != std::u16string_view::npos && dot > 0) name = name.substr(0, dot);
    return std::u16string(name);
}
