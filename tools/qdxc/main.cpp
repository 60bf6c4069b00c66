// qdxc: the dictionary compiler on the command line. Compiles any source the
// program can read into a dictionary file (.qdx), or exports it as UTF-16
// text when the target ends in ".txt". --deterministic fixes the installation
// id, GUID and creation time, so the same source gives the same bytes.
// --languages A,B,C,D chooses the source and translation languages as the
// conversion dialog does; without it the languages are those the dialog
// starts with (a DSL's declared ones, a Tatoeba source's jpn,rus,eng); --book
// reads a UTF-8 parallel-text book, which no sniffer rule recognises;
// --dsl-trn-words puts the words of a DSL source's "[trn]" translations into
// the word index, as the conversion dialog's option does.
// Exit status 0 on success (lines the source's format skipped and articles
// too large to store are reported on the error stream), 1 when the compile
// failed (a source in which no article could be read included), 2 for bad
// arguments, 3 when the source could not be read to its end (cut short: a
// header counting more words than follow, a group never closed, links to
// sentences past the last one, an EDICT's last line without its closing
// "/"): the articles read before are stored, and
// the error stream says how many and why.
#include "common/app_context.h"
#include "common/text/utf8.h"
#include "dictionary/dictionary.h"
#include "dictionary/format_detection.h"
#include "import/compile_environment.h"
#include "import/conversion_rules.h"
#include "import/converter.h"
#include "import/latin_word_list.h"
#include "storage/dms.h"
#include "storage/storage_io.h"
#include "tools/console_app_context.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Step labels and messages go to the error stream.
class ConsoleCompileUi : public CompileUi {
public:
    void SetStepLabel(std::u16string_view text) override { std::fprintf(stderr, "%s\n", Utf16ToUtf8(text).c_str()); }
    void EnableCancel() override {}
    bool HasProgressBar() const override { return false; }
    void SetProgress(int32_t) override {}
    void PumpMessages() override {}
    void ShowMessage(std::u16string_view text, std::u16string_view caption) override {
        std::fprintf(stderr, "%s: %s\n", Utf16ToUtf8(caption).c_str(), Utf16ToUtf8(text).c_str());
    }
};

constexpr int kSourceNotWholeStatus = 3;

int Usage() {
    std::fprintf(stderr,
                 "usage: qdxc [--deterministic] [--no-compact] [--no-bulk] [--languages A,B,C,D] [--book]"
                 " [--dsl-trn-words] SOURCE TARGET\n"
                 "exit status: 0 compiled, 1 failed, 2 bad arguments, 3 compiled from a source that could not be"
                 " read to its end (cut short; the articles before the cut are stored)\n");
    return 2;
}

// Up to four comma-separated codes of at most three letters; false otherwise.
bool ParseLanguages(const std::string& list, char16_t (&languages)[4][4]) {
    std::memset(languages, 0, sizeof languages);
    size_t slot = 0, at = 0;
    for (;;) {
        const size_t comma = list.find(',', at);
        const std::string code = list.substr(at, comma == list.npos ? list.npos : comma - at);
        if (slot == 4 || code.size() > 3) return false;
        for (size_t i = 0; i < code.size(); ++i) languages[slot][i] = static_cast<char16_t>(code[i]);
        ++slot;
        if (comma == list.npos) return true;
        at = comma + 1;
    }
}

}  // namespace

int main(int argc, char** argv) {
    bool deterministic = false, compact = true, bulk = true, book = false, dslWords = false;
    std::string languages;
    std::string paths[2];
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--deterministic") {
            deterministic = true;
        } else if (arg == "--no-compact") {
            compact = false;
        } else if (arg == "--no-bulk") {
            bulk = false;
        } else if (arg == "--book") {
            book = true;
        } else if (arg == "--dsl-trn-words") {
            dslWords = true;
        } else if (arg == "--languages" && i + 1 < argc) {
            languages = argv[++i];
        } else if (arg.starts_with("--") || count == 2) {
            return Usage();
        } else {
            paths[count++] = arg;
        }
    }
    if (count != 2) return Usage();
    const std::u16string source = Utf8ToUtf16(paths[0]), target = Utf8ToUtf16(paths[1]);
    const uint32_t flags = book ? kFormatBook | kFormatUtf8 : DetectDictionaryFileFormat(source.c_str());
    if (flags == 0) {
        std::fprintf(stderr, "qdxc: %s: not a source the program can read\n", paths[0].c_str());
        return 1;
    }
    CDMS engine(SystemStorageIO());
    CDictionary dictionary(kFormatStoreDatabase, engine);
    if (!ParseLanguages(languages, dictionary.languages)) return Usage();
    // Without a choice, the languages the conversion dialog would start with:
    // a DSL's declared ones, a format's own (Tatoeba's jpn, rus, eng).
    if (languages.empty() && !book) {
        SourceFileInfo info(source);
        info.Detect();
        const std::array<std::u16string, 4> probed = ProbedLanguages(info);
        for (size_t i = 0; i < probed.size(); ++i)
            std::copy_n(probed[i].begin(), std::min<size_t>(probed[i].size(), 3), dictionary.languages[i]);
    }
    // As the conversion dialog does: Latin articles get their dictionary form.
    dictionary.conversionState = kConversionAddsForms;
    ConsoleCompileUi ui;
    ConsoleAppContext console;  // the parsers' message boxes ("Input Text Error") go to the error stream too
    SetAppContext(&console);
    FixedCompileEnv fixed;
    PortableCompileEnv portable;
    CompileEnv& env = deterministic ? static_cast<CompileEnv&>(fixed) : portable;
    CConverter converter(dictionary, CConverter::kNewFile, ui, env);
    converter.compactionEnabled = compact;
    converter.bulkLoadEnabled = bulk;
    converter.dslTranslationWords = dslWords;
    if (!converter.Convert(flags, source, target)) {
        std::fprintf(stderr, "qdxc: %s: %s\n", paths[0].c_str(), Utf16ToUtf8(converter.errorText).c_str());
        return 1;
    }
    std::fprintf(stderr, "qdxc: %u articles\n", converter.StoredArticles());
    // What the compile left out (lines that were no article, articles too
    // large, the rest of a cut source) is said, but the dictionary made of
    // what was read stands; a cut source has a status of its own.
    if (const std::u16string leftOut = converter.Report().Text(); !leftOut.empty())
        std::fprintf(stderr, "qdxc: %s: %s\n", paths[0].c_str(), Utf16ToUtf8(leftOut).c_str());
    return converter.Report().NotWhole() ? kSourceNotWholeStatus : 0;
}
