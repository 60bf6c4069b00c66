// The saved word list's file operations over Win32: the private-profile
// functions for the keys, a new file started as UTF-16LE with a byte-order
// mark so they keep it in Unicode, the file-replace layer for the one-step
// replace and the common file dialog for word lists. A list's stamp is the
// CRC-32 and size of its bytes; the stamp last told of refused entries is
// kept in the settings ([Memo] RefusalsTold: stamp, a blank, the path).
#pragma once

#include "dictionary/saved_word_list.h"

class CIni;

class ProfileListFiles final : public IListFileStore {
public:
    // Where the stamp last told is kept; none: nothing is remembered.
    void SetSettings(CIni* settings) { settings_ = settings; }

    std::unique_ptr<IProfileStore> OpenForReading(std::u16string_view path) override;
    std::vector<std::pair<std::u16string, std::u16string>> ReadSection(std::u16string_view path,
                                                                       std::u16string_view section) override;
    std::unique_ptr<IProfileStore> CreateForWriting(std::u16string_view path) override;
    bool FileExists(std::u16string_view path) override;
    bool Replace(std::u16string_view from, std::u16string_view to) override;
    void Delete(std::u16string_view path) override;
    uint32_t FormatFlags(std::u16string_view path) override;
    std::u16string ChooseFile(bool save, std::u16string_view title, std::u16string_view folder) override;
    std::u16string LastFailure() override;
    std::u16string Stamp(std::u16string_view path) override;
    std::u16string RefusalsToldFor(std::u16string_view path) override;
    void NoteRefusalsTold(std::u16string_view path, std::u16string_view stamp) override;

private:
    CIni* settings_ = nullptr;
};

// Creates (or empties) the file at `path` holding only the UTF-16LE
// byte-order mark; false when it cannot be written.
bool CreateUnicodeProfileFile(std::u16string_view path);
