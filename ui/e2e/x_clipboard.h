// The clipboard as another program on the display fills it: xclip, an X
// client, serves a text, and the program under test reads it through
// Wine's clipboard as it reads a copy made in any Linux program.
#pragma once

#include <windows.h>

#include <string>

// Runs a Linux program with the display; its exit code, or -1 when it could
// not be started or did not end in time.
long RunUnix(std::wstring command, DWORD timeoutMs = 10000);
// The Linux path of a file on Wine's drive Z:.
std::wstring UnixPath(std::wstring path);
bool WriteUtf8(const std::wstring& path, const std::wstring& text);

// Copies `text` (line ends as "\n") as an X program does: xclip serves it
// from a file in `folder` until another client takes the clipboard. True
// once X hands the whole text back.
bool CopyInXProgram(const std::wstring& text, const std::wstring& folder);
