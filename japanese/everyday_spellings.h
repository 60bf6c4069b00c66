// The spellings a reader looks for first when typing a reading whole into
// the by-reading list: those the word translator's reading-priority table
// puts first for a reading (きょう → 今日, よむ → 読む). The program installs
// them on the by-reading list (WordList::spellingPreference).
#pragma once

#include "dictionary/spelling_preference.h"

namespace ostrel::japanese {

const ISpellingPreference& EverydaySpellings();

}  // namespace ostrel::japanese
