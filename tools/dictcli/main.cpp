// dictcli: types keys into the list model over dictionary files, as the main
// window's search box does, and prints per keystroke the input, its kana, the
// current row, whether the key was found whole, and a page of rows. What
// the program would show in a message box (a dictionary whose index the
// engine refuses to read, met by the search or by the page's rows) goes to
// the error stream, and the exit status is 3;
// a dictionary read as a cut-short save left it, which no journal could
// repair, is told the same way, with exit status 4 when nothing else was.
// `find` runs a full-text query as the search-results list does and prints
// its rows: the dictionary's file, the record id and the score; a dictionary
// whose full-text index the engine refuses gives no rows and is told the same way.
//   dictcli type A.qdx [B.qdx ...] [--list reading|kanji|reverse] [--keys k1,k2,...] [--rows N]
//   dictcli find A.qdx [B.qdx ...] --query TEXT
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/text/utf8.h"
#include "dictionary/dictionary.h"
#include "dictionary/full_text_query_search.h"
#include "dictionary/input_line.h"
#include "dictionary/list_view_model.h"
#include "dictionary/shelf.h"
#include "dictionary/word_list.h"
#include "japanese/everyday_spellings.h"
#include "storage/dms.h"
#include "storage/global_engine.h"
#include "tools/console_app_context.h"
#include "tools/shelf_files.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: dictcli type A.qdx [B.qdx ...] [--list reading|kanji|reverse] [--keys k1,k2,...] "
                 "[--rows N]\n"
                 "       dictcli find A.qdx [B.qdx ...] --query TEXT\n");
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

// The lines of `rows` rows from the page's top, as the list would show them.
// The rows are read as the window reads them; when a dictionary leaves the
// list on the way (a refused read), the page is put back where it was among
// the rows left and read again.
std::string PageLines(ListViewModel& view, int32_t rows) {
    WordList& list = *view.model;
    std::string out;
    for (int32_t pass = 0; pass < WordList::kMaxCursors; ++pass) {
        out.clear();
        const int32_t drops = list.RefusedDictionaryDrops();
        for (int32_t row = std::max(view.topRow, 0); row < view.topRow + rows && row < list.RowCount(); ++row) {
            CCursor* cursor = view.ReadRow(row);
            if (cursor == nullptr || list.RefusedDictionaryDrops() != drops) break;
            std::u16string first(cursor->FieldText(0)), second(cursor->FieldText(1));
            // The kanji list's index holds (word, reading); print reading first always.
            if (view.viewKind == 5) std::swap(first, second);
            out += std::string(row == view.currentRow ? "> " : "  ") + Utf16ToUtf8(first) + "\t" +
                   Utf16ToUtf8(second) + "\n";
        }
        if (!view.FollowDroppedRows()) break;
    }
    return out;
}

// The search-results list filled by `query`, as the program fills it.
void PrintSearchResults(CShelf& shelf, const std::string& query) {
    WordList& list = *shelf.FindView(kViewSearchResults)->model;
    FullTextQuery parsed;
    FillFromQuery(list, parsed, Utf8ToUtf16(query));
    std::printf("rows %d\n", list.RowCount());
    for (int32_t row = 0; row < list.RowCount(); ++row) {
        const WordListEntry* entry = list.RowEntry(row);
        if (entry == nullptr || entry->dictionary == nullptr) continue;
        std::printf("%s\t%u\t%d\n", Utf16ToUtf8(entry->dictionary->File().path).c_str(), entry->recordId,
                    entry->priority);
    }
    list.ReportReadRefusals();
}

// 3 when a refusal was told, else 4 when a half-written dictionary was, else 0.
int ExitStatus(CShelf& shelf, const ConsoleAppContext& console) {
    int32_t unrepaired = 0;
    for (RDFDictionary* d = shelf.FirstDictionary(); d != nullptr; d = d->next)
        if (Failed(d->UnrepairedStatus())) ++unrepaired;
    return console.Shown() > unrepaired ? 3 : unrepaired > 0 ? 4 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const bool find = argc >= 3 && std::strcmp(argv[1], "find") == 0;
    if (argc < 3 || (!find && std::strcmp(argv[1], "type") != 0)) return Usage();
    std::vector<std::string> files;
    std::string listName = "reading", keys, query;
    int32_t rows = 5;
    for (int i = 2; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--list" && i + 1 < argc)
            listName = argv[++i];
        else if (arg == "--keys" && i + 1 < argc)
            keys = argv[++i];
        else if (arg == "--rows" && i + 1 < argc)
            rows = std::atoi(argv[++i]);
        else if (arg == "--query" && i + 1 < argc)
            query = argv[++i];
        else if (arg.rfind("--", 0) == 0)
            return Usage();
        else
            files.push_back(arg);
    }
    int32_t viewKind = listName == "reading" ? 2 : listName == "kanji" ? 5 : listName == "reverse" ? 4 : 0;
    if (files.empty() || viewKind == 0 || find == query.empty()) return Usage();

    ProgramGlobals globals(StorageEngineHooks());  // the run's engine, as the program has it
    ConsoleAppContext console("dictcli: ", true);
    InstalledAppContext installed(console);
    CInput input;
    CShelf shelf(*GlobalEngine(), nullptr, input);
    if (!OpenShelfFiles(shelf, files, "dictcli")) return 2;
    if (find) {
        PrintSearchResults(shelf, query);
        return ExitStatus(shelf, console);
    }
    ListViewModel& view = *shelf.FindView(viewKind);
    view.rowsPerPage = rows;
    // The reading list converts romaji as the program's list does; the
    // others keep what the shelf set (the reverse list's Greek conversion
    // stays off until the user turns it on).
    if (viewKind == 2) {
        view.conversionAvailable = true;
        view.conversionMode = kConvertRomaji;
        // A reading typed whole stands on its everyday spelling, as in the program.
        view.model->spellingPreference = &ostrel::japanese::EverydaySpellings();
    }
    std::printf("rows %d\n", view.GetRowCount());
    TypedBox box;
    for (const std::string& key : SplitKeys(keys)) {
        box.text = Utf8ToUtf16(key);
        view.SearchAsYouType(input, box);
        std::printf("key %s kana %s row %d %s\n", key.c_str(),
                    Utf16ToUtf8(input.convertedSearched ? input.converted : std::u16string()).c_str(),
                    view.currentRow, view.notWhole ? "not-whole" : "whole");
        std::fputs(PageLines(view, rows).c_str(), stdout);
        view.model->ReportReadRefusals();  // once per dictionary, after the page it cost
    }
    return ExitStatus(shelf, console);
}
