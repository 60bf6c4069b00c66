// The article editor's line table: the text of its rich text control as last
// read (paragraphs end in CR) split into lines, one per paragraph, each with
// its kind as the control's paragraph style. A change is taken in as the
// control's whole new text: only the lines it touched are made again, so the
// editor asks the control for the kinds of those lines alone; every other
// line keeps its text and kind.
#pragma once

#include "article/editor_lines.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// What the edits since the table's last update replaced, as the control
// saw them: the units at the text's start and at its end that no edit
// replaced. Text replaced by the same text (a paste of what was there) is
// replaced all the same, and its paragraphs lose their kinds, which no
// comparison of the two texts can see.
class ReplacedSpan {
public:
    // An edit replaced units [start, end) of a text `length` units long.
    void Add(size_t start, size_t end, size_t length);
    // An edit that may have replaced anything (an undo, a new text).
    void AddAll() { head_ = tail_ = 0; }
    void Clear() { head_ = tail_ = kNone; }
    bool Empty() const { return head_ == kNone; }
    size_t Head() const { return head_; }  // units before the first one replaced
    size_t Tail() const { return tail_; }  // units after the last one replaced

private:
    static constexpr size_t kNone = static_cast<size_t>(-1);
    size_t head_ = kNone;
    size_t tail_ = kNone;
};

// Lines [first, end) of the table.
struct LineRange {
    size_t first = 0;
    size_t end = 0;
    size_t Count() const { return end - first; }
};

class EditorLineTable {
public:
    EditorLineTable() { Reset({}); }
    // The table anew from the control's text, every line of kind `kind`.
    void Reset(std::u16string_view text, int32_t kind = kLineUndefined);
    // Takes the control's text after a change. The lines the change touched
    // are made again and returned; until the caller has read their kinds
    // from the control they keep the kind of the first line they replace.
    // Wherever the change may lie among repeated characters (a paragraph end
    // deleted from a run of empty lines), every line it could have touched
    // is among them; so is every line that holds a unit of `replaced`, even
    // where the text reads as it did.
    LineRange Update(std::u16string_view now, const ReplacedSpan& replaced = {});

    const std::u16string& Text() const { return text_; }
    size_t Count() const { return lines_.size(); }  // at least 1: an empty text is one empty line
    std::span<EditorLine> Lines() { return lines_; }
    std::span<const EditorLine> Lines() const { return lines_; }
    int32_t Start(size_t line) const { return starts_[line]; }
    // The line that holds unit `position` (a paragraph end belongs to the line it ends).
    size_t LineAt(int32_t position) const;

private:
    std::u16string text_;
    std::vector<EditorLine> lines_;  // texts without their CR, attributes left empty
    std::vector<int32_t> starts_;    // first unit of each line in text_
};
