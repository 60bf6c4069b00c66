// dictcli: types keys into the list model over dictionary files, as the main
// window's search box does, and prints per keystroke the input, its kana, the
// current row, whether the key was found whole, and a page of rows. What
// the program would show in a message box (a dictionary whose index the
// engine refuses to read) goes to the error stream, and the exit status is 3;
// a dictionary read as a cut-short save left it, which no journal could
// repair, is told the same way, with exit status 4 when nothing else was.
//   dictcli type A.qdx [B.qdx ...] [--list reading|kanji|reverse] [--keys k1,k2,...] [--rows N]
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/text/utf8.h"
#include "dictionary/dictionary.h"
#include "dictionary/input_line.h"
#include "dictionary/shelf.h"
#include "dictionary/word_list.h"
#include "storage/dms.h"
#include "storage/global_engine.h"
#include "tools/console_app_context.h"
#include "tools/shelf_files.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: dictcli type A.qdx [B.qdx ...] [--list reading|kanji|reverse] [--keys k1,k2,...] "
                 "[--rows N]\n");
    return 1;
}

// The search box of the tool: the key typed so far, no selection.
class TypedBox : public IInputBox {
public:
    std::u16string Text() const override { return text; }
    void Selection(int32_t& start, int32_t& end) const override { start = end = static_cast<int32_t>(text.size()); }
    void HighlightInputRange(int32_t, int32_t) override {}
    std::u16string text;
};

std::vector<std::string> SplitKeys(const std::string& keys) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= keys.size()) {
        size_t comma = keys.find(',', start);
        if (comma == std::string::npos) comma = keys.size();
        out.push_back(keys.substr(start, comma - start));
        start = comma + 1;
    }
    return out;
}

void PrintPage(ListViewModel& view, int32_t rows) {
    WordList& list = *view.model;
    for (int32_t row = std::max(view.topRow, 0); row < view.topRow + rows && row < list.RowCount(); ++row) {
        CCursor* cursor = list.GetEntry(row);
        if (cursor == nullptr) break;
        std::u16string first(cursor->FieldText(0)), second(cursor->FieldText(1));
        // The kanji list's index holds (word, reading); print reading first always.
        if (view.viewKind == 5) std::swap(first, second);
        std::printf("%s %s\t%s\n", row == view.currentRow ? ">" : " ", Utf16ToUtf8(first).c_str(),
                    Utf16ToUtf8(second).c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || std::strcmp(argv[1], "type") != 0) return Usage();
    std::vector<std::string> files;
    std::string listName = "reading", keys;
    int32_t rows = 5;
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--list" && i + 1 < argc)
            listName = argv[++i];
        else if (arg == "--keys" && i + 1 < argc)
            keys = argv[++i];
        else if (arg == "--rows" && i + 1 < argc)
            rows = std::atoi(argv[++i]);
        else if (arg.rfind("--", 0) == 0)
            return Usage();
        else
            files.push_back(arg);
    }
    int32_t viewKind = listName == "reading" ? 2 : listName == "kanji" ? 5 : listName == "reverse" ? 4 : 0;
    if (files.empty() || viewKind == 0) return Usage();

    ProgramGlobals globals(StorageEngineHooks());  // the run's engine, as the program has it
    ConsoleAppContext console("dictcli: ", true);
    InstalledAppContext installed(console);
    CInput input;
    CShelf shelf(*GlobalEngine(), nullptr, input);
    if (!OpenShelfFiles(shelf, files, "dictcli")) return 2;
    ListViewModel& view = *shelf.FindView(viewKind);
    view.rowsPerPage = rows;
    // The reading list converts romaji as the program's list does; the
    // others keep what the shelf set (the reverse list's Greek conversion
    // stays off until the user turns it on).
    if (viewKind == 2) {
        view.conversionAvailable = true;
        view.conversionMode = kConvertRomaji;
    }
    std::printf("rows %d\n", view.GetRowCount());
    TypedBox box;
    for (const std::string& key : SplitKeys(keys)) {
        box.text = Utf8ToUtf16(key);
        view.SearchAsYouType(input, box);
        std::printf("key %s kana %s row %d %s\n", key.c_str(),
                    Utf16ToUtf8(input.convertedSearched ? input.converted : std::u16string()).c_str(),
                    view.currentRow, view.notWhole ? "not-whole" : "whole");
        PrintPage(view, rows);
    }
    int32_t unrepaired = 0;
    for (RDFDictionary* d = shelf.FirstDictionary(); d != nullptr; d = d->next)
        if (Failed(d->UnrepairedStatus())) ++unrepaired;
    return console.Shown() > unrepaired ? 3 : unrepaired > 0 ? 4 : 0;
}
