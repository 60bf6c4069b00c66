// The provider of the built-in tables and their one-shot inflation.
#include "common/unicode/data_resource.h"

#include <zlib.h>

#include <new>

namespace {

class BuiltInDataResources final : public IDataResourceProvider {
public:
    std::span<const uint8_t> Find(std::string_view name) const override {
        return FindBuiltInDataResource(name);
    }
};

BuiltInDataResources g_builtIn;
IDataResourceProvider* g_provider = &g_builtIn;

constexpr uint32_t kLargestTable = 64u << 20;

}  // namespace

IDataResourceProvider& DataResources() { return *g_provider; }

IDataResourceProvider* SetDataResourceProvider(IDataResourceProvider* provider) {
    IDataResourceProvider* previous = g_provider;
    g_provider = provider ? provider : &g_builtIn;
    return previous;
}

bool InflateStoredData(std::span<const uint8_t> stored, InflatedData& out) {
    out = InflatedData{};
    if (stored.size() < 4) return false;
    uint32_t size = stored[0] | stored[1] << 8 | stored[2] << 16 | uint32_t{stored[3]} << 24;
    if (size > kLargestTable) return false;
    size_t words = (size_t{size} + 16 + 3) / 4;
    std::unique_ptr<uint32_t[]> buffer(new (std::nothrow) uint32_t[words]());
    if (!buffer) return false;
    uLongf inflated = size;
    int status = uncompress(reinterpret_cast<Bytef*>(buffer.get()), &inflated, stored.data() + 4,
                            static_cast<uLong>(stored.size() - 4));
    if (status != Z_OK || inflated != size) return false;
    out.words = std::move(buffer);
    out.size = size;
    return true;
}

bool InflateDataResource(std::string_view name, InflatedData& out) {
    return InflateStoredData(DataResources().Find(name), out);
}
