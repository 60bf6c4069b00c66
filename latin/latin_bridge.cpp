// The host bridge: text preparation, the five callbacks over the storage
// engine, and the output lines turned into word-list rows.
#include "latin/latin_bridge.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "common/unicode/char_tables.h"
#include "common/unicode/search_key.h"
#include "dictionary/cursor.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_properties.h"
#include "dictionary/word_list.h"
#include "latin/analysis_driver.h"
#include "latin/coded_output.h"
#include "latin/data_faults.h"
#include "latin/inflection_table.h"
#include "latin/latin_host.h"
#include "latin/latin_options.h"
#include "latin/stem_lines.h"
#include "storage/byte_order.h"

namespace {

constexpr uint32_t kArticleTable = 1;
constexpr uint32_t kStemIndex = 121;
constexpr uint32_t kRecordHeadBytes = 10;     // 8-byte header, 16-bit format type
constexpr uint32_t kLatinFormat = 16;
constexpr int kMaxStemUnits = 79;
constexpr int kMaxLineText = 1000;
constexpr int kNoHost = 255;

LatinBridge* g_bridge = nullptr;

bool Accepted(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'-' || c == u'.' || c == u' ' ||
           c == 0x00C6 || c == 0x00E6 || c == 0x0152 || c == 0x0153;
}

int Status(DmsStatus s) { return StatusCode(s); }

// A property record into a buffer of `size` bytes; the bytes read, or a
// negative status.
int64_t ReadProperty(CDMS& engine, uint32_t handle, int32_t id, void* buffer, uint32_t size) {
    uint32_t needed = 0;
    DmsStatus s = GetDictionaryPropertyData(engine, handle, id, nullptr, &needed);
    if (Failed(s)) return -Status(s);
    std::vector<uint8_t> block;
    try {
        block.resize(needed);
    } catch (const std::bad_alloc&) {
        return -Status(DmsStatus::NotEnoughMemory);
    }
    uint32_t read = needed;
    s = GetDictionaryPropertyData(engine, handle, id, block.data(), &read);
    if (Failed(s)) return -Status(s);
    const uint32_t n = std::min(read, size);
    std::memcpy(buffer, block.data(), n);
    return n;
}

}  // namespace

LatinBridge* CurrentLatinBridge() { return g_bridge; }

void SetCurrentLatinBridge(LatinBridge* bridge) { g_bridge = bridge; }

LatinBridge::LatinBridge() = default;

LatinBridge::~LatinBridge() {
    Release();
    if (g_bridge == this) g_bridge = nullptr;
}

void LatinBridge::Attach(RDFDictionary* dictionary) {
    g_bridge = this;
    Release();
    if (dictionary == nullptr) return;
    dictionary_ = dictionary;
    main_ = std::make_unique<CCursor>(dictionary, kArticleTable);
    stems_ = std::make_unique<CCursor>(dictionary, kStemIndex);
}

void LatinBridge::Release() {
    main_.reset();
    stems_.reset();
    dictionary_ = nullptr;
}

bool LatinBridge::PrepareText(std::u16string_view text, char (&out)[kLatinTextSize]) {
    out[0] = 0;
    std::vector<char16_t> decomposed(kDecomposedTextLimit + 2);
    const int32_t n = DecomposeString(text, decomposed);
    if (n < 0) return false;
    std::u16string kept;
    for (int32_t i = 0; i < n; ++i) {
        if (GetCharCategory(decomposed[i]) != kCategoryMn) kept += decomposed[i];
    }
    if (kept.size() > kAcceptedUnits) kept.resize(kAcceptedUnits);
    if (!std::all_of(kept.begin(), kept.end(), Accepted)) return false;
    // Ligatures become two letters; the copy is cut to its 511 bytes.
    int at = 0;
    auto put = [&](char c) {
        if (at < kLatinTextSize - 1) out[at++] = c;
    };
    for (char16_t c : kept) {
        switch (c) {
        case 0x00C6: put('A'); put('e'); break;
        case 0x00E6: put('a'); put('e'); break;
        case 0x0152: put('O'); put('e'); break;
        case 0x0153: put('o'); put('e'); break;
        default: put(c < 256 ? static_cast<char>(c) : '?'); break;
        }
    }
    out[at] = 0;
    return true;
}

