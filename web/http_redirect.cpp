#include "web/http_redirect.h"

#include <vector>

namespace {

struct Reference {
    std::u16string scheme;     // without ":"; lower case
    bool hasAuthority = false;
    std::u16string authority;
    std::u16string path;
    bool hasQuery = false;
    std::u16string query;      // without "?"
};

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

bool IsSchemeChar(char16_t c, bool first) {
    const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    if (first) return letter;
    return letter || (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
}

// RFC 3986, appendix B: scheme ":" "//" authority path "?" query "#" fragment.
Reference Parse(std::u16string_view text) {
    Reference r;
    if (size_t hash = text.find(u'#'); hash != std::u16string_view::npos) text = text.substr(0, hash);
    size_t colon = text.find(u':');
    if (colon != std::u16string_view::npos && colon > 0) {
        bool scheme = true;
        for (size_t i = 0; i < colon && scheme; ++i) scheme = IsSchemeChar(text[i], i == 0);
        if (scheme) {
            for (size_t i = 0; i < colon; ++i) r.scheme += Lower(text[i]);
            text.remove_prefix(colon + 1);
        }
    }
    if (text.starts_with(u"//")) {
        text.remove_prefix(2);
        size_t end = text.find_first_of(u"/?");
        r.hasAuthority = true;
        r.authority = text.substr(0, end);
        text = end == std::u16string_view::npos ? std::u16string_view() : text.substr(end);
    }
    size_t question = text.find(u'?');
    r.path = text.substr(0, question);
    if (question != std::u16string_view::npos) {
        r.hasQuery = true;
        r.query = text.substr(question + 1);
    }
    return r;
}

// RFC 3986, 5.2.4.
std::u16string RemoveDotSegments(std::u16string_view input) {
    std::u16string out;
    while (!input.empty()) {
        if (input.starts_with(u"../")) input.remove_prefix(3);
        else if (input.starts_with(u"./")) input.remove_prefix(2);
        else if (input.starts_with(u"/./")) input.remove_prefix(2);
        else if (input == u"/.") input = u"/";
        else if (input.starts_with(u"/../") || input == u"/..") {
            input = input.size() == 3 ? std::u16string_view(u"/") : input.substr(3);
            size_t last = out.rfind(u'/');
            out.erase(last == std::u16string::npos ? 0 : last);
        } else if (input == u"." || input == u"..") {
            input = {};
        } else {
            size_t next = input.find(u'/', input.front() == u'/' ? 1 : 0);
            out += input.substr(0, next);
            input = next == std::u16string_view::npos ? std::u16string_view() : input.substr(next);
        }
    }
    return out;
}

// RFC 3986, 5.2.3.
std::u16string Merge(const Reference& base, std::u16string_view path) {
    if (base.hasAuthority && base.path.empty()) return u"/" + std::u16string(path);
    size_t slash = base.path.rfind(u'/');
    return (slash == std::u16string::npos ? std::u16string() : base.path.substr(0, slash + 1)) + std::u16string(path);
}

}  // namespace

bool IsRedirectStatus(int32_t status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

std::u16string ResolveRedirectUrl(std::u16string_view base, std::u16string_view location) {
    // Blanks around the header value are not part of it.
    while (!location.empty() && (location.front() == u' ' || location.front() == u'\t')) location.remove_prefix(1);
    while (!location.empty() && (location.back() == u' ' || location.back() == u'\t')) location.remove_suffix(1);
    const Reference b = Parse(base);
    Reference r = Parse(location);
    // "http:g" from an http URL is read as "g", as the standard allows.
    if (r.scheme == b.scheme && !r.hasAuthority) r.scheme.clear();
    Reference t;
    if (!r.scheme.empty()) {
        t = r;
        t.path = RemoveDotSegments(r.path);
    } else {
        t.scheme = b.scheme;
        if (r.hasAuthority) {
            t.hasAuthority = true;
            t.authority = r.authority;
            t.path = RemoveDotSegments(r.path);
            t.hasQuery = r.hasQuery;
            t.query = r.query;
        } else {
            t.hasAuthority = b.hasAuthority;
            t.authority = b.authority;
            if (r.path.empty()) {
                t.path = b.path;
                t.hasQuery = r.hasQuery || b.hasQuery;
                t.query = r.hasQuery ? r.query : b.query;
            } else {
                t.path = RemoveDotSegments(r.path.front() == u'/' ? r.path : Merge(b, r.path));
                t.hasQuery = r.hasQuery;
                t.query = r.query;
            }
        }
    }
    if ((t.scheme != u"http" && t.scheme != u"https") || !t.hasAuthority || t.authority.empty()) return {};
    std::u16string url = t.scheme + u"://" + t.authority + (t.path.empty() ? u"/" : t.path);
    if (t.hasQuery) url += u"?" + t.query;
    return url;
}

std::u16string VerbAfterRedirect(int32_t status, std::u16string_view verb) {
    if (status == 303 && verb != u"HEAD") return u"GET";
    if ((status == 301 || status == 302) && verb == u"POST") return u"GET";
    return std::u16string(verb);
}
