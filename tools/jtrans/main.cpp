// jtrans: translates each UTF-8 line of its input with the word translator
// over the given dictionary files and prints, per listed hit, tab-separated:
// line (from 1), start and length in UTF-16 units, reading, word, tag codes.
// Lines over 2047 units (1023 with --split) are translated in pieces; starts
// count from the line.
// A piece with more hits than its list holds is listed up to the first word
// that lost one, and stderr says so ("line L: listed up to unit N of M").
//   jtrans --dict FILE... [--mode M] [--caret N] [--expand N] [--min-kana N] [--split] [--quiet] < text
// --split prints each line's chosen words as the phrase splitter leaves them,
// with the options search as you type sets (UnderCursor 0, MinKanaLength 2,
// the names dictionary left out of the reading passes). --quiet prints only "chars N hits H ms T". Exit 0, 1 when a file cannot be
// opened, 2 for bad arguments.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "common/text/utf8.h"
#include "dictionary/dictionary.h"
#include "dictionary/input_line.h"
#include "dictionary/shelf.h"
#include "dictionary/word_list.h"
#include "japanese/phrase_parse.h"
#include "japanese/phrase_split.h"
#include "japanese/trans_options.h"
#include "japanese/translator.h"
#include "storage/dms.h"
#include "storage/global_engine.h"
#include "tools/shelf_files.h"

namespace {

using ostrel::japanese::CTranslate;
using ostrel::japanese::CTransOptions;
using ostrel::japanese::kMaxTranslatedUnits;

int Usage() {
    std::fprintf(stderr,
                 "usage: jtrans --dict FILE... [--mode M] [--caret N] [--expand N] [--min-kana N] [--split] [--quiet] "
                 "< text\n");
    return 2;
}

bool ReadNumber(int& i, int argc, char** argv, int32_t& out) {
    if (i + 1 >= argc) return false;
    char* end = nullptr;
    long value = std::strtol(argv[++i], &end, 10);
    if (end == argv[i] || *end != 0 || value < 0 || value > 100000) return false;
    out = static_cast<int32_t>(value);
    return true;
}

void PrintRows(const WordList& list, long line, int32_t offset) {
    for (int32_t row = 0; row < list.RowCount(); ++row) {
        const WordListEntry& e = list.EntryAt(list.EntryOfRow(row));
        std::string tags;
        for (uint8_t t : e.tags) {
            if (t == 0) break;
            if (!tags.empty()) tags += ',';
            tags += std::to_string(t);
        }
        std::printf("%ld\t%d\t%d\t%s\t%s\t%s\n", line, e.matchStart + offset, e.matchLength,
                    Utf16ToUtf8(std::u16string_view(e.reading, static_cast<size_t>(e.readingLength))).c_str(),
                    Utf16ToUtf8(std::u16string_view(e.word, static_cast<size_t>(e.wordLength))).c_str(), tags.c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> files;
    int32_t mode = 2, caret = 0;
    CTransOptions options;
    bool quiet = false;
    bool split = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        bool ok = true;
        if (arg == "--dict") {
            while (i + 1 < argc && std::string(argv[i + 1]).rfind("--", 0) != 0) files.push_back(argv[++i]);
        } else if (arg == "--mode") {
            ok = ReadNumber(i, argc, argv, mode) && mode <= 2;
        } else if (arg == "--caret") {
            ok = ReadNumber(i, argc, argv, caret);
        } else if (arg == "--expand") {
            ok = ReadNumber(i, argc, argv, options.expand);
        } else if (arg == "--min-kana") {
            ok = ReadNumber(i, argc, argv, options.minKanaLength);
        } else if (arg == "--split") {
            split = true;
        } else if (arg == "--quiet") {
            quiet = true;
        } else {
            ok = false;
        }
        if (!ok) return Usage();
    }
    if (files.empty()) return Usage();

    ProgramGlobals globals(StorageEngineHooks());
    CInput input;
    CShelf shelf(*GlobalEngine(), nullptr, input);
    if (!OpenShelfFiles(shelf, files, "jtrans")) return 1;
    WordList* list = shelf.GetWordList(kListTranslatedWords);
    if (list == nullptr) return 1;
    if (split) {
        options.underCursor = 0;
        options.minKanaLength = 2;
        options.skipNamesDictionary = 1;
    }
    CTranslate translator(options);

    long line = 0, chars = 0, hits = 0;
    const auto started = std::chrono::steady_clock::now();
    std::string bytes;
    while (std::getline(std::cin, bytes)) {
        ++line;
        if (!bytes.empty() && bytes.back() == '\r') bytes.pop_back();
        const std::u16string text = Utf8ToUtf16(bytes);
        chars += static_cast<long>(text.size());
        // The phrase splitter reads fewer units than a translation.
        const size_t pieceUnits = split ? size_t{ostrel::japanese::kMaxSplitPositions - 1} : size_t{kMaxTranslatedUnits};
        for (size_t offset = 0; offset < text.size(); offset += pieceUnits) {
            std::u16string_view piece = std::u16string_view(text).substr(offset, pieceUnits);
            if (split) ostrel::japanese::ParsePhrase(translator, *list, piece, 0);
            else translator.Translate(*list, piece, mode, caret);
            if (!split && translator.StoppedAt() >= 0)
                std::fprintf(stderr, "jtrans: line %ld: listed up to unit %ld of %ld: more hits than the list holds\n",
                             line, static_cast<long>(offset) + translator.StoppedAt(),
                             static_cast<long>(offset + piece.size()));
            hits += list->RowCount();
            if (!quiet) PrintRows(*list, line, static_cast<int32_t>(offset));
        }
    }
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    if (quiet) std::printf("chars %ld hits %ld ms %lld\n", chars, hits, static_cast<long long>(ms.count()));
    return 0;
}
