// The format enumerator handed out by the program's data object.
#include "article/win/enum_format_etc.h"

#include <algorithm>
#include <cstring>
#include <new>

bool CopyFormatEtc(FORMATETC& out, const FORMATETC& format) {
    out = format;
    if (format.ptd == nullptr) return true;
    out.ptd = static_cast<DVTARGETDEVICE*>(CoTaskMemAlloc(format.ptd->tdSize));
    if (out.ptd == nullptr) return false;
    std::memcpy(out.ptd, format.ptd, format.ptd->tdSize);
    return true;
}

CEnumFormatEtc::CEnumFormatEtc(const FORMATETC* formats, int32_t count) : ComObject(IID_IEnumFORMATETC) {
    formats_.resize(static_cast<size_t>(std::max(count, 0)));
    for (size_t i = 0; i < formats_.size(); ++i)
        if (!CopyFormatEtc(formats_[i], formats[i])) ok_ = false;
}

CEnumFormatEtc::~CEnumFormatEtc() {
    for (FORMATETC& format : formats_)
        if (format.ptd != nullptr) CoTaskMemFree(format.ptd);
}

HRESULT STDMETHODCALLTYPE CEnumFormatEtc::Next(ULONG count, FORMATETC* out, ULONG* fetched) {
    if (count == 0 || out == nullptr) return E_INVALIDARG;
    ULONG copied = 0;
    while (copied < count && position_ < formats_.size()) {
        if (!CopyFormatEtc(out[copied], formats_[position_])) break;
        ++copied;
        ++position_;
    }
    if (fetched != nullptr) *fetched = copied;
    return copied == count ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CEnumFormatEtc::Skip(ULONG count) {
    const size_t left = formats_.size() - position_;
    position_ += std::min<size_t>(count, left);
    return count <= left ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CEnumFormatEtc::Reset() {
    position_ = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CEnumFormatEtc::Clone(IEnumFORMATETC** out) {
    if (out == nullptr) return E_INVALIDARG;
    *out = nullptr;
    const HRESULT result = CreateEnumFormatEtc(static_cast<UINT>(formats_.size()), formats_.data(), out);
    if (SUCCEEDED(result)) static_cast<CEnumFormatEtc*>(*out)->position_ = position_;
    return result;
}

HRESULT CreateEnumFormatEtc(UINT count, const FORMATETC* formats, IEnumFORMATETC** out) {
    if (count == 0 || formats == nullptr || out == nullptr) return E_INVALIDARG;
    *out = nullptr;
    auto* enumerator = new (std::nothrow) CEnumFormatEtc(formats, static_cast<int32_t>(count));
    if (enumerator == nullptr) return E_OUTOFMEMORY;
    if (!enumerator->ok()) {
        enumerator->Release();
        return E_OUTOFMEMORY;
    }
    *out = enumerator;
    return S_OK;
}
