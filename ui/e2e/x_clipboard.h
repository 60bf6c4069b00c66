// The clipboard as other programs on the display fill and read it: xclip, an
// X client, serves a text, and the program under test reads it through
// Wine's clipboard as it reads a copy made in any Linux program; what the
// program copies is read back as a Linux program and a Windows program paste it.
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

// The clipboard's text as an X program pastes it (xclip -o): its UTF-8 bytes,
// whatever they hold (a NUL too), through a file in `folder`.
std::string PastedInXProgram(const std::wstring& folder);

// The whole CF_UNICODETEXT block of the clipboard as a Windows program reads
// it, every unit of it, the terminator and whatever follows it too.
std::wstring ClipboardBlock();
