// The two priority tables of the word translator: common words whose hits
// are preferred, by reading and kanji form. A word of row r gets
// kTopPriority − r, above the 127 of a word no table lists. The reading
// table's spellings are also where a reading typed whole lands in the
// by-reading list (EverydaySpellings).
#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "dictionary/dictionary_schema.h"
#include "japanese/everyday_spellings.h"
#include "japanese/translator.h"

namespace ostrel::japanese {
namespace {

// Texts are compared over the stored lengths; three rows store lengths
// shorter than their texts and are kept so (they match the shorter words).
struct PriorityRow {
    int32_t readingLength;
    std::u16string_view reading;
    int32_t kanjiLength;
    std::u16string_view kanji;
};

constexpr PriorityRow Row(std::u16string_view reading, std::u16string_view kanji) {
    return {static_cast<int32_t>(reading.size()), reading, static_cast<int32_t>(kanji.size()), kanji};
}

constexpr std::array ReadingPriorityTable = {
    Row(u"である", u""), Row(u"あか", u"赤"), Row(u"あか", u"垢"), Row(u"あく", u"置く"),
    Row(u"あくび", u"欠伸"), Row(u"あし", u"足"), Row(u"あずかる", u"預かる"), Row(u"あて", u"当て"),
    Row(u"あて", u"当"), Row(u"あてる", u"当てる"), Row(u"あなた", u"貴女"), Row(u"あの", u"彼の"),
    Row(u"あみ", u"網"), Row(u"ある", u"有る"), Row(u"いい", u"良い"), Row(u"いう", u"言う"),
    Row(u"いかん", u"如何"), Row(u"いく", u"行く"), Row(u"いし", u"石"), Row(u"いちじ", u"一時"),
    Row(u"いつ", u"何時"), Row(u"いつか", u"何時か"), Row(u"いぬ", u"犬"), Row(u"いる", u"居る"),
    Row(u"いる", u""), Row(u"いる", u"入る"), Row(u"いる", u"要る"), Row(u"うし", u"牛"),
    Row(u"うつ", u"打つ"), Row(u"うま", u"馬"), Row(u"うら", u"裏"), Row(u"うる", u"売る"),
    Row(u"うる", u"得る"), Row(u"えき", u"駅"),
    // おおい's first row named 大 'greater (arch.)' before 多い: it names 多い
    // twice, so that every later row keeps its rank.
    Row(u"おおい", u"多い"), Row(u"おおい", u"多い"),
    Row(u"おきる", u"起きる"), Row(u"おく", u"置く"), PriorityRow{2, u"おくる", 2, u"送る"},
    Row(u"おこす", u"起こす"), Row(u"おこる", u"起こる"), Row(u"おっと", u"夫"),
    PriorityRow{3, u"あなた", 1, u"貴女"}, Row(u"おもい", u"重い"), Row(u"かい", u""), Row(u"かい", u"会"),
    Row(u"かい", u"階"), Row(u"かい", u"貝"), Row(u"がい", u"外"), Row(u"がい", u"害"),
    Row(u"かいだん", u"階段"), Row(u"かえす", u"帰す"), Row(u"かえる", u"帰る"), Row(u"かえる", u"蛙"),
    Row(u"かえる", u"変える"), Row(u"かがく", u"科学"), Row(u"かがく", u"化学"), Row(u"かかる", u"掛る"),
    Row(u"かかる", u""), Row(u"かかる", u"罹る"), Row(u"かぎ", u"鍵"), Row(u"かく", u"書く"),
    Row(u"がくせい", u"学生"), Row(u"かげん", u"加減"), Row(u"かご", u"籠"), Row(u"かばん", u"鞄"),
    Row(u"かばん", u"下番"), Row(u"から", u""), Row(u"から", u"空"), Row(u"きく", u"聞く"),
    Row(u"くらい", u""), Row(u"くらい", u"位"), Row(u"くる", u"来る"), Row(u"くる", u""),
    Row(u"くん", u"君"), Row(u"くん", u"訓"), Row(u"こう", u"斯う"), Row(u"ごみ", u"芥"),
    Row(u"ごみ", u"塵"), Row(u"さえ", u""), Row(u"さん", u""), Row(u"じ", u"字"),
    Row(u"しか", u""), Row(u"しまう", u"終う"), Row(u"しまう", u"仕舞う"), Row(u"すくう", u"救う"),
    Row(u"する", u""), Row(u"する", u"為る"), Row(u"すぎ", u"過ぎ"), Row(u"そう", u""),
    Row(u"そう", u"相"), Row(u"この", u"此の"), Row(u"その", u"其の"), Row(u"たいてい", u"大抵"),
    Row(u"たつ", u"立つ"), Row(u"たち", u"達"), PriorityRow{3, u"ちかく", 1, u"近く"}, Row(u"てき", u"的"),
    Row(u"です", u""), Row(u"どう", u"如何"), Row(u"どう", u"道"), Row(u"なくなる", u"無くなる"),
    Row(u"なし", u"無し"), Row(u"なる", u"成る"), Row(u"なる", u""), Row(u"なら", u""),
    Row(u"また", u"又"), Row(u"また", u"亦"), Row(u"また", u"復"), Row(u"まま", u"儘"),
    Row(u"めん", u"面"), Row(u"もの", u"物"), Row(u"もの", u"者"), Row(u"ゆめ", u"夢"),
    Row(u"よりも", u""), Row(u"きょう", u"今日"), Row(u"おきに", u"置きに"), Row(u"めいめい", u"銘々"),
    Row(u"くらす", u""),
    // Common verbs with two common spellings, the everyday one first: the
    // index would head the other by its kanji's code (詠む, 看る, 呑む).
    Row(u"よむ", u"読む"), Row(u"みる", u"見る"), Row(u"のむ", u"飲む"), Row(u"はなす", u"話す"),
    Row(u"あける", u"開ける"), Row(u"うたう", u"歌う"), Row(u"ならう", u"習う"), Row(u"こたえる", u"答える"),
    Row(u"とぶ", u"飛ぶ"),
    // Everyday words the index would head with another common word of the
    // reading (一 'one', 宵 'evening', 地殻 'the earth's crust', 汁 'soup').
    Row(u"ひと", u"人"), Row(u"よい", u"良い"), Row(u"ちかく", u"近く"), Row(u"わかい", u"若い"),
    Row(u"ふかい", u"深い"), Row(u"あおい", u"青い"), Row(u"しる", u"知る"),
    // A common verb whose forms another common verb shares: わかって and
    // わかった are 分かる 'to understand' far more often than 分かつ 'to divide'.
    Row(u"わかる", u"分かる"),
};
// Every row of both tables outranks a word no table lists, and an earlier
// row a later one, whichever table each is of.
constexpr size_t kPriorityRows = 512;
constexpr int32_t kTopPriority = kDefaultEntryPriority + static_cast<int32_t>(kPriorityRows);
static_assert(ReadingPriorityTable.size() <= kPriorityRows);

constexpr std::array KanjiPriorityTable = {
    Row(u"じ", u"字"), Row(u"はいる", u"入る"), Row(u"そら", u"空"), Row(u"から", u"空"),
    Row(u"くう", u"空"), Row(u"わたし", u"私"), Row(u"わたくし", u"私"), Row(u"あたし", u"私"),
    Row(u"あたくし", u"私"), Row(u"そと", u"外"), Row(u"ほか", u"外"), Row(u"いく", u"行く"),
    Row(u"へび", u"蛇"), Row(u"じょうず", u"上手"), Row(u"つよい", u"強い"), Row(u"とまる", u"止まる"),
    Row(u"とまる", u"留まる"), Row(u"とまる", u"停まる"), Row(u"くん", u"君"), Row(u"ぶん", u"分"),
    Row(u"ふん", u"分"), Row(u"はは", u"母"), Row(u"ひ", u"火"), Row(u"ほ", u"歩"),
    Row(u"ぶん", u"文"), Row(u"はね", u"羽"), Row(u"みずから", u"自ら"), Row(u"おのずから", u"自ら"),
    Row(u"せい", u"性"),
    // 分かった and 分かって are 分かる 'to understand', not 分かつ 'to divide'.
    Row(u"わかる", u"分かる"),
};
static_assert(KanjiPriorityTable.size() == 30);

// The text a row matches (its stored length of it).
std::u16string_view Matched(std::u16string_view text, int32_t length) {
    return text.substr(0, std::min(text.size(), static_cast<size_t>(length)));
}

// The rows of a table by a hash of their lengths and first units, each
// bucket in row order: a hit compares only the rows that can equal it, and
// the first equal row is still the table's first.
template <size_t N>
class PriorityIndex {
public:
    explicit PriorityIndex(const std::array<PriorityRow, N>& table) : table_(table) {
        for (size_t row = 0; row < N; ++row) {
            const PriorityRow& r = table[row];
            buckets_[Bucket(r.readingLength, r.reading, r.kanjiLength, r.kanji)].push_back(static_cast<uint16_t>(row));
        }
    }
    int32_t Lookup(const WordListEntry& hit) const {
        const std::u16string_view reading(hit.reading, static_cast<size_t>(hit.readingLength));
        const std::u16string_view kanji(hit.word, static_cast<size_t>(hit.wordLength));
        for (uint16_t row : buckets_[Bucket(hit.readingLength, reading, hit.wordLength, kanji)]) {
            const PriorityRow& r = table_[row];
            if (r.readingLength != hit.readingLength || r.kanjiLength != hit.wordLength) continue;
            if (reading == Matched(r.reading, r.readingLength) && kanji == Matched(r.kanji, r.kanjiLength)) {
                return kTopPriority - static_cast<int32_t>(row);
            }
        }
        return kDefaultEntryPriority;
    }

private:
    static constexpr size_t kBuckets = 64;
    static size_t Bucket(int32_t readingLength, std::u16string_view reading, int32_t kanjiLength,
                         std::u16string_view kanji) {
        const uint32_t r0 = readingLength > 0 && !reading.empty() ? reading[0] : 0;
        const uint32_t k0 = kanjiLength > 0 && !kanji.empty() ? kanji[0] : 0;
        return (r0 * 7 + k0 * 13 + static_cast<uint32_t>(readingLength) * 3 + static_cast<uint32_t>(kanjiLength)) %
               kBuckets;
    }
    const std::array<PriorityRow, N>& table_;
    std::array<std::vector<uint16_t>, kBuckets> buckets_;
};

// The reading table's spellings by reading, each reading's in row order (an
// empty spelling is the reading's kana row: the particle から).
class ReadingTableSpellings : public ISpellingPreference {
public:
    ReadingTableSpellings() {
        std::vector<std::pair<std::u16string_view, std::u16string_view>> rows;
        for (const PriorityRow& row : ReadingPriorityTable)
            rows.emplace_back(Matched(row.reading, row.readingLength), Matched(row.kanji, row.kanjiLength));
        std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& [reading, spelling] : rows) {
            readings_.push_back(reading);
            spellings_.push_back(spelling);
        }
    }
    std::span<const std::u16string_view> NamedSpellings(std::u16string_view reading) const override {
        const auto [from, to] = std::equal_range(readings_.begin(), readings_.end(), reading);
        return std::span(spellings_).subspan(static_cast<size_t>(from - readings_.begin()),
                                             static_cast<size_t>(to - from));
    }

private:
    std::vector<std::u16string_view> readings_;   // sorted
    std::vector<std::u16string_view> spellings_;  // the spelling of each
};

}  // namespace

const ISpellingPreference& EverydaySpellings() {
    static const ReadingTableSpellings spellings;
    return spellings;
}

int32_t HitPriority(const WordListEntry& hit) {
    static const PriorityIndex readingRows(ReadingPriorityTable);
    static const PriorityIndex kanjiRows(KanjiPriorityTable);
    if (hit.indexId == static_cast<uint32_t>(kIndexReadingWord)) return readingRows.Lookup(hit);
    if (hit.indexId == static_cast<uint32_t>(kIndexWordReading)) return kanjiRows.Lookup(hit);
    return kDefaultEntryPriority;
}

}  // namespace ostrel::japanese
