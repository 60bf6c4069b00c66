// The list of dictionaries the home site offers for download
// ("update/dictionary_list.txt"), kept as UTF-16 text, parsed into items and
// judged usable or not for this program. Network input: every field is a
// view into the list's own buffer, and the items are replaced as a whole
// (with a new generation number) whenever the text changes.
//
// The text (UTF-8 on the wire), one "key=value" a line:
// | line                  | meaning                                              |
// |-----------------------|------------------------------------------------------|
// | [Dic...]              | a key longer than 4 units starting "[Dic": new item   |
// | Url=<folder URL>      | where the file lies on the server                    |
// | Filename=<name>       | appended to Url; also the installed file's name      |
// | Articles=, Size=      | decimal numbers (Size in bytes)                      |
// | DataDate=, BuildDate= | texts (DataDate is compared with the installed one)  |
// | Version=, AppVerMin=, AppVerMax= | up to four dot-separated numbers ≤ 100    |
// | ShortName{R,E,J}=, LongName{R,E,J}=, CompiledBy=, Source=, Action= | texts   |
// | Type=                 | Dictionary 1, Book 2, Install 3, Upgrade 4, else -1  |
// Lines end at LF (a CR is a blank); units below U+0021 and U+FEFF are blanks
// around keys and values; at most 10,000 lines are read; keys are
// case-sensitive; a repeated key replaces the earlier value; lines before the
// first item, with an empty value or an unknown key are ignored.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A piece of the list text and its parsed value (number, packed version or
// type code, by key). Never owns its text.
struct StrSlice {
    std::u16string_view text;  // empty when the key was absent
    int32_t value = 0;

    bool Present() const { return !text.empty(); }
    // Leading decimal digits; -1 (for good) once a digit arrives while the
    // value is already at least 200,000,000.
    int32_t ParseNumber();
    // Packs up to four numbers ≤ 100 one per byte (11.11.0.2 → 0x0B0B0002);
    // 0 with value 0 when a number exceeds 100, else 1.
    int32_t ParseVersion();
    // At most capacity − 1 units.
    std::u16string CopyTo(int32_t capacity) const;
    // The digits with a separator before every group of three counted from
    // the right: "," in the English interface, a blank otherwise.
    std::u16string CopyGrouped(bool english) const;
};

enum class WebField : int32_t {
    Url, Filename, Articles, Size, DataDate, BuildDate, Version, AppVerMin, AppVerMax,
    ShortNameR, ShortNameE, ShortNameJ, LongNameR, LongNameE, LongNameJ, CompiledBy, Source, Action, Type,
    Count
};

// Validity states: 0 usable, else 1 plus one reason bit. The last three are
// this program's own: a file name that could leave the Dictionaries folder,
// a download URL that would not fit, and one that is not an http:// or
// https:// address with a host.
namespace web_item {
inline constexpr int32_t kUsable = 0;
inline constexpr int32_t kNew = 1;
inline constexpr int32_t kShortUrl = 3;
inline constexpr int32_t kLongUrl = 5;
inline constexpr int32_t kNoUrlOrFilename = 9;
inline constexpr int32_t kNoSize = 17;
inline constexpr int32_t kProgramTooOld = 33;
inline constexpr int32_t kProgramTooNew = 65;
inline constexpr int32_t kUnsafeFilename = 129;
inline constexpr int32_t kDownloadUrlTooLong = 257;
inline constexpr int32_t kNotWebUrl = 513;
}  // namespace web_item

inline constexpr int32_t kWebFieldMaxUnits = 256;
inline constexpr int32_t kDownloadUrlMaxUnits = 255;
inline constexpr int32_t kWebListMaxLines = 10000;
// The program counts as 11.11.0.1 against AppVerMin and AppVerMax.
inline constexpr uint32_t kProgramPackedVersion = 0x0B0B0001;

namespace web_type {
inline constexpr int32_t kDictionary = 1, kBook = 2, kInstall = 3, kUpgrade = 4, kUnknown = -1;
}

struct CWebDictionary {
    int32_t validity = web_item::kNew;
    // Set by the server list when it matches the item with the shelf.
    int32_t localStatus = 0;      // 0 not installed, 1 newer on the server, 2 the same
    std::array<StrSlice, static_cast<size_t>(WebField::Count)> fields{};

    StrSlice& Field(WebField f) { return fields[static_cast<size_t>(f)]; }
    const StrSlice& Field(WebField f) const { return fields[static_cast<size_t>(f)]; }
    // Url followed by Filename; empty when together they pass 255 units
    // (such an item is judged unusable, never fetched under a cut URL).
    std::u16string GetDownloadUrl() const;
};

class CWebDictionaries {
public:
    CWebDictionaries() = default;
    CWebDictionaries(const CWebDictionaries&) = delete;
    CWebDictionaries& operator=(const CWebDictionaries&) = delete;
    virtual ~CWebDictionaries() = default;

    // Replaces the text (ill-formed UTF-8 becomes U+FFFD) and drops the items,
    // which pointed into the old text.
    void SetText(std::string_view utf8);
    // Replaces the items by those of the text and judges each; the count.
    // Without a text: 0 and nothing changes.
    int32_t Parse();
    void Clear();

    const std::vector<CWebDictionary>& Items() const { return items_; }
    std::vector<CWebDictionary>& Items() { return items_; }
    int32_t Count() const { return static_cast<int32_t>(items_.size()); }
    // Changes whenever the items are replaced or dropped: holders of an
    // index check it before they use the index again.
    uint32_t Generation() const { return generation_; }

    // 0 never asked, 1 request running, 3 received, -1 failed.
    int32_t status = 0;
    // Why the last request for the list failed (status -1), in the user's words.
    std::u16string failure;

private:
    std::u16string text_;
    bool hasText_ = false;
    std::vector<CWebDictionary> items_;
    uint32_t generation_ = 0;
};

// The validity state of a parsed item (first matching rule wins).
int32_t JudgeWebDictionary(const CWebDictionary& item);
// "Dictionary" 1, "Book" 2, "Install" 3, "Upgrade" 4, else -1.
int32_t WebTypeCode(std::u16string_view text);