int32_t LatinBridge::Analyse(std::u16string_view text, RDFDictionary* dictionary, WordList& list) {
    output_.Clear();
    fault_.clear();
    lineCount_ = groupCount_ = 0;
    Attach(dictionary);
    if (dictionary == nullptr) return 0;
    // Another host may have taken the engine over since (the tools, tests).
    if (!initialised_ || g_latinHost.findFirstStem != &OnFindFirstStem) {
        LatinHostCallbacks callbacks;
        callbacks.findFirstStem = OnFindFirstStem;
        callbacks.findNextStem = OnFindNextStem;
        callbacks.readEntryText = OnReadEntryText;
        callbacks.readInflects = OnReadInflects;
        callbacks.readAddons = OnReadAddons;
        InitLatinAnalyser(callbacks);
        SetLatinOption("USE_OSTREL_FORMAT", 1);
        SetLatinOption("USE_PRODUCTION_FORMAT", 1);
        initialised_ = true;
    }
    int32_t result = 0;
    if (PrepareText(text, analysed_)) {
        const int loaded = LoadLatinData();
        if (loaded != 0) NoteFault(loaded, "the Latin analyser's data", false);
        if (loaded == 0) {
            CodedLineWriter out(output_);
            Translate(out, analysed_);
        }
        // A refused read makes the output partial: no rows, as for no analysis.
        if (fault_.empty()) {
            const std::u16string_view written = output_.View();
            result = !written.empty() && written.substr(0, 3) != u"04 " ? 1 : 0;
            AddResultRows(list);
        }
    }
    Release();
    return result;
}

int32_t LatinBridge::SplitOutputLines(const char16_t* start, const char16_t* end) {
    lineCount_ = groupCount_ = 0;
    const char16_t* lineStart = start;
    const char16_t* p = start;
    for (; p < end && *p != 0; ++p) {
        if (*p != u'\n') continue;
        if (lineCount_ < kMaxOutputLines) lines_[lineCount_++] = {lineStart, static_cast<int32_t>(p - lineStart)};
        lineStart = p + 1;
    }
    if (p > lineStart && lineCount_ < kMaxOutputLines) lines_[lineCount_++] = {lineStart, static_cast<int32_t>(p - lineStart)};
    auto digit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
    for (int32_t i = 0; i < lineCount_; ++i) {
        LatinOutputLine& line = lines_[i];
        const char16_t* s = line.start;
        if (line.length >= 3 && s[2] == u' ' && digit(s[0]) && digit(s[1])) line.code = (s[0] - u'0') * 10 + (s[1] - u'0');
        if (line.code != 10) continue;
        if (line.length > 3 && digit(s[3])) {
            line.kind = s[3] - u'0';
            if (line.length > 4 && digit(s[4])) line.kind = line.kind * 10 + (s[4] - u'0');
        }
        uint64_t id = 0;
        for (int32_t k = 5; k < line.length && k < 5 + 12 && digit(s[k]); ++k) id = id * 10 + (s[k] - u'0');
        line.recordId = static_cast<uint32_t>(id);
    }
    // An unknown first word ("04 ") gives no groups, so no rows at all.
    if (lineCount_ == 0 || lines_[0].code == 4) return 0;
    for (int32_t i = 0; i < lineCount_; ++i) {
        if (lines_[i].code == 10) {
            groups_[groupCount_++] = {i, 1};
        } else if (groupCount_ > 0) {
            ++groups_[groupCount_ - 1].lineCount;
        }
    }
    return groupCount_;
}

void LatinBridge::AddRow(WordList& list, uint32_t recordId, bool entry) {
    WordListEntry* row = list.AddEntry(nullptr, 0, 1, nullptr);
    if (row == nullptr) return;   // the list is full: later rows are dropped
    // The row names the article by itself; the list's own cursor is left alone.
    row->dictionary = entry ? dictionary_ : nullptr;
    row->indexId = entry ? kStemIndex : 0;
    row->recordId = entry ? recordId : 0;
    if (rowLength_ == 0) return;
    const int32_t offset = list.AddText({rowText_, static_cast<size_t>(rowLength_)});
    if (offset < 0) return;
    if (entry) {
        row->flags |= kEntryNote;
        row->noteOffset = static_cast<uint32_t>(offset);
        row->noteLength = static_cast<uint32_t>(rowLength_);
    } else {
        row->flags |= kEntryOwnText;
        row->textOffset = static_cast<uint32_t>(offset);
        row->textLength = static_cast<uint32_t>(rowLength_);
    }
}

