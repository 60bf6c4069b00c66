// CIni over an IProfileStore: defaults, integer reading, the main window state
// and the dictionary slots.
#include "common/settings/settings_file.h"

#include <algorithm>

#include "common/settings/settings_keys.h"
#include "common/base/version.h"

namespace {

using settings_section::kApplication;
using settings_section::kDictionaries;
using settings_section::kView;
using settings_section::kWindow;

// An ini value is read as text of at most 80 units before it is taken as a number.
constexpr size_t kIntTextUnits = 79;
// [Application] Version is read into 255 units.
constexpr size_t kVersionUnits = 254;

std::u16string SlotKey(int32_t slotIndex) { return u"File" + FormatProfileInt(slotIndex + 1); }

}  // namespace

CIni::CIni(std::unique_ptr<IProfileStore> store) : store_(std::move(store)) {}

CIni::~CIni() = default;

std::u16string CIni::GetString(std::u16string_view section, std::u16string_view key,
                               std::u16string_view defaultText, size_t maxUnits) const {
    std::u16string value = store_->Read(section, key);
    if (value.empty()) value.assign(defaultText);
    if (value.size() > maxUnits) value.resize(maxUnits);
    return value;
}

int32_t CIni::GetString(std::u16string_view section, std::u16string_view key,
                        std::u16string_view defaultText, std::span<char16_t> buffer) const {
    if (buffer.empty()) return 0;
    std::u16string value = GetString(section, key, defaultText, buffer.size() - 1);
    std::copy(value.begin(), value.end(), buffer.begin());
    buffer[value.size()] = 0;
    return static_cast<int32_t>(value.size());
}

int32_t CIni::GetInt(std::u16string_view section, std::u16string_view key, int32_t defaultValue) const {
    return ParseProfileInt(GetString(section, key, {}, kIntTextUnits), defaultValue);
}

int32_t CIni::WriteString(std::u16string_view section, std::u16string_view key, std::u16string_view text) {
    if (!IsStorableProfileEntry(section, key, text)) return 0;
    return store_->Write(section, key, text) ? 1 : 0;
}

int32_t CIni::WriteInt(std::u16string_view section, std::u16string_view key, int32_t value) {
    return WriteString(section, key, FormatProfileInt(value));
}

int32_t CIni::LoadMainState() {
    std::u16string versionText = GetString(kApplication, u"Version", {}, kVersionUnits);
    version = 0;
    if (!versionText.empty() && !ParseVersionPackedW(&version, versionText.c_str())) version = 0;
    flags = static_cast<uint32_t>(GetInt(kApplication, u"Flags", 0));
    if (versionText.empty()) flags |= kFlagsNoVersion;
    x = GetInt(kWindow, u"x", 0);
    y = GetInt(kWindow, u"y", 0);
    cx = GetInt(kWindow, u"cx", 0);
    cy = GetInt(kWindow, u"cy", 0);
    cy2 = GetInt(kWindow, u"cy2", 0);
    // A missing cx or cy reads as 0, so "present and not 0" is one test.
    valid = (!versionText.empty() && cx != 0 && cy != 0) ? 1 : 0;
    searchOnListSwitch = GetInt(kView, u"SearchOnListSwitch", kDefaultSearchOnListSwitch);
    return 1;
}

int32_t CIni::SaveMainState(int32_t shellInstall) {
    // Every write is attempted even after one fails: the rest may still land.
    int32_t written = 1;
    written &= WriteString(kApplication, u"Version", kSettingsVersionText);
    written &= WriteInt(kApplication, u"Flags", static_cast<int32_t>(flags));
    written &= WriteInt(kApplication, u"ShellInstall", shellInstall);
    written &= WriteInt(kWindow, u"x", x);
    written &= WriteInt(kWindow, u"y", y);
    written &= WriteInt(kWindow, u"cx", cx);
    written &= WriteInt(kWindow, u"cy", cy);
    written &= WriteInt(kWindow, u"cy2", cy2);
    return written;
}

int32_t CIni::WriteDictionarySlot(const std::u16string* path, int32_t slotIndex, int32_t state) {
    if (path == nullptr) return WriteString(kDictionaries, SlotKey(slotIndex), u"");
    if (path->empty()) return 1;
    return WriteString(kDictionaries, SlotKey(slotIndex), FormatDictionarySlot(*path, state));
}

int32_t CIni::ReadDictionarySlot(std::u16string& path, int32_t slotIndex, int32_t& state) const {
    path.clear();
    state = 0;
    std::u16string value = store_->Read(kDictionaries, SlotKey(slotIndex));
    if (value.empty()) return 0;
    DictionarySlot slot = SplitDictionarySlot(value);
    path = std::move(slot.path);
    state = slot.state;
    return static_cast<int32_t>(value.size());
}
