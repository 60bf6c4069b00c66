// A program run over the slice of Debian's EDICT that the build compiles for
// the end-to-end tests (ui/e2e-data/edict-slice.qdx), and a word from it.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

#include "ui/e2e/program_session.h"

// A hiragana reading of three or four letters from the slice.
std::u16string SliceReading();

// Starts the program over the slice in the test's folders; its frame, with
// the clipboard monitor off (null when it did not start).
HWND StartWithSlice(ProgramRun& run, TestFolders& folders);
// Copies dictionaries the build compiled into ui/e2e-data (file names) into
// the test's Dictionaries folder and writes settings that list them in that
// order after the other sections `settings`.
void PrepareDictionaries(TestFolders& folders, std::initializer_list<const wchar_t*> built,
                         const std::wstring& settings);
// The same, then the program started over them (its frame once started).
HWND StartWithDictionaries(ProgramRun& run, TestFolders& folders, std::initializer_list<const wchar_t*> built,
                           const std::wstring& settings = L"[Window]\r\nx=20\r\ny=20\r\ncx=700\r\ncy=560\r\ncy2=300\r\n");
