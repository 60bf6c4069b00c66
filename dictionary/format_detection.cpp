// The format sniffer, the flags-to-type rules and the source-file probe.
// The sniffer always works on its own zero-padded copy of at most
// kSniffReadLimit bytes, so a caller's buffer is never read past its length,
// whatever its line ends or terminators.
#include "dictionary/format_detection.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>
#include <vector>

#include "common/base/bin_file.h"
#include "dictionary/language_names.h"

namespace {

// The first bytes of a file followed by at least four zero bytes, seen both
// as bytes and as little-endian UTF-16 units.
class SniffBuffer {
public:
    explicit SniffBuffer(std::span<const uint8_t> head) {
        const size_t count = std::min<size_t>(head.size(), kSniffReadLimit);
        if (count) std::memcpy(bytes_.data(), head.data(), count);
    }

    uint8_t Byte(size_t at) const { return at < bytes_.size() ? bytes_[at] : 0; }
    bool BytesAt(size_t at, std::string_view text) const {
        if (at + text.size() > bytes_.size()) return false;
        return std::memcmp(bytes_.data() + at, text.data(), text.size()) == 0;
    }
    // UTF-16 unit `index` (units counted from the start of the buffer).
    char16_t Unit(size_t index) const {
        return char16_t(Byte(2 * index) | (Byte(2 * index + 1) << 8));
    }
    static constexpr size_t kUnits = kSniffBufferSize / 2;

private:
    std::array<uint8_t, kSniffBufferSize> bytes_{};
};

// "OST1"/"OST2" with the letters in any case (clearing bit 5 folds only
// the lower-case letter onto the upper-case one).
bool ContainerMagicIs(const SniffBuffer& b, char digit) {
    return (b.Byte(0) & 0xDF) == 'O' && (b.Byte(1) & 0xDF) == 'S' && (b.Byte(2) & 0xDF) == 'T' &&
           b.Byte(3) == uint8_t(digit);
}

// The UTF-16 text of the buffer: starts behind a byte-order mark, runs to the
// buffer's end (whose last units are always zero).
class UnitText {
public:
    explicit UnitText(const SniffBuffer& b) : b_(b), start_(b.Unit(0) == 0xFEFF ? 1 : 0) {}

    char16_t At(size_t i) const { return start_ + i < SniffBuffer::kUnits ? b_.Unit(start_ + i) : 0; }
    bool StartsWith(std::u16string_view word) const {
        for (size_t i = 0; i < word.size(); ++i)
            if (At(i) != word[i]) return false;
        return true;
    }
    // Index of the first occurrence of `word` before the first zero unit, or -1.
    ptrdiff_t Find(std::u16string_view word) const {
        for (size_t i = 0; At(i) != 0; ++i) {
            size_t n = 0;
            while (n < word.size() && At(i + n) == word[n]) ++n;
            if (n == word.size()) return ptrdiff_t(i);
        }
        return -1;
    }

private:
    const SniffBuffer& b_;
    size_t start_;
};

// DSL header: the word and then a unit no greater than a blank.
bool IsDslHeader(const UnitText& text) {
    for (std::u16string_view word : {u"#NAME", u"#CONTENTS_LANGUAGE", u"#INDEX_LANGUAGE"}) {
        if (text.StartsWith(word) && text.At(word.size()) <= 0x20) return true;
    }
    return false;
}

// WARODAI: one of the first ten lines holds kana, both lenticular brackets
// and a digit. Every CR and every LF ends a line; the scan stops at a zero
// unit without judging the line it is in.
bool LooksLikeWarodai(const UnitText& text) {
    bool kana = false, open = false, close = false, digit = false;
    int lines = 0;
    for (size_t i = 0; lines < 10; ++i) {
        const char16_t u = text.At(i);
        if (u == 0) return false;
        if (u == u'\r' || u == u'\n') {
            if (kana && open && close && digit) return true;
            kana = open = close = digit = false;
            ++lines;
            continue;
        }
        kana |= u >= 0x3041 && u <= 0x30FE;
        open |= u == 0x3014;
        close |= u == 0x3015;
        digit |= u >= u'0' && u <= u'9';
    }
    return false;
}

// The fixed-column Latin list: a first line of 80 to 200 bytes (counted up to
// 200) with blanks at its column boundaries.
bool LooksLikeLatinList(const SniffBuffer& b) {
    size_t length = 0;
    while (length < 200) {
        const uint8_t c = b.Byte(length);
        if (c == 0 || c == '\r' || c == '\n') break;
        ++length;
    }
    if (length < 80) return false;
    for (size_t at : {18, 37, 56, 75, 99, 101, 103, 105, 107, 109})
        if (b.Byte(at) != ' ') return false;
    return true;
}

uint32_t SniffBytes(const SniffBuffer& b) {
    if (ContainerMagicIs(b, '1')) return 0x140100;
    if (ContainerMagicIs(b, '2')) return 0x180100;
    if (b.Byte(4) == 'F' && b.Byte(5) == 'C') {
        const uint16_t version = uint16_t(b.Byte(6) | (b.Byte(7) << 8));
        if (version >= 0x401 && version <= 0x404) return 0x10040000;
    }
    if (b.BytesAt(9, "/EDICT")) return 0x3440000;
    if (b.BytesAt(13, "/EDICT") || (b.BytesAt(0, "\xEF\xBB\xBF") && b.BytesAt(16, "/EDICT"))) return 0x2440008;
    if (b.BytesAt(9, "/ENAMDICT")) return 0x43440000;
    if (b.BytesAt(13, "/ENAMDICT")) return 0x42440008;
    if (b.BytesAt(5, "/ENAMDICT")) return 0x43440000;
    if (b.BytesAt(0, "A: ")) return 0x441008;
    if (b.BytesAt(0, "# KANJIDIC")) return 0x1680000;
    if (b.BytesAt(11, "/JR-EDICT") || b.BytesAt(10, "/JR-EDICT") || b.BytesAt(9, "/JR-EDICT")) return 0xC440000;
    if (b.Byte(0) == 0x1B && b.Byte(141) == 4) return 0x80440000;
    if (b.Byte(0) == 0x81 && b.Byte(1) == 0xA1) return 0x440020;
    if (b.BytesAt(0, "1\tcmn\t")) return 0xC40008;
    return 0;
}

uint32_t SniffUnits(const UnitText& text) {
    if (text.StartsWith(u"{\\rdf1")) return 0x40200;
    if (text.StartsWith(u"{\\rdf2")) return 0x80200;
    if (text.StartsWith(u"# KANJIDIC")) return 0x680000;
    if (IsDslHeader(text)) return 0x440400;
    if (LooksLikeWarodai(text)) return 0x440800;
    if (text.StartsWith(u"{\\yarxi")) return 0x480004;
    return 0;
}

// Reads up to kSniffReadLimit bytes of the file into `head`; false when the
// file cannot be opened.
bool ReadHead(const char16_t* path, std::vector<uint8_t>& head) {
    BinFile file(nullptr);
    if (!file.SetPath(path) || file.OpenRead() < 0) return false;
    head.resize(kSniffReadLimit);
    head.resize(size_t(file.Read(head.data(), int32_t(head.size()))));
    return true;
}

// The quoted name behind the first `word` of the header, on the same line:
// the opening quote is looked for over at most 1000 units, the name runs to
// the next quote, LF or zero unit, at most 49 units.
std::u16string QuotedHeaderName(const UnitText& text, std::u16string_view word) {
    const ptrdiff_t found = text.Find(word);
    if (found < 0) return {};
    size_t i = size_t(found) + word.size();
    const size_t quoteLimit = i + 1000;
    while (i < quoteLimit && text.At(i) != u'"') {
        if (text.At(i) == 0 || text.At(i) == u'\n') return {};
        ++i;
    }
    if (i == quoteLimit) return {};
    std::u16string name;
    for (++i; name.size() < 49; ++i) {
        const char16_t u = text.At(i);
        if (u == 0 || u == u'\n' || u == u'"') break;
        name += u;
    }
    return name;
}

}  // namespace

