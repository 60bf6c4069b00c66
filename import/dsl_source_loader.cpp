// ReadSourceWithIncludes and ReadUnicodeTextFile: the DSL and WARODAI
// sources read whole as UTF-16LE units.
#include "import/dsl_source_loader.h"

#include "common/base/bin_file.h"
#include "dictionary/format_detection.h"
#include "import/compile_report.h"

namespace {

constexpr size_t kMaximumIncludeName = 255;

#ifdef _WIN32
constexpr char16_t kSeparator = u'\\';
#else
constexpr char16_t kSeparator = u'/';
#endif

enum class FileRead { Ok, Missing, OddLength };

FileRead ReadUnits(std::u16string_view path, std::u16string& units, size_t* bytesRead = nullptr) {
    BinFile file(nullptr);
    const std::u16string zeroTerminated(path);
    if (!file.SetPath(zeroTerminated.c_str())) return FileRead::Missing;
    const uint8_t* bytes = file.OpenReadWhole();
    if (bytes == nullptr) return FileRead::Missing;
    const size_t size = static_cast<size_t>(file.bufferSize);
    if (bytesRead) *bytesRead = size;
    if (size % 2 != 0) return FileRead::OddLength;
    units.resize(size / 2);
    for (size_t i = 0; i < units.size(); ++i) units[i] = static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    return FileRead::Ok;
}

// Reads a whole UTF-16 source; false with the reason when it has an odd
// number of bytes (a file cut inside a character). A file that cannot be read
// is false with no reason of its own: the compiler says it cannot be read.
bool ReadWholeUnits(std::u16string_view path, std::u16string& units, std::u16string& message) {
    size_t bytes = 0;
    const FileRead read = ReadUnits(path, units, &bytes);
    if (read == FileRead::OddLength) message = OddByteCountText(static_cast<int64_t>(bytes));
    return read == FileRead::Ok;
}

bool IsIncludeLine(std::u16string_view line) {
    constexpr std::u16string_view kWord = u"#INCLUDE";
    return line.size() > kWord.size() && line.substr(0, kWord.size()) == kWord && line[kWord.size()] <= 0x20;
}

// The file an include line names, against the including file's folder;
// empty when the line names none.
std::u16string IncludedPath(std::u16string_view including, std::u16string_view line) {
    const size_t open = line.find(u'"');
    if (open == line.npos) return {};
    std::u16string name;
    for (size_t i = open + 1; i < line.size() && line[i] != u'"' && line[i] >= 0x20; ++i) {
        if (name.size() == kMaximumIncludeName) break;
        name.push_back(line[i] == u'/' || line[i] == u'\\' ? kSeparator : line[i]);
    }
    if (name.empty()) return {};
    const bool absolute = name[0] == kSeparator || (name.size() > 1 && name[1] == u':');
    if (absolute) return name;
    const size_t slash = including.find_last_of(u"/\\");
    return slash == including.npos ? name : std::u16string(including.substr(0, slash + 1)) + name;
}

}  // namespace

bool ExpandDslIncludes(std::u16string_view path, std::u16string_view text, std::u16string& expanded,
                       std::u16string& message) {
    expanded.clear();
    expanded.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find(u'\n', at);
        const size_t next = end == text.npos ? text.size() : end + 1;
        if (end == text.npos) end = text.size();
        const std::u16string_view line = text.substr(at, end - at);
        const std::u16string name = IsIncludeLine(line) ? IncludedPath(path, line) : std::u16string();
        if (name.empty()) {
            expanded.append(text.substr(at, next - at));
        } else {
            std::u16string included;
            if (!ReadWholeUnits(name, included, message)) {
                message = message.empty() ? IncludeUnreadableText(name) : name + u": " + message;
                return false;
            }
            expanded += included;
        }
        at = next;
    }
    return true;
}

bool ReadSourceWithIncludes(std::u16string_view path, uint32_t formatFlags, std::u16string& text,
                            std::u16string& message) {
    message.clear();
    text.clear();
    std::u16string whole;
    if ((formatFlags & kFormatDsl) == 0 || !ReadWholeUnits(path, whole, message)) return false;
    return ExpandDslIncludes(path, whole, text, message);
}

bool ReadUnicodeTextFile(std::u16string_view path, uint32_t formatFlags, std::u16string& text,
                         std::u16string& message) {
    message.clear();
    text.clear();
    return (formatFlags & kFormatWarodai) != 0 && ReadWholeUnits(path, text, message);
}