void LatinBridge::AddResultRows(WordList& list) {
    bool hasCursor = false;
    for (int32_t c = 0; c < list.CursorCount(); ++c) hasCursor = hasCursor || list.CursorAt(c)->dictionary == dictionary_;
    if (!hasCursor) return;
    const std::u16string_view text = output_.View();
    if (SplitOutputLines(text.data(), text.data() + text.size()) == 0) return;
    auto append = [this](const LatinOutputLine& line, bool leadingBlank) {
        if (line.length <= 3) return;
        const int32_t units = std::min(line.length - 3, kMaxLineText);
        const int32_t room = kRowTextUnits - 1 - rowLength_;
        if (room <= 0) return;
        if (leadingBlank) rowText_[rowLength_++] = u' ';
        const int32_t n = std::min(units, kRowTextUnits - 2 - rowLength_);
        if (n > 0) std::copy(line.start + 3, line.start + 3 + n, rowText_ + rowLength_);
        rowLength_ += std::max(n, 0);
        rowText_[rowLength_++] = u'\n';
    };
    for (int32_t g = 0; g < groupCount_; ++g) {
        const LatinOutputLine& head = lines_[groups_[g].line];
        rowLength_ = 0;
        bool numeral = false;
        for (int32_t k = 1; k < groups_[g].lineCount; ++k) {
            const LatinOutputLine& line = lines_[groups_[g].line + k];
            const int32_t code = line.code;
            switch (head.kind) {
            case 1: if (code == 5 || code == 6) append(line, false); break;
            case 2:
            case 3: if (code == 6 || code == 7) append(line, false); break;
            case 4:
            case 5: if (code == 1 || code == 3) append(line, false); break;
            case 6: if (code == 1 || code == 6) append(line, false); break;
            case 7:
                if (code == 1) append(line, false);
                if (code == 2) numeral = std::u16string_view(line.start, line.length).find(u" NUM ") != std::u16string_view::npos;
                if (code == 3 && numeral) append(line, true);
                break;
            default: break;
            }
        }
        rowText_[rowLength_] = 0;
        const std::u16string_view collected(rowText_, static_cast<size_t>(rowLength_));
        switch (head.kind) {
        case 1: case 4: case 5: case 6:
            if (rowLength_ > 0) AddRow(list, 0, false);
            break;
        case 2:
            if (collected.substr(0, 7) == u"2 words") AddRow(list, 0, false);
            break;
        case 7: AddRow(list, head.recordId, head.recordId != 0); break;
        default: break;
        }
        rowLength_ = 0;
    }
}

int LatinBridge::NoteFault(int status, const std::string& what, bool engineStatus) {
    if (status == 0 || !fault_.empty()) return status;
    std::u16string path = dictionary_ != nullptr ? std::u16string(dictionary_->File().path) : u"";
    const std::u16string part(what.begin(), what.end());
    fault_ = path + u": cannot read " + part;
    if (engineStatus) {
        char16_t text[256];
        DmsErrorText(status, 0, text, 256);
        fault_ += u" (" + std::u16string(text) + u")";
    }
    // The program shows it once, at the top of the user's action; data that
    // read but do not hold together count as broken integrity.
    if (dictionary_ != nullptr)
        dictionary_->NoteReadRefusal(engineStatus ? static_cast<DmsStatus>(status) : DmsStatus::IntegrityBroken, part);
    return status;
}

int LatinBridge::StemLine(int status, char* line) {
    // Past the last stem, or before the first, is no damage.
    if (status == StatusCode(DmsStatus::RecordNotFound) || status == StatusCode(DmsStatus::EndOfFile)) return status;
    if (status != 0) return NoteFault(status, "the index of Latin stems");
    FormatStemIndexLine(line, stems_->FieldText(0), stems_->FieldText(1), stems_->RecordId());
    return 0;
}

int LatinBridge::OnFindFirstStem(const char* stem, char* line) {
    LatinBridge* self = g_bridge;
    if (self == nullptr || !self->stems_) return kNoHost;
    std::u16string key;
    for (int i = 0; i < kMaxStemUnits && stem[i] != 0; ++i) key += static_cast<char16_t>(static_cast<unsigned char>(stem[i]));
    CCursor& cursor = *self->stems_;
    cursor.ClearKeys();
    cursor.SetKeyText(0, key);
    cursor.ResetFieldBuffers();
    return self->StemLine(Status(cursor.SeekGreaterOrEqual()), line);
}

