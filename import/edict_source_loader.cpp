// The EDICT family's source loader: whole file, then one decoding by the
// sniffer's encoding bits.
#include "import/edict_source_loader.h"

#include "common/base/bin_file.h"
#include "common/text/utf8.h"
#include "dictionary/format_detection.h"
#include "import/edict_text_decoding.h"
#include "import/source_text_checks.h"

#include <algorithm>

namespace {

constexpr uint32_t kMinimumSourceBytes = 15;

bool IsEdictFamily(uint32_t flags) {
    return (flags & kFormatForeign) != 0 && (flags & (kFormatKanjidic | kFormatEdictFamily | kFormatJrEdict)) != 0;
}

// A UTF-16 source as little-endian units (a leading byte-order mark is kept;
// the parsers skip it); a last odd byte is dropped.
std::u16string Utf16Units(std::span<const uint8_t> bytes) {
    std::u16string text(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    return text;
}

// Whether `tail`, the last bytes of a source, begin a character they do not
// finish: the file was cut inside its last character.
bool BeginsACutCharacter(std::span<const uint8_t> tail, bool utf8) {
    if (tail.empty()) return false;
    const uint8_t lead = tail[0];
    auto all = [&](auto test) { return std::all_of(tail.begin() + 1, tail.end(), test); };
    if (utf8) {
        const size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                            : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
        return tail.size() < length && all([](uint8_t b) { return (b & 0xC0) == 0x80; });
    }
    const bool pairByte = lead >= 0xA1 && lead <= 0xFE;
    if (tail.size() == 1) return pairByte || lead == 0x8E || lead == 0x8F;
    return tail.size() == 2 && lead == 0x8F && tail[1] >= 0xA1 && tail[1] <= 0xFE;
}

// The bytes of a source without a character cut at its end, when that alone
// made it fail the check: such a source was cut short, not written in another
// encoding.
std::span<const uint8_t> WithoutCutCharacter(std::span<const uint8_t> bytes, bool utf8) {
    for (size_t cut = 1; cut <= 3 && cut < bytes.size(); ++cut) {
        const std::span<const uint8_t> kept = bytes.first(bytes.size() - cut);
        if (BeginsACutCharacter(bytes.last(cut), utf8) && (utf8 ? FirstLineNotUtf8(kept) : FirstLineNotEucJp(kept)) == 0)
            return kept;
    }
    return bytes;
}

}  // namespace

int32_t DecodeEdictSource(uint32_t& formatFlags, std::span<const uint8_t> bytes, std::u16string& text,
                          std::u16string* problem) {
    text.clear();
    if (!IsEdictFamily(formatFlags) || bytes.size() < kMinimumSourceBytes) return 0;
    // JR-EDICT's mixed text is checked in its EUC-JP parts: its Windows-1251 part takes any byte.
    const bool eucJp = (formatFlags & kFormatEucJp) != 0, utf8 = !eucJp && (formatFlags & kFormatUtf8) != 0;
    const bool mixed = !eucJp && !utf8 && (formatFlags & kFormatJrEdictMixedText) != 0;
    int64_t bad = eucJp   ? FirstLineNotEucJp(bytes)
                  : utf8  ? FirstLineNotUtf8(bytes)
                  : mixed ? FirstLineNotJrEdictMixedText(bytes)
                          : 0;
    bool cutCharacter = false;
    if (bad != 0 && (eucJp || utf8)) {
        const std::span<const uint8_t> kept = WithoutCutCharacter(bytes, utf8);
        cutCharacter = kept.size() < bytes.size();
        if (cutCharacter) {
            bytes = kept;
            bad = 0;
        }
    }
    if (bad != 0) {
        if (problem) *problem = LineNotInEncodingText(bad, utf8 ? u"UTF-8" : u"EUC-JP");
        return 0;
    }
    uint32_t applied = 0;
    if (formatFlags & kFormatEucJp) {
        text = DecodeEucJp(bytes);
        applied = kFormatEucJp;
    } else if (formatFlags & kFormatUtf8) {
        text = Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        applied = kFormatUtf8;
    } else if (formatFlags & kFormatJrEdictMixedText) {
        text = DecodeJrEdictMixedText(bytes);
        applied = kFormatJrEdictMixedText;
    } else {
        text = Utf16Units(bytes);
    }
    // The cut character stays as one the text cannot show: the line it ends
    // is told as cut, whatever the cut left of it.
    if (cutCharacter) text.push_back(u'\uFFFD');
    if (text.empty()) return 0;
    formatFlags &= ~applied;
    return 1;
}

int32_t LoadEdictSource(uint32_t& formatFlags, std::u16string_view path, std::u16string& text,
                        std::u16string* problem) {
    text.clear();
    BinFile file(nullptr);
    const std::u16string zeroTerminated(path);
    if (!file.SetPath(zeroTerminated.c_str())) return 0;
    const uint8_t* bytes = file.OpenReadWhole();
    if (bytes == nullptr) return 0;
    return DecodeEdictSource(formatFlags, {bytes, static_cast<size_t>(file.bufferSize)}, text, problem);
}

bool LoadEdictFamilySource(std::u16string_view path, uint32_t formatFlags, std::u16string& text,
                           std::u16string& message) {
    message.clear();
    return LoadEdictSource(formatFlags, path, text, &message) != 0;
}
