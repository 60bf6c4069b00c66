// pdic_from_tsv: a test-only helper of the byte-identity check. Writes the
// "headword TAB sense" lines of a Shift-JIS file (sorted here by their bytes)
// as a PDIC version-4 file with the tests' writer.
// usage: pdic_from_tsv LINES.tsv OUT.dic; exit status 0, or 1 on a file error.
#include "import/tests/pdic_test_writer.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: pdic_from_tsv LINES.tsv OUT.dic\n");
        return 1;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::vector<PdicTestWord> words;
    for (std::string line; std::getline(in, line);) {
        const size_t tab = line.find('\t');
        if (tab == std::string::npos) continue;
        words.push_back({line.substr(0, tab), 0, line.substr(tab + 1), {}});
    }
    std::stable_sort(words.begin(), words.end(),
                     [](const PdicTestWord& a, const PdicTestWord& b) { return a.word < b.word; });
    words.erase(std::unique(words.begin(), words.end(),
                            [](const PdicTestWord& a, const PdicTestWord& b) { return a.word == b.word; }),
                words.end());
    const std::vector<uint8_t> file = WritePdicFile(words, 1024);
    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    return in.bad() || !out ? 1 : 0;
}
