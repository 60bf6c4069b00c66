// inflectgen: writes the Latin analyser's INFLECTS.SEC from the readable
// inflection table (latin/data/inflections.txt, one record per line), sorting
// the records into the five sections the loader expects.
//
//   inflectgen --table inflections.txt --out INFLECTS.SEC
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "latin/grammar_codes.h"
#include "latin/inflection_table.h"
#include "latin/memory_host.h"

namespace {

struct SourceRecord {
    InflectionRecord record;
    int line = 0;
    int section = 0;
};

std::vector<std::string> Tokens(const std::string& line) {
    std::vector<std::string> tokens;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
        if (i > start) tokens.push_back(line.substr(start, i - start));
    }
    return tokens;
}

bool Code(const std::string& token, const CodeTable& table, int32_t* value) {
    const char* end = nullptr;
    *value = ParseEnumName(token.c_str(), table, &end);
    return *value != 0 || token == "X";
}

bool Number(const std::string& token, int32_t* value) {
    if (token.empty() || token.size() > 6 ||
        token.find_first_not_of("0123456789") != std::string::npos) return false;
    *value = std::atoi(token.c_str());
    return true;
}

// The grammatical fields after the part of speech, by part of speech: the
// declension pair as numbers, then code names (a person is a number).
bool ParseFields(int32_t pos, const std::vector<std::string>& t, size_t* at, InflectionRecord* r) {
    std::vector<const CodeTable*> codes;
    bool pair = true;
    switch (pos) {
    case POS_N: case POS_PRON: case POS_PACK: case POS_SUPINE:
        codes = {&kCaseCodes, &kNumberCodes, &kGenderCodes}; break;
    case POS_ADJ: codes = {&kCaseCodes, &kNumberCodes, &kGenderCodes, &kComparisonCodes}; break;
    case POS_NUM: codes = {&kCaseCodes, &kNumberCodes, &kGenderCodes, &kNumeralSortCodes}; break;
    case POS_V: codes = {&kTenseCodes, &kVoiceCodes, &kMoodCodes, nullptr, &kNumberCodes}; break;
    case POS_VPAR:
        codes = {&kCaseCodes, &kNumberCodes, &kGenderCodes, &kTenseCodes, &kVoiceCodes, &kMoodCodes};
        break;
    case POS_ADV: pair = false; codes = {&kComparisonCodes}; break;
    case POS_PREP: pair = false; codes = {&kCaseCodes}; break;
    default: pair = false; break;
    }
    size_t i = *at;
    if (pair) {
        if (i + 2 > t.size() || !Number(t[i], &r->first) || !Number(t[i + 1], &r->variant)) return false;
        i += 2;
        for (size_t f = 0; f < codes.size(); ++f, ++i) {
            if (i >= t.size()) return false;
            bool ok = codes[f] == nullptr ? Number(t[i], &r->fields[f]) : Code(t[i], *codes[f], &r->fields[f]);
            if (!ok) return false;
        }
    } else if (!codes.empty()) {
        if (i >= t.size() || !Code(t[i], *codes[0], &r->first)) return false;
        ++i;
    }
    *at = i;
    return true;
}

int SectionOf(const InflectionRecord& r) {
    if (r.endingLength == 0) return 5;
    if (r.partOfSpeech == POS_PRON && (r.first == 1 || r.first == 2)) return 4;
    return SectionForLastLetter(r.ending[r.endingLength - 1]);
}

