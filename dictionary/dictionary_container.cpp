// ReadDictionaryFile: whole-file read, format check and container inflation.
// Every length in a container is checked here, once, before it is used.
#include "dictionary/dictionary_container.h"

#include "common/base/bin_file.h"
#include "common/base/zlib_buffer.h"
#include "dictionary/file_message.h"
#include "dictionary/format_detection.h"

namespace {

constexpr uint32_t kSmallFileLimit = 256;  // at most this many bytes: too small unless recognised
constexpr uint32_t kContainerHeader = 8;
constexpr uint32_t kZlibMaxRatio = 1032;
static_assert(BinFile::kWholeFilePadding == DictionaryFileContent::kPadding);

// UIStringTable slots.
constexpr int kNotDictionaryText = 177;     // "%s - not a Ostrel dictionary file!"
constexpr int kNotDictionaryCaption = 178;
constexpr int kCannotReadText = 528;        // "Cannot read file: %s"

uint32_t Fail(BinFile& file, DictionaryFileContent& out, DictionaryFileError error, std::u16string text) {
    file.Close(false);
    out.bytes.clear();
    out.size = 0;
    out.error = error;
    out.errorText = std::move(text);
    return 0;
}

uint32_t LoadU32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Inflates the container in `file` (size bytes) into `out`; false when the
// header's length is implausible or does not match what the stream gives.
bool InflateContainer(std::span<const uint8_t> file, DictionaryFileContent& out) {
    if (file.size() < kContainerHeader) return false;
    const uint32_t expected = LoadU32(file.data() + 4);
    const std::span<const uint8_t> stream = file.subspan(kContainerHeader);
    if (expected == 0 || expected > kMaxContainerContent || expected > uint64_t(stream.size()) * kZlibMaxRatio)
        return false;
    if (ZUncompressBuffer(out.bytes, expected, stream) != 0 || out.bytes.size() != expected) return false;
    out.size = expected;
    out.bytes.resize(size_t(expected) + DictionaryFileContent::kPadding, 0);
    return true;
}

}  // namespace

uint32_t ReadDictionaryFile(BinFile& file, DictionaryFileContent& out) {
    out = DictionaryFileContent{};
    const uint8_t* whole = file.OpenReadWhole();
    if (!whole) return Fail(file, out, DictionaryFileError::Unreadable, FormatPathMessage(kCannotReadText, file.path));
    const std::span<const uint8_t> bytes(whole, size_t(file.bufferSize));

    out.formatFlags = SniffDictionaryFormat(bytes);
    if (out.formatFlags == 0) {
        if (bytes.size() <= kSmallFileLimit)
            return Fail(file, out, DictionaryFileError::TooSmall, FormatPathMessage(kNotDictionaryText, file.path));
        return Fail(file, out, DictionaryFileError::UnknownFormat,
                    ShowPathMessage(kNotDictionaryText, kNotDictionaryCaption, file.path));
    }

    if (!(out.formatFlags & kFormatCompressed)) {
        out.size = uint32_t(bytes.size());
        out.bytes.assign(whole, whole + bytes.size() + BinFile::kWholeFilePadding);
        file.Close(false);
        return 1;
    }
    if (!InflateContainer(bytes, out))
        return Fail(file, out, DictionaryFileError::CorruptContainer, FormatPathMessage(kCannotReadText, file.path));
    file.Close(false);
    return 1;
}
