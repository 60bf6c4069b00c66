// A text book: a UTF-8 file of line groups, one group per phrase and one
// line per language, groups separated by blank lines; the first group is
// the language header when a line of it names a language. The whole text is
// kept; lines are indexed once. The reader shows it as it shows the same
// text stored as a book: the header is no phrase and a line's leading line
// tag ("<P>", "<H1>") is kept apart from its text, so that a save writes
// both back as they stood.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "book/book_source.h"

class TextBook : public BookSource {
public:
    // An empty book; Load or Read fill it.
    TextBook() = default;
    // Reads a UTF-8 file (a byte-order mark skipped). False, with Problem()
    // saying why, when it can't be read (a folder, an unreadable file) or
    // when the reader could not hold it whole, so that a save would lose
    // text: bytes that are not UTF-8, a language header of more than
    // kMaxBookLanguages lines, a group of more lines than the header has.
    bool Load(std::u16string_view path);
    // What Load refused, naming the line; empty after a success.
    const std::u16string& Problem() const { return problem_; }
    // Takes the text of a book (for tests and tools) as it stands.
    void Read(std::u16string text);

    const std::u16string& Path() const { return path_; }
    int32_t GroupCount() const { return static_cast<int32_t>(groups_.size()); }
    // Line `line` of group `group` without its line end and trailing units
    // below U+0020; empty past the group's lines.
    std::u16string_view Line(int32_t group, int32_t line) const;
    int32_t LineCount(int32_t group) const;

    std::vector<BookLanguage> Languages() override { return languages_; }
    int32_t ColumnCount() override;
    int32_t ColumnLanguage(int32_t column) override;
    // One phrase per group after the header.
    void ReadPhrases(std::vector<uint32_t>& recordIds, std::vector<uint32_t>& typeValues) override;
    // Line `column` of phrase `entry`'s group, its leading line tag apart;
    // "</>" (an empty phrase as saved) gives empty text.
    EntryText Text(int32_t entry, uint32_t recordId, int32_t column) override;
    // The header group's lines (none without a header), as a save writes them.
    std::vector<std::u16string_view> HeaderLines() const;
    bool ShowsAllLines() const override { return true; }

private:
    struct Group {
        int32_t firstLine;
        int32_t lineCount;
    };
    // The first line the reader cannot hold (see Load) into problem_; false then.
    bool HoldsEveryLine();

    std::u16string path_;
    std::u16string text_;
    std::u16string problem_;
    std::vector<int32_t> lineStart_, lineEnd_;  // of the lines of every group
    std::vector<int32_t> lineNumber_;           // of the same lines in the file, from 1
    std::vector<Group> groups_;
    std::vector<BookLanguage> languages_;
    std::vector<int32_t> columnLanguages_;  // per header line: its language, -1 none
    int32_t headerGroups_ = 0;              // 1 when group 0 is the language header
};

// The length of the line tag ("<P>", "<P10>", "<H2>", "<Latn>") a line of
// parallel text begins with; 0 when it begins with none.
size_t LeadingLineTagLength(std::u16string_view line);

// The text that stands for an empty phrase in a text book file.
inline constexpr std::u16string_view kEmptyPhraseText = u"</>";
// The file name of `path` without folder and extension (a reader's title).
std::u16string BookTitleFromPath(std::u16string_view path);
