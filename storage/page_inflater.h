// PageInflater: zlib's `uncompress` for page after page, on one stream reset
// between pages. A stream set up per call allocates and faults in a fresh
// 32 KiB window each time, which costs as much as inflating a small page; a
// cold query or a first look through a compressed dictionary reads hundreds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

class PageInflater {
public:
    PageInflater();
    ~PageInflater();
    PageInflater(const PageInflater&) = delete;
    PageInflater& operator=(const PageInflater&) = delete;

    // Expands the zlib stream `source` into `out`; true with `written` bytes
    // when the stream is whole and fits, as `uncompress` answers Z_OK.
    bool Expand(std::span<const uint8_t> source, std::span<uint8_t> out, size_t& written);

private:
    struct Stream;
    std::unique_ptr<Stream> stream_;
};
