// The IUnknown half of the program's small COM objects: a count that starts
// at 1 and changes with interlocked operations, deletion at 0, and
// QueryInterface answering the one interface and IUnknown.
#pragma once

#include <windows.h>
#include <unknwn.h>

template <class Interface> class ComObject : public Interface {
public:
    explicit ComObject(REFIID iid) : iid_(iid) {}
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, iid_)) {
            AddRef();
            *object = static_cast<Interface*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

protected:
    virtual ~ComObject() = default;

private:
    const IID& iid_;
    LONG references_ = 1;
};
