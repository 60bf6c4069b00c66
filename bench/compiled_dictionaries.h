// Dictionaries as the program opens them, for the benchmarks: Debian's EDICT,
// ENAMDICT and KANJIDIC compiled by qdxc with its defaults (compressed pages,
// full-text indexes) into <build>/bench-dictionaries once; later runs reuse
// the files. The keys of an index read back, for a peer given the same keys.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "common/tests/test_paths.h"
#include "dictionary/cursor.h"
#include "dictionary/dictionary.h"

// The file compiled from /usr/share/edict/<name>; empty when qdxc fails.
inline std::u16string CompiledDebianDictionary(const std::string& name) {
    const std::string folder = BinaryPath() + "/bench-dictionaries";
    const std::string target = folder + "/" + name + ".qdx";
    if (!std::filesystem::exists(target)) {
        std::filesystem::create_directories(folder);
        std::fprintf(stderr, "compiling %s with qdxc (once)\n", name.c_str());
        const std::string part = folder + "/" + name + ".part.qdx";
        const std::string compile = BinaryPath() + "/tools/qdxc " OSTREL_HOST_ROOT
                                    "/usr/share/edict/" + name + " '" + part + "' 2>/dev/null";
        std::filesystem::remove(part);
        if (std::system(compile.c_str()) != 0) return {};
        std::filesystem::rename(part, target);
    }
    return std::filesystem::path(target).u16string();
}

// Every (first, second) key segment text of one index, in index order.
inline std::vector<std::pair<std::u16string, std::u16string>> IndexKeys(RDFDictionary* dictionary,
                                                                        uint32_t indexId) {
    std::vector<std::pair<std::u16string, std::u16string>> keys;
    CCursor cursor(dictionary, indexId);
    for (DmsStatus s = cursor.MoveFirst(); s == DmsStatus::Success; s = cursor.Next())
        keys.emplace_back(cursor.FieldText(0), cursor.FieldText(1));
    return keys;
}
