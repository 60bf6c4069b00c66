#include "common/base/crc32.h"

#include <vector>

#include "common/base/bin_file.h"

CCrc32Dynamic::~CCrc32Dynamic() { Free(); }

void CCrc32Dynamic::Init() {
    Free();
    table_ = new uint32_t[256];
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table_[n] = c;
    }
}

void CCrc32Dynamic::Free() {
    delete[] table_;
    table_ = nullptr;
}

uint32_t CCrc32Dynamic::Update(uint32_t crc, std::span<const uint8_t> bytes) const {
    for (uint8_t b : bytes) crc = table_[(crc ^ b) & 0xFF] ^ (crc >> 8);
    return crc;
}

uint32_t CCrc32Dynamic::Compute(std::span<const uint8_t> bytes) const {
    if (!table_) return 0;
    return ~Update(0xFFFFFFFFu, bytes);
}

int32_t CCrc32Dynamic::FileCrc32Win32(const char16_t* fileName, uint32_t& crc) const {
    crc = 0xFFFFFFFFu;
    if (!table_) return kErrorCrc;
    BinFile file(nullptr);
    if (!file.SetPath(fileName)) return 123;  // ERROR_INVALID_NAME
    if (file.OpenRead() < 0) return file.LastError();
    std::vector<uint8_t> block(kBlockSize);
    for (;;) {
        const int32_t n = file.Read(block.data(), kBlockSize);
        if (n == 0 && file.LastError() != 0) return file.LastError();
        if (n == 0) break;
        crc = Update(crc, std::span(block.data(), size_t(n)));
    }
    crc = ~crc;
    return 0;
}
