// The dictionary object's work areas and the parse of one stored record: the
// record buffer, the text buffer and element array the parsers fill, the
// element look-ups the formatters use, and the dispatch of a record or a
// whole source text to the parsers registered for its format type.
#include "dictionary/dictionary.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

#include "storage/byte_order.h"

namespace {

constexpr uint32_t kKanjiFieldKeyUnits = 8;  // at most this much of a field key is compared

bool Within(const char16_t* p, const char16_t* from, int32_t units) {
    auto at = reinterpret_cast<uintptr_t>(p);
    auto start = reinterpret_cast<uintptr_t>(from);
    return p != nullptr && at >= start && at <= start + sizeof(char16_t) * static_cast<uintptr_t>(units);
}

}  // namespace

void CDictionary::FreeArticleBuffers() {
    writer_.ResetWriter();
    record_.reset();
    recordCapacity_ = 0;
    recordSize_ = 0;
    parsedPosition = 0;
    parsedFormatType = 0;
    deletedRecord = 0;
    FreeTextAndElements();
}

void CDictionary::FreeTextAndElements() {
    text_.reset();
    textCapacity_ = 0;
    textLength_ = 0;
    elements_.reset();
    elementCapacity_ = 0;
    elementCount_ = 0;
}

void CDictionary::ClearParsedArticle() {
    textLength_ = 0;
    elementCount_ = 0;
}

uint8_t* CDictionary::ReserveRecordBuffer(uint32_t size) {
    recordSize_ = 0;
    if (uint64_t{recordCapacity_} < uint64_t{size} + 4) {
        if (size > UINT32_MAX - kRecordBufferSlack) return nullptr;
        const uint32_t capacity = size + kRecordBufferSlack;
        std::unique_ptr<uint8_t[]> grown(new (std::nothrow) uint8_t[capacity]);
        if (!grown) return nullptr;
        record_ = std::move(grown);
        recordCapacity_ = capacity;
    }
    return record_.get();
}

void CDictionary::SetTextLength(int32_t length) {
    textLength_ = length < 0 ? 0 : (length > textCapacity_ ? textCapacity_ : length);
}

DictionaryElement* CDictionary::AddElement(uint32_t kind) {
    if (elementCount_ == elementCapacity_) {
        // The array at least doubles (never by less than its step): a record
        // of millions of elements costs a few copies, not one per step.
        constexpr int64_t kMostElements = std::min<int64_t>(INT32_MAX, SIZE_MAX / sizeof(DictionaryElement));
        if (elementCapacity_ > kMostElements - elementStep_) return nullptr;
        const int32_t capacity = static_cast<int32_t>(
            std::min<int64_t>(kMostElements, int64_t{elementCapacity_} + std::max(elementStep_, elementCapacity_)));
        std::unique_ptr<DictionaryElement[]> grown(new (std::nothrow) DictionaryElement[capacity]);
        if (!grown) return nullptr;
        if (elementCount_ > 0) std::memcpy(grown.get(), elements_.get(), sizeof(DictionaryElement) * elementCount_);
        elements_ = std::move(grown);
        elementCapacity_ = capacity;
    }
    DictionaryElement& element = elements_[elementCount_++];
    element = DictionaryElement{};
    element.kind = kind;
    return &element;
}

int32_t CDictionary::AppendText(int32_t length, const char16_t* text) {
    if (length < 0) return -1;
    const int32_t used = textLength_;
    if (int64_t{used} + length >= textCapacity_) {
        const int64_t needed = int64_t{used} + length + kTextGrowth;
        if (needed > INT32_MAX) return -1;
        // Half as much again at least, so that many small appends to a
        // large buffer copy it a few times, not once per growth step.
        const int64_t wanted =
            std::max(needed, std::min<int64_t>(INT32_MAX, int64_t{textCapacity_} + textCapacity_ / 2));
        std::unique_ptr<char16_t[]> grown(new (std::nothrow) char16_t[wanted]);
        if (!grown) return -1;
        const char16_t* old = text_.get();
        if (used > 0) std::memcpy(grown.get(), old, sizeof(char16_t) * used);
        // A text copied from the buffer itself is read from its new place.
        if (text != nullptr && Within(text, old, textCapacity_)) text = grown.get() + (text - old);
        RebaseElements(old, textCapacity_, grown.get());
        text_ = std::move(grown);
        textCapacity_ = static_cast<int32_t>(wanted);
    }
    if (text != nullptr) {
        if (length > 0) std::memmove(text_.get() + used, text, sizeof(char16_t) * length);
        textLength_ = used + length;
    }
    return used;
}

