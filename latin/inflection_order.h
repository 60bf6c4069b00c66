// Comparing inflections: the order in which analyses are listed and the
// equality that makes two analyses duplicates, both by the fields each part
// of speech uses.
#pragma once

#include "latin/inflection_table.h"

// True when a comes before b: lower part of speech, then by its fields.
bool CompareInflections(const InflectionRecord& a, const InflectionRecord& b);
// As CompareInflections, but two PRON of declension 1 are ordered by variant.
bool ComesBefore(const InflectionRecord& a, const InflectionRecord& b);
// True when equal in the fields their part of speech uses.
bool InflectionsEqual(const InflectionRecord& a, const InflectionRecord& b);
// The declension pair of an entry (first, variant) fits that of an inflection.
bool DeclensionFits(int32_t entryFirst, int32_t entryVariant, int32_t first, int32_t variant);
