// The chain of grammar tag codes a deinflected hit carries: up to 16 one-byte
// codes (1-255) in the order the forms were recognised, ended by the first 0
// byte, with no terminator when all 16 are used. It travels with each hit into
// the translated-words list as the entry's 16 tag bytes.
#pragma once

#include <array>
#include <cstdint>

namespace ostrel::japanese {

using TagChain = std::array<uint8_t, 16>;

// Writes the code at the first 0 byte (and a 0 behind it when there is room).
// Answers the count behind the written code; a full chain takes nothing and
// answers its count unchanged, so a caller can always restore by count.
int32_t AppendTagCode(TagChain& chain, uint8_t code);

// Number of codes before the first 0 (at most 16).
int32_t CountTagCodes(const TagChain& chain);

// Moves the codes from index `to` onward down to index `from`, zeroing the
// places they leave: drops the codes a shorter alternative had appended.
void RemoveTagCodes(TagChain& chain, int32_t from, int32_t to);

// Cuts the chain back to its first `count` codes (a tentative append undone).
void RestoreTagCount(TagChain& chain, int32_t count);

}  // namespace ostrel::japanese
