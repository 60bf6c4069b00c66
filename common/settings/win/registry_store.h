// The per-user machine state under HKEY_CURRENT_USER\Software\Quellarbin\OstrelPro
// (value table in common/settings/registry_values.h): DWORD, text and binary values
// and the installation id. Reads that fail leave their outputs empty and
// answer 0; every failed create, open or write is handed to the application's
// once-per-run registry-error report and answers 0.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The system calls the store makes; tests put failing ones in their place
// (a real HKCU write can not be made to fail under every system).
struct RegistryCalls {
    decltype(&RegCreateKeyExW) createKey;
    decltype(&RegOpenKeyExW) openKey;
    decltype(&RegSetValueExW) setValue;
    decltype(&RegQueryValueExW) queryValue;
};
const RegistryCalls& SystemRegistryCalls();

// The values of one registry key.
class RegistryStore {
public:
    // `calls` must outlive the store.
    RegistryStore(HKEY root, std::u16string subKey, const RegistryCalls& calls = SystemRegistryCalls());

    // 1 only when the value exists and is a REG_DWORD.
    int32_t GetDword(std::u16string_view name, uint32_t& value) const;
    // Opens the key without creating it; 1 when written.
    int32_t SetDword(std::u16string_view name, uint32_t value);
    // A REG_SZ (or REG_EXPAND_SZ, not expanded) of any length, cut to its
    // first 255 units; 1 when read.
    int32_t GetString(std::u16string_view name, std::u16string& text) const;
    // Creates the key when missing; writes REG_SZ with its terminator.
    int32_t SetString(std::u16string_view name, std::u16string_view text);
    // The value's size in bytes when it exists, is REG_BINARY and fits in
    // `out`; else 0 with `out` untouched.
    uint32_t GetBinary(std::u16string_view name, std::span<uint8_t> out) const;
    // Creates the key when missing; writes REG_BINARY.
    int32_t SetBinary(std::u16string_view name, std::span<const uint8_t> data);

private:
    HKEY OpenForReading() const;  // null when the key cannot be opened
    // The value's raw data and type; false when it is missing or unreadable.
    bool Query(std::u16string_view name, std::vector<uint8_t>& data, DWORD& type) const;
    int32_t Write(std::u16string_view name, DWORD type, const void* data, DWORD size, bool createKey);

    HKEY root_;
    std::u16string subKey_;
    const RegistryCalls& calls_;
};

// The program's own key, HKEY_CURRENT_USER\Software\Quellarbin\OstrelPro.
RegistryStore& SettingsRegistry();

int32_t RegGetDword(std::u16string_view name, uint32_t& value);
int32_t RegSetDword(std::u16string_view name, uint32_t value);
int32_t RegGetString(std::u16string_view name, std::u16string& text);
int32_t RegSetString(std::u16string_view name, std::u16string_view text);
uint32_t RegGetBinary(std::u16string_view name, std::span<uint8_t> out);
int32_t RegSetBinary(std::u16string_view name, std::span<const uint8_t> data);
// The string operations on any key.
int32_t RegGetString(HKEY root, std::u16string_view subKey, std::u16string_view name, std::u16string& text);
int32_t RegSetString(HKEY root, std::u16string_view subKey, std::u16string_view name, std::u16string_view text);

// Keeps a "CLSID1" of exactly 38 units, whatever it holds; otherwise stores a
// new GUID as braced upper-case text. Always 1.
int32_t EnsureInstallationId(RegistryStore& store);
int32_t EnsureInstallationId();
