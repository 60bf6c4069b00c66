// PageInflater (page_inflater.h).
#include "storage/page_inflater.h"
#include "storage/pages_inflated.h"

#include <zlib.h>

namespace {
uint64_t g_expansions = 0;  // the engine's one thread
}  // namespace

uint64_t PagesInflated() { return g_expansions; }

struct PageInflater::Stream {
    z_stream z{};
    bool ready = false;
};

PageInflater::PageInflater() : stream_(std::make_unique<Stream>()) {}

PageInflater::~PageInflater() {
    if (stream_->ready) inflateEnd(&stream_->z);
}

bool PageInflater::Expand(std::span<const uint8_t> source, std::span<uint8_t> out, size_t& written) {
    ++g_expansions;
    z_stream& z = stream_->z;
    if (!stream_->ready) {
        if (inflateInit(&z) != Z_OK) return false;
        stream_->ready = true;
    } else if (inflateReset(&z) != Z_OK) {
        return false;
    }
    z.next_in = const_cast<Bytef*>(source.data());
    z.avail_in = static_cast<uInt>(source.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    // Z_FINISH with room for the whole page: anything but the stream's end
    // is a damaged or truncated stream, or one longer than the page.
    if (inflate(&z, Z_FINISH) != Z_STREAM_END) return false;
    written = static_cast<size_t>(z.total_out);
    return true;
}
