// The word translator's options, read from section "Translation" of the
// settings file at start; the options dialog and the phrase split change them.
#pragma once

#include <cstdint>

class CIni;

namespace ostrel::japanese {

class CTransOptions {
public:
    // Sets the defaults, then reads Expand, MinKanaLength, UnderCursor and
    // AutoSwitchTranslationList (a missing or empty value keeps the default).
    explicit CTransOptions(const CIni& ini);
    CTransOptions();  // the defaults alone
    virtual ~CTransOptions() = default;

    // What OK in the options dialog stores. A box that stays checked keeps a
    // non-zero Expand as it is (2, "expand partially", stays 2); newly
    // checked gives 2, unchecked 0. The one-kana box gives MinKanaLength 2 or
    // 1. Both are written to the settings; 1 when both writes succeeded.
    int32_t ApplyDialogChoice(CIni& ini, bool expandChecked, bool oneKanaChecked);

    int32_t expand = 2;                     // 0: every nested hit listed; else group heads only
    int32_t minKanaLength = 1;              // 2: single-kana words are not translated
    int32_t underCursor = 1;                // mode 0 lists only the words over the caret
    int32_t reserved = 250;                 // set at start, never stored or read
    int32_t autoSwitchTranslationList = 1;  // 0: the mouse step works only over lists 1, 14, 15
    int32_t skipNamesDictionary = 0;        // run time: reading-index passes skip "enamdict.qdx"
};

}  // namespace ostrel::japanese
