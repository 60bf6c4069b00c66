#include "web/server_items.h"

#include "common/base/version.h"
#include "web/download_name.h"

int32_t MatchLocalStatus(const CWebDictionary& item, const InstalledFacts* installed,
                         std::optional<uint32_t> fileSizeLow) {
    if (installed) {
        const StrSlice& version = item.Field(WebField::Version);
        uint32_t packed = 0;
        if (version.Present() && ParseVersionPackedW(&packed, installed->versionText.c_str()) && packed != 0 &&
            packed < static_cast<uint32_t>(version.value))
            return local_status::kNewerOnServer;
        const StrSlice& date = item.Field(WebField::DataDate);
        if (!installed->dateText.empty() && date.Present()) {
            for (size_t i = 0; i < date.text.size(); ++i) {
                char16_t theirs = i < installed->dateText.size() ? installed->dateText[i] : u'\0';
                if (date.text[i] != theirs)
                    return date.text[i] > theirs ? local_status::kNewerOnServer : local_status::kSame;
            }
        }
    }
    if (!fileSizeLow) return local_status::kNotInstalled;
    return *fileSizeLow == static_cast<uint32_t>(item.Field(WebField::Size).value) ? local_status::kSame
                                                                                   : local_status::kNewerOnServer;
}

int32_t ServerItemImage(const CWebDictionary& item) {
    const bool book = item.Field(WebField::Type).value == web_type::kBook;
    switch (item.localStatus) {
    case local_status::kNewerOnServer: return book ? 11 : 6;
    case local_status::kSame: return book ? 9 : 1;
    default: return book ? 10 : 5;
    }
}

std::u16string DownloadTargetPath(std::u16string_view folder, std::u16string_view fileName) {
    if (!IsSafeDownloadName(fileName)) return {};
    std::u16string path(folder);
    if (path.empty() || path.back() != u'\\') path += u'\\';
    path += fileName;
    return path.size() > kTargetPathMaxUnits ? std::u16string() : path;
}
