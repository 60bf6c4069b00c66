// Sweeping the results of one word before they are written: codes settled
// from the dictionary entries, each run of analyses ordered and thinned,
// duplicates dropped and, with TRIM_OUTPUT, doubtful readings dropped when
// better ones exist. Entries are read once per word (cached by record id).
#pragma once

#include "latin/parse_record.h"

// Updates the list in place; *dropped becomes 1 when trimming dropped records.
void SweepList(ResultList& results, int* dropped);

// 0 when the record is to be dropped (kind 7 records, against their entry).
int CheckResult(const ParseRecord& record);

bool IsAllZero(const void* bytes, int count);
// A field-wise test: every field of the record is 0.
bool IsAllZeroRecord(const ParseRecord& record);
