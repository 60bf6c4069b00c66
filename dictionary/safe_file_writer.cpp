// SafeFileWriter: temporary file, once-per-run backup, one-step replace.
#include "dictionary/safe_file_writer.h"

#include <string>

#include "dictionary/file_message.h"
#include "dictionary/file_replace.h"
#include "dictionary/leftover_files.h"
#include "dictionary/replacing_file.h"

namespace {

// UIStringTable slots.
constexpr int kWriteFailureText = 171;     // "Write failure for %s"
constexpr int kWriteFailureCaption = 172;
constexpr int kNotWritableText = 173;      // "%s is not accessible for write!"
constexpr int kNotWritableCaption = 174;

}  // namespace

std::u16string ReplaceExtension(std::u16string_view path, std::u16string_view extension) {
    const size_t separator = path.find_last_of(u"\\/");
    const size_t nameStart = separator == std::u16string_view::npos ? 0 : separator + 1;
    const size_t dot = path.find_last_of(u'.');
    const size_t stemEnd = dot != std::u16string_view::npos && dot >= nameStart ? dot : path.size();
    return std::u16string(path.substr(0, stemEnd)).append(extension);
}

uint32_t SafeFileWriter::BeginWrite(int32_t mode, std::u16string_view targetPath) {
    ResetWriter();
    if (targetPath != target_) backupMade_ = false;
    target_ = targetPath;
    mode_ = mode;
    if (mode != kModeWrite) return 0;
    if (file_replace::IsReadOnlyFile(target_.c_str())) {
        ShowPathMessage(kNotWritableText, kNotWritableCaption, target_);
        error_ = true;
        return 0;
    }
    if (!OpenTemporaryFile()) {
        error_ = true;
        return 0;
    }
    return 1;
}

bool SafeFileWriter::OpenTemporaryFile() {
    // The program's own temporaries of earlier saves of this file (a save
    // killed midway) go first; no file of any other name is touched.
    temporaryPath_ = CreateTemporaryBeside(target_, temporary_);
    return !temporaryPath_.empty();
}

uint32_t SafeFileWriter::Write(const void* bytes, int32_t size) {
    if (error_ || mode_ != kModeWrite || temporaryPath_.empty()) return 0;
    if (size == 0) return 1;
    if (size < 0 || temporary_.Write(bytes, size) != size) {
        error_ = true;
        return 0;
    }
    return 1;
}

uint32_t SafeFileWriter::EndWrite() {
    if (mode_ != kModeWrite) return 0;
    if (error_ || temporaryPath_.empty()) return Fail(false);
    temporary_.CloseDescriptor();

    if (file_replace::IsFile(target_.c_str())) {
        const std::u16string backup = ReplaceExtension(target_, u".BAK");
        if (!(backupMade_ && file_replace::IsFile(backup.c_str()))) {
            if (!ReplaceBackup(backup)) return Fail(true);
            backupMade_ = true;
        }
    }
    if (file_replace::MoveReplacing(temporaryPath_.c_str(), target_.c_str()) != 0) return Fail(true);
    temporaryPath_.clear();
    temporary_.Close(true);
    mode_ = 0;
    return 1;
}

bool SafeFileWriter::ReplaceBackup(const std::u16string& backup) {
    // A copy, not a rename: the target stays in its place until the new file
    // replaces it in one step. The copy is written beside the backup and
    // takes its place in one step too, so a save killed while copying
    // leaves the previous backup whole (and a temporary the next save of the
    // backup removes).
    RemoveLeftoverTemporaries(backup);
    const std::u16string copy = LeftoverTemporaryPath(backup);
    if (file_replace::CopyReplacing(target_.c_str(), copy.c_str()) == 0 &&
        file_replace::MoveReplacing(copy.c_str(), backup.c_str()) == 0)
        return true;
    file_replace::Delete(copy.c_str());
    return false;
}

uint32_t SafeFileWriter::Fail(bool keepTemporary) {
    // A complete temporary file holds the only copy of the new content: it
    // stays, and the message says where.
    const std::u16string kept = keepTemporary ? temporaryPath_ : std::u16string();
    if (keepTemporary) temporaryPath_.clear();
    ResetWriter();
    ShowPathMessage(kWriteFailureText, kWriteFailureCaption, target_, kept);
    return 0;
}

uint32_t SafeFileWriter::ResetWriter() {
    temporary_.Close(true);
    if (!temporaryPath_.empty()) file_replace::Delete(temporaryPath_.c_str());
    temporaryPath_.clear();
    mode_ = 0;
    error_ = false;
    return 1;
}
