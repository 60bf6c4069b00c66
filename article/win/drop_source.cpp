// The drop source of an article drag.
#include "article/win/drop_source.h"

#include <new>

HRESULT STDMETHODCALLTYPE CDropSource::QueryContinueDrag(BOOL escapePressed, DWORD keyState) {
    if (escapePressed) return DRAGDROP_S_CANCEL;
    if ((keyState & MK_LBUTTON) == 0) return DRAGDROP_S_DROP;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDropSource::GiveFeedback(DWORD) { return DRAGDROP_S_USEDEFAULTCURSORS; }

HRESULT CreateDropSource(IDropSource** out) {
    if (out == nullptr) return E_INVALIDARG;
    *out = new (std::nothrow) CDropSource;
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}
