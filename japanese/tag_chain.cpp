// The tag chain operations: append at the first free byte, count, and drop.
#include "japanese/tag_chain.h"

#include <algorithm>

namespace ostrel::japanese {

int32_t CountTagCodes(const TagChain& chain) {
    auto end = std::find(chain.begin(), chain.end(), uint8_t{0});
    return static_cast<int32_t>(end - chain.begin());
}

int32_t AppendTagCode(TagChain& chain, uint8_t code) {
    int32_t count = CountTagCodes(chain);
    if (count >= static_cast<int32_t>(chain.size()) || code == 0) return count;
    chain[count] = code;
    if (count + 1 < static_cast<int32_t>(chain.size())) chain[count + 1] = 0;
    return count + 1;
}

void RemoveTagCodes(TagChain& chain, int32_t from, int32_t to) {
    const int32_t size = static_cast<int32_t>(chain.size());
    from = std::clamp(from, 0, size);
    to = std::clamp(to, from, size);
    int32_t kept = from;
    for (int32_t i = to; i < size && chain[i] != 0; ++i) chain[kept++] = chain[i];
    std::fill(chain.begin() + kept, chain.end(), uint8_t{0});
}

void RestoreTagCount(TagChain& chain, int32_t count) {
    count = std::clamp(count, 0, static_cast<int32_t>(chain.size()));
    std::fill(chain.begin() + count, chain.end(), uint8_t{0});
}

}  // namespace ostrel::japanese
