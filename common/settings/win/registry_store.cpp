// RegistryStore over the ADVAPI32 functions, and the installation id.
#include "common/settings/win/registry_store.h"

#include <objbase.h>

#include <algorithm>

#include "common/app_context.h"
#include "common/settings/registry_values.h"
#include "common/win/wide_text.h"

namespace {

class KeyHandle {
public:
    explicit KeyHandle(HKEY key = nullptr) : key_(key) {}
    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;
    ~KeyHandle() {
        if (key_) RegCloseKey(key_);
    }
    HKEY Get() const { return key_; }

private:
    HKEY key_;
};

// Values larger than this are not ours; reading stops there.
constexpr DWORD kLargestValueBytes = 1u << 20;

}  // namespace

const RegistryCalls& SystemRegistryCalls() {
    static const RegistryCalls calls{&RegCreateKeyExW, &RegOpenKeyExW, &RegSetValueExW, &RegQueryValueExW};
    return calls;
}

RegistryStore::RegistryStore(HKEY root, std::u16string subKey, const RegistryCalls& calls)
    : root_(root), subKey_(std::move(subKey)), calls_(calls) {}

HKEY RegistryStore::OpenForReading() const {
    HKEY key = nullptr;
    if (calls_.openKey(root_, WideString(subKey_).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return nullptr;
    return key;
}

bool RegistryStore::Query(std::u16string_view name, std::vector<uint8_t>& data, DWORD& type) const {
    KeyHandle key(OpenForReading());
    if (!key.Get()) return false;
    std::wstring wideName = WideString(name);
    // Ask for the size first, then read; the value may change in between, so
    // a value that grew is asked for again.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD size = 0;
        if (calls_.queryValue(key.Get(), wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
            size > kLargestValueBytes)
            return false;
        data.assign(size, 0);
        LSTATUS status = calls_.queryValue(key.Get(), wideName.c_str(), nullptr, &type,
                                           data.empty() ? nullptr : data.data(), &size);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) return false;
        data.resize(std::min<size_t>(size, data.size()));
        return true;
    }
    return false;
}

int32_t RegistryStore::Write(std::u16string_view name, DWORD type, const void* data, DWORD size, bool createKey) {
    HKEY opened = nullptr;
    std::wstring wideSubKey = WideString(subKey_);
    LSTATUS status = createKey ? calls_.createKey(root_, wideSubKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                  KEY_ALL_ACCESS, nullptr, &opened, nullptr)
                               : calls_.openKey(root_, wideSubKey.c_str(), 0, KEY_ALL_ACCESS, &opened);
    if (status != ERROR_SUCCESS) {
        App().ReportRegistryWriteError(static_cast<int32_t>(status));
        return 0;
    }
    KeyHandle key(opened);
    status = calls_.setValue(key.Get(), WideString(name).c_str(), 0, type, static_cast<const BYTE*>(data), size);
    if (status != ERROR_SUCCESS) {
        App().ReportRegistryWriteError(static_cast<int32_t>(status));
        return 0;
    }
    return 1;
}

int32_t RegistryStore::GetDword(std::u16string_view name, uint32_t& value) const {
    std::vector<uint8_t> data;
    DWORD type = REG_NONE;
    if (!Query(name, data, type) || type != REG_DWORD || data.size() != sizeof(uint32_t)) return 0;
    value = static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
            static_cast<uint32_t>(data[2]) << 16 | static_cast<uint32_t>(data[3]) << 24;
    return 1;
}

int32_t RegistryStore::SetDword(std::u16string_view name, uint32_t value) {
    DWORD data = value;
    return Write(name, REG_DWORD, &data, sizeof(data), false);
}

int32_t RegistryStore::GetString(std::u16string_view name, std::u16string& text) const {
    text.clear();
    std::vector<uint8_t> data;
    DWORD type = REG_NONE;
    if (!Query(name, data, type) || (type != REG_SZ && type != REG_EXPAND_SZ)) return 0;
    text = RegistryStringFromData(data);
    return 1;
}

int32_t RegistryStore::SetString(std::u16string_view name, std::u16string_view text) {
    std::wstring data = WideString(text);  // the terminator is written too
    return Write(name, REG_SZ, data.c_str(), static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)), true);
}

uint32_t RegistryStore::GetBinary(std::u16string_view name, std::span<uint8_t> out) const {
    std::vector<uint8_t> data;
    DWORD type = REG_NONE;
    if (!Query(name, data, type) || type != REG_BINARY || data.size() > out.size()) return 0;
    std::copy(data.begin(), data.end(), out.begin());
    return static_cast<uint32_t>(data.size());
}

int32_t RegistryStore::SetBinary(std::u16string_view name, std::span<const uint8_t> data) {
    return Write(name, REG_BINARY, data.data(), static_cast<DWORD>(data.size()), true);
}

RegistryStore& SettingsRegistry() {
    static RegistryStore store(HKEY_CURRENT_USER, SettingsRegistryKey);
    return store;
}

int32_t RegGetDword(std::u16string_view name, uint32_t& value) { return SettingsRegistry().GetDword(name, value); }
int32_t RegSetDword(std::u16string_view name, uint32_t value) { return SettingsRegistry().SetDword(name, value); }
int32_t RegGetString(std::u16string_view name, std::u16string& text) { return SettingsRegistry().GetString(name, text); }
int32_t RegSetString(std::u16string_view name, std::u16string_view text) {
    return SettingsRegistry().SetString(name, text);
}
uint32_t RegGetBinary(std::u16string_view name, std::span<uint8_t> out) { return SettingsRegistry().GetBinary(name, out); }
int32_t RegSetBinary(std::u16string_view name, std::span<const uint8_t> data) {
    return SettingsRegistry().SetBinary(name, data);
}

int32_t RegGetString(HKEY root, std::u16string_view subKey, std::u16string_view name, std::u16string& text) {
    return RegistryStore(root, std::u16string(subKey)).GetString(name, text);
}

int32_t RegSetString(HKEY root, std::u16string_view subKey, std::u16string_view name, std::u16string_view text) {
    return RegistryStore(root, std::u16string(subKey)).SetString(name, text);
}

int32_t EnsureInstallationId(RegistryStore& store) {
    std::u16string id;
    store.GetString(kInstallationIdValue, id);
    if (IsInstallationId(id)) return 1;
    GUID guid;
    wchar_t text[kInstallationIdUnits + 1];
    if (FAILED(CoCreateGuid(&guid)) || StringFromGUID2(guid, text, kInstallationIdUnits + 1) == 0) return 1;
    store.SetString(kInstallationIdValue, Char16View(text));
    return 1;
}

int32_t EnsureInstallationId() { return EnsureInstallationId(SettingsRegistry()); }
