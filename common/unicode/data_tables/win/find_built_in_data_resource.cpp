// The built-in tables of the Windows build: resources of type "DATA" in the
// program's own module, compiled from the generated data_tables.rc.
#include <windows.h>

#include <string>

#include "common/unicode/data_resource.h"

std::span<const uint8_t> FindBuiltInDataResource(std::string_view name) {
    std::wstring wide(name.begin(), name.end());  // resource names are ASCII
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, wide.c_str(), L"DATA");
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module, found);
    DWORD size = SizeofResource(module, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || size == 0) return {};
    return {static_cast<const uint8_t*>(bytes), size};
}
