// Dictionaries as the program opens them, for the benchmarks: Debian's EDICT,
// ENAMDICT and KANJIDIC compiled by qdxc with its defaults (compressed pages,
// full-text indexes) into <build>/bench-dictionaries once; later runs reuse
// the files. With OSTREL_BENCH_SLICE=N the source is every Nth line of the
// file (its first line kept): the short bench pass (bench/pass.py) compiles
// those in seconds. The keys of an index read back, for a peer given the same keys.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "common/tests/test_paths.h"
#include "dictionary/cursor.h"
#include "dictionary/dictionary.h"

// The slice of the benchmarks' sources asked for by OSTREL_BENCH_SLICE (every
// Nth line), 1 for the whole files.
inline int BenchSlice() {
    const char* slice = std::getenv("OSTREL_BENCH_SLICE");
    return slice != nullptr && std::atoi(slice) > 1 ? std::atoi(slice) : 1;
}

// The path of Debian's /usr/share/edict/<name>, or of its slice (every Nth
// line, written once beside the compiled dictionaries).
inline std::string DebianSource(const std::string& name) {
    const std::string whole = OSTREL_HOST_ROOT "/usr/share/edict/" + name;
    const int slice = BenchSlice();
    if (slice == 1) return whole;
    const std::string folder = BinaryPath() + "/bench-dictionaries";
    const std::string path = folder + "/" + name + "-1in" + std::to_string(slice);
    if (!std::filesystem::exists(path)) {
        std::filesystem::create_directories(folder);
        std::ifstream in(whole, std::ios::binary);
        std::ofstream out(path + ".part", std::ios::binary);
        size_t number = 0;
        for (std::string line; std::getline(in, line);)
            if (number++ % static_cast<size_t>(slice) == 0) out << line << '\n';
        out.close();
        std::filesystem::rename(path + ".part", path);
    }
    return path;
}

// The file compiled from DebianSource(name); empty when qdxc fails.
inline std::u16string CompiledDebianDictionary(const std::string& name) {
    const std::string folder = BinaryPath() + "/bench-dictionaries";
    const std::string source = DebianSource(name);
    const std::string stem = std::filesystem::path(source).filename().string();
    const std::string target = folder + "/" + stem + ".qdx";
    if (!std::filesystem::exists(target)) {
        std::filesystem::create_directories(folder);
        std::fprintf(stderr, "compiling %s with qdxc (once)\n", stem.c_str());
        const std::string part = folder + "/" + stem + ".part.qdx";
        const std::string compile = BinaryPath() + "/tools/qdxc '" + source + "' '" + part + "' 2>/dev/null";
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
