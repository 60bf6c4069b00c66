// The entry of the analyser: loading its data through the host, and
// Translate, which cuts a line of Latin-1 text into words, runs the fixed
// order of tries on each and hands each word's results to an output.
#pragma once

#include <string>

#include "latin/parse_record.h"

// Receives the results of each word, unswept; the writer of the coded
// output lines sweeps and groups them.
class LatinWordOutput {
public:
    virtual ~LatinWordOutput() = default;
    virtual void ListStems(const char* word, ResultList& results) = 0;
};

// 0, or the error of the first load that failed (14 for the inflections).
int LoadLatinData();

// Analyses one line (Latin-1, at most 255 characters used); returns 0.
int Translate(LatinWordOutput& out, const char* line);

void TranslateWord(const char* word, ResultList& results);
void Enclitic(const char* word, ResultList& results, ResultList& second, bool* esse);
