// The compile report: skipped lines, refused articles and their texts.
#include "import/compile_report.h"

#include "common/base/bounded_format.h"
#include "common/ui_text/ui_text.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

std::u16string Format(UIExtraText which, std::initializer_list<FormatArg> args) {
    std::array<char16_t, 1024> out{};
    const size_t n = FormatBounded(out, UIExtra(which), args);
    return std::u16string(out.data(), n);
}

// "Line: 3" (or "Article: 3") and "Error: " with the error on the next line,
// the form in which the book reader names a refused line.
std::u16string Place(UIExtraText label, int64_t number, std::u16string_view error) {
    const std::string digits = std::to_string(number);
    return std::u16string(UIExtra(label)) + u" " + std::u16string(digits.begin(), digits.end()) + u"\n" +
           UIExtra(UIExtraText::kErrorLabel) + u" " + std::u16string(error);
}

}  // namespace

void CompileReport::Clear() { *this = CompileReport(); }

void CompileReport::RefuseTooLarge(std::u16string_view source, size_t offset, uint32_t articleNumber, uint64_t bytes,
                                   uint64_t limit) {
    const std::u16string error =
        Format(UIExtraText::kArticleTooLarge, {static_cast<int64_t>(bytes), static_cast<int64_t>(limit)});
    if (offset != std::u16string_view::npos && offset <= source.size()) {
        refusals_.push_back(SourceLineProblem(LineAt(source, offset), error));
    } else {
        refusals_.push_back(SourceArticleProblem(articleNumber, error));
    }
}

int64_t CompileReport::LineAt(std::u16string_view source, size_t offset) {
    if (offset < countedTo_) countedTo_ = linesBefore_ = 0;
    linesBefore_ += std::count(source.begin() + static_cast<ptrdiff_t>(countedTo_),
                               source.begin() + static_cast<ptrdiff_t>(offset), u'\n');
    countedTo_ = offset;
    return linesBefore_ + 1;
}

std::u16string CompileReport::Text() const {
    std::u16string text;
    if (!notWhole_.empty()) {
        text = Format(UIExtraText::kSourceNotWhole, {storedArticles_});
        for (const std::u16string& reason : notWhole_) text.append(u"\n").append(reason);
    }
    if (skippedLines_ > 0)
        text.append(text.empty() ? u"" : u"\n").append(Format(UIExtraText::kSourceLinesSkipped, {skippedLines_}));
    for (const std::u16string& refusal : refusals_) text.append(text.empty() ? u"" : u"\n").append(refusal);
    return text;
}

std::u16string HeaderCountsMoreText(int64_t counted, int64_t read) {
    return Format(UIExtraText::kHeaderCountsMore, {counted, read});
}

std::u16string GroupNeverClosedText(int64_t line) { return Format(UIExtraText::kGroupNeverClosed, {line}); }

std::u16string LinksPastSentencesText(int64_t links, int64_t lastId) {
    return Format(UIExtraText::kLinksPastSentences, {links, lastId});
}

std::u16string LastLineCutText(int64_t line) { return Format(UIExtraText::kLastLineCut, {line}); }

std::u16string OddByteCountText(int64_t bytes) { return Format(UIExtraText::kOddByteCount, {bytes}); }

std::u16string IncludeUnreadableText(std::u16string_view file) {
    return Format(UIExtraText::kIncludeUnreadable, {file});
}

std::u16string NoArticleText() { return UIExtra(UIExtraText::kSourceHasNoArticle); }

std::u16string SourceLineProblem(int64_t line, std::u16string_view error) {
    return Place(UIExtraText::kLineLabel, line, error);
}

std::u16string SourceArticleProblem(int64_t article, std::u16string_view error) {
    return Place(UIExtraText::kArticleLabel, article, error);
}

std::u16string NotInEncodingText(std::u16string_view encoding) {
    return Format(UIExtraText::kTextNotInEncoding, {encoding});
}
