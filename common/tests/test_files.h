// Scratch folders and real-data paths for tests in both trees.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <process.h>
#define OSTREL_TEST_PROCESS_ID _getpid()
#else
#include <unistd.h>
#define OSTREL_TEST_PROCESS_ID getpid()
#endif

// A fresh folder under the system's temporary folder, removed with its content.
// Its name carries the process id, so test runs of several build trees at once
// never share a folder.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name)
        : path_(std::filesystem::temp_directory_path() /
                ("ostrel-" + name + "-" + std::to_string(OSTREL_TEST_PROCESS_ID))) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

inline void WriteBytes(const std::filesystem::path& file, const std::vector<unsigned char>& bytes) {
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// The whole file as a string of its bytes (line ends as they lie on disk),
// empty when it cannot be read. Takes any path the callers hold: narrow,
// UTF-16 or wide.
inline std::string ReadText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    // In one stream copy, not a character at a time: the real-data tests
    // read Debian's dictionaries of tens of megabytes again and again.
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return std::move(bytes).str();
}

// A UTF-16 (little-endian) file's text as it lies on disk, empty when it
// cannot be read; an odd last byte is dropped.
inline std::u16string Utf16File(const std::filesystem::path& file) {
    const std::string bytes = ReadText(file);
    std::u16string text(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * i]) | static_cast<uint8_t>(bytes[2 * i + 1]) << 8);
    return text;
}

// The whole file, empty when it cannot be read.
inline std::vector<unsigned char> ReadBytes(const std::filesystem::path& file) {
    const std::string bytes = ReadText(file);
    return std::vector<unsigned char>(bytes.begin(), bytes.end());
}

// Debian's dictionary files as the test process sees them (Z: under Wine).
inline std::filesystem::path HostPath(const std::string& absolute) {
    return std::filesystem::path(std::string(OSTREL_HOST_ROOT) + absolute);
}
