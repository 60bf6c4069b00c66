// LoadSourceTextAsUtf16, ImportParallelText and ParseParallelTextArticle.
#include "import/parallel_text_import.h"

#include <algorithm>
#include <array>
#include <vector>

#include "common/app_context.h"
#include "common/base/bin_file.h"
#include "common/base/bounded_format.h"
#include "common/text/japanese_code_pages.h"
#include "common/text/utf8.h"
#include "dictionary/dictionary.h"
#include "dictionary/format_detection.h"
#include "import/edict_import.h"
#include "import/source_text_checks.h"

namespace {

constexpr uint32_t kMinimumTextBytes = 14;
constexpr int32_t kMinimumFileBytes = 5;
constexpr int32_t kQuotedUnits = 80;
constexpr int32_t kCodePageUtf8 = 65001;
constexpr int32_t kCodePageShiftJis = 932;
constexpr int32_t kCodePageEucJp = 51932;
constexpr std::u16string_view kErrorCaption = u"Input Text Error";
constexpr std::u16string_view kLineCountError = u"Line: %d\nText: %s\nError: %d lines in a group instead of %d.";
constexpr std::u16string_view kSegmentError =
    u"Line: %d\nText: %s\nError: Different number of <+> tags then in other lines of the group.";
constexpr std::u16string_view kTagsOnlyError = u"Line: %d\nText: %s\nError: No text lines in the first group.";

// One line of the source: [begin, end) without its LF, and its number from 1.
struct SourceLine {
    int32_t begin = 0;
    int32_t end = 0;
    int32_t number = 0;
};

class LineWalk {
public:
    LineWalk(const char16_t* text, int32_t length, int32_t from) : text_(text), length_(length), at_(from) {}
    bool AtEnd() const { return at_ >= length_; }
    // The next line; false at the end.
    bool Next(SourceLine& line) {
        if (at_ >= length_) return false;
        line.begin = at_;
        while (at_ < length_ && text_[at_] != u'\n') ++at_;
        line.end = at_;
        if (at_ < length_) ++at_;
        line.number = ++number_;
        return true;
    }
    int32_t Position() const { return at_; }
    int32_t NextNumber() const { return number_ + 1; }

private:
    const char16_t* text_;
    int32_t length_;
    int32_t at_;
    int32_t number_ = 0;
};

int32_t VisibleUnits(const char16_t* text, const SourceLine& line) {
    int32_t count = 0;
    for (int32_t i = line.begin; i < line.end; ++i) count += text[i] > u' ';
    return count;
}

bool IsTagLine(const char16_t* text, const SourceLine& line) {
    const std::u16string_view view(text + line.begin, static_cast<size_t>(line.end - line.begin));
    const int32_t visible = VisibleUnits(text, line);
    if (view.starts_with(u"<Zxxx>") && visible >= 6) return true;
    return visible == 6 && view.size() >= 6 && view[0] == u'<' && view[5] == u'>';
}

// Where the segment that starts at `from` ends: at the next "<+", "<p" or "<P".
int32_t SegmentEnd(const char16_t* text, int32_t from, int32_t end) {
    for (int32_t i = from + 1; i + 1 < end; ++i)
        if (text[i] == u'<' && (text[i + 1] == u'+' || text[i + 1] == u'p' || text[i + 1] == u'P')) return i;
    return end;
}

void ShowTextError(std::u16string_view format, int32_t lineNumber, const char16_t* text, const SourceLine& quoted,
                   std::initializer_list<FormatArg> counts = {}) {
    const int32_t units = std::min(quoted.end - quoted.begin, kQuotedUnits);
    const std::u16string_view quote(text + quoted.begin, static_cast<size_t>(std::max(units, 0)));
    std::array<char16_t, 512> message{};
    size_t n = 0;
    if (counts.size() == 2)
        n = FormatBounded(message, format, {lineNumber, quote, *counts.begin(), *(counts.begin() + 1)});
    else
        n = FormatBounded(message, format, {lineNumber, quote});
    App().ShowMessage({message.data(), n}, kErrorCaption, 0);
}

// A checked group: its lines, in order.
struct Group {
    std::vector<SourceLine> lines;
    int32_t endNumber = 0;  // the number of the line after the group's last
};

// The parallel-text import of one call: the first group's shape and the rows.
class ParallelTextImport {
public:
    ParallelTextImport(CDictionary& dictionary, const char16_t* text, int32_t length, int32_t from, int32_t mode,
                       const ImportCallbacks& callbacks)
        : dictionary_(dictionary), text_(text), length_(length), start_(from), mode_(mode), callbacks_(callbacks),
          walk_(text, length, from) {}

