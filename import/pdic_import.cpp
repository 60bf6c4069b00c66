// ImportPdic and ParsePdicEntry: the word records of a PDIC version-4 file,
// each length checked against its record, block and the file before use.
#include "import/pdic_import.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "common/text/japanese_code_pages.h"
#include "dictionary/dictionary.h"
#include "dictionary/format_detection.h"
#include "import/edict_import.h"
#include "import/eijiro_import.h"
#include "import/compile_report.h"
#include "import/source_text_checks.h"

namespace {

constexpr uint32_t kVersionOffset = 140;
constexpr uint32_t kBlockSizeOffset = 146;
constexpr uint32_t kIndexBlocksOffset = 148;
constexpr uint32_t kWordCountOffset = 160;
constexpr uint32_t kMaximumWordRest = 512;
constexpr int32_t kMaximumEntryUnits = 4096;
constexpr uint8_t kExtendedRecord = 0x10;
constexpr uint32_t kSense = 5;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Writes the entry text into room made in the text buffer; a part that does
// not fit in the room is left out whole, so the entry stays within its cap.
class EntryWriter {
public:
    EntryWriter(char16_t* out, int32_t room) : out_(out), room_(room) {}
    void Unit(char16_t c) {
        if (used_ < room_) out_[used_++] = c;
    }
    void ShiftJis(const uint8_t* bytes, size_t length) {
        if (length == 0 || used_ >= room_) return;
        const int32_t n = ShiftJisToUnicode(bytes, static_cast<int32_t>(length), out_ + used_, room_ - used_);
        used_ += n;
    }
    void Widened(const uint8_t* bytes, size_t length) {
        for (size_t i = 0; i < length; ++i) Unit(bytes[i]);
    }
    int32_t Used() const { return used_; }

private:
    char16_t* out_;
    int32_t room_;
    int32_t used_ = 0;
};

// One word record within [begin, end) of the file, its bounds already checked.
struct WordRecord {
    const uint8_t* rest = nullptr;  // the word's own bytes, after the shared prefix
    size_t restLength = 0;
    uint8_t prefix = 0;
    uint8_t attribute = 0;
    const uint8_t* body = nullptr;  // after the attribute byte
    const uint8_t* end = nullptr;
};

// Splits a record; false when the word has no zero byte within 512 bytes of
// the record or no attribute byte follows it.
bool SplitRecord(const uint8_t* record, const uint8_t* end, WordRecord& out) {
    out.prefix = record[2];
    out.rest = record + 3;
    const size_t limit = std::min<size_t>(static_cast<size_t>(end - out.rest), kMaximumWordRest + 1);
    const auto* zero = static_cast<const uint8_t*>(std::memchr(out.rest, 0, limit));
    if (zero == nullptr || zero + 1 >= end) return false;
    out.restLength = static_cast<size_t>(zero - out.rest);
    out.attribute = zero[1];
    out.body = zero + 2;
    out.end = end;
    return true;
}

// The translation and extension fields of a record into the entry (an
// EntryWriter, or a check of the text fields); false when a zero byte a
// field needs is not within the record.
template <typename Entry>
bool WriteBody(const WordRecord& record, Entry& entry) {
    if ((record.attribute & kExtendedRecord) == 0) {
        entry.ShiftJis(record.body, static_cast<size_t>(record.end - record.body));
        return true;
    }
    const uint8_t* at = record.body;
    auto zeroIn = [&](const uint8_t* from) {
        return static_cast<const uint8_t*>(std::memchr(from, 0, static_cast<size_t>(record.end - from)));
    };
    const uint8_t* zero = zeroIn(at);
    if (zero == nullptr) return false;
    entry.ShiftJis(at, static_cast<size_t>(zero - at));
    entry.Unit(0);
    at = zero + 1;
    while (at < record.end) {
        const uint8_t type = *at;
        if ((type & 0x0F) > 2 || (type & 0x70) != 0) break;
        zero = zeroIn(at + 1);
        if (zero == nullptr) return false;
        const uint8_t* contents = at + 1;
        const size_t length = static_cast<size_t>(zero - contents);
        if ((type & 0x0F) == 1) {
            entry.Unit(type);
            entry.ShiftJis(contents, length);
            entry.Unit(0);
        } else if ((type & 0x0F) == 2) {
            entry.Unit(type);
            entry.Widened(contents, length);
        }
        at = zero + 1;
        if (type > 127) break;
    }
    return true;
}

bool IsHomonymTail(char16_t c) { return (c >= u'0' && c <= u'9') || c == u'(' || c == u')' || c == u' '; }

}  // namespace

