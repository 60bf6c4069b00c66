// bookcli: opens a text book or a stored book (a .qdx book dictionary, its
// first book) as the book reader does and prints "languages L phrases P",
// then the phrases of one column, one per line; or saves a text book back
// through the reader's writer. A stored book that turns out damaged is
// printed as far as it reads and named damaged (exit status 3).
//   bookcli FILE [--column N] [--save OUT]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "book/book_model.h"
#include "book/stored_book.h"
#include "book/text_book.h"
#include "book/text_book_writer.h"
#include "common/text/utf8.h"
#include "dictionary/dictionary.h"
#include "dictionary/shelf.h"
#include "import/import_registration.h"
#include "common/global_objects.h"
#include "dictionary/input_line.h"
#include "storage/global_engine.h"
#include "tools/shelf_files.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: bookcli FILE [--column N] [--save OUT]\n");
    return 1;
}

bool IsDictionaryFile(const std::string& path) {
    return path.size() > 4 && path.compare(path.size() - 4, 4, ".qdx") == 0;
}

void PrintBook(BookModel& model, int32_t column) {
    std::printf("languages %zu phrases %d\n", model.Languages().size(), model.PhraseCount());
    if (column < 0 || column >= model.ColumnCount()) return;
    BookSource& source = *model.Source();
    for (int32_t e = 0; e < model.PhraseCount(); ++e)
        std::printf("%s\n", Utf16ToUtf8(source.Text(e, model.RecordId(e), column).text).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    std::string file, save;
    int32_t column = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--column" && i + 1 < argc) column = std::atoi(argv[++i]);
        else if (arg == "--save" && i + 1 < argc) save = argv[++i];
        else if (arg.rfind("--", 0) == 0 || !file.empty()) return Usage();
        else file = arg;
    }
    if (file.empty()) return Usage();
    RegisterImportParsers();  // stored records parse through their format's parser
    if (IsDictionaryFile(file)) {
        if (!save.empty()) return Usage();
        ProgramGlobals globals(StorageEngineHooks());
        CInput input;
        CShelf shelf(*GlobalEngine(), nullptr, input);
        if (!OpenShelfFiles(shelf, {file}, "bookcli")) return 2;
        auto book = std::make_shared<StoredBook>(*shelf.GetDictionary(0));
        const std::vector<StoredBookEntry> books = book->Books(0);
        if (!book->Ok() || books.empty()) {
            std::fprintf(stderr, "bookcli: %s: no book%s%s\n", file.c_str(), book->Damage().empty() ? "" : ": ",
                         Utf16ToUtf8(book->Damage()).c_str());
            return 2;
        }
        book->SetStartRecord(books.front().firstRecord);
        BookModel model;  // released before the shelf closes its dictionary
        model.Build(book, false, false);
        PrintBook(model, column);
        // A walk that stopped early or a phrase that could not be read.
        if (!book->Damage().empty()) {
            std::fprintf(stderr, "bookcli: %s: the book is damaged: %s\n", file.c_str(), Utf16ToUtf8(book->Damage()).c_str());
            return 3;
        }
        return 0;
    }
    auto book = std::make_shared<TextBook>();
    if (!book->Load(Utf8ToUtf16(file))) {
        std::u16string problem = book->Problem();
        for (char16_t& c : problem)
            if (c == u'\n') c = u' ';
        std::fprintf(stderr, "bookcli: %s: cannot open the book: %s\n", file.c_str(), Utf16ToUtf8(problem).c_str());
        return 2;
    }
    BookModel model;
    model.Build(book, true, !save.empty());
    if (!save.empty()) {
        if (SaveTextBook(model, Utf8ToUtf16(save)) != SaveResult::Saved) {
            std::fprintf(stderr, "bookcli: %s: cannot save\n", save.c_str());
            return 2;
        }
        return 0;
    }
    PrintBook(model, column);
    return 0;
}