    int32_t Run() {
        for (bool first = true;; first = false) {
            Group group;
            if (!ReadGroup(group)) return 1;
            if (first ? !TakeShape(group) : !CheckLineCount(group)) return 0;
            if (!ImportRows(group)) return 0;
        }
    }

private:
    bool IsBlank(const SourceLine& line) const { return VisibleUnits(text_, line) == 0; }

    // The next run of non-blank lines; false when only blank lines are left.
    bool ReadGroup(Group& group) {
        SourceLine line;
        do {
            if (!walk_.Next(line)) return false;
        } while (IsBlank(line));
        group.lines.push_back(line);
        while (walk_.Next(line) && !IsBlank(line)) group.lines.push_back(line);
        group.endNumber = walk_.AtEnd() && !IsBlank(line) ? walk_.NextNumber() : line.number;
        return true;
    }

    bool TakeShape(const Group& group) {
        const int32_t count = static_cast<int32_t>(group.lines.size());
        if (count > kMaximumGroupLines) {
            ShowTextError(kLineCountError, group.lines[kMaximumGroupLines].number, text_, group.lines[0],
                          {count, kMaximumGroupLines});
            return false;
        }
        lineCount_ = count;
        rowSize_ = 0;
        for (int32_t i = 0; i < count; ++i) {
            tagLine_[i] = IsTagLine(text_, group.lines[i]);
            rowSize_ += !tagLine_[i];
        }
        // Rows of no lines would never advance.
        if (rowSize_ == 0) {
            ShowTextError(kTagsOnlyError, group.lines[0].number, text_, group.lines[0]);
            return false;
        }
        return true;
    }

    // Too few lines and too many are both reported: a line is never lost.
    bool CheckLineCount(const Group& group) {
        const int32_t count = static_cast<int32_t>(group.lines.size());
        if (count == lineCount_) return true;
        const int32_t reached = count < lineCount_ ? group.endNumber : group.lines[lineCount_].number;
        ShowTextError(kLineCountError, reached, text_, group.lines[0], {count, lineCount_});
        return false;
    }

    // The group's rows, N lines each, every line ended by an LF.
    bool CutRows(const Group& group, std::u16string& rows) {
        std::array<int32_t, kMaximumGroupLines> cursor{};
        for (int32_t i = 0; i < lineCount_; ++i) cursor[i] = group.lines[i].begin;
        for (;;) {
            int32_t ended = 0, open = -1;
            for (int32_t i = 0; i < lineCount_; ++i) {
                if (tagLine_[i]) continue;
                if (cursor[i] >= group.lines[i].end) ++ended;
                else if (open < 0) open = i;
            }
            if (open < 0) return true;
            if (ended > 0) {
                const SourceLine rest{cursor[open], group.lines[open].end, group.lines[open].number};
                ShowTextError(kSegmentError, rest.number, text_, rest);
                return false;
            }
            for (int32_t i = 0; i < lineCount_; ++i) {
                if (tagLine_[i]) continue;
                const int32_t end = SegmentEnd(text_, cursor[i], group.lines[i].end);
                for (int32_t c = cursor[i]; c < end; ++c)
                    if (text_[c] != u'\r') rows += text_[c];
                rows += u'\n';
                cursor[i] = end;
            }
        }
    }

    bool ImportRows(const Group& group) {
        std::u16string rows;
        if (!CutRows(group, rows)) return false;
        const int32_t total = length_ - start_;
        for (size_t at = 0; at < rows.size();) {
            size_t end = at;
            for (int32_t line = 0; line < rowSize_ && end < rows.size(); ++line) end = rows.find(u'\n', end) + 1;
            dictionary_.ClearParsedArticle();
            if (mode_ == 0 && dictionary_.AddElement(1) == nullptr) return false;
            const int32_t units = static_cast<int32_t>(end - at);
            const int32_t begin = dictionary_.AppendText(units, rows.data() + at);
            if (begin < 0) return false;
            const int32_t first = dictionary_.ElementCount();
            if (ParseParallelTextArticle(dictionary_, dictionary_.Text() + begin, units) < 0) return false;
            if (source_lines::ReportArticles(dictionary_, first, callbacks_) == 0) return false;
            at = end;
            if (source_lines::ReportProgress(mode_, walk_.Position() - start_, total, callbacks_) == 0) return false;
        }
        return true;
    }

