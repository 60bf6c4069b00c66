// CDataObject: the data of an article drag (and of anything else handed to
// OLE): a fixed list of formats whose contents are rendered only when a
// consumer asks, by a renderer the creator supplies. Only global-memory
// media are given; every other request is refused.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "article/win/com_object.h"

// Renders the data of one clipboard format into a new movable global block:
// S_OK with the block, DV_E_FORMATETC when there is nothing to give,
// E_OUTOFMEMORY when it could not be made (the block stays null for both).
using ClipboardRenderer = std::function<HRESULT(UINT format, HGLOBAL* block)>;

class CDataObject final : public ComObject<IDataObject> {
public:
    CDataObject(const FORMATETC* formats, const STGMEDIUM* media, int32_t count, ClipboardRenderer renderer);
    bool ok() const { return ok_; }

    // S_OK with a new block; DV_E_FORMATETC for a format not offered, not in
    // global memory, or with nothing to give; E_OUTOFMEMORY when rendering
    // failed; E_INVALIDARG for a null request or medium. Never S_OK with a
    // null block.
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* request, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* request, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* request) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* request, FORMATETC* out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** out) override;

    // Index of the first offered format that shares a medium bit with the
    // request and has its clipboard format and aspect; -1 when none.
    int32_t FindFormat(const FORMATETC& request) const;

private:
    ~CDataObject() override;

    std::vector<FORMATETC> formats_;   // target devices owned (CoTaskMemAlloc)
    std::vector<STGMEDIUM> media_;     // copies of the creator's (empty) media: tymed only is read
    ClipboardRenderer renderer_;
    bool ok_ = true;
};

// S_OK; E_INVALIDARG for a null out pointer or a negative count; E_OUTOFMEMORY.
HRESULT CreateDataObject(const FORMATETC* formats, const STGMEDIUM* media, int32_t count, ClipboardRenderer renderer,
                         IDataObject** out);
