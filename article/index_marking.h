// Element marking of index text: before a preparer cleans an entry's text,
// each character gets the field class of the element it belongs to and the
// element-start marks, from the dictionary's parsed record.
#pragma once

#include <cstdint>
#include <span>

class CDictionary;

// Fills `bits` (one word per unit of the entry's text, which starts at
// `text`) for the elements of the entry at element `entry`, up to the next
// entry start: every character of an element whose kind has a field class
// gets that class, its first character and the one just after its end get
// the element-start mark. Elements outside the text are passed over; bits
// are ORed into what `bits` holds.
void MarkIndexFields(const CDictionary& dictionary, uint32_t entry, const char16_t* text, std::span<uint16_t> bits);
