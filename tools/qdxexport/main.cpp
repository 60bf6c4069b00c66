// qdxexport: exports every record of a dictionary file, in record order, the
// way the program prints and exports a word list: one RTF document through
// the export builder and the document's own file writer, or with --text the
// records' export texts (UTF-8, CR LF line ends, a blank line between articles).
//   qdxexport [--text] [--columns N] [--blank N] [--font-size N] [--compact] [--colored]
//             [--kanji-first] [--translit] [--first N] [--index ID] DICT.qdx OUT
// With --index the records come in the order of that index's entries (101
// the readings, 102 the words), as a list over it shows them. Options out of
// range are clamped as the stored print options are. --memory-limit N caps
// the bytes the document's pieces may hold (as running out of memory would):
// a document cut short is still written, and the tool says so and ends with 3.
// Records that cannot be read (a damaged page) are left out of either export
// and counted: the rest is written, the tool says how many were skipped and
// ends with 3. The output replaces an existing file only once it is whole: a
// failed write leaves the old file as it was and ends with 1.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "article/article_export.h"
#include "article/export_records.h"
#include "common/text/utf8.h"
#include "dictionary/dictionary.h"
#include "dictionary/replacing_file.h"
#include "import/import_registration.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: qdxexport [--text] [--columns N] [--blank N] [--font-size N] [--compact] [--colored]\n"
                 "                 [--kanji-first] [--translit] [--first N] [--index ID] [--memory-limit N]\n"
                 "                 DICT.qdx OUT\n");
    return 2;
}

bool WriteText(const std::u16string& path, std::u16string_view text) {
    const std::string bytes = Utf16ToUtf8(text);
    if (bytes.size() > 0x7FFFFFFF) return false;
    ReplacingFile file;
    return file.Begin(path) && file.Write(bytes.data(), static_cast<int32_t>(bytes.size())) && file.Commit();
}

}  // namespace

int main(int argc, char** argv) {
    ExportOptions options;
    options.formatCompressed = 0;
    bool text = false;
    long first = -1;
    int32_t indexId = 0;
    unsigned long long memoryLimit = 0;
    std::string paths[2];
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool valued = arg == "--columns" || arg == "--blank" || arg == "--font-size" || arg == "--first" ||
                            arg == "--index" || arg == "--memory-limit";
        if (valued && i + 1 >= argc) return Usage();
        if (arg == "--text") text = true;
        else if (arg == "--columns") options.columns = std::atoi(argv[++i]);
        else if (arg == "--blank") options.addBlankLines = std::atoi(argv[++i]);
        else if (arg == "--font-size") options.fontSize = std::atoi(argv[++i]);
        else if (arg == "--first") first = std::atol(argv[++i]);
        else if (arg == "--index") indexId = std::atoi(argv[++i]);
        else if (arg == "--memory-limit") memoryLimit = std::strtoull(argv[++i], nullptr, 10);
        else if (arg == "--compact") options.formatCompressed = 1;
        else if (arg == "--colored") options.formatColored = 1;
        else if (arg == "--kanji-first") options.startKanji = 1;
        else if (arg == "--translit") options.translit = 1;
        else if (arg.starts_with("--") || count == 2) return Usage();
        else paths[count++] = arg;
    }
    if (count != 2) return Usage();
    options.formatScreen = !options.formatCompressed;
    options = ClampExportOptions(options);

    RegisterImportParsers();
    CDMS engine(SystemStorageIO());
    CDictionary dictionary(0, engine);
    const std::u16string source = Utf8ToUtf16(paths[0]), target = Utf8ToUtf16(paths[1]);
    if (!dictionary.File().SetPath(source.c_str()) || dictionary.Open(2) != 0) {
        std::fprintf(stderr, "qdxexport: %s: cannot open the dictionary\n", paths[0].c_str());
        return 1;
    }
    DictionaryExportRecords records = indexId != 0 ? DictionaryExportRecords(dictionary, indexId)
                                                   : DictionaryExportRecords(dictionary);
    records.KeepFirst(first >= 0 && first < 0x7FFFFFFF ? static_cast<int32_t>(first) : -1);
    ArticleExportBuilder builder;
    if (memoryLimit != 0) builder.memoryLimit = static_cast<size_t>(std::min<unsigned long long>(memoryLimit, SIZE_MAX));
    bool written = false, cut = false;
    int32_t articles = 0;
    if (text) {
        written = WriteText(target, builder.BuildText(records, TextLineEnds::CrLf));
    } else if (CRtfDocumentBuilder* document = builder.BuildRtf(records, options)) {
        articles = document->PieceCount();
        cut = document->Cut();
        written = document->SaveToFile(target.c_str()) == 1;
    }
    dictionary.Close();
    if (!written) {
        std::fprintf(stderr, "qdxexport: %s: cannot write the export\n", paths[1].c_str());
        return 1;
    }
    if (cut) {
        std::fprintf(stderr, "qdxexport: out of memory: the document was cut at record %d of %d\n",
                     builder.Processed(), static_cast<int>(records.Count()));
    }
    if (builder.Skipped() > 0) {
        std::fprintf(stderr, "qdxexport: %d of %d records could not be read and were skipped\n", builder.Skipped(),
                     static_cast<int>(records.Count()));
    }
    if (text) std::fprintf(stderr, "qdxexport: %d records, text of %zu units\n", builder.Processed(), builder.Text().size());
    else std::fprintf(stderr, "qdxexport: %d records, %d articles\n", builder.Processed(), articles);
    return cut || builder.Skipped() > 0 ? 3 : 0;
}
