// Reading a dictionary source file whole for the compiler: the own compressed
// container is inflated to its markup text, any other recognised format is
// handed over as it is.
//
// Own compressed container (little-endian):
//   offset  size  contents
//   0       4     magic "OST1" (word dictionary) or "OST2" (kanji dictionary),
//                 letters in any case
//   4       4     u32 length in bytes of the uncompressed content
//   8       rest  one zlib stream (zlib `compress` output) of the content: the
//                 dictionary in own markup, UTF-16 ("{\rdf1" or "{\rdf2")
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class BinFile;

enum class DictionaryFileError {
    None,
    Unreadable,        // the file cannot be read (nothing shown)
    TooSmall,          // 256 bytes or less and not a recognised format (nothing shown)
    UnknownFormat,     // not a recognised format (the "not a dictionary file" box is shown)
    CorruptContainer,  // a container whose length or stream is damaged (nothing shown)
};

// What ReadDictionaryFile hands over.
struct DictionaryFileContent {
    // The content followed by kPadding zero bytes, so text parsers stop at
    // its end; empty after a failure.
    std::vector<uint8_t> bytes;
    uint32_t size = 0;         // content length in bytes
    uint32_t formatFlags = 0;  // the sniffer's answer for the file
    DictionaryFileError error = DictionaryFileError::None;
    std::u16string errorText;  // for the user, naming the file; empty on success

    static constexpr uint32_t kPadding = 4;
    std::span<const uint8_t> Content() const { return {bytes.data(), size}; }
};

// A container's content may be at most this long: zlib never inflates more
// than 1032 bytes per compressed byte, and the compiler works in 32-bit memory.
inline constexpr uint32_t kMaxContainerContent = 1u << 30;

// Reads the file named by `file` (its path set) whole; the file object is
// closed afterwards. 1 with the content, else 0 with `error` and `errorText`.
uint32_t ReadDictionaryFile(BinFile& file, DictionaryFileContent& out);
