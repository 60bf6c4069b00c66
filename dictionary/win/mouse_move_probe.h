// The probe a merged word list's bisection asks while the user drags the
// scroll box: a mouse move waiting in the UI thread's queue ends the
// bisection early. Installed as WordList::mouseMovePending.
#pragma once

// True when a WM_MOUSEMOVE waits in the calling thread's queue (it stays there).
bool MouseMovePending();
