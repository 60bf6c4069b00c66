// One-shot zlib compression of memory buffers: compressed dictionary
// containers, compressed pages and the built-in data tables. Before each use
// the library's version must start like "1.1.3"; otherwise the call fails.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

bool ZlibVersionUsable();

// 0 on success, 1 on failure. `out` is sized to the bound
// size + 12 + size / 100 before compressing and to the compressed length after.
int ZCompressBuffer(std::vector<uint8_t>& out, std::span<const uint8_t> data);
// 0 on success, 1 on failure. `out` gets `expectedSize` bytes of room and ends
// at the length actually inflated.
int ZUncompressBuffer(std::vector<uint8_t>& out, uint32_t expectedSize, std::span<const uint8_t> data);
