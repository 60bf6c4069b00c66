#include "web/home_url.h"

#include <algorithm>
#include <string>

namespace {

constexpr std::u16string_view kHttp = u"http://";
constexpr std::u16string_view kHttps = u"https://";

bool StartsWithIgnoringCase(std::u16string_view text, std::u16string_view lowerPrefix) {
    if (text.size() < lowerPrefix.size()) return false;
    for (size_t i = 0; i < lowerPrefix.size(); ++i) {
        const char16_t c = text[i] >= u'A' && text[i] <= u'Z' ? static_cast<char16_t>(text[i] + 32) : text[i];
        if (c != lowerPrefix[i]) return false;
    }
    return true;
}

// 1-65,535 from a text of digits only; 0 otherwise.
uint32_t ReadPort(std::u16string_view text) {
    if (text.empty() || text.size() > 5) return 0;
    uint32_t port = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') return 0;
        port = port * 10 + (c - u'0');
    }
    return port <= 65535 ? port : 0;
}

}  // namespace

size_t WebSchemeLength(std::u16string_view url) {
    if (StartsWithIgnoringCase(url, kHttp)) return kHttp.size();
    if (StartsWithIgnoringCase(url, kHttps)) return kHttps.size();
    return 0;
}

HomeUrlParts SplitHomeUrl(std::u16string_view url) {
    HomeUrlParts parts;
    if (url.size() < 2) {
        parts.valid = false;
        return parts;
    }
    std::u16string_view rest = url;
    const size_t scheme = WebSchemeLength(rest);
    rest.remove_prefix(scheme);
    if (scheme == kHttps.size()) {
        parts.port = kHttpsPort;
        parts.secure = true;
    }
    size_t slash = rest.find(u'/');
    std::u16string_view hostPart = rest.substr(0, slash);
    if (slash != std::u16string_view::npos) parts.path = rest.substr(slash);
    size_t colon = hostPart.find(u':');
    if (colon != std::u16string_view::npos) {
        uint32_t port = ReadPort(hostPart.substr(colon + 1));
        if (port == 0) parts.valid = false;
        else parts.port = static_cast<uint16_t>(port);
        hostPart = hostPart.substr(0, colon);
    }
    parts.host = hostPart;
    if (parts.host.empty()) parts.valid = false;
    return parts;
}

void AppendTimestampQuery(std::u16string& url, char16_t separator, int64_t secondsSince1970) {
    url += separator;
    std::string digits = std::to_string(secondsSince1970);
    url.append(digits.begin(), digits.end());
}

std::u16string HomeSiteBaseUrl(std::u16string_view url) {
    // The scheme as the base is written from here on: in lower case.
    const size_t scheme = WebSchemeLength(url);
    std::u16string withScheme(scheme == kHttp.size() ? kHttp : kHttps);
    withScheme += url.substr(scheme);
    HomeUrlParts parts = SplitHomeUrl(withScheme);
    std::u16string base(parts.secure ? kHttps : kHttp);
    base += parts.host;
    size_t hostEnd = withScheme.find(u'/', (parts.secure ? kHttps : kHttp).size());
    std::u16string_view hostPart = std::u16string_view(withScheme).substr(0, hostEnd);
    // The port as the user wrote it, so a site on its own port stays reachable.
    if (parts.valid && hostPart.find(u':', (parts.secure ? kHttps : kHttp).size()) != std::u16string_view::npos) {
        std::string digits = std::to_string(parts.port);
        base += u':';
        base.append(digits.begin(), digits.end());
    }
    base += u'/';
    return base;
}

int64_t ParseContentLength(std::u16string_view text) {
    // Optional whitespace around the value is blanks and tabs; the value is
    // one or more digits, leading zeros allowed.
    auto blank = [](char16_t c) { return c == u' ' || c == u'\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    if (text.empty()) return -1;
    for (char16_t c : text)
        if (c < u'0' || c > u'9') return -1;
    while (text.size() > 1 && text.front() == u'0') text.remove_prefix(1);
    if (text.size() > 18) return kContentLengthTooLarge;
    int64_t value = 0;
    for (char16_t c : text) value = value * 10 + (c - u'0');
    return value;
}

int64_t InitialReplyCapacity(int64_t contentLength) {
    if (contentLength < 1) return kReadPieceBytes;
    if (contentLength > kMemoryReplyCap) return 0;
    return contentLength + 1;
}

int64_t GrownReplyCapacity(int64_t capacity, int64_t received) {
    if (received >= kMemoryReplyCap || capacity < 1) return 0;
    const int64_t needed = received + kReadPieceBytes + 1;
    while (capacity < needed) capacity *= capacity >= kDoublingFrom ? 2 : 4;
    return std::min(capacity, kMemoryReplyCap + 1);  // the cap and the terminating zero
}

int32_t ProgressPerMille(int64_t received, int64_t total) {
    if (total <= 0 || received <= 0) return 0;
    int64_t position = total >= 1000000 ? received / (total / 1000) : received * 1000 / total;
    return static_cast<int32_t>(std::min<int64_t>(position, 1000));
}