    CDictionary& dictionary_;
    const char16_t* text_;
    int32_t length_;
    int32_t start_;
    int32_t mode_;
    const ImportCallbacks& callbacks_;
    LineWalk walk_;
    int32_t lineCount_ = 0;  // L, fixed by the first group
    int32_t rowSize_ = 0;    // N = L minus the tag lines
    std::array<bool, kMaximumGroupLines> tagLine_{};
};

}  // namespace

bool LoadSourceTextAsUtf16(uint32_t& formatFlags, BinFile& file, std::u16string& text, std::u16string* problem) {
    text.clear();
    formatFlags &= ~kFormatUtf8;
    const int32_t codePage = file.codePage;
    if (codePage == 0) return true;
    if (codePage != kCodePageUtf8 && codePage != kCodePageShiftJis && codePage != kCodePageEucJp) return false;
    uint8_t* bytes = file.OpenReadWhole();
    if (bytes == nullptr || file.bufferSize < kMinimumFileBytes) return false;
    const int32_t size = file.bufferSize;
    if (codePage == kCodePageUtf8 || codePage == kCodePageEucJp) {
        const std::span<const uint8_t> source(bytes, static_cast<size_t>(size));
        const bool utf8 = codePage == kCodePageUtf8;
        if (const int64_t bad = utf8 ? FirstLineNotUtf8(source) : FirstLineNotEucJp(source); bad != 0) {
            if (problem) *problem = LineNotInEncodingText(bad, utf8 ? u"UTF-8" : u"EUC-JP");
            return false;
        }
    }
    if (codePage == kCodePageUtf8) {
        text = Utf8ToUtf16({reinterpret_cast<const char*>(bytes), static_cast<size_t>(size)});
        return true;
    }
    // EUC-JP never grows as Shift-JIS, so it is rewritten in place.
    const int32_t shiftJis = codePage == kCodePageEucJp ? EucJpToShiftJis(bytes, bytes, size) : size;
    const int32_t units = ShiftJisToUnicode(bytes, shiftJis, nullptr, 0);
    text.assign(static_cast<size_t>(units), u'\0');
    return units == 0 || ShiftJisToUnicode(bytes, shiftJis, text.data(), units) == units;
}

bool LoadParallelTextSource(std::u16string_view path, uint32_t formatFlags, std::u16string& text,
                            std::u16string& message) {
    message.clear();
    text.clear();
    if ((formatFlags & kFormatBook) == 0) return false;
    BinFile file(nullptr);
    const std::u16string zeroTerminated(path);
    if (!file.SetPath(zeroTerminated.c_str())) return false;
    file.codePage = formatFlags & kFormatUtf8 ? kCodePageUtf8 : formatFlags & kFormatEucJp ? kCodePageEucJp : 0;
    return LoadSourceTextAsUtf16(formatFlags, file, text, &message);
}

int32_t ParseParallelTextArticle(CDictionary& dictionary, const char16_t* text, int32_t length) {
    if (text == nullptr || length <= 0) return -1;
    const int32_t article = source_lines::AddArticleSpan(dictionary, text, length);
    if (article < 0) return -1;
    for (int32_t at = 0; at < length;) {
        int32_t end = at;
        while (end < length && text[end] != u'\n') ++end;
        if (end == at) break;
        if (source_lines::AddSpan(dictionary, kParallelTextLine, text + at, end - at) < 0) return -1;
        at = end + 1;
    }
    return article;
}

int32_t ImportParallelText(CDictionary& dictionary, const void* text, uint32_t sizeInBytes, int32_t mode,
                           const ImportCallbacks& callbacks) {
    if (text == nullptr || sizeInBytes < kMinimumTextBytes || reinterpret_cast<uintptr_t>(text) % 2 != 0) return 0;
    if (sizeInBytes / 2 > static_cast<uint32_t>(INT32_MAX)) return 0;
    const auto* units = static_cast<const char16_t*>(text);
    const auto length = static_cast<int32_t>(sizeInBytes / 2);
    const int32_t from = units[0] == 0xFEFF ? 1 : 0;
    ParallelTextImport import(dictionary, units, length, from, mode, callbacks);
    return import.Run();
}
