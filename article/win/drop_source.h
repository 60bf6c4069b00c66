// CDropSource: the drag feedback while articles are dragged out of a word
// list: Escape cancels, releasing the left button drops, the system's own
// cursors are shown.
#pragma once

#include <windows.h>
#include <ole2.h>

#include "article/win/com_object.h"

class CDropSource final : public ComObject<IDropSource> {
public:
    CDropSource() : ComObject(IID_IDropSource) {}
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;

private:
    ~CDropSource() override = default;
};

// S_OK; E_INVALIDARG for a null out pointer; E_OUTOFMEMORY.
HRESULT CreateDropSource(IDropSource** out);
