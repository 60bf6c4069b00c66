// By-name automation calls over IDispatch.
#include "japanese/win/dispatch_by_name.h"

#include <vector>

namespace ostrel::japanese {

namespace {

// The member id of `name`; false when the object does not know it.
bool LookUpName(IDispatch* object, const char* name, DISPID* id) {
    if (!object || !name) return false;
    int units = MultiByteToWideChar(CP_ACP, 0, name, -1, nullptr, 0);
    if (units <= 0) return false;
    std::vector<wchar_t> wide(static_cast<size_t>(units));
    if (MultiByteToWideChar(CP_ACP, 0, name, -1, wide.data(), units) <= 0) return false;
    LPOLESTR names[1] = {wide.data()};
    return SUCCEEDED(object->GetIDsOfNames(IID_NULL, names, 1, 0, id));
}

}  // namespace

HRESULT DispInvoke(IDispatch* object, const char* name, WORD flags, std::initializer_list<int32_t> arguments,
                   VARIANT* result) {
    if (result) {
        VariantClear(result);
    }
    DISPID id = 0;
    if (!LookUpName(object, name, &id)) return DISP_E_UNKNOWNNAME;
    std::vector<VARIANT> reversed(arguments.size());
    size_t slot = arguments.size();
    for (int32_t value : arguments) {
        VARIANT& argument = reversed[--slot];
        VariantInit(&argument);
        argument.vt = VT_I4;
        argument.lVal = value;
    }
    DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    return object->Invoke(id, IID_NULL, 0, flags, &parameters, result, nullptr, nullptr);
}

int32_t DispGetProperty(IDispatch* object, const char* name, VARIANT* out) {
    return SUCCEEDED(DispInvoke(object, name, DISPATCH_PROPERTYGET, {}, out)) ? 1 : 0;
}

int32_t DispGetInt(IDispatch* object, const char* name, int32_t* out) {
    *out = 0;
    VariantHolder value;
    if (!DispGetProperty(object, name, value.Get())) return 0;
    // Another numeric type converts; a value that does not leaves 0.
    if (SUCCEEDED(VariantChangeType(value.Get(), value.Get(), 0, VT_I4))) *out = value.Get()->lVal;
    return 1;
}

int32_t DispGetObject(IDispatch* object, const char* name, ComPtr<IDispatch>& out) {
    out.Reset();
    VariantHolder value;
    if (!DispGetProperty(object, name, value.Get())) return 0;
    out = DispatchOf(value);
    return 1;
}

int32_t DispPutInt(IDispatch* object, const char* name, int32_t value) {
    DISPID id = 0;
    if (!LookUpName(object, name, &id)) return 0;
    VARIANT argument;
    VariantInit(&argument);
    argument.vt = VT_I4;
    argument.lVal = value;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS parameters{&argument, &named, 1, 1};
    HRESULT result = object->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &parameters, nullptr, nullptr, nullptr);
    return SUCCEEDED(result) ? 1 : 0;
}

ComPtr<IDispatch> DispatchOf(const VariantHolder& value) {
    ComPtr<IDispatch> object;
    if (IUnknown* unknown = value.Object(); !unknown || FAILED(unknown->QueryInterface(IID_IDispatch, object.OutVoid())))
        object.Reset();
    return object;
}

}  // namespace ostrel::japanese
