// The EDICT family's source loader: whole file, then one decoding by the
// sniffer's encoding bits.
#include "import/edict_source_loader.h"

#include "common/base/bin_file.h"
#include "common/text/utf8.h"
#include "dictionary/format_detection.h"
#include "import/edict_text_decoding.h"
#include "import/source_text_checks.h"

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

}  // namespace

int32_t DecodeEdictSource(uint32_t& formatFlags, std::span<const uint8_t> bytes, std::u16string& text,
                          std::u16string* problem) {
    text.clear();
    if (!IsEdictFamily(formatFlags) || bytes.size() < kMinimumSourceBytes) return 0;
    // JR-EDICT's mixed text has no invalid bytes: its Windows-1251 part takes any.
    const bool eucJp = (formatFlags & kFormatEucJp) != 0, utf8 = !eucJp && (formatFlags & kFormatUtf8) != 0;
    if (const int64_t bad = eucJp ? FirstLineNotEucJp(bytes) : utf8 ? FirstLineNotUtf8(bytes) : 0; bad != 0) {
        if (problem) *problem = LineNotInEncodingText(bad, eucJp ? u"EUC-JP" : u"UTF-8");
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
