// The modal "Book Load" dialog: loads one UTF-8 parallel text, or every
// file of a list file, into an existing book dictionary, which the program
// closes for the load and opens again afterwards (finished and read-only
// only when every text loaded).
#pragma once

#include "book/book_texts.h"

#include <windows.h>

#include <cstdint>
#include <string>

class CIni;
class RDFDictionary;

// What the loader needs of the program.
class IBookLoaderHost {
public:
    virtual ~IBookLoaderHost() = default;
    virtual CIni* Settings() { return nullptr; }
    virtual std::u16string Text(const std::u16string& english) { return InterfaceText(english); }
    virtual int32_t Ask(HWND owner, const std::u16string& text, const std::u16string& caption, UINT style) {
        return MessageBoxW(owner, reinterpret_cast<const wchar_t*>(text.c_str()),
                           reinterpret_cast<const wchar_t*>(caption.c_str()), style);
    }
    virtual void ShowHelp(HWND /*owner*/, int32_t /*topic*/) {}
    // Closes the dictionary's editors and the dictionary for the load; false
    // when an editor stayed open (nothing is loaded then).
    virtual bool CloseForLoad(RDFDictionary& /*dictionary*/) { return true; }
    // Opens it again after the load, finished (editable and working flags
    // cleared) when `finished`, and refreshes the shelf.
    virtual void ReopenAfterLoad(RDFDictionary& /*dictionary*/, bool /*finished*/) {}
};

namespace book_loader_ids {
inline constexpr int kDictionaryLabel = 1149, kDictionaryPath = 1349, kOneFile = 1350, kSourceLabel = 1151,
                     kSource = 1351, kChooseSource = 1005, kListOfFiles = 1348, kList = 1347, kChooseList = 1004,
                     kProcessingLabel = 1150, kCurrentFile = 1279, kStep = 1287, kProgress = 1275, kHelp = 1016;
inline constexpr int32_t kHelpTopic = 153;
}  // namespace book_loader_ids

// 1 when books were loaded, 0 when nothing was (cancelled, failed or closed),
// -1 when the dialog could not be shown; a null dictionary gives 0.
int32_t RunBookLoaderDialog(IBookLoaderHost& host, RDFDictionary* dictionary, HWND owner);
