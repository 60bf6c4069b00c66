// The project's own Latin data as the tests see it (built into
// <build>/latin/data), and small builders of INFLECTS.SEC sections.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "common/tests/test_paths.h"
#include "latin/inflection_table.h"
#include "latin/memory_host.h"

inline std::string LatinDataFolder() { return BinaryPath() + "/latin/data"; }

// A host over the project's data, installed (option defaults set).
inline void InstallProjectData(MemoryLatinHost& host) {
    std::string error;
    if (!host.LoadFolder(LatinDataFolder(), &error)) throw std::runtime_error(error);
    host.Install();
}

inline InflectionRecord MakeInflection(int pos, int first, int variant, const char* ending, int stemKey = 1) {
    InflectionRecord r;
    r.partOfSpeech = pos;
    r.first = first;
    r.variant = variant;
    r.stemKey = stemKey;
    r.endingLength = static_cast<int32_t>(std::strlen(ending));
    std::memcpy(r.ending, ending, std::strlen(ending) + 1);
    return r;
}

// Writes records into section (1..5) of an INFLECTS.SEC image from index at.
inline void PutRecords(std::vector<unsigned char>& file, int section, const std::vector<InflectionRecord>& records,
                       int at = 0) {
    if (file.size() < static_cast<size_t>(kInflectsFileSize)) file.resize(kInflectsFileSize);
    for (size_t i = 0; i < records.size(); ++i)
        PackInflectionRecord(records[i], file.data() + (section - 1) * kSectionSize +
                                             (at + i) * kInflectionRecordSize);
}
