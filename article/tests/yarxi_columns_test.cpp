// List columns of YARXI kanji records: the element kind and colour class
// each column kind picks in formats 14 and 15, and the full-cell answer.
#include <gtest/gtest.h>

#include <string>

#include "article/formatter_family.h"
#include "article/tests/parsed_record_fixture.h"

namespace {

class YarxiColumns : public ParsedRecordTest {
protected:
    YarxiColumns() {
        Add(4, u"男");
        Add(11, u"DAN");
        Add(11, u"NAN");
        Add(13, u"man");
        Add(5, u"five");
        Add(3, u"otoko");
    }

    std::u16string Column(uint32_t format, int32_t kind, ListCell& cell) {
        dictionary.parsedFormatType = format;
        cell = {};
        GetColumnText(dictionary, cell, kind, 0);
        return {cell.text, static_cast<size_t>(cell.length)};
    }
};

TEST_F(YarxiColumns, EachColumnKindPicksItsElementsAndClass) {
    struct Case {
        uint32_t format;
        int32_t columnKind;
        std::u16string text;
        uint32_t colourClass;
    };
    const Case cases[] = {
        {14, 3, u"男", 0x30},   {15, 6, u"男", 0x30},    {14, 4, u"man", 0x40},  {15, 4, u"five", 0x40},
        {14, 9, u"man", 0x40},  {14, 14, u"DAN", 0x20},  {15, 2, u"otoko", 0x20},
    };
    // A column numbers only the senses of its own kind: one each here, so none is numbered.
    for (const Case& c : cases) {
        ListCell cell;
        const std::u16string text = Column(c.format, c.columnKind, cell);
        EXPECT_EQ(text.substr(0, text.find(u'\n')), c.text) << c.format << " " << c.columnKind;
        EXPECT_EQ(cell.attributes[0] & kAttrColourMask, c.colourClass) << c.format << " " << c.columnKind;
    }
    ListCell cell;
    const std::u16string readings = Column(14, 7, cell);
    EXPECT_NE(readings.find(u"DAN"), std::u16string::npos);
    EXPECT_NE(readings.find(u"NAN"), std::u16string::npos);
}

TEST_F(YarxiColumns, AFullCellAnswersZeroAndIsLeftAlone) {
    dictionary.parsedFormatType = 14;
    ListCell cell;
    cell.length = 255;
    cell.text[0] = u'x';
    EXPECT_EQ(GetColumnText(dictionary, cell, 3, 0), 0);
    EXPECT_EQ(cell.text[0], u'x');
}

}  // namespace