int32_t ParsePdicEntry(CDictionary& dictionary, const char16_t* text, int32_t length) {
    if (text == nullptr || length <= 0) return -1;
    const std::u16string_view entry(text, static_cast<size_t>(length));
    const int32_t article = dictionary.ElementCount();
    DictionaryElement* element = dictionary.AddElement(kElementEntryStart);
    if (element == nullptr) return -1;
    element->begin = element->text = text;
    element->end = text + length - 1;
    element->length = length;

    const size_t zero = std::min(entry.find(u'\0'), entry.size());
    std::u16string_view word = entry.substr(0, zero);
    const bool digit = std::any_of(word.begin(), word.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
    if (digit) {
        size_t keep = word.size();
        while (keep > 0 && IsHomonymTail(word[keep - 1])) --keep;
        if (keep > 0) word = word.substr(0, keep);
    }
    if (!word.empty()) {
        DictionaryElement* headword = dictionary.AddElement(HeadwordKindOfScript(word));
        if (headword == nullptr) return -1;
        headword->text = text;
        headword->length = static_cast<int32_t>(word.size());
    }
    const size_t sense = zero + 2;  // after the zero and the attribute unit
    if (sense < entry.size()) {
        DictionaryElement* senseElement = dictionary.AddElement(kSense);
        if (senseElement == nullptr) return -1;
        senseElement->text = text + sense;
        senseElement->length = static_cast<int32_t>(entry.size() - sense);
    }
    return article;
}

namespace {

// How a walk over the word records ended.
enum class WalkEnd {
    Whole,    // the header's number of words read, or the blocks end at a block boundary
    Cut,      // the file ends inside a block: the records before the cut were read
    Broken,   // a length runs past its record or block, or a record does not split
    Stopped,  // the visitor answered false
};

// Calls visit(word bytes, record) for each word record of the data blocks
// until the header's number of words is reached; `count` is the number visited.
template <typename Visit>
WalkEnd WalkWordRecords(const uint8_t* file, uint32_t sizeInBytes, uint32_t& count, Visit visit) {
    const uint64_t blockSize = U16(file + kBlockSizeOffset);
    const uint32_t words = U32(file + kWordCountOffset);
    count = 0;
    if (blockSize == 0) return WalkEnd::Broken;
    std::vector<uint8_t> previousWord;
    std::vector<uint8_t> word;
    for (uint64_t block = U16(file + kIndexBlocksOffset) + uint64_t{1}; count < words;) {
        const uint64_t offset = block * blockSize;
        if (offset >= sizeInBytes) break;  // the blocks end
        if (sizeInBytes - offset < 2) return WalkEnd::Cut;
        const uint8_t* at = file + offset;
        const int16_t span = static_cast<int16_t>(U16(at));
        if (span < 0) return WalkEnd::Broken;
        const uint64_t covered = span == 0 ? 1 : static_cast<uint64_t>(span);
        block += covered;
        if (span == 0) continue;
        // A block the file's end cuts: its records before the cut are whole.
        const bool cut = covered * blockSize > sizeInBytes - offset;
        const uint8_t* blockEnd = cut ? file + sizeInBytes : at + covered * blockSize;
        const WalkEnd overrun = cut ? WalkEnd::Cut : WalkEnd::Broken;
        at += 2;
        while (count < words) {
            if (blockEnd - at < 2) return overrun;
            const uint16_t length = U16(at);
            if (length == 0) break;
            if (blockEnd - at < 3 + static_cast<ptrdiff_t>(length)) return overrun;
            WordRecord record;
            if (!SplitRecord(at, at + 3 + length, record)) return WalkEnd::Broken;
            if (record.prefix > previousWord.size()) return WalkEnd::Broken;
            word.assign(previousWord.begin(), previousWord.begin() + record.prefix);
            word.insert(word.end(), record.rest, record.rest + record.restLength);
            if (!visit(word, record, length)) return WalkEnd::Stopped;
            previousWord.swap(word);
            at += 3 + length;
            ++count;
        }
        if (cut && count < words) return WalkEnd::Cut;
    }
    return WalkEnd::Whole;
}

// Stands in for an EntryWriter to find the first text field whose bytes are
// not Shift-JIS.
class ShiftJisCheck {
public:
    void Unit(char16_t) {}
    void Widened(const uint8_t*, size_t) {}
    void ShiftJis(const uint8_t* bytes, size_t length) {
        good_ = good_ && FirstLineNotShiftJis({bytes, length}) == 0;
    }
    bool Good() const { return good_; }

private:
    bool good_ = true;
};

}  // namespace

int32_t ImportPdic(CDictionary& dictionary, const void* bytes, uint32_t sizeInBytes, int32_t mode,
                   const ImportCallbacks& callbacks) {
    if (bytes == nullptr || sizeInBytes < kPdicMinimumBytes) return 0;
    const auto* file = static_cast<const uint8_t*>(bytes);
    if (U16(file + kVersionOffset) != kPdicVersion4) return 0;
    dictionary.flags = (dictionary.flags & ~(kFormatWords | kFormatKanji)) | kFormatWords;
    const uint32_t words = U32(file + kWordCountOffset);
    uint32_t count = 0;
    const WalkEnd end = WalkWordRecords(file, sizeInBytes, count, [&](const std::vector<uint8_t>& word,
                                                                       const WordRecord& record, uint16_t length) {
        const int32_t room = std::min(static_cast<int32_t>((record.prefix + length) * 2 + 20), kMaximumEntryUnits);
        dictionary.ClearParsedArticle();
        if (mode == 0 && dictionary.AddElement(1) == nullptr) return false;
        const int32_t start = dictionary.AppendText(room, nullptr);
        if (start < 0) return false;
        EntryWriter entry(dictionary.MutableText() + start, room);
        entry.ShiftJis(word.data(), word.size());
        entry.Unit(0);
        entry.Unit(record.attribute);
        if (!WriteBody(record, entry)) return false;
        dictionary.SetTextLength(start + entry.Used());
        const int32_t article = ParsePdicEntry(dictionary, dictionary.Text() + start, entry.Used());
        if (article < 0 || source_lines::ReportArticles(dictionary, article, callbacks) == 0) return false;
        const uint32_t done = count + 1;
        return source_lines::ReportProgress(mode, static_cast<int32_t>(std::min<uint32_t>(done, INT32_MAX)),
                                            static_cast<int32_t>(std::min<uint32_t>(words, INT32_MAX)),
                                            callbacks) != 0;
    });
    if (end == WalkEnd::Broken || end == WalkEnd::Stopped) return 0;
    // A file cut short (at a block boundary too) holds fewer words than its header counts.
    if (count < words) source_lines::ReportSourceNotWhole(mode, callbacks, HeaderCountsMoreText(words, count));
    return 1;
}

bool LoadPdicSource(std::u16string_view path, uint32_t /*formatFlags*/, std::u16string& text,
                    std::u16string& message) {
    message.clear();
    const uint32_t size = LoadSourceBytes(path, text);
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    if (size < kPdicMinimumBytes || U16(bytes + kVersionOffset) != kPdicVersion4) {
        text.clear();
        return false;
    }
    // The words and text fields must be Shift-JIS: other bytes would be
    // stored as wrong characters. The first record that is not is named.
    uint32_t count = 0;
    const WalkEnd end =
        WalkWordRecords(bytes, size, count, [](const std::vector<uint8_t>& word, const WordRecord& record, uint16_t) {
            ShiftJisCheck check;
            check.ShiftJis(word.data(), word.size());
            WriteBody(record, check);
            return check.Good();
        });
    if (end != WalkEnd::Stopped) return true;
    message = SourceArticleProblem(int64_t{count} + 1, NotInEncodingText(u"Shift-JIS"));
    text.clear();
    return false;
}
