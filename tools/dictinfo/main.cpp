// dictinfo: opens each dictionary file read-only, as the program opens its
// dictionaries, and prints its header texts, flags, version, languages and
// counts. Exit status 0 when every file opened, 2 otherwise; 4 when every
// file opened but one was read as a save cut short left it, which no
// journal could repair (a warning on the error stream names it).
// `--sample FILE` first writes a small dictionary from Debian's EDICT to check the tool.
#include <cstdio>
#include <fstream>
#include <string>

#include "common/text/utf8.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/engine_cursor.h"
#include "dictionary/format_detection.h"
#include "storage/dms.h"
#include "storage/global_engine.h"
#include "storage/tests/edict_keys.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: dictinfo DICTIONARY...\n"
                         "       dictinfo --sample DICTIONARY   (writes a sample file, then prints it)\n");
    return 2;
}

constexpr const char* kHeaderNames[kHeaderTextCount] = {
    "name", "copyright", "comment", "version text", "installation id", "identity", "created", "index language name"};

// Readings and headwords of the first EDICT lines in indexes 101 and 102,
// with the header texts the compiler writes.
bool WriteSample(const std::u16string& path) {
    std::vector<ReadingAndWord> keys = LoadEdictKeys(500);
    if (keys.empty()) return false;
    CDMS engine(SystemStorageIO());
    SystemStorageIO().Delete(path);
    int32_t id = 0;
    if (Failed(engine.CreateFile(path, DictionarySchemaText)) ||
        Failed(engine.OpenFile(path, 1, DictionarySchemaText, &id)))
        return false;
    {
        EngineCursor cursor(engine, id);
        std::u16string version;
        FormatVersionString(version, 1, true, false);
        if (!cursor.ok() || Failed(PutDictionaryProperty(engine, cursor.handle(), kPropertyName, u"EDICT sample")) ||
            Failed(PutDictionaryProperty(engine, cursor.handle(), kPropertyCopyright, u"和英辞典")) ||
            Failed(PutDictionaryProperty(engine, cursor.handle(), kPropertyVersion, version)))
            return false;
        for (auto& [reading, word] : keys) {
            KeySegmentValue byReading[2] = {{reading.data(), static_cast<int32_t>(reading.size() * 2)},
                                            {word.data(), static_cast<int32_t>(word.size() * 2)}};
            KeySegmentValue byWord[2] = {byReading[1], byReading[0]};
            if (Failed(engine.SelectIndex(cursor.handle(), kIndexReadingWord)) ||
                Failed(engine.InsertKey(cursor.handle(), byReading, {1, 0})) ||
                Failed(engine.SelectIndex(cursor.handle(), kIndexWordReading)) ||
                Failed(engine.InsertKey(cursor.handle(), byWord, {1, 0})))
                return false;
        }
    }
    return !Failed(engine.CloseFile(id));
}

// The files read as a cut-short save left them.
int g_unrepaired = 0;

bool Print(const std::string& path) {
    RDFDictionary dictionary(0);
    std::u16string widePath = Utf8ToUtf16(path);
    if (!dictionary.File().SetPath(widePath.c_str())) {
        std::fprintf(stderr, "dictinfo: path too long: %s\n", path.c_str());
        return false;
    }
    uint32_t status = dictionary.Open(2);
    if (status != 0) {
        char16_t reason[256];
        DmsErrorText(static_cast<int32_t>(status), 0, reason, 256);
        std::fprintf(stderr, "dictinfo: %s: %u %s\n", path.c_str(), status, Utf16ToUtf8(reason).c_str());
        return false;
    }
    if (Failed(dictionary.UnrepairedStatus())) {
        char16_t reason[256];
        DmsErrorText(StatusCode(dictionary.UnrepairedStatus()), 0, reason, 256);
        std::fprintf(stderr, "dictinfo: warning: %s: left half-written by a save that did not end, not repaired (%d %s)\n",
                     path.c_str(), StatusCode(dictionary.UnrepairedStatus()), Utf16ToUtf8(reason).c_str());
        ++g_unrepaired;
    }
    std::printf("%s\n", path.c_str());
    for (int32_t id = 1; id <= kHeaderTextCount; ++id) {
        const auto& text = dictionary.HeaderText(id);
        if (text) std::printf("%s: %s\n", kHeaderNames[id - 1], Utf16ToUtf8(*text).c_str());
    }
    std::printf("index language: %s\n", Utf16ToUtf8(dictionary.IndexLanguage()).c_str());
    std::printf("version: 0x%08X%s\n", static_cast<uint32_t>(dictionary.version),
                dictionary.version < kFirstCurrentVersion ? " (old)" : "");
    std::printf("editable: %s, book: %s, collation: %s\n", (dictionary.flags & kFormatEditable) ? "yes" : "no",
                (dictionary.flags & kFormatBook) ? "yes" : "no", dictionary.collatorKind == 0 ? "dictionary" : "UCA");
    std::printf("readings (101): %d\nwords (102): %d\ntranslation words (106): %d\nLatin stems (121): %d\n",
                dictionary.readingCount, dictionary.wordCount, dictionary.translationWordCount,
                dictionary.latinStemCount);
    std::printf("articles: %d\n", dictionary.articleCount);
    if (dictionary.flags & kFormatBook) std::printf("book header records: %d\n", dictionary.bookHeaderCount);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int first = 1;
    if (argc > 1 && std::string(argv[1]) == "--sample") {
        if (argc != 3) return Usage();
        if (!WriteSample(Utf8ToUtf16(argv[2]))) {
            std::fprintf(stderr, "dictinfo: cannot write the sample (is edict installed?)\n");
            return 2;
        }
        first = 2;
    }
    if (first >= argc) return Usage();
    ProgramGlobals globals(StorageEngineHooks());  // the run's engine, as the program has it
    bool allOpened = true;
    for (int i = first; i < argc; ++i) allOpened = Print(argv[i]) && allOpened;
    return !allOpened ? 2 : g_unrepaired > 0 ? 4 : 0;
}
