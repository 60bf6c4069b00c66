#include "web/news_items.h"

#include <string>

#include "common/base/version.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

NewsItem ReadItem(std::string_view reply, int32_t item) {
    NewsItem found;
    std::string key = "News";
    key += static_cast<char>('0' + item);
    key += '_';
    size_t at = reply.find(key);
    if (at == std::string_view::npos) return found;
    std::string_view rest = reply.substr(at + key.size());
    size_t digits = 0;
    uint32_t serial = 0;
    while (digits < rest.size() && IsDigit(rest[digits])) {
        if (digits == 6) return found;  // a seventh digit: absent
        serial = serial * 10 + static_cast<uint32_t>(rest[digits] - '0');
        ++digits;
    }
    if (digits == 0 || digits >= rest.size() || rest[digits] != '=') return found;
    rest.remove_prefix(digits + 1);
    found.serial = serial;
    for (char c : rest) {
        auto byte = static_cast<unsigned char>(c);
        if (found.value.size() == kNewsValueMaxBytes || byte < 0x21 || byte > 0x7F || c == '<') break;
        found.value += c;
    }
    return found;
}

}  // namespace

std::array<NewsItem, kNewsItems> ParseNewsItems(std::string_view reply) {
    std::array<NewsItem, kNewsItems> items;
    for (int32_t i = 0; i < kNewsItems; ++i) items[i] = ReadItem(reply, i + 1);
    return items;
}

char16_t NewsItemCharacter(int32_t item) { return static_cast<char16_t>(u'0' + item); }

bool AnnouncedNewerVersion(const NewsItem& item, uint32_t noRemind, uint32_t version[4]) {
    if (item.serial == 0 || item.serial <= noRemind || item.value.empty()) return false;
    if (!ParseVersionA(version, item.value.c_str())) return false;
    if (version[0] != 11) return version[0] > 11;
    if (version[1] != 11) return version[1] > 11;
    return version[2] > 0;
}

std::u16string EditionName(const uint32_t version[4]) {
    std::string text = "Ostrel Pro " + std::to_string(version[0]);
    if (version[1] != 0 || version[2] != 0) text += "." + std::to_string(version[1]);
    if (version[2] != 0) text += "." + std::to_string(version[2]);
    return std::u16string(text.begin(), text.end());
}

std::u16string DownloadPage(int32_t language) {
    if (language == 0) return u"download/download_r.htm";
    if (language == 2) return u"download/download_j.htm";
    return u"download/download_e.htm";
}
