// What a compile left out of its source, and how the user is told: a source
// that ends before its own end (a header that counts more words than follow,
// a group never closed, links to sentences past the last one), lines a
// line format skipped (no article of the format), and articles refused with
// their place in the source and the reason. The compiler fills one report a
// compile; the conversion dialog and qdxc show its text beside "done", and a
// compile that stored no article at all is refused with NoArticleText.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CompileReport {
public:
    void Clear();
    void CountSkippedLine() { ++skippedLines_; }
    void CountSkippedLines(int64_t count) { skippedLines_ += count; }
    int64_t SkippedLines() const { return skippedLines_; }
    const std::vector<std::u16string>& Refusals() const { return refusals_; }
    bool Empty() const { return skippedLines_ == 0 && refusals_.empty() && notWhole_.empty(); }

    // The source ends before what it says of itself: `reason` tells how it
    // shows (one line, in the interface language). What was read is stored.
    void SourceNotWhole(std::u16string reason) { notWhole_.push_back(std::move(reason)); }
    bool NotWhole() const { return !notWhole_.empty(); }
    // The articles the compile stored, told beside a source not read whole.
    void SetStoredArticles(int64_t count) { storedArticles_ = count; }

    // An article of `bytes` refused because a record holds at most `limit`.
    // `offset` is where its text begins in `source`, or npos when its text
    // is not the source's own (a converted record): it is then named by its
    // number among the source's articles, from 1.
    void RefuseTooLarge(std::u16string_view source, size_t offset, uint32_t articleNumber, uint64_t bytes,
                        uint64_t limit);

    // A source not read whole (with the articles stored and why), the
    // skipped-lines count (when any) and each refusal, on lines of their own,
    // in the interface language; empty when nothing was left out.
    std::u16string Text() const;

private:
    // Line number (from 1) of `offset`; counts on from the last offset asked
    // for, so refusals met in source order cost one pass over the source.
    int64_t LineAt(std::u16string_view source, size_t offset);

    int64_t skippedLines_ = 0;
    std::vector<std::u16string> refusals_;
    std::vector<std::u16string> notWhole_;
    int64_t storedArticles_ = 0;
    size_t countedTo_ = 0;      // source offset up to which line ends are counted
    int64_t linesBefore_ = 0;   // line ends before countedTo_
};

// Why a source is not whole, in the interface language: a header that counts
// `counted` words over `read` found; a group opened at `line` never closed;
// `links` links to sentences past the last one, `lastId`.
std::u16string HeaderCountsMoreText(int64_t counted, int64_t read);
std::u16string GroupNeverClosedText(int64_t line);
std::u16string LinksPastSentencesText(int64_t links, int64_t lastId);
// A line source whose last line, `line`, ends before its closing mark.
std::u16string LastLineCutText(int64_t line);
// A UTF-16 source file of an odd number of bytes; an #INCLUDE naming a file
// that cannot be read (named).
std::u16string OddByteCountText(int64_t bytes);
std::u16string IncludeUnreadableText(std::u16string_view file);

// A compile that stored no article, in the interface language.
std::u16string NoArticleText();

// "Line: N" and "Error: " with the error on the next line, in the interface
// language: the form in which a source's refused line is named.
std::u16string SourceLineProblem(int64_t line, std::u16string_view error);
// "Article: N" and the error: an entry of a source without lines (PDIC),
// named by its number among the source's entries, from 1.
std::u16string SourceArticleProblem(int64_t article, std::u16string_view error);
// The error of a line that is not valid in the source's encoding (its name,
// e.g. "UTF-8").
std::u16string NotInEncodingText(std::u16string_view encoding);
