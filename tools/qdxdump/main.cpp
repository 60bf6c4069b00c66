// qdxdump: prints a dictionary file's properties 1 to 7 and the entry count
// of every index the program writes; with --keys INDEX also that index's
// entries (references shown by article number, see import/index_dump.h).
// --count INDEX FILE prints only that index's entry count.
#include "common/text/utf8.h"
#include "dictionary/dictionary_properties.h"
#include "dictionary/dictionary_schema.h"
#include "import/index_dump.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

bool OpenDictionaryFile(CDMS& engine, const char* path, int32_t& id) {
    if (!Failed(engine.OpenFile(Utf8ToUtf16(path), 2, DictionarySchemaText, &id))) return true;
    std::fprintf(stderr, "qdxdump: cannot open %s\n", path);
    return false;
}

int PrintCount(const char* index, const char* path) {
    char* end = nullptr;
    const long number = std::strtol(index, &end, 10);
    if (end == index || *end != 0) return 2;
    CDMS engine(SystemStorageIO());
    int32_t id = 0;
    if (!OpenDictionaryFile(engine, path, id)) return 1;
    uint32_t count = 0;
    const bool ok = !Failed(CountIndexEntries(engine, id, static_cast<int32_t>(number), count));
    if (ok) std::printf("%u\n", count);
    engine.CloseFile(id);
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--count") {
        const int result = PrintCount(argv[2], argv[3]);
        if (result == 2) std::fprintf(stderr, "qdxdump: %s: not an index number\n", argv[2]);
        return result;
    }
    if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--keys")) {
        std::fprintf(stderr, "usage: qdxdump FILE [--keys INDEX] | qdxdump --count INDEX FILE\n");
        return 2;
    }
    CDMS engine(SystemStorageIO());
    int32_t id = 0;
    if (!OpenDictionaryFile(engine, argv[1], id)) return 1;
    uint32_t cursor = 0;
    if (!Failed(engine.OpenCursor(id, &cursor)) && !Failed(engine.SelectIndex(cursor, kIndexProperties))) {
        for (int32_t property = 1; property <= 7; ++property) {
            std::optional<std::u16string> text;
            if (!Failed(GetDictionaryProperty(engine, cursor, property, text)) && text)
                std::printf("property %d: %s\n", property, Utf16ToUtf8(*text).c_str());
        }
        engine.CloseCursor(cursor);
    }
    for (int32_t index : {0, 1, 3, 101, 102, 106, 110, 111, 121}) {
        uint32_t count = 0;
        if (!Failed(CountIndexEntries(engine, id, index, count))) std::printf("index %d: %u entries\n", index, count);
    }
    int result = 0;
    if (argc == 4) {
        std::string dump;
        if (Failed(DumpIndex(engine, id, std::stoi(argv[3]), dump))) result = 1;
        std::fputs(dump.c_str(), stdout);
    }
    engine.CloseFile(id);
    return result;
}
