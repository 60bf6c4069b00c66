// The editor's line table against a brute-force model: random edits (typing,
// deleting, pasting lines, joining and splitting paragraphs, among runs of
// repeated characters and empty lines) taken in one at a time, half of them
// told what the control replaced. After each, the lines are the text split
// at CR, every line the edit could have touched is among those made again
// (every line it replaced, when told, even with the same text), and every
// other line keeps its kind.
#include <gtest/gtest.h>

#include "article/editor_line_table.h"

#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::u16string> Split(const std::u16string& text) {
    std::vector<std::u16string> lines(1);
    for (char16_t c : text) {
        if (c == u'\r') lines.emplace_back();
        else lines.back() += c;
    }
    return lines;
}

// The line of `text` that holds unit `position`.
size_t LineOf(const std::u16string& text, size_t position) {
    size_t line = 0;
    for (size_t i = 0; i < position && i < text.size(); ++i) line += text[i] == u'\r';
    return line;
}

TEST(EditorLineTable, AnEditRemakesTheLinesItTouchedAndNoOther) {
    std::mt19937 random(65);
    // Few letters and many paragraph ends, so that edits fall among repeats.
    const std::u16string alphabet = u"aab\r\r\u3042";
    auto piece = [&](size_t length) {
        std::u16string s;
        for (size_t i = 0; i < length; ++i) s += alphabet[random() % alphabet.size()];
        return s;
    };
    for (int run = 0; run < 200; ++run) {
        std::u16string text = piece(random() % 12);
        EditorLineTable table;
        table.Reset(text, 1);
        int32_t nextKind = 2;
        for (int edit = 0; edit < 30; ++edit) {
            std::vector<int32_t> kinds;
            for (const EditorLine& line : table.Lines()) kinds.push_back(line.kind);
            size_t at = random() % (text.size() + 1);
            std::u16string removed = text.substr(at, random() % 4), inserted = piece(random() % 4);
            // Now and then the text replaced by itself, as a paste of what was there.
            if (random() % 5 == 0) inserted = removed;
            const std::u16string now = text.substr(0, at) + inserted + text.substr(at + removed.size());
            ReplacedSpan replaced;
            const bool told = random() % 2 == 0;
            if (told) replaced.Add(at, at + removed.size(), text.size());
            const size_t replacedFirst = LineOf(now, at), replacedLast = LineOf(now, at + inserted.size());
            // What the edit changed: a character replaced by itself is no change.
            while (!removed.empty() && !inserted.empty() && removed[0] == inserted[0])
                removed.erase(0, 1), inserted.erase(0, 1), ++at;
            while (!removed.empty() && !inserted.empty() && removed.back() == inserted.back())
                removed.pop_back(), inserted.pop_back();

            const LineRange made = table.Update(now, replaced);
            const std::vector<std::u16string> lines = Split(now);
            ASSERT_EQ(table.Count(), lines.size());
            int32_t start = 0;
            for (size_t i = 0; i < lines.size(); ++i) {
                ASSERT_EQ(table.Lines()[i].text, lines[i]) << "line " << i;
                ASSERT_EQ(table.Start(i), start);
                ASSERT_EQ(table.LineAt(start), i);
                start += static_cast<int32_t>(lines[i].size()) + 1;
            }
            ASSERT_EQ(table.Text(), now);
            if (told) {
                EXPECT_LE(made.first, replacedFirst);
                EXPECT_GT(made.end, replacedLast);
            }
            if (now == text && !told) {
                EXPECT_EQ(made.Count(), 0u);
                continue;
            }
            // The lines holding the edit in the new text are made again.
            if (now != text) {
                EXPECT_LE(made.first, LineOf(now, at));
                EXPECT_GT(made.end, LineOf(now, at + inserted.size()));
            }
            // Lines before keep their kinds, lines after keep theirs, shifted.
            const size_t shift = table.Count() - kinds.size();
            for (size_t i = 0; i < made.first; ++i) EXPECT_EQ(table.Lines()[i].kind, kinds[i]);
            for (size_t i = made.end; i < table.Count(); ++i) EXPECT_EQ(table.Lines()[i].kind, kinds[i - shift]);
            // The caller reads the made lines' kinds: here each gets a kind of its own.
            for (size_t i = made.first; i < made.end; ++i) table.Lines()[i].kind = nextKind++;
            text = now;
        }
    }
}

// Two edits before one update (the second's span in the text the first
// left): every line either replaced is made again, and no line outside both.
TEST(EditorLineTable, TheSpansOfSeveralEditsAddUp) {
    EditorLineTable table;
    table.Reset(u"a\rb\rc\rd\re\rf", 1);
    ReplacedSpan replaced;
    replaced.Add(2, 3, 11);  // "b" by "b"
    replaced.Add(8, 9, 11);  // "e" by "e"
    const LineRange made = table.Update(u"a\rb\rc\rd\re\rf", replaced);
    EXPECT_EQ(made.first, 1u);
    EXPECT_EQ(made.end, 5u);
    replaced.Clear();
    replaced.AddAll();
    EXPECT_EQ(table.Update(table.Text(), replaced).Count(), 6u);
}

TEST(EditorLineTable, AnEmptyTextIsOneEmptyLine) {
    EditorLineTable table;
    table.Reset(u"", 5);
    ASSERT_EQ(table.Count(), 1u);
    EXPECT_EQ(table.Lines()[0].kind, 5);
    const LineRange made = table.Update(u"\r\r");
    EXPECT_EQ(table.Count(), 3u);
    EXPECT_EQ(made.first, 0u);
    EXPECT_EQ(made.end, 3u);
    EXPECT_EQ(table.LineAt(2), 2u);
    EXPECT_EQ(table.Update(u"").Count(), 1u);
    EXPECT_EQ(table.Count(), 1u);
}

}  // namespace
