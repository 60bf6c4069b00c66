// PageDeflater: zlib's `compress` at the default level for page after page,
// on one stream reset between pages instead of one set up and torn down per
// call (the set-up clears and frees some 256 KiB of tables, more than a page
// costs to compress). The bytes are those `compress2` gives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

class PageDeflater {
public:
    PageDeflater();
    ~PageDeflater();
    PageDeflater(const PageDeflater&) = delete;
    PageDeflater& operator=(const PageDeflater&) = delete;

    // Compresses `source` into `out`; true with `written` bytes, false when
    // the stream does not fit in `out` or zlib fails.
    bool Compress(std::span<const uint8_t> source, std::span<uint8_t> out, size_t& written);

private:
    struct Stream;
    std::unique_ptr<Stream> stream_;
};
