// PageDeflater (page_deflater.h).
#include "storage/page_deflater.h"

#include <zlib.h>

struct PageDeflater::Stream {
    z_stream z{};
    bool ready = false;
};

PageDeflater::PageDeflater() : stream_(std::make_unique<Stream>()) {}

PageDeflater::~PageDeflater() {
    if (stream_->ready) deflateEnd(&stream_->z);
}

bool PageDeflater::Compress(std::span<const uint8_t> source, std::span<uint8_t> out, size_t& written) {
    z_stream& z = stream_->z;
    if (!stream_->ready) {
        if (deflateInit(&z, kPageCompressionLevel) != Z_OK) return false;
        stream_->ready = true;
    } else if (deflateReset(&z) != Z_OK) {
        return false;
    }
    z.next_in = const_cast<Bytef*>(source.data());
    z.avail_in = static_cast<uInt>(source.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    if (deflate(&z, Z_FINISH) != Z_STREAM_END) return false;
    written = static_cast<size_t>(z.total_out);
    return true;
}