void CDictionary::RebaseElements(const char16_t* from, int32_t units, const char16_t* to) {
    if (from == nullptr) return;
    auto rebase = [&](const char16_t*& p) {
        if (Within(p, from, units)) p = to + (p - from);
    };
    for (int32_t i = 0; i < elementCount_; ++i) {
        rebase(elements_[i].begin);
        rebase(elements_[i].end);
        rebase(elements_[i].text);
    }
}

uint32_t CDictionary::FindNextElement(uint32_t index, uint32_t kind) const {
    for (uint32_t i = index + 1; i < static_cast<uint32_t>(elementCount_); ++i) {
        if (elements_[i].kind == kElementEntryStart) break;
        if (elements_[i].kind == kind) return i;
    }
    return 0;
}

int32_t CDictionary::GetKanjiField(uint32_t index, std::u16string_view key, const char16_t** value,
                                   int32_t* length) const {
    if (value) *value = nullptr;
    if (length) *length = 0;
    if (index >= static_cast<uint32_t>(elementCount_) || key.empty()) return 0;
    uint32_t group = index;
    if (elements_[index].kind != kElementKanjiGroup) {
        group = FindNextElement(index, kElementKanjiGroup);
        if (group == 0) return 0;
    }
    const DictionaryElement& element = elements_[group];
    if (element.text == nullptr || element.length <= 0) return 0;
    const std::u16string_view text(element.text, static_cast<size_t>(element.length));
    const std::u16string_view compared = key.substr(0, kKanjiFieldKeyUnits);
    for (size_t at = 0; at + compared.size() < text.size(); ++at) {
        if (at > 0 && text[at - 1] != u' ') continue;
        if (text.substr(at, compared.size()) != compared || text[at + compared.size()] != u'=') continue;
        const size_t start = at + compared.size() + 1;
        size_t end = text.find(u' ', start);
        if (end == std::u16string_view::npos) end = text.size();
        if (value) *value = element.text + start;
        if (length) *length = static_cast<int32_t>(end - start);
        return static_cast<int32_t>(end - start);
    }
    return 0;
}

uint32_t CDictionary::ParseRecord(const void* record, uint32_t size) {
    ClearParsedArticle();
    if (record == nullptr || size < kRecordHeaderBytes || reinterpret_cast<uintptr_t>(record) % 2 != 0) return 0;
    const auto* bytes = static_cast<const uint8_t*>(record);
    const uint32_t formatType = storage::LoadU16(bytes + 8);
    if (formatType < kFirstFormatType || formatType > kLastFormatType) return 0;
    const uint32_t units = (size - kRecordHeaderBytes) / 2;
    if (units > static_cast<uint32_t>(INT32_MAX)) return 0;
    return ParseRecordText(formatType, reinterpret_cast<const char16_t*>(bytes + kRecordHeaderBytes),
                           static_cast<int32_t>(units));
}

uint32_t CDictionary::ParseRecordText(uint32_t formatType, const char16_t* text, int32_t units) {
    const FormatParsers parsers = GetFormatParsers(formatType);
    int32_t importMode = 0;  // 0: the format has a one-article parser instead
    switch (formatType) {
        case 1: case 3: case 4: case 5: importMode = 1; break;
        case 2: case 6: case 14: case 15: importMode = 2; break;
        default: break;
    }
    if (importMode != 0) {
        if (parsers.import == nullptr) return 0;
        const uint32_t bytes = static_cast<uint32_t>(units) * 2;
        return parsers.import(*this, text, bytes, importMode, ImportCallbacks{}) != 0 ? 1 : 0;
    }
    if (parsers.parseArticle == nullptr) return 0;
    switch (formatType) {
        case 7: case 8: case 9: case 10: case 16: {
            // These parsers read the article from the text buffer, where their
            // own text follows it.
            const int32_t at = AppendText(units, text);
            if (at < 0) return 0;
            parsers.parseArticle(*this, text_.get() + at, units);
            return 1;
        }
        default:
            parsers.parseArticle(*this, text, units);
            return 1;
    }
}

int32_t CDictionary::ImportRecords(uint32_t formatType, const void* text, uint32_t size, int32_t mode,
                                   const ImportCallbacks& callbacks) {
    const FormatParsers parsers = GetFormatParsers(formatType);
    if (parsers.import == nullptr) return 0;
    if (formatType == 2 && mode == 1) mode = 2;
    return parsers.import(*this, text, size, mode, callbacks);
}
