// Every kanjidic line stored as a KANJIDIC record and parsed by the KANJIDIC
// parser. Its article (made from the raw line) is checked against
// kanjidic2.xml, an independent encoding of the same data: on, kun and name
// readings and radical names, English meanings, stroke counts and the labelled codes. Its
// export text is that same article: every meaning and name reading, in
// order, each once (the kanji article of the parsed elements showed only
// the first meaning and no name readings).
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "article/formatter_family.h"
#include "article/kanjidic_article.h"
#include "article/tests/parsed_record_fixture.h"
#include "article/tests/real_data_lines.h"
#include "article/tests/with_source_parsers/stored_record.h"
#include "common/tests/test_files.h"
#include "common/text/utf8.h"

namespace {

struct KanjiFacts {
    std::vector<std::u16string> on, kun, names, radicalNames, meanings, strokes;
    std::map<std::string, std::u16string> first;   // the first value of each tag
};

// Labelled fields whose first value must be the first value of a kanjidic2 tag
// (the legacy file carries no SKIP codes).
constexpr std::pair<std::u16string_view, const char*> kLabelledFields[] = {
    {u"Grade:", "grade"},
    {u"Frequency:", "freq"},
    {u"Unicode:", "cp_value cp_type=\"ucs\""},
    {u"Four Corners:", "q_code qc_type=\"four_corner\""},
    {u"De Roo:", "q_code qc_type=\"deroo\""},
    {u"Nelson:", "dic_ref dr_type=\"nelson_c\""},
    {u"Halpern:", "dic_ref dr_type=\"halpern_njecd\""},
    {u"Heisig:", "dic_ref dr_type=\"heisig\""},
    {u"Gakken:", "dic_ref dr_type=\"gakken\""},
    {u"Henshall:", "dic_ref dr_type=\"henshall\""},
    {u"Japanese For Busy People:", "dic_ref dr_type=\"busy_people\""},
    {u"Kodansha Compact Kanji Guide:", "dic_ref dr_type=\"kodansha_compact\""},
};

// The facts of every <character> of kanjidic2.xml by its literal; the values
// read are plain text elements `<tag attributes>value</tag>`.
std::map<std::u16string, KanjiFacts> ReadKanjidic2() {
    std::map<std::u16string, KanjiFacts> facts;
    gzFile file = gzopen(HostPath("/usr/share/edict/kanjidic2.xml.gz").string().c_str(), "rb");
    if (!file) return facts;
    std::string xml;
    char chunk[1 << 16];
    for (int n; (n = gzread(file, chunk, sizeof chunk)) > 0;) xml.append(chunk, static_cast<size_t>(n));
    gzclose(file);
    KanjiFacts* f = nullptr;
    for (size_t at = 0; (at = xml.find('<', at)) != std::string::npos; ++at) {
        size_t close = xml.find('>', at), valueEnd = xml.find('<', close);
        std::string tag = xml.substr(at + 1, close - at - 1);
        std::string value = xml.substr(close + 1, valueEnd - close - 1);
        for (size_t amp; (amp = value.find("&amp;")) != std::string::npos;) value.replace(amp, 5, "&");
        std::u16string v = Utf8ToUtf16(value);
        if (tag == "literal") f = &facts[v];
        if (f == nullptr) continue;
        if (tag == "reading r_type=\"ja_on\"") f->on.push_back(v);
        if (tag == "reading r_type=\"ja_kun\"") f->kun.push_back(v);
        if (tag == "nanori") f->names.push_back(v);
        if (tag == "rad_name") f->radicalNames.push_back(v);
        if (tag == "meaning") f->meanings.push_back(v);
        if (tag == "stroke_count") f->strokes.push_back(v);
        f->first.emplace(tag, v);
    }
    return facts;
}

std::u16string Join(const std::vector<std::u16string>& parts, std::u16string_view separator) {
    std::u16string out;
    for (size_t i = 0; i < parts.size(); ++i) out += (i ? std::u16string(separator) : u"") + parts[i];
    return out;
}

// The value written after `label`, up to the next blank or line end.
std::u16string FieldValue(const std::u16string& text, std::u16string_view label) {
    size_t at = text.find(label);
    if (at == std::u16string::npos) return {};
    at += label.size();
    return text.substr(at, text.find_first_of(u" \n", at) - at);
}

class KanjidicRecords : public ParsedRecordTest {};

TEST_F(KanjidicRecords, EveryArticleAgreesWithKanjidic2) {
    std::vector<std::u16string> lines = ReadDecodedLines("kanjidic");
    std::map<std::u16string, KanjiFacts> facts = ReadKanjidic2();
    if (lines.empty() || facts.empty()) GTEST_SKIP() << "Debian's kanjidic and kanjidic-xml are not installed";

    int32_t checked = 0;
    for (const std::u16string& line : lines) {
        if (line[0] == u'#') continue;
        SCOPED_TRACE(Utf16ToUtf8(line));
        ASSERT_TRUE(ParseStoredRecord(dictionary, 6, line + u"\n"));
        int32_t capacity = KanjidicArticleCapacity(static_cast<int32_t>(line.size() + 1));
        StyledResult r = WriteStyled(capacity, [&](StyledWriter& out) { FormatKanjidicLine(line + u"\n", out); });
        ASSERT_LT(static_cast<int32_t>(r.text.size()), capacity - 1) << "the capacity was reached";
        ASSERT_EQ(Show(FormatArticle(dictionary)).text, r.text);
        ASSERT_EQ(FormatExportText(dictionary).Text(), r.text);
        auto found = facts.find(line.substr(0, line.find(u' ')));
        ASSERT_NE(found, facts.end());
        const KanjiFacts& f = found->second;

        // Readings go by their script: kanjidic2 files the katakana unit
        // names of some made-in-Japan kanji (キロメートル) as kun readings.
        std::u16string expected = found->first + u"\n";
        std::vector<std::u16string> on, kun;
        for (const std::vector<std::u16string>* group : {&f.on, &f.kun}) {
            for (std::u16string reading : *group) {
                if ((reading[0] == u'-' ? reading[1] : reading[0]) >= 0x30A1) {
                    on.push_back(reading);
                } else {
                    std::erase(reading, u'.');
                    kun.push_back(reading);
                }
            }
        }
        // Radical names come last on the line: a katakana one ends the on
        // readings, the others end the name readings, or the kun readings
        // of a kanji that has no name readings.
        std::vector<std::u16string> names = f.names;
        for (const std::u16string& name : f.radicalNames)
            (name[0] >= 0x30A1 ? on : f.names.empty() ? kun : names).push_back(name);
        expected += Join(on, u"・") + u"\n" + Join(kun, u"・") + u"\n";
        if (!names.empty()) expected += Join(names, u"・") + u"\n";
        for (size_t m = 0; m < f.meanings.size(); ++m) {
            std::u16string number = f.meanings.size() >= 2 ? Utf8ToUtf16(std::to_string(m + 1) + ". ") : u"";
            expected += number + f.meanings[m] + u"\n";
        }
        EXPECT_EQ(r.text.substr(0, expected.size() + 1), expected + u"\n");
        EXPECT_EQ(FieldValue(r.text, u"Strokes:"), Join(f.strokes, u","));
        for (auto [label, tag] : kLabelledFields) {
            auto value = f.first.find(tag);
            EXPECT_EQ(FieldValue(r.text, label), value == f.first.end() ? u"" : value->second) << tag;
        }
        ++checked;
    }
    EXPECT_GT(checked, 6000);
}

}  // namespace
