// Key encoding and order: stored keys are checked before use, and the UCA
// comparison, plain and with the given key prepared, answers exactly as the
// collator itself on real dictionary texts.
#include "common/collation/xcollator1.h"
#include "storage/index_keys.h"
#include "storage/tests/edict_keys.h"
#include "storage/tests/index_test_support.h"

#include <gtest/gtest.h>

#include <random>

namespace {

int32_t SignOf(int32_t v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

IndexKeyFormat FormatOf(int32_t keyId) {
    FileDescription d;
    EXPECT_EQ(ParseDescription(IndexSchema(), d), 0);
    IndexKeyFormat f;
    EXPECT_EQ(f.Init(d, keyId, 1), DmsStatus::Success);
    return f;
}

std::vector<uint8_t> OneText(const IndexKeyFormat& f, const std::u16string& text) {
    KeySegmentValue v{const_cast<char16_t*>(text.data()), static_cast<int32_t>(text.size() * 2)};
    std::vector<uint8_t> key;
    EXPECT_EQ(f.Encode(&v, key), DmsStatus::Success);
    return key;
}

// The key of a (reading, headword) pair in a two-text index.
std::vector<uint8_t> TwoTexts(const IndexKeyFormat& f, const ReadingAndWord& p) {
    KeySegmentValue v[2] = {{const_cast<char16_t*>(p.first.data()), static_cast<int32_t>(p.first.size() * 2)},
                            {const_cast<char16_t*>(p.second.data()), static_cast<int32_t>(p.second.size() * 2)}};
    std::vector<uint8_t> key;
    EXPECT_EQ(f.Encode(v, key), DmsStatus::Success);
    return key;
}

TEST(IndexKeys, UcaComparisonMatchesTheCollator) {
    std::vector<ReadingAndWord> pairs = LoadEdictKeys(30000);
    if (pairs.empty()) GTEST_SKIP() << "edict is not installed";
    std::vector<std::u16string> texts;
    for (const ReadingAndWord& p : pairs) {
        texts.push_back(p.first);
        texts.push_back(p.second);
    }
    // Variable elements and repetition signs switch the fourth level on.
    for (const char16_t* t : {u"ー", u"あ・い", u"あい", u"い ろ", u"ゝ", u"こゝろ", u"こころ", u"A-b", u"ab", u""})
        texts.emplace_back(t);
    ICollator* uca = IndexCollator(1);
    ASSERT_NE(uca, nullptr);
    IndexKeyFormat format = FormatOf(kOneTextIndex);
    std::mt19937 random(3);
    size_t differences = 0;
    for (int given = 0; given < 400; ++given) {
        const std::u16string& b = texts[random() % texts.size()];
        std::vector<uint8_t> kb = OneText(format, b);
        for (int stored = 0; stored < 40; ++stored) {
            const std::u16string& a = given < 10 ? texts[texts.size() - 1 - stored % 10] : texts[random() % texts.size()];
            int32_t expected = SignOf(uca->Compare(a.data(), static_cast<uint32_t>(a.size()), b.data(),
                                                   static_cast<uint32_t>(b.size()), 0, 1));
            if (expected == 0) expected = SignOf(static_cast<int32_t>(a.size()) - static_cast<int32_t>(b.size()));
            if (SignOf(format.Compare(OneText(format, a), kb)) != expected) ++differences;
            // Prepared again for each stored key: a seek prepares its key once, but the
            // answer must not depend on what was prepared before.
            if (format.Compare(OneText(format, a), format.Prepare(kb)) != SignOf(expected)) ++differences;
        }
    }
    // Every pair of the texts that use the fourth level, both ways round.
    for (size_t i = texts.size() - 10; i < texts.size(); ++i) {
        std::vector<uint8_t> kb = OneText(format, texts[i]);
        for (size_t j = texts.size() - 10; j < texts.size(); ++j) {
            const std::u16string& a = texts[j];
            const std::u16string& b = texts[i];
            int32_t expected = SignOf(uca->Compare(a.data(), static_cast<uint32_t>(a.size()), b.data(),
                                                   static_cast<uint32_t>(b.size()), 0, 1));
            if (expected == 0) expected = SignOf(static_cast<int32_t>(a.size()) - static_cast<int32_t>(b.size()));
            if (SignOf(format.Compare(OneText(format, a), kb)) != expected) ++differences;
            if (format.Compare(OneText(format, a), format.Prepare(kb)) != expected) ++differences;
        }
    }
    EXPECT_EQ(differences, 0u);
}

TEST(IndexKeys, StoredKeysMustBeExactlyOneKey) {
    IndexKeyFormat text = FormatOf(kTextIndex);
    TextPairKey k(u"かな", u"仮名");
    std::vector<uint8_t> key;
    ASSERT_EQ(text.Encode(k.values, key), DmsStatus::Success);
    ASSERT_EQ(key.size(), 2u + 4 + 2 + 4);
    EXPECT_TRUE(text.IsWellFormed(key));
    std::vector<uint8_t> bad = key;
    bad.push_back(0);
    EXPECT_FALSE(text.IsWellFormed(bad));  // bytes left over
    bad = key;
    storage::StoreU16(bad.data(), 1);  // below the 2 the length counts
    EXPECT_FALSE(text.IsWellFormed(bad));
    bad = key;
    storage::StoreU16(bad.data() + 6, 200);  // past the entry
    EXPECT_FALSE(text.IsWellFormed(bad));
    EXPECT_FALSE(text.IsWellFormed(std::span<const uint8_t>(key).first(7)));

    IndexKeyFormat fixed = FormatOf(kWordByteIndex);
    uint16_t w = 0x1234;
    uint8_t b = 7;
    KeySegmentValue v[2] = {{&w, 0}, {&b, 0}};
    ASSERT_EQ(fixed.Encode(v, key), DmsStatus::Success);
    EXPECT_EQ(key, (std::vector<uint8_t>{0x34, 0x12, 7}));
    EXPECT_TRUE(fixed.IsWellFormed(key));
    key.pop_back();
    EXPECT_FALSE(fixed.IsWellFormed(key));
    v[0].data = nullptr;
    EXPECT_EQ(fixed.Encode(v, key), DmsStatus::InvalidParameter);
}

TEST(IndexKeys, OnlyTextSegmentsNeedTheCollator) {
    FileDescription d;
    ASSERT_EQ(ParseDescription(IndexSchema(), d), 0);
    IndexKeyFormat f;
    EXPECT_EQ(f.Init(d, kLongIndex, 1), DmsStatus::Success);
    EXPECT_EQ(f.Init(d, 77, 1), DmsStatus::WrongKeyId);
    // The mode and flags each Sort gives, and the flags of files of kind 0.
    ASSERT_EQ(f.Init(d, kTextIndex, 0), DmsStatus::Success);
    EXPECT_EQ(f.Segments()[0].mode, 2);
    EXPECT_EQ(f.Segments()[0].flags, 1u);
    EXPECT_EQ(f.Segments()[1].mode, 0);
    EXPECT_EQ(f.Segments()[1].flags, 0u);
    ASSERT_EQ(f.Init(d, kTextIndex, 1), DmsStatus::Success);
    EXPECT_EQ(f.Segments()[1].flags, 1u);
}

// Two text segments under both collator kinds: a key compared with a
// prepared key answers as with the plain one, also when the stored key sits
// at an odd address, as keys do inside pages.
TEST(IndexKeys, PreparedKeysOrderAsPlainKeys) {
    std::vector<ReadingAndWord> pairs = LoadEdictKeys(10000);
    if (pairs.empty()) GTEST_SKIP() << "edict is not installed";
    FileDescription d;
    ASSERT_EQ(ParseDescription(IndexSchema(), d), 0);
    std::mt19937 random(11);
    for (int32_t kind : {0, 1}) {
        IndexKeyFormat format;
        ASSERT_EQ(format.Init(d, kTextIndex, kind), DmsStatus::Success);
        auto encode = [&](const ReadingAndWord& p) { return TwoTexts(format, p); };
        size_t differences = 0;
        std::vector<uint8_t> odd;
        for (size_t i = 1; i < pairs.size(); ++i) {
            std::vector<uint8_t> given = encode(pairs[i]);
            // Its neighbour in the file (often the same reading) and one at random.
            for (const ReadingAndWord& other : {pairs[i - 1], pairs[random() % pairs.size()]}) {
                std::vector<uint8_t> stored = encode(other);
                odd.assign(1, 0);
                odd.insert(odd.end(), stored.begin(), stored.end());
                const std::span<const uint8_t> oddKey(odd.data() + 1, stored.size());
                const int32_t expected = format.Compare(stored, given);
                differences += format.Compare(stored, format.Prepare(given)) != expected;
                differences += format.Compare(oddKey, format.Prepare(given)) != expected;
            }
        }
        EXPECT_EQ(differences, 0u) << "collator kind " << kind;
    }
}

}  // namespace

// Key prefixes decide only what the keys' order decides: on EDICT's
// (reading, headword) keys and on texts at the prefix's edges (ending within
// it or just past it, kanji of two primaries, voicing that only a later
// level tells, code points whose primaries depend on their neighbours).
// Under the dictionary collator there are none.
TEST(IndexKeys, PrefixesDecideAsTheKeysOrder) {
    std::vector<ReadingAndWord> pairs = LoadEdictKeys(10000);
    if (pairs.empty()) GTEST_SKIP() << "edict is not installed";
    for (const char16_t* t : {u"", u"か", u"が", u"かか", u"かが", u"あいうえおか", u"あいうえおかき", u"あいうえおかきく",
                              u"あいうえおかきけ", u"あいうえおかぎ", u"日本語", u"日本語学", u"日本語学校", u"ゝ", u"こゝろ",
                              u"こころ", u"ー", u"カー", u"カア", u"\U0002000B", u"あ\U0002000B", u"e\u0301", u"é", u"A-b"})
        pairs.emplace_back(t, t);
    FileDescription d;
    ASSERT_EQ(ParseDescription(IndexSchema(), d), 0);
    std::mt19937 random(5);
    for (int32_t kind : {0, 1}) {
        IndexKeyFormat format;
        ASSERT_EQ(format.Init(d, kTextIndex, kind), DmsStatus::Success);
        EXPECT_EQ(format.HasPrefixes(), kind == 1);
        auto encode = [&](const ReadingAndWord& p) { return TwoTexts(format, p); };
        size_t differences = 0, decided = 0, compared = 0;
        auto check = [&](const ReadingAndWord& a, const ReadingAndWord& b) {
            const std::vector<uint8_t> ka = encode(a), kb = encode(b);
            const KeyPrefix pa = format.PrefixOf(ka), pb = format.PrefixOf(kb);
            const int32_t expected = format.Compare(ka, kb);
            const int32_t byPrefix = IndexKeyFormat::ComparePrefixes(pa, pb);
            decided += byPrefix != 0;
            ++compared;
            differences += byPrefix != 0 && byPrefix != expected;
            differences += format.Compare(ka, pa, kb, pb) != expected;
            differences += format.Compare([&] { return std::span<const uint8_t>(ka); }, pa, format.Prepare(kb)) != expected;
        };
        for (size_t i = 1; i < pairs.size(); ++i) {
            check(pairs[i - 1], pairs[i]);
            check(pairs[i], pairs[random() % pairs.size()]);
        }
        for (size_t i = pairs.size() - 24; i < pairs.size(); ++i)
            for (size_t j = pairs.size() - 24; j < pairs.size(); ++j) check(pairs[i], pairs[j]);
        EXPECT_EQ(differences, 0u) << "collator kind " << kind;
        if (kind == 0) {
            EXPECT_EQ(decided, 0u);
        }
        if (kind == 1) {
            EXPECT_GT(decided, compared / 2);
        }
    }
}
