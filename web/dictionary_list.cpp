#include "web/dictionary_list.h"

#include <algorithm>

#include "common/base/version.h"
#include "common/text/utf8.h"
#include "web/download_name.h"
#include "web/home_url.h"

namespace {

bool IsBlank(char16_t c) { return c < 0x21 || c == 0xFEFF; }

std::u16string_view Trim(std::u16string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

constexpr std::array<std::u16string_view, static_cast<size_t>(WebField::Count)> kKeys = {
    u"Url", u"Filename", u"Articles", u"Size", u"DataDate", u"BuildDate", u"Version", u"AppVerMin",
    u"AppVerMax", u"ShortNameR", u"ShortNameE", u"ShortNameJ", u"LongNameR", u"LongNameE", u"LongNameJ",
    u"CompiledBy", u"Source", u"Action", u"Type"};

void FillField(CWebDictionary& item, std::u16string_view key, std::u16string_view value) {
    for (size_t i = 0; i < kKeys.size(); ++i) {
        if (kKeys[i] != key) continue;
        StrSlice& slice = item.fields[i];
        slice = StrSlice{value, 0};
        switch (static_cast<WebField>(i)) {
        case WebField::Articles:
        case WebField::Size: slice.ParseNumber(); break;
        case WebField::Version:
        case WebField::AppVerMin:
        case WebField::AppVerMax: slice.ParseVersion(); break;
        case WebField::Type: slice.value = WebTypeCode(value); break;
        default: break;
        }
        return;
    }
}

}  // namespace

int32_t StrSlice::ParseNumber() {
    value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') break;
        if (value < 0 || value >= 200000000) value = -1;
        else value = value * 10 + (c - u'0');
    }
    return value;
}

int32_t StrSlice::ParseVersion() {
    std::u16string copy(text);  // the parser reads up to a terminating zero
    uint32_t packed = 0;
    int32_t ok = ParseVersionPackedW(&packed, copy.c_str());
    value = static_cast<int32_t>(packed);
    return ok;
}

std::u16string StrSlice::CopyTo(int32_t capacity) const {
    if (capacity <= 0) return {};
    return std::u16string(text.substr(0, static_cast<size_t>(capacity - 1)));
}

std::u16string StrSlice::CopyGrouped(bool english) const {
    const char16_t separator = english ? u',' : u' ';
    std::u16string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (i > 0 && (text.size() - i) % 3 == 0) out += separator;
        out += text[i];
    }
    return out;
}

std::u16string CWebDictionary::GetDownloadUrl() const {
    const StrSlice& url = Field(WebField::Url);
    const StrSlice& name = Field(WebField::Filename);
    if (url.text.size() + name.text.size() > static_cast<size_t>(kDownloadUrlMaxUnits)) return {};
    return std::u16string(url.text) + std::u16string(name.text);
}

int32_t WebTypeCode(std::u16string_view text) {
    if (text == u"Dictionary") return web_type::kDictionary;
    if (text == u"Book") return web_type::kBook;
    if (text == u"Install") return web_type::kInstall;
    if (text == u"Upgrade") return web_type::kUpgrade;
    return web_type::kUnknown;
}

int32_t JudgeWebDictionary(const CWebDictionary& item) {
    const StrSlice& url = item.Field(WebField::Url);
    const StrSlice& name = item.Field(WebField::Filename);
    if (!url.Present()) return web_item::kNoUrlOrFilename;
    if (url.text.size() < 8) return web_item::kShortUrl;
    if (url.text.size() > static_cast<size_t>(kWebFieldMaxUnits)) return web_item::kLongUrl;
    if (!name.Present() || name.text.size() > static_cast<size_t>(kWebFieldMaxUnits))
        return web_item::kNoUrlOrFilename;
    if (!IsSafeDownloadName(name.text)) return web_item::kUnsafeFilename;
    if (url.text.size() + name.text.size() > static_cast<size_t>(kDownloadUrlMaxUnits))
        return web_item::kDownloadUrlTooLong;
    // Only what a transfer can fetch is offered: an item the request line
    // would refuse (file:, ftp:, no host) would install nothing, unsaid.
    if (WebSchemeLength(url.text) == 0 || !SplitHomeUrl(item.GetDownloadUrl()).valid) return web_item::kNotWebUrl;
    if (item.Field(WebField::Size).value <= 0) return web_item::kNoSize;
    const StrSlice& minimum = item.Field(WebField::AppVerMin);
    if (minimum.Present() && static_cast<uint32_t>(minimum.value) > kProgramPackedVersion)
        return web_item::kProgramTooOld;
    const StrSlice& maximum = item.Field(WebField::AppVerMax);
    if (maximum.Present() && static_cast<uint32_t>(maximum.value) < kProgramPackedVersion)
        return web_item::kProgramTooNew;
    return web_item::kUsable;
}

void CWebDictionaries::SetText(std::string_view utf8) {
    items_.clear();
    ++generation_;
    text_ = Utf8ToUtf16(utf8);
    hasText_ = true;
}

int32_t CWebDictionaries::Parse() {
    if (!hasText_) return 0;
    items_.clear();
    ++generation_;
    std::u16string_view rest = text_;
    for (int32_t line = 0; line < kWebListMaxLines && !rest.empty(); ++line) {
        size_t end = rest.find(u'\n');
        std::u16string_view text = rest.substr(0, end);
        rest = end == std::u16string_view::npos ? std::u16string_view() : rest.substr(end + 1);
        size_t equals = text.find(u'=');
        std::u16string_view key = Trim(text.substr(0, equals));
        if (key.empty()) continue;
        if (key.size() > 4 && key.starts_with(u"[Dic")) {
            items_.emplace_back();
            continue;
        }
        if (equals == std::u16string_view::npos || items_.empty()) continue;
        std::u16string_view value = Trim(text.substr(equals + 1));
        if (!value.empty()) FillField(items_.back(), key, value);
    }
    for (CWebDictionary& item : items_) item.validity = JudgeWebDictionary(item);
    return Count();
}

void CWebDictionaries::Clear() {
    text_.clear();
    hasText_ = false;
    items_.clear();
    ++generation_;
}
