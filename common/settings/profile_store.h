// The storage under the settings store: named values in named sections of one
// ini file. The Windows build reads and writes the file through the system's
// private-profile functions; tests use an in-memory store.
#pragma once

#include <string>
#include <string_view>

class IProfileStore {
public:
    virtual ~IProfileStore() = default;

    // The value of `key` in `section`, whole; empty when the file, the section
    // or the key is missing, or the value is empty.
    virtual std::u16string Read(std::u16string_view section, std::u16string_view key) const = 0;
    // Writes (or replaces) the value; false when the file could not be written.
    virtual bool Write(std::u16string_view section, std::u16string_view key,
                       std::u16string_view value) = 0;
};
