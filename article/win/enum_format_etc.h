// CEnumFormatEtc: the list of clipboard formats a data object offers, as the
// drop target walks it. Holds its own copy of the formats (target devices
// copied with CoTaskMemAlloc) and a position that never passes the end.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <cstdint>
#include <vector>

#include "article/win/com_object.h"

class CEnumFormatEtc final : public ComObject<IEnumFORMATETC> {
public:
    // Copies `count` formats; `ok()` is false when a target device could not be copied.
    CEnumFormatEtc(const FORMATETC* formats, int32_t count);
    bool ok() const { return ok_; }

    // Up to `count` formats from the position (S_FALSE when fewer were left).
    HRESULT STDMETHODCALLTYPE Next(ULONG count, FORMATETC* out, ULONG* fetched) override;
    // S_FALSE when the skip reaches past the end (the position stops at the end).
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** out) override;

private:
    ~CEnumFormatEtc() override;

    size_t position_ = 0;              // 0 to formats_.size()
    std::vector<FORMATETC> formats_;   // each ptd owned (CoTaskMemAlloc) or null
    bool ok_ = true;
};

// A copy of `format` whose target device is a new CoTaskMemAlloc block (or
// null); false when that block could not be allocated.
bool CopyFormatEtc(FORMATETC& out, const FORMATETC& format);

// S_OK; E_INVALIDARG for a zero count or a null pointer; E_OUTOFMEMORY.
HRESULT CreateEnumFormatEtc(UINT count, const FORMATETC* formats, IEnumFORMATETC** out);
