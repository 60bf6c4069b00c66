// latintool: runs the Latin analyser's data layer over the project's Latin
// data from the command line.
//
//   latintool forms --data DIR    the dictionary form of every word-list entry
#include <cstdio>
#include <cstring>
#include <string>

#include "latin/dictionary_entry.h"
#include "latin/dictionary_form.h"
#include "latin/memory_host.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: latintool forms --data DIR\n");
    return 2;
}

// One line per entry: the record id and its form (or "(no form)").
int PrintForms(const MemoryLatinHost& host) {
    for (size_t i = 0; i < host.entries.size(); ++i) {
        DictionaryEntry entry;
        if (ReadDictionaryEntry(&entry, static_cast<uint32_t>(i + 1)) != 0) return 1;
        char form[kDictionaryFormSize];
        MakeDictionaryForm(form, entry);
        std::printf("%zu\t%s\n", i + 1, form[0] != 0 ? form : "(no form)");
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string command = argv[1];
    std::string data;
    for (int i = 2; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--data") == 0) data = argv[i + 1];
        else return Usage();
    }
    if (data.empty() || command != "forms") return Usage();
    MemoryLatinHost host;
    std::string error;
    if (!host.LoadFolder(data, &error)) {
        std::fprintf(stderr, "latintool: %s\n", error.c_str());
        return 1;
    }
    host.Install();
    return PrintForms(host);
}
