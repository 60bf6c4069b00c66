// The command-line tools' way to put dictionary files on a shelf: each file
// added and opened read-only, the first that fails reported on stderr in
// the engine's words.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "common/text/utf8.h"
#include "dictionary/dictionary.h"
#include "dictionary/shelf.h"
#include "storage/dms.h"

// Adds and opens `files` on `shelf` and refreshes it; false (after a line
// "<tool>: <file>: <status> <reason>") when one cannot be opened.
inline bool OpenShelfFiles(CShelf& shelf, const std::vector<std::string>& files, const char* tool) {
    for (const std::string& file : files) {
        RDFDictionary* dictionary = shelf.AddDictionary(kDictionaryStoreDatabase, Utf8ToUtf16(file));
        const uint32_t status = dictionary != nullptr ? dictionary->Open(2) : kOpenNoFile;
        if (status != 0) {
            char16_t reason[256];
            DmsErrorText(static_cast<int32_t>(status), 0, reason, 256);
            std::fprintf(stderr, "%s: %s: %u %s\n", tool, file.c_str(), status, Utf16ToUtf8(reason).c_str());
            return false;
        }
    }
    shelf.Refresh();
    return true;
}
