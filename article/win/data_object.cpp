// The data object of an article drag: formats offered, data rendered on demand.
#include "article/win/data_object.h"

#include <new>

#include "article/win/enum_format_etc.h"

CDataObject::CDataObject(const FORMATETC* formats, const STGMEDIUM* media, int32_t count, ClipboardRenderer renderer)
    : ComObject(IID_IDataObject), renderer_(std::move(renderer)) {
    formats_.resize(static_cast<size_t>(count));
    media_.resize(static_cast<size_t>(count));
    for (size_t i = 0; i < formats_.size(); ++i) {
        if (!CopyFormatEtc(formats_[i], formats[i])) ok_ = false;
        media_[i] = {};
        media_[i].tymed = media != nullptr ? media[i].tymed : formats[i].tymed;
    }
}

CDataObject::~CDataObject() {
    for (FORMATETC& format : formats_)
        if (format.ptd != nullptr) CoTaskMemFree(format.ptd);
}

int32_t CDataObject::FindFormat(const FORMATETC& request) const {
    for (size_t i = 0; i < formats_.size(); ++i) {
        const FORMATETC& offered = formats_[i];
        if ((offered.tymed & request.tymed) != 0 && offered.cfFormat == request.cfFormat &&
            offered.dwAspect == request.dwAspect)
            return static_cast<int32_t>(i);
    }
    return -1;
}

HRESULT STDMETHODCALLTYPE CDataObject::GetData(FORMATETC* request, STGMEDIUM* medium) {
    if (request == nullptr || medium == nullptr) return E_INVALIDARG;
    const int32_t index = FindFormat(*request);
    if (index < 0 || media_[static_cast<size_t>(index)].tymed != TYMED_HGLOBAL) return DV_E_FORMATETC;
    HGLOBAL block = nullptr;
    const HRESULT rendered = renderer_ ? renderer_(request->cfFormat, &block) : DV_E_FORMATETC;
    if (FAILED(rendered) || block == nullptr) {
        if (block != nullptr) GlobalFree(block);
        return FAILED(rendered) ? rendered : E_OUTOFMEMORY;
    }
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = block;
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) { return DV_E_FORMATETC; }

HRESULT STDMETHODCALLTYPE CDataObject::QueryGetData(FORMATETC* request) {
    if (request == nullptr) return E_INVALIDARG;
    return FindFormat(*request) >= 0 ? S_OK : DV_E_FORMATETC;
}

HRESULT STDMETHODCALLTYPE CDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
    if (out != nullptr) out->ptd = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CDataObject::SetData(FORMATETC*, STGMEDIUM*, BOOL) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) {
    if (direction != DATADIR_GET) return E_NOTIMPL;
    return CreateEnumFormatEtc(static_cast<UINT>(formats_.size()), formats_.data(), out);
}

HRESULT STDMETHODCALLTYPE CDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) {
    return OLE_E_ADVISENOTSUPPORTED;
}
HRESULT STDMETHODCALLTYPE CDataObject::DUnadvise(DWORD) { return OLE_E_ADVISENOTSUPPORTED; }
HRESULT STDMETHODCALLTYPE CDataObject::EnumDAdvise(IEnumSTATDATA**) { return OLE_E_ADVISENOTSUPPORTED; }

HRESULT CreateDataObject(const FORMATETC* formats, const STGMEDIUM* media, int32_t count, ClipboardRenderer renderer,
                         IDataObject** out) {
    if (out == nullptr || count < 0 || (count > 0 && formats == nullptr)) return E_INVALIDARG;
    *out = nullptr;
    auto* object = new (std::nothrow) CDataObject(formats, media, count, std::move(renderer));
    if (object == nullptr) return E_OUTOFMEMORY;
    if (!object->ok()) {
        object->Release();
        return E_OUTOFMEMORY;
    }
    *out = object;
    return S_OK;
}
