// Every line of Debian's kanjidic formatted as an article and checked against
// kanjidic2.xml, an independent encoding of the same data: on, kun and name
// readings, English meanings, stroke counts, grade and frequency.
#include <gtest/gtest.h>
#include <zlib.h>

#include <map>
#include <string>
#include <vector>

#include "article/kanjidic_article.h"
#include "article/tests/styled_text_checks.h"
#include "common/tests/edict_files.h"
#include "common/tests/test_files.h"
#include "common/text/utf8.h"

namespace {

struct KanjiFacts {
    std::vector<std::u16string> on, kun, names, meanings, strokes;
    std::u16string grade, frequency;
};

std::u16string FromUtf8(std::string_view s) { return Utf8ToUtf16(s); }

std::string Unescape(std::string s) {
    static const std::pair<const char*, const char*> entities[] = {
        {"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}};
    for (auto [from, to] : entities)
        for (size_t at; (at = s.find(from)) != std::string::npos;) s.replace(at, std::string(from).size(), to);
    return s;
}

// Each element `<tag ...>value</tag>` of one <character> block, in order.
std::vector<std::pair<std::string, std::string>> Elements(std::string_view block) {
    std::vector<std::pair<std::string, std::string>> out;
    for (size_t at = 0; (at = block.find('<', at)) != std::string_view::npos;) {
        size_t close = block.find('>', at);
        size_t valueEnd = block.find("</", close);
        if (close == std::string_view::npos || valueEnd == std::string_view::npos) break;
        std::string tag(block.substr(at + 1, close - at - 1));
        std::string_view value = block.substr(close + 1, valueEnd - close - 1);
        if (value.find('<') == std::string_view::npos && tag[0] != '/') out.emplace_back(tag, Unescape(std::string(value)));
        at = close + 1;
    }
    return out;
}

std::map<std::u16string, KanjiFacts> ReadKanjidic2() {
    std::map<std::u16string, KanjiFacts> facts;
    gzFile file = gzopen(HostPath("/usr/share/edict/kanjidic2.xml.gz").string().c_str(), "rb");
    if (!file) return facts;
    std::string xml;
    char chunk[1 << 16];
    for (int n; (n = gzread(file, chunk, sizeof chunk)) > 0;) xml.append(chunk, static_cast<size_t>(n));
    gzclose(file);
    for (size_t at = 0; (at = xml.find("<character>", at)) != std::string::npos;) {
        size_t end = xml.find("</character>", at);
        KanjiFacts f;
        std::u16string literal;
        for (auto& [tag, value] : Elements(std::string_view(xml).substr(at, end - at))) {
            std::u16string v = FromUtf8(value);
            if (tag == "literal") literal = v;
            else if (tag == "reading r_type=\"ja_on\"") f.on.push_back(v);
            else if (tag == "reading r_type=\"ja_kun\"") f.kun.push_back(v);
            else if (tag == "nanori") f.names.push_back(v);
            else if (tag == "meaning") f.meanings.push_back(v);
            else if (tag == "stroke_count") f.strokes.push_back(v);
            else if (tag == "grade") f.grade = v;
            else if (tag == "freq") f.frequency = v;
        }
        facts[literal] = std::move(f);
        at = end;
    }
    return facts;
}

std::vector<std::u16string> Split(std::u16string_view text, char16_t separator) {
    std::vector<std::u16string> parts;
    for (size_t start = 0;;) {
        size_t at = text.find(separator, start);
        parts.emplace_back(text.substr(start, at - start));
        if (at == std::u16string_view::npos) return parts;
        start = at + 1;
    }
}

std::u16string Join(const std::vector<std::u16string>& parts, std::u16string_view separator) {
    std::u16string out;
    for (size_t i = 0; i < parts.size(); ++i) out += (i ? std::u16string(separator) : u"") + parts[i];
    return out;
}

// The value written after `label` on its line, up to the next blank or line end.
std::u16string FieldValue(const std::u16string& text, std::u16string_view label) {
    size_t at = text.find(label);
    if (at == std::u16string::npos) return {};
    at += label.size();
    size_t end = text.find_first_of(u" \n", at);
    return text.substr(at, end - at);
}

std::u16string Without(std::u16string s, char16_t unit) {
    std::erase(s, unit);
    return s;
}

TEST(KanjidicRealData, EveryArticleAgreesWithKanjidic2) {
    std::vector<uint8_t> bytes = ReadEdictFile("kanjidic");
    std::map<std::u16string, KanjiFacts> facts = ReadKanjidic2();
    if (bytes.empty() || facts.empty()) GTEST_SKIP() << "Debian's kanjidic and kanjidic-xml are not installed";

    int32_t checked = 0;
    for (std::span<const uint8_t> raw : SplitLines(bytes)) {
        if (raw[0] == '#') continue;
        std::vector<uint8_t> sjis(raw.begin(), raw.end());
        sjis.resize(static_cast<size_t>(EucJpToShiftJis(sjis.data(), sjis.data(), static_cast<int32_t>(sjis.size()))));
        std::u16string line(sjis.size(), u'\0');
        line.resize(static_cast<size_t>(DecodeCodePage932(sjis.data(), static_cast<int32_t>(sjis.size()), line.data(),
                                                          static_cast<int32_t>(line.size()))));
        int32_t capacity = KanjidicArticleCapacity(static_cast<int32_t>(line.size()));
        StyledResult r = WriteStyled(capacity, [&](StyledWriter& out) { FormatKanjidicLine(line, out); });
        ASSERT_LT(static_cast<int32_t>(r.text.size()), capacity - 1) << "the capacity was reached";

        std::u16string literal = line.substr(0, line.find(u' '));
        auto found = facts.find(literal);
        ASSERT_NE(found, facts.end());
        const KanjiFacts& f = found->second;
        std::vector<std::u16string> lines = Split(r.text, u'\n');
        SCOPED_TRACE(Utf16ToUtf8(line));
        EXPECT_EQ(lines[0], literal);
        // Readings go by their script: kanjidic2 files the katakana unit
        // names of some made-in-Japan kanji (キロメートル) as kun readings.
        std::vector<std::u16string> on, kun;
        for (const std::vector<std::u16string>* group : {&f.on, &f.kun}) {
            for (const std::u16string& reading : *group) {
                char16_t lead = reading[0] == u'-' ? reading[1] : reading[0];
                if (lead >= 0x30A1) on.push_back(reading);
                else kun.push_back(Without(reading, u'.'));
            }
        }
        EXPECT_EQ(lines[1], Join(on, u"・"));
        EXPECT_EQ(lines[2], Join(kun, u"・"));
        size_t next = 3;
        if (!f.names.empty()) {
            EXPECT_EQ(lines[next++], Join(f.names, u"・"));
        }
        for (size_t m = 0; m < f.meanings.size(); ++m) {
            std::u16string number = f.meanings.size() >= 2 ? FromUtf8(std::to_string(m + 1) + ". ") : u"";
            EXPECT_EQ(lines[next++], number + f.meanings[m]);
        }
        EXPECT_EQ(lines[next], u"");
        EXPECT_EQ(FieldValue(r.text, u"Strokes:"), Join(f.strokes, u","));
        EXPECT_EQ(FieldValue(r.text, u"Grade:"), f.grade);
        EXPECT_EQ(FieldValue(r.text, u"Frequency:"), f.frequency);
        ++checked;
    }
    EXPECT_GT(checked, 6000);
}

}  // namespace
