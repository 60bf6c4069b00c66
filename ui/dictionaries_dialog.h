// The dictionaries dialog DIC_FILE_LIST_2 (CDictionariesDlg2): the installed
// dictionaries and books with their check boxes, order, working dictionary,
// adding, removing, creating, properties, optimisation and book loading.
// Every change goes to the shelf and the settings at once. The right half
// (the server's files) is a panel the web services fill.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

class CShelf;
class CDictionary;
class RDFDictionary;
class IDictionariesServerPanel;
class IFrameFurniture;

// The dialog's window while it runs, null otherwise.
extern HWND g_dictionariesDialog;

// What the dialog needs of the program besides the shelf.
struct DictionariesDialogSite {
    IFrameFurniture* furniture = nullptr;      // book loader and readers; may be null
    IDictionariesServerPanel* panel = nullptr; // the right half; may be null
    bool startWarning = false;                 // start-up found no open dictionary
};

// Runs the dialog over `shelf`: lists remember their positions first, and
// the warning about old dictionaries follows. 0.
int32_t ShowDictionariesDialog(HWND parent, CShelf& shelf, const DictionariesDialogSite& site);

// Article editors of a dictionary, as far as the dialogs need them.
bool DictionaryHasOpenEditors(const CDictionary& dictionary);
// Closes them, each asking whether to save; false when the user cancelled.
bool CloseDictionaryEditors(CDictionary& dictionary);
