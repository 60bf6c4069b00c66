// Index text of YARXI records: groups give the field bits, bracketed romaji
// readings are followed by their kana, and no write passes the capacity.
// OSTREL_ARTICLE_FUZZ=N runs N random rounds instead of 2000.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "article/display_attributes.h"
#include "article/formatter_family.h"
#include "article/yarxi_index_text.h"

namespace {

struct Prepared {
    std::u16string text;
    std::vector<uint16_t> bits;
};

// Prepares `text` into buffers of `capacity` units (default: room for kana)
// guarded by sentinels that must survive; the entry bits are all ones to show
// they are not read.
Prepared Prepare(const std::u16string& text, int32_t capacity = -1) {
    if (capacity < 0) capacity = static_cast<int32_t>(text.size()) * 4 + 16;
    constexpr int32_t kGuard = 8;
    std::u16string out(static_cast<size_t>(capacity + kGuard), u'#');
    std::vector<uint16_t> bits(static_cast<size_t>(capacity + kGuard), 0xFFFF);
    const int32_t length = PrepareIndexTextF14(out.data(), capacity, text.data(), static_cast<int32_t>(text.size()),
                                               bits.data());
    EXPECT_GE(length, 0);
    EXPECT_LE(length, capacity);
    for (int32_t at = capacity; at < capacity + kGuard; ++at) {
        EXPECT_EQ(out[static_cast<size_t>(at)], u'#');
        EXPECT_EQ(bits[static_cast<size_t>(at)], 0xFFFF);
    }
    return {out.substr(0, static_cast<size_t>(length)),
            std::vector<uint16_t>(bits.begin(), bits.begin() + length)};
}

TEST(YarxiIndexText, ReadingInBracketsIsFollowedByItsKanaWithTheSameBits) {
    const Prepared prepared = Prepare(u"{\\on [kaku]}");
    EXPECT_EQ(prepared.text, u"[kaku]かく");
    ASSERT_EQ(prepared.bits.size(), 8u);
    EXPECT_EQ(prepared.bits[0], kFieldReading | kFieldElementStart);
    for (size_t at = 1; at < 8; ++at) EXPECT_EQ(prepared.bits[at], kFieldReading) << at;
    // Blanks, "-" and round brackets are left out of the transcription.
    EXPECT_EQ(Prepare(u"{\\r [ka-ku (sa)]}").text, u"[ka-ku (sa)]かくさ");
    // Outside reading groups brackets are plain text.
    EXPECT_EQ(Prepare(u"{\\n [kaku]}").text, u"[kaku]");
}

TEST(YarxiIndexText, TheLastOpenedGroupSetsTheFieldBits) {
    const Prepared prepared = Prepare(u"{\\j 男}{\\on a{\\n b} c}{\\zz d}");
    // The blank after each keyword parts the groups' words.
    EXPECT_EQ(prepared.text, u"男 a b c d");
    // "c" keeps the inner group's bits after it closes.
    const std::vector<uint16_t> expected = {
        kFieldHeadword | kFieldElementStart, kFieldReading | kFieldElementStart, kFieldReading,
        kFieldSense | kFieldElementStart,    kFieldSense,                        kFieldSense,
        kFieldSense,                         kFieldElementStart,                 0};
    EXPECT_EQ(prepared.bits, expected);
}

TEST(YarxiIndexText, GroupsWrittenBackToBackKeepTheirWordsApart) {
    // An article written as the format's own example writes it, and a sense
    // followed by a number group.
    EXPECT_EQ(Prepare(u"{\\a T{\\j 日}{\\on [NICHI]}{\\k ひ}}").text, u"T 日 [NICHI]にち ひ");
    EXPECT_EQ(Prepare(u"{\\s asia}{\\n 2}{\\s extreme}{\\n 7}").text, u"asia 2 extreme 7");
}

TEST(YarxiIndexText, TagsBracketsAndPunctuationMarkTheirCharacters) {
    const Prepared prepared = Prepare(u"\n<i>x</i>y <b>z</b>\r\n\t(p), q;\n");
    EXPECT_EQ(prepared.text, u"xy z (p), q;");
    EXPECT_EQ(prepared.bits[0], kFieldItalic);
    EXPECT_EQ(prepared.bits[1], 0);
    EXPECT_EQ(prepared.bits[5], kFieldInBrackets);    // "("
    EXPECT_EQ(prepared.bits[6], kFieldInBrackets);    // "p"
    EXPECT_EQ(prepared.bits[7], 0);                   // ")"
    EXPECT_EQ(prepared.bits[8], kFieldComma);
    EXPECT_EQ(prepared.bits[11], kFieldSemicolon);
}

TEST(YarxiIndexText, KeywordTableAndItsTenUnitLimit) {
    const std::pair<std::u16string, uint32_t> keywords[] = {
        {u"a", 2},    {u"cmp", 50}, {u"cmpg", 49}, {u"cmps", 48}, {u"j", 39},    {u"jn", 41},
        {u"k", 51},   {u"kun", 43}, {u"n", 40},    {u"ss", 58},   {u"use", 47},  {u"name", 57},
        {u"names", 56}, {u"on", 42}, {u"r", 52},   {u"rad", 45},  {u"ref", 55},  {u"rr", 53},
        {u"rs", 59},  {u"s", 54},   {u"str", 46},  {u"yarxi", 1}, {u"radical", 0}, {u"", 0}};
    for (const auto& [keyword, kind] : keywords)
        EXPECT_EQ(YarxiKeywordKind(keyword.data(), static_cast<int32_t>(keyword.size())), kind) << kind;
    EXPECT_EQ(YarxiKeywordKind(u"yarxiyarxiyarxi", 15), 0u);
    // A keyword longer than ten units ends the keyword there; the rest is text.
    EXPECT_EQ(Prepare(u"{\\abcdefghijKL}").text, u"KL");
}

TEST(YarxiIndexText, TheDispatchTableReachesThePreparerForBothFormats) {
    const std::u16string text = u"{\\on [kaku]}";
    for (uint32_t format : {14u, 15u}) {
        std::u16string out(64, u'#');
        std::vector<uint16_t> bits(64, 0);
        const int32_t length = PrepareIndexText(format, out.data(), 64, text.data(),
                                                static_cast<int32_t>(text.size()), bits.data());
        EXPECT_EQ(out.substr(0, static_cast<size_t>(length)), u"[kaku]かく");
    }
}

TEST(YarxiIndexText, KanaStopsAtTheCallersCapacity) {
    const std::u16string text = u"{\\on [" + std::u16string(200, u'a') + u"]}";
    for (int32_t capacity : {0, 1, 5, 7, 80, 81, 120, 400}) {
        const Prepared prepared = Prepare(text, capacity);
        // The reading itself (at most 79 units kanaised, 200 kept) is a prefix.
        EXPECT_EQ(prepared.text, (u"[" + std::u16string(200, u'a') + u"]" + std::u16string(79, u'あ'))
                                     .substr(0, static_cast<size_t>(capacity)));
    }
    EXPECT_EQ(Prepare(u"abc", 3).text, u"abc");
    EXPECT_EQ(Prepare(u"{\\on", 10).text, u"");
}

TEST(YarxiIndexText, RandomMarkupStaysInsideItsBuffers) {
    const char* rounds = std::getenv("OSTREL_ARTICLE_FUZZ");
    const int count = rounds ? std::atoi(rounds) : 2000;
    const std::u16string pieces[] = {u"{\\on ", u"{\\r ", u"{\\j ", u"{\\", u"}", u"{", u"[", u"]", u"(", u")", u"<i>",
                                     u"</i>", u"<", u">", u" ", u"\n", u"ka", u"sha", u"-", u",", u";", u"男", u"TN12"};
    std::mt19937 random(14);
    for (int round = 0; round < count; ++round) {
        std::u16string text;
        const int length = static_cast<int>(random() % 40);
        for (int piece = 0; piece < length; ++piece) text += pieces[random() % std::size(pieces)];
        const int32_t capacity = static_cast<int32_t>(random() % (text.size() * 3 + 2));
        const Prepared prepared = Prepare(text, capacity);
        ASSERT_EQ(prepared.text.size(), prepared.bits.size());
        if (!prepared.text.empty()) {
            ASSERT_GE(prepared.text.back(), u'!');
        }
    }
}

}  // namespace
