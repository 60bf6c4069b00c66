// Modeless dialogs (the article editor, the book reader) announce themselves
// to the message loop, which gives them dialog navigation (Tab, Shift+Tab,
// Escape) in their controls.
#pragma once

#include <windows.h>

void AddModelessDialog(HWND dialog);
void RemoveModelessDialog(HWND dialog);
