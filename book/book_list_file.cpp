#include "book/book_list_file.h"

#include "common/text/utf8.h"

namespace {

std::u16string DecodeList(std::string_view bytes) {
    if (bytes.size() >= 2 && static_cast<uint8_t>(bytes[0]) == 0xFF && static_cast<uint8_t>(bytes[1]) == 0xFE) {
        std::u16string text;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            text.push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) | static_cast<uint8_t>(bytes[i + 1]) << 8));
        return text;
    }
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    return Utf8ToUtf16(bytes);
}

bool IsAbsolute(std::u16string_view path) {
    if (path.empty()) return false;
    if (path[0] == u'/' || path[0] == u'\\') return true;
    return path.size() >= 2 && path[1] == u':';
}

}  // namespace

BookListFile ParseBookListFile(std::string_view bytes, std::u16string_view listPath) {
    BookListFile list;
    const std::u16string text = DecodeList(bytes);
    const size_t slash = listPath.find_last_of(u"/\\");
    const std::u16string folder = slash == std::u16string_view::npos ? std::u16string()
                                                                      : std::u16string(listPath.substr(0, slash + 1));
    int32_t number = 0;
    for (size_t at = 0; at < text.size() && number < kMaxListLines;) {
        size_t end = text.find(u'\n', at);
        if (end == std::u16string::npos) end = text.size();
        std::u16string_view line(text.data() + at, end - at);
        at = end + 1;
        ++number;
        while (!line.empty() && (line.back() == u'\r' || line.back() == u'\n')) line.remove_suffix(1);
        if (static_cast<int32_t>(line.size()) > kMaxListPathUnits) {
            list.overlongLine = number;
            return list;
        }
        if (line.size() <= 2 || line[0] == u';' || line[0] == u'#') continue;
        list.paths.push_back(IsAbsolute(line) ? std::u16string(line) : folder + std::u16string(line));
    }
    return list;
}

std::u16string FinishedBookVersion(std::u16string_view version) {
    std::u16string finished(version);
    if (!finished.empty() && finished.back() == u'P') finished.back() = u'I';
    return finished;
}
