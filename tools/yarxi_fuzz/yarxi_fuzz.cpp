// libFuzzer harness for the YARXI article and index text: any byte string,
// read as UTF-16 units, becomes a record whose "{\keyword" groups are made
// into an element tree as the record parser leaves it (parent, level, next
// sibling); then the styled article and the index text are written at a
// capacity the input chooses. Checks that nothing is written at or past a
// capacity; the sanitizers catch any read or write out of bounds.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "article/tests/yarxi_tree.h"
#include "article/yarxi_article.h"
#include "article/yarxi_index_text.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const int32_t capacity = data[0] * 4;
    std::u16string record((size - 1) / 2, u'\0');
    std::memcpy(record.data(), data + 1, record.size() * 2);
    YarxiTree tree(record);
    std::vector<DictionaryElement>& elements = tree.Elements();
    // The record's article: its first group when it has one, as a stored record starts.
    const int32_t entry = elements.size() > 1 ? 1 : 0;

    std::vector<char16_t> text(static_cast<size_t>(capacity) + 16, u'#');
    std::vector<uint32_t> attributes(text.size(), 0xABCD);
    const int32_t end = ParseYarxiMarkup(elements, entry, -1, entry, text.data(), attributes.data(), 0, capacity);
    Check(end >= 0 && (capacity == 0 ? end == 0 : end < capacity));
    for (size_t i = static_cast<size_t>(capacity); i < text.size(); ++i) Check(text[i] == u'#' && attributes[i] == 0xABCD);

    std::vector<char16_t> index(static_cast<size_t>(capacity) + 16, u'#');
    std::vector<uint16_t> bits(index.size(), 0xABCD);
    const int32_t length = PrepareIndexTextF14(index.data(), capacity, record.data(),
                                               static_cast<int32_t>(record.size()), bits.data());
    Check(length >= 0 && length <= capacity);
    for (size_t i = static_cast<size_t>(capacity); i < index.size(); ++i) Check(index[i] == u'#' && bits[i] == 0xABCD);
    return 0;
}
