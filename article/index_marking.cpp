// The element marking of index text.
#include "article/index_marking.h"

#include "article/display_attributes.h"
#include "article/element_text.h"
#include "dictionary/dictionary.h"

void MarkIndexFields(const CDictionary& dictionary, uint32_t entry, const char16_t* text, std::span<uint16_t> bits) {
    const uint32_t end = EntryEnd(dictionary, entry);
    const auto start = reinterpret_cast<uintptr_t>(text);
    for (uint32_t i = entry + 1; i < end; ++i) {
        const DictionaryElement& e = dictionary.Elements()[i];
        const uint16_t field = IndexFieldClassOfKind(e.kind);
        const auto at = reinterpret_cast<uintptr_t>(e.text);
        if (field == 0 || e.text == nullptr || e.length < 0 || at < start) continue;
        const size_t from = (at - start) / sizeof(char16_t), length = static_cast<size_t>(e.length);
        if (from >= bits.size() || length > bits.size() - from) continue;
        for (size_t k = from; k < from + length; ++k) bits[k] |= field;
        bits[from] |= kFieldElementStart;
        if (from + length < bits.size()) bits[from + length] |= kFieldElementStart;
    }
}
