// ParseDescription: the schema text language. A description is
//   {File|Dictionary key=value ... {Record ...} {Index ... {Segment ...}} }
// with section words, keys and value words matched as prefixes. A Segment
// belongs to the most recently opened Index whatever the nesting, and a
// surplus "}" is ignored; the dictionary schema relies on both.
#include "storage/file_description.h"

#include <algorithm>
#include <cstring>

namespace {

enum class Section { File, Record, Index, Segment };

// Distinct failure numbers; no caller shows them, they only help debugging.
enum ParseError : int32_t {
    kUnknownSection = 1,
    kSecondFileSection,
    kRecordBeforeFile,
    kTooManyRecords,
    kTooManyIndexes,
    kSegmentBeforeIndex,
    kTooManySegments,
    kUnknownKey,
    kMissingEquals,
    kBadValue,
    kNumberTooLarge,
    kKeyOutsideSection,
    kBadRecordId,
    kDuplicateRecordId,
    kBadKeyId,
    kDuplicateKeyId,
    kUndeclaredRecordId,
    kBadSegmentType,
    kBadPageSize,
    kBadPreAllocate,
    kSectionTooDeep,
};

bool IsSeparator(char c) { return static_cast<unsigned char>(c) <= 0x20; }
bool EndsValue(char c) { return IsSeparator(c) || c == ',' || c == ';' || c == '{' || c == '}'; }

struct ValueWord {
    const char* word;
    int32_t number;
};
// Matched as prefixes in this order.
constexpr ValueWord kValueWords[] = {
    {"AutoNumber", 1}, {"Binary", 3}, {"Long", 4},  {"Word", 5},  {"WChar", 6},
    {"Byte", 7},       {"GUID", 8},   {"Date", 9},  {"Path", 10}, {"UString", 11},
    {"WK", 12},        {"KK", 13},    {"TR", 14},   {"TL", 15},   {"NoSort", 16},
};

class DescriptionParser {
public:
    DescriptionParser(std::string_view text, FileDescription& out) : text_(text), out_(out) {}

    int32_t Run() {
        out_ = FileDescription{};
        while (true) {
            SkipSeparators();
            if (AtEnd()) break;
            char c = text_[pos_];
            int32_t error = 0;
            if (c == '{') {
                ++pos_;
                error = OpenSection();
            } else if (c == '}') {
                ++pos_;
                if (!open_.empty()) open_.pop_back();  // a surplus "}" is ignored
            } else {
                error = ReadKeyValue();
            }
            if (error != 0) return error;
        }
        return CheckTables();
    }

private:
    bool AtEnd() const { return pos_ >= text_.size(); }
    bool StartsWith(const char* word) const {
        size_t n = std::strlen(word);
        return text_.size() - pos_ >= n && text_.compare(pos_, n, word) == 0;
    }
    void SkipSeparators() {
        while (!AtEnd() && IsSeparator(text_[pos_])) ++pos_;
    }

    int32_t OpenSection() {
        // Nesting deeper than every legal description is refused, so a hostile
        // text cannot grow the section stack without bound.
        if (open_.size() >= 64) return kSectionTooDeep;
        if (StartsWith("File") || StartsWith("Dictionary")) {
            pos_ += StartsWith("File") ? 4 : 10;
            if (seenFile_) return kSecondFileSection;
            seenFile_ = true;
            out_.pageSize = 4096;
            out_.preAllocate = 1;
            open_.push_back(Section::File);
        } else if (StartsWith("Record")) {
            pos_ += 6;
            if (!seenFile_) return kRecordBeforeFile;
            if (static_cast<int32_t>(out_.recordTypeIds.size()) >= kMaxRecordTypes) return kTooManyRecords;
            out_.recordTypeIds.push_back(-1);
            open_.push_back(Section::Record);
        } else if (StartsWith("Index")) {
            pos_ += 5;
            if (static_cast<int32_t>(out_.indexes.size()) >= kMaxIndexes) return kTooManyIndexes;
            out_.indexes.push_back(IndexDefinition{});
            open_.push_back(Section::Index);
        } else if (StartsWith("Segment")) {
            pos_ += 7;
            if (out_.indexes.empty()) return kSegmentBeforeIndex;
            if (static_cast<int32_t>(out_.segments.size()) >= kMaxSegments) return kTooManySegments;
            SegmentDefinition segment;
            segment.keyId = out_.indexes.back().keyId;
            out_.segments.push_back(segment);
            open_.push_back(Section::Segment);
        } else {
            return kUnknownSection;
        }
        return 0;
    }

    // The field a key of the innermost open section names, or null.
    int32_t* MatchKey() {
        if (open_.empty()) return nullptr;
        struct Key {
            const char* word;
            int32_t* field;
        };
        auto match = [&](std::initializer_list<Key> keys) -> int32_t* {
            for (const Key& k : keys) {
                if (StartsWith(k.word)) {
                    pos_ += std::strlen(k.word);
                    return k.field;
                }
            }
            return nullptr;
        };
        switch (open_.back()) {
        case Section::File:
            return match({{"PageSize", &out_.pageSize}, {"PreAllocate", &out_.preAllocate}});
        case Section::Record:
            return match({{"Id", &out_.recordTypeIds.back()}});
        case Section::Index: {
            IndexDefinition& index = out_.indexes.back();
            return match({{"Id", &index.keyId},
                          {"Type", &index.type},
                          {"RecordId", &index.recordId},
                          {"DataLength", &index.dataLength}});
        }
        case Section::Segment: {
            SegmentDefinition& segment = out_.segments.back();
            return match({{"Length", &segment.width}, {"Type", &segment.type}, {"Sort", &segment.sort}});
        }
        }
        return nullptr;
    }

