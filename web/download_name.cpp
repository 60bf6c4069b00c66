#include "web/download_name.h"

#include <array>
#include <filesystem>
#include <system_error>

namespace {

char16_t AsciiUpper(char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; }

bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    return true;
}

bool IsForbiddenCharacter(char16_t c) {
    if (c < 0x20 || c == 0x7F) return true;
    for (char16_t bad : std::u16string_view(u"\\/:*?\"<>|"))
        if (c == bad) return true;
    return false;
}

bool IsDeviceName(std::u16string_view name) {
    // Windows treats a device name as the device whatever extension follows.
    std::u16string_view stem = name.substr(0, name.find(u'.'));
    while (!stem.empty() && stem.back() == u' ') stem.remove_suffix(1);
    static constexpr std::array<std::u16string_view, 6> kPlain = {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"};
    for (std::u16string_view device : kPlain)
        if (EqualsIgnoringAsciiCase(stem, device)) return true;
    if (stem.size() == 4 && (EqualsIgnoringAsciiCase(stem.substr(0, 3), u"COM") ||
                             EqualsIgnoringAsciiCase(stem.substr(0, 3), u"LPT")))
        return (stem[3] >= u'0' && stem[3] <= u'9') || stem[3] == u'\u00B9' || stem[3] == u'\u00B2' ||
               stem[3] == u'\u00B3';
    return false;
}

}  // namespace

bool IsSafeDownloadName(std::u16string_view name) {
    if (name.size() <= kDictionaryExtension.size()) return false;
    for (char16_t c : name)
        if (IsForbiddenCharacter(c)) return false;
    if (name.find(u"..") != std::u16string_view::npos) return false;
    if (name.front() == u'.' || name.front() == u' ' || name.back() == u'.' || name.back() == u' ') return false;
    if (!EqualsIgnoringAsciiCase(name.substr(name.size() - kDictionaryExtension.size()), kDictionaryExtension))
        return false;
    return !IsDeviceName(name);
}

bool LiesDirectlyInFolder(std::u16string_view fullPath, std::u16string_view folder) {
    while (!folder.empty() && folder.back() == u'\\') folder.remove_suffix(1);
    if (folder.empty() || fullPath.size() <= folder.size() + 1) return false;
    if (!EqualsIgnoringAsciiCase(fullPath.substr(0, folder.size()), folder) || fullPath[folder.size()] != u'\\')
        return false;
    std::u16string_view name = fullPath.substr(folder.size() + 1);
    return name.find(u'\\') == std::u16string_view::npos && name.find(u'/') == std::u16string_view::npos;
}

std::u16string DownloadFileName(int32_t n) {
    if (n <= 0) return u"Download.qdx";
    return u"Download-" + std::u16string(1, static_cast<char16_t>(u'0' + n / 10 % 10)) +
           std::u16string(1, static_cast<char16_t>(u'0' + n % 10)) + u".qdx";
}

bool IsDownloadFileName(std::u16string_view name) {
    if (EqualsIgnoringAsciiCase(name, DownloadFileName(0))) return true;
    const std::u16string_view numbered = u"Download-NN.qdx";
    if (name.size() != numbered.size()) return false;
    const char16_t tens = name[9], ones = name[10];
    if (tens < u'0' || tens > u'9' || ones < u'0' || ones > u'9' || (tens == u'0' && ones == u'0')) return false;
    return EqualsIgnoringAsciiCase(name.substr(0, 9), numbered.substr(0, 9)) &&
           EqualsIgnoringAsciiCase(name.substr(11), numbered.substr(11));
}

int32_t RemoveEmptyDownloads(std::u16string_view folder) {
    namespace fs = std::filesystem;
    std::error_code error;
    int32_t removed = 0;
    try {
        for (fs::directory_iterator it(fs::path(std::u16string(folder)), error), end; !error && it != end;
             it.increment(error)) {
            const fs::path& path = it->path();
            if (!IsDownloadFileName(path.filename().u16string())) continue;
            std::error_code fileError;
            if (fs::is_regular_file(path, fileError) && fs::file_size(path, fileError) == 0 && !fileError &&
                fs::remove(path, fileError))
                ++removed;
        }
    } catch (const std::exception&) {  // a name the system could not convert: the rest waits for the next start
    }
    return removed;
}
