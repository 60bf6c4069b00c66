#include "common/base/zlib_buffer.h"

#include <zlib.h>

bool ZlibVersionUsable() {
    const char* version = zlibVersion();
    return version && version[0] == "1.1.3"[0];
}

int ZCompressBuffer(std::vector<uint8_t>& out, std::span<const uint8_t> data) {
    out.clear();
    if (!ZlibVersionUsable()) return 1;
    const uint64_t bound = uint64_t(data.size()) + 12 + data.size() / 100;
    if (bound > 0xFFFFFFFFu) return 1;
    out.resize(size_t(bound));
    uLongf length = uLongf(bound);
    if (compress(out.data(), &length, data.data(), uLong(data.size())) != Z_OK) return 1;
    out.resize(length);
    return 0;
}

int ZUncompressBuffer(std::vector<uint8_t>& out, uint32_t expectedSize, std::span<const uint8_t> data) {
    out.clear();
    if (!ZlibVersionUsable()) return 1;
    out.resize(expectedSize);
    uLongf length = expectedSize;
    // zlib needs a valid pointer even for an empty destination.
    Bytef empty = 0;
    if (uncompress(expectedSize ? out.data() : &empty, &length, data.data(), uLong(data.size())) != Z_OK)
        return 1;
    out.resize(length);
    return 0;
}