    int32_t ReadKeyValue() {
        if (open_.empty()) return kKeyOutsideSection;
        int32_t* field = MatchKey();
        if (field == nullptr) return kUnknownKey;
        SkipSeparators();
        if (AtEnd() || text_[pos_] != '=') return kMissingEquals;
        ++pos_;
        SkipSeparators();
        if (AtEnd()) return kBadValue;
        return ReadValue(*field);
    }

    int32_t ReadValue(int32_t& field) {
        char c = text_[pos_];
        if (c >= '0' && c <= '9') {
            // Accumulated in 64 bits: a long digit run must be refused, not
            // overflow a 32-bit sum.
            int64_t value = 0;
            bool negative = false;
            while (!AtEnd() && !EndsValue(text_[pos_])) {
                char d = text_[pos_++];
                if (d == '-') {
                    negative = true;
                } else if (d >= '0' && d <= '9') {
                    value = value * 10 + (d - '0');
                    if (value > INT32_MAX) return kNumberTooLarge;
                } else {
                    return kBadValue;
                }
            }
            field = static_cast<int32_t>(negative ? -value : value);
        } else {
            const ValueWord* found = nullptr;
            for (const ValueWord& w : kValueWords) {
                if (StartsWith(w.word)) {
                    found = &w;
                    break;
                }
            }
            if (found == nullptr) return kBadValue;
            pos_ += std::strlen(found->word);
            // Letters behind a value word belong to it ("Longer" reads as Long).
            while (!AtEnd() && !EndsValue(text_[pos_])) ++pos_;
            field = found->number;
        }
        if (!AtEnd() && (text_[pos_] == ',' || text_[pos_] == ';')) ++pos_;
        return 0;
    }

    int32_t CheckTables() {
        auto& ids = out_.recordTypeIds;
        for (size_t i = 0; i < ids.size(); ++i) {
            if (ids[i] < 0) return kBadRecordId;
            if (std::find(ids.begin(), ids.begin() + static_cast<std::ptrdiff_t>(i), ids[i]) !=
                ids.begin() + static_cast<std::ptrdiff_t>(i))
                return kDuplicateRecordId;
        }
        for (size_t i = 0; i < out_.indexes.size(); ++i) {
            IndexDefinition& index = out_.indexes[i];
            if (index.keyId < 0) return kBadKeyId;
            for (size_t j = 0; j < i; ++j) {
                if (out_.indexes[j].keyId == index.keyId) return kDuplicateKeyId;
            }
            index.recordTypeNumber = -1;
            if (index.type == 2) {
                index.recordTypeNumber = out_.FindRecordType(index.recordId);
                if (index.recordTypeNumber < 0) return kUndeclaredRecordId;
            }
        }
        for (SegmentDefinition& segment : out_.segments) {
            if (segment.type != 1 && (segment.type < 3 || segment.type > 11)) return kBadSegmentType;
            segment.width = FieldWidth(segment.type);
        }
        if (out_.pageSize < kMinPageSize || out_.pageSize > kMaxPageSize) return kBadPageSize;
        // A preallocation of 0 or less has always meant one page.
        if (int64_t{std::max(out_.preAllocate, 1)} * out_.pageSize > kMaxFileBytes) return kBadPreAllocate;
        return 0;
    }

    std::string_view text_;
    FileDescription& out_;
    size_t pos_ = 0;
    bool seenFile_ = false;
    std::vector<Section> open_;
};

}  // namespace

int32_t FieldWidth(int32_t type) {
    switch (type) {
    case FieldAutoNumber:
    case FieldLong:
    case FieldDate: return 4;
    case FieldWord:
    case FieldWChar: return 2;
    case FieldByte: return 1;
    case FieldGuid: return 16;
    default: return 0;
    }
}

int32_t FileDescription::FindIndex(int32_t keyId) const {
    for (size_t i = 0; i < indexes.size(); ++i) {
        if (indexes[i].keyId == keyId) return static_cast<int32_t>(i);
    }
    return -1;
}

int32_t FileDescription::FindRecordType(int32_t recordId) const {
    for (size_t i = 0; i < recordTypeIds.size(); ++i) {
        if (recordTypeIds[i] == recordId) return static_cast<int32_t>(i);
    }
    return -1;
}

std::vector<SegmentDefinition> FileDescription::SegmentsOf(int32_t keyId) const {
    std::vector<SegmentDefinition> result;
    for (const SegmentDefinition& s : segments) {
        if (s.keyId == keyId) result.push_back(s);
    }
    return result;
}

int32_t ParseDescription(std::string_view text, FileDescription& out) {
    size_t zero = text.find('\0');
    if (zero != std::string_view::npos) text = text.substr(0, zero);
    return DescriptionParser(text, out).Run();
}
