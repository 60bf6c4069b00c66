// The book readers and the book loader joined to the main window
// (frame_books.cpp). The dictionaries dialog runs the loader through this.
#pragma once

#include <windows.h>

#include <cstdint>

class CFontSet;
class CFrame;
class RDFDictionary;

// The font of a book column's slot (1 to 16) from the program's book reader
// set (owned by the set).
HFONT BookReaderFont(const CFontSet& set, int32_t bookSlot);

// The "Book Load" dialog over `dictionary`: 1 when books were loaded, 0 when
// nothing was, -1 when the dialog could not be shown.
int32_t RunFrameBookLoader(CFrame& frame, HWND owner, RDFDictionary* dictionary);
// Whether an open reader shows a book of `dictionary` (it may not be closed then).
bool IsShownInBookReader(const RDFDictionary* dictionary);
// Every reader refills its book list after the shelf changed.
void RefillBookReaders();
// A new reader on the book that holds record `recordId` of `dictionary`, at
// that record's phrase (a list row's "open the book", 40068).
void OpenBookReaderAt(RDFDictionary* dictionary, uint32_t recordId);
