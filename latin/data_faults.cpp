// Checks of INFLECTS.SEC and ADDONS.LAT with the position of the first fault.
#include "latin/data_faults.h"

#include <memory>

#include "latin/addon_tables.h"
#include "latin/inflection_table.h"

std::string LatinDataFault::Describe() const {
    std::string text = file;
    if (section > 0) text += ", section " + std::to_string(section);
    if (line > 0) text += (file == "ADDONS.LAT" ? ", line " : ", record ") + std::to_string(line);
    return text + ": " + what;
}

bool CheckInflectsSection(const uint8_t* bytes, int section, LatinDataFault* fault) {
    int count = 0;
    for (; count < kRecordsPerSection; ++count) {
        InflectionRecord record;
        UnpackInflectionRecord(bytes + count * kInflectionRecordSize, &record);
        if (record.partOfSpeech == 0) break;
        if (!IsValidInflection(record)) {
            *fault = {"INFLECTS.SEC", count + 1, section,
                      "not an inflection record (part of speech " + std::to_string(record.partOfSpeech) +
                          ", ending length " + std::to_string(record.endingLength) + ")"};
            return false;
        }
    }
    if (count == 0) {
        *fault = {"INFLECTS.SEC", 0, section, "the section holds no records"};
        return false;
    }
    return true;
}

bool CheckInflectsFile(const uint8_t* bytes, size_t size, LatinDataFault* fault) {
    *fault = LatinDataFault{"INFLECTS.SEC", 0, 0, ""};
    if (size < static_cast<size_t>(kInflectsFileSize)) {
        fault->what = std::to_string(size) + " bytes where " + std::to_string(kInflectsFileSize) + " are needed";
        return false;
    }
    for (int section = 1; section <= kSectionCount; ++section) {
        if (!CheckInflectsSection(bytes + (section - 1) * kSectionSize, section, fault)) return false;
    }
    return true;
}

bool CheckAddonsText(const char* text, size_t size, LatinDataFault* fault) {
    auto tables = std::make_unique<AddonTables>();
    if (ParseAddons(text, static_cast<int>(size), tables.get(), fault) != 0) return false;
    if (tables->meaningCount == 0) {
        *fault = {"ADDONS.LAT", 0, 0, "the file holds no entries"};
        return false;
    }
    return true;
}
