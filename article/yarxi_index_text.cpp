// Index text of YARXI kanji records: groups, field bits and inserted kana.
#include "article/yarxi_index_text.h"

#include "article/display_attributes.h"
#include "common/text/kana_transcription.h"

#include <string_view>

namespace {

struct YarxiKeyword {
    std::u16string_view keyword;
    uint32_t kind;
};

constexpr YarxiKeyword kYarxiKeywords[] = {
    {u"a", 2},     {u"cmp", 50}, {u"cmpg", 49}, {u"cmps", 48}, {u"j", 39},    {u"jn", 41},
    {u"k", 51},    {u"kun", 43}, {u"n", 40},    {u"ss", 58},   {u"use", 47},  {u"name", 57},
    {u"names", 56}, {u"on", 42}, {u"r", 52},    {u"rad", 45},  {u"ref", 55},  {u"rr", 53},
    {u"rs", 59},   {u"s", 54},   {u"str", 46},  {u"yarxi", 1},
};

constexpr int32_t kKeywordLimit = 10;
constexpr int32_t kReadingLimit = 79;    // romaji units of one bracketed reading
constexpr int32_t kKanaLimit = 200;      // kana units inserted for one reading

uint16_t GroupFieldBits(uint32_t kind) {
    switch (kind) {
    case 39: case 51: return kFieldHeadword;
    case 42: case 52: return kFieldReading;
    case 40: case 54: return kFieldSense;
    default: return 0;
    }
}

bool IsReadingGroup(uint32_t kind) { return kind == 42 || kind == 52; }

bool EndsKeyword(char16_t c) { return c == u' ' || c == u'{' || c == u'}'; }

// Kana of the romaji between `open` + 1 and `close` (blanks, control units,
// "-" and round brackets left out) into `kana`; answers the units written.
int32_t ReadingKana(const char16_t* text, int32_t open, int32_t close, char16_t (&kana)[kKanaLimit + 1]) {
    char16_t romaji[kReadingLimit];
    int32_t count = 0;
    for (int32_t at = open + 1; at < close && count < kReadingLimit; ++at) {
        const char16_t c = text[at];
        if (c <= u' ' || c == u'-' || c == u'(' || c == u')') continue;
        romaji[count++] = c;
    }
    if (count == 0) return 0;
    return RomajiToKana(romaji, kana, count, kKanaLimit + 1, 0, nullptr);
}

class IndexWriter {
public:
    IndexWriter(char16_t* out, int32_t capacity, uint16_t* bits) : out_(out), capacity_(capacity), bits_(bits) {}

    bool Full() const { return written_ >= capacity_; }
    int32_t Written() const { return written_; }
    bool EndsInBlank() const { return written_ == 0 || out_[written_ - 1] == u' '; }

    void Put(char16_t c, uint16_t fieldBits) {
        if (Full()) return;
        out_[written_] = c;
        if (bits_ != nullptr) bits_[written_] = fieldBits;
        ++written_;
    }

    void DropTrailingControl() {
        if (written_ > 0 && out_[written_ - 1] < 33) --written_;
    }

private:
    char16_t* out_;
    int32_t capacity_;
    uint16_t* bits_;
    int32_t written_ = 0;
};

// Length of the keyword that starts at `at` (at most kKeywordLimit units).
int32_t KeywordLength(const char16_t* text, int32_t at, int32_t length) {
    int32_t end = at;
    while (end < length && end - at < kKeywordLimit && !EndsKeyword(text[end])) ++end;
    return end - at;
}

}  // namespace

uint32_t YarxiKeywordKind(const char16_t* keyword, int32_t length) {
    if (keyword == nullptr || length <= 0) return 0;
    const std::u16string_view word(keyword, length < kKeywordLimit ? length : kKeywordLimit);
    for (const YarxiKeyword& entry : kYarxiKeywords)
        if (entry.keyword == word) return entry.kind;
    return 0;
}

int32_t PrepareIndexTextF14(char16_t* out, int32_t capacity, const char16_t* text, int32_t length, uint16_t* bits) {
    if (out == nullptr || text == nullptr || length <= 0 || capacity <= 0) return 0;
    IndexWriter writer(out, capacity, bits);
    uint32_t groupKind = 0;
    bool italic = false, inRound = false, groupStart = false;
    int32_t bracketOpen = -1;    // input position of the open "[" of a reading group
    for (int32_t at = 0; at < length && !writer.Full(); ++at) {
        char16_t c = text[at];
        if (c == u'{' && at + 1 < length && text[at + 1] == u'\\') {
            const int32_t keyword = KeywordLength(text, at + 2, length);
            groupKind = YarxiKeywordKind(text + at + 2, keyword);
            groupStart = true;
            bracketOpen = -1;
            at += 1 + keyword;
            // The blank that ends the keyword stays: it parts the group's
            // words from those of the group before, which may end right
            // before this one ("{\s asia}{\n 2}" must not index "asia2").
            continue;
        }
        if (c == u'{' || c == u'}') continue;
        if (c == u'<') {
            int32_t close = at + 1;
            while (close < length && text[close] != u'>') ++close;
            if (close < length) {
                const std::u16string_view tag(text + at, close - at + 1);
                if (tag == u"<i>") italic = true;
                else if (tag == u"</i>") italic = false;
                at = close;
                continue;
            }
        }
        if (c < 0x20) c = u' ';
        if (c == u' ' && writer.EndsInBlank()) continue;
        if (c == u')') inRound = false;
        uint16_t fieldBits = GroupFieldBits(groupKind);
        if (c == u';') fieldBits |= kFieldSemicolon;
        if (c == u',') fieldBits |= kFieldComma;
        if (italic) fieldBits |= kFieldItalic;
        if (c == u'(') inRound = true;
        if (inRound) fieldBits |= kFieldInBrackets;
        if (groupStart) fieldBits |= kFieldElementStart;
        groupStart = false;
        writer.Put(c, fieldBits);
        if (!IsReadingGroup(groupKind)) continue;
        if (c == u'[') {
            bracketOpen = at;
        } else if (c == u']' && bracketOpen >= 0) {
            char16_t kana[kKanaLimit + 1];
            const int32_t count = ReadingKana(text, bracketOpen, at, kana);
            for (int32_t k = 0; k < count; ++k) writer.Put(kana[k], fieldBits);
            bracketOpen = -1;
        }
    }
    writer.DropTrailingControl();
    return writer.Written();
}
