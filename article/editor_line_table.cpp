// Splitting the editor's text into lines and splicing in the lines a change touched.
#include "article/editor_line_table.h"

#include <algorithm>

namespace {

size_t CommonPrefix(std::u16string_view a, std::u16string_view b, size_t limit) {
    size_t n = 0;
    while (n < limit && a[n] == b[n]) ++n;
    return n;
}

size_t CommonSuffix(std::u16string_view a, std::u16string_view b, size_t limit) {
    size_t n = 0;
    while (n < limit && a[a.size() - 1 - n] == b[b.size() - 1 - n]) ++n;
    return n;
}

// The lines of text[from, to) where `to` ends a line (a CR or the text's
// end), appended with their starts.
void SplitLines(std::u16string_view text, size_t from, size_t to, int32_t kind, std::vector<EditorLine>& lines,
                std::vector<int32_t>& starts) {
    for (size_t at = from;;) {
        const size_t cr = std::min(text.find(u'\r', at), to);
        lines.push_back({kind, std::u16string(text.substr(at, cr - at)), {}});
        starts.push_back(static_cast<int32_t>(at));
        if (cr >= to) break;
        at = cr + 1;
    }
}

}  // namespace

void ReplacedSpan::Add(size_t start, size_t end, size_t length) {
    // The units no edit replaced stay at the two ends through every later
    // edit too: the untouched ends of several edits are the shortest of each.
    end = std::max(start, std::min(end, length));
    head_ = std::min(head_, std::min(start, length));
    tail_ = std::min(tail_, length - end);
}

void EditorLineTable::Reset(std::u16string_view text, int32_t kind) {
    text_.assign(text);
    lines_.clear();
    starts_.clear();
    SplitLines(text_, 0, text_.size(), kind, lines_, starts_);
}

size_t EditorLineTable::LineAt(int32_t position) const {
    const auto after = std::upper_bound(starts_.begin(), starts_.end(), position);
    return after == starts_.begin() ? 0 : static_cast<size_t>(after - starts_.begin() - 1);
}

LineRange EditorLineTable::Update(std::u16string_view now, const ReplacedSpan& replaced) {
    const std::u16string_view before = text_;
    if (before == now && replaced.Empty()) return {0, 0};
    const size_t shorter = std::min(before.size(), now.size());
    // The change seen from the front and from the back: among repeated
    // characters the two differ, and the edit lies somewhere between them.
    // What the control replaced counts as changed, whatever it now reads.
    size_t start = std::min(replaced.Head(), shorter);
    size_t tail = replaced.Tail();  // units after the change, the same in both
    if (before != now) {
        const size_t prefix = CommonPrefix(before, now, shorter);
        const size_t suffixAfterPrefix = CommonSuffix(before, now, shorter - prefix);
        const size_t suffix = CommonSuffix(before, now, shorter);
        const size_t prefixBeforeSuffix = CommonPrefix(before, now, shorter - suffix);
        start = std::min({start, prefix, prefixBeforeSuffix});
        tail = std::min({tail, suffixAfterPrefix, suffix});
    }
    tail = std::min(tail, shorter - start);
    const size_t endBefore = before.size() - tail, endNow = now.size() - tail;

    const size_t first = LineAt(static_cast<int32_t>(start));
    const size_t last = LineAt(static_cast<int32_t>(endBefore));
    // The new lines run from the first touched line's start to the end of the
    // line holding the change's end (its CR, or the text's end).
    const size_t from = static_cast<size_t>(starts_[first]);
    const size_t to = std::min(now.find(u'\r', endNow), now.size());
    std::vector<EditorLine> made;
    std::vector<int32_t> madeStarts;
    SplitLines(now, from, to, lines_[first].kind, made, madeStarts);

    const int32_t shift = static_cast<int32_t>(now.size()) - static_cast<int32_t>(before.size());
    for (size_t i = last + 1; i < starts_.size(); ++i) starts_[i] += shift;
    lines_.erase(lines_.begin() + static_cast<ptrdiff_t>(first), lines_.begin() + static_cast<ptrdiff_t>(last + 1));
    starts_.erase(starts_.begin() + static_cast<ptrdiff_t>(first), starts_.begin() + static_cast<ptrdiff_t>(last + 1));
    lines_.insert(lines_.begin() + static_cast<ptrdiff_t>(first), std::make_move_iterator(made.begin()),
                  std::make_move_iterator(made.end()));
    starts_.insert(starts_.begin() + static_cast<ptrdiff_t>(first), madeStarts.begin(), madeStarts.end());
    text_.assign(now);
    return {first, first + made.size()};
}
