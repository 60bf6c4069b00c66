// artfmt: reads raw records of one source format from a UTF-8 file (records
// separated by blank lines), formats each through the formatter family and
// prints one JSON object per record: {"text": ..., "runs": [[start, length,
// attribute], ...]} (RTF articles: the document as text, no runs).
//
//   artfmt --format N --what article|export|index|column:K [--sub N] [--cut-columns] FILE
//
// --cut-columns: the dictionary counts entries in its Latin stem index, so
// DSL columns are cut from the card's first and indented lines.
// A record becomes the entry element's span and the stored record's text, as
// the parsers would leave them for the members that read a record's text;
// book and YARXI records (formats 12, 14 and 15) go through their own record
// parsers. In format 7 records "\0" stands for the NUL after the headword.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "article/formatter_family.h"
#include "import/import_registration.h"
#include "common/text/utf8.h"
#include "dictionary/dictionary.h"
#include "storage/dms.h"
#include "storage/simulated_disk.h"

namespace {

struct Options {
    uint32_t format = 0;
    std::string what;
    int32_t columnKind = 0;
    uint16_t subEntry = 0;
    bool cutColumns = false;
    std::string path;
};

int Usage() {
    std::fprintf(stderr, "usage: artfmt --format N --what article|export|index|column:K [--sub N] [--cut-columns] FILE\n");
    return 2;
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--format" && i + 1 < argc) options.format = static_cast<uint32_t>(std::atoi(argv[++i]));
        else if (arg == "--what" && i + 1 < argc) options.what = argv[++i];
        else if (arg == "--sub" && i + 1 < argc) options.subEntry = static_cast<uint16_t>(std::atoi(argv[++i]));
        else if (arg == "--cut-columns") options.cutColumns = true;
        else if (options.path.empty() && !arg.starts_with("--")) options.path = arg;
        else return false;
    }
    if (options.what.starts_with("column:")) {
        options.columnKind = std::atoi(options.what.c_str() + 7);
        options.what = "column";
    }
    const bool known = options.what == "article" || options.what == "export" || options.what == "index" ||
                       (options.what == "column" && options.columnKind > 0);
    return known && options.format > 0 && !options.path.empty();
}

// Records of the file: runs of lines separated by one or more blank lines.
std::vector<std::u16string> ReadRecords(const std::string& bytes, bool nulEscapes) {
    std::vector<std::u16string> records;
    std::u16string text = Utf8ToUtf16(bytes);
    std::u16string current;
    size_t at = 0;
    while (at <= text.size()) {
        size_t end = text.find(u'\n', at);
        if (end == std::u16string::npos) end = text.size();
        std::u16string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == u'\r') line.pop_back();
        if (line.empty()) {
            if (!current.empty()) records.push_back(current);
            current.clear();
        } else {
            current += (current.empty() ? u"" : u"\n") + line;
        }
        at = end + 1;
    }
    if (!current.empty()) records.push_back(current);
    if (nulEscapes) {
        for (std::u16string& record : records)
            for (size_t k = record.find(u"\\0"); k != std::u16string::npos; k = record.find(u"\\0", k + 1))
                record.replace(k, 2, 1, u'\0');
    }
    return records;
}

// Makes `record` the dictionary's current parsed record of `format`.
bool LoadRecord(CDictionary& dictionary, uint32_t format, const std::u16string& record) {
    dictionary.ClearParsedArticle();
    dictionary.parsedFormatType = format;
    const uint32_t size = static_cast<uint32_t>(10 + record.size() * 2 + 2);
    uint8_t* stored = dictionary.ReserveRecordBuffer(size);
    if (stored == nullptr) return false;
    std::memset(stored, 0, size);
    stored[8] = static_cast<uint8_t>(format);
    stored[9] = static_cast<uint8_t>(format >> 8);
    std::memcpy(stored + 10, record.data(), record.size() * 2);
    dictionary.SetRecordSize(size);
    // Book and YARXI records are parsed as stored: their formatters read the
    // elements (one per line; the group tree).
    if (format == 12 || format == 14 || format == 15) return dictionary.ParseRecord(stored, size - 2) != 0;
    const int32_t offset = dictionary.AppendText(static_cast<int32_t>(record.size()), record.data());
    DictionaryElement* entry = dictionary.AddElement(kElementEntryStart);
    if (entry == nullptr || offset < 0) return false;
    entry->text = dictionary.Text() + offset;
    entry->length = static_cast<int32_t>(record.size());
    entry->begin = entry->text;
    entry->end = entry->text + record.size() - 1;
    return true;
}

void PrintJsonString(const std::u16string& text) {
    std::string out = "\"";
    for (char c : Utf16ToUtf8(text)) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') out += {'\\', c};
        else if (c == '\n') out += "\\n";
        else if (c == '\t') out += "\\t";
        else if (u < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
            out += escaped;
        } else {
            out += c;
        }
    }
    std::fputs((out + "\"").c_str(), stdout);
}

template <typename Attribute>
void PrintRecord(const std::u16string& text, const Attribute* attributes) {
    std::fputs("{\"text\": ", stdout);
    PrintJsonString(text);
    std::fputs(", \"runs\": [", stdout);
    bool first = true;
    for (size_t start = 0; attributes != nullptr && start < text.size();) {
        size_t end = start + 1;
        while (end < text.size() && attributes[end] == attributes[start]) ++end;
        std::printf("%s[%zu, %zu, %lu]", first ? "" : ", ", start, end - start,
                    static_cast<unsigned long>(attributes[start]));
        first = false;
        start = end;
    }
    std::fputs("]}\n", stdout);
}

void PrintFormatted(const FormattedText& formatted) {
    if (formatted.Kind() == FormattedTextKind::Rtf) {
        const std::string_view document = formatted.RtfDocument();
        PrintRecord<uint32_t>(std::u16string(document.begin(), document.end()), nullptr);
        return;
    }
    PrintRecord(std::u16string(formatted.Text()), formatted.Attributes().data());
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) return Usage();
    std::ifstream file(options.path, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "artfmt: cannot read %s\n", options.path.c_str());
        return 1;
    }
    std::stringstream bytes;
    bytes << file.rdbuf();

    RegisterImportParsers();
    SimulatedDisk disk;
    CDMS engine(disk);
    CDictionary dictionary(0x40000, engine);
    if (options.cutColumns) dictionary.latinStemCount = 1;
    for (const std::u16string& record : ReadRecords(bytes.str(), options.format == 7)) {
        if (!LoadRecord(dictionary, options.format, record)) {
            std::fprintf(stderr, "artfmt: out of memory\n");
            return 1;
        }
        if (options.what == "article") {
            PrintFormatted(FormatArticle(dictionary));
        } else if (options.what == "export") {
            PrintFormatted(FormatExportText(dictionary));
        } else if (options.what == "column") {
            ListCell cell;
            cell.columnKind = options.columnKind;
            GetColumnText(dictionary, cell, options.columnKind, options.subEntry);
            PrintRecord(std::u16string(cell.text, static_cast<size_t>(cell.length)), cell.attributes);
        } else {
            const int32_t capacity = static_cast<int32_t>(record.size()) * 3 + 600;
            std::vector<char16_t> out(static_cast<size_t>(capacity));
            std::vector<uint16_t> bits(out.size(), 0);
            const int32_t length = PrepareIndexText(options.format, out.data(), capacity, record.data(),
                                                    static_cast<int32_t>(record.size()), bits.data());
            PrintRecord(std::u16string(out.data(), static_cast<size_t>(length > 0 ? length : 0)), bits.data());
        }
    }
    return 0;
}
