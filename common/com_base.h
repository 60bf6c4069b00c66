// The COM shapes shared by the program's reference-counted objects (the
// collators among them). The Windows build takes IUnknown, HRESULT and the
// calling convention from the system headers, so the objects are real COM
// objects there; the portable build declares a minimal IUnknown with the same
// slot order so the same classes compile and test natively.
#pragma once

#include <cstdint>

#if defined(_WIN32)
// The one place where portable code reaches a system header: the real
// IUnknown must be the base in the Windows build.
#include <unknwn.h>
#define OSTREL_COM_CALL STDMETHODCALLTYPE
#else
using HRESULT = int32_t;
using ULONG = uint32_t;

struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};
using IID = GUID;
using REFIID = const IID&;

#define OSTREL_COM_CALL

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};

constexpr HRESULT S_OK = 0;
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
#endif
