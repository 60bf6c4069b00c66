// The news items of the update reply and the decision to announce a newer
// program. Items are found anywhere in the 8-bit reply as
//   "News" <n> "_" <1-6 digits: serial> "=" <value: ≤ 10 bytes of 0x21-0x7F but "<">
// with n one character counted up from "1" (the tenth is ":"). A seventh
// digit, or digits not followed by "=", make the item absent (serial 0).
// Item 2 announces a program version; the user's "do not remind me" is the
// serial kept as "NoRemind2".
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr int32_t kNewsItems = 10;
inline constexpr int32_t kUpdateNewsItem = 2;
inline constexpr size_t kNewsValueMaxBytes = 10;

struct NewsItem {
    uint32_t serial = 0;  // 0: absent
    std::string value;
};

// Items 1-10 at indexes 0-9.
std::array<NewsItem, kNewsItems> ParseNewsItems(std::string_view reply);
// The character that numbers item 1-10 in "News<n>_" and "NoRemind<n>".
char16_t NewsItemCharacter(int32_t item);

// The version announced by item 2 when it is to be shown: serial above
// `noRemind`, a value that reads as a version above 11.11.0. False otherwise.
bool AnnouncedNewerVersion(const NewsItem& item, uint32_t noRemind, uint32_t version[4]);
// "Ostrel Pro 12", "Ostrel Pro 11.12" or "Ostrel Pro 11.12.3".
std::u16string EditionName(const uint32_t version[4]);
// The download page under the home site for the interface language.
std::u16string DownloadPage(int32_t language);
