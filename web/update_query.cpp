#include "web/update_query.h"

#include <cstdio>
#include <utility>

#include "common/text/utf8.h"

namespace {

constexpr size_t kFieldMaxBytes = 255;

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", value);
    return text;
}

// File name without folder (after the last "\") and without extension (cut at the last ".").
std::u16string_view DictionaryName(std::u16string_view path) {
    size_t slash = path.rfind(u'\\');
    if (slash != std::u16string_view::npos) path.remove_prefix(slash + 1);
    size_t dot = path.rfind(u'.');
    if (dot != std::u16string_view::npos) path = path.substr(0, dot);
    return path;
}

}  // namespace

std::string Utf8CutBetweenCharacters(std::u16string_view text, size_t maxBytes) {
    std::string utf8 = Utf16ToUtf8(text);
    if (utf8.size() <= maxBytes) return utf8;
    size_t end = maxBytes;
    while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) --end;
    utf8.resize(end);
    return utf8;
}

std::string BuildUpdateQuery(const UpdateQueryFields& fields) {
    std::string body = "P01=Pro_" + std::to_string(kProgramMajor) + "." + std::to_string(kProgramMinor) + "." +
                       std::to_string(kProgramBuild);
    if (fields.registryError != 0) body += "&P15=" + Hex(fields.registryError);
    std::string id = Utf8CutBetweenCharacters(fields.installationId, kFieldMaxBytes);
    if (!id.empty() && id.back() == '}') id.pop_back();
    if (!id.empty() && id.front() == '{') id.erase(0, 1);
    if (!fields.installationId.empty()) body += "&P02=" + id;
    body += "&P04=" + std::to_string(fields.language);
    body += "&P12=" + std::to_string(fields.workingDays);
    body += "&P14=" + std::to_string(fields.minutes);
    body += "&P16=";
    bool first = true;
    for (const std::u16string& path : fields.visibleDictionaryPaths) {
        if (!first) body += '+';
        body += Utf8CutBetweenCharacters(DictionaryName(path), kFieldMaxBytes);
        first = false;
    }
    body += "&P18=" + Hex(fields.programCrc);
    return body;
}

void ScrambleUpdateQuery(std::string& body) {
    for (char& c : body) {
        if (c == '&') c = '~';
        else if (c == '=') c = '#';
    }
    size_t n = body.size() & ~size_t(1);
    for (size_t i = 1; i < n / 2; i += 2) std::swap(body[i], body[n - i]);
    body += "\r\n";
}
