// The dialog OPTIMIZE: an editable dictionary rebuilt from its live
// articles into a new file that takes its place; the old file is kept as a
// backup, and the Selected and history lists follow the articles' new ids.
#pragma once

#include <windows.h>

#include <cstdint>

class CShelf;
class RDFDictionary;

// 1 optimised; -1 when the dialog was closed without optimising; 0 at once
// unless the dictionary is an open, editable store dictionary.
int32_t RunOptimizeDialog(RDFDictionary& dictionary, CShelf& shelf, HWND owner);
