// A program run over the slice of Debian's EDICT that the build compiles for
// the end-to-end tests (ui/e2e-data/edict-slice.qdx), and a word from it.
#pragma once

#include <windows.h>

#include <string>

#include "ui/e2e/program_session.h"

// A hiragana reading of three or four letters from the slice.
std::u16string SliceReading();

// Starts the program over the slice in the test's folders; its frame, with
// the clipboard monitor off (null when it did not start).
HWND StartWithSlice(ProgramRun& run, TestFolders& folders);