int LatinBridge::OnFindNextStem(char* line) {
    LatinBridge* self = g_bridge;
    if (self == nullptr || !self->stems_) return kNoHost;
    self->stems_->ResetFieldBuffers();
    return self->StemLine(Status(self->stems_->Next()), line);
}

int LatinBridge::OnReadEntryText(uint32_t recordId, char* out, int capacity) {
    LatinBridge* self = g_bridge;
    if (self == nullptr || !self->main_ || capacity <= 0) return kNoHost;
    // Read through the article cursor, so the stem cursor keeps its place.
    CCursor& cursor = *self->main_;
    const std::string what = "the article at data position " + std::to_string(recordId);
    uint32_t size = 0;
    DmsStatus first = cursor.Engine().ReadData(cursor.handle, recordId, nullptr, &size);
    if (Failed(first) && first != DmsStatus::Deleted) return self->NoteFault(Status(first), what);
    // A block without its 10-byte head is damage, never a negative length.
    if (size < kRecordHeadBytes) return self->NoteFault(kNoHost, what + ": it is shorter than its head", false);
    std::vector<uint8_t> block;
    try {
        block.resize(size);
    } catch (const std::bad_alloc&) {
        return Status(DmsStatus::NotEnoughMemory);
    }
    uint32_t read = size;
    const DmsStatus second = cursor.Engine().ReadData(cursor.handle, recordId, block.data(), &read);
    if (Failed(second) && second != DmsStatus::Deleted) return self->NoteFault(Status(second), what);
    // The stem index names it, so a deleted article is damage too.
    if (first == DmsStatus::Deleted || second == DmsStatus::Deleted)
        return self->NoteFault(Status(DmsStatus::Deleted), what);
    if (read < kRecordHeadBytes) return self->NoteFault(kNoHost, what + ": it is shorter than its head", false);
    const uint32_t format = storage::LoadU16(block.data() + 8);
    std::u16string text((read - kRecordHeadBytes) / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i) text[i] = storage::LoadU16(block.data() + kRecordHeadBytes + 2 * i);
    if (format != kLatinFormat) {
        char16_t line[kCodeLineWidth + 1];
        LsSectionToCodeLine(line, text.data(), static_cast<int32_t>(text.size()));
        text = line;
    }
    int n = 0;
    for (; n < capacity - 1 && n < static_cast<int>(text.size()) && text[n] != 0 && text[n] != u'\n'; ++n)
        out[n] = text[n] < 256 ? static_cast<char>(text[n]) : '?';
    out[n] = 0;
    return 0;
}

int LatinBridge::OnReadInflects(void* buffer, int section, int size) {
    LatinBridge* self = g_bridge;
    if (self == nullptr || !self->main_ || buffer == nullptr || size < 0 || section < 1 || section > kSectionCount)
        return kNoHost;
    // A record shorter than the buffer leaves zeros, which end the section.
    std::memset(buffer, 0, static_cast<size_t>(size));
    const int64_t n = ReadProperty(self->main_->Engine(), self->main_->handle, 20 + section, buffer,
                                   static_cast<uint32_t>(size));
    const std::string what = "INFLECTS.SEC, section " + std::to_string(section);
    if (n < 0) return self->NoteFault(static_cast<int>(-n), what);
    // The engine hands back what is stored; damaged records are refused here
    // rather than passed over one by one by the loader.
    LatinDataFault fault;
    if (size >= kSectionSize && !CheckInflectsSection(static_cast<const uint8_t*>(buffer), section, &fault))
        return self->NoteFault(kNoHost, fault.Describe(), false);
    return 0;
}

int LatinBridge::OnReadAddons(void* buffer, int* size) {
    LatinBridge* self = g_bridge;
    if (self == nullptr || !self->main_ || buffer == nullptr || size == nullptr || *size < 0) return kNoHost;
    const int64_t n = ReadProperty(self->main_->Engine(), self->main_->handle, 31, buffer, static_cast<uint32_t>(*size));
    if (n < 0) return self->NoteFault(static_cast<int>(-n), "ADDONS.LAT");
    // A full buffer may hold only the start: the loader asks again, larger.
    LatinDataFault fault;
    if (n < *size && !CheckAddonsText(static_cast<const char*>(buffer), static_cast<size_t>(n), &fault))
        return self->NoteFault(kNoHost, fault.Describe(), false);
    *size = static_cast<int>(n);
    return 0;
}