uint32_t SniffDictionaryFormat(std::span<const uint8_t> head) {
    const SniffBuffer buffer(head);
    if (uint32_t flags = SniffBytes(buffer)) return flags;
    if (uint32_t flags = SniffUnits(UnitText(buffer))) return flags;
    return LooksLikeLatinList(buffer) ? 0x450000 : 0;
}

uint32_t DetectDictionaryFileFormat(const char16_t* path) {
    std::vector<uint8_t> head;
    return ReadHead(path, head) ? SniffDictionaryFormat(head) : 0;
}

uint32_t FormatTypeFromFlags(uint32_t flags) {
    if (flags & kFormatOwnContainer) return (flags & kFormatKanji) ? 2 : 1;
    struct Rule {
        uint32_t bits;
        uint32_t type;
    };
    static constexpr Rule kRules[] = {
        {kFormatBook, 12},      {kFormatEdictFamily, 3},  {kFormatJrEdict, 4},
        {kFormatKanjidic, 6},   {kFormatPdic, 7},         {kFormatEijiro, 8},
        {kFormatDsl, 9},        {kFormatWarodai, 10},     {kFormatExamples, 11},
        {kFormatEditable | kFormatStoreDatabase, 1},      {kFormatTatoeba, 13},
        {kFormatYarxi, 14},     {kFormatLatinList, 16},
    };
    for (const Rule& rule : kRules)
        if (flags & rule.bits) return rule.type;
    return 0;
}

SourceFileInfo::SourceFileInfo(std::u16string filePath) : path(std::move(filePath)) {}

uint32_t SourceFileInfo::Detect() {
    formatType = 0;
    formatFlags = 0;
    for (auto& slot : languages) std::fill(std::begin(slot), std::end(slot), u'\0');

    std::vector<uint8_t> head;
    if (!ReadHead(path.c_str(), head) || head.empty()) return 0;
    formatFlags = SniffDictionaryFormat(head);
    formatType = FormatTypeFromFlags(formatFlags);

    auto set = [this](int slot, std::u16string_view code) {
        std::copy(code.begin(), code.end(), languages[slot]);
    };
    switch (formatType) {
    case 1: case 2: case 4: case 10: case 14: case 15:
        set(kIndexLanguage, u"jpn");
        set(kContentsLanguage, u"rus");
        break;
    case 3: case 6: case 7: case 8: case 11:
        set(kIndexLanguage, u"jpn");
        set(kContentsLanguage, u"eng");
        break;
    case 13:
        set(kIndexLanguage, u"jpn");
        set(kContentsLanguage, u"rus");
        set(kSecondContentsLanguage, u"eng");
        break;
    case 16:
        set(kIndexLanguage, u"lat");
        set(kContentsLanguage, u"eng");
        break;
    case 9: {
        const SniffBuffer buffer(head);
        const UnitText text(buffer);
        const std::u16string index = QuotedHeaderName(text, u"#INDEX_LANGUAGE");
        const std::u16string contents = QuotedHeaderName(text, u"#CONTENTS_LANGUAGE");
        if (!index.empty()) LanguageCodeFromName(languages[kIndexLanguage], index);
        if (!contents.empty()) LanguageCodeFromName(languages[kContentsLanguage], contents);
        break;
    }
    default:
        break;
    }
    return 0;
}
