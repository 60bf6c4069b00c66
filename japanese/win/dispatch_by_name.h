// Automation by member name over IDispatch, as the word-processor and web
// browser captures use it: each call looks the name up (IID_NULL, locale 0;
// names are 8-bit text in the ANSI code page) and invokes it without
// exception information. Every function answers 1 on success, 0 on failure.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <initializer_list>

#include "japanese/win/com_holders.h"

namespace ostrel::japanese {

// Invokes `name` with VT_I4 arguments given in their natural order (the
// DISPPARAMS array takes them last first). The result goes into `result`
// (cleared first; may be null). Invoke's answer; DISP_E_UNKNOWNNAME when the
// name is unknown.
HRESULT DispInvoke(IDispatch* object, const char* name, WORD flags, std::initializer_list<int32_t> arguments,
                   VARIANT* result);

// Reads a property into `out` (cleared first; the caller clears it).
int32_t DispGetProperty(IDispatch* object, const char* name, VARIANT* out);
// Reads a property as a 32-bit integer (converted to VT_I4); `out` is 0 on failure.
int32_t DispGetInt(IDispatch* object, const char* name, int32_t* out);
// Reads a property holding an object; `out` stays empty when the value is
// no object (still a success).
int32_t DispGetObject(IDispatch* object, const char* name, ComPtr<IDispatch>& out);
// Writes a 32-bit integer property; 0 when the name is unknown or the object
// refused the write.
int32_t DispPutInt(IDispatch* object, const char* name, int32_t value);

// The IDispatch of the object a VARIANT holds, empty when it holds none.
ComPtr<IDispatch> DispatchOf(const VariantHolder& value);

}  // namespace ostrel::japanese
