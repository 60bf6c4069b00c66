// The safe file writer a dictionary object owns: the new content of a file
// goes to a temporary file beside it ("<name>.tmp~", leftover_files.h), the
// old file is kept once per run as a copy "<name>.BAK", and the temporary
// file then takes the target's place in one step. The target is never
// deleted first: when the last step fails the target is unchanged in its
// place and the temporary file, holding the new content, stays on the disk
// and is named in the message (until the next save of the same file).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/base/bin_file.h"

class SafeFileWriter {
public:
    static constexpr int32_t kModeWrite = 1;  // write the temporary file directly

    SafeFileWriter() = default;
    ~SafeFileWriter() { ResetWriter(); }
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    // Prepares a replacement of `targetPath`; 1 when ready. Only kModeWrite
    // writes; a read-only target is refused with a message before anything
    // is written.
    uint32_t BeginWrite(int32_t mode, std::u16string_view targetPath);
    // Appends bytes; 1 on success, 0 once anything has failed.
    uint32_t Write(const void* bytes, int32_t size);
    // 1 when the target now holds the new content; else 0 after a message.
    uint32_t EndWrite();
    // Closes and deletes the temporary file and returns to idle; always 1.
    uint32_t ResetWriter();

    // A backup of the current target was made in this run (the file
    // object's "backup made" bit); a later save keeps that backup.
    bool BackupMade() const { return backupMade_; }
    // The temporary file of the write in progress, empty when idle.
    const std::u16string& TemporaryPath() const { return temporaryPath_; }

private:
    uint32_t Fail(bool keepTemporary);
    bool OpenTemporaryFile();
    // Puts a copy of the target in the place of `backup` in one step.
    bool ReplaceBackup(const std::u16string& backup);

    std::u16string target_;
    std::u16string temporaryPath_;
    BinFile temporary_{nullptr};  // the temporary file while writing
    int32_t mode_ = 0;            // kModeWrite while writing; 0 idle
    bool error_ = false;          // sticks until the next BeginWrite or ResetWriter
    bool backupMade_ = false;     // for target_
};

// `path` with its extension (the part after the last "." behind the last
// separator) replaced by `extension`, which starts with its "."; appended
// when the name has none.
std::u16string ReplaceExtension(std::u16string_view path, std::u16string_view extension);
