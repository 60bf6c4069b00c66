// rtfgen: renders the first records of a dictionary, in record order (for a
// compiled source, the source's order), into one RTF document through the
// print or editor renderers, as printing and export do.
//   rtfgen [--flags F] [--editor] [--columns N] [--blank N] [--first N] DICT.qdx OUT.rtf
// Prints the article count, the document's size and the time taken.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "article/export_records.h"
#include "article/formatter_family.h"
#include "article/rtf_dispatch.h"
#include "article/rtf_document.h"
#include "common/text/utf8.h"
#include "dictionary/dictionary.h"
#include "import/import_registration.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: rtfgen [--flags F] [--editor] [--columns N] [--blank N] [--first N] DICT.qdx OUT.rtf\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    uint32_t flags = 0x41;
    bool editor = false;
    int32_t columns = 2, blank = 1;
    long first = -1;
    std::string paths[2];
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool valued = arg == "--flags" || arg == "--columns" || arg == "--blank" || arg == "--first";
        if (valued && i + 1 >= argc) return Usage();
        if (arg == "--flags") flags = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 0));
        else if (arg == "--columns") columns = std::atoi(argv[++i]);
        else if (arg == "--blank") blank = std::atoi(argv[++i]);
        else if (arg == "--first") first = std::atol(argv[++i]);
        else if (arg == "--editor") editor = true;
        else if (arg.starts_with("--") || count == 2) return Usage();
        else paths[count++] = arg;
    }
    if (count != 2) return Usage();
    const auto start = std::chrono::steady_clock::now();
    RegisterImportParsers();
    CDMS engine(SystemStorageIO());
    CDictionary dictionary(0, engine);
    const std::u16string source = Utf8ToUtf16(paths[0]), target = Utf8ToUtf16(paths[1]);
    if (!dictionary.File().SetPath(source.c_str()) || dictionary.Open(2) != 0) {
        std::fprintf(stderr, "rtfgen: %s: cannot open the dictionary\n", paths[0].c_str());
        return 1;
    }
    DictionaryExportRecords records(dictionary);
    records.KeepFirst(first >= 0 && first < 0x7FFFFFFF ? static_cast<int32_t>(first) : -1);

    CRtfDocumentBuilder document(flags);
    document.columns = columns;
    document.blankLines = blank;
    int32_t rendered = 0, failed = 0;
    for (int32_t i = 0; i < records.Count(); ++i) {
        CRtfArticleBuilder* piece = nullptr;
        if (records.Load(i) == nullptr || (piece = document.AddArticle()) == nullptr) {
            ++failed;
            continue;
        }
        const uint32_t formatType = ParsedFormatType(dictionary);
        const std::span<const DictionaryElement> elements(dictionary.Elements(),
                                                          static_cast<size_t>(dictionary.ElementCount()));
        RenderRtfArticle(*piece, editor ? RtfTable::Editor : RtfTable::Print, formatType, elements, 10, flags);
        ++rendered;
    }
    dictionary.Close();
    if (document.SaveToFile(target.c_str()) != 1) {
        std::fprintf(stderr, "rtfgen: %s: cannot write the document\n", paths[1].c_str());
        return 1;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::unique_ptr<char[]> block;
    const int32_t bytes = document.ToMemory(block);
    std::fprintf(stderr, "rtfgen: %d articles, %d unreadable, %d bytes, %.3f s\n", rendered, failed, bytes, seconds);
    return failed == 0 ? 0 : 3;
}