bool ParseTable(const std::string& text, std::vector<SourceRecord>* records) {
    size_t start = 0;
    int number = 0;
    bool ok = true;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (line.compare(0, 2, "--") == 0) continue;
        std::vector<std::string> t = Tokens(line);
        if (t.empty()) continue;
        SourceRecord source;
        source.line = number;
        InflectionRecord& r = source.record;
        size_t at = 1;
        bool good = Code(t[0], kPartOfSpeechCodes, &r.partOfSpeech) && r.partOfSpeech != 0 &&
                    ParseFields(r.partOfSpeech, t, &at, &r) && at + 4 == t.size() &&
                    Number(t[at], &r.stemKey) && Code(t[at + 2], kAgeCodes, &r.age) &&
                    Code(t[at + 3], kFrequencyCodes, &r.frequency);
        const std::string ending = good && t[at + 1] != "-" ? t[at + 1] : std::string();
        if (good && ending.size() <= static_cast<size_t>(kMaxEnding)) {
            r.endingLength = static_cast<int32_t>(ending.size());
            std::memcpy(r.ending, ending.c_str(), ending.size() + 1);
            source.section = SectionOf(r);
            good = source.section != 0 && IsValidInflection(r);
        } else {
            good = false;
        }
        if (!good) {
            std::fprintf(stderr, "inflectgen: line %d: not a valid record: %s\n", number, line.c_str());
            ok = false;
            continue;
        }
        records->push_back(source);
    }
    return ok;
}

unsigned char LastCharacter(const InflectionRecord& r) {
    return r.endingLength > 0 ? static_cast<unsigned char>(r.ending[r.endingLength - 1]) : 0;
}

// Orders one section: pronoun records of section 4 behind the others, then
// by last character and ending length, keeping the table's order within a
// group.
bool WriteSections(std::vector<SourceRecord> records, std::vector<unsigned char>* file) {
    std::stable_sort(records.begin(), records.end(), [](const SourceRecord& a, const SourceRecord& b) {
        auto key = [](const SourceRecord& s) {
            const bool pronoun = s.section == 4 && s.record.partOfSpeech == POS_PRON &&
                                 (s.record.first == 1 || s.record.first == 2);
            return std::make_tuple(s.section, pronoun ? 1 : 0, LastCharacter(s.record), s.record.endingLength);
        };
        return key(a) < key(b);
    });
    file->assign(kInflectsFileSize, 0);
    bool ok = true;
    for (int section = 1; section <= kSectionCount; ++section) {
        std::vector<const InflectionRecord*> members;
        for (const SourceRecord& s : records) {
            if (s.section == section) members.push_back(&s.record);
        }
        if (members.size() > static_cast<size_t>(kRecordsPerSection)) {
            std::fprintf(stderr, "inflectgen: section %d holds %zu records, more than %d\n", section,
                         members.size(), kRecordsPerSection);
            ok = false;
            continue;
        }
        // The index treats a group that ends at record 0 as empty, so the
        // first group of an indexed section must hold at least two records.
        if (section < 5 && members.size() == 1) ok = false;
        if (section < 5 && members.size() >= 2 &&
            (LastCharacter(*members[0]) != LastCharacter(*members[1]) ||
             members[0]->endingLength != members[1]->endingLength)) {
            std::fprintf(stderr, "inflectgen: section %d begins with a group of one record (ending %s)\n",
                         section, members[0]->ending);
            ok = false;
        }
        for (size_t i = 0; i < members.size(); ++i) {
            PackInflectionRecord(*members[i], file->data() + (section - 1) * kSectionSize +
                                                  i * kInflectionRecordSize);
        }
        std::printf("section %d: %zu records\n", section, members.size());
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    std::string table, out;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--table") == 0) table = argv[i + 1];
        else if (std::strcmp(argv[i], "--out") == 0) out = argv[i + 1];
    }
    if (table.empty() || out.empty()) {
        std::fprintf(stderr, "usage: inflectgen --table inflections.txt --out INFLECTS.SEC\n");
        return 2;
    }
    std::string text;
    if (!ReadWholeFile(table, &text)) {
        std::fprintf(stderr, "inflectgen: cannot read %s\n", table.c_str());
        return 1;
    }
    std::vector<SourceRecord> records;
    std::vector<unsigned char> file;
    if (!ParseTable(text, &records) || !WriteSections(records, &file)) return 1;
    FILE* output = std::fopen(out.c_str(), "wb");
    if (output == nullptr || std::fwrite(file.data(), 1, file.size(), output) != file.size() ||
        std::fclose(output) != 0) {
        std::fprintf(stderr, "inflectgen: cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}
