// The book loader's work: compiles parallel texts, one after another, into
// an existing book dictionary (closed while it runs), and marks the
// dictionary a finished book: its version's final "P" becomes "I",
// rewritten inside one transaction so it is never briefly missing. The
// texts are compiled into copies beside the dictionary, which takes the
// result in one step at the end: a load killed midway leaves the dictionary
// as it was. A text that fails or a cancel ends the load; the books loaded
// before it are kept (and the dictionary marked finished), and nothing
// else changes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "storage/dms_status.h"

class CConverter;
class CDMS;
class CompileEnv;
class CompileUi;

// Format flags of a book load: parallel text, UTF-8, line text.
inline constexpr uint32_t kBookLoadFlags = 0x404008;

class BookLoader {
public:
    BookLoader(CDMS& engine, CompileUi& ui, CompileEnv& env) : engine_(engine), ui_(ui), env_(env) {}

    // 1 when every source loaded and the dictionary is marked finished; 0
    // otherwise, with `error` saying why ("Cannot convert a dictionary\n
    // <reason>", or that the load was cancelled) and, when `loaded` books
    // before the failure were kept, how many of the sources they are; empty
    // when the compile already showed the reason itself and no book was kept.
    int32_t Load(std::u16string_view dictionaryPath, const std::vector<std::u16string>& sources);
    // Asks the running compile to stop (its progress answers with a stop).
    void Cancel();
    bool Running() const { return converter_ != nullptr; }
    // The last Load ended because Cancel was asked.
    bool Cancelled() const { return cancelled_; }

    std::u16string error;
    int32_t loaded = 0;  // sources loaded by the last Load
    // Called before each source with its path (the dialog shows it).
    void (*onSource)(std::u16string_view path, void* context) = nullptr;
    void* context = nullptr;

private:
    CDMS& engine_;
    CompileUi& ui_;
    CompileEnv& env_;
    CConverter* converter_ = nullptr;
    bool cancelled_ = false;
};

// The version property's final "P" becomes "I" in a transaction; success
// when the property is absent.
DmsStatus MarkBookFinished(CDMS& engine, std::u16string_view dictionaryPath);
