// Target file names, through std::filesystem. Its calls take error codes;
// what still throws (a name that cannot be converted, memory) is caught here
// and answered as "not the same file" or "could not copy".
#include "import/target_paths.h"

#include <filesystem>
#include <exception>
#include <system_error>

#include "dictionary/leftover_files.h"

namespace fs = std::filesystem;

namespace {

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? c + 32 : c; }

fs::path PlainPath(std::u16string_view path) {
    std::error_code error;
    fs::path plain = fs::weakly_canonical(fs::path(std::u16string(path)), error);
    if (error) plain = fs::absolute(fs::path(std::u16string(path)), error).lexically_normal();
    return plain;
}

}  // namespace

bool HasTextExportExtension(std::u16string_view path) {
    if (path.size() < 4) return false;
    const std::u16string_view tail = path.substr(path.size() - 4);
    return tail[0] == u'.' && Lower(tail[1]) == u't' && Lower(tail[2]) == u'x' && Lower(tail[3]) == u't';
}

bool SamePath(std::u16string_view a, std::u16string_view b) try {
    std::error_code error;
    if (fs::equivalent(fs::path(std::u16string(a)), fs::path(std::u16string(b)), error) && !error) return true;
    std::u16string x = PlainPath(a).u16string(), y = PlainPath(b).u16string();
#ifdef _WIN32
    for (char16_t& c : x) c = Lower(c);
    for (char16_t& c : y) c = Lower(c);
#endif
    return x == y;
} catch (const std::exception&) {
    return a == b;
}

std::u16string TemporaryPathBeside(std::u16string_view path) { return LeftoverTemporaryPath(path); }

bool CopyFileBytes(std::u16string_view from, std::u16string_view to) try {
    std::error_code error;
    fs::copy_file(fs::path(std::u16string(from)), fs::path(std::u16string(to)), fs::copy_options::overwrite_existing,
                  error);
    return !error;
} catch (const std::exception&) {
    return false;
}

uint64_t FileSizeOrZero(std::u16string_view path) try {
    std::error_code error;
    const uint64_t size = fs::file_size(fs::path(std::u16string(path)), error);
    return error ? 0 : size;
} catch (const std::exception&) {
    return 0;
}
