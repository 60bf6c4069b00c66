// dmsverify: opens each database file read-only with its description (the
// dictionary schema unless --schema names a file holding another) and prints
// the structural verifier's findings. Exit status 0 when every file is sound,
// 1 when faults were found, 2 when a file could not be opened.
#include "common/tests/edict_files.h"
#include "common/text/utf8.h"
#include "storage/dms.h"
#include "storage/index_tree.h"
#include "storage/structure_verifier.h"
#include "storage/tests/dictionary_schema_text.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace {

int Usage() {
    std::fprintf(stderr, "usage: dmsverify [--schema FILE] DATABASE...\n"
                         "       dmsverify --sample DATABASE   (writes a sample file to check)\n");
    return 2;
}

// Writes a new file of the dictionary schema holding the first lines of
// Debian's EDICT as data blocks, some of them freed: a known-good file for
// checking the tool itself.
bool WriteSample(const std::string& path, const std::string& schema) {
    const std::vector<uint8_t> edict = ReadEdictFile("edict");
    const std::vector<std::span<const uint8_t>> lines = SplitLines(edict);
    CDMS engine(SystemStorageIO());
    std::u16string file = Utf8ToUtf16(path);
    SystemStorageIO().Delete(file);
    int32_t id = 0;
    uint32_t cursor = 0;
    if (Failed(engine.CreateFile(file, schema)) || Failed(engine.OpenFile(file, 1, schema, &id)) ||
        Failed(engine.OpenCursor(id, &cursor)))
        return false;
    for (size_t i = 0; i < 2000 && i < lines.size(); ++i) {
        std::span<const uint8_t> line = lines[i];
        uint32_t position = 0;
        if (Failed(engine.WriteData(cursor, line.data(), static_cast<uint32_t>(line.size()), &position))) return false;
        if (i % 5 == 0 && Failed(engine.FreeData(cursor, position))) return false;
        // Index 0 keys each block by its data position, as the dictionaries do.
        KeySegmentValue key{&position, 4};
        if (Failed(engine.SelectIndex(cursor, 0)) || Failed(engine.InsertKey(cursor, &key, {position, 0})))
            return false;
    }
    return !Failed(engine.CloseFile(id));
}

}  // namespace

int main(int argc, char** argv) {
    std::string schema = DictionarySchemaForTests();
    int first = 1;
    if (argc > 2 && std::string(argv[1]) == "--schema") {
        std::ifstream in(argv[2], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "dmsverify: cannot read %s\n", argv[2]);
            return 2;
        }
        schema.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        first = 3;
    }
    if (argc == 3 && std::string(argv[1]) == "--sample") {
        if (!WriteSample(argv[2], schema)) {
            std::fprintf(stderr, "dmsverify: cannot write the sample %s\n", argv[2]);
            return 2;
        }
        first = 2;
    }
    if (first >= argc) return Usage();
    int result = 0;
    CDMS engine(SystemStorageIO());
    for (int i = first; i < argc; ++i) {
        int32_t id = 0;
        DmsStatus st = engine.OpenFile(Utf8ToUtf16(argv[i]), 2, schema, &id);
        if (Failed(st)) {
            char16_t text[128];
            DmsErrorText(StatusCode(st), 0, text, 128);
            std::printf("%s: cannot open: %s\n", argv[i], Utf16ToUtf8(text).c_str());
            result = 2;
            continue;
        }
        DMSFile& file = *engine.FindFile(id);
        VerifyReport report = VerifyFile(file);
        // Each index's tree: order, high keys, counts and links.
        for (const IndexDefinition& index : file.Description().indexes) {
            std::string problem;
            DmsStatus indexStatus = VerifyIndex(file, index.keyId, &problem);
            if (Failed(indexStatus))
                report.faults.push_back("index " + std::to_string(index.keyId) + ": " + problem + " (status " +
                                        std::to_string(StatusCode(indexStatus)) + ")");
        }
        std::printf("%s: %u pages, %u data blocks (%u deleted), %llu bytes of live data: %s\n", argv[i],
                    report.pages, report.dataBlocks, report.deletedBlocks,
                    static_cast<unsigned long long>(report.dataBytes), report.ok() ? "sound" : "FAULTS");
        for (const std::string& fault : report.faults) std::printf("  %s\n", fault.c_str());
        if (!report.ok() && result == 0) result = 1;
        engine.CloseFile(id);
    }
    return result;
}
