// ReplacingFile: temporary file beside the target, one-step replace.
#include "dictionary/replacing_file.h"

#include <fcntl.h>

#include "dictionary/file_replace.h"
#include "dictionary/leftover_files.h"

namespace {

// A name still in use is stepped over this many times before giving up.
constexpr int kTemporaryNameTries = 100;

}  // namespace

std::u16string CreateTemporaryBeside(std::u16string_view target, BinFile& file) {
    RemoveLeftoverTemporaries(target);
    for (int i = 0; i < kTemporaryNameTries; ++i) {
        const std::u16string path = LeftoverTemporaryPath(target, i);
        if (!file.SetPath(path.c_str())) return {};
        if (file.Open(O_RDWR | O_CREAT | O_EXCL) >= 0) return path;
        if (!file_replace::IsFile(path.c_str())) return {};  // not in use: the folder refuses
    }
    return {};
}

ReplacingFile::~ReplacingFile() { Abandon(); }

void ReplacingFile::Abandon() {
    file_.Close(true);
    if (!temporary_.empty()) file_replace::Delete(temporary_.c_str());
    temporary_.clear();
}

bool ReplacingFile::Begin(std::u16string_view target) {
    Abandon();
    target_ = target;
    failed_ = false;
    if (file_replace::IsReadOnlyFile(target_.c_str())) return false;
    temporary_ = CreateTemporaryBeside(target_, file_);
    return !temporary_.empty();
}

bool ReplacingFile::Write(const void* bytes, int32_t size) {
    if (failed_ || temporary_.empty()) return false;
    if (size == 0) return true;
    failed_ = size < 0 || file_.Write(bytes, size) != size;
    return !failed_;
}

bool ReplacingFile::Commit() {
    if (failed_ || temporary_.empty()) {
        Abandon();
        return false;
    }
    file_.Close(true);
    if (file_replace::MoveReplacing(temporary_.c_str(), target_.c_str()) != 0) {
        Abandon();
        return false;
    }
    temporary_.clear();
    return true;
}
