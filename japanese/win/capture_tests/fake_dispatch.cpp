// The tests' automation object.
#include "fake_dispatch.h"

namespace ostrel::japanese::testing {

void FakeDispatch::On(const std::wstring& name, Handler handler) { members_.emplace_back(name, std::move(handler)); }

void FakeDispatch::IntProperty(const std::wstring& name, int32_t value) {
    On(name, [value](const std::vector<VARIANT>&, WORD flags, VARIANT* result) {
        if (!(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
        result->vt = VT_I4;
        result->lVal = value;
        return S_OK;
    });
}

void FakeDispatch::ObjectProperty(const std::wstring& name, IDispatch* value) {
    On(name, [value](const std::vector<VARIANT>&, WORD flags, VARIANT* result) {
        if (!(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
        value->AddRef();
        result->vt = VT_DISPATCH;
        result->pdispVal = value;
        return S_OK;
    });
}

HRESULT FakeDispatch::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDispatch) return E_NOINTERFACE;
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

ULONG FakeDispatch::Release() {
    LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT FakeDispatch::GetTypeInfoCount(UINT* count) {
    if (count) *count = 0;
    return S_OK;
}

HRESULT FakeDispatch::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    try {
        if (count != 1 || !names || !ids) return E_INVALIDARG;
        lookedUp.emplace_back(names[0]);
        for (size_t i = 0; i < members_.size(); ++i) {
            if (members_[i].first == names[0]) {
                ids[0] = static_cast<DISPID>(i + 1);
                return S_OK;
            }
        }
        ids[0] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT FakeDispatch::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                             EXCEPINFO*, UINT*) {
    try {
        if (id < 1 || static_cast<size_t>(id) > members_.size()) return DISP_E_MEMBERNOTFOUND;
        std::vector<VARIANT> arguments;
        if (parameters && parameters->rgvarg)
            arguments.assign(parameters->rgvarg, parameters->rgvarg + parameters->cArgs);
        if (flags & DISPATCH_PROPERTYPUT) {
            // A put names its value DISPID_PROPERTYPUT, as automation requires.
            if (!parameters || parameters->cNamedArgs != 1 || !parameters->rgdispidNamedArgs ||
                parameters->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
                return DISP_E_PARAMNOTOPTIONAL;
        }
        return members_[static_cast<size_t>(id) - 1].second(arguments, flags, result);
    } catch (...) {
        return E_UNEXPECTED;
    }
}

}  // namespace ostrel::japanese::testing
