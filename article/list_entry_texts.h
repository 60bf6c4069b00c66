// The reading and word of the record under a cursor, as the list columns of
// kinds 2 and 3 show them: what a stored list sorts by when its entries carry
// no texts of their own. Installed as WordList::entryTextReader.
#pragma once

#include <string>

class CCursor;

bool ReadEntryColumnTexts(CCursor& cursor, std::u16string& reading, std::u16string& word);
