// The built-in data tables (Unicode properties, break properties, collation
// elements) as the program carries them: "DATA" resources of its own module
// in the Windows build, arrays linked in by the native build. Callers see one
// provider either way; tests may install their own to feed damaged tables.
// Stored form of every table: u32 LE uncompressed size N, then one zlib stream
// (RFC 1950) inflating to exactly N bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

// The stored bytes of the built-in table `name`, empty when there is none.
// Defined by the build's data-table object (generated arrays natively,
// FindResourceW over the program's module on Windows).
std::span<const uint8_t> FindBuiltInDataResource(std::string_view name);

class IDataResourceProvider {
public:
    virtual ~IDataResourceProvider() = default;
    // The stored bytes of `name` (valid for the rest of the run), empty when absent.
    virtual std::span<const uint8_t> Find(std::string_view name) const = 0;
};

// The installed provider: the built-in tables unless a test installed another.
IDataResourceProvider& DataResources();
// Installs `provider` (not owned; null restores the built-in one) and returns the previous one.
IDataResourceProvider* SetDataResourceProvider(IDataResourceProvider* provider);

// An inflated table, kept as u32 words so its areas can be read in place.
struct InflatedData {
    std::unique_ptr<uint32_t[]> words;  // size + 16 bytes, zero-filled spare
    size_t size = 0;                    // N, in bytes

    std::span<const uint8_t> Bytes() const {
        return {reinterpret_cast<const uint8_t*>(words.get()), size};
    }
};

// Inflates `stored` (the stored form above). False, leaving `out` empty, when
// it is shorter than 4 bytes, states more than 64 MiB, or does not inflate to
// exactly the stated size.
bool InflateStoredData(std::span<const uint8_t> stored, InflatedData& out);
// Finds the table `name` with the installed provider and inflates it.
bool InflateDataResource(std::string_view name, InflatedData& out);
