// qdxdump: prints a dictionary file's properties 1 to 7 and the entry count
// of every index the program writes; with --keys INDEX also that index's
// entries (references shown by article number, see import/index_dump.h).
#include "common/text/utf8.h"
#include "dictionary/dictionary_properties.h"
#include "dictionary/dictionary_schema.h"
#include "import/index_dump.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

#include <cstdio>
#include <optional>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--keys")) {
        std::fprintf(stderr, "usage: qdxdump FILE [--keys INDEX]\n");
        return 2;
    }
    CDMS engine(SystemStorageIO());
    int32_t id = 0;
    if (Failed(engine.OpenFile(Utf8ToUtf16(argv[1]), 2, DictionarySchemaText, &id))) {
        std::fprintf(stderr, "qdxdump: cannot open %s\n", argv[1]);
        return 1;
    }
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
