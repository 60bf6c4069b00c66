// ReplacingFile: a file's new content written under a temporary name beside
// it, put in the file's place in one step only once it is whole. A write that
// fails (a full disk, a lost share) or is abandoned leaves the old file as it
// was and no temporary file behind. Used by the exports, which write files
// of the user's choosing, and by the safe file writer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/base/bin_file.h"

// Creates a new file beside `target` under the program's own temporary name,
// "<target>.tmp~", open for writing in `file`. What earlier writes of the same
// target left there (a run killed midway) is deleted first; when one is
// still in use elsewhere the next free "<target>.<n>.tmp~" is taken. A file of
// any other name is never touched. The temporary's path, or empty when none
// could be created.
std::u16string CreateTemporaryBeside(std::u16string_view target, BinFile& file);

class ReplacingFile {
public:
    ReplacingFile() = default;
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Starts the new content of `target`; false when the target is a
    // read-only file or no temporary file could be created beside it.
    bool Begin(std::u16string_view target);
    // Appends bytes; false once anything has failed.
    bool Write(const void* bytes, int32_t size);
    // Puts the whole new content in the target's place; false (the target
    // unchanged, the temporary file deleted) when a write or the move failed.
    bool Commit();

private:
    void Abandon();

    std::u16string target_;
    std::u16string temporary_;  // empty when idle
    BinFile file_{nullptr};
    bool failed_ = false;
};
